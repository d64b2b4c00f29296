// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include <QDialog>
#include <chrono>

class QLabel;
class QLineEdit;
class QPushButton;

namespace lunora {

class DeferredTimer;

// The sign-in window: a user id and a password checked against the user's file. On
// success the session holds who signed in, and the overview opens.
class frmLogin final : public QDialog
{
    Q_OBJECT

public:
    explicit frmLogin(QWidget *parent = nullptr);
    ~frmLogin() override;

    // After this many wrong sign-ins in a row in one run, every further answer waits.
    static constexpr int FreeAttempts = 5;
    // Tests: how long that wait is (3 s otherwise), and a run without wrong sign-ins.
    static void setAnswerDelay(std::chrono::milliseconds delay);
    static void forgetFailedSignIns();

private:
    void onCommand1();
    void onTimer1();
    void showFailure();
    bool passwordMatches(const QString &id, const QString &stored);

    QLineEdit *m_text1 = nullptr;
    QLineEdit *m_text2 = nullptr;
    QPushButton *m_command1 = nullptr;
    QPushButton *m_command2 = nullptr;
    QLabel *m_dbUser = nullptr;
    QLabel *m_dbPass = nullptr;
    QLabel *m_dbRealName = nullptr;
    DeferredTimer *m_timer1 = nullptr;
};

} // namespace lunora
