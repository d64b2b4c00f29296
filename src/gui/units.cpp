// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/units.h"

#include <QLabel>
#include <QPalette>
#include <QWidget>
#include <cmath>

namespace lunora {

int px(int units)
{
    return static_cast<int>(std::lround(units / 15.0));
}

QRect unitRect(int left, int top, int width, int height)
{
    return QRect(px(left), px(top), px(width), px(height));
}

void placeAt(QWidget *widget, int left, int top, int width, int height)
{
    widget->setGeometry(unitRect(left, top, width, height));
}

void setClientSize(QWidget *window, int width, int height)
{
    window->setFixedSize(px(width), px(height));
}

QFont formFont(double pointSize, bool bold)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

QFont arialFont(double pointSize, bool bold)
{
    return formFont(pointSize, bold);
}

void fillBackground(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QLabel *whiteLabel(QWidget *parent, const char *name, const QString &text, const QFont &font)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(palette);
    return label;
}

} // namespace lunora
