// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "printing/defaultprinter.h"

#include "printing/qprinterdevice.h"

#include <QPrinterInfo>

namespace lunora {

namespace {
PrinterFactory &testPrinter()
{
    static PrinterFactory factory;
    return factory;
}
} // namespace

bool hasDefaultPrinter()
{
    if (testPrinter())
        return true;
    return !QPrinterInfo::defaultPrinter().isNull();
}

Result<std::shared_ptr<PrintDevice>> openDefaultPrinter(const QString &jobName)
{
    if (testPrinter()) {
        std::shared_ptr<PrintDevice> device = testPrinter()();
        if (!device)
            return Status::failure(noPrinterText());
        return device;
    }
    const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
    if (printer.isNull())
        return Status::failure(noPrinterText());
    auto device = std::make_shared<QPrinterDevice>(printer);
    device->setJobName(jobName);
    return std::shared_ptr<PrintDevice>(device);
}

void setDefaultPrinterForTesting(PrinterFactory factory)
{
    testPrinter() = std::move(factory);
}

QString noPrinterText()
{
    return QStringLiteral("Det finns ingen skrivare installerad på denna dator!");
}

QString printerFailedText()
{
    return QStringLiteral("Utskriften kunde inte skickas till skrivaren.");
}

bool isNoPrinterFailure(const Status &status)
{
    return !status.ok() && status.error() == noPrinterText();
}

} // namespace lunora
