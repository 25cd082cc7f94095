// The live registry (Wine's, when the Windows build is tested on Linux), through the same
// operations as every other store.
#include "../registry/sample_key.h"
#include "export/export_to_file.h"
#include "registry/reg_access.h"
#include "stores/windows_store.h"

#include <algorithm>
#include <shlwapi.h>
#include <windows.h>

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

    WindowsStore store;
    Reg_access registry{store};
};

TEST_F(WindowsStoreTest, TheSampleKeyIsReadAsEveryStoreReadsIt) {
    HKEY key = Create("Values");
    for (const test::SampleValue& value : test::SampleValues()) {
        EXPECT_EQ(RegSetValueExA(key, value.Name.c_str(), 0, value.Type, value.Data.data(),
                                 static_cast<DWORD>(value.Data.size())),
                  ERROR_SUCCESS);
    }
    RegCloseKey(key);
    RegCloseKey(Create("Values\\Sub"));
    test::ExpectSampleKeyAnswers(registry, std::string(kTestRoot) + "\\Values");
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
    ASSERT_EQ(ExportKeyToFile(fromFixture, KeyPath(name), file, false).Status,
              ExportStatus::Exported);
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
