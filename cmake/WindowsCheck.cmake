# SPDX-License-Identifier: MIT
# What the Windows syntax check (scripts/windows-check) reads. Debian has no Qt for Windows,
# but MinGW can compile each source that a Windows build compiles, up to its syntax, against
# Debian's Qt headers. For every target of the program, this writes to windows-check/ in the
# build tree the target's sources as a Windows build takes them and the macros and include
# directories it compiles them with, one a line.

# Adds to target the sources of the system it is built for, and keeps the Windows ones for the
# check. Systems without sources of their own take OTHER's.
#   vistameter_system_sources(<target> WINDOWS <source>... [MACOS <source>...] OTHER <source>...)
function(vistameter_system_sources target)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "WINDOWS;MACOS;OTHER")
    if(WIN32)
        set(chosen ${arg_WINDOWS})
    elseif(APPLE AND arg_MACOS)
        set(chosen ${arg_MACOS})
    else()
        set(chosen ${arg_OTHER})
    endif()
    target_sources(${target} PRIVATE ${chosen})
    set_target_properties(${target} PROPERTIES
        VISTAMETER_SYSTEM_SOURCES "${chosen}" VISTAMETER_WINDOWS_SOURCES "${arg_WINDOWS}")
endfunction()

# The macros that Qt for MinGW gives every target that uses it; the compiler defines _WIN32.
set(VISTAMETER_WINDOWS_DEFINITIONS UNICODE _UNICODE WIN32 MINGW_HAS_SECURE_API=1)

# The lists are written afresh at every configuration, so that none outlives its target.
set(VISTAMETER_WINDOWS_LISTS ${PROJECT_BINARY_DIR}/windows-check)
file(REMOVE_RECURSE ${VISTAMETER_WINDOWS_LISTS})
file(WRITE ${VISTAMETER_WINDOWS_LISTS}/standard "-std=c++${CMAKE_CXX_STANDARD}\n")
# The folders the compiler searches by itself, such as /usr/include, which a target's list may
# name (through Qt's) but the build leaves off its command lines. Passed to MinGW, they would put
# glibc's headers before its own.
list(JOIN CMAKE_CXX_IMPLICIT_INCLUDE_DIRECTORIES "\n" implicit)
file(WRITE ${VISTAMETER_WINDOWS_LISTS}/implicit-includes "${implicit}\n")
# Our own folders; every other folder is a system one, whose headers raise no warnings.
file(WRITE ${VISTAMETER_WINDOWS_LISTS}/own-folders "${PROJECT_SOURCE_DIR}\n${PROJECT_BINARY_DIR}\n")

# Writes the lists for every target that compiles code in directory.
function(vistameter_windows_check directory)
    set(lists ${VISTAMETER_WINDOWS_LISTS})
    get_property(targets DIRECTORY ${directory} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
        get_target_property(type ${target} TYPE)
        if(NOT type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY)$")
            continue()
        endif()
        get_target_property(source_dir ${target} SOURCE_DIR)
        get_target_property(sources ${target} SOURCES)
        get_target_property(system_sources ${target} VISTAMETER_SYSTEM_SOURCES)
        get_target_property(windows_sources ${target} VISTAMETER_WINDOWS_SOURCES)
        if(system_sources)
            list(REMOVE_ITEM sources ${system_sources})
        endif()
        if(windows_sources)
            list(APPEND sources ${windows_sources})
        endif()
        # C++ sources and Windows resource scripts of ours; not what Qt's tools generate in the
        # build tree.
        set(checked "")
        foreach(source IN LISTS sources)
            get_filename_component(source ${source} ABSOLUTE BASE_DIR ${source_dir})
            string(FIND "${source}" "${PROJECT_SOURCE_DIR}/" in_sources)
            string(FIND "${source}" "${PROJECT_BINARY_DIR}/" in_build)
            if(source MATCHES "\\.(cpp|rc)$" AND in_sources EQUAL 0 AND NOT in_build EQUAL 0)
                list(APPEND checked ${source})
            endif()
        endforeach()
        if(NOT checked)
            continue()
        endif()
        list(JOIN checked "\n" checked)
        file(GENERATE OUTPUT ${lists}/${target}.sources CONTENT "${checked}\n")
        # Less the hardening's, which only a build for ELF systems has.
        set(definitions "$<TARGET_PROPERTY:${target},COMPILE_DEFINITIONS>")
        set(definitions "$<FILTER:${definitions},EXCLUDE,^_FORTIFY_SOURCE>")
        file(GENERATE OUTPUT ${lists}/${target}.definitions CONTENT
            "$<JOIN:${definitions};${VISTAMETER_WINDOWS_DEFINITIONS},\n>\n")
        file(GENERATE OUTPUT ${lists}/${target}.includes CONTENT
            "$<JOIN:$<REMOVE_DUPLICATES:$<TARGET_PROPERTY:${target},INCLUDE_DIRECTORIES>>,\n>\n")
    endforeach()
endfunction()
