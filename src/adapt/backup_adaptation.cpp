#include "adapt/backup_adaptation.h"

#include "export/value_lines.h"
#include "formats/reg_text_syntax.h"
#include "text/ansi_codepage.h"

#include <algorithm>

namespace quillon {
namespace {

constexpr std::string_view kIdentityKey = "[HKEY_CURRENT_USER\\Identities\\{";
constexpr std::string_view kStoreRootLine = "\"Store Root";
constexpr std::string_view kStoreRootHex = "\"Store Root\"=hex(2):";
// A string without its terminating zero is written in this form (the exporter's own rule).
constexpr std::string_view kStoreRootHexString = "\"Store Root\"=hex(1):";
constexpr std::string_view kUserGroupKey = "[HKEY_USERS\\S-1-5-21-";
constexpr std::string_view kAddressBookKey = "\\Software\\Microsoft\\WAB\\WAB4\\Wab File Name]";
constexpr std::size_t kGroupStart = 12;         // the identifier's first character
constexpr std::size_t kGroupWithoutEnding = 44; // its length when "-1003" is not found
constexpr std::string_view kUserGroupEnding = "-1003";
// A key line shorter than this holds no whole group identifier and is left as it is.
constexpr std::size_t kShortestGroupKeyLine = kGroupStart + kGroupWithoutEnding;
// An identity or a group this short, read or given, names none: nothing is replaced for it.
constexpr std::size_t kLongestNoIdentity = 5;
constexpr std::size_t kLongestNoGroup = 10;

// The identifier in a user-group key line: from its 13th character through "-1003".
std::string_view GroupIdentifier(std::string_view line) {
    const auto ending = line.find(kUserGroupEnding, kGroupStart);
    const std::size_t length = ending == std::string_view::npos
                                   ? kGroupWithoutEnding
                                   : ending + kUserGroupEnding.size() - kGroupStart;
    return line.substr(kGroupStart, length);
}

// The hex form a "Store Root" line is written in, hex(2) or hex(1); empty for a quoted one.
std::string_view StoreRootHexForm(std::string_view line) {
    if (line.starts_with(kStoreRootHex)) {
        return kStoreRootHex;
    }
    return line.starts_with(kStoreRootHexString) ? kStoreRootHexString : std::string_view();
}

// The folder of a "Store Root" value line: the quoted text, or the text of a hex(2) or hex(1)
// value without its terminating zero (ANSI bytes, or UTF-16 ones in a UTF-16 file). Nothing
// for a line too short or not readable.
std::optional<std::string> StoreFolderOf(std::string_view line, bool utf16) {
    if (const std::string_view form = StoreRootHexForm(line); !form.empty()) {
        std::vector<std::uint8_t> bytes;
        std::string_view data = line.substr(form.size());
        std::string_view none;
        LineSource noContinuation(none);
        if (!ParseHexBytes(data, noContinuation, bytes).empty()) {
            return std::nullopt;
        }
        const std::size_t zero = utf16 ? 2 : 1;
        if (bytes.size() >= zero && std::all_of(bytes.end() - static_cast<long>(zero), bytes.end(),
                                                [](auto b) { return b == 0; })) {
            bytes.resize(bytes.size() - zero);
        }
        const std::string text(bytes.begin(), bytes.end());
        return utf16 ? Utf16LeToAnsi(text) : text;
    }
    constexpr std::size_t kTextStart = 14; // after "Store Root"="
    if (line.size() < kTextStart + 1) {
        return std::nullopt;
    }
    return SimplifierSeparateur(line.substr(kTextStart, line.size() - kTextStart - 1), '\\');
}

// A value line for a text, written by the exporter's own rules, escapes included. The bytes of
// a hex form are UTF-16 ones in a UTF-16 file.
std::string QuotedValueLine(const char* name, std::uint32_t type, const std::string& text,
                            bool utf16 = false) {
    const std::string bytes = utf16 ? AnsiToUtf16Le(text) + std::string(2, '\0') : text + '\0';
    std::string line;
    AppendValueLine(line,
                    RegValue{name, type, std::vector<std::uint8_t>(bytes.begin(), bytes.end())});
    return line;
}

// The new "Store Root" line, of the type the old one had: hex(2), or a string (quoted, as the
// exporter writes a string with its terminating zero, whether the old line was quoted or
// hex(1)).
std::string StoreFolderLine(std::string_view oldLine, const std::string& folder, bool utf16) {
    if (oldLine.starts_with(kStoreRootHex)) {
        return QuotedValueLine("Store Root", RegType::ExpandString, folder, utf16);
    }
    return QuotedValueLine("Store Root", RegType::String, folder);
}

} // namespace

bool IsWindowsPath(std::string_view folder) {
    return std::none_of(folder.begin(), folder.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 ||
               std::string_view("\"<>|*?").find(c) != std::string_view::npos;
    });
}

const std::string DefaultAddressBook = "R\xE9pertoire par d\xE9"
                                       "faut";

std::string SimplifierSeparateur(std::string_view texte, char separateur) {
    std::string result;
    result.reserve(texte.size());
    for (std::size_t i = 0; i < texte.size(); ++i) {
        result += texte[i];
        if (texte[i] == separateur && i + 1 < texte.size() && texte[i + 1] == separateur) {
            ++i;
        }
    }
    return result;
}

// The value line at n joined with the lines that continue it (regedit wraps long hex values:
// each line but the last ends with a backslash); `last` receives the index of the last one.
std::string JoinedValueLine(const HeldLines& lines, std::size_t n, std::size_t& last) {
    std::string joined(lines[n]);
    last = n;
    while (joined.ends_with('\\') && last + 1 < lines.Size()) {
        joined.pop_back();
        joined += TrimLeft(lines[++last]);
    }
    return joined;
}

void ScanLine(const HeldLines& lines, std::size_t index, BackupFindings& found) {
    const std::string_view line = lines[index];
    const auto n = static_cast<std::int64_t>(index);
    if (!found.Identity) {
        if (const auto key = line.find(kIdentityKey); key != std::string_view::npos) {
            const auto brace = key + kIdentityKey.size() - 1;
            if (const auto close = line.find('}', brace); close != std::string_view::npos) {
                found.Identity = std::string(line.substr(brace, close - brace + 1));
            }
        }
    }
    if (line.starts_with(kStoreRootLine)) {
        std::size_t last = 0;
        if (auto folder = StoreFolderOf(JoinedValueLine(lines, index, last), lines.Utf16())) {
            found.StoreFolder = std::move(folder);
        }
    }
    if (line.starts_with(kUserGroupKey)) {
        found.Group = std::string(GroupIdentifier(line));
    }
    if (line.find(kAddressBookKey) != std::string_view::npos) {
        found.AddressBookLine = n;
    }
    if (found.AddressBookLine >= 1 && n == found.AddressBookLine + 1 && line.size() >= 4) {
        found.AddressBook = SimplifierSeparateur(line.substr(3, line.size() - 4), '\\');
    }
}

AdaptationCounts AdaptLines(HeldLines& lines, const AdaptationInput& input) {
    AdaptationCounts counts;
    const std::string& oldId = input.OldIdentity;
    const bool replaceIdentity = oldId.size() > kLongestNoIdentity && oldId != input.NewIdentity;
    const bool replaceGroup = input.NewGroup.size() > kLongestNoGroup;
    const bool keepDefaultAddressBook =
        input.AddressBook.empty() || input.AddressBook == DefaultAddressBook;
    for (std::size_t n = 0; n < lines.Size(); ++n) {
        std::string_view line = lines[n];
        std::string rewritten;
        bool changed = false;
        if (replaceIdentity) {
            if (const auto at = line.find(oldId); at != std::string_view::npos) {
                rewritten = std::string(line.substr(0, at)) + input.NewIdentity +
                            std::string(line.substr(at + oldId.size()));
                changed = true;
                ++counts.Identity;
            }
        }
        std::string_view current = changed ? std::string_view(rewritten) : line;
        // Only the value lines that a read takes the folder from: a key or another value that
        // merely mentions "Store Root" is not turned into one.
        if (!input.FolderChosen.empty() && current.starts_with(kStoreRootLine)) {
            // A wrapped value, in whatever hex form, is replaced whole: its continuation lines
            // become blank lines.
            std::size_t last = n;
            JoinedValueLine(lines, n, last);
            for (std::size_t continuation = n + 1; continuation <= last; ++continuation) {
                lines.Set(continuation, "");
            }
            rewritten = StoreFolderLine(current, input.FolderChosen, lines.Utf16());
            changed = true;
            if (input.FolderRead != input.FolderChosen) {
                ++counts.Folder;
            }
        }
        current = changed ? std::string_view(rewritten) : line;
        if (replaceGroup && current.size() >= kShortestGroupKeyLine &&
            current.starts_with(kUserGroupKey)) {
            const std::string_view old = GroupIdentifier(current);
            counts.OldGroup = std::string(old);
            rewritten = "[HKEY_USERS\\" + input.NewGroup +
                        std::string(current.substr(kGroupStart + old.size()));
            changed = true;
            ++counts.Group;
        }
        if (changed) {
            lines.Set(n, std::move(rewritten));
        }
        // The address-book pair: moved under the new identity, or blanked so that the new
        // system keeps its own. A header on the last line is treated alone.
        if (input.AddressBookLine >= 1 && static_cast<std::int64_t>(n) == input.AddressBookLine) {
            const bool hasValueLine = n + 1 < lines.Size();
            if (keepDefaultAddressBook) {
                lines.Set(n, " ");
                if (hasValueLine) {
                    lines.Set(n + 1, " ");
                }
            } else {
                lines.Set(n, "[HKEY_CURRENT_USER\\Identities\\" + input.NewIdentity +
                                 std::string(kAddressBookKey));
                if (hasValueLine) {
                    lines.Set(n + 1, QuotedValueLine("", RegType::String, input.AddressBook));
                }
                ++counts.AddressBook;
            }
        }
    }
    return counts;
}

bool IsBackupHeader(std::string_view line) {
    return line.starts_with("REGEDIT4") || line.starts_with("Windows Registry Editor Version 5.00");
}

} // namespace quillon
