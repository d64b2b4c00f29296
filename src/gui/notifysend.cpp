// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/notifysend.h"

#include "gui/programfailure.h"

#include <QDesktopServices>
#include <QProcess>
#include <QTimer>
#include <QUrlQuery>

namespace lunora {

namespace {

mail::Opener &currentOpener()
{
    static mail::Opener opener;
    return opener;
}

QString outputOf(QProcess *process)
{
    QString text = QString::fromLocal8Bit(process->readAllStandardError()).trimmed();
    if (text.isEmpty())
        text = QString::fromLocal8Bit(process->readAllStandardOutput()).trimmed();
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
    , m_process(new QProcess(this))
    , m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    m_process->setProcessChannelMode(QProcess::SeparateChannels);
    connect(m_process, &QProcess::finished, this, &SmsSender::onFinished);
    connect(m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            onStartFailed();
    });
    connect(m_timer, &QTimer::timeout, this, &SmsSender::onTimeout);
}

SmsSender::~SmsSender()
{
    // A command still running when the window goes is stopped, not left behind.
    m_timer->stop();
    m_process->disconnect(this);
    if (m_process->state() != QProcess::NotRunning) {
        m_process->kill();
        m_process->waitForFinished(1000);
    }
}

bool SmsSender::isRunning() const
{
    return m_process->state() != QProcess::NotRunning || m_timer->isActive();
}

bool SmsSender::start(const SmsCommand &command, const QString &mobile, const QString &text)
{
    if (isRunning())
        return false;
    m_timer->start(m_timeout);
    m_process->start(command.program.trimmed(), desksettings::smsArguments(command, mobile, text));
    return true;
}

void SmsSender::onFinished()
{
    if (!m_timer->isActive())
        return; // stopped for running too long: reported already
    m_timer->stop();
    const bool sent = m_process->exitStatus() == QProcess::NormalExit && m_process->exitCode() == 0;
    report(sent ? SmsOutcome::Kind::Sent : SmsOutcome::Kind::Failed);
}

void SmsSender::onTimeout()
{
    const QString output = outputOf(m_process);
    m_process->kill();
    m_process->waitForFinished(1000);
    emit finished({ SmsOutcome::Kind::TimedOut, output });
}

void SmsSender::onStartFailed()
{
    m_timer->stop();
    report(SmsOutcome::Kind::Failed, programStartFailure(m_process->program()));
}

void SmsSender::report(SmsOutcome::Kind kind, const QString &extra)
{
    QString output = outputOf(m_process);
    if (!extra.isEmpty())
        output = output.isEmpty() ? extra : extra + u'\n' + output;
    emit finished({ kind, kind == SmsOutcome::Kind::Sent ? QString() : output });
}

void kdeconnect::listPhones(
    QObject *context, const std::function<void(const QStringList &phones, const QString &error)> &done)
{
    auto *process = new QProcess(context);
    QObject::connect(
        process, &QProcess::errorOccurred, context, [process, done](QProcess::ProcessError error) {
            if (error != QProcess::FailedToStart)
                return;
            done({}, programStartFailure(process->program()));
            process->deleteLater();
        });
    QObject::connect(
        process, &QProcess::finished, context, [process, done](int code, QProcess::ExitStatus status) {
            const QString output = QString::fromLocal8Bit(process->readAllStandardOutput());
            if (status != QProcess::NormalExit || code != 0)
                done({}, outputOf(process));
            else
                done(output.split(u'\n', Qt::SkipEmptyParts), {});
            process->deleteLater();
        });
    process->start(QStringLiteral("kdeconnect-cli"),
        { QStringLiteral("--list-available"), QStringLiteral("--name-only") });
}

} // namespace lunora
