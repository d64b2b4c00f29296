// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

// How a message leaves the desk. The program sends nothing itself: an e-mail is handed
// to the desktop's mail program, a text message to the desk's SMS command (a program
// such as kdeconnect-cli, started without a shell).

#include "storage/desksettings.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <chrono>
#include <functional>

namespace lunora {

class CommandRun;

namespace mail {
// mailto:<address>?subject=…&body=…, every part percent-encoded as UTF-8.
QUrl mailtoUrl(const QString &address, const QString &subject, const QString &body);
// Hands the URL to the mail program; false when no program took it.
using Opener = std::function<bool(const QUrl &url)>;
bool open(const QString &address, const QString &subject, const QString &body);
// Tests put an opener of their own in place; an empty one brings back the desktop's.
void setOpener(Opener opener);
} // namespace mail

// The outcome of one run of the SMS command.
struct SmsOutcome
{
    enum class Kind
    {
        Sent, // the command ended with exit code 0
        Failed, // it ended otherwise, or could not be started
        TimedOut, // it ran longer than allowed and was stopped
    };
    Kind kind = Kind::Sent;
    QString errorOutput; // what the command wrote to stderr (stdout when stderr is empty)
};

// Runs the SMS command in the background, one run at a time (see gui/commandrun.h: its
// own process group, at most the first and last 8 kB of its output kept, the time limit
// held whatever it prints).
class SmsSender final : public QObject
{
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds defaultTimeout { 15000 };

    explicit SmsSender(QObject *parent = nullptr);
    ~SmsSender() override;

    void setTimeout(std::chrono::milliseconds timeout) { m_timeout = timeout; }
    bool isRunning() const;
    // Starts the command with {mobil} and {text} filled in; false (nothing started)
    // while a run is going on.
    bool start(const SmsCommand &command, const QString &mobile, const QString &text);

signals:
    void finished(const lunora::SmsOutcome &outcome);

private:
    CommandRun *m_run = nullptr;
    std::chrono::milliseconds m_timeout = defaultTimeout;
};

namespace kdeconnect {
// The phones KDE Connect can reach now (kdeconnect-cli --list-available --name-only),
// asked in the background for at most as long as an SMS may take; `done` gets the
// names, or an error text when the program is missing, failed or did not answer.
void listPhones(
    QObject *context, const std::function<void(const QStringList &phones, const QString &error)> &done);
} // namespace kdeconnect

} // namespace lunora
