// The offline registry: Wine prefixes, hive files, Windows installations on a disk and .reg
// files mounted into one in-memory registry with the seven roots.
#pragma once

#include "registry/file_tree.h"
#include "registry/memory_store.h"
#include "registry/store_options.h"

#include <string>
#include <vector>

namespace quillon {

// Mounts every source of `options` in order. Later sources may add keys below earlier ones;
// two sources on the same key are refused. false with a French `error` on the first source
// that cannot be read; `warnings` tells of hives read only in part.
bool MountAll(MemoryStore& store, const StoreOptions& options, std::vector<std::string>& warnings,
              std::string& error);

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

} // namespace quillon
