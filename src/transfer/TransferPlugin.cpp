// SPDX-License-Identifier: MIT
#include "TransferPlugin.h"

#include "HttpGet.h"

namespace Transfer {

TransferPlugin::TransferPlugin(QObject *parent) : QObject(parent) {}

Runtime::TransferResult TransferPlugin::openUrl(const QUrl &url, std::chrono::milliseconds deadline)
{
    return HttpGet::fetch(url, deadline);
}

} // namespace Transfer
