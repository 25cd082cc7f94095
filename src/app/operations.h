// What the window's commands take and give back as operations: the faces' handlers gather the
// window's state into these, and the command line builds them from its arguments; neither reads
// a status out of a message's text.
#pragma once

#include "adapt/backup_adaptation.h"
#include "files/file_error.h"
#include "mail/mail_export.h"
#include "mail/thunderbird_profile.h"

#include <bitset>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>

namespace quillon {

// The groups of settings a backup can carry: one per box of tabs 1 and 2.
enum class SettingsGroup {
    All,
    BlockedSenders,
    BlockedMail,
    BlockedNews,
    Rules,
    RulesMail,
    Filters,
    RulesNews,
    Signatures,
    Accounts,
    DialUp,
    AddressBook, // tab 1 only
};

class SettingsGroups {
  public:
    SettingsGroups() = default;
    SettingsGroups(std::initializer_list<SettingsGroup> groups) {
        for (const SettingsGroup group : groups) {
            Add(group);
        }
    }
    void Add(SettingsGroup group) { set_.set(Index(group)); }
    bool Has(SettingsGroup group) const { return set_.test(Index(group)); }

  private:
    static constexpr std::size_t kCount = static_cast<std::size_t>(SettingsGroup::AddressBook) + 1;
    static std::size_t Index(SettingsGroup group) { return static_cast<std::size_t>(group); }
    std::bitset<kCount> set_;
};

// Whose settings a backup carries: the active user's (tab 1), or those of a hive loaded under
// HKEY_LOCAL_MACHINE\Hive (tab 2), for the identity given.
struct BackupSource {
    bool OtherHive = false;
    std::string Hive;
    std::string Identity;
};

struct BackupOutcome {
    enum class Status {
        Done,
        NoSettings, // "all settings" asked, and the identity has none
        NoKey,      // nothing found to write
        FileFailed, // a file could not be written or read: Error says which and why
    };
    Status State = Status::Done;
    std::int32_t Lines = 0; // written in the backup, when done
    std::string File;       // the backup file
    FileError Error;
};

// What a copy of the mail is also written as, once made: nothing more, its messages as .eml
// files (in kEmlOnlyFolder inside it), or in the open formats, mbox and .eml (in
// kOpenFormatsFolder).
enum class MailConversion { None, Eml, OpenFormats };

// A copy of the mail out of the old installation, or its placement on the new one.
struct MailOutcome {
    enum class Status {
        Done,
        Failed,
        Stopped,
        ConversionFailed, // copied, but not written as asked: Converted says why
    };
    Status State = Status::Done;
    std::optional<MailExportOutcome> Converted; // when a conversion was asked and tried
    std::size_t StoreFiles = 0;                 // copied and checked
    bool AddressBook = false;                   // copied and checked
    std::size_t Warnings = 0; // files left out or damaged, named in the report shown
};

// An identity moved into a Thunderbird profile: its mail copied out first into a folder of the
// program's own, then written with the settings as a profile.
struct ProfileOutcome {
    enum class Status { Done, CopyFailed, ProfileFailed, Stopped };
    Status State = Status::Done;
    std::optional<ThunderbirdProfileOutcome> Profile; // once the copy was made
};

// Tab 2's search of a hive for its identity and store folder.
struct LookupOutcome {
    enum class Status { Found, NoHiveName, NoIdentity, NoStoreFolder };
    Status State = Status::Found;
    std::string Identity;
    std::string StoreFolder;
};

// Tab 3: a backup file read into the tab.
struct ReadBackupOutcome {
    enum class Status {
        Read,
        Missing,       // no such file, or a folder
        Unreadable,    // Error says why
        NotInCodePage, // UTF-16 text that Windows-1252 cannot hold whole
    };
    Status State = Status::Read;
    std::int32_t Lines = 0;
    FileError Error;
};

// Tab 3's changes for this system: the identity of the backup to replace (by the active one),
// the store folder it is to have, and where its address book is to be.
struct AdaptRequest {
    std::string OldIdentity;
    std::string StoreFolder;
    std::string AddressBook;
};

struct AdaptOutcome {
    enum class Status {
        Adapted,
        NoIdentity,     // the active one, or the backup's, is unknown
        NothingRead,    // no backup read yet
        NotWindowsPath, // the folder or the address book cannot be a Windows path
    };
    Status State = Status::Adapted;
    AdaptationCounts Counts; // the lines changed
};

// Tab 3: the adapted backup written.
struct WriteOutcome {
    enum class Status { Written, Empty, NoFile, FileFailed };
    Status State = Status::Written;
    std::int32_t Lines = 0;
    std::string File;
    FileError Error;
};

} // namespace quillon
