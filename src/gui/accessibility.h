// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

namespace lunora {

// What assistive technology hears of two kinds of control that Qt describes poorly on
// Linux:
// - a drop-down list that cannot be typed in is named by its accessible name (its
//   label's caption), where Qt would give the entry chosen as its name ("Normal"
//   instead of "Prioritet"); the entry stays its value;
// - a window built on a plain QWidget (frmHistorik, frmKunder) is a window, where Qt
//   would call it a filler, which screen readers skip as a mere part of something.
// Installed once for the whole program; the windows concerned call it when they are
// made, so that no interface is asked for before.
void installAccessibleRoles();

} // namespace lunora
