// Writes the mail client's .dbx files byte by byte, laid out as the format's public
// descriptions give them, for the sample installations, the benches and the readers' tests:
// message folders (a tree of nodes, an index record and a chain of blocks per message) and
// folders lists (a record per folder).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quillon::tools {

// A .dbx file being built: objects are appended, each at an offset it returns.
class DbxBuilder {
  public:
    explicit DbxBuilder(std::uint32_t kind);

    struct Field {
        unsigned Number;
        bool HeldInIndex;    // the value is the 24-bit number itself
        std::uint32_t Value; // when HeldInIndex
        std::string Data;    // otherwise: the field's bytes in the record's data
    };
    // An index record; its offset.
    std::uint32_t AddRecord(const std::vector<Field>& fields);
    // A text's chain of blocks of `room` bytes each; the offset of its first.
    std::uint32_t AddText(const std::string& text, std::uint32_t room = 0x200);
    struct Entry {
        std::uint32_t Value;
        std::uint32_t Child = 0;
    };
    // A tree node; its offset.
    std::uint32_t AddNode(const std::vector<Entry>& entries, std::uint32_t child = 0);
    // A tree holding `values` in order, nodes of at most 51 entries; the root's offset (0 when
    // there are none).
    std::uint32_t AddTree(const std::vector<std::uint32_t>& values);
    // The header's first tree: its root and how many values it holds.
    void SetTree(std::uint32_t root, std::uint32_t count);

    void Put32(std::uint32_t at, std::uint32_t value);
    const std::string& Bytes() const { return file_; }

  private:
    std::uint32_t Append(std::size_t length);
    std::string file_;
};

// Fields of records, as the builder takes them.
DbxBuilder::Field NumberField(unsigned number, std::uint32_t value);
DbxBuilder::Field TextField(unsigned number, const std::string& text);

// A message folder holding `messages` (each the whole text of one), their subjects taken from
// their "Subject:" lines.
std::string MessageFolder(const std::vector<std::string>& messages);

struct FolderRow {
    std::uint32_t Id, Parent, Store, Special;
    std::string Name, File;
};
// A folders list holding `folders`.
std::string FoldersList(const std::vector<FolderRow>& folders);

// A file of another kind (offline list, POP3 list): its header alone.
std::string HeaderOnly(std::uint32_t kind);

} // namespace quillon::tools
