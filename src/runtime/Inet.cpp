// SPDX-License-Identifier: MIT
#include "Inet.h"

#include "Library.h"

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
    // Never unloaded once in use: sockets of a transfer are deleted after it has returned.
    if (!m_openUrl)
        m_openUrl = reinterpret_cast<InetTransfer::OpenURL>(
            LoadEntryPoint(m_libraryDirectory, LibraryFileName, InetTransfer::OpenURLName)
                .function);
    return m_openUrl;
}

} // namespace Runtime
