// The blocks of a dynamic Virtual PC disk (VHD), read through its block table.
#pragma once

#include "files/random_access_file.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quillon {

class VhdBlocks {
  public:
    // nullptr when the file at `path` is not a dynamic VHD (fixed and differencing disks are
    // read by libvhdi alone) or its table cannot be read.
    static std::unique_ptr<VhdBlocks> Open(const std::string& path);

    // The disk's size, from the footer's copy at the file's start.
    std::uint64_t Size() const { return diskSize_; }
    // Whether the footer at the file's end is its start's copy, as a whole disk's is.
    bool FooterWhole() const;
    // Whether every block the table names lies whole in the file: not, when it was cut short.
    bool BlocksInFile() const;
    // The disk's bytes at `offset`: how many were read, or -1 when they cannot be read.
    std::int64_t Read(std::uint64_t offset, char* buffer, std::size_t length) const;

  private:
    explicit VhdBlocks(const std::string& path) : file_(path) {}
    bool ReadTable();
    bool ReadInBlock(std::uint64_t offset, char* buffer, std::size_t length) const;

    RandomAccessFile file_;
    std::uint64_t diskSize_ = 0;
    std::uint32_t blockSize_ = 0;
    std::uint32_t bitmapSize_ = 0; // the sector bitmap before each block, whole sectors
    std::vector<std::uint32_t> table_;
};

} // namespace quillon
