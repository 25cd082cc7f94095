// The sources of an offline registry, as the store options name them: Wine prefixes, Windows
// installations (a folder or a disk image), hive files and .reg files.
#pragma once

#include <functional>
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
    // --restore-point, an older copy of the installation's registry ("RP12", "RB001"); "" for
    // the current one
    std::string RestorePoint = {};

    bool Empty() const { return Mounts.empty(); }
    // Whether the registry read is the running system's own: on Windows, when no source is
    // given.
    bool RunningSystem() const {
#ifdef _WIN32
        return Empty();
#else
        return false;
#endif
    }
};

// Told of each step of a long reading ("Recherche de Windows dans disque.img, partition 2"),
// which it may stop by returning true.
using StepReport = std::function<bool(const std::string& step)>;

// What a reading stopped by its StepReport says.
inline constexpr const char* kReadingStopped = "Lecture annulée";

// One user of an installation that the store options name, with the options that open it alone.
struct ListedInstallation {
    std::string Where;  // "image.dd, partition 1", a folder, or "" for a registry given whole
    std::string System; // "Windows 2000/XP/2003", "Windows 95/98/Me", or ""
    std::string User;   // the profile, ".DEFAULT", or ""
    StoreOptions Options;
};

} // namespace quillon
