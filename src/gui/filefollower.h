// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "storage/filestamp.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class QFileSystemWatcher;
class QWidget;

namespace lunora {

// Follows one file of the data folder for a window that shows it, so that the window
// can show what another desk wrote: changed() says that the file is no longer what the
// window last read and that the change was not this copy's own.
//
// The file system watcher reports writes on this machine. It watches the file and its
// folder: an atomic rewrite puts a new file in the old one's place, which the watch on
// the old file does not outlive, so the file is watched anew after every change. What
// another machine writes on a share no watcher reports; the window therefore calls
// check() whenever it is activated, which costs one stat. A burst of events (a desk
// saving many cases) ends in one check after it has calmed down. Nothing polls.
//
// No reload happens under a modal box (a question, the lock's waiting box): the window
// may be in the middle of acting on what it shows. The check waits until the box has
// gone.
class FileFollower final : public QObject
{
    Q_OBJECT

public:
    // How long a burst of events must have calmed down before the file is looked at,
    // and how long a burst may hold the look back at most.
    static constexpr int quietMs = 150;
    static constexpr int longestBurstMs = 1000;

    explicit FileFollower(const QString &name, QObject *parent);
    ~FileFollower() override;

    // The file to follow; an empty path follows nothing. The file need not exist yet.
    void follow(const QString &path);
    QString path() const { return m_path; }
    // Called by the window right before it reads the file: the window has seen at
    // least this state of it.
    void markSeen();
    // The window has seen the file in this state without reading it: it wrote it.
    void markSeen(const FileStamp &stamp) { m_seen = stamp; }
    // Looks at the file now and emits changed() when another desk changed it.
    void check();

    // The watcher can be switched off, as it is in effect on a share where another
    // machine writes (tests; the activation check still works).
    void setWatcherEnabled(bool on);
    bool watcherEnabled() const { return m_watcher != nullptr; }
    // A window that shows this copy's own writes only by reading the file again (the
    // history window) has changed() emitted for them too.
    void setFollowOwnWrites(bool on) { m_followOwnWrites = on; }
    // How many times changed() was emitted (tests count reloads with it).
    int changeCount() const { return m_changes; }

signals:
    void changed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void onWatcherEvent();
    void rewatch();
    bool heldBack();

    QFileSystemWatcher *m_watcher = nullptr;
    QTimer m_quiet;
    QElapsedTimer m_burst;
    QString m_path;
    FileStamp m_seen;
    QPointer<QWidget> m_heldBy; // the modal box a check waits for
    int m_changes = 0;
    bool m_followOwnWrites = false;
};

} // namespace lunora
