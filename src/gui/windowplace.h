// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

class QWidget;

namespace lunora {

// Where a window opens. A window that can grow (its minimum and maximum sizes differ)
// opens where it was last closed on this desk, at that size, as long as that place still
// lies on one of today's screens; the place is kept in the desk's settings file
// (storage/desksettings.h) under the window's name. Any other window, and a growing one
// the first time, opens centred on the window that opened it.
namespace windowplace {

bool canGrow(const QWidget *window);
// Centred on the opener's frame, or on the screen when there is no opener; kept within
// that screen.
void centreOn(QWidget *window, const QWidget *opener);
// Before a window is shown for the first time: its remembered place or the centre of
// the opener.
void placeOnFirstShow(QWidget *window, const QWidget *opener);
// When a window that can grow closes: its size and place for the next time. A file that
// cannot be written costs only that.
void remember(const QWidget *window);

} // namespace windowplace

} // namespace lunora
