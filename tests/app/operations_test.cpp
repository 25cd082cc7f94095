// The operations the faces and the command line call: each outcome says what happened as data,
// whatever message the user was shown.
#include "../dialogue_fixture.h"
#include "registry/mail_client_keys.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>

namespace quillon {
namespace {

namespace fs = std::filesystem;

constexpr const char* kIdentity = "{11111111-2222-3333-4444-555555555555}";

// The identity's settings key, holding one signature.
void AddSignatures(MemoryStore& store, const std::string& under) {
    store.CreateKey(under + "\\" + OutlookExpressKeyOf("", kIdentity) + "\\Signatures\\00000000")
        ->SetValue("name", RegType::String, {'S', 0});
}

struct Case {
    const char* Name;
    // Builds the registry, runs one operation on the Dialogue in the folder given, and gives back
    // its outcome's state as a number, with what else it must say.
    std::function<int(MemoryStore&, Dialogue&, const fs::path&)> Run;
    int Expected;
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.Name;
}

using Backup = BackupOutcome::Status;
using Lookup = LookupOutcome::Status;
using Read = ReadBackupOutcome::Status;
using Adapt = AdaptOutcome::Status;
using Write = WriteOutcome::Status;

template <typename Status> int Number(Status status) {
    return static_cast<int>(status);
}

const Case kCases[] = {
    {"a backup of everything from an identity without settings has none",
     [](MemoryStore&, Dialogue& d, const fs::path& dir) {
         d.IdentiteBdRActif = kIdentity;
         const auto outcome =
             d.SaveBackup({false, "", kIdentity}, {SettingsGroup::All}, (dir / "a.reg").string());
         EXPECT_FALSE(fs::exists(dir / "a.reg"));
         return Number(outcome.State);
     },
     Number(Backup::NoSettings)},
    {"a backup whose groups find no key writes nothing",
     [](MemoryStore&, Dialogue& d, const fs::path& dir) {
         const auto outcome = d.SaveBackup({false, "", kIdentity}, {SettingsGroup::Signatures},
                                           (dir / "a.reg").string());
         EXPECT_FALSE(fs::exists(dir / "a.reg"));
         return Number(outcome.State);
     },
     Number(Backup::NoKey)},
    {"a backup into a folder that is not there names the file",
     [](MemoryStore& store, Dialogue& d, const fs::path& dir) {
         AddSignatures(store, "HKEY_CURRENT_USER");
         const std::string file = (dir / "missing" / "a.reg").string();
         const auto outcome =
             d.SaveBackup({false, "", kIdentity}, {SettingsGroup::Signatures}, file);
         EXPECT_EQ(outcome.Error.Path, file);
         return Number(outcome.State);
     },
     Number(Backup::FileFailed)},
    {"a backup of a hive's signatures counts its lines",
     [](MemoryStore& store, Dialogue& d, const fs::path& dir) {
         AddSignatures(store, "HKEY_LOCAL_MACHINE\\OLD");
         const auto outcome = d.SaveBackup({true, "OLD", kIdentity}, {SettingsGroup::Signatures},
                                           (dir / "a.reg").string());
         EXPECT_GT(outcome.Lines, 3);
         EXPECT_EQ(outcome.Lines, d.NbSauvegarde);
         EXPECT_TRUE(fs::exists(dir / "a.reg"));
         return Number(outcome.State);
     },
     Number(Backup::Done)},
    {"a search without a hive name finds nothing",
     [](MemoryStore&, Dialogue& d, const fs::path&) { return Number(d.LookUpHive("").State); },
     Number(Lookup::NoHiveName)},
    {"a search of a hive without identities finds none",
     [](MemoryStore& store, Dialogue& d, const fs::path&) {
         store.CreateKey("HKEY_LOCAL_MACHINE\\OLD\\Software");
         return Number(d.LookUpHive("OLD").State);
     },
     Number(Lookup::NoIdentity)},
    {"a search finds the identity of a hive without a store folder",
     [](MemoryStore& store, Dialogue& d, const fs::path&) {
         store.CreateKey("HKEY_LOCAL_MACHINE\\OLD\\Identities")
             ->SetValue("Last User ID", RegType::String, {'{', 'X', '}', 0});
         const auto outcome = d.LookUpHive("OLD");
         EXPECT_EQ(outcome.Identity, "{X}");
         return Number(outcome.State);
     },
     Number(Lookup::NoStoreFolder)},
    {"reading a backup that is not there",
     [](MemoryStore&, Dialogue& d, const fs::path& dir) {
         return Number(d.ReadBackup((dir / "none.reg").string()).State);
     },
     Number(Read::Missing)},
    {"changing a backup with no active identity",
     [](MemoryStore&, Dialogue& d, const fs::path&) {
         return Number(d.AdaptBackup({kIdentity, "C:\\Mail", ""}).State);
     },
     Number(Adapt::NoIdentity)},
    {"changing before any backup is read",
     [](MemoryStore&, Dialogue& d, const fs::path&) {
         d.IdentiteBdRActif = kIdentity;
         return Number(d.AdaptBackup({kIdentity, "C:\\Mail", ""}).State);
     },
     Number(Adapt::NothingRead)},
    {"changing to a folder no Windows path can be",
     [](MemoryStore&, Dialogue& d, const fs::path& dir) {
         d.IdentiteBdRActif = kIdentity;
         std::ofstream(dir / "b.reg", std::ios::binary)
             << "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\A]\r\n";
         EXPECT_EQ(d.ReadBackup((dir / "b.reg").string()).Lines, 3);
         return Number(d.AdaptBackup({kIdentity, "C:\\a|b", ""}).State);
     },
     Number(Adapt::NotWindowsPath)},
    {"writing when nothing is read",
     [](MemoryStore&, Dialogue& d, const fs::path& dir) {
         return Number(d.WriteAdaptedBackup((dir / "c.reg").string()).State);
     },
     Number(Write::Empty)},
    {"writing a backup read gives its lines",
     [](MemoryStore&, Dialogue& d, const fs::path& dir) {
         std::ofstream(dir / "b.reg", std::ios::binary)
             << "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\A]\r\n";
         d.ReadBackup((dir / "b.reg").string());
         const auto outcome = d.WriteAdaptedBackup((dir / "c.reg").string());
         EXPECT_EQ(outcome.Lines, 3);
         return Number(outcome.State);
     },
     Number(Write::Written)},
};

class OperationTest : public testing::TestWithParam<Case> {};

TEST_P(OperationTest, GivesItsOutcome) {
    const fs::path dir =
        fs::temp_directory_path() / ("quillon-operations-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    test::DialogueRig rig;
    Dialogue& dialogue = rig.Create();
    EXPECT_EQ(GetParam().Run(rig.store, dialogue, dir), GetParam().Expected) << GetParam().Name;
    fs::remove_all(dir);
}

INSTANTIATE_TEST_SUITE_P(Operations, OperationTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& info) {
                             return "Case" + std::to_string(info.index);
                         });

} // namespace
} // namespace quillon
