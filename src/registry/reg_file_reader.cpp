#include "registry/reg_file_reader.h"

#include "registry/ansi_codepage.h"
#include "registry/file_io.h"


namespace quillon {
namespace {

constexpr std::string_view kHeader4 = "REGEDIT4";
constexpr std::string_view kHeader5 = "Windows Registry Editor Version 5.00";
constexpr std::string_view kUtf16Bom = "\xFF\xFE";

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

// The lines of the file, each without its CR LF or LF.
class LineSource {
  public:
    explicit LineSource(std::string_view text) : text_(text) {}

    bool Next(std::string_view& line) {
        if (position_ >= text_.size()) {
            return false;
        }
        auto end = text_.find('\n', position_);
        if (end == std::string_view::npos) {
            end = text_.size();
        }
        line = text_.substr(position_, end - position_);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        position_ = end + 1;
        ++number_;
        return true;
    }
    std::size_t Number() const { return number_; }

  private:
    std::string_view text_;
    std::size_t position_ = 0;
    std::size_t number_ = 0;
};

class RegTextParser {
  public:
    RegTextParser(MemoryStore& store, bool unicode) : store_(store), unicode_(unicode) {}

    // Returns an empty text on success, else what is wrong with the line.
    std::string ParseLine(std::string_view line, LineSource& lines) {
        line = TrimLeft(line);
        if (line.empty() || line.front() == ';' || line.front() == '#') {
            return {};
        }
        if (line.front() == '[') {
            return ParseKeyLine(TrimRight(line));
        }
        if (line.front() == '"' || line.front() == '@') {
            return ParseValueLine(line, lines);
        }
        return "ligne illisible";
    }

  private:
    std::string ParseKeyLine(std::string_view line) {
        if (line.size() < 3 || line.back() != ']') {
            return "nom de clé sans « ] » final";
        }
        std::string_view name = line.substr(1, line.size() - 2);
        if (name.front() == '-') {
            store_.DeleteKey(name.substr(1));
            key_ = nullptr;
            skipping_ = true;
            return {};
        }
        skipping_ = false;
        key_ = store_.CreateKey(name);
        return key_ == nullptr ? "clé dont la racine est inconnue" : std::string();
    }

    std::string ParseValueLine(std::string_view line, LineSource& lines) {
        std::string name;
        if (line.front() == '@') {
            line.remove_prefix(1);
        } else if (!ParseQuoted(line, name)) {
            return "nom de valeur sans guillemet final";
        }
        line = TrimLeft(line);
        if (line.empty() || line.front() != '=') {
            return "« = » manquant après le nom de la valeur";
        }
        line = TrimLeft(line.substr(1));
        if (key_ == nullptr && !skipping_) {
            return "valeur hors de toute clé";
        }
        if (TrimRight(line) == "-") {
            if (key_ != nullptr) {
                key_->RemoveValue(name);
            }
            return {};
        }
        std::uint32_t type = 0;
        std::vector<std::uint8_t> data;
        std::string problem = ParseData(line, lines, type, data);
        if (problem.empty() && key_ != nullptr) {
            key_->SetValue(name, type, std::move(data));
        }
        return problem;
    }

    std::string ParseData(std::string_view line, LineSource& lines, std::uint32_t& type,
                          std::vector<std::uint8_t>& data) {
        if (!line.empty() && line.front() == '"') {
            std::string text;
            if (!ParseQuoted(line, text) || !TrimRight(line).empty()) {
                return "chaîne mal terminée";
            }
            type = RegType::String;
            data.assign(text.begin(), text.end());
            data.push_back(0);
            return {};
        }
        if (StartsWithIgnoringCase(line, "dword:")) {
            std::uint32_t number = 0;
            if (!ParseHexNumber(TrimRight(line.substr(6)), number)) {
                return "nombre dword incorrect";
            }
            type = RegType::Dword;
            data = {static_cast<std::uint8_t>(number), static_cast<std::uint8_t>(number >> 8),
                    static_cast<std::uint8_t>(number >> 16),
                    static_cast<std::uint8_t>(number >> 24)};
            return {};
        }
        if (StartsWithIgnoringCase(line, "hex:")) {
            type = RegType::Binary;
            line.remove_prefix(4);
        } else if (StartsWithIgnoringCase(line, "hex(")) {
            const auto close = line.find("):");
            if (close == std::string_view::npos || !ParseHexNumber(line.substr(4, close - 4), type)) {
                return "type hex(n) incorrect";
            }
            line.remove_prefix(close + 2);
        } else {
            return "donnée de valeur illisible";
        }
        return ParseHexBytes(line, lines, type, data);
    }

    std::string ParseHexBytes(std::string_view line, LineSource& lines, std::uint32_t type,
                              std::vector<std::uint8_t>& data) {
        std::string joined;
        std::string_view part = TrimRight(line);
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
            data.push_back(static_cast<std::uint8_t>(high * 16 + low));
            rest = comma == std::string_view::npos ? std::string_view{} : rest.substr(comma + 1);
            if (comma != std::string_view::npos && rest.empty()) {
                return "octet hexadécimal manquant après « , »";
            }
        }
        // In a version 5 file, string types hold UTF-16 that the "A" functions give as ANSI.
        if (unicode_ && (type == RegType::String || type == RegType::ExpandString ||
                         type == RegType::MultiString)) {
            const std::string ansi =
                Utf16LeToAnsi(std::string_view(reinterpret_cast<const char*>(data.data()),
                                               data.size()));
            data.assign(ansi.begin(), ansi.end());
        }
        return {};
    }

    // Reads a double-quoted text at the start of `line`, leaves `line` after it.
    static bool ParseQuoted(std::string_view& line, std::string& text) {
        for (std::size_t i = 1; i < line.size(); ++i) {
            const char c = line[i];
            if (c == '"') {
                line.remove_prefix(i + 1);
                return true;
            }
            if (c == '\\' && i + 1 < line.size()) {
                const char next = line[++i];
                switch (next) {
                case '\\': text += '\\'; break;
                case '"': text += '"'; break;
                case 'n': text += '\n'; break;
                case 'r': text += '\r'; break;
                case '0': text += '\0'; break;
                default: text += '\\'; text += next; break;
                }
                continue;
            }
            text += c;
        }
        return false;
    }

    MemoryStore& store_;
    bool unicode_;
    MemoryKey* key_ = nullptr;
    bool skipping_ = false; // inside a "[-key]" section, whose values are ignored
};

std::string Shown(std::string_view ansiLine) {
    constexpr std::size_t kMaxShown = 60;
    std::string shown = AnsiToUtf8(ansiLine.substr(0, kMaxShown));
    if (ansiLine.size() > kMaxShown) {
        shown += "…";
    }
    return shown;
}

} // namespace

bool LooksLikeRegFile(std::string_view bytes) {
    if (bytes.substr(0, 2) == kUtf16Bom) {
        return Trim(Utf16LeToAnsi(bytes.substr(2, 2 * kHeader5.size()))) == kHeader5;
    }
    return bytes.substr(0, kHeader4.size()) == kHeader4;
}

bool ReadRegText(std::string_view bytes, const std::string& displayName, MemoryStore& store,
                 std::string& error) {
    const bool unicode = bytes.substr(0, 2) == kUtf16Bom;
    std::string converted;
    if (unicode) {
        converted = Utf16LeToAnsi(bytes.substr(2));
        bytes = converted;
    }
    LineSource lines(bytes);
    std::string_view line;
    while (lines.Next(line) && Trim(line).empty()) {
    }
    const auto header = Trim(line);
    if (header != (unicode ? kHeader5 : kHeader4)) {
        error = displayName + " : ce n'est pas un fichier .reg (en-tête « REGEDIT4 » ou « " +
                std::string(kHeader5) + " » attendu)";
        return false;
    }
    RegTextParser parser(store, unicode);
    while (lines.Next(line)) {
        const std::size_t number = lines.Number();
        const std::string problem = parser.ParseLine(line, lines);
        if (!problem.empty()) {
            error = displayName + ", ligne " + std::to_string(number) + " : " + problem +
                    " : « " + Shown(line) + " »";
            return false;
        }
    }
    return true;
}

bool ReadRegFile(const std::string& path, MemoryStore& store, std::string& error) {
    std::string content;
    FileError fileError;
    if (!ReadWholeFile(path, content, fileError)) {
        error = "Impossible de lire « " + path + " » : " + fileError.Reason();
        return false;
    }
    return ReadRegText(content, path, store, error);
}

} // namespace quillon
