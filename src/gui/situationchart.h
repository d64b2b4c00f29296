// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include <QColor>
#include <QList>
#include <QString>
#include <QWidget>

namespace lunora {

// A bar chart painted by hand: one bar per category, each bar a stack of coloured
// parts, the count written at its top, a legend for the parts when there are several.
class SituationChart final : public QWidget
{
    Q_OBJECT

public:
    struct Part
    {
        QString name;
        QColor colour;
    };
    explicit SituationChart(const QString &title, QWidget *parent = nullptr);

    // values[bar][part]; parts without a name draw no legend.
    void setData(const QStringList &bars, const QList<Part> &parts, const QList<QList<int>> &values);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_title;
    QStringList m_bars;
    QList<Part> m_parts;
    QList<QList<int>> m_values;
};

} // namespace lunora
