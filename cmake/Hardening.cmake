# SPDX-License-Identifier: MIT
# Compiler warnings, sanitizers and fuzz targets; scripts/dev test turns the strict parts on.

option(VISTAMETER_WERROR "Treat compiler warnings as errors" OFF)
set(VISTAMETER_SANITIZE "" CACHE STRING
    "Sanitizers that everything is built with, as -fsanitize= lists them (address,undefined)")
option(VISTAMETER_FUZZ "Build the libFuzzer targets in fuzz/ (needs clang)" OFF)

if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    # Qt 6 counts in signed qsizetype, so -Wsign-conversion costs no casts here and catches
    # the odd size_t mix-up. -Wshadow stays off: Lookup's constructor gives its parameters the
    # names of the members they set, the form's control names.
    add_compile_options(-Wall -Wextra -Wpedantic -Wconversion -Wsign-conversion)
    if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        # Qt Test's QSKIP(message) leaves its macro's "..." empty, which only C++20 allows.
        add_compile_options(-Wno-gnu-zero-variadic-macro-arguments)
    endif()
    if(VISTAMETER_WERROR)
        add_compile_options(-Werror)
    endif()
    if(VISTAMETER_SANITIZE)
        # The first report ends the process, so that CTest sees it as a failed test.
        add_compile_options(-fsanitize=${VISTAMETER_SANITIZE} -fno-sanitize-recover=all
                            -fno-omit-frame-pointer)
        add_link_options(-fsanitize=${VISTAMETER_SANITIZE})
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
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all)
    add_link_options(-fsanitize=address,undefined)
endif()

# Hardened binaries in every build but the sanitizer and fuzz builds, which instrument the
# code their own way: a canary in each function with a local array or an address taken,
# probed stack growth, control-flow guards on x86, checked libc calls where optimised, a
# position-independent executable, and relocations bound and made read-only at start.
# The flags stand before the packager's (CXXFLAGS and LDFLAGS, as dpkg-buildflags exports
# them), so that a packager's own choice has the last word.
if(NOT VISTAMETER_SANITIZE AND NOT VISTAMETER_FUZZ AND CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang"
   AND CMAKE_EXECUTABLE_FORMAT STREQUAL "ELF")
    set(hardening "-fstack-protector-strong -fstack-clash-protection")
    if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64|i[3-6]86)$")
        string(APPEND hardening " -fcf-protection")
    endif()
    # glibc checks buffer sizes only in optimised code, and warns about the macro otherwise.
    if(NOT CMAKE_CXX_FLAGS MATCHES "_FORTIFY_SOURCE")
        add_compile_definitions($<$<OR:$<CONFIG:Release>,$<CONFIG:RelWithDebInfo>,$<CONFIG:MinSizeRel>>:_FORTIFY_SOURCE=2>)
    endif()
    string(PREPEND CMAKE_CXX_FLAGS "${hardening} ")
    foreach(kind EXE SHARED MODULE)
        string(PREPEND CMAKE_${kind}_LINKER_FLAGS "-Wl,-z,relro,-z,now ")
    endforeach()
    include(CheckPIESupported)
    check_pie_supported()
    set(CMAKE_POSITION_INDEPENDENT_CODE ON)
endif()
