// The sources of an offline registry, as the store options name them: Wine prefixes, Windows
// installations (a folder or a disk image), hive files and .reg files.
#pragma once

#include <string>
#include <vector>

namespace quillon {

// One source of an offline registry, in the order the options gave them.
struct Mount {
    enum class Kind { WinePrefix, Windows, Image, Hive, Reg };
    Kind Source = Kind::Reg;
    std::string Key;  // where a hive goes ("HKEY_LOCAL_MACHINE\AUTRE"); empty for the others
    std::string Path; // the file or folder
};

struct StoreOptions {
    std::vector<Mount> Mounts;
    std::string User; // --user, the profile of --windows or --image
    int Partition =
        0; // --partition, the partition of --image holding the installation; 0: the only one

    bool Empty() const { return Mounts.empty(); }
};

// One user of an installation that the store options name, with the options that open it alone.
struct ListedInstallation {
    std::string Where;  // "image.dd, partition 1", a folder, or "" for a registry given whole
    std::string System; // "Windows 2000/XP/2003", "Windows 95/98/Me", or ""
    std::string User;   // the profile, ".DEFAULT", or ""
    StoreOptions Options;
};

} // namespace quillon
