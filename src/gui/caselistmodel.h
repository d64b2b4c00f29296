#pragma once

#include "records.h"

#include <QAbstractTableModel>
#include <QList>
#include <QSortFilterProxyModel>
#include <QStringView>

namespace lunora {

// Compares two texts character by character the way a Swedish reader orders them:
// blanks and punctuation before digits, digits one by one (so "10" comes before "9"),
// then the letters a to z followed by å, ä and ö. Letter case and accents only break
// ties, so "andersson" stands beside "Andersson" and "é" beside "e".
// Returns a negative number, zero or a positive number, like a three-way compare.
int compareSwedish(QStringView a, QStringView b);

// The overview's rows: one register entry per row, the nine fields as its columns.
class CaseListModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit CaseListModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Replaces every row (load and refresh).
    void setEntries(QList<RegisterEntry> entries);
    void appendEntry(const RegisterEntry &entry);
    void removeEntry(int row);

    const RegisterEntry &entry(int row) const { return m_entries.at(row); }
    const QString &text(int row, int column) const { return m_entries.at(row)[column]; }

    static QString columnCaption(int column);
    static int columnWidthUnits(int column);

private:
    QList<RegisterEntry> m_entries;
};

// Sorting on top of CaseListModel. Nothing is sorted until sortBy() is first called;
// from then on rows added to the source take their sorted place.
class CaseSortProxy final : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit CaseSortProxy(QObject *parent = nullptr);

    void setCaseModel(CaseListModel *model);
    CaseListModel *caseModel() const { return m_cases; }

    // Every row in the order the list shows them.
    QList<RegisterEntry> entriesInViewOrder() const;

protected:
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
    CaseListModel *m_cases = nullptr;
};

} // namespace lunora
