# SPDX-License-Identifier: MIT
# vistameter_build_flags: the warnings, the sanitizers or the fuzzing instrumentation, and the
# hardening that every target of ours is built with. Each target links it PRIVATE, and nothing
# is set for a whole directory; vistameter_check_build_flags() makes sure no target was left
# without it.
add_library(vistameter_build_flags INTERFACE)

if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    # Qt 6 counts in signed qsizetype, so -Wsign-conversion costs no casts here and catches
    # the odd size_t mix-up. -Wshadow stays off: Lookup's constructor gives its parameters the
    # names of the members they set, the form's control names.
    target_compile_options(vistameter_build_flags INTERFACE
        -Wall -Wextra -Wpedantic -Wconversion -Wsign-conversion)
    if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        # Qt Test's QSKIP(message) leaves its macro's "..." empty, which only C++20 allows.
        target_compile_options(vistameter_build_flags INTERFACE
            -Wno-gnu-zero-variadic-macro-arguments)
    endif()
    if(VISTAMETER_WERROR)
        target_compile_options(vistameter_build_flags INTERFACE -Werror)
    endif()
    if(VISTAMETER_SANITIZE)
        # The first report ends the process, so that CTest sees it as a failed test.
        target_compile_options(vistameter_build_flags INTERFACE
            -fsanitize=${VISTAMETER_SANITIZE} -fno-sanitize-recover=all -fno-omit-frame-pointer)
        target_link_options(vistameter_build_flags INTERFACE -fsanitize=${VISTAMETER_SANITIZE})
    endif()
elseif(VISTAMETER_WERROR OR VISTAMETER_SANITIZE)
    message(FATAL_ERROR "VISTAMETER_WERROR and VISTAMETER_SANITIZE need GCC or Clang")
endif()

if(VISTAMETER_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "VISTAMETER_FUZZ needs clang (libFuzzer): configure with "
                            "-DCMAKE_CXX_COMPILER=clang++")
    endif()
    # libFuzzer steers by the branches it sees taken, so the code under fuzzing is built with
    # its coverage; the sanitizers turn a fault into a crash that it keeps. The fuzz targets
    # link libFuzzer's driver themselves (fuzz/CMakeLists.txt).
    target_compile_options(vistameter_build_flags INTERFACE
        -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all)
    target_link_options(vistameter_build_flags INTERFACE -fsanitize=address,undefined)
endif()

# Hardened binaries in every build but the sanitizer and fuzz builds, which instrument the
# code their own way: a canary in each function with a local array or an address taken,
# probed stack growth, control-flow guards on x86, checked libc calls where optimised, a
# position-independent executable, and relocations bound and made read-only at start.
#
# A target's flags stand after the packager's (CXXFLAGS and LDFLAGS, as dpkg-buildflags exports
# them, which CMake keeps in CMAKE_CXX_FLAGS and CMAKE_<KIND>_LINKER_FLAGS), and the last word
# on a command line wins. So each hardening flag is left out where the packager's flags already
# choose for its kind, either way: their choice is then the only one on the line.
if(NOT VISTAMETER_SANITIZE AND NOT VISTAMETER_FUZZ AND CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang"
   AND CMAKE_EXECUTABLE_FORMAT STREQUAL "ELF")
    set(packager_linker_flags
        "${CMAKE_EXE_LINKER_FLAGS} ${CMAKE_SHARED_LINKER_FLAGS} ${CMAKE_MODULE_LINKER_FLAGS}")
    set(hardening "")
    if(NOT CMAKE_CXX_FLAGS MATCHES "-f(no-)?stack-protector")
        list(APPEND hardening -fstack-protector-strong)
    endif()
    if(NOT CMAKE_CXX_FLAGS MATCHES "-f(no-)?stack-clash-protection")
        list(APPEND hardening -fstack-clash-protection)
    endif()
    if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64|i[3-6]86)$"
       AND NOT CMAKE_CXX_FLAGS MATCHES "-f(no-)?cf-protection")
        list(APPEND hardening -fcf-protection)
    endif()
    target_compile_options(vistameter_build_flags INTERFACE ${hardening})
    # glibc checks buffer sizes only in optimised code, and warns about the macro otherwise.
    if(NOT CMAKE_CXX_FLAGS MATCHES "_FORTIFY_SOURCE")
        target_compile_definitions(vistameter_build_flags INTERFACE
            $<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:_FORTIFY_SOURCE=2>)
    endif()
    if(NOT packager_linker_flags MATCHES "relro")
        target_link_options(vistameter_build_flags INTERFACE LINKER:-z,relro)
    endif()
    if(NOT packager_linker_flags MATCHES "(^|[ ,])(now|lazy)([ ,]|$)")
        target_link_options(vistameter_build_flags INTERFACE LINKER:-z,now)
    endif()
    include(CheckPIESupported)
    check_pie_supported()
    set_target_properties(vistameter_build_flags PROPERTIES INTERFACE_POSITION_INDEPENDENT_CODE ON)
endif()

# Fails the configuration when a target that compiles code in directory or below doesn't link
# vistameter_build_flags: it would build without the warnings, the sanitizers or the hardening,
# and nothing else would say so.
function(vistameter_check_build_flags directory)
    get_property(targets DIRECTORY ${directory} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
        get_target_property(type ${target} TYPE)
        if(type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY)$")
            get_target_property(links ${target} LINK_LIBRARIES)
            if(NOT vistameter_build_flags IN_LIST links)
                message(FATAL_ERROR "${target} doesn't link vistameter_build_flags")
            endif()
        endif()
    endforeach()
    get_property(subdirectories DIRECTORY ${directory} PROPERTY SUBDIRECTORIES)
    foreach(subdirectory IN LISTS subdirectories)
        vistameter_check_build_flags(${subdirectory})
    endforeach()
endfunction()
cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR}
    CALL vistameter_check_build_flags ${PROJECT_SOURCE_DIR})
