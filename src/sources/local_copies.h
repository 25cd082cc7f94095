// Local paths of a tree's files for the readers, which open files by name: the files themselves
// in a folder of this machine, else copies in temporary files, deleted with this object. Each
// file is read once.
#pragma once

#include "disks/file_tree.h"
#include "files/temp_file.h"

#include <map>
#include <optional>
#include <string>

namespace quillon {

// `bytes` in a temporary file of the program's own, deleted with the object; nullopt with
// `error` set when it cannot be written.
std::optional<TemporaryFile> PrivateCopyOf(std::string_view bytes, FileError& error);

class LocalCopies {
  public:
    explicit LocalCopies(const FileTree& tree) : tree_(tree) {}

    const FileTree& Tree() const { return tree_; }
    // "" with a French `error` when the file cannot be read or copied.
    std::string PathOf(const std::string& file, std::string& error);
    // `text` naming the tree's files where it named their copies.
    std::string Shown(std::string text) const;

  private:
    const FileTree& tree_;
    std::map<std::string, TemporaryFile> copies_;
};

} // namespace quillon
