#include "adapt/held_lines.h"

namespace quillon {

void HeldLines::Assign(std::string content) {
    text_ = std::move(content);
    spans_.clear();
    changed_.clear();
    std::size_t start = 0;
    while (start < text_.size()) {
        const auto end = text_.find('\r', start);
        if (end == std::string::npos) {
            spans_.push_back({start, text_.size() - start});
            break;
        }
        spans_.push_back({start, end - start});
        start = end + 1;
        if (start < text_.size() && text_[start] == '\n') {
            ++start;
        }
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
    for (std::size_t i = 0; i < spans_.size(); ++i) {
        out.Write((*this)[i]);
        out.Write("\r\n");
    }
}

} // namespace quillon
