// A regf hive built byte by byte for the readers' cases: its cells appended one after the other
// in one bin or more, the base block written to match.
#pragma once

#include "files/byte_order.h"
#include "formats/regf_layout.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace quillon::test {

// A hive of one bin or more, its cells appended one after the other; `Bytes` closes the last bin
// with a free cell and gives the whole file.
class HiveBuilder {
  public:
    // Appends a cell of `body` (what follows its size field) and gives its offset, as cells
    // name each other: from the end of the base block.
    std::uint32_t Cell(const std::string& body) {
        constexpr std::size_t kCellRound = 8;
        const auto offset =
            static_cast<std::uint32_t>(closed_.size() + regf::kBinHeaderSize + cells_.size());
        const std::size_t length = (body.size() + 4 + kCellRound - 1) / kCellRound * kCellRound;
        std::string cell(length, '\0');
        PutLe32(cell, 0, static_cast<std::uint32_t>(-static_cast<std::int32_t>(length)));
        cell.replace(4, body.size(), body);
        cells_ += cell;
        return offset;
    }
    // A key cell named `name` with its subkey list and value list.
    std::uint32_t Key(const std::string& name, std::uint32_t subkeys, std::uint32_t subkeyList,
                      std::uint32_t values, std::uint32_t valueList) {
        std::string body(0x4C + name.size(), '\0');
        body.replace(0, 2, "nk");
        PutLe16(body, 0x02, 0x20); // a Latin-1 name
        PutLe32(body, 0x14, subkeys);
        PutLe32(body, 0x1C, subkeyList);
        PutLe32(body, 0x24, values);
        PutLe32(body, 0x28, valueList);
        PutLe16(body, 0x48, static_cast<std::uint16_t>(name.size()));
        body.replace(0x4C, name.size(), name);
        return Cell(body);
    }
    // A value cell: its data in the cell when `inCell`, else at `dataCell`.
    std::uint32_t Value(const std::string& name, std::uint32_t type, std::uint32_t length,
                        std::uint32_t dataOrCell, bool inCell) {
        constexpr std::uint32_t kDataInCell = 0x80000000u;
        std::string body(0x14 + name.size(), '\0');
        body.replace(0, 2, "vk");
        PutLe16(body, 0x02, static_cast<std::uint16_t>(name.size()));
        PutLe32(body, 0x04, length | (inCell ? kDataInCell : 0));
        PutLe32(body, 0x08, dataOrCell);
        PutLe32(body, 0x0C, type);
        PutLe16(body, 0x10, 1); // a Latin-1 name
        body.replace(0x14, name.size(), name);
        return Cell(body);
    }
    // A list cell: its signature ("lf", "li", "ri" or "" for a value list) and its entries.
    std::uint32_t List(const std::string& signature, const std::vector<std::uint32_t>& entries) {
        const bool pairs = signature == "lf" || signature == "lh";
        const std::size_t header = signature.empty() ? 0 : 4;
        std::string body(header + entries.size() * (pairs ? 8 : 4), '\0');
        if (!signature.empty()) {
            body.replace(0, 2, signature);
            PutLe16(body, 2, static_cast<std::uint16_t>(entries.size()));
        }
        for (std::size_t i = 0; i < entries.size(); ++i) {
            PutLe32(body, header + i * (pairs ? 8 : 4), entries[i]);
        }
        return Cell(body);
    }
    void SetRoot(std::uint32_t root) { root_ = root; }
    // Closes the bin, at least `size` bytes long, and starts another: the cells appended next
    // go in it.
    void NewBin(std::size_t size = 0) {
        closed_ += Bin(size, 0);
        cells_.clear();
    }
    // The last bin's size field, for damage.
    std::uint32_t BinSize = 0;

    std::string Bytes() const {
        const std::string bins = closed_ + Bin(0, BinSize);
        std::string base(regf::kBaseBlockSize, '\0');
        base.replace(0, 4, "regf");
        PutLe32(base, regf::kPrimarySequenceAt, 1);
        PutLe32(base, regf::kSecondarySequenceAt, 1);
        PutLe32(base, regf::kMajorVersionAt, 1);
        PutLe32(base, regf::kMajorVersionAt + 4, 5);
        PutLe32(base, regf::kRootCellAt, root_);
        PutLe32(base, regf::kBinsSizeAt, static_cast<std::uint32_t>(bins.size()));
        PutLe32(base, regf::kChecksumAt, regf::HeaderChecksum(BytesAt(base, 0)));
        return base + bins;
    }

  private:
    // The open bin, closed with a free cell up to its end, at least `size` bytes long, its size
    // field `sizeField` when not 0.
    std::string Bin(std::size_t size, std::uint32_t sizeField) const {
        const std::size_t used = regf::kBinHeaderSize + cells_.size();
        const std::size_t binSize = std::max(size, (used + 8 + regf::kBinAlignment - 1) /
                                                       regf::kBinAlignment * regf::kBinAlignment);
        std::string bin(binSize, '\0');
        bin.replace(0, 4, "hbin");
        PutLe32(bin, regf::kBinOffsetAt, static_cast<std::uint32_t>(closed_.size()));
        PutLe32(bin, regf::kBinSizeAt,
                sizeField != 0 ? sizeField : static_cast<std::uint32_t>(binSize));
        bin.replace(regf::kBinHeaderSize, cells_.size(), cells_);
        PutLe32(bin, used, static_cast<std::uint32_t>(binSize - used)); // free to the end
        return bin;
    }

    std::string closed_; // the bins closed so far, whole
    std::string cells_;
    std::uint32_t root_ = 0;
};

} // namespace quillon::test
