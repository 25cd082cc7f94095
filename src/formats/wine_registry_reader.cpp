#include "formats/wine_registry_reader.h"

#include "formats/reg_text_syntax.h"
#include "text/ansi_codepage.h"

namespace quillon {
namespace {

// The escape character (\e in Wine's files), which C++ has no escape for.
constexpr char32_t kEscape = 0x1B;

constexpr std::string_view kWineHeader = "WINE REGISTRY Version 2";
constexpr std::string_view kRelativeTo = ";; All keys relative to ";

int OctalDigit(char c) {
    return c >= '0' && c <= '7' ? c - '0' : -1;
}

// Reads an escaped text up to `delimiter` (wineserver's escapes: \\, \", \n and the other C
// escapes, \xHHHH, \ooo; other bytes are UTF-8) and leaves `line` after the delimiter.
bool ParseEscaped(std::string_view& line, char delimiter, std::string& ansi) {
    std::size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (c == delimiter) {
            line.remove_prefix(i + 1);
            return true;
        }
        if (c != '\\' || i + 1 == line.size()) {
            ansi += static_cast<char>(CodePointToAnsi(DecodeUtf8(line, i)));
            continue;
        }
        const char e = line[i + 1];
        i += 2;
        char32_t cp = 0;
        switch (e) {
        case 'a':
            cp = U'\a';
            break;
        case 'b':
            cp = U'\b';
            break;
        case 'e':
            cp = kEscape;
            break;
        case 'f':
            cp = U'\f';
            break;
        case 'n':
            cp = U'\n';
            break;
        case 'r':
            cp = U'\r';
            break;
        case 't':
            cp = U'\t';
            break;
        case 'v':
            cp = U'\v';
            break;
        case 'x':
            for (int n = 0; n < 4 && i < line.size() && HexDigit(line[i]) >= 0; ++n, ++i) {
                cp = cp * 16 + static_cast<char32_t>(HexDigit(line[i]));
            }
            break;
        default:
            if (OctalDigit(e) >= 0) {
                cp = static_cast<char32_t>(OctalDigit(e));
                for (int n = 1; n < 3 && i < line.size() && OctalDigit(line[i]) >= 0; ++n, ++i) {
                    cp = cp * 8 + static_cast<char32_t>(OctalDigit(line[i]));
                }
            } else {
                cp = static_cast<unsigned char>(e);
            }
        }
        ansi += static_cast<char>(CodePointToAnsi(cp));
    }
    return false;
}

class WineRegistryParser {
  public:
    explicit WineRegistryParser(MemoryKey& mount) : mount_(mount) {}

    std::string ParseLine(std::string_view line, LineSource& lines) {
        line = TrimLeft(line);
        if (line.empty() || line.front() == ';' || line.front() == '#') {
            return {};
        }
        if (line.front() == '[') {
            return ParseKeyLine(line.substr(1));
        }
        if (line.front() == '"' || line.front() == '@') {
            return ParseValueLine(line, lines);
        }
        return "ligne illisible";
    }

  private:
    std::string ParseKeyLine(std::string_view line) {
        std::string name;
        if (!ParseEscaped(line, ']', name)) {
            return "nom de clé sans « ] » final";
        }
        if (KeyDepth(name) > MaxKeyDepth) {
            key_ = nullptr;
            return "clé de plus de " + std::to_string(MaxKeyDepth) + " niveaux";
        }
        key_ = &mount_;
        std::string_view rest = name;
        while (!rest.empty()) {
            const auto cut = rest.find('\\');
            const auto part = rest.substr(0, cut);
            if (!part.empty()) {
                key_ = &key_->AddSubkey(part);
            }
            rest = cut == std::string_view::npos ? std::string_view{} : rest.substr(cut + 1);
        }
        return {};
    }

    std::string ParseValueLine(std::string_view line, LineSource& lines) {
        if (key_ == nullptr) {
            return "valeur hors de toute clé";
        }
        std::string name;
        if (line.front() == '@') {
            line.remove_prefix(1);
        } else {
            line.remove_prefix(1);
            if (!ParseEscaped(line, '"', name)) {
                return "nom de valeur sans guillemet final";
            }
        }
        if (line.empty() || line.front() != '=') {
            return "« = » manquant après le nom de la valeur";
        }
        line.remove_prefix(1);
        std::uint32_t type = 0;
        std::vector<std::uint8_t> data;
        std::string problem = ParseData(line, lines, type, data);
        if (problem.empty()) {
            key_->SetValue(name, type, std::move(data));
        }
        return problem;
    }

    static std::string ParseData(std::string_view line, LineSource& lines, std::uint32_t& type,
                                 std::vector<std::uint8_t>& data) {
        if (line.starts_with("\"") || line.starts_with("str(")) {
            type = RegType::String;
            if (line.front() == 's') {
                const auto close = line.find("):\"");
                if (close == std::string_view::npos ||
                    !ParseHexNumber(line.substr(4, close - 4), type)) {
                    return "type str(n) incorrect";
                }
                line.remove_prefix(close + 2);
            }
            line.remove_prefix(1);
            std::string text;
            if (!ParseEscaped(line, '"', text) || !Trim(line).empty()) {
                return "chaîne mal terminée";
            }
            data.assign(text.begin(), text.end());
            data.push_back(0);
            return {};
        }
        std::string problem = ParseNumberOrHexData(line, lines, type, data);
        if (problem.empty() && RegType::IsStringType(type)) {
            Utf16LeDataToAnsi(data); // Wine keeps strings as UTF-16
        }
        return problem;
    }

    MemoryKey& mount_;
    MemoryKey* key_ = nullptr;
};

} // namespace

bool LooksLikeWineRegistry(std::string_view bytes) {
    return bytes.starts_with(kWineHeader);
}

bool ReadWineRegistryText(std::string_view text, const std::string& displayName, MemoryKey& mount,
                          std::string& error) {
    LineSource lines(text);
    std::string_view line;
    if (!lines.Next(line) || TrimRight(line) != kWineHeader) {
        error = displayName + " : ce n'est pas un fichier de registre de Wine (en-tête « " +
                std::string(kWineHeader) + " » attendu)";
        return false;
    }
    WineRegistryParser parser(mount);
    return ParseRemainingLines(
        lines, displayName,
        [&parser](std::string_view next, LineSource& source) {
            return parser.ParseLine(next, source);
        },
        error);
}

std::string WineRegistryUser(std::string_view text) {
    LineSource lines(text);
    std::string_view line;
    for (int n = 0; n < 10 && lines.Next(line); ++n) {
        if (line.starts_with(kRelativeTo)) {
            // "\\User\\S-1-5-…" in older prefixes, "REGISTRY\\User\\S-1-5-…" in newer ones.
            std::string_view path = Trim(line.substr(kRelativeTo.size()));
            if (path.starts_with("REGISTRY")) {
                path.remove_prefix(std::string_view("REGISTRY").size());
            }
            constexpr std::string_view kUser = "\\\\User\\\\";
            return path.starts_with(kUser) ? std::string(path.substr(kUser.size())) : "";
        }
    }
    return {};
}

} // namespace quillon
