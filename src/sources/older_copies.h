// The older copies of an installation's registry that Windows kept: the hives of Windows XP's
// restore points (System Volume Information/_restore{GUID}/RPnn/snapshot), the registry backups
// of Windows 98 and Me (WINDOWS/SYSBCKUP/RB000.CAB ...) and Windows Me's restore points
// (_RESTORE/ARCHIVE/RG*.CAB).
#pragma once

#include "disks/file_tree.h"

#include <string>
#include <utility>
#include <vector>

namespace quillon {

struct OlderCopy {
    std::string Name;  // "RP12", "RB001", "RG000003": what --restore-point takes
    std::string Shown; // "point de restauration RP12, 2009-12-01 14:03", "RB001.CAB, ..."
    // Windows XP: the hives of the snapshot, paths in the tree; a user's hive by SID.
    std::string Software;
    std::string Default;
    std::vector<std::pair<std::string, std::string>> Users;
    // Windows 98 and Me: the cabinet, a path in the tree, holding SYSTEM.DAT and USER.DAT.
    std::string Cab;

    bool IsCab() const { return !Cab.empty(); }
};

// True when `tree` holds older copies of a registry (cheap: nothing is read).
bool HasOlderCopies(const FileTree& tree);

// The older copies of the registry in `tree`, oldest restore point first, then the cabinets by
// name.
std::vector<OlderCopy> FindOlderCopies(const FileTree& tree);

} // namespace quillon
