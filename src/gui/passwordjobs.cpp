// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/passwordjobs.h"

#include "gui/lockwaitbox.h"
#include "gui/messagebox.h"
#include "storage/passwords.h"

#include <QApplication>
#include <QStringList>

namespace lunora::passwordjobs {

namespace {

const QString Title = QStringLiteral("Skydda lösenord");
const QString TryAgain
    = QStringLiteral("\r\nKontrollera att mappen Lib\\User går att skriva i och försök igen.");

void showFailure(QWidget *parent, const passwords::Outcome &outcome)
{
    using Error = passwords::Outcome::Error;
    if (outcome.error == Error::Locked && outcome.lockError != FolderLock::Error::Unavailable) {
        showFolderBusy(parent);
        return;
    }
    QString text = QStringLiteral("Lösenorden kunde inte skyddas: ");
    if (outcome.error == Error::FileFailed)
        text += QStringLiteral("användarfilen för %1 gick inte att läsa eller skriva.").arg(outcome.userId);
    else if (outcome.error == Error::MarkFailed)
        text += QStringLiteral("filen Lib\\User\\Losenordsskydd.txt gick inte att skriva.");
    else
        text += QStringLiteral("datamappen gick inte att låsa.");
    MessageBox::show(parent, Title, text + TryAgain, MessageBox::Ok, MessageBox::Critical);
}

void protectAndTell(QWidget *parent)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const passwords::Outcome outcome = passwords::protectFolder();
    QApplication::restoreOverrideCursor();
    if (!outcome.ok()) {
        showFailure(parent, outcome);
        return;
    }
    MessageBox::show(parent, Title,
        QStringLiteral("Lösenorden är skyddade. Ingen kan längre läsa dem i användarfilerna."),
        MessageBox::Ok, MessageBox::Information);
}

} // namespace

void protectPasswords(QWidget *parent)
{
    if (passwords::isProtected() && passwords::unprotectedUsers().isEmpty()) {
        MessageBox::show(parent, Title, QStringLiteral("Lösenorden är redan skyddade."), MessageBox::Ok,
            MessageBox::Information);
        return;
    }
    const MessageBox::Answer answer = MessageBox::show(parent, Title,
        QStringLiteral("Lösenorden sparas då så att ingen kan läsa dem i användarfilerna.\r\n"
                       "Äldre versioner av Lunora kan sedan inte logga in någon användare i den här "
                       "datamappen, så uppdatera programmet vid alla kassor först.\r\n\r\n"
                       "Vill du skydda lösenorden nu?"),
        MessageBox::YesNo, MessageBox::Exclamation, MessageBox::AnswerNo);
    if (answer == MessageBox::AnswerYes)
        protectAndTell(parent);
}

void offerProtection(QWidget *parent)
{
    if (!passwords::isProtected())
        return;
    const QStringList users = passwords::unprotectedUsers();
    if (users.isEmpty())
        return;
    const QString whose = users.size() == 1
        ? QStringLiteral(
            "Användarfilen för %1 har inget skyddat lösenord, så den användaren kan inte logga in.")
        : QStringLiteral(
            "Användarfilerna för %1 har inga skyddade lösenord, så de användarna kan inte logga in.");
    const MessageBox::Answer answer = MessageBox::show(parent, Title,
        whose.arg(users.join(QStringLiteral(", ")))
            + QStringLiteral("\r\nSkydda dem bara om du känner igen användarna.\r\n\r\n"
                             "Vill du skydda lösenorden nu?"),
        MessageBox::YesNo, MessageBox::Exclamation, MessageBox::AnswerNo);
    if (answer == MessageBox::AnswerYes)
        protectAndTell(parent);
}

} // namespace lunora::passwordjobs
