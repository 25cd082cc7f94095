// A folder of files written for the user (the mail in open formats), built under a name of its
// own beside the one chosen and given that name only once whole: after a failure or an
// interruption nothing of it is left, and nothing the user had is touched.
#pragma once

#include "files/file_error.h"
#include "files/interruption.h"
#include "files/output_file.h"
#include "files/temp_file.h"

#include <optional>
#include <string>
#include <vector>

namespace quillon {

class ExportTree {
  public:
    ExportTree() = default;
    ExportTree(const ExportTree&) = delete;
    ExportTree& operator=(const ExportTree&) = delete;
    // Removes what was written, unless Finish gave it its name.
    ~ExportTree();

    // Starts the tree that is to become `target` (a native path), which must not exist or be an
    // empty folder. False with `error` set otherwise, or when nothing can be written beside it.
    bool Begin(const std::string& target, FileError& error);
    // Makes the folder `relative` (native names joined by the system's separator) of the tree.
    bool MakeFolder(const std::string& relative, FileError& error);
    // Creates the new file `relative` of the tree, owner-only, and opens it in `out`.
    bool NewFile(const std::string& relative, OutputFile& out, FileError& error);
    // Gives the tree the name it was begun for.
    bool Finish(FileError& error);

    // The native path of an entry of the tree, as it is while being written.
    std::string PathOf(const std::string& relative) const;
    // The files of the tree, relative to it, each folder's in the order of their names.
    std::vector<std::string> Files() const;

  private:
    void AddFiles(const std::string& folder, std::vector<std::string>& files) const;

    std::string target_;
    std::optional<TemporaryFile> reserved_; // holds the number of root_
    // The tree is removed whole after a failure or an interruption: its files and folders need
    // no registration each, and the memory taken stays the same however many there are.
    std::string root_;
    interruption::PathTicket rootTicket_ = nullptr;
    bool finished_ = false;
};

// The system's separator of names in a path.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

} // namespace quillon
