// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "storage/records.h"
#include "storage/storetypes.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QThreadPool;

namespace lunora {

class CaseListModel;
class CaseSortProxy;
class FileFollower;

// The one list of cases between the windows and the case store. It holds the rows the
// overview shows (the model, its sort and search, the list's order for a rewrite) and
// follows the register as other desks change it. A window changes a case through it, so
// that the register line and the list row change together, and learns of changes by
// its signals rather than by reaching into another window.
//
// The list holds rows only while the overview shows it (from open() until the overview
// is deleted); without it a change goes to the store alone, and the list is read anew
// when the overview opens again.
class CaseList final : public QObject
{
    Q_OBJECT

public:
    explicit CaseList(QObject *parent = nullptr);
    ~CaseList() override;

    CaseListModel *model() const { return m_model; }
    CaseSortProxy *proxy() const { return m_proxy; }
    // Follows the register file: changed() means another desk wrote it.
    FileFollower *follower() const { return m_follower; }

    // The overview opens: fresh rows, unsorted and unsearched, and the register
    // followed; they are let go when `viewer` is deleted. load() then reads the
    // register, noting a register with no case in it in the error log.
    void open(QObject *viewer);
    void load();
    bool isOpen() const { return m_model != nullptr; }

    // Reads the register anew. A register that exists but cannot be read leaves the
    // rows as they are: an emptied list would be written back over every case by the
    // next removal. A long register is read on a worker while the list shows the rows
    // it has; reloaded() says when the new ones are shown. A reload asked while one
    // runs is read once more after it, and what a read found is dropped when the list's
    // rows changed meanwhile (this desk's own write): the newer file is read instead.
    void reload();
    // The same, and the cases named looked for in the rows read while still on the
    // worker, so that viewRowOf() finds them at once: after another desk's rewrite they
    // may stand anywhere, and a look along every row of a long list holds the window.
    void reload(const QList<CaseKey> &lookFor);
    // A register of at least this many bytes is read on the worker (tests set 0); a
    // short one is read at once, in less time than the worker's round trip.
    static constexpr qint64 WorkerFromBytes = 2 * 1024 * 1024;
    void setWorkerFromBytes(qint64 bytes) { m_workerFromBytes = bytes; }
    // A read runs on the worker.
    bool isReading() const { return m_reading; }
    // Asks for a reload once the caller's handler has returned (the overview's deferred
    // refresh); nothing happens while the overview is closed.
    void refresh();

    // The changes, each through the case store; the list follows only what the register
    // now holds. A line already gone from the register (NotFound) leaves the list too.
    // Appends the case's line (the overview's hidden add action).
    StoreResult addLine(const RegisterEntry &entry);
    // Takes the cases' lines out of the register, leaving their files (the del action).
    StoreResult removeLines(const QList<RegisterEntry> &cases);
    // Removes the cases with their files ("Ta bort").
    StoreResult removeCases(const QList<RegisterEntry> &cases);
    // Replaces the case's line, found by its control code, and its row.
    StoreResult replaceCase(const RegisterEntry &updated);

    // The same writes for a window that must not wait for them: a long list rewrites the
    // register on a worker thread, one write after the other in the order asked. The rows
    // being removed stay listed, marked busy, until the register no longer holds them;
    // the rows and signals follow the result as above, and then `done` runs with it on
    // this thread, unless `context` is gone by then. A short list (or none open) writes
    // at once, `done` included, while nothing is queued.
    using Done = std::function<void(const StoreResult &)>;
    void removeLines(const QList<RegisterEntry> &cases, QObject *context, Done done);
    void removeCases(const QList<RegisterEntry> &cases, QObject *context, Done done);
    void replaceCase(const RegisterEntry &updated, QObject *context, Done done);
    // A write is queued or running: a window that asked for one stays open until then.
    bool isWriting() const { return !m_writes.isEmpty(); }
    // Lists of at least this many rows write on the worker (tests set 0).
    void setWorkerFrom(int rows) { m_workerFrom = rows; }

    void setSearch(const QString &text);
    void sortBy(int column, Qt::SortOrder order);
    ListOrder listOrder() const;
    // Every line the list holds, in the register's order (none while the overview is
    // closed).
    QList<RegisterEntry> entries() const;
    int rowCount() const;
    // The case a row of the list shows, and the row showing a case (-1 for none), so
    // that a view keeps its place across a reload.
    std::optional<CaseKey> keyAt(int viewRow) const;
    // Looked for outwards from the row `near` of the list's rows (register order), where
    // a case stays or moves only a little when another desk adds or removes a few lines.
    int viewRowOf(const std::optional<CaseKey> &key, int near = 0) const;
    // The row of the list's rows (register order) a row of the list shows, -1 for none.
    int sourceRowAt(int viewRow) const;

    // Whether a case window holds a case: what a restore must not pull from under it.
    void setOpenCase(bool open) { m_openCase = open; }
    bool hasOpenCase() const { return m_openCase; }

    // A short word that something was done to a case (saved, updated, a message handed
    // over, a PDF written), said by whatever did it once the write has succeeded and
    // passed on as confirmed(): the clerk sees it without a box to click away, even when
    // the window that did it has closed.
    void confirm(const QString &text);

signals:
    void caseAdded(const RegisterEntry &entry);
    void caseReplaced(const RegisterEntry &entry);
    void caseRemoved(const RegisterEntry &entry);
    // Every row was read anew from the register.
    void reloaded();
    // refresh() was called: the overview starts its deferred refresh.
    void refreshRequested();
    // The last queued write is done and its window has heard the result.
    void writesDone();
    // See confirm().
    void confirmed(const QString &text);

private:
    struct ReadShared;
    struct ReadResult;

    enum class WriteKind
    {
        RemoveLines,
        RemoveCases,
        Replace,
    };
    struct Write
    {
        WriteKind kind;
        QList<RegisterEntry> cases; // Replace: the updated case alone
        QPointer<QObject> context;
        Done done;
    };
    static StoreResult store(
        WriteKind kind, const QList<RegisterEntry> &cases, const ListOrder &order, WrittenRegister *written);
    StoreResult apply(WriteKind kind, const QList<RegisterEntry> &cases, const StoreResult &result,
        WrittenRegister *written);
    StoreResult storeAndApply(WriteKind kind, const QList<RegisterEntry> &cases);
    void takeWritten(WrittenRegister &written);
    void write(Write write);
    void startWrite();
    void writeEnded(const StoreResult &result, const std::shared_ptr<WrittenRegister> &written);
    void close();
    bool readsOnWorker() const;
    void startRead();
    void takeRead(quint64 generation, const std::shared_ptr<ReadResult> &result);
    void apply(ReadResult &result);
    void dropRows(const QList<RegisterEntry> &cases, const WrittenRegister *written = nullptr);
    void announceRemoved(const QList<RegisterEntry> &cases);

    QObject *m_viewer = nullptr; // the overview the rows are for

    CaseListModel *m_model = nullptr;
    CaseSortProxy *m_proxy = nullptr;
    FileFollower *m_follower = nullptr;
    bool m_openCase = false;

    std::shared_ptr<ReadShared> m_readShared;
    qint64 m_workerFromBytes = WorkerFromBytes;
    bool m_reading = false;
    bool m_readWanted = false; // another reload was asked while reading
    bool m_rowsMoved = false; // the rows changed while reading
    QList<CaseKey> m_lookFor; // the cases the running read looks for
    // Where the read being shown found them, while reloaded() is emitted.
    QList<CaseKey> m_foundKeys;
    QList<qint32> m_foundRows;
    bool m_noteEmpty = false; // load(): an empty result goes to the error log
    // The writes asked for, the first one running on m_writer; the pool's one thread is
    // waited for when the list goes, so a write is never cut off half way.
    QList<Write> m_writes;
    std::unique_ptr<QThreadPool> m_writer;
    int m_workerFrom = 20000; // as the search's
};

} // namespace lunora
