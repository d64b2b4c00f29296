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
    const float available = static_cast<float>(device.printableWidth()) - leftMarginal - rightMarginal;
    const ColumnPositions colHdr
        = columnPositions(listView, static_cast<float>(device.printableLeft()) + leftMarginal, available);
    const qsizetype columns = colHdr.size() - 1;

    PrintColumnHeaders(device, listView, topMarginal, colHdr);
    for (const QStringList &row : listView.rows) {
        const float limit = static_cast<float>(device.printableHeight()) - bottomMarginal;
        if (static_cast<float>(device.currentY()) > limit) {
            device.newPage();
            PrintColumnHeaders(device, listView, topMarginal, colHdr);
        }
        for (qsizetype i = 0; i < columns; ++i) {
            device.setCurrentX(colHdr.at(i));
            device.printText(row.value(i), PrintDevice::KeepLine);
        }
        device.endLine();
    }
    device.endJob();
}

} // namespace lunora
