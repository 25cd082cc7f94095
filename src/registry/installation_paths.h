// Where the folders named by an offline Windows installation lie on this machine: its drives
// (C: is the folder given to --windows; a Wine prefix has its dosdevices), and the environment
// variables its stored folders use (%UserProfile%, %SystemRoot% ...), read from its registry.
#pragma once

#include "registry/memory_store.h"

#include <map>
#include <string>
#include <vector>

namespace quillon {

class InstallationPaths {
  public:
    // Every text is ANSI, native paths included (as the rest of the program keeps them); names
    // compare without regard to case.
    void AddDrive(char letter, std::string folder);
    void SetVariable(std::string_view name, std::string value);
    // Reads the variables from the installation's registry: system root, profiles, the user's
    // environment and shell folders.
    void ReadVariables(const MemoryStore& store);

    bool HasDrives() const { return !drives_.empty(); }
    // "C:\" and so on, in letter order.
    std::vector<std::string> Drives() const;
    // A stored folder as the installation's system would open it: terminating zeros dropped,
    // %VARIABLES% it knows replaced (the others left as they are).
    std::string Expand(std::string_view stored) const;
    // The native path of a Windows path ("C:\Documents and Settings\luc"), each name found
    // without regard to case; empty when it is not on one of the installation's drives.
    std::string NativePath(std::string_view windowsPath) const;
    // The Windows path of a native path on one of the drives; empty when it is on none.
    std::string WindowsPath(std::string_view nativePath) const;

  private:
    std::map<char, std::string> drives_;          // upper-case letter → native folder
    std::map<std::string, std::string> variables_; // name, case folded → ANSI value
};

} // namespace quillon
