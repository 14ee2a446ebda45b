// SPDX-License-Identifier: MIT
#pragma once

#include "runtime/TransferInterface.h"

#include <QObject>

namespace Transfer {

// The transfer plugin that the platform layer loads at the first lookup: the HTTP client behind
// the interface the platform layer declares. The program finds it by its interface id before
// any of its code runs, so that no other file in its place is ever called.
class TransferPlugin : public QObject, public Runtime::TransferInterface
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID VistameterTransferInterface_iid)
    Q_INTERFACES(Runtime::TransferInterface)

public:
    explicit TransferPlugin(QObject *parent = nullptr);

    Runtime::TransferResult openUrl(const QUrl &url, std::chrono::milliseconds deadline) override;
};

} // namespace Transfer
