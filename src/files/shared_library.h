// Libraries loaded the first time an input needs them, not when the program starts: a hive, a
// folder or a .reg file is read without The Sleuth Kit and its dozens of dependencies in memory.
// A library's functions are declared by its own header and resolved once, all of them, so that
// a library of another version is refused before any is called.
#pragma once
#include <cstring>
#include <string>
#include <vector>

namespace quillon {

// A library as the program loads it: its versioned file name, which the dynamic loader finds,
// and the Debian package that installs it, which a message names when it is missing.
struct LibraryName {
    const char* File;
    const char* Package;
};

// Opens `library` (and first each of `before`), with its symbols visible to the libraries opened
// after it, as linking them would have made them; nullptr with a French `error` naming the
// package when it cannot be loaded. A library is opened once for the process.
void* OpenSharedLibrary(const LibraryName& library, const std::vector<LibraryName>& before,
                        std::string& error);

// The address of the first function of the process named `name`, the one a call linked into the
// program would reach; nullptr when none is loaded.
void* LoadedFunction(const char* name);

// The French message for a library whose `missing` functions were not found.
std::string LibraryTooOld(const LibraryName& library, const std::string& missing);

// For a library that needs none loaded before it.
inline std::vector<LibraryName> NothingLoadedBefore() {
    return {};
}

// The functions of `Library`, a table that QUILLON_LIBRARY_FUNCTIONS declares, or why they could
// not be loaded: loaded the first time they are asked for, once for the process (thread-safe).
template <class Library> struct LoadedOnce {
    Library Functions;
    std::string Error; // French; empty when every function was found

    static const LoadedOnce& Get() {
        static const LoadedOnce loaded = Load();
        return loaded;
    }

  private:
    static LoadedOnce Load() {
        LoadedOnce result;
#ifndef _WIN32 // linked in on Windows: its table already holds the functions
        if (OpenSharedLibrary(Library::kName, Library::LoadedBefore(), result.Error) == nullptr) {
            return result;
        }
        std::string missing;
        result.Functions.Resolve([&missing](const char* name, auto& function) {
            void* address = LoadedFunction(name);
            static_assert(sizeof function == sizeof address);
            std::memcpy(&function, &address, sizeof address);
            if (address == nullptr) {
                missing += missing.empty() ? name : std::string(", ") + name;
            }
        });
        if (!missing.empty()) {
            result.Error = LibraryTooOld(Library::kName, missing);
        }
#endif
        return result;
    }
};

// The functions of `Library`; nullptr with a French `error` when the library or one of its
// functions is missing.
template <class Library> const Library* LoadLibrary(std::string& error) {
    const LoadedOnce<Library>& loaded = LoadedOnce<Library>::Get();
    error = loaded.Error;
    return loaded.Error.empty() ? &loaded.Functions : nullptr;
}

// The functions of `Library` once LoadLibrary has loaded them: what the code behind an input's
// entry point calls, that entry point having checked the load. Called for every call into the
// library, it costs one check of the static's guard.
template <class Library> const Library& LoadedLibrary() {
    return LoadedOnce<Library>::Get().Functions;
}

// "" when each of `Libraries` is loaded (loading those not yet), else why the first that is not
// could not be, in French.
template <class... Libraries> std::string MissingLibrary() {
    std::string error;
    static_cast<void>(((LoadLibrary<Libraries>(error) != nullptr) && ...));
    return error;
}

} // namespace quillon

// One member of a table: a pointer of the function's own type, named as the function. The
// Windows executables link their libraries statically, being one file each with no DLL beyond
// the system's: there the table starts with the linked functions, and nothing is loaded.
#ifdef _WIN32
#define QUILLON_LIBRARY_MEMBER(function) decltype(&::function) function = &::function;
#else
#define QUILLON_LIBRARY_MEMBER(function) decltype(&::function) function = nullptr;
#endif
#define QUILLON_LIBRARY_RESOLVE(function) resolve(#function, function);

// The members of a library's table, from LIST(X), a list of X(function) for each function used,
// and the Resolve that LoadLibrary fills them with.
#define QUILLON_LIBRARY_FUNCTIONS(LIST)                                                            \
    LIST(QUILLON_LIBRARY_MEMBER)                                                                   \
    template <class Resolver> void Resolve(Resolver&& resolve) {                                   \
        LIST(QUILLON_LIBRARY_RESOLVE)                                                              \
    }

// `Type`, the table of the library `name` (a LibraryName) loaded after those `before()` gives,
// of the functions LIST names, and `Accessor()`, its functions once loaded.
#define QUILLON_LIBRARY(Type, Accessor, name, before, LIST)                                        \
    struct Type {                                                                                  \
        static constexpr LibraryName kName = name;                                                 \
        static std::vector<LibraryName> LoadedBefore() { return before(); }                        \
        QUILLON_LIBRARY_FUNCTIONS(LIST)                                                            \
    };                                                                                             \
    inline const Type& Accessor() {                                                                \
        return ::quillon::LoadedLibrary<Type>();                                                   \
    }
