# Installation, laid out as a Debian package expects: the programs, the
# device-link component and the Tessera libraries in one folder (they find each
# other beside applicationDirPath, as in build/bin); the architecture-
# independent data (res/, installed.ini) in <prefix>/share/krvstudio; the
# manual, copyright and changelog in the documentation folder; launchers on
# the PATH; man pages; the desktop entry and icons; and the .deb made by CPack
# from the same rules.
include(GNUInstallDirs)

set(KRV_INSTALL_DIR "lib/krvstudio" CACHE STRING "The folder of the programs, below the install prefix")
set(KRV_DATA_DIR "${CMAKE_INSTALL_DATADIR}/krvstudio" CACHE STRING "The folder of res/, below the install prefix")
set(KRV_DOC_DIR "${CMAKE_INSTALL_DATAROOTDIR}/doc/krvstudio" CACHE STRING "The manual, copyright and changelog, below the install prefix")
set(krv_programs krvstudio krvctl krv-sim)

install(TARGETS ${krv_programs} RUNTIME DESTINATION ${KRV_INSTALL_DIR})
install(TARGETS krvdevlink LIBRARY DESTINATION ${KRV_INSTALL_DIR})
# everything the programs load is in their folder
set_target_properties(${krv_programs} krvdevlink PROPERTIES INSTALL_RPATH "$ORIGIN")
include(${CMAKE_CURRENT_LIST_DIR}/tessera.cmake)

# The programs look for res/ beside themselves first (a build or a copied
# folder), then in the data folder of this layout.
file(RELATIVE_PATH krv_data_relative "/prefix/${KRV_INSTALL_DIR}" "/prefix/${KRV_DATA_DIR}")
set_source_files_properties(${PROJECT_SOURCE_DIR}/app/core/respaths.cpp DIRECTORY ${PROJECT_SOURCE_DIR}/app/core
  PROPERTIES COMPILE_DEFINITIONS "KRV_INSTALLED_DATA=\"${krv_data_relative}\"")
install(DIRECTORY ${PROJECT_SOURCE_DIR}/res DESTINATION ${KRV_DATA_DIR})
# its presence sends colour.ini and saved configurations to the user's
# folders; it names the manual's folder
file(RELATIVE_PATH KRV_MANUAL_RELATIVE "/prefix/${KRV_DATA_DIR}" "/prefix/${KRV_DOC_DIR}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/installed.ini.in ${PROJECT_BINARY_DIR}/packaging/installed.ini @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/packaging/installed.ini DESTINATION ${KRV_DATA_DIR})

file(RELATIVE_PATH krv_relative "/prefix/${CMAKE_INSTALL_BINDIR}" "/prefix/${KRV_INSTALL_DIR}")
foreach(KRV_PROGRAM IN LISTS krv_programs)
  set(KRV_RELATIVE ${krv_relative})
  configure_file(${CMAKE_CURRENT_LIST_DIR}/launcher.in ${PROJECT_BINARY_DIR}/launchers/${KRV_PROGRAM} @ONLY)
  install(PROGRAMS ${PROJECT_BINARY_DIR}/launchers/${KRV_PROGRAM} DESTINATION ${CMAKE_INSTALL_BINDIR})
endforeach()

install(FILES ${CMAKE_CURRENT_LIST_DIR}/krvstudio.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 16 32 48 64 128 256)
  install(FILES ${PROJECT_SOURCE_DIR}/res/ico/krvstudio-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME krvstudio.png)
endforeach()

# The manual is printed by the build (target krv_manual, part of every build
# unless KRV_BUILD_MANUAL is off); a build without it installs the rest.
install(FILES ${PROJECT_BINARY_DIR}/bin/HX0MAN01E.pdf DESTINATION ${KRV_DOC_DIR} OPTIONAL)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright DESTINATION ${KRV_DOC_DIR})
# the manual in the desktop's documentation index, when it is there
if(KRV_BUILD_MANUAL)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/doc-base DESTINATION ${CMAKE_INSTALL_DATADIR}/doc-base RENAME krvstudio-manual)
endif()
install(FILES ${CMAKE_CURRENT_LIST_DIR}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
  RENAME krvstudio)
find_program(KRV_GZIP gzip)
if(KRV_GZIP)
  # compressed without a time stamp, so the same sources make the same package
  add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/packaging/changelog.Debian.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_LIST_DIR}/changelog ${PROJECT_BINARY_DIR}/packaging/changelog.Debian
    COMMAND ${KRV_GZIP} -9nf ${PROJECT_BINARY_DIR}/packaging/changelog.Debian
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/changelog
    COMMENT "Compressing the package changelog"
    VERBATIM)
  add_custom_target(krv_changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/packaging/changelog.Debian.gz)
  install(FILES ${PROJECT_BINARY_DIR}/packaging/changelog.Debian.gz DESTINATION ${KRV_DOC_DIR})
endif()

include(${CMAKE_CURRENT_LIST_DIR}/manpages.cmake)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME krvstudio)
set(CPACK_PACKAGE_VENDOR "Northfield Hydraulics")
set(CPACK_PACKAGE_CONTACT "Northfield Hydraulics <service@northfield-hydraulics.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Service tool for TBX hydraulic valve controllers")
set(CPACK_PACKAGE_DESCRIPTION "KRV Studio reads, edits, saves and writes the parameter set of
TBX valve controllers (control unit QEL400W) over a serial port, and shows
their live values and diagnostic errors. With krvctl, the command line, and
krv-sim, a virtual controller.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# the packaging's own revision; packaging/changelog names the same version
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Northfield Hydraulics <service@northfield-hydraulics.example>")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.northfield-hydraulics.example")
# The libraries the programs link come from dpkg-shlibdeps; the Qt platform
# plugins and the SQLite driver of the service history are loaded at run
# time, so no binary names them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6sql6-sqlite")
# Help opens the manual in one of these (a page option or the desktop's opener)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "evince | okular | atril | xreader | zathura | qpdfview | mupdf")
include(CPack)
