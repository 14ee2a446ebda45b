// SPDX-License-Identifier: MIT
// The transfer library's entry point, which Inet finds by its name.
#include "InetTransfer.h"

#include "transfer/HttpGet.h"

#include <QEventLoop>

#include <type_traits>

extern "C" Q_DECL_EXPORT void Inet_OpenURL(const QUrl &url, std::chrono::milliseconds deadline,
                                           QByteArray *body)
{
    using Transfer::HttpGet;
    HttpGet transfer;
    QEventLoop loop;
    QObject::connect(&transfer, &HttpGet::finished, &loop, &QEventLoop::quit);
    transfer.start(url, deadline);
    if (!transfer.isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    // The loop also ends when the whole application is told to quit.
    transfer.abort();
    *body = transfer.body();
}

// Checked where both sides are compiled together: the type Inet calls through is this one.
static_assert(std::is_same_v<decltype(&Inet_OpenURL), Runtime::InetTransfer::OpenURL>);
