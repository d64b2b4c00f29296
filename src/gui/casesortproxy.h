// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "gui/caserows.h"
#include "gui/casesearch.h"
#include "gui/placebits.h"
#include "storage/records.h"
#include "storage/storetypes.h"

#include <QAbstractProxyModel>
#include <QList>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace lunora {

class CaseListModel;

// Sorting on top of CaseListModel. Nothing is sorted until sortBy() is first called
// (the rows stand in register order); from then on the rows are kept in the order of
// the sort column, and rows added to the source take their sorted place. Rows that
// compare equal keep their register order in either direction.
//
// A proxy of its own rather than QSortFilterProxyModel: it sorts a plain array of row
// numbers with direct access to the texts.
//
// A long list does its register-sized work on a worker thread, so that the window never
// waits for it: the ascending order of every column is made after a load and kept
// across added and removed rows (a sort asked for before its column is ready is shown
// when it is), and a search runs there too, each keystroke cancelling the one before.
// The worker reads only copies (CaseRows, FoldedRows) and hands its results back to
// this thread, where a result of an older keystroke or older rows is dropped.
class CaseSortProxy final : public QAbstractProxyModel
{
    Q_OBJECT

public:
    explicit CaseSortProxy(QObject *parent = nullptr);
    ~CaseSortProxy() override;

    // Lists of at least this many rows sort and search on the worker; shorter ones at
    // once, where the work takes less than the worker's round trip.
    void setBackgroundFrom(int rows) { m_backgroundFrom = rows; }

    void setCaseModel(CaseListModel *model);
    CaseListModel *caseModel() const { return m_cases; }

    void sortBy(int column, Qt::SortOrder order);
    int sortColumn() const { return m_sortColumn; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }

    // The search; an empty text shows every row.
    void setSearch(const QString &text);
    QString searchText() const { return m_search.text(); }
    bool isSearching() const { return !m_search.isEmpty(); }
    // A keystroke's search is still being looked for on the worker: the rows shown are
    // those of an earlier text, or the first screenful of this one.
    bool isSearchRunning() const { return m_searchRunning; }
    // The kept ascending order of a column (register order among equal texts), empty
    // while it is not made.
    std::vector<int> keptOrder(int column) const;

    // The rows shown, in the order the list shows them.
    QList<RegisterEntry> entriesInViewOrder() const;
    // Every row, those a search hides included, in the list's order: what a rewrite of
    // the register must hold.
    QList<RegisterEntry> entriesInListOrder() const;
    // The same rows as the case store's keys: the order a register rewrite keeps. The
    // keys are views into the model's table, which the order holds on to.
    ListOrder listOrder() const;
    // The source rows of listOrder(), for making the keys on another thread.
    const std::vector<int> &listRows() const { return m_order; }
    // A rewrite of the register runs on the worker: the kept orders' builds wait, since
    // the rows they are for change when it lands, and their memory would add to the
    // rewrite's.
    void setWriting(bool writing);
    int sourceRow(int viewRow) const;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QModelIndex mapToSource(const QModelIndex &proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex &sourceIndex) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // A reload of a long list makes, on its worker and before the rows are handed over,
    // the order of the column the list is sorted by and the rows its search finds, so
    // that the list switches to the new rows once, already sorted and searched, rather
    // than showing register order or no rows until the worker has made them.
    struct Prepared;
    // What the proxy shares with its worker jobs (defined where they are).
    struct Shared;
    class SearchCount;
    struct Preparation
    {
        int column = -1; // the sort column shown or waited for
        QString search;
        int backgroundFrom = 0;
        // The proxy's worker state: the order made for the read goes before the proxy's
        // own order builds, which wait meanwhile rather than hold a build's memory beside
        // it (their orders are of the rows the read replaces).
        std::shared_ptr<Shared> shared;
    };
    // What the list shows now (this thread).
    Preparation preparation() const;
    // Any thread; null for a short table, a list neither sorted nor searched, or when
    // `stopped` answered true.
    static std::shared_ptr<Prepared> prepare(
        const caseregister::Table &table, const Preparation &wanted, const std::function<bool()> &stopped);
    // The next reset of the source uses what fits of it (the same number of rows, the
    // column and the text still asked for); any other change of the rows drops it.
    void usePrepared(std::shared_ptr<Prepared> prepared) { m_prepared = std::move(prepared); }

signals:
    // The rows of a search are shown: at once, as a first screenful, or whole.
    void searchShown();

private:
    struct Kept
    {
        QString text;
        CaseSearch search;
        std::shared_ptr<const std::vector<int>> hits; // register order
    };

    // The rows of the sort column in ascending order, register order among equals, and
    // for each place whether its text equals the one before.
    struct ColumnOrder
    {
        std::vector<int> ascending;
        PlaceBits sameAsPrevious;
    };
    struct PendingSort
    {
        int column;
        Qt::SortOrder order;
    };
    static std::shared_ptr<ColumnOrder> buildOrder(
        const CaseRows &rows, int column, const std::function<bool()> &stopped);
    static std::shared_ptr<const FoldedRows> foldedFor(Shared &shared, const CaseRows &rows, quint64 rowsAt);

    bool before(int sourceA, int sourceB) const;
    const std::vector<int> &shown() const { return m_search.isEmpty() ? m_order : m_visible; }
    void sortMapping();
    void rebuildSourceToProxy();
    void forgetColumnOrders();
    bool isLong() const;
    void rowsChanged();

    void startOrderJob();
    void takeOrder(quint64 rowsAt, int column, std::shared_ptr<ColumnOrder> order);
    void orderJobEnded();
    void placeInOrders(int first, int last);
    void dropFromOrders(int first, int last);
    std::size_t placeInOrder(const ColumnOrder &order, int column, int source) const;

    void runSearch(const CaseSearch &search, std::shared_ptr<const std::vector<int>> candidates);
    void startSearchJob(const CaseSearch &search, std::shared_ptr<const std::vector<int>> candidates);
    void takeSearch(quint64 searchAt, quint64 rowsAt, const CaseSearch &search,
        std::shared_ptr<const std::vector<int>> hits, bool complete);
    void showHits(const CaseSearch &search, const std::vector<int> *hits);
    void restartSearch();

    void sourceAboutToBeReset();
    void sourceReset();
    void restoreSort();
    void showOnly(const std::vector<int> &hits);
    bool showPreparedSearch(const Prepared &prepared);
    void sourceRowsInserted(const QModelIndex &parent, int first, int last);
    void sourceRowsAboutToBeRemoved(const QModelIndex &parent, int first, int last);
    void sourceRowsRemoved(const QModelIndex &parent, int first, int last);

    CaseListModel *m_cases = nullptr;
    std::vector<int> m_order; // every source row in list order
    std::vector<int> m_visible; // the rows of m_order the search matches, while searching
    std::vector<int> m_sourceToProxy; // -1 for a hidden row
    CaseSearch m_search; // the search m_visible shows
    QString m_wantedText; // the text asked for last
    bool m_searchRunning = false;
    std::vector<Kept> m_kept; // the results of the prefixes of m_wantedText
    std::array<std::shared_ptr<ColumnOrder>, RegisterFieldCount> m_columnOrders;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    std::optional<PendingSort> m_pendingSort;
    bool m_orderJobRunning = false;
    int m_backgroundFrom = 20000;
    std::shared_ptr<Shared> m_shared;
    std::shared_ptr<Prepared> m_prepared;
};

} // namespace lunora
