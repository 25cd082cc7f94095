#include "formats/creg_reader.h"

#include "files/bfio_library.h"
#include "files/byte_order.h"
#include "files/input_file.h"
#include "registry/profile_list.h"
#include "text/ansi_codepage.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <libcreg.h>
#include <memory>
#include <optional>
#include <set>
#include <unordered_map>
#include <vector>

namespace quillon {
namespace {

#define QUILLON_CREG_FUNCTIONS(X)                                                                  \
    X(libcreg_file_close)                                                                          \
    X(libcreg_file_free)                                                                           \
    X(libcreg_file_get_root_key)                                                                   \
    X(libcreg_file_initialize)                                                                     \
    X(libcreg_file_open_file_io_handle)                                                            \
    X(libcreg_key_free)                                                                            \
    X(libcreg_key_get_name)                                                                        \
    X(libcreg_key_get_name_size)                                                                   \
    X(libcreg_key_get_number_of_sub_keys)                                                          \
    X(libcreg_key_get_number_of_values)                                                            \
    X(libcreg_key_get_offset)                                                                      \
    X(libcreg_key_get_sub_key_by_index)                                                            \
    X(libcreg_key_get_value_by_index)                                                              \
    X(libcreg_value_free)                                                                          \
    X(libcreg_value_get_name)                                                                      \
    X(libcreg_value_get_name_size)                                                                 \
    X(libcreg_value_get_value_data)                                                                \
    X(libcreg_value_get_value_data_size)                                                           \
    X(libcreg_value_get_value_type)

// libcreg, loaded the first time a Windows 95/98/Me registry is read.
inline constexpr LibraryName kCregLibrary{"libcreg.so.1", "libcreg1"};
QUILLON_LIBRARY(CregLibrary, LibCreg, kCregLibrary, LibyalLoadedBefore, QUILLON_CREG_FUNCTIONS)

// libcreg's and libbfio's objects (plain handles, all of one type) freed by their own functions
// when they go out of scope. Their error reports are not asked for (a null error pointer): this
// reader says itself what went wrong.
struct KeyFree {
    void operator()(libcreg_key_t* key) const { LibCreg().libcreg_key_free(&key, nullptr); }
};
struct ValueFree {
    void operator()(libcreg_value_t* value) const { LibCreg().libcreg_value_free(&value, nullptr); }
};
struct FileFree {
    void operator()(libcreg_file_t* file) const {
        LibCreg().libcreg_file_close(file, nullptr);
        LibCreg().libcreg_file_free(&file, nullptr);
    }
};
struct MemoryFree {
    void operator()(libbfio_handle_t* handle) const {
        LibBfio().libbfio_handle_free(&handle, nullptr);
    }
};
using OwnedKey = std::unique_ptr<libcreg_key_t, KeyFree>;
using OwnedValue = std::unique_ptr<libcreg_value_t, ValueFree>;
using OwnedFile = std::unique_ptr<libcreg_file_t, FileFree>;
using OwnedMemory = std::unique_ptr<libbfio_handle_t, MemoryFree>;

// The bytes of a file in memory, read by libcreg through libbfio's callbacks (the memory range
// handle of libbfio 20170123 reads past the end of its range on damaged files).
struct BytesReader {
    std::string_view bytes;
    std::size_t offset = 0;

    static BytesReader& Of(intptr_t* handle) { return *reinterpret_cast<BytesReader*>(handle); }
    static int Ok(intptr_t*, libbfio_error_t**) { return 1; }
    static int Opened(intptr_t*, int, libbfio_error_t**) { return 1; }
    static ssize_t Read(intptr_t* handle, std::uint8_t* buffer, std::size_t size,
                        libbfio_error_t**) {
        BytesReader& reader = Of(handle);
        const std::size_t count =
            std::min(size, reader.bytes.size() - std::min(reader.offset, reader.bytes.size()));
        std::copy_n(reader.bytes.data() + std::min(reader.offset, reader.bytes.size()), count,
                    buffer);
        reader.offset += count;
        return static_cast<ssize_t>(count);
    }
    static ssize_t Write(intptr_t*, const std::uint8_t*, std::size_t, libbfio_error_t**) {
        return -1;
    }
    static off64_t Seek(intptr_t* handle, off64_t offset, int whence, libbfio_error_t**) {
        BytesReader& reader = Of(handle);
        const off64_t base = whence == SEEK_CUR   ? static_cast<off64_t>(reader.offset)
                             : whence == SEEK_END ? static_cast<off64_t>(reader.bytes.size())
                                                  : 0;
        if (base + offset < 0) {
            return -1;
        }
        reader.offset = static_cast<std::size_t>(base + offset);
        return base + offset;
    }
    static int Size(intptr_t* handle, size64_t* size, libbfio_error_t**) {
        *size = Of(handle).bytes.size();
        return 1;
    }
};

// The key tree of a CREG file: a block at 0x20 whose header gives its size and the offset of the
// root entry; each 28-byte entry links to its first child (+0x10) and next sibling (+0x14).
// Offsets count from the block's start; 0xFFFFFFFF ends a list.
constexpr std::size_t kTreeBlock = 0x20;
constexpr std::size_t kEntrySize = 28;
constexpr std::uint32_t kNoEntry = 0xFFFFFFFF;

// libcreg follows a damaged file's links without end when they loop (a minute and gigabytes for
// one sibling list that points back), and slowly through entries that overlap (thousands of
// them, one every few bytes of a 24 KB block, took it half a minute). Every link to an entry
// already reached, to one that overlaps an entry reached, or outside the block, is cut in this
// copy of the file before libcreg reads it; returns how many were cut.
std::size_t CutLoopingLinks(std::string& bytes) {
    if (bytes.size() < kTreeBlock + 0x0C) {
        return 0; // libcreg refuses it
    }
    const std::size_t end =
        std::min<std::size_t>(bytes.size(), kTreeBlock + Le32(bytes, kTreeBlock + 4));
    const auto fits = [&](std::uint32_t offset) { return kTreeBlock + offset + kEntrySize <= end; };
    const std::uint32_t root = Le32(bytes, kTreeBlock + 8);
    if (!fits(root)) {
        return 0;
    }
    std::set<std::uint32_t> reached{root};
    // Whether the entry at `offset` shares bytes with one reached (itself included).
    const auto overlaps = [&reached](std::uint32_t offset) {
        const auto after = reached.lower_bound(offset);
        return (after != reached.end() && *after < offset + kEntrySize) ||
               (after != reached.begin() && *std::prev(after) + kEntrySize > offset);
    };
    std::vector<std::uint32_t> pending{root};
    std::size_t cut = 0;
    while (!pending.empty()) {
        const std::size_t entry = kTreeBlock + pending.back();
        pending.pop_back();
        for (std::size_t link : {entry + 0x10, entry + 0x14}) {
            const std::uint32_t target = Le32(bytes, link);
            if (target == kNoEntry) {
                continue;
            }
            if (!fits(target) || overlaps(target)) {
                bytes.replace(link, 4, 4, '\xFF');
                ++cut;
            } else {
                reached.insert(target);
                pending.push_back(target);
            }
        }
    }
    return cut;
}

// The data blocks after the key tree: "RGDB", their size, and at 0x0E their number.
constexpr std::string_view kDataBlock = "RGDB";
constexpr std::size_t kFirstDataBlockAt = 0x08, kBlockSizeAt = 0x04, kBlockNumberAt = 0x0E;

bool IsDataBlockAt(const std::string& bytes, std::size_t at, std::uint16_t number) {
    return at + kBlockNumberAt + 2 <= bytes.size() &&
           std::string_view(bytes).substr(at, kDataBlock.size()) == kDataBlock &&
           Le16(bytes, at + kBlockNumberAt) == number;
}

// Where the data block numbered `number` starts after `at`, or the file's end.
std::size_t NextDataBlock(const std::string& bytes, std::size_t at, std::uint16_t number) {
    std::size_t next = bytes.find(kDataBlock, at + kDataBlock.size());
    while (next != std::string::npos && !IsDataBlockAt(bytes, next, number)) {
        next = bytes.find(kDataBlock, next + kDataBlock.size());
    }
    return next == std::string::npos ? bytes.size() : next;
}

// Where the header keeps the number of data blocks.
constexpr std::size_t kDataBlockCountAt = 0x10;

// A file cut short (recovered from a failing disk) keeps its whole data blocks: the one the cut
// runs through is left out, and the header counts only those before it, which libcreg then
// reads. Returns what was done, or nothing when the file holds every block its header counts.
std::optional<std::string> MendCut(std::string& bytes) {
    if (bytes.size() < kDataBlockCountAt + 2) {
        return std::nullopt;
    }
    const std::uint16_t counted = Le16(bytes, kDataBlockCountAt);
    std::size_t at = Le32(bytes, kFirstDataBlockAt);
    std::uint16_t whole = 0;
    while (whole < counted && IsDataBlockAt(bytes, at, whole) &&
           Le32(bytes, at + kBlockSizeAt) <= bytes.size() - at) {
        at += Le32(bytes, at + kBlockSizeAt);
        ++whole;
    }
    // A block that runs past the end with none after it is cut; anything else is damage that
    // the block sizes' repair or libcreg deals with.
    if (whole == counted || at >= bytes.size() || !IsDataBlockAt(bytes, at, whole) ||
        NextDataBlock(bytes, at, whole + 1) != bytes.size()) {
        return std::nullopt;
    }
    const std::size_t cut = bytes.size();
    bytes.resize(at);
    PutLe16(bytes, kDataBlockCountAt, whole);
    return "fichier coupé après " + std::to_string(cut) + " octets : lus ses " +
           std::to_string(whole) + " blocs de données entiers sur " + std::to_string(counted);
}

// libcreg refuses a whole file when one block's size is damaged. The key tree's size is where
// the header says the data blocks start; a data block's, where the next block (numbered one
// more) starts, or the file ends. Set right in this copy; returns what was set right.
std::vector<std::string> FixBlockSizes(std::string& bytes) {
    std::vector<std::string> fixed;
    if (bytes.size() < kTreeBlock + 0x0C) {
        return fixed;
    }
    const std::uint32_t firstData = Le32(bytes, kFirstDataBlockAt);
    if (firstData > kTreeBlock && IsDataBlockAt(bytes, firstData, 0) &&
        Le32(bytes, kTreeBlock + kBlockSizeAt) != firstData - kTreeBlock) {
        PutLe32(bytes, kTreeBlock + kBlockSizeAt, firstData - kTreeBlock);
        fixed.push_back("taille du bloc des clés endommagée");
    }
    std::size_t at = kTreeBlock + Le32(bytes, kTreeBlock + kBlockSizeAt);
    for (std::uint16_t number = 0; IsDataBlockAt(bytes, at, number); ++number) {
        const std::uint32_t size = Le32(bytes, at + kBlockSizeAt);
        if (size > kDataBlock.size() && size <= bytes.size() - at &&
            (at + size == bytes.size() || IsDataBlockAt(bytes, at + size, number + 1))) {
            at += size;
            continue;
        }
        const std::size_t next = NextDataBlock(bytes, at, number + 1);
        PutLe32(bytes, at + kBlockSizeAt, static_cast<std::uint32_t>(next - at));
        fixed.push_back("taille du bloc de données n° " + std::to_string(number) + " endommagée");
        at = next;
    }
    return fixed;
}

// A name as stored, without the terminating zero libcreg counts in its size.
template <typename Object, typename SizeOf, typename Get>
bool NameOf(Object* object, SizeOf sizeOf, Get get, std::string& name) {
    std::size_t size = 0;
    if (sizeOf(object, &size, nullptr) != 1) {
        return false;
    }
    name.assign(size, '\0');
    if (size != 0 &&
        get(object, reinterpret_cast<std::uint8_t*>(name.data()), size, nullptr) != 1) {
        return false;
    }
    name = UpToTerminatingZero(std::move(name));
    return true;
}

// Names of a list, the first of each without regard to case; false for a name no path can
// reach (empty, or holding a backslash) or one already kept.
bool KeepName(std::vector<std::string>& names, const std::string& name, bool isKey) {
    if ((isKey && (name.empty() || name.find('\\') != std::string::npos)) ||
        std::any_of(names.begin(), names.end(),
                    [&](const std::string& kept) { return EqualsIgnoringCase(kept, name); })) {
        return false;
    }
    names.push_back(name);
    return true;
}

// The file's bytes and libcreg's objects over them, each key read when it is asked for. Keys
// are named by their offset in the file; the keys reached are kept open, as a Windows 95/98/Me
// registry is a few megabytes at most.
class CregTree final : public KeyTree {
  public:
    // `cutLinks`: the links that looped, cut before reading, counted with the first warning.
    CregTree(std::string bytes, std::string shown, std::size_t cutLinks)
        : bytes_(std::move(bytes)), shown_(std::move(shown)), damaged_(cutLinks) {}

    // Opens the file over the bytes; false with the French reason.
    bool Open(std::string& why) {
        libbfio_handle_t* rawMemory = nullptr;
        libcreg_file_t* rawFile = nullptr;
        if (LibBfio().libbfio_handle_initialize(
                &rawMemory, reinterpret_cast<intptr_t*>(&reader_), nullptr, nullptr,
                BytesReader::Opened, BytesReader::Ok, BytesReader::Read, BytesReader::Write,
                BytesReader::Seek, BytesReader::Ok, BytesReader::Ok, BytesReader::Size,
                LIBBFIO_FLAG_IO_HANDLE_NON_MANAGED, nullptr) != 1 ||
            (memory_.reset(rawMemory), LibCreg().libcreg_file_initialize(&rawFile, nullptr) != 1)) {
            why = "mémoire insuffisante";
            return false;
        }
        if (LibCreg().libcreg_file_open_file_io_handle(rawFile, memory_.get(), LIBCREG_OPEN_READ,
                                                       nullptr) != 1) {
            LibCreg().libcreg_file_free(&rawFile, nullptr);
            why = "ce n'est pas un registre de Windows 95/98/Me lisible (fichier trop court, "
                  "en-tête ou blocs endommagés)";
            return false;
        }
        file_.reset(rawFile);
        libcreg_key_t* root = nullptr;
        off64_t offset = 0;
        if (LibCreg().libcreg_file_get_root_key(file_.get(), &root, nullptr) != 1 ||
            LibCreg().libcreg_key_get_offset(root, &offset, nullptr) != 1) {
            LibCreg().libcreg_key_free(&root, nullptr);
            why = "registre tronqué ou endommagé, sa racine est illisible";
            return false;
        }
        root_ = static_cast<Node>(offset);
        keys_[root_].Key.reset(root);
        return true;
    }

    Node Root() const override { return root_; }

    std::optional<Node> Subkey(Node key, std::string_view name) override {
        const Read& read = ReadKey(key);
        for (std::size_t i = 0; i < read.SubkeyNames.size(); ++i) {
            if (EqualsIgnoringCase(read.SubkeyNames[i], name)) {
                return read.Subkeys[i];
            }
        }
        return std::nullopt;
    }

    bool SubkeyName(Node key, std::uint32_t index, std::string& name) override {
        const Read& read = ReadKey(key);
        if (index >= read.SubkeyNames.size()) {
            return false;
        }
        name = read.SubkeyNames[index];
        return true;
    }

    bool ValueAt(Node key, std::uint32_t index, RegValue& value) override {
        const Read& read = ReadKey(key);
        if (index >= read.Values.size()) {
            return false;
        }
        value = read.Values[index];
        return true;
    }

    bool FindValue(Node key, std::string_view name, std::uint32_t& type,
                   std::vector<std::uint8_t>& data) override {
        for (const RegValue& value : ReadKey(key).Values) {
            if (EqualsIgnoringCase(value.Name, name)) {
                type = value.Type;
                data = value.Data;
                return true;
            }
        }
        return false;
    }

    void NoteUnreadable(Node key) override { damaged_.Note(key); }

    std::vector<std::string> TakeWarnings() override { return damaged_.TakeWarnings(shown_); }

  private:
    struct Read {
        OwnedKey Key;
        bool Listed = false;
        std::vector<std::string> SubkeyNames;
        std::vector<Node> Subkeys;
        std::vector<RegValue> Values;
    };

    // The key's subkeys and values, read the first time it is asked for. A list that cannot be
    // read on ends there; an entry that cannot be read is left out; each is counted.
    const Read& ReadKey(Node node) {
        Read& read = keys_[node];
        if (read.Listed || !read.Key) {
            return read;
        }
        read.Listed = true;
        ReadValues(node, read);
        int count = 0;
        if (LibCreg().libcreg_key_get_number_of_sub_keys(read.Key.get(), &count, nullptr) != 1) {
            damaged_.Note(node);
            return read;
        }
        for (int index = 0; index < count; ++index) {
            libcreg_key_t* raw = nullptr;
            if (LibCreg().libcreg_key_get_sub_key_by_index(read.Key.get(), index, &raw, nullptr) !=
                1) {
                damaged_.Note(node);
                return read;
            }
            OwnedKey child(raw);
            std::string name;
            off64_t offset = 0;
            if (!NameOf(child.get(), LibCreg().libcreg_key_get_name_size,
                        LibCreg().libcreg_key_get_name, name) ||
                LibCreg().libcreg_key_get_offset(child.get(), &offset, nullptr) != 1 ||
                !KeepName(read.SubkeyNames, name, true)) {
                damaged_.Note(node * kEntriesPerKey + static_cast<Node>(index));
                continue;
            }
            const auto childNode = static_cast<Node>(offset);
            read.Subkeys.push_back(childNode);
            if (!keys_[childNode].Key) {
                keys_[childNode].Key = std::move(child);
            }
        }
        return read;
    }

    void ReadValues(Node node, Read& read) {
        int count = 0;
        if (LibCreg().libcreg_key_get_number_of_values(read.Key.get(), &count, nullptr) != 1) {
            damaged_.Note(node);
            return;
        }
        std::vector<std::string> names;
        for (int index = 0; index < count; ++index) {
            libcreg_value_t* raw = nullptr;
            if (LibCreg().libcreg_key_get_value_by_index(read.Key.get(), index, &raw, nullptr) !=
                1) {
                damaged_.Note(node);
                return;
            }
            OwnedValue value(raw);
            RegValue got;
            if (!ReadValue(value.get(), got) || !KeepName(names, got.Name, false)) {
                damaged_.Note(~(node * kEntriesPerKey + static_cast<Node>(index)));
                continue;
            }
            read.Values.push_back(std::move(got));
        }
    }

    static bool ReadValue(libcreg_value_t* value, RegValue& read) {
        std::size_t size = 0;
        if (!NameOf(value, LibCreg().libcreg_value_get_name_size, LibCreg().libcreg_value_get_name,
                    read.Name) ||
            LibCreg().libcreg_value_get_value_type(value, &read.Type, nullptr) != 1 ||
            LibCreg().libcreg_value_get_value_data_size(value, &size, nullptr) != 1) {
            return false;
        }
        read.Data.resize(size);
        if (size != 0 &&
            LibCreg().libcreg_value_get_value_data(value, read.Data.data(), size, nullptr) != 1) {
            return false;
        }
        if ((read.Type == RegType::String || read.Type == RegType::ExpandString) &&
            (read.Data.empty() || read.Data.back() != 0)) {
            read.Data.push_back(0);
        }
        return true;
    }

    // Damaged entries are counted by a number of their own: their key's offset times this,
    // plus their place.
    static constexpr Node kEntriesPerKey = Node{1} << 32;

    std::string bytes_;
    BytesReader reader_{bytes_};
    OwnedMemory memory_;
    OwnedFile file_; // closed before the memory handle it reads through
    std::string shown_;
    Node root_ = 0;
    std::unordered_map<Node, Read> keys_;
    DamageFound damaged_;
};

} // namespace

bool LooksLikeCreg(std::string_view firstBytes) {
    return firstBytes.starts_with("CREG");
}

std::shared_ptr<KeyTree> OpenCregFile(const std::string& path, const std::string& shown,
                                      ReadReport& report, std::string& error) {
    if (std::string missing = MissingLibrary<CregLibrary, BfioLibrary>(); !missing.empty()) {
        error = "Impossible de lire le registre « " + path + " » : " + missing;
        return nullptr;
    }
    std::string bytes;
    FileError fileError;
    if (!ReadWholeFile(path, bytes, fileError)) {
        error = "Impossible de lire le registre « " + path + " » : " + fileError.Reason();
        return nullptr;
    }
    const std::size_t cutLinks = CutLoopingLinks(bytes);
    const std::optional<std::string> cut = MendCut(bytes);
    report.WorkedAround = FixBlockSizes(bytes);
    if (cut) {
        report.WorkedAround.insert(report.WorkedAround.begin(), *cut);
    }
    report.Unsafe = false;
    auto tree = std::make_shared<CregTree>(std::move(bytes), shown, cutLinks);
    std::string why;
    if (!tree->Open(why)) {
        error = "Impossible de lire le registre « " + path + " » : " + why;
        return nullptr;
    }
    return tree;
}

} // namespace quillon
