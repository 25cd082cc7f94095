#ifdef _WIN32
#include "stores/windows_store.h"

#include <string>

namespace quillon {
namespace {

const HKEY kRoots[RootCount] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER,     HKEY_LOCAL_MACHINE,
                                HKEY_USERS,        HKEY_PERFORMANCE_DATA, HKEY_CURRENT_CONFIG,
                                HKEY_DYN_DATA};

// A buffer the registry found too small, grown: doubled, and by a margin for one that was empty
// (a key's sizes can grow between two calls).
DWORD Grown(DWORD size) {
    constexpr DWORD kMargin = 256;
    return size * 2 + kMargin;
}

struct KeySizes {
    DWORD SubkeyName = 0;
    DWORD ValueName = 0;
    DWORD ValueData = 0;
};

KeySizes QuerySizes(HKEY key) {
    KeySizes sizes;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, &sizes.SubkeyName, nullptr, nullptr,
                     &sizes.ValueName, &sizes.ValueData, nullptr, nullptr);
    return sizes;
}

} // namespace

WindowsStore::~WindowsStore() {
    for (HKEY key : open_) {
        if (key != nullptr) {
            RegCloseKey(key);
        }
    }
}

HKEY WindowsStore::Native(KeyHandle handle) const {
    if (IsRootHandle(handle)) {
        return kRoots[handle - FirstRootHandle];
    }
    if (handle == 0 || handle > open_.size()) {
        return nullptr;
    }
    return open_[handle - 1];
}

std::int32_t WindowsStore::OpenKey(KeyHandle parent, std::string_view path, std::uint32_t access,
                                   KeyHandle& result) {
    result = 0;
    HKEY from = Native(parent);
    if (from == nullptr) {
        return RegResult::InvalidHandle;
    }
    HKEY key = nullptr;
    const std::string pathText(path);
    const LONG status = RegOpenKeyExA(from, pathText.c_str(), 0, access, &key);
    if (status != ERROR_SUCCESS) {
        return status;
    }
    if (free_.empty()) {
        open_.push_back(key);
        result = static_cast<KeyHandle>(open_.size());
    } else {
        result = free_.back();
        free_.pop_back();
        open_[result - 1] = key;
    }
    return RegResult::Success;
}

std::int32_t WindowsStore::CloseKey(KeyHandle handle) {
    if (IsRootHandle(handle)) {
        return RegResult::Success;
    }
    HKEY key = Native(handle);
    if (key == nullptr) {
        return RegResult::InvalidHandle;
    }
    open_[handle - 1] = nullptr;
    free_.push_back(handle);
    return RegCloseKey(key);
}

// Buffers are sized from the key's information and grown when a value changed meanwhile,
// so no name or data is ever cut short.
std::int32_t WindowsStore::EnumValue(KeyHandle handle, std::uint32_t index, RegValue& value) {
    HKEY key = Native(handle);
    if (key == nullptr) {
        return RegResult::InvalidHandle;
    }
    KeySizes sizes = QuerySizes(key);
    std::string name;
    for (;;) {
        name.assign(sizes.ValueName + 1, '\0');
        value.Data.assign(sizes.ValueData + 1, 0);
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD dataLength = static_cast<DWORD>(value.Data.size());
        DWORD type = 0;
        const LONG status = RegEnumValueA(key, index, name.data(), &nameLength, nullptr, &type,
                                          value.Data.data(), &dataLength);
        if (status == ERROR_MORE_DATA) {
            sizes.ValueName = Grown(sizes.ValueName);
            sizes.ValueData = std::max<DWORD>(dataLength, Grown(sizes.ValueData));
            continue;
        }
        if (status != ERROR_SUCCESS) {
            return status;
        }
        name.resize(nameLength);
        value.Name = std::move(name);
        value.Type = type;
        value.Data.resize(dataLength);
        return RegResult::Success;
    }
}

std::int32_t WindowsStore::EnumKey(KeyHandle handle, std::uint32_t index, std::string& name) {
    HKEY key = Native(handle);
    if (key == nullptr) {
        return RegResult::InvalidHandle;
    }
    DWORD capacity = QuerySizes(key).SubkeyName + 1;
    for (;;) {
        name.assign(capacity, '\0');
        DWORD length = capacity;
        const LONG status =
            RegEnumKeyExA(key, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_MORE_DATA) {
            capacity = Grown(capacity);
            continue;
        }
        if (status != ERROR_SUCCESS) {
            return status;
        }
        name.resize(length);
        return RegResult::Success;
    }
}

std::int32_t WindowsStore::QueryValue(KeyHandle handle, std::string_view name, std::uint32_t& type,
                                      std::vector<std::uint8_t>& data) {
    type = 0;
    data.clear();
    HKEY key = Native(handle);
    if (key == nullptr) {
        return RegResult::InvalidHandle;
    }
    const std::string nameText(name);
    DWORD size = 0;
    DWORD storedType = 0;
    LONG status = RegQueryValueExA(key, nameText.c_str(), nullptr, &storedType, nullptr, &size);
    while (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
        data.assign(size, 0);
        status = RegQueryValueExA(key, nameText.c_str(), nullptr, &storedType, data.data(), &size);
        if (status == ERROR_SUCCESS) {
            data.resize(size);
            type = storedType;
            return RegResult::Success;
        }
    }
    return status;
}

} // namespace quillon
#endif
