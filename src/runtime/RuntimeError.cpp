// SPDX-License-Identifier: MIT
#include "RuntimeError.h"

#include "MsgBox.h"

#include <QCoreApplication>

namespace Runtime {

void showRuntimeError(QWidget *parent, const RuntimeError &error)
{
    MsgBox(
        parent,
        QStringLiteral("运行时错误 '%1':\r\n\r\n%2").arg(error.number()).arg(error.description()),
        vbCritical, QCoreApplication::applicationName());
}

} // namespace Runtime
