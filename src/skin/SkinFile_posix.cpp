// SPDX-License-Identifier: MIT
#include "SkinFile.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool isSmallRegular(const struct stat &status, qint64 maxSize)
{
    return S_ISREG(status.st_mode) && status.st_size <= maxSize;
}

// The file at path opened for reading, when it is a regular file of at most maxSize bytes, and
// its status; -1 otherwise. It is looked at before it is opened, so that no device is opened
// at all; and opened without blocking, so that a pipe put there between the two can't hold
// start-up either.
int openSmallRegularFile(const char *path, qint64 maxSize, struct stat &status)
{
    if (::stat(path, &status) != 0 || !isSmallRegular(status, maxSize))
        return -1;
    const int file = ::open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (file >= 0 && (::fstat(file, &status) != 0 || !isSmallRegular(status, maxSize))) {
        ::close(file);
        return -1;
    }
    return file;
}

} // namespace

std::optional<QByteArray> readSmallRegularFile(const QString &path, qint64 maxSize)
{
    struct stat status = {};
    const int file = openSmallRegularFile(QFile::encodeName(path).constData(), maxSize, status);
    if (file < 0)
        return std::nullopt;
    std::optional<QByteArray> bytes;
    QFile reader;
    if (reader.open(file, QIODevice::ReadOnly, QFileDevice::DontCloseHandle)) {
        // One byte more than the file holds is asked for, to find one that grows meanwhile.
        QByteArray read = reader.read(status.st_size + 1);
        if (reader.error() == QFileDevice::NoError && read.size() <= status.st_size)
            bytes = std::move(read);
    }
    ::close(file);
    return bytes;
}
