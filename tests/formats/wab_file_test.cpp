// The address book reader fed with files built byte by byte from the format's descriptions:
// what each contact and group holds, both forms of the file, and damage of each kind met.
#include "../test_files.h"
#include "files/byte_order.h"
#include "formats/wab_contacts.h"
#include "formats/wab_file.h"
#include "formats/wab_layout.h"
#include "wab_writer.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>

namespace quillon {
namespace {

namespace fs = std::filesystem;

// A contact in one line: its name, addresses, phones, postal addresses, birthday, when last
// saved, members.
std::string Describe(const Contact& contact) {
    std::string text = (contact.Group ? "group " : "") + contact.Shown();
    for (const std::string& email : contact.Emails) {
        text += " <" + email + ">";
    }
    for (const ContactPhone& phone : contact.Phones) {
        text += " tel" + std::to_string(static_cast<int>(phone.Kind)) + ":" + phone.Number;
    }
    for (const ContactAddress& address : contact.Addresses) {
        text += std::string(address.Home ? " home:" : " work:") + address.Street + "|" +
                address.City + "|" + address.Region + "|" + address.PostalCode + "|" +
                address.Country;
    }
    if (!contact.Birthday().empty()) {
        text += " born " + contact.Birthday();
    }
    if (contact.LastModified != 0) {
        text += " saved " + std::to_string(contact.LastModified);
    }
    for (const GroupMember& member : contact.Members) {
        text += member.RecordId != 0 ? " member " + std::to_string(member.RecordId)
                                     : " member " + member.Name + " <" + member.Email + ">";
    }
    return text;
}

struct WabCase {
    const char* Name;
    const char* Records; // in the form tools/wab_writer.h reads
    bool Windows95;
    // Damage done to the file once built; the records start at the end of the header.
    std::function<void(std::string&)> Damage;
    std::vector<std::string> Contacts;
    std::vector<std::string> Problems; // each a part of one problem, in order
};

constexpr const char* kTwoContacts = "contact 1\n3001001F=Anne\n3003001F=anne@a.fr\n"
                                     "contact 2\n3001001F=Bob\n3003001F=bob@b.fr\n";

// Where the second record of kTwoContacts starts: the first is its header, then the tags and
// lengths of its two texts ("Anne" and its address, in UTF-16 with their zeros).
constexpr std::size_t kSecondRecordAt = wab::kHeaderSize + wab::kRecordHeaderSize + 8 + 10 + 8 + 20;

const WabCase kCases[] = {
    {"EveryFieldOfAContact",
     "contact 7\n3001001F=Marie Lefèvre\n3A06001F=Marie\n3A11001F=Lefèvre\n"
     "3A56101F=m@a.fr | marie@b.fr | m3@c.fr\n3A550003=1\n3A09001F=04 78\n3A1C001F=06 12\n"
     "3A24001F=01 99\n3A5D001F=12, rue des Lilas\n3A59001F=Lyon\n3A5B001F=69003\n"
     "3A5A001F=France\n3A29001F=5 av. de la Gare\n3A27001F=Paris\n3A420040=1975-04-18\n"
     "30080040=2008-03-14\n",
     false,
     {},
     {"Marie Lefèvre <marie@b.fr> <m@a.fr> <m3@c.fr> tel0:04 78 tel2:06 12 tel4:01 99 "
      "home:12, rue des Lilas|Lyon||69003|France work:5 av. de la Gare|Paris||| born "
      "1975-04-18 saved 1205452800"},
     {}},
    {"ANameMadeOfItsPartsWhenNoneIsStored",
     "contact 1\n3A06001F=Jean\n3A11001F=Dupont\n",
     false,
     {},
     {"Jean Dupont"},
     {}},
    {"TheSingleAddressComesFirst",
     "contact 1\n3001001F=C\n3003001F=c@one.fr\n3A56101F=c@two.fr | c@one.fr\n",
     false,
     {},
     {"C <c@one.fr> <c@two.fr>"},
     {}},
    {"AGroupOfAContactAndAnAddressOfItsOwn",
     "contact 1\n3001001F=Anne\ngroup 2\n3001001F=Famille\n"
     "80551102=record:1 | oneoff:Tante Jeanne <jeanne@exemple.org>\n",
     false,
     {},
     {"Anne", "group Famille member 1 member Tante Jeanne <jeanne@exemple.org>"},
     {}},
    {"TheWindows95FormAndAnsiTexts",
     "contact 1\n3001001E=Hélène\n3003001E=h@e.fr\n",
     true,
     {},
     {"Hélène <h@e.fr>"},
     {}},
    {"TextsBeyondWindows1252AreKept",
     "contact 1\n3001001F=Søren Ødegård 李\n",
     false,
     {},
     {"Søren Ødegård 李"},
     {}},
    {"ARecordPastTheEndIsNamed",
     kTwoContacts,
     false,
     [](std::string& file) { PutLe32(file, kSecondRecordAt + wab::kRecordLengthAt, 0x7FFFFFFF); },
     {"Anne <anne@a.fr>"},
     {"la fiche n° 2 est abîmée", "« Bob » est dans un index du carnet, mais sa fiche (n° 2)",
      "« bob@b.fr » est dans un index"}},
    {"AnIndexPointingAtAnotherRecord",
     kTwoContacts,
     false,
     [](std::string& file) { PutLe32(file, kSecondRecordAt + wab::kRecordIdAt, 9); },
     {"Anne <anne@a.fr>"},
     {"l'index nomme la fiche n° 2 là où se trouve la n° 9", "« Bob »", "« bob@b.fr »"}},
    {"APropertyCountNoRecordCanHold",
     kTwoContacts,
     false,
     [](std::string& file) {
         PutLe32(file, wab::kHeaderSize + wab::kRecordPropertyCountAt, 0x10000000);
     },
     {"Bob <bob@b.fr>"},
     {"la fiche n° 1 est abîmée", "« Anne »", "« anne@a.fr »"}},
    {"AValueLongerThanItsRecord",
     kTwoContacts,
     false,
     [](std::string& file) {
         PutLe32(file, wab::kHeaderSize + wab::kRecordHeaderSize + wab::kTagSize, 0xFFFFFFF0);
     },
     {"Bob <bob@b.fr>"},
     {"la fiche n° 1 est abîmée", "« Anne »", "« anne@a.fr »"}},
    {"MoreValuesThanBytes",
     "contact 1\n3001001F=A\n3A56101F=a@a.fr\n",
     false,
     [](std::string& file) {
         // The count of the multi-valued addresses, after the name's tag, length and value.
         PutLe32(file, wab::kHeaderSize + wab::kRecordHeaderSize + 8 + 4 + wab::kTagSize,
                 0x7FFFFFFF);
     },
     {},
     {"la fiche n° 1 est abîmée", "« A »", "« a@a.fr »"}},
    {"ARecordIndexedTwiceIsReadOnce",
     kTwoContacts,
     false,
     [](std::string& file) {
         const std::uint32_t index = Le32(file, wab::kTablesAt + wab::kTableEntriesAt);
         PutLe32(file, index + wab::kRecordIndexEntrySize + wab::kIndexedRecordAt,
                 Le32(file, index + wab::kIndexedRecordAt));
     },
     {"Anne <anne@a.fr>"},
     {"« Bob »", "« bob@b.fr »"}},
    {"ATableOutsideTheFile",
     kTwoContacts,
     false,
     [](std::string& file) {
         PutLe32(file, wab::kTablesAt + wab::kTableSize + wab::kTableEntryCountAt, 0x01000000);
     },
     {"Anne <anne@a.fr>", "Bob <bob@b.fr>"},
     {"une table d'index du carnet sort du fichier"}},
};

class WabFileTest : public testing::TestWithParam<WabCase> {
  protected:
    void TearDown() override { fs::remove(path); }
    const fs::path path =
        fs::temp_directory_path() / ("quillon-wab-" + std::to_string(::getpid()) + ".wab");
};

TEST_P(WabFileTest, ReadsWhatTheRecordsHold) {
    const WabCase& c = GetParam();
    std::string bytes = tools::AddressBookFile(tools::WabRecordsFromText(c.Records), c.Windows95);
    if (c.Damage) {
        c.Damage(bytes);
    }
    test::WriteBytes(path, bytes);
    WabFile file;
    std::string error;
    ASSERT_TRUE(file.Open(path.string(), error)) << error;
    EXPECT_EQ(file.Windows95Form(), c.Windows95);
    std::vector<std::string> described;
    for (const Contact& contact : ContactsOf(file.Records())) {
        described.push_back(Describe(contact));
    }
    EXPECT_EQ(described, c.Contacts);
    const std::vector<std::string> problems = file.TakeProblems();
    ASSERT_EQ(problems.size(), c.Problems.size()) << testing::PrintToString(problems);
    for (std::size_t i = 0; i < problems.size(); ++i) {
        EXPECT_NE(problems[i].find(c.Problems[i]), std::string::npos) << problems[i];
    }
}

INSTANTIATE_TEST_SUITE_P(Wab, WabFileTest, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(WabFileOpen, RefusesWhatIsNoAddressBook) {
    const fs::path path = fs::temp_directory_path() / "quillon-wab-not.wab";
    for (const std::string& bytes : {std::string("short"), std::string(wab::kHeaderSize, 'x'),
                                     tools::AddressBookFile({}).substr(0, wab::kHeaderSize - 1)}) {
        test::WriteBytes(path, bytes);
        WabFile file;
        std::string error;
        EXPECT_FALSE(file.Open(path.string(), error));
        EXPECT_FALSE(error.empty());
    }
    fs::remove(path);
}

} // namespace
} // namespace quillon
