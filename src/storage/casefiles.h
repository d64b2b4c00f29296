// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "storage/records.h"
#include "storage/status.h"

#include <QByteArrayView>
#include <QList>
#include <QString>

namespace lunora {

// The article file Lib\<control code>_ArtData.txt: one quoted line of six fields per row.
namespace articlefile {
Result<QList<ArticleRow>> load(const QString &path); // missing file: failure
Status appendRow(const QString &path, const ArticleRow &row); // creates the file
Status rewrite(const QString &path, const QList<ArticleRow> &rows); // atomic; no rows: empty file
Status remove(const QString &path);
int firstUnstorableField(const ArticleRow &row); // -1 when every field can be stored
QList<ArticleRow> parse(QByteArrayView bytes);
QByteArray formatRow(const ArticleRow &row);
} // namespace articlefile

// The case data file Lib\<control code>_eData.ini, written once when a case is saved:
// the nine keys in their fixed order through the INI engine, stored atomically.
namespace casedatafile {
Status write(const QString &path, const CaseRecord &record);
Status remove(const QString &path);
} // namespace casedatafile

} // namespace lunora
