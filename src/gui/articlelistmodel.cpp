// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/articlelistmodel.h"

#include <algorithm>

namespace lunora {

ArticleListModel::ArticleListModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

QStringList ArticleListModel::columnCaptions()
{
    return { QStringLiteral("Artikel nr"), QStringLiteral("Benämning"), QStringLiteral("Kvant"),
        QStringLiteral("Enh"), QStringLiteral("Enhetspris"), QStringLiteral("Summa") };
}

int ArticleListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int ArticleListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(ArticleFieldCount);
}

QVariant ArticleListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size() || index.column() >= ArticleFieldCount)
        return {};
    // A cell shows the first 1,000 characters of a field; the row keeps it whole.
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole || role == Qt::AccessibleTextRole)
        return m_rows.at(index.row()).at(index.column()).left(1000);
    return {};
}

QVariant ArticleListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ArticleFieldCount)
        return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return columnCaptions().at(section);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

void ArticleListModel::setRows(const QList<ArticleRow> &rows)
{
    beginResetModel();
    m_rows = rows;
    endResetModel();
}

void ArticleListModel::appendRow(const ArticleRow &row)
{
    const int at = static_cast<int>(m_rows.size());
    beginInsertRows(QModelIndex(), at, at);
    m_rows.append(row);
    endInsertRows();
}

void ArticleListModel::removeRowsAt(QList<int> positions)
{
    std::sort(positions.begin(), positions.end(), std::greater<int>());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    // From the last row to the first, so that the positions still to come stay valid.
    for (int position : std::as_const(positions)) {
        if (position < 0 || position >= m_rows.size())
            continue;
        beginRemoveRows(QModelIndex(), position, position);
        m_rows.removeAt(position);
        endRemoveRows();
    }
}

void ArticleListModel::clear()
{
    setRows({});
}

} // namespace lunora
