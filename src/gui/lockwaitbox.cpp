// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/lockwaitbox.h"

#include "gui/messagebox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <thread>

namespace lunora {

namespace {
// How long one wait() lets events run before the next try for the lock.
constexpr int slice = 10;
} // namespace

void LockWaitBox::install()
{
    FolderLock::setDefaultWaiter(instance());
}

LockWaitBox *LockWaitBox::instance()
{
    static LockWaitBox *box = new LockWaitBox(); // lives as long as the program
    return box;
}

QMessageBox *LockWaitBox::box() const
{
    return m_box ? m_box.data() : m_workerBox.data();
}

bool LockWaitBox::onUiThread()
{
    return qApp && QThread::currentThread() == qApp->thread();
}

void LockWaitBox::started()
{
    if (!onUiThread())
        return;
    if (m_depth++ == 0) {
        m_cancelled = false;
        qApp->installEventFilter(this);
    }
}

bool LockWaitBox::wait(std::chrono::milliseconds waited)
{
    if (!onUiThread()) {
        std::this_thread::sleep_for(std::chrono::milliseconds { slice });
        return true;
    }
    if (!m_box && waited >= quietTime)
        showBox();
    if (m_box) {
        QEventLoop loop;
        QTimer::singleShot(slice, &loop, &QEventLoop::quit);
        loop.exec();
    } else {
        // Before the box no event runs: a short sleep keeps the first tries cheap.
        std::this_thread::sleep_for(std::chrono::milliseconds { 2 });
    }
    return !m_cancelled;
}

void LockWaitBox::finished()
{
    if (!onUiThread() || m_depth == 0 || --m_depth > 0)
        return;
    qApp->removeEventFilter(this);
    if (m_box) {
        m_box->hide();
        m_box->deleteLater();
        m_box = nullptr;
    }
    // The closes asked for while the box was up happen now, after the operation.
    const QList<QPointer<QWidget>> closes = std::exchange(m_closesAsked, {});
    for (const QPointer<QWidget> &window : closes) {
        if (window)
            QMetaObject::invokeMethod(window.data(), &QWidget::close, Qt::QueuedConnection);
    }
}

QMessageBox *LockWaitBox::makeBox()
{
    QWidget *parent = QApplication::activeWindow();
    auto *box = new QMessageBox(QMessageBox::Information, QStringLiteral("Upptaget"),
        QStringLiteral("Väntar på en annan kassa …"), QMessageBox::NoButton, parent);
    box->setObjectName(QStringLiteral("lockWaitBox"));
    box->setAccessibleName(box->windowTitle());
    box->setAccessibleDescription(box->text());
    QAbstractButton *cancel = box->addButton(QStringLiteral("Avbryt"), QMessageBox::RejectRole);
    box->setEscapeButton(cancel);
    box->setWindowModality(Qt::ApplicationModal);
    return box;
}

void LockWaitBox::showBox()
{
    QMessageBox *box = makeBox();
    // Any way the box goes away but finished() counts as "Avbryt".
    connect(box, &QMessageBox::finished, this, [this] { m_cancelled = true; });
    m_box = box;
    box->show();
}

bool LockWaitBox::eventFilter(QObject *watched, QEvent *event)
{
    // Message boxes may close (a box shown by a timer meanwhile is answered as usual);
    // the program's windows may not.
    if (event->type() == QEvent::Close && watched->isWidgetType() && !qobject_cast<QMessageBox *>(watched)) {
        auto *widget = static_cast<QWidget *>(watched);
        if (widget->isWindow()) {
            event->ignore();
            if (!m_closesAsked.contains(widget))
                m_closesAsked.append(widget);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

WorkerLockWait::WorkerLockWait()
    : m_shared(std::make_shared<Shared>())
{
}

bool WorkerLockWait::wait(std::chrono::milliseconds waited)
{
    if (!m_shared->shown && waited >= LockWaitBox::quietTime && qApp) {
        m_shared->shown = true;
        QMetaObject::invokeMethod(
            qApp,
            [shared = m_shared]() {
                LockWaitBox *owner = LockWaitBox::instance();
                QMessageBox *box = LockWaitBox::makeBox();
                // Any way the box goes but the wait's end counts as "Avbryt".
                QObject::connect(box, &QMessageBox::finished, owner, [shared] { shared->cancelled = true; });
                owner->m_workerBox = box;
                box->show();
            },
            Qt::QueuedConnection);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds { slice });
    return !m_shared->cancelled;
}

void WorkerLockWait::finished()
{
    if (!std::exchange(m_shared->shown, false) || !qApp)
        return;
    // Posted after the box's showing, so it runs after it on the window's thread.
    QMetaObject::invokeMethod(
        qApp,
        []() {
            LockWaitBox *owner = LockWaitBox::instance();
            if (QMessageBox *box = owner->m_workerBox) {
                owner->m_workerBox = nullptr;
                box->hide();
                box->deleteLater();
            }
        },
        Qt::QueuedConnection);
}

void showFolderBusy(QWidget *parent)
{
    MessageBox::show(parent, QStringLiteral("Upptaget"),
        QStringLiteral("En annan kassa arbetar med ärendena. Försök igen om en stund."), MessageBox::Ok,
        MessageBox::Exclamation);
}

} // namespace lunora
