// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QtGlobal>

class QLibrary;

namespace Runtime {

// An entry point of a library that is loaded by the exact name of its file, never by a
// variation of it (QLibrary tries "lib" and suffixes when the name given doesn't load).
struct EntryPoint
{
    QFunctionPointer function = nullptr; // null when the library or the entry point is missing
    bool libraryLoaded = false;          // the file is there and loads as a library
    QString path;                        // the library's file
    QString error;                       // why a file that is there didn't load
};

// Loads fileName from directory and looks up name in it, an entry point only where it lies in
// the library's code (an exported datum of that name is none). A library that has the entry point
// stays loaded for good; one that lacks it is let go, so that a sound one put in its place
// loads afresh.
EntryPoint loadEntryPoint(const QString &directory, const char *fileName, const char *name);

// The entry point name of library, which is loaded from its file: only where it lies in the
// library's code, as calling an exported datum of that name would crash the program; null
// otherwise.
QFunctionPointer entryPointInCode(QLibrary &library, const char *name);

} // namespace Runtime
