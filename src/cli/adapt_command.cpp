// adapt: tab 3 of the window from the command line.
#include "cli/cli_ui.h"
#include "cli/command_args.h"
#include "cli/commands.h"
#include "cli/console_text.h"
#include "text/native_text.h"

#include <filesystem>
#include <ostream>

namespace quillon::cli {
int RunAdapt(Dialogue& dialogue, CliUi& ui, const std::vector<std::string>& args, std::ostream& out,
             std::ostream& err) {
    const auto parsed = ParseAdaptArgs(args, err);
    if (!parsed) {
        return ExitUsage;
    }
    std::error_code ignored;
    if (std::filesystem::is_directory(parsed->Input, ignored)) {
        err << "quillon-cli: « " << parsed->Input << " » est un dossier, pas une sauvegarde\n";
        return ExitFailed;
    }
    dialogue.Onglets.Select(3);
    dialogue.Onglets_Click();
    ui.DialogFile = parsed->Input;
    dialogue.ReadsBackupsOnly = true;
    // Reading shows a message only to refuse the file (missing, unreadable...): it said why.
    const int shown = ui.MessageCount();
    dialogue.OuvrirSauvegarde_Click();
    if (ui.MessageCount() != shown) {
        return ExitFailed;
    }
    if (dialogue.iTbImport == 0) {
        err << "quillon-cli: « " << parsed->Input << " » est vide : aucune ligne à adapter\n";
        return ExitFailed;
    }
    if (!dialogue.HoldsABackup()) {
        err << "quillon-cli: « " << parsed->Input
            << " » n'est pas une sauvegarde : sa première ligne n'est ni « REGEDIT4 » ni "
               "« Windows Registry Editor Version 5.00 »\n";
        return ExitFailed;
    }
    if (parsed->Identity) {
        dialogue.IdentiteFichier.SetText(NativeToAnsi(*parsed->Identity));
    }
    if (parsed->Folder) {
        dialogue.RepertoireChoisi.SetText(NativeToAnsi(*parsed->Folder));
        dialogue.LostFocus("RepertoireChoisi"); // the window checks the folder when it is left
    }
    if (parsed->AddressBook) {
        dialogue.CarnetFutur.SetText(NativeToAnsi(*parsed->AddressBook));
    }
    dialogue.BoutonChangerF_Click();
    out << "CommentOnglet3: " << ForConsole(dialogue.CommentOnglet3.Text()) << "\n";
    if (!dialogue.BoutonEnregistrerSauvegarde.Enabled()) {
        return ExitFailed;
    }
    ui.DialogFile = parsed->Output;
    dialogue.CourrierPlace.SetValue(parsed->Mail ? 1 : 0);
    ui.DialogFolder = parsed->Mail;
    ui.QuestionAnswer = parsed->ReplaceMail ? Answer::Yes : Answer::No;
    dialogue.BoutonEnregistrerSauvegarde_Click();
    return ui.LastMessage().starts_with(Ansi(
               parsed->Mail ? "Courrier placé dans " : "Sauvegarde effectuée dans le fichier :"))
               ? ExitDone
               : ExitFailed;
}

} // namespace quillon::cli
