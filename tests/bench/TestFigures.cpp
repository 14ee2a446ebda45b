// SPDX-License-Identifier: MIT
#include "Figures.h"

#include <QTest>

// The driver's reading of what a measured program reports: a figure is taken only from a line
// that is one, and any line that isn't stops the run rather than being misread.
class TestFigures : public QObject
{
    Q_OBJECT

private slots:
    void read_data();
    void read();
};

Q_DECLARE_METATYPE(FigureUnit)

// clang-format off
void TestFigures::read_data()
{
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<FigureUnit>("unit");
    QTest::addColumn<qint64>("value"); // -1: no such figure
    QTest::addColumn<bool>("broken");

    const QByteArray probe = "entered=81234567890123 ns\nframe=81234589012345 ns\n"
                             "peak_memory=30512 KiB\n";
    const auto ns = FigureUnit::Nanoseconds;
    QTest::newRow("moment") << probe << QByteArray("frame") << ns << qint64(81234589012345)
                            << false;
    QTest::newRow("memory") << probe << QByteArray("peak_memory") << FigureUnit::KiB
                            << qint64(30512) << false;
    QTest::newRow("another unit") << probe << QByteArray("peak_memory") << ns << qint64(-1)
                                  << false;
    QTest::newRow("missing") << probe << QByteArray("settled_resident_memory") << FigureUnit::KiB
                             << qint64(-1) << false;
    QTest::newRow("empty lines, unknown name, no last newline")
        << QByteArray("\nlookup=7 ns\n\nextra=1 KiB") << QByteArray("lookup") << ns << qint64(7)
        << false;
    QTest::newRow("nothing") << QByteArray() << QByteArray("lookup") << ns << qint64(-1) << false;

    const QList<std::pair<const char *, QByteArray>> broken{
        {"a warning", "QStandardPaths: XDG_RUNTIME_DIR not set"}, {"no unit", "lookup=7"},
        {"space after", "lookup=7 ns "}, {"two spaces", "lookup=7  ns"}, {"no value", "lookup= ns"},
        {"no name", "=7 ns"}, {"negative", "lookup=-7 ns"}, {"signed", "lookup=+7 ns"},
        {"unknown unit", "lookup=7 ms"}, {"upper case", "Lookup=7 ns"},
        {"too large", "lookup=99999999999999999999 ns"}, {"twice", "lookup=7 ns\nlookup=8 ns"}};
    for (const auto &[row, line] : broken)
        QTest::newRow(row) << "frame=5 ns\n" + line << QByteArray("frame") << ns << qint64(-1)
                           << true;
}
// clang-format on

void TestFigures::read()
{
    QFETCH(QByteArray, output);
    QFETCH(QByteArray, name);
    QFETCH(FigureUnit, unit);
    QFETCH(qint64, value);
    QFETCH(bool, broken);

    const FigureReport report(output);
    QCOMPARE(!report.error().isEmpty(), broken);
    QCOMPARE(report.value(name, unit).value_or(-1), value);
}

QTEST_GUILESS_MAIN(TestFigures)
#include "TestFigures.moc"
