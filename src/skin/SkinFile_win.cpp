// SPDX-License-Identifier: MIT
#include "SkinFile.h"

#include <QString>

#include <windows.h>

std::optional<QByteArray> ReadSkinFile(const char *path, qint64 maxSize)
{
    const QString name = QString::fromLocal8Bit(path);
    const HANDLE file = CreateFileW(reinterpret_cast<const wchar_t *>(name.utf16()), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    std::optional<QByteArray> skin;
    // A folder doesn't open without FILE_FLAG_BACKUP_SEMANTICS; a pipe or a device is no disk
    // file.
    LARGE_INTEGER size = {};
    if (GetFileType(file) == FILE_TYPE_DISK && GetFileSizeEx(file, &size) &&
        size.QuadPart <= maxSize) {
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
    }
    CloseHandle(file);
    return skin;
}
