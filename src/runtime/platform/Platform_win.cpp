// SPDX-License-Identifier: MIT
#include "Platform.h"

#include <QDir>
#include <QProcess>

#include <algorithm>
#include <string>

#include <windows.h>

namespace Runtime::Platform {

QStringList urlOpener()
{
    return {QStringLiteral("explorer.exe")};
}

void setShowMode(QProcess &process, int windowStyle)
{
    process.setCreateProcessArgumentsModifier(
        [windowStyle](QProcess::CreateProcessArguments *args) {
            args->startupInfo->dwFlags |= STARTF_USESHOWWINDOW;
            args->startupInfo->wShowWindow = static_cast<WORD>(windowStyle);
        });
}

bool isCodeOfLibrary(QFunctionPointer function, const QString &libraryPath)
{
    // The module that function lies in must be the one loaded from libraryPath...
    HMODULE module = nullptr;
    const auto address = reinterpret_cast<ULONG_PTR>(function);
    const std::wstring path = QDir::toNativeSeparators(libraryPath).toStdWString();
    if (!function ||
        !GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(address), &module) ||
        module != GetModuleHandleW(path.c_str()))
        return false;
    // ...and the section of its image that holds function one that is executed.
    const auto base = reinterpret_cast<ULONG_PTR>(module);
    const auto *dos = reinterpret_cast<const IMAGE_DOS_HEADER *>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE)
        return false;
    const auto *headers =
        reinterpret_cast<const IMAGE_NT_HEADERS *>(base + static_cast<ULONG_PTR>(dos->e_lfanew));
    if (headers->Signature != IMAGE_NT_SIGNATURE)
        return false;
    const ULONG_PTR offset = address - base;
    const IMAGE_SECTION_HEADER *section = IMAGE_FIRST_SECTION(headers);
    for (WORD i = 0; i < headers->FileHeader.NumberOfSections; ++i, ++section) {
        const ULONG_PTR size = std::max(section->Misc.VirtualSize, section->SizeOfRawData);
        if (offset >= section->VirtualAddress && offset < section->VirtualAddress + size)
            return (section->Characteristics & IMAGE_SCN_MEM_EXECUTE) != 0;
    }
    return false;
}

bool isLoaded(const QString &libraryPath)
{
    const std::wstring path = QDir::toNativeSeparators(libraryPath).toStdWString();
    return GetModuleHandleW(path.c_str()) != nullptr;
}

} // namespace Runtime::Platform
