// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class QLineEdit;
class QPushButton;
struct Counts;

namespace Runtime {
class Inet;
class Label;
} // namespace Runtime

// What a click on the lookup button does: fetches the statistics of the account typed in
// Text1 through In2, shows the total and today's visits in Label7 and Label9 and comments on
// them. Everything happens within the click; the button stays disabled until the result has
// been shown.
class Lookup
{
public:
    Lookup(QLineEdit *Text1, QPushButton *Command1, Runtime::Label *Label7, Runtime::Label *Label9,
           Runtime::Inet *In2, QString serviceHost);

    void Command1_Click();

private:
    void QueryPopularity();
    void showVerdict(const Counts &counts);
    QString requestUrl() const;

    QLineEdit *const Text1;
    QPushButton *const Command1;
    Runtime::Label *const Label7;
    Runtime::Label *const Label9;
    Runtime::Inet *const In2;
    const QString m_serviceHost;

    // The last statistics reply, kept until the next lookup starts.
    QString RespText;
};
