// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/pushbutton.h"

#include <QKeyEvent>
#include <QShortcut>

namespace lunora {

PushButton::PushButton(const QString &caption, QWidget *parent)
    : QPushButton(caption, parent)
{
    setAutoDefault(false);
}

void PushButton::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    // Enter alone (the keypad's counts); with Ctrl or Alt it stays a window's shortcut.
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (isEnabled())
            click();
        event->accept();
        return;
    }
    QPushButton::keyPressEvent(event);
}

QPushButton *makePushButton(QWidget *parent, const QString &objectName, const QString &caption)
{
    auto *button = new PushButton(caption, parent);
    button->setObjectName(objectName);
    return button;
}

void addCloseKeys(QWidget *window, QPushButton *closeButton)
{
    for (const QKeySequence &keys : { QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W) }) {
        auto *shortcut = new QShortcut(keys, window);
        shortcut->setContext(Qt::WindowShortcut);
        QObject::connect(shortcut, &QShortcut::activated, closeButton, &QPushButton::click);
    }
}

} // namespace lunora
