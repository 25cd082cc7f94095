// Where things lie in the .dbx files of Outlook Express 5 and 6, field by field, from the
// format's public descriptions; every offset is from the start of the file unless said.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quillon::dbx {

// The file header, 0x24BC bytes: every .dbx file starts with kMagic, then its kind.
inline constexpr std::size_t kHeaderSize = 0x24BC;
inline constexpr std::uint32_t kMagic = 0xFE12ADCF;
inline constexpr std::size_t kKindAt = 4;
inline constexpr std::uint32_t kMessageFolderKind = 0x6F74FDC5;
inline constexpr std::uint32_t kFoldersListKind = 0x6F74FDC6;
inline constexpr std::uint32_t kPop3ListKind = 0x6F74FDC7;
inline constexpr std::uint32_t kOfflineListKind = 0x26FE9D30;
// How many entries the first tree holds (a message folder's messages, the folders list's
// folders), and where its root node lies (0 when it holds none).
inline constexpr std::size_t kEntryCountAt = 0xC4;
inline constexpr std::size_t kTreeRootAt = 0xE4;

// A node of the tree, 0x27C bytes: a header, then up to kNodeEntries entries.
//   0x00 int4  its own offset (every object of the file starts so)
//   0x08 int4  the node whose values come before this node's first entry, or 0
//   0x0C int4  its parent node, or 0
//   0x11 int1  how many entries follow
//   0x18       the entries, 12 bytes each:
//     0x00 int4  the value: the offset of an indexed record
//     0x04 int4  the node whose values come after this entry's, or 0
//     0x08 int4  how many values that node and those below it hold
inline constexpr std::size_t kNodeSize = 0x27C;
inline constexpr std::size_t kNodeChildAt = 0x08;
inline constexpr std::size_t kNodeEntryCountAt = 0x11;
inline constexpr std::size_t kNodeEntriesAt = 0x18;
inline constexpr std::size_t kNodeEntrySize = 12;
inline constexpr std::size_t kNodeEntries = (kNodeSize - kNodeEntriesAt) / kNodeEntrySize;
inline constexpr std::size_t kEntryChildAt = 4;

// An indexed record (a message's or a folder's description): a 12-byte header, then an index of
// 4-byte entries, then the data they point into.
//   0x00 int4  its own offset
//   0x04 int4  the length of what follows the header: the index and the data
//   0x0A int1  how many index entries
//   index entry: bits 0-6 the field number; bit 7 set: bits 8-31 hold the field's value itself,
//   else they hold where the field starts in the data, which it runs to the next field's start
inline constexpr std::size_t kRecordHeaderSize = 12;
inline constexpr std::size_t kRecordBodyLengthAt = 4;
inline constexpr std::size_t kRecordFieldCountAt = 10;
inline constexpr std::size_t kRecordFieldSize = 4;
inline constexpr std::uint32_t kFieldNumberMask = 0x7F;
inline constexpr std::uint32_t kFieldHeldInIndex = 0x80;
inline constexpr unsigned kFieldValueShift = 8;

// The fields of a message's record that are read.
inline constexpr unsigned kMessageSubject = 0x08;     // text
inline constexpr unsigned kMessageTextAt = 0x04;      // int4: the first block of its text
inline constexpr unsigned kMessageReceived = 0x12;    // FILETIME
// The fields of a folder's record, in Folders.dbx.
inline constexpr unsigned kFolderId = 0x00;           // int4
inline constexpr unsigned kFolderParent = 0x01;       // int4; the root's is 0xFFFFFFFF
inline constexpr unsigned kFolderName = 0x02;         // text
inline constexpr unsigned kFolderFile = 0x03;         // text: its .dbx file, none for a container
inline constexpr unsigned kFolderSpecial = 0x09;      // int4: 1 Inbox ... 5 Drafts
inline constexpr unsigned kFolderStore = 0x0A;        // int4: 0 news, 1 IMAP, 3 the local store

// A block of a message's text, in a chain: a 16-byte header, then the text.
//   0x00 int4  its own offset
//   0x04 int4  the room for text in this block (0x200 as the mail client writes them)
//   0x08 int4  the length of the text this block holds
//   0x0C int4  the next block, or 0 for the last
inline constexpr std::size_t kBlockHeaderSize = 16;
inline constexpr std::size_t kBlockRoomAt = 4;
inline constexpr std::size_t kBlockTextLengthAt = 8;
inline constexpr std::size_t kBlockNextAt = 12;
inline constexpr std::uint32_t kBlockRoom = 0x200;

// Every object lies on a 4-byte boundary.
inline constexpr std::uint32_t kAlignment = 4;

} // namespace quillon::dbx
