// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace lunora {

class PrintDevice;

// A report-style list as it stands on the screen: its column captions and widths (in
// the list's own unit, 1/1440 inch) and its rows, each the row's text followed by its
// sub-item texts, in the list's current order.
struct PrintedList
{
    QStringList columnCaptions;
    QList<double> columnWidths;
    QList<QStringList> rows;
};

// The x position of every column on paper, entries 0 to n; entry n is the right end.
using ColumnPositions = QList<float>;

// The sum of the list's column widths in its own unit.
double TotalColumnWidth(const PrintedList &lvw);

// The column positions for the list on the device: the columns share the available
// width in proportion to their widths on the screen, each a whole number of units wide.
ColumnPositions columnPositions(const PrintedList &lvw, float leftMarginal, float availableWidth);

// The header row in bold at the top margin.
void PrintColumnHeaders(
    PrintDevice &device, const PrintedList &lvw, float topMarginal, const ColumnPositions &colHdr);

// The whole list as a table from the current position on: the header row, then one
// line per row, a new page with the header row again whenever a row would start below
// the bottom margin (measured upwards from the bottom of the printable area). Ends the
// print job.
void PrintListView(PrintDevice &device, const PrintedList &listView, float leftMarginal, float topMarginal,
    float rightMarginal, float bottomMarginal);

} // namespace lunora
