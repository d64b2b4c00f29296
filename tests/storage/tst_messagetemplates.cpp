// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// The message templates: what a filled-in message says, and what Lib/Meddelanden.txt
// holds after the templates are saved over a file that other desks or hands made.

#include "common/testsupport.h"
#include "storage/casehistory.h"
#include "storage/casestore.h"
#include "storage/datafolder.h"
#include "storage/messagetemplates.h"

#include <QTest>

using namespace lunora;

class TestMessageTemplates final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { test::useSwedishLocale(); }
    void filledTemplate_data();
    void filledTemplate();
    void missingFileOffersTheBuiltInTemplates();
    void savingKeepsUnknownLinesAndDropsRemovedSections();
    void textsSurviveTheFile_data();
    void textsSurviveTheFile();
    void unstorableTemplatesWriteNothing();
    void messageLineGoesIntoTheCaseHistory();
};

void TestMessageTemplates::filledTemplate_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("total");
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("expected");
    const QString ready = messagetemplates::builtIn().at(0).text;
    QTest::newRow("to pay") << ready << 450.0 << "iPhone 12"
                            << "Hej Anna Ek!\n\nNu är ert ärende 1042 klart för hämtning.\nEnhet: iPhone 12\n"
                               "Att betala: 450,00 kr\n\nVälkommen!\nCykel & Data AB";
    QTest::newRow("credit, no device: its line goes")
        << ready << -150.5 << ""
        << "Hej Anna Ek!\n\nNu är ert ärende 1042 klart för hämtning.\nEr tillgodo: 150,50 kr\n\nVälkommen!\n"
           "Cykel & Data AB";
    QTest::newRow("a cent of credit after rounding") << "{summa}" << -0.004 << ""
                                                     << "Att betala: 0,00 kr";
    QTest::newRow("nothing to pay") << "{summa}" << 0.0 << ""
                                    << "Att betala: 0,00 kr";
    QTest::newRow("placeholders twice, unknown kept") << "{ärende}/{ärende} {okänd} {Namn}" << 1.0 << ""
                                                      << "1042/1042 {okänd} {Namn}";
    QTest::newRow("a value that looks like a placeholder is not filled again")
        << "{enhet} {namn}" << 1.0 << "{namn}"
        << "{namn} Anna Ek";
}

void TestMessageTemplates::filledTemplate()
{
    QFETCH(QString, text);
    QFETCH(double, total);
    QFETCH(QString, device);
    QFETCH(QString, expected);
    const MessageValues values { QStringLiteral("Anna Ek"), QStringLiteral("1042"),
        messagetemplates::caseTotal(
            { test::rowOf({ "1", "Arbete", "1", "st", "0", QString::number(total) }) }),
        QStringLiteral("Cykel & Data AB"), device };
    QCOMPARE(messagetemplates::fill(text, values), expected);
}

void TestMessageTemplates::missingFileOffersTheBuiltInTemplates()
{
    test::TestDataFolder folder;
    const Result<QList<MessageTemplate>> loaded = messagetemplates::load();
    QVERIFY(loaded.ok());
    QCOMPARE(loaded.value(), messagetemplates::builtIn());
    QCOMPARE(loaded.value().at(0).name, QStringLiteral("Klar för hämtning"));
    QCOMPARE(loaded.value().at(1).name, QStringLiteral("Behöver ert besked"));
    // Once saved, a file of none stays none: an emptied list is what the shop chose.
    QVERIFY(messagetemplates::save({}).ok());
    QCOMPARE(messagetemplates::load().value(), QList<MessageTemplate>());
}

void TestMessageTemplates::savingKeepsUnknownLinesAndDropsRemovedSections()
{
    test::TestDataFolder folder;
    test::writeBytes(messagetemplates::filePath(),
        "; Mallar f\xf6r disken\r\n[Klar]\r\nText=Klart\r\nAvs\xe4ndare=Disk 2\r\n[Gammal]\r\nText=Bort\r\n"
        "Extra=ocks\xe5 bort\r\n[KLAR]\r\nText=dubblett\r\n");
    QVERIFY(messagetemplates::save({ { QStringLiteral("klar"), QStringLiteral("Nu klart\n{summa}") },
                                       { QStringLiteral("Påminnelse"), QStringLiteral("Glöm inte") } })
                .ok());
    QCOMPARE(test::readBytes(messagetemplates::filePath()),
        QByteArray("; Mallar f\xf6r disken\r\n[Klar]\r\nText=Nu klart\\n{summa}\r\nAvs\xe4ndare=Disk 2\r\n"
                   "[KLAR]\r\nText=dubblett\r\n\r\n[P\xe5minnelse]\r\nText=Gl\xf6m inte\r\n"));
    const QList<MessageTemplate> read = messagetemplates::load().value();
    QCOMPARE(read.size(), 2);
    QCOMPARE(read.at(0).text, QStringLiteral("Nu klart\n{summa}"));
}

void TestMessageTemplates::textsSurviveTheFile_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("backslashes and \\n as typed") << "C:\\n\\ny \\\\ slut\\";
    QTest::newRow("brackets would make a section") << "[Klar]\n[x \\b";
    QTest::newRow("blank lines and trailing blank") << "\n\nrad \n";
    QTest::newRow("equals and semicolons") << "a=b; c";
}

void TestMessageTemplates::textsSurviveTheFile()
{
    QFETCH(QString, text);
    test::TestDataFolder folder;
    QVERIFY(
        messagetemplates::save({ { QStringLiteral("Mall"), text }, { QStringLiteral("Nästa"), "x" } }).ok());
    const QList<MessageTemplate> read = messagetemplates::load().value();
    QCOMPARE(read.size(), 2);
    QCOMPARE(read.at(0).text, text);
}

void TestMessageTemplates::unstorableTemplatesWriteNothing()
{
    test::TestDataFolder folder;
    const QByteArray before = "[Klar]\r\nText=Klart\r\n";
    test::writeBytes(messagetemplates::filePath(), before);
    for (const MessageTemplate &bad :
        { MessageTemplate { QStringLiteral("A]b"), {} }, MessageTemplate { QStringLiteral("  "), {} },
            MessageTemplate { QStringLiteral("Ok"), QStringLiteral("€ ✓") } }) {
        QCOMPARE(messagetemplates::save({ bad }).kind, StoreError::UnstorableValue);
        QCOMPARE(test::readBytes(messagetemplates::filePath()), before);
    }
}

void TestMessageTemplates::messageLineGoesIntoTheCaseHistory()
{
    test::TestDataFolder folder;
    test::writeCases(folder, { test::CaseA });
    const QString code = test::CaseA[ControlCode];
    const QString sms
        = casehistory::messageBySms(QStringLiteral("+46701234567"), QStringLiteral("Klar för hämtning"));
    QVERIFY(CaseStore::noteMessage(code, sms, CaseState::Saved).ok());
    const QList<HistoryEntry> history = casehistory::load(paths::historyFile(code).value()).value();
    QCOMPARE(history.size(), 1);
    QCOMPARE(history.at(0).event, QStringLiteral("SMS till +46701234567: Klar för hämtning"));
    QVERIFY(casehistory::isMessage(history.at(0).event));
    QVERIFY(!casehistory::isMessage(casehistory::printed()));
    // A case removed at another desk gets no line: its files are gone.
    test::writeBytes(folder.registerFile(), QByteArray());
    QCOMPARE(CaseStore::noteMessage(code, sms, CaseState::Saved).kind, StoreError::CaseRemoved);
}

QTEST_GUILESS_MAIN(TestMessageTemplates)
#include "tst_messagetemplates.moc"
