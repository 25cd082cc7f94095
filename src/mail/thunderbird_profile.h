// The identity moved whole into a Thunderbird profile, a folder and the same as a zip, which
// Thunderbird's "Import from Thunderbird" takes and `thunderbird -profile FOLDER` opens: its
// accounts, identities and signature (prefs.js), its mail in the local folders under the
// identity's name (the special folders as Thunderbird's own), its address book, its blocked
// senders as a message filter. What Thunderbird rebuilds itself (summaries, caches) is not
// written.
#pragma once

#include "mail/mail_export.h"
#include "mail/thunderbird_prefs.h"

#include <string>

namespace quillon {

struct ThunderbirdProfileRequest {
    std::string Store;        // the store folder (a copy made with the mail), native
    std::string AddressBook;  // native; empty: the one the store folder holds
    std::string Target;       // the profile folder to make, missing or empty; its zip beside
    std::string IdentityName; // ANSI: the folder that holds its mail
    ProfileSettings Settings;
    bool Recover = false;
};

struct ThunderbirdProfileOutcome {
    enum class Status { Done, TargetTaken, WriteFailed, Stopped };
    Status State = Status::Done;
    MailExportOutcome Mail; // its folders and what their reading met
    std::size_t Accounts = 0;
    std::size_t Cards = 0; // in the address book
    std::string Zip;       // native path
    FileError Error;
};

inline constexpr const char* kProfileZipExtension = ".zip";

ThunderbirdProfileOutcome WriteThunderbirdProfile(const ThunderbirdProfileRequest& request,
                                                  const MailProgress& progress = {});

// What was written, as lines for the user (ANSI French).
std::string DescribeThunderbirdProfile(const ThunderbirdProfileOutcome& outcome,
                                       const std::string& targetShown);

} // namespace quillon
