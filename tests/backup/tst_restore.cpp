// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// Restores against archives from anywhere: every hostile entry refused before anything
// changes, the modes of restored files, a Lib that is a link to a share, the safety
// backup kept out of the folders it replaces, a swap that fails half-way, a restore cut
// at any of its steps and what the next start makes of it, and the command-line restore.

#include "backup/backup.h"
#include "backup/folderexchange.h"
#include "backup/presence.h"
#include "backup/restorerecord.h"
#include "common/faultyfs.h"
#include "common/testsupport.h"
#include "common/zipwriter.h"
#include "storage/cutpoint.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace lunora;
using namespace lunora::test;

namespace {
const QDateTime When(QDate(2026, 3, 14), QTime(9, 5));
const QByteArray Register
    = "\"1\",\"2026-03-01\",\"K\",\"Anna\",\"08\",\"Normal\",\"Avslutad\",\"{C}\",\"s\"\r\n";

// Every file and folder below a folder with its bytes, links as "-> target".
QMap<QString, QByteArray> snapshot(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
        QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info = it.nextFileInfo();
        const QString name = QDir(folder).relativeFilePath(info.filePath());
        if (info.fileName() == QLatin1String("lunora.lock")
            || info.fileName() == QLatin1String("lunora.presence"))
            continue; // locks, holding nothing
        files.insert(name,
            info.isSymLink()   ? "-> " + info.symLinkTarget().toUtf8()
                : info.isDir() ? QByteArray()
                               : readBytes(info.filePath()));
    }
    return files;
}

// A shop's data folder "Butik" inside `root`: a register, a user, an error log.
QString makeShop(const QString &root, const QByteArray &registerBytes = "gammal\r\n")
{
    const QString shop = root + QStringLiteral("/Butik");
    QDir().mkpath(shop + "/Lib/User");
    QDir().mkpath(shop + "/Errors");
    writeBytes(shop + "/Lib/arenden.txt", registerBytes);
    writeBytes(shop + "/Lib/User/anna.ini", "[Main]\r\nPassWD=gammalt\r\n");
    writeBytes(shop + "/Errors/Error.txt", "fel\r\n");
    return shop;
}

// A good archive of a data folder, as another tool would make it.
QString makeArchive(const QString &folder, const QByteArray &userMode = "0644")
{
    const QString path = folder + QStringLiteral("/Lunora-Annan-2026-03-14-0905.zip");
    ZipWriter zip(path);
    zip.folder("Lib/");
    zip.file("Lib/arenden.txt", Register, 0000);
    zip.folder("Lib/User/");
    zip.file("Lib/User/admin.ini", "[Main]\r\nPassWD=nytt\r\n", userMode.toInt(nullptr, 8));
    zip.folder("Errors/");
    return zip.close() ? path : QString();
}

mode_t modeOf(const QString &path)
{
    struct stat st
    {
    };
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : mode_t(-1);
}

// The child of a cut-point row: restores `archive` into `shop` and ends itself, as a
// kill would, at the `occurrence`-th time it reaches `place`.
int restoreAndCut(const QStringList &arguments)
{
    const QString shop = arguments.at(2);
    backup::setExchangeForTesting(arguments.at(7) == u"1");
    cutpoint::armForTesting(arguments.at(5).toUtf8(), arguments.at(6).toInt());
    (void)backup::restore(shop, arguments.at(3), arguments.at(4), When);
    return 0; // the place was never reached: the test says so
}

mode_t currentUmask()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}
} // namespace

class TestRestore final : public QObject
{
    Q_OBJECT

private slots:
    void hostileArchiveChangesNothing_data();
    void hostileArchiveChangesNothing();
    void restoredFilesGetTheFoldersModes_data();
    void restoredFilesGetTheFoldersModes();
    void linkedLibStaysALink();
    void safetyBackupAndArchiveStayOutsideTheReplacedFolders();
    void backupHoldsWhatTheFolderHolds();
    void failedSwapLeavesEveryPreviousByte_data();
    void failedSwapLeavesEveryPreviousByte();
    void cutRestoreIsFinishedOrUndoneAtStart_data();
    void cutRestoreIsFinishedOrUndoneAtStart();
    void commandLine_data();
    void commandLine();
};

void TestRestore::hostileArchiveChangesNothing_data()
{
    QTest::addColumn<QList<QByteArray>>("files"); // each entry a plain file with a few bytes
    // "link", "fifo", "device", "ppmd", "bomb", "huge", "safety on the disk", "nul"
    QTest::addColumn<QByteArray>("special");
    QTest::addColumn<backup::Error>("error");
    const auto NotABackup = backup::Error::NotABackup;
    QTest::newRow("double slash") << QList<QByteArray> { "Lib/arenden.txt", "Lib//arenden.txt" }
                                  << QByteArray() << NotABackup;
    QTest::newRow("dot") << QList<QByteArray> { "Lib/./arenden.txt" } << QByteArray() << NotABackup;
    QTest::newRow("dot dot") << QList<QByteArray> { "Lib/../../etc/x" } << QByteArray() << NotABackup;
    QTest::newRow("absolute") << QList<QByteArray> { "/Lib/arenden.txt" } << QByteArray() << NotABackup;
    QTest::newRow("backslash") << QList<QByteArray> { "Lib\\arenden.txt" } << QByteArray() << NotABackup;
    QTest::newRow("other folder") << QList<QByteArray> { "Lib/a.ini", "Annat/a.ini" } << QByteArray()
                                  << NotABackup;
    QTest::newRow("twice") << QList<QByteArray> { "Lib/a.ini", "Lib/a.ini" } << QByteArray() << NotABackup;
    QTest::newRow("file and folder") << QList<QByteArray> { "Lib/a", "Lib/a/b.ini" } << QByteArray()
                                     << NotABackup;
    QTest::newRow("Lib a file") << QList<QByteArray> { "Lib" } << QByteArray() << NotABackup;
    QTest::newRow("link") << QList<QByteArray> { "Lib/a.ini" } << QByteArray("link") << NotABackup;
    QTest::newRow("fifo") << QList<QByteArray> { "Lib/a.ini" } << QByteArray("fifo") << NotABackup;
    QTest::newRow("device") << QList<QByteArray> { "Lib/a.ini" } << QByteArray("device") << NotABackup;
    // PPMd would take as much memory as the entry asks for before a byte is checked.
    QTest::newRow("packed with PPMd")
        << QList<QByteArray> { "Lib/a.ini" } << QByteArray("ppmd") << backup::Error::NotAnArchive;
    QTest::newRow("zip bomb") << QList<QByteArray> { "Lib/a.ini" } << QByteArray("bomb")
                              << backup::Error::TooLarge;
    QTest::newRow("over the free space")
        << QList<QByteArray> { "Lib/a.ini" } << QByteArray("huge") << backup::Error::NoSpace;
    // Fits alone, but not beside the safety copy of what it replaces on the same disk.
    QTest::newRow("over the free space with the safety copy")
        << QList<QByteArray> { "Lib/a.ini" } << QByteArray("safety on the disk") << backup::Error::NoSpace;
    // Names the file system cannot hold, or that would not come back as they were.
    QTest::newRow("NUL in a name") << QList<QByteArray> { "Lib/oQ.txt" } << QByteArray("nul") << NotABackup;
    QTest::newRow("escape in a name")
        << QList<QByteArray> { "Lib/a\x1b[2J.ini" } << QByteArray() << NotABackup;
    QTest::newRow("line break in a name")
        << QList<QByteArray> { "Lib/a\r\nb.ini" } << QByteArray() << NotABackup;
    QTest::newRow("300-character name") << QList<QByteArray> { "Lib/" + QByteArray(296, 'n') + ".ini" }
                                        << QByteArray() << backup::Error::NameTooLong;
    QTest::newRow("5,000-character path")
        << QList<QByteArray> { "Lib/" + (QByteArray(199, 'p') + '/').repeated(25) + QByteArray(95, 'x') }
        << QByteArray() << backup::Error::NameTooLong;
}

void TestRestore::hostileArchiveChangesNothing()
{
    QFETCH(QList<QByteArray>, files);
    QFETCH(QByteArray, special);
    QFETCH(backup::Error, error);
    QTemporaryDir work, safety, archives;
    std::unique_ptr<SmallDisk> disk;
    QString root = work.path();
    if (special == "huge" || special == "safety on the disk") {
        disk = std::make_unique<SmallDisk>(4096);
        if (!disk->ok())
            QSKIP("needs a small disk of its own (root)");
        root = disk->path();
    }
    const QString shop = makeShop(root);
    QString safetyFolder = safety.path();
    const auto noise = [](qint64 size) {
        QByteArray bytes(size, Qt::Uninitialized);
        QRandomGenerator(7).fillRange(reinterpret_cast<quint32 *>(bytes.data()), bytes.size() / 4);
        return bytes;
    };
    if (special == "safety on the disk") {
        writeBytes(shop + "/Lib/logo.bmp", noise(1600 * 1024));
        safetyFolder = shop + "/Sakerhet";
        QVERIFY(QDir().mkpath(safetyFolder));
    }
    const QString archive = archives.filePath("fel.zip");
    {
        ZipWriter zip(archive);
        for (const QByteArray &name : std::as_const(files))
            zip.file(name, "x");
        if (special == "safety on the disk")
            zip.file("Lib/logo.bmp", noise(1200 * 1024));
        if (special == "link")
            zip.link("Lib/b.ini", "/etc/passwd");
        if (special == "bomb")
            zip.zeros("Lib/arenden.txt", qint64(200) << 20);
        if (special == "huge") // 4 MiB of zeros on a 4 MiB disk
            zip.zeros("Lib/arenden.txt", qint64(4) << 20);
        QVERIFY(zip.close());
    }
    if (special == "fifo")
        QVERIFY(setEntryMode(archive, "Lib/a.ini", S_IFIFO | 0644));
    if (special == "device")
        QVERIFY(setEntryMode(archive, "Lib/a.ini", S_IFCHR | 0644));
    if (special == "ppmd")
        QVERIFY(setEntryMethod(archive, "Lib/a.ini", 98));
    if (special == "nul") // in the local header and in the directory alike
        writeBytes(archive, readBytes(archive).replace("Lib/oQ.txt", QByteArray("Lib/o\0.txt", 10)));
    const QMap<QString, QByteArray> before = snapshot(shop);

    const backup::Outcome restored = backup::restore(shop, archive, safetyFolder, When);
    QCOMPARE(restored.error, error);
    if (special == "ppmd")
        QVERIFY2(restored.detail.contains("ppmd"), qPrintable(restored.detail));
    QCOMPARE(snapshot(shop), before);
    QVERIFY(QDir(safetyFolder).isEmpty()); // refused before even the safety backup
    QCOMPARE(QDir(root).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
        QStringList { "Butik" });
}

void TestRestore::restoredFilesGetTheFoldersModes_data()
{
    QTest::addColumn<bool>("groupShared");
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("expected");
    const int plain = 0600 & ~int(currentUmask());
    QTest::newRow("register of mode 0000") << false << "Lib/arenden.txt" << plain;
    QTest::newRow("user file of mode 04777") << false << "Lib/User/admin.ini" << plain;
    QTest::newRow("register, shared folder") << true << "Lib/arenden.txt" << (plain | 0060);
    QTest::newRow("user file, shared folder") << true << "Lib/User/admin.ini" << (plain | 0060);
}

void TestRestore::restoredFilesGetTheFoldersModes()
{
    QFETCH(bool, groupShared);
    QFETCH(QString, file);
    QFETCH(int, expected);
    QTemporaryDir work, safety;
    const QString shop = makeShop(work.path());
    if (groupShared)
        QVERIFY(::chmod(QFile::encodeName(shop + "/Lib").constData(), 02775) == 0);
    const backup::Outcome restored
        = backup::restore(shop, makeArchive(work.path(), "4777"), safety.path(), When);
    QVERIFY2(restored.ok(), qPrintable(restored.detail));
    QCOMPARE(int(modeOf(shop + u'/' + file)), expected);
    QCOMPARE(int(modeOf(shop + "/Lib")), groupShared ? 02775 : int(0777 & ~currentUmask()));
    QCOMPARE(readBytes(shop + "/Lib/arenden.txt"), Register);
}

void TestRestore::linkedLibStaysALink()
{
    QTemporaryDir work, safety;
    const QString share = makeShop(work.path() + "/srv");
    const QString desk = work.filePath("desk");
    QVERIFY(QDir().mkpath(desk + "/Errors"));
    QVERIFY(QFile::link(share + "/Lib", desk + "/Lib"));
    Presence present;
    QVERIFY(present.enter(desk));
    backup::RestoreRequest request;
    request.dataFolder = desk;
    request.archivePath = makeArchive(work.path());
    request.safetyFolders = { safety.path() };
    request.when = When;
    request.presence = &present;

    // Another machine on the share, with a data folder of its own, is seen through Lib.
    Presence otherMachine;
    QVERIFY(otherMachine.enter(share));
    QCOMPARE(backup::restore(request).error, backup::Error::InUse);
    otherMachine.leave();

    const backup::Outcome restored = backup::restore(request);
    QVERIFY2(restored.ok(), qPrintable(restored.detail));
    QVERIFY(QFileInfo(desk + "/Lib").isSymLink());
    QCOMPARE(readBytes(share + "/Lib/arenden.txt"), Register);
    QCOMPARE(QDir(share).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
        QStringList({ "Errors", "Lib", "lunora.presence" }));
    // The safety backup holds the share's files, and the restorer is present in the new Lib.
    const backup::Inspection saved = backup::inspect(restored.archivePath);
    QVERIFY(saved.ok());
    QCOMPARE(saved.summary.caseCount, 1); // "gammal", the share's register
    QCOMPARE(saved.summary.files, 2); // the desk's own Errors is empty
    QVERIFY(otherMachine.enter(share));
    QVERIFY(!present.beginAlone());
}

void TestRestore::safetyBackupAndArchiveStayOutsideTheReplacedFolders()
{
    QTemporaryDir work;
    const QString shop = makeShop(work.path());
    const QString inLib = shop + "/Lib/Sakerhet";
    QVERIFY(QDir().mkpath(inLib));
    const QString archive = makeArchive(inLib);
    backup::RestoreRequest request;
    request.dataFolder = shop;
    request.archivePath = archive;
    request.safetyFolders = backup::safetyFolderChoices(shop, archive, inLib);
    request.when = When;
    const backup::Outcome restored = backup::restore(request);
    QVERIFY2(restored.ok(), qPrintable(restored.detail));
    QCOMPARE(QFileInfo(restored.archivePath).absolutePath(), QFileInfo(work.path()).canonicalFilePath());
    QCOMPARE(QFileInfo(restored.archiveCopyPath).fileName(), QFileInfo(archive).fileName());
    QVERIFY(backup::inspect(restored.archiveCopyPath).ok());
    // Restoring the safety backup brings the replaced state back, Sakerhet and all.
    QVERIFY(backup::restore(shop, restored.archivePath, work.path(), When).ok());
    QCOMPARE(readBytes(shop + "/Lib/arenden.txt"), QByteArray("gammal\r\n"));
    QVERIFY(QFileInfo::exists(archive));
}

void TestRestore::backupHoldsWhatTheFolderHolds()
{
    QTemporaryDir work, target, other;
    const QString share = makeShop(work.path() + "/srv");
    const QString desk = work.filePath("desk");
    QVERIFY(QDir().mkpath(desk));
    QVERIFY(QFile::link(share + "/Lib", desk + "/Lib"));
    QVERIFY(QFile::link(share + "/Errors", desk + "/Errors"));
    const QByteArray latin1 = QFile::encodeName(share) + "/Lib/\xc5ke.ini";
    const int fd = ::open(latin1.constData(), O_WRONLY | O_CREAT, 0644);
    QVERIFY(fd >= 0 && ::write(fd, "[Main]\r\n", 8) == 8 && ::close(fd) == 0);
    QVERIFY(QFile::link("/etc/passwd", share + "/Lib/utanfor.ini")); // never followed
    writeBytes(share + "/Lib/.arenden.txt.lunora-Ab12Cd", "half a save");

    const backup::Outcome made = backup::create(desk, target.path(), When);
    QVERIFY2(made.ok(), qPrintable(made.detail));
    QCOMPARE(made.files, 4); // register, user, Åke, error log
    const QString restoredShop = makeShop(other.path());
    QVERIFY(backup::restore(restoredShop, made.archivePath, other.path(), When).ok());
    char bytes[16] = {};
    const int back = ::open((QFile::encodeName(restoredShop) + "/Lib/\xc5ke.ini").constData(), O_RDONLY);
    QVERIFY(back >= 0);
    QCOMPARE(QByteArray(bytes, int(::read(back, bytes, sizeof bytes))), QByteArray("[Main]\r\n"));
    ::close(back);
    // QTemporaryDir cannot remove a name that is not UTF-8.
    ::unlink(latin1.constData());
    ::unlink((QFile::encodeName(restoredShop) + "/Lib/\xc5ke.ini").constData());
    QCOMPARE(readBytes(restoredShop + "/Errors/Error.txt"), QByteArray("fel\r\n"));
    QVERIFY(!QFileInfo(restoredShop + "/Lib/utanfor.ini").exists());

    if (runningAsRoot())
        QSKIP("root reads every file");
    QVERIFY(::chmod(QFile::encodeName(share + "/Lib/User/anna.ini").constData(), 0) == 0);
    const backup::Outcome unreadable = backup::create(desk, target.path(), When);
    QCOMPARE(unreadable.error, backup::Error::ReadFailed);
    QVERIFY(unreadable.detail.contains("Lib/User/anna.ini"));
}

void TestRestore::failedSwapLeavesEveryPreviousByte_data()
{
    QTest::addColumn<bool>("errorsStuck");
    QTest::newRow("Errors cannot be moved after Lib was") << true;
    QTest::newRow("the step after the restore fails") << false;
}

void TestRestore::failedSwapLeavesEveryPreviousByte()
{
    QFETCH(bool, errorsStuck);
    QTemporaryDir work, safety;
    const QString shop = makeShop(work.path());
    const QMap<QString, QByteArray> before = snapshot(shop);
    backup::RestoreRequest request;
    request.dataFolder = shop;
    request.archivePath = makeArchive(work.path());
    request.safetyFolders = { safety.path() };
    request.when = When;
    std::unique_ptr<ReadOnly> stuck;
    if (errorsStuck) {
        // A folder that may not change cannot be moved to another folder either.
        stuck = std::make_unique<ReadOnly>(QStringList { shop + "/Errors" });
        if (!stuck->ok())
            QSKIP("no read-only folders here");
    } else {
        request.afterRestore = [](const QString &) {
            return Status::failure(QStringLiteral("no"));
        };
    }
    const backup::Outcome restored = backup::restore(request);
    stuck.reset();
    QCOMPARE(restored.error, backup::Error::ReplaceFailed);
    QCOMPARE(snapshot(shop), before);
    QCOMPARE(QDir(work.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
        QStringList({ "Butik", "Lunora-Annan-2026-03-14-0905.zip" }));
}

void TestRestore::cutRestoreIsFinishedOrUndoneAtStart_data()
{
    QTest::addColumn<QByteArray>("place"); // where the restore is cut
    QTest::addColumn<int>("occurrence");
    QTest::addColumn<bool>("exchange"); // the file system swaps two folders in one step
    QTest::addColumn<bool>("hadErrors"); // the data folder had an Errors folder
    QTest::addColumn<bool>("freshLib"); // an older copy makes a new Lib before the start
    QTest::addColumn<QString>("said"); // by the start: "" (nothing), or a piece of its line
    const QString undone = QStringLiteral("har tagits tillbaka");
    const QString finished = QStringLiteral("har gjorts klar");
    QTest::newRow("after the safety copy")
        << QByteArray("safety copy made") << 1 << true << true << false << QString();
    QTest::newRow("after the record") << QByteArray("record written") << 1 << true << true << false << undone;
    QTest::newRow("after the staging folders")
        << QByteArray("staging made") << 1 << true << true << false << undone;
    QTest::newRow("unpacking, first file")
        << QByteArray("file unpacked") << 1 << true << true << false << undone;
    QTest::newRow("unpacking, last file")
        << QByteArray("file unpacked") << 2 << true << true << false << undone;
    QTest::newRow("swap written down") << QByteArray("swap recorded") << 1 << true << true << false << undone;
    QTest::newRow("Lib exchanged") << QByteArray("Lib exchanged") << 1 << true << true << false << undone;
    QTest::newRow("Errors exchanged")
        << QByteArray("Errors exchanged") << 1 << true << true << false << undone;
    QTest::newRow("swap done") << QByteArray("swap committed") << 1 << true << true << false << finished;
    QTest::newRow("one staging folder removed")
        << QByteArray("staging removed") << 1 << true << true << false << finished;
    QTest::newRow("both staging folders removed")
        << QByteArray("staging removed") << 2 << true << true << false << finished;
    QTest::newRow("no exchange: Lib moved aside")
        << QByteArray("Lib moved aside") << 1 << false << true << false << undone;
    QTest::newRow("no exchange: Lib moved in")
        << QByteArray("Lib moved in") << 1 << false << true << false << undone;
    QTest::newRow("no exchange: Errors moved aside")
        << QByteArray("Errors moved aside") << 1 << false << true << false << undone;
    QTest::newRow("no exchange: swap done")
        << QByteArray("swap committed") << 1 << false << true << false << finished;
    QTest::newRow("no Errors before: Errors moved in")
        << QByteArray("Errors moved in") << 1 << true << false << false << undone;
    // The previous Lib waits in the staging folder; a Lib made meanwhile is not the
    // restore's to rename over, so everything stays for a person to sort out.
    QTest::newRow("no exchange, Lib aside, a new Lib made meanwhile")
        << QByteArray("Lib moved aside") << 1 << false << true << true << QStringLiteral("kunde varken");
}

void TestRestore::cutRestoreIsFinishedOrUndoneAtStart()
{
    QFETCH(QByteArray, place);
    QFETCH(int, occurrence);
    QFETCH(bool, exchange);
    QFETCH(bool, hadErrors);
    QFETCH(bool, freshLib);
    QFETCH(QString, said);
    QTemporaryDir work, archives, safety, target;
    const QString archive = makeArchive(archives.path());
    // What the folder holds before, and what a restore that is not cut leaves.
    const QString shop = makeShop(work.path());
    if (!hadErrors)
        QVERIFY(QDir(shop + "/Errors").removeRecursively());
    const QMap<QString, QByteArray> before = snapshot(shop);
    QTemporaryDir otherWork, otherSafety;
    const QString other = makeShop(otherWork.path());
    QVERIFY(backup::restore(other, archive, otherSafety.path(), When).ok());
    const QMap<QString, QByteArray> after = snapshot(other);

    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
        { QStringLiteral("--cut"), shop, archive, safety.path(), QString::fromUtf8(place),
            QString::number(occurrence), exchange ? QStringLiteral("1") : QStringLiteral("0") });
    QVERIFY(child.waitForFinished(60000));
    QCOMPARE(child.exitStatus(), QProcess::CrashExit); // cut where the row says, not after
    if (freshLib) {
        QVERIFY(!QFileInfo::exists(shop + "/Lib"));
        QVERIFY(QDir().mkpath(shop + "/Lib"));
        writeBytes(shop + "/Lib/arenden.txt", "ny\r\n");
    }

    // The start of a program: here lunora-backup, before the backup it was asked for.
    QProcess tool;
    tool.setStandardInputFile(QProcess::nullDevice());
    tool.start(QStringLiteral(LUNORA_BACKUP), { "--data-folder", shop, target.path() });
    QVERIFY(tool.waitForFinished(60000));
    QCOMPARE(tool.exitCode(), 0);
    const QString told = QString::fromUtf8(tool.readAllStandardError());
    QMap<QString, QByteArray> now = snapshot(shop);
    const QByteArray logged = now.take(QStringLiteral("Errors/Aterstallning.txt"));
    if (said.isEmpty()) {
        QVERIFY2(!told.contains(QStringLiteral("avbröts")), qPrintable(told));
    } else {
        QVERIFY2(told.contains(said) && told.count(u'\n') == 1, qPrintable(told));
        // Written to the log too, where there is an Errors folder to hold it.
        if (QFileInfo(shop + "/Errors").isDir())
            QVERIFY2(logged.contains(said.toLatin1()), logged.constData());
    }
    // Nothing is left behind but the safety copy, which always stays.
    QCOMPARE(QDir(safety.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 1);
    if (freshLib) {
        QCOMPARE(readBytes(shop + "/Lib/arenden.txt"), QByteArray("ny\r\n"));
        QVERIFY(QFileInfo::exists(backup::RestoreRecord::path(shop)));
        const QStringList staging = QDir(shop).entryList({ ".lunora-restore-*" }, QDir::Dirs | QDir::Hidden);
        QCOMPARE(staging.size(), 2);
        bool kept = false;
        for (const QString &folder : staging)
            kept = kept || readBytes(shop + u'/' + folder + "/replaced/arenden.txt") == "gammal\r\n";
        QVERIFY(kept);
        return;
    }
    QCOMPARE(now, said == QStringLiteral("har gjorts klar") ? after : before);
}

void TestRestore::commandLine_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<bool>("otherCopy");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("said"); // on standard output, or standard error when failed
    QTest::newRow("restored") << QStringList { "--yes" } << false << 0 << "Återställt: 2 filer";
    QTest::newRow("no terminal, no --yes") << QStringList {} << false << 2 << "--yes";
    QTest::newRow("another copy open") << QStringList { "--yes" } << true << 1 << "Lunora är öppet";
    QTest::newRow("unknown option") << QStringList { "--yes", "--fel" } << false << 2 << "fel";
}

void TestRestore::commandLine()
{
    QFETCH(QStringList, options);
    QFETCH(bool, otherCopy);
    QFETCH(int, exitCode);
    QFETCH(QString, said);
    QTemporaryDir work, safety;
    const QString shop = makeShop(work.path());
    const QMap<QString, QByteArray> before = snapshot(shop);
    Presence other;
    if (otherCopy)
        QVERIFY(other.enter(shop));
    QProcess tool;
    tool.setStandardInputFile(QProcess::nullDevice());
    tool.start(QStringLiteral(LUNORA_BACKUP),
        QStringList {
            "--data-folder", shop, "--safety-folder", safety.path(), "--restore", makeArchive(work.path()) }
            + options);
    QVERIFY(tool.waitForFinished(60000));
    QCOMPARE(tool.exitCode(), exitCode);
    const QString output
        = QString::fromUtf8(exitCode == 0 ? tool.readAllStandardOutput() : tool.readAllStandardError());
    QVERIFY2(output.contains(said), qPrintable(output));
    if (exitCode == 0) {
        QCOMPARE(readBytes(shop + "/Lib/arenden.txt"), Register);
        QCOMPARE(QDir(safety.path()).entryList(QDir::Files).size(), 1);
    } else {
        QCOMPARE(snapshot(shop), before);
    }
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc >= 8 && qstrcmp(argv[1], "--cut") == 0)
        return restoreAndCut(app.arguments());
    TestRestore test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_restore.moc"
