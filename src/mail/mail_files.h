// What a file of the mail client's store is, told by its first bytes: a .dbx file (a message
// folder, the folders list, the offline or POP3 lists) with the number of messages its header
// counts, or an address book (.wab).
#pragma once

#include <cstdint>
#include <string_view>

namespace quillon {

enum class MailFileKind { Unknown, MessageFolder, FoldersList, OfflineList, Pop3List, AddressBook };

struct MailFileHeader {
    MailFileKind Kind = MailFileKind::Unknown;
    // The messages a message folder's header counts; 0 for the other kinds.
    std::uint32_t Messages = 0;
    // A .dbx file too short for its own header, or one that counts more messages than its
    // size can hold: copied as it is, and named.
    bool Damaged = false;
};

// How many of a file's first bytes MailFileHeaderOf needs: a .dbx header is this long.
inline constexpr std::size_t kMailHeaderSize = 0x24BC;

// Reads `head`, the first bytes of a file (up to kMailHeaderSize of them), whose whole size is
// `fileSize`.
MailFileHeader MailFileHeaderOf(std::string_view head, std::uint64_t fileSize);

} // namespace quillon
