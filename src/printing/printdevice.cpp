// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "printing/printdevice.h"

namespace lunora {

PrintDevice::~PrintDevice() = default;

QString elidedToWidth(const PrintDevice &device, const QString &text, double width)
{
    if (device.textWidth(text) <= width)
        return text;
    const QString ellipsis = QStringLiteral("…");
    QString cut = text;
    while (!cut.isEmpty() && device.textWidth(cut + ellipsis) > width)
        cut.chop(1);
    while (cut.endsWith(u' '))
        cut.chop(1);
    return cut + ellipsis;
}

} // namespace lunora
