// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "printing/printdevice.h"

#include <QColor>
#include <QList>
#include <QSize>
#include <QString>

namespace lunora::test {

// A print device that keeps every operation instead of printing it. Text metrics are
// simple and predictable: a line is 1.12 times the font size high, a character 0.6
// times the font size wide.
class RecordingDevice final : public PrintDevice
{
public:
    enum Kind
    {
        PaperA4,
        PaperMillimetres,
        Portrait,
        Centimetres,
        FontSize,
        Bold,
        TextColor,
        SetX,
        SetY,
        Text,
        LineEnd,
        Fill,
        Outline,
        Picture,
        NewPage,
        EndJob,
        AbortJob
    };

    struct Op
    {
        Kind kind;
        double x = 0; // text, picture: position; rectangles: left
        double y = 0; // text, picture: position; rectangles: top
        double right = 0; // rectangles
        double bottom = 0; // rectangles
        double value = 0; // font size, coordinate set
        bool flag = false; // bold; a text that ends its line
        QString text {};
        QColor color {};
        QSize pictureSize {};
        // The state a text was printed in.
        double fontSize = 0;
        bool bold = false;
        int page = 1;
    };

    explicit RecordingDevice(double printableWidth = 20.0, double printableHeight = 28.7);
    ~RecordingDevice() override;

    // For a device that a print job owns: its operations are copied here when it goes.
    void keepOpsIn(QList<Op> *sink) { m_sink = sink; }

    void failWith(const QString &error) { m_status = Status::failure(error); }

    const QList<Op> &ops() const { return m_ops; }
    QList<Op> texts() const;
    QList<Op> opsOf(Kind kind) const;
    int pages() const { return m_page; }

    void setPaperSizeA4() override;
    void setOrientationPortrait() override;
    void setUnitCentimetres() override;
    // A label page: the printable area becomes the label, with no margins.
    void setPaperSizeMillimetres(double width, double height) override;
    double printableWidth() const override { return m_width; }
    double printableHeight() const override { return m_height; }
    double printableLeft() const override { return 0.0; }
    double printableTop() const override { return 0.0; }
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

private:
    void record(Op op);

    double m_width;
    double m_height;
    double m_x = 0;
    double m_y = 0;
    double m_fontSize = 8;
    bool m_bold = false;
    QColor m_color = Qt::black;
    int m_page = 1;
    bool m_ended = false;
    QList<Op> m_ops;
    Status m_status;
    QList<Op> *m_sink = nullptr;
};

} // namespace lunora::test
