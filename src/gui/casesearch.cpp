// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/casesearch.h"

#include "gui/caselistmodel.h"
#include "gui/caserows.h"
#include "storage/casenumbersearch.h"
#include "storage/cp1252.h"
#include "storage/swedishtext.h"

#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <cstring>

namespace lunora {

namespace {

// Whether the word occurs in one of the row's columns. A loaded row is searched in its
// line as a whole, one pass instead of nine; a place found there counts only when it
// lies inside one field, since the bytes between fields (quotes, commas, anything a
// damaged line has there) belong to no column.
bool rowContains(
    const CaseListModel &model, int row, QByteArrayView line, QByteArray &scratch, const QByteArray &word)
{
    if (line.isEmpty()) {
        for (int column = 0; column < RegisterFieldCount; ++column) {
            if (containsFolded(model.rawText(row, column, scratch), word))
                return true;
        }
        return false;
    }
    qsizetype at = findFolded(line, word);
    if (at < 0)
        return false;
    while (at >= 0) {
        const char *start = line.data() + at;
        const char *end = start + word.size();
        // The fields stand in order: the first that ends at or after the place found
        // is the only one that can hold it.
        for (int column = 0; column < RegisterFieldCount; ++column) {
            const QByteArrayView field = model.rawText(row, column, scratch);
            if (field.data() + field.size() < end)
                continue;
            if (start >= field.data())
                return true;
            break;
        }
        at = findFolded(line, word, at + 1);
    }
    return false;
}

bool containsBytes(QByteArrayView haystack, const QByteArray &needle)
{
    return ::memmem(haystack.data(), static_cast<std::size_t>(haystack.size()), needle.constData(),
               static_cast<std::size_t>(needle.size()))
        != nullptr;
}

} // namespace

CaseSearch::CaseSearch(const QString &text)
    : m_text(text)
    , m_caseNumber(casenumbersearch::wantedNumber(text))
{
    const QStringList words = text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    bool inRun = false;
    for (const QString &word : words) {
        const bool telephone = isTelephoneWord(word);
        if (!telephone || !inRun)
            m_groups.emplace_back();
        Group &group = m_groups.back();
        const QString lower = word.toLower();
        if (cp1252::canEncode(lower))
            group.words.push_back(cp1252::encode(lower));
        else
            group.encodable = false;
        if (telephone) {
            for (const QChar c : word) {
                if (c >= u'0' && c <= u'9')
                    group.digits.append(static_cast<char>(c.unicode()));
            }
        }
        inRun = telephone;
    }
}

bool CaseSearch::matches(const CaseListModel &model, int row) const
{
    QByteArray scratch;
    if (m_caseNumber)
        return casenumbersearch::matches(*m_caseNumber, model.rawText(row, CaseNumber, scratch));
    const QByteArrayView line = model.rawLine(row);
    QByteArray telephoneDigits;
    bool haveDigits = false;
    for (const Group &group : m_groups) {
        bool all = group.encodable;
        for (const QByteArray &word : group.words) {
            if (!all)
                break;
            all = rowContains(model, row, line, scratch, word);
        }
        if (all)
            continue;
        if (group.digits.isEmpty())
            return false;
        if (!haveDigits) {
            const QByteArrayView telephone = model.rawText(row, Telephone, scratch);
            for (const char c : telephone) {
                if (c >= '0' && c <= '9')
                    telephoneDigits.append(c);
            }
            haveDigits = true;
        }
        if (!telephoneDigits.contains(group.digits))
            return false;
    }
    return true;
}

bool CaseSearch::narrows(const CaseSearch &earlier) const
{
    // Typing on at the end only lengthens the last word or adds words; either way each
    // earlier word, and each earlier run's digits, is found inside what is asked now.
    // A case number is matched whole, so the rows of an earlier one hold no other: after
    // it every row is looked at again.
    return !earlier.isEmpty() && !earlier.m_caseNumber && m_text.startsWith(earlier.m_text);
}

bool CaseSearch::matches(const FoldedRows &rows, int row) const
{
    if (m_caseNumber)
        return casenumbersearch::matches(*m_caseNumber, rows.caseNumber(row));
    const QByteArrayView text = rows.text(row);
    for (const Group &group : m_groups) {
        bool all = group.encodable;
        for (const QByteArray &word : group.words) {
            if (!all)
                break;
            all = containsBytes(text, word);
        }
        if (all)
            continue;
        if (group.digits.isEmpty() || !containsBytes(rows.digits(row), group.digits))
            return false;
    }
    return true;
}

std::optional<std::vector<int>> findRows(
    const CaseSearch &search, const FoldedRows &rows, const SearchPass &pass)
{
    std::vector<int> hits;
    const std::size_t count
        = pass.candidates ? pass.candidates->size() : static_cast<std::size_t>(rows.rowCount());
    bool told = !pass.firstHits || pass.screenful == 0;
    for (std::size_t i = 0; i < count; ++i) {
        if ((i & 0xfff) == 0 && pass.cancelled && pass.cancelled())
            return std::nullopt;
        const int row = pass.candidates ? (*pass.candidates)[i] : static_cast<int>(i);
        if (!search.matches(rows, row))
            continue;
        hits.push_back(row);
        if (!told && hits.size() == pass.screenful) {
            pass.firstHits(hits);
            told = true;
        }
    }
    return hits;
}

} // namespace lunora
