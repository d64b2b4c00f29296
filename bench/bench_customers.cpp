// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// How the customer list "Kunder" copes with many cards: reading the cards alone, the
// time from asking for the window to the list showing its rows, and two searches, at
// 10,000 cards (or the number given as the first argument). Prints figures only;
// nothing here passes or fails. Processor time stands beside every wall time: on a
// busy machine the wall time mostly measures the other processes.

#include "gui/frmKunder.h"
#include "gui/windowregistry.h"
#include "storage/customercards.h"
#include "storage/datafolder.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <time.h>
#include <unistd.h>

using namespace lunora;

namespace {
double cpuMilliseconds()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

QByteArray loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? file.readLine().trimmed() : QByteArray("unknown");
}

struct Timing
{
    double wall = 0;
    double cpu = 0;
};

template <typename Work> Timing timed(Work work)
{
    QElapsedTimer wall;
    wall.start();
    const double cpu = cpuMilliseconds();
    work();
    return { wall.nsecsElapsed() / 1e6, cpuMilliseconds() - cpu };
}
} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int count = argc > 1 ? QByteArray(argv[1]).toInt() : 10000;
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("Lib"));
    DataFolder::setRoot(dir.path());
    for (int i = 0; i < count; ++i) {
        QFile card(dir.filePath(QStringLiteral("Lib/070%1.ini").arg(i, 7, 10, QLatin1Char('0'))));
        if (!card.open(QIODevice::WriteOnly))
            return 1;
        card.write(
            QStringLiteral("[Main]\r\nxNotes=Kund sedan 2019\r\nxEmail=kund%1@example.se\r\n"
                           "xPhone2=0701-%1\r\nxPhone1=070%1\r\nxLand=Sverige\r\nxPostaladress=123 45 "
                           "Sm\u00e5stad\r\nxAdress=Storgatan %1\r\nxName=Kund %1 Andersson\r\nxID=%1\r\n")
                .arg(i)
                .toLatin1());
    }
    // A few files that are not cards, as a data folder holds them.
    QFile(dir.filePath(QStringLiteral("Lib/CompanyInfo.ini"))).open(QIODevice::WriteOnly);
    std::printf("load average %s\n", loadAverage().constData());

    // The cards alone, best of five: what the storage layer costs of the opening.
    Timing listing { 1e9, 1e9 };
    qsizetype listed = 0;
    for (int run = 0; run < 5; ++run) {
        const Timing t = timed([&listed]() { listed = customercards::listAll().value().size(); });
        listing.wall = std::min(listing.wall, t.wall);
        listing.cpu = std::min(listing.cpu, t.cpu);
    }

    // For scale: the least any reader does, open, read and close of every file.
    const QStringList names = QDir(dir.filePath(QStringLiteral("Lib"))).entryList(QDir::Files);
    Timing raw { 1e9, 1e9 };
    for (int run = 0; run < 5; ++run) {
        const Timing t = timed([&]() {
            char buffer[4096];
            for (const QString &name : names) {
                const int fd
                    = ::open(QFile::encodeName(dir.filePath(QStringLiteral("Lib/") + name)).constData(),
                        O_RDONLY | O_CLOEXEC);
                if (fd >= 0) {
                    while (::read(fd, buffer, sizeof buffer) > 0) { }
                    ::close(fd);
                }
            }
        });
        raw.wall = std::min(raw.wall, t.wall);
        raw.cpu = std::min(raw.cpu, t.cpu);
    }

    frmKunder *window = nullptr;
    const Timing open = timed([&]() {
        window = WindowRegistry::get<frmKunder>();
        window->reload();
        WindowRegistry::bringForward(window);
        app.processEvents();
    });
    // The first search also makes the lower-case texts the search looks in.
    const Timing first = timed([&]() {
        window->searchField()->setText(QStringLiteral("andersson"));
        app.processEvents();
    });
    const int firstShown = window->shownCount();
    const Timing second = timed([&]() {
        window->searchField()->setText(QStringLiteral("070-000 12"));
        app.processEvents();
    });

    std::printf("cards: %d listed: %lld in the window: %d\n", count, static_cast<long long>(listed),
        window->cardCount());
    std::printf("read the cards: %.1f ms wall, %.1f ms cpu (best of 5)\n", listing.wall, listing.cpu);
    std::printf("for scale, open/read/close of every file: %.1f ms wall, %.1f ms cpu (best of 5); "
                "reading the cards costs %.2f times that (cpu)\n",
        raw.wall, raw.cpu, listing.cpu / raw.cpu);
    std::printf("open and show: %.1f ms wall, %.1f ms cpu (target 200 ms: %.2f of it by wall, %.2f by cpu)\n",
        open.wall, open.cpu, open.wall / 200.0, open.cpu / 200.0);
    std::printf(
        "first search: %.1f ms wall, %.1f ms cpu, %d rows shown\n", first.wall, first.cpu, firstShown);
    std::printf("next search: %.1f ms wall, %.1f ms cpu, %d rows shown\n", second.wall, second.cpu,
        window->shownCount());
    std::printf("load average %s\n", loadAverage().constData());
    WindowRegistry::closeAll();
    return 0;
}
