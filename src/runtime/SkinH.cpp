// SPDX-License-Identifier: MIT
#include "SkinH.h"

#include "Library.h"
#include "RuntimeError.h"

#include "config.h"

namespace Runtime {

namespace {

// SkinH_VB6 as the platform names a library file: libSkinH_VB6.so, SkinH_VB6.dll.
const char *const LibraryFileName = VISTAMETER_SKIN_ENGINE_FILE;

} // namespace

int SkinH::SkinH_AttachEx(const QString &skinFile, const QString &password)
{
    if (!m_attachEx) {
        // Never unloaded: the engine keeps drawing the application after the call.
        const EntryPoint entry = loadEntryPoint(m_libraryDirectory, LibraryFileName, AttachExName);
        if (!entry.libraryLoaded) {
            QString description = QStringLiteral("找不到文件: %1").arg(entry.path);
            if (!entry.error.isEmpty())
                description += QStringLiteral(" (%1)").arg(entry.error);
            throw RuntimeError(53, description);
        }
        m_attachEx = reinterpret_cast<AttachEx>(entry.function);
        if (!m_attachEx)
            throw RuntimeError(453, QStringLiteral("找不到 DLL 入口点 %1 于 %2")
                                        .arg(QLatin1String(AttachExName), entry.path));
    }
    return m_attachEx(skinFile.toLocal8Bit().constData(), password.toLocal8Bit().constData());
}

} // namespace Runtime
