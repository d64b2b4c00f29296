// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "printing/printdevice.h"

#include <QFont>
#include <QList>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRectF>
#include <memory>

class QPainter;

namespace lunora {

// The print device on a QPrinter: the system's default printer (through CUPS on Linux)
// or a PDF file. Pages are A4 portrait with margins of 0.5 cm on every side (more where
// the printer cannot print that close to the edge), which gives a printable area of
// 20.0 × 28.7 cm.
//
// Nothing reaches the printer before endJob(): the pages are collected first and sent
// as one job, so a printout that stops half-way (abortJob()) prints no partial sheet.
class QPrinterDevice final : public PrintDevice
{
public:
    explicit QPrinterDevice(const QPrinterInfo &printer);
    // A PDF file instead of a printer: a failure names the file and the system's reason.
    explicit QPrinterDevice(const QString &pdfFile);
    // Draws into a printer that someone else owns and has begun nothing on, such as the
    // one a print preview or a printer dialog hands over; the page is set up as for the
    // default printer, the printer's own choices (copies, which printer) stay.
    explicit QPrinterDevice(QPrinter *target);
    ~QPrinterDevice() override;

    QPrinterDevice(const QPrinterDevice &) = delete;
    QPrinterDevice &operator=(const QPrinterDevice &) = delete;

    // The name the job has in the printer's queue.
    void setJobName(const QString &name);

    void setPaperSizeA4() override;
    void setOrientationPortrait() override;
    void setUnitCentimetres() override;
    void setPaperSizeMillimetres(double width, double height) override;

    double printableWidth() const override;
    double printableHeight() const override;
    double printableLeft() const override;
    double printableTop() const override;

    double currentX() const override { return m_x; }
    double currentY() const override { return m_y; }
    void setCurrentX(double x) override;
    void setCurrentY(double y) override;

    void setFontSize(double points) override;
    void setBold(bool bold) override;
    void setTextColor(const QColor &color) override;

    double textWidth(const QString &text) const override;
    double lineHeight() const override;
    void printText(const QString &text, LineEnding ending) override;
    void endLine() override;

    void fillRectangle(double left, double top, double right, double bottom, const QColor &color) override;
    void drawRectangle(double left, double top, double right, double bottom, const QColor &color) override;
    void drawPicture(const QImage &picture, double x, double y) override;

    void newPage() override;
    void endJob() override;
    void abortJob() override;

    Status status() const override { return m_status; }

    // The number of pages of the job so far.
    int pageCount() const { return m_pageCount; }

    // The first page as drawn so far, on white, at the given resolution: what a preview
    // on the screen shows. Nothing is sent to the printer.
    QImage firstPageImage(double dotsPerInch) const;

private:
    enum class Kind
    {
        Text,
        Fill,
        Outline,
        Picture,
        PageBreak
    };
    // One drawing operation, in device pixels of the printer.
    struct Command
    {
        Kind kind;
        QRectF rect; // text: its top-left corner and size; rectangles; picture target
        QString text;
        QFont font;
        QColor color;
        QImage picture;
    };

    void setUpPage();
    bool accepting() const;
    double toDevice(double centimetres) const;
    double fromDevice(double pixels) const;
    QRectF deviceRect(double left, double top, double right, double bottom) const;
    void paintCommands();
    void paintCommand(QPainter &painter, const Command &command) const;

    std::unique_ptr<QPrinter> m_ownPrinter;
    QPrinter *m_printer = nullptr;
    QFont m_font;
    QColor m_textColor = Qt::black;
    double m_x = 0.0;
    double m_y = 0.0;
    QList<Command> m_commands;
    int m_pageCount = 1;
    bool m_ended = false;
    QString m_pdfFile; // set when the pages go to a PDF file rather than a printer
    Status m_status;
};

} // namespace lunora
