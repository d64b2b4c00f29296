// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "storage/caseregister.h"

#include "storage/fileio.h"
#include "storage/linereader.h"

namespace lunora::caseregister {

namespace {

Status unstorable(int field)
{
    return Status::failure(QStringLiteral("Fält %1 i registerraden kan inte sparas").arg(field + 1));
}

// A value that the plain form would not give back unchanged: a comma splits it, and
// the reader skips leading blanks and takes a leading quote for a quoted field.
bool needsQuotes(QStringView value)
{
    if (value.contains(u','))
        return true;
    if (value.isEmpty())
        return false;
    const QChar first = value.front();
    return first == u' ' || first == u'\t' || first == u'"';
}

} // namespace

QList<RegisterEntry> parse(QByteArrayView bytes)
{
    QList<RegisterEntry> entries;
    entries.reserve(linereader::maxRecords(bytes));
    linereader::readRecords(bytes, RegisterFieldCount, [&entries] { return entries.emplace_back().data(); });
    return entries;
}

QByteArray formatPlain(const RegisterEntry &entry)
{
    return linereader::formatLine(entry.data(), RegisterFieldCount, false);
}

QByteArray formatQuoted(const RegisterEntry &entry)
{
    return linereader::formatLine(entry.data(), RegisterFieldCount, true);
}

int firstUnstorableField(const RegisterEntry &entry)
{
    return linereader::firstUnstorable(entry.data(), RegisterFieldCount);
}

Result<QList<RegisterEntry>> load(const QString &path)
{
    Result<Table> table = Table::load(path);
    if (!table)
        return table.status();
    return table.value().entries();
}

Status appendPlain(const QString &path, const RegisterEntry &entry)
{
    if (const int bad = firstUnstorableField(entry); bad >= 0)
        return unstorable(bad);
    for (const QString &value : entry) {
        if (needsQuotes(value))
            return fileio::appendLine(path, formatQuoted(entry));
    }
    return fileio::appendLine(path, formatPlain(entry));
}

Status appendQuoted(const QString &path, const RegisterEntry &entry)
{
    if (const int bad = firstUnstorableField(entry); bad >= 0)
        return unstorable(bad);
    return fileio::appendLine(path, formatQuoted(entry));
}

Status rewrite(const QString &path, const QList<RegisterEntry> &entries)
{
    QByteArray contents;
    contents.reserve(entries.size() * 128);
    for (const RegisterEntry &entry : entries) {
        if (const int bad = firstUnstorableField(entry); bad >= 0)
            return unstorable(bad);
        contents += formatQuoted(entry);
    }
    return fileio::saveAll(path, contents);
}

} // namespace lunora::caseregister
