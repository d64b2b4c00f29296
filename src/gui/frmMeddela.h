// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "storage/messagetemplates.h"
#include "storage/storetypes.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace lunora {

class SmsSender;
struct SmsOutcome;

// "Meddela kunden": a message about one saved case, filled in from a template and sent
// by e-mail (through the desktop's mail program) or as a text message (through the
// desk's SMS command, set up in "SMS-inställningar…"). Each message sent or handed over
// adds a line to the case's history; copying the text adds none.
class frmMeddela final : public QDialog
{
    Q_OBJECT

public:
    explicit frmMeddela(QWidget *parent = nullptr);
    ~frmMeddela() override;

    // The case to write about: its register line and the total the case window shows.
    // Reads the templates, the customer card, the company's first line and the notes.
    void setCase(const RegisterEntry &entry, double total, CaseState state = CaseState::Saved);
    // The SMS runner, for tests that shorten its time limit.
    SmsSender *smsSender() const { return m_sms; }

signals:
    // A history line was added (or noted as lost): the history window may re-read.
    void messageNoted(const QString &event);

private:
    struct State
    {
        QString controlCode;
        CaseState caseState = CaseState::Saved;
        MessageValues values;
        QList<MessageTemplate> templates;
    };

    void onTemplateChosen(int index);
    void onSendEmail();
    void onSendSms();
    void onCopy();
    void onSmsFinished(const SmsOutcome &outcome);
    bool offerSmsSettings();
    void showSmsSettings(); // "SMS-inställningar…"
    // The history line, and the overview's word of what was done.
    void noteSent(const QString &event, const QString &done);
    QString templateName() const;
    void setSending(bool sending);

    State m_state;
    QString m_pendingEvent;
    QString m_pendingMobile;
    QLineEdit *m_txtEpost = nullptr;
    QLineEdit *m_txtMobil = nullptr;
    QComboBox *m_cboMall = nullptr;
    QPlainTextEdit *m_txtMeddelande = nullptr;
    QLabel *m_lblStatus = nullptr;
    QPushButton *m_cmdEpost = nullptr;
    QPushButton *m_cmdSms = nullptr;
    QPushButton *m_cmdKopiera = nullptr;
    QPushButton *m_cmdSmsInstallningar = nullptr;
    QPushButton *m_cmdAvbryt = nullptr;
    SmsSender *m_sms = nullptr;
};

} // namespace lunora
