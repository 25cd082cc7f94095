#include "cli/cli_ui.h"
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

// The start-up of the window on one installation, its messages kept out of the listing.
std::string Row(const ListedInstallation& entry, const std::string& programFolder) {
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
    return row + ForConsole(dialogue.VersionOE) + "\t" + ForConsole(entry.User) + "\t" +
           ForConsole(dialogue.IdentiteBdRActif) + "\t" + ForConsole(folder);
}

} // namespace

int RunList(const StoreOptions& options, const std::string& programFolder,
            const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (!args.empty()) {
        err << "quillon-cli: usage : list\n";
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
        out << Row(entry, programFolder) << "\n";
    }
    return ExitDone;
}

} // namespace quillon::cli
