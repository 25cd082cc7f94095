// The contacts and groups of an address book's records, from the MAPI properties the Address
// Book stores (names, e-mail addresses, phones, postal addresses, company, notes, members).
#pragma once

#include "formats/wab_file.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quillon {

struct ContactPhone {
    enum class Use { Home, Work, Mobile, HomeFax, WorkFax, Pager };
    Use Kind = Use::Home;
    std::string Number;
};

struct ContactAddress {
    bool Home = true; // else the work address
    std::string Street, City, Region, PostalCode, Country;
};

// A member of a group: a contact of the book, or an address the group alone holds.
struct GroupMember {
    std::uint32_t RecordId = 0; // 0 for an address of the group's own
    std::string Name, Email;
};

// Texts in UTF-8, as the Address Book stored them; empty when it stored none.
struct Contact {
    std::uint32_t RecordId = 0;
    bool Group = false;
    std::string DisplayName, GivenName, MiddleName, Surname, Nickname, Prefix, Suffix;
    std::vector<std::string> Emails; // the one the user chose to write to first
    std::vector<ContactPhone> Phones;
    std::vector<ContactAddress> Addresses;
    std::string Company, Department, JobTitle;
    std::string HomePage, WorkPage, Notes;
    int BirthYear = 0, BirthMonth = 0, BirthDay = 0; // 0: not stored
    std::int64_t LastModified = 0; // seconds since 1970 when last saved; 0: not stored
    std::vector<GroupMember> Members;

    // The name to show: the stored display name, or one made of the parts, or the address.
    std::string Shown() const;
    // The birthday as YYYY-MM-DD; empty when not stored.
    std::string Birthday() const;
};

// The contacts and groups of `records`, in their order.
std::vector<Contact> ContactsOf(const std::vector<WabRecord>& records);

} // namespace quillon
