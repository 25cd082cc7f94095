// The mail of a store folder (a copy Quillon made, or the mail client's own folder) written in
// the open formats today's mail clients import: each message folder as an mbox file, in the tree
// of folders Thunderbird's Local Folders keep, and as one .eml file per message.
#pragma once

#include "files/file_error.h"
#include "mail/mail_copy.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillon {

struct MailExportRequest {
    std::string Store;  // the native folder that holds the .dbx files
    std::string Target; // the native folder to make; missing or empty
    // Also the messages found by their text alone, beside those the index names.
    bool Recover = false;
    // Both formats, each in its folder (MboxRoot, kEmlTree); the .eml files alone, their
    // folders right in the target; or the mbox files alone.
    enum class Formats { MboxAndEml, EmlOnly, MboxOnly };
    Formats Written = Formats::MboxAndEml;
    // Where the mbox files go in the target (native names joined by the system's separator).
    std::string MboxRoot = "mbox";
    // A folder (ANSI) above all the others, as a profile keeps the mail of an identity; none
    // when empty.
    std::string TopFolder;
    // The special folders of the local store named as Thunderbird names its own (Inbox, Sent,
    // Drafts, Trash, Unsent Messages), which it then treats as such.
    bool ThunderbirdFolderNames = false;
    // The address book (.wab, native) to write as vCard and CSV files beside the mail; when
    // empty, the one the store folder holds, or its kAddressBookFolder. Only with MboxAndEml.
    std::string AddressBook;
    // The identity's settings told for the user (ANSI), written beside the mail as
    // kSettingsFile; none when empty.
    std::string SettingsText;
};

struct ExportedFolder {
    std::string Name;            // ANSI: the folder's names from the top, joined by "/"
    std::string File;            // its .dbx file, native
    std::uint32_t Messages = 0;  // written, recovered ones included
    std::uint32_t Recovered = 0; // found by their text alone, written apart
    std::uint32_t Cut = 0;       // whose text breaks off: written as far as it goes
};

struct ExportedAddressBook {
    std::string File;           // the .wab file, native
    std::uint32_t Contacts = 0; // groups left out
    std::uint32_t Groups = 0;
};

struct MailExportOutcome {
    enum class Status {
        Done,
        NoMessageFolder, // no .dbx message folder nor address book in the store folder
        TargetTaken,     // the target is there and is no empty folder
        WriteFailed,     // Error says which file and why; nothing is left
        Stopped,         // by the progress callback; nothing is left
    };
    Status State = Status::Done;
    std::vector<ExportedFolder> Folders;
    std::optional<ExportedAddressBook> AddressBook;
    bool SettingsWritten = false;      // kSettingsFile
    std::vector<std::string> Problems; // ANSI French: what was read only in part, and why
    FileError Error;
};

// The folders the export makes inside its target; inside a copy of the mail, the folder of
// each conversion.
inline constexpr const char* kMboxTree = "mbox";
inline constexpr const char* kEmlTree = "eml";
inline constexpr const char* kOpenFormatsFolder = "Formats ouverts";
inline constexpr const char* kEmlOnlyFolder = "Messages eml";
inline constexpr const char* kSettingsFile = "Comptes.txt";

MailExportOutcome ExportMail(const MailExportRequest& request, const MailProgress& progress = {});

class ExportTree;
// The same into a tree already begun (request.Target is not read), for a writer that puts more
// beside the mail; the tree is left for the caller to finish.
MailExportOutcome ExportMailInto(ExportTree& tree, const MailExportRequest& request,
                                 const MailProgress& progress = {});

// How many messages the export wrote, in all its folders.
std::uint32_t MessagesWritten(const MailExportOutcome& outcome);

// What the export did, as lines for the user (ANSI French).
std::string DescribeMailExport(const MailExportOutcome& outcome, const std::string& targetShown);

} // namespace quillon
