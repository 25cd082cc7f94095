// Tab 3: reading a backup file, choosing the new folders, applying the changes for this system
// and writing the adapted file.
#include "adapt/directory_chooser.h"
#include "app/dialogue.h"
#include "files/input_file.h"
#include "files/output_file.h"
#include "files/temp_file.h"
#include "text/ansi_codepage.h"
#include "text/native_text.h"

#include <chrono>
#include <filesystem>

namespace quillon {
namespace {

constexpr const char* kWriteTitle = "Enregistrement du fichier paramètre modifié";
constexpr auto kProgressEvery = std::chrono::milliseconds(200);

bool Exists(const std::string& ansiPath) {
    std::error_code ec;
    return !ansiPath.empty() && std::filesystem::exists(AnsiToNative(ansiPath), ec);
}

std::string ProgressText(std::int64_t lines) {
    return "  " + std::to_string(lines) + "  lus ";
}

// Enough of a file's first bytes to hold its first line, as ANSI or as UTF-16.
constexpr std::size_t kBackupHeadSize = 4096;

// True when the first bytes of a file hold a backup's first line (ANSI, or UTF-16 after its
// byte order mark).
bool BeginsAsABackup(std::string_view head) {
    constexpr std::string_view kUtf16Mark = "\xFF\xFE";
    if (!head.starts_with(kUtf16Mark)) {
        return IsBackupHeader(head);
    }
    head.remove_prefix(kUtf16Mark.size());
    return IsBackupHeader(Utf16LeToAnsi(head.substr(0, head.size() & ~std::size_t{1})));
}

} // namespace

void Dialogue::OuvrirSauvegarde_Click() {
    const auto file = ui_.FileDialog(BackupFileRequest(
        FileDialogRequest::Form::Open, Ansi("Choisir le fichier de sauvegarde à modifier "), 2));
    if (file && !file->empty()) {
        ReadBackup(*file);
    }
}

ReadBackupOutcome Dialogue::ReadBackup(const std::string& backupFile) {
    ReadBackupOutcome outcome;
    // Any file that is not a folder is read: a pipe (a backup given as <(zcat …)) too.
    std::error_code ec;
    if (!std::filesystem::exists(backupFile, ec) || std::filesystem::is_directory(backupFile, ec)) {
        ui_.MessageBox("Le fichier " + NativeToAnsi(backupFile) + " n'existe pas ! ",
                       MessageIcon::None, MessageButtons::Ok, ApplicationTitle);
        outcome.State = ReadBackupOutcome::Status::Missing;
        return outcome;
    }
    // The whole file is read before anything is reset: a file that cannot be read changes
    // nothing on the page.
    std::string content;
    const auto readOn = [this](std::string_view head) {
        return !ReadsBackupsOnly || BeginsAsABackup(head);
    };
    if (!ReadFileAfterHead(backupFile, kBackupHeadSize, readOn, content, outcome.Error)) {
        ReportFileError(outcome.Error, "Lecture du fichier de sauvegarde");
        outcome.State = ReadBackupOutcome::Status::Unreadable;
        return outcome;
    }
    // A UTF-16 file (the system regedit's own form) is read as text, and written back in that
    // form; one whose text Windows-1252 cannot hold whole is refused rather than altered.
    const bool utf16 = content.starts_with("\xFF\xFE");
    if (utf16) {
        std::string text = Utf16LeToAnsi(std::string_view(content).substr(2));
        if (AnsiToUtf16Le(text) != std::string_view(content).substr(2)) {
            ui_.MessageBox(Ansi("Le fichier ") + NativeToAnsi(backupFile) +
                               Ansi(" contient des caractères que Quillon ne peut pas reprendre "
                                    "sans les altérer (hors de la page de code Windows-1252) : "
                                    "il n'est pas lu."),
                           MessageIcon::Stop, MessageButtons::Ok,
                           Ansi("Lecture du fichier de sauvegarde"));
            outcome.State = ReadBackupOutcome::Status::NotInCodePage;
            return outcome;
        }
        content = std::move(text);
    }
    iTbImport = 0;
    iLigneCarnet = 0;
    CarnetFutur.SetText(DefaultAddressBook);
    TbImport.Assign(std::move(content), utf16);

    BackupFindings found;
    auto nextProgress = std::chrono::steady_clock::now() + kProgressEvery;
    for (std::size_t n = 0; n < TbImport.Size(); ++n) {
        ScanLine(TbImport, n, found);
        if ((n & 0xFFF) == 0 && std::chrono::steady_clock::now() >= nextProgress) {
            CommentOnglet3.SetText(ProgressText(static_cast<std::int64_t>(n) + 1));
            ui_.KeepAlive();
            nextProgress = std::chrono::steady_clock::now() + kProgressEvery;
        }
    }
    iTbImport = static_cast<std::int32_t>(TbImport.Size());
    iLigneCarnet = static_cast<std::int32_t>(found.AddressBookLine);
    if (found.Identity) {
        IdentiteFichier.SetText(*found.Identity);
    }
    if (found.StoreFolder) {
        RepertoireLu.SetText(*found.StoreFolder);
        RepertoireChoisi.SetText(RepertoireLu.Text());
    }
    if (found.Group) {
        TexteGroupeLu.SetText(*found.Group);
    }
    if (found.AddressBook) {
        CarnetLu.SetText(*found.AddressBook);
    }
    if (iTbImport > 0) {
        CommentOnglet3.SetText(ProgressText(iTbImport));
    }
    BoutonEnregistrerSauvegarde.SetEnabled(false);
    BoutonChangerF.SetEnabled(iTbImport > 0);
    outcome.Lines = iTbImport;
    return outcome;
}

void Dialogue::ChoixRepertoireSauvegarde_Click() {
    ChoixRepertSauve chooser =
        Installation != nullptr && Installation->HasDrives()
            ? ChoixRepertSauve(
                  R, Installation->Drives(),
                  [this](const std::string& drive) { return Installation->FolderExists(drive); },
                  Installation)
            : ChoixRepertSauve(R, ChooserDrives ? ChooserDrives() : std::vector<std::string>{},
                               [](const std::string& drive) { return Exists(drive); });
    ui_.ShowDirectoryChooser(chooser);
    RepertoireChoisi.SetText(R.empty() ? RepertoireLu.Text() : R);
}

// The folder as the system that wrote it opens it: a store folder read from the registry keeps
// its terminating zero and its %VARIABLES%. Offline, it is looked up in the installation read;
// with none behind the registry there is nothing to look in, which is said once.
void Dialogue::CheckFolderExists(const std::string& folder) {
    if (Installation != nullptr && !Installation->HasDrives()) {
        if (!toldNoInstallation_) {
            toldNoInstallation_ = true;
            ui_.MessageBox(Ansi("Le registre lu ne vient pas d'une installation Windows (ruche ou "
                                "fichier .reg seuls) : Quillon ne peut pas vérifier que les "
                                "répertoires existent."),
                           MessageIcon::Information, MessageButtons::Ok, ApplicationTitle);
        }
        return;
    }
    const bool exists = Installation != nullptr
                            ? Installation->FolderExists(Installation->Expand(folder))
                            : Exists(SystemFolder(folder));
    if (!exists) {
        // A folder as the registry stores it ends with its terminating zero: not for the eye.
        const std::string shown = folder.c_str();
        ui_.MessageBox("Le r\xE9pertoire " + shown + " n'existe pas ! ", MessageIcon::None,
                       MessageButtons::Ok, ApplicationTitle);
    }
}

void Dialogue::RepertoireChoisi_LostFocus() {
    CheckFolderExists(RepertoireChoisi.Text());
}

void Dialogue::RepertoireCourant_LostFocus() {
    CheckFolderExists(RepertoireCourant.Text());
}

void Dialogue::RepertoireLu_LostFocus() {
    CheckFolderExists(RepertoireLu.Text());
}

void Dialogue::BoutonChangerF_Click() {
    AdaptBackup({IdentiteFichier.Text(), RepertoireChoisi.Text(), CheminCarnetNouveau});
}

// The request's values become the tab's, which writing and placing the mail read after it.
AdaptOutcome Dialogue::AdaptBackup(const AdaptRequest& request) {
    IdentiteFichier.SetText(request.OldIdentity);
    RepertoireChoisi.SetText(request.StoreFolder);
    CheminCarnetNouveau = request.AddressBook;
    AdaptOutcome outcome;
    if (IdentiteBdRActif.empty() || IdentiteFichier.Text().empty()) {
        ui_.MessageBox(Ansi("Incohérence entre clefs et options"), MessageIcon::Exclamation,
                       MessageButtons::Ok, "Modifier le fichier sauvegarde 11");
        outcome.State = AdaptOutcome::Status::NoIdentity;
        return outcome;
    }
    // The button is greyed until a backup is read; said plainly if it is reached anyway.
    if (iTbImport < 1) {
        ui_.MessageBox(
            Ansi("Aucune sauvegarde n'est lue : ouvrez d'abord la sauvegarde à modifier."),
            MessageIcon::Stop, MessageButtons::Ok, "Modifier le fichier sauvegarde 12");
        outcome.State = AdaptOutcome::Status::NothingRead;
        return outcome;
    }
    if (!IsWindowsPath(RepertoireChoisi.Text()) || !IsWindowsPath(CheminCarnetNouveau)) {
        ui_.MessageBox(Ansi("Le répertoire choisi ou le carnet d'adresses contient un caractère "
                            "qu'un chemin Windows ne peut pas contenir (caractère de contrôle, \", "
                            "<, >, |, * ou ?) : aucun changement n'est apporté."),
                       MessageIcon::Exclamation, MessageButtons::Ok,
                       "Modifier le fichier sauvegarde 11");
        outcome.State = AdaptOutcome::Status::NotWindowsPath;
        return outcome;
    }
    outcome.Counts = AdaptLines(TbImport, {IdentiteFichier.Text(), IdentiteBdRActif,
                                           RepertoireLu.Text(), RepertoireChoisi.Text(),
                                           GroupeActif, CheminCarnetNouveau, iLigneCarnet});
    if (outcome.Counts.OldGroup) {
        TexteGroupeLu.SetText(*outcome.Counts.OldGroup);
    }
    ReportAdaptation(outcome.Counts);
    BoutonEnregistrerSauvegarde.SetEnabled(true);
    return outcome;
}

// The summary in CommentOnglet3, and a message for what was not changed.
void Dialogue::ReportAdaptation(const AdaptationCounts& counts) {
    const std::string identities =
        Ansi("Changements d'identité : ") + std::to_string(counts.Identity);
    const std::string folders = Ansi("Changement de répertoire : ") + std::to_string(counts.Folder);
    const std::string noIdentity = Ansi("Pas de changement d'identité  ");
    const std::string noFolder = Ansi("Pas de changement de répertoire  ");
    const auto tell = [this](const char* first, const char* title) {
        ui_.MessageBox(Ansi(first) + "\r\n\r\n" +
                           Ansi("Vérifiez que cela correspond à vos souhaits."),
                       MessageIcon::Information, MessageButtons::Ok, title);
    };
    const bool otherChanges = counts.Group > 0 || counts.AddressBook > 0;
    CommentOnglet3.SetText(identities + "\r\n" + folders);
    if (counts.Folder > 0 && counts.Identity > 0) {
        return;
    }
    if (counts.Folder > 0) {
        CommentOnglet3.SetText(noIdentity + "\r\n" + folders);
        tell("Pas de changement d'identité,", "Modifier le fichier sauvegarde 14");
    } else if (counts.Identity > 0) {
        CommentOnglet3.SetText(identities + "\r\n" + noFolder);
        tell("Pas de remplacement de répertoire OE, ", "Modifier le fichier sauvegarde 14");
    } else if (!otherChanges) {
        CommentOnglet3.SetText(Ansi("Pas de changement d'identité ") + "\r\n" + noFolder);
        tell("Aucune modification apportée, ", "Modifier le fichier de sauvegarde 13");
    } else {
        CommentOnglet3.SetText(identities + "\r\n" + noFolder);
        tell("Pas de remplacement de répertoire OE, ", "Modifier le fichier sauvegarde 14");
        CommentOnglet3.SetText(noIdentity + "\r\n" + folders);
        tell("Pas de changement d'identité,", "Modifier le fichier sauvegarde 14");
    }
}

// Whether tab 3 holds lines to write; said when it does not.
bool Dialogue::HoldsLinesToWrite() {
    if (iTbImport <= 1) {
        ui_.MessageBox(Ansi("Le fichier de sauvegarde des paramètres est vide"), MessageIcon::None,
                       MessageButtons::Ok, ApplicationTitle);
        return false;
    }
    return true;
}

void Dialogue::BoutonEnregistrerSauvegarde_Click() {
    if (!HoldsLinesToWrite()) {
        return;
    }
    FileDialogRequest request =
        BackupFileRequest(FileDialogRequest::Form::Save,
                          Ansi("Choisir le fichier pour enregistrer le fichier modifié "), 1);
    request.OverwritePrompt = true;
    const std::string file = ui_.FileDialog(request).value_or("");
    if (WriteAdaptedBackup(file).State == WriteOutcome::Status::Written &&
        CourrierPlace.Value() == 1) {
        PlacerCourrier();
    }
}

WriteOutcome Dialogue::WriteAdaptedBackup(const std::string& file) {
    WriteOutcome outcome;
    if (!HoldsLinesToWrite()) {
        outcome.State = WriteOutcome::Status::Empty;
        return outcome;
    }
    FichierExport4 = file;
    outcome.File = file;
    if (FichierExport4.empty()) {
        ui_.MessageBox(Ansi("Sauvegarde non effectuée, pas de fichier indiqué"),
                       MessageIcon::Exclamation, MessageButtons::Ok,
                       Ansi("Sauvegarde des paramètres Outlook Express"));
        outcome.State = WriteOutcome::Status::NoFile;
        return outcome;
    }
    // Written beside the target and renamed over it once complete: a failure never leaves the
    // chosen file half-written.
    FileError& error = outcome.Error;
    auto temporary = TemporaryFile::CreateBeside(FichierExport4, error);
    OutputFile out;
    bool written = temporary && out.Open(*temporary, error);
    if (written) {
        TbImport.WriteTo(out);
        written = out.Close(error) && temporary->RenameTo(FichierExport4, error);
    }
    if (!written) {
        error.Path = FichierExport4;
        ReportFileError(error, kWriteTitle);
        outcome.State = WriteOutcome::Status::FileFailed;
        return outcome;
    }
    ui_.MessageBox(Ansi("Sauvegarde effectuée dans le fichier :") + "\n\n" +
                       NativeToAnsi(FichierExport4) + "\n\r\n" + std::to_string(iTbImport) +
                       " lignes ",
                   MessageIcon::Information, MessageButtons::Ok, Ansi(kWriteTitle));
    outcome.Lines = iTbImport;
    return outcome;
}

} // namespace quillon
