# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 compilers.
#
#   cmake -S . -B build/windows -G Ninja \
#         -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#         -DCMAKE_FIND_ROOT_PATH="<prefix of libxml2>;<prefix of GoogleTest>"
#
# The posix-thread variants of the compilers are used: their C++ library has
# std::thread (the win32 variants lack it). Everything is linked statically,
# so an executable imports only DLLs that come with Windows itself.
#
# Libraries and packages are searched only below /usr/x86_64-w64-mingw32 and
# the prefixes given in CMAKE_FIND_ROOT_PATH (see scripts/windows-libxml2.sh),
# never among the build machine's own. Their CMake package configurations are
# preferred over CMake's Find modules: the configuration of a static libxml2
# carries what its users need (LIBXML_STATIC, ws2_32), the Find module does not.
#
# Tests run under Wine through scripts/wine-run.sh, which also serves
# gtest_discover_tests at build time.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLET}-windres)

if(NOT "/usr/${MINGW_TRIPLET}" IN_LIST CMAKE_FIND_ROOT_PATH)
  list(APPEND CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLET})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_FIND_PACKAGE_PREFER_CONFIG ON)
# pkg-config would report the build machine's libraries.
set(CMAKE_DISABLE_FIND_PACKAGE_PkgConfig ON)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

get_filename_component(MINGW_WINE_RUN ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR bash ${MINGW_WINE_RUN})
