// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QUrl>

#include <chrono>

// The transfer library's one entry point. The library carries the HTTP client and is the only
// part of the program that needs Qt Network: Inet loads it at its first transfer, so that the
// program starts without mapping Qt Network and the libraries it links.
namespace Runtime::InetTransfer {

// The name the entry point is exported under, without C++ decoration.
constexpr const char *OpenURLName = "Inet_OpenURL";

// Fetches url with one GET and puts the body into *body, or empty bytes when the transfer
// failed. Returns only when the transfer has ended, at the latest after deadline; meanwhile
// windows are painted but take no input.
using OpenURL = void (*)(const QUrl &url, std::chrono::milliseconds deadline, QByteArray *body);

} // namespace Runtime::InetTransfer
