# Installation: one program folder holding the programs, the device-link
# component, the Tessera library, res/ and the manual (they find each other
# beside applicationDirPath, as in build/bin); launchers on the PATH; the
# desktop entry and icons; and the .deb made by CPack from the same rules.
include(GNUInstallDirs)

set(KRV_INSTALL_DIR "lib/krvstudio" CACHE STRING "The program folder, below the install prefix")
set(krv_programs krvstudio krvctl krv-sim)

install(TARGETS ${krv_programs} RUNTIME DESTINATION ${KRV_INSTALL_DIR})
install(TARGETS tessera krvdevlink LIBRARY DESTINATION ${KRV_INSTALL_DIR})
# everything the folder needs is in the folder
set_target_properties(${krv_programs} tessera krvdevlink PROPERTIES INSTALL_RPATH "$ORIGIN")
install(DIRECTORY ${PROJECT_SOURCE_DIR}/res DESTINATION ${KRV_INSTALL_DIR})
# its presence sends colour.ini and saved configurations to the user's folders
install(FILES ${CMAKE_CURRENT_LIST_DIR}/installed.ini DESTINATION ${KRV_INSTALL_DIR})

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
install(FILES ${PROJECT_BINARY_DIR}/bin/HX0MAN01E.pdf DESTINATION ${KRV_INSTALL_DIR} OPTIONAL)

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
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Northfield Hydraulics <service@northfield-hydraulics.example>")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.northfield-hydraulics.example")
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libc6, libstdc++6, libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), qt6-qpa-plugins")
# Help opens the manual in one of these (a page option or the desktop's opener)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "evince | okular | atril | xreader | zathura | qpdfview | mupdf")
include(CPack)
