// The index is a tree of nodes whose values are the offsets of records; a message's record
// names the first block of its text, and the blocks are chained. Every offset read from the
// file is checked before it is followed: inside the file, on a 4-byte boundary, at an object
// whose first field is its own offset, and never twice in one walk.
#include "formats/dbx_file.h"

#include "files/byte_order.h"
#include "formats/dbx_layout.h"

#include <algorithm>
#include <cstdio>
#include <unordered_set>
#include <utility>

namespace quillon {
namespace {

using namespace dbx;

// With 51 entries a node, a tree this deep holds more records than a 4 GiB file can.
constexpr unsigned kDeepestNode = 16;
// A record describes a message or a folder in a few hundred bytes; one claiming more is damaged.
constexpr std::uint32_t kLargestRecordBody = 64 * 1024;
// The mail client's blocks hold 0x200 bytes of text; another writer's may hold more, never this.
constexpr std::uint32_t kLargestBlockRoom = 64 * 1024;
// The recovery's scan reads the file in pieces of this size.
constexpr std::size_t kScanPiece = 1 << 20;
// The objects of a message (its blocks, mostly one after the other) are read through a window
// of the file this large: a few reads a message rather than two a block.
constexpr std::size_t kWindowSize = 64 << 10;
static_assert(kLargestBlockRoom <= kWindowSize, "a block's text is seen whole in the window");

// Tells a block met again in a chain, which would make it loop. Chains mostly run forward
// through the file: a block past every one before it is new without a look, and the set is
// made only once a chain turns back.
class ChainGuard {
  public:
    bool FirstMeeting(std::uint32_t at) {
        if (seen_.empty() && (passed_.empty() || at > passed_.back())) {
            passed_.push_back(at);
            return true;
        }
        if (seen_.empty()) {
            seen_.insert(passed_.begin(), passed_.end());
        }
        return seen_.insert(at).second;
    }

  private:
    std::vector<std::uint32_t> passed_; // rising, while the chain runs forward
    std::unordered_set<std::uint32_t> seen_;
};

std::string Hex(std::uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
    return text;
}

bool Aligned(std::uint64_t at) {
    return at % kAlignment == 0;
}

} // namespace

bool DbxFile::Open(const std::string& path, std::string& error) {
    file_ = std::make_unique<RandomAccessFile>(path, RandomAccessFile::Links::Refuse);
    std::string header(kHeaderSize, '\0');
    if (!file_->IsOpen() || !file_->ReadAll(0, header.data(), header.size()) ||
        Le32(header, 0) != kMagic) {
        error = "ce n'est pas un fichier .dbx lisible";
        return false;
    }
    size_ = file_->Size();
    switch (Le32(header, kKindAt)) {
    case kMessageFolderKind:
        kind_ = DbxKind::MessageFolder;
        break;
    case kFoldersListKind:
        kind_ = DbxKind::FoldersList;
        break;
    default:
        kind_ = DbxKind::OtherList;
    }
    counted_ = Le32(header, kEntryCountAt);
    root_ = Le32(header, kTreeRootAt);
    return true;
}

bool DbxFile::ReadAt(std::uint64_t offset, char* buffer, std::size_t length) const {
    if (length > kWindowSize) {
        return file_->ReadAll(offset, buffer, length);
    }
    std::string_view bytes;
    if (!ViewAt(offset, length, bytes)) {
        return false;
    }
    std::copy_n(bytes.data(), length, buffer);
    return true;
}

bool DbxFile::ViewAt(std::uint64_t offset, std::size_t length, std::string_view& bytes) const {
    if (length > kWindowSize) {
        return false;
    }
    if (offset < windowAt_ || offset + length > windowAt_ + window_.size()) {
        if (offset > size_ || size_ - offset < length) {
            return false;
        }
        window_.resize(
            static_cast<std::size_t>(std::min<std::uint64_t>(kWindowSize, size_ - offset)));
        windowAt_ = offset;
        if (!file_->ReadAll(offset, window_.data(), window_.size())) {
            window_.clear();
            return false;
        }
    }
    bytes = std::string_view(window_).substr(static_cast<std::size_t>(offset - windowAt_), length);
    return true;
}

void DbxFile::Problem(std::string text) {
    problems_.push_back(std::move(text));
}

std::vector<std::string> DbxFile::TakeProblems() {
    return std::exchange(problems_, {});
}

std::vector<std::uint32_t> DbxFile::IndexValues() {
    std::vector<std::uint32_t> values;
    std::vector<std::uint32_t> visited;
    indexDamaged_ = false;
    WalkNode(root_, 0, visited, values);
    return values;
}

// A node's values in order: those below its first child, then each entry's value followed by
// those below the entry's child.
void DbxFile::WalkNode(std::uint32_t at, unsigned depth, std::vector<std::uint32_t>& visited,
                       std::vector<std::uint32_t>& values) {
    if (at == 0) {
        return;
    }
    std::string node(kNodeSize, '\0');
    const bool seen = std::find(visited.begin(), visited.end(), at) != visited.end();
    if (seen || depth > kDeepestNode || !Aligned(at) ||
        at > size_ - std::min(size_, std::uint64_t{kNodeSize}) ||
        !ReadAt(at, node.data(), node.size()) || Le32(node, 0) != at ||
        static_cast<unsigned char>(node[kNodeEntryCountAt]) > kNodeEntries) {
        indexDamaged_ = true;
        Problem("index endommagé (nœud à l'offset " + Hex(at) + " illisible)");
        return;
    }
    visited.push_back(at);
    WalkNode(Le32(node, kNodeChildAt), depth + 1, visited, values);
    const std::size_t entries = static_cast<unsigned char>(node[kNodeEntryCountAt]);
    for (std::size_t i = 0; i < entries; ++i) {
        const std::size_t entry = kNodeEntriesAt + i * kNodeEntrySize;
        values.push_back(Le32(node, entry));
        WalkNode(Le32(node, entry + kEntryChildAt), depth + 1, visited, values);
    }
}

bool DbxFile::ReadRecord(std::uint32_t at, Record& record) {
    std::string header(kRecordHeaderSize, '\0');
    if (!Aligned(at) || at > size_ || size_ - at < kRecordHeaderSize ||
        !ReadAt(at, header.data(), header.size()) || Le32(header, 0) != at) {
        return false;
    }
    const std::uint32_t bodyLength = Le32(header, kRecordBodyLengthAt);
    const std::size_t fields = static_cast<unsigned char>(header[kRecordFieldCountAt]);
    if (bodyLength > kLargestRecordBody || bodyLength > size_ - at - kRecordHeaderSize ||
        fields * kRecordFieldSize > bodyLength) {
        return false;
    }
    std::string body(bodyLength, '\0');
    if (!ReadAt(at + kRecordHeaderSize, body.data(), body.size())) {
        return false;
    }
    record.Fields.clear();
    for (std::size_t i = 0; i < fields; ++i) {
        const std::uint32_t entry = Le32(body, i * kRecordFieldSize);
        record.Fields.push_back({entry & kFieldNumberMask, entry >> kFieldValueShift,
                                 (entry & kFieldHeldInIndex) != 0});
    }
    record.Data = body.substr(fields * kRecordFieldSize);
    return true;
}

const DbxFile::Field* DbxFile::Record::Find(unsigned number) const {
    const auto found = std::find_if(Fields.begin(), Fields.end(),
                                    [&](const Field& field) { return field.Number == number; });
    return found != Fields.end() ? &*found : nullptr;
}

std::uint32_t DbxFile::Record::Number(unsigned number) const {
    const Field* field = Find(number);
    if (field == nullptr) {
        return 0;
    }
    if (field->HeldInIndex) {
        return field->Value;
    }
    return Data.size() >= 4 && field->Value <= Data.size() - 4 ? Le32(Data, field->Value) : 0;
}

std::string DbxFile::Record::Text(unsigned number) const {
    const Field* field = Find(number);
    if (field == nullptr || field->HeldInIndex || field->Value >= Data.size()) {
        return "";
    }
    const std::string_view rest = std::string_view(Data).substr(field->Value);
    return std::string(rest.substr(0, rest.find('\0')));
}

std::uint64_t DbxFile::Record::Time(unsigned number) const {
    const Field* field = Find(number);
    constexpr std::size_t kFileTimeSize = 8;
    if (field == nullptr || field->HeldInIndex || Data.size() < kFileTimeSize ||
        field->Value > Data.size() - kFileTimeSize) {
        return 0;
    }
    return Le64(Data, field->Value);
}

bool DbxFile::ReadBlock(std::uint32_t at, std::uint32_t shift, Block& block) const {
    const std::uint32_t position = at - shift;
    std::string_view header;
    if (!Aligned(at) || position > size_ || size_ - position < kBlockHeaderSize ||
        !ViewAt(position, kBlockHeaderSize, header) || Le32(header, 0) != at) {
        return false;
    }
    const std::uint32_t room = Le32(header, kBlockRoomAt);
    block = {at, shift, Le32(header, kBlockTextLengthAt), Le32(header, kBlockNextAt)};
    return room <= kLargestBlockRoom && block.TextLength <= room &&
           block.TextLength <= size_ - position - kBlockHeaderSize;
}

std::vector<DbxMessage> DbxFile::Messages(bool recover) {
    std::vector<DbxMessage> messages;
    Record record;
    for (const std::uint32_t at : IndexValues()) {
        if (!ReadRecord(at, record)) {
            indexDamaged_ = true;
            Problem("description de message illisible à l'offset " + Hex(at));
            continue;
        }
        // A newsgroup message whose body was never downloaded has no text in the folder.
        const std::uint32_t text = record.Number(kMessageTextAt);
        if (text != 0) {
            messages.push_back(
                {text, record.Time(kMessageReceived), record.Text(kMessageSubject), false});
        }
    }
    if (recover || indexDamaged_ || messages.size() < counted_) {
        for (const auto& [head, shift] : ChainsNotIndexed(messages)) {
            messages.push_back({head, 0, "", true, shift});
        }
    }
    return messages;
}

bool DbxFile::ReadText(const DbxMessage& message,
                       const std::function<bool(std::string_view)>& write) {
    ChainGuard chain;
    std::string_view text;
    Block block;
    for (std::uint32_t at = message.FirstBlock; at != 0; at = block.Next) {
        if (!chain.FirstMeeting(at) || !ReadBlock(at, message.Shift, block)) {
            Problem("message coupé : bloc de texte à l'offset " + Hex(at - message.Shift) +
                    " illisible");
            return false;
        }
        if (!ViewAt(at - message.Shift + kBlockHeaderSize, block.TextLength, text) ||
            !write(text)) {
            return false;
        }
    }
    return true;
}

// The blocks of text anywhere in the file, then the first blocks of the chains that no
// indexed message reaches and that run whole to their end. The mail client's compaction may
// leave blocks copied from elsewhere, that still name the place they were copied from: a
// block's shift is how far that lies from where it is, and its chain is read in its own terms.
std::vector<std::pair<std::uint32_t, std::uint32_t>>
DbxFile::ChainsNotIndexed(const std::vector<DbxMessage>& indexed) const {
    std::vector<Block> blocks;
    std::string piece;
    for (std::uint64_t start = kHeaderSize; start + kBlockHeaderSize <= size_;
         start += kScanPiece) {
        const std::uint64_t length =
            std::min<std::uint64_t>(kScanPiece + kBlockHeaderSize, size_ - start);
        piece.resize(static_cast<std::size_t>(length));
        if (!file_->ReadAll(start, piece.data(), piece.size())) {
            break;
        }
        for (std::size_t at = 0; at + kBlockHeaderSize <= piece.size() && at < kScanPiece;
             at += kAlignment) {
            const auto position = static_cast<std::uint32_t>(start + at);
            const std::uint32_t marker = Le32(piece, at);
            Block block;
            if (Le32(piece, at + kBlockRoomAt) == kBlockRoom &&
                ReadBlock(marker, marker - position, block)) {
                blocks.push_back(block);
            }
        }
    }
    const auto order = [](const Block& a, const Block& b) {
        return a.Shift != b.Shift ? a.Shift < b.Shift : a.At < b.At;
    };
    std::sort(blocks.begin(), blocks.end(), order);
    const auto find = [&](std::uint32_t shift, std::uint32_t at) -> std::size_t {
        const Block wanted{at, shift, 0, 0};
        const auto found = std::lower_bound(blocks.begin(), blocks.end(), wanted, order);
        return found != blocks.end() && found->At == at && found->Shift == shift
                   ? static_cast<std::size_t>(found - blocks.begin())
                   : blocks.size();
    };
    // A block some other block continues into is no chain's first; nor is one an indexed
    // message's chain reaches.
    std::vector<bool> taken(blocks.size(), false);
    for (const Block& block : blocks) {
        if (const std::size_t next = find(block.Shift, block.Next); next < blocks.size()) {
            taken[next] = true;
        }
    }
    for (const DbxMessage& message : indexed) {
        std::size_t steps = 0;
        for (std::size_t block = find(message.Shift, message.FirstBlock);
             block < blocks.size() && steps < blocks.size();
             block = find(blocks[block].Shift, blocks[block].Next), ++steps) {
            taken[block] = true;
        }
    }
    std::vector<std::pair<std::uint32_t, std::uint32_t>> heads;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        if (taken[i] || blocks[i].TextLength == 0) {
            continue;
        }
        std::size_t steps = 0;
        std::size_t block = i;
        while (blocks[block].Next != 0 && steps++ < blocks.size()) {
            block = find(blocks[block].Shift, blocks[block].Next);
            if (block == blocks.size()) {
                break;
            }
        }
        if (block < blocks.size() && blocks[block].Next == 0) {
            heads.emplace_back(blocks[i].At, blocks[i].Shift);
        }
    }
    // In the order of the file, as the mail client would have kept them.
    std::sort(heads.begin(), heads.end(),
              [](const auto& a, const auto& b) { return a.first - a.second < b.first - b.second; });
    return heads;
}

std::vector<DbxFolder> DbxFile::Folders() {
    std::vector<DbxFolder> folders;
    Record record;
    for (const std::uint32_t at : IndexValues()) {
        if (!ReadRecord(at, record)) {
            Problem("description de dossier illisible à l'offset " + Hex(at));
            continue;
        }
        folders.push_back({record.Number(kFolderId), record.Number(kFolderParent),
                           record.Text(kFolderName), record.Text(kFolderFile),
                           record.Number(kFolderSpecial), record.Number(kFolderStore)});
    }
    return folders;
}

} // namespace quillon
