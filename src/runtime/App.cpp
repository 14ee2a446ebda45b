// SPDX-License-Identifier: MIT
#include "App.h"

#include <QCoreApplication>

namespace Runtime::App {

QString Path()
{
    return QCoreApplication::applicationDirPath();
}

} // namespace Runtime::App
