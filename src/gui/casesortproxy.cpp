// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/casesortproxy.h"

#include "gui/caselistmodel.h"
#include "storage/swedishtext.h"

#include <QByteArray>
#include <algorithm>
#include <cstring>
#include <numeric>

namespace lunora {

namespace {

// The sort keys of one column for every row, packed together, with the first sixteen
// bytes of each key (eight characters) as a number so that most comparisons never look
// further.
class ColumnKeys
{
public:
    ColumnKeys(const CaseListModel &model, int column)
    {
        const int rows = model.rowCount();
        m_prefix.resize(static_cast<std::size_t>(rows));
        m_offset.resize(static_cast<std::size_t>(rows) + 1);
        qsizetype total = 0;
        for (int row = 0; row < rows; ++row)
            total += model.textSize(row, column) * 6 + 2;
        m_bytes.reserve(total);
        QString text;
        for (int row = 0; row < rows; ++row) {
            const std::size_t r = static_cast<std::size_t>(row);
            m_offset[r] = static_cast<std::size_t>(m_bytes.size());
            model.textInto(row, column, text);
            appendSwedishSortKey(m_bytes, text);
            const auto *key = reinterpret_cast<const unsigned char *>(m_bytes.constData()) + m_offset[r];
            const std::size_t length = static_cast<std::size_t>(m_bytes.size()) - m_offset[r];
            Prefix prefix = 0;
            for (std::size_t i = 0; i < sizeof(Prefix); ++i)
                prefix = (prefix << 8) | (i < length ? key[i] : 0u);
            m_prefix[r] = prefix;
        }
        m_offset[static_cast<std::size_t>(rows)] = static_cast<std::size_t>(m_bytes.size());
    }

    bool less(int a, int b) const
    {
        const std::size_t ra = static_cast<std::size_t>(a);
        const std::size_t rb = static_cast<std::size_t>(b);
        if (m_prefix[ra] != m_prefix[rb])
            return m_prefix[ra] < m_prefix[rb];
        const std::size_t la = m_offset[ra + 1] - m_offset[ra];
        const std::size_t lb = m_offset[rb + 1] - m_offset[rb];
        const int order = std::memcmp(
            m_bytes.constData() + m_offset[ra], m_bytes.constData() + m_offset[rb], std::min(la, lb));
        return order != 0 ? order < 0 : la < lb;
    }

private:
    using Prefix = unsigned __int128;
    std::vector<Prefix> m_prefix;
    std::vector<std::size_t> m_offset;
    QByteArray m_bytes;
};

} // namespace

CaseSortProxy::CaseSortProxy(QObject *parent)
    : QAbstractProxyModel(parent)
{
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
    }
    forgetColumnOrders();
    sortMapping();
    filterMapping();
    rebuildSourceToProxy();
    endResetModel();
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
    std::unique_ptr<ColumnOrder> &cached = m_columnOrders[static_cast<std::size_t>(m_sortColumn)];
    if (!cached || cached->ascending.size() != rows) {
        auto order = std::make_unique<ColumnOrder>();
        order->ascending.resize(rows);
        std::iota(order->ascending.begin(), order->ascending.end(), 0);
        {
            const ColumnKeys keys(*m_cases, m_sortColumn);
            std::stable_sort(order->ascending.begin(), order->ascending.end(),
                [&keys](int a, int b) { return keys.less(a, b); });
            order->sameAsPrevious.resize(rows);
            for (std::size_t i = 1; i < rows; ++i)
                order->sameAsPrevious[i] = !keys.less(order->ascending[i - 1], order->ascending[i]);
        }
        cached = std::move(order);
    }
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

void CaseSortProxy::filterMapping()
{
    m_visible.clear();
    if (m_search.isEmpty() || !m_cases)
        return;
    const std::vector<std::uint8_t> flags = matchFlags(m_search, *m_cases, m_order);
    for (const int source : m_order) {
        if (flags[static_cast<std::size_t>(source)])
            m_visible.push_back(source);
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

void CaseSortProxy::setSearch(const QString &text)
{
    CaseSearch search(text);
    if (search.text() == m_search.text())
        return;
    beginResetModel();
    if (!m_cases || search.isEmpty()) {
        m_search = std::move(search);
        m_visible.clear();
    } else if (search.narrows(m_search)) {
        // Only rows shown now can still match.
        m_search = std::move(search);
        const std::vector<int> earlier = std::move(m_visible);
        m_visible.clear();
        const std::vector<std::uint8_t> flags = matchFlags(m_search, *m_cases, earlier);
        for (const int source : earlier) {
            if (flags[static_cast<std::size_t>(source)])
                m_visible.push_back(source);
        }
    } else {
        m_search = std::move(search);
        filterMapping();
    }
    rebuildSourceToProxy();
    endResetModel();
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

void CaseSortProxy::sourceAboutToBeReset()
{
    beginResetModel();
}

void CaseSortProxy::sourceReset()
{
    forgetColumnOrders();
    sortMapping();
    filterMapping();
    rebuildSourceToProxy();
    endResetModel();
}

void CaseSortProxy::sourceRowsInserted(const QModelIndex &parent, int first, int last)
{
    if (parent.isValid())
        return;
    forgetColumnOrders();
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
}

void CaseSortProxy::sourceRowsAboutToBeRemoved(const QModelIndex &parent, int first, int last)
{
    if (parent.isValid())
        return;
    forgetColumnOrders();
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
}

} // namespace lunora
