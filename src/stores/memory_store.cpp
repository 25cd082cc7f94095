#include "stores/memory_store.h"

#include "text/ansi_codepage.h"

#include <algorithm>

namespace quillon {
namespace {

// Calls `visit` with each "\"-separated component of `path`, skipping empty ones;
// stops early when it returns false.
template <typename Visit> bool ForEachComponent(std::string_view path, Visit visit) {
    while (!path.empty()) {
        const auto cut = path.find('\\');
        const auto part = path.substr(0, cut);
        if (!part.empty() && !visit(part)) {
            return false;
        }
        path = cut == std::string_view::npos ? std::string_view{} : path.substr(cut + 1);
    }
    return true;
}

struct SplitName {
    int Root;
    std::string_view Path;
};

std::optional<SplitName> SplitFullName(std::string_view fullName) {
    const auto cut = fullName.find('\\');
    const auto root = RootIndexIgnoringCase(fullName.substr(0, cut));
    if (!root) {
        return std::nullopt;
    }
    return SplitName{*root, cut == std::string_view::npos ? "" : fullName.substr(cut + 1)};
}

bool AccessAllowed(KeyAccess keyAccess, std::uint32_t access) {
    switch (keyAccess) {
    case KeyAccess::Full:
        return true;
    case KeyAccess::ReadOnly:
        return (access & KeyWriteBits) == 0;
    case KeyAccess::Denied:
        return false;
    }
    return false;
}

} // namespace

std::optional<int> RootIndexIgnoringCase(std::string_view name) {
    for (int i = 0; i < RootCount; ++i) {
        if (EqualsIgnoringCase(name, RootNames[i])) {
            return i;
        }
    }
    return std::nullopt;
}

// However deep the tree, it is freed without recursion.
MemoryKey::~MemoryKey() {
    std::vector<std::unique_ptr<MemoryKey>> pending = std::move(subkeys_);
    while (!pending.empty()) {
        std::unique_ptr<MemoryKey> key = std::move(pending.back());
        pending.pop_back();
        for (auto& subkey : key->subkeys_) {
            pending.push_back(std::move(subkey));
        }
        key->subkeys_.clear();
    }
}

const std::vector<RegValue>& MemoryKey::Values() const {
    Compact();
    return values_;
}

const std::vector<std::unique_ptr<MemoryKey>>& MemoryKey::Subkeys() const {
    Compact();
    return subkeys_;
}

void MemoryKey::Compact() const {
    if (!removedValues_.empty()) {
        std::size_t kept = 0;
        for (std::size_t i = 0; i < values_.size(); ++i) {
            if (!ValueRemoved(i)) {
                if (kept != i) {
                    values_[kept] = std::move(values_[i]);
                }
                ++kept;
            }
        }
        values_.resize(kept);
        removedValues_.clear();
        valueIndex_.reset(); // positions have moved
    }
    if (removedSubkeys_) {
        std::erase_if(subkeys_, [](const auto& key) { return key->removed_; });
        removedSubkeys_ = false;
    }
}

MemoryKey* MemoryKey::FindSubkey(std::string_view name) const {
    if (subkeys_.size() < kIndexFrom) {
        for (const auto& key : subkeys_) {
            if (!key->removed_ && EqualsIgnoringCase(key->Name, name)) {
                return key.get();
            }
        }
        return nullptr;
    }
    if (!subkeyIndex_) {
        subkeyIndex_ = std::make_unique<std::unordered_map<std::string, MemoryKey*>>();
        for (const auto& key : subkeys_) {
            if (!key->removed_) {
                subkeyIndex_->emplace(FoldCase(key->Name), key.get());
            }
        }
    }
    const auto it = subkeyIndex_->find(FoldCase(name));
    return it == subkeyIndex_->end() ? nullptr : it->second;
}

MemoryKey& MemoryKey::AddSubkey(std::string_view name) {
    if (MemoryKey* existing = FindSubkey(name)) {
        return *existing;
    }
    return AppendSubkey(name);
}

MemoryKey& MemoryKey::AppendSubkey(std::string_view name) {
    auto& key = subkeys_.emplace_back(std::make_unique<MemoryKey>());
    key->Name = name;
    if (subkeyIndex_) {
        subkeyIndex_->emplace(FoldCase(name), key.get());
    }
    return *key;
}

MemoryKey* MemoryKey::AppendReadSubkey(std::string_view name) {
    if (name.empty() || name.find('\\') != std::string_view::npos || FindSubkey(name) != nullptr) {
        return nullptr;
    }
    return &AppendSubkey(name);
}

void MemoryKey::AppendCopyOf(const MemoryKey& from) {
    // Without recursion, as keys are freed: a tree read from a file may be 512 levels deep.
    std::vector<std::pair<const MemoryKey*, MemoryKey*>> pending{{&from, this}};
    while (!pending.empty()) {
        const auto [source, target] = pending.back();
        pending.pop_back();
        target->ReserveValues(source->Values().size());
        for (const RegValue& value : source->Values()) {
            target->AppendValue(value);
        }
        target->ReserveSubkeys(source->Subkeys().size());
        for (const auto& subkey : source->Subkeys()) {
            MemoryKey& copy = target->AppendSubkey(subkey->Name);
            copy.Access = subkey->Access;
            pending.emplace_back(subkey.get(), &copy);
        }
    }
}

bool MemoryKey::AppendReadValue(RegValue value) {
    if (FindValue(value.Name) != nullptr) {
        return false;
    }
    AppendValue(std::move(value));
    return true;
}

void MemoryKey::RemoveSubkey(std::string_view name) {
    MemoryKey* target = FindSubkey(name);
    if (target == nullptr) {
        return;
    }
    if (subkeyIndex_) {
        subkeyIndex_->erase(FoldCase(name));
    }
    target->removed_ = true;
    removedSubkeys_ = true;
}

std::size_t MemoryKey::ValuePosition(std::string_view name) const {
    if (values_.size() < kIndexFrom) {
        for (std::size_t i = 0; i < values_.size(); ++i) {
            if (!ValueRemoved(i) && EqualsIgnoringCase(values_[i].Name, name)) {
                return i;
            }
        }
        return values_.size();
    }
    if (!valueIndex_) {
        valueIndex_ = std::make_unique<std::unordered_multimap<std::uint64_t, std::size_t>>();
        valueIndex_->reserve(values_.size());
        for (std::size_t i = 0; i < values_.size(); ++i) {
            if (!ValueRemoved(i)) {
                valueIndex_->emplace(FoldedHash(values_[i].Name), i);
            }
        }
    }
    const auto [first, last] = valueIndex_->equal_range(FoldedHash(name));
    for (auto it = first; it != last; ++it) {
        if (EqualsIgnoringCase(values_[it->second].Name, name)) {
            return it->second;
        }
    }
    return values_.size();
}

void MemoryKey::SetValue(std::string_view name, std::uint32_t type,
                         std::vector<std::uint8_t> data) {
    const std::size_t position = ValuePosition(name);
    if (position < values_.size()) {
        values_[position].Type = type;
        values_[position].Data = std::move(data);
        return;
    }
    AppendValue(RegValue{std::string(name), type, std::move(data)});
}

void MemoryKey::AppendValue(RegValue value) {
    if (valueIndex_) {
        valueIndex_->emplace(FoldedHash(value.Name), values_.size());
    }
    values_.push_back(std::move(value));
}

void MemoryKey::RemoveValue(std::string_view name) {
    const std::size_t position = ValuePosition(name);
    if (position == values_.size()) {
        return;
    }
    if (valueIndex_) {
        const auto [first, last] = valueIndex_->equal_range(FoldedHash(name));
        valueIndex_->erase(
            std::find_if(first, last, [&](const auto& entry) { return entry.second == position; }));
    }
    removedValues_.resize(values_.size());
    removedValues_[position] = true;
    values_[position] = RegValue{};
}

const RegValue* MemoryKey::FindValue(std::string_view name) const {
    const std::size_t position = ValuePosition(name);
    return position < values_.size() ? &values_[position] : nullptr;
}

namespace {

// The keys below `node`, all the way down, into `into`; `path` holds the keys from the mount to
// `node`, to see a loop.
void CopyTree(KeyTree& tree, KeyTree::Node node, MemoryKey& into,
              std::vector<KeyTree::Node>& path) {
    RegValue value;
    for (std::uint32_t i = 0; tree.ValueAt(node, i, value); ++i) {
        into.AppendReadValue(value);
    }
    std::string name;
    for (std::uint32_t i = 0; tree.SubkeyName(node, i, name); ++i) {
        const std::optional<KeyTree::Node> child = tree.Subkey(node, name);
        MemoryKey* copy = into.AppendReadSubkey(name);
        if (!child || copy == nullptr) {
            continue;
        }
        if (std::find(path.begin(), path.end(), *child) != path.end() ||
            path.size() > static_cast<std::size_t>(MaxKeyDepth)) {
            tree.NoteUnreadable(*child);
            continue;
        }
        path.push_back(*child);
        CopyTree(tree, *child, *copy, path);
        path.pop_back();
    }
}

} // namespace

void MemoryKey::CopyInMountedTree() {
    if (!Mounted) {
        return;
    }
    const TreeMount mount = std::move(*Mounted);
    Mounted.reset();
    std::vector<KeyTree::Node> path{mount.Node};
    CopyTree(*mount.Tree, mount.Node, *this, path);
}

constinit MemoryStore::HeldKeys MemoryStore::heldKeys_;

std::optional<KeyTree::Node> MemoryStore::HeldKeys::Subkey(Node key, std::string_view name) {
    MemoryKey* child = KeyAt(key).FindSubkey(name);
    return child != nullptr ? std::optional(NodeOf(child)) : std::nullopt;
}

bool MemoryStore::HeldKeys::SubkeyName(Node key, std::uint32_t index, std::string& name) {
    const auto& subkeys = KeyAt(key).Subkeys();
    if (index >= subkeys.size()) {
        return false;
    }
    name = subkeys[index]->Name;
    return true;
}

bool MemoryStore::HeldKeys::ValueAt(Node key, std::uint32_t index, RegValue& value) {
    const auto& values = KeyAt(key).Values();
    if (index >= values.size()) {
        return false;
    }
    value = values[index];
    return true;
}

bool MemoryStore::HeldKeys::FindValue(Node key, std::string_view name, std::uint32_t& type,
                                      std::vector<std::uint8_t>& data) {
    const RegValue* value = KeyAt(key).FindValue(name);
    if (value == nullptr) {
        return false;
    }
    type = value->Type;
    data = value->Data;
    return true;
}

MemoryStore::MemoryStore() {
    for (int i = 0; i < RootCount; ++i) {
        roots_[i] = std::make_unique<MemoryKey>();
        roots_[i]->Name = RootNames[i];
    }
}

MemoryKey* MemoryStore::CreateKey(std::string_view fullName) {
    const auto split = SplitFullName(fullName);
    if (!split) {
        return nullptr;
    }
    MemoryKey* key = roots_[split->Root].get();
    key->CopyInMountedTree();
    ForEachComponent(split->Path, [&](std::string_view part) {
        key = &key->AddSubkey(part);
        key->CopyInMountedTree();
        return true;
    });
    return key;
}

MemoryKey* MemoryStore::FindKey(std::string_view fullName) {
    const auto split = SplitFullName(fullName);
    if (!split) {
        return nullptr;
    }
    MemoryKey* key = roots_[split->Root].get();
    key->CopyInMountedTree();
    ForEachComponent(split->Path, [&](std::string_view part) {
        key = key->FindSubkey(part);
        if (key != nullptr) {
            key->CopyInMountedTree();
        }
        return key != nullptr;
    });
    return key;
}

bool MemoryStore::DeleteKey(std::string_view fullName) {
    const auto cut = fullName.rfind('\\');
    if (cut == std::string_view::npos) {
        return false;
    }
    MemoryKey* parent = FindKey(fullName.substr(0, cut));
    const auto name = fullName.substr(cut + 1);
    if (parent == nullptr || parent->FindSubkey(name) == nullptr) {
        return false;
    }
    parent->RemoveSubkey(name);
    return true;
}

void MemoryStore::Mount(MemoryKey& key, std::shared_ptr<KeyTree> tree, KeyTree::Node node) {
    if (std::find(trees_.begin(), trees_.end(), tree) == trees_.end()) {
        trees_.push_back(tree);
    }
    key.Mounted = MemoryKey::TreeMount{std::move(tree), node};
}

bool MemoryStore::MountCopyOf(MemoryKey& key, std::string_view from) {
    const auto split = SplitFullName(from);
    const std::optional<OpenedKey> found =
        split ? Walk(Opened(roots_[split->Root].get()), split->Path) : std::nullopt;
    if (!found) {
        return false;
    }
    if (HeldInMemory(*found)) {
        key.AppendCopyOf(HeldKeys::KeyAt(found->Node));
    } else {
        key.Mounted = MemoryKey::TreeMount{
            *std::find_if(trees_.begin(), trees_.end(),
                          [&](const auto& tree) { return tree.get() == found->Tree; }),
            found->Node};
    }
    return true;
}

std::vector<std::string> MemoryStore::TakeReadWarnings() {
    std::vector<std::string> warnings;
    for (const auto& tree : trees_) {
        for (std::string& warning : tree->TakeWarnings()) {
            warnings.push_back(std::move(warning));
        }
    }
    return warnings;
}

// A key held in memory, or the key of the tree mounted there.
MemoryStore::OpenedKey MemoryStore::Opened(MemoryKey* key) {
    if (key->Mounted) {
        return {key->Mounted->Tree.get(), key->Mounted->Node, {key->Mounted->Node}};
    }
    return {&heldKeys_, HeldKeys::NodeOf(key), {}};
}

// A subkey of a tree's key; one met again below itself, or deeper than Windows allows, shows
// nothing.
MemoryStore::OpenedKey MemoryStore::Below(const OpenedKey& parent, KeyTree::Node child) {
    if (std::find(parent.Path.begin(), parent.Path.end(), child) != parent.Path.end() ||
        parent.Path.size() > static_cast<std::size_t>(MaxKeyDepth)) {
        parent.Tree->NoteUnreadable(child);
        return Opened(unreadable_.get());
    }
    OpenedKey below{parent.Tree, child, parent.Path};
    below.Path.push_back(child);
    return below;
}

std::optional<MemoryStore::OpenedKey> MemoryStore::Walk(OpenedKey from, std::string_view path) {
    std::optional<OpenedKey> key = std::move(from);
    ForEachComponent(path, [&](std::string_view part) {
        const std::optional<KeyTree::Node> child = key->Tree->Subkey(key->Node, part);
        if (!child) {
            key.reset();
        } else if (HeldInMemory(*key)) {
            // A key held in memory may have a tree mounted on it.
            key = Opened(&HeldKeys::KeyAt(*child));
        } else {
            key = Below(*key, *child);
        }
        return key.has_value();
    });
    return key;
}

const MemoryStore::OpenedKey* MemoryStore::OpenedAt(KeyHandle handle) {
    if (IsRootHandle(handle)) {
        rootOpened_ = Opened(roots_[handle - FirstRootHandle].get());
        return &rootOpened_;
    }
    if (handle == 0 || handle > handles_.size() || !handles_[handle - 1]) {
        return nullptr;
    }
    return &*handles_[handle - 1];
}

std::int32_t MemoryStore::OpenKey(KeyHandle parent, std::string_view path, std::uint32_t access,
                                  KeyHandle& result) {
    result = 0;
    const OpenedKey* from = OpenedAt(parent);
    if (from == nullptr) {
        return RegResult::InvalidHandle;
    }
    // As the system's registry: a path that begins with a backslash is refused, so that an
    // empty first part (an empty hive name) never opens a key of the root itself.
    if (path.starts_with('\\')) {
        return RegResult::BadPathname;
    }
    std::optional<OpenedKey> key = Walk(*from, path);
    if (!key) {
        return RegResult::FileNotFound;
    }
    // A tree's keys are read-only files' keys: any access that reads is allowed.
    if (HeldInMemory(*key) && !AccessAllowed(HeldKeys::KeyAt(key->Node).Access, access)) {
        return RegResult::AccessDenied;
    }
    if (freeHandles_.empty()) {
        handles_.push_back(std::move(key));
        result = static_cast<KeyHandle>(handles_.size());
    } else {
        result = freeHandles_.back();
        freeHandles_.pop_back();
        handles_[result - 1] = std::move(key);
    }
    return RegResult::Success;
}

std::int32_t MemoryStore::CloseKey(KeyHandle key) {
    if (IsRootHandle(key)) {
        return RegResult::Success;
    }
    if (OpenedAt(key) == nullptr) {
        return RegResult::InvalidHandle;
    }
    handles_[key - 1].reset();
    freeHandles_.push_back(key);
    return RegResult::Success;
}

std::int32_t MemoryStore::EnumValue(KeyHandle handle, std::uint32_t index, RegValue& value) {
    const OpenedKey* key = OpenedAt(handle);
    if (key == nullptr) {
        return RegResult::InvalidHandle;
    }
    return key->Tree->ValueAt(key->Node, index, value) ? RegResult::Success
                                                       : RegResult::NoMoreItems;
}

std::int32_t MemoryStore::EnumKey(KeyHandle handle, std::uint32_t index, std::string& name) {
    const OpenedKey* key = OpenedAt(handle);
    if (key == nullptr) {
        return RegResult::InvalidHandle;
    }
    return key->Tree->SubkeyName(key->Node, index, name) ? RegResult::Success
                                                         : RegResult::NoMoreItems;
}

std::int32_t MemoryStore::QueryValue(KeyHandle handle, std::string_view name, std::uint32_t& type,
                                     std::vector<std::uint8_t>& data) {
    type = 0;
    data.clear();
    const OpenedKey* key = OpenedAt(handle);
    if (key == nullptr) {
        return RegResult::InvalidHandle;
    }
    if (key->Tree->FindValue(key->Node, name, type, data)) {
        return RegResult::Success;
    }
    type = 0;
    data.clear();
    return RegResult::FileNotFound;
}

std::size_t MemoryStore::OpenHandleCount() const {
    return static_cast<std::size_t>(std::count_if(handles_.begin(), handles_.end(),
                                                  [](const auto& key) { return key.has_value(); }));
}

template <typename Use> auto MemoryStore::WithKey(std::string_view fullName, Use use) {
    const auto split = SplitFullName(fullName);
    KeyHandle handle = 0;
    const bool opened = split && OpenKey(FirstRootHandle + static_cast<KeyHandle>(split->Root),
                                         split->Path, KeyRead, handle) == RegResult::Success;
    auto result = use(opened ? handle : 0);
    if (opened) {
        CloseKey(handle);
    }
    return result;
}

bool MemoryStore::HasKey(std::string_view fullName) {
    return WithKey(fullName, [](KeyHandle handle) { return handle != 0; });
}

std::optional<RegValue> MemoryStore::ReadValue(std::string_view keyName,
                                               std::string_view valueName) {
    return WithKey(keyName, [&](KeyHandle handle) -> std::optional<RegValue> {
        RegValue value{std::string(valueName), 0, {}};
        if (handle == 0 ||
            QueryValue(handle, valueName, value.Type, value.Data) != RegResult::Success) {
            return std::nullopt;
        }
        return value;
    });
}

std::vector<std::string> MemoryStore::SubkeyNames(std::string_view keyName) {
    return WithKey(keyName, [&](KeyHandle handle) {
        std::vector<std::string> names;
        std::string name;
        for (std::uint32_t i = 0; handle != 0 && EnumKey(handle, i, name) == RegResult::Success;
             ++i) {
            names.push_back(name);
        }
        return names;
    });
}

std::vector<RegValue> MemoryStore::ValuesOf(std::string_view keyName) {
    return WithKey(keyName, [&](KeyHandle handle) {
        std::vector<RegValue> values;
        RegValue value;
        for (std::uint32_t i = 0; handle != 0 && EnumValue(handle, i, value) == RegResult::Success;
             ++i) {
            values.push_back(value);
        }
        return values;
    });
}

} // namespace quillon
