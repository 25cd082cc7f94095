// Our own code: libhivex reads a hive as its file holds it and applies no transaction log, and no
// Debian library does. What Windows does is taken from the published description of the regf
// format and its logs; every offset and size read from a log is checked against both files
// before it is used.
#include "formats/hive_repair.h"

#include "files/byte_order.h"
#include "formats/regf_layout.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>

namespace quillon {
namespace {

using namespace regf;

constexpr std::size_t kLogHeaderSize = 512; // the copy of its first sector a log keeps
constexpr std::size_t kPageSize = 512;      // what an old log's dirty vector counts
// Windows refuses hives of 2 GiB and more; so are logs that would grow one past it.
constexpr std::uint64_t kLargestHive = std::uint64_t{1} << 31;

// What the base block's file type says.
constexpr std::uint32_t kPrimaryFile = 0, kOldLogXp = 1, kOldLog2000 = 2, kNewLog = 6;
// A free cell needs room for its size and one more word.
constexpr std::size_t kSmallestCell = 8;
// Old logs: the dirty vector after the header; new logs: entries after it.
constexpr std::string_view kDirtyVector = "DIRT", kLogEntry = "HvLE";
constexpr std::size_t kEntryHeaderSize = 40, kEntrySizeAt = 4, kEntryFlagsAt = 8,
                      kEntrySequenceAt = 12, kEntryBinsSizeAt = 16, kEntryPagesAt = 20,
                      kEntryHash1At = 24, kEntryHash2At = 32, kEntryHashedHeader = 32,
                      kPageReferenceSize = 8;
// Only this bit of the base block's flags travels in a log entry.
constexpr std::uint32_t kLoggedFlags = 1;
// Marvin32's seed for log entries, the bytes 82 EF 4D 88 7A 4E 55 C5 read as one number.
constexpr std::uint64_t kMarvinSeed = 0x82EF4D887A4E55C5ull;

std::uint32_t Checksum(std::string_view base) {
    return HeaderChecksum(BytesAt(base, 0));
}

bool HasValidHeader(std::string_view bytes) {
    return bytes.size() >= kLogHeaderSize && bytes.starts_with("regf") &&
           Checksum(bytes) == Le32(bytes, kChecksumAt);
}

std::uint32_t RotateLeft(std::uint32_t value, int bits) {
    return value << bits | value >> (32 - bits);
}

// Marvin32, the hash Windows checks each new-format log entry with.
std::uint64_t Marvin32(std::string_view data) {
    std::uint32_t low = static_cast<std::uint32_t>(kMarvinSeed);
    std::uint32_t high = static_cast<std::uint32_t>(kMarvinSeed >> 32);
    const auto mix = [&low, &high] {
        high ^= low;
        low = RotateLeft(low, 20);
        low += high;
        high = RotateLeft(high, 9);
        high ^= low;
        low = RotateLeft(low, 27);
        low += high;
        high = RotateLeft(high, 19);
    };
    std::size_t at = 0;
    for (; at + 4 <= data.size(); at += 4) {
        low += Le32(data, at);
        mix();
    }
    std::uint32_t last = 0x80;
    for (std::size_t i = data.size(); i > at; --i) {
        last = last << 8 | static_cast<unsigned char>(data[i - 1]);
    }
    low += last;
    mix();
    mix();
    return static_cast<std::uint64_t>(high) << 32 | low;
}

std::size_t RoundUp(std::size_t size, std::size_t unit) {
    return (size + unit - 1) / unit * unit;
}

// A log may grow the hive only as far as the pages it writes reach: a size beyond them is
// damage, and is not allocated.
bool GrowsOnlyByLoggedPages(std::size_t hiveSize, std::uint64_t binsSize, std::uint64_t reach) {
    return kBaseBlockSize + binsSize <=
           std::max<std::uint64_t>(hiveSize, kBaseBlockSize + RoundUp(reach, kBinAlignment));
}

bool IsOldLog(std::string_view log) {
    const std::uint32_t type = Le32(log, kFileTypeAt);
    return type == kOldLogXp || type == kOldLog2000;
}

// A log is whole when its copy of the header checks out and its two sequence numbers agree.
bool IsWholeLog(std::string_view log) {
    return HasValidHeader(log) &&
           Le32(log, kPrimarySequenceAt) == Le32(log, kSecondarySequenceAt) &&
           (IsOldLog(log) || Le32(log, kFileTypeAt) == kNewLog);
}

// The entries of a new-format log that are whole, in file order, up to the first that is
// not (Windows stops there).
std::vector<std::size_t> WholeEntries(std::string_view log) {
    std::vector<std::size_t> entries;
    if (!IsWholeLog(log) || Le32(log, kFileTypeAt) != kNewLog) {
        return entries;
    }
    std::size_t at = kLogHeaderSize;
    while (at + kEntryHeaderSize <= log.size() && log.substr(at, kLogEntry.size()) == kLogEntry) {
        const std::uint32_t size = Le32(log, at + kEntrySizeAt);
        const std::uint32_t binsSize = Le32(log, at + kEntryBinsSizeAt);
        if (size < kEntryHeaderSize || size % kLogHeaderSize != 0 || size > log.size() - at ||
            binsSize % kBinAlignment != 0 || binsSize >= kLargestHive ||
            Marvin32(log.substr(at + kEntryHeaderSize, size - kEntryHeaderSize)) !=
                Le64(log, at + kEntryHash1At) ||
            Marvin32(log.substr(at, kEntryHashedHeader)) != Le64(log, at + kEntryHash2At)) {
            break;
        }
        entries.push_back(at);
        at += size;
    }
    return entries;
}

// A whole log whose last write is older than the hive's last save: left by an earlier session,
// it has nothing to bring.
bool IsStaleLog(std::string_view log, std::string_view hive) {
    if (!IsWholeLog(log) || !HasValidHeader(hive)) {
        return false;
    }
    const std::uint32_t saved = Le32(hive, kSecondarySequenceAt);
    if (IsOldLog(log)) {
        return Le32(log, kPrimarySequenceAt) < saved;
    }
    const std::vector<std::size_t> entries = WholeEntries(log);
    return !entries.empty() && Le32(log, entries.back() + kEntrySequenceAt) < saved;
}

class Repairer {
  public:
    explicit Repairer(std::string& hive) : hive_(hive), validBase_(HasValidHeader(hive)) {}

    bool IsDirty() const {
        return !validBase_ || Le32(hive_, kPrimarySequenceAt) != Le32(hive_, kSecondarySequenceAt);
    }
    bool HasValidBase() const { return validBase_; }

    // An old-format log (Windows XP's .LOG, Vista's and 7's .LOG1/.LOG2): its dirty pages
    // written where they belong. false, the hive untouched, when it cannot be applied.
    bool ApplyOldLog(std::string_view log) {
        if (!IsOldLog(log) || !BelongsToHive(log)) {
            return false;
        }
        const std::uint64_t binsSize = Le32(log, kBinsSizeAt);
        const std::size_t pages = binsSize / kPageSize;
        const std::size_t bitmapAt = kLogHeaderSize + kDirtyVector.size();
        const std::size_t bitmapSize = RoundUp(pages, 8) / 8;
        if (binsSize % kBinAlignment != 0 || binsSize == 0 || binsSize >= kLargestHive ||
            log.size() < bitmapAt + bitmapSize ||
            log.substr(kLogHeaderSize, kDirtyVector.size()) != kDirtyVector) {
            return false;
        }
        // Every dirty page must be in the log, and the hive may grow only by pages it holds.
        const std::size_t pagesAt = RoundUp(bitmapAt + bitmapSize, kLogHeaderSize);
        std::vector<std::size_t> dirty;
        for (std::size_t page = 0; page < pages; ++page) {
            if ((static_cast<unsigned char>(log[bitmapAt + page / 8]) >> (page % 8) & 1) != 0) {
                dirty.push_back(page);
            }
        }
        const std::size_t reach = dirty.empty() ? 0 : (dirty.back() + 1) * kPageSize;
        if (pagesAt + dirty.size() * kPageSize > log.size() ||
            !GrowsOnlyByLoggedPages(hive_.size(), binsSize, reach)) {
            return false;
        }
        std::string recovered = hive_;
        recovered.resize(std::max<std::size_t>(recovered.size(), kBaseBlockSize + binsSize));
        for (std::size_t i = 0; i < dirty.size(); ++i) {
            const std::string_view page = log.substr(pagesAt + i * kPageSize, kPageSize);
            const std::size_t at = kBaseBlockSize + dirty[i] * kPageSize;
            // A bin that starts in a dirty page must say where it is: Windows stops there.
            if (page.starts_with("hbin") && (Le32(page, kBinOffsetAt) != dirty[i] * kPageSize ||
                                             Le32(page, kBinSizeAt) < kBinAlignment)) {
                break;
            }
            recovered.replace(at, kPageSize, page);
        }
        hive_ = std::move(recovered);
        FinishRecovery(log, Le32(log, kPrimarySequenceAt), Le32(log, kBinsSizeAt),
                       Le32(hive_, kFlagsAt));
        return true;
    }

    // New-format logs (Windows 8.1 and later): the entries that follow the hive's last save,
    // in sequence across both logs. Returns the names of the logs whose entries were applied.
    std::vector<std::string> ApplyNewLogs(const std::vector<const HiveLog*>& logs) {
        struct Chain {
            const HiveLog* Log;
            std::vector<std::size_t> Entries; // where each whole entry starts, in order
        };
        std::vector<Chain> chains;
        for (const HiveLog* log : logs) {
            Chain chain{log, WholeEntries(log->Bytes)};
            if (!chain.Entries.empty()) {
                chains.push_back(std::move(chain));
            }
        }
        if (chains.empty()) {
            return {};
        }
        const auto firstSequence = [](const Chain& chain) {
            return Le32(chain.Log->Bytes, chain.Entries.front() + kEntrySequenceAt);
        };
        std::sort(chains.begin(), chains.end(), [&](const Chain& a, const Chain& b) {
            return firstSequence(a) < firstSequence(b);
        });
        // With a damaged header, only the log holding the latest entries is used, and the
        // header comes from it.
        if (!validBase_) {
            chains.erase(chains.begin(), chains.end() - 1);
            RestoreBaseFrom(chains.front().Log->Bytes);
        }
        std::string recovered = hive_;
        std::optional<std::uint32_t> next;
        std::string_view lastEntry;
        std::vector<std::string> used;
        for (const Chain& chain : chains) {
            const std::string_view bytes = chain.Log->Bytes;
            bool usedThis = false;
            for (std::size_t at : chain.Entries) {
                const std::uint32_t sequence = Le32(bytes, at + kEntrySequenceAt);
                if (!next) {
                    // The first entry to apply is the one the log's header names, and no older
                    // than the hive's last save.
                    if (sequence != Le32(bytes, kPrimarySequenceAt) ||
                        sequence < Le32(hive_, kSecondarySequenceAt)) {
                        continue;
                    }
                } else if (sequence != *next) {
                    continue;
                }
                if (!ApplyEntry(bytes.substr(at, Le32(bytes, at + kEntrySizeAt)), recovered)) {
                    break;
                }
                lastEntry = bytes.substr(at);
                next = sequence + 1;
                usedThis = true;
            }
            if (usedThis) {
                used.push_back(chain.Log->Name);
            }
        }
        if (used.empty()) {
            return {};
        }
        hive_ = std::move(recovered);
        const std::uint32_t flags = (Le32(hive_, kFlagsAt) & ~kLoggedFlags) |
                                    (Le32(lastEntry, kEntryFlagsAt) & kLoggedFlags);
        FinishRecovery({}, *next - 1, Le32(lastEntry, kEntryBinsSizeAt), flags);
        return used;
    }

    // A wrong header checksum, when nothing else is wrong with the header: set right.
    bool FixChecksum() {
        if (hive_.size() < kBaseBlockSize || !hive_.starts_with("regf") ||
            Checksum(hive_) == Le32(hive_, kChecksumAt)) {
            return false;
        }
        PutLe32(hive_, kChecksumAt, Checksum(hive_));
        validBase_ = true;
        return true;
    }

    // A hive cut short (recovered from a failing disk, carved from free space) keeps its whole
    // bins and, of the bin the cut runs through, the cells that lie whole before it; the rest of
    // that bin's last page becomes one free cell, and the header says where the bins now end.
    // Returns what was done, or nothing when the file holds all its header says.
    std::optional<std::string> MendCut() {
        const std::size_t cut = hive_.size();
        if (!validBase_ || cut < kBaseBlockSize ||
            cut >= kBaseBlockSize + std::size_t{Le32(hive_, kBinsSizeAt)}) {
            return std::nullopt;
        }
        const std::size_t declared = kBaseBlockSize + Le32(hive_, kBinsSizeAt);
        std::size_t last = cut / kBinAlignment * kBinAlignment;
        while (last > kBaseBlockSize && !IsBinAt(last)) {
            last -= kBinAlignment;
        }
        std::size_t end = kBaseBlockSize;
        if (IsBinAt(last)) {
            const std::size_t size = Le32(hive_, last + kBinSizeAt);
            end = last + size <= cut && size >= kBinAlignment ? last + size : KeepWholeCells(last);
        }
        hive_.resize(end);
        PutLe32(hive_, kBinsSizeAt, static_cast<std::uint32_t>(end - kBaseBlockSize));
        PutLe32(hive_, kChecksumAt, Checksum(hive_));
        return "fichier coupé à l'offset " + Hex(cut) + ", avant la fin que son en-tête annonce (" +
               Hex(declared) + ") : lus ses blocs entiers et les cellules entières du dernier, " +
               "jusqu'à l'offset " + Hex(end);
    }

    // Hive bins whose size field is damaged get the size up to the next bin, or to the end.
    std::vector<std::string> FixBinSizes() {
        std::vector<std::string> fixed;
        // The bins end where the header says; what lies beyond is slack Windows left.
        const std::size_t end = std::min<std::size_t>(
            hive_.size() / kBinAlignment * kBinAlignment,
            validBase_ ? kBaseBlockSize + Le32(hive_, kBinsSizeAt) : hive_.size());
        std::size_t at = kBaseBlockSize;
        while (at + kBinAlignment <= end && IsBinAt(at)) {
            const std::uint32_t size = Le32(hive_, at + kBinSizeAt);
            if (size >= kBinAlignment && size % kBinAlignment == 0 && size <= end - at &&
                (at + size == end || IsBinAt(at + size))) {
                at += size;
                continue;
            }
            std::size_t next = at + kBinAlignment;
            while (next < end && !IsBinAt(next)) {
                next += kBinAlignment;
            }
            PutLe32(hive_, at + kBinSizeAt, static_cast<std::uint32_t>(next - at));
            fixed.push_back("taille du bloc de ruche à l'offset " + Hex(at) + " endommagée");
            at = next;
        }
        return fixed;
    }

  private:
    // A valid old log belongs to the hive when it was written at the hive's last save: its
    // timestamp is the hive's. A hive whose header is damaged has no timestamp to compare.
    bool BelongsToHive(std::string_view log) const {
        return !validBase_ || Le64(log, kTimestampAt) == Le64(hive_, kTimestampAt);
    }

    bool IsBinAt(std::size_t at) const {
        return std::string_view(hive_).substr(at, 4) == "hbin" &&
               Le32(hive_, at + kBinOffsetAt) == at - kBaseBlockSize;
    }

    // The bin at `bin`, cut by the end of the file, shrunk to the pages its whole cells need;
    // returns where it now ends (`bin` itself when no cell of it is whole).
    std::size_t KeepWholeCells(std::size_t bin) {
        const std::size_t cut = hive_.size();
        const std::size_t size = Le32(hive_, bin + kBinSizeAt);
        const std::size_t binEnd =
            size >= kBinAlignment && size % kBinAlignment == 0 ? bin + size : cut;
        std::size_t cell = bin + kBinHeaderSize;
        while (cell + 4 <= cut) {
            const auto stored = static_cast<std::int32_t>(Le32(hive_, cell));
            const std::size_t length = stored < 0 ? 0 - static_cast<std::size_t>(stored)
                                                  : static_cast<std::size_t>(stored);
            if (length < kSmallestCell || length % kCellAlignment != 0 || length > cut - cell ||
                length > binEnd - cell) {
                break;
            }
            cell += length;
        }
        if (cell == bin + kBinHeaderSize) {
            return bin;
        }
        std::size_t end = RoundUp(cell, kBinAlignment);
        if (end - cell != 0 && end - cell < kSmallestCell) {
            end += kBinAlignment;
        }
        hive_.resize(end);
        std::fill(hive_.begin() + static_cast<std::ptrdiff_t>(cell), hive_.end(), '\0');
        if (end != cell) {
            PutLe32(hive_, cell, static_cast<std::uint32_t>(end - cell)); // free
        }
        PutLe32(hive_, bin + kBinSizeAt, static_cast<std::uint32_t>(end - bin));
        return end;
    }

    static std::string Hex(std::size_t value) {
        static constexpr char kDigits[] = "0123456789ABCDEF";
        std::string text;
        do {
            text.insert(text.begin(), kDigits[value % 16]);
            value /= 16;
        } while (value != 0);
        return "0x" + text;
    }

    // Writes one entry's pages into `hive`, grown to the entry's size; false, `hive` as it was
    // before it, when a page lies outside the entry or the hive.
    static bool ApplyEntry(std::string_view entry, std::string& hive) {
        const std::uint64_t binsSize = Le32(entry, kEntryBinsSizeAt);
        const std::uint64_t pages = Le32(entry, kEntryPagesAt);
        if (kEntryHeaderSize + pages * kPageReferenceSize > entry.size()) {
            return false;
        }
        std::size_t dataAt = kEntryHeaderSize + pages * kPageReferenceSize;
        std::uint64_t reach = 0;
        for (std::uint64_t i = 0; i < pages; ++i) {
            const std::size_t reference = kEntryHeaderSize + i * kPageReferenceSize;
            reach = std::max<std::uint64_t>(reach, std::uint64_t{Le32(entry, reference)} +
                                                       Le32(entry, reference + 4));
        }
        if (!GrowsOnlyByLoggedPages(hive.size(), binsSize, reach)) {
            return false;
        }
        std::string grown = hive;
        grown.resize(std::max<std::size_t>(grown.size(), kBaseBlockSize + binsSize));
        for (std::uint64_t i = 0; i < pages; ++i) {
            const std::size_t reference = kEntryHeaderSize + i * kPageReferenceSize;
            const std::uint64_t offset = Le32(entry, reference);
            const std::uint64_t size = Le32(entry, reference + 4);
            if (size > entry.size() - dataAt || offset + size > binsSize) {
                return false;
            }
            grown.replace(kBaseBlockSize + offset, size, entry.substr(dataAt, size));
            dataAt += size;
        }
        hive = std::move(grown);
        return true;
    }

    // A header damaged in the hive is taken from the log's copy of its first sector.
    void RestoreBaseFrom(std::string_view log) {
        hive_.replace(0, kLogHeaderSize, log.substr(0, kLogHeaderSize));
    }

    // The header of a hive brought to its last state: one sequence number, the size the log
    // gives (the file cut or grown to it), a primary file again, its checksum.
    void FinishRecovery(std::string_view oldLog, std::uint32_t sequence, std::uint32_t binsSize,
                        std::uint32_t flags) {
        if (!validBase_ && !oldLog.empty()) {
            RestoreBaseFrom(oldLog);
        }
        hive_.resize(kBaseBlockSize + binsSize);
        PutLe32(hive_, kPrimarySequenceAt, sequence);
        PutLe32(hive_, kSecondarySequenceAt, sequence);
        PutLe32(hive_, kFileTypeAt, kPrimaryFile);
        PutLe32(hive_, kBinsSizeAt, binsSize);
        PutLe32(hive_, kFlagsAt, flags);
        PutLe32(hive_, kChecksumAt, Checksum(hive_));
        validBase_ = true;
    }

    std::string& hive_;
    bool validBase_;
};

} // namespace

bool HiveNeedsRepair(std::string_view baseBlock) {
    return baseBlock.size() >= kLogHeaderSize && baseBlock.starts_with("regf") &&
           (!HasValidHeader(baseBlock) ||
            Le32(baseBlock, kPrimarySequenceAt) != Le32(baseBlock, kSecondarySequenceAt));
}

std::vector<std::string> HiveLogNames(const std::string& hiveName) {
    return {hiveName + ".LOG1", hiveName + ".LOG2", hiveName + ".LOG"};
}

HiveRepair RepairHive(std::string& hive, const std::vector<HiveLog>& logs) {
    HiveRepair repair;
    if (hive.size() < kBaseBlockSize || !hive.starts_with("regf")) {
        return repair;
    }
    Repairer repairer(hive);
    const bool dirty = repairer.IsDirty();
    const bool sequencesDiffer = Le32(hive, kPrimarySequenceAt) != Le32(hive, kSecondarySequenceAt);
    std::vector<const HiveLog*> present;
    for (const HiveLog& log : logs) {
        if (!log.Bytes.empty()) {
            present.push_back(&log);
        }
    }
    if (dirty && !present.empty()) {
        std::vector<const HiveLog*> newLogs;
        for (const HiveLog* log : present) {
            if (IsWholeLog(log->Bytes) && Le32(log->Bytes, kFileTypeAt) == kNewLog) {
                newLogs.push_back(log);
            } else if (repair.LogsApplied.empty() && IsWholeLog(log->Bytes) &&
                       repairer.ApplyOldLog(log->Bytes)) {
                repair.LogsApplied.push_back(log->Name);
            }
        }
        if (repair.LogsApplied.empty() && !newLogs.empty()) {
            repair.LogsApplied = repairer.ApplyNewLogs(newLogs);
        }
        for (const HiveLog* log : present) {
            if (std::find(repair.LogsApplied.begin(), repair.LogsApplied.end(), log->Name) ==
                repair.LogsApplied.end()) {
                (IsStaleLog(log->Bytes, hive) ? repair.LogsStale : repair.LogsRefused)
                    .push_back(log->Name);
            }
        }
    }
    // A hive whose only fault is its header's checksum was not left open: its logs, if none
    // applies, are no news; the damage is what the warning names.
    if (!repair.LogsApplied.empty()) {
        repair.State = HiveRepair::Logs::Applied;
    } else if (sequencesDiffer) {
        repair.State = present.empty() ? HiveRepair::Logs::None : HiveRepair::Logs::NotApplied;
    }
    if (repair.LogsApplied.empty() && repairer.FixChecksum()) {
        repair.DamageWorkedAround.push_back("somme de contrôle de l'en-tête fausse");
    }
    if (repair.LogsApplied.empty()) {
        if (std::optional<std::string> cut = repairer.MendCut()) {
            repair.DamageWorkedAround.push_back(std::move(*cut));
            repair.CutShort = true;
        }
    }
    for (std::string& fixed : repairer.FixBinSizes()) {
        repair.DamageWorkedAround.push_back(std::move(fixed));
    }
    repair.Changed = !repair.LogsApplied.empty() || !repair.DamageWorkedAround.empty();
    return repair;
}

} // namespace quillon
