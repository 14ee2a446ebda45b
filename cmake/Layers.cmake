# SPDX-License-Identifier: MIT
# The layers' include roots. Every header of ours is included as layer/File.h, but a target
# sees only the layers it may use: a layer's include directory is a folder of the build tree
# holding one symbolic link, named after the layer, to the layer's folder in src/ (or to one
# header of it). A target that doesn't link a layer has no directory in which "layer/File.h"
# could be found, so an include that runs up fails to compile.

# Makes path (a folder of src/, or one header in it) the include root of target: PUBLIC for a
# library, INTERFACE for a target that compiles nothing.
function(vistameter_include_root target path)
    set(root ${PROJECT_BINARY_DIR}/layers/${target})
    get_filename_component(parent ${root}/${path} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${path} ${root}/${path} RESULT failed SYMBOLIC)
    # Windows allows symbolic links only in its developer mode. Without them src/ is every
    # layer's root: the build works but doesn't refuse an include that runs up; CI's does.
    if(failed)
        message(WARNING "No symbolic link for ${target}'s include root (${failed}): in this "
                        "build an include that runs up between the layers compiles.")
        set(root ${PROJECT_SOURCE_DIR}/src)
    endif()
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY")
        target_include_directories(${target} INTERFACE ${root})
    else()
        target_include_directories(${target} PUBLIC ${root})
    endif()
endfunction()
