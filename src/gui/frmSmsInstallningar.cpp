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

    m_optKdeConnect = new QRadioButton(QStringLiteral("Via en telefon med &KDE Connect"));
    m_optKdeConnect->setObjectName(QStringLiteral("optKdeConnect"));
    m_lblKdeConnect = new QLabel;
    m_lblKdeConnect->setObjectName(QStringLiteral("lblKdeConnect"));
    m_lblKdeConnect->setWordWrap(true);
    m_cboTelefon = new QComboBox;
    m_cboTelefon->setObjectName(QStringLiteral("cboTelefon"));
    // A phone that is not in reach just now can still be named.
    m_cboTelefon->setEditable(true);
    m_cboTelefon->setInsertPolicy(QComboBox::NoInsert);
    m_cmdSok = makePushButton(nullptr, QStringLiteral("cmdSok"), QStringLiteral("Sök telefoner"));

    m_optEget = new QRadioButton(QStringLiteral("Med ett &eget kommando"));
    m_optEget->setObjectName(QStringLiteral("optEget"));
    m_txtProgram = new QLineEdit;
    m_txtProgram->setObjectName(QStringLiteral("txtProgram"));
    m_txtArgument = new QPlainTextEdit;
    m_txtArgument->setObjectName(QStringLiteral("txtArgument"));
    m_txtArgument->setTabChangesFocus(true);
    m_txtArgument->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_txtArgument->setFixedHeight(px(1500));
    auto *placeholders = new QLabel(
        QStringLiteral("{mobil} och {text} står för kundens mobilnummer och meddelandet. Varje rad "
                       "lämnas till programmet som den står, utan att tolkas av något skal."));
    placeholders->setObjectName(QStringLiteral("lblPlatshallare"));
    placeholders->setWordWrap(true);

    auto *choice = new QButtonGroup(this);
    choice->addButton(m_optKdeConnect);
    choice->addButton(m_optEget);

    auto *grid = new QGridLayout;
    grid->setColumnMinimumWidth(0, px(360));
    grid->addWidget(m_optKdeConnect, 0, 0, 1, 4);
    grid->addWidget(m_lblKdeConnect, 1, 1, 1, 3);
    grid->addWidget(captionFor(m_cboTelefon, QStringLiteral("Telefon")), 2, 1);
    grid->addWidget(m_cboTelefon, 2, 2);
    grid->addWidget(m_cmdSok, 2, 3);
    grid->addWidget(m_optEget, 3, 0, 1, 4);
    grid->addWidget(captionFor(m_txtProgram, QStringLiteral("Program")), 4, 1);
    grid->addWidget(m_txtProgram, 4, 2, 1, 2);
    grid->addWidget(captionFor(m_txtArgument, QStringLiteral("Argument, ett per rad")), 5, 1, Qt::AlignTop);
    grid->addWidget(m_txtArgument, 5, 2, 1, 2);
    grid->addWidget(placeholders, 6, 2, 1, 2);
    grid->setColumnStretch(2, 1);

    m_lblStatus = new QLabel;
    m_lblStatus->setObjectName(QStringLiteral("lblStatus"));
    m_lblStatus->setWordWrap(true);

    m_cmdProva = makePushButton(nullptr, QStringLiteral("cmdProva"), QStringLiteral("Prova"));
    m_cmdSpara = makePushButton(nullptr, QStringLiteral("cmdSpara"), QStringLiteral("Spara"));
    m_cmdAvbryt = makePushButton(nullptr, QStringLiteral("cmdAvbryt"), QStringLiteral("Avbryt"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_cmdProva);
    buttons->addStretch();
    buttons->addWidget(m_cmdSpara);
    buttons->addWidget(m_cmdAvbryt);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(m_lblStatus);
    layout->addLayout(buttons);
    setMinimumWidth(px(7200));

    connect(m_optKdeConnect, &QRadioButton::toggled, this, &frmSmsInstallningar::showChoice);
    connect(m_cmdSok, &QPushButton::clicked, this, &frmSmsInstallningar::searchPhones);
    connect(m_cmdProva, &QPushButton::clicked, this, &frmSmsInstallningar::tryCommand);
    connect(m_cmdSpara, &QPushButton::clicked, this, &frmSmsInstallningar::save);
    connect(m_cmdAvbryt, &QPushButton::clicked, this, &QWidget::close);
    addCloseKeys(this, m_cmdAvbryt);
    connect(m_sms, &SmsSender::finished, this, &frmSmsInstallningar::onTried);

    const bool installed = kdeConnectInstalled();
    m_lblKdeConnect->setText(installed
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
        m_cboTelefon->setEditText(*phone);
    if (!kdeConnect) {
        m_txtProgram->setText(command.program);
        m_txtArgument->setPlainText(command.arguments.join(u'\n'));
    }
    m_optKdeConnect->setChecked(kdeConnect);
    m_optEget->setChecked(!kdeConnect);
    showChoice();
}

void frmSmsInstallningar::showChoice()
{
    const bool kdeConnect = m_optKdeConnect->isChecked();
    m_cboTelefon->setEnabled(kdeConnect);
    m_cmdSok->setEnabled(kdeConnect && kdeConnectInstalled());
    m_txtProgram->setEnabled(!kdeConnect);
    m_txtArgument->setEnabled(!kdeConnect);
}

SmsCommand frmSmsInstallningar::command() const
{
    if (m_optKdeConnect->isChecked())
        return desksettings::kdeConnectCommand(m_cboTelefon->currentText().trimmed());
    // An argument may be empty on purpose; the line the cursor leaves after the last one
    // is not an argument.
    QStringList arguments = m_txtArgument->toPlainText().split(u'\n');
    while (!arguments.isEmpty() && arguments.constLast().isEmpty())
        arguments.removeLast();
    return { m_txtProgram->text().trimmed(), arguments };
}

QString frmSmsInstallningar::statusText() const
{
    return m_lblStatus->text();
}

void frmSmsInstallningar::searchPhones()
{
    m_cmdSok->setEnabled(false);
    m_lblStatus->setText(QStringLiteral("Söker telefoner…"));
    kdeconnect::listPhones(
        this, [this](const QStringList &phones, const QString &error) { showPhones(phones, error); });
}

void frmSmsInstallningar::showPhones(const QStringList &phones, const QString &error)
{
    showChoice();
    const QString chosen = m_cboTelefon->currentText();
    m_cboTelefon->clear();
    for (const QString &phone : phones)
        m_cboTelefon->addItem(phone.trimmed());
    m_cboTelefon->setEditText(chosen.isEmpty() && !phones.isEmpty() ? phones.first().trimmed() : chosen);
    if (!error.isEmpty())
        m_lblStatus->setText(QStringLiteral("KDE Connect svarade inte: ") + error);
    else if (phones.isEmpty())
        m_lblStatus->setText(QStringLiteral("Ingen telefon nås just nu. Öppna KDE Connect på telefonen och "
                                            "kontrollera att den är parkopplad med datorn."));
    else
        m_lblStatus->setText(phones.size() == 1
                ? QStringLiteral("En telefon nås via KDE Connect.")
                : QStringLiteral("%1 telefoner nås via KDE Connect.").arg(phones.size()));
}

bool frmSmsInstallningar::checkCommand()
{
    const SmsCommand wanted = command();
    QString missing;
    QWidget *field = nullptr;
    if (m_optKdeConnect->isChecked() && m_cboTelefon->currentText().trimmed().isEmpty()) {
        missing = QStringLiteral("Välj telefonen som SMS ska skickas från.");
        field = m_cboTelefon;
    } else if (wanted.isEmpty()) {
        missing = QStringLiteral("Skriv programmet som skickar SMS.");
        field = m_txtProgram;
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
    m_cmdProva->setEnabled(false);
    m_lblStatus->setText(QStringLiteral("Skickar provmeddelande till %1…").arg(number));
    if (!m_sms->start(command(), number, TestText))
        m_cmdProva->setEnabled(true);
}

void frmSmsInstallningar::onTried(const SmsOutcome &outcome)
{
    m_cmdProva->setEnabled(true);
    if (outcome.kind == SmsOutcome::Kind::Sent) {
        m_lblStatus->setText(QStringLiteral("Provmeddelandet till %1 är skickat.").arg(m_testNumber));
        return;
    }
    m_lblStatus->clear();
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
