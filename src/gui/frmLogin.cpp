// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/frmLogin.h"

#include "gui/deferredtimer.h"
#include "gui/frmArende.h"
#include "gui/frmArendeList.h"
#include "gui/messagebox.h"
#include "gui/passwordjobs.h"
#include "gui/units.h"
#include "gui/windowregistry.h"
#include "storage/accounts.h"
#include "storage/passwords.h"
#include "storage/session.h"

#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

namespace lunora {

namespace {
// Wrong sign-ins in a row in this run of the program, whatever id was typed: a guesser
// gets five answers at once, then one every three seconds.
int s_failuresInARow = 0;
std::chrono::milliseconds s_answerDelay { 3000 };

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

void frmLogin::setAnswerDelay(std::chrono::milliseconds delay)
{
    s_answerDelay = delay;
}

void frmLogin::forgetFailedSignIns()
{
    s_failuresInARow = 0;
}

void frmLogin::showFailure()
{
    ++s_failuresInARow;
    QString text = QStringLiteral("Felaktigt användarID eller lösenord, var god kontrollera uppgifterna\r\n"
                                  "och försök igen.");
    if (s_failuresInARow >= FreeAttempts)
        text += QStringLiteral("\r\n\r\nEfter fem felaktiga försök i rad dröjer varje svar 3 sekunder.");
    MessageBox::show(
        this, QStringLiteral("Inloggning misslyckades"), text, MessageBox::Ok, MessageBox::Exclamation);
    // Most often the password was mistyped: it is typed again over the old one.
    m_text2->setFocus(Qt::OtherFocusReason);
    m_text2->selectAll();
}

void frmLogin::onCommand1()
{
    // After too many wrong answers every attempt, with any id, gets its answer from the
    // delayed tick, and the button rests meanwhile so that clicks do not pile up.
    if (s_failuresInARow >= FreeAttempts) {
        m_command1->setEnabled(false);
        m_timer1->setInterval(std::max(1, static_cast<int>(s_answerDelay.count())));
        return;
    }
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
    m_command1->setEnabled(true);

    const QString id = m_text1->text();
    // A delayed attempt comes here untested, and the reader would create a missing file.
    const Result<bool> exists = userfile::exists(id);
    if (!exists.ok() || !exists.value()) {
        showFailure();
        return;
    }
    const Result<UserRecord> read = userfile::read(id);
    if (!read.ok()) {
        showFailure();
        return;
    }
    const UserRecord &user = read.value();
    m_dbUser->setText(user.user);
    m_dbRealName->setText(user.realName);

    // Every attempt that reaches the check has both windows made, hidden, when they do
    // not exist yet; who signed in they learn from the session once the password matched.
    WindowRegistry::get<frmArendeList>();
    WindowRegistry::get<frmArende>();

    // Compared exactly: letter case counts, nothing is trimmed. The password read from
    // the file is held only for the comparison.
    const bool matches = user.user == id && passwordMatches(id, user.password);
    m_dbPass->clear();
    if (!matches) {
        showFailure();
        return;
    }
    s_failuresInARow = 0;

    // Every window and the case history name the one signed in from here on.
    session::signIn({ user.user, user.realName, user.index });
    MessageBox::show(this, QStringLiteral("Inloggning"), QStringLiteral("Välkommen ") + user.realName + u'!',
        MessageBox::Ok, MessageBox::Information);
    if (user.index == u"0")
        passwordjobs::offerProtection(this);
    WindowRegistry::show<frmArendeList>();
    close();
}

bool frmLogin::passwordMatches(const QString &id, const QString &stored)
{
    // Where passwords are protected, the hash decides, and a user file without one
    // signs no one in; that is noted, since only an administrator can mend it.
    const Result<passwords::Verdict> verdict = passwords::verify(id, stored, m_text2->text());
    if (verdict.ok() && verdict.value() == passwords::Verdict::NoHash)
        (void)passwords::logRefusedSignIn(id, QDateTime::currentDateTime());
    return verdict.ok() && verdict.value() == passwords::Verdict::Match;
}

} // namespace lunora
