// A digest of a file's bytes, fed piece by piece as they are read, to tell that a copy holds
// what its source held.
#pragma once

#include "files/file_error.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace quillon {

class ContentHash {
  public:
    ContentHash();
    ~ContentHash();
    ContentHash(const ContentHash&) = delete;
    ContentHash& operator=(const ContentHash&) = delete;

    void Add(std::string_view bytes);
    // The digest of every byte added, as hexadecimal digits, once they all are; empty when the
    // system could not make one, which the caller takes as a mismatch.
    std::string Digest() const;

  private:
    struct State;
    std::unique_ptr<State> state_;
};

// The digest and size of a whole file as it is on disk, read back without holding more of it
// than a window at a time; false with `error` set when it cannot be read.
bool DigestOfFile(const std::string& path, std::string& digest, std::uint64_t& size,
                  FileError& error);

} // namespace quillon
