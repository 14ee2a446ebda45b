// SPDX-License-Identifier: MIT
#include "support/Fixtures.h"
#include "support/System.h"

#include "runtime/App.h"

#include "config.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>

// The skin engine as the program meets it: a library beside the program with one C entry
// point that takes a skin file's path and a password as 8-bit text.
class TestSkinEngine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void attach_data();
    void attach();
    void imagesAreCheckedBeforeQtOpensThem_data();
    void imagesAreCheckedBeforeQtOpensThem();
    void imagesAreReadOnceWhenTheSkinIsAttached();
    void windowStartsPlainBesideABadSkin_data();
    void windowStartsPlainBesideABadSkin();
    void windowPaintsWhateverTheSkinNames();

private:
    using AttachEx = int (*)(const char *, const char *);
    AttachEx m_attachEx = nullptr;
    QTemporaryDir m_skins;
    // The images that this system can't make, by the name a skin gives, and why.
    QMap<QString, QString> m_unmade;
};

void TestSkinEngine::initTestCase()
{
    // As the program's main() does, before any window exists.
    Form1::setUpApplication();
    QLibrary engine(Runtime::App::Path() + QStringLiteral("/" VISTAMETER_SKIN_ENGINE_FILE));
    m_attachEx = reinterpret_cast<AttachEx>(engine.resolve("SkinH_AttachEx"));
    QVERIFY2(m_attachEx, qPrintable(engine.errorString()));
    QVERIFY(m_skins.isValid());

    // What the skins of imagesAreCheckedBeforeQtOpensThem name.
    auto write = [&](const char *name, const QByteArray &bytes) {
        QFile file(m_skins.filePath(QLatin1String(name)));
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    };
    QVERIFY(write("arrow.png", "a picture"));
    QVERIFY(write("dense.png", "a picture"));
    QVERIFY(write("large.png", QByteArray((1 << 20) + 1, 'x')));
    // dense.png's version for dense screens is the FIFO.
    for (const auto &[named, made] :
         {std::pair("fifo.png", "fifo.png"), {"dense.png", "dense@2x.png"}}) {
        const QString why = TestSystem::makeFifo(m_skins.filePath(QLatin1String(made)));
        if (!why.isEmpty())
            m_unmade.insert(QLatin1String(named), why);
    }
    const QString why = TestSystem::makeEndlessDevice(m_skins.filePath(QStringLiteral("zero.png")));
    if (!why.isEmpty())
        m_unmade.insert(QStringLiteral("zero.png"), why);
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
    // Qt would read the sheet from the file it names, unseen.
    QTest::newRow("names another file") << "file.she" << QByteArray("file:///dev/zero") << QByteArray() << 2;
}
// clang-format on

void TestSkinEngine::attach()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, skin);
    QFETCH(QByteArray, password);
    QFETCH(int, result);

    QString path = m_skins.filePath(QStringLiteral("absent.she"));
    if (!fileName.isEmpty()) {
        path = m_skins.filePath(fileName);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(skin) == skin.size());
    }
    // Never empty: Qt 6.4 crashes when an application style sheet is removed.
    const QString before = QStringLiteral("QWidget { /* before */ }");
    qApp->setStyleSheet(before);

    QCOMPARE(m_attachEx(path.toLocal8Bit().constData(), password.constData()), result);
    QCOMPARE(qApp->styleSheet(), result == 0 ? QString::fromUtf8(skin) : before);
}

// clang-format off
void TestSkinEngine::imagesAreCheckedBeforeQtOpensThem_data()
{
    QTest::addColumn<QString>("skin");
    QTest::addColumn<QString>("applied");

    // The engine holds the images, each in a folder of its own.
    const QString arrow = QStringLiteral(R"(url(":/vistameter-skin/0/arrow.png"))");
    QTest::newRow("beside the skin") << "QLabel { image: url(arrow.png); }" << "QLabel { image: " + arrow + "; }";
    QTest::newRow("quoted, spaced") << "QLabel { image: url( 'arrow.png' ); }" << "QLabel { image: " + arrow + "; }";
    QTest::newRow("Qt resource") << "QLabel { image: url(:/pictures/caption.bmp); }"
                                 << R"(QLabel { image: url(":/pictures/caption.bmp"); })";
    QTest::newRow("missing") << "QLabel { image: url(none.png); color: red; }" << "QLabel { image: url(); color: red; }";
    QTest::newRow("FIFO") << "QLabel { image: url(fifo.png); }" << "QLabel { image: url(); }";
    QTest::newRow("link to /dev/zero") << "QLabel { image: url(zero.png); }" << "QLabel { image: url(); }";
    QTest::newRow("1 MiB and a byte") << "QLabel { image: url(large.png); }" << "QLabel { image: url(); }";
    QTest::newRow("FIFO for dense screens") << "QLabel { image: url(dense.png); }" << "QLabel { image: url(); }";
    // However it is written, and every one of several.
    QTest::newRow("escaped") << R"(QLabel { image: \75\72l(fifo.png); })" << R"(QLabel { image: \75\72l(); })";
    QTest::newRow("several") << "QLabel { image: url(fifo.png) } QPushButton { image: url(arrow.png) }"
                             << "QLabel { image: url() } QPushButton { image: " + arrow + " }";
}
// clang-format on

void TestSkinEngine::imagesAreCheckedBeforeQtOpensThem()
{
    QFETCH(QString, skin);
    QFETCH(QString, applied);
    for (auto unmade = m_unmade.cbegin(); unmade != m_unmade.cend(); ++unmade) {
        if (skin.contains(unmade.key()))
            QSKIP(qPrintable(unmade.value()));
    }
    const QString path = m_skins.filePath(QStringLiteral("images.she"));
    QFile file(path);
    const QByteArray bytes = skin.toUtf8();
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    file.close();

    QCOMPARE(m_attachEx(path.toLocal8Bit().constData(), ""), 0);
    QCOMPARE(qApp->styleSheet(), applied);
    QFile held(QStringLiteral(":/vistameter-skin/0/arrow.png"));
    QCOMPARE(held.open(QIODevice::ReadOnly), applied.contains(u"arrow"));
    QCOMPARE(held.readAll(), QByteArray(held.isOpen() ? "a picture" : ""));
}

void TestSkinEngine::imagesAreReadOnceWhenTheSkinIsAttached()
{
    // Qt paints a skin's images long after it was attached, and more than once: by then each
    // file may be another, or a FIFO that Qt would wait on for ever, at any scale.
    QTemporaryDir folder;
    auto picture = [&](const char *name, int size, Qt::GlobalColor colour) {
        QImage image(size, size, QImage::Format_RGB32);
        image.fill(colour);
        return image.save(folder.filePath(QLatin1String(name)), "PNG");
    };
    QVERIFY(picture("red.png", 8, Qt::red));
    QVERIFY(picture("red@2x.png", 16, Qt::red));
    QFile skin(folder.filePath(QStringLiteral("skin.she")));
    QVERIFY(skin.open(QIODevice::WriteOnly));
    skin.write("QWidget#painted { background-image: url(red.png); }");
    skin.close();
    QCOMPARE(m_attachEx(QFile::encodeName(skin.fileName()).constData(), ""), 0);

    QVERIFY(QFile::remove(folder.filePath(QStringLiteral("red.png"))));
    QVERIFY(picture("red.png", 8, Qt::blue));
    QVERIFY(QFile::remove(folder.filePath(QStringLiteral("red@2x.png"))));
    // Where the system has no FIFO to put in its place, another picture stands there.
    if (!TestSystem::makeFifo(folder.filePath(QStringLiteral("red@2x.png"))).isEmpty())
        QVERIFY(picture("red@2x.png", 16, Qt::blue));
    QWidget painted;
    painted.setObjectName(QStringLiteral("painted"));
    painted.resize(8, 8);
    QCOMPARE(painted.grab().toImage().pixelColor(4, 4), QColor(Qt::red));
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
    // skin is. A FIFO that held it up would hang the test until CTest's time-out ends it, and
    // a file read into memory would have been applied.
    QFETCH(QString, kind);
    QTemporaryDir program;
    const QString engine = Runtime::App::Path() + QStringLiteral("/" VISTAMETER_SKIN_ENGINE_FILE);
    QVERIFY(QFile::copy(engine, program.filePath(QFileInfo(engine).fileName())));
    const QString skin = program.filePath(QStringLiteral("skinh.she"));
    QString unmade;
    if (kind == QLatin1String("FIFO")) {
        unmade = TestSystem::makeFifo(skin);
    } else if (kind == QLatin1String("link to /dev/zero")) {
        unmade = TestSystem::makeEndlessDevice(skin);
    } else if (kind == QLatin1String("directory")) {
        QVERIFY(QDir(program.path()).mkdir(QStringLiteral("skinh.she")));
    } else {
        QFile file(skin);
        const QByteArray twoMib = QByteArray("QLabel { color: #123456; }").leftJustified(2 << 20);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(twoMib) == twoMib.size());
    }
    if (!unmade.isEmpty())
        QSKIP(qPrintable(unmade));
    const QString before = QStringLiteral("QWidget { /* before */ }");
    qApp->setStyleSheet(before);

    Form1::Environment environment = testEnvironment(QStringLiteral("127.0.0.1:9"));
    environment.programDirectory = program.path();
    Form1 form(environment);
    QVERIFY(form.load());
    form.showCentred();
    // Refused: the style sheet is as it was.
    QCOMPARE(qApp->styleSheet(), before);
}

void TestSkinEngine::windowPaintsWhateverTheSkinNames()
{
    // Qt opens the images a style sheet names as it first paints, and waits on a FIFO for ever:
    // a window that didn't paint would hang the test until CTest's time-out ends it.
    QTemporaryDir program;
    const QString engine = Runtime::App::Path() + QStringLiteral("/" VISTAMETER_SKIN_ENGINE_FILE);
    QVERIFY(QFile::copy(engine, program.filePath(QFileInfo(engine).fileName())));
    const QString fifo = program.filePath(QStringLiteral("fifo.png"));
    if (const QString why = TestSystem::makeFifo(fifo); !why.isEmpty())
        QSKIP(qPrintable(why));
    QFile skin(program.filePath(QStringLiteral("skinh.she")));
    QVERIFY(skin.open(QIODevice::WriteOnly));
    skin.write("QWidget#Form1 { background-image: url(fifo.png); }\n"
               "QPushButton { border-image: url(" +
               QFile::encodeName(fifo) +
               ") 4; }\n"
               "QLineEdit { color: #123456; }\n");
    skin.close();

    QElapsedTimer clock;
    clock.start();
    Form1::Environment environment = testEnvironment(QStringLiteral("127.0.0.1:9"));
    environment.programDirectory = program.path();
    Form1 form(environment);
    QVERIFY(form.load());
    form.showCentred();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    // Paints every control, as the screen will.
    const QImage painted = form.grab().toImage();
    QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(!painted.isNull());
    // The rest of the skin applies.
    QVERIFY(qApp->styleSheet().contains(QStringLiteral("#123456")));
}

QTEST_MAIN(TestSkinEngine)
#include "TestSkinEngine.moc"
