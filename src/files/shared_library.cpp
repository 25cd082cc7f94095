#include "files/shared_library.h"

#include <dlfcn.h>
#include <map>
#include <mutex>

namespace quillon {
namespace {

// Each library opened, or why it could not be, kept for the process: a library is not opened
// again, and asked again gives the same answer.
struct Opened {
    void* Handle = nullptr;
    std::string Error;
};

std::string Missing(const LibraryName& library, const char* reason) {
    return std::string("la bibliothèque ") + library.File + " n'a pas pu être chargée (" +
           (reason != nullptr ? reason : "raison inconnue") + ") : installez le paquet Debian " +
           library.Package;
}

const Opened& OpenOnce(const LibraryName& library) {
    static std::mutex mutex;
    static std::map<std::string, Opened> opened;
    const std::lock_guard lock(mutex);
    auto [place, isNew] = opened.try_emplace(library.File);
    if (isNew) {
        // Global, as linking would have made them: libraries loaded later find their shared
        // helpers in the first one loaded, as they do in a linked program.
        place->second.Handle = dlopen(library.File, RTLD_NOW | RTLD_GLOBAL);
        if (place->second.Handle == nullptr) {
            place->second.Error = Missing(library, dlerror());
        }
    }
    return place->second;
}

} // namespace

void* OpenSharedLibrary(const LibraryName& library, const std::vector<LibraryName>& before,
                        std::string& error) {
    for (const LibraryName& first : before) {
        if (OpenOnce(first).Handle == nullptr) {
            error = OpenOnce(first).Error;
            return nullptr;
        }
    }
    const Opened& opened = OpenOnce(library);
    error = opened.Error;
    return opened.Handle;
}

void* LoadedFunction(const char* name) {
    return dlsym(RTLD_DEFAULT, name);
}

std::string LibraryTooOld(const LibraryName& library, const std::string& missing) {
    return std::string("la bibliothèque ") + library.File + " n'a pas les fonctions " + missing +
           " : installez la version du paquet Debian " + library.Package +
           " avec laquelle Quillon a été construit";
}

} // namespace quillon
