// The mail client's store folder and address book carried with the settings: copied out of the
// installation read into a folder of this machine, each file checked against its source, and
// put in place on the new system from such a copy.
#pragma once

#include "mail/mail_files.h"
#include "sources/installation_paths.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quillon {

// Where the mail of one identity lies, as Windows paths of its installation (ANSI, variables
// expanded, terminating zeros dropped).
struct MailPaths {
    std::string StoreFolder;
    std::string AddressBook; // empty when the registry names none
};

// One file copied or placed.
struct MailFileCopied {
    std::string Name; // native
    std::uint64_t Size = 0;
    MailFileHeader Header;
};

// What a copy or a placement did. Texts are ANSI French.
struct MailReport {
    std::string StoreShown; // the store folder, as messages name it
    std::vector<MailFileCopied> StoreFiles;
    std::optional<MailFileCopied> AddressBook;
    std::string AddressBookShown; // where the address book was read or put
    std::vector<std::string> Warnings;
    // Set when the work failed or was stopped; then nothing it wrote is left.
    std::string Error;
    bool Stopped = false;
    bool NoStoreFolder = false; // the error: the store folder named is not there

    bool Done() const { return Error.empty(); }
};

// The folder of a copy that holds the address book, beside the store's files.
inline constexpr std::string_view kAddressBookFolder = "Carnet d'adresses";

// Told of the bytes copied so far out of the total; returns true to stop the work.
using MailProgress = std::function<bool(std::uint64_t done, std::uint64_t total)>;

// Copies every file of the store folder, and the address book, named by `paths` out of
// `installation` (nullptr: this system's own disks) into `destination` (a native path), which
// must be missing or empty. Each copy is compared with its source (size and digest) before it
// takes its name; on any failure nothing is left in `destination`.
MailReport CopyMailOut(const InstallationPaths* installation, const MailPaths& paths,
                       const std::string& destination, const MailProgress& progress = {});

// Puts a copy made by CopyMailOut (`copy`, a native path) in place on the new system: its store
// files into `paths.StoreFolder`, its address book at `paths.AddressBook`, on `installation`
// (nullptr: this system's own disks). Files already there are replaced only when `replace`
// answers true to a question naming them; all files are written and checked before any takes
// its name.
MailReport PlaceMail(const std::string& copy, const InstallationPaths* installation,
                     const MailPaths& paths,
                     const std::function<bool(const std::string& question)>& replace,
                     const MailProgress& progress = {});

// What a report says to the user: the folder, its message folders and messages, the address
// book, and each warning (ANSI French lines).
std::string DescribeMailReport(const MailReport& report, const std::string& copyShown, bool placed);

} // namespace quillon
