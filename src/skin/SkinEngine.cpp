// SPDX-License-Identifier: MIT
// The skin engine: draws the whole application from a skin file, which is a Qt style sheet.
//
// A skin may be locked: its first line is then "/* skinh-password: WORD */", and it is applied
// only when the password given is WORD. An empty password applies an unlocked skin.

#include "SkinFile.h"

#include <QApplication>
#include <QtGlobal>

namespace {

enum Result : int {
    Applied = 0,
    NoApplication = 1,
    Unreadable = 2,
    WrongPassword = 3,
};

// A skin is a page or two of style sheet; a larger file is no skin, and the start-up that
// reads it is not held up.
constexpr qint64 MaxSkinSize = qint64(1024) * 1024;

const QByteArray LockPrefix = QByteArrayLiteral("/* skinh-password: ");
const QByteArray LockSuffix = QByteArrayLiteral(" */");

// The word a locked skin asks for; empty for an unlocked one.
QByteArray lockOf(const QByteArray &skin)
{
    if (!skin.startsWith(LockPrefix))
        return {};
    const QByteArray firstLine = skin.left(skin.indexOf('\n')).trimmed();
    if (!firstLine.endsWith(LockSuffix))
        return {};
    return firstLine.mid(LockPrefix.size(),
                         firstLine.size() - LockPrefix.size() - LockSuffix.size());
}

} // namespace

// skinPath and password are 8-bit text in the system's locale.
extern "C" Q_DECL_EXPORT int SkinH_AttachEx(const char *skinPath, const char *password)
{
    auto *application = qobject_cast<QApplication *>(QCoreApplication::instance());
    if (!application || !skinPath)
        return NoApplication;

    const std::optional<QByteArray> skin = ReadSkinFile(skinPath, MaxSkinSize);
    if (!skin)
        return Unreadable;

    if (lockOf(*skin) != QByteArray(password ? password : ""))
        return WrongPassword;
    application->setStyleSheet(QString::fromUtf8(*skin));
    return Applied;
}
