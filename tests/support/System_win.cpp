// SPDX-License-Identifier: MIT
#include "System.h"

#include <winsock2.h>

#include <psapi.h>
#include <windows.h>

namespace {

std::optional<PROCESS_MEMORY_COUNTERS> memoryCounters()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
        return std::nullopt;
    return counters;
}

} // namespace

namespace TestSystem {

// Wine's ntdll tells its version; Windows' has no such export.
QString wineVersion()
{
    using Version = const char *(*)();
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    const auto version = ntdll ? reinterpret_cast<Version>(reinterpret_cast<void *>(
                                     GetProcAddress(ntdll, "wine_get_version")))
                               : nullptr;
    return version ? QString::fromLatin1(version()) : QString();
}

void resetOnClose(qintptr descriptor)
{
    const linger reset{1, 0};
    ::setsockopt(SOCKET(descriptor), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char *>(&reset),
                 sizeof reset);
}

QString makeFifo(const QString &)
{
    return QStringLiteral(
        "Windows has no FIFO that lies in a folder: its pipes live in \\\\.\\pipe");
}

QString makeEndlessDevice(const QString &)
{
    return QStringLiteral("Windows has no device that a name in a folder can stand for");
}

// The working set is Windows' resident size.
std::optional<qint64> residentBytes()
{
    const std::optional<PROCESS_MEMORY_COUNTERS> counters = memoryCounters();
    return counters ? std::optional<qint64>(qint64(counters->WorkingSetSize)) : std::nullopt;
}

std::optional<qint64> peakResidentBytes()
{
    const std::optional<PROCESS_MEMORY_COUNTERS> counters = memoryCounters();
    return counters ? std::optional<qint64>(qint64(counters->PeakWorkingSetSize)) : std::nullopt;
}

// Windows keeps the peak working set from the process's start.
bool restartPeak()
{
    return false;
}

} // namespace TestSystem
