# Tessera as a library of its own. Both libraries live in the program folder,
# private to the package (the programs and the Designer plugin find them
# through their RUNPATH), so the .deb needs no library package of its own.
# The plugin goes where Qt 6 Designer looks for plugins. Headers and the CMake
# package are for building other programs against the controls; they are
# installed only when asked for:
#   cmake --install <build> --component tessera-dev [--prefix <prefix>]
include(CMakePackageConfigHelpers)

install(TARGETS tesseracore tessera EXPORT TesseraTargets
  LIBRARY DESTINATION ${KRV_INSTALL_DIR}
  FILE_SET HEADERS DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/tessera COMPONENT tessera-dev EXCLUDE_FROM_ALL)
set_target_properties(tesseracore tessera PROPERTIES INSTALL_RPATH "$ORIGIN")

set(krv_tessera_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/Tessera)
install(EXPORT TesseraTargets NAMESPACE Tessera:: DESTINATION ${krv_tessera_cmake_dir}
  COMPONENT tessera-dev EXCLUDE_FROM_ALL)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/packaging/TesseraConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/TesseraConfig.cmake ${PROJECT_BINARY_DIR}/packaging/TesseraConfigVersion.cmake
  DESTINATION ${krv_tessera_cmake_dir} COMPONENT tessera-dev EXCLUDE_FROM_ALL)

if(TARGET tessera_designer)
  # Qt names its plugin folder below its own prefix; installed below ours
  set(krv_qt_plugins ${QT6_INSTALL_PLUGINS})
  if(IS_ABSOLUTE "${krv_qt_plugins}")
    file(RELATIVE_PATH krv_qt_plugins "${QT6_INSTALL_PREFIX}" "${krv_qt_plugins}")
  endif()
  set(KRV_DESIGNER_PLUGIN_DIR "${krv_qt_plugins}/designer" CACHE STRING
    "Qt 6 Designer's plugin folder, below the install prefix")
  file(RELATIVE_PATH krv_plugin_to_programs "/prefix/${KRV_DESIGNER_PLUGIN_DIR}" "/prefix/${KRV_INSTALL_DIR}")
  set_target_properties(tessera_designer PROPERTIES INSTALL_RPATH "$ORIGIN/${krv_plugin_to_programs}")
  install(TARGETS tessera_designer LIBRARY DESTINATION ${KRV_DESIGNER_PLUGIN_DIR})
endif()
