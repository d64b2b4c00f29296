// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// Waiting for the folder lock in the windows: the "Upptaget" box with "Avbryt" after
// 100 ms, the give-up box, and no window closed under the box by its own timer.

#include "common/otherdesk.h"
#include "gui/lockwaitbox.h"
#include "gui/messagebox.h"
#include "support_guifixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace lunora;
using std::chrono::milliseconds;

namespace {

using test::OtherDesk;

struct SeenBox
{
    bool seen = false;
    QString title;
    QString text;
    QStringList buttons;
    bool modal = false;
};

SeenBox look(QMessageBox *box)
{
    SeenBox seen;
    if (!box || !box->isVisible())
        return seen;
    seen.seen = true;
    seen.title = box->windowTitle();
    seen.text = box->text();
    for (QAbstractButton *button : box->buttons())
        seen.buttons.append(button->text());
    seen.modal = box->isModal();
    return seen;
}

} // namespace

class TestLockWait final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { LockWaitBox::install(); }
    void quietWhenTheLockIsFree();
    void boxWhileWaitingAndNoTimedCloseUnderIt();
    void avbrytEndsTheWait();
    void givesUpAfterTheTimeAllowed();
    void busyBoxWording();
};

void TestLockWait::quietWhenTheLockIsFree()
{
    test::TestDataFolder folder;
    FolderLock lock = FolderLock::acquire();
    QVERIFY(lock.held());
    QVERIFY(!LockWaitBox::instance()->box());
}

void TestLockWait::boxWhileWaitingAndNoTimedCloseUnderIt()
{
    test::TestDataFolder folder;
    auto *window = new QWidget();
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    QPointer<QWidget> guard(window);
    // A window's timer that closes it (as the case window does two seconds after a
    // print) fires while the box is up.
    QTimer::singleShot(150, window, [window] { window->close(); });

    OtherDesk other(folder.path(), 600);
    QVERIFY(other.locked());
    SeenBox during;
    bool windowOpenUnderBox = false;
    // Events run only once the box is up, so the first tick that sees a box tells
    // when it came: not before 100 ms.
    QElapsedTimer clock;
    qint64 firstSeen = -1;
    QTimer watch;
    watch.setInterval(1);
    connect(&watch, &QTimer::timeout, this, [&] {
        if (firstSeen < 0 && LockWaitBox::instance()->box())
            firstSeen = clock.elapsed();
    });
    watch.start();
    clock.start();
    QTimer::singleShot(300, this, [&] {
        during = look(LockWaitBox::instance()->box());
        windowOpenUnderBox = guard && guard->isVisible();
    });
    FolderLock lock = FolderLock::acquire();
    QVERIFY(lock.held());
    QVERIFY(firstSeen >= 100);
    QVERIFY(during.seen);
    QCOMPARE(during.title, QStringLiteral("Upptaget"));
    QCOMPARE(during.text, QStringLiteral("Väntar på en annan kassa …"));
    QCOMPARE(during.buttons, QStringList { QStringLiteral("Avbryt") });
    QVERIFY(during.modal);
    QVERIFY(windowOpenUnderBox);
    QVERIFY(!LockWaitBox::instance()->box());
    lock.release();
    // The close the timer asked for happens once the wait is over.
    QVERIFY(test::runUntil([&] { return guard.isNull(); }, 5000));
}

void TestLockWait::avbrytEndsTheWait()
{
    test::TestDataFolder folder;
    OtherDesk other(folder.path(), 60000);
    QVERIFY(other.locked());
    QTimer::singleShot(250, this, [] {
        if (QMessageBox *box = LockWaitBox::instance()->box())
            box->buttons().value(0)->click();
    });
    FolderLock lock = FolderLock::acquire();
    QCOMPARE(lock.error(), FolderLock::Error::Cancelled);
    QVERIFY(!LockWaitBox::instance()->box());
}

void TestLockWait::givesUpAfterTheTimeAllowed()
{
    test::TestDataFolder folder;
    OtherDesk other(folder.path(), 60000);
    QVERIFY(other.locked());
    FolderLock lock = FolderLock::acquire(nullptr, milliseconds { 400 });
    QCOMPARE(lock.error(), FolderLock::Error::Busy);
    QVERIFY(!LockWaitBox::instance()->box());
    // Nothing waits any longer: the next try after the other desk is gone succeeds.
}

void TestLockWait::busyBoxWording()
{
    // A real modal box, answered by a timer.
    SeenBox seen;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QTimer::singleShot(100, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        seen = look(box);
        icon = box->icon();
        box->buttons().value(0)->click();
    });
    showFolderBusy(nullptr);
    QCOMPARE(seen.title, QStringLiteral("Upptaget"));
    QCOMPARE(seen.text, QStringLiteral("En annan kassa arbetar med ärendena. Försök igen om en stund."));
    QCOMPARE(seen.buttons, QStringList { QStringLiteral("OK") });
    QCOMPARE(icon, QMessageBox::Warning);
}

QTEST_MAIN(TestLockWait)
#include "tst_lockwait.moc"
