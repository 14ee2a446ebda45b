// SPDX-License-Identifier: MIT
// The skin engine: draws the whole application from a skin file, which is a Qt style sheet.
//
// A skin may be locked: its first line is then "/* skinh-password: WORD */", and it is applied
// only when the password given is WORD. An empty password applies an unlocked skin.
//
// The images that a style sheet names with url(...) are read once, when the skin is attached,
// and Qt paints them from memory (see SkinImages below and SkinSheet.h).

#include "SkinFile.h"
#include "SkinResource.h"
#include "SkinSheet.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QPixmapCache>
#include <QResource>
#include <QtGlobal>

#include <memory>

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
// Nor are all of them together larger than this: a sheet that named one file in a thousand
// ways would be read into memory a thousand times.
constexpr qint64 MaxHeldSize = 16 * MaxImageSize;

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

// The version of the image fileName that Qt looks for on a screen of the given scale:
// name@2x.png for 2, before a final .9.png too.
QString versionName(const QString &fileName, int scale)
{
    qsizetype dot = fileName.lastIndexOf(u'.');
    if (dot < 0)
        dot = fileName.size();
    else if (dot >= 2 && fileName.at(dot - 1) == u'9' && fileName.at(dot - 2) == u'.')
        dot -= 2;
    return QStringLiteral("%1@%2x%3")
        .arg(fileName.left(dot), QString::number(scale), fileName.mid(dot));
}

} // namespace

// The images of an attached skin, read once, when it is attached, into memory, and handed to
// Qt as a resource of its own under the folder Root. Qt opens an image as it paints what uses
// it, and again at each repaint after a failed load, and waits for a pipe to open: painting
// from memory, it never opens a file of the skin, and an image changed, removed or made a pipe
// later changes nothing. A child of the application for as long as its style sheet names them.
class SkinImages : public QObject
{
    Q_OBJECT

public:
    static constexpr QStringView Root = u"/vistameter-skin";

    explicit SkinImages(QObject *parent = nullptr) : QObject(parent) {}
    ~SkinImages() override;

    // Reads the image at path, and every version of it for a denser screen that Qt looks for
    // beside it at a scale above 100 % (name@2x.png to name@9x.png): each must be a regular
    // file of at most MaxImageSize that opens without waiting. Returns the name under which
    // Qt finds them once handed over; empty when one of them fails, or when they would take the
    // images held past MaxHeldSize. A name of Qt's resources, which lie in memory, comes back
    // as it is.
    QString hold(const QString &path);

    bool isEmpty() const { return m_files.isEmpty(); }

    // Hands the images held to Qt, in place of those of the skin before, if any.
    void handOver();

private:
    QMap<QString, QByteArray> m_files; // by their names in the resource, "0/arrow.png"
    qint64 m_heldSize = 0;
    int m_images = 0;
    QByteArray m_resource; // registered with Qt while not empty
};

SkinImages::~SkinImages()
{
    if (!m_resource.isEmpty())
        QResource::unregisterResource(reinterpret_cast<const uchar *>(m_resource.constData()),
                                      Root.toString());
}

QString SkinImages::hold(const QString &path)
{
    if (path.startsWith(u':'))
        return path;
    const QFileInfo image(path);
    QMap<QString, QByteArray> versions; // by their file names
    std::optional<QByteArray> bytes = readSmallRegularFile(path, MaxImageSize);
    if (!bytes) {
        qCWarning(lcSkin, "image left out, not a regular file of at most 1 MiB: %s",
                  qUtf8Printable(path));
        return QString();
    }
    qint64 size = bytes->size();
    versions.insert(image.fileName(), *std::move(bytes));
    for (int scale = 2; scale <= 9; ++scale) {
        const QString name = versionName(image.fileName(), scale);
        const QString version = image.dir().filePath(name);
        if (!QFileInfo::exists(version))
            continue;
        bytes = readSmallRegularFile(version, MaxImageSize);
        if (!bytes) {
            qCWarning(lcSkin,
                      "image left out, its version %s is not a regular file of at most 1 MiB",
                      qUtf8Printable(version));
            return QString();
        }
        size += bytes->size();
        versions.insert(name, *std::move(bytes));
    }
    if (m_heldSize + size > MaxHeldSize) {
        qCWarning(lcSkin, "image left out, the skin's images would pass 16 MiB: %s",
                  qUtf8Printable(path));
        return QString();
    }
    m_heldSize += size;
    // A folder for each image, so that images of the same name from different folders
    // stay apart.
    const QString folder = QString::number(m_images++);
    for (auto version = versions.cbegin(); version != versions.cend(); ++version)
        m_files.insert(folder + u'/' + version.key(), version.value());
    return QStringLiteral(":%1/%2/%3").arg(Root, folder, image.fileName());
}

void SkinImages::handOver()
{
    // A style sheet's images are cached by name: those of the skin before are dropped with it.
    const QObjectList siblings = parent()->children();
    for (QObject *sibling : siblings) {
        if (sibling != this && qobject_cast<SkinImages *>(sibling))
            delete sibling;
    }
    QPixmapCache::clear();
    if (m_files.isEmpty())
        return;
    m_resource = resourceData(m_files);
    m_files.clear();
    if (!QResource::registerResource(reinterpret_cast<const uchar *>(m_resource.constData()),
                                     Root.toString())) {
        qCWarning(lcSkin, "images left out, Qt refused them as a resource");
        m_resource.clear();
    }
}

// skinPath and password are 8-bit text in the system's locale.
extern "C" Q_DECL_EXPORT int SkinH_AttachEx(const char *skinPath, const char *password)
{
    auto *application = qobject_cast<QApplication *>(QCoreApplication::instance());
    if (!application || !skinPath)
        return NoApplication;

    const QString path = QFile::decodeName(QByteArray(skinPath));
    const std::optional<QByteArray> skin = readSmallRegularFile(path, MaxSkinSize);
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
    auto images = std::make_unique<SkinImages>();
    const QString applied =
        withHeldImages(sheet, QFileInfo(path).path(),
                       [&images](const QString &image) { return images->hold(image); });
    images->setParent(application);
    images.release()->handOver();
    application->setStyleSheet(applied);
    return Applied;
}

#include "SkinEngine.moc"
