// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include <QDialog>

class QLabel;
class QTimer;

namespace lunora {

// The start-up window: a progress line fills in 81 steps, then the sign-in window
// opens and this window closes for good.
class frmSplash final : public QDialog
{
    Q_OBJECT

public:
    explicit frmSplash(QWidget *parent = nullptr);
    ~frmSplash() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void onTimer1();
    void placeProgBar();

    QWidget *m_progBarBg = nullptr;
    QWidget *m_progBar = nullptr;
    QLabel *m_progBarCap = nullptr;
    QTimer *m_timer1 = nullptr;
    // Widths in 1/1440 inch, kept as whole units so that every step is exactly 40 units
    // however the pixels round.
    int m_progBarBgWidth = 0;
    int m_progBarWidth = 0;
};

} // namespace lunora
