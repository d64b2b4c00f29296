// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "gui/caserows.h"
#include "storage/caseregister.h"
#include "storage/records.h"
#include "storage/storetypes.h"

#include <QAbstractTableModel>
#include <QList>
#include <optional>
#include <vector>

namespace lunora {

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

    // Replace every row (load and refresh).
    void setTable(caseregister::Table table);
    // Adds the rows of a table that grew from the one loaded (see Table::reread): the
    // rows shown stay, the new lines follow. False, and nothing changed, when the rows
    // are no longer exactly the loaded table's.
    bool appendGrown(caseregister::Table grown);
    // Whether the rows are still exactly the loaded table's (in file order, or in the
    // list's order after this list's own rewrite), so that a grown read of it can be
    // appended (what appendGrown asks first).
    bool holdsTableOnly() const;
    // The table loaded last, to be read anew against.
    const caseregister::Table &table() const { return m_table; }
    // Takes over the register this list's own rewrite wrote, when it was written from
    // the table the rows are read from and every line of it is a row here: the rows stay
    // as they are (no reset), each now read from its line of the new table. False, and
    // nothing changed, otherwise.
    bool adoptWritten(WrittenRegister &written);
    void setEntries(QList<RegisterEntry> entries);
    void appendEntry(const RegisterEntry &entry);
    void removeEntry(int row);

    // The most characters of a field that a cell shows.
    static constexpr qsizetype DisplayLimit = 1000;

    RegisterEntry entry(int row) const;
    // The case the row stands for, as the case store finds it in the register.
    CaseKey key(int row) const;
    // Whether the row stands for the case with this key: key(row) == key, without
    // copying the row's fields (a removal looks at every row).
    bool isCase(int row, const CaseKey &key) const;
    // The rows of these cases, first to last. The table is looked through in file order
    // rather than row by row: after this list's own rewrite of a sorted list the rows
    // lie all over it.
    std::vector<int> rowsOf(const QList<CaseKey> &keys) const;
    // The same after this list's own rewrite took them out: the rows whose line
    // `written` did not write, found in one pass over the rows. None when `written` was
    // not written from the table the rows are read from.
    std::optional<std::vector<int>> rowsLeftOut(
        const WrittenRegister &written, const QList<CaseKey> &keys) const;
    // The keys of these rows, in this order: views into the model's bytes where it can,
    // which the order holds on to.
    ListOrder keys(const std::vector<int> &rows) const;
    QString text(int row, int column) const;
    // What the cell shows: the first DisplayLimit characters of text().
    QString displayText(int row, int column) const;
    // The field in Windows-1252 as the register stores it; rows added later are encoded
    // into `scratch`, which the returned view may point into.
    QByteArrayView rawText(int row, int column, QByteArray &scratch) const;
    // For a loaded row, its line as stored, which holds all nine fields in order (and
    // whatever a damaged line has around them); empty for a row added later.
    QByteArrayView rawLine(int row) const;
    // The same text written into `text`, whose room is reused: for passes over every row.
    void textInto(int row, int column, QString &text) const;
    // The length of text(row, column), without decoding it.
    qsizetype textSize(int row, int column) const;

    // A copy of the rows as they stand, which another thread may read (cheap: the table
    // is shared, the row numbers copied).
    CaseRows snapshot() const;

    // What keys() reads, copied with the rows of an order, so that another thread makes
    // the keys (at 100 000 rows in a sorted order that takes longer than a frame).
    class KeySource
    {
    public:
        ListOrder keys() const;

    private:
        friend class CaseListModel;
        caseregister::Table m_table;
        QList<RegisterEntry> m_added;
        std::vector<qint32> m_rows;
        std::vector<int> m_order;
    };
    KeySource keySource(std::vector<int> order) const;

    // Rows of these cases are shown busy (greyed, in italics, and said to be being
    // removed) until the marks are set anew; kept by key, so a reload keeps them.
    void setBusy(QList<CaseKey> keys);
    bool isBusy(int row) const;

    static QString columnCaption(int column);
    static int columnWidthUnits(int column);

private:
    bool isWrittenFrom(const WrittenRegister &written) const;
    void replaceTable(caseregister::Table table);
    // A table this large is let go of on the thread pool.
    static constexpr qsizetype WorkerReleaseBytes = 2 * 1024 * 1024;
    std::optional<std::vector<qint32>> rowsInWritten(
        const WrittenRegister &written, QList<RegisterEntry> &added) const;
    static ListOrder keysOf(const caseregister::Table &table, const QList<RegisterEntry> &added,
        const std::vector<qint32> &at, const std::vector<int> &rows);
    QVariant busyData(int row, int role) const;

    // The loaded register stays as read; its fields are decoded when asked for. Rows
    // added later are kept beside it, and every row names where its fields are:
    // m_rows[row] >= 0 is an entry of m_table, -1 - m_rows[row] an index into m_added.
    caseregister::Table m_table;
    QList<RegisterEntry> m_added;
    std::vector<qint32> m_rows;
    QList<CaseKey> m_busy;
};

} // namespace lunora
