// SPDX-License-Identifier: MIT
#include "Platform.h"

#include "../Shell.h"

namespace Runtime {

QStringList UrlOpener()
{
    return {QStringLiteral("xdg-open")};
}

namespace Platform {

// The browser that xdg-open starts places its own window.
void SetShowMode(QProcess &, int) {}

} // namespace Platform
} // namespace Runtime
