#include "text/ansi_codepage.h"

#include <array>
#include <cstdint>

namespace quillon {
namespace {

// Bytes 0x80-0x9F of Windows-1252; the five unassigned ones map to the C1 control of the same
// value, as Windows does, so that every byte survives a round trip.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

constexpr unsigned char FoldOf(unsigned char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) {
        return static_cast<unsigned char>(c - 0x20);
    }
    switch (c) {
    case 0x9A:
        return 0x8A; // š
    case 0x9C:
        return 0x8C; // œ
    case 0x9E:
        return 0x8E; // ž
    case 0xFF:
        return 0x9F; // ÿ
    default:
        return c;
    }
}

// Names are folded for every lookup and every listing's check of duplicates: one table read a
// byte.
constexpr std::array<unsigned char, 256> kFolded = [] {
    std::array<unsigned char, 256> table{};
    for (std::size_t c = 0; c < table.size(); ++c) {
        table[c] = FoldOf(static_cast<unsigned char>(c));
    }
    return table;
}();

unsigned char FoldByte(unsigned char c) {
    return kFolded[c];
}

} // namespace

char32_t AnsiToCodePoint(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0) {
        return kHighControls[byte - 0x80];
    }
    return byte;
}

unsigned char CodePointToAnsi(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
        return static_cast<unsigned char>(cp);
    }
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == cp) {
            return static_cast<unsigned char>(0x80 + i);
        }
    }
    return '?';
}

std::string Utf16LeToAnsi(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() / 2);
    const std::size_t units = bytes.size() / 2;
    auto unitAt = [&](std::size_t i) {
        return static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                     (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    };
    for (std::size_t i = 0; i < units; ++i) {
        const char16_t unit = unitAt(i);
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < units && unitAt(i + 1) >= 0xDC00 &&
            unitAt(i + 1) < 0xE000) {
            ++i; // a character outside the BMP is never in Windows-1252
            out += '?';
            continue;
        }
        out += static_cast<char>(CodePointToAnsi(unit));
    }
    return out;
}

std::string Utf16LeToUtf8(std::string_view bytes) {
    std::string out;
    const std::size_t units = bytes.size() / 2;
    const auto unitAt = [&](std::size_t i) {
        return static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                     static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    };
    constexpr char32_t kHighSurrogate = 0xD800, kLowSurrogate = 0xDC00, kSurrogatesEnd = 0xE000;
    constexpr char32_t kReplacement = 0xFFFD, kBeyondBmp = 0x10000;
    for (std::size_t i = 0; i < units; ++i) {
        const char32_t unit = unitAt(i);
        if (unit >= kHighSurrogate && unit < kLowSurrogate && i + 1 < units &&
            unitAt(i + 1) >= kLowSurrogate && unitAt(i + 1) < kSurrogatesEnd) {
            AppendUtf8(out, kBeyondBmp + ((unit - kHighSurrogate) << 10) +
                                (unitAt(i + 1) - kLowSurrogate));
            ++i;
        } else if (unit >= kHighSurrogate && unit < kSurrogatesEnd) {
            AppendUtf8(out, kReplacement); // half of a pair
        } else {
            AppendUtf8(out, unit);
        }
    }
    return out;
}

void Utf16LeDataToAnsi(std::vector<unsigned char>& data) {
    const std::string ansi =
        Utf16LeToAnsi(std::string_view(reinterpret_cast<const char*>(data.data()), data.size()));
    data.assign(ansi.begin(), ansi.end());
}

std::string AnsiToUtf16Le(std::string_view ansi) {
    std::string bytes;
    bytes.reserve(ansi.size() * 2);
    for (unsigned char c : ansi) {
        const char32_t cp = AnsiToCodePoint(c);
        bytes += static_cast<char>(cp & 0xFF);
        bytes += static_cast<char>(cp >> 8);
    }
    return bytes;
}

std::string AnsiToUtf8(std::string_view ansi) {
    std::string out;
    out.reserve(ansi.size());
    for (unsigned char c : ansi) {
        AppendUtf8(out, AnsiToCodePoint(c));
    }
    return out;
}

char32_t DecodeUtf8(std::string_view text, std::size_t& index) {
    const auto lead = static_cast<unsigned char>(text[index]);
    const int length = lead < 0x80           ? 1
                       : (lead >> 5) == 0x6  ? 2
                       : (lead >> 4) == 0xE  ? 3
                       : (lead >> 3) == 0x1E ? 4
                                             : 0;
    if (length == 0 || index + length > text.size()) {
        ++index;
        return 0xFFFD;
    }
    char32_t cp = length == 1 ? lead : lead & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[index + k]);
        if ((next & 0xC0) != 0x80) {
            ++index;
            return 0xFFFD;
        }
        cp = (cp << 6) | (next & 0x3F);
    }
    index += length;
    return cp;
}

std::string Utf8ToAnsi(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        out += static_cast<char>(CodePointToAnsi(DecodeUtf8(utf8, i)));
    }
    return out;
}

std::string FoldCase(std::string_view ansi) {
    std::string out(ansi);
    for (char& c : out) {
        c = static_cast<char>(FoldByte(static_cast<unsigned char>(c)));
    }
    return out;
}

// FNV-1a, over the folded bytes.
std::uint64_t FoldedHash(std::string_view ansi) {
    constexpr std::uint64_t kOffsetBasis = 0xcbf29ce484222325u;
    constexpr std::uint64_t kPrime = 0x100000001b3u;
    std::uint64_t hash = kOffsetBasis;
    for (const char c : ansi) {
        hash = (hash ^ FoldByte(static_cast<unsigned char>(c))) * kPrime;
    }
    return hash;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldByte(static_cast<unsigned char>(a[i])) !=
            FoldByte(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

} // namespace quillon
