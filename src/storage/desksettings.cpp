// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "storage/desksettings.h"

#include <QDir>
#include <QSettings>

namespace lunora {

namespace {
const QString ProgramKey = QStringLiteral("Sms/Program");
const QString ArgumentsKey = QStringLiteral("Sms/Arguments");
} // namespace

QString desksettings::filePath()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    // A relative value is to be ignored, as the base directory rules say.
    if (config.isEmpty() || QDir::isRelativePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/lunora/lunora.conf");
}

SmsCommand desksettings::smsCommand()
{
    const QSettings settings(filePath(), QSettings::IniFormat);
    return { settings.value(ProgramKey).toString(), settings.value(ArgumentsKey).toStringList() };
}

Status desksettings::setSmsCommand(const SmsCommand &command)
{
    QSettings settings(filePath(), QSettings::IniFormat);
    settings.setValue(ProgramKey, command.program.trimmed());
    settings.setValue(ArgumentsKey, command.arguments);
    settings.sync();
    if (settings.status() != QSettings::NoError)
        return Status::failure(QStringLiteral("Cannot write ") + filePath());
    return {};
}

QStringList desksettings::smsArguments(const SmsCommand &command, const QString &mobile, const QString &text)
{
    QStringList arguments;
    arguments.reserve(command.arguments.size());
    for (QString argument : command.arguments) {
        // One pass over the argument, so that a {text} inside the number (or the other
        // way round) is not replaced a second time.
        QString out;
        qsizetype pos = 0;
        while (pos < argument.size()) {
            if (argument.sliced(pos).startsWith(u"{mobil}")) {
                out += mobile;
                pos += 7;
            } else if (argument.sliced(pos).startsWith(u"{text}")) {
                out += text;
                pos += 6;
            } else {
                out += argument.at(pos++);
            }
        }
        arguments << out;
    }
    return arguments;
}

SmsCommand desksettings::kdeConnectCommand(const QString &phoneName)
{
    return { QStringLiteral("kdeconnect-cli"),
        { QStringLiteral("--name"), phoneName, QStringLiteral("--destination"), QStringLiteral("{mobil}"),
            QStringLiteral("--send-sms"), QStringLiteral("{text}") } };
}

} // namespace lunora
