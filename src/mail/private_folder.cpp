#include "mail/private_folder.h"

#include "files/temp_file.h"

#include <cerrno>
#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace quillon {

namespace fs = std::filesystem;

PrivateFolder::~PrivateFolder() {
    if (path_.empty()) {
        return;
    }
    std::error_code ignored;
    fs::remove_all(path_, ignored);
    for (auto it = tickets_.rbegin(); it != tickets_.rend(); ++it) {
        interruption::Untrack(*it);
    }
}

bool PrivateFolder::Make(FileError& error) {
    // A free name of the temporary folder; the file of that name stays while the folder does,
    // so that no other work takes the same number.
    auto reserved = TemporaryFile::Create(error);
    if (!reserved) {
        return false;
    }
    reserved_.emplace(std::move(*reserved));
    const std::string path = reserved_->Path() + ".d";
    [[maybe_unused]] const interruption::SignalsHeld held;
#ifdef _WIN32
    const bool made = CreateDirectoryA(path.c_str(), nullptr) != 0;
#else
    constexpr mode_t kOwnerOnly = 0700;
    const bool made = mkdir(path.c_str(), kOwnerOnly) == 0;
#endif
    if (!made) {
        error = FileError{path, errno != 0 ? errno : EACCES};
        return false;
    }
    path_ = path;
    tickets_.push_back(interruption::TrackFolder(path_));
    return true;
}

void PrivateFolder::TrackContents() {
    [[maybe_unused]] const interruption::SignalsHeld held;
    std::error_code ec;
    // Folders before what they hold: the interruption removes the last tracked first.
    for (fs::recursive_directory_iterator it(path_, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string path = it->path().string();
        tickets_.push_back(it->is_directory(ec) && !it->is_symlink(ec)
                               ? interruption::TrackFolder(path)
                               : interruption::TrackTemporary(path));
    }
}

} // namespace quillon
