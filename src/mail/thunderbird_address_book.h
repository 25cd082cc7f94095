// The contacts and groups as Thunderbird's personal address book (abook.sqlite in a profile):
// a card of properties each, its vCard among them, and a mailing list each group. Written with
// SQLite.
#pragma once

#include "files/file_error.h"
#include "formats/wab_contacts.h"

#include <string>
#include <vector>

namespace quillon {

inline constexpr const char* kAddressBookDatabaseFile = "abook.sqlite";

// Fills the empty file `path` (native, made by the caller for its owner alone) with the
// address book; false with `error` set when SQLite cannot write it. A member of a group that
// is no contact of the book becomes one, as Thunderbird's lists hold only cards. Returns how
// many cards were written through `cards`.
bool WriteThunderbirdAddressBook(const std::string& path, const std::vector<Contact>& contacts,
                                 std::size_t& cards, FileError& error);

} // namespace quillon
