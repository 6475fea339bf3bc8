# GoogleTest for the Windows cross build, compiled from Debian's sources with the cross compiler
# instead of being found prebuilt for the build machine.
set(VARNO_GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources for the cross build")

if(NOT EXISTS ${VARNO_GOOGLETEST_SOURCE_DIR}/CMakeLists.txt)
    set(GTest_FOUND FALSE)
    set(GTest_NOT_FOUND_MESSAGE "No GoogleTest sources in ${VARNO_GOOGLETEST_SOURCE_DIR} (Debian package googletest)")
    return()
endif()

if(NOT TARGET gtest)
    set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
    # GoogleTest's own code is not held to this project's warning flags.
    get_directory_property(varno_compile_options COMPILE_OPTIONS)
    set_directory_properties(PROPERTIES COMPILE_OPTIONS "")
    add_subdirectory(${VARNO_GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    set_directory_properties(PROPERTIES COMPILE_OPTIONS "${varno_compile_options}")
    unset(varno_compile_options)
endif()

foreach(library gtest gtest_main gmock gmock_main)
    if(NOT TARGET GTest::${library})
        add_library(GTest::${library} ALIAS ${library})
    endif()
endforeach()

set(GTest_FOUND TRUE)
