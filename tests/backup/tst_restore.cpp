// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// Restores against archives from anywhere: every hostile entry refused before anything
// changes, the modes of restored files, a Lib that is a link to a share, the safety
// backup kept out of the folders it replaces, a swap that fails half-way, and the
// command-line restore.

#include "backup/backup.h"
#include "backup/presence.h"
#include "common/faultyfs.h"
#include "common/testsupport.h"
#include "common/zipwriter.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
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
    void commandLine_data();
    void commandLine();
};

void TestRestore::hostileArchiveChangesNothing_data()
{
    QTest::addColumn<QList<QByteArray>>("files"); // each entry a plain file with a few bytes
    QTest::addColumn<QByteArray>("special"); // "link", "fifo", "device", "ppmd", "bomb", "huge"
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
}

void TestRestore::hostileArchiveChangesNothing()
{
    QFETCH(QList<QByteArray>, files);
    QFETCH(QByteArray, special);
    QFETCH(backup::Error, error);
    QTemporaryDir work, safety, archives;
    std::unique_ptr<SmallDisk> disk;
    QString root = work.path();
    if (special == "huge") {
        disk = std::make_unique<SmallDisk>(4096);
        if (!disk->ok())
            QSKIP("needs a small disk of its own (root)");
        root = disk->path();
    }
    const QString shop = makeShop(root);
    const QString archive = archives.filePath("fel.zip");
    {
        ZipWriter zip(archive);
        for (const QByteArray &name : std::as_const(files))
            zip.file(name, "x");
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
    const QMap<QString, QByteArray> before = snapshot(shop);

    const backup::Outcome restored = backup::restore(shop, archive, safety.path(), When);
    QCOMPARE(restored.error, error);
    if (special == "ppmd")
        QVERIFY2(restored.detail.contains("ppmd"), qPrintable(restored.detail));
    QCOMPARE(snapshot(shop), before);
    QVERIFY(QDir(safety.path()).isEmpty()); // refused before even the safety backup
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

QTEST_GUILESS_MAIN(TestRestore)
#include "tst_restore.moc"
