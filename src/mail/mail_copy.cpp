#include "mail/mail_copy.h"

#include "files/content_hash.h"
#include "files/input_file.h"
#include "files/interruption.h"
#include "files/output_file.h"
#include "files/temp_file.h"
#include "mail/copy_owner.h"
#include "mail/report_text.h"
#include "text/ansi_codepage.h"
#include "text/native_text.h"

#include <algorithm>
#include <cerrno>
#include <memory>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace quillon {
namespace {

// Files are copied through one buffer of this size, whatever their size.
constexpr std::size_t kPieceSize = std::size_t{1} << 20;

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

std::string Join(const std::string& folder, std::string_view name) {
    return folder.empty() || folder.back() == kSeparator ? folder + std::string(name)
                                                         : folder + kSeparator + std::string(name);
}

// Where a Windows path lies on this system's own disks: its drive's folder, each name found
// without regard to case, as Windows finds it.
std::optional<InstallationPaths::Located> LocateHere(std::string_view windowsPath, bool folder) {
    if (windowsPath.size() < 2 || windowsPath[1] != ':') {
        return std::nullopt;
    }
    InstallationPaths here;
    here.AddDrive(windowsPath[0], std::string(windowsPath.substr(0, 2)) + "\\");
    return here.Locate(windowsPath, folder);
}

std::optional<InstallationPaths::Located> Locate(const InstallationPaths* installation,
                                                 std::string_view windowsPath, bool folder) {
    return installation != nullptr ? installation->Locate(windowsPath, folder)
                                   : LocateHere(windowsPath, folder);
}

// The last name of a Windows path.
std::string_view LastName(std::string_view windowsPath) {
    const auto cut = windowsPath.find_last_of("\\/");
    return cut == std::string_view::npos ? windowsPath : windowsPath.substr(cut + 1);
}

// One file to copy: where it is read, and the native path it takes.
struct Planned {
    std::shared_ptr<const FileTree> Files;
    std::string From;
    std::string Target;
    std::string Name; // native, as the report names it
    std::uint64_t Size = 0;
    bool AddressBook = false;
};

// A copy written beside its target and checked, waiting to take its name.
struct Written {
    TemporaryFile File;
    std::string Target;
};

#ifdef _WIN32
// The mail client holds its files open while it runs and writes into them: a copy taken then
// could be half-written. A file open for writing refuses a reader that shares no writing.
bool HeldOpen(const std::string& path) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return GetLastError() == ERROR_SHARING_VIOLATION;
    }
    CloseHandle(file);
    return false;
}

bool MakeFolder(const std::string& path, bool) {
    return CreateDirectoryA(path.c_str(), nullptr) != 0;
}

bool RemoveFolder(const std::string& path) {
    return RemoveDirectoryA(path.c_str()) != 0;
}

bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}
#else
bool MakeFolder(const std::string& path, bool ownerOnly) {
    constexpr mode_t kOwnerOnly = 0700;  // a copy of someone's mail, as mail clients keep it
    constexpr mode_t kFolderMode = 0777; // on the new system, the user's umask decides
    if (mkdir(path.c_str(), ownerOnly ? kOwnerOnly : kFolderMode) != 0) {
        return false;
    }
    return !ownerOnly || HandToUser(path);
}

bool RemoveFolder(const std::string& path) {
    return rmdir(path.c_str()) == 0;
}

bool IsFolder(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}
#endif

// The folders made for a copy, taken back when it fails or is interrupted: the deepest first,
// each only if empty.
class MadeFolders {
  public:
    explicit MadeFolders(bool ownerOnly) : ownerOnly_(ownerOnly) {}
    MadeFolders(const MadeFolders&) = delete;
    MadeFolders& operator=(const MadeFolders&) = delete;
    ~MadeFolders() {
        for (auto it = made_.rbegin(); it != made_.rend(); ++it) {
            if (!kept_) {
                RemoveFolder(*it);
            }
            interruption::UntrackFolder(*it);
        }
    }

    // Makes `path` and any of its missing parents; false with `error` set when one cannot be.
    bool Make(const std::string& path, FileError& error) {
        if (path.empty() || IsFolder(path)) {
            return true;
        }
        const auto cut = path.find_last_of(kSeparator);
        if (cut != std::string::npos && cut > 0 && !Make(path.substr(0, cut), error)) {
            return false;
        }
        [[maybe_unused]] const interruption::SignalsHeld held;
        if (!MakeFolder(path, ownerOnly_)) {
            error = {path, errno != 0 ? errno : EACCES};
            return false;
        }
        made_.push_back(path);
        interruption::TrackFolder(path);
        return true;
    }
    void Keep() { kept_ = true; }

  private:
    std::vector<std::string> made_;
    bool ownerOnly_;
    bool kept_ = false;
};

std::string CannotWrite(const FileError& error) {
    return Ansi("Impossible d'écrire le fichier ") + Quoted(NativeToAnsi(error.Path)) +
           Ansi(" : ") + Ansi(error.Reason()) + Ansi(". Rien n'a été copié.");
}

// A target's entry set aside while the new file takes its name, put back if a later one fails.
struct Swapped {
    std::string Target;
    std::string Aside; // empty when there was no entry of that name
};

// Moves the entry `target` (whatever it is: a link or a special file is moved, not followed)
// to a free name beside it, returned; empty with `error` set when it cannot be.
std::string SetAside(const std::string& target, FileError& error) {
    std::string aside;
    {
        std::optional<TemporaryFile> name = TemporaryFile::CreateInFolderOf(target, error);
        if (!name) {
            return {};
        }
        aside = name->Path(); // the reserved name is freed here, taken at once below
    }
    if (const int result = MoveOver(target, aside); result != 0) {
        error = FileError{target, result};
        return {};
    }
    return aside;
}

bool EntryExists(const std::string& path) {
#ifdef _WIN32
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
#else
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
#endif
}

// Puts back what `swapped` replaced, the last first.
void PutBack(const std::vector<Swapped>& swapped) {
    for (auto it = swapped.rbegin(); it != swapped.rend(); ++it) {
        if (it->Aside.empty()) {
            std::remove(it->Target.c_str());
        } else {
            MoveOver(it->Aside, it->Target);
        }
    }
}

// Gives every written file its target's name, or none: an entry already there is set aside
// until all are in place, then deleted; on any failure each is put back. Signals wait until
// the names are all swapped or all back.
bool GiveNames(std::vector<Written>& written, FileError& error) {
    [[maybe_unused]] const interruption::SignalsHeld held;
    std::vector<Swapped> swapped;
    for (Written& file : written) {
        Swapped entry{file.Target, {}};
        if (EntryExists(file.Target)) {
            entry.Aside = SetAside(file.Target, error);
            if (entry.Aside.empty()) {
                PutBack(swapped);
                return false;
            }
        }
        if (!file.File.TakeName(file.Target, error)) {
            if (!entry.Aside.empty()) {
                MoveOver(entry.Aside, entry.Target);
            }
            PutBack(swapped);
            return false;
        }
        swapped.push_back(std::move(entry));
    }
    for (const Swapped& entry : swapped) {
        if (!entry.Aside.empty()) {
            std::remove(entry.Aside.c_str());
        }
    }
    return true;
}

// A new copy's permissions: owner-only and handed to the user who ran sudo for a copy out of a
// source; on the new system, those of the file it replaces, or of any new file.
void SetPermissions(TemporaryFile& file, const std::string& target, bool ownerOnly) {
    if (!ownerOnly) {
        file.TakeModeOf(target);
        return;
    }
    HandToUser(file.Descriptor());
}

// Copies the files of `plan` beside their targets, each checked against its source, then gives
// each its name; on any failure none is left and every entry replaced is back. Reports each
// file into `report`.
void CopyPlanned(const std::vector<Planned>& plan, bool ownerOnly, const MailProgress& progress,
                 MailReport& report) {
    std::uint64_t total = 0;
    for (const Planned& file : plan) {
        total += file.Size;
    }
    std::uint64_t done = 0;
    std::vector<Written> written;
    for (const Planned& file : plan) {
        FileError error;
        std::optional<TemporaryFile> copy = TemporaryFile::CreateInFolderOf(file.Target, error);
        OutputFile out;
        if (!copy || !out.Open(*copy, error)) {
            report.Error = CannotWrite({file.Target, error.Errno});
            return;
        }
        ContentHash sourceDigest;
        std::uint64_t size = 0;
        MailFileReader recognised;
        const bool read = file.Files->ReadInPieces(
            file.From, kPieceSize,
            [&](std::string_view piece) {
                out.Write(piece);
                sourceDigest.Add(piece);
                recognised.Add(piece);
                size += piece.size();
                done += piece.size();
                report.Stopped = progress && progress(done, std::max(total, done));
                return !report.Stopped && !out.Failed(); // the first write error ends the copy
            },
            error);
        if (report.Stopped) {
            report.Error = Ansi("Copie du courrier annulée : rien n'a été copié.");
            return;
        }
        if (!read) {
            report.Error = Ansi("Impossible de lire ") +
                           Quoted(NativeToAnsi(file.Files->Shown(file.From))) + Ansi(" : ") +
                           Ansi(error.Reason()) + Ansi(". Rien n'a été copié.");
            return;
        }
        if (!out.Close(error)) {
            report.Error = CannotWrite({file.Target, error.Errno});
            return;
        }
        std::string copyDigest;
        std::uint64_t copySize = 0;
        const bool reread = DigestOfFile(copy->Path(), copyDigest, copySize, error);
        const std::string digest = sourceDigest.Digest();
        if (!reread || copySize != size || digest.empty() || digest != copyDigest) {
            report.Error = Ansi("La copie de ") + Quoted(NativeToAnsi(file.Name)) +
                           Ansi(" ne correspond pas à l'original (taille ou contenu) : rien "
                                "n'a été copié.");
            return;
        }
        SetPermissions(*copy, file.Target, ownerOnly);
        MailFileCopied copied{file.Name, size, recognised.Result()};
        if (file.AddressBook) {
            report.AddressBook = copied;
        } else {
            report.StoreFiles.push_back(copied);
        }
        written.push_back({std::move(*copy), file.Target});
    }
    if (FileError error; !GiveNames(written, error)) {
        report.Error = CannotWrite({error.Path, error.Errno});
    }
}

// Names what a copied file may lack, without dropping it: it is the user's mail.
void WarnAbout(const MailFileCopied& file, MailReport& report) {
    const std::string ansiName = NativeToAnsi(file.Name);
    const std::string name = Quoted(ansiName);
    constexpr std::string_view kDbx = ".dbx";
    const bool dbx = ansiName.size() >= kDbx.size() &&
                     EqualsIgnoringCase(ansiName.substr(ansiName.size() - kDbx.size()), kDbx);
    if (file.Header.Damaged) {
        report.Warnings.push_back(name + Ansi(" semble endommagé ou tronqué : copié tel quel, "
                                              "ses messages sont peut-être incomplets."));
    } else if (dbx && file.Header.Kind == MailFileKind::Unknown) {
        report.Warnings.push_back(name + Ansi(" n'est pas reconnu comme un fichier .dbx du "
                                              "courrier : copié tel quel."));
    }
}

void CheckCopies(MailReport& report) {
    bool foldersList = false;
    for (const MailFileCopied& file : report.StoreFiles) {
        WarnAbout(file, report);
        foldersList = foldersList || file.Header.Kind == MailFileKind::FoldersList;
    }
    if (!foldersList) {
        report.Warnings.push_back(Ansi("Le dossier du courrier n'a pas de liste des dossiers "
                                       "(Folders.dbx) lisible."));
    }
    if (report.AddressBook && report.AddressBook->Header.Kind != MailFileKind::AddressBook) {
        report.Warnings.push_back(Quoted(NativeToAnsi(report.AddressBook->Name)) +
                                  Ansi(" n'a pas l'en-tête d'un carnet d'adresses : copié tel "
                                       "quel."));
    }
}

// Makes `folders` (and their missing parents), copies `plan` into them and checks what was
// copied; on any failure neither the files nor the folders made are left.
void CopyIntoFolders(const std::vector<std::string>& folders, const std::vector<Planned>& plan,
                     bool ownerOnly, const MailProgress& progress, MailReport& report) {
    MadeFolders made(ownerOnly);
    FileError error;
    for (const std::string& folder : folders) {
        if (!made.Make(folder, error)) {
            report.Error = CannotWrite(error);
            return;
        }
    }
    CopyPlanned(plan, ownerOnly, progress, report);
    if (report.Done()) {
        made.Keep();
        CheckCopies(report);
    }
}

// The size of `file` in `files`, as its folder lists it.
std::uint64_t SizeOf(const FileTree& files, const std::string& file) {
    const auto cut = file.find_last_of('/');
    const std::string name = cut == std::string::npos ? file : file.substr(cut + 1);
    for (const FileTree::Entry& entry :
         files.List(cut == std::string::npos ? "" : file.substr(0, cut))) {
        if (entry.Name == name) {
            return entry.Size;
        }
    }
    return 0;
}

// The native path of the file `name` in the native folder `folder`: the entry there whose name
// differs only in case (the store of a Wine prefix, a disk from Windows), whatever it is, else a
// new one. `exists` tells which.
std::string FileIn(const std::string& folder, const std::string& name, bool& exists) {
    exists = false;
    for (const FileTree::Entry& entry : LocalTree(folder).List("")) {
        if (EqualsIgnoringCase(NativeToAnsi(entry.Name), NativeToAnsi(name))) {
            exists = true;
            return Join(folder, entry.Name);
        }
    }
    return Join(folder, name);
}

// The entries of `folder`, in the order of their names: reports and questions list them so.
std::vector<FileTree::Entry> SortedEntries(const FileTree& files, const std::string& folder) {
    std::vector<FileTree::Entry> entries = files.List(folder);
    std::sort(entries.begin(), entries.end(),
              [](const FileTree::Entry& a, const FileTree::Entry& b) { return a.Name < b.Name; });
    return entries;
}

// Whether the native folder `path` holds anything.
bool HoldsAnything(const std::string& path) {
    return !LocalTree(path).List("").empty();
}

// Why an entry of the source is left out, naming it.
std::string NotCopied(const FileTree::Entry& entry) {
    const std::string name = Quoted(NativeToAnsi(entry.Name));
    switch (entry.Refused) {
    case FileTree::Refusal::LinkOutside:
        return name + Ansi(" est un lien qui mène hors de la source (ou nulle part) : il n'est "
                           "pas suivi, rien n'est copié de là où il mène.");
    case FileTree::Refusal::Special:
        return name + Ansi(" n'est pas un fichier ordinaire (périphérique, tube ou socket) : il "
                           "n'est pas lu.");
    default:
        return Ansi("Un fichier au nom impossible ") + name +
               Ansi(" (il contient « / », « \\ » ou un caractère nul, ou c'est « . » ou "
                    "« .. ») n'est pas copié.");
    }
}

// The entry of the source that a Windows path names but that is not read (a link out of the
// source, a special file), so that it is named rather than called missing.
std::optional<FileTree::Entry> RefusedEntry(const InstallationPaths* installation,
                                            std::string_view windowsPath) {
    const auto cut = windowsPath.find_last_of("\\/");
    if (cut == std::string_view::npos) {
        return std::nullopt;
    }
    const auto folder = Locate(installation, windowsPath.substr(0, cut), true);
    const std::string name = AnsiToNative(windowsPath.substr(cut + 1));
    for (const FileTree::Entry& entry :
         folder ? folder->Files->List(folder->Path) : std::vector<FileTree::Entry>{}) {
        if (entry.Refused != FileTree::Refusal::None &&
            EqualsIgnoringCase(NativeToAnsi(entry.Name), NativeToAnsi(name))) {
            return entry;
        }
    }
    return std::nullopt;
}

// What an entry about to be replaced on the new system is, for the question that names it;
// empty for a file. A folder cannot be replaced by a file: `folder` tells.
std::string WhatIsThere(const std::string& path, bool& folder) {
    folder = false;
#ifndef _WIN32
    struct stat info {};
    if (lstat(path.c_str(), &info) == 0) {
        if (S_ISLNK(info.st_mode)) {
            return Ansi(" (un lien : il est remplacé, rien n'est écrit là où il mène)");
        }
        folder = S_ISDIR(info.st_mode);
        if (!S_ISREG(info.st_mode) && !folder) {
            return Ansi(" (un fichier spécial, tube ou périphérique : il est remplacé, rien n'y "
                        "est écrit)");
        }
    }
#else
    folder = IsFolder(path);
#endif
    return {};
}

// Whether a file there may be replaced: one that could not be written in place (read-only,
// not ours to write) is not.
bool Replaceable(const std::string& path) {
#ifdef _WIN32
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY) == 0;
#else
    struct stat info {};
    return lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) ||
           ((info.st_mode & 0222) != 0 && access(path.c_str(), W_OK) == 0);
#endif
}

} // namespace

MailReport CopyMailOut(const InstallationPaths* installation, const MailPaths& paths,
                       const std::string& destination, const MailProgress& progress) {
    MailReport report;
    report.StoreShown = paths.StoreFolder;
    if (installation != nullptr && !installation->HasDrives()) {
        report.Error = Ansi("Le registre lu ne vient pas d'une installation Windows (ruche ou "
                            "fichier .reg seuls) : Quillon ne sait pas où lire le courrier.");
        return report;
    }
    const auto store = Locate(installation, paths.StoreFolder, true);
    if (!store) {
        report.Error = Ansi("Le dossier du courrier ") + Quoted(paths.StoreFolder) +
                       Ansi(" n'existe pas : aucun courrier copié.");
        report.NoStoreFolder = true;
        return report;
    }
    if (IsFolder(destination) && HoldsAnything(destination)) {
        report.Error = Ansi("Le dossier ") + Quoted(NativeToAnsi(destination)) +
                       Ansi(" n'est pas vide : choisissez un dossier nouveau ou vide pour le "
                            "courrier.");
        return report;
    }
    std::vector<Planned> plan;
    for (const FileTree::Entry& entry : SortedEntries(*store->Files, store->Path)) {
        if (entry.Refused != FileTree::Refusal::None) {
            report.Warnings.push_back(NotCopied(entry));
        } else if (entry.Folder) {
            report.Warnings.push_back(Ansi("Le dossier ") + Quoted(NativeToAnsi(entry.Name)) +
                                      Ansi(" du dossier du courrier n'est pas copié."));
        } else {
            plan.push_back({store->Files, store->Path + "/" + entry.Name,
                            Join(destination, entry.Name), entry.Name, entry.Size, false});
        }
    }
    const std::string addressBookFolder = Join(destination, AnsiToNative(Ansi(kAddressBookFolder)));
    if (paths.AddressBook.empty()) {
        report.Warnings.push_back(Ansi("Le registre ne nomme aucun carnet d'adresses : aucun "
                                       "carnet copié."));
    } else if (const auto book = Locate(installation, paths.AddressBook, false)) {
        const std::string name = AnsiToNative(LastName(paths.AddressBook));
        plan.push_back({book->Files, book->Path, Join(addressBookFolder, name), name,
                        SizeOf(*book->Files, book->Path), true});
        report.AddressBookShown = paths.AddressBook;
    } else if (const auto refused = RefusedEntry(installation, paths.AddressBook)) {
        report.Warnings.push_back(NotCopied(*refused));
    } else {
        report.Warnings.push_back(Ansi("Le carnet d'adresses ") + Quoted(paths.AddressBook) +
                                  Ansi(" n'existe pas : aucun carnet copié."));
    }
#ifdef _WIN32
    for (const Planned& file : plan) {
        if (installation == nullptr && HeldOpen(*file.Files->LocalPath(file.From))) {
            report.Error = Ansi("Le fichier ") + Quoted(*file.Files->LocalPath(file.From)) +
                           Ansi(" est ouvert par le client de messagerie : fermez Outlook "
                                "Express, puis recommencez. Rien n'a été copié.");
            return report;
        }
    }
#endif
    std::vector<std::string> folders{destination};
    if (!report.AddressBookShown.empty()) {
        folders.push_back(addressBookFolder);
    }
    CopyIntoFolders(folders, plan, true, progress, report);
    return report;
}

MailReport PlaceMail(const std::string& copy, const InstallationPaths* installation,
                     const MailPaths& paths,
                     const std::function<bool(const std::string& question)>& replace,
                     const MailProgress& progress) {
    MailReport report;
    report.StoreShown = paths.StoreFolder;
    const auto copied = std::make_shared<LocalTree>(copy);
    const std::vector<FileTree::Entry> entries = SortedEntries(*copied, "");
    if (entries.empty()) {
        report.Error = Ansi("Le dossier ") + Quoted(NativeToAnsi(copy)) +
                       Ansi(" ne contient aucune copie du courrier : rien n'a été placé.");
        return report;
    }
    if (installation != nullptr && !installation->HasDrives()) {
        report.Error = Ansi("Le registre lu ne vient pas d'une installation Windows (ruche ou "
                            "fichier .reg seuls) : Quillon ne sait pas où placer le courrier.");
        return report;
    }
    const auto nativeOf = [installation](const std::string& windowsPath) {
        return AnsiToNative(installation != nullptr ? installation->NativePath(windowsPath)
                                                    : windowsPath);
    };
    for (const std::string* windowsPath : {&paths.StoreFolder, &paths.AddressBook}) {
        if (installation != nullptr && installation->LeadsOutside(*windowsPath)) {
            report.Error = Ansi("Le chemin ") + Quoted(*windowsPath) +
                           Ansi(" mène hors du disque du nouveau système (par « .. » ou par un "
                                "lien) : rien n'a été placé.");
            return report;
        }
    }
    const std::string storeFolder = nativeOf(paths.StoreFolder);
    if (storeFolder.empty()) {
        report.Error = Ansi("Le dossier du courrier ") + Quoted(paths.StoreFolder) +
                       Ansi(" n'est pas sur un disque où Quillon peut écrire (une image disque "
                            "se lit seulement) : rien n'a été placé.");
        return report;
    }
    std::vector<Planned> plan;
    std::vector<std::string> existing;
    std::vector<std::string> refused;
    const auto planFile = [&](const std::string& from, const std::string& folder,
                              const std::string& name, std::uint64_t size, bool addressBook) {
        bool exists = false;
        const std::string target = FileIn(folder, name, exists);
        if (exists) {
            bool isFolder = false;
            const std::string what = WhatIsThere(target, isFolder);
            if (isFolder || !Replaceable(target)) {
                refused.push_back(NativeToAnsi(target));
            }
            existing.push_back(NativeToAnsi(target) + what);
        }
        plan.push_back({copied, from, target, name, size, addressBook});
    };
    std::string bookFolder;
    for (const FileTree::Entry& entry : entries) {
        if (entry.Refused != FileTree::Refusal::None) {
            report.Warnings.push_back(NotCopied(entry));
        } else if (!entry.Folder) {
            planFile(entry.Name, storeFolder, entry.Name, entry.Size, false);
        } else if (EqualsIgnoringCase(NativeToAnsi(entry.Name), Ansi(kAddressBookFolder))) {
            bookFolder = entry.Name;
        }
    }
    const std::string bookTarget = paths.AddressBook.empty() ? "" : nativeOf(paths.AddressBook);
    for (const FileTree::Entry& entry :
         bookFolder.empty() ? std::vector<FileTree::Entry>{} : copied->List(bookFolder)) {
        if (entry.Refused == FileTree::Refusal::None && !entry.Folder && !bookTarget.empty()) {
            const auto cut = bookTarget.find_last_of(kSeparator);
            planFile(bookFolder + "/" + entry.Name, bookTarget.substr(0, cut),
                     bookTarget.substr(cut + 1), entry.Size, true);
            report.AddressBookShown = paths.AddressBook;
            break;
        }
    }
    if (report.AddressBookShown.empty()) {
        report.Warnings.push_back(bookFolder.empty()
                                      ? Ansi("La copie ne contient pas de carnet d'adresses.")
                                      : Ansi("Aucun chemin de carnet d'adresses n'est choisi : le "
                                             "carnet de la copie n'est pas placé."));
    }
    if (!refused.empty()) {
        report.Error = Ansi("Ces fichiers du nouveau système ne peuvent pas être remplacés "
                            "(dossier, lecture seule ou accès refusé) :\n");
        for (const std::string& file : refused) {
            report.Error += "  " + file + "\n";
        }
        report.Error += Ansi("Rien n'a été placé.");
        return report;
    }
    if (!existing.empty()) {
        std::string question = Ansi("Ces fichiers existent déjà sur le nouveau système :\n");
        for (const std::string& file : existing) {
            question += "  " + file + "\n";
        }
        if (!replace(question + Ansi("Les remplacer par ceux de la copie du courrier ?"))) {
            report.Error = Ansi("Rien n'a été placé : le courrier existant est gardé.");
            return report;
        }
    }
    std::vector<std::string> folders;
    for (const Planned& file : plan) {
        folders.push_back(file.Target.substr(0, file.Target.find_last_of(kSeparator)));
    }
    CopyIntoFolders(folders, plan, false, progress, report);
    return report;
}

std::string DescribeMailReport(const MailReport& report, const std::string& copyShown,
                               bool placed) {
    if (!report.Done()) {
        return report.Error;
    }
    std::size_t folders = 0;
    std::uint64_t messages = 0;
    for (const MailFileCopied& file : report.StoreFiles) {
        if (file.Header.Kind == MailFileKind::MessageFolder) {
            ++folders;
            messages += file.Header.Messages;
        }
    }
    std::string text = placed ? Ansi("Courrier placé dans ") + Quoted(report.StoreShown) +
                                    Ansi(" depuis ") + Quoted(copyShown) + " :\n"
                              : Ansi("Courrier copié dans ") + Quoted(copyShown) +
                                    Ansi(" depuis ") + Quoted(report.StoreShown) + " :\n";
    text += Ansi("- ") + std::to_string(report.StoreFiles.size()) + Ansi(" fichier(s), dont ") +
            std::to_string(folders) + Ansi(" dossier(s) de messages (") + std::to_string(messages) +
            Ansi(" message(s))\n");
    if (report.AddressBook) {
        text += Ansi("- carnet d'adresses : ") + Quoted(report.AddressBookShown) + "\n";
    }
    for (const std::string& warning : report.Warnings) {
        text += Ansi("Attention : ") + warning + "\n";
    }
    return text;
}

} // namespace quillon
