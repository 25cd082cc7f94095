// Pieces of syntax that .reg files and Wine's registry files share: lines, hex numbers and
// byte lists with continuation lines.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

// What begins a dword's data in a .reg line or a Wine registry file: "dword:" and eight hex digits.
inline constexpr std::string_view kDwordPrefix = "dword:";

std::string_view TrimLeft(std::string_view s);
std::string_view TrimRight(std::string_view s);
std::string_view Trim(std::string_view s);
bool StartsWithIgnoringCase(std::string_view s, std::string_view prefix);
int HexDigit(char c); // -1 when c is not a hex digit
// One to eight hex digits.
bool ParseHexNumber(std::string_view digits, std::uint32_t& number);

// The lines of a text, each without its CR LF or LF, numbered from 1.
class LineSource {
  public:
    explicit LineSource(std::string_view text) : text_(text) {}
    bool Next(std::string_view& line);
    std::size_t Number() const { return number_; }

  private:
    std::string_view text_;
    std::size_t position_ = 0;
    std::size_t number_ = 0;
};

// Reads the data of a value written as "dword:" and eight hex digits, or as "hex:" or
// "hex(n):" and bytes (continued on the following lines while a line ends with "\"); the
// hex bytes are given as written. Empty on success, else what is wrong.
std::string ParseNumberOrHexData(std::string_view data, LineSource& lines, std::uint32_t& type,
                                 std::vector<std::uint8_t>& bytes);

// "file, ligne N : problem : « start of the line »", for messages about a line of a file.
std::string DescribeLineError(const std::string& displayName, std::size_t number,
                              std::string_view problem, std::string_view ansiLine);

// Gives every following line of `lines` to `parseLine(line, lines)`, which returns what is
// wrong with it or an empty text; stops at the first bad line and describes it in `error`.
template <typename ParseLine>
bool ParseRemainingLines(LineSource& lines, const std::string& displayName, ParseLine parseLine,
                         std::string& error) {
    std::string_view line;
    while (lines.Next(line)) {
        const std::size_t number = lines.Number();
        const std::string problem = parseLine(line, lines);
        if (!problem.empty()) {
            error = DescribeLineError(displayName, number, problem, line);
            return false;
        }
    }
    return true;
}

// Reads "0a,ff,1" (bytes of one or two hex digits) from `first`, and from the following lines
// while a line ends with "\". Returns an empty text on success, else what is wrong.
std::string ParseHexBytes(std::string_view first, LineSource& lines,
                          std::vector<std::uint8_t>& bytes);

} // namespace quillon
