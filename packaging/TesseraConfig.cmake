# find_package(Tessera): Tessera::core (records, number and colour helpers,
# formula engine; Qt Core and Gui) and Tessera::tessera (the controls).
include(CMakeFindDependencyMacro)
find_dependency(Qt6 6.4 COMPONENTS Core Gui Widgets)
include("${CMAKE_CURRENT_LIST_DIR}/TesseraTargets.cmake")
