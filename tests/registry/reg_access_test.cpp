#include "registry/reg_access.h"
#include "test_support.h"

namespace quillon {
namespace {

using test::StoreFromReg;

class RegAccessTest : public ::testing::Test {
  protected:
    MemoryStore store = StoreFromReg("[HKEY_CURRENT_USER\\Software\\Q]\r\n"
                                     "\"First\"=\"abc\"\r\n"
                                     "@=\"default\"\r\n"
                                     "\"Zero\"=hex(1):00\r\n"
                                     "\"Empty\"=hex(1):\r\n"
                                     "\"List\"=hex(7):61,00,62,00,00\r\n"
                                     "\"Short\"=hex(7):00\r\n"
                                     "\"Expand\"=hex(2):25,54,25,00\r\n"
                                     "\"Number\"=dword:0000010a\r\n"
                                     "[HKEY_CURRENT_USER\\Software\\Q\\Alpha]\r\n"
                                     "[HKEY_CURRENT_USER\\Software\\Q\\Beta]\r\n");
    Reg_access registry{store};

    KeyHandle Open(std::string_view path, std::uint32_t access = KeyRead) {
        std::int32_t error = -1;
        return registry.OpenKey("HKEY_CURRENT_USER", path, access, error);
    }
};

TEST_F(RegAccessTest, RootNamesAreExactAndHandlesPassThrough) {
    EXPECT_EQ(Reg_access::RootKeyHandle("HKEY_LOCAL_MACHINE"), 0x80000002u);
    EXPECT_EQ(Reg_access::RootKeyHandle("HKEY_DYN_DATA"), 0x80000006u);
    EXPECT_EQ(Reg_access::RootKeyHandle("hkey_current_user"), 0u);
    EXPECT_EQ(Reg_access::RootKeyHandle("HKCU"), 0u);
    EXPECT_EQ(Reg_access::RootKeyHandle(KeyHandle{1234}), 1234u);

    std::int32_t error = 77; // an unknown root does not reach the store: the code stays
    EXPECT_EQ(registry.OpenKey("hkey_current_user", "Software\\Q", KeyRead, error), 0u);
    EXPECT_EQ(error, 77);
}

TEST_F(RegAccessTest, OpensKeysWithoutRegardToCaseAndBelowOpenKeys) {
    std::int32_t error = -1;
    const KeyHandle key = registry.OpenKey("HKEY_CURRENT_USER", "software\\q", KeyRead, error);
    ASSERT_NE(key, 0u);
    EXPECT_EQ(error, 0);
    const KeyHandle child = registry.OpenKey(key, "ALPHA", KeyRead, error);
    EXPECT_NE(child, 0u);
    EXPECT_EQ(registry.OpenKey(key, "Gamma", KeyRead, error), 0u);
    EXPECT_NE(error, 0);
    registry.CloseKey(child);
    registry.CloseKey(key);
    test::ExpectPathsReadAsWindowsDoes(registry, "Software\\Q");
    EXPECT_EQ(store.OpenHandleCount(), 0u);
}

TEST_F(RegAccessTest, ReadOnlyKeysOpenForReadingButNotForWriting) {
    store.FindKey("HKEY_CURRENT_USER\\Software\\Q")->Access = KeyAccess::ReadOnly;
    EXPECT_NE(Open("Software\\Q", KeyRead), 0u);
    EXPECT_EQ(Open("Software\\Q", 0x3F), 0u);
    store.FindKey("HKEY_CURRENT_USER\\Software\\Q\\Beta")->Access = KeyAccess::Denied;
    EXPECT_EQ(Open("Software\\Q\\Beta", KeyRead), 0u);
}

TEST_F(RegAccessTest, ListsEveryValueInStoreOrderWithTheDefaultUnnamed) {
    std::vector<RegValue> values;
    EXPECT_EQ(registry.EnumValues(Open("Software\\Q"), values), 8);
    ASSERT_EQ(values.size(), 8u);
    EXPECT_EQ(values[0].Name, "First");
    EXPECT_EQ(values[1].Name, "");
    EXPECT_EQ(values[1].Type, RegType::String);
    EXPECT_EQ(values[7].Name, "Number");

    std::vector<RegValue> none;
    EXPECT_EQ(registry.EnumValues(0, none), 0);
    EXPECT_TRUE(none.empty());
}

TEST_F(RegAccessTest, LongNamesAndDataAreListedWholeWithTheValuesAfterThem) {
    MemoryKey* key = store.CreateKey("HKEY_CURRENT_USER\\Long");
    key->SetValue("a", RegType::Binary, {1});
    key->SetValue("b", RegType::Binary, {2});
    key->SetValue(std::string(300, 'n'), RegType::Binary, std::vector<std::uint8_t>(600, 7));
    key->SetValue("after", RegType::Binary, std::vector<std::uint8_t>(70000, 9));
    std::vector<RegValue> values;
    EXPECT_EQ(registry.EnumValues(Open("Long"), values), 4);
    EXPECT_EQ(values[2].Name.size(), 300u);
    EXPECT_EQ(values[2].Data.size(), 600u);
    EXPECT_EQ(values[3].Data.size(), 70000u);
}

TEST_F(RegAccessTest, ListsSubkeysInStoreOrderThenEnds) {
    const KeyHandle key = Open("Software\\Q");
    EXPECT_EQ(registry.EnumSubKey(key, 0), "Alpha");
    EXPECT_EQ(registry.EnumSubKey(key, 1), "Beta");
    EXPECT_EQ(registry.EnumSubKey(key, 2), std::nullopt);
    EXPECT_EQ(registry.EnumSubKey(0, 0), std::nullopt);
}

TEST_F(RegAccessTest, QueryValueConvertsEachTypeAsTheProgramReadsIt) {
    const KeyHandle key = Open("Software\\Q");
    std::uint32_t type = 99;
    const auto text = [&](std::string_view name) {
        return std::get<std::string>(registry.QueryValue(key, name, type));
    };
    EXPECT_EQ(text("First"), "abc");
    EXPECT_EQ(type, RegType::String);
    EXPECT_EQ(text(""), "default");
    EXPECT_EQ(text("Zero"), "");
    EXPECT_EQ(text("Empty"), "");
    EXPECT_EQ(text("List"), "a\r\nb");
    EXPECT_EQ(text("Short"), "");
    EXPECT_EQ(text("Expand"), std::string("%T%\0", 4)); // keeps its terminator, unexpanded
    EXPECT_EQ(type, RegType::ExpandString);

    EXPECT_EQ(std::get<std::uint32_t>(registry.QueryValue(key, "Number", type)), 266u);
    EXPECT_EQ(type, RegType::Dword);

    EXPECT_EQ(text("Missing"), "");
    EXPECT_EQ(type, 0u);
}

} // namespace
} // namespace quillon
