// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "storage/folderlock.h"

#include <QList>
#include <QObject>
#include <QPointer>

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

    // The box while it is up (tests press its button), else nullptr.
    QMessageBox *box() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    LockWaitBox() = default;
    static bool onUiThread();
    void showBox();

    QPointer<QMessageBox> m_box;
    int m_depth = 0; // acquisitions waiting, nested ones included
    bool m_cancelled = false;
    QList<QPointer<QWidget>> m_closesAsked;
};

// The box that ends an operation for which the lock did not come free: 10 s passed or
// the user pressed "Avbryt".
void showFolderBusy(QWidget *parent);

} // namespace lunora
