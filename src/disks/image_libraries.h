// The libraries the disk images and virtual disks are read through, loaded the first time an
// image is opened: The Sleuth Kit, libewf, libvmdk, libvhdi and libqcow.
#pragma once
#include "files/bfio_library.h"

#include <libewf.h>
#include <libvhdi.h>
#include <libvmdk.h>
#include <tsk/libtsk.h>

// libqcow declares its functions over libbfio handles only when told libbfio is there.
#define HAVE_LIBBFIO 1
#include <libqcow.h>
#undef HAVE_LIBBFIO

// The Sleuth Kit's allocator for image structures it frees itself, exported but not declared in
// its public headers.
extern "C" void* tsk_img_malloc(size_t);
extern "C" void tsk_img_free(void*);

namespace quillon {

#define QUILLON_TSK_FUNCTIONS(X)                                                                   \
    X(tsk_error_get)                                                                               \
    X(tsk_error_reset)                                                                             \
    X(tsk_fs_close)                                                                                \
    X(tsk_fs_dir_close)                                                                            \
    X(tsk_fs_dir_get)                                                                              \
    X(tsk_fs_dir_getsize)                                                                          \
    X(tsk_fs_dir_open_meta)                                                                        \
    X(tsk_fs_file_close)                                                                           \
    X(tsk_fs_file_open)                                                                            \
    X(tsk_fs_file_read)                                                                            \
    X(tsk_fs_open_img)                                                                             \
    X(tsk_fs_path2inum)                                                                            \
    X(tsk_img_close)                                                                               \
    X(tsk_img_free)                                                                                \
    X(tsk_img_malloc)                                                                              \
    X(tsk_img_open_external)                                                                       \
    X(tsk_img_open_utf8_sing)                                                                      \
    X(tsk_img_read)                                                                                \
    X(tsk_vs_close)                                                                                \
    X(tsk_vs_open)                                                                                 \
    X(tsk_vs_part_get)

inline constexpr LibraryName kTskLibrary{"libtsk.so.19", "libtsk19"};
QUILLON_LIBRARY(TskLibrary, LibTsk, kTskLibrary, LibyalLoadedBefore, QUILLON_TSK_FUNCTIONS)

#define QUILLON_EWF_FUNCTIONS(X)                                                                   \
    X(libewf_check_file_signature)                                                                 \
    X(libewf_glob)                                                                                 \
    X(libewf_glob_free)                                                                            \
    X(libewf_handle_close)                                                                         \
    X(libewf_handle_free)                                                                          \
    X(libewf_handle_initialize)                                                                    \
    X(libewf_handle_open)                                                                          \
    X(libewf_handle_segment_files_corrupted)

QUILLON_LIBRARY(EwfLibrary, LibEwf, kEwfLibrary, NothingLoadedBefore, QUILLON_EWF_FUNCTIONS)

#define QUILLON_VMDK_FUNCTIONS(X)                                                                  \
    X(libvmdk_error_free)                                                                          \
    X(libvmdk_error_sprint)                                                                        \
    X(libvmdk_extent_descriptor_free)                                                              \
    X(libvmdk_extent_descriptor_get_utf8_filename)                                                 \
    X(libvmdk_extent_descriptor_get_utf8_filename_size)                                            \
    X(libvmdk_handle_close)                                                                        \
    X(libvmdk_handle_free)                                                                         \
    X(libvmdk_handle_get_content_identifier)                                                       \
    X(libvmdk_handle_get_extent_descriptor)                                                        \
    X(libvmdk_handle_get_media_size)                                                               \
    X(libvmdk_handle_get_number_of_extents)                                                        \
    X(libvmdk_handle_get_parent_content_identifier)                                                \
    X(libvmdk_handle_get_utf8_parent_filename)                                                     \
    X(libvmdk_handle_get_utf8_parent_filename_size)                                                \
    X(libvmdk_handle_initialize)                                                                   \
    X(libvmdk_handle_open)                                                                         \
    X(libvmdk_handle_open_extent_data_files)                                                       \
    X(libvmdk_handle_open_extent_data_files_file_io_pool)                                          \
    X(libvmdk_handle_read_buffer_at_offset)                                                        \
    X(libvmdk_handle_set_parent_handle)

inline constexpr LibraryName kVmdkLibrary{"libvmdk.so.1", "libvmdk1"};
QUILLON_LIBRARY(VmdkLibrary, LibVmdk, kVmdkLibrary, LibyalLoadedBefore, QUILLON_VMDK_FUNCTIONS)

#define QUILLON_VHDI_FUNCTIONS(X)                                                                  \
    X(libvhdi_error_free)                                                                          \
    X(libvhdi_error_sprint)                                                                        \
    X(libvhdi_file_close)                                                                          \
    X(libvhdi_file_free)                                                                           \
    X(libvhdi_file_get_disk_type)                                                                  \
    X(libvhdi_file_get_identifier)                                                                 \
    X(libvhdi_file_get_media_size)                                                                 \
    X(libvhdi_file_get_parent_identifier)                                                          \
    X(libvhdi_file_get_utf8_parent_filename)                                                       \
    X(libvhdi_file_get_utf8_parent_filename_size)                                                  \
    X(libvhdi_file_initialize)                                                                     \
    X(libvhdi_file_open)                                                                           \
    X(libvhdi_file_read_buffer_at_offset)                                                          \
    X(libvhdi_file_set_parent_file)

inline constexpr LibraryName kVhdiLibrary{"libvhdi.so.1", "libvhdi1"};
QUILLON_LIBRARY(VhdiLibrary, LibVhdi, kVhdiLibrary, LibyalLoadedBefore, QUILLON_VHDI_FUNCTIONS)

#define QUILLON_QCOW_FUNCTIONS(X)                                                                  \
    X(libqcow_check_file_signature)                                                                \
    X(libqcow_error_free)                                                                          \
    X(libqcow_error_sprint)                                                                        \
    X(libqcow_file_close)                                                                          \
    X(libqcow_file_free)                                                                           \
    X(libqcow_file_get_encryption_method)                                                          \
    X(libqcow_file_get_media_size)                                                                 \
    X(libqcow_file_get_utf8_backing_filename)                                                      \
    X(libqcow_file_get_utf8_backing_filename_size)                                                 \
    X(libqcow_file_initialize)                                                                     \
    X(libqcow_file_open_file_io_handle)                                                            \
    X(libqcow_file_read_buffer_at_offset)                                                          \
    X(libqcow_file_set_parent_file)

inline constexpr LibraryName kQcowLibrary{"libqcow.so.1", "libqcow1"};
QUILLON_LIBRARY(QcowLibrary, LibQcow, kQcowLibrary, LibyalLoadedBefore, QUILLON_QCOW_FUNCTIONS)

} // namespace quillon
