// The folders and files in which a Windows installation is looked for: a folder of this machine
// (a mounted disk), or a file system inside a disk image. Read only.
#pragma once

#include "files/file_error.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quillon {

class FileTree {
  public:
    // Why an entry is not read: a source nobody trusts may hold anything.
    enum class Refusal {
        None,
        LinkOutside, // a link that leads out of the source, or nowhere
        Special,     // a device, a FIFO, a socket
        UnsafeName,  // a name that holds "/", "\\" or NUL, or is "." or "..": never used as a name
    };
    struct Entry {
        std::string
            Name; // as the file system spells it, in the system's encoding (UTF-8 off Windows)
        bool Folder = false;
        std::uint64_t Size = 0;          // a file's bytes
        Refusal Refused = Refusal::None; // never a folder when set
    };

    virtual ~FileTree() = default;

    // The entries of `folder` ("" for the top, parts joined with "/"); none when it cannot be read.
    // Entries that are not read are listed with their refusal.
    virtual std::vector<Entry> List(const std::string& folder) const = 0;
    // The bytes of `file`; false with `error` set when it cannot be read.
    virtual bool Read(const std::string& file, std::string& bytes, FileError& error) const = 0;
    // The bytes of `file` in pieces of at most `pieceSize`, front to back, each handed to
    // `piece`, which stops the reading by returning false; false with `error` set when it cannot
    // be read.
    virtual bool ReadInPieces(const std::string& file, std::size_t pieceSize,
                              const std::function<bool(std::string_view)>& piece,
                              FileError& error) const = 0;
    // Where `file` is on this machine's disk, when it is there (a folder of this machine).
    virtual std::optional<std::string> LocalPath(const std::string& file) const = 0;
    // How messages name `file`.
    virtual std::string Shown(const std::string& file) const = 0;

    // The entry of `folder` named `name` without regard to case, as "folder/Name"; "" when there
    // is none (entries refused are never found).
    std::string Find(const std::string& folder, std::string_view name, bool wantFolder) const;
    // Find, part after part; "" as soon as one is missing.
    std::string FindPath(const std::string& folder, std::initializer_list<std::string_view> parts,
                         bool lastIsFolder) const;
};

// A folder of this machine.
class LocalTree : public FileTree {
  public:
    explicit LocalTree(std::string root);

    std::vector<Entry> List(const std::string& folder) const override;
    bool Read(const std::string& file, std::string& bytes, FileError& error) const override;
    bool ReadInPieces(const std::string& file, std::size_t pieceSize,
                      const std::function<bool(std::string_view)>& piece,
                      FileError& error) const override;
    std::optional<std::string> LocalPath(const std::string& file) const override;
    std::string Shown(const std::string& file) const override;

  private:
    // The real path of `file` (links inside the source resolved); no value when it leads out
    // of the source or nowhere.
    std::optional<std::string> ConfinedPath(const std::string& file, FileError& error) const;

    std::string root_;
    std::string realRoot_; // the root with its own links resolved: the bound of every path
};

// Whether the native `path` stays inside the folder `root` once its links are resolved: the
// deepest part of it that exists, its last name itself when it is not a link, lies inside.
bool StaysUnder(const std::string& root, const std::string& path);
// Whether a name read from a source can be used as a file's name here and on Windows.
bool IsSafeName(std::string_view name);
// The refusal of an entry named `name`: UnsafeName, or None.
FileTree::Refusal RefusalOfName(std::string_view name);

} // namespace quillon
