// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "storage/status.h"

#include <QColor>
#include <QImage>
#include <QString>

namespace lunora {

// The printer as the printouts see it: a page in A4 portrait measured in centimetres
// from the top-left corner of its printable area, a current position that every text
// starts from, and the few drawing operations the case sheet and the list printout use.
//
// A text's position is the top-left corner of its first character, not its baseline.
// Printing a text without ending the line moves the current position to the end of the
// text; ending the line moves it to the left edge and one text line down.
//
// The first failure (no printer, a job that cannot start or finish) is kept in status();
// every later operation does nothing, so a printout can check once at a step of its
// choice and stop there.
class PrintDevice
{
public:
    enum LineEnding
    {
        KeepLine,
        EndLine
    };

    virtual ~PrintDevice();

    // Page set-up, before anything is drawn on the page.
    virtual void setPaperSizeA4() = 0;
    virtual void setOrientationPortrait() = 0;
    virtual void setUnitCentimetres() = 0;
    // A label instead of a sheet: a page of its own size in millimetres, landscape when it
    // is wider than high, portrait otherwise, with no margins beyond those the printer
    // cannot print in. The unit stays centimetres.
    virtual void setPaperSizeMillimetres(double width, double height) = 0;

    // The printable area in the current unit; its left and top edges are 0 in a metric
    // unit, the reference of every position.
    virtual double printableWidth() const = 0;
    virtual double printableHeight() const = 0;
    virtual double printableLeft() const = 0;
    virtual double printableTop() const = 0;

    virtual double currentX() const = 0;
    virtual double currentY() const = 0;
    virtual void setCurrentX(double x) = 0;
    virtual void setCurrentY(double y) = 0;

    // Font size in points on paper, bold, and the colour of the texts that follow.
    virtual void setFontSize(double points) = 0;
    virtual void setBold(bool bold) = 0;
    virtual void setTextColor(const QColor &color) = 0;

    // The width the text would take in the current font, in the current unit.
    virtual double textWidth(const QString &text) const = 0;
    // The height of one text line in the current font, in the current unit: how far
    // ending a line moves the current position down.
    virtual double lineHeight() const = 0;
    virtual void printText(const QString &text, LineEnding ending) = 0;
    virtual void endLine() = 0;

    // Rectangles by their left, top, right and bottom edges.
    virtual void fillRectangle(double left, double top, double right, double bottom, const QColor &color) = 0;
    virtual void drawRectangle(double left, double top, double right, double bottom, const QColor &color) = 0;
    // A picture at the size it has on a 96-dpi screen, its top-left corner at (x, y).
    virtual void drawPicture(const QImage &picture, double x, double y) = 0;

    virtual void newPage() = 0;
    // Sends the job to the printer. Ending a job that has already ended does nothing.
    virtual void endJob() = 0;
    // Throws the job away, so that nothing of it is printed.
    virtual void abortJob() = 0;

    virtual Status status() const = 0;
};

// The longest start of the text that fits the width in the current font, with "…"
// after it; the text itself when it fits. Every printout cuts its one-line texts so.
QString elidedToWidth(const PrintDevice &device, const QString &text, double width);

} // namespace lunora
