#include "mail/export_tree.h"

#include "files/interruption.h"
#include "files/temp_file.h"
#include "mail/copy_owner.h"

#include <cerrno>
#include <cstdio>
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
    if (finished_) {
        return;
    }
    for (auto it = files_.rbegin(); it != files_.rend(); ++it) {
        std::remove(it->Path.c_str());
        interruption::Untrack(it->Ticket);
    }
    for (auto it = folders_.rbegin(); it != folders_.rend(); ++it) {
        std::error_code ignored;
        fs::remove(it->Path, ignored);
        interruption::Untrack(it->Ticket);
    }
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
    return MakeFolder("", error);
}

std::string ExportTree::PathOf(const std::string& relative) const {
    return relative.empty() ? root_ : root_ + kPathSeparator + relative;
}

std::vector<std::string> ExportTree::Files() const {
    std::vector<std::string> files;
    for (const Made& made : files_) {
        files.push_back(made.Path.substr(root_.size() + 1));
    }
    return files;
}

bool ExportTree::MakeFolder(const std::string& relative, FileError& error) {
    const std::string path = PathOf(relative);
    [[maybe_unused]] const interruption::SignalsHeld held;
    if (!MakeOwnerOnlyFolder(path)) {
        error = FileError{path, errno != 0 ? errno : EACCES};
        return false;
    }
    folders_.push_back({path, interruption::TrackFolder(path)});
    return true;
}

bool ExportTree::NewFile(const std::string& relative, OutputFile& out, FileError& error) {
    const std::string path = PathOf(relative);
    [[maybe_unused]] const interruption::SignalsHeld held;
    std::intptr_t descriptor = 0;
    if (!out.OpenNew(path, descriptor, error)) {
        return false;
    }
    files_.push_back({path, interruption::TrackTemporary(path)});
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
    for (const Made& made : files_) {
        interruption::Untrack(made.Ticket);
    }
    for (const Made& made : folders_) {
        interruption::Untrack(made.Ticket);
    }
    finished_ = true;
    return true;
}

} // namespace quillon
