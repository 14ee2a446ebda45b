// SPDX-License-Identifier: MIT
#include "Platform.h"

#include <QFile>
#include <QFileInfo>

#include <dlfcn.h>

#if defined(Q_OS_MACOS)
#include <mach/mach.h>
#include <mach/mach_vm.h>
#endif

namespace Runtime::Platform {

QStringList urlOpener()
{
#if defined(Q_OS_MACOS)
    return {QStringLiteral("open")};
#else
    return {QStringLiteral("xdg-open")};
#endif
}

// The opener hands the address to the browser, which places its own window.
void setShowMode(QProcess &, int) {}

#if defined(Q_OS_MACOS)

bool isCodeOfLibrary(QFunctionPointer function, const QString &libraryPath)
{
    Dl_info library = {};
    const auto address = reinterpret_cast<mach_vm_address_t>(function);
    if (!function || dladdr(reinterpret_cast<const void *>(address), &library) == 0 ||
        !library.dli_fname ||
        QFileInfo(QFile::decodeName(library.dli_fname)).canonicalFilePath() !=
            QFileInfo(libraryPath).canonicalFilePath())
        return false;
    mach_vm_address_t region = address;
    mach_vm_size_t size = 0;
    vm_region_basic_info_data_64_t info = {};
    mach_msg_type_number_t count = VM_REGION_BASIC_INFO_COUNT_64;
    mach_port_t object = MACH_PORT_NULL;
    const kern_return_t found =
        mach_vm_region(mach_task_self(), &region, &size, VM_REGION_BASIC_INFO_64,
                       reinterpret_cast<vm_region_info_t>(&info), &count, &object);
    return found == KERN_SUCCESS && region <= address && (info.protection & VM_PROT_EXECUTE);
}

#else

namespace {

// The field of a line of /proc/self/maps that starts at or after at, which moves past it.
QByteArray fieldAt(const QByteArray &line, qsizetype &at)
{
    while (at < line.size() && line.at(at) == ' ')
        ++at;
    const qsizetype start = at;
    while (at < line.size() && line.at(at) != ' ')
        ++at;
    return line.mid(start, at - start);
}

} // namespace

bool isCodeOfLibrary(QFunctionPointer function, const QString &libraryPath)
{
    // Each line maps a range of addresses: "start-end perms offset device inode path", in the
    // order of the addresses. The kernel names the file by its canonical path.
    const QString library = QFileInfo(libraryPath).canonicalFilePath();
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!function || library.isEmpty() || !maps.open(QIODevice::ReadOnly))
        return false;
    const auto address = reinterpret_cast<quintptr>(function);
    for (QByteArray line = maps.readLine(); !line.isEmpty(); line = maps.readLine()) {
        line.chop(line.endsWith('\n') ? 1 : 0);
        qsizetype at = 0;
        const QByteArray range = fieldAt(line, at);
        const QByteArray permissions = fieldAt(line, at);
        const qsizetype dash = range.indexOf('-');
        bool startRead = false;
        bool endRead = false;
        const quintptr start = range.left(dash).toULongLong(&startRead, 16);
        const quintptr end = range.mid(dash + 1).toULongLong(&endRead, 16);
        if (!startRead || !endRead || address >= end)
            continue;
        if (address < start)
            return false;
        for (int skipped = 0; skipped < 3; ++skipped) // offset, device, inode
            fieldAt(line, at);
        while (at < line.size() && line.at(at) == ' ')
            ++at;
        return permissions.size() >= 3 && permissions.at(2) == 'x' &&
               QFile::decodeName(line.mid(at)) == library;
    }
    return false;
}

#endif

bool isLoaded(const QString &libraryPath)
{
    // RTLD_NOLOAD finds a library that is loaded and loads none that isn't.
    void *const library =
        dlopen(QFile::encodeName(libraryPath).constData(), RTLD_LAZY | RTLD_NOLOAD);
    if (library)
        dlclose(library);
    return library != nullptr;
}

} // namespace Runtime::Platform
