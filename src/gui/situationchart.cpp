// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/situationchart.h"

#include <QPainter>
#include <algorithm>

namespace lunora {

SituationChart::SituationChart(const QString &title, QWidget *parent)
    : QWidget(parent)
    , m_title(title)
{
    setAccessibleName(title);
    setMinimumSize(260, 180);
}

void SituationChart::setData(
    const QStringList &bars, const QList<Part> &parts, const QList<QList<int>> &values)
{
    m_bars = bars;
    m_parts = parts;
    m_values = values;
    QStringList description;
    for (qsizetype i = 0; i < bars.size(); ++i) {
        int sum = 0;
        for (int v : values.value(i))
            sum += v;
        description << bars.at(i) + QStringLiteral(": ") + QString::number(sum);
    }
    // What the picture shows, for screen readers.
    setAccessibleDescription(description.join(QStringLiteral(", ")));
    update();
}

QSize SituationChart::sizeHint() const
{
    return { 340, 220 };
}

void SituationChart::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    const QFontMetrics metrics = painter.fontMetrics();
    const int line = metrics.height();
    painter.setPen(palette().text().color());
    QFont bold = painter.font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.drawText(QRect(6, 4, width() - 12, line), Qt::AlignLeft, m_title);
    painter.setFont(font());

    int legendX = 6;
    const bool legend = m_parts.size() > 1;
    for (const Part &part : m_parts) {
        if (!legend)
            break;
        painter.fillRect(QRect(legendX, 8 + line, line - 4, line - 4), part.colour);
        painter.drawText(QPoint(legendX + line, 4 + 2 * line - metrics.descent()), part.name);
        legendX += line + metrics.horizontalAdvance(part.name) + 12;
    }

    QList<int> sums;
    for (const QList<int> &bar : m_values) {
        int sum = 0;
        for (int v : bar)
            sum += v;
        sums << sum;
    }
    const int maximum = std::max(1, sums.isEmpty() ? 1 : *std::max_element(sums.begin(), sums.end()));
    const int top = (legend ? 3 : 2) * line + 8;
    const int bottom = height() - line - 6;
    const int count = static_cast<int>(m_bars.size());
    if (count == 0 || bottom <= top)
        return;
    const int slot = (width() - 12) / count;
    const int barWidth = std::max(4, slot * 2 / 3);
    for (int i = 0; i < count; ++i) {
        const int x = 6 + i * slot + (slot - barWidth) / 2;
        int y = bottom;
        const QList<int> &bar = m_values.value(i);
        for (qsizetype p = 0; p < bar.size() && p < m_parts.size(); ++p) {
            const int h = (bottom - top) * bar.at(p) / maximum;
            painter.fillRect(QRect(x, y - h, barWidth, h), m_parts.at(p).colour);
            y -= h;
        }
        painter.setPen(palette().text().color());
        painter.drawText(QRect(x - 20, y - line, barWidth + 40, line), Qt::AlignHCenter | Qt::AlignBottom,
            QString::number(sums.value(i)));
        painter.drawText(QRect(6 + i * slot, bottom + 2, slot, line), Qt::AlignHCenter | Qt::AlignTop,
            metrics.elidedText(m_bars.at(i), Qt::ElideRight, slot));
    }
}

} // namespace lunora
