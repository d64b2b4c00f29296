// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "storage/records.h"
#include "storage/status.h"

#include <QList>
#include <QString>

namespace lunora {

// The customer cards Lib\<telephone>.ini as the program keeps them: read, changed and
// made through the INI engine, section "Main", the keys xID to xNotes. Keys the program
// does not know stay where they are.
namespace customercards {

enum class Error
{
    None,
    UnsafeName, // the telephone is no plain file name (/, \, NUL, "." or "..")
    ReservedName, // empty, "CompanyInfo" or ending in "_eData": the file is something else
    Unstorable, // a value holds a line break, a '[' or a character outside Windows-1252
    Exists, // a new card would replace a card that is already there
    Unwritable, // the file system refused
    Busy, // another desk held the folder lock too long, or the user gave up waiting
};

struct [[nodiscard]] Outcome
{
    Error error = Error::None;
    int field = -1; // Unstorable: the field, 0 (xID) to 8 (xNotes)
    QString detail; // for the log of a developer; windows word their own messages

    bool ok() const { return error == Error::None; }
};

// The nine keys in the order of the card's fields.
const QList<QString> &keys();
QString value(const CustomerRecord &record, int field);
void setValue(CustomerRecord &record, int field, const QString &value);

// Whether the telephone can name a card of its own.
[[nodiscard]] Outcome checkTelephone(const QString &telephone);
// Writes the values that differ from the file's, atomically; the file's other lines stay.
// With `shown` (the card as the window read it), only the fields the user changed are
// written: a field another desk changed meanwhile keeps that desk's value. The file is
// read and written under the folder lock.
[[nodiscard]] Outcome update(
    const QString &telephone, const CustomerRecord &record, const CustomerRecord *shown = nullptr);
// Makes a new card. A card already there is never replaced; an empty file of that name
// (left by looking at a card that did not exist) is no card and is filled.
[[nodiscard]] Outcome create(const QString &telephone, const CustomerRecord &record);

// Every customer card of Lib: a regular, non-empty file named <telephone>.ini, other
// than CompanyInfo.ini and the case data files *_eData.ini. Reading creates nothing.
struct Card
{
    QString telephone; // the file's name without ".ini"
    CustomerRecord record;
};
[[nodiscard]] Result<QList<Card>> listAll();

} // namespace customercards

} // namespace lunora
