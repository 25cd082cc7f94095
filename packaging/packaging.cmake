# Packages: a zip per Windows architecture, a Debian package for Linux (cpack, or scripts/package).
set(CPACK_PACKAGE_NAME quillon)
set(CPACK_PACKAGE_VENDOR Quillon)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "sauvegarde et adaptation des paramètres d'Outlook Express 5 et 6")
set(CPACK_PACKAGE_DESCRIPTION
    "Quillon lit hors ligne le registre d'un Windows (préfixe Wine, ancien
disque, image disque ou disque de machine virtuelle, ruches) et enregistre
les paramètres d'Outlook Express dans un fichier REGEDIT4, puis adapte ce
fichier pour un nouveau Windows. Fenêtre Qt et ligne de commande.")
# Installed binaries without their symbols, as Debian wants them.
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CONTACT "L'équipe Quillon <quillon@example.org>")

if(WIN32)
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
    set(arch x86)
  else()
    set(arch x64)
  endif()
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME quillon-${PROJECT_VERSION}-windows-${arch})
  # One top folder in the zip, named as the zip: unzipping does not scatter files.
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/windows/LISEZMOI.txt ${PROJECT_SOURCE_DIR}/COPYING
          DESTINATION .)
  # The licences of the libraries built into the executables (cmake/windows-libraries.cmake).
  install(DIRECTORY ${QUILLON_WINDOWS_LIBRARIES}/licences/ DESTINATION licences)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # The image, virtual-disk, Windows 95 registry and cabinet readers are opened with dlopen the
  # first time an input needs them, which the package tools do not see: their packages are named
  # here, as the program's messages name them when one is missing.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
      "libtsk19, libewf2, libvmdk1, libvhdi1, libqcow1, libcreg1, libbfio1, libmspack0")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, xdg-utils")
  # Man pages and the changelog compressed as Debian wants them (gzip -9n: no name, no date);
  # the copyright file beside the changelog.
  set(gzipped)
  foreach(file man/quillon.1 man/quillon-cli.1 changelog)
    get_filename_component(name ${file} NAME)
    set(out ${PROJECT_BINARY_DIR}/packaging/${name}.gz)
    add_custom_command(OUTPUT ${out}
                       COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/packaging
                       COMMAND gzip -9nc ${CMAKE_CURRENT_LIST_DIR}/${file} > ${out}
                       DEPENDS ${CMAKE_CURRENT_LIST_DIR}/${file})
    list(APPEND gzipped ${out})
  endforeach()
  add_custom_target(quillon_gzipped ALL DEPENDS ${gzipped})
  install(FILES ${PROJECT_BINARY_DIR}/packaging/quillon.1.gz
                ${PROJECT_BINARY_DIR}/packaging/quillon-cli.1.gz DESTINATION share/man/man1)
  install(FILES ${PROJECT_BINARY_DIR}/packaging/changelog.gz ${CMAKE_CURRENT_LIST_DIR}/copyright
          DESTINATION share/doc/quillon)
  # The sample installations, to try Quillon on: quillon --windows .../exemples/sample-xp
  install(DIRECTORY ${PROJECT_BINARY_DIR}/examples/sample-xp ${PROJECT_BINARY_DIR}/examples/sample-xp-2
          DESTINATION share/quillon/exemples)
endif()
include(CPack)
