// A registry held in memory: the store of .reg files, of tests and of the offline sources.
#pragma once

#include "registry/registry_store.h"
#include "stores/key_tree.h"

#include <array>
#include <memory>
#include <optional>
#include <unordered_map>

namespace quillon {

// What the user may do with a key, to model keys that a limited account cannot open.
enum class KeyAccess { Full, ReadOnly, Denied };

struct MemoryKey {
    MemoryKey() = default;
    MemoryKey(const MemoryKey&) = delete;
    MemoryKey& operator=(const MemoryKey&) = delete;
    ~MemoryKey();

    std::string Name;
    KeyAccess Access = KeyAccess::Full;

    // A key whose contents are a key of a tree read on demand (the root of a hive file) holds
    // none of its own; the store answers from the tree. Changing it copies the tree in first.
    struct TreeMount {
        std::shared_ptr<KeyTree> Tree;
        KeyTree::Node Node = 0;
    };
    std::optional<TreeMount> Mounted;
    // Copies the mounted tree into this key, which then holds its keys as any other.
    void CopyInMountedTree();

    // In insertion order, without the entries removed.
    const std::vector<RegValue>& Values() const;
    const std::vector<std::unique_ptr<MemoryKey>>& Subkeys() const;

    MemoryKey* FindSubkey(std::string_view name) const;
    MemoryKey& AddSubkey(std::string_view name); // the existing one when present
    // For keys read from a registry file (a hive): the new subkey, or nullptr when no path can
    // reach it (no name, or a backslash in it) or one of that name was read before, which the
    // system's lookup would find instead.
    MemoryKey* AppendReadSubkey(std::string_view name);
    // Likewise for values: false, and nothing added, when one of that name was read before.
    bool AppendReadValue(RegValue value);
    // Copies the values and subkeys of `from`, all the way down, into this key, which holds
    // none yet.
    void AppendCopyOf(const MemoryKey& from);
    void RemoveSubkey(std::string_view name);
    // Sets a value, in place when one of that name exists, else at the end.
    void SetValue(std::string_view name, std::uint32_t type, std::vector<std::uint8_t> data);
    void RemoveValue(std::string_view name);
    const RegValue* FindValue(std::string_view name) const;
    void ReserveValues(std::size_t count) { values_.reserve(values_.size() + count); }
    void ReserveSubkeys(std::size_t count) { subkeys_.reserve(subkeys_.size() + count); }

  private:
    MemoryKey& AppendSubkey(std::string_view name);
    void AppendValue(RegValue value);
    // Position of the value of that name, or values_.size().
    std::size_t ValuePosition(std::string_view name) const;
    bool ValueRemoved(std::size_t position) const {
        return position < removedValues_.size() && removedValues_[position];
    }
    // Drops the entries removed since the last reading of the lists.
    void Compact() const;

    // A .reg file may remove thousands of entries it set before. Erasing each at once would
    // move all the entries after it, so a removal only marks its entry; the lists are
    // compacted once, when next read whole.
    mutable std::vector<RegValue> values_;
    mutable std::vector<bool> removedValues_; // empty when none is removed
    mutable std::vector<std::unique_ptr<MemoryKey>> subkeys_;
    mutable bool removedSubkeys_ = false; // some subkey is marked removed
    bool removed_ = false;                // marked by its parent

    // Most keys hold a few entries, which a scan finds fastest; a key with many entries gets an
    // index of its names on the first lookup, kept up to date from then on.
    static constexpr std::size_t kIndexFrom = 16;
    mutable std::unique_ptr<std::unordered_map<std::string, MemoryKey*>> subkeyIndex_;
    // Values by the hash of their folded name: a key may hold a million values, whose names
    // are not held twice.
    mutable std::unique_ptr<std::unordered_multimap<std::uint64_t, std::size_t>> valueIndex_;
};

// Index of a root name ("HKEY_CURRENT_USER", any case) in RootNames, if it is one.
std::optional<int> RootIndexIgnoringCase(std::string_view name);

class MemoryStore : public RegistryStore {
  public:
    MemoryStore();

    MemoryKey& Root(int index) { return *roots_[index]; }
    // The key of a full name such as "HKEY_CURRENT_USER\Software\X", created with its parents;
    // nullptr when the name does not start with a root name.
    MemoryKey* CreateKey(std::string_view fullName);
    // The key of a full name, for changing it: a tree mounted on the way is copied in first.
    MemoryKey* FindKey(std::string_view fullName);
    // Removes a key and everything below it; false when there is none.
    bool DeleteKey(std::string_view fullName);

    std::int32_t OpenKey(KeyHandle parent, std::string_view path, std::uint32_t access,
                         KeyHandle& result) override;
    std::int32_t CloseKey(KeyHandle key) override;
    std::int32_t EnumValue(KeyHandle key, std::uint32_t index, RegValue& value) override;
    std::int32_t EnumKey(KeyHandle key, std::uint32_t index, std::string& name) override;
    std::int32_t QueryValue(KeyHandle key, std::string_view name, std::uint32_t& type,
                            std::vector<std::uint8_t>& data) override;

    std::size_t OpenHandleCount() const;

    // Shows the tree's key `node` at `key`, which holds nothing.
    void Mount(MemoryKey& key, std::shared_ptr<KeyTree> tree, KeyTree::Node node);
    // Makes `key`, which holds nothing, show what the key `from` shows: the same key of the same
    // tree, or a copy of keys held in memory. false when there is no such key.
    bool MountCopyOf(MemoryKey& key, std::string_view from);
    // The damage the trees met while read since the last call, as French warnings.
    std::vector<std::string> TakeReadWarnings();

    // Reads through the mounted trees, for callers that look up a few keys by name.
    bool HasKey(std::string_view fullName);
    std::optional<RegValue> ReadValue(std::string_view keyName, std::string_view valueName);
    std::vector<std::string> SubkeyNames(std::string_view keyName);
    std::vector<RegValue> ValuesOf(std::string_view keyName);

  private:
    // The keys held in memory, read as a tree whose nodes are the keys themselves; so a handle
    // reads every key the same way, wherever it is kept.
    class HeldKeys : public KeyTree {
      public:
        static Node NodeOf(MemoryKey* key) { return reinterpret_cast<std::uintptr_t>(key); }
        static MemoryKey& KeyAt(Node node) { return *reinterpret_cast<MemoryKey*>(node); }

        // The store has several roots, each opened by its own handle; this tree has none.
        Node Root() const override { return 0; }
        std::optional<Node> Subkey(Node key, std::string_view name) override;
        bool SubkeyName(Node key, std::uint32_t index, std::string& name) override;
        bool ValueAt(Node key, std::uint32_t index, RegValue& value) override;
        bool FindValue(Node key, std::string_view name, std::uint32_t& type,
                       std::vector<std::uint8_t>& data) override;
        // Keys held in memory have one parent each: no loop, nothing unreadable.
        void NoteUnreadable(Node) override {}
        std::vector<std::string> TakeWarnings() override { return {}; }
    };

    // What an open handle reads: a key of a tree, with the keys that lead to it from the tree's
    // mount, to see a loop in a damaged file.
    struct OpenedKey {
        KeyTree* Tree = nullptr;
        KeyTree::Node Node = 0;
        std::vector<KeyTree::Node> Path;
    };
    static bool HeldInMemory(const OpenedKey& key) { return key.Tree == &heldKeys_; }
    const OpenedKey* OpenedAt(KeyHandle handle);
    static OpenedKey Opened(MemoryKey* key);
    std::optional<OpenedKey> Walk(OpenedKey from, std::string_view path);
    OpenedKey Below(const OpenedKey& parent, KeyTree::Node child);
    template <typename Use> auto WithKey(std::string_view fullName, Use use);

    std::array<std::unique_ptr<MemoryKey>, RootCount> roots_;
    std::vector<std::optional<OpenedKey>> handles_; // handle h is handles_[h - 1]
    std::vector<KeyHandle> freeHandles_;
    std::vector<std::shared_ptr<KeyTree>> trees_;
    static HeldKeys heldKeys_; // holds nothing: one serves every store
    // What a key met again below itself shows: nothing.
    std::unique_ptr<MemoryKey> unreadable_ = std::make_unique<MemoryKey>();
    OpenedKey rootOpened_; // what a root handle reads, rebuilt at each use
};

} // namespace quillon
