// SPDX-License-Identifier: MIT
#include "Platform.h"

#include <QProcess>

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

} // namespace Runtime::Platform
