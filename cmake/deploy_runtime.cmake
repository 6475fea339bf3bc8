# Copies the DLLs a Windows program imports, read from its import table and those of the DLLs it finds, from the
# given folders into DESTINATION; Qt's platform plugin goes into DESTINATION/platforms when a program loads Qt's Gui.
# DLLs not in those folders are the system's own and stay out. (CMake's own GET_RUNTIME_DEPENDENCIES lower-cases the
# names it looks for, which finds no Qt6Core.dll on a Linux file system.)
#
#   cmake -DPROGRAMS="a.exe;b.exe" -DDESTINATION=dir -DDLL_DIRS="dir1;dir2" -DOBJDUMP=...-objdump
#         [-DQT_PLUGINS=dir] [-DLIST_FILE=file] -P deploy_runtime.cmake
#
# LIST_FILE receives the deployed files, one a line, relative to DESTINATION (for the installer).
cmake_minimum_required(VERSION 3.25)

foreach(required PROGRAMS DESTINATION DLL_DIRS OBJDUMP)
    if(NOT ${required})
        message(FATAL_ERROR "deploy_runtime.cmake: ${required} is not set")
    endif()
endforeach()

# Every DLL the folders hold, by lower-case name: Windows finds DLLs whatever their case.
foreach(directory ${DLL_DIRS})
    file(GLOB dlls "${directory}/*.dll")
    foreach(dll ${dlls})
        get_filename_component(name "${dll}" NAME)
        string(TOLOWER "${name}" key)
        if(NOT DEFINED available_${key})
            set(available_${key} "${dll}")
        endif()
    endforeach()
endforeach()

# The DLL names in a file's import table.
function(imports_of file out)
    execute_process(COMMAND ${OBJDUMP} -p "${file}" OUTPUT_VARIABLE dump RESULT_VARIABLE failed ERROR_QUIET)
    if(failed)
        message(FATAL_ERROR "deploy_runtime.cmake: cannot read the import table of ${file}")
    endif()
    string(REGEX MATCHALL "DLL Name: [^\n]+" lines "${dump}")
    set(names)
    foreach(line ${lines})
        string(REGEX REPLACE "^DLL Name: ([^\r\n]+).*" "\\1" name "${line}")
        string(STRIP "${name}" name)
        list(APPEND names "${name}")
    endforeach()
    set(${out} ${names} PARENT_SCOPE)
endfunction()

set(pending ${PROGRAMS})
set(found)
set(loads_gui FALSE)
set(plugin)
if(QT_PLUGINS AND EXISTS "${QT_PLUGINS}/platforms/qwindows.dll")
    set(plugin "${QT_PLUGINS}/platforms/qwindows.dll")
endif()
while(pending)
    list(POP_FRONT pending file)
    imports_of("${file}" names)
    foreach(name ${names})
        string(TOLOWER "${name}" key)
        if(key STREQUAL "qt6gui.dll" AND plugin AND NOT loads_gui)
            set(loads_gui TRUE)
            list(APPEND pending "${plugin}")
        endif()
        if(DEFINED available_${key} AND NOT key IN_LIST found)
            list(APPEND found ${key})
            list(APPEND pending "${available_${key}}")
        endif()
    endforeach()
endwhile()

set(deployed)
foreach(key ${found})
    file(COPY "${available_${key}}" DESTINATION "${DESTINATION}")
    get_filename_component(name "${available_${key}}" NAME)
    list(APPEND deployed ${name})
endforeach()
if(loads_gui)
    file(COPY "${plugin}" DESTINATION "${DESTINATION}/platforms")
    list(APPEND deployed platforms/qwindows.dll)
endif()

if(LIST_FILE)
    list(SORT deployed)
    list(JOIN deployed "\n" text)
    file(WRITE "${LIST_FILE}" "${text}\n")
endif()
