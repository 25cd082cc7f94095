// Written here: no Debian library reads these headers (undbx is a program, not a library), and
// only a few fields of each are needed. Layouts from the public descriptions of both formats.
#include "mail/mail_files.h"

#include "files/byte_order.h"
#include "formats/dbx_layout.h"

#include <array>
#include <cstring>

namespace quillon {
namespace {

using namespace dbx;
constexpr std::uint64_t kTreeNodeSize = kNodeSize;
// The least a message takes: its entry in a tree node, its index record, one block of text.
constexpr std::uint64_t kSmallestMessageBytes =
    kNodeEntrySize + kRecordHeaderSize + kBlockHeaderSize;

// The two signatures of an address book: the mail client's 5 and 6 (WAB4), and Windows 95's.
constexpr std::array<unsigned char, 16> kWab4Signature = {
    0x9C, 0xCB, 0xCB, 0x8D, 0x13, 0x75, 0xD2, 0x11, 0x91, 0x58, 0x00, 0xC0, 0x4F, 0x79, 0x56, 0xA4};
constexpr std::array<unsigned char, 16> kWab95Signature = {
    0x81, 0x32, 0x84, 0xC1, 0x85, 0x05, 0xD0, 0x11, 0xB2, 0x90, 0x00, 0xAA, 0x00, 0x3C, 0xF6, 0x76};

bool StartsWith(std::string_view head, const std::array<unsigned char, 16>& signature) {
    return head.size() >= signature.size() &&
           std::memcmp(head.data(), signature.data(), signature.size()) == 0;
}

MailFileKind DbxKind(std::uint32_t kind) {
    switch (kind) {
    case kMessageFolderKind:
        return MailFileKind::MessageFolder;
    case kFoldersListKind:
        return MailFileKind::FoldersList;
    case kPop3ListKind:
        return MailFileKind::Pop3List;
    case kOfflineListKind:
        return MailFileKind::OfflineList;
    default:
        return MailFileKind::Unknown;
    }
}

// Whether every place the root node points to (its child nodes, its messages' index records)
// lies inside the file: a file cut short loses them first.
bool NodePointsInside(std::string_view node, std::uint64_t fileSize) {
    const std::size_t entries = static_cast<unsigned char>(node[kNodeEntryCountAt]);
    if (kNodeEntriesAt + entries * kNodeEntrySize > node.size() ||
        Le32(node, kNodeChildAt) >= fileSize) {
        return false;
    }
    for (std::size_t i = 0; i < entries; ++i) {
        const std::size_t entry = kNodeEntriesAt + i * kNodeEntrySize;
        if (Le32(node, entry) >= fileSize || Le32(node, entry + kEntryChildAt) >= fileSize) {
            return false;
        }
    }
    return true;
}

bool IsMessageFolder(std::string_view head) {
    return head.size() >= kMailHeaderSize && Le32(head, 0) == kMagic &&
           Le32(head, kKindAt) == kMessageFolderKind;
}

} // namespace

void MailFileReader::Add(std::string_view piece) {
    const std::uint64_t start = size_;
    size_ += piece.size();
    if (head_.size() < kMailHeaderSize) {
        head_.append(piece.substr(0, kMailHeaderSize - head_.size()));
    }
    if (IsMessageFolder(head_)) {
        // The root node may lie in the header itself, which is whole only now.
        TakeRootNode(head_, 0);
        TakeRootNode(piece, start);
    }
}

void MailFileReader::TakeRootNode(std::string_view bytes, std::uint64_t offset) {
    const std::uint64_t wanted = Le32(head_, kTreeRootAt) + rootNode_.size();
    if (rootNode_.size() < kTreeNodeSize && wanted >= offset && wanted - offset < bytes.size()) {
        rootNode_.append(bytes.substr(static_cast<std::size_t>(wanted - offset),
                                      static_cast<std::size_t>(kTreeNodeSize - rootNode_.size())));
    }
}

MailFileHeader MailFileReader::Result() const {
    MailFileHeader header;
    if (StartsWith(head_, kWab4Signature) || StartsWith(head_, kWab95Signature)) {
        header.Kind = MailFileKind::AddressBook;
        return header;
    }
    if (head_.size() < kKindAt + 4 || Le32(head_, 0) != kMagic) {
        return header;
    }
    header.Kind = DbxKind(Le32(head_, kKindAt));
    if (head_.size() < kMailHeaderSize) {
        header.Damaged = header.Kind != MailFileKind::Unknown;
        return header;
    }
    if (header.Kind == MailFileKind::MessageFolder) {
        header.Messages = Le32(head_, kEntryCountAt);
        const bool tooManyMessages =
            static_cast<std::uint64_t>(header.Messages) * kSmallestMessageBytes >
            size_ - kMailHeaderSize;
        const bool treeLost = header.Messages > 0 && (rootNode_.size() < kTreeNodeSize ||
                                                      !NodePointsInside(rootNode_, size_));
        header.Damaged = tooManyMessages || treeLost;
    }
    return header;
}

} // namespace quillon
