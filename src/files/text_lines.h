// Cutting a text into lines as the program reads them, and replacing within it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillon {

// What ends each line of the files the program writes, as Windows' own do.
inline constexpr std::string_view LineEnd = "\r\n";

// The lines of a text: a line ends at CR LF, CR or LF alone, which are not part of it; a last
// line without an ending counts.
std::vector<std::string_view> LineViews(std::string_view content);
// The line of `content` that starts at `start`, and in `next` where the following one starts.
std::string_view LineAt(std::string_view content, std::size_t start, std::size_t& next);
std::vector<std::string> SplitLines(std::string_view content);
// Every occurrence of `from` in `text` replaced by `to`, from the start, case-sensitively.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

} // namespace quillon
