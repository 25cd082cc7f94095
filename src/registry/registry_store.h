// The store interface behind Reg_access: a read-only registry shaped like advapi32's "A" API.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

// A 32-bit key handle; 0 means no key.
using KeyHandle = std::uint32_t;

// Result codes, with the values Windows gives them.
namespace RegResult {
inline constexpr std::int32_t Success = 0;
inline constexpr std::int32_t FileNotFound = 2;
inline constexpr std::int32_t AccessDenied = 5;
inline constexpr std::int32_t InvalidHandle = 6;
inline constexpr std::int32_t BadPathname = 161;
inline constexpr std::int32_t NoMoreItems = 259;
} // namespace RegResult

// Windows refuses keys nested deeper than this; every reader of untrusted input applies it.
inline constexpr int MaxKeyDepth = 512;

// The number of levels of a key path ("a\\b\\c": 3), empty parts passed over.
inline int KeyDepth(std::string_view path) {
    int depth = 0;
    bool inPart = false;
    for (const char c : path) {
        if (c == '\\') {
            inPart = false;
        } else if (!inPart) {
            inPart = true;
            ++depth;
        }
    }
    return depth;
}

namespace RegType {
inline constexpr std::uint32_t None = 0;
inline constexpr std::uint32_t String = 1;
inline constexpr std::uint32_t ExpandString = 2;
inline constexpr std::uint32_t Binary = 3;
inline constexpr std::uint32_t Dword = 4;
inline constexpr std::uint32_t MultiString = 7;

// The types whose data the "A" functions convert between UTF-16 and ANSI.
inline bool IsStringType(std::uint32_t type) {
    return type == String || type == ExpandString || type == MultiString;
}
} // namespace RegType

// Access masks. Quillon only reads, so it asks for KEY_READ; the write bits exist so that
// stores can refuse a key that may be read but not written when they are asked for.
inline constexpr std::uint32_t KeyRead = 0x20019;
inline constexpr std::uint32_t KeyWriteBits = 0x0002 | 0x0004 | 0x0020;

// The seven predefined root keys and their handle values.
inline constexpr KeyHandle FirstRootHandle = 0x80000000u;
inline constexpr int RootCount = 7;
inline constexpr const char* RootNames[RootCount] = {
    "HKEY_CLASSES_ROOT",     "HKEY_CURRENT_USER",   "HKEY_LOCAL_MACHINE", "HKEY_USERS",
    "HKEY_PERFORMANCE_DATA", "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA"};

inline bool IsRootHandle(KeyHandle handle) {
    return handle >= FirstRootHandle && handle < FirstRootHandle + RootCount;
}

// One value of a key: its name (empty for the default value), type code and stored bytes.
struct RegValue {
    std::string Name;
    std::uint32_t Type = 0;
    std::vector<std::uint8_t> Data;

    bool operator==(const RegValue&) const = default;
};

// Names and string data are single-byte ANSI text. Every call returns a RegResult code.
class RegistryStore {
  public:
    virtual ~RegistryStore() = default;

    // Opens `path` ("a\b\c", possibly empty) below `parent`, a root handle or an open key.
    virtual std::int32_t OpenKey(KeyHandle parent, std::string_view path, std::uint32_t access,
                                 KeyHandle& result) = 0;
    virtual std::int32_t CloseKey(KeyHandle key) = 0;
    // The value at `index` in the store's order, whole: no name or data is ever cut short.
    virtual std::int32_t EnumValue(KeyHandle key, std::uint32_t index, RegValue& value) = 0;
    virtual std::int32_t EnumKey(KeyHandle key, std::uint32_t index, std::string& name) = 0;
    virtual std::int32_t QueryValue(KeyHandle key, std::string_view name, std::uint32_t& type,
                                    std::vector<std::uint8_t>& data) = 0;
};

} // namespace quillon
