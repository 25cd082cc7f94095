#include "registry/memory_store.h"

#include "registry/ansi_codepage.h"

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
    case KeyAccess::Full: return true;
    case KeyAccess::ReadOnly: return (access & KeyWriteBits) == 0;
    case KeyAccess::Denied: return false;
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

MemoryKey* MemoryKey::FindSubkey(std::string_view name) const {
    const auto it = subkeyByFoldedName_.find(FoldCase(name));
    return it == subkeyByFoldedName_.end() ? nullptr : it->second;
}

MemoryKey& MemoryKey::AddSubkey(std::string_view name) {
    if (MemoryKey* existing = FindSubkey(name)) {
        return *existing;
    }
    auto& key = Subkeys.emplace_back(std::make_unique<MemoryKey>());
    key->Name = name;
    subkeyByFoldedName_.emplace(FoldCase(name), key.get());
    return *key;
}

void MemoryKey::RemoveSubkey(std::string_view name) {
    const auto folded = FoldCase(name);
    const auto it = subkeyByFoldedName_.find(folded);
    if (it == subkeyByFoldedName_.end()) {
        return;
    }
    const MemoryKey* target = it->second;
    subkeyByFoldedName_.erase(it);
    std::erase_if(Subkeys, [&](const auto& key) { return key.get() == target; });
}

void MemoryKey::SetValue(std::string_view name, std::uint32_t type,
                         std::vector<std::uint8_t> data) {
    const auto [it, inserted] = valueByFoldedName_.emplace(FoldCase(name), Values.size());
    if (inserted) {
        Values.push_back(RegValue{std::string(name), type, std::move(data)});
        return;
    }
    RegValue& value = Values[it->second];
    value.Type = type;
    value.Data = std::move(data);
}

void MemoryKey::RemoveValue(std::string_view name) {
    const auto it = valueByFoldedName_.find(FoldCase(name));
    if (it == valueByFoldedName_.end()) {
        return;
    }
    Values.erase(Values.begin() + static_cast<std::ptrdiff_t>(it->second));
    valueByFoldedName_.clear();
    for (std::size_t i = 0; i < Values.size(); ++i) {
        valueByFoldedName_.emplace(FoldCase(Values[i].Name), i);
    }
}

const RegValue* MemoryKey::FindValue(std::string_view name) const {
    const auto it = valueByFoldedName_.find(FoldCase(name));
    return it == valueByFoldedName_.end() ? nullptr : &Values[it->second];
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
    ForEachComponent(split->Path, [&](std::string_view part) {
        key = &key->AddSubkey(part);
        return true;
    });
    return key;
}

MemoryKey* MemoryStore::FindKey(std::string_view fullName) const {
    const auto split = SplitFullName(fullName);
    return split ? Walk(roots_[split->Root].get(), split->Path) : nullptr;
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

MemoryKey* MemoryStore::Walk(MemoryKey* from, std::string_view path) const {
    MemoryKey* key = from;
    ForEachComponent(path, [&](std::string_view part) {
        key = key->FindSubkey(part);
        return key != nullptr;
    });
    return key;
}

MemoryKey* MemoryStore::KeyOf(KeyHandle handle) const {
    if (IsRootHandle(handle)) {
        return roots_[handle - FirstRootHandle].get();
    }
    if (handle == 0 || handle > handles_.size()) {
        return nullptr;
    }
    return handles_[handle - 1];
}

std::int32_t MemoryStore::OpenKey(KeyHandle parent, std::string_view path, std::uint32_t access,
                                  KeyHandle& result) {
    result = 0;
    MemoryKey* from = KeyOf(parent);
    if (from == nullptr) {
        return RegResult::InvalidHandle;
    }
    MemoryKey* key = Walk(from, path);
    if (key == nullptr) {
        return RegResult::FileNotFound;
    }
    if (!AccessAllowed(key->Access, access)) {
        return RegResult::AccessDenied;
    }
    if (freeHandles_.empty()) {
        handles_.push_back(key);
        result = static_cast<KeyHandle>(handles_.size());
    } else {
        result = freeHandles_.back();
        freeHandles_.pop_back();
        handles_[result - 1] = key;
    }
    return RegResult::Success;
}

std::int32_t MemoryStore::CloseKey(KeyHandle key) {
    if (IsRootHandle(key)) {
        return RegResult::Success;
    }
    if (KeyOf(key) == nullptr) {
        return RegResult::InvalidHandle;
    }
    handles_[key - 1] = nullptr;
    freeHandles_.push_back(key);
    return RegResult::Success;
}

std::int32_t MemoryStore::EnumValue(KeyHandle handle, std::uint32_t index, RegValue& value) {
    const MemoryKey* key = KeyOf(handle);
    if (key == nullptr) {
        return RegResult::InvalidHandle;
    }
    if (index >= key->Values.size()) {
        return RegResult::NoMoreItems;
    }
    value = key->Values[index];
    return RegResult::Success;
}

std::int32_t MemoryStore::EnumKey(KeyHandle handle, std::uint32_t index, std::string& name) {
    const MemoryKey* key = KeyOf(handle);
    if (key == nullptr) {
        return RegResult::InvalidHandle;
    }
    if (index >= key->Subkeys.size()) {
        return RegResult::NoMoreItems;
    }
    name = key->Subkeys[index]->Name;
    return RegResult::Success;
}

std::int32_t MemoryStore::QueryValue(KeyHandle handle, std::string_view name,
                                     std::uint32_t& type, std::vector<std::uint8_t>& data) {
    type = 0;
    data.clear();
    const MemoryKey* key = KeyOf(handle);
    if (key == nullptr) {
        return RegResult::InvalidHandle;
    }
    const RegValue* value = key->FindValue(name);
    if (value == nullptr) {
        return RegResult::FileNotFound;
    }
    type = value->Type;
    data = value->Data;
    return RegResult::Success;
}

std::size_t MemoryStore::OpenHandleCount() const {
    return static_cast<std::size_t>(
        std::count_if(handles_.begin(), handles_.end(), [](auto* key) { return key != nullptr; }));
}

} // namespace quillon
