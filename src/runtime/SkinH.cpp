// SPDX-License-Identifier: MIT
#include "SkinH.h"

#include "RuntimeError.h"

#include <QDir>
#include <QLibrary>

namespace Runtime {

int SkinH::SkinH_AttachEx(const QString &lpSkinFile, const QString &lpPasswd)
{
    if (!m_attachEx) {
        // Never unloaded: the engine keeps drawing the application after the call.
        QLibrary library(QDir(m_libraryDirectory).filePath(QLatin1String(LibraryName)));
        if (!library.load())
            throw RuntimeError(53, QStringLiteral("找不到文件: %1 (%2)")
                                       .arg(library.fileName(), library.errorString()));
        m_attachEx = reinterpret_cast<AttachEx>(library.resolve(AttachExName));
        if (!m_attachEx)
            throw RuntimeError(453, QStringLiteral("找不到 DLL 入口点 %1 于 %2")
                                        .arg(QLatin1String(AttachExName), library.fileName()));
    }
    return m_attachEx(lpSkinFile.toLocal8Bit().constData(), lpPasswd.toLocal8Bit().constData());
}

} // namespace Runtime
