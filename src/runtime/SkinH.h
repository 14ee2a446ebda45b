// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <utility>

namespace Runtime {

// The skin engine's entry point. The engine library is not linked: it is loaded by its file
// name from a given folder at the first call, and the entry point is looked up by name.
class SkinH
{
public:
    static constexpr const char *AttachExName = "SkinH_AttachEx";

    explicit SkinH(QString libraryDirectory) : m_libraryDirectory(std::move(libraryDirectory)) {}

    // Has the engine draw the application from the skin file; the engine's result is
    // returned. Both texts reach the engine as 8-bit text in the system's locale. Throws
    // RuntimeError 53 when the library can't be loaded, 453 when it lacks the entry point.
    int SkinH_AttachEx(const QString &skinFile, const QString &password);

private:
    using AttachEx = int (*)(const char *skinPath, const char *password);

    QString m_libraryDirectory;
    AttachEx m_attachEx = nullptr;
};

} // namespace Runtime
