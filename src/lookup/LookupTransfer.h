// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <chrono>

// What a lookup asks of a transfer: one GET of an address within a deadline, and the body that
// came back or why none did.
class LookupTransfer
{
public:
    // How the transfer ended.
    struct Reply
    {
        bool succeeded = false;
        QString body;   // the reply's body, decoded, when the transfer succeeded
        QString reason; // why it failed, one line for the log
    };

    virtual ~LookupTransfer() = default;

    // Fetches url and returns once the transfer has ended, at the latest after deadline.
    virtual Reply fetch(const QString &url, std::chrono::milliseconds deadline) = 0;
};
