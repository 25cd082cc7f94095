#include "cli/command_args.h"

#include <ostream>

namespace quillon::cli {
namespace {

// The value after an option, or nothing (said) when the option ends the line.
std::optional<std::string> ValueOf(const std::vector<std::string>& args, std::size_t& i,
                                   std::ostream& err) {
    if (i + 1 >= args.size()) {
        err << "quillon-cli: " << args[i] << " attend une valeur\n";
        return std::nullopt;
    }
    return args[++i];
}

bool Unknown(const std::string& arg, std::ostream& err) {
    err << "quillon-cli: option inconnue : " << arg << "\n";
    return false;
}

} // namespace

std::optional<BackupArgs> ParseBackupArgs(const std::vector<std::string>& args, bool saveHive,
                                          std::ostream& err) {
    BackupArgs parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::optional<std::string> value;
        if (arg == "--eml" || arg == "--open-formats") {
            if (parsed.Conversion != MailConversion::None) {
                err << "quillon-cli: --eml et --open-formats ne vont pas ensemble (--open-formats "
                       "écrit aussi les .eml)\n";
                return std::nullopt;
            }
            parsed.Conversion = arg == "--eml" ? MailConversion::Eml : MailConversion::OpenFormats;
            continue;
        }
        if (arg == "--only" || arg == "--generate-accounts" || arg == "--mail" ||
            (arg == "--identity" && saveHive)) {
            if (!(value = ValueOf(args, i, err))) {
                return std::nullopt;
            }
        } else if (arg.starts_with("--")) {
            Unknown(arg, err);
            return std::nullopt;
        }
        if (arg == "--only") {
            parsed.Only = value;
        } else if (arg == "--identity") {
            parsed.Identity = value;
        } else if (arg == "--mail") {
            parsed.Mail = value;
        } else if (arg == "--generate-accounts") {
            if (*value != "yes" && *value != "no") {
                err << "quillon-cli: --generate-accounts : « " << *value
                    << " » n'est ni yes ni no\n";
                return std::nullopt;
            }
            parsed.Generate = *value == "yes" ? Answer::Yes : Answer::No;
        } else {
            parsed.Positional.push_back(arg);
        }
    }
    if (parsed.Positional.size() != (saveHive ? 2u : 1u)) {
        err << (saveHive
                    ? "quillon-cli: usage : save-hive RUCHE FICHIER [--identity ID] "
                      "[--only LISTE] [--generate-accounts yes|no] [--mail DOSSIER "
                      "[--eml|--open-formats]]\n"
                    : "quillon-cli: usage : save FICHIER [--only LISTE] "
                      "[--generate-accounts yes|no] [--mail DOSSIER [--eml|--open-formats]]\n");
        return std::nullopt;
    }
    if (parsed.Conversion != MailConversion::None && !parsed.Mail) {
        err << "quillon-cli: --eml et --open-formats écrivent les messages du courrier copié : "
               "donnez aussi --mail DOSSIER\n";
        return std::nullopt;
    }
    return parsed;
}

std::optional<ProfileArgs> ParseProfileArgs(const std::vector<std::string>& args,
                                            std::ostream& err) {
    ProfileArgs parsed;
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::optional<std::string>* option = args[i] == "--hive"       ? &parsed.Hive
                                             : args[i] == "--identity" ? &parsed.Identity
                                             : args[i] == "--store"    ? &parsed.Store
                                                                       : nullptr;
        if (option != nullptr) {
            if (!(*option = ValueOf(args, i, err))) {
                return std::nullopt;
            }
        } else if (args[i] == "--recover") {
            parsed.Recover = true;
        } else if (args[i].starts_with("--")) {
            Unknown(args[i], err);
            return std::nullopt;
        } else {
            positional.push_back(args[i]);
        }
    }
    if (positional.size() != 1 || (parsed.Identity && !parsed.Hive && !parsed.Store) ||
        (parsed.Hive && parsed.Store)) {
        err << "quillon-cli: usage : thunderbird-profile DOSSIER [--hive RUCHE [--identity ID] | "
               "--store COPIE [--identity ID]] [--recover]\n";
        return std::nullopt;
    }
    parsed.Target = positional[0];
    return parsed;
}

std::optional<AdaptArgs> ParseAdaptArgs(const std::vector<std::string>& args, std::ostream& err) {
    AdaptArgs parsed;
    std::vector<std::string> files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::optional<std::string>* option = args[i] == "--identity"       ? &parsed.Identity
                                             : args[i] == "--folder"       ? &parsed.Folder
                                             : args[i] == "--address-book" ? &parsed.AddressBook
                                             : args[i] == "--mail"         ? &parsed.Mail
                                                                           : nullptr;
        if (args[i] == "--replace-mail") {
            parsed.ReplaceMail = true;
        } else if (option != nullptr) {
            if (!(*option = ValueOf(args, i, err))) {
                return std::nullopt;
            }
        } else if (args[i].starts_with("--")) {
            Unknown(args[i], err);
            return std::nullopt;
        } else {
            files.push_back(args[i]);
        }
    }
    if (files.size() != 2) {
        err << "quillon-cli: usage : adapt ENTRÉE SORTIE [--identity ANCIENNE] [--folder DOSSIER] "
               "[--address-book CHEMIN] [--mail COPIE [--replace-mail]]\n";
        return std::nullopt;
    }
    if (parsed.ReplaceMail && !parsed.Mail) {
        err << "quillon-cli: --replace-mail remplace le courrier déjà en place par celui d'une "
               "copie : donnez aussi --mail COPIE\n";
        return std::nullopt;
    }
    parsed.Input = files[0];
    parsed.Output = files[1];
    return parsed;
}

bool PositionalOnly(const char* usage, std::size_t count, const std::vector<std::string>& args,
                    std::ostream& err) {
    for (const std::string& arg : args) {
        if (arg.starts_with("--")) {
            return Unknown(arg, err);
        }
    }
    if (args.size() != count) {
        err << "quillon-cli: usage : " << usage << "\n";
        return false;
    }
    return true;
}

} // namespace quillon::cli
