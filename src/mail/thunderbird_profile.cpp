#include "mail/thunderbird_profile.h"

#include "files/temp_file.h"
#include "files/zip_writer.h"
#include "mail/address_book.h"
#include "mail/copy_owner.h"
#include "mail/export_tree.h"
#include "mail/report_text.h"
#include "mail/thunderbird_address_book.h"
#include "text/ansi_codepage.h"
#include "text/native_text.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <set>

namespace quillon {
namespace {

namespace fs = std::filesystem;
using Status = ThunderbirdProfileOutcome::Status;

constexpr const char* kPrefsFile = "prefs.js";
constexpr const char* kFiltersFile = "msgFilterRules.dat";

// A relative path of the profile with the system's separators (its parts are ASCII).
std::string Native(std::string_view path) {
    std::string native(path);
    for (char& c : native) {
        c = c == '/' ? kPathSeparator : c;
    }
    return native;
}

// A file's name in the zip: '/' between folders, UTF-8.
std::string ZipName(const std::string& relative) {
#ifdef _WIN32
    std::string name = AnsiToUtf8(NativeToAnsi(relative));
#else
    std::string name = relative;
#endif
    for (char& c : name) {
        c = c == kPathSeparator ? '/' : c;
    }
    return name;
}

bool Exists(const std::string& path) {
    std::error_code ec;
    return fs::symlink_status(path, ec).type() != fs::file_type::not_found;
}

// Writes the profile's files around the mail into the tree.
class ProfileWriter {
  public:
    ProfileWriter(ExportTree& tree, ThunderbirdProfileOutcome& outcome)
        : tree_(tree), outcome_(outcome) {}

    void MailFoldersMade() { made_ = {"Mail", Native(std::string("Mail/") + kLocalFoldersFolder)}; }
    bool Folder(const std::string& relative) {
        for (std::size_t at = relative.find(kPathSeparator);;
             at = relative.find(kPathSeparator, at + 1)) {
            const std::string part = relative.substr(0, at);
            if (made_.insert(part).second && !tree_.MakeFolder(part, outcome_.Error)) {
                return false;
            }
            if (at == std::string::npos) {
                return true;
            }
        }
    }
    bool File(const std::string& relative, std::string_view text) {
        OutputFile out;
        if (!tree_.NewFile(relative, out, outcome_.Error)) {
            return false;
        }
        out.Write(text);
        return out.Close(outcome_.Error);
    }
    bool AddressBook(const std::vector<Contact>& contacts) {
        return File(kAddressBookDatabaseFile, "") &&
               WriteThunderbirdAddressBook(tree_.PathOf(kAddressBookDatabaseFile), contacts,
                                           outcome_.Cards, outcome_.Error);
    }
    // The blocked senders' filter in each folder of an account that receives mail; in the
    // local folders when none does.
    bool Filters(const ProfileSettings& settings) {
        const std::vector<std::string> folders = ServerFolders(settings);
        std::vector<std::string> receiving;
        for (std::size_t i = 0; i < folders.size(); ++i) {
            if (!Folder(Native(folders[i]))) {
                return false;
            }
            if (settings.Accounts[i].Incoming.Kind != ProfileServer::Protocol::News) {
                receiving.push_back(Native(folders[i]));
            }
        }
        if (settings.BlockedSenders.empty()) {
            return true;
        }
        if (receiving.empty()) {
            receiving.push_back(Native(std::string("Mail/") + kLocalFoldersFolder));
        }
        for (const std::string& folder : receiving) {
            if (!File(folder + kPathSeparator + kFiltersFile,
                      BlockedSendersFilter(settings.BlockedSenders))) {
                return false;
            }
        }
        return true;
    }

  private:
    ExportTree& tree_;
    ThunderbirdProfileOutcome& outcome_;
    std::set<std::string> made_;
};

// The tree's files as a zip, under a temporary name beside `zip`.
std::optional<TemporaryFile> Zipped(const ExportTree& tree, const std::string& zip,
                                    FileError& error) {
    std::optional<TemporaryFile> temporary = TemporaryFile::CreateBeside(zip, error);
    OutputFile out;
    if (!temporary || !out.Open(*temporary, error)) {
        return std::nullopt;
    }
    if (!HandToUser(temporary->Descriptor())) {
        error = FileError{temporary->Path(), errno != 0 ? errno : EPERM};
        return std::nullopt;
    }
    ZipWriter writer(out);
    for (const std::string& file : tree.Files()) {
        if (!writer.AddFile(ZipName(file), tree.PathOf(file), error)) {
            return std::nullopt;
        }
    }
    writer.Finish();
    if (!out.Close(error)) {
        return std::nullopt;
    }
    return temporary;
}

MailExportRequest MailOf(const ThunderbirdProfileRequest& request) {
    MailExportRequest mail;
    mail.Store = request.Store;
    mail.Written = MailExportRequest::Formats::MboxOnly;
    mail.MboxRoot = Native(std::string("Mail/") + kLocalFoldersFolder);
    mail.TopFolder = request.IdentityName;
    mail.ThunderbirdFolderNames = true;
    mail.Recover = request.Recover;
    return mail;
}

bool WriteAround(ExportTree& tree, const ThunderbirdProfileRequest& request,
                 ThunderbirdProfileOutcome& outcome) {
    ProfileWriter writer(tree, outcome);
    if (outcome.Mail.State == MailExportOutcome::Status::Done) {
        writer.MailFoldersMade();
    } else if (!writer.Folder(Native(std::string("Mail/") + kLocalFoldersFolder))) {
        return false;
    }
    const std::string book = request.AddressBook.empty()
                                 ? FindAddressBook(request.Store, outcome.Mail.Problems)
                                 : request.AddressBook;
    std::vector<Contact> contacts;
    if (!book.empty() && ReadAddressBook(book, contacts, outcome.Mail.Problems) &&
        !writer.AddressBook(contacts)) {
        return false;
    }
    outcome.Accounts = request.Settings.Accounts.size();
    return writer.File(kPrefsFile, ThunderbirdPrefs(request.Settings)) &&
           writer.Filters(request.Settings);
}

} // namespace

ThunderbirdProfileOutcome WriteThunderbirdProfile(const ThunderbirdProfileRequest& request,
                                                  const MailProgress& progress) {
    ThunderbirdProfileOutcome outcome;
    outcome.Zip = request.Target + kProfileZipExtension;
    ExportTree tree;
    if (Exists(outcome.Zip) || !tree.Begin(request.Target, outcome.Error)) {
        outcome.State = Exists(outcome.Zip) || outcome.Error.Errno == EEXIST ? Status::TargetTaken
                                                                             : Status::WriteFailed;
        if (Exists(outcome.Zip)) {
            outcome.Error = FileError{outcome.Zip, EEXIST};
        }
        return outcome;
    }
    outcome.Mail = ExportMailInto(tree, MailOf(request), progress);
    if (outcome.Mail.State == MailExportOutcome::Status::Stopped) {
        outcome.State = Status::Stopped;
        return outcome;
    }
    if (outcome.Mail.State == MailExportOutcome::Status::WriteFailed) {
        outcome.State = Status::WriteFailed;
        outcome.Error = outcome.Mail.Error;
        return outcome;
    }
    if (!WriteAround(tree, request, outcome)) {
        outcome.State = Status::WriteFailed;
        return outcome;
    }
    std::optional<TemporaryFile> zip = Zipped(tree, outcome.Zip, outcome.Error);
    if (!zip) {
        outcome.State = Status::WriteFailed;
        return outcome;
    }
    if (Exists(outcome.Zip)) {
        outcome.State = Status::TargetTaken;
        outcome.Error = FileError{outcome.Zip, EEXIST};
        return outcome;
    }
    // The entry of that name itself: a link put there meanwhile is not written through.
    if (!zip->TakeName(outcome.Zip, outcome.Error)) {
        outcome.State = Status::WriteFailed;
        return outcome;
    }
    if (!tree.Finish(outcome.Error)) {
        std::remove(outcome.Zip.c_str());
        outcome.State = Status::WriteFailed;
    }
    return outcome;
}

std::string DescribeThunderbirdProfile(const ThunderbirdProfileOutcome& outcome,
                                       const std::string& targetShown) {
    std::string text;
    switch (outcome.State) {
    case Status::TargetTaken:
        text = Ansi("« ") + NativeToAnsi(outcome.Error.Path) +
               Ansi(" » existe déjà : choisissez pour le profil un dossier nouveau ou vide, "
                    "sans archive .zip de ce nom à côté.");
        break;
    case Status::WriteFailed:
        text = WriteFailedText(outcome.Error);
        break;
    case Status::Stopped:
        text = Ansi("Profil Thunderbird arrêté : rien n'a été écrit.");
        break;
    case Status::Done: {
        const std::uint32_t messages = MessagesWritten(outcome.Mail);
        text = Ansi("Profil Thunderbird écrit dans ") + Quoted(targetShown) + Ansi(" et ") +
               Quoted(NativeToAnsi(outcome.Zip)) + " : " + std::to_string(outcome.Accounts) +
               Ansi(" compte(s), ") + std::to_string(outcome.Mail.Folders.size()) +
               Ansi(" dossier(s) de ") + std::to_string(messages) + Ansi(" message(s), ") +
               std::to_string(outcome.Cards) + Ansi(" contact(s).");
        text += Ansi("\nOuvrez-le dans Thunderbird par Outils > Importer > Importer depuis "
                     "Thunderbird (le dossier ou le .zip), ou avec « thunderbird -profile "
                     "DOSSIER ». Thunderbird demandera une fois le mot de passe de chaque "
                     "compte.");
    }
    }
    AddProblems(text, outcome.Mail.Problems);
    return text;
}

} // namespace quillon
