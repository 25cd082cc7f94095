#include "disks/file_tree.h"

#include "files/input_file.h"
#include "text/ansi_codepage.h"
#include "text/native_text.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace quillon {

bool IsSafeName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

FileTree::Refusal RefusalOfName(std::string_view name) {
    return IsSafeName(name) ? FileTree::Refusal::None : FileTree::Refusal::UnsafeName;
}

std::string FileTree::Find(const std::string& folder, std::string_view name,
                           bool wantFolder) const {
    for (const Entry& entry : List(folder)) {
        if (entry.Refused == Refusal::None && entry.Folder == wantFolder &&
            EqualsIgnoringCase(NativeToAnsi(entry.Name), NativeToAnsi(name))) {
            return folder.empty() ? entry.Name : folder + "/" + entry.Name;
        }
    }
    return {};
}

std::string FileTree::FindPath(const std::string& folder,
                               std::initializer_list<std::string_view> parts,
                               bool lastIsFolder) const {
    std::string at = folder;
    std::size_t index = 0;
    for (std::string_view part : parts) {
        at = Find(at, part, ++index < parts.size() || lastIsFolder);
        if (at.empty()) {
            return {};
        }
    }
    return at;
}

#ifdef _WIN32
// On Windows every path is ANSI, which the "A" calls take as they are. No junction or symbolic
// link of the source is followed (CrossesLink, below).
std::vector<FileTree::Entry> LocalTree::List(const std::string& folder) const {
    std::vector<Entry> entries;
    FileError error;
    const std::optional<std::string> at = ConfinedPath(folder, error);
    if (!at) {
        return entries;
    }
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((*at + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return entries;
    }
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..") {
            Refusal refused = RefusalOfName(name);
            if (refused == Refusal::None &&
                (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
                refused = Refusal::LinkOutside;
            }
            entries.push_back({name,
                               refused == Refusal::None &&
                                   (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                               std::uint64_t{found.nFileSizeHigh} << 32 | found.nFileSizeLow,
                               refused});
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return entries;
}

LocalTree::LocalTree(std::string root) : root_(std::move(root)) {}

namespace {

std::string WithBackslashes(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

// Whether a part of `path` below `root` is a junction or a symbolic link (a reparse point), or
// `path` is not below `root` at all. Such a link on a disk nobody trusts may lead anywhere, to
// this system's own files too: on a disk of Vista and later, "Documents and Settings" leads to
// C:\Users, which is this system's own once the disk is E:. It is never followed.
bool CrossesLink(const std::string& root, const std::string& path) {
    const std::string top = WithBackslashes(root);
    const std::string full = WithBackslashes(path);
    if (full.size() < top.size() ||
        lstrcmpiA(full.substr(0, top.size()).c_str(), top.c_str()) != 0) {
        return true;
    }
    for (std::size_t end = full.find('\\', top.size() + 1);; end = full.find('\\', end + 1)) {
        const std::string part = full.substr(0, end);
        const DWORD attributes = GetFileAttributesA(part.c_str());
        if (part.size() > top.size() && attributes != INVALID_FILE_ATTRIBUTES &&
            (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            return true;
        }
        if (end == std::string::npos) {
            return false;
        }
    }
}

} // namespace

bool StaysUnder(const std::string& root, const std::string& path) {
    return !CrossesLink(root, path);
}

std::optional<std::string> LocalTree::ConfinedPath(const std::string& file,
                                                   FileError& error) const {
    std::optional<std::string> path = LocalPath(file);
    if (CrossesLink(root_, *path)) {
        error = FileError{*path, kOutsideSource};
        return std::nullopt;
    }
    return path;
}

std::optional<std::string> LocalTree::LocalPath(const std::string& file) const {
    std::string path = root_;
    if (!file.empty()) {
        path += path.ends_with('\\') ? file : "\\" + file;
    }
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}
#else
namespace {

// The path with every link resolved; empty when it leads nowhere.
std::string RealPath(const std::string& path) {
    char* resolved = realpath(path.c_str(), nullptr);
    if (resolved == nullptr) {
        return {};
    }
    std::string real(resolved);
    std::free(resolved);
    return real;
}

bool IsUnder(const std::string& path, const std::string& root) {
    return !root.empty() && path.starts_with(root) &&
           (path.size() == root.size() || path[root.size()] == '/' || root == "/");
}

} // namespace

bool StaysUnder(const std::string& root, const std::string& path) {
    const std::filesystem::path top = std::filesystem::path(root).lexically_normal();
    std::filesystem::path at = std::filesystem::path(path).lexically_normal();
    struct stat info {};
    for (bool last = true;
         at != top && (lstat(at.c_str(), &info) != 0 || (last && S_ISLNK(info.st_mode)));
         last = false) {
        if (!at.has_relative_path() || at.parent_path() == at) {
            return false;
        }
        at = at.parent_path();
    }
    return IsUnder(RealPath(at.string()), RealPath(root));
}

LocalTree::LocalTree(std::string root) : root_(std::move(root)), realRoot_(RealPath(root_)) {}

// A link is followed only while it stays inside the source: a disk may hold links to anything
// on the machine that reads it, and is read as root.
std::vector<FileTree::Entry> LocalTree::List(const std::string& folder) const {
    std::vector<Entry> entries;
    FileError error;
    const std::optional<std::string> at = ConfinedPath(folder, error);
    if (!at) {
        return entries;
    }
    std::error_code ec;
    for (std::filesystem::directory_iterator it(*at, ec), end; !ec && it != end; it.increment(ec)) {
        Entry entry{it->path().filename().string()};
        entry.Refused = RefusalOfName(entry.Name);
        std::string target = it->path().string();
        std::error_code linkError;
        if (entry.Refused == Refusal::None && it->is_symlink(linkError)) {
            target = RealPath(target);
            if (!IsUnder(target, realRoot_)) {
                entry.Refused = Refusal::LinkOutside;
            }
        }
        struct stat info {};
        if (entry.Refused == Refusal::None) {
            if (stat(target.c_str(), &info) != 0) {
                entry.Refused = Refusal::LinkOutside;
            } else if (S_ISDIR(info.st_mode)) {
                entry.Folder = true;
            } else if (S_ISREG(info.st_mode)) {
                entry.Size = static_cast<std::uint64_t>(info.st_size);
            } else {
                entry.Refused = Refusal::Special;
            }
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::optional<std::string> LocalTree::ConfinedPath(const std::string& file,
                                                   FileError& error) const {
    const std::string path = *LocalPath(file);
    std::string real = RealPath(path);
    if (real.empty()) {
        error = FileError{path, errno != 0 ? errno : ENOENT};
        return std::nullopt;
    }
    if (!IsUnder(real, realRoot_)) {
        error = FileError{path, kOutsideSource};
        return std::nullopt;
    }
    return real;
}

std::optional<std::string> LocalTree::LocalPath(const std::string& file) const {
    return file.empty() ? root_ : (std::filesystem::path(root_) / file).string();
}
#endif

bool LocalTree::Read(const std::string& file, std::string& bytes, FileError& error) const {
    const std::optional<std::string> path = ConfinedPath(file, error);
    if (path && ReadRegularFile(*path, bytes, error)) {
        return true;
    }
    error.Path = *LocalPath(file);
    return false;
}

bool LocalTree::ReadInPieces(const std::string& file, std::size_t pieceSize,
                             const std::function<bool(std::string_view)>& piece,
                             FileError& error) const {
    const std::optional<std::string> path = ConfinedPath(file, error);
    if (path && ReadRegularFileInPieces(*path, pieceSize, piece, error)) {
        return true;
    }
    error.Path = *LocalPath(file);
    return false;
}

std::string LocalTree::Shown(const std::string& file) const {
    return *LocalPath(file);
}

} // namespace quillon
