// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "recordingdevice.h"

namespace lunora::test {

namespace {
constexpr double PointInCm = 2.54 / 72.0;
}

RecordingDevice::RecordingDevice(double printableWidth, double printableHeight)
    : m_width(printableWidth)
    , m_height(printableHeight)
{
}

RecordingDevice::~RecordingDevice()
{
    if (m_sink)
        *m_sink = m_ops;
}

double RecordingDevice::lineHeight() const
{
    return 1.12 * m_fontSize * PointInCm;
}

QList<RecordingDevice::Op> RecordingDevice::texts() const
{
    return opsOf(Text);
}

QList<RecordingDevice::Op> RecordingDevice::opsOf(Kind kind) const
{
    QList<Op> found;
    for (const Op &op : m_ops) {
        if (op.kind == kind)
            found.append(op);
    }
    return found;
}

void RecordingDevice::record(Op op)
{
    op.fontSize = m_fontSize;
    op.bold = m_bold;
    op.page = m_page;
    m_ops.append(op);
}

void RecordingDevice::setPaperSizeA4()
{
    record({ PaperA4 });
}

void RecordingDevice::setPaperSizeMillimetres(double width, double height)
{
    m_width = width / 10.0;
    m_height = height / 10.0;
    record({ PaperMillimetres, width, height });
}

void RecordingDevice::setOrientationPortrait()
{
    record({ Portrait });
}

void RecordingDevice::setUnitCentimetres()
{
    record({ Centimetres });
}

void RecordingDevice::setCurrentX(double x)
{
    m_x = x;
    Op op { SetX };
    op.value = x;
    record(op);
}

void RecordingDevice::setCurrentY(double y)
{
    m_y = y;
    Op op { SetY };
    op.value = y;
    record(op);
}

void RecordingDevice::setFontSize(double points)
{
    m_fontSize = points;
    Op op { FontSize };
    op.value = points;
    record(op);
}

void RecordingDevice::setBold(bool bold)
{
    m_bold = bold;
    Op op { Bold };
    op.flag = bold;
    record(op);
}

void RecordingDevice::setTextColor(const QColor &color)
{
    m_color = color;
    Op op { TextColor };
    op.color = color;
    record(op);
}

double RecordingDevice::textWidth(const QString &text) const
{
    return 0.6 * m_fontSize * PointInCm * text.size();
}

void RecordingDevice::printText(const QString &text, LineEnding ending)
{
    Op op { Text, m_x, m_y };
    op.text = text;
    op.color = m_color;
    op.flag = ending == EndLine;
    record(op);
    if (ending == EndLine) {
        m_x = 0;
        m_y += lineHeight();
    } else {
        m_x += textWidth(text);
    }
}

void RecordingDevice::endLine()
{
    record({ LineEnd, m_x, m_y });
    m_x = 0;
    m_y += lineHeight();
}

void RecordingDevice::fillRectangle(double left, double top, double right, double bottom, const QColor &color)
{
    Op op { Fill, left, top, right, bottom };
    op.color = color;
    record(op);
}

void RecordingDevice::drawRectangle(double left, double top, double right, double bottom, const QColor &color)
{
    Op op { Outline, left, top, right, bottom };
    op.color = color;
    record(op);
}

void RecordingDevice::drawPicture(const QImage &picture, double x, double y)
{
    Op op { Picture, x, y };
    op.pictureSize = picture.size();
    record(op);
}

void RecordingDevice::newPage()
{
    ++m_page;
    record({ NewPage });
}

void RecordingDevice::endJob()
{
    if (m_ended)
        return;
    m_ended = true;
    record({ EndJob });
}

void RecordingDevice::abortJob()
{
    m_ended = true;
    record({ AbortJob });
}

} // namespace lunora::test
