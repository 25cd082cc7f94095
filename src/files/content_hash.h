// A digest of a file's bytes, fed piece by piece as they are read, to tell that a copy holds
// what its source held.
#pragma once

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

} // namespace quillon
