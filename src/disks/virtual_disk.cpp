#include "disks/virtual_disk.h"

#include <algorithm>

namespace quillon {

std::int64_t ReadBlockByBlock(
    std::uint64_t offset, char* buffer, std::size_t length, std::uint64_t size,
    std::uint64_t blockSize,
    const std::function<bool(std::uint64_t at, char* into, std::size_t count)>& readInBlock) {
    if (offset >= size) {
        return 0;
    }
    length = static_cast<std::size_t>(std::min<std::uint64_t>(length, size - offset));
    std::size_t done = 0;
    while (done < length) {
        const std::uint64_t at = offset + done;
        const std::size_t part = static_cast<std::size_t>(
            std::min<std::uint64_t>(length - done, blockSize - at % blockSize));
        if (!readInBlock(at, buffer + done, part)) {
            return -1;
        }
        done += part;
    }
    return static_cast<std::int64_t>(done);
}

} // namespace quillon
