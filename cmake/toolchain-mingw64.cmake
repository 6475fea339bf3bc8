# Cross build for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64), against the Qt for Windows that
# scripts/build-qt-mingw.sh builds (VARNO_QT_MINGW names its folder; without it only the Qt-free layers build).
#
#   cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake \
#         -DVARNO_QT_MINGW=$(scripts/build-qt-mingw.sh | tail -1) -DVARNO_WINDOWS_TESTS=ON
#
# The programs load the compiler's run-time libraries (libstdc++, libgcc, winpthread) as DLLs, as Qt's own DLLs
# do, so that one copy of each serves the whole process; the build copies them beside every program.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VARNO_MINGW_TRIPLET x86_64-w64-mingw32)

# The POSIX thread model gives std::thread and std::mutex; the win32 one of GCC 12 has neither.
find_program(CMAKE_C_COMPILER NAMES ${VARNO_MINGW_TRIPLET}-gcc-posix ${VARNO_MINGW_TRIPLET}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${VARNO_MINGW_TRIPLET}-g++-posix ${VARNO_MINGW_TRIPLET}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${VARNO_MINGW_TRIPLET}-windres)
find_program(VARNO_MINGW_OBJDUMP NAMES ${VARNO_MINGW_TRIPLET}-objdump REQUIRED)

set(CMAKE_FIND_ROOT_PATH /usr/${VARNO_MINGW_TRIPLET})
if(VARNO_QT_MINGW)
    list(APPEND CMAKE_FIND_ROOT_PATH ${VARNO_QT_MINGW})
    list(APPEND CMAKE_PREFIX_PATH ${VARNO_QT_MINGW})
    # The host's moc, rcc and uic, of the same Qt version.
    set(QT_HOST_PATH /usr)
    set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Where the DLLs the programs import are found: the compiler's run-time libraries, then Qt's.
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libstdc++-6.dll
                OUTPUT_VARIABLE varno_libstdcxx OUTPUT_STRIP_TRAILING_WHITESPACE)
get_filename_component(varno_gcc_dlls "${varno_libstdcxx}" DIRECTORY)
set(VARNO_MINGW_DLL_DIRS ${varno_gcc_dlls} /usr/${VARNO_MINGW_TRIPLET}/lib)
if(VARNO_QT_MINGW)
    list(APPEND VARNO_MINGW_DLL_DIRS ${VARNO_QT_MINGW}/bin)
endif()

# Tests registered with CTest run under Wine (the environment, a Wine prefix and a display, is the
# caller's: scripts/run-win-tests.sh sets it up).
find_program(VARNO_WINE_PROGRAM NAMES wine64 wine)
if(VARNO_WINE_PROGRAM)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${VARNO_WINE_PROGRAM})
endif()

# GoogleTest is built from Debian's sources (googletest) with this same compiler; find_package(GTest)
# finds the package file that does so.
set(GTest_DIR ${CMAKE_CURRENT_LIST_DIR}/mingw-googletest)
