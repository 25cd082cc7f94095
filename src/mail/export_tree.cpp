#include "mail/export_tree.h"

#include "disks/file_tree.h"
#include "files/interruption.h"
#include "files/temp_file.h"
#include "mail/copy_owner.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace quillon {
namespace {

namespace fs = std::filesystem;

// Someone's mail, kept as mail clients keep it: for its owner alone.
bool MakeOwnerOnlyFolder(const std::string& path) {
#ifdef _WIN32
    return CreateDirectoryA(path.c_str(), nullptr) != 0;
#else
    constexpr mode_t kOwnerOnly = 0700;
    return mkdir(path.c_str(), kOwnerOnly) == 0 && HandToUser(path);
#endif
}

// The target, when it is there: an empty folder, given up for the tree; anything else stays.
bool TargetFree(const std::string& target, FileError& error) {
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(target, ec);
    if (ec || status.type() == fs::file_type::not_found) {
        return true;
    }
    if (status.type() == fs::file_type::directory && fs::is_empty(target, ec) && !ec) {
        return true;
    }
    error = FileError{target, EEXIST};
    return false;
}

} // namespace

ExportTree::~ExportTree() {
    if (finished_ || rootTicket_ == nullptr) {
        return;
    }
    interruption::RemoveTree(root_);
    interruption::Untrack(rootTicket_);
}

bool ExportTree::Begin(const std::string& target, FileError& error) {
    target_ = target;
    if (!TargetFree(target, error)) {
        return false;
    }
    // A free name beside the target, for the tree while it is written; the file of that name
    // stays while the tree does, so that no other work takes the same number.
    auto reserved = TemporaryFile::CreateInFolderOf(target, error);
    if (!reserved) {
        return false;
    }
    reserved_.emplace(std::move(*reserved));
    root_ = reserved_->Path() + ".d";
    [[maybe_unused]] const interruption::SignalsHeld held;
    if (!MakeFolder("", error)) {
        return false;
    }
    rootTicket_ = interruption::TrackTree(root_);
    return true;
}

std::string ExportTree::PathOf(const std::string& relative) const {
    return relative.empty() ? root_ : root_ + kPathSeparator + relative;
}

std::vector<std::string> ExportTree::Files() const {
    std::vector<std::string> files;
    AddFiles("", files);
    return files;
}

void ExportTree::AddFiles(const std::string& folder, std::vector<std::string>& files) const {
    std::vector<FileTree::Entry> entries = LocalTree(PathOf(folder)).List("");
    std::sort(entries.begin(), entries.end(),
              [](const auto& a, const auto& b) { return a.Name < b.Name; });
    for (const FileTree::Entry& entry : entries) {
        const std::string relative =
            folder.empty() ? entry.Name : folder + kPathSeparator + entry.Name;
        if (entry.Folder) {
            AddFiles(relative, files);
        } else {
            files.push_back(relative);
        }
    }
}

bool ExportTree::MakeFolder(const std::string& relative, FileError& error) {
    const std::string path = PathOf(relative);
    if (!MakeOwnerOnlyFolder(path)) {
        error = FileError{path, errno != 0 ? errno : EACCES};
        return false;
    }
    return true;
}

bool ExportTree::NewFile(const std::string& relative, OutputFile& out, FileError& error) {
    const std::string path = PathOf(relative);
    std::intptr_t descriptor = 0;
    if (!out.OpenNew(path, descriptor, error)) {
        return false;
    }
    if (!HandToUser(descriptor)) {
        error = FileError{path, errno != 0 ? errno : EPERM};
        return false;
    }
    return true;
}

bool ExportTree::Finish(FileError& error) {
    [[maybe_unused]] const interruption::SignalsHeld held;
    std::error_code ec;
    if (fs::is_directory(fs::symlink_status(target_, ec))) {
        fs::remove(target_, ec); // an empty folder, as Begin found it
    }
    if (const int result = MoveOver(root_, target_); result != 0) {
        error = FileError{target_, result};
        return false;
    }
    interruption::Untrack(rootTicket_);
    finished_ = true;
    return true;
}

} // namespace quillon
