// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "printing/qprinterdevice.h"

#include "printing/defaultprinter.h"
#include "storage/systemreason.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPen>
#include <algorithm>

namespace lunora {

namespace {
// A4 with half a centimetre all round: a printable area of 20.0 × 28.7 cm, which the
// case sheet's layout is drawn for.
constexpr double MarginMillimetres = 5.0;
// The outline of a box: a thin line, as a pen of one printer dot would give.
constexpr double OutlinePoints = 0.5;
constexpr double ScreenDpi = 96.0;
constexpr double CentimetresPerInch = 2.54;

// Qt's PDF writer only says that it failed; opening the file as it does finds the
// system's reason. A file that did not exist before is not left behind empty.
QString pdfFailedText(const QString &pdfFile)
{
    const QString name = QDir::toNativeSeparators(QFileInfo(pdfFile).absoluteFilePath());
    QFile probe(pdfFile);
    const bool existed = probe.exists();
    if (probe.open(QIODevice::WriteOnly | QIODevice::Append)) {
        probe.close();
        if (!existed)
            probe.remove();
        return QStringLiteral("Filen %1 kunde inte skrivas.").arg(name);
    }
    return QStringLiteral("Filen %1 kunde inte skrivas: %2.").arg(name, reasonOf(probe));
}

QFont defaultPrinterFont()
{
    // The printouts never choose a typeface; this is the sans-serif every Debian desktop
    // has, metric-compatible with the fonts printers were set up with.
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.0);
    return font;
}
} // namespace

QPrinterDevice::QPrinterDevice(const QPrinterInfo &printer)
    : m_ownPrinter(std::make_unique<QPrinter>(printer, QPrinter::HighResolution))
    , m_printer(m_ownPrinter.get())
    , m_font(defaultPrinterFont())
{
    if (printer.isNull())
        m_status = Status::failure(noPrinterText());
    m_printer->setCreator(QStringLiteral("Lunora"));
    setUpPage();
}

QPrinterDevice::QPrinterDevice(const QString &pdfFile)
    : m_ownPrinter(std::make_unique<QPrinter>(QPrinter::HighResolution))
    , m_printer(m_ownPrinter.get())
    , m_font(defaultPrinterFont())
    , m_pdfFile(pdfFile)
{
    m_printer->setOutputFormat(QPrinter::PdfFormat);
    m_printer->setOutputFileName(pdfFile);
    m_printer->setCreator(QStringLiteral("Lunora"));
    setUpPage();
}

QPrinterDevice::QPrinterDevice(QPrinter *target)
    : m_printer(target)
    , m_font(defaultPrinterFont())
{
    if (!m_printer) {
        m_ownPrinter = std::make_unique<QPrinter>();
        m_printer = m_ownPrinter.get();
        m_status = Status::failure(noPrinterText());
        return;
    }
    m_printer->setCreator(QStringLiteral("Lunora"));
    setUpPage();
}

QPrinterDevice::~QPrinterDevice() = default;

void QPrinterDevice::setJobName(const QString &name)
{
    m_printer->setDocName(name);
}

void QPrinterDevice::setUpPage()
{
    m_printer->setFullPage(false);
    m_printer->setPageSize(QPageSize(QPageSize::A4));
    m_printer->setPageOrientation(QPageLayout::Portrait);
    QPageLayout layout = m_printer->pageLayout();
    layout.setUnits(QPageLayout::Millimeter);
    const QMarginsF minimum = layout.minimumMargins();
    const QMarginsF margins(std::max(MarginMillimetres, minimum.left()),
        std::max(MarginMillimetres, minimum.top()), std::max(MarginMillimetres, minimum.right()),
        std::max(MarginMillimetres, minimum.bottom()));
    m_printer->setPageMargins(margins, QPageLayout::Millimeter);
}

void QPrinterDevice::setPaperSizeA4()
{
    if (accepting())
        setUpPage();
}

void QPrinterDevice::setOrientationPortrait()
{
    if (accepting())
        setUpPage();
}

void QPrinterDevice::setPaperSizeMillimetres(double width, double height)
{
    if (!accepting() || width <= 0.0 || height <= 0.0)
        return;
    // Label printers describe their media in portrait, the way the roll feeds; a label
    // wider than high is that size turned.
    const QSizeF portrait(std::min(width, height), std::max(width, height));
    m_printer->setFullPage(false);
    m_printer->setPageSize(QPageSize(portrait, QPageSize::Millimeter, QString(), QPageSize::ExactMatch));
    m_printer->setPageOrientation(width > height ? QPageLayout::Landscape : QPageLayout::Portrait);
    QPageLayout layout = m_printer->pageLayout();
    layout.setUnits(QPageLayout::Millimeter);
    m_printer->setPageMargins(layout.minimumMargins(), QPageLayout::Millimeter);
}

void QPrinterDevice::setUnitCentimetres()
{
    // Centimetres are the only unit this device speaks.
}

double QPrinterDevice::printableWidth() const
{
    return m_printer->pageLayout().paintRect(QPageLayout::Millimeter).width() / 10.0;
}

double QPrinterDevice::printableHeight() const
{
    return m_printer->pageLayout().paintRect(QPageLayout::Millimeter).height() / 10.0;
}

double QPrinterDevice::printableLeft() const
{
    return 0.0;
}

double QPrinterDevice::printableTop() const
{
    return 0.0;
}

void QPrinterDevice::setCurrentX(double x)
{
    m_x = x;
}

void QPrinterDevice::setCurrentY(double y)
{
    m_y = y;
}

void QPrinterDevice::setFontSize(double points)
{
    if (points > 0.0)
        m_font.setPointSizeF(points);
}

void QPrinterDevice::setBold(bool bold)
{
    m_font.setBold(bold);
}

void QPrinterDevice::setTextColor(const QColor &color)
{
    m_textColor = color;
}

double QPrinterDevice::textWidth(const QString &text) const
{
    return fromDevice(QFontMetricsF(m_font, m_printer).horizontalAdvance(text));
}

double QPrinterDevice::lineHeight() const
{
    // As printText() moves down at the end of a line, to the last bit.
    return fromDevice(QFontMetricsF(m_font, m_printer).height());
}

void QPrinterDevice::printText(const QString &text, LineEnding ending)
{
    // Metrics of the printer itself, so that points are points on paper.
    const QFontMetricsF metrics(m_font, m_printer);
    const double left = toDevice(m_x);
    const double top = toDevice(m_y);
    const double advance = metrics.horizontalAdvance(text);
    if (accepting() && !text.isEmpty()) {
        Command command { Kind::Text, QRectF(left, top + metrics.ascent(), advance, metrics.height()), text,
            m_font, m_textColor, QImage() };
        m_commands.append(command);
    }
    if (ending == EndLine) {
        m_x = printableLeft();
        m_y += fromDevice(metrics.height());
    } else {
        m_x += fromDevice(advance);
    }
}

void QPrinterDevice::endLine()
{
    printText(QString(), EndLine);
}

void QPrinterDevice::fillRectangle(double left, double top, double right, double bottom, const QColor &color)
{
    if (accepting())
        m_commands.append(
            { Kind::Fill, deviceRect(left, top, right, bottom), QString(), QFont(), color, QImage() });
}

void QPrinterDevice::drawRectangle(double left, double top, double right, double bottom, const QColor &color)
{
    if (accepting())
        m_commands.append(
            { Kind::Outline, deviceRect(left, top, right, bottom), QString(), QFont(), color, QImage() });
}

void QPrinterDevice::drawPicture(const QImage &picture, double x, double y)
{
    if (!accepting() || picture.isNull())
        return;
    const double scale = m_printer->resolution() / ScreenDpi;
    const QRectF target(toDevice(x), toDevice(y), picture.width() * scale, picture.height() * scale);
    m_commands.append({ Kind::Picture, target, QString(), QFont(), QColor(), picture });
}

void QPrinterDevice::newPage()
{
    if (!accepting())
        return;
    m_commands.append({ Kind::PageBreak, QRectF(), QString(), QFont(), QColor(), QImage() });
    ++m_pageCount;
}

void QPrinterDevice::endJob()
{
    if (m_ended)
        return;
    m_ended = true;
    if (m_status.ok())
        paintCommands();
    m_commands.clear();
}

void QPrinterDevice::abortJob()
{
    // Nothing has been sent yet; forgetting the pages is all it takes.
    m_ended = true;
    m_commands.clear();
}

bool QPrinterDevice::accepting() const
{
    return !m_ended && m_status.ok();
}

double QPrinterDevice::toDevice(double centimetres) const
{
    return centimetres / CentimetresPerInch * m_printer->resolution();
}

double QPrinterDevice::fromDevice(double pixels) const
{
    return pixels / m_printer->resolution() * CentimetresPerInch;
}

QRectF QPrinterDevice::deviceRect(double left, double top, double right, double bottom) const
{
    return QRectF(QPointF(toDevice(left), toDevice(top)), QPointF(toDevice(right), toDevice(bottom)))
        .normalized();
}

void QPrinterDevice::paintCommands()
{
    const auto failed = [this]() {
        return Status::failure(m_pdfFile.isEmpty() ? printerFailedText() : pdfFailedText(m_pdfFile));
    };
    QPainter painter;
    if (!painter.begin(m_printer)) {
        m_status = failed();
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    for (const Command &command : std::as_const(m_commands)) {
        if (command.kind != Kind::PageBreak) {
            paintCommand(painter, command);
            continue;
        }
        if (!m_printer->newPage()) {
            painter.end();
            m_status = failed();
            return;
        }
    }
    if (!painter.end())
        m_status = failed();
}

void QPrinterDevice::paintCommand(QPainter &painter, const Command &command) const
{
    switch (command.kind) {
    case Kind::Text:
        painter.setFont(command.font);
        painter.setPen(command.color);
        painter.drawText(command.rect.topLeft(), command.text);
        break;
    case Kind::Fill:
        painter.fillRect(command.rect, command.color);
        break;
    case Kind::Outline: {
        QPen pen(command.color);
        pen.setWidthF(OutlinePoints / 72.0 * m_printer->resolution());
        pen.setJoinStyle(Qt::MiterJoin);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(command.rect);
        break;
    }
    case Kind::Picture:
        painter.drawImage(command.rect, command.picture);
        break;
    case Kind::PageBreak:
        break;
    }
}

QImage QPrinterDevice::firstPageImage(double dotsPerInch) const
{
    const QRectF page = m_printer->pageLayout().paintRect(QPageLayout::Inch);
    QImage image(
        qRound(page.width() * dotsPerInch), qRound(page.height() * dotsPerInch), QImage::Format_RGB32);
    image.fill(Qt::white);
    // The commands are in printer pixels and their fonts in points: the image claims the
    // printer's resolution, so points come out as on paper, and the painter scales down.
    const double printerDpi = m_printer->resolution();
    image.setDotsPerMeterX(qRound(printerDpi / 0.0254));
    image.setDotsPerMeterY(qRound(printerDpi / 0.0254));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(dotsPerInch / printerDpi, dotsPerInch / printerDpi);
    for (const Command &command : m_commands) {
        if (command.kind == Kind::PageBreak)
            break;
        paintCommand(painter, command);
    }
    painter.end();
    image.setDotsPerMeterX(qRound(dotsPerInch / 0.0254));
    image.setDotsPerMeterY(qRound(dotsPerInch / 0.0254));
    return image;
}

} // namespace lunora
