// The .dbx files of Outlook Express 5 and 6: a message folder's messages, each read whole as
// stored, and the folders list (Folders.dbx). Our own reader: no library reads the format
// (undbx, in Debian, is a program, which the tests keep as a cross-check).
#pragma once

#include "files/random_access_file.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillon {

enum class DbxKind { MessageFolder, FoldersList, OtherList };

struct DbxMessage {
    std::uint32_t FirstBlock = 0; // where its text starts
    std::uint64_t Received = 0;   // as a FILETIME; 0 when not stored
    std::string Subject;          // ANSI, as stored; may be empty
    // Found by its chain of text blocks, not through the index: its index entry is lost, or
    // the message was deleted but its text is still there.
    bool Recovered = false;
    // For a recovered message whose blocks were copied within the file and still name the
    // place they were copied from: how far that lies from where they are.
    std::uint32_t Shift = 0;
};

struct DbxFolder {
    std::uint32_t Id = 0;
    std::uint32_t Parent = 0;
    std::string Name; // ANSI
    std::string File; // its .dbx file's name; empty for a folder of folders
    std::uint32_t Special =
        0;                   // 0 an ordinary folder; 1 Inbox, 2 Outbox, 3 Sent, 4 Deleted, 5 Drafts
    std::uint32_t Store = 0; // 0 a newsgroup's, 1 an IMAP account's, 3 the local store's
};

// Folder ids of the folders list: the root, which every other folder descends from.
inline constexpr std::uint32_t kDbxNoParent = 0xFFFFFFFF;
enum DbxSpecialFolder : std::uint32_t { Inbox = 1, Outbox = 2, Sent = 3, Deleted = 4, Drafts = 5 };
inline constexpr std::uint32_t kDbxLocalStore = 3;

class DbxFile {
  public:
    // false with a French `error` (which does not name the file) when the file cannot be read
    // or is no .dbx file.
    bool Open(const std::string& path, std::string& error);
    DbxKind Kind() const { return kind_; }
    // How many entries the header says the index holds.
    std::uint32_t CountedEntries() const { return counted_; }

    // The messages the index reaches, in its order; then, with `recover`, or when the index
    // is damaged or reaches fewer than the header counts, those found by their text's chain
    // alone (Recovered).
    std::vector<DbxMessage> Messages(bool recover);
    // Gives the message's text to `write`, a block at a time; false when its chain breaks
    // (what came before was given) or `write` returns false.
    bool ReadText(const DbxMessage& message, const std::function<bool(std::string_view)>& write);
    // The folders of a folders list, in the index's order.
    std::vector<DbxFolder> Folders();

    // What the reading met that is damaged, in French (without the file's name), since the
    // last call.
    std::vector<std::string> TakeProblems();

  private:
    struct Block {
        std::uint32_t At = 0;    // where it says it is
        std::uint32_t Shift = 0; // how far that lies from where it is
        std::uint32_t TextLength = 0;
        std::uint32_t Next = 0;
    };
    struct Field {
        unsigned Number = 0;
        std::uint32_t Value = 0; // held in the index, or where it starts in the data
        bool HeldInIndex = false;
    };
    struct Record {
        std::vector<Field> Fields;
        std::string Data;
        const Field* Find(unsigned number) const;
        std::uint32_t Number(unsigned number) const;
        std::string Text(unsigned number) const;
        std::uint64_t Time(unsigned number) const; // a FILETIME
    };

    std::vector<std::uint32_t> IndexValues();
    void WalkNode(std::uint32_t at, unsigned depth, std::vector<std::uint32_t>& visited,
                  std::vector<std::uint32_t>& values);
    bool ReadRecord(std::uint32_t at, Record& record);
    bool ReadBlock(std::uint32_t at, std::uint32_t shift, Block& block) const;
    // `length` bytes at `offset`, whole or not at all, through the window.
    bool ReadAt(std::uint64_t offset, char* buffer, std::size_t length) const;
    // The same bytes seen in the window, where they fit in it (until it moves).
    bool ViewAt(std::uint64_t offset, std::size_t length, std::string_view& bytes) const;
    // The first block and the shift of each chain found.
    std::vector<std::pair<std::uint32_t, std::uint32_t>>
    ChainsNotIndexed(const std::vector<DbxMessage>& indexed) const;
    void Problem(std::string text);

    std::unique_ptr<RandomAccessFile> file_;
    std::uint64_t size_ = 0;
    DbxKind kind_ = DbxKind::OtherList;
    std::uint32_t counted_ = 0;
    std::uint32_t root_ = 0;
    bool indexDamaged_ = false;
    std::vector<std::string> problems_;
    mutable std::string window_; // the file's bytes from windowAt_
    mutable std::uint64_t windowAt_ = 0;
};

} // namespace quillon
