// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "printing/casesheet.h"
#include "printing/defaultprinter.h"
#include "recordingdevice.h"
#include "sheetfixture.h"

#include <QLocale>
#include <QTest>
#include <memory>
#include <numeric>
#include <optional>

using namespace lunora;
using lunora::test::RecordingDevice;
using lunora::test::SheetFixture;
using Op = RecordingDevice::Op;

namespace {
// One drawn element of the sheet's first page, as the layout gives it.
struct Item
{
    RecordingDevice::Kind kind;
    double x;
    double y;
    double size = 0; // texts
    std::optional<bool> bold {}; // texts: the bold state the step sets, if any
    bool white = false;
    QString text {};
    double right = 0;
    double bottom = 0;
};

Item text(
    double x, double y, double size, std::optional<bool> bold, const QString &content, bool white = false)
{
    return { RecordingDevice::Text, x, y, size, bold, white, content };
}

Item rect(RecordingDevice::Kind kind, double left, double top, double right, double bottom)
{
    return { kind, left, top, 0, std::nullopt, false, QString(), right, bottom };
}

QList<Item> expectedSheet(const CaseSheetData &d, const QStringList &names, const QString &amount)
{
    QList<Item> items {
        text(16.0, 1.0, 8, std::nullopt, names.at(0)),
        text(16.0, 1.4, 8, std::nullopt, names.at(1)),
        text(16.0, 1.8, 8, std::nullopt, names.at(2)),
        text(16.0, 2.2, 8, std::nullopt, names.at(3)),
        { RecordingDevice::Picture, 1.0, 1.0 },
        rect(RecordingDevice::Fill, 1.0, 3.9, 20.0, 4.4),
        text(1.5, 4.0, 8, true, QStringLiteral("Ärendedata"), true),
        text(1.5, 5.0, 8, false, QStringLiteral("Ärendenummer")),
        text(1.5, 5.6, 8, false, d.caseNumber),
        text(4.5, 5.0, 8, false, QStringLiteral("Skapad")),
        text(4.5, 5.6, 8, false, d.created),
        text(6.5, 5.0, 8, false, QStringLiteral("Kontrollnummer")),
        text(6.5, 5.6, 8, false, d.controlCode),
        text(16.5, 5.0, 8, false, QStringLiteral("Signatur")),
        text(16.5, 5.6, 8, false, d.signature),
        rect(RecordingDevice::Fill, 1.0, 7.9, 20.0, 8.4),
        text(1.5, 8.0, 8, true, QStringLiteral("Kunddata"), true),
        text(1.5, 9.0, 8, false, QStringLiteral("Kundnummer")),
        text(4.5, 9.0, 8, false, d.customerNumber),
        text(1.5, 9.6, 8, false, QStringLiteral("Namn")),
        text(4.5, 9.6, 8, false, d.customerName),
        text(1.5, 10.2, 8, false, QStringLiteral("Telefon")),
        text(4.5, 10.2, 8, false, d.telephone),
        text(13.5, 9.0, 8, false, QStringLiteral("Prioritet")),
        text(15.5, 9.0, 8, false, d.priority),
        text(13.5, 9.6, 8, false, QStringLiteral("Status")),
        text(15.5, 9.6, 8, false, d.status),
        text(13.5, 24.7, 12, false, d.sumLabel),
    };
    if (!amount.isEmpty())
        items.append(text(16.5, 26.7, 15, false, amount));
    items.append({
        rect(RecordingDevice::Outline, 13.0, 24.2, 20.0, 27.5),
        rect(RecordingDevice::Fill, 1.0, 12.1, 20.0, 12.6),
        text(1.5, 12.2, 8, true, QStringLiteral("Artikeldata"), true),
        text(1.5, 25.7, 9, false, closingLineText()),
        text(1.5, 26.7, 9, false, voidingLineText()),
        text(1.5, 28.7, 5, false, footerText()),
    });
    return items;
}

// The fault band, drawn after the footer and before the article table.
QList<Item> expectedBand(const CaseNotes &notes, const QStringList &lines)
{
    QList<Item> items {
        rect(RecordingDevice::Fill, 1.0, 15.3, 20.0, 15.8),
        text(1.5, 15.4, 8, true, QStringLiteral("Felbeskrivning"), true),
        text(1.5, 16.4, 8, false, QStringLiteral("Enhet / modell")),
        text(4.5, 16.4, 8, false, notes.device),
        text(1.5, 17.0, 8, false, QStringLiteral("Serienummer")),
        text(4.5, 17.0, 8, false, notes.serial),
    };
    for (qsizetype i = 0; i < lines.size(); ++i)
        items.append(text(1.5, 17.8 + 0.4 * i, 8, false, lines.at(i)));
    return items;
}

CaseNotes sampleNotes()
{
    return { QStringLiteral("Crescent Elegant"), QStringLiteral("WTU-4711"),
        QStringLiteral("Bakhjulet kärvar.\nKedjan hoppar i växel 3.") };
}

bool isDrawing(const Op &op)
{
    switch (op.kind) {
    case RecordingDevice::Text:
    case RecordingDevice::Fill:
    case RecordingDevice::Outline:
    case RecordingDevice::Picture:
        return true;
    default:
        return false;
    }
}

// The drawn elements up to the article table's first header cell, each with the
// settings made since the element before it.
struct Drawn
{
    Op op;
    QList<Op> settings;
};

QList<Drawn> sheetElements(const RecordingDevice &device)
{
    QList<Drawn> drawn;
    QList<Op> settings;
    for (const Op &op : device.ops()) {
        if (op.kind == RecordingDevice::Text && op.bold && op.y > 13.0 && op.y < 13.3)
            break; // the article table's header row
        if (isDrawing(op)) {
            drawn.append({ op, settings });
            settings.clear();
        } else {
            settings.append(op);
        }
    }
    return drawn;
}

bool near(double a, double b)
{
    return qAbs(a - b) < 1e-6;
}

void checkSheet(const RecordingDevice &device, const QList<Item> &expected)
{
    const QList<Drawn> drawn = sheetElements(device);
    QCOMPARE(drawn.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) {
        const Item &want = expected.at(i);
        const Op &got = drawn.at(i).op;
        const QByteArray where
            = QByteArray("element ") + QByteArray::number(i + 1) + " " + want.text.toUtf8();
        QVERIFY2(got.kind == want.kind, where.constData());
        QVERIFY2(near(got.x, want.x) && near(got.y, want.y), where.constData());
        QCOMPARE(got.page, 1);
        if (want.kind != RecordingDevice::Text) {
            if (want.kind != RecordingDevice::Picture) {
                QVERIFY2(near(got.right, want.right) && near(got.bottom, want.bottom), where.constData());
                QCOMPARE(got.color, QColor(Qt::black));
            }
            continue;
        }
        QCOMPARE(got.text, want.text);
        QVERIFY2(got.flag, where.constData()); // every item ends its line
        QCOMPARE(got.fontSize, want.size);
        QCOMPARE(got.color, want.white ? QColor(Qt::white) : QColor(Qt::black));
        QVERIFY2(got.bold == want.bold.value_or(false), where.constData());

        // Size, bold where the step sets it, y, x, then white for a band title.
        QList<RecordingDevice::Kind> order { RecordingDevice::FontSize };
        if (want.bold)
            order.append(RecordingDevice::Bold);
        order.append({ RecordingDevice::SetY, RecordingDevice::SetX });
        if (want.white)
            order.append(RecordingDevice::TextColor);
        QList<RecordingDevice::Kind> settings;
        for (const Op &op : drawn.at(i).settings) {
            if (op.kind == RecordingDevice::TextColor && op.color == QColor(Qt::black))
                continue; // the colour set back after the band title before
            if (op.kind >= RecordingDevice::FontSize && op.kind <= RecordingDevice::SetY)
                settings.append(op.kind);
        }
        QVERIFY2(settings == order, where.constData());
    }
}
} // namespace

class TestCaseSheet final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sheetFollowsTheLayout();
    void amountRule_data();
    void amountRule();
    void companyFileVariants_data();
    void companyFileVariants();
    void failuresPrintNothing_data();
    void failuresPrintNothing();
    void rowsFillTheirPages_data();
    void rowsFillTheirPages();
    void vatLine_data();
    void vatLine();
    void defaultPrinterPath();
    void notesBandStandsInTheFreeRoom();
    void caseWithoutNotesPrintsAsBefore();
    void longFaultTextIsCutAtTwelveLines();
    void notesWithALongTableStayOnTheFirstPage();
};

void TestCaseSheet::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Swedish, QLocale::Sweden));
    QCOMPARE(closingLineText().size(), 83);
    QCOMPARE(voidingLineText().size(), 80);
}

void TestCaseSheet::sheetFollowsTheLayout()
{
    SheetFixture fixture;
    QVERIFY(fixture.isValid());
    CaseSheetData data = SheetFixture::caseData(2);
    data.telephone.clear(); // an empty field prints nothing, its heading all the same
    RecordingDevice device;
    QVERIFY(printCaseSheet(device, data).ok());

    const QList<Op> &ops = device.ops();
    QCOMPARE(ops.at(0).kind, RecordingDevice::PaperA4);
    QCOMPARE(ops.at(1).kind, RecordingDevice::Portrait);
    QCOMPARE(ops.at(2).kind, RecordingDevice::Centimetres);
    checkSheet(device, expectedSheet(data, SheetFixture::companyLines(), QStringLiteral("125,00 kr")));

    // The logo unscaled: the picture as the file holds it.
    QCOMPARE(device.opsOf(RecordingDevice::Picture).first().pictureSize, QSize(240, 96));

    // The article table in 8 points under the third band, then the job ends once.
    const QList<Op> texts = device.texts();
    const auto header = std::find_if(
        texts.begin(), texts.end(), [](const Op &op) { return op.text == QLatin1String("Artikel nr"); });
    QVERIFY(header != texts.end());
    QVERIFY(header->bold);
    QCOMPARE(header->fontSize, 8.0);
    QVERIFY(near(header->x, 1.5) && near(header->y, 13.2));
    QCOMPARE(texts.last().text, QStringLiteral("62,50"));
    QCOMPARE(device.opsOf(RecordingDevice::EndJob).size(), 1);
    QCOMPARE(ops.last().kind, RecordingDevice::EndJob);
    // The printer is left in 8 points, regular and black.
    QVERIFY(!device.opsOf(RecordingDevice::Bold).last().flag);
    QCOMPARE(device.opsOf(RecordingDevice::TextColor).last().color, QColor(Qt::black));
}

void TestCaseSheet::amountRule_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("sum");
    QTest::addColumn<QString>("amount");

    QTest::newRow("zero") << "Att betala"
                          << "0,00"
                          << "0,00 kr";
    QTest::newRow("to pay") << "Att betala"
                            << "1234,50"
                            << "1234,50 kr";
    QTest::newRow("credit") << "Er tillgodo"
                            << "-150,00"
                            << "150 kr";
    QTest::newRow("credit with decimals") << "Er tillgodo"
                                          << "-150,50"
                                          << "150,5 kr";
    QTest::newRow("exactly -1") << "Er tillgodo"
                                << "-1,00"
                                << "1 kr";
    QTest::newRow("between -1 and 0") << "Att betala"
                                      << "-0,50"
                                      << "";
    QTest::newRow("not a number") << ""
                                  << "abc"
                                  << "";
}

void TestCaseSheet::amountRule()
{
    QFETCH(QString, label);
    QFETCH(QString, sum);
    QFETCH(QString, amount);

    QCOMPARE(amountText(sum), amount);

    SheetFixture fixture;
    CaseSheetData data = SheetFixture::caseData(1);
    data.sumLabel = label;
    data.sumText = sum;
    RecordingDevice device;
    QVERIFY(printCaseSheet(device, data).ok());
    // The label and the box are there with or without an amount.
    checkSheet(device, expectedSheet(data, SheetFixture::companyLines(), amount));
}

void TestCaseSheet::companyFileVariants_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("lines");

    const QStringList none { QString(), QString(), QString(), QString() };
    QTest::newRow("empty file") << QByteArray() << none;
    QTest::newRow("capital letters") << QByteArray(
        "[MAIN]\r\nRAD1=Ett\r\nrad2=Tv\xe5\r\nRaD3=Tre\r\nRAD4=Fyra\r\n")
                                     << QStringList { "Ett", "Två", "Tre", "Fyra" };
    QTest::newRow("keys missing") << QByteArray("[Main]\r\nRad2=Bara andra raden\r\n")
                                  << QStringList { QString(), "Bara andra raden", QString(), QString() };
    QTest::newRow("other section") << QByteArray("[Firma]\r\nRad1=Fel sektion\r\n") << none;
}

void TestCaseSheet::companyFileVariants()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, lines);

    SheetFixture fixture;
    fixture.writeCompanyFile(file);
    const CaseSheetData data = SheetFixture::caseData(1);
    RecordingDevice device;
    QVERIFY(printCaseSheet(device, data).ok());
    checkSheet(device, expectedSheet(data, lines, QStringLiteral("125,00 kr")));
}

void TestCaseSheet::failuresPrintNothing_data()
{
    QTest::addColumn<QString>("failure");
    QTest::newRow("no Lib folder") << "lib";
    QTest::newRow("no logo") << "logo";
    QTest::newRow("logo not a picture") << "garbage";
    QTest::newRow("printer failing") << "printer";
}

void TestCaseSheet::failuresPrintNothing()
{
    QFETCH(QString, failure);

    SheetFixture fixture;
    RecordingDevice device;
    if (failure == QLatin1String("lib"))
        fixture.removeLib();
    else if (failure == QLatin1String("logo"))
        fixture.removeLogo();
    else if (failure == QLatin1String("garbage"))
        fixture.writeLogoBytes(QByteArray("BM this is not a bitmap at all"));
    else
        device.failWith(printerFailedText());

    const Status status = printCaseSheet(device, SheetFixture::caseData(2));
    QVERIFY(!status.ok());
    QVERIFY(!status.error().isEmpty());
    for (const Op &op : device.ops())
        QVERIFY(!isDrawing(op) && op.kind != RecordingDevice::NewPage && op.kind != RecordingDevice::EndJob);
    QCOMPARE(device.ops().last().kind, RecordingDevice::AbortJob);
}

void TestCaseSheet::rowsFillTheirPages_data()
{
    QTest::addColumn<int>("rowCount");
    QTest::addColumn<QList<int>>("perPage");
    // 8-point lines are 0.316 cm: the first page keeps its 4 rows under the header at
    // 13.2 cm (none below 14.7), a continuation page takes 86 under its header at 1.0 cm,
    // the last ending above the footer at 28.7 cm.
    QTest::newRow("1") << 1 << QList<int> { 1 };
    QTest::newRow("14") << 14 << QList<int> { 4, 10 };
    QTest::newRow("15") << 15 << QList<int> { 4, 11 };
    QTest::newRow("40") << 40 << QList<int> { 4, 36 };
    QTest::newRow("second page full") << 90 << QList<int> { 4, 86 };
    QTest::newRow("third page") << 91 << QList<int> { 4, 86, 1 };
}

void TestCaseSheet::rowsFillTheirPages()
{
    QFETCH(int, rowCount);
    QFETCH(QList<int>, perPage);
    SheetFixture fixture;
    const CaseSheetData data = SheetFixture::caseData(rowCount);
    RecordingDevice device;
    QVERIFY(printCaseSheet(device, data).ok());
    // Everything of the first page stays where it is, on the first page.
    checkSheet(device, expectedSheet(data, SheetFixture::companyLines(), QStringLiteral("125,00 kr")));
    QCOMPARE(device.pages(), perPage.size());

    const double line = device.lineHeight(); // the table left the device in 8 points
    QList<int> rows(perPage.size(), 0);
    int others = 0;
    for (const Op &op : device.texts()) {
        const int page = op.page;
        const QString footer = continuationFooterText(data.caseNumber, page, int(perPage.size()));
        if (page > 1 && (op.bold || op.text == footer)) {
            // Besides its rows a continuation page holds its header row and its footer.
            QVERIFY2(
                (op.bold && near(op.y, 1.0)) || (near(op.x, 1.5) && near(op.y, 28.7) && op.fontSize == 5),
                qPrintable(op.text));
            ++others;
        } else if (op.text.startsWith(QLatin1String("ART"))) {
            // In order, one line under the row before, the first one under the header row.
            QCOMPARE(op.text, data.rows.at(std::accumulate(rows.begin(), rows.end(), 0)).first());
            ++rows[page - 1];
            QVERIFY(near(op.y, (page == 1 ? 13.2 : 1.0) + line * rows.at(page - 1)));
            QVERIFY(op.y + line <= 28.7 + 1e-9);
        }
    }
    QCOMPARE(rows, perPage);
    QCOMPARE(others, (perPage.size() - 1) * 7);
}

void TestCaseSheet::defaultPrinterPath()
{
    SheetFixture fixture;
    QList<Op> printed;
    setDefaultPrinterForTesting([&printed]() {
        auto device = std::make_unique<RecordingDevice>();
        device->keepOpsIn(&printed);
        return device;
    });
    QVERIFY(hasDefaultPrinter());
    QVERIFY(printCaseSheetOnDefaultPrinter(SheetFixture::caseData(2)).ok());
    QVERIFY(!printed.isEmpty());
    QCOMPARE(printed.first().kind, RecordingDevice::PaperA4);
    QCOMPARE(printed.last().kind, RecordingDevice::EndJob);

    // No printer at all: the failure the windows show as the missing printer.
    setDefaultPrinterForTesting([]() { return std::unique_ptr<PrintDevice>(); });
    const Status none = printCaseSheetOnDefaultPrinter(SheetFixture::caseData(2));
    QVERIFY(isNoPrinterFailure(none));
    setDefaultPrinterForTesting({});
}

void TestCaseSheet::vatLine_data()
{
    QTest::addColumn<QByteArray>("moms"); // the key's line in the company file; empty: no key
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("sum");
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("vat");

    QTest::newRow("no key: as always") << QByteArray() << "Att betala"
                                       << "479,00"
                                       << "479,00 kr"
                                       << "";
    QTest::newRow("total") << QByteArray("MOMS=25") << "Att betala"
                           << "479,00"
                           << "479,00 kr"
                           << "varav moms 25 %: 95,80 kr";
    QTest::newRow("credit: of the credited amount") << QByteArray("moms=25") << "Er tillgodo"
                                                    << "-150,00"
                                                    << "150 kr"
                                                    << "varav moms 25 %: 30,00 kr";
    QTest::newRow("zero total") << QByteArray("MOMS=25") << "Att betala"
                                << "0,00"
                                << "0,00 kr"
                                << "";
    QTest::newRow("rounds to 0,00") << QByteArray("MOMS=25") << "Att betala"
                                    << "0,02"
                                    << "0,02 kr"
                                    << "";
    QTest::newRow("MOMS=0") << QByteArray("MOMS=0") << "Att betala"
                            << "479,00"
                            << "479,00 kr"
                            << "";
    QTest::newRow("no amount printed") << QByteArray("MOMS=25") << "Att betala"
                                       << "-0,50"
                                       << ""
                                       << "";
    QTest::newRow("rate with decimals") << QByteArray("MOMS=12,5") << "Att betala"
                                        << "112,50"
                                        << "112,50 kr"
                                        << "varav moms 12,5 %: 12,50 kr";
    QTest::newRow("not a rate") << QByteArray("MOMS=tjugofem") << "Att betala"
                                << "479,00"
                                << "479,00 kr"
                                << "";
    QTest::newRow("empty value") << QByteArray("MOMS=") << "Att betala"
                                 << "479,00"
                                 << "479,00 kr"
                                 << "";
}

void TestCaseSheet::vatLine()
{
    QFETCH(QByteArray, moms);
    QFETCH(QString, label);
    QFETCH(QString, sum);
    QFETCH(QString, amount);
    QFETCH(QString, vat);

    SheetFixture fixture;
    QByteArray company = SheetFixture::companyFile();
    if (!moms.isEmpty())
        company += moms + "\r\n";
    fixture.writeCompanyFile(company);
    CaseSheetData data = SheetFixture::caseData(1);
    data.sumLabel = label;
    data.sumText = sum;
    RecordingDevice device;
    QVERIFY(printCaseSheet(device, data).ok());

    // The VAT line goes into the sum box between its label and its amount; everything
    // else of the sheet, the box's own lines and texts included, is unchanged.
    QList<Item> expected = expectedSheet(data, SheetFixture::companyLines(), amount);
    if (!vat.isEmpty()) {
        const auto box = std::find_if(expected.begin(), expected.end(),
            [](const Item &item) { return item.kind == RecordingDevice::Outline; });
        expected.insert(box, text(13.5, 25.8, 8, false, vat));
    }
    checkSheet(device, expected);
}

void TestCaseSheet::notesBandStandsInTheFreeRoom()
{
    SheetFixture fixture;
    CaseSheetData data = SheetFixture::caseData(2);
    data.notes = sampleNotes();
    RecordingDevice device;
    QVERIFY(printCaseSheet(device, data).ok());
    checkSheet(device,
        expectedSheet(data, SheetFixture::companyLines(), QStringLiteral("125,00 kr"))
            + expectedBand(data.notes,
                { QStringLiteral("Bakhjulet kärvar."), QStringLiteral("Kedjan hoppar i växel 3.") }));

    // A serial number wider than the room beside its heading is cut, not run off the paper.
    data.notes.serial = QString(200, u'9');
    RecordingDevice longSerial;
    QVERIFY(printCaseSheet(longSerial, data).ok());
    for (const Op &op : longSerial.texts()) {
        if (near(op.y, 17.0) && near(op.x, 4.5)) {
            QVERIFY(op.text.endsWith(QStringLiteral("…")));
            QVERIFY(4.5 + longSerial.textWidth(op.text) <= 20.0 + 1e-9);
        }
    }
}

void TestCaseSheet::caseWithoutNotesPrintsAsBefore()
{
    SheetFixture fixture;
    CaseSheetData data = SheetFixture::caseData(3);
    RecordingDevice plain;
    QVERIFY(printCaseSheet(plain, data).ok());
    checkSheet(plain, expectedSheet(data, SheetFixture::companyLines(), QStringLiteral("125,00 kr")));

    // With notes, the operations are those of the plain sheet with the band's inserted
    // in one run before the table: nothing else moves or changes.
    data.notes = sampleNotes();
    RecordingDevice withNotes;
    QVERIFY(printCaseSheet(withNotes, data).ok());
    const QList<Op> &a = plain.ops();
    const QList<Op> &b = withNotes.ops();
    QVERIFY(b.size() > a.size());
    qsizetype first = 0;
    while (first < a.size() && a.at(first).kind == b.at(first).kind && near(a.at(first).x, b.at(first).x)
        && near(a.at(first).y, b.at(first).y) && a.at(first).text == b.at(first).text
        && near(a.at(first).value, b.at(first).value))
        ++first;
    const qsizetype inserted = b.size() - a.size();
    for (qsizetype i = first; i < a.size(); ++i) {
        const Op &want = a.at(i);
        const Op &got = b.at(i + inserted);
        QCOMPARE(got.kind, want.kind);
        QCOMPARE(got.text, want.text);
        QVERIFY(near(got.x, want.x) && near(got.y, want.y) && near(got.value, want.value));
    }
    // The inserted run starts with the band and holds nothing of the table.
    QCOMPARE(b.at(first).kind, RecordingDevice::Fill);
    for (qsizetype i = first; i < first + inserted; ++i)
        QVERIFY(b.at(i).text != QLatin1String("Artikel nr"));
}

void TestCaseSheet::longFaultTextIsCutAtTwelveLines()
{
    SheetFixture fixture;
    CaseSheetData data = SheetFixture::caseData(1);
    QStringList words;
    for (int i = 0; i < 400; ++i)
        words << QStringLiteral("ord%1").arg(i);
    data.notes = { QString(), QString(), words.join(u' ') };
    RecordingDevice device;
    QVERIFY(printCaseSheet(device, data).ok());

    QList<Op> lines;
    for (const Op &op : device.texts()) {
        if (op.page == 1 && near(op.x, 1.5) && op.y > 17.7 && op.y < 24.2)
            lines.append(op);
    }
    QCOMPARE(lines.size(), 12);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QVERIFY(near(lines.at(i).y, 17.8 + 0.4 * i));
        QCOMPARE(lines.at(i).fontSize, 8.0);
        QVERIFY(1.5 + device.textWidth(lines.at(i).text) <= 20.0 + 1e-9);
        QCOMPARE(lines.at(i).text.endsWith(QStringLiteral("…")), i == 11);
    }
    // The lines hold the words in order, none split, none lost before the cut.
    const QStringList printed = QStringList({ lines.at(0).text, lines.at(1).text }).join(u' ').split(u' ');
    QCOMPARE(printed, words.mid(0, printed.size()));

    // Exactly twelve lines is not cut; a word wider than the line is broken.
    QStringList twelve;
    for (int i = 0; i < 12; ++i)
        twelve << QStringLiteral("rad %1").arg(i);
    const QStringList wrapped = wrapNotesText(device, twelve.join(u'\n'), 18.5, 12);
    QCOMPARE(wrapped, twelve);
    const QStringList broken = wrapNotesText(device, QString(300, u'x'), 18.5, 12);
    QVERIFY(broken.size() > 1);
    QCOMPARE(broken.join(QString()), QString(300, u'x'));
}

void TestCaseSheet::notesWithALongTableStayOnTheFirstPage()
{
    SheetFixture fixture;
    CaseSheetData data = SheetFixture::caseData(40);
    data.notes = sampleNotes();
    RecordingDevice device;
    QVERIFY(printCaseSheet(device, data).ok());
    QVERIFY(device.pages() > 1);
    int rows = 0;
    for (const Op &op : device.texts()) {
        if (op.text.startsWith(QLatin1String("ART")))
            ++rows;
        if (op.text == QLatin1String("Felbeskrivning"))
            QCOMPARE(op.page, 1);
        if (op.page > 1) // continuation pages hold the table and its footer only
            QVERIFY(op.y > 1.0 - 1e-6 && op.y <= 28.7 + 1e-6);
        if (op.page == 1 && op.text.startsWith(QLatin1String("ART")))
            QVERIFY(op.y <= 14.7 + 1e-6); // above the band
    }
    QCOMPARE(rows, 40);
    QCOMPARE(device.opsOf(RecordingDevice::EndJob).size(), 1);
}

QTEST_GUILESS_MAIN(TestCaseSheet)
#include "tst_casesheet.moc"
