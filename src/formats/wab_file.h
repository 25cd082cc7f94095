// The address books (.wab) of Windows' Address Book, in the WAB4 form of Outlook Express 5
// and 6 and the Windows 95 form before it: each record, a contact's or a group's, with its
// MAPI properties, found through the file's index of records and checked against its indexes
// of names. Our own reader: no library reads the format, and the Address Book that wrote it
// exists only on Windows of that time.
#pragma once

#include "files/random_access_file.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quillon {

struct WabProperty {
    std::uint32_t Tag = 0;           // MAPI: the id in the high 16 bits, the type in the low
    std::vector<std::string> Values; // each value's bytes as stored; one unless multi-valued
};

struct WabRecord {
    enum class Holds { Contact, Group, Other };
    std::uint32_t Id = 0;
    Holds Kind = Holds::Other;
    std::vector<WabProperty> Properties;

    // The first property of this id, of any type; nullptr when the record has none.
    const WabProperty* Find(std::uint16_t id) const;
};

class WabFile {
  public:
    // false with a French `error` (which does not name the file) when the file cannot be read
    // or is no address book.
    bool Open(const std::string& path, std::string& error);
    bool Windows95Form() const { return windows95_; }

    // The contacts' and groups' records the index reaches, in its order. A record that cannot
    // be read whole is left out and named among the problems.
    std::vector<WabRecord> Records();

    // What the reading met that is damaged, in French (without the file's name), since the
    // last call.
    std::vector<std::string> TakeProblems();

  private:
    struct Table {
        std::uint32_t Type = 0;
        std::uint32_t EntrySize = 0;
        std::uint32_t EntriesAt = 0;
        std::uint32_t Entries = 0;
    };
    bool ReadAt(std::uint64_t offset, std::string& bytes, std::size_t length) const;
    std::vector<std::string> TableEntries(const Table& table);
    bool ReadRecord(std::uint32_t at, WabRecord& record);
    void CheckNames(const Table& names, const std::vector<WabRecord>& records);
    void Problem(std::string text) { problems_.push_back(std::move(text)); }

    std::unique_ptr<RandomAccessFile> file_;
    bool windows95_ = false;
    std::vector<Table> tables_;
    std::vector<std::string> problems_;
};

} // namespace quillon
