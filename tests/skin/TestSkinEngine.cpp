// SPDX-License-Identifier: MIT
#include <QApplication>
#include <QFile>
#include <QLibrary>
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

private:
    using AttachEx = int (*)(const char *, const char *);
    AttachEx attachEx = nullptr;
    QTemporaryDir skins;
};

void TestSkinEngine::initTestCase()
{
    QLibrary engine(QCoreApplication::applicationDirPath() + QStringLiteral("/SkinH_VB6"));
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

QTEST_MAIN(TestSkinEngine)
#include "TestSkinEngine.moc"
