# SPDX-License-Identifier: MIT
# Sources that differ between the systems, chosen here and nowhere else: the code has no switch
# on the system outside the files named so.

# Adds to target the sources of the system it is built for. Systems without sources of their own
# take OTHER's.
#   vistameter_system_sources(<target> WINDOWS <source>... [MACOS <source>...] OTHER <source>...)
function(vistameter_system_sources target)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "WINDOWS;MACOS;OTHER")
    if(WIN32)
        target_sources(${target} PRIVATE ${arg_WINDOWS})
    elseif(APPLE AND arg_MACOS)
        target_sources(${target} PRIVATE ${arg_MACOS})
    else()
        target_sources(${target} PRIVATE ${arg_OTHER})
    endif()
endfunction()
