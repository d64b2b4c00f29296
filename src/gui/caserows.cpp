// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/caserows.h"

#include "storage/cp1252.h"

#include <array>

namespace lunora {

namespace {

// Lower case of every Windows-1252 byte; a NUL inside a field becomes 0x01, since NUL
// marks where a column ends.
const std::array<char, 256> &foldBytes()
{
    static const std::array<char, 256> table = [] {
        std::array<char, 256> bytes {};
        for (int c = 0; c < 256; ++c)
            bytes[static_cast<std::size_t>(c)] = cp1252::toLower(static_cast<char>(c));
        bytes[0] = '\x01';
        return bytes;
    }();
    return table;
}

} // namespace

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

FoldedRows::FoldedRows(const CaseRows &rows, const std::function<bool()> &stopped)
{
    const int count = rows.rowCount();
    const auto size = static_cast<std::size_t>(count);
    std::array<QByteArray, RegisterFieldCount> scratch;
    qsizetype total = 0;
    for (int row = 0; row < count; ++row) {
        for (const QByteArrayView &field : rows.rawFields(row, scratch))
            total += field.size() + 1;
    }
    m_text.resize(total);
    m_textStart.reserve(size + 1);
    m_digitStart.reserve(size + 1);
    m_caseNumberSize.reserve(size);
    const std::array<char, 256> &fold = foldBytes();
    char *out = m_text.data();
    for (int row = 0; row < count; ++row) {
        if (stopped && (row & 0xfff) == 0 && stopped())
            break;
        m_textStart.push_back(out - m_text.constData());
        m_digitStart.push_back(m_digits.size());
        const caseregister::Table::Fields fields = rows.rawFields(row, scratch);
        for (int column = 0; column < RegisterFieldCount; ++column) {
            const QByteArrayView field = fields[std::size_t(column)];
            for (const char c : field)
                *out++ = fold[static_cast<unsigned char>(c)];
            *out++ = '\0';
            if (column == CaseNumber)
                m_caseNumberSize.push_back(static_cast<std::uint32_t>(field.size()));
            if (column == Telephone) {
                for (const char c : field) {
                    if (c >= '0' && c <= '9')
                        m_digits.append(c);
                }
            }
        }
    }
    m_textStart.push_back(out - m_text.constData());
    m_digitStart.push_back(m_digits.size());
    m_text.truncate(m_textStart.back());
}

QByteArrayView FoldedRows::text(int row) const
{
    const auto r = static_cast<std::size_t>(row);
    return QByteArrayView(m_text.constData() + m_textStart[r], m_textStart[r + 1] - m_textStart[r]);
}

QByteArrayView FoldedRows::digits(int row) const
{
    const auto r = static_cast<std::size_t>(row);
    return QByteArrayView(m_digits.constData() + m_digitStart[r], m_digitStart[r + 1] - m_digitStart[r]);
}

QByteArrayView FoldedRows::caseNumber(int row) const
{
    static_assert(CaseNumber == 0, "the case number is the first column");
    const auto r = static_cast<std::size_t>(row);
    return QByteArrayView(m_text.constData() + m_textStart[r], m_caseNumberSize[r]);
}

} // namespace lunora
