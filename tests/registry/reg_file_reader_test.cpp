#include "formats/reg_file_reader.h"
#include "test_support.h"

namespace quillon {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::string Utf16LeWithBom(std::u16string_view text) {
    return "\xFF\xFE" + test::Utf16Le(text);
}

const RegValue& ValueOf(const MemoryStore& store, std::string_view key, std::string_view name) {
    const MemoryKey* found = store.FindKey(key);
    EXPECT_NE(found, nullptr) << key;
    static const RegValue missing;
    const RegValue* value = found != nullptr ? found->FindValue(name) : nullptr;
    EXPECT_NE(value, nullptr) << name;
    return value != nullptr ? *value : missing;
}

// The message for `body` after a REGEDIT4 header, or "" when it reads.
std::string ErrorFor(std::string_view body) {
    MemoryStore store;
    std::string error;
    return ReadRegText("REGEDIT4\r\n" + std::string(body), "f.reg", store, error) ? "" : error;
}

TEST(RegFileReader, ReadsTheRegedit4Syntax) {
    const MemoryStore store = test::StoreFromReg("; comment\r\n"
                                                 "   \r\n"
                                                 "\r\n"
                                                 "[HKEY_CURRENT_USER\\Software\\Q]\r\n"
                                                 "@=\"default\"\r\n"
                                                 "\"Path\" = \"C:\\\\Mail \\\"x\\\"\"\r\n"
                                                 "\"n\"=dword:0000010A\r\n"
                                                 "\"short\"=DWORD:a\r\n"
                                                 "\"bin\"=hex:0,a,Ff,10\r\n"
                                                 "\"long\"=hex(2):25,00,\\\r\n"
                                                 "    54,00,  \\\r\n"
                                                 "\t25,00\r\n"
                                                 "\"big\"=hex(b):1\r\n"
                                                 "\"n\"=dword:00000002\r\n"
                                                 "[hkey_current_user\\software\\q\\Sub]\n"
                                                 "\"unix\"=\"line end\"\n");
    const std::string key = "HKEY_CURRENT_USER\\Software\\Q";
    EXPECT_EQ(ValueOf(store, key, "").Data, Bytes({'d', 'e', 'f', 'a', 'u', 'l', 't', 0}));
    EXPECT_EQ(ValueOf(store, key, "Path").Data,
              Bytes({'C', ':', '\\', 'M', 'a', 'i', 'l', ' ', '"', 'x', '"', 0}));
    EXPECT_EQ(ValueOf(store, key, "short").Data, Bytes({10, 0, 0, 0}));
    EXPECT_EQ(ValueOf(store, key, "bin").Type, RegType::Binary);
    EXPECT_EQ(ValueOf(store, key, "bin").Data, Bytes({0, 10, 255, 16}));
    EXPECT_EQ(ValueOf(store, key, "long").Data, Bytes({0x25, 0, 0x54, 0, 0x25, 0}));
    EXPECT_EQ(ValueOf(store, key, "big").Type, 11u);
    // A value set twice keeps its first place and takes the last data.
    const MemoryKey* q = store.FindKey(key);
    EXPECT_EQ(q->Values()[2].Name, "n");
    EXPECT_EQ(q->Values()[2].Data, Bytes({2, 0, 0, 0}));
    EXPECT_EQ(q->Subkeys().at(0)->Name, "Sub");
    EXPECT_EQ(ValueOf(store, key + "\\sub", "unix").Type, RegType::String);
}

TEST(RegFileReader, DeletionLinesRemoveKeysAndValues) {
    const MemoryStore store = test::StoreFromReg("[HKEY_CURRENT_USER\\A\\Gone]\r\n\"x\"=\"1\"\r\n"
                                                 "[HKEY_CURRENT_USER\\A]\r\n\"y\"=\"1\"\r\n"
                                                 "\"z\"=\"1\"\r\n\"y\"=-\r\n"
                                                 "[-HKEY_CURRENT_USER\\A\\Gone]\r\n"
                                                 "\"ignored\"=\"1\"\r\n");
    const MemoryKey* a = store.FindKey("HKEY_CURRENT_USER\\A");
    ASSERT_NE(a, nullptr);
    EXPECT_TRUE(a->Subkeys().empty());
    ASSERT_EQ(a->Values().size(), 1u);
    EXPECT_EQ(a->Values()[0].Name, "z");
}

// Removals only mark their entries; lookups, re-additions and the order seen afterwards must be
// those of a key from which they were erased, in small keys (scanned) and large ones (indexed).
TEST(RegFileReader, RemovedEntriesVanishAndComeBackAtTheEnd) {
    for (const int count : {4, 40}) {
        std::string text;
        for (int i = 0; i < count; ++i) {
            text += "[HKEY_CURRENT_USER\\A\\k" + std::to_string(i) + "]\r\n";
            text += "[HKEY_CURRENT_USER\\A]\r\n\"v" + std::to_string(i) + "\"=\"" +
                    std::to_string(i) + "\"\r\n";
        }
        text += "\"v1\"=-\r\n\"v2\"=-\r\n\"V1\"=\"again\"\r\n"
                "[-HKEY_CURRENT_USER\\A\\k1]\r\n[-HKEY_CURRENT_USER\\A\\k2]\r\n"
                "[HKEY_CURRENT_USER\\A\\K1]\r\n";
        const MemoryStore store = test::StoreFromReg(text);
        const MemoryKey* a = store.FindKey("HKEY_CURRENT_USER\\A");
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->FindValue("v2"), nullptr);
        EXPECT_EQ(a->FindSubkey("k2"), nullptr);
        const auto& values = a->Values();
        const auto& subkeys = a->Subkeys();
        ASSERT_EQ(values.size(), static_cast<std::size_t>(count - 1)) << count;
        EXPECT_EQ(values[0].Name + values[1].Name + values.back().Name, "v0v3V1");
        EXPECT_EQ(values[0].Data, Bytes({'0', 0}));
        ASSERT_EQ(subkeys.size(), static_cast<std::size_t>(count - 1)) << count;
        EXPECT_EQ(subkeys[0]->Name + subkeys[1]->Name + subkeys.back()->Name, "k0k3K1");
        EXPECT_EQ(a->FindSubkey("k1"), subkeys.back().get());
        EXPECT_EQ(a->FindValue("v1"), &values.back());
    }
}

TEST(RegFileReader, Version5FilesAreReadAsTheAnsiFunctionsWouldSeeThem) {
    MemoryStore store;
    std::string error;
    const std::string file = Utf16LeWithBom(u"Windows Registry Editor Version 5.00\r\n\r\n"
                                            u"[HKEY_CURRENT_USER\\Caf\u00e9]\r\n"
                                            u"\"R\u00e9pertoire\"=\"\u00e9t\u00e9 \u20ac\"\r\n"
                                            u"\"E\"=hex(2):25,00,e9,00,25,00,00,00\r\n"
                                            u"\"M\"=hex(7):61,00,00,00,00,00\r\n"
                                            u"\"B\"=hex:e9,00\r\n");
    ASSERT_TRUE(ReadRegText(file, "v5.reg", store, error)) << error;
    const std::string key = "HKEY_CURRENT_USER\\Caf\xE9";
    EXPECT_EQ(ValueOf(store, key, "R\xE9pertoire").Data, Bytes({0xE9, 't', 0xE9, ' ', 0x80, 0}));
    EXPECT_EQ(ValueOf(store, key, "E").Data, Bytes({'%', 0xE9, '%', 0}));
    EXPECT_EQ(ValueOf(store, key, "M").Data, Bytes({'a', 0, 0}));
    EXPECT_EQ(ValueOf(store, key, "B").Data, Bytes({0xE9, 0})); // binary stays as stored
}

TEST(RegFileReader, ALineItCannotReadIsReportedWithItsNumber) {
    EXPECT_EQ(ErrorFor("[HKEY_NOWHERE\\A]\r\n"),
              "f.reg, ligne 2 : clé dont la racine est inconnue : « [HKEY_NOWHERE\\A] »");
    EXPECT_EQ(ErrorFor("\"x\"=\"1\"\r\n"),
              "f.reg, ligne 2 : valeur hors de toute clé : « \"x\"=\"1\" »");
    EXPECT_EQ(ErrorFor("[HKEY_CURRENT_USER\\A]\r\n\r\n\"x\"=hex:1,2g\r\n"),
              "f.reg, ligne 4 : octet hexadécimal incorrect : « \"x\"=hex:1,2g »");
    EXPECT_NE(ErrorFor("[HKEY_CURRENT_USER\\A\r\n").find("ligne 2 : nom de clé sans « ] »"),
              std::string::npos);
    for (std::string_view bad :
         {"\"x\"=\"open", "\"x\"=\"a\"b\"", "\"x\"=dword:123456789",
          "\"x\"=dword:", "\"x\"=hex(zz):1", "\"x\"=hex:100", "\"x\"=hex:1,", "\"x\"=hex:1,\\",
          "\"x\" \"1\"", "\"x\"=text", "\"unterminated=\"1\"", "garbage"}) {
        const std::string error = ErrorFor("[HKEY_CURRENT_USER\\A]\r\n" + std::string(bad));
        EXPECT_NE(error.find("f.reg, ligne 3 : "), std::string::npos) << bad << " -> " << error;
    }
    const std::string longLine = ErrorFor(std::string(300, 'x'));
    EXPECT_NE(longLine.find(std::string(60, 'x') + "… »"), std::string::npos);
    EXPECT_LT(longLine.size(), 120u);
}

// The registry's own limit of 512 levels: a deeper key is refused with its line.
TEST(RegFileReader, KeysDeeperThanTheRegistryAllowsAreRefused) {
    std::string path = "HKEY_CURRENT_USER";
    for (int level = 0; level < 512; ++level) {
        path += "\\k";
    }
    EXPECT_EQ(ErrorFor("[" + path + "]\r\n"), "");
    const std::string deep = ErrorFor("[" + path + "\\k]\r\n");
    EXPECT_EQ(deep.rfind("f.reg, ligne 2 : clé de plus de 512 niveaux", 0), 0u)
        << deep.substr(0, 80);
    std::string huge = "[HKEY_CURRENT_USER";
    for (int level = 0; level < 100000; ++level) {
        huge += "\\k";
    }
    EXPECT_NE(ErrorFor(huge + "]\r\n"), "");
}

TEST(RegFileReader, RefusesWhatIsNotARegFile) {
    MemoryStore store;
    std::string error;
    EXPECT_FALSE(ReadRegText("regf\x01\x02", "hive.dat", store, error));
    EXPECT_EQ(error.rfind("hive.dat : ce n'est pas un fichier .reg", 0), 0u);
    EXPECT_FALSE(ReadRegText("", "empty.reg", store, error));
    EXPECT_FALSE(ReadRegFile("/no/such/file.reg", store, error));
    EXPECT_EQ(error, "Impossible de lire « /no/such/file.reg » : "
                     "le fichier ou son dossier n'existe pas");
#ifndef _WIN32
    // Refused from its first bytes, not read whole (this one has no end).
    EXPECT_FALSE(ReadRegFile("/dev/zero", store, error));
    EXPECT_EQ(error.rfind("/dev/zero : ce n'est pas un fichier .reg", 0), 0u) << error;
#endif
    EXPECT_TRUE(LooksLikeRegFile("REGEDIT4\r\n"));
    EXPECT_TRUE(LooksLikeRegFile(Utf16LeWithBom(u"Windows Registry Editor Version 5.00\r\n")));
    EXPECT_FALSE(LooksLikeRegFile("regf"));
}

} // namespace
} // namespace quillon
