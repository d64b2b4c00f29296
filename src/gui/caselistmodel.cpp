// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/caselistmodel.h"

#include "storage/cp1252.h"
#include "storage/readahead.h"
#include "storage/workers.h"

#include <QFont>
#include <QGuiApplication>
#include <QPalette>
#include <QString>
#include <QThreadPool>
#include <algorithm>
#include <numeric>
#include <optional>
#include <utility>

namespace lunora {

namespace {

constexpr int ColumnWidths[RegisterFieldCount] = { 1440, 1400, 1440, 2000, 2000, 1440, 2000, 3600, 1440 };

} // namespace

CaseListModel::CaseListModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

int CaseListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CaseListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : RegisterFieldCount;
}

QVariant CaseListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || static_cast<std::size_t>(index.row()) >= m_rows.size()
        || index.column() >= RegisterFieldCount)
        return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return displayText(index.row(), index.column());
    // Nothing is busy nearly always: the look of a row costs nothing more then.
    if (m_busy.isEmpty())
        return {};
    return busyData(index.row(), role);
}

QVariant CaseListModel::busyData(int row, int role) const
{
    if (role != Qt::FontRole && role != Qt::ForegroundRole && role != Qt::AccessibleDescriptionRole)
        return {};
    if (!isBusy(row))
        return {};
    switch (role) {
    case Qt::FontRole: {
        QFont font = QGuiApplication::font();
        font.setItalic(true);
        return font;
    }
    case Qt::ForegroundRole:
        return QGuiApplication::palette().brush(QPalette::Disabled, QPalette::Text);
    default:
        return QStringLiteral("Tas bort …");
    }
}

void CaseListModel::setBusy(QList<CaseKey> keys)
{
    if (keys.isEmpty() && m_busy.isEmpty())
        return;
    m_busy = std::move(keys);
    if (!m_rows.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, RegisterFieldCount - 1),
            { Qt::FontRole, Qt::ForegroundRole, Qt::AccessibleDescriptionRole });
}

bool CaseListModel::isBusy(int row) const
{
    return std::any_of(m_busy.cbegin(), m_busy.cend(), [&](const CaseKey &key) { return isCase(row, key); });
}

QString CaseListModel::displayText(int row, int column) const
{
    // A cell shows the start of a field only: a name of 20 MB written by some other
    // program would otherwise be measured and drawn whole at every paint.
    const qint32 at = m_rows[static_cast<std::size_t>(row)];
    if (at >= 0) {
        const QByteArrayView raw = m_table.rawField(at, column);
        // One byte per character.
        return cp1252::decode(raw.size() > DisplayLimit ? raw.first(DisplayLimit) : raw);
    }
    return m_added.at(-1 - at)[column].left(DisplayLimit);
}

RegisterEntry CaseListModel::entry(int row) const
{
    const qint32 at = m_rows[static_cast<std::size_t>(row)];
    return at >= 0 ? m_table.entry(at) : m_added.at(-1 - at);
}

CaseKey CaseListModel::key(int row) const
{
    const qint32 at = m_rows[static_cast<std::size_t>(row)];
    if (at < 0)
        return caseKeyOf(m_added.at(-1 - at));
    const caseregister::Table::KeyFields fields = m_table.keyFields(at);
    return caseKeyOf(fields.controlCode, fields.caseNumber, fields.created);
}

std::vector<int> CaseListModel::rowsOf(const QList<CaseKey> &keys) const
{
    const auto wanted = [&keys](const CaseKey &key) {
        return keys.contains(key);
    };
    std::vector<char> lineWanted(static_cast<std::size_t>(m_table.size()), 0);
    for (qsizetype line = 0; line < m_table.size(); ++line) {
        const caseregister::Table::KeyFields fields = m_table.keyFields(line);
        lineWanted[static_cast<std::size_t>(line)] = std::any_of(
            keys.cbegin(), keys.cend(), [&](const CaseKey &key) { return isCaseOf(fields, key); });
    }
    std::vector<int> rows;
    for (std::size_t row = 0; row < m_rows.size(); ++row) {
        const qint32 at = m_rows[row];
        if (at >= 0 ? lineWanted[static_cast<std::size_t>(at)] != 0 : wanted(caseKeyOf(m_added.at(-1 - at))))
            rows.push_back(static_cast<int>(row));
    }
    return rows;
}

ListOrder CaseListModel::keys(const std::vector<int> &rows) const
{
    return keysOf(m_table, m_added, m_rows, rows);
}

CaseListModel::KeySource CaseListModel::keySource(std::vector<int> order) const
{
    KeySource source;
    source.m_table = m_table;
    source.m_added = m_added;
    source.m_rows = m_rows;
    source.m_order = std::move(order);
    return source;
}

ListOrder CaseListModel::KeySource::keys() const
{
    return keysOf(m_table, m_added, m_rows, m_order);
}

ListOrder CaseListModel::keysOf(const caseregister::Table &table, const QList<RegisterEntry> &added,
    const std::vector<qint32> &at, const std::vector<int> &rows)
{
    ListOrder order;
    order.hold(table);
    order.reserve(static_cast<qsizetype>(rows.size()));
    // Sorted by anything but date the rows lie all over the table: their places are
    // read a batch at a time first (see storage/readahead.h).
    constexpr auto Batch = static_cast<std::size_t>(readahead::Batch);
    for (std::size_t first = 0; first < rows.size(); first += Batch) {
        const std::size_t end = std::min(rows.size(), first + Batch);
        quint32 read = 0;
        for (std::size_t i = first; i < end; ++i) {
            const qint32 place = at[static_cast<std::size_t>(rows[i])];
            read += place >= 0 ? readahead::place(table, place) : 0;
        }
        readahead::keep(read);
        for (std::size_t i = first; i < end; ++i) {
            const qint32 place = at[static_cast<std::size_t>(rows[i])];
            if (place < 0)
                order.appendCopy(caseKeyOf(added.at(-1 - place)));
            else
                order.appendHeld(place);
        }
    }
    return order;
}

bool CaseListModel::isCase(int row, const CaseKey &key) const
{
    const qint32 at = m_rows[static_cast<std::size_t>(row)];
    if (at < 0)
        return caseKeyOf(m_added.at(-1 - at)) == key;
    return isCaseOf(m_table.keyFields(at), key);
}

QString CaseListModel::text(int row, int column) const
{
    const qint32 at = m_rows[static_cast<std::size_t>(row)];
    return at >= 0 ? m_table.field(at, column) : m_added.at(-1 - at)[column];
}

void CaseListModel::textInto(int row, int column, QString &text) const
{
    const qint32 at = m_rows[static_cast<std::size_t>(row)];
    if (at >= 0)
        cp1252::decodeInto(m_table.rawField(at, column), text);
    else
        text = m_added.at(-1 - at)[column];
}

QByteArrayView CaseListModel::rawText(int row, int column, QByteArray &scratch) const
{
    const qint32 at = m_rows[static_cast<std::size_t>(row)];
    if (at >= 0)
        return m_table.rawField(at, column);
    scratch = cp1252::encode(m_added.at(-1 - at)[column]);
    return scratch;
}

QByteArrayView CaseListModel::rawLine(int row) const
{
    const qint32 at = m_rows[static_cast<std::size_t>(row)];
    if (at < 0)
        return {};
    return m_table.rawLine(at);
}

qsizetype CaseListModel::textSize(int row, int column) const
{
    const qint32 at = m_rows[static_cast<std::size_t>(row)];
    // One character per byte in Windows-1252.
    return at >= 0 ? m_table.rawField(at, column).size() : m_added.at(-1 - at)[column].size();
}

CaseRows CaseListModel::snapshot() const
{
    return CaseRows(m_table, m_added, m_rows);
}

QVariant CaseListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= RegisterFieldCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return columnCaption(section);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    default:
        return {};
    }
}

void CaseListModel::setTable(caseregister::Table table)
{
    beginResetModel();
    m_added.clear();
    m_rows.resize(static_cast<std::size_t>(table.size()));
    std::iota(m_rows.begin(), m_rows.end(), 0);
    replaceTable(std::move(table));
    endResetModel();
}

void CaseListModel::replaceTable(caseregister::Table table)
{
    caseregister::Table old = std::exchange(m_table, std::move(table));
    // Unmapping a register-sized table is no work for the window's thread.
    if (old.byteSize() >= WorkerReleaseBytes)
        workers()->start([old]() mutable { old = {}; });
}

bool CaseListModel::holdsTableOnly() const
{
    return m_added.isEmpty() && m_rows.size() == static_cast<std::size_t>(m_table.size());
}

bool CaseListModel::appendGrown(caseregister::Table grown)
{
    // Only while the rows are the table's, all of them, in file order: rows added or
    // dropped by the list itself mean the file was rewritten or appended by this desk,
    // and the new lines would repeat them.
    const auto held = static_cast<std::size_t>(m_table.size());
    if (!holdsTableOnly() || grown.size() < m_table.size())
        return false;
    m_table = std::move(grown);
    if (m_table.size() == qsizetype(held))
        return true;
    beginInsertRows({}, int(held), int(m_table.size() - 1));
    m_rows.resize(static_cast<std::size_t>(m_table.size()));
    std::iota(m_rows.begin() + std::ptrdiff_t(held), m_rows.end(), qint32(held));
    endInsertRows();
    return true;
}

bool CaseListModel::isWrittenFrom(const WrittenRegister &written) const
{
    return written.made && m_table.isCopyOf(written.before)
        && written.lineOf.size() == static_cast<std::size_t>(m_table.size());
}

bool CaseListModel::adoptWritten(WrittenRegister &written)
{
    if (!isWrittenFrom(written))
        return false;
    QList<RegisterEntry> added;
    std::optional<std::vector<qint32>> rows = rowsInWritten(written, added);
    if (!rows)
        return false;
    // The rows show the same texts as before, so nothing is announced: the view, the
    // sort orders and the search's rows stand as they are.
    m_rows = std::move(*rows);
    m_added = std::move(added);
    written.before = {};
    replaceTable(std::move(written.table));
    return true;
}

std::optional<std::vector<int>> CaseListModel::rowsLeftOut(
    const WrittenRegister &written, const QList<CaseKey> &keys) const
{
    if (!isWrittenFrom(written))
        return std::nullopt;
    std::vector<int> rows;
    for (std::size_t row = 0; row < m_rows.size(); ++row) {
        const qint32 at = m_rows[row];
        if (at >= 0 ? written.lineOf[static_cast<std::size_t>(at)] < 0
                    : keys.contains(caseKeyOf(m_added.at(-1 - at))))
            rows.push_back(static_cast<int>(row));
    }
    return rows;
}

// Where each row's line went in the written table; rows the table does not hold (a
// case added by this desk while the rewrite ran) stay added rows, renumbered into
// `added`. None when a row's line was not written or a written line is no row here.
std::optional<std::vector<qint32>> CaseListModel::rowsInWritten(
    const WrittenRegister &written, QList<RegisterEntry> &added) const
{
    const std::vector<qint32> &lineOf = written.lineOf;
    std::vector<qint32> newLines = written.newLines;
    std::vector<qint32> rows(m_rows.size());
    qsizetype covered = 0;
    for (std::size_t r = 0; r < m_rows.size(); ++r) {
        const qint32 at = m_rows[r];
        qint32 line = at >= 0 ? lineOf[static_cast<std::size_t>(at)] : -1;
        if (at >= 0 && line < 0)
            return std::nullopt;
        if (at < 0) {
            // The updated case's row, added by the list, is the line the rewrite put last.
            const RegisterEntry &entry = m_added.at(-1 - at);
            const auto same = std::find_if(newLines.begin(), newLines.end(),
                [&](qint32 candidate) { return written.table.entry(candidate) == entry; });
            if (same != newLines.end()) {
                line = *same;
                newLines.erase(same);
            }
        }
        if (line >= 0) {
            rows[r] = line;
            ++covered;
        } else {
            added.append(m_added.at(-1 - at));
            rows[r] = -static_cast<qint32>(added.size());
        }
    }
    if (covered != written.table.size())
        return std::nullopt;
    return rows;
}

void CaseListModel::setEntries(QList<RegisterEntry> entries)
{
    beginResetModel();
    m_table = {};
    m_added = std::move(entries);
    m_rows.resize(static_cast<std::size_t>(m_added.size()));
    for (std::size_t i = 0; i < m_rows.size(); ++i)
        m_rows[i] = -1 - static_cast<qint32>(i);
    endResetModel();
}

void CaseListModel::appendEntry(const RegisterEntry &entry)
{
    const int row = static_cast<int>(m_rows.size());
    beginInsertRows({}, row, row);
    m_added.append(entry);
    m_rows.push_back(-1 - static_cast<qint32>(m_added.size() - 1));
    endInsertRows();
}

void CaseListModel::removeEntry(int row)
{
    if (row < 0 || static_cast<std::size_t>(row) >= m_rows.size())
        return;
    beginRemoveRows({}, row, row);
    // An added entry stays in m_added, unused, until the next load: the indices of the
    // others stay valid that way.
    m_rows.erase(m_rows.begin() + row);
    endRemoveRows();
}

QString CaseListModel::columnCaption(int column)
{
    switch (column) {
    case CaseNumber:
        return QStringLiteral("Ärende nr");
    case Created:
        return QStringLiteral("Skapad");
    case CustomerNumber:
        return QStringLiteral("Kund nr");
    case CustomerName:
        return QStringLiteral("Namn");
    case Telephone:
        return QStringLiteral("Telefon");
    case Priority:
        return QStringLiteral("Prioritet");
    case CaseStatus:
        return QStringLiteral("Status");
    case ControlCode:
        return QStringLiteral("Kontrollnummer");
    case Signature:
        return QStringLiteral("Signatur");
    default:
        return {};
    }
}

int CaseListModel::columnWidthUnits(int column)
{
    if (column < 0 || column >= RegisterFieldCount)
        return 0;
    return ColumnWidths[column];
}

} // namespace lunora
