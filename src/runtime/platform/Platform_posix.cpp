// SPDX-License-Identifier: MIT
#include "Platform.h"

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

} // namespace Runtime::Platform
