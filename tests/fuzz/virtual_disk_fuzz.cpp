// Virtual machine disks as --image opens them (VDI by our own reader; VMDK, VHD, VHDX and QCOW
// through their libraries): the header, then reads across the disk, as The Sleuth Kit makes them.
#include "fuzz_support.h"
#include "disks/open_virtual_disk.h"

#include <algorithm>
#include <vector>

namespace {

// Reads at the start, across the middle and at the end of the disk, and one read past its end;
// a disk may claim terabytes, so only these few places are read.
constexpr std::size_t kReadSize = 64 * 1024;
constexpr int kPlaces = 8;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillon;
    const std::string path = fuzz::WriteScratchFile("disk", fuzz::BytesOf(data, size));
    std::string error;
    std::unique_ptr<VirtualDisk> disk = OpenVirtualDisk(path, error);
    if (disk == nullptr) {
        return 0;
    }
    std::vector<char> buffer(kReadSize);
    const std::uint64_t length = disk->Size();
    for (int place = 0; place <= kPlaces; ++place) {
        const std::uint64_t offset = length / kPlaces * static_cast<std::uint64_t>(place);
        disk->Read(offset - std::min<std::uint64_t>(offset, kReadSize / 2), buffer.data(),
                   buffer.size());
    }
    return 0;
}
