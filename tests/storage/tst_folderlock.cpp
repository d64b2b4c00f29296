// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// The folder lock between copies of the program: a second process holds it, lets it go,
// or dies holding it; hostile lock files are refused without hanging.

#include "common/testsupport.h"
#include "storage/folderlock.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <atomic>
#include <csignal>
#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace lunora;
using std::chrono::milliseconds;

namespace {
// A waiter made of a function, counting its finished() calls.
class FunctionWaiter final : public FolderLock::Waiter
{
public:
    explicit FunctionWaiter(std::function<bool(milliseconds)> wait)
        : m_wait(std::move(wait))
    {
    }
    void started() override { ++startedCalls; }
    bool wait(milliseconds waited) override { return m_wait(waited); }
    void finished() override { ++finishedCalls; }
    int startedCalls = 0;
    int finishedCalls = 0;

private:
    std::function<bool(milliseconds)> m_wait;
};
} // namespace

namespace {

// Another copy of the program: a child process that takes the lock of `folder`, says
// so through a pipe, and holds it for `holdMs` (or until it is killed).
class Holder final
{
public:
    Holder(const QString &folder, int holdMs, int waitMs = 5000)
    {
        int fds[2];
        if (::pipe(fds) != 0)
            return;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::close(fds[0]);
            FolderLock lock = FolderLock::acquireIn(folder, {}, milliseconds { waitMs });
            const char state = lock ? 'L' : 'F';
            if (::write(fds[1], &state, 1) != 1)
                ::_exit(2);
            ::usleep(useconds_t(holdMs) * 1000);
            lock.release();
            ::_exit(0);
        }
        ::close(fds[1]);
        char state = 0;
        m_locked = m_pid > 0 && ::read(fds[0], &state, 1) == 1 && state == 'L';
        ::close(fds[0]);
    }
    ~Holder() { kill(); }
    Holder(const Holder &) = delete;
    Holder &operator=(const Holder &) = delete;

    bool locked() const { return m_locked; }
    void kill()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
            m_pid = -1;
        }
    }

private:
    pid_t m_pid = -1;
    bool m_locked = false;
};

} // namespace

class TestFolderLock final : public QObject
{
    Q_OBJECT

private slots:
    void takenWhenFreeAndNested();
    void waitsForAnotherCopyAndGivesUp();
    void waiterCanCancel();
    void takenOnceTheOtherCopyLetsGo();
    void diesWithTheProcessThatHeldIt();
    void threadsOfOneProcessExcludeEachOther();
    void hostileLockFilesAreRefused();
    void missingLibIsUnavailable();
};

void TestFolderLock::takenWhenFreeAndNested()
{
    test::TestDataFolder folder;
    {
        FolderLock outer = FolderLock::acquire();
        QVERIFY(outer.held());
        QVERIFY(QFileInfo(FolderLock::lockFilePath(folder.root())).isFile());
        {
            // The store calls itself under the lock: nesting must neither wait nor
            // drop the outer lock when the inner one ends.
            FolderLock inner = FolderLock::acquire({}, milliseconds { 0 });
            QVERIFY(inner.held());
        }
        Holder other(folder.root(), 0, 0);
        QVERIFY(!other.locked());
    }
    Holder other(folder.root(), 0);
    QVERIFY(other.locked());
}

void TestFolderLock::waitsForAnotherCopyAndGivesUp()
{
    test::TestDataFolder folder;
    Holder other(folder.root(), 60000);
    QVERIFY(other.locked());
    const long long contendedBefore = FolderLock::contendedCount();
    QList<qint64> calls;
    FunctionWaiter waiter([&](milliseconds waited) {
        calls.append(waited.count());
        std::this_thread::sleep_for(milliseconds { 5 });
        return true;
    });
    FolderLock lock = FolderLock::acquire(&waiter, milliseconds { 300 });
    QCOMPARE(waiter.startedCalls, 1);
    QCOMPARE(waiter.finishedCalls, 1);
    QVERIFY(!lock.held());
    QCOMPARE(lock.error(), FolderLock::Error::Busy);
    QVERIFY(calls.size() >= 2);
    QVERIFY(calls.first() < 100); // the first call comes at once, so a box can follow at 100 ms
    QVERIFY(std::is_sorted(calls.begin(), calls.end()));
    QVERIFY(calls.last() < 300);
    QCOMPARE(FolderLock::contendedCount(), contendedBefore + 1);
}

void TestFolderLock::waiterCanCancel()
{
    test::TestDataFolder folder;
    Holder other(folder.root(), 60000);
    QVERIFY(other.locked());
    int calls = 0;
    FunctionWaiter waiter([&](milliseconds) { return ++calls < 3; });
    FolderLock lock = FolderLock::acquire(&waiter);
    QCOMPARE(lock.error(), FolderLock::Error::Cancelled);
    QCOMPARE(calls, 3);
    QCOMPARE(waiter.finishedCalls, 1);
    // A lock that is free at once never calls the waiter.
    other.kill();
    FunctionWaiter unused([](milliseconds) { return true; });
    QVERIFY(FolderLock::acquire(&unused).held());
    QCOMPARE(unused.startedCalls, 0);
    QCOMPARE(unused.finishedCalls, 0);
}

void TestFolderLock::takenOnceTheOtherCopyLetsGo()
{
    test::TestDataFolder folder;
    Holder other(folder.root(), 200);
    QVERIFY(other.locked());
    QElapsedTimer clock;
    clock.start();
    FolderLock lock = FolderLock::acquire();
    QVERIFY(lock.held());
    QVERIFY(clock.elapsed() >= 100);
}

void TestFolderLock::diesWithTheProcessThatHeldIt()
{
    test::TestDataFolder folder;
    Holder other(folder.root(), 60000);
    QVERIFY(other.locked());
    QVERIFY(!FolderLock::acquire({}, milliseconds { 0 }).held());
    other.kill();
    QVERIFY(FolderLock::acquire({}, milliseconds { 0 }).held());
}

void TestFolderLock::threadsOfOneProcessExcludeEachOther()
{
    test::TestDataFolder folder;
    std::atomic<int> inside { 0 };
    std::atomic<int> overlaps { 0 };
    auto work = [&] {
        for (int i = 0; i < 200; ++i) {
            FolderLock lock = FolderLock::acquire();
            if (!lock)
                continue;
            if (++inside > 1)
                ++overlaps;
            std::this_thread::yield();
            --inside;
        }
    };
    std::thread a(work), b(work);
    a.join();
    b.join();
    QCOMPARE(overlaps.load(), 0);
}

void TestFolderLock::hostileLockFilesAreRefused()
{
    test::TestDataFolder folder;
    const QString lockFile = FolderLock::lockFilePath(folder.root());

    // A FIFO would block an open for reading or writing forever.
    QCOMPARE(::mkfifo(QFile::encodeName(lockFile).constData(), 0666), 0);
    QElapsedTimer clock;
    clock.start();
    FolderLock fifo = FolderLock::acquire();
    QCOMPARE(fifo.error(), FolderLock::Error::Unavailable);
    QVERIFY(clock.elapsed() < 5000);
    QVERIFY(QFile::remove(lockFile));

    // A link would let the program create or lock a file elsewhere.
    QTemporaryDir outside;
    const QString target = outside.filePath(QStringLiteral("victim"));
    QVERIFY(QFile::link(target, lockFile));
    QCOMPARE(FolderLock::acquire().error(), FolderLock::Error::Unavailable);
    QVERIFY(!QFileInfo::exists(target));
    QVERIFY(QFile::remove(lockFile));

    QVERIFY(QDir(folder.root()).mkpath(QStringLiteral("Lib/lunora.lock")));
    QCOMPARE(FolderLock::acquire().error(), FolderLock::Error::Unavailable);
}

void TestFolderLock::missingLibIsUnavailable()
{
    QTemporaryDir bare;
    FolderLock lock = FolderLock::acquireIn(bare.path());
    QCOMPARE(lock.error(), FolderLock::Error::Unavailable);
    QVERIFY(!lock.errorText().isEmpty());
    QVERIFY(!QFileInfo::exists(bare.filePath(QStringLiteral("Lib"))));
}

QTEST_GUILESS_MAIN(TestFolderLock)
#include "tst_folderlock.moc"
