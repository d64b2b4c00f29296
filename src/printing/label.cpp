// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "printing/label.h"

#include "printing/barcode.h"
#include "printing/printdevice.h"
#include "printing/qprinterdevice.h"
#include "storage/accounts.h"

#include <QFile>
#include <QPrinterInfo>
#include <algorithm>
#include <cmath>

namespace lunora {

namespace {
const QColor Black(Qt::black);
constexpr double PointCm = 2.54 / 72.0;
// A text line is this many times its font size high.
constexpr double LinePitch = 1.2;
// White kept along every edge, inside what the printer can print.
constexpr double PaddingCm = 0.15;
// 10 mil: three dots of a 300-dpi head and two of a 203-dpi head, so every bar is a whole
// number of dots on both and keeps its width; large labels take twice that.
constexpr double ModuleCm = 0.0254;
constexpr int MaxModuleSteps = 2;
constexpr double BarcodeHeightCm = 0.6;
constexpr double GapCm = 0.05;
// The layout below is drawn for a label 2.73 cm high; others scale it, within limits, so
// that a large label is read from across the shelf and a small one stays legible.
constexpr double MinScale = 0.6;
constexpr double MaxScale = 1.8;
constexpr double MinNumberPoints = 6.0;
constexpr int MaxLabels = 20;

struct Line
{
    QString text;
    double points;
    bool bold;
};

double lineHeight(double points)
{
    return points * PointCm * LinePitch;
}

double naturalHeight(const QList<Line> &above, const QList<Line> &below)
{
    double height = BarcodeHeightCm + 2 * GapCm;
    for (const Line &line : above + below)
        height += lineHeight(line.points);
    return height;
}

// Prints the line at y when it fits above `bottom`, cut to the width; returns the y
// after it (unchanged when the line did not fit and was left out).
double printLine(PrintDevice &device, const Line &line, double scale, double y, double width, double bottom)
{
    const double points = line.points * scale;
    if (line.text.isEmpty() || y + lineHeight(points) > bottom)
        return line.text.isEmpty() ? y : bottom;
    device.setFontSize(points);
    device.setBold(line.bold);
    device.setCurrentY(y);
    device.setCurrentX(PaddingCm);
    device.printText(elidedToWidth(device, line.text, width), PrintDevice::EndLine);
    return y + lineHeight(points);
}

// The case number in the largest type that fits the line: the one text never cut.
double printNumber(PrintDevice &device, const QString &number, double points, double y, double width)
{
    device.setBold(true);
    device.setFontSize(points);
    while (points > MinNumberPoints && device.textWidth(number) > width) {
        points = std::max(MinNumberPoints, points - 0.5);
        device.setFontSize(points);
    }
    device.setCurrentY(y);
    device.setCurrentX(PaddingCm);
    device.printText(elidedToWidth(device, number, width), PrintDevice::EndLine);
    return y + lineHeight(points);
}

// The barcode centred on the label with its quiet zones; left out when the label is too
// narrow or too low to carry it at a module width a scanner reads.
double printBarcode(PrintDevice &device, const QString &number, double scale, double y, double bottom)
{
    const std::optional<Barcode> barcode = encodeCode128(number);
    const double available = device.printableWidth() - 2 * PaddingCm;
    const double height = BarcodeHeightCm * scale;
    if (!barcode || y + height > bottom)
        return y;
    const int steps = std::min(MaxModuleSteps, int(std::floor(available / (barcode->modules * ModuleCm))));
    if (steps < 1)
        return y;
    const double module = steps * ModuleCm;
    const double left = (device.printableWidth() - barcode->modules * module) / 2;
    for (const Barcode::Bar &bar : barcode->bars) {
        device.fillRectangle(
            left + bar.left * module, y, left + (bar.left + bar.width) * module, y + height, Black);
    }
    return y + height;
}

void drawLabel(PrintDevice &device, const LabelData &data)
{
    const QString details
        = QStringLiteral("Skapad %1 · Kontroll %2").arg(data.created, controlCodeTail(data.controlCode));
    const QList<Line> above { { data.shopLine, 6, false } };
    QList<Line> below { { data.customerName, 8, true }, { data.telephone, 8, false }, { details, 6, false } };
    if (!data.device.isEmpty())
        below.append({ QStringLiteral("Enhet: ") + data.device, 6, false });
    const double numberPoints = 14;

    const double width = device.printableWidth() - 2 * PaddingCm;
    const double bottom = device.printableHeight() - PaddingCm;
    const double natural
        = naturalHeight(above + QList<Line> { { data.caseNumber, numberPoints, true } }, below);
    const double scale = std::clamp((bottom - PaddingCm) / natural, MinScale, MaxScale);

    double y = PaddingCm;
    for (const Line &line : above)
        y = printLine(device, line, scale, y, width, bottom);
    y = printNumber(device, data.caseNumber, numberPoints * scale, y, width) + GapCm * scale;
    y = printBarcode(device, data.caseNumber, scale, y, bottom) + GapCm * scale;
    for (const Line &line : below)
        y = printLine(device, line, scale, y, width, bottom);
}

LabelPrinterFactory &testPrinter()
{
    static LabelPrinterFactory factory;
    return factory;
}
} // namespace

QList<LabelSize> standardLabelSizes()
{
    return { { 62, 29 }, { 89, 36 }, { 57, 32 }, { 102, 51 } };
}

QString labelSizeText(LabelSize size)
{
    return QStringLiteral("%1 × %2 mm").arg(size.width).arg(size.height);
}

bool isUsableLabelSize(LabelSize size)
{
    return size.width >= 20 && size.width <= 300 && size.height >= 20 && size.height <= 300;
}

QString controlCodeTail(const QString &controlCode)
{
    QString code = controlCode.trimmed();
    if (code.endsWith(u'}'))
        code.chop(1);
    return code.right(8);
}

LabelData labelDataOf(const RegisterEntry &entry, const CaseNotes &notes)
{
    LabelData data;
    const Result<QStringList> lines = companyfile::readNameLines();
    if (lines.ok() && !lines.value().isEmpty())
        data.shopLine = lines.value().first();
    data.caseNumber = entry[CaseNumber];
    data.customerName = entry[CustomerName];
    data.telephone = entry[Telephone];
    data.created = entry[Created];
    data.controlCode = entry[ControlCode];
    data.device = notes.device;
    return data;
}

Status printLabels(PrintDevice &device, const LabelData &data, LabelSize size, int count)
{
    device.setPaperSizeMillimetres(size.width, size.height);
    device.setUnitCentimetres();
    if (!device.status().ok()) {
        device.abortJob();
        return device.status();
    }
    count = std::clamp(count, 1, MaxLabels);
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            device.newPage();
        drawLabel(device, data);
    }
    device.endJob();
    return device.status();
}

Status printLabelsOnPrinter(const QString &printerName, const LabelData &data, LabelSize size, int count)
{
    const QString jobName = QStringLiteral("Etikett %1").arg(data.caseNumber);
    if (testPrinter()) {
        std::unique_ptr<PrintDevice> device = testPrinter()(printerName);
        if (!device)
            return Status::failure(noLabelPrinterText(printerName));
        return printLabels(*device, data, size, count);
    }
    const QPrinterInfo printer = QPrinterInfo::printerInfo(printerName);
    if (printerName.isEmpty() || printer.isNull())
        return Status::failure(noLabelPrinterText(printerName));
    QPrinterDevice device(printer);
    device.setJobName(jobName);
    return printLabels(device, data, size, count);
}

Status printLabelsToPdf(const QString &pdfFile, const LabelData &data, LabelSize size, int count)
{
    QPrinterDevice device(pdfFile);
    device.setJobName(QStringLiteral("Etikett %1").arg(data.caseNumber));
    const Status printed = printLabels(device, data, size, count);
    if (!printed.ok())
        QFile::remove(pdfFile);
    return printed;
}

QImage labelImage(const LabelData &data, LabelSize size, double dotsPerInch)
{
    // A PDF printer that is never started: its pages are only painted onto the image.
    QPrinterDevice device { QString() };
    device.setPaperSizeMillimetres(size.width, size.height);
    device.setUnitCentimetres();
    drawLabel(device, data);
    QImage image = device.firstPageImage(dotsPerInch);
    device.abortJob();
    return image;
}

QString noLabelPrinterText(const QString &printerName)
{
    return QStringLiteral("Etikettskrivaren %1 finns inte på denna dator!").arg(printerName);
}

bool isNoLabelPrinterFailure(const Status &status)
{
    return !status.ok() && status.error().startsWith(QStringLiteral("Etikettskrivaren "))
        && status.error().endsWith(QStringLiteral(" finns inte på denna dator!"));
}

void setLabelPrinterForTesting(LabelPrinterFactory factory)
{
    testPrinter() = std::move(factory);
}

} // namespace lunora
