// Finding the Windows installations of a folder or a disk image, and listing their users.
#pragma once

#include "disks/disk_image.h"
#include "disks/file_tree.h"
#include "sources/opened_images.h"
#include "sources/registry_sources.h"

#include <memory>
#include <string>
#include <vector>

namespace quillon {

// The Windows installation at the top of `tree` (a system disk), paths in the tree, names found
// without regard to case.
struct WindowsInstallation {
    // Windows 2000, XP, 2003.
    std::string Software; // WINDOWS/system32/config/software (or WINNT/...)
    std::string Default;  // .../config/default; empty when absent
    // Windows 95, 98, Me: SYSTEM.DAT holds all of HKEY_LOCAL_MACHINE, USER.DAT all of HKEY_USERS.
    std::string SystemDat;
    std::string UserDat;
    std::vector<std::string> Profiles; // WINDOWS/Profiles/NAME holding a USER.DAT
    // The user's own hive: Documents and Settings/NAME/NTUSER.DAT, or WINDOWS/Profiles/NAME/
    // USER.DAT; empty on Windows 95/98/Me when no profile is chosen (the .DEFAULT user).
    std::string UserHive;
    std::string UserName; // NAME as the folder spells it

    bool Is9x() const { return !SystemDat.empty(); }
};

// false with a French `error` when a hive is missing, or when `user` is empty and there are
// several profiles (they are listed) or none (Windows 2000/XP/2003), or when `user` names no
// profile.
bool FindWindowsInstallation(const FileTree& tree, const std::string& user,
                             WindowsInstallation& found, std::string& error);

// The file system of an image's volume that holds a Windows installation.
struct ImageVolumeTree {
    DiskImage::Volume Volume;
    std::unique_ptr<FileTree> Tree; // nullptr when none was chosen
};

// The volume of `image` numbered `partition` (1, 2 ...), or when `partition` is 0 the only one
// holding Windows; Tree is nullptr, with a French `error`, when there is none, or several.
ImageVolumeTree FindImageInstallation(DiskImage& image, int partition, std::string& error);

// Every user of every installation of the --windows and --image options (every partition of an
// image holding Windows); without such options, the registry the options give, as one. false
// with a French `error` when an image or a folder cannot be read, or `report` stopped it.
// `images`, when given, opens the images and keeps them for the users' stores.
bool ListInstallations(const StoreOptions& options, std::vector<ListedInstallation>& found,
                       std::string& error, const StepReport& report = {},
                       OpenedImages* images = nullptr);

// Whether the folder `root` (a drive's root) holds a Windows folder (WINDOWS, WINNT) or a folder
// of profiles (Documents and Settings), named without regard to case: a disk worth listing.
bool MayHoldInstallation(const std::string& root);

// "a, b, c", for messages that list names.
std::string JoinNames(const std::vector<std::string>& names);

} // namespace quillon
