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

private:
    caseregister::Table m_table;
    QList<RegisterEntry> m_added;
    std::vector<qint32> m_rows;
};

// What the search looks at, made once for every row: the nine columns in lower case
// with a NUL between them (no typed word holds one, so no word is found across two
// columns), and the digits of the telephone alone. A search then compares bytes and
// allocates nothing per row.
class FoldedRows
{
public:
    // Stops early, leaving fewer rows, once `stopped` answers true (it is asked now and
    // then).
    explicit FoldedRows(const CaseRows &rows, const std::function<bool()> &stopped = {});

    int rowCount() const { return static_cast<int>(m_textStart.size()) - 1; }
    QByteArrayView text(int row) const;
    QByteArrayView digits(int row) const;
    // The case-number column as stored (folding leaves a case number's bytes alone).
    QByteArrayView caseNumber(int row) const;
    qsizetype byteSize() const { return m_text.size() + m_digits.size(); }

private:
    QByteArray m_text;
    QByteArray m_digits;
    std::vector<qsizetype> m_textStart; // one more than there are rows
    std::vector<qsizetype> m_digitStart;
    std::vector<std::uint32_t> m_caseNumberSize;
};

} // namespace lunora
