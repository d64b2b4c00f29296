// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "printing/printdevice.h"
#include "storage/status.h"

#include <QString>
#include <functional>
#include <memory>

namespace lunora {

// The system's default printer. Tests put a stand-in in its place, so that the windows'
// own print path can be followed without paper.
using PrinterFactory = std::function<std::unique_ptr<PrintDevice>()>;

// True when the system has a default printer (or a stand-in is set).
bool hasDefaultPrinter();
// A print device on the default printer, its job named jobName; fails with
// noPrinterText() when the system has no printer.
Result<std::shared_ptr<PrintDevice>> openDefaultPrinter(const QString &jobName);
// An empty factory brings the real default printer back.
void setDefaultPrinterForTesting(PrinterFactory factory);

// The reasons a printer fails, as the user reads them.
QString noPrinterText();
QString printerFailedText();
bool isNoPrinterFailure(const Status &status);

} // namespace lunora
