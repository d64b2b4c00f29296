// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// The notes file of a case: the bytes it holds, what reads back, what is refused.

#include "common/testsupport.h"
#include "storage/datafolder.h"
#include "storage/notesfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

using namespace lunora;

namespace {
const QString Code = QStringLiteral("{0AB6D5E2-1C3F-4B7A-9E21-5D0C8F4A7B13}");

QString notesPath()
{
    return paths::notesFile(Code).value();
}
} // namespace

class TestNotesFile final : public QObject
{
    Q_OBJECT

private slots:
    void bytesOnDisk();
    void roundTrip_data();
    void roundTrip();
    void absentFileIsNoNotes();
    void handEditedFilesLoseNothing_data();
    void handEditedFilesLoseNothing();
    void unstorableTextIsRefusedNamingTheField_data();
    void unstorableTextIsRefusedNamingTheField();
    void emptyNotesLeaveNoFileAndRemovalTakesItAway();
    void failedStoreLeavesTheOldFile();
    void unsafeControlCodeNamesNoFile();
};

void TestNotesFile::bytesOnDisk()
{
    test::TestDataFolder folder;
    const CaseNotes notes { QStringLiteral("Crescent Elegant 7-växlad"), QStringLiteral("WTU-4711 ÅÄÖ"),
        QStringLiteral("Bakhjulet kärvar.\nKunden vill ha \"samma\" däck igen.") };
    QVERIFY(notesfile::store(notesPath(), notes).ok());
    QVERIFY(notesPath().endsWith(QLatin1String("/Lib/") + Code + QLatin1String("_Notes.txt")));
    QCOMPARE(test::readBytes(notesPath()),
        QByteArray("Enhet: Crescent Elegant 7-v\xe4xlad\r\nSerienummer: WTU-4711 \xc5\xc4\xd6\r\n"
                   "Bakhjulet k\xe4rvar.\r\nKunden vill ha \"samma\" d\xe4\x63k igen.\r\n"));
}

void TestNotesFile::roundTrip_data()
{
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("serial");
    QTest::addColumn<QString>("text");
    QTest::newRow("all three") << "iPhone 12"
                               << "F2LZK0XX"
                               << "Spricka i glaset.\n\nByt batteri också.";
    QTest::newRow("text only") << ""
                               << ""
                               << "Ring innan 16.";
    QTest::newRow("no text") << "Cykel"
                             << "123"
                             << "";
    QTest::newRow("blank lines at both ends") << ""
                                              << ""
                                              << "\n\nmitt\n\n";
    QTest::newRow("text that looks like a heading") << ""
                                                    << ""
                                                    << "Serienummer: står på ramen";
    QTest::newRow("euro and tab") << "Modell\t2"
                                  << "€ 12"
                                  << "Pris: 120 €\tinkl. moms";
}

void TestNotesFile::roundTrip()
{
    QFETCH(QString, device);
    QFETCH(QString, serial);
    QFETCH(QString, text);
    test::TestDataFolder folder;
    const CaseNotes notes { device, serial, text };
    QVERIFY(notesfile::store(notesPath(), notes).ok());
    const Result<CaseNotes> loaded = notesfile::load(notesPath());
    QVERIFY(loaded.ok());
    QCOMPARE(loaded.value().device, device);
    QCOMPARE(loaded.value().serial, serial);
    QCOMPARE(loaded.value().text, text);
}

void TestNotesFile::absentFileIsNoNotes()
{
    test::TestDataFolder folder;
    const Result<CaseNotes> loaded = notesfile::load(notesPath());
    QVERIFY(loaded.ok());
    QVERIFY(loaded.value().isEmpty());
    QVERIFY(!QFileInfo::exists(notesPath())); // looking creates nothing

    // A folder in the file's place cannot be read: that is a failure, not "no notes".
    QVERIFY(QDir().mkpath(notesPath()));
    QVERIFY(!notesfile::load(notesPath()).ok());
}

void TestNotesFile::handEditedFilesLoseNothing_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("serial");
    QTest::addColumn<QString>("text");
    QTest::newRow("LF line ends") << QByteArray("Enhet: A\nSerienummer: B\nrad 1\nrad 2\n") << "A"
                                  << "B"
                                  << "rad 1\nrad 2";
    QTest::newRow("no blank after colon, no final line end")
        << QByteArray("Enhet:A\r\nSerienummer:B\r\nsista") << "A"
        << "B"
        << "sista";
    QTest::newRow("headings missing") << QByteArray("Bara fritext\r\np\xe5 tv\xe5 rader\r\n") << ""
                                      << ""
                                      << "Bara fritext\npå två rader";
    QTest::newRow("empty file") << QByteArray() << ""
                                << ""
                                << "";
}

void TestNotesFile::handEditedFilesLoseNothing()
{
    QFETCH(QByteArray, bytes);
    const CaseNotes notes = notesfile::parse(bytes);
    QTEST(notes.device, "device");
    QTEST(notes.serial, "serial");
    QTEST(notes.text, "text");
}

void TestNotesFile::unstorableTextIsRefusedNamingTheField_data()
{
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("serial");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("field");
    QTest::newRow("device outside the code page") << "Телефон"
                                                  << ""
                                                  << "" << int(notesfile::Field::Device);
    QTest::newRow("line break in the serial") << ""
                                              << "A\nB"
                                              << "" << int(notesfile::Field::Serial);
    QTest::newRow("emoji in the text")
        << ""
        << "" << QString::fromUtf8("Trasig skärm \xf0\x9f\x98\xa2") << int(notesfile::Field::Text);
}

void TestNotesFile::unstorableTextIsRefusedNamingTheField()
{
    QFETCH(QString, device);
    QFETCH(QString, serial);
    QFETCH(QString, text);
    QFETCH(int, field);
    test::TestDataFolder folder;
    const QByteArray before("Enhet: gammal\r\nSerienummer: 1\r\n");
    test::writeBytes(notesPath(), before);

    const CaseNotes notes { device, serial, text };
    QCOMPARE(int(notesfile::firstUnstorableField(notes)), field);
    QVERIFY(!notesfile::fieldCaption(notesfile::Field(field)).isEmpty());
    QVERIFY(!notesfile::store(notesPath(), notes).ok());
    QCOMPARE(test::readBytes(notesPath()), before);
}

void TestNotesFile::emptyNotesLeaveNoFileAndRemovalTakesItAway()
{
    test::TestDataFolder folder;
    QVERIFY(notesfile::store(notesPath(), CaseNotes()).ok());
    QVERIFY(!QFileInfo::exists(notesPath()));

    QVERIFY(notesfile::store(notesPath(), { QStringLiteral("X"), QString(), QString() }).ok());
    QVERIFY(QFileInfo::exists(notesPath()));
    // Clearing every field is the same as having no notes.
    QVERIFY(notesfile::store(notesPath(), CaseNotes()).ok());
    QVERIFY(!QFileInfo::exists(notesPath()));

    QVERIFY(notesfile::store(notesPath(), { QString(), QString(), QStringLiteral("t") }).ok());
    QVERIFY(notesfile::remove(notesPath()).ok());
    QVERIFY(!QFileInfo::exists(notesPath()));
    QVERIFY(notesfile::remove(notesPath()).ok()); // already gone: nothing to do
}

void TestNotesFile::failedStoreLeavesTheOldFile()
{
    if (test::runningAsRoot())
        QSKIP("root writes into read-only folders");
    test::TestDataFolder folder;
    const QByteArray before("Enhet: gammal\r\nSerienummer: 1\r\n");
    test::writeBytes(notesPath(), before);
    const QString lib = folder.file(QStringLiteral("Lib"));
    QVERIFY(QFile::setPermissions(lib, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const Status stored = notesfile::store(notesPath(), { QStringLiteral("ny"), QString(), QString() });
    const Status removed = notesfile::remove(notesPath());
    QFile::setPermissions(lib, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QVERIFY(!stored.ok());
    QVERIFY(!removed.ok());
    QCOMPARE(test::readBytes(notesPath()), before);
}

void TestNotesFile::unsafeControlCodeNamesNoFile()
{
    QVERIFY(!paths::notesFile(QStringLiteral("../x")).ok());
    QVERIFY(!paths::notesFile(QStringLiteral("..")).ok());
    QVERIFY(!paths::notesFile(QStringLiteral("a\\b")).ok());
}

QTEST_GUILESS_MAIN(TestNotesFile)
#include "tst_notesfile.moc"
