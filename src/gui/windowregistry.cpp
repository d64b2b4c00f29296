// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/windowregistry.h"

#include "gui/accessibility.h"
#include "gui/caselist.h"
#include "gui/windowplace.h"

#include <QApplication>
#include <QEvent>

namespace lunora {

namespace {
QHash<QString, QPointer<QWidget>> &windows()
{
    static QHash<QString, QPointer<QWidget>> registry;
    return registry;
}

QPointer<CaseList> &sharedCaseList()
{
    static QPointer<CaseList> list;
    return list;
}

const char *const ClosingProperty = "lunoraClosing";
const char *const PlacedProperty = "lunoraPlaced";

// Notices a window that has been closed (its close event accepted, so it hides) before
// its deferred deletion has run, and takes it out of the registry at once.
class CloseWatcher final : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::Close:
            watched->setProperty(ClosingProperty, true);
            break;
        case QEvent::Show:
            watched->setProperty(ClosingProperty, false);
            break;
        case QEvent::Hide:
            if (watched->property(ClosingProperty).toBool()) {
                if (auto *window = qobject_cast<QWidget *>(watched))
                    windowplace::remember(window);
                forget(watched);
            }
            break;
        default:
            break;
        }
        return false;
    }

private:
    static void forget(QObject *window)
    {
        for (auto it = windows().begin(); it != windows().end(); ++it) {
            if (it.value().data() == window) {
                windows().erase(it);
                return;
            }
        }
    }
};
} // namespace

QWidget *WindowRegistry::lookup(const QString &name)
{
    auto it = windows().find(name);
    if (it == windows().end())
        return nullptr;
    QWidget *window = it.value().data();
    // A window closed while hidden (a state holder) gets no hide event; it is only
    // waiting for its deferred deletion and must not be handed out again.
    if (window && window->isHidden() && window->property(ClosingProperty).toBool())
        window = nullptr;
    if (!window) {
        windows().erase(it);
        return nullptr;
    }
    return window;
}

void WindowRegistry::enroll(QWidget *window)
{
    // Before anything on the screen could ask how the window's controls are described.
    installAccessibleRoles();
    window->setAttribute(Qt::WA_DeleteOnClose, true);
    const QString name = QString::fromLatin1(window->metaObject()->className());
    if (window->objectName().isEmpty())
        window->setObjectName(name);
    windows().insert(name, window);
    window->installEventFilter(new CloseWatcher(window));
    // A deleted window leaves the registry too; a closed one already left it when it
    // hid, so that the next get() builds a fresh one in its loaded state.
    QObject::connect(window, &QObject::destroyed, window, [name, window]() {
        auto it = windows().find(name);
        if (it != windows().end() && (it.value().isNull() || it.value().data() == window))
            windows().erase(it);
    });
}

void WindowRegistry::bringForward(QWidget *window)
{
    if (!window)
        return;
    // The first time only: a window hidden and shown again stays where the user put it.
    if (!window->isVisible() && !window->property(PlacedProperty).toBool()) {
        QWidget *opener = QApplication::activeWindow();
        windowplace::placeOnFirstShow(window, opener == window ? nullptr : opener);
        window->setProperty(PlacedProperty, true);
    }
    window->show();
    if (window->isMinimized())
        window->showNormal();
    window->raise();
    window->activateWindow();
}

void WindowRegistry::closeAll()
{
    const auto all = windows().values();
    windows().clear();
    for (const QPointer<QWidget> &window : all) {
        if (window)
            delete window.data();
    }
    delete sharedCaseList().data();
}

CaseList *WindowRegistry::caseList()
{
    QPointer<CaseList> &list = sharedCaseList();
    // Owned by the application, so that it goes before the objects it uses.
    if (!list)
        list = new CaseList(QCoreApplication::instance());
    return list.data();
}

} // namespace lunora
