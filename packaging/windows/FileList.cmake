# SPDX-License-Identifier: MIT
# What the installer puts in its folder, for its uninstaller to take out again: every file by
# name and then every folder, the deepest first, so that nothing the user put there is touched
# and nothing of ours is left. Also the folder's size, for Windows' list of programs.
#   cmake -DFOLDER=<installed folder> -DOUTPUT=<files.nsh> -P FileList.cmake
file(GLOB_RECURSE files RELATIVE ${FOLDER} LIST_DIRECTORIES false ${FOLDER}/*)
file(GLOB_RECURSE folders RELATIVE ${FOLDER} LIST_DIRECTORIES true ${FOLDER}/*)
list(REMOVE_ITEM folders ${files})
list(SORT files)
list(SORT folders ORDER DESCENDING)

set(text "; Made by FileList.cmake from the installed folder.\n!macro REMOVE_INSTALLED_FILES\n")
set(bytes 0)
foreach(file IN LISTS files)
    file(SIZE ${FOLDER}/${file} size)
    math(EXPR bytes "${bytes} + ${size}")
    string(REPLACE "/" "\\" file "${file}")
    string(APPEND text "Delete \"$INSTDIR\\${file}\"\n")
endforeach()
foreach(folder IN LISTS folders)
    string(REPLACE "/" "\\" folder "${folder}")
    string(APPEND text "RMDir \"$INSTDIR\\${folder}\"\n")
endforeach()
math(EXPR kib "(${bytes} + 1023) / 1024")
string(APPEND text "!macroend\n!define INSTALLED_KIB ${kib}\n")
file(WRITE ${OUTPUT} "${text}")
