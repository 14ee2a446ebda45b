// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <memory>
#include <utility>

class QNetworkAccessManager;

// The accounts that the lookups take in turn, so that each lookup writes counters that differ
// from the ones already shown.
const QStringList &lookupAccounts();

// The statistics request for account, as the program makes it, to the service on host.
QUrl statisticsUrl(const QString &host, const QString &account);

// The counters as the program writes them for account, from the demo service's reply; the
// program fails when the service has no counts for it.
std::pair<QString, QString> expectedCaptions(const QString &account);

// How the baseline GET treats its connection.
enum class Connection {
    KeptOpen, // reused from one GET to the next, as HTTP/1.1 allows
    New,      // one per GET, closed after it, as the program's transfer does
};

// The baseline lookup: a GET of url with nothing around it, the body decoded and read. Returns
// the nanoseconds it took; the program fails when the GET or the reading does. network is
// made at the first GET.
qint64 plainGet(std::unique_ptr<QNetworkAccessManager> &network, const QUrl &url,
                Connection connection = Connection::KeptOpen);
