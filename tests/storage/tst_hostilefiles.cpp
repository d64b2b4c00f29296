// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// Files in the data folder that are not what they should be: FIFOs, devices, folders,
// links out of the folder, and text with line ends that made readers and writers slow
// down to a standstill. None may hang the program, reach outside the folder, or leave
// half-made files behind.

#include "common/testsupport.h"
#include "storage/casefiles.h"
#include "storage/caseregister.h"
#include "storage/casestore.h"
#include "storage/datafolder.h"
#include "storage/fileio.h"
#include "storage/folderlock.h"
#include "storage/housekeeping.h"
#include "storage/ini.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <atomic>
#include <memory>
#include <sys/stat.h>
#include <thread>

using namespace lunora;

namespace {

const QString Code = QStringLiteral("{0AB6D5E2-1C3F-4B7A-9E21-5D0C8F4A7B13}");

// Runs `work` on a thread of its own and says whether it finished within `seconds`. A
// hang guard, not a measurement: the limits are many times what the work needs.
bool finishesWithin(int seconds, std::function<void()> work)
{
    auto done = std::make_shared<std::atomic<bool>>(false);
    std::thread([done, work = std::move(work)] {
        work();
        *done = true;
    }).detach();
    for (int i = 0; i < seconds * 100 && !*done; ++i)
        QTest::qSleep(10);
    return *done;
}

bool makeFifo(const QString &path)
{
    return ::mkfifo(QFile::encodeName(path).constData(), 0666) == 0;
}

ArticleRow row(const QString &description)
{
    return { QStringLiteral("17"), description, QStringLiteral("2"), QStringLiteral("st"),
        QStringLiteral("12,50"), QStringLiteral("25,00") };
}

RegisterEntry entry(const QString &name)
{
    return { QStringLiteral("240105 17"), QStringLiteral("2024-01-05"), QStringLiteral("1042"), name,
        QStringLiteral("070-123 45 67"), QStringLiteral("Normal"), QStringLiteral("Nytt ärende"), Code,
        QStringLiteral("Örjan Ek") };
}

} // namespace

class TestHostileFiles final : public QObject
{
    Q_OBJECT

private slots:
    void fifosAreRefusedWithoutHanging();
    void foldersAndDevicesAreNoDataFiles();
    void linksOutOfTheFolderAreRefused();
    void linksWithinTheFolderAndLinkedFoldersWork();
    void bareCarriageReturnsReadInOnePass();
    void loneLineFeedsWriteInOnePass();
    void iniWriteCreatesNoFileUntilItsSave();
    void staleTemporariesAreClearedAway();
    void onlyRemovedCasesLoseTheirLeftOverFiles();
    void newFilesAreForTheOwnerAndASharingGroup_data();
    void newFilesAreForTheOwnerAndASharingGroup();
};

void TestHostileFiles::fifosAreRefusedWithoutHanging()
{
    test::TestDataFolder folder;
    const QString reg = paths::caseRegister();
    const QString art = paths::articleFile(Code).value();
    const QString user = paths::userFile(QStringLiteral("anna")).value();
    for (const QString &path : { reg, art, user })
        QVERIFY(makeFifo(path));

    // Every operation that opens the file, each of which used to wait forever for a
    // writer or reader at the other end.
    std::atomic<int> refused { 0 };
    QVERIFY(finishesWithin(20, [&] {
        refused += !caseregister::Table::load(reg).ok();
        refused += !caseregister::appendPlain(reg, entry(QStringLiteral("Eva"))).ok();
        refused += !caseregister::rewrite(reg, { entry(QStringLiteral("Eva")) }).ok();
        refused += !articlefile::load(art).ok();
        refused += !articlefile::appendRow(art, row(QStringLiteral("Skruv"))).ok();
        refused += !articlefile::rewrite(art, {}).ok();
        refused += !ReadIni(user, QStringLiteral("Main"), QStringLiteral("User")).ok();
        refused
            += !WriteIni(user, QStringLiteral("Main"), QStringLiteral("User"), QStringLiteral("anna")).ok();
    }));
    QCOMPARE(refused.load(), 8);
    // Refused, not replaced: the FIFOs are still there for whoever made them.
    for (const QString &path : { reg, art, user }) {
        struct stat st
        {
        };
        QCOMPARE(::lstat(QFile::encodeName(path).constData(), &st), 0);
        QVERIFY(S_ISFIFO(st.st_mode));
    }
}

void TestHostileFiles::foldersAndDevicesAreNoDataFiles()
{
    test::TestDataFolder folder;
    const QString art = paths::articleFile(Code).value();
    QVERIFY(QDir().mkpath(art));
    QVERIFY(!articlefile::load(art).ok());
    QVERIFY(!articlefile::appendRow(art, row(QStringLiteral("Skruv"))).ok());
    QVERIFY(!articlefile::rewrite(art, { row(QStringLiteral("Skruv")) }).ok());
    QVERIFY(QFileInfo(art).isDir());

    // A device reached through a link: /dev/zero would be read forever.
    const QString reg = paths::caseRegister();
    QVERIFY(QFile::link(QStringLiteral("/dev/zero"), reg));
    QVERIFY(finishesWithin(20, [&] { QVERIFY(!caseregister::Table::load(reg).ok()); }));
}

void TestHostileFiles::linksOutOfTheFolderAreRefused()
{
    test::TestDataFolder folder;
    QTemporaryDir outside;
    const QString victim = outside.filePath(QStringLiteral("victim.ini"));
    test::writeBytes(victim, "[Main]\r\nUser=mallory\r\n");
    QVERIFY(QFile::setPermissions(victim, QFileDevice::ReadOwner));
    const QString user = paths::userFile(QStringLiteral("mallory")).value();
    QVERIFY(QFile::link(victim, user));

    // A read would have made the outside file writable; a write would have replaced it.
    QVERIFY(!ReadIni(user, QStringLiteral("Main"), QStringLiteral("User")).ok());
    QVERIFY(!WriteIni(user, QStringLiteral("Main"), QStringLiteral("PassWD"), QStringLiteral("x")).ok());
    struct stat st
    {
    };
    QCOMPARE(::stat(QFile::encodeName(victim).constData(), &st), 0);
    QCOMPARE(st.st_mode & 07777, mode_t(0400));
    QCOMPARE(test::readBytes(victim), QByteArray("[Main]\r\nUser=mallory\r\n"));

    // A link to a file that does not exist yet: nothing may be created at its end.
    const QString planted = outside.filePath(QStringLiteral("planted.txt"));
    const QString art = paths::articleFile(Code).value();
    QVERIFY(QFile::link(planted, art));
    QVERIFY(!articlefile::appendRow(art, row(QStringLiteral("Skruv"))).ok());
    QVERIFY(!articlefile::rewrite(art, { row(QStringLiteral("Skruv")) }).ok());
    const QString customer = paths::customerFile(QStringLiteral("070")).value();
    QVERIFY(QFile::link(outside.filePath(QStringLiteral("c.ini")), customer));
    QVERIFY(!ReadIni(customer, QStringLiteral("Main"), QStringLiteral("Namn")).ok());
    QCOMPARE(QDir(outside.path()).entryList(QDir::Files), QStringList { QStringLiteral("victim.ini") });
}

void TestHostileFiles::linksWithinTheFolderAndLinkedFoldersWork()
{
    // Lib is a link to a share elsewhere, as a shop that shares its folder sets it up;
    // inside it, one file is a link to another file of the folder.
    QTemporaryDir share;
    QVERIFY(QDir(share.path()).mkpath(QStringLiteral("Lib/User")));
    QTemporaryDir desk;
    QVERIFY(QFile::link(share.filePath(QStringLiteral("Lib")), desk.filePath(QStringLiteral("Lib"))));
    DataFolder::setRoot(desk.path());
    const QString art = paths::articleFile(Code).value();
    QVERIFY(articlefile::appendRow(art, row(QStringLiteral("Skruv"))).ok());
    QVERIFY(QFile::link(art, DataFolder::path(u"\\Lib\\alias_ArtData.txt")));
    QCOMPARE(articlefile::load(DataFolder::path(u"\\Lib\\alias_ArtData.txt")).value().size(), 1);
    const QString user = paths::userFile(QStringLiteral("anna")).value();
    QVERIFY(WriteIni(user, QStringLiteral("Main"), QStringLiteral("User"), QStringLiteral("anna")).ok());
    QCOMPARE(ReadIni(user, QStringLiteral("Main"), QStringLiteral("User")).value(), QStringLiteral("anna"));
    QVERIFY(QFileInfo::exists(share.filePath(QStringLiteral("Lib/User/anna.ini"))));
    DataFolder::setRoot(QString());
}

void TestHostileFiles::bareCarriageReturnsReadInOnePass()
{
    // Three million bare CRs took a minute to read; one pass takes milliseconds.
    QByteArray bytes(3'000'000, '\r');
    bytes += "\"17\",\"Skruv\",\"2\",\"st\",\"12,50\",\"25,00\"\r";
    QList<ArticleRow> rows;
    QVERIFY(finishesWithin(20, [&] { rows = articlefile::parse(bytes); }));
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.first()[1], QStringLiteral("Skruv"));

    // Lines ended by CR alone still read as lines.
    const QList<ArticleRow> two
        = articlefile::parse("\"1\",\"a\",\"\",\"\",\"\",\"\"\r\"2\",\"b\",\"\",\"\",\"\",\"\"\r");
    QCOMPARE(two.size(), 2);
    QCOMPARE(two[1][1], QStringLiteral("b"));
}

void TestHostileFiles::loneLineFeedsWriteInOnePass()
{
    test::TestDataFolder folder;
    const QString path = folder.file(QStringLiteral("Lib/CompanyInfo.ini"));
    QByteArray bytes = "[Main]\nRad1=Lunora\n[Logo]\n";
    bytes += QByteArray(1'000'000, '\n');
    test::writeBytes(path, bytes);
    Status written;
    QVERIFY(finishesWithin(20, [&] {
        written
            = WriteIni(path, QStringLiteral("Main"), QStringLiteral("Rad2"), QStringLiteral("Storgatan 1"));
    }));
    QVERIFY2(written.ok(), qPrintable(written.error()));
    QCOMPARE(test::readBytes(path), QByteArray("[Main]\r\nRad2=Storgatan 1\r\nRad1=Lunora\r\n[Logo]\r\n"));
}

void TestHostileFiles::iniWriteCreatesNoFileUntilItsSave()
{
    test::TestDataFolder folder;
    // A write that fails leaves no empty file: here the folder is a file.
    test::writeBytes(folder.file(QStringLiteral("Lib/NotAFolder")), "x");
    const QString inside = folder.file(QStringLiteral("Lib/NotAFolder/case_eData.ini"));
    QVERIFY(!WriteIni(inside, QStringLiteral("Main"), QStringLiteral("xID"), QStringLiteral("1")).ok());
    // Between the start of a write and its save no empty file may appear: a copy
    // killed there left empty case data files. The save is the first the folder sees.
    const QString data = paths::caseDataFile(Code).value();
    CaseRecord record;
    record.caseNumber = QStringLiteral("240105 17");
    QVERIFY(casedatafile::write(data, record).ok());
    QVERIFY(QFileInfo(data).size() > 0);
    QStringList left = QDir(folder.file(QStringLiteral("Lib"))).entryList(QDir::Files);
    // The folder lock's file, which every INI write takes, is no half-made file.
    left.removeAll(QFileInfo(FolderLock::lockFilePath(folder.path())).fileName());
    QCOMPARE(left, (QStringList { QStringLiteral("NotAFolder"), QFileInfo(data).fileName() }));
}

void TestHostileFiles::staleTemporariesAreClearedAway()
{
    test::TestDataFolder folder;
    const QDateTime now = QDateTime::currentDateTime();
    const auto make = [&](const QString &relative, qint64 ageSeconds) {
        const QString path = folder.file(relative);
        test::writeBytes(path, "half a save");
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(now.addSecs(-ageSeconds), QFileDevice::FileModificationTime));
    };
    make(QStringLiteral("Lib/.arenden.txt.lunora-Ab3dE9"), 3600);
    make(QStringLiteral("Lib/User/.anna.ini.lunora-x9Yz0Q"), 11 * 60);
    make(QStringLiteral("Lib/.arenden.txt.lunora-Qw8rT2"), 60); // another desk's save in progress
    // Copies a person made look like the old temporary form: they are never taken for one.
    make(QStringLiteral("Lib/arenden.txt.backup"), 3600);
    make(QStringLiteral("Lib/CompanyInfo.ini.orig01"), 3600);
    make(QStringLiteral("Lib/User/admin.ini.gammal"), 3600);
    make(QStringLiteral("Lib/arenden.txt"), 3600);
    QVERIFY(QDir().mkpath(folder.file(QStringLiteral("Lib/.notes.txt.lunora-Folder"))));
    const Result<int> removed = housekeeping::removeStaleTemporaries(now);
    QVERIFY(removed.ok());
    QCOMPARE(removed.value(), 2);
    QStringList left = QDir(folder.file(QStringLiteral("Lib")))
                           .entryList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    left.removeAll(QStringLiteral("lunora.lock"));
    left.sort();
    QCOMPARE(left,
        (QStringList { QStringLiteral(".arenden.txt.lunora-Qw8rT2"),
            QStringLiteral(".notes.txt.lunora-Folder"), QStringLiteral("CompanyInfo.ini.orig01"),
            QStringLiteral("Logo"), QStringLiteral("User"), QStringLiteral("arenden.txt"),
            QStringLiteral("arenden.txt.backup") }));
    QCOMPARE(QDir(folder.file(QStringLiteral("Lib/User"))).entryList(QDir::Files | QDir::Hidden),
        QStringList { QStringLiteral("admin.ini.gammal") });
}

void TestHostileFiles::onlyRemovedCasesLoseTheirLeftOverFiles()
{
    test::TestDataFolder folder;
    const QString removed = QStringLiteral("{R}");
    const QString unsaved = QStringLiteral("{N}");
    const QString kept = QStringLiteral("{K}");
    for (const QString &code : { removed, unsaved, kept }) {
        test::writeBytes(caseFiles(code).value(0), "[Data]\r\n");
        test::writeBytes(caseFiles(code).value(3), "2025-01-01 10:00:00\tAnna\tSkapat\r\n");
    }
    test::writeBytes(paths::caseRegister(), "\"1\",\"2025-01-01\",\"\",\"\",\"\",\"\",\"\",\"{K}\",\"\"\r\n");
    // A line of an older copy (no control code), one of a removal cut short before the
    // files went, and one whose code a case in the register holds again.
    test::writeBytes(paths::removedCasesFile(),
        "2025-01-01 10:00:00\tAnna\t1\tKund\r\n2025-01-02 10:00:00\tAnna\t2\tKund\t{R}\r\n"
        "2025-01-02 10:00:00\tAnna\t3\tKund\t{K}\r\n");
    const QDateTime now = QDateTime::currentDateTime();
    const Result<housekeeping::OrphanCount> first = housekeeping::clearOrphans(now);
    QVERIFY(first.ok());
    QCOMPARE(first.value().deleted, 2);
    QCOMPARE(first.value().listed, 1);
    for (const QString &file : caseFiles(removed))
        QVERIFY(!QFile::exists(file));
    for (const QString &code : { unsaved, kept })
        QVERIFY(QFile::exists(caseFiles(code).value(0)) && QFile::exists(caseFiles(code).value(3)));
    // Listed once, however often the program starts; Error.txt keeps its own format.
    QCOMPARE(housekeeping::clearOrphans(now).value().listed, 0);
    const QByteArray log = test::readBytes(paths::orphanLog());
    QCOMPARE(log.count('\n'), 2);
    QVERIFY(log.contains("\t{R}\t{R}_Logg.txt {R}_eData.ini\tBorttaget"));
    QVERIFY(log.contains("\t{N}\t{N}_Logg.txt {N}_eData.ini\tSaknar"));
    QVERIFY(!QFile::exists(paths::errorLog()));
}

void TestHostileFiles::newFilesAreForTheOwnerAndASharingGroup_data()
{
    QTest::addColumn<int>("folderMode");
    QTest::addColumn<int>("fileMode");
    QTest::newRow("a folder of one user") << 0755 << 0600;
    QTest::newRow("a folder shared by its group") << 02770 << 0660;
    QTest::newRow("a folder open to all") << 0777 << 0660;
}

void TestHostileFiles::newFilesAreForTheOwnerAndASharingGroup()
{
    QFETCH(int, folderMode);
    QFETCH(int, fileMode);
    test::TestDataFolder folder;
    const QString lib = folder.file(QStringLiteral("Lib"));
    QCOMPARE(::chmod(QFile::encodeName(lib).constData(), mode_t(folderMode)), 0);
    const auto modeOf = [](const QString &path) {
        struct stat st
        {
        };
        return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
    };
    const QString saved = folder.lib(QStringLiteral("saved.txt"));
    const QString appended = folder.lib(QStringLiteral("appended.txt"));
    QVERIFY(fileio::saveAll(saved, "a\r\n").ok());
    QVERIFY(fileio::appendLine(appended, "a\r\n").ok());
    QCOMPARE(modeOf(saved), fileMode);
    QCOMPARE(modeOf(appended), fileMode);
    // A rewrite keeps the mode its owner gave the file, and leaves no temporary file.
    QCOMPARE(::chmod(QFile::encodeName(saved).constData(), 0644), 0);
    QVERIFY(fileio::saveAll(saved, "b\r\n").ok());
    QCOMPARE(modeOf(saved), 0644);
    QCOMPARE(
        QDir(lib).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral(".lunora-")), QStringList());
}

QTEST_GUILESS_MAIN(TestHostileFiles)
#include "tst_hostilefiles.moc"
