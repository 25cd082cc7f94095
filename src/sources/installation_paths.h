// Where the folders named by an offline Windows installation lie on this machine: its drives
// (C: is the folder given to --windows; a Wine prefix has its dosdevices), and the environment
// variables its stored folders use (%UserProfile%, %SystemRoot% ...), read from its registry.
#pragma once

#include "disks/file_tree.h"
#include "stores/memory_store.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quillon {

class InstallationPaths {
  public:
    // Every text is ANSI, native paths included (as the rest of the program keeps them); names
    // compare without regard to case. A drive is a folder of this machine, or a file system
    // inside a disk image.
    void AddDrive(char letter, std::string folder);
    void AddDrive(char letter, std::shared_ptr<const FileTree> files);
    void SetVariable(std::string_view name, std::string value);
    // Reads the variables from the installation's registry: system root, profiles, the user's
    // environment and shell folders.
    void ReadVariables(MemoryStore& store);

    bool HasDrives() const { return !drives_.empty(); }
    // "C:\" and so on, in letter order.
    std::vector<std::string> Drives() const;
    // A stored folder as the installation's system would open it: terminating zeros dropped,
    // %VARIABLES% it knows replaced (the others left as they are).
    std::string Expand(std::string_view stored) const;
    // The value the installation gives a variable ("UserProfile", any case); none when unknown.
    std::optional<std::string> Variable(std::string_view name) const;
    // True when the Windows path names a folder of the installation (found without regard to case).
    bool FolderExists(std::string_view windowsPath) const;
    // The folders in a folder of a drive inside an image, as its file system spells them;
    // nothing (no value) on a drive that is a folder of this machine, which is listed natively.
    std::optional<std::vector<std::string>> ImageSubfolders(std::string_view windowsPath) const;
    // The native path of a Windows path ("C:\Documents and Settings\luc"), each name found
    // without regard to case; empty when it is not on one of the installation's folder drives,
    // or leads outside it.
    std::string NativePath(std::string_view windowsPath) const;
    // True when a Windows path on one of the installation's folder drives leads outside that
    // drive's folder: through "..", or through a link of the drive (its last name may be a
    // link, which is replaced, never written through).
    bool LeadsOutside(std::string_view windowsPath) const;
    // Where a Windows path lies on the installation's drives: the drive's files and the path
    // inside them, each name found without regard to case (the last one a folder or a file, as
    // `folder` says); no value when it is on no drive or one of its names is missing.
    struct Located {
        std::shared_ptr<const FileTree> Files;
        std::string Path;
    };
    std::optional<Located> Locate(std::string_view windowsPath, bool folder) const;
    // The Windows path of a native path on one of the drives; empty when it is on none.
    std::string WindowsPath(std::string_view nativePath) const;

  private:
    std::optional<std::string> LocalNativePath(std::string_view windowsPath) const;
    // The path inside its drive's tree ("Documents and Settings/Luc"); no value when one of its
    // folders is missing. `tree` is its drive's, or nullptr when it is on no drive.
    std::optional<std::string> TreePath(std::string_view windowsPath, const FileTree*& tree,
                                        bool lastIsFolder = true) const;

    std::map<char, std::shared_ptr<const FileTree>> drives_; // upper-case letter → its files
    std::map<std::string, std::string> variables_;           // name, case folded → ANSI value
};

// A stored folder with its terminating zeros dropped and the %VARIABLES% that `variable` knows
// replaced (the others left as they are).
std::string
ExpandFolder(std::string_view stored,
             const std::function<std::optional<std::string>(std::string_view)>& variable);
// A stored folder as this system would open it: on Windows, with the system's variables.
std::string SystemFolder(std::string_view stored);
// The value this system's environment gives a variable; none off Windows.
std::optional<std::string> SystemVariable(std::string_view name);

} // namespace quillon
