// ChoixRepertSauve, the modal window in which a drive and a folder are picked. Its logic lives
// here; a face draws its drive list and folder list and forwards their events.
#pragma once

#include "sources/installation_paths.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quillon {

class ChoixRepertSauve {
  public:
    // `r` is the main window's R, through which the result goes back; `canOpen` tells whether a
    // drive's folder list can be shown (a drive without its disk cannot).
    // With an `installation` (offline), the drives and folders are the installation's: its
    // Windows paths go in and out, and the face lists the native folders behind them.
    ChoixRepertSauve(std::string& r, std::vector<std::string> drives,
                     std::function<bool(const std::string&)> canOpen,
                     const InstallationPaths* installation = nullptr);

    // The texts of the window, ANSI. Paths in and out of the chooser are ANSI too.
    static const char* const Caption;
    static const char* const OkCaption;
    static const char* const CancelCaption;

    const std::vector<std::string>& Drives() const { return drives_; }
    const std::string& Drive() const { return drive_; }
    const std::string& Folder() const { return folder_; }

    // Where the lists start: the platform's choice.
    void Start(const std::string& folder);
    // A drive picked: its folder list, or back to the drive of the folder shown.
    void DriveRepert2_Change(const std::string& drive);
    // A folder picked in the list: R follows it.
    void DirRepert2_Change(const std::string& folder);
    // The folder (on this machine) whose subfolders the face lists, and one of them picked.
    std::string ListedFolder() const;
    void ListedFolderPicked(const std::string& listedFolder);
    // On a drive inside a disk image, which the face cannot list itself: the names it lists
    // ("..", then the subfolders of the folder shown), and one of them picked. No value on a
    // drive that is a folder of this machine.
    std::optional<std::vector<std::string>> ImageFolderNames() const;
    void ImageFolderPicked(const std::string& name);
    void Repert2OK_Click();
    void RepertAnnule_Click();

  private:
    std::string DriveOf(const std::string& folder) const;

    std::string& r_;
    std::vector<std::string> drives_;
    std::function<bool(const std::string&)> canOpen_;
    std::string drive_;
    std::string folder_;
    const InstallationPaths* installation_;
};

} // namespace quillon
