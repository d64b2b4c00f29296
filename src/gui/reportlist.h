// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

class QTableView;

namespace lunora {

// The look and feel the program's read-only lists share: whole rows selected one at a
// time, no editing, no grid or wrapping, Tab leaves the list, no row numbers, rows of one
// text line, column titles left-aligned and not lit by the selection.
void setUpReportList(QTableView *list);

} // namespace lunora
