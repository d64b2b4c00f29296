// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include <QString>

namespace lunora {

struct SmsOutcome;

// Why a program the desk runs (the SMS command, kdeconnect-cli) could not be started, in
// Swedish. Qt words it after the system call that failed ("execvp: Ingen sådan fil eller
// katalog"), which tells a clerk nothing; this names the program and what is wrong with
// it as far as the file system shows.
QString programStartFailure(const QString &program);

// Why the SMS command did not send `message` ("Meddelandet", "Provmeddelandet"): it ran
// too long or failed, then what it wrote (or why it could not start).
QString smsFailureText(const SmsOutcome &outcome, const QString &message);

} // namespace lunora
