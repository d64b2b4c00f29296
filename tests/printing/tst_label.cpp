// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// The case label: its layout on the recording device for the label sizes, and the
// barcode of a label printed to PDF, rendered as a label printer's head would print it
// and read back by zbarimg.
#include "printing/label.h"
#include "recordingdevice.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace lunora;
using lunora::test::RecordingDevice;

namespace {
constexpr double PointCm = 2.54 / 72.0;

LabelData sampleLabel()
{
    return { QStringLiteral("Cykelverkstaden i Norrköping"), QStringLiteral("101215 4711"),
        QStringLiteral("Anna Andersson"), QStringLiteral("070-123 45 67"), QStringLiteral("2010-12-15"),
        QStringLiteral("{3F2504E0-4F89-11D3-9A0C-0305E82C3301}"), QStringLiteral("iPhone 12, blå") };
}

LabelData longLabel()
{
    LabelData data = sampleLabel();
    data.shopLine = QString(60, u'W');
    data.customerName = QStringLiteral("Maria-Magdalena Fredrika Henrietta von Württemberg-Lindqvist");
    data.device = QStringLiteral("Bärbar dator med laddare, väska, mus och ett extra batteri i en påse");
    return data;
}

QByteArray run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return QByteArray();
    return process.readAllStandardOutput();
}
} // namespace

class TestLabel : public QObject
{
    Q_OBJECT

private slots:
    void layoutStaysOnTheLabel_data();
    void layoutStaysOnTheLabel();
    void printedBarcodeDecodes_data();
    void printedBarcodeDecodes();
    void missingLabelPrinterIsReported();
};

void TestLabel::layoutStaysOnTheLabel_data()
{
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<LabelData>("data");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("barcode");
    for (const LabelSize size : standardLabelSizes()) {
        const QByteArray name = labelSizeText(size).toUtf8();
        QTest::newRow(name.constData()) << size.width << size.height << sampleLabel() << 1 << true;
        QTest::newRow((name + " long texts").constData())
            << size.width << size.height << longLabel() << 1 << true;
    }
    QTest::newRow("portrait 40 x 60, three labels") << 40.0 << 60.0 << longLabel() << 3 << true;
    // Too narrow for the bars at a module a scanner reads: the label goes without them.
    QTest::newRow("small 25 x 20") << 25.0 << 20.0 << sampleLabel() << 1 << false;
}

void TestLabel::layoutStaysOnTheLabel()
{
    QFETCH(double, width);
    QFETCH(double, height);
    QFETCH(LabelData, data);
    QFETCH(int, count);
    QFETCH(bool, barcode);
    RecordingDevice device;
    QVERIFY(printLabels(device, data, { width, height }, count).ok());
    QCOMPARE(device.pages(), count);
    const auto paper = device.opsOf(RecordingDevice::PaperMillimetres);
    QCOMPARE(paper.size(), 1);
    QCOMPARE(paper.first().x, width);
    QCOMPARE(paper.first().y, height);

    const double w = width / 10.0;
    const double h = height / 10.0;
    const QString ellipsis = QStringLiteral("…");
    const QStringList sources { data.shopLine, data.customerName, data.telephone, data.caseNumber };
    double numberSize = 0;
    double largest = 0;
    for (const RecordingDevice::Op &text : device.texts()) {
        const double textWidth = 0.6 * text.fontSize * PointCm * text.text.size();
        QVERIFY2(text.x >= 0 && text.x + textWidth <= w + 1e-9, qPrintable(text.text));
        QVERIFY2(text.y >= 0 && text.y + 1.12 * text.fontSize * PointCm <= h + 1e-9, qPrintable(text.text));
        // A text is whole or cut with "…", never anything else.
        if (!sources.contains(text.text) && !text.text.startsWith(QStringLiteral("Skapad"))
            && !text.text.startsWith(QStringLiteral("Enhet: ")))
            QVERIFY2(text.text.endsWith(ellipsis), qPrintable(text.text));
        if (text.text == data.caseNumber)
            numberSize = text.fontSize;
        largest = std::max(largest, text.fontSize);
    }
    // The number is printed whole, in the label's largest type, readable from a shelf.
    QVERIFY(numberSize > 0);
    QCOMPARE(numberSize, largest);
    QVERIFY2(numberSize * PointCm >= std::min(0.15 * h, 0.4), qPrintable(QString::number(numberSize)));

    // The bars are black, inside the label with ten narrowest modules of quiet zone on
    // either side, and no text reaches into their band.
    const auto bars = device.opsOf(RecordingDevice::Fill);
    QCOMPARE(bars.size() > 20, barcode);
    if (!barcode)
        return;
    double left = w, right = 0, top = h, bottom = 0, module = w;
    for (const RecordingDevice::Op &bar : bars) {
        if (bar.page != 1)
            continue;
        left = std::min(left, bar.x);
        right = std::max(right, bar.right);
        top = std::min(top, bar.y);
        bottom = std::max(bottom, bar.bottom);
        module = std::min(module, bar.right - bar.x);
    }
    QVERIFY(module >= 0.0254 - 1e-9);
    QVERIFY(left - 10 * module >= -1e-9);
    QVERIFY(right + 10 * module <= w + 1e-9);
    for (const RecordingDevice::Op &text : device.texts()) {
        const double textBottom = text.y + 1.12 * text.fontSize * PointCm;
        QVERIFY2(textBottom <= top + 1e-9 || text.y >= bottom - 1e-9, qPrintable(text.text));
    }
}

void TestLabel::printedBarcodeDecodes_data()
{
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<int>("dpi");
    QTest::addColumn<QString>("caseNumber");
    QTest::addColumn<bool>("mono"); // black and white dots only, as a thermal head prints
    QTest::newRow("62 x 29 at 203 dpi") << 62.0 << 29.0 << 203 << QStringLiteral("101215 4711") << true;
    QTest::newRow("62 x 29 at 203 dpi, grey")
        << 62.0 << 29.0 << 203 << QStringLiteral("101215 4711") << false;
    QTest::newRow("62 x 29 at 300 dpi") << 62.0 << 29.0 << 300 << QStringLiteral("260112 0") << true;
    QTest::newRow("57 x 32 at 203 dpi") << 57.0 << 32.0 << 203 << QStringLiteral("991231 9998") << true;
    QTest::newRow("102 x 51 at 203 dpi") << 102.0 << 51.0 << 203 << QStringLiteral("260112 3090") << true;
}

void TestLabel::printedBarcodeDecodes()
{
    QFETCH(double, width);
    QFETCH(double, height);
    QFETCH(int, dpi);
    QFETCH(QString, caseNumber);
    QFETCH(bool, mono);
    if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
        QSKIP("pdftoppm (poppler-utils) is not installed");
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("etikett.pdf"));
    LabelData data = sampleLabel();
    data.caseNumber = caseNumber;
    QVERIFY(printLabelsToPdf(pdf, data, { width, height }, 1).ok());

    // The page has the label's size, turned to landscape.
    const QString info = QString::fromUtf8(run(QStringLiteral("pdfinfo"), { pdf }));
    static const QRegularExpression pageSize(
        QStringLiteral(R"(Pages:\s+1\n(?:.*\n)*Page size:\s+([\d.]+) x ([\d.]+))"));
    const QRegularExpressionMatch match = pageSize.match(info);
    QVERIFY2(match.hasMatch(), qPrintable(info));
    QVERIFY(std::abs(match.captured(1).toDouble() / 72 * 25.4 - width) < 0.5);
    QVERIFY(std::abs(match.captured(2).toDouble() / 72 * 25.4 - height) < 0.5);
    const QString png = dir.filePath(QStringLiteral("etikett"));
    QStringList render { QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-png"),
        QStringLiteral("-singlefile"), pdf, png };
    if (mono)
        render.prepend(QStringLiteral("-mono"));
    run(QStringLiteral("pdftoppm"), render);
    const QImage image(png + QStringLiteral(".png"));
    QVERIFY(!image.isNull());
    QVERIFY(image.width() > image.height());
    QVERIFY(std::abs(image.width() - width / 25.4 * dpi) <= 2);

    if (QStandardPaths::findExecutable(QStringLiteral("zbarimg")).isEmpty())
        QSKIP("zbarimg (zbar-tools) is not installed");
    const QByteArray decoded
        = run(QStringLiteral("zbarimg"), { QStringLiteral("-q"), png + QStringLiteral(".png") });
    QCOMPARE(QString::fromUtf8(decoded).trimmed(), QStringLiteral("CODE-128:") + caseNumber);
}

void TestLabel::missingLabelPrinterIsReported()
{
    const Status printed = printLabelsOnPrinter(QStringLiteral("Ingen-sadan-skrivare"), sampleLabel(), {}, 1);
    QVERIFY(isNoLabelPrinterFailure(printed));
    QCOMPARE(
        printed.error(), QStringLiteral("Etikettskrivaren Ingen-sadan-skrivare finns inte på denna dator!"));
}

QTEST_MAIN(TestLabel)
#include "tst_label.moc"
