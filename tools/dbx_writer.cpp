#include "dbx_writer.h"

#include "files/byte_order.h"
#include "formats/dbx_layout.h"

#include <algorithm>
#include <sstream>

namespace quillon::tools {
namespace {

using namespace dbx;

// The file info that follows the header, as the mail client writes it (its contents unread).
constexpr std::uint32_t kFileInfoSize = 0x618;
constexpr std::size_t kFileInfoLengthAt = 0x1C;
// The header's numbers after the kind, the same in every .dbx file.
constexpr std::uint32_t kVersionWords[] = {0x11D1E366, 0xC0004E9A};

// The value of a header line of the message ("Subject: ..."), or "".
std::string HeaderLine(const std::string& message, const std::string& name) {
    std::istringstream lines(message);
    for (std::string line; std::getline(lines, line) && line != "\r" && !line.empty();) {
        if (line.rfind(name + ": ", 0) == 0) {
            std::string value = line.substr(name.size() + 2);
            if (!value.empty() && value.back() == '\r') {
                value.pop_back();
            }
            return value;
        }
    }
    return {};
}

} // namespace

DbxBuilder::DbxBuilder(std::uint32_t kind) : file_(kHeaderSize, '\0') {
    Put32(0, kMagic);
    Put32(kKindAt, kind);
    Put32(kKindAt + 4, kVersionWords[0]);
    Put32(kKindAt + 8, kVersionWords[1]);
    Put32(kFileInfoLengthAt, kFileInfoSize);
    file_.append(kFileInfoSize, '\0');
}

void DbxBuilder::Put32(std::uint32_t at, std::uint32_t value) {
    PutLe32(file_, at, value);
}

std::uint32_t DbxBuilder::Append(std::size_t length) {
    const auto at = static_cast<std::uint32_t>(file_.size());
    file_.append(length, '\0');
    Put32(at, at);
    return at;
}

std::uint32_t DbxBuilder::AddRecord(const std::vector<Field>& fields) {
    std::string index, data;
    for (const Field& field : fields) {
        const std::uint32_t value =
            field.HeldInIndex ? field.Value : static_cast<std::uint32_t>(data.size());
        std::string entry(kRecordFieldSize, '\0');
        PutLe32(entry, 0,
                field.Number | (field.HeldInIndex ? kFieldHeldInIndex : 0) |
                    value << kFieldValueShift);
        index += entry;
        data += field.Data;
    }
    while (data.size() % kAlignment != 0) {
        data += '\0';
    }
    const std::string body = index + data;
    const std::uint32_t at = Append(kRecordHeaderSize + body.size());
    Put32(at + kRecordBodyLengthAt, static_cast<std::uint32_t>(body.size()));
    file_[at + kRecordFieldCountAt] = static_cast<char>(fields.size());
    file_.replace(at + kRecordHeaderSize, body.size(), body);
    return at;
}

std::uint32_t DbxBuilder::AddText(const std::string& text, std::uint32_t room) {
    std::uint32_t first = 0, previous = 0;
    for (std::size_t done = 0; done < std::max<std::size_t>(text.size(), 1); done += room) {
        const std::size_t length = std::min<std::size_t>(room, text.size() - done);
        const std::uint32_t at = Append(kBlockHeaderSize + room);
        Put32(at + kBlockRoomAt, room);
        Put32(at + kBlockTextLengthAt, static_cast<std::uint32_t>(length));
        file_.replace(at + kBlockHeaderSize, length, text, done, length);
        if (previous != 0) {
            Put32(previous + kBlockNextAt, at);
        } else {
            first = at;
        }
        previous = at;
    }
    return first;
}

std::uint32_t DbxBuilder::AddNode(const std::vector<Entry>& entries, std::uint32_t child) {
    const std::uint32_t at = Append(kNodeSize);
    Put32(at + kNodeChildAt, child);
    file_[at + kNodeEntryCountAt] = static_cast<char>(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const auto entry = static_cast<std::uint32_t>(at + kNodeEntriesAt + i * kNodeEntrySize);
        Put32(entry, entries[i].Value);
        Put32(entry + kEntryChildAt, entries[i].Child);
    }
    return at;
}

// A node takes up to 51 values as its entries; the rest are shared out, in order, among the
// trees below it: before its first entry, and after each.
std::uint32_t DbxBuilder::AddTree(const std::vector<std::uint32_t>& values) {
    if (values.empty()) {
        return 0;
    }
    if (values.size() <= kNodeEntries) {
        std::vector<Entry> entries;
        for (const std::uint32_t value : values) {
            entries.push_back({value});
        }
        return AddNode(entries);
    }
    const std::size_t below = values.size() - kNodeEntries;
    const std::size_t slots = kNodeEntries + 1;
    std::vector<std::uint32_t> children;
    std::vector<Entry> entries;
    std::size_t at = 0;
    for (std::size_t slot = 0; slot < slots; ++slot) {
        const std::size_t share = below / slots + (slot < below % slots ? 1 : 0);
        children.push_back(AddTree({values.begin() + static_cast<std::ptrdiff_t>(at),
                                    values.begin() + static_cast<std::ptrdiff_t>(at + share)}));
        at += share;
        if (slot < kNodeEntries) {
            entries.push_back({values[at++], 0});
        }
    }
    for (std::size_t i = 0; i < entries.size(); ++i) {
        entries[i].Child = children[i + 1];
    }
    return AddNode(entries, children[0]);
}

void DbxBuilder::SetTree(std::uint32_t root, std::uint32_t count) {
    Put32(kTreeRootAt, root);
    Put32(kEntryCountAt, count);
}

DbxBuilder::Field NumberField(unsigned number, std::uint32_t value) {
    std::string data(4, '\0');
    PutLe32(data, 0, value);
    return {number, false, 0, data};
}

DbxBuilder::Field TextField(unsigned number, const std::string& text) {
    return {number, false, 0, text + '\0'};
}

std::string MessageFolder(const std::vector<std::string>& messages) {
    DbxBuilder file(kMessageFolderKind);
    std::vector<std::uint32_t> records;
    for (std::size_t m = 0; m < messages.size(); ++m) {
        const std::uint32_t text = file.AddText(messages[m]);
        records.push_back(
            file.AddRecord({{0x00, true, static_cast<std::uint32_t>(m + 1), {}},
                            NumberField(kMessageTextAt, text),
                            TextField(kMessageSubject, HeaderLine(messages[m], "Subject")),
                            TextField(0x0D, HeaderLine(messages[m], "From"))}));
    }
    file.SetTree(file.AddTree(records), static_cast<std::uint32_t>(records.size()));
    return file.Bytes();
}

std::string FoldersList(const std::vector<FolderRow>& folders) {
    DbxBuilder file(kFoldersListKind);
    std::vector<std::uint32_t> records;
    for (const FolderRow& folder : folders) {
        std::vector<DbxBuilder::Field> fields = {NumberField(kFolderId, folder.Id),
                                                 NumberField(kFolderParent, folder.Parent),
                                                 TextField(kFolderName, folder.Name)};
        if (!folder.File.empty()) {
            fields.push_back(TextField(kFolderFile, folder.File));
        }
        fields.push_back(NumberField(kFolderSpecial, folder.Special));
        fields.push_back(NumberField(kFolderStore, folder.Store));
        records.push_back(file.AddRecord(fields));
    }
    file.SetTree(file.AddTree(records), static_cast<std::uint32_t>(records.size()));
    return file.Bytes();
}

std::string HeaderOnly(std::uint32_t kind) {
    return DbxBuilder(kind).Bytes().substr(0, kHeaderSize);
}

} // namespace quillon::tools
