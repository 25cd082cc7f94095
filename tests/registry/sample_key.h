// One key that every store must answer for alike, as RegEnumValueA and RegQueryValueExA answer:
// each test writes it through its store's own means, then checks it with ExpectSampleKeyAnswers.
#pragma once

#include "registry/reg_access.h"
#include "test_support.h"

#include <algorithm>

namespace quillon::test {

struct SampleValue {
    std::string Name;
    std::uint32_t Type;
    std::vector<std::uint8_t> Data;
};

// A long name with long data, followed by more values: none may be cut short or dropped.
inline const std::vector<SampleValue>& SampleValues() {
    static const std::vector<SampleValue> values = {
        {"First", RegType::String, {'a', 'b', 'c', 0}},
        {"", RegType::String, {0xE9, 0}},
        {"Zero", RegType::String, {0}},
        {"Empty", RegType::String, {}},
        {"List", RegType::MultiString, {'a', 0, 'b', 0, 0}},
        {"Short", RegType::MultiString, {0}},
        {"Expand", RegType::ExpandString, {'%', 'T', '%', 0}},
        {std::string(300, 'n'), RegType::Binary, std::vector<std::uint8_t>(70000, 7)},
        {"Number", RegType::Dword, {0x0A, 1, 0, 0}},
        {"After", RegType::Binary, std::vector<std::uint8_t>(600, 0xAB)},
    };
    return values;
}

// `path`, below HKEY_CURRENT_USER, holds SampleValues() and one subkey, "Sub". Its path is read
// as RegOpenKeyExA reads it (checked against Wine's registry): with a leading backslash it is
// refused with ERROR_BAD_PATHNAME; empty parts and a trailing backslash are passed over.
inline void ExpectSampleKeyAnswers(Reg_access& registry, const std::string& path) {
    std::int32_t error = -1;
    EXPECT_EQ(registry.OpenKey("HKEY_CURRENT_USER", "\\" + path, KeyRead, error), 0u);
    EXPECT_EQ(error, RegResult::BadPathname);
    for (const std::string& lax : {path + "\\", std::string(path).insert(path.find('\\'), "\\")}) {
        const KeyHandle key = registry.OpenKey("HKEY_CURRENT_USER", lax, KeyRead, error);
        EXPECT_NE(key, 0u) << lax;
        registry.CloseKey(key);
    }
    const KeyHandle key = registry.OpenKey("HKEY_CURRENT_USER", path, KeyRead, error);
    ASSERT_NE(key, 0u) << error;
    std::vector<RegValue> values;
    EXPECT_EQ(registry.EnumValues(key, values), static_cast<std::int32_t>(SampleValues().size()));
    for (const SampleValue& want : SampleValues()) {
        const auto found = std::find_if(values.begin(), values.end(),
                                        [&](const RegValue& v) { return v.Name == want.Name; });
        ASSERT_NE(found, values.end()) << want.Name.substr(0, 20);
        EXPECT_EQ(found->Type, want.Type) << want.Name.substr(0, 20);
        EXPECT_EQ(found->Data, want.Data) << want.Name.substr(0, 20);
    }

    std::uint32_t type = 99;
    const auto text = [&](std::string_view name) {
        return std::get<std::string>(registry.QueryValue(key, name, type));
    };
    EXPECT_EQ(text("First"), "abc");
    EXPECT_EQ(type, RegType::String);
    EXPECT_EQ(text(""), "\xE9");
    EXPECT_EQ(text("Zero") + text("Empty") + text("Short"), "");
    EXPECT_EQ(text("List"), "a\r\nb");
    EXPECT_EQ(text("Expand"), std::string("%T%\0", 4)); // keeps its terminator, unexpanded
    EXPECT_EQ(type, RegType::ExpandString);
    EXPECT_EQ(std::get<std::uint32_t>(registry.QueryValue(key, "Number", type)), 266u);
    EXPECT_EQ(type, RegType::Dword);
    EXPECT_EQ(text("Missing"), "");
    EXPECT_EQ(type, 0u);

    EXPECT_EQ(registry.EnumSubKey(key, 0), "Sub");
    EXPECT_EQ(registry.EnumSubKey(key, 1), std::nullopt);
    const KeyHandle sub = registry.OpenKey(key, "SUB", KeyRead, error); // without regard to case
    EXPECT_NE(sub, 0u);
    registry.CloseKey(sub);
    EXPECT_EQ(registry.OpenKey(key, "Missing", KeyRead, error), 0u);
    EXPECT_EQ(error, RegResult::FileNotFound);
    EXPECT_EQ(registry.CloseKey(key), 0);
}

} // namespace quillon::test
