// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "storage/desksettings.h"

#include <QStringList>
#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace lunora {

class SmsSender;
struct SmsOutcome;

// "SMS-inställningar": how this desk sends text messages. Either through a phone paired
// with KDE Connect (the window says whether KDE Connect is on the computer and how to get
// it, and lists the phones it reaches), or through a command of the shop's own, a program
// and its arguments one a line, with {mobil} and {text} where the number and the message
// go. "Prova" sends a test message with what the window shows, before anything is saved;
// "Spara" writes it to the desk's settings file (storage/desksettings.h, group [Sms]).
class frmSmsInstallningar final : public QWidget
{
    Q_OBJECT

public:
    explicit frmSmsInstallningar(QWidget *parent = nullptr);
    ~frmSmsInstallningar() override;

    // The command as the window shows it now.
    SmsCommand command() const;
    // The SMS runner of "Prova", for tests that shorten its time limit.
    SmsSender *smsSender() const { return m_sms; }
    QString statusText() const;

private:
    void showCommand(const SmsCommand &command);
    void showChoice();
    void searchPhones();
    void showPhones(const QStringList &phones, const QString &error);
    // A command that can be tried or saved; otherwise says what is missing and false.
    bool checkCommand();
    void tryCommand(); // "Prova"
    void onTried(const SmsOutcome &outcome);
    void save(); // "Spara"

    QString m_testNumber; // the last number "Prova" sent to, offered again
    QRadioButton *m_useKdeConnect = nullptr;
    QRadioButton *m_useCommand = nullptr;
    QLabel *m_kdeConnectState = nullptr;
    QComboBox *m_phone = nullptr;
    QPushButton *m_findPhones = nullptr;
    QLineEdit *m_program = nullptr;
    QPlainTextEdit *m_arguments = nullptr;
    QLabel *m_status = nullptr;
    QPushButton *m_tryButton = nullptr;
    QPushButton *m_saveButton = nullptr;
    QPushButton *m_cancelButton = nullptr;
    SmsSender *m_sms = nullptr;
};

} // namespace lunora
