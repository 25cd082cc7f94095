// Writes address books (.wab) byte by byte, laid out as the format's public descriptions give
// them, for the sample installations and the readers' tests: a header and its tables (the
// index of records, the indexes of names and of addresses), then one record a contact or group
// with its MAPI properties. Records are also read from text, one paragraph each:
//
//   contact ID | group ID           the record's kind and id
//   TAG=VALUE                        a property: its MAPI tag in hexadecimal (3001001F); texts
//                                    in UTF-8 (written in UTF-16 for type 001F, in ANSI for
//                                    001E), numbers (0003), dates YYYY-MM-DD (0040), members
//                                    (0102: "record:ID", "oneoff:NAME <ADDRESS>"); the values
//                                    of a multi-valued tag separated by " | "
//   # ...                            a comment
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quillon::tools {

struct WabRecordSpec {
    std::uint32_t Kind = 1; // 1 a contact, 2 a group
    std::uint32_t Id = 0;
    struct Property {
        std::uint32_t Tag;
        std::vector<std::string> Values; // each value's bytes
    };
    std::vector<Property> Properties;
};

// The records of such a text; throws std::invalid_argument on a line it cannot read.
std::vector<WabRecordSpec> WabRecordsFromText(const std::string& text);

// The whole file; the Windows 95 form keeps its indexes' texts in ANSI.
std::string AddressBookFile(const std::vector<WabRecordSpec>& records, bool windows95 = false);

// A value's bytes: a text in UTF-16 with its terminating zero, as the Address Book stores it.
std::string UnicodeValue(const std::string& utf8);

} // namespace quillon::tools
