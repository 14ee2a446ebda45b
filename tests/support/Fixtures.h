// SPDX-License-Identifier: MIT
#pragma once

#include "app/Form1.h"

#include <QApplication>
#include <QFile>
#include <QTest>

#include <unistd.h>

#include <optional>

#if defined(__SANITIZE_ADDRESS__)
#define VISTAMETER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VISTAMETER_ASAN 1
#endif
#endif

// The program's own environment, with the service and the web page opener replaced and a
// deadline short enough for a test to wait out.
inline Form1::Environment
testEnvironment(const QString &serviceHost,
                std::chrono::milliseconds deadline = std::chrono::seconds(1))
{
    Form1::Environment environment = Form1::programEnvironment();
    environment.serviceHost = serviceHost;
    environment.requestTimeout = deadline;
    environment.urlOpener = {QStringLiteral("true")};
    return environment;
}

// The control of form named name; the test ends when there is none.
template <class Widget> Widget *findControl(QWidget &form, const char *name)
{
    auto *widget = form.findChild<Widget *>(QLatin1String(name));
    if (!widget)
        qFatal("no control %s", name);
    return widget;
}

// The process's resident size, where the system tells it. Under AddressSanitizer it says
// little: its quarantine holds freed memory back.
inline std::optional<qint64> residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return std::nullopt;
    bool ok = false;
    const qint64 pages = statm.readAll().split(' ').value(1).toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    return pages * sysconf(_SC_PAGESIZE);
}

// Starts the process's peak resident size afresh from its present size; false where the system
// doesn't allow it.
inline bool resetPeakResident()
{
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    return clearRefs.open(QIODevice::WriteOnly) && clearRefs.write("5") == 1;
}

// The process's peak resident size since it started or since resetPeakResident(), where the
// system tells it.
inline std::optional<qint64> peakResidentBytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return std::nullopt;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            bool ok = false;
            const qint64 kib = line.mid(6).trimmed().split(' ').value(0).toLongLong(&ok);
            if (ok)
                return kib * 1024;
        }
    }
    return std::nullopt;
}
