// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "storage/folderlock.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <atomic>
#include <memory>

class QMessageBox;
class QWidget;

namespace lunora {

// How the windows wait for the folder lock while another desk holds it. Nothing shows
// for the first 100 ms (a lock is normally free within milliseconds); then a modal box
// titled "Upptaget" says "Väntar på en annan kassa …" and offers "Avbryt" while the
// wait goes on. Events keep running meanwhile, so the windows' timers still tick, but
// no window can be closed while the box is up: a close asked for meanwhile is carried
// out when the wait is over.
class LockWaitBox final : public QObject, public FolderLock::Waiter
{
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds quietTime { 100 };

    // Makes the box the waiter of every folder lock the program takes.
    static void install();
    static LockWaitBox *instance();

    void started() override;
    bool wait(std::chrono::milliseconds waited) override;
    void finished() override;

    // The box while it is up (tests press its button), else nullptr: this thread's
    // wait's or a worker's (see WorkerLockWait).
    QMessageBox *box() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    friend class WorkerLockWait;
    LockWaitBox() = default;
    static bool onUiThread();
    static QMessageBox *makeBox();
    void showBox();

    QPointer<QMessageBox> m_box;
    QPointer<QMessageBox> m_workerBox;
    int m_depth = 0; // acquisitions waiting, nested ones included
    bool m_cancelled = false;
    QList<QPointer<QWidget>> m_closesAsked;
};

// The waiter of a write that a worker thread makes for a window: the same quiet 100 ms,
// then the same box, shown on the window's thread; its "Avbryt" makes the worker's wait
// give up (the write ends Busy), and the box goes when the worker's wait ends. Made on
// any thread, used on the worker's (see FolderLock::ThreadWaiter).
class WorkerLockWait final : public FolderLock::Waiter
{
public:
    WorkerLockWait();

    bool wait(std::chrono::milliseconds waited) override;
    void finished() override;

private:
    struct Shared
    {
        std::atomic_bool cancelled { false };
        bool shown = false; // the worker's own
    };
    std::shared_ptr<Shared> m_shared;
};

// The box that ends an operation for which the lock did not come free: 10 s passed or
// the user pressed "Avbryt".
void showFolderBusy(QWidget *parent);

} // namespace lunora
