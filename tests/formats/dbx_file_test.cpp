// The .dbx reader fed with files built byte by byte: the index's order, texts across blocks,
// damage of each kind met, and the messages found by their chains alone.
#include "../test_files.h"
#include "dbx_writer.h"
#include "files/byte_order.h"
#include "formats/dbx_file.h"
#include "formats/dbx_layout.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>

namespace quillon {
namespace {

namespace fs = std::filesystem;
using tools::DbxBuilder;
using tools::NumberField;
using tools::TextField;

// A message's record: where its text starts, its subject.
std::uint32_t AddMessage(DbxBuilder& file, const std::string& text, std::uint32_t room = 0x200) {
    const std::uint32_t first = file.AddText(text, room);
    return file.AddRecord({NumberField(dbx::kMessageTextAt, first),
                           TextField(dbx::kMessageSubject, "S:" + text.substr(0, 3))});
}

struct Read {
    std::vector<std::string> Texts; // recovered ones marked "+"
    std::vector<std::string> Problems;
};

class DbxFileTest : public testing::Test {
  protected:
    void TearDown() override { fs::remove(path); }
    // Every message of the file, its text whole.
    Read ReadAll(const std::string& bytes, bool recover = false) {
        test::WriteBytes(path, bytes);
        DbxFile file;
        std::string error;
        EXPECT_TRUE(file.Open(path.string(), error)) << error;
        Read read;
        for (const DbxMessage& message : file.Messages(recover)) {
            std::string text = message.Recovered ? "+" : "";
            if (!file.ReadText(message, [&](std::string_view piece) {
                    text += piece;
                    return true;
                })) {
                text += "<cut>";
            }
            read.Texts.push_back(text);
        }
        read.Problems = file.TakeProblems();
        return read;
    }

    const fs::path path =
        fs::temp_directory_path() / ("quillon-dbx-" + std::to_string(::getpid()) + ".dbx");
};

using Texts = std::vector<std::string>;

TEST_F(DbxFileTest, TheIndexIsReadInItsOrderAcrossNodes) {
    DbxBuilder file(dbx::kMessageFolderKind);
    std::vector<std::uint32_t> records;
    for (const char* text : {"a1", "b2", "c3", "d4"}) {
        records.push_back(AddMessage(file, text));
    }
    // b2 lies in the root; a1 in the node before it, c3 d4 in the node after.
    const std::uint32_t before = file.AddNode({{records[0]}});
    const std::uint32_t after = file.AddNode({{records[2]}, {records[3]}});
    file.SetTree(file.AddNode({{records[1], after}}, before), 4);
    EXPECT_EQ(ReadAll(file.Bytes()).Texts, (Texts{"a1", "b2", "c3", "d4"}));
}

TEST_F(DbxFileTest, ATreeOfThreeLevelsGivesEveryMessage) {
    std::vector<std::string> messages;
    for (int i = 0; i < 3000; ++i) {
        messages.push_back("m" + std::to_string(i));
    }
    EXPECT_EQ(ReadAll(tools::MessageFolder(messages)).Texts, messages);
}

TEST_F(DbxFileTest, ATextIsItsBlocksInTheirChainsOrder) {
    DbxBuilder file(dbx::kMessageFolderKind);
    const std::string text = std::string(0x200, 'x') + std::string(0x200, 'y') + "end";
    file.SetTree(file.AddTree({AddMessage(file, text)}), 1);
    EXPECT_EQ(ReadAll(file.Bytes()).Texts, Texts{text});
    // Blocks of another size than the mail client's are read as they say.
    DbxBuilder small(dbx::kMessageFolderKind);
    small.SetTree(small.AddTree({AddMessage(small, "0123456789", 4)}), 1);
    EXPECT_EQ(ReadAll(small.Bytes()).Texts, Texts{"0123456789"});
}

// Each kind of damage: what is read, what is said.
struct DamageCase {
    const char* Name;
    std::function<void(DbxBuilder&, const std::vector<std::uint32_t>& records, std::uint32_t root)>
        Damage;
    Texts Expected;
    std::size_t Problems;
};

void PrintTo(const DamageCase& c, std::ostream* out) {
    *out << c.Name;
}

// Three messages "one" "two" "six", the last of two blocks; the root holds the first two, its
// child the last.
DbxBuilder ThreeMessages(std::vector<std::uint32_t>& records, std::uint32_t& root) {
    DbxBuilder file(dbx::kMessageFolderKind);
    records = {AddMessage(file, "one"), AddMessage(file, "two"),
               AddMessage(file, "six" + std::string(0x200, '.'))};
    const std::uint32_t child = file.AddNode({{records[2]}});
    root = file.AddNode({{records[0]}, {records[1], child}});
    file.SetTree(root, 3);
    return file;
}

const std::string kSix = "six" + std::string(0x200, '.');
constexpr std::uint32_t kSecondEntry = dbx::kNodeEntriesAt + dbx::kNodeEntrySize;

const DamageCase kDamage[] = {
    {"nothing damaged", [](DbxBuilder&, const auto&, std::uint32_t) {}, {"one", "two", kSix}, 0},
    {"a child node outside the file: its message is found by its chain",
     [](DbxBuilder& f, const auto&, std::uint32_t root) {
         f.Put32(root + kSecondEntry + dbx::kEntryChildAt, 0x7FFFFFF0);
     },
     {"one", "two", "+" + kSix},
     1},
    {"a node that points to itself is read once",
     [](DbxBuilder& f, const auto&, std::uint32_t root) {
         f.Put32(root + kSecondEntry + dbx::kEntryChildAt, root);
     },
     {"one", "two", "+" + kSix},
     1},
    {"a node whose own offset is wrong",
     [](DbxBuilder& f, const auto&, std::uint32_t root) { f.Put32(root, 0); },
     {"+one", "+two", "+" + kSix},
     1},
    {"a record that is not where the index says",
     [](DbxBuilder& f, const auto& records, std::uint32_t) { f.Put32(records[1], 4); },
     {"one", kSix, "+two"},
     1},
    {"a record longer than the file",
     [](DbxBuilder& f, const auto& records, std::uint32_t) {
         f.Put32(records[0] + dbx::kRecordBodyLengthAt, 0xFFFFFF);
     },
     {"two", kSix, "+one"},
     1},
    {"a chain that loops back on its block",
     [](DbxBuilder& f, const auto& records, std::uint32_t) {
         const std::uint32_t first = Le32(f.Bytes(), records[2] + dbx::kRecordHeaderSize + 8);
         f.Put32(first + dbx::kBlockNextAt, first);
     },
     {"one", "two", std::string(kSix, 0, 0x200) + "<cut>"},
     1},
    {"a chain that turns back to a block it passed",
     [](DbxBuilder& f, const auto& records, std::uint32_t) {
         const std::uint32_t first = Le32(f.Bytes(), records[2] + dbx::kRecordHeaderSize + 8);
         const std::uint32_t second = Le32(f.Bytes(), first + dbx::kBlockNextAt);
         f.Put32(second + dbx::kBlockNextAt, first);
     },
     {"one", "two", kSix + "<cut>"},
     1},
    {"a block claiming more text than it holds",
     [](DbxBuilder& f, const auto& records, std::uint32_t) {
         const std::uint32_t first = Le32(f.Bytes(), records[0] + dbx::kRecordHeaderSize + 8);
         f.Put32(first + dbx::kBlockTextLengthAt, 0x201);
     },
     {"<cut>", "two", kSix},
     1},
};

class DbxDamageTest : public DbxFileTest, public testing::WithParamInterface<DamageCase> {};

TEST_P(DbxDamageTest, IsReadAsFarAsItGoesAndSaid) {
    std::vector<std::uint32_t> records;
    std::uint32_t root = 0;
    DbxBuilder file = ThreeMessages(records, root);
    GetParam().Damage(file, records, root);
    const Read read = ReadAll(file.Bytes());
    EXPECT_EQ(read.Texts, GetParam().Expected);
    EXPECT_EQ(read.Problems.size(), GetParam().Problems) << testing::PrintToString(read.Problems);
}

INSTANTIATE_TEST_SUITE_P(Dbx, DbxDamageTest, testing::ValuesIn(kDamage));

// A deleted message whose record is gone but whose text is whole is found only when asked.
TEST_F(DbxFileTest, AMessageOutOfTheIndexIsFoundWhenAskedFor) {
    DbxBuilder file(dbx::kMessageFolderKind);
    const std::uint32_t kept = AddMessage(file, "kept");
    file.AddText("deleted" + std::string(0x300, '-'));
    file.SetTree(file.AddTree({kept}), 1);
    EXPECT_EQ(ReadAll(file.Bytes()).Texts, Texts{"kept"});
    EXPECT_EQ(ReadAll(file.Bytes(), true).Texts,
              (Texts{"kept", "+deleted" + std::string(0x300, '-')}));
}

// Blocks the mail client moved when it compacted the file still name where they were: their
// chain is found and read in those terms.
TEST_F(DbxFileTest, AChainMovedWithinTheFileIsFoundWhereItLies) {
    DbxBuilder file(dbx::kMessageFolderKind);
    const std::uint32_t kept = AddMessage(file, "kept");
    const std::string moved = "moved" + std::string(0x300, '-');
    const std::uint32_t first = file.AddText(moved);
    file.SetTree(file.AddTree({kept}), 1);
    std::string bytes = file.Bytes();
    constexpr std::size_t kTwoBlocks = 2 * (dbx::kBlockHeaderSize + dbx::kBlockRoom);
    bytes += std::string(0x40, '\0') + bytes.substr(first, kTwoBlocks);
    bytes.replace(first, kTwoBlocks, kTwoBlocks, '\0');
    EXPECT_EQ(ReadAll(bytes, true).Texts, (Texts{"kept", "+" + moved}));
}

TEST_F(DbxFileTest, TheFoldersListGivesEachFoldersPlace) {
    test::WriteBytes(path, tools::FoldersList({{0, kDbxNoParent, 3, 0, "Outlook Express", ""},
                                               {1, 0, 3, 0, "Dossiers locaux", ""},
                                               {2, 1, 3, Inbox, "Bo\xEEte", "Bo\xEEte.dbx"}}));
    DbxFile file;
    std::string error;
    ASSERT_TRUE(file.Open(path.string(), error));
    EXPECT_EQ(file.Kind(), DbxKind::FoldersList);
    const std::vector<DbxFolder> folders = file.Folders();
    ASSERT_EQ(folders.size(), 3u);
    EXPECT_EQ(folders[0].Parent, kDbxNoParent);
    EXPECT_EQ(folders[1].File, "");
    EXPECT_EQ(folders[2].Name, "Bo\xEEte");
    EXPECT_EQ(folders[2].File, "Bo\xEEte.dbx");
    EXPECT_EQ(folders[2].Special, Inbox);
    EXPECT_EQ(folders[2].Parent, 1u);
}

TEST_F(DbxFileTest, WhatIsNoDbxFileIsRefused) {
    for (const std::string& bytes : {std::string("short"), std::string(0x3000, '\0'),
                                     tools::MessageFolder({}).substr(0, 0x100)}) {
        test::WriteBytes(path, bytes);
        DbxFile file;
        std::string error;
        EXPECT_FALSE(file.Open(path.string(), error));
        EXPECT_EQ(error, "ce n'est pas un fichier .dbx lisible");
    }
}

} // namespace
} // namespace quillon
