// SPDX-License-Identifier: MIT
#include "Inet.h"

#include "App.h"

#include "text/MessageText.h"

#include "config.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QPluginLoader>

namespace Runtime {

namespace {

// Quiet unless QT_LOGGING_RULES turns it on: a plugin refused logs at the info level.
Q_LOGGING_CATEGORY(lcPlugin, "vistameter.transfer.plugin", QtWarningMsg)

// The transfer plugin as the platform names a library file: libvistameter_transfer.so.
const char *const PluginFileName = VISTAMETER_TRANSFER_PLUGIN_FILE;

} // namespace

Inet::Inet(QObject *parent) : QObject(parent) {}

QString Inet::OpenURL(const QString &url)
{
    TransferInterface *const plugin = transfer();
    if (!plugin)
        return QString();

    // The remote port is the port of plain HTTP; an https address keeps its own.
    QUrl target(url);
    if (target.scheme() == QLatin1String("http") && target.port() == -1 && m_remotePort != 80)
        target.setPort(m_remotePort);

    const TransferResult result = plugin->openUrl(target, m_requestTimeout);
    m_lastError = result.end;
    return QString::fromUtf8(result.body);
}

TransferInterface *Inet::transfer()
{
    if (m_transfer)
        return m_transfer;
    const QString path = QDir(m_libraryDirectory.isEmpty() ? App::Path() : m_libraryDirectory)
                             .filePath(QLatin1String(PluginFileName));
    const auto refuse = [this, &path](TransferStatus status, const QString &why) {
        const QString what = status == TransferStatus::PluginMissing
                                 ? QStringLiteral("transfer plugin missing: ")
                                 : QStringLiteral("not our transfer plugin: ");
        m_lastError = {status,
                       what + loggable(why.isEmpty() ? path : path + QLatin1String(": ") + why)};
        qCInfo(lcPlugin).noquote() << m_lastError.reason;
        return nullptr;
    };
    // Given a file that isn't there, QPluginLoader would try other names and folders.
    if (!QFileInfo(path).isFile())
        return refuse(TransferStatus::PluginMissing, QString());

    QPluginLoader loader(path);
    // Qt reads a plugin's metadata from the file without running any of it: a file that is no
    // plugin of this interface, whatever it exports, is never loaded.
    const QString iid = loader.metaData().value(QLatin1String("IID")).toString();
    if (iid != QLatin1String(VistameterTransferInterface_iid)) {
        return refuse(TransferStatus::PluginNotOurs, iid.isEmpty()
                                                         ? loader.errorString()
                                                         : QStringLiteral("interface %1").arg(iid));
    }
    // Unloaded again if it isn't sound after all, so that a sound one put in its place loads
    // afresh at the next call.
    loader.setLoadHints(QLibrary::LoadHints());
    auto *plugin = qobject_cast<TransferInterface *>(loader.instance());
    if (!plugin) {
        const QString why = loader.errorString();
        loader.unload();
        return refuse(TransferStatus::PluginNotOurs, why);
    }
    // Kept for the program's life once in use, as Qt keeps every plugin it loads.
    m_transfer = plugin;
    return m_transfer;
}

} // namespace Runtime
