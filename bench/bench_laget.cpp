// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// How "Läget" copes with a large register: the time from handing it the register to the
// pictures painted, the time to paint them again after one more case, and the time until
// the sums read from the case files are in, at 100,000 cases (or the number given as the
// first argument), each case with one article row. Beside them, the anchor: an empty
// table view shown in the same process. Prints figures only; nothing passes or fails.

#include "gui/frmLaget.h"
#include "storage/casefiles.h"
#include "storage/caseregister.h"
#include "storage/datafolder.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTableView>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>

using namespace lunora;

namespace {

double cpuMilliseconds()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// Cases of the last two years in every status and both priorities.
QList<RegisterEntry> makeCases(int count, const QDate &today)
{
    static const char *const status[] = { "Nytt ärende", "Under behandling", "Avslutad" };
    QList<RegisterEntry> entries;
    entries.reserve(count);
    for (int i = 0; i < count; ++i) {
        const QDate created = today.addDays(-(i % 730));
        RegisterEntry entry;
        entry[CaseNumber] = created.toString(QStringLiteral("yyMMdd")) + QStringLiteral(" %1").arg(i % 9999);
        entry[Created] = created.toString(Qt::ISODate);
        entry[CustomerNumber] = QString::number(i);
        entry[CustomerName] = QStringLiteral("Kund %1").arg(i);
        entry[Telephone] = QStringLiteral("070%1").arg(i, 7, 10, QLatin1Char('0'));
        entry[Priority] = i % 4 == 0 ? QStringLiteral("Brådskande") : QStringLiteral("Normal");
        entry[CaseStatus] = QString::fromUtf8(status[i % 3]);
        entry[ControlCode]
            = QStringLiteral("{%1-0000-4000-8000-000000000000}").arg(i, 8, 16, QLatin1Char('0'));
        entry[Signature] = QStringLiteral("Anna Admin");
        entries << entry;
    }
    return entries;
}

void writeArticleFiles(const QList<RegisterEntry> &entries)
{
    ArticleRow row;
    row[0] = QStringLiteral("A-1");
    row[1] = QStringLiteral("Arbete");
    row[2] = QStringLiteral("1");
    row[3] = QStringLiteral("st");
    row[4] = QStringLiteral("450,00");
    row[5] = QStringLiteral("450,00");
    for (const RegisterEntry &entry : entries) {
        if (const Result<QString> path = paths::articleFile(entry[ControlCode]); path)
            (void)articlefile::rewrite(path.value(), { row });
    }
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("Lib"));
    DataFolder::setRoot(dir.path());
    const QDate today = QDate::currentDate();
    QList<RegisterEntry> entries = makeCases(count, today);
    writeArticleFiles(entries);

    QElapsedTimer clock;
    clock.start();
    QTableView anchor;
    anchor.show();
    anchor.repaint();
    const double anchorMs = clock.nsecsElapsed() / 1e6;

    frmLaget window;
    clock.restart();
    double cpu = cpuMilliseconds();
    window.setRegister(entries, today);
    window.show();
    window.repaint();
    const double firstMs = clock.nsecsElapsed() / 1e6, firstCpu = cpuMilliseconds() - cpu;

    entries << makeCases(1, today);
    clock.restart();
    cpu = cpuMilliseconds();
    window.setRegister(entries, today);
    window.repaint();
    const double againMs = clock.nsecsElapsed() / 1e6, againCpu = cpuMilliseconds() - cpu;

    clock.restart();
    while (window.isCounting())
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    const double totalsMs = clock.nsecsElapsed() / 1e6;

    std::printf("cases: %d\n", count);
    std::printf("anchor, an empty table view shown: %.1f ms\n", anchorMs);
    std::printf("pictures shown: %.1f ms wall, %.1f ms processor (window thread)\n", firstMs, firstCpu);
    std::printf("pictures again after one more case: %.1f ms wall, %.1f ms processor (window thread)\n",
        againMs, againCpu);
    std::printf("sums and the list in (background): %.0f ms wall\n", totalsMs);
    return 0;
}
