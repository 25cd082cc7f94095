// An address book's contacts and groups as vCard 3.0 text (RFC 2426), which Thunderbird,
// Gmail and every phone import: one card a contact, its texts in UTF-8, its lines folded at 75
// bytes; a group as a card of its members, in the form Apple's and Thunderbird's address books
// share (X-ADDRESSBOOKSERVER-KIND, X-ADDRESSBOOKSERVER-MEMBER).
#pragma once

#include "formats/wab_contacts.h"

#include <string>
#include <vector>

namespace quillon {

std::string VCardsOf(const std::vector<Contact>& contacts);

// The card's UID of a contact ("urn:uuid:" and the hexadecimal form of a digest of what the
// contact holds), by which a group's card names its members.
std::string ContactUid(const Contact& contact);

} // namespace quillon
