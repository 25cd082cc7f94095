#include "app/registry_commands.h"
#include "cli/commands.h"
#include "cli/console_text.h"
#include "text/native_text.h"

#include <ostream>

namespace quillon::cli {

int RunExportMail(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    MailExportRequest request;
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--recover") {
            request.Recover = true;
        } else if (arg == "--address-book" && i + 1 < args.size()) {
            request.AddressBook = args[++i];
        } else if (arg.starts_with("--")) {
            err << "quillon-cli: option inconnue pour export-mail : " << arg << "\n";
            return ExitUsage;
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() != 2) {
        err << "quillon-cli: usage : export-mail DOSSIER_OE SORTIE [--recover] "
               "[--address-book CARNET.wab]\n";
        return ExitUsage;
    }
    request.Store = positional[0];
    request.Target = positional[1];
    const MailExportOutcome outcome = ExportMailInOpenFormats(request);
    const std::string report =
        AnsiForDisplay(DescribeMailExport(outcome, NativeToAnsi(request.Target)));
    if (outcome.State != MailExportOutcome::Status::Done) {
        err << "quillon-cli: " << report << "\n";
        return ExitFailed;
    }
    out << report << "\n";
    return ExitDone;
}

} // namespace quillon::cli
