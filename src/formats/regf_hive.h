// Registry hive files (regf) read in place: a key's subkeys, values and data found from their
// cells only when they are asked for.
#pragma once

#include "files/mapped_file.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quillon {

// An open hive file, mapped read-only. Cells are named by their offset in the file, as
// libhivex names its nodes and values. Every offset read from the file is checked: a cell is
// used only if the walk of the hive's bins found it there, allocated.
class RegfHive {
  public:
    using Cell = std::uint32_t;

    enum class Opened { Read, Damaged, Failed };
    // Opens the hive at `path`. A strict open refuses any damaged bin; a lenient one passes
    // over what it cannot read, as far as the file allows (Damaged). On Failed, `errorCode`
    // is an errno value: the file's own, or EINVAL when it is not a readable hive.
    static std::unique_ptr<RegfHive> Open(const std::string& path, bool lenient, int& errorCode);
    ~RegfHive();
    RegfHive(const RegfHive&) = delete;
    RegfHive& operator=(const RegfHive&) = delete;

    Cell Root() const { return root_; }
    // Whether damage is passed over: opened leniently, or a damaged cell met since in a bin
    // read later (the bins' cells are walked when first needed, not on opening).
    bool Lenient() const { return lenient_; }

    // The key's subkeys in the hive's order; false when its list cannot be read.
    bool Subkeys(Cell key, std::vector<Cell>& subkeys) const;
    // The key's value cells in the hive's order; false when its list cannot be read.
    bool Values(Cell key, std::vector<Cell>& values) const;

    // A name as stored: Latin-1 bytes, or UTF-16LE when `utf16`.
    struct Name {
        std::string_view Bytes;
        bool Utf16 = false;
    };
    // A key's or value's name; false when the cell is not one or its name overflows it.
    bool KeyName(Cell key, Name& name) const;
    bool ValueName(Cell value, Name& name) const;
    // A value's type and data; false when the data cannot be read. Without `data`, only
    // whether it can be.
    bool ValueData(Cell value, std::uint32_t& type, std::vector<std::uint8_t>* data) const;

  private:
    explicit RegfHive(std::unique_ptr<MappedFile> file)
        : file_(std::move(file)), bytes_(file_->Bytes()), size_(file_->Size()) {}
    struct Bin {
        std::size_t Start, Size;
    };
    bool WalkBins(bool lenient);
    bool RootReadable();
    // Gives back the mapped pages before `walkedTo` that the walk of the headers has read.
    void ReleaseWalkedPages(std::size_t walkedTo);
    std::size_t BinStart(std::size_t offset) const;
    Bin BinAt(std::size_t start) const;
    std::size_t StoredLength(std::size_t cell) const;
    using CellMap = std::vector<std::uint64_t>;
    struct RecentMap;
    RecentMap& RecentMapOf(std::size_t binStart) const;
    const CellMap& CellsOf(std::size_t binStart) const;
    void WalkCells(const Bin& bin, CellMap& used) const;
    bool IsUsedCell(std::size_t offset) const;
    bool IsKey(std::size_t offset) const;
    bool IsValue(std::size_t offset) const;
    std::size_t CellAt(std::size_t field) const;
    struct NameFields {
        std::size_t Name, Length, Flags;
        std::uint16_t Compressed; // the flag of a Latin-1 name
    };
    bool StoredName(std::size_t cell, NameFields fields, Name& name) const;
    bool IsCell(std::size_t offset, std::string_view signature) const;
    std::size_t CellLength(std::size_t offset) const;
    std::uint32_t U32(std::size_t offset) const;
    std::uint16_t U16(std::size_t offset) const;
    bool CollectSubkeys(std::size_t list, std::size_t limit, int depth,
                        std::vector<Cell>& subkeys) const;
    bool AddSubkey(std::size_t offset, std::size_t limit, std::vector<Cell>& subkeys) const;
    bool BigData(std::size_t cell, std::size_t length, std::vector<std::uint8_t>* data) const;

    std::unique_ptr<MappedFile> file_;
    const std::uint8_t* bytes_; // the file's, read in place
    std::size_t size_;
    mutable bool lenient_ = false;
    Cell root_ = 0;
    static constexpr std::uint32_t kNoBin = ~std::uint32_t{0};
    static constexpr std::size_t kNoBinStart = ~std::size_t{0}; // an offset no bin starts at
    // The page where each 4 KB page's bin starts, kNoBin where none does: the only table as big
    // as the hive, a thousandth of its size.
    std::vector<std::uint32_t> binOfPage_;
    // Where the allocated cells of the bins walked last start, one bit per 4-byte position, by
    // the bin's start; the oldest are dropped beyond a bounded size, and walked again if needed,
    // so that reading a hive of any size takes the same memory beside its mapping.
    mutable std::unordered_map<std::size_t, CellMap> cellMaps_;
    mutable std::deque<std::size_t> walkedBins_; // their starts, oldest first
    mutable std::size_t cellMapBytes_ = 0;
    // The maps last asked for, found without a search: the cells of one key lie in a few bins.
    struct RecentMap {
        std::size_t Start = kNoBinStart;
        const CellMap* Cells = nullptr;
    };
    mutable std::array<RecentMap, 64> recentMaps_{}; // by the bin's page, modulo their count
    std::size_t released_ = 0;
};

} // namespace quillon
