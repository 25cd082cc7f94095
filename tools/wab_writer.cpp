#include "wab_writer.h"

#include "files/byte_order.h"
#include "formats/wab_layout.h"
#include "text/ansi_codepage.h"

#include <cstdio>
#include <sstream>
#include <stdexcept>

namespace quillon::tools {
namespace {

using namespace wab;

// Room for a text in an entry of the indexes of names and addresses, as the Address Book
// makes them.
constexpr std::size_t kIndexedTextBytes = 64;
constexpr std::uint32_t kTextIndexEntrySize = kIndexedTextBytes + kTextIndexIdSize;
constexpr std::uint16_t kDisplayNameId = 0x3001;
constexpr std::uint16_t kEmailAddressesId = 0x3A56;
constexpr std::uint16_t kEmailAddressId = 0x3003;

std::string Le32Bytes(std::uint32_t value) {
    std::string bytes(4, '\0');
    PutLe32(bytes, 0, value);
    return bytes;
}

std::string Utf8ToUtf16Le(const std::string& utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t cp = DecodeUtf8(utf8, i);
        const auto put = [&](char32_t unit) {
            out += static_cast<char>(unit & 0xFF);
            out += static_cast<char>(unit >> 8);
        };
        if (cp >= 0x10000) {
            cp -= 0x10000;
            put(0xD800 + (cp >> 10));
            put(0xDC00 + (cp & 0x3FF));
        } else {
            put(cp);
        }
    }
    return out;
}

// A day as the Address Book keeps a birthday: a FILETIME at its midnight.
std::string DateValue(const std::string& date) {
    int year = 0, month = 0, day = 0;
    if (std::sscanf(date.c_str(), "%d-%d-%d", &year, &month, &day) != 3) {
        throw std::invalid_argument("bad date " + date);
    }
    // Days from 1970 of a civil date, by eras of 400 years from 0000-03-01.
    year -= month <= 2;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const std::int64_t yearOfEra = year - era * 400;
    const std::int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    const std::int64_t days1970 = era * 146'097 + dayOfEra - 719'468;
    constexpr std::int64_t kDaysFrom1601To1970 = 134'774, kTicksADay = 864'000'000'000;
    std::string bytes(8, '\0');
    PutLe64(bytes, 0, static_cast<std::uint64_t>((days1970 + kDaysFrom1601To1970) * kTicksADay));
    return bytes;
}

// A member of a group: a record of the book, or a one-off entry id holding its own name and
// address in UTF-16.
std::string MemberValue(const std::string& text) {
    if (text.rfind("record:", 0) == 0) {
        return Le32Bytes(static_cast<std::uint32_t>(std::stoul(text.substr(7))));
    }
    if (text.rfind("oneoff:", 0) != 0) {
        throw std::invalid_argument("bad member " + text);
    }
    const std::size_t open = text.find('<');
    const std::string name = text.substr(7, open == std::string::npos ? 0 : open - 8);
    const std::string address = text.substr(open + 1, text.find('>') - open - 1);
    static const unsigned char kOneOffProvider[16] = {0x81, 0x2B, 0x1F, 0xA4, 0xBE, 0xA3,
                                                      0x10, 0x19, 0x9D, 0x6E, 0x00, 0xDD,
                                                      0x01, 0x0F, 0x54, 0x02};
    std::string entry(4, '\0');
    entry.append(reinterpret_cast<const char*>(kOneOffProvider), sizeof kOneOffProvider);
    entry += std::string("\0\0\0\x80", 4); // version 0, flags: UTF-16 texts
    for (const std::string& part : {name, std::string("SMTP"), address}) {
        entry += UnicodeValue(part);
    }
    return entry;
}

std::string ValueOf(std::uint16_t type, const std::string& text) {
    switch (type) {
    case kUnicodeText:
        return UnicodeValue(text);
    case kAnsiText:
        return Utf8ToAnsi(text) + '\0';
    case kLong:
        return Le32Bytes(static_cast<std::uint32_t>(std::stoul(text)));
    case kFileTime:
        return DateValue(text);
    case kBinary:
        return MemberValue(text);
    default:
        throw std::invalid_argument("no text form for the type of " + text);
    }
}

std::string PropertyBytes(const WabRecordSpec::Property& property) {
    const auto type = static_cast<std::uint16_t>(property.Tag & 0xFFFF);
    std::string bytes = Le32Bytes(property.Tag);
    if ((type & kMultipleValues) == 0) {
        const std::string& value = property.Values.empty() ? std::string() : property.Values[0];
        return bytes + Le32Bytes(static_cast<std::uint32_t>(value.size())) + value;
    }
    const auto single = static_cast<std::uint16_t>(type & ~kMultipleValues);
    const bool variable = single == kAnsiText || single == kUnicodeText || single == kBinary;
    std::string values;
    for (const std::string& value : property.Values) {
        values += (variable ? Le32Bytes(static_cast<std::uint32_t>(value.size())) : "") + value;
    }
    return bytes + Le32Bytes(static_cast<std::uint32_t>(property.Values.size())) +
           Le32Bytes(static_cast<std::uint32_t>(values.size())) + values;
}

const WabRecordSpec::Property* Find(const WabRecordSpec& record, std::uint16_t id) {
    for (const auto& property : record.Properties) {
        if (property.Tag >> 16 == id) {
            return &property;
        }
    }
    return nullptr;
}

// The text a property's first value holds, back in UTF-8 for an index.
std::string IndexedText(const WabRecordSpec::Property& property, bool windows95) {
    if (property.Values.empty()) {
        return {};
    }
    const std::string& value = property.Values.front();
    std::string text =
        (property.Tag & 0xFF) == (kUnicodeText & 0xFF) ? Utf16LeToUtf8(value) : AnsiToUtf8(value);
    text = text.substr(0, text.find('\0'));
    std::string stored = windows95 ? Utf8ToAnsi(text) : Utf8ToUtf16Le(text);
    stored.resize(kIndexedTextBytes, '\0');
    return stored;
}

} // namespace

std::string UnicodeValue(const std::string& utf8) {
    return Utf8ToUtf16Le(utf8) + std::string(2, '\0');
}

std::vector<WabRecordSpec> WabRecordsFromText(const std::string& text) {
    std::vector<WabRecordSpec> records;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line[0] == '#') {
            continue;
        }
        if (line.rfind("contact ", 0) == 0 || line.rfind("group ", 0) == 0) {
            const bool group = line[0] == 'g';
            records.push_back({group ? kGroupRecord : kContactRecord,
                               static_cast<std::uint32_t>(std::stoul(line.substr(group ? 6 : 8))),
                               {}});
            continue;
        }
        const std::size_t equals = line.find('=');
        if (records.empty() || equals != 8) {
            throw std::invalid_argument("unreadable line: " + line);
        }
        WabRecordSpec::Property property{
            static_cast<std::uint32_t>(std::stoul(line.substr(0, equals), nullptr, 16)), {}};
        const auto type = static_cast<std::uint16_t>(property.Tag & 0xFFFF & ~kMultipleValues);
        std::string values = line.substr(equals + 1);
        for (std::size_t at = 0;;) {
            const std::size_t bar = values.find(" | ", at);
            property.Values.push_back(ValueOf(type, values.substr(at, bar - at)));
            if (bar == std::string::npos || (property.Tag & kMultipleValues) == 0) {
                break;
            }
            at = bar + 3;
        }
        records.back().Properties.push_back(std::move(property));
    }
    return records;
}

std::string AddressBookFile(const std::vector<WabRecordSpec>& records, bool windows95) {
    std::string file(kHeaderSize, '\0');
    file.replace(0, kMagicSize,
                 reinterpret_cast<const char*>(windows95 ? kWindows95Magic : kWab4Magic),
                 kMagicSize);
    std::string recordIndex, names, addresses, bodies;
    const std::size_t bodiesAt = kHeaderSize;
    for (const WabRecordSpec& record : records) {
        std::string properties;
        for (const auto& property : record.Properties) {
            properties += PropertyBytes(property);
        }
        std::string header(kRecordHeaderSize, '\0');
        PutLe32(header, kRecordKindAt, record.Kind);
        PutLe32(header, kRecordIdAt, record.Id);
        PutLe32(header, kRecordPropertyCountAt,
                static_cast<std::uint32_t>(record.Properties.size()));
        PutLe32(header, kRecordLengthAt, static_cast<std::uint32_t>(properties.size()));
        recordIndex +=
            Le32Bytes(record.Id) + Le32Bytes(static_cast<std::uint32_t>(bodiesAt + bodies.size()));
        bodies += header + properties;
        if (const auto* name = Find(record, kDisplayNameId)) {
            names += IndexedText(*name, windows95) + Le32Bytes(record.Id);
        }
        const auto* address = Find(record, kEmailAddressesId);
        address = address != nullptr ? address : Find(record, kEmailAddressId);
        if (address != nullptr) {
            addresses += IndexedText(*address, windows95) + Le32Bytes(record.Id);
        }
    }
    file += bodies;
    const auto table = [&](std::size_t number, std::uint32_t type, std::uint32_t entrySize,
                           const std::string& entries) {
        const std::size_t at = kTablesAt + number * kTableSize;
        PutLe32(file, at + kTableTypeAt, type);
        PutLe32(file, at + kTableEntrySizeAt, entrySize);
        PutLe32(file, at + kTableEntriesAt, static_cast<std::uint32_t>(file.size()));
        PutLe32(file, at + kTableEntryCountAt,
                static_cast<std::uint32_t>(entries.size() / entrySize));
        file += entries;
    };
    table(0, kRecordIndex, kRecordIndexEntrySize, recordIndex);
    table(1, kTextIndex, kTextIndexEntrySize, names);
    table(2, kTextIndex, kTextIndexEntrySize, addresses);
    return file;
}

} // namespace quillon::tools
