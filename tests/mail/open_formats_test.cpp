// The pieces of the open formats the mail and the address book are written in: mbox's quoting
// of "From " lines, its separators' dates, names made from what the mail client stored, vCard's
// escapes and folding, CSV's quoting.
#include "../test_files.h"
#include "files/output_file.h"
#include "mail/contacts_csv.h"
#include "mail/mail_names.h"
#include "mail/mbox_writer.h"
#include "mail/vcard.h"
#include "test_support.h"
#include "text/native_text.h"

#include <algorithm>
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
    {"after an empty line", {"A\n\nFrom x\n"}, "A\n\n>From x\n\r\n"},
    {"among lines of every start", {"x\r\n>y\r\nF\r\nFrom z"}, "x\r\n>y\r\nF\r\n>From z\r\n\r\n"},
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

Contact Person(std::string name, std::vector<std::string> emails = {}) {
    Contact contact;
    contact.RecordId = 1;
    contact.DisplayName = std::move(name);
    contact.Emails = std::move(emails);
    return contact;
}

// The lines of a card from its N line to its END line, unfolded.
std::vector<std::string> CardLines(const std::string& cards) {
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < cards.size();) {
        const std::size_t end = cards.find("\r\n", at);
        const std::string line = cards.substr(at, end - at);
        if (!line.empty() && line[0] == ' ') {
            lines.back() += line.substr(1);
        } else {
            lines.push_back(line);
        }
        at = end + 2;
    }
    return lines;
}

TEST(VCard, EscapesWhatTheFormatGivesAMeaning) {
    Contact contact = Person("Dupont, Jean", {"j@d.fr"});
    contact.Notes = "a;b\\c\r\nd";
    contact.Addresses.push_back({true, "1, rue\nB\u00e2t. C", "Lyon", "", "69003", "France"});
    const std::vector<std::string> lines = CardLines(VCardsOf({contact}));
    const auto has = [&](const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    };
    EXPECT_TRUE(has("FN:Dupont\\, Jean"));
    EXPECT_TRUE(has("N:;;;;"));
    EXPECT_TRUE(has("EMAIL;TYPE=INTERNET,PREF:j@d.fr"));
    EXPECT_TRUE(has("NOTE:a\\;b\\\\c\\nd"));
    EXPECT_TRUE(has("ADR;TYPE=HOME:;;1\\, rue\\nB\u00e2t. C;Lyon;;69003;France"));
}

TEST(VCard, FoldsLongLinesBetweenCharacters) {
    // "FN:" and 71 letters fill 74 bytes: the line's first fold falls inside the first "é".
    std::string name = std::string(71, 'a');
    for (int i = 0; i < 80; ++i) {
        name += "\u00e9";
    }
    const std::string cards = VCardsOf({Person(name)});
    std::size_t at = 0;
    for (std::size_t end; (end = cards.find("\r\n", at)) != std::string::npos; at = end + 2) {
        EXPECT_LE(end - at, 75u);
        EXPECT_NE(static_cast<unsigned char>(cards[at + (cards[at] == ' ')]) & 0xC0, 0x80u)
            << "a line starts inside a character";
    }
    EXPECT_EQ(CardLines(cards)[3], "FN:" + name);
}

TEST(ContactsCsv, QuotesFieldsThatNeedIt) {
    Contact contact = Person("Le \"Chef\", dit", {"a@b.fr", "c@d.fr"});
    contact.Notes = "ligne 1\r\nligne 2";
    const std::string thunderbird = ThunderbirdCsvOf({contact});
    EXPECT_NE(thunderbird.find("\r\n,,\"Le \"\"Chef\"\", dit\",,a@b.fr,c@d.fr,"), std::string::npos)
        << thunderbird;
    EXPECT_NE(thunderbird.find(",\"ligne 1\r\nligne 2\"\r\n"), std::string::npos);
    EXPECT_NE(GoogleCsvOf({contact}).find(",* Internet,a@b.fr ::: c@d.fr,"), std::string::npos);
}

TEST(ContactsCsv, GroupsAreNoRowsButTheirMembersSayThem) {
    Contact group = Person("Famille");
    group.RecordId = 2;
    group.Group = true;
    group.Members.push_back({1, "", ""});
    const std::vector<Contact> book = {Person("Anne", {"a@a.fr"}), group};
    const std::string rows = ThunderbirdCsvOf(book);
    EXPECT_EQ(std::count(rows.begin(), rows.end(), '\n'), 2);
    EXPECT_NE(GoogleCsvOf(book).find(",* myContacts ::: Famille,"), std::string::npos);
}

} // namespace
} // namespace quillon
