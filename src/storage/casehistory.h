// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

// The history of a case: who changed or printed it, when, and what happened, one line
// per event in Lib\<control code>_Logg.txt, appended to and never rewritten. Removed
// cases leave one line each in Lib\Borttagna.txt. History that cannot be written is
// noted in Errors\Historikfel.txt instead; it never fails the change it describes.
//
// Every file is Windows-1252 text with CR LF line ends, one event a line, its fields
// separated by TAB: "YYYY-MM-DD hh:mm:ss", the user's full name, then the event (in the
// history file) or the case number, the customer name and the control code (in
// Borttagna.txt; lines of older copies end after the name). Older
// copies of the program know none of these files and leave them alone.

#include "storage/records.h"
#include "storage/status.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

namespace lunora {

struct HistoryEntry
{
    QString time; // "YYYY-MM-DD hh:mm:ss" as written
    QString user;
    QString event;
    friend bool operator==(const HistoryEntry &, const HistoryEntry &) = default;
};

namespace casehistory {

// The events, worded as the history window shows them.
QString created(); // "Skapat"
QString printed(); // "Utskrift"
QString savedAsPdf(); // "Sparad som PDF"
QString labelsPrinted(int count); // "Etikett utskriven (2 st)"
QString labelsSavedAsPdf(int count); // "Etikett sparad som PDF (2 st)"
QString notesChanged(); // "Anteckningar ändrade"
// A message to the customer, by the template's name: "Meddelande via e-post: Klar för
// hämtning" (handed to the mail program), "SMS till 0701234567: Klar för hämtning".
QString messageByEmail(const QString &templateName);
QString messageBySms(const QString &number, const QString &templateName);
// Whether an event is one of the two above: the overview's "Läget" looks for them.
bool isMessage(QStringView event);
QString rowAdded(const ArticleRow &row); // "Rad tillagd: 17 Skruv 2 st 12,50"
QString rowChanged(const ArticleRow &old, const ArticleRow &updated);
QString rowRemoved(const ArticleRow &row);
// One event per header field that differs ("Status ändrad från Nytt ärende till Under
// behandling", "Författare ändrad från Anna till Bertil Berg"); when none does, the one
// event "Uppdaterat".
QStringList replaced(const RegisterEntry &before, const RegisterEntry &after);
QString registerLineAdded(); // the overview's hidden add action
QString registerLineRemoved(); // the overview's hidden del action: the files stay

// The name that stands for the signed-in user; "(okänd)" before anybody signed in.
QString userName();

// One line of a history file or of Borttagna.txt: the fields joined by TAB, with
// TAB, CR and LF inside a field turned into blanks, then CR LF. Characters outside
// Windows-1252 become '?'.
QByteArray formatLine(const QDateTime &when, const QStringList &fields);

// The lines of a history file in file order; lines without a TAB are skipped, a line
// with one TAB has no event. A missing file is a case without history.
QList<HistoryEntry> parse(QByteArrayView bytes);
Result<QList<HistoryEntry>> load(const QString &path);

// Appends the events to the case's history, all in one write. A failure is noted in
// Historikfel.txt, one line per event lost, and returned for the caller's information.
Status append(const QString &controlCode, const QDateTime &when, const QStringList &events);
// Appends the line of a removed case to Borttagna.txt; a failure is noted as above.
// The control code tells the start-up's clean-up whose left-over files may go.
Status appendRemoved(const QDateTime &when, const QString &caseNumber, const QString &customerName,
    const QString &controlCode);

} // namespace casehistory

} // namespace lunora
