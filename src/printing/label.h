// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "storage/notesfile.h"
#include "storage/records.h"
#include "storage/status.h"

#include <QImage>
#include <QList>
#include <QString>
#include <functional>
#include <memory>

namespace lunora {

class PrintDevice;

// What a case's label shows: a typed value, so that whoever prints it (the label dialog,
// the print after a new case is saved, a script) needs nothing of the case window.
struct LabelData
{
    QString shopLine; // CompanyInfo.ini, [Main] Rad1
    QString caseNumber; // "101215 4711", also the barcode's content
    QString customerName;
    QString telephone;
    QString created; // "YYYY-MM-DD"
    QString controlCode; // the whole code; the label prints its last eight characters
    QString device; // the notes' "Enhet / modell", empty when the case has none
};

// A label's size in millimetres as the roll or sheet gives it; wider than high prints
// landscape.
struct LabelSize
{
    double width = 62.0;
    double height = 29.0;
    friend bool operator==(const LabelSize &, const LabelSize &) = default;
};

// The sizes of the common label printers' rolls, first the default.
QList<LabelSize> standardLabelSizes();
// "62 × 29 mm"
QString labelSizeText(LabelSize size);
// The sizes a label may have: anything from 20 to 300 mm a side.
bool isUsableLabelSize(LabelSize size);

// The label data of a case from its register line and notes, with the shop's first name
// line from the company file (left empty when the file cannot be read: the label is
// still worth printing).
LabelData labelDataOf(const RegisterEntry &entry, const CaseNotes &notes);
// The last eight characters of the control code, its closing brace left out: enough to
// tell apart two cases that got the same case number.
QString controlCodeTail(const QString &controlCode);

// Draws `count` labels, one a page, and ends the job.
Status printLabels(PrintDevice &device, const LabelData &data, LabelSize size, int count);
// The same on the named printer; fails with noLabelPrinterText() when the system has no
// printer of that name (any more).
Status printLabelsOnPrinter(const QString &printerName, const LabelData &data, LabelSize size, int count);
// The same into a PDF file; a file that cannot be finished is removed again.
Status printLabelsToPdf(const QString &pdfFile, const LabelData &data, LabelSize size, int count);
// One label as it prints, at the given resolution, for a preview on the screen.
QImage labelImage(const LabelData &data, LabelSize size, double dotsPerInch);

QString noLabelPrinterText(const QString &printerName);
bool isNoLabelPrinterFailure(const Status &status);

// Tests put a stand-in in place of the label printer; an empty factory brings the
// system's printers back. The factory gets the printer's name.
using LabelPrinterFactory = std::function<std::unique_ptr<PrintDevice>(const QString &)>;
void setLabelPrinterForTesting(LabelPrinterFactory factory);

} // namespace lunora
