// A regular file mapped whole into memory, read only: the hive reader reads its cells in place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace quillon {

class MappedFile {
  public:
    // The regular file at `path`, mapped; nullptr with an errno value in `errorCode` when it
    // cannot be (EINVAL for an empty file, a device, a FIFO or a folder: a FIFO would be waited
    // on). The mapping outlives the file's name: a private copy can be deleted at once.
    static std::unique_ptr<MappedFile> Open(const std::string& path, int& errorCode);
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    const std::uint8_t* Bytes() const { return bytes_; }
    std::size_t Size() const { return size_; }
    // Gives back the memory of the pages in [from, to) that were read: asked for again, they
    // are read again from the file. Where the system cannot, they stay until it needs them.
    void Release(std::size_t from, std::size_t to) const;

  private:
    MappedFile(const std::uint8_t* bytes, std::size_t size) : bytes_(bytes), size_(size) {}

    const std::uint8_t* bytes_;
    std::size_t size_;
};

} // namespace quillon
