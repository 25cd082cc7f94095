// quillon-cli: Quillon's jobs from the command line, over the same model as the window.
#include "app/licence.h"
#include "app/registry_commands.h"
#include "cli/cli_ui.h"
#include "cli/command_args.h"
#include "cli/commands.h"
#include "cli/console_text.h"
#include "options/store_options.h"

#include <exception>
#include <iostream>

namespace {

const char* const kUsageStart = "Usage : quillon-cli [REGISTRE] COMMANDE [ARGUMENTS]\n"
                                "\n"
                                "Commandes :\n";
const char* const kUsageEnd =
    "\n"
    "LISTE : cases à cocher, séparées par des virgules (sans --only : toutes) : all,\n"
    "blocked-senders, blocked-mail, blocked-news, rules, rules-mail, filters, rules-news,\n"
    "signatures, accounts, dialup, address-book (onglet 1 seulement). --generate-accounts\n"
    "répond à la question « les générer ? » (oui par défaut).\n"
    "\n"
    "Le courrier : avec --mail DOSSIER, save et save-hive copient aussi, après la\n"
    "sauvegarde, chaque fichier du répertoire OE de l'identité (.dbx) et le carnet\n"
    "d'adresses (.wab, dans « Carnet d'adresses ») dans DOSSIER, nouveau ou vide ; chaque\n"
    "copie est comparée à l'original. --eml écrit aussi les messages en fichiers .eml\n"
    "(dans « Messages eml », un dossier par dossier de messages) ; --open-formats, en\n"
    "mbox et en .eml (dans « Formats ouverts », comme export-mail).\n"
    "Avec --mail COPIE, adapt place ensuite une telle copie dans le répertoire OE et au\n"
    "chemin du carnet de la sauvegarde adaptée ; des fichiers déjà là ne sont remplacés\n"
    "qu'avec --replace-mail.\n"
    "\n"
    "Les options du registre (ci-dessous) se placent avant ou après la commande.\n\n";

// After a usage error: one line, and where the help is.
const char* const kSeeHelp = "Aide : quillon-cli --help\n";

// A window's command: the start-up first, as when the window opens, then the command.
int RunInWindow(const quillon::cli::Command& command, quillon::cli::CommandContext& context,
                const quillon::OpenedStore& opened, const std::vector<std::string>& args) {
    using namespace quillon;
    cli::CliUi ui(context.Err);
    Dialogue dialogue(*context.Registry, ui, context.ProgramFolder);
    // Offline, folders are looked up and the mail found in the installation read.
    if (opened.Installation) {
        dialogue.Installation = &*opened.Installation;
    }
    dialogue.Form_Load();
    if (dialogue.Ended()) {
        if (dialogue.VersionOE.empty()) {
            context.Err << "quillon-cli: la version d'OE se lit dans la ruche SOFTWARE de Windows "
                           "(HKEY_LOCAL_MACHINE\\Software) : donnez --windows DOSSIER, ou la ruche "
                           "avec --hive HKEY_LOCAL_MACHINE\\Software=FICHIER\n";
        }
        return cli::ExitFailed;
    }
    context.Window = &dialogue;
    context.Ui = &ui;
    return command.Run(context, args);
}

void PrintUsage() {
    std::cout << kUsageStart;
    for (const quillon::cli::Command& command : quillon::cli::Commands()) {
        std::cout << command.Help;
    }
    std::cout << kUsageEnd << quillon::StoreOptionsHelp;
}

// Damage met while the hives were read, said once the reading is done.
void WarnOfDamageRead(quillon::OpenedStore& opened) {
    for (const std::string& warning : opened.TakeReadWarnings()) {
        std::cerr << "quillon-cli: avertissement : " << warning << "\n";
    }
}

int Run(const std::string& programFolder, const std::vector<std::string>& args) {
    using namespace quillon;
    // Registry options are taken wherever they stand, before or after the command, as a user
    // of such commands expects: `status --reg FILE` reads FILE, not the default registry.
    StoreOptions storeOptions;
    std::vector<std::string> words; // the command and its own arguments
    for (std::size_t index = 0; index < args.size();) {
        if (args[index] == "--help" || args[index] == "-h") {
            PrintUsage();
            return cli::ExitDone;
        }
        if (args[index] == "--version") {
            std::cout << "quillon-cli " QUILLON_VERSION "\n" << kLicenceLines;
            return cli::ExitDone;
        }
        std::string error;
        const OptionParse parsed = ParseStoreOption(args, index, storeOptions, error);
        if (parsed == OptionParse::Error) {
            std::cerr << "quillon-cli: " << error << "\n";
            return cli::ExitUsage;
        }
        if (parsed == OptionParse::NotAStoreOption) {
            words.push_back(args[index++]);
        }
    }
    if (words.empty()) {
        std::cerr << "quillon-cli: commande manquante\n";
        return cli::ExitUsage;
    }
    const std::string command = words.front();
    const std::vector<std::string> commandArgs(words.begin() + 1, words.end());
    if (command.starts_with("-")) {
        std::cerr << "quillon-cli: option inconnue : " << command << "\n";
        return cli::ExitUsage;
    }
    const cli::Command* found = cli::FindCommand(command);
    if (found == nullptr) {
        std::cerr << "quillon-cli: commande inconnue : " << command << "\n";
        return cli::ExitUsage;
    }
    if (const std::string misplaced = MisplacedChoice(storeOptions); !misplaced.empty()) {
        std::cerr << "quillon-cli: " << misplaced << "\n";
        return cli::ExitUsage;
    }
    if (found->ArgumentsValid != nullptr && !found->ArgumentsValid(commandArgs, std::cerr)) {
        return cli::ExitUsage;
    }
    cli::CommandContext context{storeOptions, programFolder, std::cout, std::cerr};
    if (found->Need == cli::Command::Needs::Options) {
        return found->Run(context, commandArgs);
    }
    OpenedStore opened = OpenStore(storeOptions);
    for (const std::string& warning : opened.Warnings) {
        std::cerr << "quillon-cli: avertissement : " << warning << "\n";
    }
    if (!opened.Store) {
        std::cerr << "quillon-cli: " << opened.Error << "\n";
        return cli::ExitFailed;
    }
    Reg_access registry(*opened.Store);
    context.Registry = &registry;
    const bool window = found->Need == cli::Command::Needs::Window &&
                        !(found->RegistryEnough != nullptr && found->RegistryEnough(commandArgs));
    const int status = window ? RunInWindow(*found, context, opened, commandArgs)
                              : found->Run(context, commandArgs);
    WarnOfDamageRead(opened);
    return status;
}

} // namespace

int main(int argc, char** argv) {
    quillon::cli::PrepareConsole();
    quillon::CleanUpOnInterrupt();
    try {
        const std::string program = argc > 0 ? argv[0] : "";
        const auto cut = program.find_last_of("/\\");
        const std::string folder = cut == std::string::npos ? "." : program.substr(0, cut);
        const int status = Run(folder, std::vector<std::string>(argv + 1, argv + argc));
        // Every usage error, whichever part found it, ends with where the help is.
        if (status == quillon::cli::ExitUsage) {
            std::cerr << kSeeHelp;
        }
        return status;
    } catch (const std::exception& e) {
        std::cerr << "quillon-cli: erreur inattendue : " << e.what() << "\n";
        return quillon::cli::ExitFailed;
    }
}
