// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>

#include <chrono>

// What the platform layer asks of the transfer plugin. QtCore only: the program includes this
// without mapping Qt Network, and the plugin and the HTTP client include it and nothing else of
// the platform layer. Why a transfer failed crosses it as one line of text; the client's own
// list of reasons stays in the plugin.
namespace Runtime {

// How a transfer ended, in the kinds that the program tells apart.
enum class TransferStatus {
    Succeeded,
    Failed,        // the transfer itself failed; the reason says why
    PluginMissing, // no transfer plugin at its path
    PluginNotOurs, // the file there is no transfer plugin of this program
};

// How a transfer ended, and why.
struct TransferEnd
{
    TransferStatus status = TransferStatus::Succeeded;
    // Why it failed, one line for the log, which quotes a server's or a proxy variable's text
    // only as loggable() writes it; empty when it succeeded.
    QString reason;
};

// A transfer's outcome: the body when it succeeded, and how it ended.
struct TransferResult
{
    QByteArray body;
    TransferEnd end;
};

// The transfer plugin's one interface.
class TransferInterface
{
public:
    virtual ~TransferInterface() = default;

    // Fetches url with one GET, following redirects. Returns only when the transfer has ended,
    // at the latest after deadline or when the application quits; meanwhile windows are
    // painted but take no input. Ends as Succeeded or Failed.
    virtual TransferResult openUrl(const QUrl &url, std::chrono::milliseconds deadline) = 0;
};

} // namespace Runtime

// The plugin's interface id. Its number goes up whenever the interface changes, so that a
// plugin built against another one is refused before any of its code runs.
#define VistameterTransferInterface_iid "vistameter.Transfer/3"
Q_DECLARE_INTERFACE(Runtime::TransferInterface, VistameterTransferInterface_iid)
