// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "storage/casehistory.h"

#include <QAbstractTableModel>
#include <QList>

namespace lunora {

// The lines of one case's history file, one row per event, in file order. The sort
// role of the time column puts events of the same second in file order, so that the
// newest comes first when sorted descending.
class HistoryListModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        Time,
        User,
        Event,
        ColumnCount
    };
    static constexpr int SortRole = Qt::UserRole;

    explicit HistoryListModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    void setEntries(QList<HistoryEntry> entries);
    const HistoryEntry &entry(int row) const { return m_entries.at(row); }

    static QString columnCaption(int column);

private:
    QList<HistoryEntry> m_entries;
};

} // namespace lunora
