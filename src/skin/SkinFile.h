// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The bytes of the file at path, when it is a regular file of at most maxSize bytes. Anything
// else (a pipe, a device, a folder, a larger file) is refused without being read, and without
// waiting for it to open.
std::optional<QByteArray> readSmallRegularFile(const QString &path, qint64 maxSize);
