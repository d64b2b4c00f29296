#pragma once

#include "records.h"
#include "status.h"

#include <QByteArrayView>
#include <QList>
#include <QString>

// The case register Lib\arenden.txt: one line per case, nine fields, plain
// (a,b,c) or quoted ("a","b","c") lines in any mix, CR LF line ends.
namespace lunora::caseregister {
// A missing file is an empty register (ok). An unreadable one is a failure.
Result<QList<RegisterEntry>> load(const QString &path);
// Plain form as the case window has always written it; a line whose values would not
// read back unchanged in plain form (a comma, a leading blank, a leading quote) is
// written quoted instead. Refused before anything is written when a value is not
// storable (see firstUnstorableField).
Status appendPlain(const QString &path, const RegisterEntry &entry);
Status appendQuoted(const QString &path, const RegisterEntry &entry);
// Replaces the whole file (atomically) with one quoted line per entry.
Status rewrite(const QString &path, const QList<RegisterEntry> &entries);
// Index of the first field that cannot be stored, or -1.
int firstUnstorableField(const RegisterEntry &entry);

// Byte-level parts, free of file access.
QList<RegisterEntry> parse(QByteArrayView bytes);
QByteArray formatPlain(const RegisterEntry &entry);
QByteArray formatQuoted(const RegisterEntry &entry);
} // namespace lunora::caseregister
