// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

// The settings of this desk, not of the data folder: what one machine has (a paired
// phone, a mail program) and another need not. They live in
// $XDG_CONFIG_HOME/lunora/lunora.conf (~/.config/lunora/lunora.conf), an INI file
// written by QSettings, each concern in a group of its own.

#include "storage/status.h"

#include <QString>
#include <QStringList>

namespace lunora {

// The command that sends a text message: a program and its arguments, kept apart so
// that no shell ever reads them. {mobil} and {text} in an argument stand for the
// number and the message.
struct SmsCommand
{
    QString program;
    QStringList arguments;
    bool isEmpty() const { return program.trimmed().isEmpty(); }
    friend bool operator==(const SmsCommand &, const SmsCommand &) = default;
};

namespace desksettings {

QString filePath();

// The group [Sms], keys Program and Arguments; an empty command when none is set.
SmsCommand smsCommand();
[[nodiscard]] Status setSmsCommand(const SmsCommand &command);

// The arguments with {mobil} and {text} put in, argument by argument: a placeholder
// brings its value into the one argument it stands in, whatever blanks, quotes or
// signs the value holds.
QStringList smsArguments(const SmsCommand &command, const QString &mobile, const QString &text);

// The ready-made command for KDE Connect: kdeconnect-cli --name <phone> --destination
// {mobil} --send-sms {text}.
SmsCommand kdeConnectCommand(const QString &phoneName);

} // namespace desksettings

} // namespace lunora
