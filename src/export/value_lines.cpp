#include "export/value_lines.h"

#include <algorithm>

namespace quillon {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

void AppendEscaped(std::string& out, std::string_view text) {
    for (char c : text) {
        if (c == '\\' || c == '"') {
            out += '\\';
        }
        out += c;
    }
}

// True when a string's bytes read back the same from a quoted string: a terminating zero,
// and no zero, CR or LF before it.
bool FitsQuotedString(const std::vector<std::uint8_t>& data) {
    return !data.empty() && data.back() == 0 &&
           std::none_of(data.begin(), data.end() - 1,
                        [](std::uint8_t b) { return b == 0 || b == '\r' || b == '\n'; });
}

void AppendUnpaddedHex(std::string& out, std::uint32_t number) {
    char digits[8];
    int count = 0;
    do {
        digits[count++] = kHexDigits[number & 0xF];
        number >>= 4;
    } while (number != 0);
    while (count > 0) {
        out += digits[--count];
    }
}

// Bytes are written straight into the line's buffer, sized for the longest form first: long
// binary values are most of a backup's bytes.
void AppendHexForm(std::string& out, std::uint32_t type, const std::vector<std::uint8_t>& data) {
    out += "hex(";
    AppendUnpaddedHex(out, type);
    out += "):";
    const std::size_t start = out.size();
    out.resize(start + 3 * data.size());
    char* at = out.data() + start;
    for (std::size_t i = 0; i < data.size(); ++i) {
        const std::uint8_t byte = data[i];
        if (i != 0) {
            *at++ = ',';
        }
        if (byte >= 0x10) {
            *at++ = kHexDigits[byte >> 4];
        }
        *at++ = kHexDigits[byte & 0xF];
    }
    out.resize(static_cast<std::size_t>(at - out.data()));
}

void AppendDword(std::string& out, const std::vector<std::uint8_t>& data) {
    out += "dword:";
    for (int i = 3; i >= 0; --i) {
        out += kHexDigits[data[i] >> 4];
        out += kHexDigits[data[i] & 0xF];
    }
}

} // namespace

void AppendValueLine(std::string& line, const RegValue& value) {
    if (value.Name.empty()) {
        line += "@=";
    } else {
        line += '"';
        AppendEscaped(line, value.Name);
        line += "\"=";
    }
    if (value.Type == RegType::String && FitsQuotedString(value.Data)) {
        line += '"';
        AppendEscaped(line, std::string_view(reinterpret_cast<const char*>(value.Data.data()),
                                             value.Data.size() - 1));
        line += '"';
    } else if (value.Type == RegType::Dword && value.Data.size() == 4) {
        AppendDword(line, value.Data);
    } else {
        AppendHexForm(line, value.Type, value.Data);
    }
}

} // namespace quillon
