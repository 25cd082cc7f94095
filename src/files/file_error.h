// A file that could not be created, opened, read or written, told in words the commands can show.
#pragma once

#include <string>

namespace quillon {

// The reason given for an entry of a source that is not a regular file (a link, a device, a
// FIFO, a socket): a value no system gives as an errno.
inline constexpr int kNotRegularFile = -2;
// The reason given for a path that would lead outside the installation or folder it belongs to.
inline constexpr int kOutsideSource = -3;

// The file and the system's reason.
struct FileError {
    std::string Path;
    int Errno = 0;

    // The reason in French, for messages ("accès refusé", "disque plein" ...).
    std::string Reason() const;
};

} // namespace quillon
