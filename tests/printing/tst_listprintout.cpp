// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "printing/listprintout.h"
#include "recordingdevice.h"

#include <QTest>

using namespace lunora;
using lunora::test::RecordingDevice;

namespace {
PrintedList articleList(int rowCount)
{
    PrintedList list;
    list.columnCaptions
        = QStringList { QStringLiteral("Artikel nr"), QStringLiteral("Benämning"), QStringLiteral("Kvant"),
              QStringLiteral("Enh"), QStringLiteral("Enhetspris"), QStringLiteral("Summa") };
    list.columnWidths = { 1440, 3800, 1000, 700, 1400, 1400 };
    for (int i = 0; i < rowCount; ++i) {
        list.rows.append({ QStringLiteral("A%1").arg(i), QStringLiteral("Rad %1").arg(i), QStringLiteral("1"),
            QStringLiteral("st"), QStringLiteral("10,00"), QStringLiteral("10,00") });
    }
    return list;
}

QList<double> xsOf(const QList<RecordingDevice::Op> &texts)
{
    QList<double> xs;
    for (const auto &op : texts)
        xs.append(op.x);
    return xs;
}

void compareFuzzy(const QList<double> &actual, const QList<double> &expected)
{
    QCOMPARE(actual.size(), expected.size());
    for (qsizetype i = 0; i < actual.size(); ++i) {
        if (!qFuzzyCompare(1.0 + actual.at(i), 1.0 + expected.at(i)))
            QFAIL(qPrintable(
                QStringLiteral("entry %1: %2, expected %3").arg(i).arg(actual.at(i)).arg(expected.at(i))));
    }
}
} // namespace

class TestListPrintout final : public QObject
{
    Q_OBJECT

private slots:
    void columnsShareTheWidthInWholeUnits();
    void columnPositions_data();
    void columnPositions();
    void headerAndRowsUseTheSameColumns();
    void continuationPagesRepeatTheHeader();
    void rowStartingExactlyAtTheLimitStaysOnThePage();
    void emptyListPrintsTheHeaderOnly();
    void zeroWidthColumnsStillPrint();
    void onlyBoldChanges();
};

void TestListPrintout::columnsShareTheWidthInWholeUnits()
{
    // An available width of 17.8 between a left margin of 1.5 and a right one of 1.0.
    RecordingDevice device(20.3, 28.7);
    PrintListView(device, articleList(1), 1.5f, 13.2f, 1.0f, 14.0f);

    const auto texts = device.texts();
    QCOMPARE(texts.size(), 12);
    compareFuzzy(xsOf(texts.mid(0, 6)), { 1.5, 3.5, 9.5, 10.5, 11.5, 13.5 });
    compareFuzzy(xsOf(texts.mid(6, 6)), { 1.5, 3.5, 9.5, 10.5, 11.5, 13.5 });
    QCOMPARE(texts.at(0).text, QStringLiteral("Artikel nr"));
    QCOMPARE(texts.at(7).text, QStringLiteral("Rad 0"));
}

void TestListPrintout::columnPositions_data()
{
    QTest::addColumn<QList<double>>("widths");
    QTest::addColumn<float>("available");
    QTest::addColumn<QList<double>>("expected");

    // The case window's design ratio on the case sheet (17.5 cm available).
    QTest::newRow("case window") << QList<double> { 2540, 6703, 1764, 1235, 2470, 2470 } << 17.5f
                                 << QList<double> { 1.5, 3.5, 9.5, 10.5, 11.5, 13.5, 15.5 };
    // A column widened on the screen gets the larger share on paper.
    QTest::newRow("widened") << QList<double> { 2540, 6703, 1764, 1235, 2470, 6000 } << 17.5f
                             << QList<double> { 1.5, 3.5, 8.5, 9.5, 10.5, 12.5, 17.5 };
    // Total 2.5 rounds to 2 (the even neighbour), so each 1.25-wide column gets 5 \ 2 = 2.
    QTest::newRow("total rounds half to even")
        << QList<double> { 1.25, 1.25 } << 4.0f << QList<double> { 1.5, 3.5, 5.5 };
    // Products 2.5 and 12.5 round to 2 and 12; divided by 3 they give 0 and 4.
    QTest::newRow("product rounds half to even")
        << QList<double> { 0.5, 2.5 } << 5.0f << QList<double> { 1.5, 1.5, 5.5 };
    QTest::newRow("no columns") << QList<double> {} << 17.5f << QList<double> { 1.5 };
    // No widths to scale: equal shares of the rounded width (18 \ 6 = 3).
    QTest::newRow("all zero") << QList<double> { 0, 0, 0, 0, 0, 0 } << 17.5f
                              << QList<double> { 1.5, 4.5, 7.5, 10.5, 13.5, 16.5, 19.5 };
}

void TestListPrintout::columnPositions()
{
    QFETCH(QList<double>, widths);
    QFETCH(float, available);
    QFETCH(QList<double>, expected);

    PrintedList list;
    list.columnWidths = widths;
    QList<double> actual;
    for (float x : lunora::columnPositions(list, 1.5f, available))
        actual.append(x);
    compareFuzzy(actual, expected);
}

void TestListPrintout::headerAndRowsUseTheSameColumns()
{
    // A row shorter than the header prints empty cells; a long text is not cut.
    PrintedList list = articleList(0);
    const QString longText(200, u'x');
    list.rows.append({ QStringLiteral("1"), longText });
    RecordingDevice device;
    PrintListView(device, list, 1.5f, 13.2f, 1.0f, 14.0f);

    const auto texts = device.texts();
    QCOMPARE(texts.size(), 12);
    QCOMPARE(texts.at(7).text, longText);
    QCOMPARE(texts.at(8).text, QString());
    QCOMPARE(xsOf(texts.mid(0, 6)), xsOf(texts.mid(6, 6)));
}

void TestListPrintout::continuationPagesRepeatTheHeader()
{
    RecordingDevice device(20.0, 28.7);
    device.setFontSize(8);
    const int rowCount = 40;
    PrintListView(device, articleList(rowCount), 1.5f, 13.2f, 1.0f, 14.0f);

    int rowsSeen = 0;
    int headersSeen = 0;
    int page = 0;
    bool rowsOnPage = false;
    for (const auto &op : device.texts()) {
        if (op.bold) {
            QVERIFY(qAbs(op.y - 13.2) < 1e-6); // every header, on every page, at the top margin
            if (op.x == 1.5) {
                ++headersSeen;
                QCOMPARE(op.page, page + 1); // the header opens each page, rows follow it
                page = op.page;
                rowsOnPage = false;
            }
            continue;
        }
        QCOMPARE(op.page, page);
        QVERIFY2(op.y <= 14.7 + 1e-9, qPrintable(QStringLiteral("row starts at %1").arg(op.y)));
        if (op.x == 1.5) {
            QCOMPARE(op.text, QStringLiteral("A%1").arg(rowsSeen));
            ++rowsSeen;
            rowsOnPage = true;
        }
    }
    QVERIFY(rowsOnPage);
    QCOMPARE(rowsSeen, rowCount);
    // With 8-point lines 4 rows fit under the header between 13.2 and 14.7 cm.
    const int perPage = 4;
    QCOMPARE(device.pages(), (rowCount + perPage - 1) / perPage);
    QCOMPARE(headersSeen, device.pages());
    QCOMPARE(device.ops().last().kind, RecordingDevice::EndJob);
    QCOMPARE(device.opsOf(RecordingDevice::EndJob).size(), 1);
}

void TestListPrintout::rowStartingExactlyAtTheLimitStaysOnThePage()
{
    // Lines of 0.5 cm from 13.2: rows at 13.7, 14.2 and 14.7 (the limit itself) stay on
    // the first page; the row after goes to the next one.
    RecordingDevice device(20.0, 28.7);
    const double points = 0.5 / (1.12 * 2.54 / 72.0);
    device.setFontSize(points);
    PrintListView(device, articleList(4), 1.5f, 13.2f, 1.0f, 14.0f);

    QList<int> pages;
    for (const auto &op : device.texts()) {
        if (!op.bold && op.x == 1.5)
            pages.append(op.page);
    }
    QCOMPARE(pages, (QList<int> { 1, 1, 1, 2 }));
}

void TestListPrintout::emptyListPrintsTheHeaderOnly()
{
    RecordingDevice device;
    PrintListView(device, articleList(0), 1.5f, 13.2f, 1.0f, 14.0f);

    const auto texts = device.texts();
    QCOMPARE(texts.size(), 6);
    for (const auto &op : texts)
        QVERIFY(op.bold);
    QCOMPARE(device.pages(), 1);
    QCOMPARE(device.ops().last().kind, RecordingDevice::EndJob);
}

void TestListPrintout::zeroWidthColumnsStillPrint()
{
    PrintedList list = articleList(3);
    list.columnWidths = { 0, 0, 0, 0, 0, 0 };
    RecordingDevice device;
    PrintListView(device, list, 1.5f, 13.2f, 1.0f, 14.0f);

    const auto texts = device.texts();
    QCOMPARE(texts.size(), 4 * 6);
    compareFuzzy(xsOf(texts.mid(18, 6)), { 1.5, 4.5, 7.5, 10.5, 13.5, 16.5 });
    QCOMPARE(device.ops().last().kind, RecordingDevice::EndJob);
}

void TestListPrintout::onlyBoldChanges()
{
    // The caller's font size and colour stay as they were; bold is off afterwards.
    RecordingDevice device;
    device.setFontSize(8);
    const qsizetype before = device.ops().size();
    PrintListView(device, articleList(2), 1.5f, 13.2f, 1.0f, 14.0f);

    QVERIFY(device.opsOf(RecordingDevice::TextColor).isEmpty());
    QCOMPARE(device.opsOf(RecordingDevice::FontSize).size(), 1);
    const auto bolds = device.opsOf(RecordingDevice::Bold);
    QCOMPARE(bolds.size(), 2);
    QVERIFY(bolds.first().flag);
    QVERIFY(!bolds.last().flag);
    QVERIFY(device.ops().size() > before);
}

QTEST_GUILESS_MAIN(TestListPrintout)
#include "tst_listprintout.moc"
