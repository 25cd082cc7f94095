// The cluster tables of a QEMU QCOW image (versions 1, 2 and 3), checked against the file before
// libqcow reads it.
#pragma once

#include <string>

namespace quillon {

// "" when every table of the image at `path` points inside the file, where clusters may lie;
// else what is wrong, in French. Debian's libqcow follows such offsets without checking them,
// out of its own buffers (found by fuzzing).
std::string QcowTablesRefusal(const std::string& path);

} // namespace quillon
