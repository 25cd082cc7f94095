// Reading and rewriting the lines of a backup file, line by line.
#include "adapt/backup_adaptation.h"
#include "test_support.h"

namespace quillon {
namespace {

HeldLines Held(std::initializer_list<std::string_view> lines) {
    HeldLines held;
    held.Assign(test::CrLf(lines));
    return held;
}

BackupFindings Scan(std::initializer_list<std::string_view> lines) {
    const HeldLines held = Held(lines);
    BackupFindings found;
    for (std::size_t n = 0; n < held.Size(); ++n) {
        ScanLine(held, n, found);
    }
    return found;
}

std::vector<std::string> All(const HeldLines& held) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < held.Size(); ++i) {
        lines.emplace_back(held[i]);
    }
    return lines;
}

TEST(Separators, PairsBecomeOne) {
    EXPECT_EQ(SimplifierSeparateur("C:\\\\Mail\\\\OE", '\\'), "C:\\Mail\\OE");
    EXPECT_EQ(SimplifierSeparateur("a\\\\\\b", '\\'), "a\\\\b");   // three give two
    EXPECT_EQ(SimplifierSeparateur("a\\\\\\\\b", '\\'), "a\\\\b"); // four give two
    EXPECT_EQ(SimplifierSeparateur("", '\\'), "");
    EXPECT_EQ(SimplifierSeparateur(std::string(2000, '\\'), '\\'),
              std::string(1000, '\\')); // no limit
}

// Accented letters and variables are a folder's own; a quote, a bar or a line end is not.
TEST(Separators, AWindowsPathHoldsAccentsButNoQuoteBarOrLineEnd) {
    EXPECT_TRUE(IsWindowsPath("%UserProfile%\\Local Settings\\Identit\xE9s"));
    for (const char* refused : {"C:\\a\"b", "C:\\a|b", "C:\\a\r\n[HKEY_LOCAL_MACHINE\\X]"}) {
        EXPECT_FALSE(IsWindowsPath(refused)) << refused;
    }
}

TEST(BackupReading, FindsTheFirstIdentityAndTheLastOfTheRest) {
    const BackupFindings found = Scan({
        "REGEDIT4",
        "[HKEY_CURRENT_USER\\Identities\\{abc}\\Software]",
        "[HKEY_CURRENT_USER\\Identities\\{second}]",
        "\"Store Root\"=\"C:\\\\Old\"",
        "\"Store Root\"=\"C:\\\\Mail\\\\OE\"",
        "[HKEY_USERS\\S-1-5-21-1-2-3-1003\\RemoteAccess]",
        "[HKEY_USERS\\S-1-5-21-9-8-7-1003\\RemoteAccess]",
        "[HKEY_CURRENT_USER\\Software\\Microsoft\\WAB\\WAB4\\Wab File Name]",
        "@=\"C:\\\\Carnet\\\\a.wab\"",
    });
    EXPECT_EQ(found.Identity, "{abc}");
    EXPECT_EQ(found.StoreFolder, "C:\\Mail\\OE");
    EXPECT_EQ(found.Group, "S-1-5-21-9-8-7-1003");
    EXPECT_EQ(found.AddressBookLine, 7);
    EXPECT_EQ(found.AddressBook, "C:\\Carnet\\a.wab");
}

TEST(BackupReading, OddAndShortLinesLeaveTheirFieldAlone) {
    EXPECT_EQ(Scan({"[hkey_current_user\\identities\\{abc}]"}).Identity, std::nullopt);
    EXPECT_EQ(Scan({"[HKEY_CURRENT_USER\\Identities\\{abc", "[HKEY_CURRENT_USER\\Identities\\{x}]"})
                  .Identity,
              "{x}"); // no closing brace: the next identity line is looked at
    EXPECT_EQ(Scan({"\"Store Root\"="}).StoreFolder, std::nullopt);
    EXPECT_EQ(Scan({"\"Store Root\"=\"\""}).StoreFolder, "");
    // An expandable string written in hex is read as its text.
    EXPECT_EQ(Scan({"\"Store Root\"=hex(2):25,55,25,5C,4F,45,0"}).StoreFolder, "%U%\\OE");
    EXPECT_EQ(Scan({"\"Store Root\"=hex(2):25,zz"}).StoreFolder, std::nullopt);
    // A string the exporter wrote in hex (no terminating zero), with or without one.
    EXPECT_EQ(Scan({"\"Store Root\"=hex(1):43,3A,5C,4D"}).StoreFolder, "C:\\M");
    EXPECT_EQ(Scan({"\"Store Root\"=hex(1):43,3A,5C,4D,00"}).StoreFolder, "C:\\M");
    EXPECT_EQ(Scan({"[HKEY_USERS\\S-1-5-21-" + std::string(60, '7') + "]"}).Group,
              "S-1-5-21-" + std::string(35, '7')); // no -1003: 44 characters
    const BackupFindings last =
        Scan({"x", "@=\"C:\\\\a\"", "[A\\Software\\Microsoft\\WAB\\WAB4\\Wab File Name]"});
    EXPECT_EQ(last.AddressBookLine, 2);
    EXPECT_EQ(last.AddressBook, std::nullopt);
    EXPECT_EQ(Scan({"x", "[A\\Software\\Microsoft\\WAB\\WAB4\\Wab File Name]", "@="}).AddressBook,
              std::nullopt);
}

TEST(BackupChanges, RewritesIdentityFolderGroupAndAddressBook) {
    const std::string longGroup = "S-1-5-21-1111111111-2222222222-3333333333-1003";
    HeldLines held = Held({
        "REGEDIT4",
        "[HKEY_CURRENT_USER\\Identities\\{old-id}\\Software] {old-id}",
        "\"Store Root\"=\"C:\\\\A\\\\B\"",
        "\"Store Root\"=hex(2):43,3A,5C,41,0",
        "\"Store Root\"=hex(1):43,3A,5C,41",
        "[HKEY_USERS\\S-1-5-21-1-2-3-1003\\RemoteAccess]",
        "[HKEY_USERS\\" + longGroup + "\\RemoteAccess]",
        "[HKEY_CURRENT_USER\\Software\\Microsoft\\WAB\\WAB4\\Wab File Name]",
        "@=\"C:\\\\Old\\\\a.wab\"",
    });
    const AdaptationCounts counts =
        AdaptLines(held, {"{old-id}", "{new-id}", "C:\\A\\B", "D:\\Mail", "S-1-5-21-9-9-9-1003",
                          "C:\\Carnet\\a.wab", 7});
    EXPECT_EQ(All(held), (std::vector<std::string>{
                             "REGEDIT4",
                             "[HKEY_CURRENT_USER\\Identities\\{new-id}\\Software] {old-id}",
                             "\"Store Root\"=\"D:\\\\Mail\"",
                             "\"Store Root\"=hex(2):44,3A,5C,4D,61,69,6C,0", // keeps its form
                             "\"Store Root\"=\"D:\\\\Mail\"", // a string, now with its zero
                             "[HKEY_USERS\\S-1-5-21-1-2-3-1003\\RemoteAccess]", // 45: left alone
                             "[HKEY_USERS\\S-1-5-21-9-9-9-1003\\RemoteAccess]",
                             "[HKEY_CURRENT_USER\\Identities\\{new-id}\\Software\\Microsoft\\WAB\\"
                             "WAB4\\Wab File Name]",
                             "@=\"C:\\\\Carnet\\\\a.wab\"",
                         }));
    EXPECT_EQ(counts.Identity, 1);
    EXPECT_EQ(counts.Folder, 3);
    EXPECT_EQ(counts.Group, 1);
    EXPECT_EQ(counts.AddressBook, 1);
    EXPECT_EQ(counts.OldGroup, longGroup);
}

// A hex(2) value wrapped over lines that end with a backslash, as regedit writes long values,
// is read and replaced as one value: no continuation line is left behind.
TEST(BackupChanges, AWrappedStoreRootIsOneValue) {
    const std::initializer_list<std::string_view> wrapped = {
        "[HKEY_CURRENT_USER\\Identities\\{old-id}\\Software]",
        "\"Store Root\"=hex(2):43,3a,5c,4f,\\", "  6c,64,5c,\\", "  4f,45,00",
        "\"Next\"=dword:00000001"};
    EXPECT_EQ(Scan(wrapped).StoreFolder, "C:\\Old\\OE");
    HeldLines held = Held(wrapped);
    AdaptLines(held, {"{old-id}", "{new-id}", "C:\\Old\\OE", "D:\\New", "", "", 0});
    EXPECT_EQ(All(held),
              (std::vector<std::string>{"[HKEY_CURRENT_USER\\Identities\\{new-id}\\Software]",
                                        "\"Store Root\"=hex(2):44,3A,5C,4E,65,77,0", "", "",
                                        "\"Next\"=dword:00000001"}));
    HeldLines binary = Held({"\"Store Root\"=hex:43,3a,\\", "  00", "\"Next\"=dword:00000001"});
    AdaptLines(binary, {"{old-id}", "{new-id}", "", "D:\\New", "", "", 0});
    EXPECT_EQ(All(binary), (std::vector<std::string>{"\"Store Root\"=\"D:\\\\New\"", "",
                                                     "\"Next\"=dword:00000001"}));
}

TEST(BackupChanges, LeavesWhatItMustNotTouch) {
    const auto adapt = [](HeldLines& held, std::string oldId, std::string book,
                          std::int64_t bookLine) {
        return AdaptLines(held,
                          {oldId, "{new-id}", "C:\\A", "C:\\A", "S-1-5-21-1", book, bookLine});
    };
    HeldLines held = Held({"REGEDIT4", "[X\\{ab}]", "[X\\{new-id}]", "\"Store Root\"=\"C:\\\\A\"",
                           "[A\\Software\\Microsoft\\WAB\\WAB4\\Wab File Name]", "@=\"x\"",
                           "[X\\Store Root]", "\"Note\"=\"Store Root\""});
    AdaptationCounts counts = adapt(held, "{ab}", DefaultAddressBook, 4); // 4 characters: kept
    EXPECT_EQ(counts.Identity, 0);
    EXPECT_EQ(counts.Folder, 0); // rewritten, but the same folder
    EXPECT_EQ(All(held)[1], "[X\\{ab}]");
    EXPECT_EQ(All(held)[4], " "); // the default address book: the pair is blanked
    EXPECT_EQ(All(held)[5], " ");
    EXPECT_EQ(All(held)[6], "[X\\Store Root]"); // mentions of the name are not the value
    EXPECT_EQ(All(held)[7], "\"Note\"=\"Store Root\"");
    counts = adapt(held, "{new-id}", "", 4); // the same identity: nothing to replace
    EXPECT_EQ(counts.Identity, 0);

    // An address-book header on the last line is treated alone.
    HeldLines last = Held({"REGEDIT4", "[A\\Software\\Microsoft\\WAB\\WAB4\\Wab File Name]"});
    adapt(last, "{old-id}", "D:\\b.wab", 1);
    EXPECT_EQ(
        All(last)[1],
        "[HKEY_CURRENT_USER\\Identities\\{new-id}\\Software\\Microsoft\\WAB\\WAB4\\Wab File Name]");
    EXPECT_EQ(last.Size(), 2u);
}

} // namespace
} // namespace quillon
