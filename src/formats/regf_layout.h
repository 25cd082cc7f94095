// The layout of a regf hive that both its cell reader and its log replay rely on: the base
// block's fields, the hive bins' header, the cells' alignment, and the header's checksum, from
// the published description of the format.
#pragma once

#include "files/byte_order.h"

#include <cstddef>
#include <cstdint>

namespace quillon::regf {

// The base block: the file's first 4 KiB; cell offsets count from its end.
inline constexpr std::size_t kBaseBlockSize = 0x1000;
inline constexpr std::size_t kPrimarySequenceAt = 0x04, kSecondarySequenceAt = 0x08,
                             kTimestampAt = 0x0C, kMajorVersionAt = 0x14, kFileTypeAt = 0x1C,
                             kRootCellAt = 0x24, kBinsSizeAt = 0x28, kFlagsAt = 0x90,
                             kChecksumAt = 0x1FC;

// Hive bins start and grow by pages; each begins "hbin", its offset from the first bin, its size.
inline constexpr std::size_t kBinAlignment = 0x1000, kBinHeaderSize = 0x20, kBinOffsetAt = 0x04,
                             kBinSizeAt = 0x08;
// Cells lie on 4-byte boundaries, each starting with its size (negative while allocated).
inline constexpr std::size_t kCellAlignment = 4;

// The base block's checksum: its first 508 bytes XORed as 32-bit words. Windows never stores 0
// or all ones: it writes 1 and 0xFFFFFFFE for them.
inline std::uint32_t HeaderChecksum(const unsigned char* base) {
    constexpr std::uint32_t kAllOnes = 0xFFFFFFFF;
    std::uint32_t sum = 0;
    for (std::size_t at = 0; at < kChecksumAt; at += 4) {
        sum ^= Le32(base + at);
    }
    return sum == kAllOnes ? kAllOnes - 1 : sum == 0 ? 1 : sum;
}

} // namespace quillon::regf
