// SPDX-License-Identifier: MIT
#include "Platform.h"

#include "../Shell.h"

#include <QProcess>

#include <windows.h>

namespace Runtime {

QStringList UrlOpener()
{
    return {QStringLiteral("explorer.exe")};
}

namespace Platform {

void SetShowMode(QProcess &process, int windowStyle)
{
    process.setCreateProcessArgumentsModifier(
        [windowStyle](QProcess::CreateProcessArguments *args) {
            args->startupInfo->dwFlags |= STARTF_USESHOWWINDOW;
            args->startupInfo->wShowWindow = static_cast<WORD>(windowStyle);
        });
}

} // namespace Platform
} // namespace Runtime
