#include "adapt/directory_chooser.h"

namespace quillon {

const char* const ChoixRepertSauve::Caption = "Choisir un r\xE9pertoire";
const char* const ChoixRepertSauve::OkCaption = "OK";
const char* const ChoixRepertSauve::CancelCaption = "Annuler";

ChoixRepertSauve::ChoixRepertSauve(std::string& r, std::vector<std::string> drives,
                                   std::function<bool(const std::string&)> canOpen,
                                   const InstallationPaths* installation)
    : r_(r), drives_(std::move(drives)), canOpen_(std::move(canOpen)), installation_(installation) {
}

void ChoixRepertSauve::Start(const std::string& folder) {
    folder_ = folder;
    drive_ = DriveOf(folder);
    if (installation_ != nullptr && drive_.empty() && !drives_.empty()) {
        drive_ = folder_ = drives_.front(); // the face's start is not in the installation
    }
}

std::string ChoixRepertSauve::ListedFolder() const {
    return installation_ != nullptr ? installation_->NativePath(folder_) : folder_;
}

void ChoixRepertSauve::ListedFolderPicked(const std::string& listedFolder) {
    const std::string folder =
        installation_ != nullptr ? installation_->WindowsPath(listedFolder) : listedFolder;
    if (!folder.empty()) {
        DirRepert2_Change(folder);
    }
}

std::optional<std::vector<std::string>> ChoixRepertSauve::ImageFolderNames() const {
    std::optional<std::vector<std::string>> names =
        installation_ != nullptr ? installation_->ImageSubfolders(folder_) : std::nullopt;
    if (names && folder_.size() > 3) {
        names->insert(names->begin(), "..");
    }
    return names;
}

void ChoixRepertSauve::ImageFolderPicked(const std::string& name) {
    std::string folder = folder_;
    while (folder.size() > 3 && folder.ends_with('\\')) {
        folder.pop_back();
    }
    if (name == "..") {
        const auto cut = folder.rfind('\\');
        folder = cut == std::string::npos || cut < 3 ? folder.substr(0, 3) : folder.substr(0, cut);
    } else {
        folder += (folder.ends_with('\\') ? "" : "\\") + name;
    }
    DirRepert2_Change(folder);
}

void ChoixRepertSauve::DriveRepert2_Change(const std::string& drive) {
    if (canOpen_(drive)) {
        drive_ = drive;
        DirRepert2_Change(drive);
    } else {
        drive_ = DriveOf(folder_);
    }
}

void ChoixRepertSauve::DirRepert2_Change(const std::string& folder) {
    folder_ = folder;
    r_ = folder;
}

void ChoixRepertSauve::Repert2OK_Click() {
    r_ = folder_;
}

void ChoixRepertSauve::RepertAnnule_Click() {
    r_.clear();
}

// The longest drive (a drive letter or a mount point) that the folder lies on.
std::string ChoixRepertSauve::DriveOf(const std::string& folder) const {
    std::string best;
    for (const std::string& drive : drives_) {
        if (folder.starts_with(drive) && drive.size() > best.size()) {
            best = drive;
        }
    }
    return best;
}

} // namespace quillon
