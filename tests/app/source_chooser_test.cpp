// What the window asks to read when it is given nothing: each kind of source read from real
// files, and what the user is told when a choice cannot be opened.
#include "../dialogue_fixture.h"
#include "../test_files.h"
#include "app/dialogue.h"
#include "app/source_chooser.h"
#include "options/registry_files.h"
#include "options/store_options.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace quillon {
namespace {

namespace fs = std::filesystem;
using Source = SourceChooser::Source;

const fs::path kSample = QUILLON_BUILT_EXAMPLES "/sample-xp";

class SourceChooserTest : public testing::Test {
  protected:
    void SetUp() override {
        work = fs::temp_directory_path() / ("quillon-sources-" + std::to_string(::getpid()));
        fs::create_directories(work / "prefix");
        // A Wine prefix with a mail client; "copie.reg" is its user.reg under another name.
        test::WriteBytes(work / "prefix/system.reg",
                         "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n"
                         "[Software\\\\Microsoft\\\\Internet Explorer] 1\n\"Version\"=\"6.0\"\n");
        test::WriteBytes(work / "prefix/user.reg",
                         "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-1\n"
                         "\n[Identities] 1\n\"Last User ID\"=\"{1}\"\n");
        fs::copy_file(work / "prefix/user.reg", work / "copie.reg");
        test::WriteBytes(work / "notes.txt", "rien\n");
    }
    void TearDown() override { fs::remove_all(work); }

    fs::path work;
    SourceChooser chooser{OpenStoresSharingHives(), AddRegistryFile, ""};
};

TEST_F(SourceChooserTest, AWindowsFolderListsItsUserAndOpensIt) {
    chooser.Read(Source::WindowsFolder, kSample.string());
    ASSERT_EQ(chooser.RowCount(), 1) << chooser.Status();
    EXPECT_EQ(chooser.Cells(0)[2], "Luc");
    EXPECT_EQ(chooser.Reading(), "Dossier d'un Windows : " + kSample.string());
    ASSERT_TRUE(chooser.OpenEnabled());
    EXPECT_EQ(chooser.Status(), "« Ouvrir » ouvre les paramètres de Luc.");

    // What the window then opens starts as it would on the command line's options.
    OpenedStore opened = OpenStore(chooser.Chosen());
    ASSERT_TRUE(opened.Store) << opened.Error;
    Reg_access registry(*opened.Store);
    test::FakeUi ui;
    Dialogue dialogue(registry, ui, "");
    dialogue.Form_Load();
    EXPECT_FALSE(dialogue.Ended());

    // A folder without Windows is refused, and what was read stays.
    const std::string reading = chooser.Reading();
    chooser.Read(Source::WindowsFolder, work.string());
    EXPECT_NE(chooser.Status().find(work.string()), std::string::npos) << chooser.Status();
    EXPECT_EQ(chooser.Reading(), reading);
    EXPECT_EQ(chooser.RowCount(), 1);
    EXPECT_TRUE(chooser.OpenEnabled());
}

// The drives of the computer, as the Windows window offers them first: only those that hold an
// installation's folders are read, and one whose hives are missing is listed as unreadable.
TEST_F(SourceChooserTest, DrivesWithAnInstallationAreListedAndTheOthersPassedOver) {
    fs::create_directories(work / "vide/Documents and Settings");
    chooser.ReadDrives({work.string(), kSample.string(), (work / "vide").string()});
    ASSERT_EQ(chooser.RowCount(), 2) << chooser.Status();
    EXPECT_EQ(chooser.Reading(),
              "Disques de cet ordinateur : " + kSample.string() + ", " + (work / "vide").string());
    EXPECT_EQ(chooser.Cells(0)[2], "Luc");
    EXPECT_EQ(chooser.Cells(1)[3], "(illisible)");
    EXPECT_FALSE(chooser.CanOpen(1));
    ASSERT_TRUE(chooser.OpenEnabled()); // the only one that opens is chosen
    EXPECT_EQ(chooser.Chosen().Mounts.at(0).Path, kSample.string());

    SourceChooser none{OpenStoresSharingHives(), AddRegistryFile, ""};
    none.ReadDrives({work.string()});
    EXPECT_EQ(none.RowCount(), 0);
    EXPECT_TRUE(none.Reading().empty());
}

TEST_F(SourceChooserTest, RegistryFilesAddUpEachWhereWhatItIsSays) {
    // A damaged first file shows nothing, not the default registry (a Wine prefix here).
    test::WriteBytes(work / "abimee", std::string("regf") + std::string(60, '\0'));
    ::setenv("WINEPREFIX", (work / "prefix").c_str(), 1);
    chooser.Read(Source::RegistryFile, (work / "abimee").string());
    ::unsetenv("WINEPREFIX");
    EXPECT_EQ(chooser.RowCount(), 0);
    EXPECT_EQ(chooser.Status().rfind("« " + (work / "abimee").string() + " » n'est pas lu", 0), 0)
        << chooser.Status();

    const std::string ntuser = (kSample / "Documents and Settings/Luc/NTUSER.DAT").string();
    chooser.Read(Source::RegistryFile, ntuser);
    ASSERT_EQ(chooser.RowCount(), 1);
    EXPECT_FALSE(chooser.OpenEnabled());
    EXPECT_EQ(chooser.Status(), "Ce registre ne contient pas Outlook Express 5 ou 6.");

    chooser.Read(Source::RegistryFile, (kSample / "WINDOWS/system32/config/software").string());
    const std::string both = "Fichiers de registre : NTUSER.DAT → HKEY_CURRENT_USER, software → "
                             "HKEY_LOCAL_MACHINE\\SOFTWARE";
    EXPECT_EQ(chooser.Reading(), both);
    EXPECT_TRUE(chooser.OpenEnabled()) << chooser.Status();

    // A file that cannot be added leaves what was read as it was.
    chooser.Read(Source::RegistryFile, ntuser);
    EXPECT_EQ(chooser.Status().rfind("« " + ntuser + " » n'est pas lu : deux sources", 0), 0)
        << chooser.Status();
    chooser.Read(Source::RegistryFile, (work / "notes.txt").string());
    EXPECT_NE(chooser.Status().find("n'est ni une ruche"), std::string::npos);
    EXPECT_EQ(chooser.Reading(), both);
    EXPECT_TRUE(chooser.OpenEnabled());

    // Another kind of source starts anew: a Wine file is placed by its content, not its name.
    chooser.Read(Source::WinePrefix, (work / "prefix").string());
    chooser.Read(Source::RegistryFile, (work / "copie.reg").string());
    chooser.Read(Source::RegistryFile, QUILLON_EXAMPLES "/sample-xp/software.reg");
    EXPECT_EQ(chooser.Reading(),
              "Fichiers de registre : copie.reg → HKEY_CURRENT_USER, software.reg");
    EXPECT_TRUE(chooser.OpenEnabled()) << chooser.Status();
}

TEST_F(SourceChooserTest, AsksOnlyWhenNothingGivenHoldsAMailClient) {
    chooser.Read(Source::WinePrefix, (work / "prefix").string());
    ASSERT_EQ(chooser.RowCount(), 1);
    EXPECT_EQ(chooser.Cells(0)[0], (work / "prefix").string());
    EXPECT_TRUE(chooser.OpenEnabled()) << chooser.Status();

    EXPECT_FALSE(chooser.MustAsk({{{Mount::Kind::Reg, "", "quelconque.reg"}}, "", 0}, nullptr));
    // The default registry as the window opens it: the prefix of $WINEPREFIX when it has one.
    const auto defaultRegistry = [](const fs::path& prefix) {
        ::setenv("WINEPREFIX", prefix.c_str(), 1);
        OpenedStore opened = OpenStore({});
        ::unsetenv("WINEPREFIX");
        return std::move(opened.Store);
    };
    EXPECT_FALSE(chooser.MustAsk({}, defaultRegistry(work / "prefix").get()));
    EXPECT_TRUE(chooser.MustAsk({}, defaultRegistry(work).get())); // no registry there
    EXPECT_TRUE(chooser.MustAsk({}, nullptr));
    EXPECT_NE(chooser.Status().find("~/.wine"), std::string::npos);
}

} // namespace
} // namespace quillon
