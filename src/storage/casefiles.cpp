// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "storage/casefiles.h"

#include "storage/fileio.h"
#include "storage/ini.h"
#include "storage/linereader.h"

namespace lunora {

namespace articlefile {

namespace {
Status unstorable(int field)
{
    return Status::failure(QStringLiteral("Fält %1 i artikelraden kan inte sparas").arg(field + 1));
}
} // namespace

QList<ArticleRow> parse(QByteArrayView bytes)
{
    QList<ArticleRow> rows;
    linereader::readRecords(bytes, ArticleFieldCount, [&rows] { return rows.emplace_back().data(); });
    return rows;
}

QByteArray formatRow(const ArticleRow &row)
{
    return linereader::formatLine(row.data(), ArticleFieldCount, true);
}

int firstUnstorableField(const ArticleRow &row)
{
    return linereader::firstUnstorable(row.data(), ArticleFieldCount);
}

Result<QList<ArticleRow>> load(const QString &path)
{
    Result<QByteArray> bytes = fileio::readAll(path);
    if (!bytes)
        return bytes.status();
    return parse(bytes.value());
}

Status appendRow(const QString &path, const ArticleRow &row)
{
    if (const int bad = firstUnstorableField(row); bad >= 0)
        return unstorable(bad);
    return fileio::appendLine(path, formatRow(row));
}

Status rewrite(const QString &path, const QList<ArticleRow> &rows)
{
    QByteArray contents;
    for (const ArticleRow &row : rows) {
        if (const int bad = firstUnstorableField(row); bad >= 0)
            return unstorable(bad);
        contents += formatRow(row);
    }
    return fileio::saveAll(path, contents);
}

Status remove(const QString &path)
{
    return fileio::remove(path);
}

} // namespace articlefile

namespace casedatafile {

Status write(const QString &path, const CaseRecord &record)
{
    const QList<IniWrite> writes = {
        { QStringLiteral("Main"), QStringLiteral("xID"), record.caseNumber },
        { QStringLiteral("Main"), QStringLiteral("xRegDate"), record.created },
        { QStringLiteral("Main"), QStringLiteral("xCode"), record.controlCode },
        { QStringLiteral("Main"), QStringLiteral("xSign"), record.signature },
        { QStringLiteral("Type"), QStringLiteral("xPrio"), record.priority },
        { QStringLiteral("Status"), QStringLiteral("xStat"), record.status },
        { QStringLiteral("Customer"), QStringLiteral("xCID"), record.customerNumber },
        { QStringLiteral("Customer"), QStringLiteral("xCName"), record.customerName },
        { QStringLiteral("Customer"), QStringLiteral("xCPhone"), record.telephone },
    };
    // The same values go into the register line, so the same characters are refused.
    for (const IniWrite &w : writes) {
        if (!isStorableValue(w.value))
            return Status::failure(QStringLiteral("Värdet av %1 kan inte sparas").arg(w.key));
    }
    return WriteIniAll(path, writes);
}

Status remove(const QString &path)
{
    return fileio::remove(path);
}

} // namespace casedatafile

} // namespace lunora
