// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "storage/status.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace lunora {

// What the customer brought in and what is wrong with it, kept beside the case's other
// files in Lib\<control code>_Notes.txt. Older copies of the program do not know the
// file and leave it alone; a case without it simply has no notes.
struct CaseNotes
{
    QString device; // "Enhet / modell"
    QString serial; // "Serienummer"
    QString text; // "Felbeskrivning / anteckningar", lines separated by '\n'

    bool isEmpty() const { return device.isEmpty() && serial.isEmpty() && text.isEmpty(); }
    friend bool operator==(const CaseNotes &, const CaseNotes &) = default;
};

// Windows-1252 text with CR LF line ends: "Enhet: <device>", "Serienummer: <serial>",
// then the free text, every line ended by CR LF.
namespace notesfile {

enum class Field
{
    None,
    Device,
    Serial,
    Text
};

// The first field that the file cannot hold: a character outside Windows-1252, or a
// line break in one of the two one-line fields.
[[nodiscard]] Field firstUnstorableField(const CaseNotes &notes);
// The field's caption as the case window labels it.
QString fieldCaption(Field field);

[[nodiscard]] QByteArray format(const CaseNotes &notes); // unstorable characters become '?'
// Reads what format() writes, and is lenient with files edited by hand: lone CR or LF
// line ends, a missing blank after the colon, a missing first or second line.
[[nodiscard]] CaseNotes parse(QByteArrayView bytes);

// A missing file is a case without notes, not a failure.
[[nodiscard]] Result<CaseNotes> load(const QString &path);
// Stores the notes atomically. Empty notes leave no file behind: an existing one is
// removed and none is created, so a case without notes stays as older copies made it.
[[nodiscard]] Status store(const QString &path, const CaseNotes &notes);
// Removes the file; a missing file is no failure.
[[nodiscard]] Status remove(const QString &path);

} // namespace notesfile

} // namespace lunora
