#include "adapt/held_lines.h"

#include "files/text_lines.h"
#include "text/ansi_codepage.h"

namespace quillon {

void HeldLines::Assign(std::string content, bool utf16) {
    text_ = std::move(content);
    utf16_ = utf16;
    changed_.clear();
    spans_.clear();
    for (const std::string_view line : LineViews(text_)) {
        spans_.push_back({static_cast<std::size_t>(line.data() - text_.data()), line.size()});
    }
}

std::string_view HeldLines::operator[](std::size_t index) const {
    if (!changed_.empty()) {
        if (const auto it = changed_.find(index); it != changed_.end()) {
            return it->second;
        }
    }
    const Span span = spans_[index];
    return std::string_view(text_).substr(span.Offset, span.Length);
}

void HeldLines::Set(std::size_t index, std::string line) {
    changed_[index] = std::move(line);
}

void HeldLines::WriteTo(OutputFile& out) const {
    if (utf16_) {
        out.Write("\xFF\xFE");
    }
    std::string line;
    for (std::size_t i = 0; i < spans_.size(); ++i) {
        line.assign((*this)[i]).append(LineEnd);
        out.Write(utf16_ ? AnsiToUtf16Le(line) : line);
    }
}

} // namespace quillon
