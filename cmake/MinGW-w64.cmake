# SPDX-License-Identifier: MIT
# Cross-building for 64-bit Windows on Debian, with MinGW-w64's compilers of the posix thread
# model (g++-mingw-w64-x86-64-posix: std::thread and std::mutex need it). Both Qt for Windows
# (scripts/windows-qt) and Vistameter (scripts/dev windows) are built with this file.
#
#   -DCMAKE_TOOLCHAIN_FILE=cmake/MinGW-w64.cmake
#   -DVISTAMETER_WINDOWS_QT=<prefix>   Qt for Windows, as scripts/windows-qt installed it; left
#                                      out while Qt itself is being built
#
# Qt's tools (moc, rcc, uic) run on the build machine: they come from Debian's own Qt, which
# must be the same version as the Qt for Windows.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

set(mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw}-windres)

# Headers, libraries and packages come from MinGW's tree and from Qt for Windows alone, never
# from the build machine's /usr; programs come from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${mingw})
if(VISTAMETER_WINDOWS_QT)
    list(APPEND CMAKE_FIND_ROOT_PATH ${VISTAMETER_WINDOWS_QT})
    list(APPEND CMAKE_PREFIX_PATH ${VISTAMETER_WINDOWS_QT})
    set(QT_HOST_PATH /usr)
    set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The checks that CMake compiles on its own see the same Qt.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VISTAMETER_WINDOWS_QT)
