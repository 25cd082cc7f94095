// Our own reader of regf cells. libhivex reads the same files, but refuses keys of more than
// 110,000 values or 70,000 subkeys and values of more than 8 MB, all of which Windows writes,
// and gives each name and value in a new allocation converted through iconv: a big key could
// not be read at all, nor any key read fast. What a damaged file yields follows libhivex's
// rules (which cells count, what a lenient open passes over), so that the same files read the
// same; the bounds are the file's own.
#include "formats/regf_hive.h"

#include "formats/regf_layout.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace quillon {
namespace {

using namespace regf;

constexpr std::size_t kSmallestHive = kBaseBlockSize + kBinAlignment; // a header and one bin
constexpr int kMostNestedIndexes = 32; // ri lists within ri lists: more is an attack
// The walk of the bins' headers gives back the pages it has read by pieces of this size: a key
// read later maps again only the pages it needs.
constexpr std::size_t kWalkedPiece = 4 << 20;
// The maps of the cells of the bins walked last, at most this many bytes: those of 32 MB of bins,
// more than the cells of any one key are spread over in the hives Windows writes.
constexpr std::size_t kMostCellMapBytes = 1 << 20;
constexpr std::size_t kPositionsPerWord = 64;

// Offsets of the fields used, from the start of a cell (its 4-byte size included).
namespace KeyCell {
constexpr std::size_t Flags = 0x06, SubkeyCount = 0x18, SubkeyList = 0x20, ValueCount = 0x28,
                      ValueList = 0x2C, NameLength = 0x4C, Name = 0x50;
constexpr std::uint16_t CompressedName = 0x20;
} // namespace KeyCell
namespace ValueCell {
constexpr std::size_t NameLength = 0x06, DataLength = 0x08, DataOffset = 0x0C, Type = 0x10,
                      Flags = 0x14, Name = 0x18;
constexpr std::uint16_t CompressedName = 0x01;
constexpr std::uint32_t DataInCell = 0x80000000u; // up to 4 bytes held in the offset field
} // namespace ValueCell
namespace ListCell {
constexpr std::size_t Count = 0x06, Entries = 0x08;
}
namespace BigDataCell {
constexpr std::size_t SegmentCount = 0x06, SegmentList = 0x08;
}

} // namespace

std::unique_ptr<RegfHive> RegfHive::Open(const std::string& path, bool lenient, int& errorCode) {
    std::unique_ptr<MappedFile> file = MappedFile::Open(path, errorCode);
    if (!file) {
        return nullptr;
    }
    if (file->Size() < kSmallestHive) {
        errorCode = EINVAL;
        return nullptr;
    }
    std::unique_ptr<RegfHive> hive(new RegfHive(std::move(file)));
    if (!hive->WalkBins(lenient)) {
        errorCode = EINVAL;
        return nullptr;
    }
    return hive;
}

RegfHive::~RegfHive() = default;

std::uint32_t RegfHive::U32(std::size_t offset) const {
    return Le32(bytes_ + offset);
}

std::uint16_t RegfHive::U16(std::size_t offset) const {
    return Le16(bytes_ + offset);
}

// Checks the header, then walks the bins' headers. The cells of a bin are walked when a cell
// in it is first asked for, except the root's bin, walked now: a hive whose root cannot be read
// is refused.
bool RegfHive::WalkBins(bool lenient) {
    lenient_ = lenient;
    if (std::memcmp(bytes_, "regf", 4) != 0 || U32(kMajorVersionAt) != 1 ||
        HeaderChecksum(bytes_) != U32(kChecksumAt)) {
        return false;
    }
    const std::size_t binsEnd = CellAt(kBinsSizeAt);
    auto isBin = [&](std::size_t at) {
        return at + kBinHeaderSize <= size_ && std::memcmp(bytes_ + at, "hbin", 4) == 0;
    };
    std::size_t binSize = 0;
    for (std::size_t at = kBaseBlockSize; at < size_ && at < binsEnd; at += binSize) {
        if (!isBin(at)) {
            if (!lenient) {
                return false;
            }
            do { // look for the next bin on a page boundary
                at += kBinAlignment;
            } while (at < size_ && at < binsEnd && !isBin(at));
            if (at >= size_ || at >= binsEnd) {
                break;
            }
        }
        binSize = U32(at + kBinSizeAt);
        if (binSize <= kBinHeaderSize || binSize % kBinAlignment != 0 || binSize > size_ - at ||
            CellAt(at + kBinOffsetAt) != at) {
            return false;
        }
        ReleaseWalkedPages(at);
        binOfPage_.resize((at + binSize) / kBinAlignment, kNoBin);
        std::fill(binOfPage_.begin() + static_cast<std::ptrdiff_t>(at / kBinAlignment),
                  binOfPage_.end(), static_cast<std::uint32_t>(at / kBinAlignment));
    }
    ReleaseWalkedPages(size_);
    root_ = static_cast<Cell>(CellAt(kRootCellAt));
    return RootReadable();
}

void RegfHive::ReleaseWalkedPages(std::size_t walkedTo) {
    const std::size_t end = walkedTo >= size_ ? size_ : walkedTo / kWalkedPiece * kWalkedPiece;
    if (end > released_) {
        file_->Release(released_, end);
        released_ = end;
    }
}

// The root's bin is walked as every bin once was: in a strict open, any damaged cell in it
// refuses the hive; the root must be an allocated key cell.
bool RegfHive::RootReadable() {
    const std::size_t start = BinStart(root_);
    if (start == kNoBinStart) {
        return false;
    }
    const Bin bin = BinAt(start);
    bool rootSeen = false;
    for (std::size_t cell = bin.Start + kBinHeaderSize; cell < bin.Start + bin.Size;) {
        const std::size_t length = StoredLength(cell);
        rootSeen = rootSeen || cell == root_;
        if (length <= 4 || length % kCellAlignment != 0) {
            if (cell == root_ || !lenient_) {
                return false;
            }
            break;
        }
        if (length > bin.Start + bin.Size - cell) {
            return false;
        }
        cell += length;
    }
    return rootSeen && IsCell(root_, "nk");
}

// Bins start on page boundaries and span whole pages: each page knows where its bin starts.
// kNoBinStart when no bin holds `offset`.
std::size_t RegfHive::BinStart(std::size_t offset) const {
    const std::size_t page = offset / kBinAlignment;
    return page < binOfPage_.size() && binOfPage_[page] != kNoBin
               ? std::size_t{binOfPage_[page]} * kBinAlignment
               : kNoBinStart;
}

// The bin starting at `start`, as long as the pages its header claimed when the bins were walked.
RegfHive::Bin RegfHive::BinAt(std::size_t start) const {
    const std::uint32_t page = static_cast<std::uint32_t>(start / kBinAlignment);
    std::size_t end = page + 1;
    while (end < binOfPage_.size() && binOfPage_[end] == page) {
        ++end;
    }
    return {start, end * kBinAlignment - start};
}

RegfHive::RecentMap& RegfHive::RecentMapOf(std::size_t binStart) const {
    return recentMaps_[binStart / kBinAlignment % recentMaps_.size()];
}

// The map of the allocated cells of the bin at `binStart`, walking the bin when its map is not
// kept; the oldest maps are dropped first to make room.
const RegfHive::CellMap& RegfHive::CellsOf(std::size_t binStart) const {
    RecentMap& recent = RecentMapOf(binStart);
    if (const auto kept = cellMaps_.find(binStart); kept != cellMaps_.end()) {
        recent = {binStart, &kept->second};
        return kept->second;
    }
    while (cellMapBytes_ > kMostCellMapBytes && !walkedBins_.empty()) {
        const std::size_t oldest = walkedBins_.front();
        if (RecentMap& dropped = RecentMapOf(oldest); dropped.Start == oldest) {
            dropped = {};
        }
        const auto kept = cellMaps_.find(oldest);
        cellMapBytes_ -= kept->second.size() * sizeof(std::uint64_t);
        cellMaps_.erase(kept);
        walkedBins_.pop_front();
    }
    CellMap& used = cellMaps_[binStart];
    WalkCells(BinAt(binStart), used);
    walkedBins_.push_back(binStart);
    cellMapBytes_ += used.size() * sizeof(std::uint64_t);
    recent = {binStart, &used};
    return used;
}

// A cell's size field: negative for an allocated cell.
std::size_t RegfHive::StoredLength(std::size_t cell) const {
    const auto stored = static_cast<std::int32_t>(U32(cell));
    return stored < 0 ? std::size_t{0} - static_cast<std::size_t>(static_cast<std::int64_t>(stored))
                      : static_cast<std::size_t>(stored);
}

// Notes where the bin's allocated cells start, up to a cell whose size is damaged.
void RegfHive::WalkCells(const Bin& bin, CellMap& used) const {
    used.assign(bin.Size / kCellAlignment / kPositionsPerWord + 1, 0);
    for (std::size_t cell = bin.Start + kBinHeaderSize; cell < bin.Start + bin.Size;) {
        const std::size_t length = StoredLength(cell);
        if (length <= 4 || length % kCellAlignment != 0 || length > bin.Start + bin.Size - cell) {
            // A strict open would have refused the hive for this cell: from now on it is read
            // leniently, as it would have been read again.
            lenient_ = true;
            return;
        }
        if (static_cast<std::int32_t>(U32(cell)) < 0) {
            const std::size_t bit = (cell - bin.Start) / kCellAlignment;
            used[bit / kPositionsPerWord] |= std::uint64_t{1} << (bit % kPositionsPerWord);
        }
        cell += length;
    }
}

bool RegfHive::IsUsedCell(std::size_t offset) const {
    if (offset % kCellAlignment != 0 || offset < kBaseBlockSize || offset >= size_) {
        return false;
    }
    const std::size_t start = BinStart(offset);
    if (start == kNoBinStart) {
        return false;
    }
    const RecentMap& recent = RecentMapOf(start);
    const CellMap& cells = recent.Start == start ? *recent.Cells : CellsOf(start);
    const std::size_t bit = (offset - start) / kCellAlignment;
    return (cells[bit / kPositionsPerWord] >> (bit % kPositionsPerWord)) & 1;
}

// The walk checked that every used cell lies within its bin, at least 8 bytes long.
std::size_t RegfHive::CellLength(std::size_t offset) const {
    return StoredLength(offset);
}

bool RegfHive::IsCell(std::size_t offset, std::string_view signature) const {
    return IsUsedCell(offset) && std::memcmp(bytes_ + offset + 4, signature.data(), 2) == 0;
}

bool RegfHive::IsKey(std::size_t offset) const {
    return IsCell(offset, "nk") && CellLength(offset) >= KeyCell::Name;
}

bool RegfHive::IsValue(std::size_t offset) const {
    return IsCell(offset, "vk") && CellLength(offset) >= ValueCell::Name;
}

// The offset in the file that the field at `field` gives: fields count from the header's end.
std::size_t RegfHive::CellAt(std::size_t field) const {
    return std::size_t{U32(field)} + kBaseBlockSize;
}

// A key's or value's name, where its kind of cell keeps it.
bool RegfHive::StoredName(std::size_t cell, NameFields fields, Name& name) const {
    const std::size_t length = U16(cell + fields.Length);
    if (fields.Name + length > CellLength(cell)) {
        return false;
    }
    name.Bytes =
        std::string_view(reinterpret_cast<const char*>(bytes_) + cell + fields.Name, length);
    name.Utf16 = (U16(cell + fields.Flags) & fields.Compressed) == 0;
    return true;
}

bool RegfHive::KeyName(Cell key, Name& name) const {
    return IsKey(key) &&
           StoredName(key,
                      {KeyCell::Name, KeyCell::NameLength, KeyCell::Flags, KeyCell::CompressedName},
                      name);
}

bool RegfHive::ValueName(Cell value, Name& name) const {
    return IsValue(value) && StoredName(value,
                                        {ValueCell::Name, ValueCell::NameLength, ValueCell::Flags,
                                         ValueCell::CompressedName},
                                        name);
}

bool RegfHive::Values(Cell key, std::vector<Cell>& values) const {
    values.clear();
    if (!IsKey(key)) {
        return false;
    }
    const std::size_t count = U32(key + KeyCell::ValueCount);
    if (count == 0) {
        return true;
    }
    const std::size_t list = CellAt(key + KeyCell::ValueList);
    if (!IsUsedCell(list) || count > (CellLength(list) - 4) / 4) {
        return false;
    }
    values.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t value = CellAt(list + 4 + 4 * i);
        if (!IsUsedCell(value)) {
            values.clear();
            return false;
        }
        values.push_back(static_cast<Cell>(value));
    }
    return true;
}

bool RegfHive::Subkeys(Cell key, std::vector<Cell>& subkeys) const {
    subkeys.clear();
    if (!IsKey(key)) {
        return false;
    }
    const std::size_t count = U32(key + KeyCell::SubkeyCount);
    if (count == 0) {
        return true;
    }
    const std::size_t list = CellAt(key + KeyCell::SubkeyList);
    // A list can name no more subkeys than its cells can hold.
    subkeys.reserve(std::min(count, size_ / 8));
    if (!IsUsedCell(list) || !CollectSubkeys(list, count, 0, subkeys) ||
        (subkeys.size() != count && !lenient_)) {
        subkeys.clear();
        return false;
    }
    return true;
}

// A subkey list: lf and lh cells hold (offset, hash) pairs, li cells offsets, ri cells offsets
// of other lists. An entry that is not a key spoils the list, unless the open is lenient.
bool RegfHive::CollectSubkeys(std::size_t list, std::size_t limit, int depth,
                              std::vector<Cell>& subkeys) const {
    const std::size_t count = U16(list + ListCell::Count);
    const std::size_t length = CellLength(list);
    const bool pairs = IsCell(list, "lf") || IsCell(list, "lh");
    const bool offsets = IsCell(list, "li");
    const bool lists = IsCell(list, "ri");
    const std::size_t stride = pairs ? 8 : 4;
    if ((!pairs && !offsets && !lists) || ListCell::Entries + count * stride > length) {
        return false;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = CellAt(list + ListCell::Entries + i * stride);
        if (lists) {
            if (!IsUsedCell(entry)) {
                if (lenient_) {
                    continue;
                }
                return false;
            }
            if (depth >= kMostNestedIndexes || !CollectSubkeys(entry, limit, depth + 1, subkeys)) {
                return false;
            }
        } else if (!AddSubkey(entry, limit, subkeys)) {
            return false;
        }
    }
    return true;
}

bool RegfHive::AddSubkey(std::size_t offset, std::size_t limit, std::vector<Cell>& subkeys) const {
    if (!IsCell(offset, "nk")) {
        return lenient_;
    }
    if (subkeys.size() >= limit) {
        return false; // more entries than the key says it has
    }
    subkeys.push_back(static_cast<Cell>(offset));
    return true;
}

bool RegfHive::ValueData(Cell value, std::uint32_t& type, std::vector<std::uint8_t>* data) const {
    if (data != nullptr) {
        data->clear();
    }
    if (!IsValue(value)) {
        return false;
    }
    type = U32(value + ValueCell::Type);
    const std::uint32_t stored = U32(value + ValueCell::DataLength);
    const std::size_t length = stored & ~ValueCell::DataInCell;
    const std::uint8_t* held = nullptr;
    if ((stored & ValueCell::DataInCell) != 0) {
        if (length > 4) {
            return false;
        }
        held = bytes_ + value + ValueCell::DataOffset;
    } else {
        const std::size_t cell = CellAt(value + ValueCell::DataOffset);
        if (!IsUsedCell(cell)) {
            return false;
        }
        if (length > CellLength(cell) - 4) {
            return BigData(cell, length, data);
        }
        held = bytes_ + cell + 4;
    }
    if (data != nullptr) {
        data->assign(held, held + length);
    }
    return true;
}

// Data longer than one cell is held in segments, listed by a db cell. A short last segment
// ends the data there.
bool RegfHive::BigData(std::size_t cell, std::size_t length,
                       std::vector<std::uint8_t>* data) const {
    if (!IsCell(cell, "db")) {
        return false;
    }
    const std::size_t count = U16(cell + BigDataCell::SegmentCount);
    const std::size_t list = CellAt(cell + BigDataCell::SegmentList);
    if (!IsUsedCell(list) || count > (CellLength(list) - 4) / 4) {
        return false;
    }
    if (data != nullptr) {
        data->reserve(std::min(length, size_));
    }
    std::size_t read = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t segment = CellAt(list + 4 + 4 * i);
        if (!IsUsedCell(segment)) {
            if (data != nullptr) {
                data->clear();
            }
            return false;
        }
        // A segment's last 4 bytes are not data.
        const std::size_t held = CellLength(segment) >= 8 ? CellLength(segment) - 8 : 0;
        const std::size_t taken = std::min(held, length - read);
        if (data != nullptr) {
            data->insert(data->end(), bytes_ + segment + 4, bytes_ + segment + 4 + taken);
        }
        read += taken;
    }
    return true;
}

} // namespace quillon
