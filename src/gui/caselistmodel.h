// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "storage/caseregister.h"
#include "storage/casestore.h"
#include "storage/records.h"

#include <QAbstractProxyModel>
#include <QAbstractTableModel>
#include <QList>
#include <QStringView>
#include <array>
#include <memory>
#include <vector>

namespace lunora {

// Compares two texts character by character the way a Swedish reader orders them:
// blanks and punctuation before digits, digits one by one (so "10" comes before "9"),
// then the letters a to z followed by å, ä and ö. Letter case and accents only break
// ties, so "andersson" stands beside "Andersson" and "é" beside "e".
// Returns a negative number, zero or a positive number, like a three-way compare.
int compareSwedish(QStringView a, QStringView b);

// Whether a typed word is (part of) a telephone number: digits and the marks numbers
// are written with ("070-123", "(08)", "+46"), at least one digit.
bool isTelephoneWord(QStringView word);

// The overview's rows: one register entry per row, the nine fields as its columns.
class CaseListModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit CaseListModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Replace every row (load and refresh).
    void setTable(caseregister::Table table);
    void setEntries(QList<RegisterEntry> entries);
    void appendEntry(const RegisterEntry &entry);
    void removeEntry(int row);

    // The most characters of a field that a cell shows.
    static constexpr qsizetype DisplayLimit = 1000;

    RegisterEntry entry(int row) const;
    // The case the row stands for, as the case store finds it in the register.
    CaseKey key(int row) const;
    // Whether the row stands for the case with this key: key(row) == key, without
    // copying the row's fields (a removal looks at every row).
    bool isCase(int row, const CaseKey &key) const;
    // The keys of these rows, in this order: views into the model's bytes where it can,
    // which the order holds on to.
    ListOrder keys(const std::vector<int> &rows) const;
    QString text(int row, int column) const;
    // What the cell shows: the first DisplayLimit characters of text().
    QString displayText(int row, int column) const;
    // The field in Windows-1252 as the register stores it; rows added later are encoded
    // into `scratch`, which the returned view may point into.
    QByteArrayView rawText(int row, int column, QByteArray &scratch) const;
    // For a loaded row, the bytes from its first field to the end of its last, which hold
    // all nine fields in order; empty for a row added later.
    QByteArrayView rawLine(int row) const;
    // The same text written into `text`, whose room is reused: for passes over every row.
    void textInto(int row, int column, QString &text) const;
    // The length of text(row, column), without decoding it.
    qsizetype textSize(int row, int column) const;

    static QString columnCaption(int column);
    static int columnWidthUnits(int column);

private:
    // The loaded register stays as read; its fields are decoded when asked for. Rows
    // added later are kept beside it, and every row names where its fields are:
    // m_rows[row] >= 0 is an entry of m_table, -1 - m_rows[row] an index into m_added.
    caseregister::Table m_table;
    QList<RegisterEntry> m_added;
    std::vector<qint32> m_rows;
};

// What the search field asks for. The text is split into words at blanks; a row matches
// when every word occurs in one of its nine columns, letter case ignored. Words made of
// digits and the marks a telephone number is written with ("070-123", "45", "(08)") form
// runs, and a run also matches when its digits occur among the digits of the row's
// telephone, so that "070-123 45 67" and "0701234567" find each other.
class CaseSearch
{
public:
    CaseSearch() = default;
    explicit CaseSearch(const QString &text);

    bool isEmpty() const { return m_groups.empty(); }
    const QString &text() const { return m_text; }
    bool matches(const CaseListModel &model, int row) const;
    // True when every row this search matches is matched by `earlier` too, so that only
    // the rows `earlier` left can match: the user typed on at the end of the text.
    bool narrows(const CaseSearch &earlier) const;

private:
    struct Group
    {
        // Lower-case Windows-1252 bytes; a word that has no Windows-1252 form matches no
        // column and is left empty with `encodable` false.
        std::vector<QByteArray> words;
        bool encodable = true;
        QByteArray digits; // a telephone-like run: its digits; empty otherwise
    };

    QString m_text;
    std::vector<Group> m_groups;
};

// Sorting on top of CaseListModel. Nothing is sorted until sortBy() is first called
// (the rows stand in register order); from then on the rows are kept in the order of
// the sort column, and rows added to the source take their sorted place. Rows that
// compare equal keep their register order in either direction.
//
// A proxy of its own rather than QSortFilterProxyModel: it sorts a plain array of row
// numbers with direct access to the texts, which keeps a sort of 100,000 cases well
// below what the user notices.
class CaseSortProxy final : public QAbstractProxyModel
{
    Q_OBJECT

public:
    explicit CaseSortProxy(QObject *parent = nullptr);

    void setCaseModel(CaseListModel *model);
    CaseListModel *caseModel() const { return m_cases; }

    void sortBy(int column, Qt::SortOrder order);
    int sortColumn() const { return m_sortColumn; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }

    // The search; an empty text shows every row.
    void setSearch(const QString &text);
    QString searchText() const { return m_search.text(); }
    bool isSearching() const { return !m_search.isEmpty(); }

    // The rows shown, in the order the list shows them.
    QList<RegisterEntry> entriesInViewOrder() const;
    // Every row, those a search hides included, in the list's order: what a rewrite of
    // the register must hold.
    QList<RegisterEntry> entriesInListOrder() const;
    // The same rows as the case store's keys: the order a register rewrite keeps. The
    // keys are views into the model's table, which the order holds on to.
    ListOrder listOrder() const;
    int sourceRow(int viewRow) const;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QModelIndex mapToSource(const QModelIndex &proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex &sourceIndex) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    // The rows of the sort column in ascending order, register order among equals, and
    // for each place whether its text equals the one before.
    struct ColumnOrder
    {
        std::vector<int> ascending;
        std::vector<bool> sameAsPrevious;
    };

    bool before(int sourceA, int sourceB) const;
    const std::vector<int> &shown() const { return m_search.isEmpty() ? m_order : m_visible; }
    void sortMapping();
    void filterMapping();
    void rebuildSourceToProxy();
    void forgetColumnOrders();

    void sourceAboutToBeReset();
    void sourceReset();
    void sourceRowsInserted(const QModelIndex &parent, int first, int last);
    void sourceRowsAboutToBeRemoved(const QModelIndex &parent, int first, int last);
    void sourceRowsRemoved(const QModelIndex &parent, int first, int last);

    CaseListModel *m_cases = nullptr;
    std::vector<int> m_order; // every source row in list order
    std::vector<int> m_visible; // the rows of m_order the search matches, while searching
    std::vector<int> m_sourceToProxy; // -1 for a hidden row
    CaseSearch m_search;
    std::array<std::unique_ptr<ColumnOrder>, RegisterFieldCount> m_columnOrders;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};

} // namespace lunora
