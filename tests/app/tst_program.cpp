// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
//
// The built program started as a user starts it: its command line, its refusals and a
// start up to the sign-in window (LUNORA_SMOKE_TEST ends it there).

#include "backup/restorerecord.h"
#include "storage/datafolderchoice.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

Run runProgram(const QStringList &arguments, const QProcessEnvironment &extra = {})
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("LUNORA_SMOKE_TEST"), QStringLiteral("1"));
    for (const QString &key : extra.keys())
        environment.insert(key, extra.value(key));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(LUNORA_PROGRAM), arguments);
    Run run;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

QStringList listing(const QString &root)
{
    QStringList entries;
    QDirIterator it(
        root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        entries.append(QDir(root).relativeFilePath(it.next()));
    entries.sort();
    return entries;
}

} // namespace

class TestProgram final : public QObject
{
    Q_OBJECT

private slots:
    void helpAndVersionPrintAndEnd();
    void unknownOptionShowsHelpAndEndsWithTwo();
    void startsToSignInAndSaysHowToCreateTheFirstAdministrator();
    void refusesDataFolderItCannotUse();
    void undoesACutRestoreBeforeItReadsTheFolder();
};

void TestProgram::helpAndVersionPrintAndEnd()
{
    // No display needed for either: they end before the windowing system starts.
    QProcessEnvironment noDisplay;
    noDisplay.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    noDisplay.insert(QStringLiteral("DISPLAY"), QStringLiteral(":4242"));

    const Run help = runProgram({ QStringLiteral("--help") }, noDisplay);
    QCOMPARE(help.exitCode, 0);
    QVERIFY(help.out.startsWith(QStringLiteral("Användning: lunora [--data-folder MAPP]\n")));
    QVERIFY(help.out.contains(QStringLiteral("--version")));
    QCOMPARE(help.err, QString());

    const Run version = runProgram({ QStringLiteral("--version") }, noDisplay);
    QCOMPARE(version.exitCode, 0);
    QCOMPARE(version.out, QStringLiteral("Lunora %1\n").arg(QStringLiteral(LUNORA_VERSION)));
}

void TestProgram::unknownOptionShowsHelpAndEndsWithTwo()
{
    QTemporaryDir folder;
    const Run run = runProgram({ QStringLiteral("--data-folder"), folder.path(), QStringLiteral("--bogus") });
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.err.startsWith(QStringLiteral("Okänt val: --bogus\n")));
    QVERIFY(run.err.contains(QStringLiteral("Användning: lunora")));
    QCOMPARE(run.out, QString());
    QCOMPARE(listing(folder.path()), QStringList()); // it did not get as far as the folder
}

void TestProgram::startsToSignInAndSaysHowToCreateTheFirstAdministrator()
{
    QTemporaryDir folder;
    for (const char *dir : { "Lib/User", "Lib/Logo", "Errors" })
        QVERIFY(QDir().mkpath(folder.path() + u'/' + QLatin1StringView(dir)));
    const QStringList before = listing(folder.path());

    const Run empty = runProgram({ QStringLiteral("--data-folder"), folder.path() });
    QCOMPARE(empty.exitCode, 0);
    QCOMPARE(empty.out, QStringLiteral("Inloggningsfönstret visas.\n"));
    QVERIFY2(empty.err.contains(
                 QStringLiteral("Det finns ännu ingen användare i datamappen\n%1\n").arg(folder.path())),
        qPrintable(empty.err));
    QVERIFY(empty.err.contains(
        QStringLiteral("/lunora-adduser --data-folder %1 ANVÄNDAR-ID").arg(folder.path())));
    // The portable copy made no folder and filled in nothing: the folder is as the shop
    // laid it out (the lock file that desks share a data folder with, and the presence
    // files every running copy holds, here and in Lib for the machines that share it, aside).
    QStringList after = listing(folder.path());
    after.removeAll(QStringLiteral("Lib/lunora.lock"));
    after.removeAll(QStringLiteral("lunora.presence"));
    after.removeAll(QStringLiteral("Lib/lunora.presence"));
    QCOMPARE(after, before);

    QFile user(folder.path() + QStringLiteral("/Lib/User/anna.ini"));
    QVERIFY(user.open(QIODevice::WriteOnly));
    user.write("[Main]\r\nRealName=Anna\r\nIndex=0\r\nPassWD=x\r\nUser=anna\r\n");
    user.close();
    const Run withUser = runProgram({ QStringLiteral("--data-folder=") + folder.path() });
    QCOMPARE(withUser.exitCode, 0);
    QCOMPARE(withUser.out, QStringLiteral("Inloggningsfönstret visas.\n"));
    QVERIFY2(!withUser.err.contains(QStringLiteral("användare")), qPrintable(withUser.err));
}

void TestProgram::refusesDataFolderItCannotUse()
{
    QTemporaryDir base;
    const QString missing = base.path() + QStringLiteral("/missing");
    const Run run = runProgram({ QStringLiteral("--data-folder"), missing });
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(
        run.err.contains(QStringLiteral("Datamappen\n%1\nfinns inte.").arg(missing)), qPrintable(run.err));
    QVERIFY(!run.out.contains(QStringLiteral("Inloggning")));
    QVERIFY(!QFileInfo::exists(missing));
}

// A restore cut between its two renames on a file system that cannot exchange folders:
// Lib lies in the staging folder and the data folder has none. The start puts it back
// before it looks for users, instead of offering to create the first administrator.
void TestProgram::undoesACutRestoreBeforeItReadsTheFolder()
{
    QTemporaryDir temporary;
    const QString folder = QFileInfo(temporary.path()).canonicalFilePath();
    for (const char *dir : { "Lib/User", "Errors", ".lunora-restore-Ab12Cd/new/User" })
        QVERIFY(QDir().mkpath(folder + u'/' + QLatin1StringView(dir)));
    QFile user(folder + QStringLiteral("/Lib/User/anna.ini"));
    QVERIFY(user.open(QIODevice::WriteOnly));
    user.write("[Main]\r\nRealName=Anna\r\nIndex=0\r\nPassWD=x\r\nUser=anna\r\n");
    user.close();
    lunora::backup::RestoreRecord record;
    record.stage = lunora::backup::RestoreRecord::Stage::Swapping;
    record.archive = QStringLiteral("/media/usb/Lunora-Butik-2026-03-14-0905.zip");
    lunora::backup::RestoreRecord::Folder lib;
    lib.top = "Lib";
    lib.real = folder + QStringLiteral("/Lib");
    lib.staging = folder + QStringLiteral("/.lunora-restore-Ab12Cd");
    lib.existed = true;
    lib.previous = lunora::backup::folderId(lib.real);
    lib.restored = lunora::backup::folderId(lib.fresh());
    record.folders = { lib };
    QVERIFY(record.write(folder).ok());
    QVERIFY(QDir().rename(lib.real, lib.aside()));

    const Run run = runProgram({ QStringLiteral("--data-folder"), folder });
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.err.contains(QStringLiteral("En återställning som avbröts har tagits tillbaka")),
        qPrintable(run.err));
    QVERIFY2(!run.err.contains(QStringLiteral("ingen användare")), qPrintable(run.err));
    QVERIFY(QFile::exists(folder + QStringLiteral("/Lib/User/anna.ini")));
    QStringList left = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    left.removeAll(QStringLiteral("lunora.presence"));
    QCOMPARE(left, QStringList({ "Errors", "Lib" }));
    QFile log(folder + QStringLiteral("/Errors/Aterstallning.txt"));
    QVERIFY(log.open(QIODevice::ReadOnly));
    QVERIFY(log.readAll().contains("har tagits tillbaka"));
}

QTEST_GUILESS_MAIN(TestProgram)
#include "tst_program.moc"
