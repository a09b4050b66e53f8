# What `cmake --install` puts under its prefix, and the archive scripts/package.sh makes of it:
#   bin/toolwindows.dll, bin/toolwindows.dll.debug   the module, and its debug information
#   include/brin, include/toolwindows, include/hostkit   the contract, the host types, the host kit
#   lib/libtoolwindows-brin.a, lib/libtoolwindows-hostkit.a
#   lib/cmake/ToolWindows/   find_package(ToolWindows 1.0 CONFIG REQUIRED)
#   share/toolwindows/installation.json   the example configuration
#   share/toolwindows/example-host/   a complete host, built against this package alone
#   share/toolwindows/toolchain-ARCH.cmake   the compiler, and this package findable, for a host's build
include(CMakePackageConfigHelpers)

set(TOOLWINDOWS_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/ToolWindows)

install(FILES ${TOOLWINDOWS_STRIPPED}/toolwindows.dll ${TOOLWINDOWS_STRIPPED}/toolwindows.dll.debug
        DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY include/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(FILES ${TOOLWINDOWS_GENERATED_INCLUDE}/toolwindows/Version.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/toolwindows)
install(FILES demo/installation.json DESTINATION ${CMAKE_INSTALL_DATADIR}/toolwindows)
install(DIRECTORY examples/host/ DESTINATION ${CMAKE_INSTALL_DATADIR}/toolwindows/example-host)
configure_file(cmake/ToolWindowsToolchain.cmake.in
    ${CMAKE_BINARY_DIR}/package/toolchain-${CMAKE_SYSTEM_PROCESSOR}.cmake @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/package/toolchain-${CMAKE_SYSTEM_PROCESSOR}.cmake
        DESTINATION ${CMAKE_INSTALL_DATADIR}/toolwindows)

# The host-side libraries, under names of their own in a shared lib folder, and as the package's
# targets: ToolWindows::ToolWindows (the contract headers and the host types) and
# ToolWindows::HostKit (the host kit, which brings the other).
set_target_properties(brin PROPERTIES OUTPUT_NAME toolwindows-brin EXPORT_NAME ToolWindows)
set_target_properties(hostkit PROPERTIES OUTPUT_NAME toolwindows-hostkit EXPORT_NAME HostKit)
# The host kit's headers use C++20; the contract's need no more than C++11.
target_compile_features(brin INTERFACE cxx_std_11)
target_compile_features(hostkit INTERFACE cxx_std_20)
# They are built with stack protection and checked string calls, whose runtime is GCC's libssp:
# a host links it too.
target_link_libraries(brin INTERFACE $<INSTALL_INTERFACE:ssp>)
install(TARGETS brin hostkit EXPORT ToolWindowsTargets ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(EXPORT ToolWindowsTargets NAMESPACE ToolWindows:: DESTINATION ${TOOLWINDOWS_CMAKE_DIR})

configure_package_config_file(cmake/ToolWindowsConfig.cmake.in
    ${CMAKE_BINARY_DIR}/package/ToolWindowsConfig.cmake
    INSTALL_DESTINATION ${TOOLWINDOWS_CMAKE_DIR}
    PATH_VARS CMAKE_INSTALL_BINDIR CMAKE_INSTALL_DATADIR)
# A 64-bit host is not offered the 32-bit package, nor the reverse.
write_basic_package_version_file(${CMAKE_BINARY_DIR}/package/ToolWindowsConfigVersion.cmake
    COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/package/ToolWindowsConfig.cmake
              ${CMAKE_BINARY_DIR}/package/ToolWindowsConfigVersion.cmake
        DESTINATION ${TOOLWINDOWS_CMAKE_DIR})

# One archive per architecture, of exactly the installed tree, is made by scripts/package.sh rather
# than CPack: CMake 3.25's zip writer stores each file's access and change times and its owner,
# so no two builds would give the same archive.
