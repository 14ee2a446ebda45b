// SPDX-License-Identifier: MIT
// The skin engine: draws the whole application from a skin file, which is a Qt style sheet.
//
// A skin may be locked: its first line is then "/* skinh-password: WORD */", and it is applied
// only when the password given is WORD. An empty password applies an unlocked skin.
//
// Qt opens the images that a style sheet names with url(...) as it paints, and waits for a pipe
// or a device to open: every one is checked first, as the skin file is (see SkinSheet.h).

#include "SkinFile.h"
#include "SkinSheet.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QtGlobal>

namespace {

// Quiet unless QT_LOGGING_RULES asks for it, say with "vistameter.skin.warning=true".
Q_LOGGING_CATEGORY(lcSkin, "vistameter.skin", QtCriticalMsg)

enum Result : int {
    Applied = 0,
    NoApplication = 1,
    Unreadable = 2,
    WrongPassword = 3,
};

// A skin is a page or two of style sheet; a larger file is no skin, and the start-up that
// reads it is not held up. Nor is an image a skin names larger.
constexpr qint64 MaxSkinSize = qint64(1024) * 1024;
constexpr qint64 MaxImageSize = qint64(1024) * 1024;

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

// Whether Qt may open the image at path without waiting: one of Qt's resources, or a regular
// file of at most MaxImageSize, and so is every version for a denser screen that Qt looks for
// beside it at a scale above 100 %: name@2x.png to name@9x.png, before a final .9.png too.
bool isSafeImage(const QString &path)
{
    if (path.startsWith(u':'))
        return true;
    if (!isSmallRegularFile(path, MaxImageSize)) {
        qCWarning(lcSkin, "image left out, not a regular file of at most 1 MiB: %s",
                  qUtf8Printable(path));
        return false;
    }
    qsizetype dot = path.lastIndexOf(u'.');
    if (dot < 0)
        dot = path.size();
    else if (dot >= 2 && path.at(dot - 1) == u'9' && path.at(dot - 2) == u'.')
        dot -= 2;
    for (int scale = 2; scale <= 9; ++scale) {
        const QString version =
            QStringLiteral("%1@%2x%3").arg(path.left(dot), QString::number(scale), path.mid(dot));
        if (QFileInfo::exists(version) && !isSmallRegularFile(version, MaxImageSize)) {
            qCWarning(lcSkin,
                      "image left out, its version %s is not a regular file of at most "
                      "1 MiB",
                      qUtf8Printable(version));
            return false;
        }
    }
    return true;
}

} // namespace

// skinPath and password are 8-bit text in the system's locale.
extern "C" Q_DECL_EXPORT int SkinH_AttachEx(const char *skinPath, const char *password)
{
    auto *application = qobject_cast<QApplication *>(QCoreApplication::instance());
    if (!application || !skinPath)
        return NoApplication;

    const std::optional<QByteArray> skin = readSkinFile(skinPath, MaxSkinSize);
    if (!skin)
        return Unreadable;

    if (lockOf(*skin) != QByteArray(password ? password : ""))
        return WrongPassword;
    // Qt takes a sheet that starts so for the name of the sheet's file, and opens that unseen.
    const QString sheet = QString::fromUtf8(*skin);
    if (sheet.startsWith(u"file:")) {
        qCWarning(lcSkin, "skin refused: it names another file as its style sheet");
        return Unreadable;
    }
    const QString folder = QFileInfo(QFile::decodeName(QByteArray(skinPath))).path();
    application->setStyleSheet(withCheckedImages(sheet, folder, isSafeImage));
    return Applied;
}
