#include "formats/wine_registry_reader.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

using Bytes = std::vector<std::uint8_t>;

const char* const kUserReg = "WINE REGISTRY Version 2\n"
                             ";; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n"
                             "\n"
                             "#arch=win64\n"
                             "\n"
                             "[Software\\\\Caf\\xe9\\\\Quote\\]d] 1796572202\n"
                             "#time=1dd859974e3a41e\n"
                             "@=\"d\"\n"
                             "\"A\"=\"x\\\\y \\\"q\\\" \\x20ac \xc3\xa9\"\n"
                             "\"B\"=hex:00,0a,ff\n"
                             "\"E\"=str(2):\"%T%\"\n"
                             "\"M\"=str(7):\"a\\0b\\0\"\n"
                             "\"N\"=dword:0000010a\n"
                             "\"S\"=hex(1):41,00,e9,00,00,00\n"
                             "\"Long\"=hex:01,02,\\\n"
                             "  03,04\n"
                             "\"Tab\\tCR\\r\"=\"\\101\"\n"
                             "\n"
                             "[Software\\\\Caf\\xe9\\\\Other] 1796572202\n";

TEST(WineRegistryReader, ReadsKeysRelativeToTheirMountAsTheAnsiFunctionsWould) {
    MemoryStore store;
    MemoryKey& mount = *store.CreateKey("HKEY_CURRENT_USER");
    std::string error;
    ASSERT_TRUE(ReadWineRegistryText(kUserReg, "user.reg", mount, error)) << error;

    const MemoryKey* key = store.FindKey("HKEY_CURRENT_USER\\Software\\Caf\xE9\\Quote]d");
    ASSERT_NE(key, nullptr);
    const auto data = [&](std::string_view name) { return key->FindValue(name)->Data; };
    EXPECT_EQ(data(""), Bytes({'d', 0}));
    EXPECT_EQ(data("A"), Bytes({'x', '\\', 'y', ' ', '"', 'q', '"', ' ', 0x80, ' ', 0xE9, 0}));
    EXPECT_EQ(data("B"), Bytes({0, 10, 255}));
    EXPECT_EQ(key->FindValue("E")->Type, RegType::ExpandString);
    EXPECT_EQ(data("E"), Bytes({'%', 'T', '%', 0}));
    EXPECT_EQ(data("M"), Bytes({'a', 0, 'b', 0, 0}));
    EXPECT_EQ(data("N"), Bytes({0x0A, 1, 0, 0}));
    EXPECT_EQ(data("S"), Bytes({'A', 0xE9, 0})); // UTF-16 in the file, ANSI when read
    EXPECT_EQ(data("Long"), Bytes({1, 2, 3, 4}));
    EXPECT_EQ(data("Tab\tCR\r"), Bytes({'A', 0}));
    EXPECT_EQ(key->Values().front().Name, ""); // the file's order
    EXPECT_NE(store.FindKey("HKEY_CURRENT_USER\\Software\\Caf\xE9\\Other"), nullptr);

    EXPECT_EQ(WineRegistryUser(kUserReg), "S-1-5-21-0-0-0-1000");
    EXPECT_EQ(WineRegistryUser("WINE REGISTRY Version 2\n;; All keys relative to "
                               "REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1001\n"),
              "S-1-5-21-0-0-0-1001"); // as newer Wine versions write it
    EXPECT_EQ(WineRegistryUser("WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n"),
              "");
}

TEST(WineRegistryReader, RefusesBrokenLinesAndOtherFiles) {
    MemoryStore store;
    MemoryKey& mount = store.Root(2);
    std::string error;
    EXPECT_FALSE(ReadWineRegistryText("WINE REGISTRY Version 2\n[A] 1\n\"x\"=str(2:\"a\"\n",
                                      "system.reg", mount, error));
    EXPECT_EQ(error, "system.reg, ligne 3 : type str(n) incorrect : « \"x\"=str(2:\"a\" »");
    EXPECT_FALSE(
        ReadWineRegistryText("WINE REGISTRY Version 2\n\"x\"=\"1\"\n", "s.reg", mount, error));
    EXPECT_EQ(error, "s.reg, ligne 2 : valeur hors de toute clé : « \"x\"=\"1\" »");
    for (std::string_view bad : {"[Open", "\"x\"=\"open", "\"x\"=hex:1,zz", "\"x\"=dword:xyz",
                                 "\"x\" \"1\"", "\"x\"=wat"}) {
        EXPECT_FALSE(ReadWineRegistryText("WINE REGISTRY Version 2\n[K] 1\n" + std::string(bad),
                                          "f", mount, error))
            << bad;
        EXPECT_EQ(error.rfind("f, ligne 3 : ", 0), 0u) << error;
    }
    std::string deep = "WINE REGISTRY Version 2\n[k";
    for (int level = 0; level < 100000; ++level) {
        deep += "\\\\k";
    }
    EXPECT_FALSE(ReadWineRegistryText(deep + "] 1\n", "deep.reg", mount, error));
    EXPECT_EQ(error.rfind("deep.reg, ligne 2 : clé de plus de 512 niveaux", 0), 0u);
    EXPECT_FALSE(ReadWineRegistryText("REGEDIT4\n", "x.reg", mount, error));
    EXPECT_FALSE(LooksLikeWineRegistry("REGEDIT4"));
    EXPECT_TRUE(LooksLikeWineRegistry("WINE REGISTRY Version 2\n"));
}

} // namespace
} // namespace quillon
