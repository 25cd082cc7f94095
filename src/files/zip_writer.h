// A zip archive written as its files are added: stored as they are (no compression, so that
// the archive holds the very bytes of each file), names in UTF-8, and the ZIP64 records where a
// size or an offset outgrows the classic ones.
#pragma once

#include "files/file_error.h"
#include "files/output_file.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quillon {

// Sizes and offsets from this value on are written in the ZIP64 records.
inline constexpr std::uint64_t kZipClassicLimit = 0xFFFFFFFF;

class ZipWriter {
  public:
    // `classicLimit` is lowered only by the tests, to check the ZIP64 records on small files.
    explicit ZipWriter(OutputFile& out, std::uint64_t classicLimit = kZipClassicLimit)
        : out_(out), classicLimit_(classicLimit) {}

    // Adds the file at the native path `path` under `name` ('/' between folders, UTF-8).
    bool AddFile(const std::string& name, const std::string& path, FileError& error);
    // Writes the central directory; the caller then closes the output.
    void Finish();

  private:
    struct Entry {
        std::string Name;
        std::uint32_t Crc = 0;
        std::uint64_t Size = 0;
        std::uint64_t HeaderAt = 0;
    };
    void Put(const std::string& bytes);

    OutputFile& out_;
    std::uint64_t classicLimit_;
    std::uint64_t written_ = 0;
    std::vector<Entry> entries_;
};

// The CRC-32 of zip archives (and of PNG, Ethernet...) of `bytes`, continuing from `crc`.
std::uint32_t Crc32(std::string_view bytes, std::uint32_t crc = 0);

} // namespace quillon
