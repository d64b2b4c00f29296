// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "printing/listprintout.h"

#include "printing/printdevice.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace lunora {

namespace {
// Nearest whole number, halves to the even neighbour (the default rounding mode), kept
// inside a 32-bit range so that absurd widths cannot overflow.
std::int64_t roundHalfEven(double value)
{
    if (!std::isfinite(value))
        return 0;
    constexpr double limit = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int64_t>(std::nearbyint(std::clamp(value, -limit, limit)));
}
} // namespace

double TotalColumnWidth(const PrintedList &lvw)
{
    double total = 0.0;
    for (double width : lvw.columnWidths)
        total += width;
    return total;
}

ColumnPositions columnPositions(const PrintedList &lvw, float leftMarginal, float availableWidth)
{
    const std::int64_t totalWidth = roundHalfEven(TotalColumnWidth(lvw));
    const qsizetype columns = lvw.columnWidths.size();

    ColumnPositions positions;
    positions.reserve(columns + 1);
    positions.append(leftMarginal);
    for (qsizetype i = 0; i < columns; ++i) {
        std::int64_t share = 0;
        if (totalWidth > 0) {
            // The product in single precision, as the widths and the available width are
            // held; then whole units, the remainder dropped.
            const float product = static_cast<float>(lvw.columnWidths.at(i)) * availableWidth;
            share = roundHalfEven(product) / totalWidth;
        } else {
            // Columns without any width cannot be scaled: they share the width equally.
            share = roundHalfEven(availableWidth) / columns;
        }
        positions.append(positions.last() + static_cast<float>(share));
    }
    return positions;
}

void PrintColumnHeaders(
    PrintDevice &device, const PrintedList &lvw, float topMarginal, const ColumnPositions &colHdr)
{
    device.setBold(true);
    device.setCurrentY(device.printableTop() + topMarginal);
    for (qsizetype i = 0; i + 1 < colHdr.size(); ++i) {
        device.setCurrentX(colHdr.at(i));
        device.printText(lvw.columnCaptions.value(i), PrintDevice::KeepLine);
    }
    device.endLine();
    device.setBold(false);
}

void PrintListView(PrintDevice &device, const PrintedList &listView, float leftMarginal, float topMarginal,
    float rightMarginal, float bottomMarginal)
{
    PrintListView(device, listView, leftMarginal, topMarginal, rightMarginal, bottomMarginal,
        { topMarginal, bottomMarginal, {} });
}

void PrintListView(PrintDevice &device, const PrintedList &listView, float leftMarginal, float topMarginal,
    float rightMarginal, float bottomMarginal, const ContinuationPages &continuation)
{
    const float available = static_cast<float>(device.printableWidth()) - leftMarginal - rightMarginal;
    const ColumnPositions colHdr
        = columnPositions(listView, static_cast<float>(device.printableLeft()) + leftMarginal, available);
    const qsizetype columns = colHdr.size() - 1;

    PrintColumnHeaders(device, listView, topMarginal, colHdr);

    // The rows of each page, worked out as the device will move: every row one line of the
    // rows' font down, a page's first row one line under its header row. The first page
    // starts from where its header row really left the position, so its rows are exactly
    // those the printer's own position would have let through.
    const double line = device.lineHeight();
    const float height = static_cast<float>(device.printableHeight());
    const float firstLimit = height - bottomMarginal;
    const float nextLimit = height - continuation.bottomMarginal;
    const double nextTop = device.printableTop() + continuation.topMarginal;
    QList<qsizetype> rowsOnPage { 0 };
    double y = device.currentY();
    for (qsizetype row = 0; row < listView.rows.size(); ++row) {
        // A row that would start below the limit goes to a new page, where it is printed
        // whatever the margins: a page without room still takes one row.
        if (static_cast<float>(y) > (rowsOnPage.size() == 1 ? firstLimit : nextLimit)) {
            rowsOnPage.append(0);
            y = nextTop + line;
        }
        ++rowsOnPage.last();
        y += line;
    }

    const int pages = static_cast<int>(rowsOnPage.size());
    qsizetype next = 0;
    for (int page = 1; page <= pages; ++page) {
        if (page > 1) {
            device.newPage();
            if (continuation.footer)
                continuation.footer(page, pages);
            PrintColumnHeaders(device, listView, continuation.topMarginal, colHdr);
        }
        for (qsizetype k = 0; k < rowsOnPage.at(page - 1); ++k) {
            const QStringList &row = listView.rows.at(next++);
            for (qsizetype i = 0; i < columns; ++i) {
                device.setCurrentX(colHdr.at(i));
                device.printText(row.value(i), PrintDevice::KeepLine);
            }
            device.endLine();
        }
    }
    device.endJob();
}

} // namespace lunora
