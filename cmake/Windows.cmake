# SPDX-License-Identifier: MIT
# What a Windows build needs beyond its sources: MinGW's runtime DLLs, which the program and
# Qt's DLLs are linked against and which a package must carry, and, when the build is a cross
# build, Wine to run its tests (scripts/wine-run).

# libstdc++, libgcc's unwinder and winpthreads, where the compiler keeps them.
set(VISTAMETER_MINGW_RUNTIME "")
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
        OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
    get_filename_component(path "${path}" REALPATH)
    if(NOT EXISTS "${path}")
        message(FATAL_ERROR "MinGW's ${dll} is not where ${CMAKE_CXX_COMPILER} says")
    endif()
    list(APPEND VISTAMETER_MINGW_RUNTIME ${path})
endforeach()

if(CMAKE_CROSSCOMPILING)
    # Every test and every program run at build time goes through Wine, in a prefix of the
    # build's own, finding Qt's DLLs and MinGW's where they lie.
    get_target_property(qt_core Qt6::Core IMPORTED_LOCATION_RELEASE)
    get_filename_component(dll_folders ${qt_core} DIRECTORY)
    foreach(dll IN LISTS VISTAMETER_MINGW_RUNTIME)
        get_filename_component(folder ${dll} DIRECTORY)
        list(APPEND dll_folders ${folder})
    endforeach()
    list(REMOVE_DUPLICATES dll_folders)
    list(JOIN dll_folders ":" dll_folders)
    set(CMAKE_CROSSCOMPILING_EMULATOR
        ${PROJECT_SOURCE_DIR}/scripts/wine-run ${PROJECT_BINARY_DIR}/wine ${dll_folders})
endif()
