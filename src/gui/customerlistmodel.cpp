// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/customerlistmodel.h"

#include "gui/caselistmodel.h"

namespace lunora {

namespace {
QString digitsOf(QStringView text)
{
    QString digits;
    for (QChar c : text) {
        if (c.isDigit())
            digits.append(c);
    }
    return digits;
}

bool isTelephoneLike(QStringView word)
{
    bool digit = false;
    for (QChar c : word) {
        if (c.isDigit())
            digit = true;
        else if (c != u'-' && c != u'+' && c != u' ' && c != u'/')
            return false;
    }
    return digit;
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

QString CustomerListModel::text(int row, int column) const
{
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
        return QString();
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
    m_search.reserve(m_cards.size());
    m_digits.reserve(m_cards.size());
    for (int row = 0; row < m_cards.size(); ++row) {
        QString all;
        for (int column = 0; column < ColumnCount; ++column)
            all += text(row, column) + u'\n';
        all += m_cards.at(row).record.phone1 + u'\n' + m_cards.at(row).record.country;
        m_digits.append(digitsOf(all));
        m_search.append(all.toLower());
    }
    endResetModel();
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
    m_words.clear();
    for (const QString &word : text.split(u' ', Qt::SkipEmptyParts)) {
        Word w { word.toLower(), QString() };
        if (isTelephoneLike(word))
            w.digits = digitsOf(word);
        m_words.append(w);
    }
    invalidateFilter();
}

bool CustomerFilterProxy::filterAcceptsRow(int sourceRow, const QModelIndex &) const
{
    const auto *model = static_cast<const CustomerListModel *>(sourceModel());
    const QString &all = model->searchText(sourceRow);
    for (const Word &word : m_words) {
        if (all.contains(word.text))
            continue;
        if (!word.digits.isEmpty() && model->searchDigits(sourceRow).contains(word.digits))
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
