// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// Storage benchmark: loading large case registers, compared with `wc -l` reading the
// same file, removing one case from 100,000, and the cost of one INI read and write.
// Prints figures; asserts nothing.

#include "storage/accounts.h"
#include "storage/caseregister.h"
#include "storage/casestore.h"
#include "storage/datafolder.h"
#include "storage/fileio.h"
#include "storage/ini.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <any>
#include <cstdio>
#include <ctime>
#include <numeric>
#include <utility>
#include <vector>

using namespace lunora;

namespace {

struct Timing
{
    double best = 0; // ms
    double median = 0; // ms
};

template <typename F> Timing measure(int runs, F &&run)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return { times.front(), times[times.size() / 2] };
}

QString pick(QRandomGenerator &random, const QStringList &list)
{
    return list[random.bounded(list.size())];
}

// A register as a shop accumulates it: mostly quoted lines from rewrites, with plain
// lines appended by the case window in between.
QByteArray makeRegister(int count)
{
    static const QStringList first = { "Anna", "Åsa", "Örjan", "Per", "Märta", "Björn", "Lena", "Göran",
        "Karin", "Jönsson", "Ulla", "Håkan", "Sven", "Maria", "Ängla" };
    static const QStringList last = { "Andersson", "Åström", "Öberg", "Ek", "Lindqvist", "Sjögren", "Nyström",
        "Bäckman", "Holm", "Karlsson", "Wästberg", "Löfgren" };
    static const QStringList status = { "Nytt ärende", "Under behandling", "Avslutad" };
    static const QStringList priority = { "Normal", "Brådskande" };
    static const QStringList sign = { "Per Ek", "Anna Åström", "Göran Holm", "Administratör" };
    QRandomGenerator random(4711);
    QByteArray bytes;
    bytes.reserve(qsizetype(count) * 150);
    for (int i = 0; i < count; ++i) {
        const QDate date = QDate(2015, 1, 1).addDays(i / 40);
        RegisterEntry e;
        e[CaseNumber]
            = date.toString(QStringLiteral("yyMMdd")) + u' ' + QString::number(random.bounded(9999));
        e[Created] = date.toString(Qt::ISODate);
        e[CustomerNumber] = QString::number(1000 + random.bounded(90000));
        e[CustomerName] = pick(random, first) + u' ' + pick(random, last);
        e[Telephone] = QStringLiteral("070-%1 %2 %3")
                           .arg(random.bounded(1000), 3, 10, QLatin1Char('0'))
                           .arg(random.bounded(100), 2, 10, QLatin1Char('0'))
                           .arg(random.bounded(100), 2, 10, QLatin1Char('0'));
        e[Priority] = pick(random, priority);
        e[CaseStatus] = pick(random, status);
        const quint64 a = random.generate64(), b = random.generate64();
        e[ControlCode] = QStringLiteral("{%1-%2-%3-%4-%5}")
                             .arg(a >> 32, 8, 16, QLatin1Char('0'))
                             .arg((a >> 16) & 0xFFFF, 4, 16, QLatin1Char('0'))
                             .arg(a & 0xFFFF, 4, 16, QLatin1Char('0'))
                             .arg(b >> 48, 4, 16, QLatin1Char('0'))
                             .arg(b & 0xFFFFFFFFFFFFull, 12, 16, QLatin1Char('0'))
                             .toUpper();
        e[Signature] = pick(random, sign);
        bytes += random.bounded(4) == 0 ? caseregister::formatPlain(e) : caseregister::formatQuoted(e);
    }
    return bytes;
}

Timing timeWc(const QString &path, int runs)
{
    return measure(runs, [&path] {
        QProcess wc;
        wc.start(QStringLiteral("wc"), { QStringLiteral("-l"), path });
        wc.waitForFinished(-1);
    });
}

struct Load
{
    Timing time;
    double cpuBest = 0; // ms
    qsizetype loaded = 0;
};

// Times loads that return (entries, whatever holds them); what they return is freed
// outside the timed part.
template <typename F> Load timeLoad(int runs, F &&run)
{
    Load load;
    std::vector<double> times;
    double cpuBest = 1e300;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        const std::clock_t cpuStart = std::clock();
        auto [entries, holder] = run();
        cpuBest = std::min(cpuBest, double(std::clock() - cpuStart) * 1e3 / CLOCKS_PER_SEC);
        times.push_back(timer.nsecsElapsed() / 1e6);
        load.loaded = entries;
    }
    std::sort(times.begin(), times.end());
    load.time = { times.front(), times[times.size() / 2] };
    load.cpuBest = cpuBest;
    return load;
}

// Other work on the machine shows in every timing; the figures say how busy it was.
QString loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("unknown");
    return QString::fromLatin1(file.readLine().trimmed());
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid() || !QDir(dir.path()).mkpath(QStringLiteral("Lib/User"))) {
        std::fprintf(stderr, "cannot create a temporary data folder\n");
        return 1;
    }
    DataFolder::setRoot(dir.path());
    QTextStream out(stdout);

    // "bench_storage removal" measures the removal alone.
    const bool removalOnly = argc > 1 && qstrcmp(argv[1], "removal") == 0;
    if (!removalOnly) {
        // The time wc needs to start and stop is taken off its runs, so that the ratio
        // compares reading the file only.
        const QString empty = dir.filePath(QStringLiteral("Lib/empty.txt"));
        fileio::saveAll(empty, QByteArray());
        const double wcStart = timeWc(empty, 21).best;

        // The figure that counts is the table load: it is what the overview does. The list
        // of decoded entries (caseregister::load, for the other callers) is shown beside it.
        out << QStringLiteral("load average %1\n").arg(loadAverage());
        out << "Case register load, best and median of several runs; wc -l on the same file, best run\n";
        out << QStringLiteral("(process start of wc, %1 ms, taken off)\n").arg(wcStart, 0, 'f', 2);
        out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9 %10 %11\n")
                   .arg(QStringLiteral("entries"), 9)
                   .arg(QStringLiteral("MB"), 7)
                   .arg(QStringLiteral("table ms"), 9)
                   .arg(QStringLiteral("median ms"), 10)
                   .arg(QStringLiteral("cpu ms"), 8)
                   .arg(QStringLiteral("MB/s"), 8)
                   .arg(QStringLiteral("entries/s"), 11)
                   .arg(QStringLiteral("wc ms"), 8)
                   .arg(QStringLiteral("vs wc"), 7)
                   .arg(QStringLiteral("list ms"), 9)
                   .arg(QStringLiteral("list MB/s"), 10);
        for (const int count : { 10000, 100000, 1000000 }) {
            const QString path = dir.filePath(QStringLiteral("Lib/arenden_%1.txt").arg(count));
            const QByteArray bytes = makeRegister(count);
            if (!fileio::saveAll(path, bytes)) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
                return 1;
            }
            const int runs = count >= 1000000 ? 7 : 21;
            // The loaded register is freed outside the timed part: the overview keeps it.
            // CPU time is printed beside the wall time: on a busy machine it is the steadier
            // figure.
            const Load table = timeLoad(runs, [&path] {
                Result<caseregister::Table> table = caseregister::Table::load(path);
                const qsizetype size = table.value().size();
                return std::pair(size, std::any(std::move(table)));
            });
            const Load list = timeLoad(count >= 1000000 ? 3 : 5, [&path] {
                Result<QList<RegisterEntry>> entries = caseregister::load(path);
                const qsizetype size = entries.value().size();
                return std::pair(size, std::any(std::move(entries)));
            });
            if (table.loaded != count || list.loaded != count) {
                std::fprintf(stderr, "loaded %lld and %lld entries of %d\n",
                    static_cast<long long>(table.loaded), static_cast<long long>(list.loaded), count);
                return 1;
            }
            const double wcBest = std::max(0.01, timeWc(path, runs).best - wcStart);
            const double mb = bytes.size() / 1e6;
            const double mbPerSecond = mb / (table.time.best / 1e3);
            const double wcMbPerSecond = mb / (wcBest / 1e3);
            out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9 %10 %11\n")
                       .arg(count, 9)
                       .arg(mb, 7, 'f', 1)
                       .arg(table.time.best, 9, 'f', 2)
                       .arg(table.time.median, 10, 'f', 2)
                       .arg(table.cpuBest, 8, 'f', 2)
                       .arg(mbPerSecond, 8, 'f', 0)
                       .arg(count / (table.time.best / 1e3), 11, 'f', 0)
                       .arg(wcBest, 8, 'f', 2)
                       .arg(mbPerSecond / wcMbPerSecond, 7, 'f', 2)
                       .arg(list.time.best, 9, 'f', 1)
                       .arg(mb / (list.time.best / 1e3), 10, 'f', 0);
            out.flush();
            QFile::remove(path);
        }
        out << QStringLiteral("load average %1\n").arg(loadAverage());
    }

    // Removing one case from a register of 100,000 through the case store, as the
    // overview's "Ta bort" does: the list's keys in its order, the register read from
    // disk, rewritten without the case, synced and renamed into place. The file is put
    // back between runs, outside the timed part. Once with the list in file order (as
    // loaded, or sorted by date) and once in another order (sorted by name). Beside it
    // the same file saved alone (written, synced, renamed), which no rewrite can beat.
    {
        const int count = 100000;
        const int runs = 11;
        const QString path = paths::caseRegister();
        const QByteArray bytes = makeRegister(count);
        Result<caseregister::Table> table = caseregister::Table::fromBytes(bytes);
        const caseregister::Table &rows = table.value();
        const RegisterEntry victim = rows.entry(count / 2);
        std::vector<qsizetype> byName(static_cast<std::size_t>(rows.size()));
        std::iota(byName.begin(), byName.end(), 0);
        std::stable_sort(byName.begin(), byName.end(), [&rows](qsizetype a, qsizetype b) {
            return rows.rawField(a, CustomerName) < rows.rawField(b, CustomerName);
        });
        out << QStringLiteral("\nRemoval of one case from %1 through the case store (best, median of %2)\n")
                   .arg(count)
                   .arg(runs);
        for (const bool sorted : { false, true }) {
            std::vector<double> times;
            std::vector<double> cpuTimes;
            std::vector<double> keyTimes;
            for (int run = 0; run < runs; ++run) {
                if (!fileio::saveAll(path, bytes))
                    return 1;
                QElapsedTimer timer;
                timer.start();
                const std::clock_t cpuStart = std::clock();
                // As the overview hands its order over: views into the list's own table.
                ListOrder keys;
                keys.hold(rows);
                keys.reserve(count);
                for (qsizetype i = 0; i < rows.size(); ++i) {
                    const qsizetype row = sorted ? byName[static_cast<std::size_t>(i)] : i;
                    const caseregister::Table::KeyFields fields = rows.keyFields(row);
                    keys.append(fields.controlCode, fields.caseNumber, fields.created);
                }
                keyTimes.push_back(timer.nsecsElapsed() / 1e6);
                const StoreResult removed = CaseStore::removeCases({ victim }, keys);
                cpuTimes.push_back(double(std::clock() - cpuStart) * 1e3 / CLOCKS_PER_SEC);
                times.push_back(timer.nsecsElapsed() / 1e6);
                if (!removed) {
                    std::fprintf(stderr, "removal failed: %s\n", qPrintable(removed.message));
                    return 1;
                }
            }
            std::sort(times.begin(), times.end());
            std::sort(cpuTimes.begin(), cpuTimes.end());
            std::sort(keyTimes.begin(), keyTimes.end());
            const Result<caseregister::Table> after = caseregister::Table::load(path);
            out << QStringLiteral("%1: remove ms %2, %3 (cpu median %4; of which the list's keys %5)  "
                                  "lines left %6  bytes %7\n")
                       .arg(sorted ? QStringLiteral("list sorted by name")
                                   : QStringLiteral("list in file order"),
                           19)
                       .arg(times.front(), 0, 'f', 2)
                       .arg(times[times.size() / 2], 0, 'f', 2)
                       .arg(cpuTimes[cpuTimes.size() / 2], 0, 'f', 2)
                       .arg(keyTimes[keyTimes.size() / 2], 0, 'f', 2)
                       .arg(after.value().size())
                       .arg(QFileInfo(path).size());
            out.flush();
        }
        const QByteArray written = fileio::readAll(path).value();
        const Timing saveAlone = measure(runs, [&] { (void)fileio::saveAll(path, written); });
        out << QStringLiteral("the same file saved alone (written, synced, renamed): ms %1, %2\n")
                   .arg(saveAlone.best, 0, 'f', 2)
                   .arg(saveAlone.median, 0, 'f', 2);
        out << QStringLiteral("load average %1\n").arg(loadAverage());
        out.flush();
        QFile::remove(path);
    }
    if (removalOnly)
        return 0;

    // One INI read and one INI write on a user file, each opening the file afresh.
    const QString userPath = dir.filePath(QStringLiteral("Lib/User/anna.ini"));
    WriteIniAll(userPath,
        { { "Main", "User", "anna" }, { "Main", "PassWD", "hemligt" }, { "Main", "Index", "0" },
            { "Main", "RealName", "Anna Åström" } });
    const int readOps = 5000, writeOps = 1000;
    const Timing reads = measure(5, [&] {
        for (int i = 0; i < readOps; ++i)
            ReadIni(userPath, QStringLiteral("Main"), QStringLiteral("PassWD"));
    });
    const Timing writes = measure(5, [&] {
        for (int i = 0; i < writeOps; ++i)
            WriteIni(userPath, QStringLiteral("Main"), QStringLiteral("Index"), QString::number(i % 10));
    });
    out << "\nINI on a user file (best of 5 batches)\n";
    out << QStringLiteral("ReadIni  %1 us/op\n").arg(reads.best * 1e3 / readOps, 0, 'f', 1);
    out << QStringLiteral("WriteIni %1 us/op\n").arg(writes.best * 1e3 / writeOps, 0, 'f', 1);
    return 0;
}
