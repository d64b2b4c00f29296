// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/frmMeddela.h"

#include "gui/caselist.h"
#include "gui/frmSmsInstallningar.h"
#include "gui/messagebox.h"
#include "gui/notifysend.h"
#include "gui/programfailure.h"
#include "gui/pushbutton.h"
#include "gui/storemessages.h"
#include "gui/windowregistry.h"
#include "storage/casehistory.h"
#include "storage/casestore.h"
#include "storage/desksettings.h"

#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace lunora {

namespace {
const QString Title = QStringLiteral("Meddela kunden");

QLineEdit *labelledField(QGridLayout *grid, int row, const QString &caption, const char *name)
{
    auto *label = new QLabel(caption);
    auto *edit = new QLineEdit;
    edit->setObjectName(QString::fromLatin1(name));
    edit->setAccessibleName(caption);
    label->setBuddy(edit);
    grid->addWidget(label, row, 0);
    grid->addWidget(edit, row, 1);
    return edit;
}

} // namespace

frmMeddela::frmMeddela(QWidget *parent)
    : QDialog(parent)
    , m_sms(new SmsSender(this))
{
    setObjectName(QStringLiteral("frmMeddela"));
    setWindowTitle(Title);
    auto *grid = new QGridLayout(this);
    m_txtEpost = labelledField(grid, 0, QStringLiteral("E-post"), "txtEpost");
    m_txtMobil = labelledField(grid, 1, QStringLiteral("Mobil"), "txtMobil");

    auto *mallLabel = new QLabel(QStringLiteral("Mall"));
    m_cboMall = new QComboBox;
    m_cboMall->setObjectName(QStringLiteral("cboMall"));
    m_cboMall->setAccessibleName(mallLabel->text());
    mallLabel->setBuddy(m_cboMall);
    grid->addWidget(mallLabel, 2, 0);
    grid->addWidget(m_cboMall, 2, 1);

    auto *textLabel = new QLabel(QStringLiteral("Meddelande"));
    m_txtMeddelande = new QPlainTextEdit;
    m_txtMeddelande->setObjectName(QStringLiteral("txtMeddelande"));
    m_txtMeddelande->setAccessibleName(textLabel->text());
    m_txtMeddelande->setTabChangesFocus(true);
    m_txtMeddelande->setMinimumSize(420, 200);
    textLabel->setBuddy(m_txtMeddelande);
    grid->addWidget(textLabel, 3, 0, Qt::AlignTop);
    grid->addWidget(m_txtMeddelande, 3, 1);

    m_lblStatus = new QLabel;
    m_lblStatus->setObjectName(QStringLiteral("lblStatus"));
    grid->addWidget(m_lblStatus, 4, 1);

    auto *buttons = new QDialogButtonBox;
    m_cmdEpost = makePushButton(nullptr, QStringLiteral("cmdEpost"), QStringLiteral("Skicka e-post"));
    m_cmdSms = makePushButton(nullptr, QStringLiteral("cmdSms"), QStringLiteral("Skicka SMS"));
    m_cmdKopiera = makePushButton(nullptr, QStringLiteral("cmdKopiera"), QStringLiteral("Kopiera text"));
    // Here as well as in the Data menu: a clerk without that menu sets up the desk's SMS.
    m_cmdSmsInstallningar = makePushButton(
        nullptr, QStringLiteral("cmdSmsInstallningar"), QStringLiteral("SMS-inställningar…"));
    m_cmdAvbryt = makePushButton(nullptr, QStringLiteral("cmdAvbryt"), QStringLiteral("Avbryt"));
    buttons->addButton(m_cmdEpost, QDialogButtonBox::ActionRole);
    buttons->addButton(m_cmdSms, QDialogButtonBox::ActionRole);
    buttons->addButton(m_cmdKopiera, QDialogButtonBox::ActionRole);
    buttons->addButton(m_cmdSmsInstallningar, QDialogButtonBox::ActionRole);
    buttons->addButton(m_cmdAvbryt, QDialogButtonBox::RejectRole);
    grid->addWidget(buttons, 5, 0, 1, 2);

    connect(m_cboMall, &QComboBox::currentIndexChanged, this, &frmMeddela::onTemplateChosen);
    connect(m_cmdEpost, &QPushButton::clicked, this, &frmMeddela::onSendEmail);
    connect(m_cmdSms, &QPushButton::clicked, this, &frmMeddela::onSendSms);
    connect(m_cmdKopiera, &QPushButton::clicked, this, &frmMeddela::onCopy);
    connect(m_cmdSmsInstallningar, &QPushButton::clicked, this, &frmMeddela::showSmsSettings);
    connect(m_cmdAvbryt, &QPushButton::clicked, this, &frmMeddela::reject);
    connect(m_sms, &SmsSender::finished, this, &frmMeddela::onSmsFinished);
}

frmMeddela::~frmMeddela() = default;

void frmMeddela::setCase(const RegisterEntry &entry, double total, CaseState state)
{
    m_state.controlCode = entry[ControlCode];
    m_state.caseState = state;
    m_state.values = messagetemplates::valuesFor(entry, total);
    const messagetemplates::Contact contact = messagetemplates::contactFor(entry);
    m_txtEpost->setText(contact.email);
    m_txtMobil->setText(contact.mobile);

    Result<QList<MessageTemplate>> templates = messagetemplates::load();
    if (!templates) {
        MessageBox::show(this, Title,
            QStringLiteral("Meddelandemallarna kunde inte läsas:\r\n") + templates.error()
                + QStringLiteral("\r\n\r\nDe inbyggda mallarna används."),
            MessageBox::Ok, MessageBox::Exclamation);
        templates = messagetemplates::builtIn();
    }
    m_state.templates = templates.takeValue();
    const QSignalBlocker blocker(m_cboMall);
    m_cboMall->clear();
    for (const MessageTemplate &t : m_state.templates)
        m_cboMall->addItem(t.name);
    m_cboMall->setCurrentIndex(m_state.templates.isEmpty() ? -1 : 0);
    onTemplateChosen(m_cboMall->currentIndex());
    setWindowTitle(Title + QStringLiteral(" - ") + entry[CaseNumber]);
}

void frmMeddela::onTemplateChosen(int index)
{
    if (index < 0 || index >= m_state.templates.size()) {
        m_txtMeddelande->clear();
        return;
    }
    m_txtMeddelande->setPlainText(messagetemplates::fill(m_state.templates.at(index).text, m_state.values));
}

QString frmMeddela::templateName() const
{
    // A text written without a template is named as such in the history.
    const QString name = m_cboMall->currentText();
    return name.isEmpty() ? QStringLiteral("eget meddelande") : name;
}

void frmMeddela::onSendEmail()
{
    const QString address = m_txtEpost->text().trimmed();
    if (address.isEmpty()) {
        MessageBox::show(this, Title, QStringLiteral("Ange kundens e-postadress."), MessageBox::Ok,
            MessageBox::Exclamation);
        m_txtEpost->setFocus();
        return;
    }
    const QString subject = QStringLiteral("Ärende ") + m_state.values.caseNumber.trimmed()
        + QStringLiteral(": ") + templateName();
    if (!mail::open(address, subject, m_txtMeddelande->toPlainText())) {
        MessageBox::show(this, Title,
            QStringLiteral("E-postprogrammet kunde inte öppnas.\r\n\r\n"
                           "Kopiera texten och skicka den från ert e-postprogram."),
            MessageBox::Ok, MessageBox::Exclamation);
        return;
    }
    noteSent(casehistory::messageByEmail(templateName()),
        QStringLiteral("e-postmeddelandet till %1 är lämnat till e-postprogrammet").arg(address));
    accept();
}

void frmMeddela::onSendSms()
{
    const QString mobile = m_txtMobil->text().trimmed();
    if (mobile.isEmpty()) {
        MessageBox::show(this, Title, QStringLiteral("Ange kundens mobilnummer."), MessageBox::Ok,
            MessageBox::Exclamation);
        m_txtMobil->setFocus();
        return;
    }
    const SmsCommand command = desksettings::smsCommand();
    if (command.isEmpty()) {
        offerSmsSettings();
        return;
    }
    m_pendingEvent = casehistory::messageBySms(mobile, templateName());
    m_pendingMobile = mobile;
    if (m_sms->start(command, mobile, m_txtMeddelande->toPlainText()))
        setSending(true);
}

bool frmMeddela::offerSmsSettings()
{
    const QString how = QStringLiteral("Inget SMS-kommando är inställt på den här datorn.\r\n\r\n"
                                       "Vill du ställa in hur SMS skickas nu?");
    if (MessageBox::show(this, Title, how, MessageBox::YesNo, MessageBox::Information)
        != MessageBox::AnswerYes)
        return false;
    showSmsSettings();
    return true;
}

void frmMeddela::showSmsSettings()
{
    WindowRegistry::show<frmSmsInstallningar>();
}

void frmMeddela::onSmsFinished(const SmsOutcome &outcome)
{
    setSending(false);
    if (outcome.kind == SmsOutcome::Kind::Sent) {
        noteSent(m_pendingEvent, QStringLiteral("SMS till %1 är skickat").arg(m_pendingMobile));
        accept();
        return;
    }
    MessageBox::show(this, Title, smsFailureText(outcome, QStringLiteral("Meddelandet")), MessageBox::Ok,
        MessageBox::Exclamation);
}

void frmMeddela::onCopy()
{
    QGuiApplication::clipboard()->setText(m_txtMeddelande->toPlainText());
    m_lblStatus->setText(QStringLiteral("Texten är kopierad."));
}

void frmMeddela::noteSent(const QString &event, const QString &done)
{
    // The message has left whatever the history says: the confirmation comes either way.
    WindowRegistry::caseList()->confirm(
        QStringLiteral("Ärende %1: %2.").arg(m_state.values.caseNumber.trimmed(), done));
    const StoreResult noted = CaseStore::noteMessage(m_state.controlCode, event, m_state.caseState);
    if (noted.kind == StoreError::CaseRemoved)
        showStoreFailure(this, Title, noted);
    emit messageNoted(event);
}

void frmMeddela::setSending(bool sending)
{
    m_cmdSms->setEnabled(!sending);
    m_cmdEpost->setEnabled(!sending);
    m_lblStatus->setText(sending ? QStringLiteral("Skickar SMS…") : QString());
}

} // namespace lunora
