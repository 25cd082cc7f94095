// The offline store over hives made here: what Reg_access answers for values the other tests'
// files cannot show, and the folders of the installation it was read from.
#include "hive_writer.h"
#include "options/store_options.h"
#include "registry/reg_access.h"
#include "offline/offline_store.h"
#include "test_support.h"

namespace quillon {
namespace {

namespace fs = std::filesystem;

class OfflineStoreTest : public ::testing::Test {
  protected:
    // Writes a hive holding what `body` puts below `root`.
    std::string Hive(const std::string& relative, std::string_view root, std::string_view body) {
        const fs::path path = folder.Path() / relative;
        fs::create_directories(path.parent_path());
        MemoryStore store = test::StoreFromReg(body);
        std::string error;
        EXPECT_TRUE(tools::WriteHive(*store.FindKey(root), path.string(), error)) << error;
        return path.string();
    }

    test::ScratchFolder folder;
};

// Types beyond the known ones and numbers without bytes are read safely (the sanitizer build
// runs this): the type as stored, and a number of 0.
TEST_F(OfflineStoreTest, UnusualTypesAndEmptyNumbersAreReadSafely) {
    const std::string hive = Hive("h.dat", "HKEY_CURRENT_USER",
                                  "[HKEY_CURRENT_USER\\K]\r\n\"big\"=hex(10001):01,02\r\n"
                                  "\"none\"=hex(4):\r\n");
    MemoryStore store;
    std::vector<std::string> warnings;
    std::string error;
    ASSERT_TRUE(
        MountAll(store, {{{Mount::Kind::Hive, "HKEY_CURRENT_USER", hive}}, ""}, warnings, error))
        << error;
    Reg_access registry(store);
    std::int32_t status = 0;
    const KeyHandle key = registry.OpenKey("HKEY_CURRENT_USER", "K", KeyRead, status);
    ASSERT_NE(key, 0u);
    std::uint32_t type = 0;
    EXPECT_EQ(AsText(registry.QueryValue(key, "big", type)), "\x01\x02");
    EXPECT_EQ(type, 0x10001u);
    EXPECT_EQ(std::get<std::uint32_t>(registry.QueryValue(key, "none", type)), 0u);
    EXPECT_EQ(type, RegType::Dword);
    registry.CloseKey(key);
}

// The folders the registry names are looked up in the installation it was read from: C: is the
// folder given to --windows, a Wine prefix has its drives, and %VARIABLES% come from its registry.
TEST_F(OfflineStoreTest, FoldersAreLookedUpInTheInstallationRead) {
    const std::string profileList = "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\"
                                    "CurrentVersion\\ProfileList\\S-1-5-21-9]\r\n";
    Hive("WINDOWS/system32/config/software", "HKEY_LOCAL_MACHINE\\Software",
         profileList +
             "\"ProfileImagePath\"=\"%SystemDrive%\\\\Documents and Settings\\\\Luc\"\r\n");
    Hive("Documents and Settings/Luc/NTUSER.DAT", "HKEY_CURRENT_USER",
         "[HKEY_CURRENT_USER\\Environment]\r\n\"MAIL\"=\"%UserProfile%\\\\Courrier\"\r\n");
    const fs::path mail = folder.Path() / "Documents and Settings/Luc/Courrier";
    fs::create_directories(mail);
    OpenedStore opened = OpenStore({{{Mount::Kind::Windows, "", folder.Path().string()}}, ""});
    ASSERT_TRUE(opened.Store && opened.Installation) << opened.Error;
    const InstallationPaths& disk = *opened.Installation;
    EXPECT_EQ(disk.Drives(), std::vector<std::string>{"C:\\"});
    EXPECT_EQ(disk.Expand(std::string("%mail%\\%Unknown%\0\0", 18)),
              "C:\\Documents and Settings\\Luc\\Courrier\\%Unknown%");
    EXPECT_EQ(disk.NativePath("c:\\DOCUMENTS AND SETTINGS\\luc\\courrier\\"), mail.string());
    EXPECT_EQ(disk.WindowsPath(mail.string()), "C:\\Documents and Settings\\Luc\\Courrier");
    EXPECT_EQ(disk.NativePath("D:\\Courrier"), "");
    EXPECT_EQ(disk.NativePath("C:\\..\\etc"), "");

    const fs::path prefix = folder.Path() / "prefix";
    fs::create_directories(prefix / "dosdevices");
    fs::create_directories(prefix / "drive_c");
    fs::create_directory_symlink("../drive_c", prefix / "dosdevices/c:");
    fs::create_directory_symlink(mail, prefix / "dosdevices/m:");
    test::WriteBytes(prefix / "system.reg", "WINE REGISTRY Version 2\n");
    test::WriteBytes(prefix / "user.reg", "WINE REGISTRY Version 2\n");
    opened = OpenStore({{{Mount::Kind::WinePrefix, "", prefix.string()}}, ""});
    ASSERT_TRUE(opened.Installation) << opened.Error;
    EXPECT_EQ(opened.Installation->Drives(), (std::vector<std::string>{"C:\\", "M:\\"}));
    EXPECT_TRUE(fs::is_directory(opened.Installation->NativePath("m:\\")));

    opened = OpenStore({{{Mount::Kind::Hive, "HKEY_CURRENT_USER",
                          folder.File("Documents and Settings/Luc/NTUSER.DAT")}},
                        ""});
    ASSERT_TRUE(opened.Installation);
    EXPECT_FALSE(opened.Installation->HasDrives());
}

} // namespace
} // namespace quillon
