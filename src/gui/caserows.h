// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "storage/caseregister.h"
#include "storage/records.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace lunora {

// The overview's rows as they stood at one moment, for work on another thread: the
// register table never changes once read, and the rows added later and the row numbers
// are copies, so the window may change its own rows meanwhile.
class CaseRows
{
public:
    CaseRows() = default;
    CaseRows(caseregister::Table table, QList<RegisterEntry> added, std::vector<qint32> rows);

    int rowCount() const { return static_cast<int>(m_rows.size()); }
    // As CaseListModel's functions of the same names.
    QByteArrayView rawText(int row, int column, QByteArray &scratch) const;
    void textInto(int row, int column, QString &text) const;
    qsizetype textSize(int row, int column) const;
    // All nine fields of a row, its line split once; a row added later is encoded into
    // `scratch`, which the views may point into.
    caseregister::Table::Fields rawFields(int row, std::array<QByteArray, RegisterFieldCount> &scratch) const;
    // A loaded row stands in the register table: its line as stored, empty for a row
    // added later.
    QByteArrayView rawLine(int row) const;
    // The nine fields of a loaded row, as rawLine()'s line holds them.
    caseregister::Table::Fields loadedFields(int row) const;
    // For a row added later, its place among the added entries; -1 for a loaded row.
    qsizetype addedIndex(int row) const;
    const QList<RegisterEntry> &added() const { return m_added; }

private:
    caseregister::Table m_table;
    QList<RegisterEntry> m_added;
    std::vector<qint32> m_rows;
};

// What the search looks at. A loaded row is searched in the register table's own bytes,
// letter case ignored (see CaseSearch), so that a search holds no second copy of the
// register; the few rows added later are kept here in lower case, their nine columns
// with a NUL between them (no typed word holds one, so no word is found across two
// columns). The digits of every telephone are copied, since a telephone typed with
// other marks is looked for among them alone.
class FoldedRows
{
public:
    // Stops early, leaving fewer rows, once `stopped` answers true (it is asked now and
    // then).
    explicit FoldedRows(const CaseRows &rows, const std::function<bool()> &stopped = {});

    int rowCount() const { return static_cast<int>(m_digitStart.size()) - 1; }
    const CaseRows &rows() const { return m_rows; }
    // The lower-case columns of a row added later; empty for a loaded row.
    QByteArrayView addedText(int row) const;
    QByteArrayView digits(int row) const;
    // The case-number column as stored; a row added later is encoded into `scratch`.
    QByteArrayView caseNumber(int row, QByteArray &scratch) const;

private:
    CaseRows m_rows;
    std::vector<QByteArray> m_addedText; // by CaseRows::addedIndex()
    QByteArray m_digits;
    std::vector<quint32> m_digitStart; // one more than there are rows
};

} // namespace lunora
