// A file that could not be created, opened, read or written, told in words the commands can show.
#pragma once

#include <string>

namespace quillon {

// The file and the system's reason.
struct FileError {
    std::string Path;
    int Errno = 0;

    // The reason in French, for messages ("accès refusé", "disque plein" ...).
    std::string Reason() const;
};

} // namespace quillon
