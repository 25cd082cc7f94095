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
    dialogue.ShowTab(3);
    dialogue.ReadsBackupsOnly = true;
    const ReadBackupOutcome read = dialogue.ReadBackup(parsed->Input);
    if (read.State != ReadBackupOutcome::Status::Read) {
        return ExitFailed;
    }
    if (read.Lines == 0) {
        err << "quillon-cli: « " << parsed->Input << " » est vide : aucune ligne à adapter\n";
        return ExitFailed;
    }
    if (!dialogue.HoldsABackup()) {
        err << "quillon-cli: « " << parsed->Input
            << " » n'est pas une sauvegarde : sa première ligne n'est ni « REGEDIT4 » ni "
               "« Windows Registry Editor Version 5.00 »\n";
        return ExitFailed;
    }
    AdaptRequest request{dialogue.IdentiteFichier.Text(), dialogue.RepertoireChoisi.Text(),
                         dialogue.CheminCarnetNouveau};
    if (parsed->Identity) {
        request.OldIdentity = NativeToAnsi(*parsed->Identity);
    }
    if (parsed->Folder) {
        request.StoreFolder = NativeToAnsi(*parsed->Folder);
        dialogue.CheckFolderExists(request.StoreFolder); // as the window does when it is left
    }
    if (parsed->AddressBook) {
        request.AddressBook = NativeToAnsi(*parsed->AddressBook);
    }
    const AdaptOutcome adapted = dialogue.AdaptBackup(request);
    out << "CommentOnglet3: " << ForConsole(dialogue.CommentOnglet3.Text()) << "\n";
    if (adapted.State != AdaptOutcome::Status::Adapted ||
        dialogue.WriteAdaptedBackup(parsed->Output).State != WriteOutcome::Status::Written) {
        return ExitFailed;
    }
    if (!parsed->Mail) {
        return ExitDone;
    }
    ui.QuestionAnswer = parsed->ReplaceMail ? Answer::Yes : Answer::No;
    return dialogue.PlaceMailCopy(*parsed->Mail).State == MailOutcome::Status::Done ? ExitDone
                                                                                    : ExitFailed;
}

} // namespace quillon::cli
