#include "formats/wab_file.h"

#include "files/byte_order.h"
#include "formats/wab_layout.h"
#include "text/ansi_codepage.h"

#include <algorithm>
#include <cstring>
#include <set>
#include <utility>

namespace quillon {
namespace {

std::string Number(std::uint32_t value) {
    return std::to_string(value);
}

// The fixed size of one value of a MAPI type held in a multi-valued property; 0 for the types
// of variable length.
std::size_t FixedValueSize(std::uint16_t type) {
    switch (type) {
    case wab::kShort:
    case wab::kBoolean:
        return 2;
    case wab::kLong:
        return 4;
    case wab::kLongLong:
    case wab::kFileTime:
        return 8;
    default:
        return 0;
    }
}

bool VariableLength(std::uint16_t type) {
    return type == wab::kAnsiText || type == wab::kUnicodeText || type == wab::kBinary;
}

// Reads the properties of a record from its bytes; false when they run past them.
class PropertyReader {
  public:
    explicit PropertyReader(std::string_view bytes) : bytes_(bytes) {}

    bool Read(std::uint32_t count, std::vector<WabProperty>& properties) {
        // Each property takes at least a tag and a length: a count beyond that is damage.
        if (count > bytes_.size() / (wab::kTagSize + wab::kLengthSize)) {
            return false;
        }
        for (std::uint32_t i = 0; i < count; ++i) {
            WabProperty property;
            if (!Take32(property.Tag) || !ReadValues(property)) {
                return false;
            }
            properties.push_back(std::move(property));
        }
        return true;
    }

  private:
    bool Take32(std::uint32_t& value) {
        if (bytes_.size() - at_ < 4) {
            return false;
        }
        value = Le32(bytes_, at_);
        at_ += 4;
        return true;
    }
    bool TakeBytes(std::size_t length, std::string& value) {
        if (bytes_.size() - at_ < length) {
            return false;
        }
        value.assign(bytes_.substr(at_, length));
        at_ += length;
        return true;
    }
    bool ReadValues(WabProperty& property) {
        const auto type = static_cast<std::uint16_t>(property.Tag & 0xFFFF);
        std::uint32_t length = 0;
        if ((type & wab::kMultipleValues) == 0) {
            return Take32(length) && TakeBytes(length, property.Values.emplace_back());
        }
        std::uint32_t count = 0;
        std::string values;
        if (!Take32(count) || !Take32(length) || !TakeBytes(length, values)) {
            return false;
        }
        const auto single = static_cast<std::uint16_t>(type & ~wab::kMultipleValues);
        PropertyReader inner(values);
        if (count > values.size()) {
            return false;
        }
        for (std::uint32_t i = 0; i < count; ++i) {
            std::uint32_t valueLength = static_cast<std::uint32_t>(FixedValueSize(single));
            if (valueLength == 0 && !VariableLength(single)) {
                return true; // a type this reader does not know: its values are skipped whole
            }
            if ((valueLength == 0 && !inner.Take32(valueLength)) ||
                !inner.TakeBytes(valueLength, property.Values.emplace_back())) {
                return false;
            }
        }
        return true;
    }

    std::string_view bytes_;
    std::size_t at_ = 0;
};

WabRecord::Holds KindOf(std::uint32_t stored) {
    switch (stored) {
    case wab::kContactRecord:
        return WabRecord::Holds::Contact;
    case wab::kGroupRecord:
        return WabRecord::Holds::Group;
    default:
        return WabRecord::Holds::Other;
    }
}

} // namespace

const WabProperty* WabRecord::Find(std::uint16_t id) const {
    for (const WabProperty& property : Properties) {
        if (property.Tag >> 16 == id) {
            return &property;
        }
    }
    return nullptr;
}

bool WabFile::Open(const std::string& path, std::string& error) {
    file_ = std::make_unique<RandomAccessFile>(path, RandomAccessFile::Links::Refuse);
    if (!file_->IsOpen()) {
        error = std::string("impossible de l'ouvrir (") + std::strerror(file_->OpenErrno()) + ")";
        return false;
    }
    std::string header;
    if (!ReadAt(0, header, wab::kHeaderSize)) {
        error = "trop court pour un carnet d'adresses";
        return false;
    }
    const bool wab4 = std::memcmp(header.data(), wab::kWab4Magic, wab::kMagicSize) == 0;
    windows95_ = std::memcmp(header.data(), wab::kWindows95Magic, wab::kMagicSize) == 0;
    if (!wab4 && !windows95_) {
        error = "ce n'est pas un carnet d'adresses (.wab)";
        return false;
    }
    for (std::size_t i = 0; i < wab::kTables; ++i) {
        const std::size_t at = wab::kTablesAt + i * wab::kTableSize;
        tables_.push_back(
            {Le32(header, at + wab::kTableTypeAt), Le32(header, at + wab::kTableEntrySizeAt),
             Le32(header, at + wab::kTableEntriesAt), Le32(header, at + wab::kTableEntryCountAt)});
    }
    return true;
}

bool WabFile::ReadAt(std::uint64_t offset, std::string& bytes, std::size_t length) const {
    if (offset > file_->Size() || length > file_->Size() - offset) {
        return false;
    }
    bytes.resize(length);
    return file_->ReadAll(offset, bytes.data(), length);
}

std::vector<std::string> WabFile::TableEntries(const Table& table) {
    std::vector<std::string> entries;
    std::string bytes;
    const std::uint64_t length = std::uint64_t{table.EntrySize} * table.Entries;
    if (table.EntrySize == 0 || !ReadAt(table.EntriesAt, bytes, length)) {
        if (table.Entries > 0) {
            Problem("une table d'index du carnet sort du fichier : elle n'est pas lue");
        }
        return entries;
    }
    for (std::uint32_t i = 0; i < table.Entries; ++i) {
        entries.push_back(bytes.substr(std::size_t{i} * table.EntrySize, table.EntrySize));
    }
    return entries;
}

bool WabFile::ReadRecord(std::uint32_t at, WabRecord& record) {
    std::string header;
    if (!ReadAt(at, header, wab::kRecordHeaderSize)) {
        return false;
    }
    record.Kind = KindOf(Le32(header, wab::kRecordKindAt));
    record.Id = Le32(header, wab::kRecordIdAt);
    std::string properties;
    return ReadAt(std::uint64_t{at} + wab::kRecordHeaderSize, properties,
                  Le32(header, wab::kRecordLengthAt)) &&
           PropertyReader(properties)
               .Read(Le32(header, wab::kRecordPropertyCountAt), record.Properties);
}

std::vector<WabRecord> WabFile::Records() {
    std::vector<WabRecord> records;
    std::set<std::uint32_t> seen;
    for (const Table& table : tables_) {
        if (table.Type != wab::kRecordIndex || table.EntrySize < wab::kRecordIndexEntrySize) {
            continue;
        }
        for (const std::string& entry : TableEntries(table)) {
            const std::uint32_t id = Le32(entry, 0);
            const std::uint32_t at = Le32(entry, wab::kIndexedRecordAt);
            if (at == 0 || !seen.insert(at).second) {
                continue;
            }
            WabRecord record;
            if (!ReadRecord(at, record)) {
                Problem("la fiche n° " + Number(id) +
                        " est abîmée ou sort du fichier : elle n'est pas lue");
            } else if (record.Id != id) {
                Problem("l'index nomme la fiche n° " + Number(id) + " là où se trouve la n° " +
                        Number(record.Id) + " : elle n'est pas lue");
            } else if (record.Kind != WabRecord::Holds::Other) {
                records.push_back(std::move(record));
            }
        }
    }
    for (const Table& table : tables_) {
        if (table.Type == wab::kTextIndex && table.EntrySize > wab::kTextIndexIdSize) {
            CheckNames(table, records);
        }
    }
    return records;
}

// Every name the indexes of texts hold should belong to a record that was read: those that do
// not tell the user which contacts the damage took.
void WabFile::CheckNames(const Table& names, const std::vector<WabRecord>& records) {
    std::set<std::uint32_t> read;
    for (const WabRecord& record : records) {
        read.insert(record.Id);
    }
    for (const std::string& entry : TableEntries(names)) {
        const std::size_t textSize = entry.size() - wab::kTextIndexIdSize;
        const std::uint32_t id = Le32(entry, textSize);
        std::string text = entry.substr(0, textSize);
        text = windows95_ ? AnsiToUtf8(text.substr(0, text.find('\0'))) : Utf16LeToUtf8(text);
        text = text.substr(0, text.find('\0'));
        if (!text.empty() && read.count(id) == 0) {
            Problem("« " + text + " » est dans un index du carnet, mais sa fiche (n° " +
                    Number(id) + ") manque");
        }
    }
}

std::vector<std::string> WabFile::TakeProblems() {
    return std::exchange(problems_, {});
}

} // namespace quillon
