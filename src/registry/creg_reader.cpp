#include "registry/creg_reader.h"

#include "registry/ansi_codepage.h"

#include <libcreg.h>

#include <algorithm>
#include <memory>
#include <unordered_set>

namespace quillon {
namespace {

// libcreg's objects (plain handles, all of one type) freed by their own functions when they go
// out of scope.
struct KeyFree {
    void operator()(libcreg_key_t* key) const { libcreg_key_free(&key, nullptr); }
};
struct ValueFree {
    void operator()(libcreg_value_t* value) const { libcreg_value_free(&value, nullptr); }
};
struct FileFree {
    void operator()(libcreg_file_t* file) const {
        libcreg_file_close(file, nullptr);
        libcreg_file_free(&file, nullptr);
    }
};
using OwnedKey = std::unique_ptr<libcreg_key_t, KeyFree>;
using OwnedValue = std::unique_ptr<libcreg_value_t, ValueFree>;
using OwnedFile = std::unique_ptr<libcreg_file_t, FileFree>;

// Receives libcreg's error, which this reader does not show (it says what went wrong itself).
class IgnoredError {
  public:
    ~IgnoredError() { libcreg_error_free(&error_); }
    operator libcreg_error_t**() {
        libcreg_error_free(&error_);
        return &error_;
    }

  private:
    libcreg_error_t* error_ = nullptr;
};

// A name as stored, without the terminating zero libcreg counts in its size.
template <typename Object, typename SizeOf, typename Get>
bool NameOf(Object* object, SizeOf sizeOf, Get get, std::string& name) {
    IgnoredError error;
    std::size_t size = 0;
    if (sizeOf(object, &size, error) != 1) {
        return false;
    }
    name.assign(size, '\0');
    if (size != 0 && get(object, reinterpret_cast<std::uint8_t*>(name.data()), size, error) != 1) {
        return false;
    }
    name.erase(std::find(name.begin(), name.end(), '\0'), name.end());
    return true;
}

class CregWalker {
  public:
    void Copy(libcreg_key_t* from, MemoryKey& key, int depth) {
        off64_t offset = 0;
        IgnoredError error;
        if (depth > MaxKeyDepth || libcreg_key_get_offset(from, &offset, error) != 1 ||
            !seen_.insert(offset).second) {
            ++damaged_; // a loop, an impossible depth, or a key that cannot be placed
            return;
        }
        CopyValues(from, key);
        int count = 0;
        if (libcreg_key_get_number_of_sub_keys(from, &count, error) != 1) {
            ++damaged_;
            return;
        }
        for (int index = 0; index < count; ++index) {
            libcreg_key_t* raw = nullptr;
            std::string name;
            if (libcreg_key_get_sub_key_by_index(from, index, &raw, error) != 1) {
                ++damaged_; // the rest of this key's listing cannot be reached
                return;
            }
            OwnedKey child(raw);
            MemoryKey* read = NameOf(child.get(), libcreg_key_get_name_size, libcreg_key_get_name, name)
                                  ? key.AppendReadSubkey(name)
                                  : nullptr;
            if (read == nullptr) {
                ++damaged_;
                continue;
            }
            Copy(child.get(), *read, depth + 1);
        }
    }

    std::size_t Damaged() const { return damaged_; }

  private:
    void CopyValues(libcreg_key_t* from, MemoryKey& key) {
        IgnoredError error;
        int count = 0;
        if (libcreg_key_get_number_of_values(from, &count, error) != 1) {
            ++damaged_;
            return;
        }
        key.ReserveValues(static_cast<std::size_t>(count));
        for (int index = 0; index < count; ++index) {
            libcreg_value_t* raw = nullptr;
            if (libcreg_key_get_value_by_index(from, index, &raw, error) != 1) {
                ++damaged_;
                return;
            }
            OwnedValue value(raw);
            RegValue read;
            std::size_t size = 0;
            if (!NameOf(value.get(), libcreg_value_get_name_size, libcreg_value_get_name,
                        read.Name) ||
                libcreg_value_get_value_type(value.get(), &read.Type, error) != 1 ||
                libcreg_value_get_value_data_size(value.get(), &size, error) != 1) {
                ++damaged_;
                continue;
            }
            read.Data.resize(size);
            if (size != 0 &&
                libcreg_value_get_value_data(value.get(), read.Data.data(), size, error) != 1) {
                ++damaged_;
                continue;
            }
            if ((read.Type == RegType::String || read.Type == RegType::ExpandString) &&
                (read.Data.empty() || read.Data.back() != 0)) {
                read.Data.push_back(0);
            }
            if (!key.AppendReadValue(std::move(read))) {
                ++damaged_;
            }
        }
    }

    std::unordered_set<off64_t> seen_;
    std::size_t damaged_ = 0;
};

} // namespace

bool LooksLikeCreg(std::string_view firstBytes) {
    return firstBytes.starts_with("CREG");
}

bool ReadCregFile(const std::string& path, std::string_view below, MemoryKey& mount,
                  HiveReadReport& report, std::string& error) {
    IgnoredError ignored;
    libcreg_file_t* raw = nullptr;
    if (libcreg_file_initialize(&raw, ignored) != 1) {
        error = "Impossible de lire le registre « " + path + " » : mémoire insuffisante";
        return false;
    }
    if (libcreg_file_open(raw, path.c_str(), LIBCREG_OPEN_READ, ignored) != 1) {
        libcreg_file_free(&raw, nullptr);
        error = "Impossible de lire le registre « " + path +
                " » : ce n'est pas un registre de Windows 95/98/Me lisible (fichier trop court, "
                "en-tête ou blocs endommagés)";
        return false;
    }
    OwnedFile file(raw);
    libcreg_key_t* start = nullptr;
    const std::string path8 = AnsiToUtf8(below);
    const int found =
        below.empty()
            ? libcreg_file_get_root_key(file.get(), &start, ignored)
            : libcreg_file_get_key_by_utf8_path(file.get(),
                                                reinterpret_cast<const std::uint8_t*>(path8.data()),
                                                path8.size(), &start, ignored);
    if (found != 1) {
        error = "Impossible de lire le registre « " + path + " » : " +
                (below.empty() ? std::string("registre tronqué ou endommagé, sa racine est illisible")
                               : "pas de clé « " + path8 + " »");
        return false;
    }
    OwnedKey key(start);
    CregWalker walker;
    walker.Copy(key.get(), mount, 0);
    report.DamagedKeys = walker.Damaged();
    report.Unsafe = false;
    return true;
}

} // namespace quillon
