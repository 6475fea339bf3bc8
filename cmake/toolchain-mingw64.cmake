# Cross build of the Qt-free layers for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64).
# The programs link the compiler's run-time libraries statically, so they run under Wine as they are.
#
#   cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake \
#         -DVARNO_BUILD_GUI=OFF -DVARNO_BUILD_STANDIN=OFF -DVARNO_WINDOWS_TESTS=ON

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VARNO_MINGW_TRIPLET x86_64-w64-mingw32)

# The POSIX thread model gives std::thread and std::mutex; the win32 one of GCC 12 has neither.
find_program(CMAKE_C_COMPILER NAMES ${VARNO_MINGW_TRIPLET}-gcc-posix ${VARNO_MINGW_TRIPLET}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${VARNO_MINGW_TRIPLET}-g++-posix ${VARNO_MINGW_TRIPLET}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${VARNO_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VARNO_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# No DLL hunting under Wine: libstdc++, libgcc and winpthread go into every program.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Tests registered with CTest run under Wine (the environment, a Wine prefix and a display, is the
# caller's: scripts/run-win-tests.sh sets it up).
find_program(VARNO_WINE_PROGRAM NAMES wine64 wine)
if(VARNO_WINE_PROGRAM)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${VARNO_WINE_PROGRAM})
endif()

# GoogleTest is built from Debian's sources (googletest) with this same compiler; find_package(GTest)
# finds the package file that does so.
set(GTest_DIR ${CMAKE_CURRENT_LIST_DIR}/mingw-googletest)
