// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

// What the tests do differently on each system: System_posix.cpp, System_win.cpp, chosen in
// CMake. Where a system can't make what a test asks for, the test is told why, to skip with.
namespace TestSystem {

// The version of Wine that the test runs under, or empty where it runs on the system itself.
QString wineVersion();

// Why a test can't run under Wine, where Wine lacks what Windows has. A test skips with it
// when wineVersion() isn't empty.
namespace WineLacks {
// Wine 8 loses a reset that arrives while a program waits to read: neither FD_CLOSE nor an
// error comes.
inline constexpr char Reset[] = "Wine loses a reset that comes while the program waits to read";
// Wine 8's schannel fails the stand-in's handshake as a server, and as a client finds no issuer
// for a certificate signed by an authority the client adds.
inline constexpr char Tls[] =
    "Wine's schannel can't serve TLS, nor check against an added authority";
} // namespace WineLacks

// Has the socket of descriptor end in a reset, not an orderly close, when it is closed.
void resetOnClose(qintptr descriptor);

// A FIFO at path, which blocks whoever opens it for reading: empty when made, or why not.
QString makeFifo(const QString &path);

// A name at path for a device that reads without end, as /dev/zero: empty when made, or why
// not.
QString makeEndlessDevice(const QString &path);

// The process's resident size now, where the system tells it.
std::optional<qint64> residentBytes();

// The highest resident size of the process since it began, or since restartPeak().
std::optional<qint64> peakResidentBytes();

// Has peakResidentBytes() count from now on, where the system lets it; false where the peak
// keeps counting from the start.
bool restartPeak();

} // namespace TestSystem
