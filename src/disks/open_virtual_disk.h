// Virtual machine disks read in place, at their newest state: VMware VMDK, Virtual PC VHD,
// Hyper-V VHDX, QEMU QCOW and VirtualBox VDI, each snapshot read over the parents it is made on.
#pragma once

#include "disks/virtual_disk.h"

#include <memory>
#include <string>

namespace quillon {

// The virtual disk `path` holds, told by its bytes, not its name. nullptr with `error` left empty
// when the file is no virtual disk (a raw or EnCase image, say); nullptr with a French `error`
// when it is one that cannot be read: damaged, encrypted, of a kind not read, or a snapshot
// whose parent is missing or is not the disk it was made on.
std::unique_ptr<VirtualDisk> OpenVirtualDisk(const std::string& path, std::string& error);

// Where the parent of the snapshot `child` lies, given the name the snapshot stores (a Windows
// or Unix path, absolute or relative, from the machine that made it): that path from the child's
// folder, else its file name beside the child, found without regard to case. "" when neither is
// there.
std::string FindParentBeside(const std::string& child, const std::string& storedName);

// How messages name the parent looked for: the stored name's file name, beside the child.
std::string ParentLookedFor(const std::string& child, const std::string& storedName);

} // namespace quillon
