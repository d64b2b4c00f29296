// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/notifysend.h"

#include "gui/commandrun.h"
#include "gui/programfailure.h"

#include <QDesktopServices>
#include <QUrlQuery>

namespace lunora {

namespace {

mail::Opener &currentOpener()
{
    static mail::Opener opener;
    return opener;
}

// What a command said: its error output, else its standard output.
QString outputOf(const CommandRun &run)
{
    QString text = QString::fromLocal8Bit(run.standardError()).trimmed();
    if (text.isEmpty())
        text = QString::fromLocal8Bit(run.standardOutput()).trimmed();
    return text;
}

} // namespace

QUrl mail::mailtoUrl(const QString &address, const QString &subject, const QString &body)
{
    // Built by hand: QUrlQuery leaves '+', '&' and '=' in a value as they are, and a
    // mail program reads a '+' in the body as a blank.
    const auto encoded = [](const QString &text) {
        return QString::fromLatin1(
            QUrl::toPercentEncoding(QString(text).replace(u'\n', QStringLiteral("\r\n"))));
    };
    QString url = QStringLiteral("mailto:")
        + QString::fromLatin1(QUrl::toPercentEncoding(address.trimmed(), "@")) + QStringLiteral("?subject=")
        + encoded(subject) + QStringLiteral("&body=") + encoded(body);
    return QUrl(url, QUrl::StrictMode);
}

bool mail::open(const QString &address, const QString &subject, const QString &body)
{
    const QUrl url = mailtoUrl(address, subject, body);
    if (const Opener &opener = currentOpener())
        return opener(url);
    return QDesktopServices::openUrl(url);
}

void mail::setOpener(Opener opener)
{
    currentOpener() = std::move(opener);
}

SmsSender::SmsSender(QObject *parent)
    : QObject(parent)
    , m_run(new CommandRun(this))
{
    connect(m_run, &CommandRun::ended, this, [this](CommandRun::End end) {
        SmsOutcome outcome;
        switch (end) {
        case CommandRun::End::Exited:
            outcome.kind = m_run->exitCode() == 0 ? SmsOutcome::Kind::Sent : SmsOutcome::Kind::Failed;
            break;
        case CommandRun::End::Crashed:
        case CommandRun::End::FailedToStart:
            outcome.kind = SmsOutcome::Kind::Failed;
            break;
        case CommandRun::End::TimedOut:
            outcome.kind = SmsOutcome::Kind::TimedOut;
            break;
        }
        if (outcome.kind != SmsOutcome::Kind::Sent) {
            outcome.errorOutput = outputOf(*m_run);
            if (end == CommandRun::End::FailedToStart)
                outcome.errorOutput = programStartFailure(m_run->program())
                    + (outcome.errorOutput.isEmpty() ? QString() : u'\n' + outcome.errorOutput);
        }
        emit finished(outcome);
    });
}

SmsSender::~SmsSender() = default;

bool SmsSender::isRunning() const
{
    return m_run->isRunning();
}

bool SmsSender::start(const SmsCommand &command, const QString &mobile, const QString &text)
{
    return m_run->start(
        command.program.trimmed(), desksettings::smsArguments(command, mobile, text), m_timeout);
}

void kdeconnect::listPhones(
    QObject *context, const std::function<void(const QStringList &phones, const QString &error)> &done)
{
    auto *run = new CommandRun(context);
    QObject::connect(run, &CommandRun::ended, context, [run, done](CommandRun::End end) {
        if (end == CommandRun::End::Exited && run->exitCode() == 0)
            done(QString::fromLocal8Bit(run->standardOutput()).split(u'\n', Qt::SkipEmptyParts), {});
        else if (end == CommandRun::End::FailedToStart)
            done({}, programStartFailure(run->program()));
        else if (end == CommandRun::End::TimedOut)
            done({}, QStringLiteral("kdeconnect-cli svarade inte i tid."));
        else
            done({}, outputOf(*run));
        run->deleteLater();
    });
    run->start(QStringLiteral("kdeconnect-cli"),
        { QStringLiteral("--list-available"), QStringLiteral("--name-only") }, SmsSender::defaultTimeout);
}

} // namespace lunora
