// What a file of the mail client's store is, told by its first bytes: a .dbx file (a message
// folder, the folders list, the offline or POP3 lists) with the number of messages its header
// counts, or an address book (.wab).
#pragma once

#include "formats/dbx_layout.h"

#include <cstdint>
#include <string>
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
inline constexpr std::size_t kMailHeaderSize = dbx::kHeaderSize;

// Reads a file as it is copied, front to back, keeping only its header and the root node of a
// message folder's tree: whether the messages the header counts can be in the file.
class MailFileReader {
  public:
    void Add(std::string_view piece);
    // What the file is, once every byte was added.
    MailFileHeader Result() const;

  private:
    // Takes the next bytes of the root node from `bytes`, which lie at `offset` in the file.
    void TakeRootNode(std::string_view bytes, std::uint64_t offset);

    std::string head_;
    std::string rootNode_;
    std::uint64_t size_ = 0;
};

} // namespace quillon
