// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

// The messages the counter sends a customer ("your phone is ready"), kept as templates
// in Lib\Meddelanden.txt: Windows-1252, CR LF, one INI section per template, named by
// the section, its text in the key Text with "\n" for a line break, "\b" for '['
// (which would make the line a section line) and "\\" for a backslash. The name ends
// in .txt, so no customer card (Lib\<telephone>.ini) can be it, and older copies of
// the program never open it. A folder without the file offers the two built-in
// templates.
//
// A text may hold placeholders, filled in from the case when the message is written:
// {namn} the customer's name, {ärende} the case number, {summa} the total with its
// wording ("Att betala: 450,00 kr", "Er tillgodo: 150,00 kr"), {företag} the shop's
// first name line and {enhet} the device from the case's notes. A line whose
// placeholders all come out empty is left out, so a case without notes gets no
// "Enhet:" line without a device.

#include "storage/records.h"
#include "storage/status.h"
#include "storage/storetypes.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QLocale>
#include <QString>

namespace lunora {

struct MessageTemplate
{
    QString name;
    QString text; // lines separated by '\n'
    friend bool operator==(const MessageTemplate &, const MessageTemplate &) = default;
};

// What a message says about one case.
struct MessageValues
{
    QString customerName;
    QString caseNumber;
    double total = 0.0; // below zero: the customer has a credit
    QString shopName; // the company file's Rad1
    QString device; // "Enhet" of the case's notes
};

namespace messagetemplates {

QString filePath(); // \Lib\Meddelanden.txt

QList<MessageTemplate> builtIn();

// The templates of a file's bytes, in file order; sections without Text have an empty
// text. A section name met twice counts once, as the INI engine reads the first.
QList<MessageTemplate> parse(QByteArrayView bytes);
// The templates of the data folder: the built-in ones when the file is missing.
Result<QList<MessageTemplate>> load();

// Why a template cannot be stored under this name, or the empty text: a name must be
// non-empty, fit on a line without brackets and exist in Windows-1252.
QString nameProblem(const QString &name);

// The file's bytes with exactly these templates, in this order: sections of removed
// templates go, kept ones keep their other keys and every unknown line; new ones are
// appended. Pure, for the save and the tests.
Result<QByteArray> apply(QByteArrayView file, const QList<MessageTemplate> &templates);
// Stores the templates: under the folder lock, from the file on disk, atomically.
// UnstorableValue when a name or text cannot be stored (nothing written).
StoreResult save(const QList<MessageTemplate> &templates);

// The total with the case window's wording, in the user's number format.
QString totalText(double total, const QLocale &locale = QLocale());
// The sum of the rows' totals, as the case window adds them up.
double caseTotal(const QList<ArticleRow> &rows);
// The template's text with the placeholders filled in.
QString fill(const QString &text, const MessageValues &values, const QLocale &locale = QLocale());
// The values of a case: its line, the total shown, Rad1 of the company file and the
// device from the notes (each empty when its file cannot be read).
MessageValues valuesFor(const RegisterEntry &entry, double total);

// Where a message to the case's customer goes: the e-mail address of the customer
// card, and its mobile number or else the case's telephone.
struct Contact
{
    QString email;
    QString mobile;
};
Contact contactFor(const RegisterEntry &entry);

} // namespace messagetemplates

} // namespace lunora
