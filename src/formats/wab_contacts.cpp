#include "formats/wab_contacts.h"

#include "files/byte_order.h"
#include "formats/wab_layout.h"
#include "text/ansi_codepage.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace quillon {
namespace {

// The ids of the MAPI properties read (the high 16 bits of their tags), as Windows' headers
// name them (PR_...).
enum PropertyId : std::uint16_t {
    kDisplayName = 0x3001,
    kEmailAddress = 0x3003,
    kComment = 0x3004,
    kLastModificationTime = 0x3008,
    kGeneration = 0x3A05,
    kGivenName = 0x3A06,
    kBusinessTelephone = 0x3A08,
    kHomeTelephone = 0x3A09,
    kSurname = 0x3A11,
    kCompanyName = 0x3A16,
    kTitle = 0x3A17,
    kDepartmentName = 0x3A18,
    kMobileTelephone = 0x3A1C,
    kPagerTelephone = 0x3A21,
    kBusinessFax = 0x3A24,
    kHomeFax = 0x3A25,
    kCountry = 0x3A26,
    kLocality = 0x3A27,
    kStateOrProvince = 0x3A28,
    kStreetAddress = 0x3A29,
    kPostalCode = 0x3A2A,
    kBirthday = 0x3A42,
    kMiddleName = 0x3A44,
    kDisplayNamePrefix = 0x3A45,
    kNickname = 0x3A4F,
    kPersonalHomePage = 0x3A50,
    kBusinessHomePage = 0x3A51,
    kDefaultAddressIndex = 0x3A55,
    kContactEmailAddresses = 0x3A56,
    kHomeCity = 0x3A59,
    kHomeCountry = 0x3A5A,
    kHomePostalCode = 0x3A5B,
    kHomeStateOrProvince = 0x3A5C,
    kHomeStreet = 0x3A5D,
    kGroupEntries = 0x8055, // the members of a group, as entry ids
};

std::uint16_t TypeOf(const WabProperty& property) {
    return static_cast<std::uint16_t>(property.Tag & 0xFFFF & ~wab::kMultipleValues);
}

std::string TextOf(std::uint16_t type, std::string_view bytes) {
    if (type == wab::kUnicodeText) {
        const std::string text = Utf16LeToUtf8(bytes);
        return text.substr(0, text.find('\0'));
    }
    if (type == wab::kAnsiText) {
        return AnsiToUtf8(bytes.substr(0, bytes.find('\0')));
    }
    return {};
}

std::string Text(const WabRecord& record, std::uint16_t id) {
    const WabProperty* property = record.Find(id);
    return property == nullptr || property->Values.empty()
               ? std::string()
               : TextOf(TypeOf(*property), property->Values.front());
}

std::vector<std::string> Texts(const WabRecord& record, std::uint16_t id) {
    std::vector<std::string> texts;
    if (const WabProperty* property = record.Find(id)) {
        for (const std::string& value : property->Values) {
            if (std::string text = TextOf(TypeOf(*property), value); !text.empty()) {
                texts.push_back(std::move(text));
            }
        }
    }
    return texts;
}

// The addresses, the one the user chose to write to first.
std::vector<std::string> EmailsOf(const WabRecord& record) {
    std::vector<std::string> emails = Texts(record, kContactEmailAddresses);
    const WabProperty* chosen = record.Find(kDefaultAddressIndex);
    if (chosen != nullptr && TypeOf(*chosen) == wab::kLong && !chosen->Values.empty() &&
        chosen->Values.front().size() >= 4) {
        const std::uint32_t index = Le32(chosen->Values.front(), 0);
        if (index < emails.size()) {
            std::rotate(emails.begin(), emails.begin() + index, emails.begin() + index + 1);
        }
    }
    // The address the Address Book sends to; the list's chosen one says the same when both are
    // stored.
    if (const std::string single = Text(record, kEmailAddress); !single.empty()) {
        emails.erase(std::remove(emails.begin(), emails.end(), single), emails.end());
        emails.insert(emails.begin(), single);
    }
    return emails;
}

std::vector<ContactPhone> PhonesOf(const WabRecord& record) {
    using Use = ContactPhone::Use;
    constexpr std::pair<PropertyId, Use> kPhones[] = {
        {kHomeTelephone, Use::Home},     {kBusinessTelephone, Use::Work},
        {kMobileTelephone, Use::Mobile}, {kHomeFax, Use::HomeFax},
        {kBusinessFax, Use::WorkFax},    {kPagerTelephone, Use::Pager},
    };
    std::vector<ContactPhone> phones;
    for (const auto& [id, use] : kPhones) {
        if (std::string number = Text(record, id); !number.empty()) {
            phones.push_back({use, std::move(number)});
        }
    }
    return phones;
}

std::vector<ContactAddress> AddressesOf(const WabRecord& record) {
    std::vector<ContactAddress> addresses;
    const auto add = [&](bool home, PropertyId street, PropertyId city, PropertyId region,
                         PropertyId code, PropertyId country) {
        ContactAddress address{home,
                               Text(record, street),
                               Text(record, city),
                               Text(record, region),
                               Text(record, code),
                               Text(record, country)};
        if (!(address.Street + address.City + address.Region + address.PostalCode + address.Country)
                 .empty()) {
            addresses.push_back(std::move(address));
        }
    };
    add(true, kHomeStreet, kHomeCity, kHomeStateOrProvince, kHomePostalCode, kHomeCountry);
    add(false, kStreetAddress, kLocality, kStateOrProvince, kPostalCode, kCountry);
    return addresses;
}

constexpr std::uint64_t kTicksASecond = 10'000'000;
constexpr std::int64_t kSecondsFrom1601To1970 = 11'644'473'600;

// The FILETIME the record stores under `tag` (100 ns ticks since 1601); 0 when none.
std::uint64_t FileTimeOf(const WabRecord& record, std::uint16_t tag) {
    const WabProperty* property = record.Find(tag);
    if (property == nullptr || TypeOf(*property) != wab::kFileTime || property->Values.empty() ||
        property->Values.front().size() < 8) {
        return 0;
    }
    return Le64(property->Values.front(), 0);
}

// A FILETIME's day, as the Address Book keeps a birthday (at midnight of that day).
void SetBirthday(const WabRecord& record, Contact& contact) {
    const std::uint64_t ticks = FileTimeOf(record, kBirthday);
    if (ticks == 0) {
        return;
    }
    constexpr std::int64_t kTicksADay = 864'000'000'000;
    constexpr std::int64_t kDaysFrom1601To1970 = 134'774;
    // Days since 1970 to a civil date, by eras of 400 years (146097 days) from 0000-03-01.
    const std::int64_t z =
        static_cast<std::int64_t>(ticks / kTicksADay) - kDaysFrom1601To1970 + 719'468;
    const std::int64_t era = (z >= 0 ? z : z - 146'096) / 146'097;
    const std::int64_t dayOfEra = z - era * 146'097;
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36'524 - dayOfEra / 146'096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
    contact.BirthDay = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    contact.BirthMonth = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
    contact.BirthYear = static_cast<int>(yearOfEra + era * 400 + (contact.BirthMonth <= 2));
}

// When the Address Book last saved the record, in seconds since 1970; 0 when not stored.
std::int64_t LastModifiedOf(const WabRecord& record) {
    const std::uint64_t ticks = FileTimeOf(record, kLastModificationTime);
    return ticks == 0 ? 0
                      : static_cast<std::int64_t>(ticks / kTicksASecond) - kSecondsFrom1601To1970;
}

// A member's entry id: a contact of the book by its record id (4 bytes), or a one-off entry
// holding its own name and address (MAPI's one-off entry id: flags, the one-off provider's
// 16-byte id, a version, flags that say whether its texts are UTF-16, then the display name,
// the address type and the address, each ended by a zero).
GroupMember MemberOf(std::string_view entry) {
    constexpr std::size_t kRecordIdSize = 4;
    constexpr unsigned char kOneOffProvider[16] = {0x81, 0x2B, 0x1F, 0xA4, 0xBE, 0xA3, 0x10, 0x19,
                                                   0x9D, 0x6E, 0x00, 0xDD, 0x01, 0x0F, 0x54, 0x02};
    constexpr std::size_t kProviderAt = 4, kOneOffFlagsAt = 22, kOneOffTextsAt = 24;
    constexpr std::uint16_t kUnicodeTexts = 0x8000;
    if (entry.size() == kRecordIdSize) {
        return {Le32(entry, 0), {}, {}};
    }
    if (entry.size() < kOneOffTextsAt ||
        std::memcmp(entry.data() + kProviderAt, kOneOffProvider, sizeof kOneOffProvider) != 0) {
        return {};
    }
    const bool unicode = (Le16(entry, kOneOffFlagsAt) & kUnicodeTexts) != 0;
    std::vector<std::string> texts;
    std::size_t at = kOneOffTextsAt;
    while (texts.size() < 3 && at < entry.size()) {
        std::size_t end = at;
        if (unicode) {
            while (end + 1 < entry.size() && (entry[end] != '\0' || entry[end + 1] != '\0')) {
                end += 2;
            }
        } else {
            end = std::min(entry.find('\0', at), entry.size());
        }
        texts.push_back(
            TextOf(unicode ? wab::kUnicodeText : wab::kAnsiText, entry.substr(at, end - at)));
        at = end + (unicode ? 2 : 1);
    }
    texts.resize(3);
    return {0, texts[0], texts[2]};
}

std::vector<GroupMember> MembersOf(const WabRecord& record) {
    std::vector<GroupMember> members;
    if (const WabProperty* entries = record.Find(kGroupEntries)) {
        for (const std::string& entry : entries->Values) {
            if (GroupMember member = MemberOf(entry);
                member.RecordId != 0 || !member.Email.empty()) {
                members.push_back(std::move(member));
            }
        }
    }
    return members;
}

} // namespace

std::string Contact::Shown() const {
    if (!DisplayName.empty()) {
        return DisplayName;
    }
    std::string parts;
    for (const std::string* part : {&GivenName, &MiddleName, &Surname}) {
        if (!part->empty()) {
            parts += (parts.empty() ? "" : " ") + *part;
        }
    }
    if (!parts.empty()) {
        return parts;
    }
    return Emails.empty() ? Nickname : Emails.front();
}

std::string Contact::Birthday() const {
    if (BirthYear <= 0) {
        return {};
    }
    char date[32];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d", BirthYear, BirthMonth, BirthDay);
    return date;
}

std::vector<Contact> ContactsOf(const std::vector<WabRecord>& records) {
    std::vector<Contact> contacts;
    for (const WabRecord& record : records) {
        Contact contact;
        contact.RecordId = record.Id;
        contact.Group = record.Kind == WabRecord::Holds::Group;
        contact.DisplayName = Text(record, kDisplayName);
        contact.GivenName = Text(record, kGivenName);
        contact.MiddleName = Text(record, kMiddleName);
        contact.Surname = Text(record, kSurname);
        contact.Nickname = Text(record, kNickname);
        contact.Prefix = Text(record, kDisplayNamePrefix);
        contact.Suffix = Text(record, kGeneration);
        contact.Emails = EmailsOf(record);
        contact.Phones = PhonesOf(record);
        contact.Addresses = AddressesOf(record);
        contact.Company = Text(record, kCompanyName);
        contact.Department = Text(record, kDepartmentName);
        contact.JobTitle = Text(record, kTitle);
        contact.HomePage = Text(record, kPersonalHomePage);
        contact.WorkPage = Text(record, kBusinessHomePage);
        contact.Notes = Text(record, kComment);
        SetBirthday(record, contact);
        contact.LastModified = LastModifiedOf(record);
        contact.Members = MembersOf(record);
        contacts.push_back(std::move(contact));
    }
    return contacts;
}

} // namespace quillon
