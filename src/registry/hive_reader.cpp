#include "registry/hive_reader.h"

#include "registry/ansi_codepage.h"
#include "registry/file_io.h"

#include <hivex.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <unordered_set>

namespace quillon {
namespace {

// Windows refuses keys nested deeper than this; a deeper chain can only be a damaged hive.
constexpr int kMaxDepth = 512;

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <typename T> using Owned = std::unique_ptr<T, FreeDeleter>;

class HiveWalker {
  public:
    explicit HiveWalker(hive_h* hive) : hive_(hive) {}

    void Copy(hive_node_h node, MemoryKey& key, int depth) {
        if (!visited_.insert(node).second || depth > kMaxDepth) {
            ++damaged_; // a loop or an impossible depth
            return;
        }
        CopyValues(node, key);
        Owned<hive_node_h> children(hivex_node_children(hive_, node));
        if (!children) {
            ++damaged_;
            return;
        }
        for (const hive_node_h* child = children.get(); *child != 0; ++child) {
            Owned<char> name(hivex_node_name(hive_, *child));
            if (!name) {
                ++damaged_;
                return;
            }
            Copy(*child, key.AddSubkey(Utf8ToAnsi(name.get())), depth + 1);
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
        for (const hive_value_h* value = values.get(); *value != 0; ++value) {
            Owned<char> name(hivex_value_key(hive_, *value));
            hive_type type{};
            std::size_t length = 0;
            Owned<char> bytes(hivex_value_value(hive_, *value, &type, &length));
            if (!name || !bytes) {
                ++damaged_;
                return;
            }
            std::vector<std::uint8_t> data(bytes.get(), bytes.get() + length);
            const auto typeCode = static_cast<std::uint32_t>(type);
            if (RegType::IsStringType(typeCode)) {
                Utf16LeDataToAnsi(data);
            }
            key.SetValue(Utf8ToAnsi(name.get()), typeCode, std::move(data));
        }
    }

    hive_h* hive_;
    std::unordered_set<hive_node_h> visited_;
    std::size_t damaged_ = 0;
};

std::string WhyNotOpened(const std::string& path, int code) {
    switch (code) {
    case ENOTSUP:
    case EINVAL:
        return "ce n'est pas une ruche de registre regf lisible (fichier trop court, en-tête ou "
               "blocs endommagés)";
    default: return FileError{path, code}.Reason();
    }
}

} // namespace

bool LooksLikeHive(std::string_view firstBytes) {
    return firstBytes.starts_with("regf");
}

bool ReadHiveFile(const std::string& path, MemoryKey& mount, std::size_t& damagedKeys,
                  std::string& error) {
    errno = 0;
    hive_h* hive = hivex_open(path.c_str(), 0);
    if (hive == nullptr) {
        const int code = errno != 0 ? errno : EINVAL;
        error = "Impossible de lire la ruche « " + path + " » : " + WhyNotOpened(path, code);
        return false;
    }
    HiveWalker walker(hive);
    walker.Copy(hivex_root(hive), mount, 0);
    damagedKeys = walker.Damaged();
    hivex_close(hive);
    return true;
}

} // namespace quillon
