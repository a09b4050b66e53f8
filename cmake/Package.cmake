# What `cmake --install` puts under its prefix, and the archive scripts/package.sh makes of it:
#   bin/toolwindows.dll, bin/toolwindows.dll.debug   the module, and its debug information
#   include/brin, include/toolwindows, include/hostkit   the contract, the host types, the host kit
#   lib/libtoolwindows-brin.a, lib/libtoolwindows-hostkit.a
#   lib/cmake/ToolWindows/   find_package(ToolWindows 1.0 CONFIG REQUIRED)
#   share/toolwindows/installation.json   the example configuration
#   share/toolwindows/example-host/   a complete host, built against this package alone
#   share/toolwindows/toolchain-ARCH.cmake   the compiler, and this package findable, for a host's build
#   share/toolwindows/BUILDINFO.txt   the toolchain it was built with
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

# The toolchain, named in the package: the same release's toolchain gives the same bytes.
execute_process(COMMAND ${CMAKE_OBJDUMP} --version OUTPUT_VARIABLE binutils_version ERROR_QUIET)
string(REGEX MATCH "[0-9]+\\.[0-9]+(\\.[0-9]+)?" binutils_version "${binutils_version}")
# Debian's MinGW compilers call themselves "12-posix": their package's version says which build.
get_filename_component(compiler_path ${CMAKE_CXX_COMPILER} REALPATH)
execute_process(COMMAND dpkg-query -S ${compiler_path} OUTPUT_VARIABLE compiler_package ERROR_QUIET)
string(REGEX REPLACE ":.*" "" compiler_package "${compiler_package}")
set(gcc_version "GCC ${CMAKE_CXX_COMPILER_VERSION}")
if(compiler_package)
    execute_process(COMMAND dpkg-query -W "-f=${compiler_package} \${Version}" ${compiler_package}
        OUTPUT_VARIABLE gcc_version ERROR_QUIET)
endif()
file(WRITE ${CMAKE_BINARY_DIR}/package/versions.cpp "#include <_mingw.h>\n"
    "mingw-w64 __MINGW64_VERSION_MAJOR.__MINGW64_VERSION_MINOR.__MINGW64_VERSION_BUGFIX\n")
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -E -P ${CMAKE_BINARY_DIR}/package/versions.cpp
    OUTPUT_VARIABLE versions ERROR_QUIET)
string(REGEX MATCH "mingw-w64 ([0-9. ]+)" versions "${versions}")
string(REPLACE " " "" mingw_version "${CMAKE_MATCH_1}")
set(build_system "unknown system")
if(EXISTS /etc/os-release)
    file(STRINGS /etc/os-release build_system REGEX "^PRETTY_NAME=")
    string(REGEX REPLACE "^PRETTY_NAME=\"?([^\"]*)\"?$" "\\1" build_system "${build_system}")
endif()
file(WRITE ${CMAKE_BINARY_DIR}/package/BUILDINFO.txt
    "ToolWindows ${PROJECT_VERSION} for ${CMAKE_SYSTEM_PROCESSOR} Windows, built on ${build_system} with\n"
    "  ${CMAKE_CXX_COMPILER} (${gcc_version})\n"
    "  binutils ${binutils_version}, mingw-w64 ${mingw_version}\n")
install(FILES ${CMAKE_BINARY_DIR}/package/BUILDINFO.txt DESTINATION ${CMAKE_INSTALL_DATADIR}/toolwindows)

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
