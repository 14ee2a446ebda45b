// SPDX-License-Identifier: MIT
#include "InetTransfer.h"

#include "runtime/Inet.h"

LookupTransfer::Reply InetTransfer::fetch(const QString &url, std::chrono::milliseconds deadline)
{
    m_inet.setRequestTimeout(deadline);
    const QString body = m_inet.OpenURL(url);
    const Runtime::TransferEnd &end = m_inet.lastError();
    return {end.status == Runtime::TransferStatus::Succeeded, body, end.reason};
}
