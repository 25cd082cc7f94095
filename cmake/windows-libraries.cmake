# The C libraries the Windows executables link statically, built from Debian's sources once per
# architecture, outside any one build folder: the presets of one architecture share them.
set(QUILLON_WINDOWS_LIBRARIES ${PROJECT_SOURCE_DIR}/build/windows-libraries/${QUILLON_WINDOWS_ARCH}
    CACHE PATH "Where scripts/windows-libraries installs the C libraries for Windows")
execute_process(
  COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/windows-libraries ${QUILLON_WINDOWS_ARCH}
          ${QUILLON_WINDOWS_LIBRARIES}
  RESULT_VARIABLE built)
if(NOT built EQUAL 0)
  message(FATAL_ERROR "libcreg, libmspack, xxHash and SQLite could not be built for Windows (see above)")
endif()

foreach(library creg mspack sqlite3)
  add_library(quillon_windows_${library} STATIC IMPORTED GLOBAL)
  set_target_properties(
    quillon_windows_${library}
    PROPERTIES IMPORTED_LOCATION ${QUILLON_WINDOWS_LIBRARIES}/lib/lib${library}.a
               INTERFACE_INCLUDE_DIRECTORIES ${QUILLON_WINDOWS_LIBRARIES}/include)
endforeach()
add_library(quillon_windows_xxhash INTERFACE IMPORTED GLOBAL)
set_target_properties(quillon_windows_xxhash PROPERTIES INTERFACE_INCLUDE_DIRECTORIES
                                                       ${QUILLON_WINDOWS_LIBRARIES}/include)
# libmspack is built with 64-bit file offsets, which its structures hold: its users are too.
set_property(TARGET quillon_windows_mspack PROPERTY INTERFACE_COMPILE_DEFINITIONS
                                                    _FILE_OFFSET_BITS=64)
# libcreg's header declares its functions that take a libbfio handle only where it is told
# libbfio is there; on Windows it assumes not.
set_property(TARGET quillon_windows_creg PROPERTY INTERFACE_COMPILE_DEFINITIONS HAVE_LIBBFIO)
