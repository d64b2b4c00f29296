// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// Customer cards kept in the program: what a save changes, what it keeps, what it refuses.

#include "common/otherdesk.h"
#include "common/testsupport.h"
#include "storage/customercards.h"
#include "storage/datafolder.h"
#include "storage/folderlock.h"
#include "storage/ini.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace lunora;
using customercards::Error;

namespace {
CustomerRecord sample()
{
    CustomerRecord r;
    r.id = QStringLiteral("1042");
    r.name = QStringLiteral("Åsa Öberg");
    r.address = QStringLiteral("Storgatan 1");
    r.postalAddress = QStringLiteral("123 45 Småstad");
    r.country = QStringLiteral("Sverige");
    r.phone1 = QStringLiteral("070-123 45 67");
    r.phone2 = QStringLiteral("0123-456 78");
    r.email = QStringLiteral("asa@example.se");
    r.notes = QStringLiteral("Vill ha sms när cykeln är klar.");
    return r;
}

QString card(const test::TestDataFolder &folder, const QString &telephone)
{
    return folder.file(QStringLiteral("Lib/") + telephone + QStringLiteral(".ini"));
}

using test::OtherDesk;

// The user who presses "Avbryt" at once.
class GiveUp final : public FolderLock::Waiter
{
public:
    bool wait(std::chrono::milliseconds) override { return false; }
};
} // namespace

class TestCustomerCards final : public QObject
{
    Q_OBJECT

private slots:
    void newCardReadsBackThroughTheIniEngine();
    void editKeepsKeysTheProgramDoesNotKnow();
    void newCardNeverOverwrites();
    void telephonesThatNameNoCard_data();
    void telephonesThatNameNoCard();
    void unstorableValuesNameTheirField_data();
    void unstorableValuesNameTheirField();
    void failedSaveLeavesTheOldFile();
    void cardsGetTheModeOfCaseFiles_data();
    void cardsGetTheModeOfCaseFiles();
    void listHoldsOnlyCustomerCards();
    void otherDesksFieldsSurviveAChange();
    void busyFolderWritesNoIniFile();
};

void TestCustomerCards::newCardReadsBackThroughTheIniEngine()
{
    test::TestDataFolder folder;
    const QString telephone = QStringLiteral("070-123 45 67");
    QVERIFY(customercards::create(telephone, sample()).ok());
    const QString path = card(folder, telephone);
    for (int field = 0; field < 9; ++field) {
        const Result<QString> read = ReadIni(path, QStringLiteral("Main"), customercards::keys().at(field));
        QVERIFY(read.ok());
        QCOMPARE(read.value(), customercards::value(sample(), field));
    }
    QVERIFY(test::readBytes(path).startsWith("[Main]\r\n"));
    QVERIFY(test::readBytes(path).contains("xName=\xc5sa \xd6"
                                           "berg\r\n"));
}

void TestCustomerCards::editKeepsKeysTheProgramDoesNotKnow()
{
    test::TestDataFolder folder;
    const QString path = card(folder, QStringLiteral("0701234567"));
    const QByteArray before(
        "[Main]\r\nxid=7\r\nKundtyp=F\xf6retag\r\nxName=Gammal\r\n\r\n[Extra]\r\nA=1\r\n");
    test::writeBytes(path, before);

    CustomerRecord edited;
    edited.id = QStringLiteral("7");
    edited.name = QStringLiteral("Ny Ägare");
    QVERIFY(customercards::update(QStringLiteral("0701234567"), edited).ok());
    // One line changed in place; the unknown key and section stay; empty values are not
    // added for keys the file never had.
    QCOMPARE(test::readBytes(path),
        QByteArray("[Main]\r\nxid=7\r\nKundtyp=F\xf6retag\r\nxName=Ny \xc4gare\r\n\r\n[Extra]\r\nA=1\r\n"));

    // A saved card without changes is not rewritten at all.
    const QDateTime written = QFileInfo(path).lastModified();
    QVERIFY(customercards::update(QStringLiteral("0701234567"), edited).ok());
    QCOMPARE(QFileInfo(path).lastModified(), written);
}

void TestCustomerCards::newCardNeverOverwrites()
{
    test::TestDataFolder folder;
    const QString path = card(folder, QStringLiteral("08-123456"));
    test::writeBytes(path, "[Main]\r\nxName=Finns redan\r\n");
    const customercards::Outcome outcome = customercards::create(QStringLiteral("08-123456"), sample());
    QCOMPARE(outcome.error, Error::Exists);
    QCOMPARE(test::readBytes(path), QByteArray("[Main]\r\nxName=Finns redan\r\n"));

    // An empty file, as looking at a card that did not exist leaves, is no card.
    test::writeBytes(path, QByteArray());
    QVERIFY(customercards::create(QStringLiteral("08-123456"), sample()).ok());
    QVERIFY(test::readBytes(path).contains("xID=1042"));
}

void TestCustomerCards::telephonesThatNameNoCard_data()
{
    QTest::addColumn<QString>("telephone");
    QTest::addColumn<int>("error");
    QTest::newRow("slash") << "08/123" << int(Error::UnsafeName);
    QTest::newRow("dot dot") << ".." << int(Error::UnsafeName);
    QTest::newRow("dot dot slash") << "../User/admin" << int(Error::UnsafeName);
    QTest::newRow("backslash") << "a\\b" << int(Error::UnsafeName);
    QTest::newRow("empty") << "" << int(Error::ReservedName);
    QTest::newRow("company file") << "companyinfo" << int(Error::ReservedName);
    QTest::newRow("case data file") << "{3F2504E0-4F89-11D3-9A0C-0305E82C3301}_eData"
                                    << int(Error::ReservedName);
}

void TestCustomerCards::telephonesThatNameNoCard()
{
    QFETCH(QString, telephone);
    QFETCH(int, error);
    test::TestDataFolder folder;
    const QStringList before = QDir(folder.root()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    QCOMPARE(int(customercards::checkTelephone(telephone).error), error);
    QCOMPARE(int(customercards::create(telephone, sample()).error), error);
    QCOMPARE(int(customercards::update(telephone, sample()).error), error);
    QCOMPARE(QDir(folder.root()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    QCOMPARE(QDir(folder.file(QStringLiteral("Lib"))).entryList(QDir::Files).size(), 0);
}

void TestCustomerCards::unstorableValuesNameTheirField_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("value");
    QTest::newRow("line break in the notes") << 8 << "rad 1\nrad 2";
    QTest::newRow("bracket in the address") << 2 << "Box [12]";
    QTest::newRow("outside Windows-1252 in the name") << 1 << "Ольга";
}

void TestCustomerCards::unstorableValuesNameTheirField()
{
    QFETCH(int, field);
    QFETCH(QString, value);
    test::TestDataFolder folder;
    CustomerRecord record = sample();
    customercards::setValue(record, field, value);
    const customercards::Outcome outcome = customercards::create(QStringLiteral("0701"), record);
    QCOMPARE(outcome.error, Error::Unstorable);
    QCOMPARE(outcome.field, field);
    QVERIFY(!QFileInfo::exists(card(folder, QStringLiteral("0701"))));
}

void TestCustomerCards::failedSaveLeavesTheOldFile()
{
    if (test::runningAsRoot())
        QSKIP("root writes into read-only folders");
    test::TestDataFolder folder;
    const QString path = card(folder, QStringLiteral("0701"));
    const QByteArray before("[Main]\r\nxName=Gammal\r\n");
    test::writeBytes(path, before);
    const QString lib = folder.file(QStringLiteral("Lib"));
    QVERIFY(QFile::setPermissions(lib, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const customercards::Outcome updated = customercards::update(QStringLiteral("0701"), sample());
    const customercards::Outcome created = customercards::create(QStringLiteral("0702"), sample());
    QFile::setPermissions(lib, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QCOMPARE(updated.error, Error::Unwritable);
    QCOMPARE(created.error, Error::Unwritable);
    QCOMPARE(test::readBytes(path), before);
    QVERIFY(!QFileInfo::exists(card(folder, QStringLiteral("0702"))));
}

void TestCustomerCards::cardsGetTheModeOfCaseFiles_data()
{
    QTest::addColumn<bool>("shared"); // Lib writable by its group
    QTest::addColumn<int>("oldMode"); // the card's mode before the save; -1: no card yet
    QTest::newRow("new card") << false << -1;
    QTest::newRow("new card, shared folder") << true << -1;
    QTest::newRow("card an older copy left readable by all") << false << 0644;
    QTest::newRow("same, shared folder") << true << 0664;
    QTest::newRow("empty file left by a look at the card") << false << 0666;
}

void TestCustomerCards::cardsGetTheModeOfCaseFiles()
{
    QFETCH(bool, shared);
    QFETCH(int, oldMode);
    test::TestDataFolder folder;
    const QString lib = folder.file(QStringLiteral("Lib"));
    QVERIFY(::chmod(QFile::encodeName(lib).constData(), shared ? 02770 : 0700) == 0);
    const QString path = card(folder, QStringLiteral("0701"));
    if (oldMode >= 0) {
        test::writeBytes(path, oldMode == 0666 ? QByteArray() : QByteArray("[Main]\r\nxName=Gammal\r\n"));
        QVERIFY(::chmod(QFile::encodeName(path).constData(), mode_t(oldMode)) == 0);
        QVERIFY(customercards::create(QStringLiteral("0701"), sample()).ok()
            || customercards::update(QStringLiteral("0701"), sample()).ok());
    } else {
        QVERIFY(customercards::create(QStringLiteral("0701"), sample()).ok());
    }
    QVERIFY(test::readBytes(path).contains("xID=1042"));
    QVERIFY(CaseStore::saveNewCase(test::CaseA).ok());
    const auto modeOf = [](const QString &file) {
        struct stat st
        {
        };
        return ::stat(QFile::encodeName(file).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
    };
    QCOMPARE(modeOf(path), shared ? 0660 : 0600);
    QCOMPARE(modeOf(path), modeOf(paths::caseDataFile(test::CaseA[ControlCode]).value()));
}

void TestCustomerCards::listHoldsOnlyCustomerCards()
{
    test::TestDataFolder folder;
    test::writeBytes(card(folder, QStringLiteral("0701")), "[Main]\r\nxName=Anna\r\nxID=1\r\n");
    test::writeBytes(card(folder, QStringLiteral("0702")), "[MAIN]\r\nXNAME=Bo\r\n");
    test::writeBytes(card(folder, QStringLiteral("tom")), QByteArray()); // left by a look
    test::writeBytes(card(folder, QStringLiteral("CompanyInfo")), "[Main]\r\nRad1=Firma\r\n");
    test::writeBytes(card(folder, QStringLiteral("{A}_eData")), "[Main]\r\nxID=1\r\n");
    test::writeBytes(folder.file(QStringLiteral("Lib/arenden.txt")), "\"a\"\r\n");
    test::writeBytes(folder.file(QStringLiteral("Lib/User/admin.ini")), "[Main]\r\nUser=admin\r\n");
    QVERIFY(QDir().mkpath(folder.file(QStringLiteral("Lib/mapp.ini"))));
    QVERIFY(QFile::link(card(folder, QStringLiteral("0701")), card(folder, QStringLiteral("lank"))));
    // A FIFO would hold the list up for ever if it were opened to wait for a writer.
    QCOMPARE(::mkfifo(QFile::encodeName(card(folder, QStringLiteral("ror"))).constData(), 0600), 0);
    test::writeBytes(folder.file(QStringLiteral("Lib/0704.INI")), "[Main]\r\nxName=Versaler\r\n");
    // Every field from its own key, in any order, LF line ends, a name beyond ASCII.
    const CustomerRecord full = sample();
    test::writeBytes(card(folder, QStringLiteral("+46 70-123 Åsa")),
        "[Other]\nxName=Fel\n[Main]\nxNotes=Vill ha sms n\xE4r cykeln \xE4r klar.\nxEmail=asa@example.se\n"
        "xPhone2=0123-456 78\nxphone1=070-123 45 67\nXLAND=Sverige\nxPostaladress=123 45 Sm\xE5stad\n"
        "xAdress=Storgatan 1\nxName=\xC5sa \xD6"
        "berg\nxID=1042\nxName=Senare\n");

    const Result<QList<customercards::Card>> cards = customercards::listAll();
    QVERIFY(cards.ok());
    QStringList seen;
    for (const customercards::Card &c : cards.value()) {
        seen << c.telephone + u'=' + c.record.name;
        if (c.telephone == QStringLiteral("+46 70-123 Åsa")) {
            for (int field = 0; field < customercards::keys().size(); ++field)
                QCOMPARE(customercards::value(c.record, field), customercards::value(full, field));
        }
    }
    seen.sort();
    QCOMPARE(seen,
        QStringList({ QStringLiteral("+46 70-123 Åsa=Åsa Öberg"), QStringLiteral("0701=Anna"),
            QStringLiteral("0702=Bo") }));
    QCOMPARE(test::readBytes(card(folder, QStringLiteral("tom"))), QByteArray());

    // Without Lib there is nothing to list, which is not the same as no cards.
    QVERIFY(QDir(folder.file(QStringLiteral("Lib"))).removeRecursively());
    QVERIFY(!customercards::listAll().ok());
}

// The card was shown; another desk changed its e-mail; this desk changes the name.
// Both changes are in the file: the save starts from the file, not from the window.
void TestCustomerCards::otherDesksFieldsSurviveAChange()
{
    test::TestDataFolder folder;
    const QString telephone = QStringLiteral("0701234567");
    QVERIFY(customercards::create(telephone, sample()).ok());
    const CustomerRecord shown = sample();

    CustomerRecord elsewhere = sample();
    elsewhere.email = QStringLiteral("ny@example.se");
    QVERIFY(customercards::update(telephone, elsewhere).ok());

    CustomerRecord edited = shown;
    edited.name = QStringLiteral("Åsa Öberg-Lind");
    QVERIFY(customercards::update(telephone, edited, &shown).ok());
    const QString path = card(folder, telephone);
    QCOMPARE(ReadIni(path, QStringLiteral("Main"), QStringLiteral("xName")).value(), edited.name);
    QCOMPARE(ReadIni(path, QStringLiteral("Main"), QStringLiteral("xEmail")).value(), elsewhere.email);
}

// While another desk holds the folder lock and the user gives up waiting, no INI file
// is read, changed or made: customer cards, and any file the INI engine writes (the
// company file among them).
void TestCustomerCards::busyFolderWritesNoIniFile()
{
    test::TestDataFolder folder;
    const QString telephone = QStringLiteral("0701234567");
    QVERIFY(customercards::create(telephone, sample()).ok());
    const QString path = card(folder, telephone);
    const QByteArray before = test::readBytes(path);
    const QString company = folder.lib(QStringLiteral("CompanyInfo.ini"));
    test::writeBytes(company, "[Main]\r\nxName=Cykel AB\r\n");

    OtherDesk other(folder.path());
    QVERIFY(other.locked());
    GiveUp giveUp;
    FolderLock::setDefaultWaiter(&giveUp);
    CustomerRecord edited = sample();
    edited.name = QStringLiteral("Ny");
    const customercards::Outcome updated = customercards::update(telephone, edited);
    const customercards::Outcome created = customercards::create(QStringLiteral("08-1"), sample());
    const Status written
        = WriteIni(company, QStringLiteral("Main"), QStringLiteral("xName"), QStringLiteral("X"));
    FolderLock::setDefaultWaiter(nullptr);

    QCOMPARE(updated.error, Error::Busy);
    QCOMPARE(created.error, Error::Busy);
    QVERIFY(!written.ok());
    QCOMPARE(test::readBytes(path), before);
    QVERIFY(!QFileInfo::exists(card(folder, QStringLiteral("08-1"))));
    QCOMPARE(test::readBytes(company), QByteArray("[Main]\r\nxName=Cykel AB\r\n"));
}

QTEST_GUILESS_MAIN(TestCustomerCards)
#include "tst_customercards.moc"
