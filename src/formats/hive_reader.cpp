#include "formats/hive_reader.h"

#include "files/file_error.h"
#include "text/ansi_codepage.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <hivex.h>
#include <memory>

namespace quillon {
namespace {

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <typename T> using Owned = std::unique_ptr<T, FreeDeleter>;

// Length of a list that hivex ends with 0.
template <typename Handle> std::size_t Count(const Handle* list) {
    std::size_t count = 0;
    while (list[count] != 0) {
        ++count;
    }
    return count;
}

// A name as the hive stores it, in ANSI: libhivex gives it as a C string, which a NUL inside it
// would cut, naming another key or value; the length it gives keeps it whole, so that the NUL
// is seen and the name left out where it is written.
std::string WholeName(const char* utf8, std::size_t length) {
    return Utf8ToAnsi(std::string_view(utf8, std::max(length, std::strlen(utf8))));
}

class HiveWalker {
  public:
    explicit HiveWalker(hive_h* hive) : hive_(hive) {}

    void Copy(hive_node_h node, MemoryKey& key, int depth) {
        if (Seen(node) || depth > MaxKeyDepth) {
            ++damaged_; // a loop or an impossible depth
            return;
        }
        CopyValues(node, key);
        Owned<hive_node_h> children(hivex_node_children(hive_, node));
        if (!children) {
            ++damaged_;
            return;
        }
        key.ReserveSubkeys(Count(children.get()));
        for (const hive_node_h* child = children.get(); *child != 0; ++child) {
            Owned<char> name(hivex_node_name(hive_, *child));
            const std::size_t nameLength = hivex_node_name_len(hive_, *child);
            if (!name) {
                ++damaged_; // this subkey is lost; its siblings may still be read
                continue;
            }
            // A key that no path can name, or a second subkey of one name (a damaged hive, or
            // names that differ only in characters Windows-1252 lacks), is left out and counted.
            MemoryKey* read = key.AppendReadSubkey(WholeName(name.get(), nameLength));
            if (read == nullptr) {
                ++damaged_;
                continue;
            }
            Copy(*child, *read, depth + 1);
        }
    }

    std::size_t Damaged() const { return damaged_; }

  private:
    void CopyValues(hive_node_h node, MemoryKey& key) {
        Owned<hive_value_h> values(hivex_node_values(hive_, node));
        if (!values) {
            ++damaged_;
            return;
        }
        key.ReserveValues(Count(values.get()));
        for (const hive_value_h* value = values.get(); *value != 0; ++value) {
            Owned<char> name(hivex_value_key(hive_, *value));
            const std::size_t nameLength = hivex_value_key_len(hive_, *value);
            // Any 32-bit type may be stored, beyond the values of libhivex's enumeration: it is
            // received as a plain number.
            static_assert(sizeof(hive_type) == sizeof(std::uint32_t));
            std::uint32_t type = 0;
            std::size_t length = 0;
            Owned<char> bytes(
                hivex_value_value(hive_, *value, reinterpret_cast<hive_type*>(&type), &length));
            if (!name || !bytes) {
                ++damaged_; // this value is lost; the key's other values may still be read
                continue;
            }
            RegValue read{WholeName(name.get(), nameLength), type,
                          std::vector<std::uint8_t>(bytes.get(), bytes.get() + length)};
            if (RegType::IsStringType(read.Type)) {
                Utf16LeDataToAnsi(read.Data);
            }
            if (!key.AppendReadValue(std::move(read))) {
                ++damaged_; // a second value of that name: only the first can be queried
            }
        }
    }

    // Node handles are offsets of 8-byte aligned cells in the file: one bit each.
    bool Seen(hive_node_h node) {
        const std::size_t bit = node / 8;
        if (bit >= visited_.size()) {
            visited_.resize(std::max(bit + 1, visited_.size() * 2));
        }
        const bool seen = visited_[bit];
        visited_[bit] = true;
        return seen;
    }

    hive_h* hive_;
    std::vector<bool> visited_;
    std::size_t damaged_ = 0;
};

std::string WhyNotOpened(const std::string& path, int code) {
    switch (code) {
    case ENOTSUP:
    case EINVAL:
        return "ce n'est pas une ruche de registre regf lisible (fichier trop court, en-tête ou "
               "blocs endommagés)";
    default:
        return FileError{path, code}.Reason();
    }
}

} // namespace

bool LooksLikeHive(std::string_view firstBytes) {
    return firstBytes.starts_with("regf");
}

// A hive that libhivex refuses as damaged is opened again in its unsafe mode, which reads what
// it can and passes over damaged blocks without counting them.
bool ReadHiveFile(const std::string& path, MemoryKey& mount, ReadReport& report,
                  std::string& error) {
    errno = 0;
    hive_h* hive = hivex_open(path.c_str(), 0);
    int code = errno != 0 ? errno : EINVAL;
    report.Unsafe = false;
    if (hive == nullptr && (code == EINVAL || code == ENOTSUP)) {
        errno = 0;
        hive = hivex_open(path.c_str(), HIVEX_OPEN_UNSAFE);
        report.Unsafe = hive != nullptr;
        code = errno != 0 ? errno : EINVAL;
    }
    if (hive == nullptr) {
        error = "Impossible de lire la ruche « " + path + " » : " + WhyNotOpened(path, code);
        return false;
    }
    HiveWalker walker(hive);
    walker.Copy(hivex_root(hive), mount, 0);
    report.DamagedKeys = walker.Damaged();
    hivex_close(hive);
    return true;
}

} // namespace quillon
