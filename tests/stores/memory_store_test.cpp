// Keys answered from a tree read on demand, mounted in the memory store: what the handles read
// through the mount, a tree's key met again below itself, a second mount of one tree, and a
// mounted key changed by a later source.
#include "export/export_to_file.h"
#include "registry/reg_access.h"
#include "stores/memory_store.h"
#include "test_support.h"
#include "text/ansi_codepage.h"

#include <map>

namespace quillon {
namespace {

// A tree given as a table: each key's values and its subkeys by name. Counts what it is asked.
class TableTree : public KeyTree {
  public:
    struct Key {
        std::vector<RegValue> Values;
        std::vector<std::pair<std::string, Node>> Subkeys;
    };
    std::map<Node, Key> Keys;
    std::vector<Node> Unreadable;
    int Reads = 0;

    Node Root() const override { return 1; }
    std::optional<Node> Subkey(Node key, std::string_view name) override {
        ++Reads;
        for (const auto& [subkey, node] : Keys.at(key).Subkeys) {
            if (EqualsIgnoringCase(subkey, name)) {
                return node;
            }
        }
        return std::nullopt;
    }
    bool SubkeyName(Node key, std::uint32_t index, std::string& name) override {
        ++Reads;
        const auto& subkeys = Keys.at(key).Subkeys;
        return index < subkeys.size() && (name = subkeys[index].first, true);
    }
    bool ValueAt(Node key, std::uint32_t index, RegValue& value) override {
        ++Reads;
        const auto& values = Keys.at(key).Values;
        return index < values.size() && (value = values[index], true);
    }
    bool FindValue(Node key, std::string_view name, std::uint32_t& type,
                   std::vector<std::uint8_t>& data) override {
        ++Reads;
        for (const RegValue& value : Keys.at(key).Values) {
            if (EqualsIgnoringCase(value.Name, name)) {
                type = value.Type;
                data = value.Data;
                return true;
            }
        }
        return false;
    }
    void NoteUnreadable(Node key) override { Unreadable.push_back(key); }
    std::vector<std::string> TakeWarnings() override {
        return Unreadable.empty() ? std::vector<std::string>{}
                                  : std::vector<std::string>{"endommagée"};
    }
};

RegValue Text(std::string name, std::string text) {
    std::vector<std::uint8_t> data(text.begin(), text.end());
    data.push_back(0);
    return {std::move(name), RegType::String, std::move(data)};
}

// Root (1) holds "a"="1" and Sub (2), which holds "b"="2" and Loop, the root again.
std::shared_ptr<TableTree> LoopingTree() {
    auto tree = std::make_shared<TableTree>();
    tree->Keys[1] = {{Text("a", "1")}, {{"Sub", 2}}};
    tree->Keys[2] = {{Text("b", "2")}, {{"Loop", 1}}};
    return tree;
}

std::string Export(MemoryStore& store, std::string_view key) {
    test::ScratchFolder folder;
    Reg_access registry(store);
    EXPECT_EQ(ExportKeyToFile(registry, KeyPath(key), folder.File("out.reg"), false).Status,
              ExportStatus::Exported);
    return test::ReadBytes(folder.File("out.reg"));
}

TEST(MountedTree, IsReadThroughTheHandlesAndAKeyMetBelowItselfShowsNothing) {
    MemoryStore store;
    const auto tree = LoopingTree();
    store.Mount(*store.CreateKey("HKEY_CURRENT_USER"), tree, tree->Root());
    EXPECT_EQ(Export(store, "HKEY_CURRENT_USER\\sub"),
              test::CrLf({"REGEDIT4", " ", "[HKEY_CURRENT_USER\\sub]", "\"b\"=\"2\"", "",
                          "[HKEY_CURRENT_USER\\sub\\Loop]"}));
    EXPECT_EQ(tree->Unreadable, std::vector<KeyTree::Node>{1});
    EXPECT_EQ(store.TakeReadWarnings(), std::vector<std::string>{"endommagée"});
    EXPECT_EQ(store.ReadValue("HKEY_CURRENT_USER", "A")->Data, Text("", "1").Data);
    EXPECT_FALSE(store.HasKey("HKEY_CURRENT_USER\\Sub\\Loop\\Sub"));
    EXPECT_EQ(store.OpenHandleCount(), 0u);
}

TEST(MountedTree, ASecondMountShowsTheSameKeysWithoutCopyingThem) {
    MemoryStore store;
    const auto tree = LoopingTree();
    store.Mount(*store.CreateKey("HKEY_CURRENT_USER"), tree, tree->Root());
    ASSERT_TRUE(store.MountCopyOf(*store.CreateKey("HKEY_USERS\\S-1"), "HKEY_CURRENT_USER\\Sub"));
    const int readsBefore = tree->Reads;
    EXPECT_EQ(store.ValuesOf("HKEY_USERS\\S-1"), std::vector<RegValue>{Text("b", "2")});
    EXPECT_GT(tree->Reads, readsBefore); // answered by the tree, not a copy
    EXPECT_FALSE(store.MountCopyOf(*store.CreateKey("HKEY_USERS\\S-2"), "HKEY_CURRENT_USER\\No"));
}

TEST(MountedTree, ChangingAMountedKeyCopiesTheTreeInFirst) {
    MemoryStore store;
    const auto tree = LoopingTree();
    store.Mount(*store.CreateKey("HKEY_CURRENT_USER"), tree, tree->Root());
    store.CreateKey("HKEY_CURRENT_USER\\Sub\\New")->SetValue("c", RegType::Dword, {1, 0, 0, 0});
    tree->Keys.clear(); // the copy no longer needs the tree
    EXPECT_EQ(
        Export(store, "HKEY_CURRENT_USER"),
        test::CrLf({"REGEDIT4", " ", "[HKEY_CURRENT_USER]", "\"a\"=\"1\"", "",
                    "[HKEY_CURRENT_USER\\Sub]", "\"b\"=\"2\"", "", "[HKEY_CURRENT_USER\\Sub\\Loop]",
                    "", "[HKEY_CURRENT_USER\\Sub\\New]", "\"c\"=dword:00000001"}));
}

} // namespace
} // namespace quillon
