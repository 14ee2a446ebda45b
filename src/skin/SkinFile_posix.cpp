// SPDX-License-Identifier: MIT
#include "SkinFile.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool isSmallRegularFile(const struct stat &status, qint64 maxSize)
{
    return S_ISREG(status.st_mode) && status.st_size <= maxSize;
}

} // namespace

std::optional<QByteArray> ReadSkinFile(const char *path, qint64 maxSize)
{
    // Looked at before it is opened, so that no device is opened at all; and opened without
    // blocking, so that a pipe put there between the two can't hold start-up either.
    struct stat status = {};
    if (::stat(path, &status) != 0 || !isSmallRegularFile(status, maxSize))
        return std::nullopt;
    const int file = ::open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (file < 0)
        return std::nullopt;
    std::optional<QByteArray> skin;
    QFile reader;
    if (::fstat(file, &status) == 0 && isSmallRegularFile(status, maxSize) &&
        reader.open(file, QIODevice::ReadOnly, QFileDevice::DontCloseHandle)) {
        // One byte more than the file holds is asked for, to find one that grows meanwhile.
        const QByteArray bytes = reader.read(status.st_size + 1);
        if (reader.error() == QFileDevice::NoError && bytes.size() <= status.st_size)
            skin = bytes;
    }
    ::close(file);
    return skin;
}
