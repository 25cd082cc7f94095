// Hives written by real Windows XP systems (../shared/fixtures/real, facts from their
// PROVENANCE.md), read through the same operations as every other store.
#include "formats/reg_file_reader.h"
#include "mounted_store.h"
#include "registry/reg_access.h"
#include "stores/offline/offline_store.h"
#include "test_support.h"

#include <cstring>

namespace quillon {
namespace {

const std::string kFixtures = QUILLON_FIXTURES;
constexpr const char* kPatIdentity = "{7FF1C7E8-BC54-46F1-B011-DD6F0E92CE76}";

class RealHiveTest : public ::testing::Test {
  protected:
    // Skips the test (the caller returns when IsSkipped()) where the shared fixtures are not
    // beside the clone.
    void Load(const std::string& folder) {
        const std::string hive = kFixtures + "/" + folder + "/NTUSER.DAT";
        if (!std::filesystem::exists(hive)) {
            GTEST_SKIP() << "the real hive " << hive
                         << " is not here (no ../shared beside the clone)";
        }
        std::vector<std::string> warnings;
        std::string error;
        ASSERT_TRUE(MountAll(store, {{{Mount::Kind::Hive, "HKEY_CURRENT_USER", hive}}, ""},
                             warnings, error))
            << error;
        EXPECT_TRUE(warnings.empty());
    }

    KeyHandle Open(const std::string& path) {
        std::int32_t error = 0;
        return registry.OpenKey("HKEY_CURRENT_USER", path, KeyRead, error);
    }

    std::string Text(const std::string& path, const std::string& value, std::uint32_t& type) {
        const KeyHandle key = Open(path);
        const std::string text =
            key == 0 ? "<no key>" : AsText(registry.QueryValue(key, value, type));
        registry.CloseKey(key);
        return text;
    }

    std::size_t CountKeys(const MemoryKey& key) {
        std::size_t count = 1;
        for (const auto& subkey : key.Subkeys()) {
            count += CountKeys(*subkey);
        }
        return count;
    }

    MemoryStore store;
    Reg_access registry{store};
    std::uint32_t type = 0;
};

TEST_F(RealHiveTest, PatsOutlookExpressSettingsAreFound) {
    Load("xp-m57-pat-ntuser");
    if (IsSkipped()) {
        return;
    }
    EXPECT_EQ(Text("Identities", "Last User ID", type), kPatIdentity);
    EXPECT_EQ(type, RegType::String);
    const std::string oe =
        std::string("Identities\\") + kPatIdentity + "\\Software\\Microsoft\\Outlook Express\\5.0";
    EXPECT_EQ(Text(oe, "Store Root", type),
              std::string("%UserProfile%\\Local Settings\\Application Data\\Identities\\") +
                  kPatIdentity + "\\Microsoft\\Outlook Express\\" + '\0');
    EXPECT_EQ(type, RegType::ExpandString);

    std::vector<RegValue> values;
    EXPECT_EQ(registry.EnumValues(Open(oe), values), 37);
    const KeyHandle signatures = Open(oe + "\\Signatures"); // stored as "signatures"
    EXPECT_NE(signatures, 0u);
    EXPECT_EQ(registry.EnumSubKey(signatures, 0), std::nullopt);

    const std::string accounts = "Software\\Microsoft\\Internet Account Manager\\Accounts";
    EXPECT_EQ(Text(accounts + "\\00000003", "Account Name", type), "mail.m57.biz");
    values.clear();
    EXPECT_EQ(registry.EnumValues(Open(accounts + "\\00000003"), values), 20);
    std::vector<std::string> accountNames;
    const KeyHandle list = Open(accounts);
    for (std::uint32_t i = 0; auto name = registry.EnumSubKey(list, i); ++i) {
        accountNames.push_back(Text(accounts + "\\" + *name, "Account Name", type));
    }
    // One POP3 account and four directory services.
    EXPECT_EQ(accountNames, (std::vector<std::string>{"mail.m57.biz", "Active Directory",
                                                      "Bigfoot Internet Directory Service",
                                                      "VeriSign Internet Directory Service",
                                                      "WhoWhere Internet Directory Service"}));
    EXPECT_EQ(
        Text("Software\\Microsoft\\WAB\\WAB4\\Wab File Name", "", type),
        "C:\\Documents and Settings\\Pat\\Application Data\\Microsoft\\Address Book\\Pat.wab");
    EXPECT_EQ(Open("RemoteAccess"), 0u);

    const MemoryKey& root = store.Root(1);
    EXPECT_EQ(CountKeys(root), 1700u);
    EXPECT_EQ(CountKeys(*store.FindKey("HKEY_CURRENT_USER\\Identities")), 47u);
    EXPECT_EQ(CountKeys(*store.FindKey(
                  "HKEY_CURRENT_USER\\Software\\Microsoft\\Protected Storage System Provider")),
              17u);
    EXPECT_NE(store.FindKey("HKEY_CURRENT_USER\\Software\\Microsoft\\Protected Storage System "
                            "Provider\\S-1-5-21-1292428093-1645522239-1547161642-1003"),
              nullptr);
}

TEST_F(RealHiveTest, TheWholeHiveExportsAndReadsBackValueForValue) {
    Load("xp-m57-pat-ntuser");
    if (IsSkipped()) {
        return;
    }
    test::ScratchFolder folder;
    const std::string out = folder.File("pat.reg");
    ASSERT_EQ(ExportKey(registry, "HKEY_CURRENT_USER", out, 0).Status, ExportStatus::Exported);
    const std::string text = test::ReadBytes(out);
    // A string with bytes after its terminator keeps them all.
    EXPECT_NE(text.find("\"MigToLWPVer\"=hex(1):36,2C,30,2C,32,39,30,30,2C,35,35,31,32,0,91,7C,58,"
                        "9,8,0\r\n"),
              std::string::npos);
    MemoryStore reread;
    std::string error;
    ASSERT_TRUE(ReadRegText(text, out, reread, error)) << error;
    test::ExpectSameTree(store.Root(1), reread.Root(1));
}

TEST_F(RealHiveTest, JoesIdentityHasNoStoreFolderNorAccounts) {
    Load("xpsp3-plaso-joe-ntuser-minimal");
    if (IsSkipped()) {
        return;
    }
    EXPECT_EQ(Text("Identities", "Last User ID", type), "{C05A4691-5F1D-4D1C-831E-F8D7D7E19992}");
    EXPECT_EQ(Text("Identities\\{C05A4691-5F1D-4D1C-831E-F8D7D7E19992}\\Software\\Microsoft\\"
                   "Outlook Express\\5.0",
                   "Store Root", type),
              "");
    EXPECT_EQ(type, 0u);
    EXPECT_EQ(Open("Software\\Microsoft\\Internet Account Manager"), 0u);
    EXPECT_EQ(Open("Software\\Microsoft\\WAB"), 0u);
    EXPECT_EQ(CountKeys(store.Root(1)), 1127u);
}

// A real Windows Me registry (CREG files) in a Windows 98/Me layout: SYSTEM.DAT is the machine's
// keys, USER.DAT those of HKEY_USERS, whose .DEFAULT is the user unless a profile is chosen.
TEST(RealCregTest, AWindowsMeInstallationIsReadAsItsAnsiFunctionsWould) {
    const std::string me = kFixtures + "/winme-dfwinreg-creg";
    if (!std::filesystem::exists(me + "/USER.DAT")) {
        GTEST_SKIP() << "the Windows Me registry " << me
                     << " is not here (no ../shared beside the clone)";
    }
    test::ScratchFolder disk;
    std::filesystem::create_directories(disk.Path() / "Windows/Profiles/Luc");
    std::filesystem::copy_file(me + "/SYSTEM.DAT", disk.File("Windows/system.dat"));
    std::filesystem::copy_file(me + "/USER.DAT", disk.File("Windows/User.dat"));
    const quillon::Mount windows{Mount::Kind::Windows, "", disk.Path().string()};
    test::MountedStore m;
    ASSERT_TRUE(m.Mount({windows})) << m.error;
    EXPECT_TRUE(m.warnings.empty());
    EXPECT_EQ(m.Text("HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Internet Explorer", "Version"),
              "5.50.4134.0100");
    // Stored without its terminating zero, returned with it.
    EXPECT_EQ(m.Text("HKEY_CURRENT_USER\\Identities", "Last Username"), "Main Identity");
    EXPECT_EQ(m.Text("HKEY_USERS\\.DEFAULT\\Identities", "Last User ID"),
              m.Text("HKEY_CURRENT_USER\\Identities", "Last User ID"));
    EXPECT_EQ(
        m.store
            .FindKey("HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Account Manager\\Accounts")
            ->Subkeys()
            .size(),
        5u);

    std::filesystem::copy_file(me + "/USER.DAT", disk.File("Windows/Profiles/Luc/USER.DAT"));
    ASSERT_TRUE(m.Mount({windows})) << m.error;
    ASSERT_EQ(m.warnings.size(), 1u);
    EXPECT_NE(m.warnings[0].find("profils d'utilisateurs (Luc) ; l'utilisateur lu est .DEFAULT"),
              std::string::npos);
    ASSERT_TRUE(m.Mount({windows}, "luc")) << m.error;
    EXPECT_NE(m.store.FindKey("HKEY_CURRENT_USER\\.DEFAULT\\Identities"), nullptr);
    EXPECT_NE(m.store.FindKey("HKEY_USERS\\Luc\\.DEFAULT\\Identities"), nullptr);
    EXPECT_FALSE(m.Mount({windows}, "Paul"));
    EXPECT_EQ(m.error, disk.Path().string() + " : pas de profil « Paul » (profils : Luc)");

    // Without the .DEFAULT user there is no current user to read.
    std::filesystem::remove_all(disk.Path() / "Windows/Profiles");
    std::string renamed = test::ReadBytes(me + "/USER.DAT");
    renamed.replace(renamed.find(".DEFAULT"), 8, "_DEFAULT");
    test::WriteBytes(disk.File("Windows/User.dat"), renamed);
    EXPECT_FALSE(m.Mount({windows}));
    EXPECT_EQ(m.error, "Impossible de lire le registre « " + disk.File("Windows/User.dat") +
                           " » : pas de clé « .DEFAULT »");
}

// A truncated CREG file is refused with its name; one with damaged blocks, or whose key links
// loop, is read as far as it can be, with a warning.
TEST(RealCregTest, DamagedCregFilesEndInAMessageNeverACrash) {
    const std::string user = kFixtures + "/winme-dfwinreg-creg/USER.DAT";
    if (!std::filesystem::exists(user)) {
        GTEST_SKIP() << "the Windows Me registry " << user << " is not here";
    }
    test::ScratchFolder folder;
    const std::string bytes = test::ReadBytes(user);
    std::string damaged = bytes;
    damaged.replace(0x100, 0x200, std::string(0x200, '\xFF'));
    test::WriteBytes(folder.File("truncated.dat"), bytes.substr(0, 3000));
    test::WriteBytes(folder.File("damaged.dat"), damaged);
    // The first subkey of the root names itself as its next sibling: a list without end.
    const auto at = [&](std::size_t offset) {
        std::uint32_t value = 0;
        std::memcpy(&value, bytes.data() + offset, 4);
        return value;
    };
    const std::uint32_t child = at(0x20 + at(0x28) + 0x10);
    std::string looping = bytes;
    std::memcpy(looping.data() + 0x20 + child + 0x14, &child, 4);
    test::WriteBytes(folder.File("looping.dat"), looping);
    test::MountedStore m;
    EXPECT_FALSE(m.Mount({{Mount::Kind::Hive, "HKEY_USERS", folder.File("truncated.dat")}}));
    EXPECT_EQ(m.error, "Impossible de lire le registre « " + folder.File("truncated.dat") +
                           " » : registre tronqué ou endommagé, sa racine est illisible");
    ASSERT_TRUE(m.Mount({{Mount::Kind::Hive, "HKEY_USERS", folder.File("damaged.dat")}}))
        << m.error;
    ASSERT_EQ(m.warnings.size(), 1u);
    EXPECT_NE(m.warnings[0].find("clé(s) endommagée(s)"), std::string::npos);
    EXPECT_NE(m.store.FindKey("HKEY_USERS\\.DEFAULT"), nullptr);
    ASSERT_TRUE(m.Mount({{Mount::Kind::Hive, "HKEY_USERS", folder.File("looping.dat")}}))
        << m.error;
    EXPECT_EQ(m.warnings, std::vector<std::string>{folder.File("looping.dat") +
                                                   " : 1 clé(s) endommagée(s), lue(s) en partie"});
    EXPECT_EQ(m.store.Root(3).Subkeys().size(), 1u);
}

} // namespace
} // namespace quillon
