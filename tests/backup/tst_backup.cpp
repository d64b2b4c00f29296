// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// Backups and restores of a data folder: the archive's name, mode and contents, its
// check before anything is replaced, a full disk, and the presence lock that keeps a
// restore from pulling the files from under another running copy.

#include "backup/backup.h"
#include "backup/presence.h"
#include "storage/datafolder.h"
#include "storage/folderlock.h"
#include "storage/passwords.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <sys/stat.h>
#include <thread>

using namespace lunora;

namespace {
const QDateTime When(QDate(2026, 3, 14), QTime(9, 5));

void write(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Every file below Lib and Errors with its bytes, and the folders as empty entries.
QMap<QString, QByteArray> contents(const QString &dataFolder)
{
    QMap<QString, QByteArray> files;
    const QDir root(dataFolder);
    for (const char *top : { "Lib", "Errors" }) {
        if (!QFileInfo(root.filePath(top)).isDir())
            continue;
        files.insert(QString::fromLatin1(top) + '/', QByteArray());
        QDirIterator it(root.filePath(top), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
            QDirIterator::Subdirectories);
        while (it.hasNext()) {
            it.next();
            const QString relative = root.relativeFilePath(it.filePath());
            if (relative == QLatin1String("Lib/lunora.lock"))
                continue; // made by the folder lock, holds nothing
            files.insert(it.fileInfo().isDir() ? relative + '/' : relative,
                it.fileInfo().isDir() ? QByteArray() : read(it.filePath()));
        }
    }
    return files;
}

// A data folder as a shop's would look, with bytes of every kind in its files.
void makeDemoFolder(const QString &root)
{
    write(root + "/Lib/arenden.txt",
        "\"101215 4711\",\"2010-12-15\",\"K-17\",\"Anna \xc5kesson\",\"08-1\",\"Normal\",\"Avslutad\","
        "\"{AAAAAAAA-1111-4111-8111-AAAAAAAAAAAA}\",\"Anna Ek\"\r\n"
        "110102 12,2011-01-02,K-99,Bo Berg,031-777,Br\xe5"
        "dskande,Nytt \xe4rende,"
        "{BBBBBBBB-2222-4222-8222-BBBBBBBBBBBB},Bo\r\n");
    write(root + "/Lib/{AAAAAAAA-1111-4111-8111-AAAAAAAAAAAA}_ArtData.txt",
        "\"17\",\"Skruv\",\"2\",\"st\",\"12,50\",\"25,00\"\r\n");
    write(root + "/Lib/{AAAAAAAA-1111-4111-8111-AAAAAAAAAAAA}_eData.ini", "[Main]\r\nKund=K-17\r\n");
    write(root + "/Lib/CompanyInfo.ini", "[Main]\r\nRad1=Verkstan\r\nMOMS=25\r\n");
    write(root + "/Lib/User/anna.ini", "[Main]\r\nUser=anna\r\nPassWD=hemligt\r\nIndex=0\r\n");
    QByteArray binary;
    // Bytes that do not compress, so the archive has a real size.
    QRandomGenerator generator(1234);
    for (int i = 0; i < 70000; ++i)
        binary.append(char(generator.bounded(256)));
    write(root + "/Lib/Logo/logo.bmp", binary);
    write(root + "/Errors/Error.txt", "2026-01-01, kl. 10:00:00\r\n\r\n");
    write(root + "/Lib/empty.ini", QByteArray());
}

} // namespace

class TestBackup final : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        backup::setWriteLimitForTesting(-1);
        backup::setBatchWorkForTesting(std::chrono::milliseconds(-1));
    }

    void nameAndLeftOutFiles();
    void roundTripIsByteForByte();
    void backupNeverReplacesAnArchive();
    void corruptArchiveIsRefusedBeforeAnythingIsReplaced_data();
    void corruptArchiveIsRefusedBeforeAnythingIsReplaced();
    void fullDiskLeavesNoHalfArchive();
    void deskChangingFilesBetweenBatchesGetsAWholeArchive_data();
    void deskChangingFilesBetweenBatchesGetsAWholeArchive();
    void failedSafetyBackupReplacesNothing();
    void missingFoldersAreReported();
    void presenceKeepsRestoreAway();
    void restoreKeepsPasswordsProtected_data();
    void restoreKeepsPasswordsProtected();
};

void TestBackup::nameAndLeftOutFiles()
{
    QCOMPARE(backup::archiveFileName(QStringLiteral("/srv/Butik"), When),
        QStringLiteral("Lunora-Butik-2026-03-14-0905.zip"));
    QCOMPARE(backup::archiveFileName(QStringLiteral("/srv/Butik/"), When),
        QStringLiteral("Lunora-Butik-2026-03-14-0905.zip"));
    QVERIFY(backup::isLeftOut(QStringLiteral("Lib/lunora.lock")));
    QVERIFY(backup::isLeftOut(QStringLiteral("Lib/arenden.txt.aB3dE9")));
    QVERIFY(backup::isLeftOut(QStringLiteral("Lib/User/anna.ini.Xy12Zq")));
    QVERIFY(backup::isLeftOut(QStringLiteral("Lib/notes.tmp")));
    QVERIFY(backup::isLeftOut(QStringLiteral("Lib/lunora.presence")));
    QVERIFY(backup::isLeftOut(QStringLiteral("Lib/User/.anna.ini.lunora-Ab12Cd")));
    QVERIFY(!backup::isLeftOut(QStringLiteral("Lib/arenden.txt")));
    QVERIFY(!backup::isLeftOut(QStringLiteral("Lib/User/lunora.lock"))); // only the folder lock's own file
    QVERIFY(!backup::isLeftOut(QStringLiteral("Lib/{AAAAAAAA-1111-4111-8111-AAAAAAAAAAAA}_ArtData.txt")));
}

void TestBackup::roundTripIsByteForByte()
{
    QTemporaryDir shop, other, target, safety;
    const QString data = shop.filePath(QStringLiteral("Butik"));
    makeDemoFolder(data);
    const QMap<QString, QByteArray> original = contents(data);
    write(data + "/Lib/lunora.lock", QByteArray());
    write(data + "/Lib/arenden.txt.Qw12Er", "half a save");

    const backup::Outcome made = backup::create(data, target.path(), When);
    QVERIFY2(made.ok(), qPrintable(made.detail));
    QCOMPARE(made.archivePath, target.filePath(QStringLiteral("Lunora-Butik-2026-03-14-0905.zip")));
    QCOMPARE(made.files, 8);
    QCOMPARE(QFileInfo(made.archivePath).permissions() & 0x7777,
        QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    QCOMPARE(QDir(target.path()).entryList(QDir::Files | QDir::Hidden).size(), 1); // no leftovers

    const backup::Inspection seen = backup::inspect(made.archivePath);
    QVERIFY2(seen.ok(), qPrintable(seen.detail));
    QCOMPARE(seen.summary.caseCount, 2);
    QCOMPARE(seen.summary.newestDate, QStringLiteral("2011-01-02"));
    QCOMPARE(seen.summary.files, 8);

    // Restored over another shop's folder: exactly the backed-up files, nothing else.
    const QString otherData = other.filePath(QStringLiteral("Annan"));
    write(otherData + "/Lib/arenden.txt",
        "\"1\",\"2020-01-01\",\"x\",\"y\",\"z\",\"Normal\",\"Avslutad\",\"{C}\",\"s\"\r\n");
    write(otherData + "/Lib/stale.ini", "[Main]\r\n");
    const QMap<QString, QByteArray> replaced = contents(otherData);
    const backup::Outcome restored = backup::restore(otherData, made.archivePath, safety.path(), When);
    QVERIFY2(restored.ok(), qPrintable(restored.detail));
    QCOMPARE(contents(otherData), original);
    QCOMPARE(QDir(otherData).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
        QStringList({ "Errors", "Lib" })); // no staging or replaced folders left behind

    // The state it replaced is kept, and restores to what it was.
    QCOMPARE(restored.archivePath, safety.filePath(QStringLiteral("Lunora-Annan-2026-03-14-0905.zip")));
    const backup::Outcome back = backup::restore(otherData, restored.archivePath, safety.path(), When);
    QVERIFY2(back.ok(), qPrintable(back.detail));
    QMap<QString, QByteArray> expectedBack = replaced;
    expectedBack.insert(QStringLiteral("Errors/"), QByteArray()); // a data folder always gets both
    QCOMPARE(contents(otherData), expectedBack);
    QCOMPARE(QDir(safety.path()).entryList(QDir::Files).size(), 2); // the second safety copy beside the first
}

void TestBackup::backupNeverReplacesAnArchive()
{
    QTemporaryDir shop, target;
    makeDemoFolder(shop.path());
    const backup::Outcome first = backup::create(shop.path(), target.path(), When);
    const backup::Outcome second = backup::create(shop.path(), target.path(), When);
    QVERIFY(first.ok() && second.ok());
    QVERIFY(first.archivePath != second.archivePath);
    QVERIFY(second.archivePath.endsWith(QStringLiteral("-0905-2.zip")));
    QVERIFY(backup::inspect(first.archivePath).ok());
}

void TestBackup::corruptArchiveIsRefusedBeforeAnythingIsReplaced_data()
{
    QTest::addColumn<QString>("damage");
    QTest::newRow("byte flipped in the middle") << "flip";
    QTest::newRow("cut short") << "truncate";
    QTest::newRow("not a zip") << "text";
    QTest::newRow("empty file") << "empty";
}

void TestBackup::corruptArchiveIsRefusedBeforeAnythingIsReplaced()
{
    QFETCH(QString, damage);
    QTemporaryDir shop, other, target, safety;
    makeDemoFolder(shop.path());
    const backup::Outcome made = backup::create(shop.path(), target.path(), When);
    QVERIFY(made.ok());
    QByteArray bytes = read(made.archivePath);
    if (damage == "flip")
        bytes[bytes.size() / 2] = char(bytes[bytes.size() / 2] ^ 0x5a);
    else if (damage == "truncate")
        bytes.truncate(bytes.size() * 2 / 3);
    else if (damage == "text")
        bytes = "Det här är ingen säkerhetskopia.\r\n";
    else
        bytes.clear();
    write(made.archivePath, bytes);

    write(other.path() + "/Lib/arenden.txt", "kvar\r\n");
    const QMap<QString, QByteArray> before = contents(other.path());
    QVERIFY(!backup::inspect(made.archivePath).ok());
    const backup::Outcome restored = backup::restore(other.path(), made.archivePath, safety.path(), When);
    QVERIFY(!restored.ok());
    QVERIFY(restored.error == backup::Error::Corrupt || restored.error == backup::Error::NotAnArchive);
    QCOMPARE(contents(other.path()), before);
    QVERIFY(QDir(safety.path()).isEmpty()); // refused before even the safety copy
}

void TestBackup::fullDiskLeavesNoHalfArchive()
{
    QTemporaryDir shop, target;
    makeDemoFolder(shop.path());
    backup::setWriteLimitForTesting(20000);
    const backup::Outcome made = backup::create(shop.path(), target.path(), When);
    QCOMPARE(made.error, backup::Error::WriteFailed);
    QVERIFY(!made.detail.isEmpty());
    QVERIFY(QDir(target.path()).isEmpty());
}

// A file as another desk writes it: one version, whole, and long enough that a copy read
// half before and half after a rewrite would show.
QByteArray version(int n)
{
    return QByteArray("v") + QByteArray::number(n).rightJustified(6, '0') + QByteArray(3000, 'x') + "\r\n";
}

void TestBackup::deskChangingFilesBetweenBatchesGetsAWholeArchive_data()
{
    QTest::addColumn<QString>("change");
    QTest::newRow("rewrites a file") << "rewrite";
    QTest::newRow("removes a file") << "remove";
    QTest::newRow("adds a file") << "add";
}

// Another desk of this process takes the lock between the backup's batches and changes
// files under it: the backup finishes, its check passes, and every file in it is one
// whole version of what the desk wrote.
void TestBackup::deskChangingFilesBetweenBatchesGetsAWholeArchive()
{
    QFETCH(QString, change);
    QTemporaryDir shop, other, target, safety;
    const QString data = shop.filePath(QStringLiteral("Butik"));
    makeDemoFolder(data);
    constexpr int Files = 40;
    for (int i = 0; i < Files; ++i)
        write(QStringLiteral("%1/Lib/f%2.ini").arg(data).arg(i), version(0));
    backup::setBatchWorkForTesting(std::chrono::milliseconds(0)); // one file a batch

    std::atomic_bool done { false };
    std::atomic_int changes { 0 };
    std::thread desk([&] {
        for (int n = 1; !done; ++n) {
            if (FolderLock lock = FolderLock::acquireIn(data); lock) {
                const QString path = QStringLiteral("%1/Lib/f%2.ini").arg(data).arg(n % Files);
                if (change == "rewrite")
                    write(path, version(n));
                else if (change == "remove")
                    QFile::remove(path);
                else
                    write(QStringLiteral("%1/Lib/g%2.ini").arg(data).arg(n), version(n));
                ++changes;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });
    const backup::Outcome made = backup::create(data, target.path(), When);
    done = true;
    desk.join();
    QVERIFY2(made.ok(), qPrintable(made.detail));
    QVERIFY(changes > 0); // the desk got the lock while the backup ran

    const QString restoredData = other.filePath(QStringLiteral("Butik"));
    QVERIFY(QDir().mkpath(restoredData + "/Lib"));
    const backup::Outcome restored = backup::restore(restoredData, made.archivePath, safety.path(), When);
    QVERIFY2(restored.ok(), qPrintable(restored.detail));
    const QStringList names
        = QDir(restoredData + "/Lib").entryList({ QStringLiteral("f*.ini"), QStringLiteral("g*.ini") });
    QVERIFY(!names.isEmpty());
    for (const QString &name : names) {
        const QByteArray bytes = read(restoredData + "/Lib/" + name);
        QVERIFY2(bytes.size() == version(0).size() && bytes.startsWith('v') && bytes.endsWith("x\r\n"),
            qPrintable(name));
    }
}

void TestBackup::failedSafetyBackupReplacesNothing()
{
    QTemporaryDir shop, other, target, safety;
    makeDemoFolder(shop.path());
    const backup::Outcome made = backup::create(shop.path(), target.path(), When);
    QVERIFY(made.ok());
    makeDemoFolder(other.path());
    write(other.path() + "/Lib/arenden.txt", "annan\r\n");
    const QMap<QString, QByteArray> before = contents(other.path());
    backup::setWriteLimitForTesting(1000);
    const backup::Outcome restored = backup::restore(other.path(), made.archivePath, safety.path(), When);
    QCOMPARE(restored.error, backup::Error::SafetyBackupFailed);
    QCOMPARE(contents(other.path()), before);
    QVERIFY(QDir(safety.path()).isEmpty());
}

void TestBackup::missingFoldersAreReported()
{
    QTemporaryDir empty, target;
    QCOMPARE(backup::create(empty.path(), target.path(), When).error, backup::Error::DataFolderMissing);
    makeDemoFolder(empty.path());
    QCOMPARE(
        backup::create(empty.path(), target.filePath("saknas"), When).error, backup::Error::TargetMissing);
    QCOMPARE(backup::inspect(target.filePath("saknas.zip")).error, backup::Error::NotAnArchive);
}

void TestBackup::presenceKeepsRestoreAway()
{
    QTemporaryDir shop;
    Presence mine;
    Presence other;
    QVERIFY(mine.enter(shop.path()));
    QVERIFY(other.enter(shop.path()));
    QVERIFY(!mine.beginAlone()); // another copy is there
    QVERIFY(mine.entered()); // still present after the refusal
    other.leave();
    QVERIFY(mine.beginAlone());
    Presence late;
    QVERIFY(!late.enter(shop.path())); // nobody joins while a restore runs
    mine.endAlone();
    QVERIFY(late.enter(shop.path()));
    QVERIFY(!mine.beginAlone());
}

void TestBackup::restoreKeepsPasswordsProtected_data()
{
    QTest::addColumn<bool>("archiveHasMark");
    QTest::newRow("archive made before protection") << false;
    QTest::newRow("archive with the mark and a plain user file") << true;
}

void TestBackup::restoreKeepsPasswordsProtected()
{
    QFETCH(bool, archiveHasMark);
    QTemporaryDir shop, target, safety;
    const QString data = shop.filePath(QStringLiteral("Butik"));
    makeDemoFolder(data);
    DataFolder::setRoot(data);
    passwords::setHashCostForTesting(64, 1);
    QString user = QStringLiteral("anna");
    if (archiveHasMark) {
        // A protected folder with a user file an older copy wrote, passwords as typed.
        QVERIFY(passwords::protectFolder().ok());
        user = QStringLiteral("bo");
        write(data + "/Lib/User/bo.ini", "[Main]\r\nUser=bo\r\nPassWD=hemligt\r\nIndex=9\r\n");
    }
    const backup::Outcome made = backup::create(data, target.path(), When);
    QVERIFY2(made.ok(), qPrintable(made.detail));
    if (!archiveHasMark)
        QVERIFY(passwords::protectFolder().ok());

    const backup::Outcome restored = backup::restore(data, made.archivePath, safety.path(), When);
    QVERIFY2(restored.ok(), qPrintable(restored.detail));
    QVERIFY(passwords::isProtected());
    QVERIFY(!read(data + "/Lib/User/" + user + ".ini").contains("hemligt"));
    QCOMPARE(
        passwords::verify(user, QString(), QStringLiteral("hemligt")).value(), passwords::Verdict::Match);
    DataFolder::setRoot(QString());
}

QTEST_GUILESS_MAIN(TestBackup)
#include "tst_backup.moc"
