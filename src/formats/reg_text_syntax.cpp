#include "formats/reg_text_syntax.h"

#include "files/text_lines.h"
#include "text/ansi_codepage.h"

namespace quillon {

std::string_view TrimLeft(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    return s;
}

std::string_view TrimRight(std::string_view s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) {
        s.remove_suffix(1);
    }
    return s;
}

std::string_view Trim(std::string_view s) {
    return TrimLeft(TrimRight(s));
}

bool StartsWithIgnoringCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && EqualsIgnoringCase(s.substr(0, prefix.size()), prefix);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool ParseHexNumber(std::string_view digits, std::uint32_t& number) {
    if (digits.empty() || digits.size() > 8) {
        return false;
    }
    number = 0;
    for (char c : digits) {
        const int digit = HexDigit(c);
        if (digit < 0) {
            return false;
        }
        number = (number << 4) | static_cast<std::uint32_t>(digit);
    }
    return true;
}

bool LineSource::Next(std::string_view& line) {
    if (position_ >= text_.size()) {
        return false;
    }
    line = LineAt(text_, position_, position_);
    ++number_;
    return true;
}

std::string ParseNumberOrHexData(std::string_view data, LineSource& lines, std::uint32_t& type,
                                 std::vector<std::uint8_t>& bytes) {
    if (StartsWithIgnoringCase(data, "dword:")) {
        std::uint32_t number = 0;
        if (!ParseHexNumber(TrimRight(data.substr(6)), number)) {
            return "nombre dword incorrect";
        }
        type = 4;
        bytes = {static_cast<std::uint8_t>(number), static_cast<std::uint8_t>(number >> 8),
                 static_cast<std::uint8_t>(number >> 16), static_cast<std::uint8_t>(number >> 24)};
        return {};
    }
    if (StartsWithIgnoringCase(data, "hex:")) {
        type = 3;
        data.remove_prefix(4);
    } else if (StartsWithIgnoringCase(data, "hex(")) {
        const auto close = data.find("):");
        if (close == std::string_view::npos || !ParseHexNumber(data.substr(4, close - 4), type)) {
            return "type hex(n) incorrect";
        }
        data.remove_prefix(close + 2);
    } else {
        return "donnée de valeur illisible";
    }
    return ParseHexBytes(data, lines, bytes);
}

std::string DescribeLineError(const std::string& displayName, std::size_t number,
                              std::string_view problem, std::string_view ansiLine) {
    constexpr std::size_t kMaxShown = 60;
    std::string shown = AnsiToUtf8(ansiLine.substr(0, kMaxShown));
    if (ansiLine.size() > kMaxShown) {
        shown += "…";
    }
    return displayName + ", ligne " + std::to_string(number) + " : " + std::string(problem) +
           " : « " + shown + " »";
}

std::string ParseHexBytes(std::string_view first, LineSource& lines,
                          std::vector<std::uint8_t>& bytes) {
    std::string joined;
    std::string_view part = TrimRight(first);
    while (!part.empty() && part.back() == '\\') {
        joined.append(part.substr(0, part.size() - 1));
        std::string_view next;
        if (!lines.Next(next)) {
            return "suite de ligne manquante";
        }
        part = Trim(next);
    }
    joined.append(part);

    std::string_view rest = joined;
    while (!rest.empty()) {
        const auto comma = rest.find(',');
        const auto token = Trim(rest.substr(0, comma));
        const int high = token.size() == 2 ? HexDigit(token[0]) : 0;
        const int low = token.empty() ? -1 : HexDigit(token.back());
        if (token.empty() || token.size() > 2 || high < 0 || low < 0) {
            return "octet hexadécimal incorrect";
        }
        bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
        rest = comma == std::string_view::npos ? std::string_view{} : rest.substr(comma + 1);
        if (comma != std::string_view::npos && rest.empty()) {
            return "octet hexadécimal manquant après « , »";
        }
    }
    return {};
}

} // namespace quillon
