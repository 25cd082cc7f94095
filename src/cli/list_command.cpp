#include "cli/cli_ui.h"
#include "backup/identity_summary.h"
#include "cli/commands.h"
#include "registry/offline_registry.h"

#include <ostream>
#include <sstream>

namespace quillon::cli {
namespace {

#ifdef _WIN32
// On Windows the registry read is the system's own: one installation, the user logged on.
bool Installations(const StoreOptions& options, std::vector<ListedInstallation>& found, std::string&) {
    found.push_back({"registre de ce système", "Windows", "", options});
    return true;
}
#else
constexpr auto Installations = ListInstallations;
#endif

// What a backup of the identity would carry, one tab-indented line each.
std::string Details(const IdentitySummary& summary) {
    std::string lines;
    for (const auto& account : summary.Accounts) {
        lines += "\n\tcompte\t" + ForConsole(account.Name) + "\t" + ForConsole(account.Servers) + "\t" +
                 ForConsole(account.UserName) + "\t" + ForConsole(account.Address);
    }
    for (const auto& signature : summary.Signatures) {
        lines += "\n\tsignature\t" + ForConsole(signature.Name) + "\t" + ForConsole(signature.FirstLine);
    }
    const auto counts = [](int mail, int news) {
        return std::to_string(mail) + " courrier, " + std::to_string(news) + " forums";
    };
    return lines + "\n\trègles\t" + counts(summary.MailRules, summary.NewsRules) +
           "\n\témetteurs bloqués\t" + counts(summary.BlockedMail, summary.BlockedNews);
}

// The start-up of the window on one installation, its messages kept out of the listing.
std::string Row(const ListedInstallation& entry, const std::string& programFolder, bool details) {
    std::string row = entry.Where + "\t" + entry.System + "\t";
    const OpenedStore opened = OpenStore(entry.Options);
    if (!opened.Store) {
        return row + "\t" + entry.User + "\t\t(illisible : " + opened.Error + ")";
    }
    Reg_access registry(*opened.Store);
    std::ostringstream messages;
    CliUi ui(messages);
    Dialogue dialogue(registry, ui, programFolder);
    dialogue.Form_Load();
    std::string folder = dialogue.CheminOEactif;
    while (folder.ends_with('\0')) {
        folder.pop_back();
    }
    row += ForConsole(dialogue.VersionOE) + "\t" + ForConsole(entry.User) + "\t" +
           ForConsole(dialogue.IdentiteBdRActif) + "\t" + ForConsole(folder);
    if (details && !dialogue.Ended() && !dialogue.IdentiteBdRActif.empty()) {
        row += Details(SummarizeIdentity(registry, dialogue.IdentiteBdRActif));
    }
    return row;
}

} // namespace

int RunList(const StoreOptions& options, const std::string& programFolder,
            const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const bool details = args.size() == 1 && args[0] == "--details";
    if (!args.empty() && !details) {
        err << "quillon-cli: usage : list [--details]\n";
        return ExitUsage;
    }
    std::vector<ListedInstallation> found;
    std::string error;
    if (!Installations(options, found, error)) {
        err << "quillon-cli: " << error << "\n";
        return ExitFailed;
    }
    out << "Emplacement\tSystème\tVersion OE\tUtilisateur\tIdentité\tRépertoire OE\n";
    for (const ListedInstallation& entry : found) {
        out << Row(entry, programFolder, details) << "\n";
    }
    return ExitDone;
}

} // namespace quillon::cli
