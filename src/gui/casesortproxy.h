// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "gui/casesearch.h"
#include "storage/records.h"
#include "storage/storetypes.h"

#include <QAbstractProxyModel>
#include <QList>
#include <QString>
#include <array>
#include <memory>
#include <vector>

namespace lunora {

class CaseListModel;

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
