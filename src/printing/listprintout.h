// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

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

// The pages after the first, where the table has the page to itself: its top and bottom
// margins there, and what each of them carries at its foot.
struct ContinuationPages
{
    float topMarginal = 0.0f;
    float bottomMarginal = 0.0f;
    // Draws the foot of page `page` (2 and up) of `pages`, right after the page is begun
    // and before its header row. It leaves the font size and colour as it found them.
    std::function<void(int page, int pages)> footer {};
};

// The whole list as a table from the current position on: the header row, then one
// line per row, a new page with the header row again whenever a row would start below
// the bottom margin (measured upwards from the bottom of the printable area). Ends the
// print job.
void PrintListView(PrintDevice &device, const PrintedList &listView, float leftMarginal, float topMarginal,
    float rightMarginal, float bottomMarginal);
// The same with other margins on the continuation pages and a foot on each of them. The
// pages are counted before the first row is printed, so that every foot can say how many
// there are.
void PrintListView(PrintDevice &device, const PrintedList &listView, float leftMarginal, float topMarginal,
    float rightMarginal, float bottomMarginal, const ContinuationPages &continuation);

} // namespace lunora
