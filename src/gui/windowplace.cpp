// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/windowplace.h"

#include "storage/desksettings.h"

#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace lunora {

namespace {
// How much of a window's top edge must lie on one screen for the user to reach its title
// bar and drag it back: a place on a screen unplugged since is not used.
constexpr int GripWidth = 100;
constexpr int GripHeight = 20;

QString nameOf(const QWidget *window)
{
    return window->objectName().isEmpty() ? QString::fromLatin1(window->metaObject()->className())
                                          : window->objectName();
}

bool reachable(const QRect &place)
{
    const QRect grip(place.x(), place.y(), place.width(), GripHeight);
    const auto screens = QGuiApplication::screens();
    return std::any_of(screens.begin(), screens.end(), [&grip](const QScreen *screen) {
        const QRect onScreen = screen->availableGeometry().intersected(grip);
        return onScreen.width() >= std::min(GripWidth, grip.width()) && onScreen.height() >= GripHeight;
    });
}

QScreen *screenOf(const QWidget *window, const QWidget *opener)
{
    if (opener && opener->screen())
        return opener->screen();
    return window->screen() ? window->screen() : QGuiApplication::primaryScreen();
}
} // namespace

bool windowplace::canGrow(const QWidget *window)
{
    return window->minimumSize() != window->maximumSize();
}

void windowplace::centreOn(QWidget *window, const QWidget *opener)
{
    const QScreen *screen = screenOf(window, opener);
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QRect around = opener && opener->isVisible() ? opener->frameGeometry() : area;
    QRect frame = window->frameGeometry();
    frame.moveCenter(around.center());
    // Never with the title bar above or beside the screen, whatever size the opener has.
    const int x = std::max(area.left(), std::min(frame.x(), area.right() + 1 - frame.width()));
    const int y = std::max(area.top(), std::min(frame.y(), area.bottom() + 1 - frame.height()));
    window->move(x, y);
}

void windowplace::placeOnFirstShow(QWidget *window, const QWidget *opener)
{
    // The layout gives the window its smallest size only once it is activated, which
    // showing would do too late for the sizes below.
    if (QLayout *layout = window->layout())
        layout->activate();
    const std::optional<WindowPlace> saved
        = canGrow(window) ? loadWindowPlace(nameOf(window)) : std::optional<WindowPlace>();
    if (!saved) {
        centreOn(window, opener);
        return;
    }
    // The designed size stays the smallest, whatever the file says.
    const QSize size
        = saved->geometry.size().expandedTo(window->minimumSize()).boundedTo(window->maximumSize());
    const QRect place(saved->geometry.topLeft(), size);
    if (reachable(place)) {
        window->setGeometry(place);
    } else {
        window->resize(size);
        centreOn(window, opener);
    }
    if (saved->maximized)
        window->setWindowState(window->windowState() | Qt::WindowMaximized);
}

void windowplace::remember(const QWidget *window)
{
    if (!canGrow(window))
        return;
    const bool maximized = window->isMaximized();
    const QRect geometry = maximized ? window->normalGeometry() : window->geometry();
    if (!geometry.isValid())
        return;
    (void)saveWindowPlace(nameOf(window), { geometry, maximized });
}

} // namespace lunora
