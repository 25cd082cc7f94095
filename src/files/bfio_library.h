// The libyal libraries loaded when an input needs them (libewf, libvmdk, libvhdi, libqcow,
// libcreg), and libbfio, the file handles they read through.
#pragma once
#include "files/shared_library.h"

#include <libbfio.h>

namespace quillon {

// libewf, libcreg and libbfio each carry and export their own copy of the same helper libraries
// (libcdata, libbfio ...); the process uses the first loaded. libewf's must be that copy: with
// libcreg's, closing an E01 image crashes (libcreg reads fine with libewf's, as its tests and
// fuzz corpus check). So libewf is loaded before any of them.
inline constexpr LibraryName kEwfLibrary{"libewf.so.2", "libewf2"};
inline std::vector<LibraryName> LibyalLoadedBefore() {
    return {kEwfLibrary};
}

#define QUILLON_BFIO_FUNCTIONS(X)                                                                  \
    X(libbfio_file_initialize)                                                                     \
    X(libbfio_file_set_name)                                                                       \
    X(libbfio_handle_free)                                                                         \
    X(libbfio_handle_initialize)                                                                   \
    X(libbfio_pool_append_handle)                                                                  \
    X(libbfio_pool_free)                                                                           \
    X(libbfio_pool_initialize)

inline constexpr LibraryName kBfioLibrary{"libbfio.so.1", "libbfio1"};
QUILLON_LIBRARY(BfioLibrary, LibBfio, kBfioLibrary, LibyalLoadedBefore, QUILLON_BFIO_FUNCTIONS)

} // namespace quillon
