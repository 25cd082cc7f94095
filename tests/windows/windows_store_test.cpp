// The live registry (Wine's, when the Windows build is tested on Linux), through the same
// operations as every other store.
#include "registry/reg_access.h"
#include "registry/windows_store.h"
#include "test_support.h"

#include <windows.h>
#include <shlwapi.h>

#include <algorithm>
#include <map>

namespace quillon {
namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr const char* kTestRoot = "Software\\QuillonTests";

class WindowsStoreTest : public ::testing::Test {
  protected:
    void SetUp() override { SHDeleteKeyA(HKEY_CURRENT_USER, kTestRoot); }
    void TearDown() override { SHDeleteKeyA(HKEY_CURRENT_USER, kTestRoot); }

    static HKEY Create(const std::string& path) {
        HKEY key = nullptr;
        const std::string full = std::string(kTestRoot) + "\\" + path;
        EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, full.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        return key;
    }
    static void Set(HKEY key, const std::string& name, DWORD type, const Bytes& data) {
        EXPECT_EQ(RegSetValueExA(key, name.c_str(), 0, type, data.data(),
                                 static_cast<DWORD>(data.size())),
                  ERROR_SUCCESS);
    }

    WindowsStore store;
    Reg_access registry{store};
};

TEST_F(WindowsStoreTest, ReadsKeysValuesAndTypesWithoutCuttingAnythingShort) {
    HKEY key = Create("Values");
    Set(key, "a", REG_SZ, {'a', 'b', 'c', 0});
    Set(key, "b", REG_BINARY, Bytes(600, 0xAB));
    Set(key, std::string(300, 'n'), REG_BINARY, Bytes(70000, 1));
    Set(key, "c", REG_MULTI_SZ, {'a', 0, 'b', 0, 0});
    Set(key, "d", REG_DWORD, {0x0A, 1, 0, 0});
    Set(key, "e", REG_EXPAND_SZ, {'%', 'T', '%', 0});
    Set(key, "", REG_SZ, {0xE9, 0});
    RegCloseKey(key);
    RegCloseKey(Create("Values\\Sub"));

    test::ExpectPathsReadAsWindowsDoes(registry, std::string(kTestRoot) + "\\Values");
    std::int32_t error = -1;
    const KeyHandle handle =
        registry.OpenKey("HKEY_CURRENT_USER", std::string(kTestRoot) + "\\Values", KeyRead, error);
    ASSERT_NE(handle, 0u);
    std::vector<RegValue> values;
    EXPECT_EQ(registry.EnumValues(handle, values), 7);
    std::map<std::string, RegValue> byName;
    for (auto& value : values) {
        byName[value.Name] = value;
    }
    EXPECT_EQ(byName["b"].Data, Bytes(600, 0xAB));
    EXPECT_EQ(byName[std::string(300, 'n')].Data.size(), 70000u);
    EXPECT_EQ(byName[""].Data, Bytes({0xE9, 0}));

    std::uint32_t type = 0;
    EXPECT_EQ(std::get<std::string>(registry.QueryValue(handle, "a", type)), "abc");
    EXPECT_EQ(std::get<std::string>(registry.QueryValue(handle, "c", type)), "a\r\nb");
    EXPECT_EQ(std::get<std::string>(registry.QueryValue(handle, "e", type)),
              std::string("%T%\0", 4));
    EXPECT_EQ(std::get<std::uint32_t>(registry.QueryValue(handle, "d", type)), 266u);
    EXPECT_EQ(std::get<std::string>(registry.QueryValue(handle, "missing", type)), "");
    EXPECT_EQ(type, 0u);
    EXPECT_EQ(registry.EnumSubKey(handle, 0), "Sub");
    EXPECT_EQ(registry.EnumSubKey(handle, 1), std::nullopt);
    EXPECT_EQ(registry.OpenKey(handle, "Missing", KeyRead, error), 0u);
    EXPECT_EQ(error, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(registry.CloseKey(handle), 0);
}

// What Wine's regedit stores: a string type that lacks its terminating zero gets one.
Bytes AsImported(const RegValue& value) {
    Bytes data = value.Data;
    const bool stringType = value.Type == RegType::String || value.Type == RegType::ExpandString ||
                            value.Type == RegType::MultiString;
    if (stringType && !data.empty() && data.back() != 0) {
        data.push_back(0);
    }
    return data;
}

void ExpectSameKey(Reg_access& live, KeyHandle handle, const MemoryKey& expected,
                   const std::string& where) {
    std::vector<RegValue> values;
    live.EnumValues(handle, values);
    ASSERT_EQ(values.size(), expected.Values().size()) << where;
    for (const RegValue& want : expected.Values()) {
        const auto found = std::find_if(values.begin(), values.end(),
                                        [&](const RegValue& v) { return v.Name == want.Name; });
        ASSERT_NE(found, values.end()) << where << " : " << want.Name;
        EXPECT_EQ(found->Type, want.Type) << want.Name;
        EXPECT_EQ(found->Data, AsImported(want)) << want.Name;
    }
    std::size_t subkeys = 0;
    while (auto name = live.EnumSubKey(handle, static_cast<std::uint32_t>(subkeys))) {
        const MemoryKey* child = expected.FindSubkey(*name);
        ASSERT_NE(child, nullptr) << where << "\\" << *name;
        std::int32_t error = 0;
        const KeyHandle childHandle = live.OpenKey(handle, *name, KeyRead, error);
        ExpectSameKey(live, childHandle, *child, where + "\\" + *name);
        live.CloseKey(childHandle);
        ++subkeys;
    }
    EXPECT_EQ(subkeys, expected.Subkeys().size()) << where;
}

bool ImportWithRegedit(const std::string& file) {
    std::string command = "regedit.exe /s \"" + file + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return false;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return code == 0;
}

TEST_F(WindowsStoreTest, EveryValueSurvivesExportAndImportByRegedit) {
    const std::string name = std::string("HKEY_CURRENT_USER\\") + kTestRoot + "\\Round trip";
    MemoryStore fixture = test::RichFixture(name);
    test::ScratchFolder folder;
    const std::string file = folder.File("round-trip.reg");
    Reg_access fromFixture(fixture);
    ASSERT_EQ(fromFixture.ExportKey(name, file, 0).Status, ExportStatus::Exported);
    ASSERT_TRUE(ImportWithRegedit(file));

    std::int32_t error = 0;
    const KeyHandle handle = registry.OpenKey(
        "HKEY_CURRENT_USER", std::string(kTestRoot) + "\\Round trip", KeyRead, error);
    ASSERT_NE(handle, 0u) << error;
    ExpectSameKey(registry, handle, *fixture.FindKey(name), name);
    registry.CloseKey(handle);
}

} // namespace
} // namespace quillon
