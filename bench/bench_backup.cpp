// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// Backup benchmark: a data folder of 100 000 cases (the register and 200 000 case files)
// archived, verified and inspected as "Säkerhetskopiera…" and "Återställ…" do it, next to
// `tar -cf` of the same folders for scale. Prints figures; asserts nothing.

#include "backup/backup.h"
#include "storage/caseregister.h"
#include "storage/folderlock.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <sys/resource.h>
#include <thread>
#include <vector>

using namespace lunora;

namespace {
void write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

// Processor time (user and system) of this process, or of its finished children, in s.
double cpuSeconds(int who)
{
    struct rusage usage
    {
    };
    ::getrusage(who, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? file.readAll().split(' ').value(0).toDouble() : -1.0;
}

void makeFolder(const QString &root, int cases)
{
    QDir().mkpath(root + "/Lib/User");
    QDir().mkpath(root + "/Lib/Logo");
    QDir().mkpath(root + "/Errors");
    QByteArray reg;
    reg.reserve(cases * 140);
    for (int i = 0; i < cases; ++i) {
        const QByteArray code = QStringLiteral("{%1-1111-4111-8111-%2}")
                                    .arg(i, 8, 16, QLatin1Char('0'))
                                    .arg(i, 12, 16, QLatin1Char('0'))
                                    .toUpper()
                                    .toLatin1();
        const QByteArray date = QByteArray("2026-") + QByteArray::number(1 + i % 12).rightJustified(2, '0')
            + "-" + QByteArray::number(1 + i % 28).rightJustified(2, '0');
        reg += "\"" + QByteArray::number(260101 + i % 300) + " " + QByteArray::number(i % 9999) + "\",\""
            + date + "\",\"K-" + QByteArray::number(i) + "\",\"Kund " + QByteArray::number(i) + "\",\"08-"
            + QByteArray::number(100000 + i) + "\",\"Normal\",\"Under behandling\",\"" + code
            + "\",\"Anna Ek\"\r\n";
        write(root + "/Lib/" + code + "_eData.ini",
            "[Main]\r\nOrderNr=" + QByteArray::number(i) + "\r\nKundNr=K-" + QByteArray::number(i)
                + "\r\nNamn=Kund " + QByteArray::number(i) + "\r\nTelefon=08-"
                + QByteArray::number(100000 + i) + "\r\nPrio=Normal\r\nStatus=Under behandling\r\nKod=" + code
                + "\r\nSign=Anna Ek\r\n");
        write(root + "/Lib/" + code + "_ArtData.txt",
            "\"17\",\"Skruv rostfri\",\"2\",\"st\",\"12,50\",\"25,00\"\r\n\"18\",\"Kedja\",\"1\",\"st\","
            "\"149,00\",\"149,00\"\r\n");
    }
    write(root + "/Lib/arenden.txt", reg);
    write(root + "/Lib/CompanyInfo.ini", "[Main]\r\nRad1=Verkstan\r\nMOMS=25\r\n");
    write(root + "/Lib/User/anna.ini", "[Main]\r\nUser=anna\r\nPassWD=x\r\nIndex=0\r\nRealName=Anna Ek\r\n");
    write(root + "/Errors/Error.txt", QByteArray());
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int cases = argc > 1 ? std::atoi(argv[1]) : 100000;
    // A second argument names a folder to keep the data folder in between runs.
    QTemporaryDir temporary;
    const QDir work(argc > 2 ? QString::fromLocal8Bit(argv[2]) : temporary.path());
    const QString data = work.filePath(QStringLiteral("Butik"));
    const QString target = work.filePath(QStringLiteral("backups"));

    QElapsedTimer timer;
    timer.start();
    if (!QFileInfo(data + "/Lib/arenden.txt").isFile())
        makeFolder(data, cases);
    QDir(target).removeRecursively();
    QDir().mkpath(target);
    std::printf(
        "data folder: %d cases, %d case files, made in %.1f s\n", cases, cases * 2, timer.elapsed() / 1000.0);

    // The page cache holds the files after they were written; so it does for a shop's
    // folder that is in use. tar reads the same files the same way.
    timer.restart();
    QProcess::execute(
        QStringLiteral("tar"), { "-cf", work.filePath("ref.tar"), "-C", data, "Lib", "Errors" });
    const double tarSeconds = timer.elapsed() / 1000.0;
    const double tarCpu = cpuSeconds(RUSAGE_CHILDREN);

    // A desk beside the backup: takes the folder lock every 5 ms and notes how long it
    // waited for it each time.
    std::atomic_bool backupDone { false };
    std::vector<double> waits;
    std::thread desk([&] {
        while (!backupDone) {
            QElapsedTimer waited;
            waited.start();
            if (FolderLock lock = FolderLock::acquireIn(data); lock)
                waits.push_back(waited.nsecsElapsed() / 1e6);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
    qint64 progressCalls = 0;
    qint64 halfway = 0; // when the read-back began: the progress passed half
    timer.restart();
    const double cpuBefore = cpuSeconds(RUSAGE_SELF);
    const backup::Outcome made
        = backup::create(data, target, QDateTime::currentDateTime(), [&](qint64 done, qint64 total) {
              ++progressCalls;
              if (!halfway && total > 0 && done * 2 > total)
                  halfway = timer.elapsed();
          });
    const double backupSeconds = timer.elapsed() / 1000.0;
    const double backupCpu = cpuSeconds(RUSAGE_SELF) - cpuBefore;
    backupDone = true;
    desk.join();
    std::sort(waits.begin(), waits.end());
    if (!made.ok()) {
        std::printf("backup failed: %s\n", qPrintable(made.detail));
        return 1;
    }
    timer.restart();
    const backup::Inspection seen = backup::inspect(made.archivePath);
    const double inspectSeconds = timer.elapsed() / 1000.0;

    std::printf("backup (archive, verify, rename): %.2f s (cpu %.2f s; read-back from %.2f s) for %lld "
                "files, %lld progress reports\n",
        backupSeconds, backupCpu, halfway / 1000.0, made.files, progressCalls);
    if (!waits.empty())
        std::printf("a desk taking the lock every 5 ms meanwhile: %zu times, waited median %.2f ms, 95th "
                    "percentile %.2f ms, longest %.2f ms\n",
            waits.size(), waits[waits.size() / 2], waits[waits.size() * 95 / 100], waits.back());
    std::printf(
        "tar -cf cpu %.2f s; backup / tar by cpu: %.2f\n", tarCpu, backupCpu / std::max(tarCpu, 0.001));
    std::printf("archive: %.1f MB; tar -cf of the same folders: %.2f s (%.1f MB); backup / tar: %.1f\n",
        QFileInfo(made.archivePath).size() / 1e6, tarSeconds,
        QFileInfo(work.filePath("ref.tar")).size() / 1e6, backupSeconds / std::max(tarSeconds, 0.001));
    std::printf("inspect before restore: %.2f s, %lld cases, newest %s, ok %d\n", inspectSeconds,
        seen.summary.caseCount, qPrintable(seen.summary.newestDate), seen.ok() ? 1 : 0);
    std::printf("load average: %.2f\n", loadAverage());
    return 0;
}
