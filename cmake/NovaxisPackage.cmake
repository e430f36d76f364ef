# The library as a CMake package, included by the root CMakeLists.txt.
#
# Installed (cmake --install <build> --prefix <prefix>):
#   lib/libnxrt.a, lib/libnovaxis.a
#   include/novaxis/{rt,native,errors,classes}/*.h   (include dir: include/novaxis)
#   share/novaxis/                the resources every program carries (novaxis.rc)
#                                 and the toolchain file of a cross build
#   lib/cmake/Novaxis/            NovaxisConfig.cmake, its version file, the
#                                 exported targets Novaxis::nxrt and Novaxis::novaxis
#                                 and NovaxisApp.cmake (novaxis_add_app)
# A program then needs find_package(Novaxis) and novaxis_add_app, or
# target_link_libraries(<app> PRIVATE Novaxis::novaxis) and a resource of its own.
include(CMakePackageConfigHelpers)

set(NX_INSTALL_CMAKEDIR lib/cmake/Novaxis)
set(NX_INSTALL_RESDIR share/novaxis)

set(NOVAXIS_RESOURCE_DIR ${PROJECT_SOURCE_DIR}/src/res CACHE INTERNAL "")
include(${CMAKE_CURRENT_LIST_DIR}/NovaxisApp.cmake)

write_basic_package_version_file(${PROJECT_BINARY_DIR}/package/NovaxisConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)

# find_package(Novaxis) inside this build (the samples, or a program that
# added this tree with add_subdirectory) finds the targets defined here.
file(WRITE ${PROJECT_BINARY_DIR}/NovaxisConfig.cmake
     "# Novaxis of the build tree ${PROJECT_BINARY_DIR}: its targets already exist.\n")
configure_file(${PROJECT_BINARY_DIR}/package/NovaxisConfigVersion.cmake
               ${PROJECT_BINARY_DIR}/NovaxisConfigVersion.cmake COPYONLY)
set(Novaxis_DIR ${PROJECT_BINARY_DIR} CACHE INTERNAL "")

if(NOT NX_INSTALL)
  return()
endif()

install(TARGETS nxrt novaxis EXPORT NovaxisTargets ARCHIVE DESTINATION lib)
# Headers of the scoped helpers behind the natives stay inside.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/src/rt ${PROJECT_SOURCE_DIR}/src/native
                  ${PROJECT_SOURCE_DIR}/src/errors ${PROJECT_SOURCE_DIR}/src/classes
        DESTINATION include/novaxis
        FILES_MATCHING PATTERN "*.h" PATTERN "*_internal.h" EXCLUDE)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/src/res/ DESTINATION ${NX_INSTALL_RESDIR})
# Programs are built with the compiler the library was built with (the C++
# runtime and its thread model must match).
if(CMAKE_TOOLCHAIN_FILE)
  install(FILES ${CMAKE_TOOLCHAIN_FILE} DESTINATION ${NX_INSTALL_RESDIR})
endif()
install(EXPORT NovaxisTargets NAMESPACE Novaxis:: DESTINATION ${NX_INSTALL_CMAKEDIR})

configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/NovaxisConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/package/NovaxisConfig.cmake
                              INSTALL_DESTINATION ${NX_INSTALL_CMAKEDIR}
                              PATH_VARS NX_INSTALL_RESDIR)
install(FILES ${PROJECT_BINARY_DIR}/package/NovaxisConfig.cmake
              ${PROJECT_BINARY_DIR}/package/NovaxisConfigVersion.cmake
              ${CMAKE_CURRENT_LIST_DIR}/NovaxisApp.cmake
        DESTINATION ${NX_INSTALL_CMAKEDIR})
