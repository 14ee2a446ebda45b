// SPDX-License-Identifier: MIT
#include "Library.h"

#include "platform/Platform.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>

namespace Runtime {

EntryPoint loadEntryPoint(const QString &directory, const char *fileName, const char *name)
{
    EntryPoint entry;
    entry.path = QDir(directory).filePath(QLatin1String(fileName));
    // Given the full name of a file that is there, QLibrary tries that file alone.
    if (!QFileInfo(entry.path).isFile())
        return entry;
    QLibrary library(entry.path);
    entry.libraryLoaded = library.load();
    if (!entry.libraryLoaded) {
        entry.error = library.errorString();
        return entry;
    }
    entry.function = entryPointInCode(library, name);
    if (!entry.function)
        library.unload();
    return entry;
}

QFunctionPointer entryPointInCode(QLibrary &library, const char *name)
{
    const QFunctionPointer function = library.resolve(name);
    return function && Platform::isCodeOfLibrary(function, library.fileName()) ? function : nullptr;
}

} // namespace Runtime
