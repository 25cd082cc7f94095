#include "formats/reg_file_reader.h"

#include "files/input_file.h"
#include "formats/reg_text_syntax.h"
#include "text/ansi_codepage.h"

namespace quillon {
namespace {

constexpr std::string_view kHeader4 = "REGEDIT4";
constexpr std::string_view kHeader5 = "Windows Registry Editor Version 5.00";
constexpr std::string_view kUtf16Bom = "\xFF\xFE";

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
        if (KeyDepth(name) > MaxKeyDepth + 1) { // the root is one level of the name
            return "clé de plus de " + std::to_string(MaxKeyDepth) + " niveaux";
        }
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
        std::string problem = ParseNumberOrHexData(line, lines, type, data);
        // In a version 5 file, string types hold UTF-16 that the "A" functions give as ANSI.
        if (problem.empty() && unicode_ && RegType::IsStringType(type)) {
            Utf16LeDataToAnsi(data);
        }
        return problem;
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
                case '\\':
                    text += '\\';
                    break;
                case '"':
                    text += '"';
                    break;
                case 'n':
                    text += '\n';
                    break;
                case 'r':
                    text += '\r';
                    break;
                case '0':
                    text += '\0';
                    break;
                default:
                    text += '\\';
                    text += next;
                    break;
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

} // namespace

bool LooksLikeRegFile(std::string_view bytes) {
    if (bytes.substr(0, 2) == kUtf16Bom) {
        return Trim(Utf16LeToAnsi(bytes.substr(2, 2 * kHeader5.size()))) == kHeader5;
    }
    return bytes.substr(0, kHeader4.size()) == kHeader4;
}

namespace {

// The text of a .reg file in ANSI: a UTF-16 file (with its byte-order mark) is converted.
std::string_view AnsiText(std::string_view bytes, std::string& converted, bool& unicode) {
    unicode = bytes.substr(0, 2) == kUtf16Bom;
    if (!unicode) {
        return bytes;
    }
    converted = Utf16LeToAnsi(bytes.substr(2));
    return converted;
}

// Moves `lines` past the header, after blank lines; the message when it is not there.
std::string SkipHeader(LineSource& lines, bool unicode, const std::string& displayName) {
    std::string_view line;
    while (lines.Next(line) && Trim(line).empty()) {
    }
    if (Trim(line) == (unicode ? kHeader5 : kHeader4)) {
        return {};
    }
    return displayName + " : ce n'est pas un fichier .reg (en-tête « REGEDIT4 » ou « " +
           std::string(kHeader5) + " » attendu)";
}

} // namespace

bool ReadRegText(std::string_view bytes, const std::string& displayName, MemoryStore& store,
                 std::string& error) {
    bool unicode = false;
    std::string converted;
    LineSource lines(AnsiText(bytes, converted, unicode));
    error = SkipHeader(lines, unicode, displayName);
    if (!error.empty()) {
        return false;
    }
    RegTextParser parser(store, unicode);
    return ParseRemainingLines(
        lines, displayName,
        [&parser](std::string_view next, LineSource& source) {
            return parser.ParseLine(next, source);
        },
        error);
}

// The header first: a file that is not a .reg file is refused without being read whole.
bool ReadRegFile(const std::string& path, MemoryStore& store, std::string& error,
                 std::string* refusedHead) {
    const auto headerFits = [&](std::string_view head) {
        bool unicode = false;
        std::string converted;
        LineSource lines(AnsiText(head, converted, unicode));
        error = SkipHeader(lines, unicode, path);
        return error.empty();
    };
    std::string content;
    FileError fileError;
    if (!ReadFileAfterHead(path, 4096, headerFits, content, fileError)) {
        error = "Impossible de lire « " + path + " » : " + fileError.Reason();
        return false;
    }
    if (!error.empty()) {
        if (refusedHead != nullptr) {
            *refusedHead = std::move(content);
        }
        return false;
    }
    return ReadRegText(content, path, store, error);
}

} // namespace quillon
