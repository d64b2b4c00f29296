// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "printing/casesheet.h"

#include "printing/defaultprinter.h"
#include "printing/listprintout.h"
#include "printing/printdevice.h"
#include "printing/qprinterdevice.h"
#include "storage/accounts.h"
#include "storage/datafolder.h"
#include "storage/fileio.h"
#include "storage/numbers.h"
#include "storage/vat.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <memory>
#include <optional>

namespace lunora {

namespace {
const QColor Black(Qt::black);
const QColor White(Qt::white);

// The article table's margins in centimetres: it starts under the third title band and
// keeps clear of the sum box and the sign-off lines of the first page.
constexpr float TableLeft = 1.5f;
constexpr float TableTop = 13.2f;
constexpr float TableRight = 1.0f;
constexpr float TableBottom = 14.0f;
constexpr double TableFontSize = 8;
// A continuation page holds the table alone: its header row at the top edge of the
// sheet's content (where the name lines and the logo start on the first page), its rows
// down to the footer, which stands where the first page's does.
constexpr float NextPageTableTop = 1.0f;
constexpr double FooterX = 1.5;
constexpr double FooterTop = 28.7;
constexpr double FooterSize = 5;
// The VAT line: 8 pt, halfway between the 12-pt sum label (24.7) and the amount (26.7).
constexpr double VatLineTop = 25.8;

// The fault band uses the free room between the last row the table may start on the
// first page (14.7 cm) and the sum box (24.2 cm).
constexpr double NotesBandTop = 15.3;
constexpr double NotesHeadingX = 1.5;
constexpr double NotesValueX = 4.5;
constexpr double NotesDeviceY = 16.4;
constexpr double NotesSerialY = 17.0;
constexpr double NotesTextY = 17.8;
constexpr double NotesLinePitch = 0.4;
constexpr double NotesRight = 20.0;
constexpr int NotesMaxLines = 12;
const QString Ellipsis = QStringLiteral("…");

struct SheetSources
{
    QStringList nameLines;
    QImage logo;
    std::optional<double> vatRate;
};

// The company lines and the logo, read before anything goes to the printer, so that a
// data folder that cannot be read prints nothing at all.
Result<SheetSources> readSources()
{
    Result<QStringList> lines = companyfile::readNameLines();
    if (!lines.ok()) {
        return Status::failure(QStringLiteral("Företagets namnrader kunde inte läsas från %1.")
                                   .arg(QDir::toNativeSeparators(paths::companyFile())));
    }
    SheetSources sources;
    sources.nameLines = lines.takeValue();
    while (sources.nameLines.size() < 4)
        sources.nameLines.append(QString());

    sources.vatRate = vat::readRate();

    const QString logoPath = paths::logoFile();
    if (!QFileInfo(logoPath).isFile())
        return Status::failure(
            QStringLiteral("Logotypen %1 saknas.").arg(QDir::toNativeSeparators(logoPath)));
    // Read through the storage layer, which refuses a FIFO or a link out of the data
    // folder before opening it; the picture is decoded from the bytes.
    Result<QByteArray> logoBytes = fileio::readAll(logoPath);
    if (logoBytes.ok())
        sources.logo = QImage::fromData(logoBytes.value());
    if (sources.logo.isNull()) {
        return Status::failure(
            QStringLiteral("Logotypen %1 är ingen läsbar bild.").arg(QDir::toNativeSeparators(logoPath)));
    }
    return sources;
}

// One text item: size, then bold where the layout gives it, then y and x, then white
// for a band title. Every item ends its line; its position is set anew for the next.
enum class Weight
{
    Unchanged,
    Regular,
    Bold
};

void printItem(PrintDevice &device, double size, Weight weight, double x, double y, const QString &text,
    bool white = false)
{
    device.setFontSize(size);
    if (weight != Weight::Unchanged)
        device.setBold(weight == Weight::Bold);
    device.setCurrentY(y);
    device.setCurrentX(x);
    if (white)
        device.setTextColor(White);
    device.printText(text, PrintDevice::EndLine);
    if (white)
        device.setTextColor(Black);
}

void printTitleBand(PrintDevice &device, double top, const QString &title)
{
    device.fillRectangle(1.0, top, 20.0, top + 0.5, Black);
    printItem(device, 8, Weight::Bold, 1.5, top + 0.1, title, true);
}

void drawNotesBand(PrintDevice &device, const CaseNotes &notes)
{
    printTitleBand(device, NotesBandTop, QStringLiteral("Felbeskrivning"));
    const double valueWidth = NotesRight - NotesValueX;
    printItem(device, 8, Weight::Regular, NotesHeadingX, NotesDeviceY, QStringLiteral("Enhet / modell"));
    printItem(device, 8, Weight::Regular, NotesValueX, NotesDeviceY,
        elidedToWidth(device, notes.device, valueWidth));
    printItem(device, 8, Weight::Regular, NotesHeadingX, NotesSerialY, QStringLiteral("Serienummer"));
    printItem(device, 8, Weight::Regular, NotesValueX, NotesSerialY,
        elidedToWidth(device, notes.serial, valueWidth));

    // The serial number left the font at the 8 points the lines print in: the wrapping
    // measures in that size.
    const QStringList lines = wrapNotesText(device, notes.text, NotesRight - NotesHeadingX, NotesMaxLines);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (!lines.at(i).isEmpty())
            printItem(
                device, 8, Weight::Regular, NotesHeadingX, NotesTextY + NotesLinePitch * i, lines.at(i));
    }
}

void drawSheet(PrintDevice &device, const CaseSheetData &data, const SheetSources &sources)
{
    // The shop's name lines, in the printer's regular black: they set neither bold nor colour.
    for (int i = 0; i < 4; ++i)
        printItem(device, 8, Weight::Unchanged, 16.0, 1.0 + 0.4 * i, sources.nameLines.at(i));
    device.drawPicture(sources.logo, 1.0, 1.0);

    printTitleBand(device, 3.9, QStringLiteral("Ärendedata"));
    printItem(device, 8, Weight::Regular, 1.5, 5.0, QStringLiteral("Ärendenummer"));
    printItem(device, 8, Weight::Regular, 1.5, 5.6, data.caseNumber);
    printItem(device, 8, Weight::Regular, 4.5, 5.0, QStringLiteral("Skapad"));
    printItem(device, 8, Weight::Regular, 4.5, 5.6, data.created);
    printItem(device, 8, Weight::Regular, 6.5, 5.0, QStringLiteral("Kontrollnummer"));
    printItem(device, 8, Weight::Regular, 6.5, 5.6, data.controlCode);
    printItem(device, 8, Weight::Regular, 16.5, 5.0, QStringLiteral("Signatur"));
    printItem(device, 8, Weight::Regular, 16.5, 5.6, data.signature);

    printTitleBand(device, 7.9, QStringLiteral("Kunddata"));
    printItem(device, 8, Weight::Regular, 1.5, 9.0, QStringLiteral("Kundnummer"));
    printItem(device, 8, Weight::Regular, 4.5, 9.0, data.customerNumber);
    printItem(device, 8, Weight::Regular, 1.5, 9.6, QStringLiteral("Namn"));
    printItem(device, 8, Weight::Regular, 4.5, 9.6, data.customerName);
    printItem(device, 8, Weight::Regular, 1.5, 10.2, QStringLiteral("Telefon"));
    printItem(device, 8, Weight::Regular, 4.5, 10.2, data.telephone);
    printItem(device, 8, Weight::Regular, 13.5, 9.0, QStringLiteral("Prioritet"));
    printItem(device, 8, Weight::Regular, 15.5, 9.0, data.priority);
    printItem(device, 8, Weight::Regular, 13.5, 9.6, QStringLiteral("Status"));
    printItem(device, 8, Weight::Regular, 15.5, 9.6, data.status);

    printItem(device, 12, Weight::Regular, 13.5, 24.7, data.sumLabel);
    const QString amount = amountText(data.sumText);
    if (!amount.isEmpty())
        printItem(device, 15, Weight::Regular, 16.5, 26.7, amount);
    // Only a shop that has set its VAT rate gets the line; it sits in the free space of the
    // sum box, under the label and above the amount, so the box itself stays as it was.
    const QString vatLine = vat::lineText(sources.vatRate, data.sumText);
    if (!vatLine.isEmpty())
        printItem(device, 8, Weight::Regular, 13.5, VatLineTop, vatLine);
    device.drawRectangle(13.0, 24.2, 20.0, 27.5, Black);

    printTitleBand(device, 12.1, QStringLiteral("Artikeldata"));
    printItem(device, 9, Weight::Regular, 1.5, 25.7, closingLineText());
    printItem(device, 9, Weight::Regular, 1.5, 26.7, voidingLineText());
    printItem(device, FooterSize, Weight::Regular, FooterX, FooterTop, footerText());

    // After everything the sheet always had, so that a case without notes prints exactly
    // as before; before the table, which ends the job.
    if (!data.notes.isEmpty())
        drawNotesBand(device, data.notes);
}
} // namespace

QString closingLineText()
{
    return QStringLiteral(
        "Ärendet avslutat      . . . . . . . . . . . . . . . . . . . / . . . . . . . . . . .");
}

QString voidingLineText()
{
    return QStringLiteral("Ärendet makulerat  . . . . . . . . . . . . . . . . . . . / . . . . . . . . . . .");
}

QString footerText()
{
    return QStringLiteral("© 2026 Lunora-utvecklarna. Fri programvara: GNU GPL version 3 eller senare.");
}

QString continuationFooterText(const QString &caseNumber, int page, int pages)
{
    return QStringLiteral("Ärende %1, sida %2 av %3").arg(caseNumber).arg(page).arg(pages);
}

QStringList wrapNotesText(const PrintDevice &device, const QString &text, double width, int maxLines)
{
    QStringList lines;
    bool cut = false;
    const QStringList paragraphs = text.isEmpty() ? QStringList() : text.split(u'\n');
    for (const QString &paragraph : paragraphs) {
        if (lines.size() > maxLines)
            break;
        QString line;
        const QStringList words = paragraph.split(u' ');
        for (const QString &word : words) {
            if (lines.size() > maxLines)
                break; // what follows is cut anyway
            const QString candidate = line.isEmpty() ? word : line + u' ' + word;
            if (device.textWidth(candidate) <= width) {
                line = candidate;
                continue;
            }
            if (!line.isEmpty())
                lines.append(line);
            // A word wider than the line is broken where the width ends.
            line = word;
            while (device.textWidth(line) > width && line.size() > 1) {
                qsizetype fit = 1;
                while (fit < line.size() && device.textWidth(line.left(fit + 1)) <= width)
                    ++fit;
                lines.append(line.left(fit));
                line = line.mid(fit);
            }
        }
        lines.append(line);
    }
    if (lines.size() > maxLines) {
        lines.resize(maxLines);
        cut = true;
    }
    if (cut && !lines.isEmpty()) {
        QString &last = lines.last();
        while (!last.isEmpty() && device.textWidth(last + Ellipsis) > width)
            last.chop(1);
        while (last.endsWith(u' '))
            last.chop(1);
        last += Ellipsis;
    }
    return lines;
}

QString amountText(const QString &sumText)
{
    const std::optional<double> value = numbers::parse(sumText);
    if (!value)
        return QString();
    if (*value <= -1.0)
        return numbers::formatGeneral(-*value) + QStringLiteral(" kr");
    if (*value >= 0.0)
        return sumText + QStringLiteral(" kr");
    return QString();
}

Status printCaseSheet(PrintDevice &device, const CaseSheetData &data)
{
    Result<SheetSources> sources = readSources();
    if (!sources.ok()) {
        device.abortJob();
        return sources.status();
    }

    device.setPaperSizeA4();
    device.setOrientationPortrait();
    device.setUnitCentimetres();
    if (!device.status().ok()) {
        device.abortJob();
        return device.status();
    }

    drawSheet(device, data, sources.value());

    // The unit is centimetres already, so the table's margins need no conversion.
    device.setFontSize(TableFontSize);
    const PrintedList articles { data.columnCaptions, data.columnWidths, data.rows };
    // On a continuation page a row may start as long as it ends above the footer.
    ContinuationPages next;
    next.topMarginal = NextPageTableTop;
    next.bottomMarginal = static_cast<float>(device.printableHeight() - FooterTop + device.lineHeight());
    next.footer = [&device, &data](int page, int pages) {
        printItem(device, FooterSize, Weight::Regular, FooterX, FooterTop,
            continuationFooterText(data.caseNumber, page, pages));
        device.setFontSize(TableFontSize);
    };
    PrintListView(device, articles, TableLeft, TableTop, TableRight, TableBottom, next);
    device.endJob();
    return device.status();
}

Status printCaseSheetOn(QPrinter *printer, const CaseSheetData &data)
{
    QPrinterDevice device(printer);
    return printCaseSheet(device, data);
}

Status printCaseSheetToPdf(const QString &pdfFile, const CaseSheetData &data)
{
    QPrinterDevice device(pdfFile);
    device.setJobName(QStringLiteral("Ärende %1").arg(data.caseNumber));
    const Status printed = printCaseSheet(device, data);
    if (!printed.ok())
        QFile::remove(pdfFile); // no half-written file under the name the user chose
    return printed;
}

Status checkCaseSheetSources()
{
    return readSources().status();
}

Status printCaseSheetOnDefaultPrinter(const CaseSheetData &data)
{
    Result<std::shared_ptr<PrintDevice>> printer
        = openDefaultPrinter(QStringLiteral("Kundärende %1").arg(data.caseNumber));
    if (!printer.ok())
        return printer.status();
    return printCaseSheet(*printer.value(), data);
}

} // namespace lunora
