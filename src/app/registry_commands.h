// What the command line offers beside the window's tabs: one key exported into a file, and the
// installations and users that the store options reach, each seen as the window would start on
// it. Also what every program of Quillon asks of the system before it starts.
#pragma once

#include "app/ui_port.h"
#include "backup/identity_summary.h"
#include "export/key_export.h"
#include "mail/mail_export.h"
#include "sources/registry_sources.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quillon {

class OpenedImages;

// Writes one key into the file the user named: appended, or as a new file that replaces it
// only once complete. On any failure the file is as it was before.
ExportResult ExportKeyIntoUserFile(Reg_access& registry, const KeyPath& key,
                                   const std::string& fileName, bool append);

// The mail of a store folder written into a new folder in open formats (mbox and .eml), which
// is left out whole or not at all.
MailExportOutcome ExportMailInOpenFormats(const MailExportRequest& request,
                                          const MailProgress& progress = {});

// From now on, an interruption (Ctrl+C, closing the terminal or console, a request to end)
// deletes the temporary files that exist at that moment, which may hold stored passwords, and
// takes back what an unfinished append added to the user's file.
void CleanUpOnInterrupt();

// One user of one installation, as the window's start-up finds it (ANSI texts).
struct InstallationRow {
    std::string Where;      // as the sources name it, in the system's encoding (UTF-8 off Windows)
    std::string System;     // UTF-8
    std::string User;       // UTF-8
    std::string Unreadable; // UTF-8: why its registry could not be read; empty when it could
    std::string Version;
    std::string Identity;
    std::string Folder;                     // without its terminating zeros
    std::optional<IdentitySummary> Details; // asked for, and an identity was found
    bool WindowOpens = false; // the window's start-up goes on (a mail client 5 or 6 is there)
    StoreOptions Options;     // what reads this user's registry alone
};

// Opens the registry of one listed installation, its image among the `images` the listing
// opened; nullptr with a French `error`.
using StoreOpener = std::function<std::unique_ptr<RegistryStore>(
    const StoreOptions& options, OpenedImages* images, std::string& error)>;

// Every user of every installation that `options` reach (on Windows with no source, this
// system's registry), each found by the window's start-up run without its messages; `report`
// is told of each step and may stop the listing. false with a French `error` when an image or a
// folder cannot be read, or the listing was stopped.
bool ListInstallationRows(const StoreOptions& options, const StoreOpener& open,
                          const std::string& programFolder, bool details,
                          std::vector<InstallationRow>& rows, std::string& error,
                          const StepReport& report = {});

// Whether the window's start-up, run without its messages, goes on with `store`.
bool WindowStartsOn(RegistryStore& store, const std::string& programFolder);

} // namespace quillon
