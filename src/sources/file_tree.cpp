#include "sources/file_tree.h"

#include "files/input_file.h"
#include "text/ansi_codepage.h"

#include <filesystem>

namespace quillon {

std::string FileTree::Find(const std::string& folder, std::string_view name,
                           bool wantFolder) const {
    for (const Entry& entry : List(folder)) {
        if (entry.Folder == wantFolder &&
            EqualsIgnoringCase(Utf8ToAnsi(entry.Name), Utf8ToAnsi(name))) {
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

std::vector<FileTree::Entry> LocalTree::List(const std::string& folder) const {
    std::vector<Entry> entries;
    std::error_code ec;
    const std::filesystem::path at =
        folder.empty() ? std::filesystem::path(root_) : std::filesystem::path(root_) / folder;
    for (std::filesystem::directory_iterator it(at, ec), end; !ec && it != end; it.increment(ec)) {
        entries.push_back({it->path().filename().string(), it->is_directory(ec)});
    }
    return entries;
}

bool LocalTree::Read(const std::string& file, std::string& bytes, FileError& error) const {
    return ReadWholeFile(*LocalPath(file), bytes, error);
}

std::optional<std::string> LocalTree::LocalPath(const std::string& file) const {
    return file.empty() ? root_ : (std::filesystem::path(root_) / file).string();
}

std::string LocalTree::Shown(const std::string& file) const {
    return *LocalPath(file);
}

} // namespace quillon
