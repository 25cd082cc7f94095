// Temp_file: names of temporary files ("~~TempQuillon" + number + ".tmp", first free number)
// and the files themselves, created exclusively and deleted by whoever made them.
#pragma once

#include "files/file_error.h"

#include <cstdint>
#include <optional>
#include <string>

namespace quillon {

namespace Temp_file {
inline constexpr std::string_view Prefix = "~~TempQuillon";

// The system's temporary folder with its trailing separator ($TMPDIR or /tmp off Windows);
// empty when the system gives none.
std::string TempFolder();
} // namespace Temp_file

// A file created anew for the program alone (owner-only, never through an existing file or
// link), deleted when this object goes unless it was put in place. Its descriptor is held from
// its creation to its end: the program's own writing goes through it, never through its name.
class TemporaryFile {
  public:
    // In the temporary folder, at the first free number.
    static std::optional<TemporaryFile> Create(FileError& error);
    // In the folder of `target`, to be renamed over it once complete (in the temporary folder
    // when `target` is a device or a pipe).
    static std::optional<TemporaryFile> CreateBeside(const std::string& target, FileError& error);

    // In the folder that holds the entry `target`, whatever that entry is (a link is not
    // followed): for a file that replaces the entry itself.
    static std::optional<TemporaryFile> CreateInFolderOf(const std::string& target,
                                                         FileError& error);

    TemporaryFile(TemporaryFile&& other) noexcept;
    TemporaryFile& operator=(TemporaryFile&&) = delete;
    ~TemporaryFile();

    const std::string& Path() const { return path_; }
    // The system's descriptor of the file (a handle on Windows).
    std::intptr_t Descriptor() const { return descriptor_; }
    // Moves the file over `target`; on success the file is no longer deleted. A device or a
    // pipe is not replaced: the file's bytes are written into it.
    bool RenameTo(const std::string& target, FileError& error);
    // Gives the file the name `target`, replacing the entry of that name itself (a link or a
    // special file is replaced, never written through); on success the file is no longer
    // deleted.
    bool TakeName(const std::string& target, FileError& error);
    // Gives the file the permissions of the regular file `replaced` that it is to replace, or
    // those of a new file when there is none (it was made owner-only).
    void TakeModeOf(const std::string& replaced);

  private:
    TemporaryFile(std::string path, std::intptr_t descriptor);
    void Release();
    bool CopyInto(const std::string& target, FileError& error) const;
    static std::optional<TemporaryFile> CreateIn(const std::string& folder, FileError& error);

    std::string path_;
    std::intptr_t descriptor_;
};

} // namespace quillon
