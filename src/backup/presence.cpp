// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "backup/presence.h"

#include "storage/systemreason.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace lunora {

Presence::~Presence()
{
    leave();
}

QString Presence::presenceFilePath(const QString &dataFolder)
{
    return QDir(dataFolder).filePath(QStringLiteral("lunora.presence"));
}

Presence &Presence::application()
{
    static Presence presence;
    return presence;
}

QString Presence::libPresenceFilePath(const QString &libFolder)
{
    return QDir(libFolder).filePath(QStringLiteral("lunora.presence"));
}

int Presence::openFile(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    // O_NOFOLLOW: a link planted under the name must not lead the lock elsewhere.
    const int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) {
        m_errorText = QStringLiteral("%1 kan inte öppnas: %2").arg(path, systemReason(errno));
        return -1;
    }
    // Every desk's user must be able to lock the file: where the folder is shared by its
    // group, so is this file.
    struct stat file
    {
    };
    struct stat folder
    {
    };
    if (::fstat(fd, &file) == 0
        && ::stat(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), &folder) == 0
        && (folder.st_mode & S_IWGRP) && !(file.st_mode & S_IWGRP))
        (void)::fchmod(fd, (file.st_mode & 07777) | S_IRGRP | S_IWGRP);
    return fd;
}

bool Presence::enter(const QString &dataFolder)
{
    leave();
    m_fd = openFile(presenceFilePath(dataFolder));
    if (m_fd < 0)
        return false;
    if (!setLock(m_fd, F_RDLCK)) {
        leave();
        return false;
    }
    m_libFd = openFile(libPresenceFilePath(QDir(dataFolder).filePath(QStringLiteral("Lib"))));
    if (m_libFd >= 0 && !setLock(m_libFd, F_RDLCK)) {
        leave();
        return false;
    }
    return true;
}

void Presence::leave()
{
    for (int *fd : { &m_fd, &m_libFd, &m_newLibFd }) {
        if (*fd >= 0)
            ::close(*fd); // drops the lock
        *fd = -1;
    }
}

bool Presence::setLock(int fd, short type)
{
    struct flock request
    {
    };
    request.l_type = type;
    request.l_whence = SEEK_SET;
    request.l_start = 0;
    request.l_len = 0;
    request.l_pid = 0; // must be 0 for open-file-description locks
    if (::fcntl(fd, F_OFD_SETLK, &request) == 0)
        return true;
    m_errorText = systemReason(errno);
    return false;
}

bool Presence::beginAlone()
{
    if (m_fd < 0)
        return false;
    // Fails at once (EAGAIN) while another description holds a shared lock.
    if (!setLock(m_fd, F_WRLCK))
        return false;
    if (m_libFd >= 0 && !setLock(m_libFd, F_WRLCK)) {
        (void)setLock(m_fd, F_RDLCK);
        return false;
    }
    return true;
}

void Presence::endAlone()
{
    // A downgrade cannot fail; without a lock we are simply not present.
    if (m_fd >= 0 && !setLock(m_fd, F_RDLCK))
        leave();
    if (m_libFd >= 0 && !setLock(m_libFd, F_RDLCK))
        leave();
}

bool Presence::holdNewLib(const QString &libFolder)
{
    m_newLibFd = openFile(libPresenceFilePath(libFolder));
    if (m_newLibFd >= 0 && setLock(m_newLibFd, F_WRLCK))
        return true;
    if (m_newLibFd >= 0)
        ::close(m_newLibFd);
    m_newLibFd = -1;
    return false;
}

void Presence::swapDone(bool swapped)
{
    int &dropped = swapped ? m_libFd : m_newLibFd;
    if (dropped >= 0)
        ::close(dropped);
    dropped = -1;
    if (swapped)
        m_libFd = std::exchange(m_newLibFd, -1);
}

} // namespace lunora
