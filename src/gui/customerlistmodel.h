// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "storage/customercards.h"

#include <QAbstractTableModel>
#include <QList>
#include <QSortFilterProxyModel>
#include <QStringList>

namespace lunora {

// The customer cards of the data folder, one row per card.
class CustomerListModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        Telephone, // the file's name: what opens the card
        Number,
        Name,
        Address,
        PostalAddress,
        Mobile,
        Email,
        ColumnCount
    };

    explicit CustomerListModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    void setCards(QList<customercards::Card> cards);
    const customercards::Card &card(int row) const { return m_cards.at(row); }
    // The text of a cell, without a copy (sorting compares many).
    const QString &text(int row, int column) const;
    // What a search looks in, made at the first search after a load rather than with
    // the load: every column in lower case, one per line, so that no word is found
    // across two columns; and the digits of each telephone (the file's name, "Telefon"
    // and "Mobiltelefon"), one per line, so that "070-123 45 67" finds 0701234567 but
    // never digits of two fields run together.
    const QString &searchText(int row) const;
    const QString &telephoneDigits(int row) const;

    static QString columnCaption(int column);
    static int columnWidthUnits(int column);

private:
    void prepareSearch() const;

    QList<customercards::Card> m_cards;
    mutable QStringList m_search; // empty until the first search
    mutable QStringList m_digits;
};

// Search and sort over the customer list, searching as the overview does: a row is
// shown when every typed word occurs in one of its columns, letter case aside; a run of
// telephone-like words ("070-123 45 67") also matches when its digits occur, in order,
// in the digits of one of the row's telephones.
class CustomerFilterProxy final : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit CustomerFilterProxy(QObject *parent = nullptr);
    void setSearch(const QString &text);
    QString search() const { return m_text; }

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;

private:
    struct Group
    {
        QStringList words; // lower case
        QString digits; // a run of telephone-like words: their digits; empty otherwise
    };
    QString m_text;
    QList<Group> m_groups;
};

} // namespace lunora
