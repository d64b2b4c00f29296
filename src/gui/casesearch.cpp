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
#include <array>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// Lower case of every Windows-1252 byte.
const std::array<unsigned char, 256> &foldBytes()
{
    static const std::array<unsigned char, 256> table = [] {
        std::array<unsigned char, 256> bytes {};
        for (int c = 0; c < 256; ++c)
            bytes[std::size_t(c)] = static_cast<unsigned char>(cp1252::toLower(static_cast<char>(c)));
        return bytes;
    }();
    return table;
}

// Whether the word stands inside one of a loaded row's fields. A place found in the
// line counts only then, since the bytes between fields (quotes, commas, anything a
// damaged line has there) belong to no column. The line is split at the first place
// found and the fields kept for the row's other words.
bool lineHasWord(const FoldedRows &rows, int row, QByteArrayView line, const FoldedWord &word,
    std::optional<caseregister::Table::Fields> &fields)
{
    for (qsizetype at = word.findIn(line); at >= 0; at = word.findIn(line, at + 1)) {
        if (!fields)
            fields = rows.rows().loadedFields(row);
        const char *start = line.data() + at;
        const char *end = start + word.bytes().size();
        // The fields stand in order: the first that ends at or after the place found
        // is the only one that can hold it.
        for (const QByteArrayView &field : *fields) {
            if (field.data() + field.size() < end)
                continue;
            if (start >= field.data())
                return true;
            break;
        }
    }
    return false;
}

} // namespace

FoldedWord::FoldedWord(QByteArray lower)
    : m_word(std::move(lower))
{
    if (!m_word.isEmpty())
        m_first = formsOf(static_cast<unsigned char>(m_word[0]));
    if (m_word.size() > 1)
        m_second = formsOf(static_cast<unsigned char>(m_word[1]));
}

FoldedWord::Forms FoldedWord::formsOf(unsigned char lower)
{
    const std::array<unsigned char, 256> &fold = foldBytes();
    Forms forms;
    for (int c = 0; c < 256; ++c) {
        if (fold[std::size_t(c)] != lower)
            continue;
        if (forms.count == int(forms.bytes.size()))
            return {};
        forms.bytes[std::size_t(forms.count++)] = static_cast<unsigned char>(c);
    }
    // Unused places repeat the first form, so that a scan always compares four.
    for (int i = forms.count; i > 0 && i < int(forms.bytes.size()); ++i)
        forms.bytes[std::size_t(i)] = forms.bytes[0];
    return forms;
}

qsizetype FoldedWord::findSlowly(QByteArrayView haystack, qsizetype from) const
{
    const std::array<unsigned char, 256> &fold = foldBytes();
    const auto *hay = reinterpret_cast<const unsigned char *>(haystack.data());
    const auto *word = reinterpret_cast<const unsigned char *>(m_word.constData());
    const qsizetype n = m_word.size();
    for (qsizetype i = from; i <= haystack.size() - n; ++i) {
        qsizetype j = 0;
        while (j < n && fold[hay[i + j]] == word[j])
            ++j;
        if (j == n)
            return i;
    }
    return -1;
}

#if defined(__SSE2__)
namespace {

int placesOf(const unsigned char *p, const std::array<unsigned char, 4> &forms)
{
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
    __m128i hits = _mm_cmpeq_epi8(v, _mm_set1_epi8(static_cast<char>(forms[0])));
    for (std::size_t i = 1; i < forms.size(); ++i)
        hits = _mm_or_si128(hits, _mm_cmpeq_epi8(v, _mm_set1_epi8(static_cast<char>(forms[i]))));
    return _mm_movemask_epi8(hits);
}

} // namespace
#endif

qsizetype FoldedWord::findIn(QByteArrayView haystack, qsizetype from) const
{
    const qsizetype n = m_word.size();
    if (n == 0)
        return from <= haystack.size() ? from : -1;
#if defined(__SSE2__)
    if (m_first.count > 0 && (n == 1 || m_second.count > 0)) {
        const std::array<unsigned char, 256> &fold = foldBytes();
        const auto *hay = reinterpret_cast<const unsigned char *>(haystack.data());
        const auto *word = reinterpret_cast<const unsigned char *>(m_word.constData());
        qsizetype i = from;
        // Sixteen places at a time, while the word fits after the last of them (the
        // second letter's forms are read one byte further on).
        for (; i + n + 15 <= haystack.size(); i += 16) {
            int places = placesOf(hay + i, m_first.bytes);
            if (places != 0 && n > 1)
                places &= placesOf(hay + i + 1, m_second.bytes);
            for (; places != 0; places &= places - 1) {
                const qsizetype at = i + __builtin_ctz(static_cast<unsigned>(places));
                qsizetype j = 2;
                while (j < n && fold[hay[at + j]] == word[j])
                    ++j;
                if (j >= n)
                    return at;
            }
        }
        return findSlowly(haystack, i);
    }
#endif
    return findSlowly(haystack, from);
}

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
            group.words.emplace_back(cp1252::encode(lower));
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
        for (const FoldedWord &word : group.words) {
            if (!all)
                break;
            all = rowContains(model, row, line, scratch, word.bytes());
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
    if (m_caseNumber) {
        QByteArray scratch;
        return casenumbersearch::matches(*m_caseNumber, rows.caseNumber(row, scratch));
    }
    const QByteArrayView line = rows.rows().rawLine(row);
    const QByteArrayView added = line.isEmpty() ? rows.addedText(row) : QByteArrayView();
    std::optional<caseregister::Table::Fields> fields;
    for (const Group &group : m_groups) {
        bool all = group.encodable;
        for (const FoldedWord &word : group.words) {
            if (!all)
                break;
            all = line.isEmpty() ? word.findIn(added) >= 0 : lineHasWord(rows, row, line, word, fields);
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
