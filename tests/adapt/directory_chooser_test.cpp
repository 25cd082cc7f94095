// The directory chooser of tab 3 as the model drives it, whichever face shows it: the folder
// it gives back, cancelling, and the folders of an installation read offline.
#include "../dialogue_fixture.h"
#include "../test_files.h"
#include "../test_support.h"

namespace quillon {
namespace {

using Messages = std::vector<std::string>;

class DirectoryChooserTest : public ::testing::Test {
  protected:
    void SetUp() override {
        rig.store = test::StoreFromReg(test::OeRegistry("{22222222-0000-0000-0000-000000000000}"));
        rig.Launch();
        d_ = &*rig.dialogue;
        test::WriteBytes(input, "REGEDIT4\r\n[HKEY_CURRENT_USER\\Identities\\{1}\\Software\\"
                                "Microsoft\\Outlook Express\\5.0]\r\n"
                                "\"Store Root\"=\"C:\\\\Old\\\\OE\"\r\n");
        rig.ui.files.push_back(input);
        d_->OuvrirSauvegarde_Click();
        ASSERT_EQ(d_->RepertoireLu.Text(), "C:\\Old\\OE");
    }

    test::ScratchFolder folder;
    std::string input = folder.File("old.reg");
    test::DialogueRig rig;
    test::FakeUi& ui = rig.ui;
    Dialogue* d_ = nullptr;
};

TEST_F(DirectoryChooserTest, TheChooserSetsTheNewFolder) {
    Dialogue& d = *d_;
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

    // A folder on a mount point below another drive lies on the mount point.
    const std::string above = folder.Path().parent_path().string();
    d.ChooserDrives = [&] { return std::vector<std::string>{there, above}; };
    ui.chooserScript = [&](ChoixRepertSauve& chooser) {
        chooser.Start(folder.File("inside"));
        EXPECT_EQ(chooser.Drive(), there);
        chooser.RepertAnnule_Click();
    };
    d.ChoixRepertoireSauvegarde_Click();
}

#ifndef _WIN32
// Offline, folders are those of the installation read: checked and chosen on its disk or in its
// image, as Windows paths; with no installation behind the registry, the user is told once.
TEST_F(DirectoryChooserTest, OfflineFoldersAreThoseOfTheInstallationRead) {
    Dialogue& d = *d_;
    InstallationPaths disk;
    d.Installation = &disk;
    d.RepertoireChoisi.SetText("C:\\Mail");
    d.RepertoireChoisi_LostFocus();
    d.RepertoireLu_LostFocus();
    EXPECT_EQ(ui.Texts(),
              (Messages{"Quillon | Le registre lu ne vient pas d'une installation Windows "
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
    // The drive's root has nothing above it: ".." there keeps it, as a path of its own.
    ui.chooserScript = [&](ChoixRepertSauve& chooser) {
        chooser.DriveRepert2_Change("D:\\");
        chooser.ImageFolderPicked("..");
        chooser.Repert2OK_Click();
    };
    d.ChoixRepertoireSauvegarde_Click();
    EXPECT_EQ(d.RepertoireChoisi.Text(), "D:\\");
}
#endif

} // namespace
} // namespace quillon
