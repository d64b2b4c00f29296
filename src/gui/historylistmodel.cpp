// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/historylistmodel.h"

namespace lunora {

HistoryListModel::HistoryListModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

int HistoryListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

int HistoryListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant HistoryListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_entries.size())
        return {};
    const HistoryEntry &entry = m_entries.at(index.row());
    const QString &text = index.column() == Time ? entry.time
        : index.column() == User                 ? entry.user
                                                 : entry.event;
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return text;
    if (role == SortRole) {
        // Lines are appended as things happen: within one second the later line is newer.
        if (index.column() == Time)
            return text + QString::number(index.row()).rightJustified(10, u'0');
        return text;
    }
    return {};
}

QVariant HistoryListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return columnCaption(section);
    return {};
}

void HistoryListModel::setEntries(QList<HistoryEntry> entries)
{
    beginResetModel();
    m_entries = std::move(entries);
    endResetModel();
}

QString HistoryListModel::columnCaption(int column)
{
    switch (column) {
    case Time:
        return QStringLiteral("Tid");
    case User:
        return QStringLiteral("Användare");
    case Event:
        return QStringLiteral("Händelse");
    default:
        return {};
    }
}

} // namespace lunora
