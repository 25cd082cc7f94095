#include "export/value_lines.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace quillon {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// The text between the characters to escape goes in whole: every value's name is escaped.
void AppendEscaped(std::string& out, std::string_view text) {
    std::size_t run = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' || text[i] == '"') {
            out.append(text.substr(run, i - run));
            out += '\\';
            run = i;
        }
    }
    out.append(text.substr(run));
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

void AppendName(std::string& line, const std::string& name) {
    if (name.empty()) {
        line += "@=";
    } else {
        line += '"';
        AppendEscaped(line, name);
        line += "\"=";
    }
}

void AppendDword(std::string& out, const std::vector<std::uint8_t>& data) {
    out += "dword:";
    for (int i = 3; i >= 0; --i) {
        out += kHexDigits[data[i] >> 4];
        out += kHexDigits[data[i] & 0xF];
    }
}

} // namespace

bool TakesHexForm(const RegValue& value) {
    return !(value.Type == RegType::String && FitsQuotedString(value.Data)) &&
           !(value.Type == RegType::Dword && value.Data.size() == 4);
}

void AppendHexFormStart(std::string& line, const RegValue& value) {
    AppendName(line, value.Name);
    line += "hex(";
    AppendUnpaddedHex(line, value.Type);
    line += "):";
}

// Each byte's text after its comma (",3F", or ",A" below 0x10: the bytes are written without
// leading zeros) in the low three bytes, in the order they are written, and its length in the
// high one: one four-byte copy writes a byte's text, the next one's overwriting the rest.
static_assert(std::endian::native == std::endian::little);
constexpr unsigned kLengthShift = 24;
constexpr std::array<std::uint32_t, 256> kCommaHex = [] {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t byte = 0; byte < table.size(); ++byte) {
        std::uint32_t length = 0, text = 0;
        const auto put = [&](char c) { text |= std::uint32_t(std::uint8_t(c)) << (8 * length++); };
        put(',');
        if (byte >= 0x10) {
            put(kHexDigits[byte >> 4]);
        }
        put(kHexDigits[byte & 0xF]);
        table[byte] = text | length << kLengthShift;
    }
    return table;
}();

// Bytes are written straight into the line's buffer, sized for the longest form first (and the
// spill of the last copy): long binary values are most of a backup's bytes.
void AppendHexBytes(std::string& line, const std::uint8_t* bytes, std::size_t count, bool first) {
    constexpr std::size_t kCopied = sizeof(std::uint32_t);
    const std::size_t start = line.size();
    line.resize(start + 3 * count + kCopied);
    char* at = line.data() + start;
    std::size_t i = 0;
    if (first && count != 0) { // no comma before the first byte
        constexpr std::uint32_t kText = (1u << kLengthShift) - 1;
        const std::uint32_t entry = kCommaHex[bytes[i++]];
        const std::uint32_t withoutComma = (entry & kText) >> 8;
        std::memcpy(at, &withoutComma, kCopied);
        at += (entry >> kLengthShift) - 1;
    }
    for (; i < count; ++i) {
        const std::uint32_t entry = kCommaHex[bytes[i]];
        std::memcpy(at, &entry, kCopied);
        at += entry >> kLengthShift;
    }
    line.resize(static_cast<std::size_t>(at - line.data()));
}

void AppendValueLine(std::string& line, const RegValue& value) {
    if (TakesHexForm(value)) {
        AppendHexFormStart(line, value);
        AppendHexBytes(line, value.Data.data(), value.Data.size(), true);
        return;
    }
    AppendName(line, value.Name);
    if (value.Type == RegType::Dword) {
        AppendDword(line, value.Data);
        return;
    }
    line += '"';
    AppendEscaped(line, std::string_view(reinterpret_cast<const char*>(value.Data.data()),
                                         value.Data.size() - 1));
    line += '"';
}

} // namespace quillon
