// SPDX-License-Identifier: MIT
#include "SkinFile.h"

#include <windows.h>

namespace {

// The file at path opened for reading, when it is a file on a disk of at most maxSize bytes,
// and its size; INVALID_HANDLE_VALUE otherwise. A folder doesn't open without
// FILE_FLAG_BACKUP_SEMANTICS; a pipe or a device is no disk file.
HANDLE openSmallDiskFile(const QString &path, qint64 maxSize, LARGE_INTEGER &size)
{
    const HANDLE file = CreateFileW(reinterpret_cast<const wchar_t *>(path.utf16()), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return INVALID_HANDLE_VALUE;
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileSizeEx(file, &size) ||
        size.QuadPart > maxSize) {
        CloseHandle(file);
        return INVALID_HANDLE_VALUE;
    }
    return file;
}

} // namespace

std::optional<QByteArray> readSmallRegularFile(const QString &path, qint64 maxSize)
{
    LARGE_INTEGER size = {};
    const HANDLE file = openSmallDiskFile(path, maxSize, size);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    std::optional<QByteArray> skin;
    // One byte more than the file holds is asked for, to find one that grows meanwhile.
    QByteArray bytes(qsizetype(size.QuadPart + 1), Qt::Uninitialized);
    qsizetype total = 0;
    DWORD got = 0;
    bool read = true;
    while (total < bytes.size()) {
        read = ReadFile(file, bytes.data() + total, DWORD(bytes.size() - total), &got, nullptr);
        if (!read || got == 0)
            break;
        total += got;
    }
    if (read && total <= size.QuadPart) {
        bytes.truncate(total);
        skin = bytes;
    }
    CloseHandle(file);
    return skin;
}
