// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <chrono>

class QProcess;
class QTimer;

namespace lunora {

// The beginning and the end of what a command writes to one of its channels, read as it
// comes: a command may print without end, and what it says first and last is what
// explains a failure.
class KeptOutput final
{
public:
    static constexpr qsizetype Part = 8000; // bytes kept of the beginning, and of the end

    void add(const QByteArray &bytes);
    // The beginning, and the end after a marker where something was left out.
    QByteArray text() const;

private:
    QByteArray m_head;
    QByteArray m_tail;
    qint64 m_dropped = 0;
};

// A program the desk starts (the SMS command, kdeconnect-cli), without a shell, in a
// process group of its own, so that a shell script's children end with it. Its output is
// read as it comes and kept in part (KeptOutput), so that its time limit holds whatever
// it prints; at the limit, and when the run goes while the command still runs, the whole
// group is ended.
class CommandRun final : public QObject
{
    Q_OBJECT

public:
    enum class End
    {
        Exited, // exitCode() says how
        Crashed,
        FailedToStart, // errorString() says why
        TimedOut,
    };

    explicit CommandRun(QObject *parent = nullptr);
    ~CommandRun() override;

    bool isRunning() const { return m_running; }
    // False (nothing started) while a run is going on.
    bool start(const QString &program, const QStringList &arguments, std::chrono::milliseconds limit);
    int exitCode() const;
    QString errorString() const;
    QString program() const; // as started
    QByteArray standardOutput() const { return m_output.text(); }
    QByteArray standardError() const { return m_error.text(); }

signals:
    void ended(lunora::CommandRun::End end);

private:
    void readOutput();
    void finish(End end);
    void endGroup();

    QProcess *m_process = nullptr;
    QTimer *m_timer = nullptr;
    KeptOutput m_output;
    KeptOutput m_error;
    bool m_running = false;
};

} // namespace lunora
