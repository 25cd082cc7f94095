// adapt: tab 3 of the window from the command line.
#include "cli/cli_ui.h"
#include "cli/commands.h"
#include "cli/console_text.h"
#include "text/native_text.h"

#include <ostream>

namespace quillon::cli {

int RunAdapt(Dialogue& dialogue, CliUi& ui, const std::vector<std::string>& args, std::ostream& out,
             std::ostream& err) {
    std::vector<std::string> files;
    std::optional<std::string> identity, folder, addressBook;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const bool hasValue = i + 1 < args.size();
        if (args[i] == "--identity" && hasValue) {
            identity = args[++i];
        } else if (args[i] == "--folder" && hasValue) {
            folder = args[++i];
        } else if (args[i] == "--address-book" && hasValue) {
            addressBook = args[++i];
        } else if (args[i].starts_with("--")) {
            err << "quillon-cli: option inconnue ou incomplète : " << args[i] << "\n";
            return ExitUsage;
        } else {
            files.push_back(args[i]);
        }
    }
    if (files.size() != 2) {
        err << "quillon-cli: usage : adapt ENTRÉE SORTIE [--identity ANCIENNE] [--folder DOSSIER] "
               "[--address-book CHEMIN]\n";
        return ExitUsage;
    }
    dialogue.Onglets.Select(3);
    dialogue.Onglets_Click();
    ui.DialogFile = files[0];
    // Reading shows a message only to refuse the file (missing, unreadable...): it said why.
    const int shown = ui.MessageCount();
    dialogue.OuvrirSauvegarde_Click();
    if (ui.MessageCount() != shown) {
        return ExitFailed;
    }
    if (dialogue.iTbImport == 0) {
        err << "quillon-cli: « " << files[0] << " » est vide : aucune ligne à adapter\n";
        return ExitFailed;
    }
    if (identity) {
        dialogue.IdentiteFichier.SetText(NativeToAnsi(*identity));
    }
    if (folder) {
        dialogue.RepertoireChoisi.SetText(NativeToAnsi(*folder));
    }
    if (addressBook) {
        dialogue.CarnetFutur.SetText(NativeToAnsi(*addressBook));
    }
    dialogue.BoutonChangerF_Click();
    out << "CommentOnglet3: " << ForConsole(dialogue.CommentOnglet3.Text()) << "\n";
    if (!dialogue.BoutonEnregistrerSauvegarde.Enabled()) {
        return ExitFailed;
    }
    ui.DialogFile = files[1];
    dialogue.BoutonEnregistrerSauvegarde_Click();
    return ui.LastMessage().starts_with(Ansi("Sauvegarde effectuée dans le fichier :"))
               ? ExitDone
               : ExitFailed;
}

} // namespace quillon::cli
