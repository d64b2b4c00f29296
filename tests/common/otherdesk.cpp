// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "common/otherdesk.h"

#include "storage/folderlock.h"

#include <QFile>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace lunora::test {

OtherDesk::OtherDesk(const QString &dataFolder, int holdMs)
{
    const QByteArray path = QFile::encodeName(FolderLock::lockFilePath(dataFolder));
    int fds[2];
    if (::pipe(fds) != 0)
        return;
    m_pid = ::fork();
    if (m_pid == 0) {
        char state = 'F';
        const int fd = ::open(path.constData(), O_RDWR | O_CREAT, 0666);
        struct flock request
        {
        };
        request.l_type = F_WRLCK;
        request.l_whence = SEEK_SET;
        if (fd >= 0 && ::fcntl(fd, F_SETLK, &request) == 0)
            state = 'L';
        if (::write(fds[1], &state, 1) != 1)
            ::_exit(2);
        if (holdMs < 0)
            ::pause();
        else
            ::usleep(useconds_t(holdMs) * 1000);
        ::_exit(0);
    }
    ::close(fds[1]);
    char state = 0;
    m_locked = m_pid > 0 && ::read(fds[0], &state, 1) == 1 && state == 'L';
    ::close(fds[0]);
}

OtherDesk::~OtherDesk()
{
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
}

} // namespace lunora::test
