// SPDX-License-Identifier: MIT
#include "Shell.h"

#include "RuntimeError.h"
#include "platform/Platform.h"

#include <QProcess>

namespace Runtime {

qint64 Shell(const QStringList &commandLine, int windowStyle)
{
    if (commandLine.isEmpty())
        throw RuntimeError(5, QStringLiteral("无效的过程调用或参数: 空的命令行"));
    QProcess process;
    process.setProgram(commandLine.first());
    process.setArguments(commandLine.mid(1));
    Platform::setShowMode(process, windowStyle);
    qint64 pid = 0;
    if (!process.startDetached(&pid))
        throw RuntimeError(
            53,
            QStringLiteral("找不到文件: %1 (%2)").arg(commandLine.first(), process.errorString()));
    return pid;
}

QStringList urlOpener()
{
    return Platform::urlOpener();
}

} // namespace Runtime
