// An address book's contacts as CSV files (RFC 4180, UTF-8) with the columns the address book
// importers read: Thunderbird's own (those of its export), and Google Contacts' (Gmail's).
#pragma once

#include "formats/wab_contacts.h"

#include <string>
#include <vector>

namespace quillon {

// One row a contact; groups have no row (Thunderbird's CSV holds no lists).
std::string ThunderbirdCsvOf(const std::vector<Contact>& contacts);
// One row a contact, each with the groups it belongs to in "Group Membership".
std::string GoogleCsvOf(const std::vector<Contact>& contacts);

} // namespace quillon
