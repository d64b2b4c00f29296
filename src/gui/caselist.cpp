// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/caselist.h"

#include "gui/caselistmodel.h"
#include "gui/casesortproxy.h"
#include "gui/filefollower.h"
#include "gui/lockwaitbox.h"
#include "storage/accounts.h"
#include "storage/caseregister.h"
#include "storage/casestore.h"
#include "storage/datafolder.h"
#include "storage/folderlock.h"
#include "storage/heap.h"
#include "storage/workers.h"

#include <QDateTime>
#include <QFileInfo>
#include <QThreadPool>
#include <algorithm>
#include <atomic>
#include <mutex>
#include <utility>

namespace lunora {

// What the list shares with its read on the worker. The job holds it, so it may outlive
// the list: the destructor clears `list` under the lock the result is posted under, and
// every close moves the generation on, so that an older read's result is dropped.
struct CaseList::ReadShared
{
    std::mutex postMutex;
    CaseList *list = nullptr;
    std::atomic<quint64> generation { 0 };
};

struct CaseList::ReadResult
{
    Result<caseregister::Table::Reread> read;
    std::shared_ptr<CaseSortProxy::Prepared> prepared;
    QList<CaseKey> lookedFor;
    QList<qint32> found; // per case looked for: its row in the table read, or -1
};

namespace {

// The first row of each case in the table, found in one pass over its rows.
QList<qint32> rowsOf(const caseregister::Table &table, const QList<CaseKey> &keys)
{
    QList<qint32> found(keys.size(), -1);
    qsizetype missing = keys.size();
    for (qsizetype row = 0; missing > 0 && row < table.size(); ++row) {
        const caseregister::Table::KeyFields fields = table.keyFields(row);
        for (qsizetype k = 0; k < keys.size(); ++k) {
            const CaseKey &key = keys.at(k);
            if (found.at(k) < 0 && isCaseOf(fields, key)) {
                found[k] = static_cast<qint32>(row);
                --missing;
            }
        }
    }
    return found;
}

} // namespace

CaseList::CaseList(QObject *parent)
    : QObject(parent)
    , m_readShared(std::make_shared<ReadShared>())
{
    m_readShared->list = this;
}

CaseList::~CaseList()
{
    {
        // A read under way finishes on its own and drops its result.
        const std::lock_guard lock(m_readShared->postMutex);
        m_readShared->list = nullptr;
        ++m_readShared->generation;
    }
    // A write under way finishes (its result is dropped with the list).
    if (m_writer)
        m_writer->waitForDone();
}

void CaseList::open(QObject *viewer)
{
    close();
    m_viewer = viewer;
    m_model = new CaseListModel(this);
    m_proxy = new CaseSortProxy(this);
    m_proxy->setCaseModel(m_model);
    // Created before the first read, so that the read marks what it saw.
    m_follower = new FileFollower(QStringLiteral("registerFollower"), this);
    m_follower->follow(paths::caseRegister());
    // A row this desk added or dropped while the register was read on the worker is
    // not in what was read.
    const auto moved = [this]() {
        if (m_reading)
            m_rowsMoved = true;
    };
    connect(m_model, &QAbstractItemModel::rowsInserted, this, moved);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, moved);
    connect(m_model, &QAbstractItemModel::modelReset, this, moved);
    // A viewer closed and deleted later may go after the next one has opened the list.
    connect(viewer, &QObject::destroyed, this, [this, viewer]() {
        if (m_viewer == viewer)
            close();
    });
}

void CaseList::close()
{
    // A viewer still waiting for its deletion hears no more of this list.
    if (m_viewer)
        disconnect(this, nullptr, m_viewer, nullptr);
    // The proxy before the model it maps; the view that showed them is gone or going.
    delete m_follower;
    delete m_proxy;
    delete m_model;
    m_follower = nullptr;
    m_proxy = nullptr;
    m_model = nullptr;
    m_viewer = nullptr;
    // A read still running goes on without the rows and its result is dropped; nothing
    // waits for it.
    ++m_readShared->generation;
    m_reading = m_readWanted = m_rowsMoved = m_noteEmpty = false;
}

void CaseList::load()
{
    // A load that found nothing is noted in the error log once its rows are shown.
    m_noteEmpty = true;
    reload();
}

void CaseList::reload()
{
    if (!isOpen())
        return;
    if (readsOnWorker()) {
        m_readWanted = true;
        if (!m_reading)
            startRead();
        return;
    }
    // Marked before the read: a change that comes while the file is read is looked at
    // again afterwards.
    m_follower->markSeen();
    ReadResult result { m_model->table().reread(paths::caseRegister()), nullptr, {}, {} };
    apply(result);
}

bool CaseList::readsOnWorker() const
{
    return m_reading || QFileInfo(paths::caseRegister()).size() >= m_workerFromBytes;
}

void CaseList::reload(const QList<CaseKey> &lookFor)
{
    m_lookFor = lookFor;
    reload();
}

void CaseList::startRead()
{
    m_readWanted = false;
    m_rowsMoved = false;
    m_reading = true;
    m_follower->markSeen();
    const quint64 generation = ++m_readShared->generation;
    // The job holds copies only: the table is shared and never changes once read. A
    // register that only grew is read from where the list's table ended; the sort's order
    // and the search's rows are made there too when the rows will be replaced.
    const bool appendable = m_model->holdsTableOnly();
    workers()->start(
        [shared = m_readShared, generation, appendable, path = paths::caseRegister(),
            table = m_model->table(), wanted = m_proxy->preparation(), lookFor = m_lookFor]() mutable {
            const auto stopped = [&shared, generation]() {
                return shared->generation != generation;
            };
            auto result = std::make_shared<ReadResult>(ReadResult { table.reread(path), nullptr, {}, {} });
            table = {};
            // The key fields' places of the lines read, made here rather than by the first
            // look for a case on the window's thread (keeping the user's place does two).
            if (result->read && !result->read.value().table.isEmpty()) {
                const caseregister::Table &read = result->read.value().table;
                (void)read.keyFields(read.size() - 1);
                if (!lookFor.isEmpty() && !stopped())
                    result->found = rowsOf(read, lookFor);
                result->lookedFor = lookFor;
            }
            const bool replaces = result->read && (!result->read.value().grew || !appendable);
            if (replaces && !stopped())
                result->prepared = CaseSortProxy::prepare(result->read.value().table, wanted, stopped);
            const std::lock_guard lock(shared->postMutex);
            if (shared->list && !stopped())
                QMetaObject::invokeMethod(
                    shared->list,
                    [list = shared->list, generation, result]() { list->takeRead(generation, result); },
                    Qt::QueuedConnection);
        });
}

void CaseList::takeRead(quint64 generation, const std::shared_ptr<ReadResult> &result)
{
    if (generation != m_readShared->generation || !isOpen())
        return;
    m_reading = false;
    // A newer file, or rows this desk changed meanwhile: what was read is older than
    // what the list must show, so the register is read again rather than applied.
    if (m_readWanted || m_rowsMoved) {
        startRead();
        return;
    }
    apply(*result);
}

void CaseList::apply(ReadResult &result)
{
    Result<caseregister::Table::Reread> &read = result.read;
    // The table holds the file's bytes and where the fields lie, so old and new rows side
    // by side take little more room than the file twice.
    if (!read && m_model->rowCount() > 0) {
        m_noteEmpty = false;
        return;
    }
    if (!read) {
        m_model->setTable({});
    } else if (!read.value().grew || !m_model->appendGrown(read.value().table)) {
        m_proxy->usePrepared(std::move(result.prepared));
        m_model->setTable(std::move(read.value().table));
        heap::giveFreePagesBackSoon();
    }
    // The rows found are the table's rows, which the list's rows are after either swap;
    // they serve those who keep their place as the rows are shown, and no later look.
    m_foundKeys = result.found.isEmpty() ? QList<CaseKey>() : std::move(result.lookedFor);
    m_foundRows = std::move(result.found);
    m_lookFor.clear();
    emit reloaded();
    m_foundKeys.clear();
    m_foundRows.clear();
    // The log is a courtesy, so a log that cannot be written does not stop the window.
    if (std::exchange(m_noteEmpty, false) && rowCount() == 0)
        (void)errorlog::appendLoadFailure(QDateTime::currentDateTime());
}

void CaseList::refresh()
{
    emit refreshRequested();
}

void CaseList::confirm(const QString &text)
{
    emit confirmed(text);
}

StoreResult CaseList::addLine(const RegisterEntry &entry)
{
    const StoreResult added = CaseStore::addRegisterLine(entry);
    if (!added)
        return added;
    if (isOpen())
        m_model->appendEntry(entry);
    emit caseAdded(entry);
    return added;
}

StoreResult CaseList::removeLines(const QList<RegisterEntry> &cases)
{
    return storeAndApply(WriteKind::RemoveLines, cases);
}

StoreResult CaseList::removeCases(const QList<RegisterEntry> &cases)
{
    return storeAndApply(WriteKind::RemoveCases, cases);
}

StoreResult CaseList::replaceCase(const RegisterEntry &updated)
{
    return storeAndApply(WriteKind::Replace, { updated });
}

StoreResult CaseList::storeAndApply(WriteKind kind, const QList<RegisterEntry> &cases)
{
    WrittenRegister written;
    const StoreResult result = store(kind, cases, listOrder(), isOpen() ? &written : nullptr);
    return apply(kind, cases, result, &written);
}

void CaseList::removeLines(const QList<RegisterEntry> &cases, QObject *context, Done done)
{
    write({ WriteKind::RemoveLines, cases, context, std::move(done) });
}

void CaseList::removeCases(const QList<RegisterEntry> &cases, QObject *context, Done done)
{
    write({ WriteKind::RemoveCases, cases, context, std::move(done) });
}

void CaseList::replaceCase(const RegisterEntry &updated, QObject *context, Done done)
{
    write({ WriteKind::Replace, { updated }, context, std::move(done) });
}

StoreResult CaseList::store(
    WriteKind kind, const QList<RegisterEntry> &cases, const ListOrder &order, WrittenRegister *written)
{
    switch (kind) {
    case WriteKind::RemoveLines:
        return CaseStore::removeRegisterLines(cases, order, written);
    case WriteKind::RemoveCases:
        // The register is rewritten before the files go: a failed rewrite leaves the
        // cases listed with their files.
        return CaseStore::removeCases(cases, order, written);
    case WriteKind::Replace:
        // The case is found by its control code, not by a selection: the user may have
        // clicked another row while the case window was open.
        return CaseStore::replaceCase(cases.first(), order, written);
    }
    return StoreResult::failure(StoreError::Unwritable, QStringLiteral("unknown write"));
}

StoreResult CaseList::apply(
    WriteKind kind, const QList<RegisterEntry> &cases, const StoreResult &result, WrittenRegister *written)
{
    // What the rewrite wrote tells which rows it left out, without a look at every row.
    const WrittenRegister *wrote = result ? written : nullptr;
    if (kind != WriteKind::Replace) {
        if (result || result.kind == StoreError::NotFound)
            dropRows(cases, wrote);
    } else if (result) {
        dropRows(cases, wrote);
        if (isOpen())
            m_model->appendEntry(cases.first());
    } else if (result.kind == StoreError::NotFound) {
        dropRows(cases);
    }
    // Before the signals: a window that hears of the change finds the list's table the
    // file's already.
    if (result && written)
        takeWritten(*written);
    if (kind == WriteKind::Replace && result)
        emit caseReplaced(cases.first());
    else if (result || result.kind == StoreError::NotFound)
        announceRemoved(cases);
    return result;
}

// The rows already stand for what this desk wrote; with the written table under them
// the list holds exactly the file, and the follower is told that this state of the file
// has been seen, so that no read of the whole register follows. A table the list cannot
// take over (another desk had written before this rewrite) leaves the follower to report
// that desk's change as usual.
void CaseList::takeWritten(WrittenRegister &written)
{
    if (!isOpen() || !m_model->adoptWritten(written))
        return;
    m_follower->markSeen(written.stamp);
    heap::giveFreePagesBackSoon();
}

void CaseList::write(Write write)
{
    const bool direct = m_writes.isEmpty() && rowCount() < m_workerFrom;
    if (direct) {
        const StoreResult result = storeAndApply(write.kind, write.cases);
        if (write.context)
            write.done(result);
        return;
    }
    m_writes.append(std::move(write));
    if (m_writes.size() == 1)
        startWrite();
}

void CaseList::startWrite()
{
    const Write &next = m_writes.first();
    if (isOpen() && next.kind != WriteKind::Replace) {
        QList<CaseKey> busy;
        for (const RegisterEntry &entry : next.cases)
            busy << caseKeyOf(entry);
        m_model->setBusy(std::move(busy));
    }
    if (isOpen())
        m_proxy->setWriting(true);
    if (!m_writer) {
        m_writer = std::make_unique<QThreadPool>();
        m_writer->setMaxThreadCount(1);
    }
    // The worker gets copies only: the rows' keys are made there from the table (shared,
    // never changed) and the list's row numbers as they stand now.
    std::optional<CaseListModel::KeySource> keys;
    if (isOpen())
        keys = m_model->keySource(m_proxy->listRows());
    m_writer->start([this, kind = next.kind, cases = next.cases, keys = std::move(keys)]() {
        // A wait for another desk shows the window's box, and its "Avbryt" ends it.
        WorkerLockWait waiter;
        const FolderLock::ThreadWaiter waiting(&waiter);
        auto written = keys ? std::make_shared<WrittenRegister>() : nullptr;
        const StoreResult result = store(kind, cases, keys ? keys->keys() : ListOrder(), written.get());
        QMetaObject::invokeMethod(
            this, [this, result, written]() { writeEnded(result, written); }, Qt::QueuedConnection);
    });
}

void CaseList::writeEnded(const StoreResult &result, const std::shared_ptr<WrittenRegister> &written)
{
    const Write ended = m_writes.takeFirst();
    if (isOpen()) {
        m_model->setBusy({});
        m_proxy->setWriting(false);
    }
    (void)apply(ended.kind, ended.cases, result, written.get());
    // The next write starts before this one's window words its result, which may
    // hold a message box open for long.
    if (!m_writes.isEmpty())
        startWrite();
    if (ended.context)
        ended.done(result);
    if (m_writes.isEmpty())
        emit writesDone();
}

void CaseList::dropRows(const QList<RegisterEntry> &cases, const WrittenRegister *written)
{
    if (!isOpen())
        return;
    QList<CaseKey> keys;
    for (const RegisterEntry &entry : cases)
        keys << caseKeyOf(entry);
    std::optional<std::vector<int>> leftOut;
    if (written)
        leftOut = m_model->rowsLeftOut(*written, keys);
    // From the last row to the first, so that the positions still to go stay valid.
    const std::vector<int> rows = leftOut ? std::move(*leftOut) : m_model->rowsOf(keys);
    for (auto row = rows.crbegin(); row != rows.crend(); ++row)
        m_model->removeEntry(*row);
}

void CaseList::announceRemoved(const QList<RegisterEntry> &cases)
{
    for (const RegisterEntry &entry : cases)
        emit caseRemoved(entry);
}

void CaseList::setSearch(const QString &text)
{
    if (isOpen())
        m_proxy->setSearch(text);
}

void CaseList::sortBy(int column, Qt::SortOrder order)
{
    if (isOpen())
        m_proxy->sortBy(column, order);
}

QList<RegisterEntry> CaseList::entries() const
{
    QList<RegisterEntry> lines;
    if (!m_model)
        return lines;
    const int count = m_model->rowCount();
    lines.reserve(count);
    for (int row = 0; row < count; ++row)
        lines << m_model->entry(row);
    return lines;
}

ListOrder CaseList::listOrder() const
{
    return isOpen() ? m_proxy->listOrder() : ListOrder();
}

int CaseList::rowCount() const
{
    return isOpen() ? m_model->rowCount() : 0;
}

std::optional<CaseKey> CaseList::keyAt(int viewRow) const
{
    const int source = isOpen() ? m_proxy->sourceRow(viewRow) : -1;
    if (source < 0)
        return std::nullopt;
    return m_model->key(source);
}

int CaseList::viewRowOf(const std::optional<CaseKey> &key, int near) const
{
    if (!key || !isOpen())
        return -1;
    // Compared in place: keeping the place after a reload of a long list looks for two
    // cases among every row.
    const int count = m_model->rowCount();
    near = std::clamp(near, 0, std::max(0, count - 1));
    const auto found = [&](int row) {
        return row >= 0 && row < count && m_model->isCase(row, *key);
    };
    // Where the read found it, as the rows read are shown: a case it did not find (taken
    // out by the other desk) is not looked for along every row again.
    if (const qsizetype k = m_foundKeys.indexOf(*key); k >= 0) {
        if (m_foundRows.at(k) < 0)
            return -1;
        if (found(m_foundRows.at(k)))
            return m_proxy->mapFromSource(m_model->index(m_foundRows.at(k), 0)).row();
    }
    for (int distance = 0; near + distance < count || near - distance >= 0; ++distance) {
        const int row = found(near + distance)       ? near + distance
            : distance > 0 && found(near - distance) ? near - distance
                                                     : -1;
        if (row >= 0)
            return m_proxy->mapFromSource(m_model->index(row, 0)).row();
    }
    return -1;
}

int CaseList::sourceRowAt(int viewRow) const
{
    return isOpen() ? m_proxy->sourceRow(viewRow) : -1;
}

} // namespace lunora
