// The lines of a backup file held in memory for adapting it. The file's text is kept once and
// lines point into it; only the lines that a change rewrites get storage of their own, so a
// file of millions of lines costs little more than its size.
#pragma once

#include "files/output_file.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace quillon {

class HeldLines {
  public:
    // Replaces what is held by the lines of `content` (a line ends at CR LF, CR or LF), ANSI
    // text; `utf16` when the file it came from was UTF-16, the form it is written back in.
    void Assign(std::string content, bool utf16 = false);
    bool Utf16() const { return utf16_; }

    std::size_t Size() const { return spans_.size(); }
    std::string_view operator[](std::size_t index) const;
    void Set(std::size_t index, std::string line);

    // Writes every line followed by CR LF, in the form the file came in (UTF-16 with its
    // byte-order mark, or ANSI).
    void WriteTo(OutputFile& out) const;

  private:
    struct Span {
        std::size_t Offset;
        std::size_t Length;
    };
    std::string text_;
    bool utf16_ = false;
    std::vector<Span> spans_;
    std::unordered_map<std::size_t, std::string> changed_;
};

} // namespace quillon
