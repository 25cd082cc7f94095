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
    if (StartsWithIgnoringCase(data, kDwordPrefix)) {
        std::uint32_t number = 0;
        if (!ParseHexNumber(TrimRight(data.substr(kDwordPrefix.size())), number)) {
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

namespace {

// The bytes of "0a,ff,1", every one between commas, appended to `bytes`.
std::string ParseByteList(std::string_view text, std::vector<std::uint8_t>& bytes) {
    bytes.reserve(bytes.size() + text.size() / 3 + 1);
    for (std::size_t at = 0;;) {
        const auto comma = text.find(',', at);
        const auto token = Trim(text.substr(at, comma - at));
        const int high = token.size() == 2 ? HexDigit(token[0]) : 0;
        const int low = token.empty() ? -1 : HexDigit(token.back());
        if (token.empty() || token.size() > 2 || high < 0 || low < 0) {
            return "octet hexadécimal incorrect";
        }
        bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
        if (comma == std::string_view::npos) {
            return {};
        }
        at = comma + 1;
    }
}

} // namespace

// The lines are read as if joined, without joining them: the bytes before each line's last comma
// are read as the line comes, and only what follows it is kept for the next line, so that a
// value of hundreds of megabytes is never held twice as text. Every continuation line is read
// before a wrong byte is told, as when the lines were joined first.
std::string ParseHexBytes(std::string_view first, LineSource& lines,
                          std::vector<std::uint8_t>& bytes) {
    std::string pending; // the joined text after its last comma so far
    bool afterComma = false;
    std::string wrong;
    std::string_view part = TrimRight(first);
    for (;;) {
        const bool continued = !part.empty() && part.back() == '\\';
        const std::string_view piece = continued ? part.substr(0, part.size() - 1) : part;
        std::string_view text = piece; // read in place when nothing is pending
        if (!pending.empty()) {
            pending.append(piece);
            text = pending;
        }
        const auto lastComma = text.rfind(',');
        if (lastComma != std::string_view::npos) {
            if (wrong.empty()) {
                wrong = ParseByteList(text.substr(0, lastComma), bytes);
            }
            afterComma = true;
            text.remove_prefix(lastComma + 1);
        }
        pending = std::string(text);
        if (!continued) {
            break;
        }
        std::string_view next;
        if (!lines.Next(next)) {
            return "suite de ligne manquante";
        }
        part = Trim(next);
    }
    if (!wrong.empty()) {
        return wrong;
    }
    if (Trim(pending).empty()) {
        return afterComma ? "octet hexadécimal manquant après « , »" : std::string();
    }
    return ParseByteList(pending, bytes);
}

} // namespace quillon
