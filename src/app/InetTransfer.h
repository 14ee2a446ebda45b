// SPDX-License-Identifier: MIT
#pragma once

#include "lookup/LookupTransfer.h"

namespace Runtime {
class Inet;
} // namespace Runtime

// The lookup's transfer in the window: an Internet transfer control, In2.
class InetTransfer : public LookupTransfer
{
public:
    explicit InetTransfer(Runtime::Inet &inet) : m_inet(inet) {}

    // Fetches url through the control, which ends the transfer at deadline.
    Reply fetch(const QString &url, std::chrono::milliseconds deadline) override;

private:
    Runtime::Inet &m_inet;
};
