// What tab 3 finds in a backup file and how it rewrites it for the new system: the identity
// key name, the store folder ("Store Root"), the user's identifier in the keys under
// HKEY_USERS, and the address-book key.
#pragma once

#include "adapt/held_lines.h"

#include <optional>

namespace quillon {

// Every pair of adjacent separators made one ("C:\\Mail" gives "C:\Mail").
std::string SimplifierSeparateur(std::string_view texte, char separateur);

// What a read finds; an item the file does not hold (or holds on a line too short to read it
// from) stays empty.
struct BackupFindings {
    std::optional<std::string> Identity;    // the first identity key's name, braces included
    std::optional<std::string> StoreFolder; // the last "Store Root", single backslashes
    std::optional<std::string> Group;       // the last user-group key's identifier
    std::optional<std::string> AddressBook; // the path under the last address-book key header
    std::int64_t AddressBookLine = 0;       // index of that header; 0 for none
};

// Looks at line n in the order of a read, updating what was found so far. A value continued
// over the next lines (each ending with a backslash) is read whole.
void ScanLine(const HeldLines& lines, std::size_t n, BackupFindings& found);

// False for a folder holding a character that no Windows path may hold (a control character,
// a quote, <, >, |, * or ?): written into a backup, it could be taken for other records.
bool IsWindowsPath(std::string_view folder);

// A backup's first line: what Quillon and the system's regedit write ("REGEDIT4", or
// "Windows Registry Editor Version 5.00" for a UTF-16 file, held as ANSI).
bool IsBackupHeader(std::string_view line);

struct AdaptationInput {
    std::string OldIdentity;  // IdentiteFichier
    std::string NewIdentity;  // IdentiteBdRActif
    std::string FolderRead;   // RepertoireLu
    std::string FolderChosen; // RepertoireChoisi
    std::string NewGroup;     // GroupeActif
    std::string AddressBook;  // CheminCarnetNouveau
    std::int64_t AddressBookLine = 0;
};

struct AdaptationCounts {
    std::int64_t Identity = 0;           // NbChangementId
    std::int64_t Folder = 0;             // NbChangementRep
    std::int64_t Group = 0;              // NbChangementGroupe
    std::int64_t AddressBook = 0;        // NbChangementCarnet
    std::optional<std::string> OldGroup; // the last old identifier replaced
};

// The text that leaves the address book to the new system's default.
extern const std::string DefaultAddressBook;

// Rewrites the held lines for the new system and counts the changes.
AdaptationCounts AdaptLines(HeldLines& lines, const AdaptationInput& input);

} // namespace quillon
