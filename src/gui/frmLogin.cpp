// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/frmLogin.h"

#include "gui/deferredtimer.h"
#include "gui/frmArende.h"
#include "gui/frmArendeList.h"
#include "gui/messagebox.h"
#include "gui/units.h"
#include "gui/windowregistry.h"
#include "storage/accounts.h"
#include "storage/session.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace lunora {

namespace {
QLabel *captionLabel(QWidget *parent, const char *name, const QString &text, int left, int top)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    placeAt(label, left, top, 1000, 285);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

QLineEdit *field(QWidget *parent, const char *name, int left, int top, QLabel *label)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    placeAt(edit, left, top, 2055, 285);
    label->setBuddy(edit);
    edit->setAccessibleName(label->text());
    return edit;
}

// State labels below the client area: they hold what the last attempt read.
QLabel *stateLabel(QWidget *parent, const char *name, int top)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    placeAt(label, 120, top, 2000, 255);
    label->hide();
    return label;
}
} // namespace

frmLogin::frmLogin(QWidget *parent)
    : QDialog(parent,
        Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(QStringLiteral("Inloggning"));
    setFont(formFont());
    setClientSize(this, 3375, 1335);

    auto *label1 = captionLabel(this, "Label1", QStringLiteral("Användare"), 120, 120);
    m_text1 = field(this, "Text1", 1200, 120, label1);
    auto *label2 = captionLabel(this, "Label2", QStringLiteral("Lösenord"), 120, 480);
    m_text2 = field(this, "Text2", 1200, 480, label2);
    m_text2->setEchoMode(QLineEdit::Password);
    m_text2->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));

    m_command1 = new QPushButton(QStringLiteral("Logga in"), this);
    m_command1->setObjectName(QStringLiteral("Command1"));
    placeAt(m_command1, 1200, 840, 1095, 375);
    m_command1->setDefault(true);
    m_command2 = new QPushButton(QStringLiteral("Avbryt"), this);
    m_command2->setObjectName(QStringLiteral("Command2"));
    placeAt(m_command2, 2400, 840, 855, 375);

    m_dbUser = stateLabel(this, "dbUser", 1440);
    m_dbPass = stateLabel(this, "dbPass", 1700);
    m_dbRealName = stateLabel(this, "dbRealName", 1960);

    m_timer1 = new DeferredTimer(QStringLiteral("Timer1"), this);

    setTabOrder(m_text1, m_text2);
    setTabOrder(m_text2, m_command1);
    setTabOrder(m_command1, m_command2);
    m_text1->setFocus();

    connect(m_command1, &QPushButton::clicked, this, &frmLogin::onCommand1);
    connect(m_command2, &QPushButton::clicked, this, &frmLogin::close);
    connect(m_timer1, &DeferredTimer::fired, this, &frmLogin::onTimer1);
}

frmLogin::~frmLogin() = default;

void frmLogin::showFailure()
{
    MessageBox::show(this, QStringLiteral("Inloggning misslyckades"),
        QStringLiteral("Felaktigt användarID eller lösenord, var god kontrollera uppgifterna\r\n"
                       "och försök igen."),
        MessageBox::Ok, MessageBox::Exclamation);
}

void frmLogin::onCommand1()
{
    // Only a quick existence test here; the check itself runs on the timer's tick,
    // after this click has been handled. An id that cannot be a file name, or no id at
    // all, fails here and touches nothing.
    const Result<bool> exists = userfile::exists(m_text1->text());
    if (exists.ok() && exists.value()) {
        m_timer1->setInterval(1);
        return;
    }
    m_timer1->setInterval(0);
    showFailure();
}

void frmLogin::onTimer1()
{
    m_timer1->setInterval(0);

    const QString id = m_text1->text();
    const Result<UserRecord> read = userfile::read(id);
    if (!read.ok()) {
        showFailure();
        return;
    }
    const UserRecord &user = read.value();
    m_dbUser->setText(user.user);
    m_dbPass->setText(user.password);

    // Every attempt that reaches the check tells both windows whose name and index were
    // read; the windows are created hidden when they do not exist yet.
    auto *overview = WindowRegistry::get<frmArendeList>();
    overview->setUserIndex(user.index);
    m_dbRealName->setText(user.realName);
    overview->setRealName(m_dbRealName->text());
    auto *caseWindow = WindowRegistry::get<frmArende>();
    caseWindow->setRealName(m_dbRealName->text());

    // Compared exactly: letter case counts, nothing is trimmed.
    if (m_dbUser->text() != id || m_dbPass->text() != m_text2->text()) {
        showFailure();
        return;
    }

    caseWindow->setActiveUser(m_dbRealName->text());
    caseWindow->setSign(m_dbUser->text());
    // Every window and the case store name the one signed in from here on.
    session::signIn({ user.user, user.realName, user.index });
    MessageBox::show(this, QStringLiteral("Inloggning"),
        QStringLiteral("Välkommen ") + m_dbRealName->text() + u'!', MessageBox::Ok, MessageBox::Information);
    WindowRegistry::show<frmArendeList>();
    close();
}

} // namespace lunora
