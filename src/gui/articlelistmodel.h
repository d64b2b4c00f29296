// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "storage/records.h"

#include <QAbstractTableModel>
#include <QList>

namespace lunora {

// The article rows of the case window's list: six text columns per row, shown exactly
// as the article file holds them. Rows are only added at the end or taken out; a
// changed row is taken out and added again, so list order is file order.
class ArticleListModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit ArticleListModel(QObject *parent = nullptr);

    static QStringList columnCaptions();

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    const QList<ArticleRow> &rows() const { return m_rows; }
    const ArticleRow &row(int index) const { return m_rows.at(index); }
    void setRows(const QList<ArticleRow> &rows);
    void appendRow(const ArticleRow &row);
    // Takes out the rows at the given positions (in any order, duplicates allowed).
    void removeRowsAt(QList<int> positions);
    void clear();

private:
    QList<ArticleRow> m_rows;
};

} // namespace lunora
