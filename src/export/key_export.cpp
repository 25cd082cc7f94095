#include "export/key_export.h"

#include "export/value_lines.h"
#include "files/text_lines.h"

#include <algorithm>

namespace quillon {
namespace {

// Walks one key and everything below it into a file, reusing its buffers from one value to the
// next.
class KeyExporter {
  public:
    explicit KeyExporter(Reg_access& registry) : registry_(registry) {}
    ExportResult Export(const KeyPath& key, RegFile& out);

  private:
    void ExportValues(KeyHandle handle, const std::string& keyName, RegFile& out);
    void WriteLongHexLine(RegFile& out);
    // Values longer than this are written in pieces of this many bytes.
    static constexpr std::size_t kLongValue = 256 * 1024;
    void ExportSubKeys(KeyHandle handle, std::string& keyName, RegFile& out);

    Reg_access& registry_;
    RegValue valueScratch_;
    std::string lineScratch_;
    std::vector<std::string> leftOut_;
};

// A name that a line of the file cannot carry: after a line end a reader would take its second
// part for another record, and a NUL ends the name Windows reads, naming another key or value.
bool NoLineCanCarry(std::string_view name) {
    // One pass over the name: every value's name is checked.
    return std::any_of(name.begin(), name.end(),
                       [](char c) { return c == '\r' || c == '\n' || c == '\0'; });
}

// The full name of a key or value left out, with the characters no line carries made visible.
std::string ShownLeftOut(std::string_view parent, std::string_view name) {
    std::string shown(parent);
    shown += '\\';
    for (const char c : name) {
        switch (c) {
        case '\r':
            shown += "\\r";
            break;
        case '\n':
            shown += "\\n";
            break;
        case '\0':
            shown += "\\0";
            break;
        default:
            shown += c;
        }
    }
    return shown;
}

// A key's section: a line end, which leaves an empty line before it, then "[KEY]" on its own line.
void WriteSectionHeader(RegFile& out, std::string_view keyName) {
    out.Write(LineEnd);
    out.Write("[");
    out.Write(keyName);
    out.Write("]");
    out.Write(LineEnd);
}

ExportResult KeyExporter::Export(const KeyPath& key, RegFile& out) {
    std::int32_t error = RegResult::InvalidHandle; // an unknown root leaves it as is
    const KeyHandle handle = registry_.OpenKey(key.Root, key.Path, KeyRead, error);
    if (handle == 0 || error != RegResult::Success) {
        return {ExportStatus::KeyNotOpened, {}, {}};
    }
    ExportResult result{ExportStatus::Exported, {}, {}};
    out.WriteHeaderOnce();
    std::string name = key.FullName();
    out.Write(" ");
    WriteSectionHeader(out, name);
    leftOut_.clear();
    ExportValues(handle, name, out);
    ExportSubKeys(handle, name, out);
    result.LeftOut = std::move(leftOut_);
    registry_.CloseKey(handle);
    if (!out.Flush(result.Error)) {
        result.Status = ExportStatus::FileFailed;
    }
    return result;
}

// Lists the values as EnumValues does, one at a time into the same scratch record, which
// keeps its buffers from one value to the next.
void KeyExporter::ExportValues(KeyHandle handle, const std::string& keyName, RegFile& out) {
    for (std::uint32_t index = 0;
         registry_.Store().EnumValue(handle, index, valueScratch_) == RegResult::Success; ++index) {
        if (NoLineCanCarry(valueScratch_.Name)) {
            leftOut_.push_back(ShownLeftOut(keyName, valueScratch_.Name));
            continue;
        }
        lineScratch_.clear();
        if (valueScratch_.Data.size() > kLongValue && TakesHexForm(valueScratch_)) {
            WriteLongHexLine(out);
            continue;
        }
        AppendValueLine(lineScratch_, valueScratch_);
        lineScratch_ += LineEnd;
        out.Write(lineScratch_);
    }
}

// A long value's text (three characters a byte) goes out a piece at a time, never held whole.
void KeyExporter::WriteLongHexLine(RegFile& out) {
    AppendHexFormStart(lineScratch_, valueScratch_);
    const std::vector<std::uint8_t>& data = valueScratch_.Data;
    for (std::size_t at = 0; at < data.size(); at += kLongValue) {
        AppendHexBytes(lineScratch_, data.data() + at, std::min(kLongValue, data.size() - at),
                       at == 0);
        out.Write(lineScratch_);
        lineScratch_.clear();
    }
    out.Write(LineEnd);
}

// keyName grows by "\name" for each level and is put back before returning, so the walk
// builds no string per key.
void KeyExporter::ExportSubKeys(KeyHandle handle, std::string& keyName, RegFile& out) {
    for (std::uint32_t index = 0;; ++index) {
        const auto name = registry_.EnumSubKey(handle, index);
        if (!name) {
            return;
        }
        if (NoLineCanCarry(*name)) {
            leftOut_.push_back(ShownLeftOut(keyName, *name));
            continue;
        }
        const auto parentLength = keyName.size();
        keyName += '\\';
        keyName += *name;
        WriteSectionHeader(out, keyName);
        std::int32_t error = 0;
        const KeyHandle subkey = registry_.OpenKey(handle, *name, KeyRead, error);
        if (subkey != 0) {
            ExportValues(subkey, keyName, out);
            ExportSubKeys(subkey, keyName, out);
            registry_.CloseKey(subkey);
        }
        keyName.resize(parentLength);
    }
}

} // namespace

ExportResult ExportKey(Reg_access& registry, const KeyPath& key, RegFile& file) {
    return KeyExporter(registry).Export(key, file);
}

} // namespace quillon
