// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "storage/folderlock.h"

#include "storage/datafolder.h"
#include "storage/systemreason.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace lunora {

namespace {

using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

// What this process holds. The mutex keeps other threads out for as long as one thread
// holds the lock; the depth counts the nested acquisitions of that thread.
struct ProcessLock
{
    std::recursive_mutex mutex;
    int fd = -1;
    int depth = 0;
    QByteArray path;
};

ProcessLock &processLock()
{
    static ProcessLock lock;
    return lock;
}

std::atomic<long long> s_contended { 0 };
std::atomic<FolderLock::Waiter *> s_defaultWaiter { nullptr };
thread_local FolderLock::Waiter *t_threadWaiter = nullptr;

QString systemError(const char *what, const QByteArray &path, int error)
{
    return QStringLiteral("%1 %2: %3")
        .arg(QString::fromLatin1(what), QString::fromLocal8Bit(path), systemReason(error));
}

enum class Attempt
{
    Taken,
    Busy,
    Failed
};

// Opens the lock file, creating it when missing. Anything but a plain file (a link, a
// FIFO, a device, a folder) is refused before it is opened: such a file in Lib is a
// trap, not our lock file.
int openLockFile(const QByteArray &path, QString &errorText)
{
    struct stat st
    {
    };
    if (::lstat(path.constData(), &st) == 0 && !S_ISREG(st.st_mode)) {
        errorText = QStringLiteral("%1 är ingen vanlig fil").arg(QString::fromLocal8Bit(path));
        return -1;
    }
    const int flags = O_RDWR | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
    bool created = true;
    int fd = ::open(path.constData(), flags | O_CREAT | O_EXCL, 0666);
    if (fd < 0 && errno == EEXIST) {
        created = false;
        fd = ::open(path.constData(), flags);
    }
    if (fd < 0) {
        errorText = systemError("Cannot open the lock file", path, errno);
        return -1;
    }
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        errorText = QStringLiteral("%1 är ingen vanlig fil").arg(QString::fromLocal8Bit(path));
        return -1;
    }
    if (created) {
        // Every desk's user must be able to lock the file: where the folder is shared
        // by its group, so is the lock file.
        const QByteArray folder = QFile::encodeName(QFileInfo(QFile::decodeName(path)).absolutePath());
        struct stat dir
        {
        };
        if (::stat(folder.constData(), &dir) == 0 && (dir.st_mode & S_IWGRP) && !(st.st_mode & S_IWGRP))
            ::fchmod(fd, (st.st_mode & 07777) | S_IRGRP | S_IWGRP);
    }
    return fd;
}

Attempt tryLock(ProcessLock &state, const QByteArray &path, QString &errorText)
{
    if (state.depth > 0) {
        if (state.path != path) {
            errorText = QStringLiteral("Låset för en annan datamapp hålls redan: %1")
                            .arg(QString::fromLocal8Bit(state.path));
            return Attempt::Failed;
        }
        ++state.depth;
        return Attempt::Taken;
    }
    const int fd = openLockFile(path, errorText);
    if (fd < 0)
        return Attempt::Failed;
    struct flock request
    {
    };
    request.l_type = F_WRLCK;
    request.l_whence = SEEK_SET;
    request.l_start = 0;
    request.l_len = 0; // the whole file, however long it grows
    int result;
    do {
        result = ::fcntl(fd, F_SETLK, &request);
    } while (result != 0 && errno == EINTR);
    if (result == 0) {
        state.fd = fd;
        state.depth = 1;
        state.path = path;
        return Attempt::Taken;
    }
    const int error = errno;
    ::close(fd);
    if (error == EACCES || error == EAGAIN)
        return Attempt::Busy;
    // ENOLCK: the file system offers no locks (an NFS mount without its lock service).
    errorText = systemError("Cannot lock", path, error);
    return Attempt::Failed;
}

} // namespace

QString FolderLock::lockFilePath(const QString &dataFolder)
{
    return QDir(dataFolder).filePath(QStringLiteral("Lib/lunora.lock"));
}

void FolderLock::setDefaultWaiter(Waiter *waiter)
{
    s_defaultWaiter = waiter;
}

FolderLock::ThreadWaiter::ThreadWaiter(Waiter *waiter)
    : m_previous(std::exchange(t_threadWaiter, waiter))
{
}

FolderLock::ThreadWaiter::~ThreadWaiter()
{
    t_threadWaiter = m_previous;
}

FolderLock FolderLock::acquire(Waiter *waiter, milliseconds timeout)
{
    return acquireIn(DataFolder::root(), waiter, timeout);
}

FolderLock FolderLock::acquireIn(const QString &dataFolder, Waiter *waiter, milliseconds timeout)
{
    if (!waiter)
        waiter = t_threadWaiter;
    if (!waiter)
        waiter = s_defaultWaiter.load();
    FolderLock lock;
    bool waited = false;
    // finished() follows the last wait(), on every way out.
    struct Finish
    {
        Waiter *waiter;
        const bool &waited;
        ~Finish()
        {
            if (waiter && waited)
                waiter->finished();
        }
    } finish { waiter, waited };
    ProcessLock &state = processLock();
    const QByteArray path = QFile::encodeName(lockFilePath(dataFolder));
    const Clock::time_point start = Clock::now();
    bool counted = false;
    milliseconds pause { 1 };
    for (;;) {
        if (state.mutex.try_lock()) {
            const Attempt attempt = tryLock(state, path, lock.m_errorText);
            if (attempt == Attempt::Taken) {
                lock.m_held = true;
                return lock; // the mutex stays locked until release()
            }
            state.mutex.unlock();
            if (attempt == Attempt::Failed) {
                lock.m_error = Error::Unavailable;
                return lock;
            }
        }
        if (!counted) {
            counted = true;
            ++s_contended;
        }
        const auto soFar = std::chrono::duration_cast<milliseconds>(Clock::now() - start);
        if (soFar >= timeout) {
            lock.m_error = Error::Busy;
            lock.m_errorText = QStringLiteral("Datamappen förblev låst av en annan kopia av programmet");
            return lock;
        }
        if (waiter) {
            if (!waited) {
                waited = true;
                waiter->started();
            }
            if (!waiter->wait(soFar)) {
                lock.m_error = Error::Cancelled;
                lock.m_errorText = QStringLiteral("Väntan på datamappen avbröts");
                return lock;
            }
        } else {
            // A lock is normally held for a millisecond or two: try again soon, then
            // less often.
            std::this_thread::sleep_for(std::min(pause, timeout - soFar));
            pause = std::min(pause * 2, milliseconds { 10 });
        }
    }
}

FolderLock::FolderLock(FolderLock &&other) noexcept
    : m_held(std::exchange(other.m_held, false))
    , m_error(other.m_error)
    , m_errorText(std::move(other.m_errorText))
{
}

FolderLock &FolderLock::operator=(FolderLock &&other) noexcept
{
    if (this != &other) {
        release();
        m_held = std::exchange(other.m_held, false);
        m_error = other.m_error;
        m_errorText = std::move(other.m_errorText);
    }
    return *this;
}

FolderLock::~FolderLock()
{
    release();
}

void FolderLock::release()
{
    if (!m_held)
        return;
    m_held = false;
    ProcessLock &state = processLock();
    if (--state.depth == 0) {
        // Closing the handle drops the record lock.
        ::close(state.fd);
        state.fd = -1;
        state.path.clear();
    }
    state.mutex.unlock();
}

long long FolderLock::contendedCount()
{
    return s_contended.load();
}

} // namespace lunora
