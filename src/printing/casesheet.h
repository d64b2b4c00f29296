// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "storage/notesfile.h"
#include "storage/status.h"

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

class QPrinter;

namespace lunora {

class PrintDevice;

// Everything the case sheet prints, taken from the case window as it shows the case.
struct CaseSheetData
{
    QString caseNumber; // dbOrdernummer
    QString created; // dbCDate
    QString controlCode; // dbCode
    QString signature; // dbSign
    QString customerNumber; // Text1
    QString customerName; // Text2
    QString telephone; // Text3
    QString priority; // cboPrio text
    QString status; // cboStat text
    QString sumLabel; // lblSumInfo
    QString sumText; // dbSum
    QStringList columnCaptions; // the article list's header texts
    QList<double> columnWidths; // the article list's column widths on the screen, in 1/1440 inch
    QList<QStringList> rows; // the article list's rows in their current order
    // The fault band between the article table and the sum box; a case without notes
    // prints no band at all.
    CaseNotes notes;
};

// Prints the sheet on the device: the company name lines and logo from the data
// folder, the case, the article table, the total. Rows that do not fit on the first page
// go on continuation pages that hold the table alone, from the top of the page down to a
// footer with the case number and the page. Fails, with nothing printed, when the
// company file or the logo cannot be read or the printer cannot take the job.
Status printCaseSheet(PrintDevice &device, const CaseSheetData &data);
// The same on the system's default printer.
Status printCaseSheetOnDefaultPrinter(const CaseSheetData &data);

// The same into a printer that a print preview or a printer dialog owns.
Status printCaseSheetOn(QPrinter *printer, const CaseSheetData &data);
// The same into a PDF file (text that can be selected and searched).
Status printCaseSheetToPdf(const QString &pdfFile, const CaseSheetData &data);
// Whether the sheet's own sources (company file, logo) can be read, so that a preview
// can say what is wrong before it shows an empty page.
Status checkCaseSheetSources();

// The fixed texts of the sheet.
QString closingLineText();
QString voidingLineText();
QString footerText();
// The footer of a continuation page: "Ärende 101215 4711, sida 2 av 3".
QString continuationFooterText(const QString &caseNumber, int page, int pages);
// The fault text as the sheet prints it: wrapped to `width` as the device measures it
// in the current font, at most `maxLines` lines, the last one ending in "…" when cut.
QStringList wrapNotesText(const PrintDevice &device, const QString &text, double width, int maxLines);

// The amount printed in the sum box: a credit without its minus sign, nothing for a
// total between -1 and 0 (exclusive).
QString amountText(const QString &sumText);

} // namespace lunora
