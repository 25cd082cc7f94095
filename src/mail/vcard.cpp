#include "mail/vcard.h"

#include "files/content_hash.h"

#include <map>

namespace quillon {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::size_t kLongestLine = 75; // in bytes, its line end left out

// A text value with the characters vCard gives a meaning escaped.
std::string Escaped(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\' || c == ',' || c == ';') {
            out += '\\';
            out += c;
        } else if (c == '\r' || c == '\n') {
            out += "\\n";
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
        } else {
            out += c;
        }
    }
    return out;
}

// A structured value: its parts escaped, joined by ';'.
std::string Parts(std::initializer_list<std::string_view> parts) {
    std::string out;
    bool first = true;
    for (const std::string_view part : parts) {
        out.append(first ? "" : ";").append(Escaped(part));
        first = false;
    }
    return out;
}

bool ContinuesCharacter(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Folds the line at kLongestLine bytes, never inside a UTF-8 character: each next piece starts
// with a space, which a reader takes off.
void AddLine(std::string& out, std::string_view line) {
    std::size_t room = kLongestLine;
    while (line.size() > room) {
        std::size_t cut = room;
        while (cut > 1 && ContinuesCharacter(line[cut])) {
            --cut;
        }
        out.append(line.substr(0, cut));
        out.append(kLineEnd);
        out += ' ';
        line.remove_prefix(cut);
        room = kLongestLine - 1;
    }
    out.append(line);
    out.append(kLineEnd);
}

void AddText(std::string& out, std::string_view name, std::string_view value) {
    if (!value.empty()) {
        AddLine(out, std::string(name) + ":" + Escaped(value));
    }
}

std::string_view PhoneTypes(ContactPhone::Use use) {
    switch (use) {
    case ContactPhone::Use::Home:
        return "HOME,VOICE";
    case ContactPhone::Use::Work:
        return "WORK,VOICE";
    case ContactPhone::Use::Mobile:
        return "CELL,VOICE";
    case ContactPhone::Use::HomeFax:
        return "HOME,FAX";
    case ContactPhone::Use::WorkFax:
        return "WORK,FAX";
    case ContactPhone::Use::Pager:
        return "PAGER";
    }
    return "VOICE";
}

void AddPerson(std::string& out, const Contact& contact) {
    AddLine(out, "N:" + Parts({contact.Surname, contact.GivenName, contact.MiddleName,
                               contact.Prefix, contact.Suffix}));
    AddText(out, "NICKNAME", contact.Nickname);
    for (std::size_t i = 0; i < contact.Emails.size(); ++i) {
        AddLine(out, std::string(i == 0 ? "EMAIL;TYPE=INTERNET,PREF:" : "EMAIL;TYPE=INTERNET:") +
                         Escaped(contact.Emails[i]));
    }
    for (const ContactPhone& phone : contact.Phones) {
        AddLine(out,
                "TEL;TYPE=" + std::string(PhoneTypes(phone.Kind)) + ":" + Escaped(phone.Number));
    }
    for (const ContactAddress& address : contact.Addresses) {
        AddLine(out, std::string(address.Home ? "ADR;TYPE=HOME:" : "ADR;TYPE=WORK:") +
                         Parts({"", "", address.Street, address.City, address.Region,
                                address.PostalCode, address.Country}));
    }
    if (!contact.Company.empty() || !contact.Department.empty()) {
        AddLine(out, "ORG:" + Parts({contact.Company, contact.Department}));
    }
    AddText(out, "TITLE", contact.JobTitle);
    AddText(out, "URL;TYPE=HOME", contact.HomePage);
    AddText(out, "URL;TYPE=WORK", contact.WorkPage);
    AddText(out, "BDAY", contact.Birthday());
}

void AddGroup(std::string& out, const Contact& group,
              const std::map<std::uint32_t, std::string>& uids) {
    AddLine(out, "N:" + Parts({group.Shown(), "", "", "", ""}));
    AddLine(out, "X-ADDRESSBOOKSERVER-KIND:group");
    for (const GroupMember& member : group.Members) {
        const auto found = uids.find(member.RecordId);
        if (member.RecordId != 0 && found != uids.end()) {
            AddLine(out, "X-ADDRESSBOOKSERVER-MEMBER:" + found->second);
        } else if (!member.Email.empty()) {
            AddLine(out, "X-ADDRESSBOOKSERVER-MEMBER:mailto:" + member.Email);
        }
    }
}

} // namespace

std::string ContactUid(const Contact& contact) {
    ContentHash hash;
    hash.Add(std::to_string(contact.RecordId));
    hash.Add(contact.Shown());
    for (const std::string& email : contact.Emails) {
        hash.Add("\n" + email);
    }
    std::string digits = hash.Digest();
    constexpr std::size_t kUuidDigits = 32;
    digits.resize(kUuidDigits, '0');
    return "urn:uuid:" + digits.substr(0, 8) + "-" + digits.substr(8, 4) + "-" +
           digits.substr(12, 4) + "-" + digits.substr(16, 4) + "-" + digits.substr(20);
}

std::string VCardsOf(const std::vector<Contact>& contacts) {
    std::map<std::uint32_t, std::string> uids; // of the members a group may name
    for (const Contact& contact : contacts) {
        uids.emplace(contact.RecordId, ContactUid(contact));
    }
    std::string out;
    for (const Contact& contact : contacts) {
        AddLine(out, "BEGIN:VCARD");
        AddLine(out, "VERSION:3.0");
        AddLine(out, "UID:" + ContactUid(contact));
        AddLine(out, "FN:" + Escaped(contact.Shown()));
        if (contact.Group) {
            AddGroup(out, contact, uids);
        } else {
            AddPerson(out, contact);
        }
        AddText(out, "NOTE", contact.Notes);
        AddLine(out, "END:VCARD");
    }
    return out;
}

} // namespace quillon
