// SPDX-License-Identifier: MIT
#include "Inet.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>

namespace Runtime {

namespace {

// The transfer library as the platform names a library file: libvistameter_transfer.so.
const char *const LibraryFileName = VISTAMETER_TRANSFER_LIBRARY;

} // namespace

Inet::Inet(QObject *parent) : QObject(parent) {}

QString Inet::OpenURL(const QString &url)
{
    const InetTransfer::OpenURL openUrl = transfer();
    if (!openUrl)
        return QString();

    QUrl target(url);
    if (target.port() == -1 && m_remotePort != 80)
        target.setPort(m_remotePort);

    QByteArray body;
    openUrl(target, m_requestTimeout, &body);
    return QString::fromUtf8(body);
}

InetTransfer::OpenURL Inet::transfer()
{
    if (m_openUrl)
        return m_openUrl;
    // Given the full name of a file that is there, QLibrary tries that file alone, never a
    // variation of the name.
    const QString path = QDir(m_libraryDirectory).filePath(QLatin1String(LibraryFileName));
    if (!QFileInfo(path).isFile())
        return nullptr;
    // Never unloaded once in use: sockets of a transfer are deleted after it has returned.
    QLibrary library(path);
    if (!library.load())
        return nullptr;
    m_openUrl = reinterpret_cast<InetTransfer::OpenURL>(library.resolve(InetTransfer::OpenURLName));
    // A library by that name without the entry point is let go, so that a sound one put in
    // its place is loaded afresh.
    if (!m_openUrl)
        library.unload();
    return m_openUrl;
}

} // namespace Runtime
