// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// How the overview copes with large registers: the time from creating the window (which
// loads the register) to the list showing its rows, one column sort, one refresh, the
// peak memory, and the processor time the window uses while nobody touches it (with a
// search active); then every keystroke of a few typed searches and a second sort.
//
// Run without arguments it measures 10,000, 100,000 and 1,000,000 cases, each in a
// fresh process so that the peak memory of one size does not hide the next. It prints
// figures only; nothing here passes or fails on time.

#include "gui/caselist.h"
#include "gui/casesortproxy.h"
#include "gui/filefollower.h"
#include "gui/frmArendeList.h"
#include "gui/messagebox.h"
#include "gui/windowregistry.h"
#include "storage/caseregister.h"
#include "storage/datafolder.h"
#include "storage/heap.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QUuid>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <sys/resource.h>
#include <time.h>

using namespace lunora;

namespace {

long statusKilobytes(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').first().toLong();
    }
    return -1;
}

// Processor time of this process in milliseconds: on a busy machine it shows what the
// work itself costs, where the wall clock also counts waiting for a core.
double cpuMilliseconds()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// Processor time of the window's thread alone: the worker's share is not the window's.
double threadCpuMilliseconds()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// One action in the window: how long the call itself held the window (wall and the
// window thread's processor time), the longest event-loop pass until the list shows
// the whole result (the window's busy time), and the wall time until then.
struct Held
{
    double wall = 0;
    double cpu = 0;
    double busy = 0;
    double busyCpu = 0; // the same pass in the window thread's processor time
    double done = 0;
};

template <typename Action, typename Ready> Held holdOf(frmArendeList *window, Action action, Ready ready)
{
    Held held;
    QElapsedTimer clock;
    clock.start();
    const double cpu = threadCpuMilliseconds();
    action();
    if (!window) // the action made it
        window = WindowRegistry::get<frmArendeList>();
    window->listView()->viewport()->repaint();
    held.wall = clock.nsecsElapsed() / 1e6;
    held.cpu = threadCpuMilliseconds() - cpu;
    held.busy = held.wall;
    held.busyCpu = held.cpu;
    while (!ready()) {
        const qint64 before = clock.nsecsElapsed();
        const double beforeCpu = threadCpuMilliseconds();
        QApplication::processEvents(QEventLoop::AllEvents, 5);
        window->listView()->viewport()->repaint();
        held.busy = std::max(held.busy, (clock.nsecsElapsed() - before) / 1e6);
        held.busyCpu = std::max(held.busyCpu, threadCpuMilliseconds() - beforeCpu);
    }
    held.done = clock.nsecsElapsed() / 1e6;
    return held;
}

double percentile(QList<double> values, double share)
{
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    return values.at(std::min<qsizetype>(values.size() - 1, qsizetype(share * values.size())));
}

double cpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec
        + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// A register of plausible cases: the first half quoted, as the last rewrite left them,
// the second half plain, as the case window has added them since. Interleaved, every
// other line is plain: no copy of the program writes that, but a register edited by
// other tools may stand so.
QByteArray makeRegister(int count, bool interleaved = false)
{
    static const char *const first[] = { "Anna", "Bertil", "Cecilia", "David", "Eva", "Fredrik", "Gunilla",
        "Håkan", "Ingrid", "Johan", "Karin", "Lars", "Maria", "Nils", "Åsa", "Örjan" };
    static const char *const last[]
        = { "Andersson", "Johansson", "Karlsson", "Nilsson", "Eriksson", "Larsson", "Olsson", "Persson",
              "Svensson", "Gustafsson", "Pettersson", "Jonsson", "Åberg", "Öberg", "Ek", "Lindqvist" };
    static const char *const status[] = { "Nytt ärende", "Under behandling", "Avslutad" };
    static const char *const signature[] = { "Anna Admin", "Bertil Berg", "Cecilia Cederlund" };
    QRandomGenerator random(20201105);
    QByteArray bytes;
    bytes.reserve(qsizetype(count) * 140);
    for (int i = 0; i < count; ++i) {
        const int day = random.bounded(1, 29);
        const int month = random.bounded(1, 13);
        const int year = random.bounded(15, 25);
        RegisterEntry entry;
        entry[CaseNumber] = QStringLiteral("%1%2%3 %4")
                                .arg(year, 2, 10, QLatin1Char('0'))
                                .arg(month, 2, 10, QLatin1Char('0'))
                                .arg(day, 2, 10, QLatin1Char('0'))
                                .arg(random.bounded(9999));
        entry[Created] = QStringLiteral("20%1-%2-%3")
                             .arg(year, 2, 10, QLatin1Char('0'))
                             .arg(month, 2, 10, QLatin1Char('0'))
                             .arg(day, 2, 10, QLatin1Char('0'));
        entry[CustomerNumber] = QString::number(random.bounded(1, 100000));
        entry[CustomerName] = QString::fromUtf8(first[random.bounded(16)]) + QLatin1Char(' ')
            + QString::fromUtf8(last[random.bounded(16)]);
        entry[Telephone]
            = QStringLiteral("07%1-%2").arg(random.bounded(10, 100)).arg(random.bounded(100000, 1000000));
        entry[Priority] = random.bounded(4) == 0 ? QStringLiteral("Brådskande") : QStringLiteral("Normal");
        entry[CaseStatus] = QString::fromUtf8(status[random.bounded(3)]);
        entry[ControlCode] = QUuid::createUuid().toString(QUuid::WithBraces).toUpper();
        entry[Signature] = QString::fromUtf8(signature[random.bounded(3)]);
        const bool plain = interleaved ? i % 2 == 0 : i >= count / 2;
        bytes += plain ? caseregister::formatPlain(entry) : caseregister::formatQuoted(entry);
    }
    return bytes;
}

// Sets the process's peak resident size (VmHWM) back to its resident size now.
void resetPeak()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        (void)refs.write("5");
}

struct Writes
{
    // Medians of five, ms: the longest the window was held at a stretch (the click's own
    // call or one event-loop pass until the list had the result), in wall time and in
    // the window thread's processor time; the window thread's processor time in all;
    // and the wall time until the list shows the result.
    double held = 0;
    double heldCpu = 0;
    double cpu = 0;
    double done = 0;
    double longestHeldCpu = 0; // the longest of the five
};

Writes summarize(QList<Held> runs, QList<double> cpus)
{
    QList<double> held, heldCpu, done;
    for (const Held &run : runs) {
        held << run.busy;
        heldCpu << run.busyCpu;
        done << run.done;
    }
    return { percentile(held, 0.5), percentile(heldCpu, 0.5), percentile(cpus, 0.5), percentile(done, 0.5),
        percentile(heldCpu, 1.0) };
}

// "Ta bort" on a row in the middle of the list, answered "Ja", until the list no longer
// shows it: the register rewritten without the case (synced and renamed into place), its
// files deleted, the row taken out of the list. Five cases one after another. The cpu
// figures are the window thread's: the worker's order builds and writes run beside it.
Writes removeCases(frmArendeList *window)
{
    MessageBox::setAutomaticAnswers(true);
    auto *remove = window->findChild<QPushButton *>(QStringLiteral("Command3"));
    QList<Held> runs;
    QList<double> cpus;
    for (int i = 0; i < 5; ++i) {
        QTableView *list = window->listView();
        const QModelIndex middle = list->model()->index(list->model()->rowCount() / 2, 0);
        list->selectionModel()->setCurrentIndex(
            middle, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        const int before = window->rowCount();
        MessageBox::setNextAnswer(MessageBox::AnswerYes);
        const double cpu = threadCpuMilliseconds();
        runs << holdOf(
            window, [&] { remove->click(); }, [&] { return window->rowCount() == before - 1; });
        cpus << threadCpuMilliseconds() - cpu;
    }
    MessageBox::setAutomaticAnswers(false);
    return summarize(runs, cpus);
}

// An update of a case in the middle of the list, as the case window's "Uppdatera" asks
// the case list for it (here through the overview's hidden replace action), until the
// list shows the new row. Five one after another.
Writes updateCases(frmArendeList *window)
{
    MessageBox::setAutomaticAnswers(true);
    CaseList *cases = WindowRegistry::caseList();
    QList<Held> runs;
    QList<double> cpus;
    for (int i = 0; i < 5; ++i) {
        RegisterEntry entry = window->entryAt(window->rowCount() / 2);
        entry[CustomerName] = QStringLiteral("Uppdaterad %1").arg(i);
        bool replaced = false;
        const QMetaObject::Connection noted
            = QObject::connect(cases, &CaseList::caseReplaced, [&replaced] { replaced = true; });
        const double cpu = threadCpuMilliseconds();
        runs << holdOf(
            window,
            [&] {
                window->stageEntry(entry);
                window->startReplace();
            },
            [&] { return replaced; });
        cpus << threadCpuMilliseconds() - cpu;
        QObject::disconnect(noted);
    }
    MessageBox::setAutomaticAnswers(false);
    return summarize(runs, cpus);
}

int measure(const QString &root, int count, bool idle)
{
    DataFolder::setRoot(root);
    const long baseline = statusKilobytes("VmRSS");
    // The least a window with a table can take to show: the anchor of the load.
    double emptyView = 0;
    {
        QTableView view;
        QElapsedTimer viewClock;
        viewClock.start();
        view.show();
        QApplication::processEvents();
        view.viewport()->repaint();
        emptyView = viewClock.nsecsElapsed() / 1e6;
    }

    // The window shows at once; a long register is read on the worker and its rows come
    // after. "Shown" is when the list holds them.
    QElapsedTimer clock;
    clock.start();
    double cpu = cpuMilliseconds();
    frmArendeList *window = nullptr;
    CaseList *cases = WindowRegistry::caseList();
    const Held load = holdOf(
        nullptr, [&] { window = WindowRegistry::show<frmArendeList>(); },
        [&] { return window->rowCount() == count; });
    const qint64 stall = qint64(load.busy);
    const qint64 loaded = clock.elapsed();
    const double loadedCpu = cpuMilliseconds() - cpu;
    if (window->rowCount() != count) {
        std::fprintf(stderr, "loaded %d of %d rows\n", window->rowCount(), count);
        return 1;
    }

    // The peak after each step, to tell which step makes it. The same writes also run on
    // the window's thread for comparison, as a list under the worker's threshold writes;
    // the program never does that at these sizes, so the high-water mark is set back to
    // the resident size after those runs (what they leave behind still counts).
    QList<double> peaks { statusKilobytes("VmHWM") / 1024.0 };
    double peakBeforeReset = peaks.first();
    const auto peakAfterComparison = [&peakBeforeReset] {
        peakBeforeReset = std::max(peakBeforeReset, statusKilobytes("VmHWM") / 1024.0);
        resetPeak();
    };
    // The list's own writes should need no read of the register afterwards.
    int writeReloads = 0;
    const QMetaObject::Connection countReloads
        = QObject::connect(cases, &CaseList::reloaded, window, [&writeReloads] { ++writeReloads; });
    const int changesBefore = cases->follower()->changeCount();
    // The first rewrite of a register read from the file writes its plain lines anew,
    // quoted, and holds them beside the table: it runs on the worker, as in the program,
    // so that its peak counts.
    const Writes unsortedRemovals = removeCases(window);
    peaks.append(statusKilobytes("VmHWM") / 1024.0);
    cases->setWorkerFrom(std::numeric_limits<int>::max());
    const Writes unsortedDirect = removeCases(window);
    cases->setWorkerFrom(0);
    peakAfterComparison();

    CaseSortProxy *proxy = WindowRegistry::caseList()->proxy();
    clock.restart();
    cpu = cpuMilliseconds();
    const Held firstSort = holdOf(
        window, [&] { window->sortListView(CustomerName); },
        [&] { return proxy->sortColumn() == CustomerName; });
    const qint64 sorted = clock.elapsed();
    const double sortedCpu = cpuMilliseconds() - cpu;
    peaks.append(statusKilobytes("VmHWM") / 1024.0);
    cases->setWorkerFrom(std::numeric_limits<int>::max());
    const Writes sortedDirect = removeCases(window);
    const Writes updatesDirect = updateCases(window);
    cases->setWorkerFrom(0);
    peakAfterComparison();
    const Writes sortedRemovals = removeCases(window);
    const Writes sortedUpdates = updateCases(window);
    // Long enough for the follower to have looked at the file after the last write.
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 2 * FileFollower::longestBurstMs || cases->isReading())
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    QObject::disconnect(countReloads);
    peaks.append(statusKilobytes("VmHWM") / 1024.0);
    // The program's peak: every step's but the comparison runs'.
    const auto programPeak = [&peaks] {
        return std::max(*std::max_element(peaks.cbegin(), peaks.cend()), statusKilobytes("VmHWM") / 1024.0);
    };
    std::printf("  during the 20 writes: %d reads of the register, %d changes reported by the "
                "follower\n",
        writeReloads, cases->follower()->changeCount() - changesBefore);

    // "Uppdatera lista", then another desk's changes as the follower reports them: a case
    // added (the register grew, read on from its end) and the register rewritten.
    int reloads = 0;
    QObject::connect(cases, &CaseList::reloaded, window, [&reloads] { ++reloads; });
    const auto reloadHeld = [&](auto action) {
        const int before = reloads;
        return holdOf(window, action, [&] { return reloads > before; });
    };
    const Held refreshed = reloadHeld([&] { window->refresh(); });
    const QString registerPath = QDir(root).filePath(QStringLiteral("Lib/arenden.txt"));
    peaks.append(statusKilobytes("VmHWM") / 1024.0);
    std::printf("  peak memory after the load %.1f MB, removals %.1f MB, first sort %.1f MB, removals "
                "sorted %.1f MB, refresh %.1f MB\n",
        peaks.at(0), peaks.at(1), peaks.at(2), peaks.at(3), peaks.at(4));
    const QByteArray added = makeRegister(1);
    {
        QFile file(registerPath);
        if (!file.open(QIODevice::Append) || file.write(added) < 0)
            return 1;
    }
    const int beforeGrowth = window->rowCount();
    const Held grown = reloadHeld([&] { cases->follower()->check(); });
    if (window->rowCount() != beforeGrowth + 1)
        std::fprintf(stderr, "growth left %d of %d rows\n", window->rowCount(), beforeGrowth + 1);
    {
        // Rewritten elsewhere: the first line gone, as another desk's removal leaves it.
        // Copied a megabyte at a time: the whole file read here would count in the
        // program's peak as if the list had held it.
        QFile file(registerPath);
        QSaveFile save(registerPath);
        if (!file.open(QIODevice::ReadOnly) || file.readLine().isEmpty() || !save.open(QIODevice::WriteOnly))
            return 1;
        while (!file.atEnd()) {
            const QByteArray chunk = file.read(1 << 20);
            if (chunk.isEmpty() || save.write(chunk) != chunk.size())
                return 1;
        }
        if (!save.commit())
            return 1;
    }
    const Held rewritten = reloadHeld([&] { cases->follower()->check(); });
    if (window->rowCount() != beforeGrowth)
        std::fprintf(stderr, "rewrite left %d of %d rows\n", window->rowCount(), beforeGrowth);

    std::printf("%9d cases: load and show %5lld ms (cpu %5.0f ms; window busy %5lld ms at most, "
                "in window thread cpu %.1f ms), sort by name %5lld ms (cpu %5.0f ms), "
                "peak memory %6.1f MB (%.1f MB above the empty program)",
        count, static_cast<long long>(loaded), loadedCpu, static_cast<long long>(stall), load.busyCpu,
        static_cast<long long>(sorted), sortedCpu, programPeak(), programPeak() - baseline / 1024.0);

    // Typing in the search field, one keystroke at a time: narrowing as letters are
    // added, widening as they are taken back, a telephone, and a first letter found
    // nowhere (every row looked at, none shown). Then a column sorted a second time.
    const QStringList typings = { QStringLiteral("anna ek"), QStringLiteral("070-12"), QStringLiteral("qz") };
    QList<double> heldWall, heldCpu, busy, busyCpu, done;
    double worstBusy = 0;
    QString worstText;
    QLineEdit *search = window->searchField();
    const auto type = [&](const QString &text) {
        const Held held = holdOf(
            window, [&] { search->setText(text); }, [&] { return !proxy->isSearchRunning(); });
        heldWall.append(held.wall);
        heldCpu.append(held.cpu);
        busy.append(held.busy);
        busyCpu.append(held.busyCpu);
        done.append(held.done);
        if (held.busy > worstBusy) {
            worstBusy = held.busy;
            worstText = text.isEmpty() ? QStringLiteral("(emptied)") : text;
        }
    };
    for (const QString &typing : typings) {
        for (qsizetype length = 1; length <= typing.size(); ++length)
            type(typing.left(length));
        for (qsizetype length = typing.size() - 1; length >= 0; --length)
            type(typing.left(length));
    }
    // The same on a sorted list, where the rows found are put in the list's order.
    const Held sortedKey = holdOf(
        window, [&] { search->setText(QStringLiteral("a")); }, [&] { return !proxy->isSearchRunning(); });
    const Held sortedKey2 = holdOf(
        window, [&] { search->setText(QStringLiteral("an")); }, [&] { return !proxy->isSearchRunning(); });
    search->clear();

    const Held firstCreated = holdOf(
        window, [&] { window->sortListView(Created); }, [&] { return proxy->sortColumn() == Created; });
    const Held againName = holdOf(
        window, [&] { window->sortListView(CustomerName); }, [] { return true; });
    const Held againNameReversed = holdOf(
        window, [&] { window->sortListView(CustomerName); }, [] { return true; });
    // A search left active for the idle measurement below.
    search->setText(QStringLiteral("anna"));
    while (proxy->isSearchRunning())
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    const int shownWhileIdle = window->listView()->model()->rowCount();
    const QString searchLine = QStringLiteral(
        "  search, %1 keystrokes: window held (wall) median %2 ms, 95th %3 ms, longest %4 ms; "
        "window thread cpu median %5 ms, longest %6 ms; window busy 95th %7 ms, longest %8 "
        "ms (\"%9\"), in window thread cpu 95th %26 ms, longest %27 ms; rows shown after median %10 ms, "
        "longest %11 ms\n"
        "  sorted list: key \"a\" held %12 ms, shown after %13 ms; \"an\" held %14 ms, shown "
        "after %15 ms\n"
        "  sort by name first: held %16 ms, busy %17 ms (cpu %28 ms), shown after %18 ms; by date "
        "first: held %19 ms, busy %20 ms (cpu %29 ms), shown after %21 ms; by name again %22 ms and "
        "reversed %23 ms; "
        "peak memory %24 MB; %25 rows shown while idle")
                                   .arg(heldWall.size())
                                   .arg(percentile(heldWall, 0.5), 0, 'f', 1)
                                   .arg(percentile(heldWall, 0.95), 0, 'f', 1)
                                   .arg(percentile(heldWall, 1.0), 0, 'f', 1)
                                   .arg(percentile(heldCpu, 0.5), 0, 'f', 1)
                                   .arg(percentile(heldCpu, 1.0), 0, 'f', 1)
                                   .arg(percentile(busy, 0.95), 0, 'f', 1)
                                   .arg(worstBusy, 0, 'f', 1)
                                   .arg(worstText)
                                   .arg(percentile(done, 0.5), 0, 'f', 1)
                                   .arg(percentile(done, 1.0), 0, 'f', 1)
                                   .arg(sortedKey.wall, 0, 'f', 1)
                                   .arg(sortedKey.done, 0, 'f', 1)
                                   .arg(sortedKey2.wall, 0, 'f', 1)
                                   .arg(sortedKey2.done, 0, 'f', 1)
                                   .arg(firstSort.wall, 0, 'f', 1)
                                   .arg(firstSort.busy, 0, 'f', 1)
                                   .arg(firstSort.done, 0, 'f', 1)
                                   .arg(firstCreated.wall, 0, 'f', 1)
                                   .arg(firstCreated.busy, 0, 'f', 1)
                                   .arg(firstCreated.done, 0, 'f', 1)
                                   .arg(againName.wall, 0, 'f', 1)
                                   .arg(againNameReversed.wall, 0, 'f', 1)
                                   .arg(programPeak(), 0, 'f', 1)
                                   .arg(shownWhileIdle)
                                   .arg(percentile(busyCpu, 0.95), 0, 'f', 1)
                                   .arg(percentile(busyCpu, 1.0), 0, 'f', 1)
                                   .arg(firstSort.busyCpu, 0, 'f', 1)
                                   .arg(firstCreated.busyCpu, 0, 'f', 1);

    if (idle) {
        // Let whatever the window still has queued run out first.
        QTimer::singleShot(1000, qApp, &QCoreApplication::quit);
        QApplication::exec();
        const double before = cpuSeconds();
        QElapsedTimer wall;
        wall.start();
        QTimer::singleShot(5000, qApp, &QCoreApplication::quit);
        QApplication::exec();
        const double used = cpuSeconds() - before;
        std::printf(", idle %.2f %% of one core over %.1f s", 100.0 * used / (wall.elapsed() / 1000.0),
            wall.elapsed() / 1000.0);
    }
    std::printf("\n%s\n", qPrintable(searchLine));
    // Each reload of a sorted list: the call, the longest event-loop pass until the
    // rows are shown (wall and the window thread's processor time), and when they were.
    const auto reloadLine = [](const char *what, const Held &held) {
        std::printf("  %s: held %.1f ms (cpu %.1f ms), window busy %.1f ms at most (cpu %.1f ms), shown "
                    "after %.1f ms\n",
            what, held.wall, held.cpu, held.busy, held.busyCpu, held.done);
    };
    reloadLine("refresh while sorted", refreshed);
    reloadLine("another desk's new case", grown);
    reloadLine("another desk's rewrite", rewritten);
    std::printf("  an empty table view shown %.1f ms; peak memory %.1f MB (with the comparison runs on "
                "the window's thread %.1f MB)\n",
        emptyView, programPeak(), std::max(programPeak(), peakBeforeReset));
    const auto writes = [](const char *what, const Writes &r) {
        std::printf("  %s (median of 5): window held %.1f ms (window thread cpu %.1f ms, longest of "
                    "the 5 %.1f ms); window thread cpu in all %.1f ms; shown after %.1f ms\n",
            what, r.held, r.heldCpu, r.longestHeldCpu, r.cpu, r.done);
    };
    writes("remove one case, list in file order, on the window's thread", unsortedDirect);
    writes("remove one case, list in file order, on the worker", unsortedRemovals);
    writes("remove one case, list sorted by name, on the window's thread", sortedDirect);
    writes("remove one case, list sorted by name, on the worker", sortedRemovals);
    writes("update one case, list sorted by name, on the window's thread", updatesDirect);
    writes("update one case, list sorted by name, on the worker", sortedUpdates);
    std::fflush(stdout);
    WindowRegistry::closeAll();
    return 0;
}

// What the plain tools take on the same file in the same run: counting its lines and
// sorting them, best of three, their start taken off by a run on an empty file.
void printAnchors(const QString &path)
{
    const auto best = [](const QString &command) {
        double fastest = 1e9;
        for (int run = 0; run < 3; ++run) {
            QElapsedTimer clock;
            clock.start();
            QProcess::execute(QStringLiteral("sh"), { QStringLiteral("-c"), command });
            fastest = std::min(fastest, clock.nsecsElapsed() / 1e6);
        }
        return fastest;
    };
    const QString quoted = QLatin1Char('\'') + path + QLatin1Char('\'');
    const double grep = best(QStringLiteral("grep -c , %1 | cat >/dev/null").arg(quoted));
    const double cat = best(QStringLiteral("cat %1 >/dev/null").arg(quoted));
    const double sort = best(QStringLiteral("LC_ALL=C sort %1 >/dev/null").arg(quoted));
    const double start = best(QStringLiteral("grep -c , /dev/null >/dev/null; LC_ALL=C sort /dev/null"));
    // A search and a sort of one column, as the list's own search and first sort do.
    // grep goes through a pipe: with its output on /dev/null it stops at the first line found.
    const double search = best(QStringLiteral("LC_ALL=C grep -c -i anna %1 | cat >/dev/null").arg(quoted));
    const double column = best(QStringLiteral("LC_ALL=C sort -t, -k4 %1 >/dev/null").arg(quoted));
    std::printf("  anchors on the same file: cat %.1f ms, grep -c %.1f ms, LC_ALL=C sort %.1f ms "
                "(each with its start, %.1f ms for both on an empty file); "
                "LC_ALL=C grep -c -i anna %.1f ms, LC_ALL=C sort -t, -k4 %.1f ms\n",
        cat, grep, sort, start, search, column);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    // As the program does.
    heap::giveLargeBlocksBack();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    if (argc >= 4 && qstrcmp(argv[1], "--size") == 0) {
        QApplication app(argc, argv);
        QApplication::setQuitOnLastWindowClosed(false);
        const bool idle = argc >= 5 && qstrcmp(argv[4], "--idle") == 0;
        return measure(QString::fromLocal8Bit(argv[3]), std::atoi(argv[2]), idle);
    }

    // The registers are made here, so that the measuring processes hold nothing but the
    // program itself.
    QCoreApplication app(argc, argv);
    QList<int> sizes = { 10000, 100000, 1000000 };
    // "bench_overview 100000" measures that size alone; "--interleaved" makes every other
    // line plain; "--make DIR" only writes the register into DIR/Lib, for a profiler to
    // run "bench_overview --size N DIR" on.
    if (argc >= 2 && std::atoi(argv[1]) > 0)
        sizes = { std::atoi(argv[1]) };
    const QStringList options = QCoreApplication::arguments();
    const bool interleaved = options.contains(QStringLiteral("--interleaved"));
    const qsizetype make = options.indexOf(QStringLiteral("--make"));
    int failures = 0;
    for (const int size : sizes) {
        QTemporaryDir temporary;
        const QDir root(make > 0 && make + 1 < options.size() ? options.at(make + 1) : temporary.path());
        root.mkpath(QStringLiteral("Lib"));
        root.mkpath(QStringLiteral("Errors"));
        {
            QFile file(root.filePath(QStringLiteral("Lib/arenden.txt")));
            if (!file.open(QIODevice::WriteOnly) || file.write(makeRegister(size, interleaved)) < 0)
                return 1;
        }
        if (make > 0)
            continue;
        printAnchors(root.filePath(QStringLiteral("Lib/arenden.txt")));
        // The memory goal is counted in the register's size (ls -l).
        std::printf("  register %lld bytes (%.1f MB); 2 x register + 50 MB = %.1f MB\n",
            static_cast<long long>(QFileInfo(root.filePath(QStringLiteral("Lib/arenden.txt"))).size()),
            QFileInfo(root.filePath(QStringLiteral("Lib/arenden.txt"))).size() / 1048576.0,
            2 * QFileInfo(root.filePath(QStringLiteral("Lib/arenden.txt"))).size() / 1048576.0 + 50);
        std::fflush(stdout);
        QStringList arguments = { QStringLiteral("--size"), QString::number(size), root.path() };
        if (size == 100000)
            arguments.append(QStringLiteral("--idle"));
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(), arguments);
        if (!child.waitForFinished(-1) || child.exitCode() != 0)
            ++failures;
    }
    return failures == 0 ? 0 : 1;
}
