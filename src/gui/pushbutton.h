// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include <QPushButton>

class QKeyEvent;

namespace lunora {

// A button that Enter presses while it has the focus, in any kind of window.
//
// Qt's own "auto default" does that only in a dialog, and there it also leaves the last
// button the focus passed over as the one Enter in a text field presses. These buttons
// press only themselves; a window with one natural action names it with setDefault().
class PushButton final : public QPushButton
{
    Q_OBJECT

public:
    explicit PushButton(const QString &caption, QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

// The one way windows make their buttons: a PushButton with its design name.
QPushButton *makePushButton(QWidget *parent, const QString &objectName, const QString &caption);

// Escape and Ctrl+W press a window's "Stäng" wherever the focus is in the window.
void addCloseKeys(QWidget *window, QPushButton *closeButton);

} // namespace lunora
