// A folder of the program's own in the system's temporary folder, for a copy it works on: for
// its owner alone, and removed with all it holds when this object goes, or when the program is
// interrupted.
#pragma once

#include "files/file_error.h"
#include "files/interruption.h"
#include "files/temp_file.h"

#include <optional>
#include <string>
#include <vector>

namespace quillon {

class PrivateFolder {
  public:
    PrivateFolder() = default;
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;
    ~PrivateFolder();

    bool Make(FileError& error);
    const std::string& Path() const { return path_; }
    // Once files were put in it by other hands: each is removed too if the program is
    // interrupted.
    void TrackContents();

  private:
    std::optional<TemporaryFile> reserved_; // holds the number of path_
    std::string path_;
    std::vector<interruption::PathTicket> tickets_; // the folder's first
};

} // namespace quillon
