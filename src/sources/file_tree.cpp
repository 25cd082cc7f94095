#include "sources/file_tree.h"

#include "files/input_file.h"
#include "text/ansi_codepage.h"
#include "text/native_text.h"

#include <algorithm>
#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#endif

namespace quillon {

std::string FileTree::Find(const std::string& folder, std::string_view name,
                           bool wantFolder) const {
    for (const Entry& entry : List(folder)) {
        if (entry.Folder == wantFolder &&
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
// On Windows every path is ANSI, which the "A" calls take as they are.
std::vector<FileTree::Entry> LocalTree::List(const std::string& folder) const {
    std::vector<Entry> entries;
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((*LocalPath(folder) + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return entries;
    }
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..") {
            entries.push_back({name, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                               std::uint64_t{found.nFileSizeHigh} << 32 | found.nFileSizeLow});
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return entries;
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
std::vector<FileTree::Entry> LocalTree::List(const std::string& folder) const {
    std::vector<Entry> entries;
    std::error_code ec;
    const std::filesystem::path at =
        folder.empty() ? std::filesystem::path(root_) : std::filesystem::path(root_) / folder;
    for (std::filesystem::directory_iterator it(at, ec), end; !ec && it != end; it.increment(ec)) {
        const bool folder = it->is_directory(ec);
        const std::uintmax_t size = folder ? 0 : it->file_size(ec);
        entries.push_back({it->path().filename().string(), folder,
                           size == static_cast<std::uintmax_t>(-1) ? 0 : size});
    }
    return entries;
}

std::optional<std::string> LocalTree::LocalPath(const std::string& file) const {
    return file.empty() ? root_ : (std::filesystem::path(root_) / file).string();
}
#endif

bool LocalTree::Read(const std::string& file, std::string& bytes, FileError& error) const {
    return ReadWholeFile(*LocalPath(file), bytes, error);
}

bool LocalTree::ReadInPieces(const std::string& file, std::size_t pieceSize,
                             const std::function<bool(std::string_view)>& piece,
                             FileError& error) const {
    return ReadFileInPieces(*LocalPath(file), pieceSize, piece, error);
}

std::string LocalTree::Shown(const std::string& file) const {
    return *LocalPath(file);
}

} // namespace quillon
