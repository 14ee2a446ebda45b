// SPDX-License-Identifier: MIT
#include "SkinH.h"

#include "RuntimeError.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>

namespace Runtime {

namespace {

// SkinH_VB6 as the platform names a library file: libSkinH_VB6.so, SkinH_VB6.dll.
const char *const LibraryFileName = VISTAMETER_SKIN_ENGINE;

} // namespace

int SkinH::SkinH_AttachEx(const QString &lpSkinFile, const QString &lpPasswd)
{
    if (!m_attachEx) {
        // QLibrary tries other names (with "lib", a suffix) when the one given doesn't load;
        // given the full name of a file that is there, it tries that file alone.
        const QString path = QDir(m_libraryDirectory).filePath(QLatin1String(LibraryFileName));
        if (!QFileInfo(path).isFile())
            throw RuntimeError(53, QStringLiteral("找不到文件: %1").arg(path));
        // Never unloaded: the engine keeps drawing the application after the call.
        QLibrary library(path);
        if (!library.load())
            throw RuntimeError(
                53, QStringLiteral("找不到文件: %1 (%2)").arg(path, library.errorString()));
        m_attachEx = reinterpret_cast<AttachEx>(library.resolve(AttachExName));
        if (!m_attachEx)
            throw RuntimeError(453, QStringLiteral("找不到 DLL 入口点 %1 于 %2")
                                        .arg(QLatin1String(AttachExName), path));
    }
    return m_attachEx(lpSkinFile.toLocal8Bit().constData(), lpPasswd.toLocal8Bit().constData());
}

} // namespace Runtime
