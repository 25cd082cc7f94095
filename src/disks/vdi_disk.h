// VirtualBox VDI disks (fixed, dynamic, and the differencing disks of snapshots over their
// parents), read in place.
#pragma once

#include "disks/virtual_disk.h"

#include <memory>
#include <string_view>

namespace quillon {

// True when `head`, a file's first bytes, starts a VDI disk.
bool IsVdiDisk(std::string_view head);

// nullptr with a French `error` when `path` cannot be read as a VDI disk, or is a snapshot whose
// parent (a .vdi beside it, or in the folder above, carrying the identifier it names) is missing.
std::unique_ptr<VirtualDisk> OpenVdiDisk(const std::string& path, std::string& error);

} // namespace quillon
