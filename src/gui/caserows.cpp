// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/caserows.h"

#include "storage/cp1252.h"

#include <array>

namespace lunora {

CaseRows::CaseRows(caseregister::Table table, QList<RegisterEntry> added, std::vector<qint32> rows)
    : m_table(std::move(table))
    , m_added(std::move(added))
    , m_rows(std::move(rows))
{
}

QByteArrayView CaseRows::rawText(int row, int column, QByteArray &scratch) const
{
    const qint32 at = m_rows[static_cast<std::size_t>(row)];
    if (at >= 0)
        return m_table.rawField(at, column);
    scratch = cp1252::encode(m_added.at(-1 - at)[column]);
    return scratch;
}

void CaseRows::textInto(int row, int column, QString &text) const
{
    const qint32 at = m_rows[static_cast<std::size_t>(row)];
    if (at >= 0)
        cp1252::decodeInto(m_table.rawField(at, column), text);
    else
        text = m_added.at(-1 - at)[column];
}

qsizetype CaseRows::textSize(int row, int column) const
{
    const qint32 at = m_rows[static_cast<std::size_t>(row)];
    return at >= 0 ? m_table.rawField(at, column).size() : m_added.at(-1 - at)[column].size();
}

caseregister::Table::Fields CaseRows::rawFields(
    int row, std::array<QByteArray, RegisterFieldCount> &scratch) const
{
    const qint32 at = m_rows[static_cast<std::size_t>(row)];
    if (at >= 0)
        return m_table.fields(at);
    caseregister::Table::Fields fields;
    const RegisterEntry &entry = m_added.at(-1 - at);
    for (int column = 0; column < RegisterFieldCount; ++column) {
        scratch[std::size_t(column)] = cp1252::encode(entry[column]);
        fields[std::size_t(column)] = scratch[std::size_t(column)];
    }
    return fields;
}

QByteArrayView CaseRows::rawLine(int row) const
{
    const qint32 at = m_rows[static_cast<std::size_t>(row)];
    return at >= 0 ? m_table.rawLine(at) : QByteArrayView();
}

caseregister::Table::Fields CaseRows::loadedFields(int row) const
{
    return m_table.fields(m_rows[static_cast<std::size_t>(row)]);
}

qsizetype CaseRows::addedIndex(int row) const
{
    const qint32 at = m_rows[static_cast<std::size_t>(row)];
    return at >= 0 ? -1 : -1 - qsizetype(at);
}

FoldedRows::FoldedRows(const CaseRows &rows, const std::function<bool()> &stopped)
    : m_rows(rows)
{
    m_addedText.reserve(static_cast<std::size_t>(rows.added().size()));
    for (const RegisterEntry &entry : rows.added()) {
        QByteArray text;
        for (int column = 0; column < RegisterFieldCount; ++column)
            text += cp1252::toLower(cp1252::encode(entry[column])) + '\0';
        m_addedText.push_back(std::move(text));
    }
    const int count = rows.rowCount();
    m_digitStart.reserve(static_cast<std::size_t>(count) + 1);
    QByteArray scratch;
    for (int row = 0; row < count; ++row) {
        if (stopped && (row & 0xfff) == 0 && stopped())
            break;
        m_digitStart.push_back(quint32(m_digits.size()));
        for (const char c : rows.rawText(row, Telephone, scratch)) {
            if (c >= '0' && c <= '9')
                m_digits.append(c);
        }
    }
    m_digitStart.push_back(quint32(m_digits.size()));
    m_digits.squeeze();
}

QByteArrayView FoldedRows::addedText(int row) const
{
    const qsizetype added = m_rows.addedIndex(row);
    return added < 0 ? QByteArrayView() : QByteArrayView(m_addedText[std::size_t(added)]);
}

QByteArrayView FoldedRows::digits(int row) const
{
    const auto r = static_cast<std::size_t>(row);
    return QByteArrayView(m_digits.constData() + m_digitStart[r], m_digitStart[r + 1] - m_digitStart[r]);
}

QByteArrayView FoldedRows::caseNumber(int row, QByteArray &scratch) const
{
    return m_rows.rawText(row, CaseNumber, scratch);
}

} // namespace lunora
