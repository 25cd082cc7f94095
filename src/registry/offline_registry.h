// The offline registry: Wine prefixes, hive files, Windows installations on a disk and .reg
// files mounted into one in-memory registry with the seven roots.
#pragma once

#include "registry/disk_image.h"
#include "registry/file_tree.h"
#include "registry/memory_store.h"
#include "registry/store_options.h"

#include <string>
#include <vector>

namespace quillon {

// Mounts every source of `options` in order. Later sources may add keys below earlier ones;
// two sources on the same key are refused. false with a French `error` on the first source
// that cannot be read; `warnings` tells of hives read only in part.
// `imageFiles`, when given, receives the file system of an --image installation, kept open
// for the folder checks.
bool MountAll(MemoryStore& store, const StoreOptions& options, std::vector<std::string>& warnings,
              std::string& error, std::shared_ptr<const FileTree>* imageFiles = nullptr);

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

// One user of an installation that the store options name, with the options that open it alone.
struct ListedInstallation {
    std::string Where;   // "image.dd, partition 1", a folder, or "" for a registry given whole
    std::string System;  // "Windows 2000/XP/2003", "Windows 95/98/Me", or ""
    std::string User;    // the profile, ".DEFAULT", or ""
    StoreOptions Options;
};

// Every user of every installation of the --windows and --image options (every partition of an
// image holding Windows); without such options, the registry the options give, as one. false
// with a French `error` when an image or a folder cannot be read.
bool ListInstallations(const StoreOptions& options, std::vector<ListedInstallation>& found,
                       std::string& error);

} // namespace quillon
