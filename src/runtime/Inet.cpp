// SPDX-License-Identifier: MIT
#include "Inet.h"

#include "App.h"
#include "Library.h"
#include "platform/Platform.h"

#include "text/MessageText.h"

#include "config.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QLibrary>
#include <QLoggingCategory>
#include <QPluginLoader>
#include <QTemporaryDir>

#include <optional>

namespace Runtime {

namespace {

// Quiet unless QT_LOGGING_RULES turns it on: a plugin refused logs at the info level.
Q_LOGGING_CATEGORY(lcPlugin, "vistameter.transfer.plugin", QtWarningMsg)

// The transfer plugin as the platform names a library file: libvistameter_transfer.so.
const char *const PluginFileName = VISTAMETER_TRANSFER_PLUGIN_FILE;
// The function of a Qt plugin that makes its instance.
const char *const InstanceEntryPoint = "qt_plugin_instance";

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

    // A plugin refused once it was loaded is let go, but the system may keep it: a library with
    // GNU unique symbols, as any Qt plugin built with default visibility has, can't be
    // unloaded, and the system would hand it back for its file's name even once another file
    // lies there. Then every later attempt loads a copy under a name of its own, which the
    // system has never seen; where the system allows it, the copy goes as soon as it is loaded.
    std::optional<QTemporaryDir> ownName;
    QString loaded = path;
    if (m_loadUnderOwnName) {
        ownName.emplace();
        loaded = ownName->filePath(QLatin1String(PluginFileName));
        if (!ownName->isValid() || !QFile::copy(path, loaded))
            return refuse(TransferStatus::PluginNotOurs,
                          QStringLiteral("no copy to load under a name of its own in %1")
                              .arg(QDir::tempPath()));
    }

    QPluginLoader loader(loaded);
    // Qt reads a plugin's metadata from the file without running any of it: a file that is no
    // plugin of this interface, whatever it exports, is never loaded.
    const QString iid = loader.metaData().value(QLatin1String("IID")).toString();
    if (iid != QLatin1String(VistameterTransferInterface_iid)) {
        return refuse(TransferStatus::PluginNotOurs, iid.isEmpty()
                                                         ? loader.errorString()
                                                         : QStringLiteral("interface %1").arg(iid));
    }
    QLibrary library(loaded);
    if (!library.load())
        return refuse(TransferStatus::PluginNotOurs, library.errorString());
    const auto letGo = [&] {
        loader.unload();
        library.unload();
        m_loadUnderOwnName = m_loadUnderOwnName || Platform::isLoaded(loaded);
    };
    // Qt calls the instance function that it finds by name, and would crash on one exported
    // as data: it is looked for in the plugin's code first.
    if (!entryPointInCode(library, InstanceEntryPoint)) {
        letGo();
        return refuse(
            TransferStatus::PluginNotOurs,
            QStringLiteral("no entry point %1 in its code").arg(QLatin1String(InstanceEntryPoint)));
    }
    auto *plugin = qobject_cast<TransferInterface *>(loader.instance());
    if (!plugin) {
        const QString why = loader.errorString();
        letGo();
        return refuse(TransferStatus::PluginNotOurs, why);
    }
    // Kept for the program's life once in use, as Qt keeps every plugin it loads.
    m_transfer = plugin;
    return m_transfer;
}

} // namespace Runtime
