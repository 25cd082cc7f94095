// The regf cell reader fed with hives built here byte by byte: subkey lists of each kind, a
// value held in the key cell, a value in big-data segments, damaged bins.
#include "../test_files.h"
#include "formats/regf_hive.h"
#include "hive_builder.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <unistd.h>

namespace quillon {
namespace {

namespace fs = std::filesystem;
using test::HiveBuilder;

struct Opened {
    std::unique_ptr<RegfHive> Hive;
    int Error = 0;
};

Opened Open(const HiveBuilder& builder, bool lenient) {
    const fs::path file =
        fs::temp_directory_path() / ("quillon-regf-" + std::to_string(::getpid()) + ".dat");
    test::WriteBytes(file, builder.Bytes());
    Opened opened;
    opened.Hive = RegfHive::Open(file.string(), lenient, opened.Error);
    fs::remove(file);
    return opened;
}

std::vector<std::string> SubkeyNames(const RegfHive& hive, RegfHive::Cell key) {
    std::vector<RegfHive::Cell> cells;
    std::vector<std::string> names;
    if (!hive.Subkeys(key, cells)) {
        return {"(unreadable)"};
    }
    for (const RegfHive::Cell cell : cells) {
        RegfHive::Name name;
        names.emplace_back(hive.KeyName(cell, name) ? name.Bytes : "(no name)");
    }
    return names;
}

// Builds a root whose subkeys A, B and C are listed by `list`, given their cells.
struct ListCase {
    const char* Name;
    std::function<std::uint32_t(HiveBuilder&, const std::vector<std::uint32_t>&)> List;
    std::vector<std::string> Expected;
};

const ListCase kListCases[] = {
    {"an lf list gives its keys in its order",
     [](HiveBuilder& h, const std::vector<std::uint32_t>& keys) { return h.List("lf", keys); },
     {"A", "B", "C"}},
    {"an li list gives its keys in its order",
     [](HiveBuilder& h, const std::vector<std::uint32_t>& keys) { return h.List("li", keys); },
     {"A", "B", "C"}},
    {"an ri list gives the keys of its lists, one after the other",
     [](HiveBuilder& h, const std::vector<std::uint32_t>& keys) {
         return h.List("ri", {h.List("li", {keys[0], keys[1]}), h.List("lf", {keys[2]})});
     },
     {"A", "B", "C"}},
    {"a list naming a cell that is no key spoils the whole list",
     [](HiveBuilder& h, const std::vector<std::uint32_t>& keys) {
         return h.List("li", {keys[0], h.Cell("zz"), keys[2]});
     },
     {"(unreadable)"}},
};

void PrintTo(const ListCase& c, std::ostream* out) {
    *out << c.Name;
}

class SubkeyListTest : public testing::TestWithParam<ListCase> {};

TEST_P(SubkeyListTest, ListsTheKeys) {
    HiveBuilder builder;
    std::vector<std::uint32_t> keys;
    for (const char* name : {"A", "B", "C"}) {
        keys.push_back(builder.Key(name, 0, ~0u, 0, ~0u));
    }
    const std::uint32_t list = GetParam().List(builder, keys);
    builder.SetRoot(builder.Key("ROOT", 3, list, 0, ~0u));
    const Opened opened = Open(builder, false);
    ASSERT_TRUE(opened.Hive) << GetParam().Name;
    EXPECT_EQ(SubkeyNames(*opened.Hive, opened.Hive->Root()), GetParam().Expected)
        << GetParam().Name;
}

INSTANTIATE_TEST_SUITE_P(Regf, SubkeyListTest, testing::ValuesIn(kListCases));

// A root holding one value, built by `value`; what its data reads as.
struct ValueCase {
    const char* Name;
    std::function<std::uint32_t(HiveBuilder&)> Value;
    std::optional<std::string> Expected; // nothing: the data cannot be read
};

constexpr std::uint32_t kBinary = 3;
// Windows writes big data in segments of 16344 bytes, each in a cell of 16352 whose last four
// bytes are not data.
constexpr std::size_t kSegment = 16344;

const ValueCase kValueCases[] = {
    {"up to four bytes are held in the value cell",
     [](HiveBuilder& h) {
         return h.Value("v", kBinary, 3, Le32(std::string_view("abc\0", 4), 0), true);
     },
     "abc"},
    {"more than four held in the value cell cannot be",
     [](HiveBuilder& h) { return h.Value("v", kBinary, 5, 0, true); }, std::nullopt},
    {"data in a cell of its own",
     [](HiveBuilder& h) { return h.Value("v", kBinary, 6, h.Cell("abcdef"), false); }, "abcdef"},
    {"big data: the segments' data, without each segment's last four bytes",
     [](HiveBuilder& h) {
         const std::uint32_t first = h.Cell(std::string(kSegment, 'x') + "SLCK");
         const std::uint32_t second = h.Cell(std::string(100, 'y') + "SLCK");
         std::string db(8, '\0');
         db.replace(0, 2, "db");
         PutLe16(db, 2, 2);
         PutLe32(db, 4, h.List("", {first, second}));
         return h.Value("v", kBinary, kSegment + 100, h.Cell(db), false);
     },
     std::string(kSegment, 'x') + std::string(100, 'y')},
};

void PrintTo(const ValueCase& c, std::ostream* out) {
    *out << c.Name;
}

class ValueDataTest : public testing::TestWithParam<ValueCase> {};

TEST_P(ValueDataTest, ReadsTheData) {
    HiveBuilder builder;
    const std::uint32_t value = GetParam().Value(builder);
    builder.SetRoot(builder.Key("ROOT", 0, ~0u, 1, builder.List("", {value})));
    const Opened opened = Open(builder, false);
    ASSERT_TRUE(opened.Hive) << GetParam().Name;
    std::vector<RegfHive::Cell> values;
    ASSERT_TRUE(opened.Hive->Values(opened.Hive->Root(), values)) << GetParam().Name;
    ASSERT_EQ(values.size(), 1u);
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    const bool read = opened.Hive->ValueData(values[0], type, &data);
    const std::optional<std::string> got =
        read ? std::optional<std::string>(std::string(data.begin(), data.end())) : std::nullopt;
    // Compared whole, told by size: big data would fill the screen.
    EXPECT_TRUE(got == GetParam().Expected)
        << GetParam().Name << ": read " << (got ? std::to_string(got->size()) : "nothing")
        << " bytes, expected "
        << (GetParam().Expected ? std::to_string(GetParam().Expected->size()) : "nothing");
}

INSTANTIATE_TEST_SUITE_P(Regf, ValueDataTest, testing::ValuesIn(kValueCases));

// A hive bigger than the cells' maps the reader keeps: each value in a bin of its own, a megabyte
// long, so that reading them all drops the maps of the first bins, which are walked again when
// read again. The same values read the same, and the free cells of a bin walked again are no more
// cells than they were.
TEST(RegfBins, BinsWalkedAgainReadAsTheFirstTime) {
    constexpr int kValues = 48;
    constexpr std::size_t kBinSize = 1 << 20;
    HiveBuilder builder;
    std::vector<std::uint32_t> values;
    for (int i = 0; i < kValues; ++i) {
        const std::string data = "data " + std::to_string(i);
        const auto size = static_cast<std::uint32_t>(data.size());
        values.push_back(
            builder.Value("v" + std::to_string(i), kBinary, size, builder.Cell(data), false));
        builder.NewBin(kBinSize);
    }
    builder.SetRoot(builder.Key("ROOT", 0, ~0u, kValues, builder.List("", values)));
    const Opened opened = Open(builder, false);
    ASSERT_TRUE(opened.Hive);
    std::vector<RegfHive::Cell> cells;
    ASSERT_TRUE(opened.Hive->Values(opened.Hive->Root(), cells));
    ASSERT_EQ(cells.size(), values.size());
    const auto read = [&](int i) {
        RegfHive::Name name;
        std::uint32_t type = 0;
        std::vector<std::uint8_t> data;
        if (!opened.Hive->ValueName(cells[i], name) ||
            !opened.Hive->ValueData(cells[i], type, &data)) {
            return std::string("(unreadable)");
        }
        return std::string(name.Bytes) + "=" + std::string(data.begin(), data.end());
    };
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < kValues; ++i) {
            EXPECT_EQ(read(i), "v" + std::to_string(i) + "=data " + std::to_string(i))
                << "pass " << pass;
        }
    }
    // The free cell closing the first bin, once its map was dropped and walked again.
    const RegfHive::Cell freeCell = values[0] + 32;
    RegfHive::Name name;
    EXPECT_FALSE(opened.Hive->ValueName(freeCell, name));
}

TEST(RegfDamage, ABinWhoseSizeRunsPastTheFileIsRefusedEvenLeniently) {
    HiveBuilder builder;
    builder.SetRoot(builder.Key("ROOT", 0, ~0u, 0, ~0u));
    builder.BinSize = 2 * regf::kBinAlignment;
    EXPECT_FALSE(Open(builder, false).Hive);
    EXPECT_FALSE(Open(builder, true).Hive);
}

TEST(RegfDamage, AHeaderWhoseChecksumIsWrongIsRefused) {
    HiveBuilder builder;
    builder.SetRoot(builder.Key("ROOT", 0, ~0u, 0, ~0u));
    std::string bytes = builder.Bytes();
    bytes[regf::kChecksumAt] ^= 1;
    const fs::path file =
        fs::temp_directory_path() / ("quillon-regf-sum-" + std::to_string(::getpid()) + ".dat");
    test::WriteBytes(file, bytes);
    int error = 0;
    EXPECT_FALSE(RegfHive::Open(file.string(), true, error));
    fs::remove(file);
}

} // namespace
} // namespace quillon
