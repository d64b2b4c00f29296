// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/casesortproxy.h"

#include "gui/caselistmodel.h"
#include "storage/heap.h"
#include "storage/swedishtext.h"
#include "storage/workers.h"

#include <QByteArray>
#include <QThreadPool>
#include <algorithm>
#include <atomic>
#include <bit>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <numeric>
#include <thread>
#include <utility>

namespace lunora {

// What the proxy and its worker jobs share. A job holds it as long as it runs, so it
// may outlive the proxy: the proxy's destructor clears `proxy` (under the lock a job
// posts its result under) and moves the generations on, which ends every job soon.
struct CaseSortProxy::Shared
{
    std::mutex postMutex;
    CaseSortProxy *proxy = nullptr;
    // Moved on by every keystroke (search) and every change of the rows (rows): a job
    // of an older one stops, and what it found is dropped.
    std::atomic<quint64> search { 0 };
    std::atomic<quint64> rows { 0 };
    // The column the user sorts by while its order is not made yet: made next.
    std::atomic<int> wantedColumn { -1 };
    // Held by an order build for the whole build; a reload's build (see prepare()) asks
    // the kept orders' job to give it up at once.
    std::mutex buildMutex;
    std::atomic<int> reloadBuilds { 0 };
    std::atomic<bool> writing { false }; // see setWriting()
    std::atomic<int> searches { 0 }; // keystrokes' searches running on the worker
    // The folded copy the searches share, made by the first search of these rows.
    std::mutex foldMutex;
    std::shared_ptr<const FoldedRows> folded;
    quint64 foldedRows = 0;
};

// A search job counted in Shared::searches for as long as it runs, however it ends.
class CaseSortProxy::SearchCount
{
public:
    explicit SearchCount(Shared &shared)
        : m_shared(shared)
    {
    }
    ~SearchCount() { --m_shared.searches; }
    SearchCount(const SearchCount &) = delete;
    SearchCount &operator=(const SearchCount &) = delete;

private:
    Shared &m_shared;
};

// What a reload made on its worker for the rows it read (see prepare()).
struct CaseSortProxy::Prepared
{
    int rows = 0;
    int column = -1;
    std::shared_ptr<ColumnOrder> order;
    QString search;
    std::shared_ptr<const FoldedRows> folded;
    std::shared_ptr<const std::vector<int>> hits;
};

namespace {

// Runs `work` on this thread's copy of the proxy, later, if the proxy still exists.
template <typename Work> void post(CaseSortProxy::Shared &shared, Work work)
{
    const std::lock_guard lock(shared.postMutex);
    if (shared.proxy)
        QMetaObject::invokeMethod(
            shared.proxy, [proxy = shared.proxy, work = std::move(work)]() mutable { work(*proxy); },
            Qt::QueuedConnection);
}

constexpr std::size_t ScreenRows = 64;

// The first screenful of a sorted list: the rows found walking the list's order from
// its top. A search that finds few rows finds no screenful soon; the walk gives up
// after a quarter of the list and the whole result comes as fast.
std::vector<int> firstScreenful(const CaseSearch &search, const FoldedRows &rows,
    const std::vector<int> &listOrder, const std::vector<int> *candidates,
    const std::function<bool()> &cancelled)
{
    std::vector<std::uint8_t> candidate;
    if (candidates) {
        candidate.assign(listOrder.size(), 0);
        for (const int row : *candidates)
            candidate[static_cast<std::size_t>(row)] = 1;
    }
    std::vector<int> found;
    const std::size_t walk = std::min(listOrder.size(), listOrder.size() / 4 + ScreenRows);
    for (std::size_t i = 0; i < walk && found.size() < ScreenRows; ++i) {
        if ((i & 0xfff) == 0 && cancelled())
            return {};
        const int row = listOrder[i];
        if ((!candidates || candidate[static_cast<std::size_t>(row)]) && search.matches(rows, row))
            found.push_back(row);
    }
    return found.size() == ScreenRows ? found : std::vector<int>();
}

// The order of one column by its Swedish sort keys. The rows are sorted by the first
// sixteen bytes of their keys (eight characters' letters), and only a run of rows equal
// so far is sorted further, by keys made again for the run alone. Every row's whole key
// at once would take six bytes a character of the column.
class ColumnSorter
{
public:
    ColumnSorter(const CaseRows &rows, int column, std::function<bool()> stopped)
        : m_rows(rows)
        , m_column(column)
        , m_stopped(std::move(stopped))
    {
    }

    // Sorts `run` (register order among equal keys, as it comes in) by its key bytes
    // from `depth` × 16 on, all before them being equal, and marks in `same` from `at`
    // on which rows equal the one before them. False when stopped.
    bool sort(int *run, std::size_t size, PlaceBits &same, std::size_t at, std::size_t depth) const
    {
        // A run of rows equal in their first bytes is mostly short (a date, a name
        // written twice), and its rows' whole keys take little room; a long run (a
        // status most cases share) goes on sixteen bytes at a time, unless its texts
        // are this long alike.
        if (depth > 0 && (size <= WholeKeysRun || depth == WholeKeysFrom))
            return sortWhole(run, size, same, at);
        // Each row's sixteen bytes, and how many key bytes are left from them on (17
        // for more than these): the shorter key goes first among equal bytes.
        std::vector<unsigned __int128> bytes(size);
        std::vector<std::uint8_t> left(size);
        for (std::size_t i = 0; i < size; ++i) {
            if (m_stopped && (i & 0xfff) == 0 && m_stopped())
                return false;
            left[i] = pieceOf(run[i], depth, bytes[i]);
        }
        const auto equal = [&](std::uint32_t a, std::uint32_t b) {
            return bytes[a] == bytes[b] && left[a] == left[b];
        };
        std::vector<std::uint32_t> places(size);
        std::iota(places.begin(), places.end(), std::uint32_t(0));
        std::stable_sort(places.begin(), places.end(), [&](std::uint32_t a, std::uint32_t b) {
            return bytes[a] != bytes[b] ? bytes[a] < bytes[b] : left[a] < left[b];
        });
        // Runs still equal whose keys go on past these bytes are sorted further.
        std::vector<std::pair<std::size_t, std::size_t>> further;
        for (std::size_t i = 0; i < size; ++i) {
            same.set(at + i, i > 0 && equal(places[i - 1], places[i]));
            if (!same[at + i] || left[places[i]] <= 16)
                continue;
            if (!further.empty() && further.back().second == i)
                further.back().second = i + 1;
            else
                further.emplace_back(i - 1, i + 1);
        }
        bytes = {};
        left = {};
        // The rows in their new order, made in `places` itself: a copy of the run beside
        // it would be four bytes a row more at a build's peak.
        for (std::size_t i = 0; i < size; ++i)
            places[i] = static_cast<std::uint32_t>(run[places[i]]);
        std::copy(places.begin(), places.end(), run);
        places = {};
        for (const auto &[first, end] : further) {
            if (!sort(run + first, end - first, same, at + first, depth + 1))
                return false;
        }
        return true;
    }

private:
    static constexpr std::size_t WholeKeysFrom = 8;
    static constexpr std::size_t WholeKeysRun = 1 << 16;

    bool sortWhole(int *run, std::size_t size, PlaceBits &same, std::size_t at) const
    {
        std::vector<QByteArray> keys(size);
        for (std::size_t i = 0; i < size; ++i) {
            if (m_stopped && (i & 0xfff) == 0 && m_stopped())
                return false;
            m_rows.textInto(run[i], m_column, m_text);
            appendSwedishSortKey(keys[i], m_text);
        }
        std::vector<std::uint32_t> places(size);
        std::iota(places.begin(), places.end(), std::uint32_t(0));
        std::stable_sort(places.begin(), places.end(),
            [&keys](std::uint32_t a, std::uint32_t b) { return keys[a] < keys[b]; });
        const std::vector<int> rows(run, run + size);
        for (std::size_t i = 0; i < size; ++i) {
            run[i] = rows[places[i]];
            same.set(at + i, i > 0 && keys[places[i - 1]] == keys[places[i]]);
        }
        return true;
    }

    std::uint8_t pieceOf(int row, std::size_t depth, unsigned __int128 &bytes) const
    {
        m_rows.textInto(row, m_column, m_text);
        m_key.resize(0);
        appendSwedishSortKey(m_key, m_text);
        const auto *key = reinterpret_cast<const unsigned char *>(m_key.constData());
        const std::size_t from = depth * 16;
        const auto length = static_cast<std::size_t>(m_key.size());
        bytes = 0;
        for (std::size_t i = from; i < from + 16; ++i)
            bytes = (bytes << 8) | (i < length ? key[i] : 0u);
        return static_cast<std::uint8_t>(std::min<std::size_t>(length - std::min(length, from), 17));
    }

    const CaseRows &m_rows;
    int m_column;
    std::function<bool()> m_stopped;
    mutable QString m_text;
    mutable QByteArray m_key;
};

} // namespace

CaseSortProxy::CaseSortProxy(QObject *parent)
    : QAbstractProxyModel(parent)
    , m_shared(std::make_shared<Shared>())
{
    m_shared->proxy = this;
}

CaseSortProxy::~CaseSortProxy()
{
    const std::lock_guard lock(m_shared->postMutex);
    m_shared->proxy = nullptr;
    ++m_shared->search;
    ++m_shared->rows;
}

void CaseSortProxy::setCaseModel(CaseListModel *model)
{
    beginResetModel();
    if (m_cases)
        disconnect(m_cases, nullptr, this, nullptr);
    m_cases = model;
    QAbstractProxyModel::setSourceModel(model);
    if (m_cases) {
        connect(
            m_cases, &QAbstractItemModel::modelAboutToBeReset, this, &CaseSortProxy::sourceAboutToBeReset);
        connect(m_cases, &QAbstractItemModel::modelReset, this, &CaseSortProxy::sourceReset);
        connect(m_cases, &QAbstractItemModel::rowsInserted, this, &CaseSortProxy::sourceRowsInserted);
        connect(m_cases, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            &CaseSortProxy::sourceRowsAboutToBeRemoved);
        connect(m_cases, &QAbstractItemModel::rowsRemoved, this, &CaseSortProxy::sourceRowsRemoved);
        // A change of how rows look (the busy marks) concerns every row shown.
        connect(m_cases, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &, const QModelIndex &, const QList<int> &roles) {
                if (rowCount() > 0)
                    emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), roles);
            });
    }
    rowsChanged();
    forgetColumnOrders();
    sortMapping();
    m_visible.clear();
    m_search = {};
    rebuildSourceToProxy();
    endResetModel();
    restartSearch();
}

bool CaseSortProxy::isLong() const
{
    return m_cases && m_cases->rowCount() >= m_backgroundFrom;
}

bool CaseSortProxy::before(int sourceA, int sourceB) const
{
    const QString a = m_cases->text(sourceA, m_sortColumn);
    const QString b = m_cases->text(sourceB, m_sortColumn);
    return m_sortOrder == Qt::AscendingOrder ? compareSwedish(a, b) < 0 : compareSwedish(b, a) < 0;
}

void CaseSortProxy::forgetColumnOrders()
{
    for (auto &order : m_columnOrders)
        order.reset();
}

void CaseSortProxy::rowsChanged()
{
    // What a worker is doing now is for rows that no longer are; the kept search results
    // name rows by their old numbers.
    ++m_shared->rows;
    m_kept.clear();
    m_prepared.reset();
    // The folded copy of the old rows goes now rather than at the next search: after a
    // reload it would otherwise live beside two tables. A job making one holds the lock
    // and drops its copy itself, as the rows changed.
    const std::unique_lock lock(m_shared->foldMutex, std::try_to_lock);
    if (lock.owns_lock())
        m_shared->folded.reset();
}

std::vector<int> CaseSortProxy::keptOrder(int column) const
{
    if (column < 0 || column >= RegisterFieldCount || !m_columnOrders[static_cast<std::size_t>(column)])
        return {};
    return m_columnOrders[static_cast<std::size_t>(column)]->ascending;
}

// ---- Sort orders ---------------------------------------------------------------------

std::shared_ptr<CaseSortProxy::ColumnOrder> CaseSortProxy::buildOrder(
    const CaseRows &rows, int column, const std::function<bool()> &stopped)
{
    const auto count = static_cast<std::size_t>(rows.rowCount());
    auto order = std::make_shared<ColumnOrder>();
    order->ascending.resize(count);
    std::iota(order->ascending.begin(), order->ascending.end(), 0);
    order->sameAsPrevious.resize(count);
    const ColumnSorter sorter(rows, column, stopped);
    if (!sorter.sort(order->ascending.data(), count, order->sameAsPrevious, 0, 0))
        return nullptr;
    return order;
}

void CaseSortProxy::startOrderJob()
{
    if (m_orderJobRunning || !m_cases)
        return;
    std::uint32_t made = 0;
    for (int column = 0; column < RegisterFieldCount; ++column) {
        if (m_columnOrders[static_cast<std::size_t>(column)])
            made |= 1u << column;
    }
    constexpr std::uint32_t Every = (1u << RegisterFieldCount) - 1;
    if (made == Every)
        return;
    m_orderJobRunning = true;
    const quint64 rowsAt = m_shared->rows;
    workers()->start([shared = m_shared, rowsAt, rows = m_cases->snapshot(), made]() mutable {
        const auto stopped = [&shared, rowsAt]() {
            return shared->rows != rowsAt;
        };
        // Only in idle time: a build beside a search or a write would add its memory (some
        // 25 bytes a row) to theirs.
        const auto yielding = [&shared]() {
            return shared->reloadBuilds > 0 || shared->writing || shared->searches > 0;
        };
        const auto stoppedOrYielding = [&stopped, &yielding]() {
            return stopped() || yielding();
        };
        while (made != Every && !stopped()) {
            int column = shared->wantedColumn;
            if (column < 0 || (made & (1u << column)))
                column = std::countr_one(made);
            // A build given up for a reload's or a write is begun again after it.
            std::shared_ptr<ColumnOrder> order;
            if (!yielding()) {
                const std::lock_guard build(shared->buildMutex);
                order = buildOrder(rows, column, stoppedOrYielding);
            }
            if (!order && !stopped()) {
                while (yielding() && !stopped())
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
                continue;
            }
            if (!order)
                break;
            made |= 1u << column;
            post(*shared, [rowsAt, column, order = std::move(order)](CaseSortProxy &proxy) mutable {
                proxy.takeOrder(rowsAt, column, std::move(order));
            });
        }
        // The copy of the rows goes before the proxy hears the job has ended.
        rows = {};
        post(*shared, [](CaseSortProxy &proxy) { proxy.orderJobEnded(); });
    });
}

void CaseSortProxy::setWriting(bool writing)
{
    m_shared->writing = writing;
}

void CaseSortProxy::takeOrder(quint64 rowsAt, int column, std::shared_ptr<ColumnOrder> order)
{
    std::shared_ptr<ColumnOrder> &kept = m_columnOrders[static_cast<std::size_t>(column)];
    if (rowsAt != m_shared->rows || kept)
        return;
    kept = std::move(order);
    if (m_pendingSort && m_pendingSort->column == column)
        sortBy(column, m_pendingSort->order);
}

void CaseSortProxy::orderJobEnded()
{
    m_orderJobRunning = false;
    // The job's copy of the rows may have been the last hold on a table the list let go.
    heap::giveFreePagesBackSoon();
    // A job of rows changed meanwhile starts again on the rows as they are.
    if (m_pendingSort || isLong())
        startOrderJob();
}

// Where `source` stands or would stand in a column's order: among equal texts, by its
// row number.
std::size_t CaseSortProxy::placeInOrder(const ColumnOrder &order, int column, int source) const
{
    const QString text = m_cases->text(source, column);
    const auto place
        = std::lower_bound(order.ascending.begin(), order.ascending.end(), source, [&](int a, int b) {
              const int compared = compareSwedish(m_cases->text(a, column), text);
              return compared != 0 ? compared < 0 : a < b;
          });
    return static_cast<std::size_t>(place - order.ascending.begin());
}

void CaseSortProxy::placeInOrders(int first, int last)
{
    const int count = last - first + 1;
    for (int column = 0; column < RegisterFieldCount; ++column) {
        ColumnOrder *order = m_columnOrders[static_cast<std::size_t>(column)].get();
        if (!order)
            continue;
        for (int &source : order->ascending)
            source += source >= first ? count : 0;
        for (int source = first; source <= last; ++source) {
            const std::size_t at = placeInOrder(*order, column, source);
            const QString text = m_cases->text(source, column);
            order->ascending.insert(order->ascending.begin() + static_cast<std::ptrdiff_t>(at), source);
            order->sameAsPrevious.insert(
                at, at > 0 && compareSwedish(m_cases->text(order->ascending[at - 1], column), text) == 0);
            if (at + 1 < order->ascending.size())
                order->sameAsPrevious.set(
                    at + 1, compareSwedish(text, m_cases->text(order->ascending[at + 1], column)) == 0);
        }
    }
}

void CaseSortProxy::dropFromOrders(int first, int last)
{
    const int count = last - first + 1;
    for (int column = 0; column < RegisterFieldCount; ++column) {
        ColumnOrder *order = m_columnOrders[static_cast<std::size_t>(column)].get();
        if (!order)
            continue;
        std::vector<std::size_t> places;
        for (int source = first; source <= last; ++source) {
            std::size_t at = placeInOrder(*order, column, source);
            // A text compared otherwise than when the order was made (it cannot be, but
            // a dropped row must not leave its number behind) is looked for row by row.
            if (at >= order->ascending.size() || order->ascending[at] != source)
                at = static_cast<std::size_t>(
                    std::find(order->ascending.begin(), order->ascending.end(), source)
                    - order->ascending.begin());
            if (at < order->ascending.size())
                places.push_back(at);
        }
        // From the last place to the first, so that the places still to go stay valid.
        std::sort(places.begin(), places.end(), std::greater<std::size_t>());
        for (const std::size_t at : places) {
            // The place after a dropped one equals the one before it only when both
            // steps did.
            if (at + 1 < order->ascending.size())
                order->sameAsPrevious.set(
                    at + 1, at > 0 && order->sameAsPrevious[at] && order->sameAsPrevious[at + 1]);
            order->ascending.erase(order->ascending.begin() + static_cast<std::ptrdiff_t>(at));
            order->sameAsPrevious.erase(at);
        }
        for (int &source : order->ascending)
            source -= source > last ? count : 0;
    }
}

void CaseSortProxy::sortMapping()
{
    // Each sort starts from register order, so that rows with equal texts stand in
    // register order whatever was sorted before.
    const std::size_t rows = m_cases ? static_cast<std::size_t>(m_cases->rowCount()) : 0;
    m_order.resize(rows);
    if (m_sortColumn < 0 || !m_cases) {
        std::iota(m_order.begin(), m_order.end(), 0);
        return;
    }
    std::shared_ptr<ColumnOrder> &cached = m_columnOrders[static_cast<std::size_t>(m_sortColumn)];
    if (!cached || cached->ascending.size() != rows)
        cached = buildOrder(m_cases->snapshot(), m_sortColumn, {});
    const ColumnOrder &order = *cached;
    if (m_sortOrder == Qt::AscendingOrder) {
        m_order = order.ascending;
        return;
    }
    // Descending: the runs of equal texts from the last to the first, each run kept in
    // register order.
    std::size_t out = 0;
    std::size_t end = rows;
    while (end > 0) {
        std::size_t start = end - 1;
        while (start > 0 && order.sameAsPrevious[start])
            --start;
        for (std::size_t i = start; i < end; ++i)
            m_order[out++] = order.ascending[i];
        end = start;
    }
}

void CaseSortProxy::rebuildSourceToProxy()
{
    m_sourceToProxy.assign(m_order.size(), -1);
    const std::vector<int> &rows = shown();
    for (std::size_t proxy = 0; proxy < rows.size(); ++proxy)
        m_sourceToProxy[static_cast<std::size_t>(rows[proxy])] = static_cast<int>(proxy);
}

void CaseSortProxy::sortBy(int column, Qt::SortOrder order)
{
    if (!m_cases || column < 0 || column >= RegisterFieldCount)
        return;
    if (!m_columnOrders[static_cast<std::size_t>(column)] && isLong()) {
        // The rows stay as they are until the worker has made the column's order.
        m_pendingSort = PendingSort { column, order };
        m_shared->wantedColumn = column;
        startOrderJob();
        return;
    }
    m_pendingSort.reset();
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // The selection and the current row follow their rows to the new places.
    const QModelIndexList before = persistentIndexList();
    QList<QPair<int, int>> sourcePlaces;
    sourcePlaces.reserve(before.size());
    for (const QModelIndex &index : before)
        sourcePlaces.append({ sourceRow(index.row()), index.column() });

    m_sortColumn = column;
    m_sortOrder = order;
    sortMapping();
    if (!m_search.isEmpty()) {
        // The same rows stay shown, now in the new order.
        std::vector<int> visible;
        visible.reserve(m_visible.size());
        for (const int source : m_order) {
            if (m_sourceToProxy[static_cast<std::size_t>(source)] >= 0)
                visible.push_back(source);
        }
        m_visible = std::move(visible);
    }
    rebuildSourceToProxy();

    QModelIndexList after;
    after.reserve(before.size());
    for (const auto &[sourceRow, column] : std::as_const(sourcePlaces))
        after.append(sourceRow < 0 ? QModelIndex()
                                   : index(m_sourceToProxy[static_cast<std::size_t>(sourceRow)], column));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void CaseSortProxy::sort(int column, Qt::SortOrder order)
{
    sortBy(column, order);
}

// ---- Search --------------------------------------------------------------------------

std::shared_ptr<const FoldedRows> CaseSortProxy::foldedFor(
    Shared &shared, const CaseRows &rows, quint64 rowsAt)
{
    const std::lock_guard lock(shared.foldMutex);
    if (shared.folded && shared.foldedRows == rowsAt)
        return shared.folded;
    // A job of rows that changed since must not throw away the copy of the new ones.
    if (shared.rows != rowsAt)
        return nullptr;
    // The old copy goes before the new one is made: two at once would double the room.
    shared.folded.reset();
    const auto stopped = [&shared, rowsAt]() {
        return shared.rows != rowsAt;
    };
    auto folded = std::make_shared<const FoldedRows>(rows, stopped);
    if (stopped())
        return nullptr;
    shared.folded = folded;
    shared.foldedRows = rowsAt;
    return folded;
}

void CaseSortProxy::setSearch(const QString &text)
{
    if (text == m_wantedText)
        return;
    m_wantedText = text;
    ++m_shared->search;
    const CaseSearch search(text);
    if (!m_cases || search.isEmpty()) {
        // Escape or the last character taken back: every row, and the typed prefixes
        // stay kept for the next search.
        m_searchRunning = false;
        showHits(search, nullptr);
        return;
    }
    // What was typed on the way to this text, or on from it and taken back, stays kept;
    // another text starts a new line of typing.
    m_kept.erase(
        std::remove_if(m_kept.begin(), m_kept.end(),
            [&text](const Kept &kept) { return !text.startsWith(kept.text) && !kept.text.startsWith(text); }),
        m_kept.end());
    const Kept *narrowed = nullptr;
    for (const Kept &kept : m_kept) {
        if (kept.text == text) {
            m_searchRunning = false;
            showHits(search, kept.hits.get());
            return;
        }
        // Only the rows an earlier prefix found can match what was typed on.
        if (search.narrows(kept.search) && (!narrowed || kept.text.size() > narrowed->text.size()))
            narrowed = &kept;
    }
    runSearch(search, narrowed ? narrowed->hits : nullptr);
}

void CaseSortProxy::runSearch(const CaseSearch &search, std::shared_ptr<const std::vector<int>> candidates)
{
    const std::size_t work = candidates ? candidates->size() : static_cast<std::size_t>(m_cases->rowCount());
    const bool foldedReady = [this] {
        const std::unique_lock lock(m_shared->foldMutex, std::try_to_lock);
        return lock.owns_lock() && m_shared->folded && m_shared->foldedRows == m_shared->rows;
    }();
    if (isLong() && (!foldedReady || work >= static_cast<std::size_t>(m_backgroundFrom))) {
        startSearchJob(search, std::move(candidates));
        return;
    }
    const std::shared_ptr<const FoldedRows> folded
        = foldedFor(*m_shared, m_cases->snapshot(), m_shared->rows);
    SearchPass pass;
    pass.candidates = candidates.get();
    auto hits = std::make_shared<const std::vector<int>>(*findRows(search, *folded, pass));
    m_kept.push_back({ search.text(), search, hits });
    m_searchRunning = false;
    showHits(search, hits.get());
}

void CaseSortProxy::startSearchJob(
    const CaseSearch &search, std::shared_ptr<const std::vector<int>> candidates)
{
    m_searchRunning = true;
    const quint64 searchAt = m_shared->search;
    const quint64 rowsAt = m_shared->rows;
    // In register order the first hits are the list's first screenful; a sorted list
    // looks for its own first.
    const bool firstHitsShow = m_sortColumn < 0;
    auto listOrder = firstHitsShow ? nullptr : std::make_shared<const std::vector<int>>(m_order);
    ++m_shared->searches;
    workers()->start([shared = m_shared, searchAt, rowsAt, rows = m_cases->snapshot(), search,
                         candidates = std::move(candidates), firstHitsShow,
                         listOrder = std::move(listOrder)]() {
        const SearchCount counted(*shared);
        const auto cancelled = [&shared, searchAt, rowsAt]() {
            return shared->search != searchAt || shared->rows != rowsAt;
        };
        const std::shared_ptr<const FoldedRows> folded = foldedFor(*shared, rows, rowsAt);
        if (!folded || cancelled())
            return;
        const auto showFirst = [&](const std::vector<int> &hits) {
            post(*shared, [=, hits = std::make_shared<const std::vector<int>>(hits)](CaseSortProxy &proxy) {
                proxy.takeSearch(searchAt, rowsAt, search, hits, false);
            });
        };
        SearchPass pass;
        pass.candidates = candidates.get();
        pass.cancelled = cancelled;
        if (firstHitsShow) {
            pass.screenful = ScreenRows;
            pass.firstHits = showFirst;
        } else {
            const std::vector<int> first
                = firstScreenful(search, *folded, *listOrder, candidates.get(), cancelled);
            if (!first.empty())
                showFirst(first);
        }
        std::optional<std::vector<int>> hits = findRows(search, *folded, pass);
        if (!hits)
            return;
        post(*shared,
            [=, hits = std::make_shared<const std::vector<int>>(std::move(*hits))](
                CaseSortProxy &proxy) { proxy.takeSearch(searchAt, rowsAt, search, hits, true); });
    });
}

void CaseSortProxy::takeSearch(quint64 searchAt, quint64 rowsAt, const CaseSearch &search,
    std::shared_ptr<const std::vector<int>> hits, bool complete)
{
    // A keystroke or a change of the rows since: this is no longer what the list asks.
    if (searchAt != m_shared->search || rowsAt != m_shared->rows)
        return;
    if (complete) {
        m_kept.push_back({ search.text(), search, hits });
        m_searchRunning = false;
    }
    showHits(search, hits.get());
}

void CaseSortProxy::showHits(const CaseSearch &search, const std::vector<int> *hits)
{
    beginResetModel();
    m_search = search;
    m_visible.clear();
    if (hits && !m_search.isEmpty())
        showOnly(*hits);
    rebuildSourceToProxy();
    endResetModel();
    emit searchShown();
}

void CaseSortProxy::showOnly(const std::vector<int> &hits)
{
    if (m_sortColumn < 0) {
        m_visible = hits;
        return;
    }
    // The list's order over the rows found: a pass, not a sort.
    std::vector<std::uint8_t> found(m_order.size(), 0);
    for (const int source : hits)
        found[static_cast<std::size_t>(source)] = 1;
    m_visible.clear();
    m_visible.reserve(hits.size());
    for (const int source : m_order) {
        if (found[static_cast<std::size_t>(source)])
            m_visible.push_back(source);
    }
}

void CaseSortProxy::restartSearch()
{
    // The rows changed under a search: it is looked for again over the rows as they are.
    const CaseSearch search(m_wantedText);
    if (!m_cases || search.isEmpty())
        return;
    ++m_shared->search;
    m_kept.clear();
    runSearch(search, nullptr);
}

QList<RegisterEntry> CaseSortProxy::entriesInViewOrder() const
{
    QList<RegisterEntry> result;
    if (!m_cases)
        return result;
    const std::vector<int> &rows = shown();
    result.reserve(static_cast<qsizetype>(rows.size()));
    for (const int source : rows)
        result.append(m_cases->entry(source));
    return result;
}

QList<RegisterEntry> CaseSortProxy::entriesInListOrder() const
{
    QList<RegisterEntry> result;
    if (!m_cases)
        return result;
    result.reserve(static_cast<qsizetype>(m_order.size()));
    for (const int source : m_order)
        result.append(m_cases->entry(source));
    return result;
}

ListOrder CaseSortProxy::listOrder() const
{
    return m_cases ? m_cases->keys(m_order) : ListOrder();
}

int CaseSortProxy::sourceRow(int viewRow) const
{
    const std::vector<int> &rows = shown();
    if (viewRow < 0 || static_cast<std::size_t>(viewRow) >= rows.size())
        return -1;
    return rows[static_cast<std::size_t>(viewRow)];
}

QModelIndex CaseSortProxy::index(int row, int column, const QModelIndex &parent) const
{
    if (parent.isValid() || row < 0 || column < 0 || column >= RegisterFieldCount
        || static_cast<std::size_t>(row) >= shown().size())
        return {};
    return createIndex(row, column);
}

QModelIndex CaseSortProxy::parent(const QModelIndex &) const
{
    return {};
}

int CaseSortProxy::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(shown().size());
}

int CaseSortProxy::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : RegisterFieldCount;
}

QModelIndex CaseSortProxy::mapToSource(const QModelIndex &proxyIndex) const
{
    if (!m_cases || !proxyIndex.isValid() || proxyIndex.model() != this)
        return {};
    const int source = sourceRow(proxyIndex.row());
    return source < 0 ? QModelIndex() : m_cases->index(source, proxyIndex.column());
}

QModelIndex CaseSortProxy::mapFromSource(const QModelIndex &sourceIndex) const
{
    if (!sourceIndex.isValid() || sourceIndex.model() != m_cases
        || static_cast<std::size_t>(sourceIndex.row()) >= m_sourceToProxy.size())
        return {};
    const int row = m_sourceToProxy[static_cast<std::size_t>(sourceIndex.row())];
    return row < 0 ? QModelIndex() : index(row, sourceIndex.column());
}

QVariant CaseSortProxy::headerData(int section, Qt::Orientation orientation, int role) const
{
    // Columns are never moved, so the captions pass straight through, also while the
    // list has no rows.
    if (orientation == Qt::Horizontal && m_cases)
        return m_cases->headerData(section, orientation, role);
    return QAbstractProxyModel::headerData(section, orientation, role);
}

// ---- Changes of the rows -------------------------------------------------------------

void CaseSortProxy::sourceAboutToBeReset()
{
    beginResetModel();
}

void CaseSortProxy::sourceReset()
{
    // Rows read anew: every order is made again, on the worker for a long list, which
    // shows the rows in register order until the sort's own order is ready, unless the
    // reload brought it along.
    std::shared_ptr<Prepared> prepared = std::exchange(m_prepared, nullptr);
    if (prepared && prepared->rows != m_cases->rowCount())
        prepared.reset();
    rowsChanged();
    forgetColumnOrders();
    if (prepared && prepared->order)
        m_columnOrders[static_cast<std::size_t>(prepared->column)] = prepared->order;
    restoreSort();
    sortMapping();
    m_visible.clear();
    const CaseSearch search(m_wantedText);
    bool again = !search.isEmpty() && isLong();
    if (again && prepared && showPreparedSearch(*prepared)) {
        again = false;
    } else if (!search.isEmpty() && !again) {
        const std::shared_ptr<const FoldedRows> folded
            = foldedFor(*m_shared, m_cases->snapshot(), m_shared->rows);
        m_search = search;
        showOnly(*findRows(search, *folded, {}));
    }
    rebuildSourceToProxy();
    endResetModel();
    if (again)
        restartSearch();
    if (isLong())
        startOrderJob();
}

void CaseSortProxy::restoreSort()
{
    // A sort still waited for when the rows were read anew is shown now if the reload
    // made its order.
    if (m_sortColumn < 0 && m_pendingSort
        && m_columnOrders[static_cast<std::size_t>(m_pendingSort->column)]) {
        m_sortColumn = m_pendingSort->column;
        m_sortOrder = m_pendingSort->order;
        m_pendingSort.reset();
    }
    if (m_sortColumn < 0 || !isLong() || m_columnOrders[static_cast<std::size_t>(m_sortColumn)])
        return;
    m_pendingSort = PendingSort { m_sortColumn, m_sortOrder };
    m_shared->wantedColumn = m_sortColumn;
    m_sortColumn = -1;
}

bool CaseSortProxy::showPreparedSearch(const Prepared &prepared)
{
    if (!prepared.hits || prepared.search != m_wantedText)
        return false;
    {
        // The folded copy of the new rows serves the next keystrokes; a job of the old
        // rows holding the lock drops its own copy, as the rows changed.
        const std::unique_lock lock(m_shared->foldMutex, std::try_to_lock);
        if (lock.owns_lock()) {
            m_shared->folded = prepared.folded;
            m_shared->foldedRows = m_shared->rows;
        }
    }
    ++m_shared->search;
    m_search = CaseSearch(m_wantedText);
    m_kept.push_back({ m_wantedText, m_search, prepared.hits });
    m_searchRunning = false;
    showOnly(*prepared.hits);
    return true;
}

// ---- Prepared by a reload ------------------------------------------------------------

CaseSortProxy::Preparation CaseSortProxy::preparation() const
{
    Preparation wanted;
    wanted.column = m_sortColumn >= 0 ? m_sortColumn : (m_pendingSort ? m_pendingSort->column : -1);
    wanted.search = m_wantedText;
    wanted.backgroundFrom = m_backgroundFrom;
    wanted.shared = m_shared;
    return wanted;
}

std::shared_ptr<CaseSortProxy::Prepared> CaseSortProxy::prepare(
    const caseregister::Table &table, const Preparation &wanted, const std::function<bool()> &stopped)
{
    const CaseSearch search(wanted.search);
    if (table.size() < wanted.backgroundFrom || (wanted.column < 0 && search.isEmpty()))
        return nullptr;
    std::vector<qint32> numbers(static_cast<std::size_t>(table.size()));
    std::iota(numbers.begin(), numbers.end(), 0);
    const CaseRows rows(table, {}, std::move(numbers));
    auto prepared = std::make_shared<Prepared>();
    prepared->rows = rows.rowCount();
    if (wanted.column >= 0 && wanted.column < RegisterFieldCount) {
        prepared->column = wanted.column;
        std::unique_lock<std::mutex> build;
        if (wanted.shared) {
            ++wanted.shared->reloadBuilds;
            build = std::unique_lock(wanted.shared->buildMutex);
        }
        prepared->order = buildOrder(rows, wanted.column, stopped);
        if (wanted.shared) {
            build.unlock();
            --wanted.shared->reloadBuilds;
        }
        if (!prepared->order)
            return nullptr;
    }
    if (!search.isEmpty()) {
        auto folded = std::make_shared<const FoldedRows>(rows, stopped);
        if (stopped())
            return nullptr;
        SearchPass pass;
        pass.cancelled = stopped;
        std::optional<std::vector<int>> hits = findRows(search, *folded, pass);
        if (!hits)
            return nullptr;
        prepared->search = wanted.search;
        prepared->folded = std::move(folded);
        prepared->hits = std::make_shared<const std::vector<int>>(std::move(*hits));
    }
    return prepared;
}

void CaseSortProxy::sourceRowsInserted(const QModelIndex &parent, int first, int last)
{
    if (parent.isValid())
        return;
    rowsChanged();
    placeInOrders(first, last);
    const int count = last - first + 1;
    // Rows behind the inserted ones moved down in the source; they keep their places here.
    for (int &source : m_order) {
        if (source >= first)
            source += count;
    }
    for (int &source : m_visible) {
        if (source >= first)
            source += count;
    }
    const auto placeIn = [this](std::vector<int> &rows, int source) {
        if (m_sortColumn >= 0)
            return std::upper_bound(
                rows.begin(), rows.end(), source, [this](int a, int b) { return before(a, b); });
        // Unsorted, the list is in source order.
        return std::lower_bound(rows.begin(), rows.end(), source);
    };
    for (int source = first; source <= last; ++source) {
        const auto orderPlace = placeIn(m_order, source);
        if (m_search.isEmpty()) {
            const int row = static_cast<int>(orderPlace - m_order.begin());
            beginInsertRows({}, row, row);
            m_order.insert(orderPlace, source);
            rebuildSourceToProxy();
            endInsertRows();
            continue;
        }
        m_order.insert(orderPlace, source);
        // While searching, an added case shows only when it matches.
        if (!m_search.matches(*m_cases, source)) {
            rebuildSourceToProxy();
            continue;
        }
        const auto place = placeIn(m_visible, source);
        const int row = static_cast<int>(place - m_visible.begin());
        beginInsertRows({}, row, row);
        m_visible.insert(place, source);
        rebuildSourceToProxy();
        endInsertRows();
    }
    if (m_searchRunning)
        restartSearch();
}

void CaseSortProxy::sourceRowsAboutToBeRemoved(const QModelIndex &parent, int first, int last)
{
    if (parent.isValid())
        return;
    rowsChanged();
    dropFromOrders(first, last);
    std::vector<int> rows;
    for (int source = first; source <= last; ++source) {
        const int row = m_sourceToProxy[static_cast<std::size_t>(source)];
        if (row >= 0)
            rows.push_back(row);
    }
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    for (const int row : rows) {
        beginRemoveRows({}, row, row);
        if (m_search.isEmpty())
            m_order.erase(m_order.begin() + row);
        else
            m_visible.erase(m_visible.begin() + row);
        endRemoveRows();
    }
    if (!m_search.isEmpty()) {
        // Hidden rows leave the list order without being shown to go.
        m_order.erase(std::remove_if(m_order.begin(), m_order.end(),
                          [first, last](int source) { return source >= first && source <= last; }),
            m_order.end());
    }
}

void CaseSortProxy::sourceRowsRemoved(const QModelIndex &parent, int first, int last)
{
    if (parent.isValid())
        return;
    const int count = last - first + 1;
    for (int &source : m_order) {
        if (source > last)
            source -= count;
    }
    for (int &source : m_visible) {
        if (source > last)
            source -= count;
    }
    rebuildSourceToProxy();
    if (m_searchRunning)
        restartSearch();
}

} // namespace lunora
