// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

// Usage: if (lunora::FolderLock lock = lunora::FolderLock::acquire(); lock) { /* read, change, write */ }
// (the lock is released when `lock` goes out of scope; see acquire() for waiting with a box)

#include <QString>
#include <chrono>

namespace lunora {

// The lock that several copies of the program on one data folder take around every
// read-modify-write of a shared file. It is a POSIX record lock (fcntl) on the file
// Lib/lunora.lock: the operating system drops it when the process ends, however it
// ends, and NFS and SMB mounts pass it on to the server, so copies on other machines
// see it too. The lock file itself is never removed and holds nothing.
//
// Record locks belong to the process, not to a file handle, and closing any handle of
// the file drops all of them. So one process keeps one handle, and taking the lock
// again while it already holds it (a store operation called from another one, a
// backup that calls the store) only counts up. Threads of one process exclude each
// other through a mutex in front of the record lock.
class [[nodiscard]] FolderLock final
{
public:
    enum class Error
    {
        None,
        Busy, // another copy held it for the whole time allowed
        Cancelled, // the waiter gave up (the user pressed "Avbryt")
        Unavailable, // the lock file cannot be opened or locked (missing Lib, no permission, not a file)
    };

    // How a caller waits while another copy holds the lock. started() comes before the
    // first wait(); wait() is called again and again with the time waited so far, waits
    // a little (a few milliseconds: the next try follows when it returns) and returns
    // false to give up; finished() follows the last wait(), whatever the outcome, so that
    // a box shown meanwhile can go. A waiter that lets events run may see a second
    // acquisition start inside a wait(): the pairs nest.
    class Waiter
    {
    public:
        virtual ~Waiter() = default;
        virtual void started() { }
        virtual bool wait(std::chrono::milliseconds waited) = 0;
        virtual void finished() { }
    };

    static constexpr std::chrono::milliseconds defaultTimeout { 10000 };

    // Takes the lock of the current data folder, waiting at most `timeout`. Without a
    // waiter it uses the default waiter (the windows install one that shows a box), or
    // sleeps between tries when there is none.
    static FolderLock acquire(Waiter *waiter = nullptr, std::chrono::milliseconds timeout = defaultTimeout);
    // The same for the lock file of another data folder (tools, tests).
    static FolderLock acquireIn(const QString &dataFolder, Waiter *waiter = nullptr,
        std::chrono::milliseconds timeout = defaultTimeout);
    // The lock file of a data folder.
    static QString lockFilePath(const QString &dataFolder);
    // The waiter used when acquire() is given none; nullptr: sleep. Not owned.
    static void setDefaultWaiter(Waiter *waiter);
    // While one lives, acquire() on its thread without a waiter of its own uses this
    // one instead of the default: a worker thread that writes for a window waits with
    // that window's box, while other threads stay quiet. Not owned; they nest.
    class [[nodiscard]] ThreadWaiter final
    {
    public:
        explicit ThreadWaiter(Waiter *waiter);
        ~ThreadWaiter();
        ThreadWaiter(const ThreadWaiter &) = delete;
        ThreadWaiter &operator=(const ThreadWaiter &) = delete;

    private:
        Waiter *m_previous;
    };

    FolderLock() = default;
    FolderLock(FolderLock &&other) noexcept;
    FolderLock &operator=(FolderLock &&other) noexcept;
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;
    ~FolderLock();

    bool held() const { return m_held; }
    explicit operator bool() const { return m_held; }
    Error error() const { return m_error; }
    const QString &errorText() const { return m_errorText; }
    // Releases early (the destructor does it otherwise).
    void release();

    // How many times the lock had to be waited for since the process started (the
    // benchmark and the stress test report it).
    static long long contendedCount();

private:
    bool m_held = false;
    Error m_error = Error::None;
    QString m_errorText;
};

} // namespace lunora
