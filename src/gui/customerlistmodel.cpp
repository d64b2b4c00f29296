// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/customerlistmodel.h"

#include "storage/swedishtext.h"

#include <QRegularExpression>
#include <algorithm>

namespace lunora {

namespace {
void appendDigits(QStringView text, QString &digits)
{
    for (const QChar c : text) {
        if (c >= u'0' && c <= u'9')
            digits.append(c);
    }
}
} // namespace

CustomerListModel::CustomerListModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

int CustomerListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_cards.size());
}

int CustomerListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

const QString &CustomerListModel::text(int row, int column) const
{
    static const QString none;
    const customercards::Card &c = m_cards.at(row);
    switch (column) {
    case Telephone:
        return c.telephone;
    case Number:
        return c.record.id;
    case Name:
        return c.record.name;
    case Address:
        return c.record.address;
    case PostalAddress:
        return c.record.postalAddress;
    case Mobile:
        return c.record.phone2;
    case Email:
        return c.record.email;
    default:
        return none;
    }
}

QVariant CustomerListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_cards.size() || role != Qt::DisplayRole)
        return {};
    return text(index.row(), index.column());
}

QVariant CustomerListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    return columnCaption(section);
}

void CustomerListModel::setCards(QList<customercards::Card> cards)
{
    beginResetModel();
    m_cards = std::move(cards);
    m_search.clear();
    m_digits.clear();
    endResetModel();
}

void CustomerListModel::prepareSearch() const
{
    if (m_search.size() == m_cards.size())
        return;
    m_search.clear();
    m_digits.clear();
    m_search.reserve(m_cards.size());
    m_digits.reserve(m_cards.size());
    QString all;
    for (int row = 0; row < m_cards.size(); ++row) {
        const customercards::Card &c = m_cards.at(row);
        all.clear();
        for (int column = 0; column < ColumnCount; ++column) {
            all += text(row, column);
            all += u'\n';
        }
        all += c.record.phone1;
        all += u'\n';
        all += c.record.country;
        m_search.append(all.toLower());
        QString digits;
        for (const QString *telephone : { &c.telephone, &c.record.phone1, &c.record.phone2 }) {
            appendDigits(*telephone, digits);
            digits.append(u'\n');
        }
        m_digits.append(digits);
    }
}

const QString &CustomerListModel::searchText(int row) const
{
    prepareSearch();
    return m_search.at(row);
}

const QString &CustomerListModel::telephoneDigits(int row) const
{
    prepareSearch();
    return m_digits.at(row);
}

QString CustomerListModel::columnCaption(int column)
{
    static const QStringList captions { QStringLiteral("Telefon"), QStringLiteral("Kundnummer"),
        QStringLiteral("Namn"), QStringLiteral("Adress"), QStringLiteral("Postadress"),
        QStringLiteral("Mobiltelefon"), QStringLiteral("E.postadress") };
    return captions.value(column);
}

int CustomerListModel::columnWidthUnits(int column)
{
    static const int widths[] = { 1800, 1440, 2400, 2400, 2000, 1800, 2600 };
    return column >= 0 && column < ColumnCount ? widths[column] : 1440;
}

CustomerFilterProxy::CustomerFilterProxy(QObject *parent)
    : QSortFilterProxyModel(parent)
{
}

void CustomerFilterProxy::setSearch(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    m_groups.clear();
    // Consecutive telephone-like words form one run, as in the overview's search.
    bool inRun = false;
    for (const QString &word : text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts)) {
        const bool telephone = isTelephoneWord(word);
        if (!telephone || !inRun)
            m_groups.append(Group());
        Group &group = m_groups.last();
        group.words.append(word.toLower());
        if (telephone)
            appendDigits(word, group.digits);
        inRun = telephone;
    }
    invalidateFilter();
}

bool CustomerFilterProxy::filterAcceptsRow(int sourceRow, const QModelIndex &) const
{
    const auto *model = static_cast<const CustomerListModel *>(sourceModel());
    for (const Group &group : m_groups) {
        // A word holds no line break, and the columns are one per line: a word found
        // lies inside one column.
        const QString &all = model->searchText(sourceRow);
        const bool inColumns = std::all_of(group.words.begin(), group.words.end(),
            [&all](const QString &word) { return all.contains(word); });
        if (inColumns)
            continue;
        if (!group.digits.isEmpty() && model->telephoneDigits(sourceRow).contains(group.digits))
            continue;
        return false;
    }
    return true;
}

bool CustomerFilterProxy::lessThan(const QModelIndex &left, const QModelIndex &right) const
{
    const auto *model = static_cast<const CustomerListModel *>(sourceModel());
    const int order
        = compareSwedish(model->text(left.row(), left.column()), model->text(right.row(), right.column()));
    if (order != 0)
        return order < 0;
    return left.row() < right.row(); // equal texts keep the order of the folder
}

} // namespace lunora
