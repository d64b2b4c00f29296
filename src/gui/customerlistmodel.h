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
    QString text(int row, int column) const;
    // What a search looks in: every column in lower case, and the digits of them all,
    // so that "070-123 45 67" finds 0701234567.
    const QString &searchText(int row) const { return m_search.at(row); }
    const QString &searchDigits(int row) const { return m_digits.at(row); }

    static QString columnCaption(int column);
    static int columnWidthUnits(int column);

private:
    QList<customercards::Card> m_cards;
    QStringList m_search;
    QStringList m_digits;
};

// Search and sort over the customer list. A row is shown when every typed word occurs
// in one of its columns, letter case aside; a word of digits, blanks and hyphens also
// matches the same digits written without them.
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
    struct Word
    {
        QString text; // lower case
        QString digits; // empty unless the word is a telephone-like run of digits
    };
    QString m_text;
    QList<Word> m_words;
};

} // namespace lunora
