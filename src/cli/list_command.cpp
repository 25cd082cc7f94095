#include "app/registry_commands.h"
#include "cli/cli_ui.h"
#include "cli/commands.h"
#include "cli/console_text.h"

#include <ostream>

namespace quillon::cli {
namespace {

// What a backup of the identity would carry, one tab-indented line each.
std::string Details(const IdentitySummary& summary) {
    std::string lines;
    for (const auto& account : summary.Accounts) {
        lines += "\n\tcompte\t" + ForConsole(account.Name) + "\t" + ForConsole(account.Servers) +
                 "\t" + ForConsole(account.UserName) + "\t" + ForConsole(account.Address);
    }
    for (const auto& signature : summary.Signatures) {
        lines +=
            "\n\tsignature\t" + ForConsole(signature.Name) + "\t" + ForConsole(signature.FirstLine);
    }
    const auto counts = [](int mail, int news) {
        return std::to_string(mail) + " courrier, " + std::to_string(news) + " forums";
    };
    return lines + "\n\trègles\t" + counts(summary.MailRules, summary.NewsRules) +
           "\n\témetteurs bloqués\t" + counts(summary.BlockedMail, summary.BlockedNews);
}

std::string Line(const InstallationRow& row) {
    const std::string start = row.Where + "\t" + row.System + "\t";
    if (!row.Unreadable.empty()) {
        return start + "\t" + row.User + "\t\t(illisible : " + row.Unreadable + ")";
    }
    return start + ForConsole(row.Version) + "\t" + ForConsole(row.User) + "\t" +
           ForConsole(row.Identity) + "\t" + ForConsole(row.Folder) +
           (row.Details ? Details(*row.Details) : "");
}

} // namespace

int RunList(const StoreOptions& options, const std::string& programFolder,
            const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const bool details = args.size() == 1 && args[0] == "--details";
    if (!args.empty() && !details) {
        err << "quillon-cli: usage : list [--details]\n";
        return ExitUsage;
    }
    std::vector<InstallationRow> rows;
    std::string error;
    const auto show = StepsOnTerminal(err);
    StepReport report;
    if (show) {
        report = [&show](const std::string& step) {
            show(step);
            return false;
        };
    }
    const bool listed = ListInstallationRows(options, OpenStoresSharingHives(), programFolder,
                                             details, rows, error, report);
    if (show) {
        show("");
    }
    if (!listed) {
        err << "quillon-cli: " << error << "\n";
        return ExitFailed;
    }
    out << "Emplacement\tSystème\tVersion OE\tUtilisateur\tIdentité\tRépertoire OE\n";
    for (const InstallationRow& row : rows) {
        out << Line(row) << "\n";
    }
    return ExitDone;
}

} // namespace quillon::cli
