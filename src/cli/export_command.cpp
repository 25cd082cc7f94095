#include "app/registry_commands.h"
#include "cli/commands.h"
#include "cli/console_text.h"
#include "text/native_text.h"

#include <ostream>

namespace quillon::cli {

int RunExport(Reg_access& registry, const std::vector<std::string>& args, std::ostream& err) {
    std::vector<std::string> positional;
    bool append = false;
    for (const std::string& arg : args) {
        if (arg == "--append") {
            append = true;
        } else if (arg.starts_with("--")) {
            err << "quillon-cli: option inconnue pour export : " << arg << "\n";
            return ExitUsage;
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() != 2) {
        err << "quillon-cli: usage : export CLÉ FICHIER [--append]\n";
        return ExitUsage;
    }
    const std::string keyName = NativeToAnsi(positional[0]);
    const std::string& file = positional[1];
    const KeyPath key(keyName);
    if (Reg_access::RootKeyHandle(key.Root) == 0) {
        err << "quillon-cli: la clé « " << AnsiForDisplay(keyName)
            << " » ne commence pas par une racine connue (HKEY_CURRENT_USER, "
               "HKEY_LOCAL_MACHINE, HKEY_USERS...)\n";
        return ExitFailed;
    }
    const ExportResult result = ExportKeyIntoUserFile(registry, key, file, append);
    switch (result.Status) {
    case ExportStatus::Exported:
        for (const std::string& name : result.LeftOut) {
            err << "quillon-cli: avertissement : laissé de côté, nom qu'un fichier .reg ne peut "
                   "pas "
                   "porter (saut de ligne ou caractère nul) : "
                << AnsiForDisplay(name) << "\n";
        }
        return ExitDone;
    case ExportStatus::KeyNotOpened:
        err << "quillon-cli: clé introuvable ou illisible : " << AnsiForDisplay(keyName) << "\n";
        return ExitFailed;
    case ExportStatus::FileFailed:
        err << "quillon-cli: impossible d'écrire « " << result.Error.Path
            << " » : " << result.Error.Reason() << "\n";
        return ExitFailed;
    }
    return ExitFailed;
}

} // namespace quillon::cli
