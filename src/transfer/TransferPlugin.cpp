// SPDX-License-Identifier: MIT
#include "TransferPlugin.h"

#include "HttpGet.h"

namespace Transfer {

TransferPlugin::TransferPlugin(QObject *parent) : QObject(parent) {}

Runtime::TransferResult TransferPlugin::openUrl(const QUrl &url, std::chrono::milliseconds deadline)
{
    const HttpGet::Result result = HttpGet::fetch(url, deadline);
    if (result.error.reason == TransferError::Reason::None)
        return {result.body, {}};
    return {{}, {Runtime::TransferStatus::Failed, result.error.description()}};
}

} // namespace Transfer
