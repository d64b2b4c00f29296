// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "backup/presence.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lunora {

namespace {
// Every desk's user opens the file for writing to lock it: where the folder is shared
// by its group, so is the file. Only a file made here: an existing one keeps its mode.
void shareWithFolderGroup(int fd, const QString &dataFolder)
{
    struct stat folder
    {
    };
    struct stat file
    {
    };
    if (::stat(QFile::encodeName(dataFolder).constData(), &folder) == 0 && (folder.st_mode & S_IWGRP)
        && ::fstat(fd, &file) == 0 && !(file.st_mode & S_IWGRP))
        ::fchmod(fd, (file.st_mode & 07777) | S_IRGRP | S_IWGRP);
}
} // namespace

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

bool Presence::enter(const QString &dataFolder)
{
    leave();
    const QByteArray path = QFile::encodeName(presenceFilePath(dataFolder));
    // O_NOFOLLOW: a link planted under the name must not lead the lock elsewhere.
    const int flags = O_RDWR | O_CLOEXEC | O_NOFOLLOW;
    int fd = ::open(path.constData(), flags | O_CREAT | O_EXCL, 0666);
    const bool created = fd >= 0;
    if (fd < 0 && errno == EEXIST)
        fd = ::open(path.constData(), flags);
    if (fd < 0) {
        m_errorText = QStringLiteral("Cannot open %1: %2")
                          .arg(QString::fromLocal8Bit(path), QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    if (created)
        shareWithFolderGroup(fd, dataFolder);
    m_fd = fd;
    if (!setLock(F_RDLCK)) {
        ::close(m_fd);
        m_fd = -1;
        return false;
    }
    return true;
}

void Presence::leave()
{
    if (m_fd >= 0) {
        ::close(m_fd); // drops the lock
        m_fd = -1;
    }
}

bool Presence::setLock(short type)
{
    struct flock request
    {
    };
    request.l_type = type;
    request.l_whence = SEEK_SET;
    request.l_start = 0;
    request.l_len = 0;
    request.l_pid = 0; // must be 0 for open-file-description locks
    if (::fcntl(m_fd, F_OFD_SETLK, &request) == 0)
        return true;
    m_errorText = QString::fromLocal8Bit(std::strerror(errno));
    return false;
}

bool Presence::beginAlone()
{
    if (m_fd < 0)
        return false;
    // Fails at once (EAGAIN) while another description holds a shared lock.
    return setLock(F_WRLCK);
}

void Presence::endAlone()
{
    if (m_fd >= 0 && !setLock(F_RDLCK))
        leave(); // cannot happen for a downgrade; without a lock we are simply not present
}

} // namespace lunora
