// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// How the customer list "Kunder" copes with many cards: the time from asking for the
// window to the list showing its rows, and one search, at 10,000 cards (or the number
// given as the first argument). Prints figures only; nothing here passes or fails.

#include "gui/frmKunder.h"
#include "gui/windowregistry.h"
#include "storage/datafolder.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <cstdio>
#include <time.h>

using namespace lunora;

namespace {
double cpuMilliseconds()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
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

    QElapsedTimer wall;
    wall.start();
    const double cpu = cpuMilliseconds();
    auto *window = WindowRegistry::get<frmKunder>();
    window->reload();
    WindowRegistry::bringForward(window);
    app.processEvents();
    const double openWall = wall.nsecsElapsed() / 1e6;
    const double openCpu = cpuMilliseconds() - cpu;

    wall.restart();
    window->searchField()->setText(QStringLiteral("070-000 12"));
    app.processEvents();
    const double searchWall = wall.nsecsElapsed() / 1e6;

    std::printf("cards: %d listed: %d\n", count, window->cardCount());
    std::printf("open and show: %.1f ms wall, %.1f ms cpu (target 200 ms: %.2f of it)\n", openWall, openCpu,
        openWall / 200.0);
    std::printf("one search: %.1f ms wall, %d rows shown\n", searchWall, window->shownCount());
    WindowRegistry::closeAll();
    return 0;
}
