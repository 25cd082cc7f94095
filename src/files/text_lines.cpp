#include "files/text_lines.h"

namespace quillon {

// Files that went through a tool writing LF alone, or a mix, are read line for line too.
std::string_view LineAt(std::string_view content, std::size_t start, std::size_t& next) {
    std::size_t end = start;
    while (end < content.size() && content[end] != '\r' && content[end] != '\n') {
        ++end;
    }
    next = end + 1;
    if (end + 1 < content.size() && content[end] == '\r' && content[end + 1] == '\n') {
        ++next;
    }
    return content.substr(start, end - start);
}

std::vector<std::string_view> LineViews(std::string_view content) {
    std::vector<std::string_view> lines;
    for (std::size_t start = 0; start < content.size();) {
        lines.push_back(LineAt(content, start, start));
    }
    return lines;
}

std::vector<std::string> SplitLines(std::string_view content) {
    const auto views = LineViews(content);
    return std::vector<std::string>(views.begin(), views.end());
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
    if (from.empty()) {
        return std::string(text);
    }
    std::string result;
    std::size_t start = 0;
    for (auto found = text.find(from); found != std::string_view::npos;
         found = text.find(from, start)) {
        result.append(text.substr(start, found - start)).append(to);
        start = found + from.size();
    }
    result.append(text.substr(start));
    return result;
}

} // namespace quillon
