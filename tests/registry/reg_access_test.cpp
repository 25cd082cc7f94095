#include "registry/reg_access.h"
#include "sample_key.h"

namespace quillon {
namespace {

class RegAccessTest : public ::testing::Test {
  protected:
    void SetUp() override {
        MemoryKey* key = store.CreateKey("HKEY_CURRENT_USER\\Software\\Q");
        for (const test::SampleValue& value : test::SampleValues()) {
            key->SetValue(value.Name, value.Type, value.Data);
        }
        key->AddSubkey("Sub");
    }
    KeyHandle Open(std::string_view path, std::uint32_t access = KeyRead) {
        std::int32_t error = -1;
        return registry.OpenKey("HKEY_CURRENT_USER", path, access, error);
    }

    MemoryStore store;
    Reg_access registry{store};
};

TEST_F(RegAccessTest, TheSampleKeyIsReadAsWindowsReadsIt) {
    test::ExpectSampleKeyAnswers(registry, "Software\\Q");
    test::ExpectSampleKeyAnswers(registry, "software\\q"); // without regard to case
    EXPECT_EQ(store.OpenHandleCount(), 0u);
}

TEST_F(RegAccessTest, RootNamesAreExactAndHandlesPassThrough) {
    EXPECT_EQ(Reg_access::RootKeyHandle("HKEY_LOCAL_MACHINE"), 0x80000002u);
    EXPECT_EQ(Reg_access::RootKeyHandle("HKEY_DYN_DATA"), 0x80000006u);
    EXPECT_EQ(Reg_access::RootKeyHandle("hkey_current_user"), 0u);
    EXPECT_EQ(Reg_access::RootKeyHandle("HKCU"), 0u);

    std::int32_t error = 77; // an unknown root does not reach the store: the code stays
    EXPECT_EQ(registry.OpenKey("hkey_current_user", "Software\\Q", KeyRead, error), 0u);
    EXPECT_EQ(error, 77);
    std::vector<RegValue> none;
    EXPECT_EQ(registry.EnumValues(0, none), 0);
    EXPECT_TRUE(none.empty());
    EXPECT_EQ(registry.EnumSubKey(0, 0), std::nullopt);
}

// A handle the store never gave, or gave and took back, opens and reads nothing: the next one,
// one far past the table, and a closed one.
TEST_F(RegAccessTest, UnknownAndClosedHandlesAreRefused) {
    const KeyHandle open = Open("Software\\Q");
    ASSERT_NE(open, 0u);
    const KeyHandle closed = Open("Software\\Q\\Sub");
    ASSERT_EQ(store.CloseKey(closed), RegResult::Success);
    for (const KeyHandle unknown : {open + 2, KeyHandle{0x7FFFFFFF}, closed}) {
        KeyHandle result = 1;
        EXPECT_EQ(store.OpenKey(unknown, "Sub", KeyRead, result), RegResult::InvalidHandle);
        EXPECT_EQ(result, 0u);
        RegValue value;
        EXPECT_EQ(store.EnumValue(unknown, 0, value), RegResult::InvalidHandle) << unknown;
        std::string name;
        EXPECT_EQ(store.EnumKey(unknown, 0, name), RegResult::InvalidHandle) << unknown;
        std::uint32_t type = 0;
        std::vector<std::uint8_t> data;
        EXPECT_EQ(store.QueryValue(unknown, "", type, data), RegResult::InvalidHandle) << unknown;
        EXPECT_EQ(store.CloseKey(unknown), RegResult::InvalidHandle) << unknown;
    }
    EXPECT_EQ(store.CloseKey(open), RegResult::Success);
}

TEST_F(RegAccessTest, ReadOnlyKeysOpenForReadingButNotForWriting) {
    store.FindKey("HKEY_CURRENT_USER\\Software\\Q")->Access = KeyAccess::ReadOnly;
    EXPECT_NE(Open("Software\\Q", KeyRead), 0u);
    EXPECT_EQ(Open("Software\\Q", 0x3F), 0u);
    store.FindKey("HKEY_CURRENT_USER\\Software\\Q\\Sub")->Access = KeyAccess::Denied;
    EXPECT_EQ(Open("Software\\Q\\Sub", KeyRead), 0u);
}

} // namespace
} // namespace quillon
