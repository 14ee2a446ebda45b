// SPDX-License-Identifier: MIT
#include "SkinFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

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
    if (::fstat(file, &status) == 0 && isSmallRegularFile(status, maxSize)) {
        // One byte more than the file holds is asked for, to find one that grows meanwhile.
        QByteArray bytes(qsizetype(status.st_size + 1), Qt::Uninitialized);
        qsizetype size = 0;
        ssize_t got = 0;
        do {
            got = ::read(file, bytes.data() + size, size_t(bytes.size() - size));
            if (got > 0)
                size += got;
        } while ((got > 0 && size < bytes.size()) || (got < 0 && errno == EINTR));
        if (got >= 0 && size <= status.st_size) {
            bytes.truncate(size);
            skin = bytes;
        }
    }
    ::close(file);
    return skin;
}
