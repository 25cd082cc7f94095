// A hive made ready to read, fed with hives and old-format logs built byte by byte: each case a
// state of the hive and its log, and what the repair does of it.
#include "formats/hive_repair.h"
#include "hive_builder.h"

#include <functional>
#include <gtest/gtest.h>

namespace quillon {
namespace {

using test::HiveBuilder;

constexpr std::size_t kLogHeader = 512, kPage = 512;
constexpr std::uint32_t kOldLog = 1;

// A hive with a root key and a little data, whose header's sequences are `primary` and
// `secondary` (they differ: left dirty).
std::string HiveWithSequences(std::uint32_t primary, std::uint32_t secondary) {
    HiveBuilder builder;
    builder.SetRoot(builder.Key("ROOT", 0, ~0u, 0, ~0u));
    std::string hive = builder.Bytes();
    PutLe32(hive, regf::kPrimarySequenceAt, primary);
    PutLe32(hive, regf::kSecondarySequenceAt, secondary);
    PutLe32(hive, regf::kChecksumAt, regf::HeaderChecksum(BytesAt(hive, 0)));
    return hive;
}

// An old-format log of `hive` (its header's copy, a dirty vector, the dirty pages) marking the
// page at `page` (counted from the first bin) and bringing `bytes` there.
std::string OldLog(const std::string& hive, std::size_t page, const std::string& bytes,
                   std::uint32_t sequence) {
    std::string log = hive.substr(0, kLogHeader);
    PutLe32(log, regf::kPrimarySequenceAt, sequence);
    PutLe32(log, regf::kSecondarySequenceAt, sequence);
    PutLe32(log, regf::kFileTypeAt, kOldLog);
    PutLe32(log, regf::kChecksumAt, regf::HeaderChecksum(BytesAt(log, 0)));
    const std::size_t pages = Le32(hive, regf::kBinsSizeAt) / kPage;
    std::string bitmap((pages + 7) / 8, '\0');
    bitmap[page / 8] = static_cast<char>(1 << (page % 8));
    log += "DIRT" + bitmap;
    log.resize((log.size() + kPage - 1) / kPage * kPage, '\0');
    std::string dirty = hive.substr(regf::kBaseBlockSize + page * kPage, kPage);
    dirty.replace(dirty.size() - bytes.size(), bytes.size(), bytes);
    return log + dirty;
}

// A dirty hive, and in `logs` an old log written at another of its saves (its timestamp
// differs), whose sequence is `sequence`.
std::string HiveWithLogOfAnotherSave(std::vector<HiveLog>& logs, std::uint32_t sequence) {
    std::string hive = HiveWithSequences(4, 3);
    std::string log = OldLog(hive, 2, "FROM THE LOG", sequence);
    log[regf::kTimestampAt] ^= 1;
    PutLe32(log, regf::kChecksumAt, regf::HeaderChecksum(BytesAt(log, 0)));
    logs.push_back({"H.LOG", log});
    return hive;
}

struct RepairCase {
    const char* Name;
    // Builds the hive and its logs; checks what became of them.
    std::function<std::string(std::vector<HiveLog>&)> Make;
    std::function<void(const std::string& hive, const HiveRepair& repair)> Check;
};

void PrintTo(const RepairCase& c, std::ostream* out) {
    *out << c.Name;
}

const RepairCase kCases[] = {
    {"a hive closed cleanly needs nothing",
     [](std::vector<HiveLog>&) { return HiveWithSequences(3, 3); },
     [](const std::string&, const HiveRepair& repair) {
         EXPECT_EQ(repair.State, HiveRepair::Logs::NotNeeded);
         EXPECT_FALSE(repair.Changed);
     }},
    {"a dirty hive gets its log's dirty page, and one sequence number",
     [](std::vector<HiveLog>& logs) {
         const std::string hive = HiveWithSequences(4, 3);
         logs.push_back({"H.LOG", OldLog(hive, 2, "FROM THE LOG", 4)});
         return hive;
     },
     [](const std::string& hive, const HiveRepair& repair) {
         EXPECT_EQ(repair.State, HiveRepair::Logs::Applied);
         EXPECT_EQ(repair.LogsApplied, std::vector<std::string>{"H.LOG"});
         EXPECT_EQ(hive.substr(regf::kBaseBlockSize + 3 * kPage - 12, 12), "FROM THE LOG");
         EXPECT_EQ(Le32(hive, regf::kPrimarySequenceAt), Le32(hive, regf::kSecondarySequenceAt));
         EXPECT_EQ(regf::HeaderChecksum(BytesAt(hive, 0)), Le32(hive, regf::kChecksumAt));
     }},
    {"a log written at another save (its timestamp differs) is not the hive's",
     [](std::vector<HiveLog>& logs) { return HiveWithLogOfAnotherSave(logs, 4); },
     [](const std::string& hive, const HiveRepair& repair) {
         EXPECT_EQ(repair.State, HiveRepair::Logs::NotApplied);
         EXPECT_EQ(repair.LogsRefused, std::vector<std::string>{"H.LOG"});
         EXPECT_EQ(hive.find("FROM THE LOG"), std::string::npos);
     }},
    {"a log older than the hive's last save is stale",
     [](std::vector<HiveLog>& logs) { return HiveWithLogOfAnotherSave(logs, 2); },
     [](const std::string&, const HiveRepair& repair) {
         EXPECT_EQ(repair.State, HiveRepair::Logs::NotApplied);
         EXPECT_EQ(repair.LogsStale, std::vector<std::string>{"H.LOG"});
         EXPECT_TRUE(repair.LogsRefused.empty());
     }},
    {"a wrong checksum alone is set right",
     [](std::vector<HiveLog>&) {
         std::string hive = HiveWithSequences(3, 3);
         hive[regf::kChecksumAt] ^= 1;
         return hive;
     },
     [](const std::string& hive, const HiveRepair& repair) {
         EXPECT_EQ(repair.DamageWorkedAround,
                   std::vector<std::string>{"somme de contrôle de l'en-tête fausse"});
         EXPECT_EQ(regf::HeaderChecksum(BytesAt(hive, 0)), Le32(hive, regf::kChecksumAt));
     }},
    {"a hive cut inside its bin keeps the whole cells before the cut",
     [](std::vector<HiveLog>&) {
         HiveBuilder builder;
         builder.SetRoot(builder.Key("ROOT", 0, ~0u, 0, ~0u));
         builder.Cell(std::string(3000, 'z'));
         std::string hive = builder.Bytes();
         hive.resize(regf::kBaseBlockSize + 1000);
         return hive;
     },
     [](const std::string& hive, const HiveRepair& repair) {
         EXPECT_TRUE(repair.CutShort);
         EXPECT_EQ(hive.size(), regf::kBaseBlockSize + regf::kBinAlignment);
         EXPECT_EQ(Le32(hive, regf::kBinsSizeAt), regf::kBinAlignment);
         EXPECT_EQ(hive.find('z'), std::string::npos); // the cut cell is gone
     }},
    {"a bin whose size is zeroed is given the size up to the end",
     [](std::vector<HiveLog>&) {
         HiveBuilder builder;
         builder.SetRoot(builder.Key("ROOT", 0, ~0u, 0, ~0u));
         std::string hive = builder.Bytes();
         PutLe32(hive, regf::kBaseBlockSize + regf::kBinSizeAt, 0);
         return hive;
     },
     [](const std::string& hive, const HiveRepair& repair) {
         EXPECT_EQ(repair.DamageWorkedAround.size(), 1u);
         EXPECT_EQ(Le32(hive, regf::kBaseBlockSize + regf::kBinSizeAt), regf::kBinAlignment);
     }},
};

class HiveRepairTest : public testing::TestWithParam<RepairCase> {};

TEST_P(HiveRepairTest, RepairsAsWindowsWouldLoad) {
    std::vector<HiveLog> logs;
    std::string hive = GetParam().Make(logs);
    const HiveRepair repair = RepairHive(hive, logs);
    GetParam().Check(hive, repair);
}

INSTANTIATE_TEST_SUITE_P(Regf, HiveRepairTest, testing::ValuesIn(kCases));

} // namespace
} // namespace quillon
