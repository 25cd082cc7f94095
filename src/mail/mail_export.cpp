#include "mail/mail_export.h"

#include "disks/file_tree.h"
#include "formats/dbx_file.h"
#include "mail/address_book.h"
#include "mail/contacts_csv.h"
#include "mail/export_tree.h"
#include "mail/mail_names.h"
#include "mail/mbox_writer.h"
#include "mail/report_text.h"
#include "mail/vcard.h"
#include "text/ansi_codepage.h"
#include "text/native_text.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <set>

namespace quillon {
namespace {

// Names made from what the mail client stored stay short, so that a deep tree of folders stays
// within the paths Windows opens.
constexpr std::size_t kLongestFolderName = 64;
constexpr std::size_t kLongestSubject = 60;
constexpr int kMessageNumberDigits = 5;
// A folders list that claims a tree deeper than this loops.
constexpr std::size_t kDeepestFolder = 64;

constexpr std::string_view kSubfolders = ".sbd";
constexpr std::string_view kRecoveredSuffix = " (récupérés)";
constexpr std::string_view kRecoveredFolder = "récupérés";

bool HasExtension(std::string_view name, std::string_view extension) {
    return name.size() > extension.size() &&
           EqualsIgnoringCase(name.substr(name.size() - extension.size()), extension);
}

bool IsDbxName(std::string_view name) {
    return HasExtension(name, ".dbx");
}

std::string Stem(std::string_view name) {
    return std::string(name.substr(0, name.rfind('.')));
}

// What the reading of `file` (a native path) met, named by the file.
void TakeProblems(DbxFile& file, const std::string& path, std::vector<std::string>& problems) {
    for (const std::string& problem : file.TakeProblems()) {
        problems.push_back(Quoted(NativeToAnsi(path)) + " : " + Ansi(problem));
    }
}

// A message folder to write: its .dbx file and its names from the top of the tree (ANSI).
struct Source {
    std::string File; // native, in the store folder
    std::vector<std::string> Names;
    std::uint32_t Special = 0; // DbxSpecialFolder; 0 for an ordinary folder
};

// The names of each folder of the folders list that has a file, from the top: the root
// ("Outlook Express") and the local store's own folder are left out, so that the local
// folders come first, as in every mail client's tree.
std::map<std::string, Source> NamesByFile(const std::vector<DbxFolder>& folders,
                                          std::vector<std::string>& problems) {
    std::map<std::uint32_t, const DbxFolder*> byId;
    for (const DbxFolder& folder : folders) {
        byId.emplace(folder.Id, &folder);
    }
    const auto isRoot = [](const DbxFolder& folder) { return folder.Parent == kDbxNoParent; };
    std::map<std::string, Source> names;
    for (const DbxFolder& folder : folders) {
        if (folder.File.empty()) {
            continue;
        }
        std::vector<std::string> path;
        const DbxFolder* at = &folder;
        while (at != nullptr && !isRoot(*at) && path.size() <= kDeepestFolder) {
            const auto parent = byId.find(at->Parent);
            const bool localStore = at->Store == kDbxLocalStore && at->File.empty() &&
                                    parent != byId.end() && isRoot(*parent->second);
            if (!localStore) {
                path.push_back(at->Name);
            }
            at = parent != byId.end() ? parent->second : nullptr;
        }
        if (path.size() > kDeepestFolder) {
            problems.push_back(Ansi("La liste des dossiers boucle autour de ") +
                               Quoted(folder.Name) + Ansi(" : il est écrit au premier niveau."));
            path = {folder.Name};
        }
        std::reverse(path.begin(), path.end());
        names.emplace(FoldCase(folder.File), Source{folder.File, std::move(path), folder.Special});
    }
    return names;
}

// The message folders of the store folder, each with its names; those the folders list does
// not name (or all, without a list) take their file's name.
std::vector<Source> FindSources(const std::string& store, std::vector<std::string>& problems) {
    LocalTree tree(store);
    std::vector<Source> sources;
    std::vector<std::string> lists;
    std::vector<FileTree::Entry> entries = tree.List("");
    std::sort(entries.begin(), entries.end(),
              [](const auto& a, const auto& b) { return a.Name < b.Name; });
    for (const FileTree::Entry& entry : entries) {
        if (entry.Folder || !IsDbxName(entry.Name)) {
            continue;
        }
        if (entry.Refused != FileTree::Refusal::None) {
            problems.push_back(Quoted(NativeToAnsi(entry.Name)) +
                               Ansi(" n'est pas un fichier ordinaire (lien, tube ou "
                                    "périphérique) : il n'est pas lu."));
            continue;
        }
        DbxFile file;
        std::string error;
        const std::string path = store + kPathSeparator + entry.Name;
        if (!file.Open(path, error)) {
            problems.push_back(Quoted(NativeToAnsi(entry.Name)) + " : " + Ansi(error));
        } else if (file.Kind() == DbxKind::MessageFolder) {
            sources.push_back({path, {NativeToAnsi(Stem(entry.Name))}});
        } else if (file.Kind() == DbxKind::FoldersList) {
            lists.push_back(path);
        }
    }
    std::map<std::string, Source> names;
    for (const std::string& list : lists) {
        DbxFile file;
        std::string error;
        if (file.Open(list, error)) {
            names.merge(NamesByFile(file.Folders(), problems));
            TakeProblems(file, list, problems);
        }
    }
    if (lists.empty() && !sources.empty()) {
        problems.push_back(Ansi("Pas de liste des dossiers (Folders.dbx) : chaque dossier prend "
                                "le nom de son fichier."));
    }
    for (Source& source : sources) {
        const std::string name = NativeToAnsi(source.File.substr(store.size() + 1));
        if (const auto found = names.find(FoldCase(name)); found != names.end()) {
            source.Names = found->second.Names;
            source.Special = found->second.Special;
        } else if (!lists.empty()) {
            problems.push_back(Quoted(name) + Ansi(" n'est pas dans la liste des dossiers : il "
                                                   "prend le nom de son fichier."));
        }
    }
    std::sort(sources.begin(), sources.end(),
              [](const Source& a, const Source& b) { return a.Names < b.Names; });
    return sources;
}

std::string JoinedNames(const std::vector<std::string>& names) {
    std::string joined;
    for (const std::string& name : names) {
        joined += (joined.empty() ? "" : "/") + name;
    }
    return joined;
}

// Writes the folders into the tree, as mbox files and .eml files.
class Writer {
  public:
    Writer(ExportTree& tree, const MailProgress& progress, std::uint64_t total,
           const MailExportRequest& request)
        : tree_(tree), progress_(progress), total_(total),
          withMbox_(request.Written != MailExportRequest::Formats::EmlOnly),
          withEml_(request.Written != MailExportRequest::Formats::MboxOnly),
          mboxRoot_(request.MboxRoot),
          emlTree_(request.Written == MailExportRequest::Formats::MboxAndEml ? kEmlTree : "") {}

    bool Start(FileError& error) {
        return (!withMbox_ || MadeAll(mboxRoot_, error)) &&
               (emlTree_.empty() || Made(emlTree_, error));
    }
    // False when a file could not be written (`error`) or the work was stopped.
    bool Write(const Source& source, bool recover, MailExportOutcome& outcome);
    bool stopped = false;

  private:
    // The safe names of a folder's path, each unique among its siblings; the folders they need
    // made on the way.
    bool PlaceFolder(const std::vector<std::string>& names, std::string& mbox, std::string& eml,
                     FileError& error);
    // Into the .eml file, and the mbox file `mbox` unless null.
    bool WriteMessage(DbxFile& file, const DbxMessage& message, const std::string& emlFolder,
                      OutputFile* mbox, std::set<std::string>& emlNames, ExportedFolder& folder,
                      FileError& error);
    bool Made(const std::string& folder, FileError& error);
    // The folder and those it is in.
    bool MadeAll(const std::string& folder, FileError& error);

    ExportTree& tree_;
    const MailProgress& progress_;
    std::uint64_t total_;
    bool withMbox_, withEml_;
    std::string mboxRoot_;
    std::string emlTree_; // "" when the .eml folders are the target's own
    std::uint64_t done_ = 0;
    std::map<std::string, std::string> safeNames_;       // folded ANSI path -> safe name
    std::map<std::string, std::set<std::string>> taken_; // safe parent path -> names taken
    std::set<std::string> made_;                         // folders and mbox files made
};

bool Writer::Made(const std::string& folder, FileError& error) {
    if (!made_.insert(folder).second) {
        return true;
    }
    return tree_.MakeFolder(folder, error);
}

bool Writer::MadeAll(const std::string& folder, FileError& error) {
    for (std::size_t at = folder.find(kPathSeparator); at != std::string::npos;
         at = folder.find(kPathSeparator, at + 1)) {
        if (!Made(folder.substr(0, at), error)) {
            return false;
        }
    }
    return Made(folder, error);
}

bool Writer::PlaceFolder(const std::vector<std::string>& names, std::string& mbox, std::string& eml,
                         FileError& error) {
    mbox = mboxRoot_;
    eml = emlTree_;
    std::string ansiPath;
    for (std::size_t i = 0; i < names.size(); ++i) {
        ansiPath += FoldCase(names[i]) + '\n';
        auto [found, added] = safeNames_.emplace(ansiPath, "");
        if (added) {
            found->second =
                UniqueName(SafeFileName(names[i], kLongestFolderName), "", taken_[mbox]);
        }
        if (i > 0 && withMbox_) {
            // Thunderbird keeps a folder's subfolders in "NAME.sbd" beside its mbox file "NAME".
            const std::string parentFile = mbox;
            mbox += kSubfolders;
            if (made_.insert(parentFile).second) {
                OutputFile empty;
                if (!tree_.NewFile(parentFile, empty, error) || !empty.Close(error)) {
                    return false;
                }
            }
            if (!Made(mbox, error)) {
                return false;
            }
        }
        mbox += kPathSeparator + found->second;
        eml += (eml.empty() ? "" : std::string(1, kPathSeparator)) + found->second;
        if (withEml_ && !Made(eml, error)) {
            return false;
        }
    }
    return true;
}

bool Writer::Write(const Source& source, bool recover, MailExportOutcome& outcome) {
    ExportedFolder folder{JoinedNames(source.Names), source.File, 0, 0, 0};
    DbxFile file;
    std::string openError;
    if (!file.Open(source.File, openError)) {
        outcome.Problems.push_back(Quoted(NativeToAnsi(source.File)) + " : " + Ansi(openError));
        return true;
    }
    std::string mboxPath, emlFolder;
    if (!PlaceFolder(source.Names, mboxPath, emlFolder, outcome.Error)) {
        return false;
    }
    OutputFile mbox;
    if (!withMbox_) {
        // No mbox file: its writer's output goes nowhere.
    } else if (!made_.insert(mboxPath).second) {
        // Made empty as the parent of a folder listed before it: written anew.
        if (!mbox.Open(tree_.PathOf(mboxPath), OutputFile::Mode::Create, outcome.Error)) {
            return false;
        }
    } else if (!tree_.NewFile(mboxPath, mbox, outcome.Error)) {
        return false;
    }
    OutputFile recoveredMbox;
    std::set<std::string> emlNames, recoveredNames;
    const std::string recoveredFolder = emlFolder + kPathSeparator + std::string(kRecoveredFolder);
    for (const DbxMessage& message : file.Messages(recover)) {
        if (message.Recovered && folder.Recovered == 0 &&
            ((withMbox_ && !tree_.NewFile(mboxPath + std::string(kRecoveredSuffix), recoveredMbox,
                                          outcome.Error)) ||
             (withEml_ && !tree_.MakeFolder(recoveredFolder, outcome.Error)))) {
            return false;
        }
        folder.Recovered += message.Recovered ? 1 : 0;
        if (!WriteMessage(file, message, message.Recovered ? recoveredFolder : emlFolder,
                          !withMbox_          ? nullptr
                          : message.Recovered ? &recoveredMbox
                                              : &mbox,
                          message.Recovered ? recoveredNames : emlNames, folder, outcome.Error)) {
            return false;
        }
    }
    TakeProblems(file, source.File, outcome.Problems);
    if (!mbox.Close(outcome.Error) || !recoveredMbox.Close(outcome.Error)) {
        return false;
    }
    outcome.Folders.push_back(std::move(folder));
    return true;
}

bool Writer::WriteMessage(DbxFile& file, const DbxMessage& message, const std::string& emlFolder,
                          OutputFile* mbox, std::set<std::string>& emlNames, ExportedFolder& folder,
                          FileError& error) {
    ++folder.Messages;
    char number[16];
    std::snprintf(number, sizeof number, "%0*u", kMessageNumberDigits, folder.Messages);
    const std::string subject = message.Subject.empty()
                                    ? std::string()
                                    : " " + SafeFileName(message.Subject, kLongestSubject);
    const std::string name = UniqueName(number + subject, ".eml", emlNames);
    OutputFile eml;
    if (withEml_ && !tree_.NewFile(emlFolder + kPathSeparator + name, eml, error)) {
        return false;
    }
    std::optional<MboxWriter> inMbox;
    if (mbox != nullptr) {
        inMbox.emplace(*mbox);
        inMbox->Begin(message.Received);
    }
    const auto failed = [&] { return eml.Failed() || (mbox != nullptr && mbox->Failed()); };
    const bool whole = file.ReadText(message, [&](std::string_view text) {
        if (withEml_) {
            eml.Write(text);
        }
        if (inMbox) {
            inMbox->Add(text);
        }
        done_ += text.size();
        if (progress_ && progress_(done_, total_)) {
            stopped = true;
        }
        return !stopped && !failed();
    });
    if (inMbox) {
        inMbox->End();
    }
    if (stopped) {
        return false;
    }
    if (!whole && !failed()) {
        ++folder.Cut;
    }
    // The mbox file is written through its buffer; a write that failed is told at once.
    return eml.Close(error) && (mbox == nullptr || !mbox->Failed() || mbox->Flush(error));
}

// In UTF-8, which every system's text editor reads, its mark first for Windows' Notepad.
bool WriteSettings(ExportTree& tree, const std::string& ansi, FileError& error) {
    constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
    OutputFile out;
    if (!tree.NewFile(kSettingsFile, out, error)) {
        return false;
    }
    out.Write(kUtf8Mark);
    out.Write(AnsiToUtf8(ansi));
    return out.Close(error);
}

// The address book asked for; with both formats, else the one the store folder holds.
std::string AddressBookAskedFor(const MailExportRequest& request,
                                std::vector<std::string>& problems) {
    return request.AddressBook.empty() && request.Written == MailExportRequest::Formats::MboxAndEml
               ? FindAddressBook(request.Store, problems)
               : request.AddressBook;
}

bool WriteTextFile(ExportTree& tree, const std::string& relative, const std::string& text,
                   FileError& error) {
    OutputFile out;
    if (!tree.NewFile(relative, out, error)) {
        return false;
    }
    out.Write(text);
    return out.Close(error);
}

// The address book as one vCard file and two CSV files, in their own folder of the tree; an
// address book that cannot be read is named among the problems, and the rest is written.
bool WriteAddressBook(ExportTree& tree, const std::string& book, MailExportOutcome& outcome) {
    std::vector<Contact> contacts;
    if (!ReadAddressBook(book, contacts, outcome.Problems)) {
        return true;
    }
    ExportedAddressBook written{book, 0, 0};
    for (const Contact& contact : contacts) {
        ++(contact.Group ? written.Groups : written.Contacts);
    }
    const std::string folder = AnsiToNative(Ansi(kAddressBookFolder));
    const std::size_t nameAt = book.find_last_of(kPathSeparator) + 1;
    const std::string stem =
        SafeFileName(NativeToAnsi(Stem(book.substr(nameAt))), kLongestFolderName);
    const std::string path = folder + kPathSeparator + stem;
    if (!tree.MakeFolder(folder, outcome.Error) ||
        !WriteTextFile(tree, path + ".vcf", VCardsOf(contacts), outcome.Error) ||
        !WriteTextFile(tree, path + " (Thunderbird).csv", ThunderbirdCsvOf(contacts),
                       outcome.Error) ||
        !WriteTextFile(tree, path + " (Gmail).csv", GoogleCsvOf(contacts), outcome.Error)) {
        return false;
    }
    outcome.AddressBook = written;
    return true;
}

std::uint64_t TotalSize(const std::vector<Source>& sources) {
    std::uint64_t total = 0;
    for (const Source& source : sources) {
        total += RandomAccessFile(source.File, RandomAccessFile::Links::Refuse).Size();
    }
    return total;
}

// Nothing is left of what a failed export wrote: its outcome says none of it.
void Failed(MailExportOutcome& outcome) {
    outcome.State = MailExportOutcome::Status::WriteFailed;
    outcome.Folders.clear();
    outcome.AddressBook.reset();
    outcome.SettingsWritten = false;
}

// The names a folder is written under: the top folder first, and the special folders of the
// local store as Thunderbird names them when asked.
std::vector<std::string> WrittenNames(const Source& source, const MailExportRequest& request) {
    static const std::map<std::uint32_t, const char*> kThunderbirdNames = {
        {DbxSpecialFolder::Inbox, "Inbox"},   {DbxSpecialFolder::Outbox, "Unsent Messages"},
        {DbxSpecialFolder::Sent, "Sent"},     {DbxSpecialFolder::Deleted, "Trash"},
        {DbxSpecialFolder::Drafts, "Drafts"},
    };
    std::vector<std::string> names = source.Names;
    const auto special = kThunderbirdNames.find(source.Special);
    if (request.ThunderbirdFolderNames && special != kThunderbirdNames.end() && names.size() == 1) {
        names.back() = special->second;
    }
    if (!request.TopFolder.empty()) {
        names.insert(names.begin(), request.TopFolder);
    }
    return names;
}

} // namespace

MailExportOutcome ExportMailInto(ExportTree& tree, const MailExportRequest& request,
                                 const MailProgress& progress) {
    MailExportOutcome outcome;
    std::vector<Source> sources = FindSources(request.Store, outcome.Problems);
    const std::string addressBook = AddressBookAskedFor(request, outcome.Problems);
    if (sources.empty() && addressBook.empty()) {
        outcome.State = MailExportOutcome::Status::NoMessageFolder;
        return outcome;
    }
    Writer writer(tree, progress, TotalSize(sources), request);
    bool written = writer.Start(outcome.Error);
    for (Source& source : sources) {
        source.Names = WrittenNames(source, request);
        written = written && writer.Write(source, request.Recover, outcome);
    }
    if (written && !addressBook.empty()) {
        written = WriteAddressBook(tree, addressBook, outcome);
    }
    if (written && !request.SettingsText.empty()) {
        written = WriteSettings(tree, request.SettingsText, outcome.Error);
        outcome.SettingsWritten = written;
    }
    if (writer.stopped) {
        outcome = MailExportOutcome{};
        outcome.State = MailExportOutcome::Status::Stopped;
    } else if (!written) {
        Failed(outcome);
    }
    return outcome;
}

MailExportOutcome ExportMail(const MailExportRequest& request, const MailProgress& progress) {
    MailExportOutcome outcome;
    ExportTree tree;
    if (!tree.Begin(request.Target, outcome.Error)) {
        outcome.State = outcome.Error.Errno == EEXIST ? MailExportOutcome::Status::TargetTaken
                                                      : MailExportOutcome::Status::WriteFailed;
        return outcome;
    }
    outcome = ExportMailInto(tree, request, progress);
    if (outcome.State == MailExportOutcome::Status::Done && !tree.Finish(outcome.Error)) {
        Failed(outcome);
    }
    return outcome;
}

std::uint32_t MessagesWritten(const MailExportOutcome& outcome) {
    std::uint32_t messages = 0;
    for (const ExportedFolder& folder : outcome.Folders) {
        messages += folder.Messages;
    }
    return messages;
}

std::string DescribeMailExport(const MailExportOutcome& outcome, const std::string& targetShown) {
    using Status = MailExportOutcome::Status;
    std::string text;
    switch (outcome.State) {
    case Status::NoMessageFolder:
        text = Ansi("Aucun dossier de messages (.dbx) ni carnet d'adresses (.wab) dans le dossier "
                    "indiqué : rien n'est écrit.");
        break;
    case Status::TargetTaken:
        text = Ansi("Le dossier ") + Quoted(targetShown) +
               Ansi(" existe déjà et n'est pas vide : choisissez un dossier nouveau ou vide.");
        break;
    case Status::WriteFailed:
        text = WriteFailedText(outcome.Error);
        break;
    case Status::Stopped:
        text = Ansi("Conversion du courrier arrêtée : rien n'a été écrit.");
        break;
    case Status::Done: {
        const std::uint32_t messages = MessagesWritten(outcome);
        text = Ansi("Courrier écrit dans ") + Quoted(targetShown) + " : " +
               std::to_string(outcome.Folders.size()) + Ansi(" dossier(s), ") +
               std::to_string(messages) +
               Ansi(" message(s), en mbox (dossier « mbox ») et en "
                    ".eml (dossier « eml »).");
        for (const ExportedFolder& folder : outcome.Folders) {
            text += "\n  " + folder.Name + " : " + std::to_string(folder.Messages) +
                    Ansi(" message(s)");
            if (folder.Recovered > 0) {
                text += Ansi(", dont ") + std::to_string(folder.Recovered) +
                        Ansi(" retrouvé(s) hors de l'index, écrit(s) à part");
            }
            if (folder.Cut > 0) {
                text += Ansi(", dont ") + std::to_string(folder.Cut) +
                        Ansi(" coupé(s), écrit(s) jusqu'où leur texte va");
            }
        }
        if (outcome.AddressBook) {
            text += "\n" + Ansi("Carnet d'adresses ") +
                    Quoted(NativeToAnsi(outcome.AddressBook->File)) + " : " +
                    std::to_string(outcome.AddressBook->Contacts) + Ansi(" contact(s), ") +
                    std::to_string(outcome.AddressBook->Groups) +
                    Ansi(" groupe(s), en vCard et en CSV (dossier ") +
                    Quoted(Ansi(kAddressBookFolder)) + ").";
        }
        if (outcome.SettingsWritten) {
            text +=
                "\n" + Ansi("Les réglages des comptes sont dans ") + Quoted(kSettingsFile) + ".";
        }
    }
    }
    AddProblems(text, outcome.Problems);
    return text;
}

} // namespace quillon
