# Installs the library (its four static libraries and their headers) with a CMake package, so a
# POS application can `find_package(DovraPos)` and link `DovraPos::dovra_engine`.
include(CMakePackageConfigHelpers)

set(DOVRA_LIBRARIES dovra_util dovra_device dovra_tags dovra_engine)
install(TARGETS ${DOVRA_LIBRARIES} EXPORT DovraPosTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})

foreach(folder util device engine dialects)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/${folder}/
    DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/dovrapos/${folder}
    FILES_MATCHING PATTERN "*.h" PATTERN "*Internal.h" EXCLUDE)
endforeach()

set(DOVRA_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/DovraPos)
install(EXPORT DovraPosTargets NAMESPACE DovraPos:: DESTINATION ${DOVRA_CMAKE_DIR})
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/DovraPosConfig.cmake.in [=[
@PACKAGE_INIT@
include(CMakeFindDependencyMacro)
find_dependency(Threads)
find_dependency(Cups)
include("${CMAKE_CURRENT_LIST_DIR}/DovraPosTargets.cmake")
]=])
configure_package_config_file(${CMAKE_CURRENT_BINARY_DIR}/DovraPosConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/DovraPosConfig.cmake INSTALL_DESTINATION ${DOVRA_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/DovraPosConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/DovraPosConfig.cmake
  ${CMAKE_CURRENT_BINARY_DIR}/DovraPosConfigVersion.cmake DESTINATION ${DOVRA_CMAKE_DIR})
