// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/frmSmsInstallningar.h"

#include "gui/messagebox.h"
#include "gui/notifysend.h"
#include "gui/programfailure.h"
#include "gui/pushbutton.h"
#include "gui/units.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace lunora {

namespace {
const QString Title = QStringLiteral("SMS-inställningar");
const QString KdeConnectProgram = QStringLiteral("kdeconnect-cli");
const QString TestText = QStringLiteral("Provmeddelande från Lunora: SMS från kassan fungerar.");

QLabel *captionFor(QWidget *field, const QString &caption)
{
    auto *label = new QLabel(caption);
    label->setBuddy(field);
    field->setAccessibleName(caption);
    return label;
}

bool kdeConnectInstalled()
{
    return !QStandardPaths::findExecutable(KdeConnectProgram).isEmpty();
}
} // namespace

frmSmsInstallningar::frmSmsInstallningar(QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_sms(new SmsSender(this))
{
    setObjectName(QStringLiteral("frmSmsInstallningar"));
    setWindowTitle(Title);
    setFont(formFont());

    m_useKdeConnect = new QRadioButton(QStringLiteral("Via en telefon med &KDE Connect"));
    m_useKdeConnect->setObjectName(QStringLiteral("optKdeConnect"));
    m_kdeConnectState = new QLabel;
    m_kdeConnectState->setObjectName(QStringLiteral("lblKdeConnect"));
    m_kdeConnectState->setWordWrap(true);
    m_phone = new QComboBox;
    m_phone->setObjectName(QStringLiteral("cboTelefon"));
    // A phone that is not in reach just now can still be named.
    m_phone->setEditable(true);
    m_phone->setInsertPolicy(QComboBox::NoInsert);
    m_findPhones = makePushButton(nullptr, QStringLiteral("cmdSok"), QStringLiteral("Sök telefoner"));

    m_useCommand = new QRadioButton(QStringLiteral("Med ett &eget kommando"));
    m_useCommand->setObjectName(QStringLiteral("optEget"));
    m_program = new QLineEdit;
    m_program->setObjectName(QStringLiteral("txtProgram"));
    m_arguments = new QPlainTextEdit;
    m_arguments->setObjectName(QStringLiteral("txtArgument"));
    m_arguments->setTabChangesFocus(true);
    m_arguments->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_arguments->setFixedHeight(px(1500));
    auto *placeholders = new QLabel(
        QStringLiteral("{mobil} och {text} står för kundens mobilnummer och meddelandet. Varje rad "
                       "lämnas till programmet som den står, utan att tolkas av något skal."));
    placeholders->setObjectName(QStringLiteral("lblPlatshallare"));
    placeholders->setWordWrap(true);

    auto *choice = new QButtonGroup(this);
    choice->addButton(m_useKdeConnect);
    choice->addButton(m_useCommand);

    auto *grid = new QGridLayout;
    grid->setColumnMinimumWidth(0, px(360));
    grid->addWidget(m_useKdeConnect, 0, 0, 1, 4);
    grid->addWidget(m_kdeConnectState, 1, 1, 1, 3);
    grid->addWidget(captionFor(m_phone, QStringLiteral("Telefon")), 2, 1);
    grid->addWidget(m_phone, 2, 2);
    grid->addWidget(m_findPhones, 2, 3);
    grid->addWidget(m_useCommand, 3, 0, 1, 4);
    grid->addWidget(captionFor(m_program, QStringLiteral("Program")), 4, 1);
    grid->addWidget(m_program, 4, 2, 1, 2);
    grid->addWidget(captionFor(m_arguments, QStringLiteral("Argument, ett per rad")), 5, 1, Qt::AlignTop);
    grid->addWidget(m_arguments, 5, 2, 1, 2);
    grid->addWidget(placeholders, 6, 2, 1, 2);
    grid->setColumnStretch(2, 1);

    m_status = new QLabel;
    m_status->setObjectName(QStringLiteral("lblStatus"));
    m_status->setWordWrap(true);

    m_tryButton = makePushButton(nullptr, QStringLiteral("cmdProva"), QStringLiteral("Prova"));
    m_saveButton = makePushButton(nullptr, QStringLiteral("cmdSpara"), QStringLiteral("Spara"));
    m_cancelButton = makePushButton(nullptr, QStringLiteral("cmdAvbryt"), QStringLiteral("Avbryt"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_tryButton);
    buttons->addStretch();
    buttons->addWidget(m_saveButton);
    buttons->addWidget(m_cancelButton);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(m_status);
    layout->addLayout(buttons);
    setMinimumWidth(px(7200));

    connect(m_useKdeConnect, &QRadioButton::toggled, this, &frmSmsInstallningar::showChoice);
    connect(m_findPhones, &QPushButton::clicked, this, &frmSmsInstallningar::searchPhones);
    connect(m_tryButton, &QPushButton::clicked, this, &frmSmsInstallningar::tryCommand);
    connect(m_saveButton, &QPushButton::clicked, this, &frmSmsInstallningar::save);
    connect(m_cancelButton, &QPushButton::clicked, this, &QWidget::close);
    addCloseKeys(this, m_cancelButton);
    connect(m_sms, &SmsSender::finished, this, &frmSmsInstallningar::onTried);

    const bool installed = kdeConnectInstalled();
    m_kdeConnectState->setText(installed
            ? QStringLiteral("KDE Connect finns på datorn. Telefonen ska vara parkopplad och nåbar.")
            : QStringLiteral("KDE Connect saknas: installera paketet kdeconnect och parkoppla telefonen."));
    showCommand(desksettings::smsCommand());
    if (installed)
        searchPhones();
}

frmSmsInstallningar::~frmSmsInstallningar() = default;

void frmSmsInstallningar::showCommand(const SmsCommand &command)
{
    // A desk without a command starts from KDE Connect, the one that needs no typing.
    const std::optional<QString> phone = desksettings::kdeConnectPhone(command);
    const bool kdeConnect = phone || command.isEmpty();
    if (phone)
        m_phone->setEditText(*phone);
    if (!kdeConnect) {
        m_program->setText(command.program);
        m_arguments->setPlainText(command.arguments.join(u'\n'));
    }
    m_useKdeConnect->setChecked(kdeConnect);
    m_useCommand->setChecked(!kdeConnect);
    showChoice();
}

void frmSmsInstallningar::showChoice()
{
    const bool kdeConnect = m_useKdeConnect->isChecked();
    m_phone->setEnabled(kdeConnect);
    m_findPhones->setEnabled(kdeConnect && kdeConnectInstalled());
    m_program->setEnabled(!kdeConnect);
    m_arguments->setEnabled(!kdeConnect);
}

SmsCommand frmSmsInstallningar::command() const
{
    if (m_useKdeConnect->isChecked())
        return desksettings::kdeConnectCommand(m_phone->currentText().trimmed());
    // An argument may be empty on purpose; the line the cursor leaves after the last one
    // is not an argument.
    QStringList arguments = m_arguments->toPlainText().split(u'\n');
    while (!arguments.isEmpty() && arguments.constLast().isEmpty())
        arguments.removeLast();
    return { m_program->text().trimmed(), arguments };
}

QString frmSmsInstallningar::statusText() const
{
    return m_status->text();
}

void frmSmsInstallningar::searchPhones()
{
    m_findPhones->setEnabled(false);
    m_status->setText(QStringLiteral("Söker telefoner…"));
    kdeconnect::listPhones(
        this, [this](const QStringList &phones, const QString &error) { showPhones(phones, error); });
}

void frmSmsInstallningar::showPhones(const QStringList &phones, const QString &error)
{
    showChoice();
    const QString chosen = m_phone->currentText();
    m_phone->clear();
    for (const QString &phone : phones)
        m_phone->addItem(phone.trimmed());
    m_phone->setEditText(chosen.isEmpty() && !phones.isEmpty() ? phones.first().trimmed() : chosen);
    if (!error.isEmpty())
        m_status->setText(QStringLiteral("KDE Connect svarade inte: ") + error);
    else if (phones.isEmpty())
        m_status->setText(QStringLiteral("Ingen telefon nås just nu. Öppna KDE Connect på telefonen och "
                                         "kontrollera att den är parkopplad med datorn."));
    else
        m_status->setText(phones.size() == 1
                ? QStringLiteral("En telefon nås via KDE Connect.")
                : QStringLiteral("%1 telefoner nås via KDE Connect.").arg(phones.size()));
}

bool frmSmsInstallningar::checkCommand()
{
    const SmsCommand wanted = command();
    QString missing;
    QWidget *field = nullptr;
    if (m_useKdeConnect->isChecked() && m_phone->currentText().trimmed().isEmpty()) {
        missing = QStringLiteral("Välj telefonen som SMS ska skickas från.");
        field = m_phone;
    } else if (wanted.isEmpty()) {
        missing = QStringLiteral("Skriv programmet som skickar SMS.");
        field = m_program;
    }
    if (!missing.isEmpty()) {
        MessageBox::show(this, Title, missing, MessageBox::Ok, MessageBox::Exclamation);
        field->setFocus();
        return false;
    }
    const QString arguments = wanted.arguments.join(u'\n');
    if (arguments.contains(QStringLiteral("{mobil}")) && arguments.contains(QStringLiteral("{text}")))
        return true;
    const MessageBox::Answer answer = MessageBox::show(this, Title,
        QStringLiteral("Argumenten saknar {mobil} eller {text}, så programmet får inte veta vart "
                       "meddelandet ska eller vad det säger.\r\n\r\nVill du fortsätta ändå?"),
        MessageBox::YesNo, MessageBox::Exclamation, MessageBox::AnswerNo);
    return answer == MessageBox::AnswerYes;
}

void frmSmsInstallningar::tryCommand()
{
    if (m_sms->isRunning() || !checkCommand())
        return;
    bool given = false;
    const QString number = QInputDialog::getText(this, QStringLiteral("Prova"),
        QStringLiteral("Skicka ett provmeddelande till mobilnummer:"), QLineEdit::Normal, m_testNumber,
        &given)
                               .trimmed();
    if (!given || number.isEmpty())
        return;
    m_testNumber = number;
    m_tryButton->setEnabled(false);
    m_status->setText(QStringLiteral("Skickar provmeddelande till %1…").arg(number));
    if (!m_sms->start(command(), number, TestText))
        m_tryButton->setEnabled(true);
}

void frmSmsInstallningar::onTried(const SmsOutcome &outcome)
{
    m_tryButton->setEnabled(true);
    if (outcome.kind == SmsOutcome::Kind::Sent) {
        m_status->setText(QStringLiteral("Provmeddelandet till %1 är skickat.").arg(m_testNumber));
        return;
    }
    m_status->clear();
    MessageBox::show(this, Title, smsFailureText(outcome, QStringLiteral("Provmeddelandet")), MessageBox::Ok,
        MessageBox::Exclamation);
}

void frmSmsInstallningar::save()
{
    if (!checkCommand())
        return;
    if (const Status saved = desksettings::setSmsCommand(command()); !saved) {
        MessageBox::show(this, Title, QStringLiteral("Inställningen kunde inte sparas:\r\n") + saved.error(),
            MessageBox::Ok, MessageBox::Exclamation);
        return;
    }
    close();
}

} // namespace lunora
