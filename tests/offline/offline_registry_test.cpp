// Mounting offline sources: Windows installations on a disk, Wine prefixes, single hives, and
// every kind of bad input, which must end in a message naming the file and never in a crash.
#include "formats/hive_reader.h"
#include "hive_writer.h"
#include "mounted_store.h"
#include "options/store_options.h"
#include "registry/reg_access.h"
#include "stores/offline/offline_store.h"
#include "test_support.h"

#include <random>

namespace quillon {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using test::StoreFromReg;

class OfflineRegistryTest : public ::testing::Test {
  protected:
    // Writes a hive holding what `body` puts below `root`.
    std::string Hive(const std::string& relative, std::string_view root, std::string_view body) {
        const fs::path path = folder.Path() / relative;
        fs::create_directories(path.parent_path());
        MemoryStore store = StoreFromReg(body);
        std::string error;
        EXPECT_TRUE(tools::WriteHive(*store.FindKey(root), path.string(), error)) << error;
        return path.string();
    }

    // A Windows XP disk with one profile per name, in the letter case its folders were given.
    void WindowsDisk(const std::vector<std::string>& profiles) {
        std::string profileList;
        for (const auto& name : profiles) {
            Hive("Documents and Settings/" + name + "/NTUSER.DAT", "HKEY_CURRENT_USER",
                 "[HKEY_CURRENT_USER\\Identities]\r\n\"Last User ID\"=\"" + name + "\"\r\n");
            // "%SystemDrive%\NAME" in capitals: profile names compare without regard to case.
            std::string path = "hex(2):25,5c";
            for (char c : name) {
                const int upper = std::toupper(static_cast<unsigned char>(c));
                path += {',', "0123456789ABCDEF"[upper / 16], "0123456789ABCDEF"[upper % 16]};
            }
            profileList += "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion"
                           "\\ProfileList\\S-1-5-21-9-" +
                           name +
                           "]\r\n"
                           "\"ProfileImagePath\"=" +
                           path + ",0\r\n";
        }
        Hive("windows/System32/CONFIG/SOFTWARE", "HKEY_LOCAL_MACHINE\\Software",
             "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Internet Explorer]\r\n"
             "\"Version\"=\"6.0.2900.5512\"\r\n" +
                 profileList);
        Hive("windows/System32/CONFIG/default", "HKEY_USERS\\.DEFAULT",
             "[HKEY_USERS\\.DEFAULT\\RemoteAccess]\r\n\"Default\"=\"FAI\"\r\n");
        fs::create_directories(folder.Path() / "Documents and Settings/All Users");
        test::WriteBytes(folder.Path() / "Documents and Settings/All Users/NTUSER.DAT", "x");
    }

    bool Mount(std::vector<quillon::Mount> mounts, std::string user = "") {
        return mounted.Mount(std::move(mounts), std::move(user));
    }
    std::string Text(std::string_view key, std::string_view value) const {
        return mounted.Text(key, value);
    }

    test::ScratchFolder folder;
    test::MountedStore mounted;
    MemoryStore& store = mounted.store;
    std::string& error = mounted.error;
    std::vector<std::string>& warnings = mounted.warnings;
};

TEST_F(OfflineRegistryTest, AWindowsDiskMountsItsHivesWhereWindowsWouldLoadThem) {
    WindowsDisk({"luc"}); // ProfileImagePath ends in \LUC: names compare without regard to case
    ASSERT_TRUE(Mount({{Mount::Kind::Windows, "", folder.Path().string()}})) << error;
    EXPECT_EQ(Text("HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Internet Explorer", "Version"),
              "6.0.2900.5512");
    EXPECT_EQ(Text("HKEY_CURRENT_USER\\Identities", "Last User ID"), "luc");
    EXPECT_EQ(Text("HKEY_USERS\\S-1-5-21-9-luc\\Identities", "Last User ID"), "luc");
    EXPECT_EQ(Text("HKEY_USERS\\.DEFAULT\\RemoteAccess", "Default"), "FAI");
}

TEST_F(OfflineRegistryTest, SeveralProfilesNeedAUserName) {
    WindowsDisk({"Luc", "Marie"});
    EXPECT_FALSE(Mount({{Mount::Kind::Windows, "", folder.Path().string()}}));
    EXPECT_NE(error.find("plusieurs profils (Luc, Marie) ; choisissez-en un avec --user NOM"),
              std::string::npos)
        << error;
    ASSERT_TRUE(Mount({{Mount::Kind::Windows, "", folder.Path().string()}}, "marie")) << error;
    EXPECT_EQ(Text("HKEY_CURRENT_USER\\Identities", "Last User ID"), "Marie");
    EXPECT_FALSE(Mount({{Mount::Kind::Windows, "", folder.Path().string()}}, "Paul"));
    EXPECT_NE(error.find("pas de profil « Paul » (profils : Luc, Marie)"), std::string::npos);
}

TEST_F(OfflineRegistryTest, AFolderWithoutWindowsIsRefused) {
    EXPECT_FALSE(Mount({{Mount::Kind::Windows, "", folder.Path().string()}}));
    EXPECT_NE(error.find("aucune installation de Windows trouvée"), std::string::npos);
    Hive("WINNT/system32/config/software", "HKEY_LOCAL_MACHINE\\Software",
         "[HKEY_LOCAL_MACHINE\\Software\\A]\r\n");
    EXPECT_FALSE(Mount({{Mount::Kind::Windows, "", folder.Path().string()}}));
    EXPECT_NE(error.find("aucun profil d'utilisateur"), std::string::npos) << error;
}

TEST_F(OfflineRegistryTest, AWinePrefixMountsItsThreeFiles) {
    test::WriteBytes(folder.File("system.reg"),
                     "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n"
                     "[Software\\\\Microsoft\\\\Internet Explorer] 1\n\"Version\"=\"6.0\"\n");
    test::WriteBytes(
        folder.File("user.reg"),
        "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n"
        "\n[Identities] 1\n\"Last User ID\"=\"{X}\"\n");
    test::WriteBytes(folder.File("userdef.reg"),
                     "WINE REGISTRY Version 2\n\n[RemoteAccess] 1\n\"Default\"=\"FAI\"\n");
    const std::string user =
        Hive("autre.dat", "HKEY_CURRENT_USER",
             "[HKEY_CURRENT_USER\\Identities]\r\n\"Last User ID\"=\"{Y}\"\r\n");
    // A hive loaded below the prefix's HKEY_LOCAL_MACHINE is another source's key: allowed.
    ASSERT_TRUE(Mount({{Mount::Kind::WinePrefix, "", folder.Path().string()},
                       {Mount::Kind::Hive, "HKEY_LOCAL_MACHINE\\AUTRE", user}}))
        << error;
    EXPECT_EQ(Text("HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Internet Explorer", "Version"), "6.0");
    EXPECT_EQ(Text("HKEY_CURRENT_USER\\Identities", "Last User ID"), "{X}");
    EXPECT_EQ(Text("HKEY_USERS\\S-1-5-21-0-0-0-1000\\Identities", "Last User ID"), "{X}");
    EXPECT_EQ(Text("HKEY_USERS\\.DEFAULT\\RemoteAccess", "Default"), "FAI");
    EXPECT_EQ(Text("HKEY_LOCAL_MACHINE\\autre\\Identities", "Last User ID"), "{Y}");
}

TEST_F(OfflineRegistryTest, TwoSourcesOnOneKeyAreRefused) {
    const std::string hive = Hive("a.dat", "HKEY_CURRENT_USER", "[HKEY_CURRENT_USER\\A]\r\n");
    EXPECT_FALSE(Mount({{Mount::Kind::Hive, "HKEY_LOCAL_MACHINE\\X", hive},
                        {Mount::Kind::Hive, "HKEY_LOCAL_MACHINE\\x", hive}}));
    EXPECT_EQ(error, "deux sources pour la même clé « HKEY_LOCAL_MACHINE\\x » : chaque clé ne "
                     "peut venir que d'une source");
    EXPECT_FALSE(Mount({{Mount::Kind::Hive, "HKEY_NOWHERE\\X", hive}}));
    EXPECT_NE(error.find("racine connue"), std::string::npos);
}

TEST_F(OfflineRegistryTest, HivesAreReadAsTheAnsiFunctionsWouldReadThem) {
    const std::string hive =
        Hive("h.dat", "HKEY_CURRENT_USER",
             "[HKEY_CURRENT_USER\\Caf\xE9]\r\n\"Z\"=\"\xE9t\xE9\"\r\n\"A\"=hex:00,0a,ff\r\n"
             "\"trailing\"=hex(1):61,62,00,63,64,00\r\n\"n\"=dword:0000010a\r\n@=\"d\"\r\n"
             "[HKEY_CURRENT_USER\\Caf\xE9\\b]\r\n[HKEY_CURRENT_USER\\Caf\xE9\\A]\r\n");
    ASSERT_TRUE(Mount({{Mount::Kind::Hive, "HKEY_CURRENT_USER", hive}})) << error;
    const MemoryKey* key = store.FindKey("HKEY_CURRENT_USER\\caf\xC9");
    ASSERT_NE(key, nullptr);
    ASSERT_EQ(key->Values().size(), 5u);
    EXPECT_EQ(key->Values()[0].Name, "Z"); // the hive keeps values in the order they were set
    EXPECT_EQ(key->Values()[0].Data, Bytes({0xE9, 't', 0xE9, 0}));
    EXPECT_EQ(key->Values()[1].Data, Bytes({0, 10, 255}));
    EXPECT_EQ(key->Values()[4].Name, "");
    EXPECT_EQ(key->Subkeys()[0]->Name, "A"); // and subkeys sorted
    EXPECT_EQ(key->Subkeys()[1]->Name, "b");

    // A string holding bytes after its terminator keeps every byte, so it is written in hex.
    Reg_access registry(store);
    const std::string out = folder.File("out.reg");
    ASSERT_EQ(ExportKey(registry, "HKEY_CURRENT_USER\\Caf\xE9", out, 0).Status,
              ExportStatus::Exported);
    EXPECT_NE(test::ReadBytes(out).find("\"trailing\"=hex(1):61,62,0,63,64,0\r\n"),
              std::string::npos);
}

// Types beyond the known ones and numbers without bytes are read safely (the sanitizer build
// runs this): the type as stored, and a number of 0.
TEST_F(OfflineRegistryTest, UnusualTypesAndEmptyNumbersAreReadSafely) {
    const std::string hive = Hive("h.dat", "HKEY_CURRENT_USER",
                                  "[HKEY_CURRENT_USER\\K]\r\n\"big\"=hex(10001):01,02\r\n"
                                  "\"none\"=hex(4):\r\n");
    ASSERT_TRUE(Mount({{Mount::Kind::Hive, "HKEY_CURRENT_USER", hive}})) << error;
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

// Each bad file gives a message naming it; none crashes or hangs.
TEST_F(OfflineRegistryTest, BadFilesAreRefusedWithAMessageNamingThem) {
    const std::string good =
        Hive("good.dat", "HKEY_CURRENT_USER", "[HKEY_CURRENT_USER\\A]\r\n\"x\"=\"1\"\r\n");
    const std::string bytes = test::ReadBytes(good);
    std::mt19937 random(42);
    std::string noise(20000, '\0');
    for (char& c : noise) {
        c = static_cast<char>(random());
    }
    const std::vector<std::pair<std::string, std::string>> files = {
        {"truncated.dat", bytes.substr(0, 6000)},
        {"noise.dat", noise},
        {"regf-noise.dat", "regf" + noise},
        {"empty.dat", ""},
        {"creg.dat", "CREG\x01\x00\x02\x00" + noise},
        {"text.reg", "REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n"},
        {"user.reg", "WINE REGISTRY Version 2\n[A] 1\n\"x\"=hex:zz\n"},
    };
    for (const auto& [name, content] : files) {
        test::WriteBytes(folder.File(name), content);
        EXPECT_FALSE(Mount({{Mount::Kind::Hive, "HKEY_LOCAL_MACHINE\\" + name, folder.File(name)}}))
            << name;
        EXPECT_NE(error.find(folder.File(name)), std::string::npos) << name << ": " << error;
    }
    EXPECT_NE(error.find("ligne 3"), std::string::npos);
    EXPECT_FALSE(Mount({{Mount::Kind::Hive, "HKEY_LOCAL_MACHINE\\M", folder.File("missing.dat")}}));
    EXPECT_NE(error.find("n'existe pas"), std::string::npos);
    EXPECT_FALSE(Mount({{Mount::Kind::Hive, "HKEY_LOCAL_MACHINE\\D", folder.Path().string()}}));
    EXPECT_FALSE(Mount({{Mount::Kind::WinePrefix, "", folder.File("nothing")}}));
    EXPECT_NE(error.find("n'est pas un préfixe Wine lisible"), std::string::npos);
}

// A damaged block header makes libhivex refuse the hive; it is read again in recovery mode,
// as far as it can be, with a warning.
TEST_F(OfflineRegistryTest, ADamagedHiveIsReadAsFarAsItCanBeWithAWarning) {
    std::string data = "ab"; // 100 bytes a value, 40 keys: several blocks
    for (int i = 1; i < 100; ++i) {
        data += ",ab";
    }
    std::string body;
    for (int key = 0; key < 40; ++key) {
        body += "[HKEY_CURRENT_USER\\K" + std::to_string(key) + "]\r\n\"v\"=hex:" + data + "\r\n";
    }
    std::string bytes = test::ReadBytes(Hive("good.dat", "HKEY_CURRENT_USER", body));
    const std::size_t last = bytes.rfind("hbin");
    ASSERT_GT(last, 0x1000u);
    bytes.replace(last, 4, "xbin");
    test::WriteBytes(folder.File("damaged.dat"), bytes);
    ASSERT_TRUE(Mount({{Mount::Kind::Hive, "HKEY_CURRENT_USER", folder.File("damaged.dat")}}))
        << error;
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("damaged.dat : ruche endommagée, lue autant qu'elle a pu l'être"),
              std::string::npos);
    EXPECT_NE(store.FindKey("HKEY_CURRENT_USER\\K0"), nullptr);
}

// The user's hive of a Windows disk, read once for HKEY_CURRENT_USER and HKEY_USERS\<SID>: one
// warning for its damaged key, and the same keys at both places.
TEST_F(OfflineRegistryTest, ADamagedKeyEndsItsOwnListingOnly) {
    WindowsDisk({"luc"});
    const std::string user = folder.File("Documents and Settings/luc/NTUSER.DAT");
    std::string bytes = test::ReadBytes(
        Hive("Documents and Settings/luc/NTUSER.DAT", "HKEY_CURRENT_USER",
             "[HKEY_CURRENT_USER\\Broken]\r\n\"v\"=\"1\"\r\n[HKEY_CURRENT_USER\\Broken\\Below]\r\n"
             "[HKEY_CURRENT_USER\\Fine]\r\n\"w\"=\"2\"\r\n"));
    // Point the subkey list of "Broken" at a cell that is not one.
    const std::string name = "Broken";
    const std::size_t nk = bytes.find(name) - 0x50;
    ASSERT_EQ(bytes.substr(nk + 4, 2), "nk");
    bytes[nk + 0x20] = 0x13;
    test::WriteBytes(user, bytes);
    ASSERT_TRUE(Mount({{Mount::Kind::Windows, "", folder.Path().string()}})) << error;
    EXPECT_EQ(warnings,
              std::vector<std::string>{user + " : 1 clé(s) endommagée(s), lue(s) en partie"});
    for (const std::string root : {"HKEY_CURRENT_USER", "HKEY_USERS\\S-1-5-21-9-luc"}) {
        EXPECT_EQ(Text(root + "\\Broken", "v"), "1");
        EXPECT_EQ(store.FindKey(root + "\\Broken\\Below"), nullptr);
        EXPECT_EQ(Text(root + "\\Fine", "w"), "2");
    }
}

// A key whose name is empty would lead back to its parent, one whose name holds a backslash
// cannot be named: each is counted as damaged and left out, and the export ends.
TEST_F(OfflineRegistryTest, KeysThatNoPathCanNameAreLeftOutAsDamaged) {
    for (const std::string& patch : {std::string(2, '\0'), std::string("Te\\t")}) {
        std::string bytes = test::ReadBytes(
            Hive("good.dat", "HKEY_CURRENT_USER",
                 "[HKEY_CURRENT_USER\\Test]\r\n\"v\"=\"1\"\r\n[HKEY_CURRENT_USER\\Fine]\r\n"));
        const std::size_t name = bytes.find("Test");
        ASSERT_EQ(bytes.substr(name - 0x50 + 4, 2), "nk");
        bytes.replace(patch.size() == 2 ? name - 4 : name, patch.size(),
                      patch); // its length, or its name
        test::WriteBytes(folder.File("odd.dat"), bytes);
        ASSERT_TRUE(Mount({{Mount::Kind::Hive, "HKEY_CURRENT_USER", folder.File("odd.dat")}}))
            << error;
        ASSERT_EQ(warnings.size(), 1u);
        EXPECT_NE(warnings[0].find("1 clé(s) endommagée(s)"), std::string::npos);
        ASSERT_NE(store.FindKey("HKEY_CURRENT_USER\\Fine"), nullptr);
        EXPECT_EQ(store.Root(1).Subkeys().size(), 1u);
        Reg_access registry(store);
        ASSERT_EQ(ExportKey(registry, "HKEY_CURRENT_USER", folder.File("out.reg"), 0).Status,
                  ExportStatus::Exported);
        EXPECT_LT(std::filesystem::file_size(folder.File("out.reg")), 200u);
    }
}

// The folders the registry names are looked up in the installation it was read from: C: is the
// folder given to --windows, a Wine prefix has its drives, and %VARIABLES% come from its registry.
TEST_F(OfflineRegistryTest, FoldersAreLookedUpInTheInstallationRead) {
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
