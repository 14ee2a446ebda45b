// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

// files, each a path inside the resource ("0/arrow.png", folders split by '/') and its bytes,
// as the binary data of a Qt resource that QResource::registerResource takes: the layout that
// rcc --binary writes in its first format version, uncompressed.
QByteArray resourceData(const QMap<QString, QByteArray> &files);
