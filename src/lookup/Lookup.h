// SPDX-License-Identifier: MIT
#pragma once

#include "text/CounterText.h"

#include <QString>

#include <chrono>
#include <optional>

class LookupTransfer;

// A message box's text and title.
struct LookupMessage
{
    QString text;
    QString title;
};

// What a lookup found, and the texts the window shows of it.
struct LookupOutcome
{
    QString url;                  // the address asked
    std::optional<Counts> counts; // both counts; none when the lookup failed
    QString reason;               // why it failed: the transfer's reason, or what the reply lacked
    Verdict verdict = Verdict::None;
    QString total;                        // Label7's caption: ConvNum's total, "0" after a failure
    QString today;                        // Label9's caption, in the same way
    LookupMessage result;                 // the failure message, or the success message
    std::optional<LookupMessage> comment; // the verdict's message, when the counts deserve one
};

// The lookup itself, without a window: asks the statistics service for the account typed in
// Text1 through a transfer, reads the counts out of the reply and says what the window shows.
// The log vistameter.lookup gets one line for each lookup, with its outcome.
class Lookup
{
public:
    Lookup(LookupTransfer &transfer, QString serviceHost, std::chrono::milliseconds deadline);

    // Looks up the account that typed means, within the deadline.
    LookupOutcome lookUp(const QString &typed);

private:
    QString requestUrl(const QString &typed) const;

    LookupTransfer &m_transfer;
    const QString m_serviceHost;
    const std::chrono::milliseconds m_deadline;

    // The last statistics reply, kept until the next lookup starts.
    QString RespText;
};
