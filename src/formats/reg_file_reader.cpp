// Reads .reg files as Windows' regedit imports them: a header line, then key lines, value lines
// and comments. A line regedit passes over is passed over here too, and named in a warning.
#include "formats/reg_file_reader.h"

#include "files/input_file.h"
#include "formats/reg_text_syntax.h"
#include "text/ansi_codepage.h"

namespace quillon {
namespace {

constexpr std::string_view kRegeditHeader = "REGEDIT";
constexpr std::string_view kHeader4 = "REGEDIT4";
constexpr std::string_view kHeader5 = "Windows Registry Editor Version 5.00";
constexpr std::string_view kUtf16Bom = "\xFF\xFE";
// Enough of a file's first bytes for its first line, in either encoding.
constexpr std::size_t kHeadSize = 4096;

// What a file's first line makes of it. regedit takes any first line starting with "REGEDIT"
// but imports values only after "REGEDIT4"; a first line that is blank, or anything else, is
// refused.
// Either version imports alike: how a string's hex bytes are read follows the file's encoding.
enum class Header { Refused, Imports, ImportsNothing };

Header HeaderOf(std::string_view firstLine) {
    const std::string_view text = Trim(firstLine);
    if (text == kHeader4 || text == kHeader5) {
        return Header::Imports;
    }
    return text.starts_with(kRegeditHeader) ? Header::ImportsNothing : Header::Refused;
}

// The text before a comment (";" and what follows).
std::string_view BeforeComment(std::string_view text) {
    return text.substr(0, text.find(';'));
}

// True when only spaces, or a comment, follow.
bool EndsClean(std::string_view rest) {
    rest = TrimLeft(rest);
    return rest.empty() || rest.front() == ';';
}

bool IsStringTypeWithoutEnd(std::uint32_t type, const std::vector<std::uint8_t>& data) {
    return RegType::IsStringType(type) && !data.empty() && data.back() != 0;
}

class RegeditImport {
  public:
    RegeditImport(MemoryStore& store, bool utf16File, const std::string& displayName,
                  std::vector<std::string>& warnings)
        : store_(store), utf16File_(utf16File), displayName_(displayName), warnings_(warnings) {}

    void ReadLines(LineSource& lines) {
        std::string_view line;
        while (lines.Next(line)) {
            const std::size_t number = lines.Number();
            const std::string problem = ReadLine(line, lines);
            if (!problem.empty()) {
                warnings_.push_back(
                    DescribeLineError(displayName_, number,
                                      "ignorée, comme Windows l'ignore (" + problem + ")", line));
            }
        }
    }

  private:
    // Empty when the line was read, else why it is passed over.
    std::string ReadLine(std::string_view line, LineSource& lines) {
        line = TrimLeft(line);
        if (line.empty() || line.front() == ';' || line.front() == '#') {
            return {};
        }
        if (line.front() == '[') {
            return ReadKeyLine(TrimRight(line));
        }
        if (line.front() == '"' || line.front() == '@') {
            return ReadValueLine(line, lines);
        }
        return "ligne illisible";
    }

    std::string ReadKeyLine(std::string_view line) {
        key_ = nullptr;
        section_ = Section::RefusedKey;
        if (line.size() < 3 || line.back() != ']') {
            return "nom de clé sans « ] » final ; ses valeurs sont ignorées aussi";
        }
        const std::string_view name = line.substr(1, line.size() - 2);
        if (name.front() == '-') {
            store_.DeleteKey(name.substr(1));
            section_ = Section::DeletedKey;
            return {};
        }
        if (KeyDepth(name) > MaxKeyDepth + 1) { // the root is one level of the name
            return "clé de plus de " + std::to_string(MaxKeyDepth) +
                   " niveaux ; ses valeurs sont ignorées aussi";
        }
        key_ = store_.CreateKey(name);
        if (key_ == nullptr) {
            return "clé dont la racine est inconnue ; ses valeurs sont ignorées aussi";
        }
        section_ = Section::Key;
        return {};
    }

    std::string ReadValueLine(std::string_view line, LineSource& lines) {
        std::string name;
        bool nul = false;
        if (line.front() == '@') {
            line.remove_prefix(1);
        } else if (!ReadQuoted(line, name, nul)) {
            return "nom de valeur sans guillemet final";
        }
        line = TrimLeft(line);
        if (line.empty() || line.front() != '=') {
            return "« = » manquant après le nom de la valeur";
        }
        // The data is read first: a value continued on the next lines takes them even when it
        // goes nowhere.
        std::uint32_t type = 0;
        std::vector<std::uint8_t> data;
        bool removes = false;
        const std::string problem = ReadData(TrimLeft(line.substr(1)), lines, type, data, removes);
        if (!problem.empty()) {
            return problem;
        }
        switch (section_) {
        case Section::BeforeAnyKey:
            return "valeur hors de toute clé";
        case Section::DeletedKey:
            return "valeur d'une clé supprimée par « [-…] »";
        case Section::RefusedKey:
            return {}; // the key's own warning said so
        case Section::Key:
            break;
        }
        if (removes) {
            key_->RemoveValue(name);
        } else {
            key_->SetValue(name, type, std::move(data));
        }
        return {};
    }

    std::string ReadData(std::string_view data, LineSource& lines, std::uint32_t& type,
                         std::vector<std::uint8_t>& bytes, bool& removes) {
        if (data.starts_with('"')) {
            std::string text;
            bool nul = false;
            if (!ReadQuoted(data, text, nul)) {
                return "chaîne sans guillemet final";
            }
            if (!EndsClean(data)) {
                return "texte après la chaîne";
            }
            if (nul) {
                return "« \\0 » dans une chaîne";
            }
            type = RegType::String;
            bytes.assign(text.begin(), text.end());
            bytes.push_back(0);
            return {};
        }
        if (data.starts_with('-')) {
            removes = EndsClean(data.substr(1));
            return removes ? std::string() : "texte après « - »";
        }
        if (StartsWithIgnoringCase(data, kDwordPrefix)) {
            return ReadDword(data.substr(kDwordPrefix.size()), type, bytes);
        }
        std::string problem;
        if (StartsWithIgnoringCase(data, "hex:")) {
            type = RegType::Binary;
            problem = ReadHex(data.substr(4), lines, bytes);
        } else if (StartsWithIgnoringCase(data, "hex(")) {
            const auto close = data.find("):");
            if (close == std::string_view::npos ||
                !ParseHexNumber(data.substr(4, close - 4), type)) {
                return "type hex(n) incorrect";
            }
            problem = ReadHex(data.substr(close + 2), lines, bytes);
        } else {
            return "donnée de valeur illisible";
        }
        if (problem.empty()) {
            EndStringAsRegeditDoes(type, bytes);
        }
        return problem;
    }

    // In a file stored in UTF-16 (whatever its header says), the hex bytes of string types are
    // UTF-16, which the "A" functions give as ANSI; a string without its terminating zero gets
    // one, as regedit stores it.
    void EndStringAsRegeditDoes(std::uint32_t type, std::vector<std::uint8_t>& bytes) const {
        if (utf16File_ && RegType::IsStringType(type)) {
            Utf16LeDataToAnsi(bytes);
        }
        if (IsStringTypeWithoutEnd(type, bytes)) {
            bytes.push_back(0);
        }
    }

    // One to eight hex digits, with spaces around them and a comment after them.
    static std::string ReadDword(std::string_view text, std::uint32_t& type,
                                 std::vector<std::uint8_t>& bytes) {
        std::uint32_t number = 0;
        if (!ParseHexNumber(Trim(BeforeComment(text)), number)) {
            return "nombre dword incorrect (1 à 8 chiffres hexadécimaux)";
        }
        type = RegType::Dword;
        bytes = {static_cast<std::uint8_t>(number), static_cast<std::uint8_t>(number >> 8),
                 static_cast<std::uint8_t>(number >> 16), static_cast<std::uint8_t>(number >> 24)};
        return {};
    }

    // Hex bytes as regedit reads them: "0a,ff,1", a trailing comma, a comment after ";", and
    // after ",\" the next line that is neither blank nor a ";" comment goes on with them. A
    // "#" line there, a line that starts with a comma, or "\" right after a byte, ends the
    // value unread.
    static std::string ReadHex(std::string_view text, LineSource& lines,
                               std::vector<std::uint8_t>& bytes) {
        for (bool first = true;; first = false) {
            std::string_view piece = TrimRight(BeforeComment(text));
            const bool continued = piece.ends_with('\\');
            if (continued) {
                piece = TrimRight(piece.substr(0, piece.size() - 1));
            }
            if (!ReadHexPiece(piece, first, continued, bytes)) {
                return "octets hexadécimaux incorrects";
            }
            if (!continued) {
                return {};
            }
            std::string_view next;
            do {
                if (!lines.Next(next)) {
                    return {}; // the file ends the value
                }
                next = TrimLeft(next);
            } while (next.empty() || next.front() == ';');
            if (next.front() == '#') {
                return "commentaire « # » au milieu des octets";
            }
            text = next;
        }
    }

    static bool ReadHexPiece(std::string_view piece, bool first, bool continued,
                             std::vector<std::uint8_t>& bytes) {
        if (piece.empty()) {
            return first; // "hex:" with no bytes, or continued from its first line
        }
        if (continued && !piece.ends_with(',')) {
            return false;
        }
        while (!piece.empty()) {
            const auto comma = piece.find(',');
            const std::string_view token = TrimLeft(piece.substr(0, comma));
            std::uint32_t byte = 0;
            if (token.size() > 2 || !ParseHexNumber(token, byte)) {
                return false;
            }
            bytes.push_back(static_cast<std::uint8_t>(byte));
            piece = comma == std::string_view::npos ? std::string_view{} : piece.substr(comma + 1);
        }
        return true;
    }

    // Reads a double-quoted text at the start of `line`, leaves `line` after it. "\\", "\\"",
    // "\\n", "\\r" and "\\0" are escapes (`nul` tells that the last was met); any other
    // backslash is kept.
    static bool ReadQuoted(std::string_view& line, std::string& text, bool& nul) {
        for (std::size_t i = 1; i < line.size(); ++i) {
            const char c = line[i];
            if (c == '"') {
                line.remove_prefix(i + 1);
                return true;
            }
            if (c != '\\' || i + 1 == line.size()) {
                text += c;
                continue;
            }
            const char next = line[++i];
            switch (next) {
            case '\\':
            case '"':
                text += next;
                break;
            case 'n':
                text += '\n';
                break;
            case 'r':
                text += '\r';
                break;
            case '0':
                text += '\0';
                nul = true;
                break;
            default:
                text += '\\';
                text += next;
                break;
            }
        }
        return false;
    }

    MemoryStore& store_;
    bool utf16File_;
    const std::string& displayName_;
    std::vector<std::string>& warnings_;
    // Where the value lines are: regedit sets them only in a key it could create.
    enum class Section { BeforeAnyKey, Key, DeletedKey, RefusedKey };
    Section section_ = Section::BeforeAnyKey;
    MemoryKey* key_ = nullptr;
};

} // namespace

namespace {

// The text of a .reg file in ANSI: a UTF-16 file (with its byte-order mark) is converted.
std::string_view AnsiText(std::string_view bytes, std::string& converted, bool& unicode) {
    unicode = bytes.starts_with(kUtf16Bom);
    if (!unicode) {
        return bytes;
    }
    converted = Utf16LeToAnsi(bytes.substr(kUtf16Bom.size()));
    return converted;
}

// The first line of a file, in ANSI, from its first bytes alone.
std::string FirstLine(std::string_view bytes) {
    bool unicode = false;
    std::string converted;
    LineSource lines(AnsiText(bytes.substr(0, kHeadSize), converted, unicode));
    std::string_view line;
    lines.Next(line);
    return std::string(line);
}

// What a refused first line is told: a blank line before the header is named as such, as
// Windows refuses it too.
std::string WhyRefused(const std::string& displayName, std::string_view text) {
    LineSource lines(text);
    std::string_view line;
    while (lines.Next(line) && Trim(line).empty()) {
    }
    if (lines.Number() > 1 && HeaderOf(line) != Header::Refused) {
        return displayName + " : l'en-tête d'un fichier .reg doit être sa première ligne, sans "
                             "ligne vide avant (Windows refuse ce fichier)";
    }
    return displayName + " : ce n'est pas un fichier .reg (en-tête « REGEDIT4 » ou « " +
           std::string(kHeader5) + " » attendu en première ligne)";
}

// The warnings of the file as a whole: one that holds nothing Windows imports, UTF-16 cut in
// the middle of a character, a last line cut in the middle.
void WarnOfTheWhole(std::string_view bytes, std::string_view text, std::string_view first,
                    const std::string& displayName, std::vector<std::string>& warnings) {
    if (HeaderOf(first) == Header::ImportsNothing) {
        warnings.push_back(displayName + " : en-tête « " + std::string(Trim(first)) +
                           " » : Windows importe ce fichier sans rien en lire, et Quillon n'en "
                           "lit rien non plus (en-tête attendu : « REGEDIT4 » ou « " +
                           std::string(kHeader5) + " »)");
    }
    if (bytes.starts_with(kUtf16Bom) && bytes.size() % 2 != 0) {
        warnings.push_back(displayName + " : fichier UTF-16 d'un nombre impair d'octets : le "
                                         "dernier, qui ne forme pas un caractère, est ignoré");
    }
    if (!text.empty() && text.back() != '\n' && text.back() != '\r' &&
        !Trim(text.substr(text.find_last_of("\r\n") + 1)).empty()) {
        warnings.push_back(displayName + " : la dernière ligne n'a pas de fin de ligne : le "
                                         "fichier est peut-être tronqué, sa fin est lue telle "
                                         "quelle");
    }
}

} // namespace

bool LooksLikeRegFile(std::string_view bytes) {
    return HeaderOf(FirstLine(bytes)) != Header::Refused;
}

bool ReadRegText(std::string_view bytes, const std::string& displayName, MemoryStore& store,
                 std::string& error, std::vector<std::string>* warnings) {
    bool unicode = false;
    std::string converted;
    const std::string_view text = AnsiText(bytes, converted, unicode);
    LineSource lines(text);
    std::string_view first;
    lines.Next(first);
    const Header header = HeaderOf(first);
    if (header == Header::Refused) {
        error = WhyRefused(displayName, text);
        return false;
    }
    std::vector<std::string> ignored;
    std::vector<std::string>& said = warnings != nullptr ? *warnings : ignored;
    WarnOfTheWhole(bytes, text, first, displayName, said);
    if (header != Header::ImportsNothing) {
        RegeditImport(store, unicode, displayName, said).ReadLines(lines);
    }
    return true;
}

// The header first: a file that is not a .reg file is refused without being read whole.
bool ReadRegFile(const std::string& path, MemoryStore& store, std::string& error,
                 std::string* refusedHead, std::vector<std::string>* warnings) {
    bool accepted = false;
    const auto headerFits = [&accepted](std::string_view head) {
        return accepted = LooksLikeRegFile(head);
    };
    std::string content;
    FileError fileError;
    if (!ReadFileAfterHead(path, kHeadSize, headerFits, content, fileError)) {
        error = "Impossible de lire « " + path + " » : " + fileError.Reason();
        return false;
    }
    if (!accepted) {
        // Only its first bytes were read: reading them refuses them, and says why.
        ReadRegText(content, path, store, error);
        if (refusedHead != nullptr) {
            *refusedHead = std::move(content);
        }
        return false;
    }
    return ReadRegText(content, path, store, error, warnings);
}

} // namespace quillon
