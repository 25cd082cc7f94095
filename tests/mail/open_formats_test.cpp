// The pieces of the open formats the mail is written in: mbox's quoting of "From " lines, its
// separators' dates, and names made from what the mail client stored.
#include "../test_files.h"
#include "files/output_file.h"
#include "mail/mail_names.h"
#include "mail/mbox_writer.h"
#include "test_support.h"
#include "text/native_text.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

// A message given in pieces, and the mbox bytes it becomes after its separator line.
struct MboxCase {
    const char* Name;
    std::vector<std::string> Pieces;
    std::string Expected;
};

void PrintTo(const MboxCase& c, std::ostream* out) {
    *out << c.Name;
}

const MboxCase kMboxCases[] = {
    {"a line beginning with From gets a quote", {"A\r\nFrom me\r\n"}, "A\r\n>From me\r\n\r\n"},
    {"a quoted one gets one more", {">>From x\r\n"}, ">>>From x\r\n\r\n"},
    {"the first line too", {"From x\r\n"}, ">From x\r\n\r\n"},
    {"a From cut between pieces", {"A\r\nFr", "om x\r\n"}, "A\r\n>From x\r\n\r\n"},
    {"a quote cut from its From", {"A\r\n>", ">", "From x"}, "A\r\n>>>From x\r\n\r\n"},
    {"From without its space is left", {"Frog\r\nFrom:x\r\n"}, "Frog\r\nFrom:x\r\n\r\n"},
    {"From inside a line is left", {"a From b\r\n"}, "a From b\r\n\r\n"},
    {"a last line without its end gets one", {"A\r\nlast"}, "A\r\nlast\r\n\r\n"},
    {"a last line that might have been From", {"A\r\nFro"}, "A\r\nFro\r\n\r\n"},
    {"empty lines stay", {"\r\n\r\nFrom\r\n"}, "\r\n\r\nFrom\r\n\r\n"},
};

class MboxTest : public testing::TestWithParam<MboxCase> {};

TEST_P(MboxTest, QuotesFromLinesWhereverThePiecesCut) {
    test::ScratchFolder folder;
    const std::string path = folder.File("mbox");
    OutputFile out;
    FileError error;
    ASSERT_TRUE(out.Open(path, OutputFile::Mode::Create, error));
    MboxWriter mbox(out);
    mbox.Begin(0);
    for (const std::string& piece : GetParam().Pieces) {
        mbox.Add(piece);
    }
    mbox.End();
    ASSERT_TRUE(out.Close(error));
    EXPECT_EQ(test::ReadBytes(path), "From - Thu Jan  1 00:00:00 1970\r\n" + GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Mbox, MboxTest, testing::ValuesIn(kMboxCases));

TEST(MboxDate, IsTheFileTimeInUtc) {
    // 2002-04-14 00:27:57 UTC, as a FILETIME.
    EXPECT_EQ(MboxDate(126632176770000000ull), "Sun Apr 14 00:27:57 2002");
}

struct NameCase {
    std::string Stored;   // ANSI
    std::string Expected; // ANSI
};

const NameCase kNames[] = {
    {"Bo\xEEte", "Bo\xEEte"},
    {"a/b\\c:d*e?f\"g<h>i|j", "a_b_c_d_e_f_g_h_i_j"},
    {"tab\there", "tab_here"},
    {"  trailing. . ", "trailing"},
    {"...", "_"},
    {"", "_"},
    {"CON", "_CON"},
    {"nul.txt", "_nul.txt"},
    {"COM10", "COM10"},
};

TEST(SafeFileName, KeepsWhatBothSystemsCarry) {
    for (const NameCase& name : kNames) {
        EXPECT_EQ(SafeFileName(name.Stored, 64), AnsiToNative(name.Expected)) << name.Stored;
    }
    // 30 "é" are 60 bytes of UTF-8: cut at 41 bytes, 20 of them stay, whole.
    const std::string cut = SafeFileName(std::string(30, '\xE9'), 41);
#ifdef _WIN32
    EXPECT_EQ(cut.size(), 30u);
#else
    EXPECT_EQ(cut.size(), 40u);
#endif
}

TEST(UniqueName, NumbersNamesTakenWithoutRegardToCase) {
    std::set<std::string> taken;
    EXPECT_EQ(UniqueName("Inbox", "", taken), "Inbox");
    EXPECT_EQ(UniqueName("INBOX", "", taken), "INBOX (2)");
    EXPECT_EQ(UniqueName("inbox", "", taken), "inbox (3)");
    EXPECT_EQ(UniqueName("a", ".eml", taken), "a.eml");
    EXPECT_EQ(UniqueName("a", ".eml", taken), "a (2).eml");
}

} // namespace
} // namespace quillon
