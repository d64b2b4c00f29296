// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/commandrun.h"

#include <QProcess>
#include <QTimer>
#include <csignal>
#include <unistd.h>

namespace lunora {

void KeptOutput::add(const QByteArray &bytes)
{
    const qsizetype toHead = std::min(bytes.size(), Part - m_head.size());
    m_head += bytes.first(toHead);
    m_tail += bytes.sliced(toHead);
    // Trimmed now and then rather than at every piece: a flood costs a copy per Part.
    if (m_tail.size() > 2 * Part) {
        m_dropped += m_tail.size() - Part;
        m_tail = m_tail.last(Part);
    }
}

QByteArray KeptOutput::text() const
{
    if (m_dropped == 0 && m_tail.size() <= Part)
        return m_head + m_tail;
    return m_head + QByteArrayLiteral("\n[…]\n") + m_tail.last(Part);
}

CommandRun::CommandRun(QObject *parent)
    : QObject(parent)
    , m_process(new QProcess(this))
    , m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    m_process->setProcessChannelMode(QProcess::SeparateChannels);
    // A group of its own: at the limit the command's children go with it.
    m_process->setChildProcessModifier([]() { (void)::setpgid(0, 0); });
    connect(m_process, &QProcess::readyReadStandardOutput, this, &CommandRun::readOutput);
    connect(m_process, &QProcess::readyReadStandardError, this, &CommandRun::readOutput);
    connect(m_process, &QProcess::finished, this, [this](int, QProcess::ExitStatus status) {
        finish(status == QProcess::NormalExit ? End::Exited : End::Crashed);
    });
    connect(m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            finish(End::FailedToStart);
    });
    connect(m_timer, &QTimer::timeout, this, [this]() {
        // Ended and reaped here, so that the run may start again at once; the exit this
        // brings is no news.
        m_running = false;
        endGroup();
        m_process->waitForFinished(1000);
        readOutput();
        emit ended(End::TimedOut);
    });
}

CommandRun::~CommandRun()
{
    // A command still running when its window goes is ended, not left behind.
    m_process->disconnect(this);
    if (m_process->state() != QProcess::NotRunning) {
        endGroup();
        m_process->waitForFinished(1000);
    }
}

bool CommandRun::start(const QString &program, const QStringList &arguments, std::chrono::milliseconds limit)
{
    if (m_running || m_process->state() != QProcess::NotRunning)
        return false;
    m_output = {};
    m_error = {};
    m_running = true;
    m_timer->start(limit);
    m_process->start(program, arguments);
    return true;
}

int CommandRun::exitCode() const
{
    return m_process->exitCode();
}

QString CommandRun::program() const
{
    return m_process->program();
}

QString CommandRun::errorString() const
{
    return m_process->errorString();
}

void CommandRun::readOutput()
{
    m_output.add(m_process->readAllStandardOutput());
    m_error.add(m_process->readAllStandardError());
}

void CommandRun::finish(End end)
{
    if (!m_running)
        return; // ended at the limit
    m_running = false;
    m_timer->stop();
    readOutput();
    emit ended(end);
}

void CommandRun::endGroup()
{
    const qint64 pid = m_process->processId();
    if (pid > 0)
        (void)::kill(-pid_t(pid), SIGKILL);
    m_process->kill();
}

} // namespace lunora
