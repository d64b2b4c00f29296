// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// Several desks on one data folder: processes that change cases and article rows
// through the case store at once lose, duplicate and orphan nothing, and a desk killed
// at any moment leaves every file old or new and the folder lock free.
//
// Counts, not times: the test checks what the files hold against what every process
// was told was done, and prints how many operations ran and how often the lock was
// found taken.

#include "storage/casefiles.h"
#include "storage/caseregister.h"
#include "storage/casestore.h"
#include "storage/datafolder.h"
#include "storage/folderlock.h"
#include "storage/housekeeping.h"
#include "support_storage.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QRandomGenerator>
#include <QSet>
#include <QTest>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace lunora;

namespace {

constexpr int Desks = 4;
constexpr int OperationsPerDesk = 500;
constexpr int Kills = 200;
const QStringList SharedCodes = { QStringLiteral("{00000000-0000-4000-8000-000000000001}"),
    QStringLiteral("{00000000-0000-4000-8000-000000000002}"),
    QStringLiteral("{00000000-0000-4000-8000-000000000003}") };

RegisterEntry newEntry(const QString &code, int desk, int serial)
{
    return { QStringLiteral("250101 %1").arg(serial), QStringLiteral("2025-01-01"),
        QStringLiteral("k%1").arg(desk), QStringLiteral("Kund %1-%2").arg(desk).arg(serial),
        QStringLiteral("070-%1").arg(serial), QStringLiteral("Normal"), QStringLiteral("Nytt ärende"), code,
        QStringLiteral("Desk %1").arg(desk) };
}

QString codeOf(int desk, int serial)
{
    return QStringLiteral("{%1-0000-4000-8000-%2}")
        .arg(desk + 1, 8, 16, QLatin1Char('0'))
        .arg(serial, 12, 16, QLatin1Char('0'))
        .toUpper();
}

ArticleRow rowOf(int desk, int serial, const QString &version)
{
    return { QStringLiteral("a%1-%2").arg(desk).arg(serial), QStringLiteral("Del ") + version,
        QStringLiteral("1"), QStringLiteral("st"), QStringLiteral("1,00"), QStringLiteral("1,00") };
}

// What one desk was told was done: its live cases with their current lines, and its
// rows by case. What failed changed nothing here.
struct DeskState
{
    QHash<QString, QStringList> cases; // control code -> the nine fields
    QList<QPair<QString, QStringList>> rows; // (control code, six fields)
    int done = 0;
    int failed = 0;
    long long contended = 0;
};

QDataStream &operator<<(QDataStream &out, const DeskState &s)
{
    return out << s.cases << s.rows << s.done << s.failed << s.contended;
}
QDataStream &operator>>(QDataStream &in, DeskState &s)
{
    return in >> s.cases >> s.rows >> s.done >> s.failed >> s.contended;
}

QStringList toList(const auto &fields)
{
    return QStringList(fields.begin(), fields.end());
}

// One desk's random work. `operations` < 0 runs until the process is killed.
DeskState work(int desk, int operations, quint32 seed)
{
    QRandomGenerator random(seed);
    DeskState state;
    QList<QPair<QString, ArticleRow>> rows;
    int serial = 0;
    const auto count = [&](const StoreResult &result) {
        result.ok() ? ++state.done : ++state.failed;
        return result.ok();
    };
    for (int op = 0; operations < 0 || op < operations; ++op) {
        const int dice = random.bounded(100);
        const QStringList own = state.cases.keys();
        if (dice < 20 || own.isEmpty()) {
            const QString code = codeOf(desk, ++serial);
            const RegisterEntry entry = newEntry(code, desk, serial);
            if (count(CaseStore::saveNewCase(entry)))
                state.cases.insert(code, toList(entry));
        } else if (dice < 35) {
            const QString code = own.at(random.bounded(int(own.size())));
            RegisterEntry entry;
            std::copy_n(state.cases.value(code).cbegin(), RegisterFieldCount, entry.begin());
            entry[CaseStatus] = QStringLiteral("Under behandling %1").arg(op);
            entry[Priority] = random.bounded(2) ? QStringLiteral("Brådskande") : QStringLiteral("Normal");
            if (count(CaseStore::replaceCase(entry, {})))
                state.cases.insert(code, toList(entry));
        } else if (dice < 45) {
            const QString code = own.at(random.bounded(int(own.size())));
            RegisterEntry entry;
            std::copy_n(state.cases.value(code).cbegin(), RegisterFieldCount, entry.begin());
            if (count(CaseStore::removeCases({ entry }, {}))) {
                state.cases.remove(code);
                rows.removeIf([&](const auto &r) { return r.first == code; });
            }
        } else if (dice < 70 || rows.isEmpty()) {
            // Rows go to the cases every desk works on, or to one of this desk's own.
            const QString code = random.bounded(2) ? SharedCodes.at(random.bounded(int(SharedCodes.size())))
                                                   : own.at(random.bounded(int(own.size())));
            const ArticleRow row = rowOf(desk, ++serial, QStringLiteral("ny"));
            if (count(CaseStore::addArticleRow(code, row, CaseState::Saved)))
                rows.append({ code, row });
        } else if (dice < 85) {
            const qsizetype at = random.bounded(int(rows.size()));
            const ArticleRow updated = rowOf(desk, ++serial, QStringLiteral("ändrad"));
            if (count(CaseStore::replaceArticleRow(
                    rows.at(at).first, rows.at(at).second, updated, CaseState::Saved)))
                rows[at].second = updated;
        } else {
            const qsizetype at = random.bounded(int(rows.size()));
            if (count(CaseStore::removeArticleRows(
                    rows.at(at).first, { rows.at(at).second }, CaseState::Saved)))
                rows.removeAt(at);
        }
    }
    for (const auto &[code, row] : rows)
        state.rows.append({ code, toList(row) });
    state.contended = FolderLock::contendedCount();
    return state;
}

pid_t startDesk(int desk, int operations, quint32 seed, const QString &report)
{
    const pid_t pid = ::fork();
    if (pid != 0)
        return pid;
    const DeskState state = work(desk, operations, seed);
    QFile file(report);
    if (!file.open(QIODevice::WriteOnly))
        ::_exit(3);
    QDataStream out(&file);
    out << state;
    file.close();
    ::_exit(0);
}

// Every line of a file of comma-separated quoted or plain fields must hold `fields`
// fields: a line cut short or two lines run together would not.
int malformedLines(const QByteArray &bytes, int fields)
{
    int bad = 0;
    for (const QByteArray &line : bytes.split('\n')) {
        if (line.isEmpty())
            continue;
        if (!line.endsWith('\r') || line.count(',') < fields - 1)
            ++bad;
    }
    return bad;
}

// Case files whose case has no register line: of cases removed (or being removed when
// their desk was killed), and of others.
struct Orphans
{
    int ofRemoved = 0;
    int others = 0;
};

Orphans orphanFiles(const QDir &lib)
{
    QSet<QString> inRegister;
    const Result<caseregister::Table> table = caseregister::Table::load(paths::caseRegister());
    for (qsizetype row = 0; table && row < table.value().size(); ++row)
        inRegister.insert(QString::fromLatin1(table.value().rawField(row, ControlCode)));
    // Named in Borttagna.txt, or noted by a removal that was cut before it got there.
    QSet<QString> removed;
    for (const QString &file : { paths::removedCasesFile(), paths::removalIntentsFile() }) {
        for (const QByteArray &line : test::readBytes(file).split('\n'))
            removed.insert(QString::fromLatin1(line.trimmed().split('\t').last()));
    }
    Orphans orphans;
    for (const QString &name : lib.entryList(QDir::Files)) {
        const qsizetype end = name.lastIndexOf(u'_');
        if (end <= 0 || !name.startsWith(u'{') || inRegister.contains(name.left(end)))
            continue;
        ++(removed.contains(name.left(end)) ? orphans.ofRemoved : orphans.others);
    }
    return orphans;
}

QStringList temporaryFiles(const QString &lib)
{
    QStringList found;
    for (const QString &name : QDir(lib).entryList(QDir::Files | QDir::Hidden))
        if (housekeeping::isSaveTemporary(name))
            found << name;
    return found;
}

} // namespace

class TestSharedFolder final : public QObject
{
    Q_OBJECT

private slots:
    void desksAtOnceLoseNothing();
    void killedDeskLeavesOldOrNew();
};

void TestSharedFolder::desksAtOnceLoseNothing()
{
    test::DataFolderFixture folder;
    for (int i = 0; i < SharedCodes.size(); ++i)
        QVERIFY(CaseStore::saveNewCase(newEntry(SharedCodes.at(i), 9, i)).ok());
    QTemporaryDir reports;

    QList<pid_t> pids;
    for (int desk = 0; desk < Desks; ++desk)
        pids << startDesk(desk, OperationsPerDesk, 1100 + desk, reports.filePath(QString::number(desk)));
    for (pid_t pid : pids) {
        int status = 0;
        QCOMPARE(::waitpid(pid, &status, 0), pid);
        QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }

    QHash<QString, QStringList> expectedCases;
    QHash<QString, QList<QStringList>> expectedRows;
    int done = 0, failed = 0;
    long long contended = 0;
    for (int desk = 0; desk < Desks; ++desk) {
        QFile file(reports.filePath(QString::number(desk)));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QDataStream in(&file);
        DeskState state;
        in >> state;
        expectedCases.insert(state.cases);
        for (const auto &[code, row] : std::as_const(state.rows))
            expectedRows[code].append(row);
        done += state.done;
        failed += state.failed;
        contended += state.contended;
    }
    QCOMPARE(done + failed, Desks * OperationsPerDesk);

    // The register: one well-formed line per live case, each as its desk last wrote it.
    const QByteArray registerBytes = test::readBytes(paths::caseRegister());
    QCOMPARE(malformedLines(registerBytes, RegisterFieldCount), 0);
    const QList<RegisterEntry> lines = caseregister::parse(registerBytes);
    QHash<QString, QStringList> inRegister;
    for (const RegisterEntry &line : lines) {
        QVERIFY2(!inRegister.contains(line[ControlCode]), qPrintable(line[ControlCode] + " twice"));
        inRegister.insert(line[ControlCode], toList(line));
    }
    for (const QString &code : SharedCodes)
        QVERIFY(inRegister.remove(code));
    QCOMPARE(inRegister.size(), expectedCases.size());
    QCOMPARE(inRegister, expectedCases);

    // The case files: every live case has its data file, no file names a case that is
    // not in the register, and the rows are those the desks were told were stored.
    const QDir lib(DataFolder::path(u"\\Lib"));
    for (const QString &name : lib.entryList(QDir::Files)) {
        const QString code = name.section(u'_', 0, 0);
        if (!code.startsWith(u'{'))
            continue;
        QVERIFY2(expectedCases.contains(code) || SharedCodes.contains(code), qPrintable(name + " orphaned"));
    }
    for (auto it = expectedCases.cbegin(); it != expectedCases.cend(); ++it)
        QVERIFY(QFileInfo(paths::caseDataFile(it.key()).value()).size() > 0);
    QStringList codesWithRows = SharedCodes + expectedCases.keys();
    for (const QString &code : codesWithRows) {
        const QString path = paths::articleFile(code).value();
        if (!QFileInfo::exists(path)) {
            QVERIFY(expectedRows.value(code).isEmpty());
            continue;
        }
        const QByteArray bytes = test::readBytes(path);
        QCOMPARE(malformedLines(bytes, ArticleFieldCount), 0);
        QList<QStringList> found;
        for (const ArticleRow &row : articlefile::parse(bytes))
            found << toList(row);
        QList<QStringList> expected = expectedRows.value(code);
        std::sort(found.begin(), found.end());
        std::sort(expected.begin(), expected.end());
        QCOMPARE(found, expected);
    }
    QVERIFY(temporaryFiles(lib.path()).isEmpty());
    qInfo("%d desks x %d operations: %d done, %d refused, lock found taken %lld times; %d cases left, "
          "%d rows on the shared cases",
        Desks, OperationsPerDesk, done, failed, contended, int(expectedCases.size()),
        int(expectedRows.value(SharedCodes.at(0)).size() + expectedRows.value(SharedCodes.at(1)).size()
            + expectedRows.value(SharedCodes.at(2)).size()));
}

void TestSharedFolder::killedDeskLeavesOldOrNew()
{
    test::DataFolderFixture folder;
    for (int i = 0; i < SharedCodes.size(); ++i)
        QVERIFY(CaseStore::saveNewCase(newEntry(SharedCodes.at(i), 9, i)).ok());
    QRandomGenerator random(1111);
    for (int kill = 0; kill < Kills; ++kill) {
        const pid_t pid = startDesk(kill % Desks, -1, quint32(kill), QStringLiteral("/dev/null"));
        QVERIFY(pid > 0);
        ::usleep(useconds_t(random.bounded(2000, 30000)));
        ::kill(pid, SIGKILL);
        QCOMPARE(::waitpid(pid, nullptr, 0), pid);
    }

    // The lock died with the desks that held it.
    QVERIFY(FolderLock::acquire(nullptr, std::chrono::milliseconds { 0 }).held());
    const QDir lib(DataFolder::path(u"\\Lib"));
    QCOMPARE(malformedLines(test::readBytes(paths::caseRegister()), RegisterFieldCount), 0);
    int files = 0;
    for (const QFileInfo &file : lib.entryInfoList(QDir::Files)) {
        if (file.fileName() == QLatin1String("lunora.lock"))
            continue;
        ++files;
        if (file.fileName().endsWith(QLatin1String("_eData.ini")))
            QVERIFY2(file.size() > 0, qPrintable(file.fileName() + " empty"));
        if (file.fileName().endsWith(QLatin1String("_ArtData.txt")))
            QCOMPARE(malformedLines(test::readBytes(file.filePath()), ArticleFieldCount), 0);
    }
    QVERIFY(files > SharedCodes.size());
    // A desk killed between the two steps of an atomic save's rename leaves the save's
    // temporary file (the old file is whole). The next start clears such files away once
    // no save can still be working on them.
    const int leftBehind = int(temporaryFiles(lib.path()).size());
    const Result<int> cleared = housekeeping::removeStaleTemporaries(
        QDateTime::currentDateTime().addSecs(housekeeping::staleAfterSeconds + 1));
    QVERIFY(cleared.ok());
    QCOMPARE(cleared.value(), leftBehind);
    QCOMPARE(temporaryFiles(lib.path()), QStringList());

    // A desk killed between the register's rewrite and the files of a removal, or
    // between the files of a new case and its line, leaves case files no line names.
    // Those of removed cases go; the others stay, listed once.
    const Orphans before = orphanFiles(lib);
    const Result<housekeeping::OrphanCount> settled
        = housekeeping::clearOrphans(QDateTime::currentDateTime());
    QVERIFY(settled.ok());
    const Orphans after = orphanFiles(lib);
    QCOMPARE(after.ofRemoved, 0);
    QCOMPARE(after.others, before.others);
    QCOMPARE(settled.value().deleted, before.ofRemoved);
    QVERIFY(!test::readBytes(paths::errorLog()).contains("_eData.ini"));
    qInfo("%d kills: %d files in Lib, all whole; %d temporary files cleared at the next start; orphaned "
          "files: %d of removed cases (deleted, %d after) and %d of other cases (%d cases listed, kept)",
        Kills, files, leftBehind, before.ofRemoved, after.ofRemoved, before.others, settled.value().listed);
}

QTEST_GUILESS_MAIN(TestSharedFolder)
#include "tst_sharedfolder.moc"
