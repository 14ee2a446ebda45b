// SPDX-License-Identifier: MIT
#include "Platform.h"

#include <QFile>
#include <QFileInfo>

#include <dlfcn.h>

#if defined(Q_OS_MACOS)
#include <mach/mach.h>
#include <mach/mach_vm.h>
#else
#include <link.h>
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

// Where an address lies among the libraries loaded: the file it was loaded from, and whether
// the segment holding the address is mapped to be executed.
struct Segment
{
    quintptr address = 0;
    const char *file = nullptr;
    bool executable = false;
};

int findSegment(dl_phdr_info *library, size_t, void *data)
{
    auto *segment = static_cast<Segment *>(data);
    for (ElfW(Half) i = 0; i < library->dlpi_phnum; ++i) {
        const ElfW(Phdr) &header = library->dlpi_phdr[i];
        const quintptr start = library->dlpi_addr + header.p_vaddr;
        if (header.p_type != PT_LOAD || segment->address < start ||
            segment->address - start >= header.p_memsz)
            continue;
        segment->file = library->dlpi_name;
        segment->executable = (header.p_flags & PF_X) != 0;
        return 1;
    }
    return 0;
}

} // namespace

bool isCodeOfLibrary(QFunctionPointer function, const QString &libraryPath)
{
    // The loader's own list of the segments it mapped, read without a file or a system call.
    Segment segment;
    segment.address = reinterpret_cast<quintptr>(function);
    if (!function || dl_iterate_phdr(findSegment, &segment) == 0 || !segment.executable ||
        !segment.file)
        return false;
    const QString library = QFileInfo(libraryPath).canonicalFilePath();
    return !library.isEmpty() &&
           QFileInfo(QFile::decodeName(segment.file)).canonicalFilePath() == library;
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
