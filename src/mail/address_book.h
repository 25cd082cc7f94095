// The address book that goes with a store folder: where a copy keeps it, and its contacts read
// with what the reading met.
#pragma once

#include "formats/wab_contacts.h"

#include <string>
#include <vector>

namespace quillon {

// The address book (.wab, native path) of a store folder, or of its kAddressBookFolder as a
// copy made with the mail keeps it; "" when there is none. When there are several, the first
// is taken and the others named among the problems (ANSI French).
std::string FindAddressBook(const std::string& store, std::vector<std::string>& problems);

// The contacts and groups of the address book `path`; false when it cannot be read at all.
// What it could not read is named among the problems (ANSI French, each naming the file).
bool ReadAddressBook(const std::string& path, std::vector<Contact>& contacts,
                     std::vector<std::string>& problems);

} // namespace quillon
