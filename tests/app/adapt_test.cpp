// Tab 3 through the fake Ui: reading a backup, the chooser, the changes and their report,
// writing the adapted file.
#include "adapt/directory_chooser.h"
#include "app/dialogue.h"
#include "fake_ui.h"
#include "test_support.h"
#include "text/ansi_codepage.h"

namespace quillon {
namespace {

using test::FakeUi;
using Messages = std::vector<std::string>;

constexpr const char* kNewId = "{22222222-0000-0000-0000-000000000000}";
constexpr const char* kOldId = "{11111111-0000-0000-0000-000000000000}";
const std::string kLongSid = "S-1-5-21-1111111111-2222222222-3333333333-1003";

std::string Backup() {
    return std::string("REGEDIT4\r\n \r\n[HKEY_CURRENT_USER\\Identities\\") + kOldId +
           "\\Software\\Microsoft\\Outlook Express\\5.0]\r\n\"Store Root\"=\"C:\\\\Old\\\\OE\"\r\n"
           " \r\n[HKEY_USERS\\" +
           kLongSid +
           "\\RemoteAccess]\r\n"
           " \r\n[HKEY_CURRENT_USER\\Software\\Microsoft\\WAB\\WAB4\\Wab File Name]\r\n"
           "@=\"C:\\\\Old\\\\a.wab\"\r\n";
}

class AdaptTest : public ::testing::Test {
  protected:
    void SetUp() override {
        store = test::StoreFromReg(test::OeRegistry(kNewId, "6.0", "S-1-5-21-4-5-6-513"));
        dialogue.emplace(registry, ui, ".");
        dialogue->Form_Load();
        dialogue->Onglets.Select(3);
        dialogue->Onglets_Click();
        ui.messages.clear();
        test::WriteBytes(input, Backup());
    }
    void Open(const std::string& file) {
        ui.files.push_back(file);
        dialogue->OuvrirSauvegarde_Click();
    }
    std::string Lines() const {
        std::string text;
        for (std::size_t i = 0; i < dialogue->TbImport.Size(); ++i) {
            text.append(dialogue->TbImport[i]).append("\r\n");
        }
        return text;
    }
    Messages Texts() const { return ui.Texts(); }

    test::ScratchFolder folder;
    std::string input = folder.File("old.reg");
    MemoryStore store;
    Reg_access registry{store};
    FakeUi ui;
    std::optional<Dialogue> dialogue;
};

TEST_F(AdaptTest, ReadingShowsWhatTheBackupHolds) {
    Dialogue& d = *dialogue;
    EXPECT_FALSE(d.BoutonChangerF.Enabled());
    Open(input);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(ui.dialogs[0].Kind, FileDialogRequest::Form::Open);
    EXPECT_EQ(AnsiToUtf8(ui.dialogs[0].Title), "Choisir le fichier de sauvegarde à modifier ");
    EXPECT_EQ(ui.dialogs[0].FilterIndex, 2);
    EXPECT_EQ(d.iTbImport, 9);
    EXPECT_EQ(d.IdentiteFichier.Text(), kOldId);
    EXPECT_EQ(d.RepertoireLu.Text(), "C:\\Old\\OE");
    EXPECT_EQ(d.RepertoireChoisi.Text(), "C:\\Old\\OE");
    EXPECT_EQ(d.TexteGroupeLu.Text(), kLongSid);
    EXPECT_EQ(d.CarnetLu.Text(), "C:\\Old\\a.wab");
    EXPECT_EQ(AnsiToUtf8(d.CarnetFutur.Text()), "Répertoire par défaut");
    EXPECT_EQ(d.CheminCarnetNouveau, d.CarnetFutur.Text()); // follows every change
    d.CarnetFutur.SetText("D:\\b.wab");
    EXPECT_EQ(d.CheminCarnetNouveau, "D:\\b.wab");
    EXPECT_EQ(d.CommentOnglet3.Text(), "  9  lus ");
    EXPECT_TRUE(d.BoutonChangerF.Enabled());
    EXPECT_FALSE(d.BoutonEnregistrerSauvegarde.Enabled());
}

// A backup that went through a tool writing LF alone, or a mix of endings, is read line for
// line and written back with CR LF.
TEST_F(AdaptTest, LinesEndAtCrLfCrOrLfAlone) {
    const std::string crlf = Backup();
    for (const std::string& ending : {std::string("\n"), std::string("\r")}) {
        std::string other = crlf;
        for (std::size_t at = other.find("\r\n"); at != std::string::npos;
             at = other.find("\r\n", at + ending.size())) {
            other.replace(at, 2, ending);
        }
        test::WriteBytes(input, other);
        Open(input);
        EXPECT_EQ(dialogue->iTbImport, 9);
        EXPECT_EQ(Lines(), crlf);
    }
    std::string mixed = crlf;
    mixed.replace(mixed.find("\r\n"), 2, "\n");
    mixed.replace(mixed.rfind("\r\n"), 2, "\r");
    test::WriteBytes(input, mixed);
    Open(input);
    EXPECT_EQ(Lines(), crlf);
    EXPECT_EQ(dialogue->IdentiteFichier.Text(), kOldId);
}

// A folder that could end the quoted line early, or start a line of its own, is refused; the
// held lines stay as they were.
TEST_F(AdaptTest, AFolderNoWindowsPathCanHoldIsRefused) {
    std::string backup = Backup();
    // "C:\a" CR LF "[HKEY_LOCAL_MACHINE\X]" as an expandable string.
    const std::string quoted = "\"Store Root\"=\"C:\\\\Old\\\\OE\"";
    backup.replace(backup.find(quoted), quoted.size(),
                   "\"Store Root\"=hex(2):43,3a,5c,61,22,0d,0a,5b,48,4b,45,59,5f,4c,4f,43,41,4c,5f,"
                   "4d,41,43,48,49,4e,45,5c,58,5d,00");
    test::WriteBytes(input, backup);
    Open(input);
    const std::string before = Lines();
    dialogue->BoutonChangerF_Click();
    EXPECT_EQ(
        ui.messages.back().Text.rfind("Le répertoire choisi ou le carnet d'adresses contient", 0),
        0u);
    EXPECT_EQ(Lines(), before);
    EXPECT_FALSE(dialogue->BoutonEnregistrerSauvegarde.Enabled());
    for (const char* typed : {"C:\\a\"b", "C:\\a|b"}) {
        dialogue->RepertoireChoisi.SetText(typed);
        dialogue->BoutonChangerF_Click();
        EXPECT_EQ(Lines(), before) << typed;
    }
    dialogue->RepertoireChoisi.SetText("D:\\OE");
    dialogue->CarnetFutur.SetText("D:\\a\".wab\r\n[HKEY_LOCAL_MACHINE\\X]");
    dialogue->BoutonChangerF_Click();
    EXPECT_EQ(Lines(), before);
    EXPECT_TRUE(IsWindowsPath("%UserProfile%\\Local Settings\\Identit\xE9s"));
}

TEST_F(AdaptTest, AMissingOrUnreadableFileChangesNothing) {
    Open(input);
    ui.files.push_back(folder.File("nothing.reg"));
    dialogue->OuvrirSauvegarde_Click();
    EXPECT_EQ(Texts(), (Messages{"Quillon | Le fichier " + folder.File("nothing.reg") +
                                 " n'existe pas ! "}));
    EXPECT_EQ(ui.messages[0].Icon, MessageIcon::None);
    EXPECT_EQ(dialogue->iTbImport, 9);
    dialogue->OuvrirSauvegarde_Click(); // cancelled: nothing at all
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(dialogue->iTbImport, 9);
}

TEST_F(AdaptTest, ChangesAreAppliedAndReportedAndAReadStartsOver) {
    Dialogue& d = *dialogue;
    Open(input);
    d.RepertoireChoisi.SetText("D:\\Mail");
    d.BoutonChangerF_Click();
    EXPECT_TRUE(ui.messages.empty()); // identity and folder changed: nothing to warn about
    EXPECT_EQ(AnsiToUtf8(d.CommentOnglet3.Text()),
              "Changements d'identité : 1\r\nChangement de répertoire : 1");
    EXPECT_EQ(d.TexteGroupeLu.Text(), kLongSid);
    EXPECT_TRUE(d.BoutonEnregistrerSauvegarde.Enabled());
    const std::string changed = Lines();
    EXPECT_NE(changed.find(std::string("Identities\\") + kNewId + "\\Software\\Microsoft\\Outlook"),
              std::string::npos);
    EXPECT_NE(changed.find("[HKEY_USERS\\S-1-5-21-4-5-6-1003\\RemoteAccess]"), std::string::npos);
    EXPECT_NE(changed.find("\"Store Root\"=\"D:\\\\Mail\""), std::string::npos);
    EXPECT_NE(changed.find(" \r\n \r\n"), std::string::npos); // the address book blanked

    Open(input); // the same file again: the original lines, the changes gone
    EXPECT_EQ(Lines(), Backup());
    EXPECT_FALSE(d.BoutonEnregistrerSauvegarde.Enabled());
}

TEST_F(AdaptTest, EachReportRowHasItsMessages) {
    Dialogue& d = *dialogue;
    const auto run = [&](std::string identity, std::string chosen) {
        Open(input);
        d.IdentiteFichier.SetText(identity);
        d.RepertoireChoisi.SetText(chosen);
        ui.messages.clear();
        d.BoutonChangerF_Click();
        return Texts();
    };
    const std::string check = "\r\n\r\nVérifiez que cela correspond à vos souhaits.";
    EXPECT_EQ(
        run("{x}", "D:\\New"),
        (Messages{"Modifier le fichier sauvegarde 14 | Pas de changement d'identité," + check}));
    EXPECT_EQ(AnsiToUtf8(d.CommentOnglet3.Text()),
              "Pas de changement d'identité  \r\nChangement de répertoire : 1");
    EXPECT_EQ(
        run(kOldId, "C:\\Old\\OE"),
        (Messages{"Modifier le fichier sauvegarde 14 | Pas de remplacement de répertoire OE, " +
                  check}));
    EXPECT_EQ(AnsiToUtf8(d.CommentOnglet3.Text()),
              "Changements d'identité : 1\r\nPas de changement de répertoire  ");
    // Only the group changes: two messages, in this order.
    EXPECT_EQ(
        run("{x}", "C:\\Old\\OE"),
        (Messages{"Modifier le fichier sauvegarde 14 | Pas de remplacement de répertoire OE, " +
                      check,
                  "Modifier le fichier sauvegarde 14 | Pas de changement d'identité," + check}));
    EXPECT_EQ(AnsiToUtf8(d.CommentOnglet3.Text()),
              "Pas de changement d'identité  \r\nChangement de répertoire : 0");

    store
        .FindKey("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Group Policy\\"
                 "GroupMembership")
        ->RemoveValue("Group0");
    d.GroupeActif.clear();
    EXPECT_EQ(run("{x}", "C:\\Old\\OE"),
              (Messages{"Modifier le fichier de sauvegarde 13 | Aucune modification apportée, " +
                        check}));
    EXPECT_EQ(AnsiToUtf8(d.CommentOnglet3.Text()),
              "Pas de changement d'identité \r\nPas de changement de répertoire  ");
    EXPECT_TRUE(d.BoutonEnregistrerSauvegarde.Enabled());

    EXPECT_EQ(run("", "C:\\"),
              (Messages{"Modifier le fichier sauvegarde 11 | Incohérence entre clefs et options"}));
}

TEST_F(AdaptTest, WritingTheAdaptedFile) {
    Dialogue& d = *dialogue;
    test::WriteBytes(input, "REGEDIT4\r\n");
    Open(input);
    d.BoutonChangerF_Click();
    ui.messages.clear();
    d.BoutonEnregistrerSauvegarde_Click();
    EXPECT_EQ(Texts(), (Messages{"Quillon | Le fichier de sauvegarde des paramètres est vide"}));
    EXPECT_TRUE(ui.dialogs.size() == 1u); // no dialog for one line

    test::WriteBytes(input, Backup());
    Open(input);
    d.BoutonChangerF_Click();
    const std::string adapted = Lines();
    ui.messages.clear();
    const std::string target = folder.File("missing/new.reg");
    ui.files.push_back(target);
    d.BoutonEnregistrerSauvegarde_Click();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].Icon, MessageIcon::Stop);
    EXPECT_NE(ui.messages[0].Text.find(target), std::string::npos);
    EXPECT_EQ(Lines(), adapted); // the held lines stay

    const std::string output = folder.File("new.reg");
    test::WriteBytes(output, "old content");
    ui.messages.clear();
    ui.files.push_back(output);
    d.BoutonEnregistrerSauvegarde_Click();
    EXPECT_EQ(test::ReadBytes(output), adapted);
    EXPECT_EQ(Texts(), (Messages{"Enregistrement du fichier paramètre modifié | Sauvegarde "
                                 "effectuée dans le fichier :\n\n" +
                                 output + "\n\r\n9 lignes "}));
    const FileDialogRequest& dialog = ui.dialogs.back();
    EXPECT_EQ(dialog.FilterIndex, 1);
    EXPECT_TRUE(dialog.OverwritePrompt);
    EXPECT_EQ(dialog.FileName, "");
    // Only the two files: no temporary file is left beside them.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 2);
}

// The system regedit writes UTF-16 files, whose hex(2) data are UTF-16 too: such a backup is
// read as text and adapted in the form it came in; one with characters that Windows-1252
// cannot hold is refused rather than altered.
TEST_F(AdaptTest, AUtf16BackupIsAdaptedInItsOwnForm) {
    const std::string folderBytes = "43,00,3a,00,5c,00,4f,00,6c,00,64,00,5c,00,4f,00,45,00,00,00";
    std::string text = Backup();
    text.replace(0, 8, "Windows Registry Editor Version 5.00");
    text.replace(text.find("\"Store Root\"=\"C:\\\\Old\\\\OE\""), 26,
                 "\"Store Root\"=hex(2):" + folderBytes);
    test::WriteBytes(input, "\xFF\xFE" + AnsiToUtf16Le(text));
    Open(input);
    Dialogue& d = *dialogue;
    EXPECT_EQ(d.RepertoireLu.Text(), "C:\\Old\\OE");
    EXPECT_EQ(d.IdentiteFichier.Text(), kOldId);
    d.RepertoireChoisi.SetText("D:\\N\xE9");
    d.BoutonChangerF_Click();
    const std::string output = folder.File("new.reg");
    ui.files.push_back(output);
    d.BoutonEnregistrerSauvegarde_Click();
    const std::string written = test::ReadBytes(output);
    ASSERT_EQ(written.substr(0, 2), "\xFF\xFE");
    const std::string back = Utf16LeToAnsi(std::string_view(written).substr(2));
    EXPECT_EQ(back.rfind("Windows Registry Editor Version 5.00\r\n", 0), 0u);
    EXPECT_NE(back.find("\"Store Root\"=hex(2):44,0,3A,0,5C,0,4E,0,E9,0,0,0\r\n"),
              std::string::npos);
    EXPECT_NE(back.find(kNewId), std::string::npos);

    ui.messages.clear();
    test::WriteBytes(input, "\xFF\xFE" + AnsiToUtf16Le("REGEDIT4\r\n") +
                                std::string("\x2D\x4E", 2)); // U+4E2D
    Open(input);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].Text.find("ne peut pas reprendre sans les altérer"),
              std::string::npos);
    EXPECT_EQ(d.RepertoireLu.Text(), "C:\\Old\\OE"); // nothing was reset
}

TEST_F(AdaptTest, TheChooserSetsTheNewFolder) {
    Dialogue& d = *dialogue;
    Open(input);
    const std::string there = folder.Path().string();
    d.ChooserDrives = [&] { return std::vector<std::string>{there, folder.File("no-disk")}; };
    ui.chooserScript = [&](ChoixRepertSauve& chooser) {
        EXPECT_EQ(AnsiToUtf8(ChoixRepertSauve::Caption), "Choisir un répertoire");
        chooser.Start(there);
        chooser.DriveRepert2_Change(folder.File("no-disk")); // not ready: back to the folder's
        EXPECT_EQ(chooser.Drive(), there);
        chooser.DirRepert2_Change(there);
        chooser.Repert2OK_Click();
    };
    d.ChoixRepertoireSauvegarde_Click();
    EXPECT_EQ(d.RepertoireChoisi.Text(), there);

    d.RepertoireChoisi.SetText("typed");
    ui.chooserScript = [](ChoixRepertSauve& chooser) { chooser.RepertAnnule_Click(); };
    d.ChoixRepertoireSauvegarde_Click();
    EXPECT_EQ(d.RepertoireChoisi.Text(), "C:\\Old\\OE"); // cancel brings back the folder read
    EXPECT_EQ(d.R, "");

    ui.chooserScript = [&](ChoixRepertSauve& chooser) {
        chooser.DirRepert2_Change(there);
        // then the title bar: R keeps the last folder the list showed
    };
    d.ChoixRepertoireSauvegarde_Click();
    EXPECT_EQ(d.R, there);
    EXPECT_EQ(d.RepertoireChoisi.Text(), there);
}

TEST_F(AdaptTest, LeavingAFolderFieldChecksTheFolder) {
    Dialogue& d = *dialogue;
    d.RepertoireChoisi.SetText(folder.Path().string());
    d.RepertoireChoisi_LostFocus();
    // A store folder as the registry gives it: with its terminating zero (and, on Windows, a
    // variable that the system expands).
    d.RepertoireCourant.SetText(folder.Path().string() + std::string(1, '\0'));
    d.RepertoireCourant_LostFocus();
#ifdef _WIN32
    d.RepertoireLu.SetText(std::string("%WINDIR%\\system32") + '\0');
    d.RepertoireLu_LostFocus();
#endif
    EXPECT_TRUE(ui.messages.empty());
    d.RepertoireChoisi.SetText("Q:\\nowhere");
    d.RepertoireChoisi_LostFocus();
    EXPECT_EQ(Texts(), (Messages{"Quillon | Le répertoire Q:\\nowhere n'existe pas ! "}));
    EXPECT_EQ(d.RepertoireChoisi.Text(), "Q:\\nowhere");
}

#ifndef _WIN32
// Offline, folders are those of the installation read: checked and chosen on its disk or in its
// image, as Windows paths; with no installation behind the registry, the user is told once.
TEST_F(AdaptTest, OfflineFoldersAreThoseOfTheInstallationRead) {
    Dialogue& d = *dialogue;
    InstallationPaths disk;
    d.Installation = &disk;
    d.RepertoireChoisi.SetText("C:\\Mail");
    d.RepertoireChoisi_LostFocus();
    d.RepertoireLu_LostFocus();
    EXPECT_EQ(Texts(), (Messages{"Quillon | Le registre lu ne vient pas d'une installation Windows "
                                 "(ruche ou fichier .reg seuls) : Quillon ne peut pas vérifier "
                                 "que les répertoires existent."}));

    ui.messages.clear();
    std::filesystem::create_directories(folder.Path() / "Profil/Mail");
    disk.AddDrive('C', folder.Path().string());
    disk.SetVariable("UserProfile", "C:\\Profil");
    d.RepertoireChoisi.SetText(std::string("%USERPROFILE%\\mail") + '\0');
    d.RepertoireChoisi_LostFocus();
    EXPECT_TRUE(ui.messages.empty());
    d.RepertoireChoisi.SetText(folder.Path().string()); // this machine's folder, not the disk's
    d.RepertoireChoisi_LostFocus();
    EXPECT_EQ(ui.messages.size(), 1u);

    ui.chooserScript = [&](ChoixRepertSauve& chooser) {
        chooser.Start("/home");
        EXPECT_EQ(chooser.Drives(), std::vector<std::string>{"C:\\"});
        EXPECT_EQ(chooser.ListedFolder(), folder.Path().string());
        chooser.ListedFolderPicked((folder.Path() / "Profil").string());
        chooser.Repert2OK_Click();
    };
    d.ChoixRepertoireSauvegarde_Click();
    EXPECT_EQ(d.RepertoireChoisi.Text(), "C:\\Profil");

    // A drive inside a disk image: checked and browsed in its file system, read only.
    ui.messages.clear();
    disk.AddDrive('D', std::make_shared<test::FolderTree>(
                           std::vector<std::string>{"Mail", "Mail/Luc", "Mail/Anne", "Autre"}));
    d.RepertoireChoisi.SetText("d:\\MAIL\\luc");
    d.RepertoireChoisi_LostFocus();
    EXPECT_TRUE(ui.messages.empty());
    d.RepertoireChoisi.SetText("D:\\Mail\\Paul");
    d.RepertoireChoisi_LostFocus();
    EXPECT_EQ(ui.messages.size(), 1u);
    ui.chooserScript = [&](ChoixRepertSauve& chooser) {
        chooser.DriveRepert2_Change("D:\\");
        EXPECT_EQ(chooser.ImageFolderNames(), (std::vector<std::string>{"Autre", "Mail"}));
        chooser.ImageFolderPicked("Mail");
        EXPECT_EQ(chooser.ImageFolderNames(), (std::vector<std::string>{"..", "Anne", "Luc"}));
        chooser.ImageFolderPicked("Anne");
        chooser.ImageFolderPicked("..");
        chooser.ImageFolderPicked("Luc");
        chooser.Repert2OK_Click();
    };
    d.ChoixRepertoireSauvegarde_Click();
    EXPECT_EQ(d.RepertoireChoisi.Text(), "D:\\Mail\\Luc");
}
#endif

} // namespace
} // namespace quillon
