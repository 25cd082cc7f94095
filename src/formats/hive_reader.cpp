#include "formats/hive_reader.h"

#include "files/byte_order.h"
#include "files/file_error.h"
#include "formats/regf_hive.h"
#include "text/ansi_codepage.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <unordered_map>

namespace quillon {
namespace {

using Cell = RegfHive::Cell;

// UTF-16 that names no characters: an odd length, or half of a surrogate pair alone.
bool IsBrokenUtf16(std::string_view bytes) {
    if (bytes.size() % 2 != 0) {
        return true;
    }
    bool expectLow = false;
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        const unsigned unit = Le16(bytes, i);
        const bool high = unit >= 0xD800 && unit < 0xDC00;
        const bool low = unit >= 0xDC00 && unit < 0xE000;
        if (low != expectLow) {
            return true;
        }
        expectLow = high;
    }
    return expectLow;
}

// A stored name in ANSI; false for one whose UTF-16 is broken, which names nothing.
bool AppendAnsiName(const RegfHive::Name& name, std::string& out) {
    if (name.Utf16) {
        if (IsBrokenUtf16(name.Bytes)) {
            return false;
        }
        out += Utf16LeToAnsi(name.Bytes);
        return true;
    }
    // Latin-1: each byte is its code point, the same byte in Windows-1252 but for 0x80-0x9F.
    const std::size_t start = out.size();
    out += name.Bytes;
    for (auto c = out.begin() + static_cast<std::ptrdiff_t>(start); c != out.end(); ++c) {
        if (static_cast<unsigned char>(*c) >= 0x80 && static_cast<unsigned char>(*c) < 0xA0) {
            *c = static_cast<char>(CodePointToAnsi(static_cast<unsigned char>(*c)));
        }
    }
    return true;
}

// Remembers which names a list has kept, to leave out a second entry of one name, which the
// system's lookup would never find: a damaged hive, or names that differ only in characters
// Windows-1252 lacks.
class NamesKept {
  public:
    // Seven slots in eight at most are taken: the probes stay short, and the table of a key of
    // a million values small.
    explicit NamesKept(std::size_t expected) : slots_(std::bit_ceil(expected + expected / 7 + 1)) {}
    // True, and the name kept as `number`, when no name equal to it without regard to case was
    // kept; `keptName(number)` gives back a kept name.
    template <typename KeptName>
    bool Keep(const std::string& name, std::uint32_t number, KeptName keptName) {
        const auto hash = static_cast<std::uint32_t>(FoldedHash(name) | 1); // 0: a free slot
        for (std::size_t i = hash & (slots_.size() - 1);; i = (i + 1) & (slots_.size() - 1)) {
            Slot& slot = slots_[i];
            if (slot.Hash == 0) {
                slot = {hash, number};
                return true;
            }
            if (slot.Hash == hash && EqualsIgnoringCase(keptName(slot.Number), name)) {
                return false;
            }
        }
    }

  private:
    struct Slot {
        std::uint32_t Hash = 0;
        std::uint32_t Number = 0;
    };
    std::vector<Slot> slots_;
};

class HiveTree final : public KeyTree {
  public:
    // A hive opened leniently is said to be read as far as it could be when mounted; its damage
    // is not counted again.
    HiveTree(std::unique_ptr<RegfHive> hive, std::string shown)
        : hive_(std::move(hive)), shown_(std::move(shown)), lenient_(hive_->Lenient()) {}

    Node Root() const override { return hive_->Root(); }

    std::optional<Node> Subkey(Node key, std::string_view name) override {
        const Children& children = ChildrenOf(key);
        if (children.Index.empty()) {
            for (std::size_t i = 0; i < children.Names.size(); ++i) {
                if (EqualsIgnoringCase(children.Names[i], name)) {
                    return children.Cells[i];
                }
            }
            return std::nullopt;
        }
        const auto found = children.Index.find(FoldCase(name));
        return found == children.Index.end() ? std::nullopt
                                             : std::optional<Node>(children.Cells[found->second]);
    }

    bool SubkeyName(Node key, std::uint32_t index, std::string& name) override {
        const Children& children = ChildrenOf(key);
        if (index >= children.Names.size()) {
            return false;
        }
        name = children.Names[index];
        return true;
    }

    bool ValueAt(Node key, std::uint32_t index, RegValue& value) override {
        const std::vector<Cell>& values = ValuesOf(key);
        return index < values.size() && Read(values[index], value);
    }

    bool FindValue(Node key, std::string_view name, std::uint32_t& type,
                   std::vector<std::uint8_t>& data) override {
        for (const Cell value : ValuesOf(key)) {
            if (ValueNameOf(value, nameScratch_) && EqualsIgnoringCase(nameScratch_, name)) {
                return hive_->ValueData(value, type, &data) && ConvertedData(type, data);
            }
        }
        return false;
    }

    void NoteUnreadable(Node key) override { damaged_.Note(key); }

    std::vector<std::string> TakeWarnings() override {
        if (lenient_) {
            return {};
        }
        if (hive_->Lenient()) { // damaged bins met while reading
            lenient_ = true;
            return {shown_ + " : ruche endommagée, lue autant qu'elle a pu l'être : des clés ou "
                             "des valeurs peuvent manquer"};
        }
        return damaged_.TakeWarnings(shown_);
    }

  private:
    struct Children {
        std::vector<std::string> Names;
        std::vector<Cell> Cells;
        std::unordered_map<std::string, std::size_t> Index; // folded names, for long lists
    };
    // Lists with more entries than this get an index of their names.
    static constexpr std::size_t kIndexFrom = 16;
    // The lists kept for the keys being read; all are dropped when there are more, so that a
    // walk of a whole hive holds only what its open keys need.
    static constexpr std::size_t kListsKept = 1024;

    // Lists read before the hive turned lenient are read again, leniently.
    void ForgetStrictLists() {
        if (hive_->Lenient() && !listsLenient_) {
            listsLenient_ = true;
            children_.clear();
            values_.clear();
        }
    }

    const Children& ChildrenOf(Node key) {
        ForgetStrictLists();
        if (const auto found = children_.find(key); found != children_.end()) {
            return found->second;
        }
        if (children_.size() >= kListsKept) {
            children_.clear();
        }
        Children& children = children_[key];
        std::vector<Cell> cells;
        if (!hive_->Subkeys(static_cast<Cell>(key), cells)) {
            damaged_.Note(key); // its subkeys are lost; its values may still be read
            return children;
        }
        NamesKept kept(cells.size());
        RegfHive::Name stored;
        for (const Cell cell : cells) {
            std::string name;
            if (!hive_->KeyName(cell, stored) || !AppendAnsiName(stored, name)) {
                damaged_.Note(cell);
                continue;
            }
            // An empty name would lead back to the parent, a backslash cannot be named.
            if (name.empty() || name.find('\\') != std::string::npos ||
                !kept.Keep(
                    name, static_cast<std::uint32_t>(children.Names.size()),
                    [&](std::uint32_t i) -> const std::string& { return children.Names[i]; })) {
                damaged_.Note(cell);
                continue;
            }
            children.Names.push_back(std::move(name));
            children.Cells.push_back(cell);
        }
        if (children.Names.size() > kIndexFrom) {
            for (std::size_t i = 0; i < children.Names.size(); ++i) {
                children.Index.emplace(FoldCase(children.Names[i]), i);
            }
        }
        return children;
    }

    // The values that can be read, the first of each name.
    const std::vector<Cell>& ValuesOf(Node key) {
        ForgetStrictLists();
        if (const auto found = values_.find(key); found != values_.end()) {
            return found->second;
        }
        if (values_.size() >= kListsKept) {
            values_.clear();
        }
        // Filtered in place: a key may hold a million values.
        std::vector<Cell>& readable = values_[key];
        if (!hive_->Values(static_cast<Cell>(key), readable)) {
            damaged_.Note(key);
            return readable;
        }
        NamesKept kept(readable.size());
        std::string keptName;
        std::uint32_t type = 0;
        std::size_t readableCount = 0;
        for (const Cell cell : readable) {
            if (!ValueNameOf(cell, nameScratch_) || !hive_->ValueData(cell, type, nullptr) ||
                !kept.Keep(nameScratch_, static_cast<std::uint32_t>(readableCount),
                           [&](std::uint32_t i) -> const std::string& {
                               ValueNameOf(readable[i], keptName);
                               return keptName;
                           })) {
                damaged_.Note(cell);
                continue;
            }
            readable[readableCount++] = cell; // never ahead of the cell being read
        }
        readable.resize(readableCount);
        return readable;
    }

    bool ValueNameOf(Cell value, std::string& name) const {
        RegfHive::Name stored;
        name.clear();
        return hive_->ValueName(value, stored) && AppendAnsiName(stored, name);
    }

    bool Read(Cell cell, RegValue& value) {
        return ValueNameOf(cell, value.Name) && hive_->ValueData(cell, value.Type, &value.Data) &&
               ConvertedData(value.Type, value.Data);
    }

    static bool ConvertedData(std::uint32_t type, std::vector<std::uint8_t>& data) {
        if (RegType::IsStringType(type)) {
            Utf16LeDataToAnsi(data);
        }
        return true;
    }

    std::unique_ptr<RegfHive> hive_;
    std::string shown_;
    bool lenient_; // said to be read leniently: its damage is not counted again
    bool listsLenient_ = false;
    std::unordered_map<Node, Children> children_;
    std::unordered_map<Node, std::vector<Cell>> values_;
    DamageFound damaged_;
    std::string nameScratch_;
};

std::string WhyNotOpened(const std::string& path, int code) {
    if (code == EINVAL) {
        return "ce n'est pas une ruche de registre regf lisible (fichier trop court, en-tête ou "
               "blocs endommagés)";
    }
    return FileError{path, code}.Reason();
}

} // namespace

bool LooksLikeHive(std::string_view firstBytes) {
    return firstBytes.starts_with("regf");
}

// A hive refused as damaged is opened again leniently, which reads what it can and passes over
// damaged bins without counting them.
std::shared_ptr<KeyTree> OpenHive(const std::string& path, const std::string& shown,
                                  ReadReport& report, std::string& error, bool cutShort) {
    int code = 0;
    std::unique_ptr<RegfHive> hive = RegfHive::Open(path, cutShort, code);
    report.Unsafe = cutShort && hive != nullptr;
    if (!hive && code == EINVAL && !cutShort) {
        hive = RegfHive::Open(path, true, code);
        report.Unsafe = hive != nullptr;
    }
    if (!hive) {
        error = "Impossible de lire la ruche « " + path + " » : " + WhyNotOpened(path, code);
        return nullptr;
    }
    return std::make_shared<HiveTree>(std::move(hive), shown);
}

} // namespace quillon
