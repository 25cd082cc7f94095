#include "test_support.h"
#include "text/ansi_codepage.h"

namespace quillon {
namespace {

std::string AllBytes() {
    std::string bytes;
    for (int b = 1; b < 256; ++b) {
        bytes += static_cast<char>(b);
    }
    return bytes;
}

using test::Utf16Le;

TEST(AnsiCodePage, EveryByteSurvivesUtf8AndUtf16RoundTrips) {
    const std::string bytes = AllBytes();
    EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(bytes)), bytes);
    std::u16string wide;
    for (unsigned char b : bytes) {
        wide += static_cast<char16_t>(AnsiToCodePoint(b));
    }
    EXPECT_EQ(Utf16LeToAnsi(Utf16Le(wide)), bytes);
}

TEST(AnsiCodePage, ConvertsWindows1252SpecificsAndReplacesTheRest) {
    EXPECT_EQ(AnsiToUtf8("\x80\xE9\x9C"), "€éœ");
    EXPECT_EQ(Utf8ToAnsi("€ é Ω 😀"), "\x80 \xE9 ? ?");
    EXPECT_EQ(Utf16LeToAnsi(Utf16Le(u"a\u20AC\U0001F600b")), "a\x80?b");
    EXPECT_EQ(Utf8ToAnsi("\xFF\xC3"), "??"); // broken UTF-8
}

TEST(AnsiCodePage, FoldsLettersOfWindows1252Only) {
    EXPECT_EQ(FoldCase("Identit\xE9s\x9A\xFF{ab}"), "IDENTIT\xC9S\x8A\x9F{AB}");
    EXPECT_TRUE(EqualsIgnoringCase("hkey_current_user", "HKEY_CURRENT_USER"));
    EXPECT_TRUE(EqualsIgnoringCase("\xE9t\xE9", "\xC9T\xC9"));
    EXPECT_FALSE(EqualsIgnoringCase("\xF7", "\xD7")); // ÷ and × are not a case pair
    EXPECT_FALSE(EqualsIgnoringCase("ab", "abc"));
}

} // namespace
} // namespace quillon
