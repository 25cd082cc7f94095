#include "registry/reg_access.h"

#include <cstring>

namespace quillon {

KeyHandle Reg_access::RootKeyHandle(std::string_view root) {
    for (int i = 0; i < RootCount; ++i) {
        if (root == RootNames[i]) {
            return FirstRootHandle + static_cast<KeyHandle>(i);
        }
    }
    return 0;
}

KeyHandle Reg_access::OpenKey(std::string_view root, std::string_view keyPath, std::uint32_t access,
                              std::int32_t& errorCode) {
    return OpenKey(RootKeyHandle(root), keyPath, access, errorCode);
}

KeyHandle Reg_access::OpenKey(KeyHandle root, std::string_view keyPath, std::uint32_t access,
                              std::int32_t& errorCode) {
    if (root == 0) {
        return 0;
    }
    KeyHandle key = 0;
    errorCode = store_.OpenKey(root, keyPath, access, key);
    return errorCode == RegResult::Success ? key : 0;
}

std::int32_t Reg_access::CloseKey(KeyHandle handle) {
    return store_.CloseKey(handle);
}

std::int32_t Reg_access::EnumValues(KeyHandle handle, std::vector<RegValue>& values) {
    std::int32_t count = 0;
    RegValue value;
    while (store_.EnumValue(handle, static_cast<std::uint32_t>(count), value) ==
           RegResult::Success) {
        values.push_back(std::move(value));
        ++count;
    }
    return count;
}

std::optional<std::string> Reg_access::EnumSubKey(KeyHandle handle, std::uint32_t index) {
    std::string name;
    if (store_.EnumKey(handle, index, name) != RegResult::Success) {
        return std::nullopt;
    }
    return name;
}

RegData Reg_access::QueryValue(KeyHandle handle, std::string_view valueName,
                               std::uint32_t& valueType) {
    std::vector<std::uint8_t> data;
    if (store_.QueryValue(handle, valueName, valueType, data) != RegResult::Success) {
        valueType = 0;
        return std::string();
    }
    if (valueType == RegType::Dword) {
        std::uint32_t number = 0;
        if (!data.empty()) {
            std::memcpy(&number, data.data(), std::min<std::size_t>(data.size(), 4));
        }
        return number; // little-endian, as the registry stores it
    }
    std::string text(data.begin(), data.end());
    if (valueType == RegType::String) {
        if (!text.empty()) {
            text.pop_back();
        }
    } else if (valueType == RegType::MultiString) {
        if (text.size() < 2) {
            return std::string();
        }
        text.resize(text.size() - 2);
        std::string lines;
        for (char c : text) {
            if (c == '\0') {
                lines += "\r\n";
            } else {
                lines += c;
            }
        }
        return lines;
    }
    return text;
}

std::string AsText(const RegData& data) {
    if (const auto* text = std::get_if<std::string>(&data)) {
        return *text;
    }
    return std::to_string(std::get<std::uint32_t>(data));
}

} // namespace quillon
