// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// The case sheet through the real QPrinter path into a PDF file, read back with
// poppler's pdftotext, pdfimages and pdftoppm: what is on paper, and where.
#include "printing/casesheet.h"
#include "printing/qprinterdevice.h"
#include "sheetfixture.h"

#include <QImage>
#include <QLocale>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace lunora;
using lunora::test::SheetFixture;

namespace {
constexpr double PointsPerCm = 72.0 / 2.54;
constexpr double MarginCm = 0.5; // the printable area's offset on the paper
constexpr double ToleranceCm = 0.1;

struct Word
{
    int page;
    double x; // cm from the paper's left edge
    double y; // cm from the paper's top edge
    QString text;
};

struct PdfText
{
    QList<QSizeF> pageSizes; // points
    QList<Word> words;
};

QString unescape(QString text)
{
    text.replace(QLatin1String("&lt;"), QLatin1String("<"));
    text.replace(QLatin1String("&gt;"), QLatin1String(">"));
    text.replace(QLatin1String("&quot;"), QLatin1String("\""));
    text.replace(QLatin1String("&apos;"), QLatin1String("'"));
    text.replace(QLatin1String("&amp;"), QLatin1String("&"));
    return text;
}

QByteArray run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return QByteArray();
    return process.readAllStandardOutput();
}

PdfText readPdfText(const QString &pdf)
{
    PdfText result;
    const QString html = QString::fromUtf8(run(QStringLiteral("pdftotext"), { "-bbox", pdf, "-" }));
    static const QRegularExpression pattern(QStringLiteral(
        R"re(<page width="([\d.]+)" height="([\d.]+)">|<word xMin="([\d.]+)" yMin="([\d.]+)"[^>]*>([^<]*)</word>)re"));
    auto it = pattern.globalMatch(html);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        if (!match.captured(1).isEmpty()) {
            result.pageSizes.append(QSizeF(match.captured(1).toDouble(), match.captured(2).toDouble()));
            continue;
        }
        result.words.append({ int(result.pageSizes.size()), match.captured(3).toDouble() / PointsPerCm,
            match.captured(4).toDouble() / PointsPerCm, unescape(match.captured(5)) });
    }
    return result;
}

// A text item of the layout: its position in the printable area and its content.
struct Expected
{
    double x;
    double y;
    QString text;
};

QList<Expected> sheetTexts(const CaseSheetData &d)
{
    const QStringList names = SheetFixture::companyLines();
    return {
        { 16.0, 1.0, names.at(0) },
        { 16.0, 1.4, names.at(1) },
        { 16.0, 1.8, names.at(2) },
        { 16.0, 2.2, names.at(3) },
        { 1.5, 4.0, QStringLiteral("Ärendedata") },
        { 1.5, 5.0, QStringLiteral("Ärendenummer") },
        { 1.5, 5.6, d.caseNumber },
        { 4.5, 5.0, QStringLiteral("Skapad") },
        { 4.5, 5.6, d.created },
        { 6.5, 5.0, QStringLiteral("Kontrollnummer") },
        { 6.5, 5.6, d.controlCode },
        { 16.5, 5.0, QStringLiteral("Signatur") },
        { 16.5, 5.6, d.signature },
        { 1.5, 8.0, QStringLiteral("Kunddata") },
        { 1.5, 9.0, QStringLiteral("Kundnummer") },
        { 4.5, 9.0, d.customerNumber },
        { 1.5, 9.6, QStringLiteral("Namn") },
        { 4.5, 9.6, d.customerName },
        { 1.5, 10.2, QStringLiteral("Telefon") },
        { 4.5, 10.2, d.telephone },
        { 13.5, 9.0, QStringLiteral("Prioritet") },
        { 15.5, 9.0, d.priority },
        { 13.5, 9.6, QStringLiteral("Status") },
        { 15.5, 9.6, d.status },
        { 13.5, 24.7, d.sumLabel },
        { 16.5, 26.7, amountText(d.sumText) },
        { 1.5, 12.2, QStringLiteral("Artikeldata") },
        { 1.5, 25.7, closingLineText() },
        { 1.5, 26.7, voidingLineText() },
        { 1.5, 28.7, footerText() },
        { 1.5, 13.2, QStringLiteral("Artikel nr") },
        { 3.5, 13.2, QStringLiteral("Benämning") },
        { 9.5, 13.2, QStringLiteral("Kvant") },
        { 10.5, 13.2, QStringLiteral("Enh") },
        { 11.5, 13.2, QStringLiteral("Enhetspris") },
        { 13.5, 13.2, QStringLiteral("Summa") },
    };
}

// The words of the text on one page, starting within a millimetre of the position.
bool foundAt(const PdfText &pdf, int page, const Expected &item)
{
    const QStringList wanted = item.text.split(u' ', Qt::SkipEmptyParts);
    const double x = item.x + MarginCm;
    const double y = item.y + MarginCm;
    for (qsizetype i = 0; i < pdf.words.size(); ++i) {
        const Word &word = pdf.words.at(i);
        if (word.page != page || word.text != wanted.first())
            continue;
        if (qAbs(word.x - x) > ToleranceCm || qAbs(word.y - y) > ToleranceCm)
            continue;
        // The rest of the line follows on the same baseline, in order.
        qsizetype next = i + 1;
        bool whole = true;
        for (qsizetype k = 1; k < wanted.size() && whole; ++k, ++next) {
            whole = next < pdf.words.size() && pdf.words.at(next).text == wanted.at(k)
                && qAbs(pdf.words.at(next).y - word.y) < 0.01;
        }
        if (whole)
            return true;
    }
    return false;
}

bool hasTool(const char *name)
{
    return !QStandardPaths::findExecutable(QString::fromLatin1(name)).isEmpty();
}
} // namespace

class TestCaseSheetPdf final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void printableAreaIsA4LessHalfCentimetre();
    void everyTextStandsAtItsPosition();
    void logoBandsAndBoxOnPaper();
    void longTableGivesContinuationPages();
    void faultBandOnPaper();

private:
    QString printSheet(const CaseSheetData &data, int *pages = nullptr);

    QTemporaryDir m_out;
};

void TestCaseSheetPdf::initTestCase()
{
    if (!hasTool("pdftotext") || !hasTool("pdfimages") || !hasTool("pdftoppm"))
        QSKIP("poppler-utils (pdftotext, pdfimages, pdftoppm) is not installed");
    QLocale::setDefault(QLocale(QLocale::Swedish, QLocale::Sweden));
    QVERIFY(m_out.isValid());
}

QString TestCaseSheetPdf::printSheet(const CaseSheetData &data, int *pages)
{
    static int serial = 0;
    const QString file = m_out.filePath(QStringLiteral("sheet%1.pdf").arg(++serial));
    QPrinterDevice device(file);
    const Status status = printCaseSheet(device, data);
    if (!status.ok())
        return QString();
    if (pages)
        *pages = device.pageCount();
    return file;
}

void TestCaseSheetPdf::printableAreaIsA4LessHalfCentimetre()
{
    QPrinterDevice device(m_out.filePath(QStringLiteral("unused.pdf")));
    QCOMPARE(device.printableWidth(), 20.0);
    QCOMPARE(device.printableHeight(), 28.7);
    device.abortJob();
}

void TestCaseSheetPdf::everyTextStandsAtItsPosition()
{
    SheetFixture fixture;
    const CaseSheetData data = SheetFixture::caseData(3);
    const QString file = printSheet(data);
    QVERIFY(!file.isEmpty());

    const PdfText pdf = readPdfText(file);
    QCOMPARE(pdf.pageSizes.size(), 1);
    QVERIFY(
        qAbs(pdf.pageSizes.first().width() - 595) <= 1 && qAbs(pdf.pageSizes.first().height() - 842) <= 1);
    for (const Expected &item : sheetTexts(data))
        QVERIFY2(foundAt(pdf, 1, item),
            qPrintable(QStringLiteral("%1 at %2, %3").arg(item.text).arg(item.x).arg(item.y)));

    // The rows follow the header one 8-point line apart.
    const QList<Word> rows = [&] {
        QList<Word> found;
        for (const Word &w : pdf.words) {
            if (w.text.startsWith(QLatin1String("ART")))
                found.append(w);
        }
        return found;
    }();
    QCOMPARE(rows.size(), 3);
    const double line = rows.at(1).y - rows.at(0).y;
    QVERIFY(line > 0.25 && line < 0.40);
    QVERIFY(qAbs(rows.at(0).y - (13.2 + MarginCm) - line) < 0.01);
}

void TestCaseSheetPdf::logoBandsAndBoxOnPaper()
{
    SheetFixture fixture;
    const QString file = printSheet(SheetFixture::caseData(1));
    QVERIFY(!file.isEmpty());

    // The logo keeps its pixels and its screen size: 96 pixels to the inch.
    const QString images = QString::fromUtf8(run(QStringLiteral("pdfimages"), { "-list", file }));
    const QStringList lines = images.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3); // two header lines and the logo
    const QStringList fields = lines.at(2).simplified().split(u' ');
    QCOMPARE(fields.at(3), QStringLiteral("240"));
    QCOMPARE(fields.at(4), QStringLiteral("96"));
    QCOMPARE(fields.at(12), QStringLiteral("96"));
    QCOMPARE(fields.at(13), QStringLiteral("96"));

    // The page as a picture at 127 dpi: 50 pixels to the centimetre.
    const QString prefix = m_out.filePath(QStringLiteral("look"));
    run(QStringLiteral("pdftoppm"), { "-png", "-r", "127", "-singlefile", file, prefix });
    const QImage page(prefix + QStringLiteral(".png"));
    QVERIFY(!page.isNull());
    auto grey = [&](double x, double y) {
        return qGray(page.pixel(int((x + MarginCm) * 50), int((y + MarginCm) * 50)));
    };
    // Logo top-left corner (dark blue) at (1.0, 1.0).
    QVERIFY(grey(1.05, 1.05) < 100);
    QVERIFY(grey(0.95, 0.95) > 200);
    // The three bands from 1.0 to 20.0, 0.5 high.
    for (double top : { 3.9, 7.9, 12.1 }) {
        QVERIFY(grey(10.0, top + 0.05) < 50 && grey(10.0, top + 0.45) < 50);
        QVERIFY(grey(19.95, top + 0.25) < 50 && grey(1.05, top + 0.25) < 50);
        QVERIFY(grey(10.0, top - 0.05) > 200 && grey(10.0, top + 0.55) > 200);
        QVERIFY(grey(0.95, top + 0.25) > 200);
    }
    // The sum box: an outline from (13.0, 24.2) to (20.0, 27.5), white inside.
    auto darkest = [&](double x, double y, bool vertical) {
        int best = 255;
        for (int d = -3; d <= 3; ++d) {
            const double offset = d / 50.0;
            best = std::min(best, vertical ? grey(x + offset, y) : grey(x, y + offset));
        }
        return best;
    };
    QVERIFY(darkest(13.0, 25.0, true) < 160);
    QVERIFY(darkest(20.0, 25.0, true) < 160);
    QVERIFY(darkest(14.0, 24.2, false) < 160);
    QVERIFY(darkest(14.0, 27.5, false) < 160);
    QVERIFY(grey(13.3, 26.0) > 200);
}

void TestCaseSheetPdf::longTableGivesContinuationPages()
{
    SheetFixture fixture;
    const int rowCount = 40;
    const CaseSheetData data = SheetFixture::caseData(rowCount);
    int pages = 0;
    const QString file = printSheet(data, &pages);
    QVERIFY(!file.isEmpty());

    // The first page as always; the second holds the rest of the table from its top down
    // to its footer.
    const PdfText pdf = readPdfText(file);
    QCOMPARE(pages, 2);
    QCOMPARE(pdf.pageSizes.size(), pages);
    for (const Expected &item : sheetTexts(data))
        QVERIFY(foundAt(pdf, 1, item));
    QVERIFY(foundAt(pdf, 2, { 1.5, 1.0, QStringLiteral("Artikel nr") }));
    QVERIFY(foundAt(pdf, 2, { 13.5, 1.0, QStringLiteral("Summa") }));
    QVERIFY(foundAt(pdf, 2, { 1.5, 28.7, continuationFooterText(data.caseNumber, 2, 2) }));
    QStringList printedRows;
    for (const Word &word : pdf.words) {
        if (!word.text.startsWith(QLatin1String("ART")))
            continue;
        const double top = word.page == 1 ? 13.2 : 1.0;
        const double lowest = word.page == 1 ? 14.7 : 28.7 - 0.3;
        QVERIFY(word.y > top + MarginCm && word.y <= lowest + MarginCm + ToleranceCm);
        printedRows.append(word.text);
    }
    QCOMPARE(printedRows.size(), rowCount);
    for (int i = 0; i < rowCount; ++i)
        QCOMPARE(printedRows.at(i), data.rows.at(i).first());
}

void TestCaseSheetPdf::faultBandOnPaper()
{
    SheetFixture fixture;
    CaseSheetData data = SheetFixture::caseData(2);
    data.notes = { QStringLiteral("Crescent Elegant"), QStringLiteral("WTU-4711"),
        QStringLiteral("Bakhjulet kärvar.\nKedjan hoppar.") };
    const QString file = printSheet(data);
    QVERIFY(!file.isEmpty());
    const PdfText pdf = readPdfText(file);
    QCOMPARE(pdf.pageSizes.size(), 1);
    const QList<Expected> band {
        { 1.5, 15.4, QStringLiteral("Felbeskrivning") },
        { 1.5, 16.4, QStringLiteral("Enhet / modell") },
        { 4.5, 16.4, data.notes.device },
        { 1.5, 17.0, QStringLiteral("Serienummer") },
        { 4.5, 17.0, data.notes.serial },
        { 1.5, 17.8, QStringLiteral("Bakhjulet kärvar.") },
        { 1.5, 18.2, QStringLiteral("Kedjan hoppar.") },
    };
    for (const Expected &item : band + sheetTexts(data))
        QVERIFY2(foundAt(pdf, 1, item),
            qPrintable(QStringLiteral("%1 at %2, %3").arg(item.text).arg(item.x).arg(item.y)));
}

QTEST_MAIN(TestCaseSheetPdf)
#include "tst_casesheetpdf.moc"
