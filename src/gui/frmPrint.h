// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "storage/status.h"

#include <QDialog>

class QCloseEvent;
class QLabel;
class QTimer;

namespace lunora {

// The print progress window: 81 steps, then, when there is a default printer, it says
// so with filled() and the window that opened it prints.
class frmPrint final : public QDialog
{
    Q_OBJECT

public:
    explicit frmPrint(QWidget *parent = nullptr);
    ~frmPrint() override;

    // The widths of the bar and its track in 1/1440 inch.
    int barWidth() const { return m_barWidth; }
    int trackWidth() const { return m_trackWidth; }

signals:
    // The bar is full and a default printer is there: the printout may start.
    void filled();

protected:
    void closeEvent(QCloseEvent *event) override;
    // Escape closes the window like its close button, cancelling the print.
    void reject() override;

private:
    void onTimer1();
    void placeBar();

    QWidget *m_pbarBg = nullptr;
    QLabel *m_pBar = nullptr;
    QLabel *m_label1 = nullptr;
    QTimer *m_timer1 = nullptr;
    // Whole units, so that 81 steps of 40 end exactly at the track's width however the
    // pixels round.
    int m_trackWidth = 0;
    int m_barWidth = 0;
};

// The one message for a printout that failed: "Skrivare saknas" when there is no
// printer, otherwise what went wrong. Nothing for a printout that succeeded.
void showPrintFailure(QWidget *parent, const Status &failure);

} // namespace lunora
