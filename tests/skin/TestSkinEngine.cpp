// SPDX-License-Identifier: MIT
#include "support/Fixtures.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

// The skin engine as the program meets it: a library beside the program with one C entry
// point that takes a skin file's path and a password as 8-bit text.
class TestSkinEngine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void attach_data();
    void attach();
    void windowStartsPlainBesideABadSkin_data();
    void windowStartsPlainBesideABadSkin();

private:
    using AttachEx = int (*)(const char *, const char *);
    AttachEx attachEx = nullptr;
    QTemporaryDir skins;
};

void TestSkinEngine::initTestCase()
{
    QLibrary engine(QStringLiteral(SKIN_ENGINE_FILE));
    attachEx = reinterpret_cast<AttachEx>(engine.resolve("SkinH_AttachEx"));
    QVERIFY2(attachEx, qPrintable(engine.errorString()));
    QVERIFY(skins.isValid());
}

// clang-format off
void TestSkinEngine::attach_data()
{
    QTest::addColumn<QString>("fileName"); // empty: no such file
    QTest::addColumn<QByteArray>("skin");
    QTest::addColumn<QByteArray>("password");
    QTest::addColumn<int>("result");

    QTest::newRow("plain skin") << "plain.she" << QByteArray("QLabel { color: #123456; }") << QByteArray() << 0;
    QTest::newRow("path not in ASCII") << "皮肤.she" << QByteArray("QLabel { color: #654321; }") << QByteArray() << 0;
    QTest::newRow("missing file") << "" << QByteArray() << QByteArray() << 2;
    const QByteArray locked("/* skinh-password: open sesame */\nQLabel { color: #abcdef; }");
    QTest::newRow("locked, right password") << "locked.she" << locked << QByteArray("open sesame") << 0;
    QTest::newRow("locked, wrong password") << "locked.she" << locked << QByteArray("open") << 3;
    QTest::newRow("locked, no password") << "locked.she" << locked << QByteArray() << 3;
    QTest::newRow("password for a plain skin") << "plain.she" << QByteArray("QLabel {}") << QByteArray("x") << 3;
    const QByteArray mib = QByteArray("QLabel { color: #123456; }").leftJustified(1024 * 1024);
    QTest::newRow("1 MiB") << "large.she" << mib << QByteArray() << 0;
    QTest::newRow("1 MiB and a byte") << "large.she" << mib + ' ' << QByteArray() << 2;
}
// clang-format on

void TestSkinEngine::attach()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, skin);
    QFETCH(QByteArray, password);
    QFETCH(int, result);

    QString path = skins.filePath(QStringLiteral("absent.she"));
    if (!fileName.isEmpty()) {
        path = skins.filePath(fileName);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(skin) == skin.size());
    }
    // Never empty: Qt 6.4 crashes when an application style sheet is removed.
    const QString before = QStringLiteral("QWidget { /* before */ }");
    qApp->setStyleSheet(before);

    QCOMPARE(attachEx(path.toLocal8Bit().constData(), password.constData()), result);
    QCOMPARE(qApp->styleSheet(), result == 0 ? QString::fromUtf8(skin) : before);
}

void TestSkinEngine::windowStartsPlainBesideABadSkin_data()
{
    QTest::addColumn<QString>("kind");

    for (const char *kind : {"FIFO", "link to /dev/zero", "directory", "2 MiB file"})
        QTest::newRow(kind) << kind;
}

void TestSkinEngine::windowStartsPlainBesideABadSkin()
{
    // None of these may hold up start-up or eat memory: each is refused unread, as a missing
    // skin is. A FIFO that held it up would hang the test until CTest's time-out ends it.
    QFETCH(QString, kind);
    QTemporaryDir program;
    const QString engine = QStringLiteral(SKIN_ENGINE_FILE);
    QVERIFY(QFile::link(engine, program.filePath(QFileInfo(engine).fileName())));
    const QString skin = program.filePath(QStringLiteral("skinh.she"));
    if (kind == QLatin1String("FIFO")) {
        QCOMPARE(::mkfifo(QFile::encodeName(skin).constData(), 0600), 0);
    } else if (kind == QLatin1String("link to /dev/zero")) {
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), skin));
    } else if (kind == QLatin1String("directory")) {
        QVERIFY(QDir(program.path()).mkdir(QStringLiteral("skinh.she")));
    } else {
        QFile file(skin);
        const QByteArray twoMib = QByteArray("QLabel { color: #123456; }").leftJustified(2 << 20);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(twoMib) == twoMib.size());
    }
    const QString before = QStringLiteral("QWidget { /* before */ }");
    qApp->setStyleSheet(before);

    QElapsedTimer clock;
    clock.start();
    Form1::Environment environment = TestEnvironment(QStringLiteral("127.0.0.1:9"));
    environment.programDirectory = program.path();
    Form1 form(environment);
    QVERIFY(form.Load());
    form.Show();
    QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(qApp->styleSheet(), before);
}

QTEST_MAIN(TestSkinEngine)
#include "TestSkinEngine.moc"
