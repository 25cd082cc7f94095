#include "sources/registry_cab.h"

#include "files/shared_library.h"
#include "text/ansi_codepage.h"

#include <cstdio>
#include <memory>
#include <mspack.h>

namespace quillon {
namespace {

#define QUILLON_MSPACK_FUNCTIONS(X)                                                                \
    X(mspack_create_cab_decompressor)                                                              \
    X(mspack_destroy_cab_decompressor)                                                             \
    X(mspack_sys_selftest_internal)

// libmspack, loaded the first time a cabinet is read.
inline constexpr LibraryName kMspackLibrary{"libmspack.so.0", "libmspack0"};
QUILLON_LIBRARY(MspackLibrary, LibMspack, kMspackLibrary, NothingLoadedBefore,
                QUILLON_MSPACK_FUNCTIONS)

// Windows 95/98/Me registries stayed far below this; a cabinet claiming more is damaged, and
// nothing is written for it.
constexpr unsigned kLargestMember = 64u << 20;

struct DecompressorFree {
    void operator()(mscab_decompressor* cab) const {
        LibMspack().mspack_destroy_cab_decompressor(cab);
    }
};

// A cabinet opened, closed with this object.
class Cabinet {
  public:
    explicit Cabinet(const std::string& path)
        : decompressor_(LibMspack().mspack_create_cab_decompressor(nullptr)),
          cabinet_(decompressor_ ? decompressor_->open(decompressor_.get(), path.c_str())
                                 : nullptr) {}
    ~Cabinet() {
        if (cabinet_ != nullptr) {
            decompressor_->close(decompressor_.get(), cabinet_);
        }
    }
    Cabinet(const Cabinet&) = delete;
    Cabinet& operator=(const Cabinet&) = delete;

    bool IsOpen() const { return cabinet_ != nullptr; }
    mscabd_file* Files() const { return cabinet_->files; }
    bool Extract(mscabd_file* file, const std::string& into) {
        return decompressor_->extract(decompressor_.get(), file, into.c_str()) == MSPACK_ERR_OK;
    }

  private:
    std::unique_ptr<mscab_decompressor, DecompressorFree> decompressor_;
    mscabd_cabinet* cabinet_;
};

std::string DateOf(const mscabd_file& file) {
    char text[32] = {};
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", file.date_y, file.date_m,
                  file.date_d, file.time_h, file.time_m);
    return text;
}

// Whether libmspack is there to read the cabinet `path`; else `error` says which package to
// install.
bool CabinetReadable(const std::string& path, std::string& error) {
    error = MissingLibrary<MspackLibrary>();
    // Its structures hold file offsets: a library built with offsets of another size than ours
    // would read every cabinet wrong.
    if (error.empty() && LibMspack().mspack_sys_selftest_internal(sizeof(off_t)) != MSPACK_ERR_OK) {
        error = "la bibliothèque libmspack n'a pas été construite avec des positions de fichier "
                "de " +
                std::to_string(sizeof(off_t) * 8) + " bits, comme Quillon";
    }
    if (!error.empty()) {
        error = "Impossible de lire la sauvegarde du registre « " + path + " » : " + error;
    }
    return error.empty();
}

std::string Unreadable(const std::string& path) {
    return "Impossible de lire la sauvegarde du registre « " + path +
           " » : ce n'est pas un fichier CAB lisible (tronqué ou endommagé)";
}

} // namespace

std::string CabMemberFileName(const std::string& member) {
    return member.substr(member.find_last_of("\\/") + 1);
}

bool ListCab(const std::string& path, std::vector<CabMember>& members, std::string& error) {
    if (!CabinetReadable(path, error)) {
        return false;
    }
    Cabinet cabinet(path);
    if (!cabinet.IsOpen()) {
        error = Unreadable(path);
        return false;
    }
    for (mscabd_file* file = cabinet.Files(); file != nullptr; file = file->next) {
        members.push_back({file->filename != nullptr ? file->filename : "", DateOf(*file)});
    }
    return true;
}

bool ExtractCabMember(const std::string& path, const std::string& name, const std::string& into,
                      std::string& error) {
    if (!CabinetReadable(path, error)) {
        return false;
    }
    Cabinet cabinet(path);
    if (!cabinet.IsOpen()) {
        error = Unreadable(path);
        return false;
    }
    for (mscabd_file* file = cabinet.Files(); file != nullptr; file = file->next) {
        if (file->filename == nullptr ||
            !EqualsIgnoringCase(CabMemberFileName(file->filename), name)) {
            continue;
        }
        if (file->length > kLargestMember || !cabinet.Extract(file, into)) {
            error = "Impossible de lire « " + name + " » dans la sauvegarde du registre « " + path +
                    " » : fichier CAB tronqué ou endommagé";
            return false;
        }
        return true;
    }
    error = "la sauvegarde du registre « " + path + " » ne contient pas " + name;
    return false;
}

} // namespace quillon
