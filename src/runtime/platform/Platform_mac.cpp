// SPDX-License-Identifier: MIT
#include "Platform.h"

#include "../Shell.h"

namespace Runtime {

QStringList UrlOpener()
{
    return {QStringLiteral("open")};
}

namespace Platform {

// open hands the address to the browser, which places its own window.
void SetShowMode(QProcess &, int) {}

} // namespace Platform
} // namespace Runtime
