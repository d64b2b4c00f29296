// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include <QFont>
#include <QRect>

class QColor;
class QLabel;
class QString;
class QWidget;

namespace lunora {

// Window layouts are given in units of 1/1440 inch; 15 units are one pixel at 96 dpi.
int px(int units);
QRect unitRect(int left, int top, int width, int height);
void placeAt(QWidget *widget, int left, int top, int width, int height);
void setClientSize(QWidget *window, int width, int height);

// Tahoma, MS Sans Serif and Arial are not on a Linux desktop; Liberation Sans has
// Arial's metrics and is close enough to Tahoma that every caption fits.
QFont formFont(double pointSize = 8.25, bool bold = false);
QFont arialFont(double pointSize, bool bold = false);

// Paints a widget's background in one colour, whatever the desktop theme.
void fillBackground(QWidget *widget, const QColor &colour);
// A caption in white, for the windows drawn on black.
QLabel *whiteLabel(QWidget *parent, const char *name, const QString &text, const QFont &font);

} // namespace lunora
