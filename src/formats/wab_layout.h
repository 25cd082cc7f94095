// Where things lie in the address books (.wab) of Windows' Address Book, which Outlook Express
// 5 and 6 keep (WAB4) and the Windows 95 form before it, field by field, from the format's
// public descriptions; every offset is from the start of the file unless said, every number
// little-endian.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quillon::wab {

// The header: 16 bytes that name the form, two counts, then the descriptors of six tables.
inline constexpr std::size_t kMagicSize = 16;
inline constexpr unsigned char kWab4Magic[kMagicSize] = {
    0x9C, 0xCB, 0xCB, 0x8D, 0x13, 0x75, 0xD2, 0x11, 0x91, 0x58, 0x00, 0xC0, 0x4F, 0x79, 0x56, 0xA4};
inline constexpr unsigned char kWindows95Magic[kMagicSize] = {
    0x81, 0x32, 0x84, 0xC1, 0x85, 0x05, 0xD0, 0x11, 0xB2, 0x90, 0x00, 0xAA, 0x00, 0x3C, 0xF6, 0x76};
inline constexpr std::size_t kTablesAt = 0x18;
inline constexpr std::size_t kTables = 6;

// A table's descriptor, 16 bytes:
//   0x00 int4  the table's type
//   0x04 int4  the size of each of its entries
//   0x08 int4  where its entries start
//   0x0C int4  how many entries it holds
inline constexpr std::size_t kTableSize = 16;
inline constexpr std::size_t kTableTypeAt = 0;
inline constexpr std::size_t kTableEntrySizeAt = 4;
inline constexpr std::size_t kTableEntriesAt = 8;
inline constexpr std::size_t kTableEntryCountAt = 12;
inline constexpr std::size_t kHeaderSize = kTablesAt + kTables * kTableSize;

// The index of records: one 8-byte entry a record.
//   0x00 int4  the record's id
//   0x04 int4  where the record lies; 0 for an entry not in use
inline constexpr std::uint32_t kRecordIndex = 0x0FA0;
inline constexpr std::size_t kRecordIndexEntrySize = 8;
inline constexpr std::size_t kIndexedRecordAt = 4;
// The indexes of texts (the names and the e-mail addresses, one table each): each entry holds
// a text (UTF-16 in WAB4, ANSI in the Windows 95 form), padded with zeros, in all but its last
// 4 bytes, which hold the id of the record it names.
inline constexpr std::uint32_t kTextIndex = 0x84D0;
inline constexpr std::size_t kTextIndexIdSize = 4;

// A record: a 32-byte header, then its properties.
//   0x00 int4  what it holds: kContactRecord, kGroupRecord, kFolderRecord
//   0x04 int4  its id, as the indexes name it
//   0x14 int4  how many properties follow
//   0x1C int4  the length of the properties, in bytes
inline constexpr std::size_t kRecordHeaderSize = 32;
inline constexpr std::size_t kRecordKindAt = 0x00;
inline constexpr std::size_t kRecordIdAt = 0x04;
inline constexpr std::size_t kRecordPropertyCountAt = 0x14;
inline constexpr std::size_t kRecordLengthAt = 0x1C;
inline constexpr std::uint32_t kContactRecord = 1;
inline constexpr std::uint32_t kGroupRecord = 2;
inline constexpr std::uint32_t kFolderRecord = 3;

// A property: its MAPI tag (its type in the low 16 bits, its id in the high ones), then
//   single-valued:  int4 the length of the value, then the value
//   multi-valued (kMultipleValues in the type): int4 how many values, int4 the length of what
//   follows, then each value; a value of variable length (text, binary) is preceded by its
//   own int4 length, one of fixed length is stored as its bytes alone
inline constexpr std::size_t kTagSize = 4;
inline constexpr std::size_t kLengthSize = 4;
inline constexpr std::uint32_t kMultipleValues = 0x1000;

// MAPI property types (the low 16 bits of a tag).
inline constexpr std::uint16_t kShort = 0x0002;
inline constexpr std::uint16_t kLong = 0x0003;
inline constexpr std::uint16_t kBoolean = 0x000B;
inline constexpr std::uint16_t kLongLong = 0x0014;
inline constexpr std::uint16_t kAnsiText = 0x001E;
inline constexpr std::uint16_t kUnicodeText = 0x001F;
inline constexpr std::uint16_t kFileTime = 0x0040;
inline constexpr std::uint16_t kBinary = 0x0102;

} // namespace quillon::wab
