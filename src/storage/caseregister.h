// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "storage/records.h"
#include "storage/status.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <memory>

// The case register Lib\arenden.txt: one line per case, nine fields, plain
// (a,b,c) or quoted ("a","b","c") lines in any mix, CR LF line ends.
namespace lunora::caseregister {

// The register as read from disk: the file's bytes, kept whole, and for every entry
// where its nine fields lie in them. Text is decoded only for the fields somebody asks
// for, so loading a large register costs one read and one pass over its bytes instead
// of nine strings per entry. The entries are exactly those parse() gives.
class Table
{
public:
    Table() = default;

    // A missing file is an empty table (ok). An unreadable one is a failure. The file
    // is read whole and closed before this returns.
    static Result<Table> load(const QString &path);
    static Result<Table> fromBytes(QByteArray bytes);

    qsizetype size() const { return m_rows; }
    bool isEmpty() const { return m_rows == 0; }
    // The field's bytes as stored, without the quotes of a quoted field. Inline: a
    // rewrite of the register asks for every field of every entry.
    QByteArrayView rawField(qsizetype row, int field) const
    {
        const quint32 *span = m_spans.get() + SpanWords * row + 2 * field;
        return QByteArrayView(m_bytes.constData() + span[0], span[1]);
    }
    // The entry's whole line as stored, without its line end.
    QByteArrayView rawLine(qsizetype row) const;
    // The entry's line without its line end when it is stored exactly as the quoted form
    // writes its fields ("a","b",...: nothing before, between or after them); empty
    // otherwise. Such a line can be copied as it stands where the quoted form is due.
    QByteArrayView quotedLine(qsizetype row) const;
    // The size of the file read.
    qsizetype byteSize() const { return m_bytes.size(); }
    QString field(qsizetype row, int field) const;
    RegisterEntry entry(qsizetype row) const;
    QList<RegisterEntry> entries() const;

private:
    static constexpr int SpanWords = 2 * RegisterFieldCount; // start and length per field

    QByteArray m_bytes;
    // SpanWords words per entry. Shared between copies: a table never changes once read.
    std::shared_ptr<const quint32[]> m_spans;
    qsizetype m_rows = 0;
};

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
