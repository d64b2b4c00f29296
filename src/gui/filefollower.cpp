// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/filefollower.h"

#include <QApplication>
#include <QEvent>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QWidget>

namespace lunora {

FileFollower::FileFollower(const QString &name, QObject *parent)
    : QObject(parent)
{
    setObjectName(name);
    m_quiet.setSingleShot(true);
    m_quiet.setInterval(quietMs);
    connect(&m_quiet, &QTimer::timeout, this, &FileFollower::check);
    setWatcherEnabled(true);
}

FileFollower::~FileFollower()
{
    if (m_heldBy)
        m_heldBy->removeEventFilter(this);
}

void FileFollower::follow(const QString &path)
{
    if (path == m_path)
        return;
    if (m_watcher) {
        const QStringList watched = m_watcher->files() + m_watcher->directories();
        if (!watched.isEmpty())
            m_watcher->removePaths(watched);
    }
    m_path = path;
    m_quiet.stop();
    markSeen();
    rewatch();
}

void FileFollower::markSeen()
{
    m_seen = m_path.isEmpty() ? FileStamp() : FileStamp::of(m_path);
}

void FileFollower::setWatcherEnabled(bool on)
{
    if (on == (m_watcher != nullptr))
        return;
    if (!on) {
        delete m_watcher;
        m_watcher = nullptr;
        m_quiet.stop();
        return;
    }
    m_watcher = new QFileSystemWatcher(this);
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, &FileFollower::onWatcherEvent);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &FileFollower::onWatcherEvent);
    rewatch();
}

void FileFollower::rewatch()
{
    if (!m_watcher || m_path.isEmpty())
        return;
    const QFileInfo file(m_path);
    const QString folder = file.absolutePath();
    if (!m_watcher->directories().contains(folder) && QFileInfo(folder).isDir())
        m_watcher->addPath(folder);
    // Only a plain file is watched; what else may stand under its name is not opened
    // by the window either.
    if (!m_watcher->files().contains(m_path) && file.isFile())
        m_watcher->addPath(m_path);
}

void FileFollower::onWatcherEvent()
{
    rewatch();
    // One look per burst: the look waits until the events have calmed down, but not
    // for ever while another desk goes on writing.
    if (!m_quiet.isActive())
        m_burst.start();
    if (!m_quiet.isActive() || m_burst.elapsed() < longestBurstMs)
        m_quiet.start();
}

bool FileFollower::heldBack()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal)
        return false;
    if (m_heldBy != modal) {
        if (m_heldBy)
            m_heldBy->removeEventFilter(this);
        m_heldBy = modal;
        modal->installEventFilter(this);
    }
    return true;
}

bool FileFollower::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_heldBy && (event->type() == QEvent::Hide || event->type() == QEvent::Destroy)) {
        m_heldBy->removeEventFilter(this);
        m_heldBy = nullptr;
        // After the box's handler has finished with what the window shows.
        m_quiet.start();
    }
    return QObject::eventFilter(watched, event);
}

void FileFollower::check()
{
    if (m_path.isEmpty() || heldBack())
        return;
    rewatch();
    // This copy's own write is between changing the file and noting it: looked at again
    // once the file has calmed down.
    if (!m_followOwnWrites && ownwrites::isWriting(m_path)) {
        m_quiet.start();
        return;
    }
    const FileStamp now = FileStamp::of(m_path);
    if (now == m_seen)
        return;
    if (!m_followOwnWrites && ownwrites::follow(m_path, m_seen) == now) {
        m_seen = now; // only this copy wrote: the window shows it already
        return;
    }
    m_seen = now;
    ++m_changes;
    emit changed();
}

} // namespace lunora
