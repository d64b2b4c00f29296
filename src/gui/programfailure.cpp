// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/programfailure.h"

#include "gui/notifysend.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace lunora {

QString programStartFailure(const QString &program)
{
    const QString name = program.trimmed();
    if (name.isEmpty())
        return QStringLiteral("Inget program är angivet.");
    // A bare name is looked for along PATH, as the process is started.
    const QString path = name.contains(u'/') ? name : QStandardPaths::findExecutable(name);
    const QFileInfo file(path);
    if (path.isEmpty() || !file.exists())
        return QStringLiteral("Programmet \"%1\" kunde inte startas: det finns inte på den här datorn.")
            .arg(name);
    if (file.isDir() || !file.isExecutable())
        return QStringLiteral("Programmet \"%1\" kunde inte startas: filen är inget program som kan köras.")
            .arg(name);
    return QStringLiteral("Programmet \"%1\" kunde inte startas.").arg(name);
}

QString smsFailureText(const SmsOutcome &outcome, const QString &message)
{
    const QString reason = outcome.kind == SmsOutcome::Kind::TimedOut
        ? QStringLiteral("SMS-kommandot svarade inte i tid och avbröts.")
        : QStringLiteral("SMS-kommandot misslyckades.");
    const QString output = outcome.errorOutput.trimmed();
    return reason + QStringLiteral(" %1 skickades inte.").arg(message)
        + (output.isEmpty() ? QString() : QStringLiteral("\r\n\r\n") + output);
}

} // namespace lunora
