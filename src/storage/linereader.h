// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <functional>

// The reader shared by the case register and the article files. Internal to storage.
namespace lunora::linereader {

// Reads a file of comma-separated lines, one record of `fieldCount` fields per
// non-blank line. For every record it calls nextRecord(), which returns where the
// record's fields go (an array of fieldCount empty QStrings), and fills them.
//
// Fields: blanks before a field are skipped; a field that starts with a double quote
// runs to the next double quote and the reader then skips past the next comma; any
// other field runs to the next comma, its trailing blanks kept. Line ends are CR LF,
// CR or LF.
//
// Reading is line by line on purpose. Older copies of the program counted fields
// across line ends, so a single line with a comma too many (a plain line with a comma
// inside a name) shifted every later entry of the file by one field. Here a broken
// line stays one record: missing fields are empty, extra fields are ignored, and a
// quote left open ends at its line end. Lines written by the program hold exactly
// the expected number of fields and read exactly as before.
void readRecords(QByteArrayView bytes, int fieldCount, const std::function<QString *()> &nextRecord);

// How many records readRecords() will produce at most (for reserving space).
qsizetype maxRecords(QByteArrayView bytes);

// One line of the given fields joined by commas, each in double quotes when `quoted`,
// ended by CR LF, in Windows-1252.
QByteArray formatLine(const QString *fields, int fieldCount, bool quoted);
// Index of the first field that cannot be stored (see isStorableValue), or -1.
int firstUnstorable(const QString *fields, int fieldCount);

} // namespace lunora::linereader
