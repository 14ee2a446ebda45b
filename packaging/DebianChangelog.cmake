# SPDX-License-Identifier: MIT
# Writes CHANGELOG.md as a Debian changelog, which is what a native package's changelog.gz
# must be: an entry for each "## [VERSION] - DATE" section, each of its items a "*" paragraph
# wrapped to 80 columns.
#   cmake -DINPUT=CHANGELOG.md -DOUTPUT=changelog -DMAINTAINER="Name <address>" \
#         -P packaging/DebianChangelog.cmake

file(READ "${INPUT}" text)
# One list element a line; a semicolon in the text would split it, so it is set aside
# until the end.
string(ASCII 1 semicolon)
string(REPLACE ";" "${semicolon}" text "${text}")
string(REPLACE "\n" ";" lines "${text}")

set(changelog "")
set(version "")
set(item "")

# Appends the item gathered so far as a "*" paragraph; CJK text counts its bytes as columns,
# which only wraps it sooner.
macro(flush_item)
    if(item)
        string(REPLACE " " ";" words "${item}")
        set(row "  *")
        foreach(word IN LISTS words)
            string(LENGTH "${row} ${word}" width)
            if(width GREATER 80 AND NOT row MATCHES "^ *\\*?$")
                string(APPEND changelog "${row}\n")
                set(row "   ")
            endif()
            string(APPEND row " ${word}")
        endforeach()
        string(APPEND changelog "${row}\n")
        set(item "")
    endif()
endmacro()

# Closes the open entry, if there is one, with its maintainer and date.
macro(close_entry)
    flush_item()
    if(version)
        execute_process(COMMAND date -u -R -d "${date}" OUTPUT_VARIABLE stamp
            RESULT_VARIABLE status OUTPUT_STRIP_TRAILING_WHITESPACE)
        if(NOT status EQUAL 0)
            message(FATAL_ERROR "${INPUT}: ${version} has no date that date(1) can read")
        endif()
        string(APPEND changelog "\n -- ${MAINTAINER}  ${stamp}\n")
    endif()
endmacro()

foreach(line IN LISTS lines)
    # Markdown's emphasis and code marks mean nothing in plain text.
    string(REGEX REPLACE "\\*\\*|`" "" line "${line}")
    string(STRIP "${line}" stripped)
    if(line MATCHES "^## \\[([^]]+)\\] - ([0-9-]+)$")
        close_entry()
        set(version "${CMAKE_MATCH_1}")
        set(date "${CMAKE_MATCH_2}")
        if(changelog)
            string(APPEND changelog "\n")
        endif()
        string(APPEND changelog "vistameter (${version}) unstable; urgency=medium\n")
    elseif(NOT version OR stripped STREQUAL "")
        continue()
    elseif(line MATCHES "^### (.*)")
        set(heading "${CMAKE_MATCH_1}")
        flush_item()
        string(APPEND changelog "\n  ${heading}:\n")
    elseif(line MATCHES "^- (.*)")
        set(first_line "${CMAKE_MATCH_1}")
        flush_item()
        set(item "${first_line}")
    else()
        string(APPEND item " ${stripped}")
    endif()
endforeach()
close_entry()
string(REPLACE "${semicolon}" ";" changelog "${changelog}")
file(WRITE "${OUTPUT}" "${changelog}")
