// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

namespace lunora {

class CaseListModel;
class FoldedRows;

// A lower-case word looked for in stored bytes, letter case ignored. The bytes its first
// two letters may be stored as are worked out once, so that a line is scanned sixteen
// bytes at a time and only a place where both stand is compared letter by letter.
class FoldedWord
{
public:
    FoldedWord() = default;
    explicit FoldedWord(QByteArray lower);

    const QByteArray &bytes() const { return m_word; }
    // Where the word first occurs in `haystack` from `from` on, or -1.
    qsizetype findIn(QByteArrayView haystack, qsizetype from = 0) const;

private:
    // The stored forms of one letter: at most four (a letter and its capital, and the
    // few that two capitals fold to); `count` 0 when there are more.
    struct Forms
    {
        std::array<unsigned char, 4> bytes {};
        int count = 0;
    };
    static Forms formsOf(unsigned char lower);
    qsizetype findSlowly(QByteArrayView haystack, qsizetype from) const;

    QByteArray m_word;
    Forms m_first;
    Forms m_second;
};

// What the search field asks for. The text is split into words at blanks; a row matches
// when every word occurs in one of its nine columns, letter case ignored. Words made of
// digits and the marks a telephone number is written with ("070-123", "45", "(08)") form
// runs, and a run also matches when its digits occur among the digits of the row's
// telephone, so that "070-123 45 67" and "0701234567" find each other. A text in the
// case number's form ("101215 4711", what a scanner types from a label) matches the
// case-number column alone, and only as a whole.
class CaseSearch
{
public:
    CaseSearch() = default;
    explicit CaseSearch(const QString &text);

    bool isEmpty() const { return m_groups.empty(); }
    const QString &text() const { return m_text; }
    bool matches(const CaseListModel &model, int row) const;
    bool matches(const FoldedRows &rows, int row) const;
    // True when every row this search matches is matched by `earlier` too, so that only
    // the rows `earlier` left can match: the user typed on at the end of the text.
    bool narrows(const CaseSearch &earlier) const;

private:
    struct Group
    {
        // Lower-case Windows-1252 bytes; a word that has no Windows-1252 form matches no
        // column and is left empty with `encodable` false.
        std::vector<FoldedWord> words;
        bool encodable = true;
        QByteArray digits; // a telephone-like run: its digits; empty otherwise
    };

    QString m_text;
    std::vector<Group> m_groups;
    std::optional<QByteArray> m_caseNumber; // a scanned case number: its bytes
};

// A pass of a search over the folded rows.
struct SearchPass
{
    // The rows to look at, ascending (every row when null).
    const std::vector<int> *candidates = nullptr;
    // Asked now and then; true ends the pass early.
    std::function<bool()> cancelled;
    // Called once with the first `screenful` hits, as soon as they are found.
    std::function<void(const std::vector<int> &)> firstHits;
    std::size_t screenful = 0;
};

// The rows the search matches, in register order; nothing when the pass was cancelled.
std::optional<std::vector<int>> findRows(
    const CaseSearch &search, const FoldedRows &rows, const SearchPass &pass);

} // namespace lunora
