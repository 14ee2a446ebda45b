// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The bytes of the skin file at path (8-bit text in the system's locale), when it is a regular
// file of at most maxSize bytes. Anything else (a pipe, a device, a folder, a larger file) is
// refused without being read, and without waiting for it to open.
std::optional<QByteArray> readSkinFile(const char *path, qint64 maxSize);

// Whether path names a regular file of at most maxSize bytes that can be opened for reading,
// found out as readSkinFile finds it out: without waiting for anything to open.
bool isSmallRegularFile(const QString &path, qint64 maxSize);
