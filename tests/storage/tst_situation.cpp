// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// "Läget": counts and age groups of a register with known ages, and the sums and the
// list of finished cases whose customer was never told.

#include "common/testsupport.h"
#include "storage/casehistory.h"
#include "storage/situation.h"

#include <QTest>

using namespace lunora;

namespace {
const QDate Today(2026, 12, 9); // a Wednesday

RegisterEntry caseOf(const QString &number, int daysOld, const QString &priority, const QString &status)
{
    return test::entryOf({ number, Today.addDays(-daysOld).toString(Qt::ISODate), "K", "Namn", "070",
        priority, status, "{" + number + "}", "Anna" });
}
} // namespace

class TestSituation final : public QObject
{
    Q_OBJECT

private slots:
    void ageGroupBoundaries_data();
    void ageGroupBoundaries();
    void registerCountsOpenCasesByStatusAgeAndPriority();
    void historyTellsFinishAndMessage();
    void totalsAndUntoldFinishedCases();
};

void TestSituation::ageGroupBoundaries_data()
{
    QTest::addColumn<int>("days");
    QTest::addColumn<int>("group");
    for (const auto &[days, group] : std::initializer_list<std::pair<int, int>> { { -3, 0 }, { 0, 0 },
             { 2, 0 }, { 3, 1 }, { 7, 1 }, { 8, 2 }, { 14, 2 }, { 15, 3 }, { 30, 3 }, { 31, 4 } })
        QTest::addRow("%d days", days) << days << group;
}

void TestSituation::ageGroupBoundaries()
{
    QFETCH(int, days);
    QFETCH(int, group);
    QCOMPARE(situation::ageGroup(days), group);
}

void TestSituation::registerCountsOpenCasesByStatusAgeAndPriority()
{
    const QList<RegisterEntry> entries {
        caseOf("1", 0, "Normal", "Nytt ärende"),
        caseOf("2", 2, "Brådskande", "Under behandling"),
        caseOf("3", 3, "Normal", "Nytt ärende"),
        caseOf("4", 40, "Brådskande", "Nytt ärende"),
        caseOf("5", 1, "Normal", "Avslutad"),
        caseOf("6", 31, "Brådskande", " Avslutad "),
        test::entryOf({ "7", "15/12-2010", "K", "N", "0", "Normal", "Under behandling", "{7}", "A" }),
    };
    const situation::RegisterPicture picture = situation::countRegister(entries, Today);
    QCOMPARE(picture.openCount, 5);
    QCOMPARE(picture.undated, 1);
    const QList<std::pair<QString, int>> perStatus { { "Nytt ärende", 3 }, { "Under behandling", 2 } };
    QCOMPARE(picture.openPerStatus, perStatus);
    QCOMPARE(picture.ageByPriority[0], (QMap<QString, int> { { "Normal", 1 }, { "Brådskande", 1 } }));
    QCOMPARE(picture.ageByPriority[1], (QMap<QString, int> { { "Normal", 1 } }));
    QVERIFY(picture.ageByPriority[2].isEmpty());
    QVERIFY(picture.ageByPriority[3].isEmpty());
    QCOMPARE(picture.ageByPriority[4], (QMap<QString, int> { { "Brådskande", 1 } }));
}

void TestSituation::historyTellsFinishAndMessage()
{
    situation::CaseFacts facts;
    situation::readHistory(
        { { "2026-12-01 10:00:00", "Anna", "Status ändrad från Nytt ärende till Avslutad" },
            { "2026-12-02 10:00:00", "Anna", "Status ändrad från Avslutad till Under behandling" },
            { "2026-12-07 09:30:00", "Anna", "Status ändrad från Under behandling till Avslutad" },
            { "2026-12-07 09:31:00", "Anna", "Anteckningar ändrade" } },
        facts);
    QCOMPARE(facts.finished, QDate(2026, 12, 7));
    QVERIFY(!facts.messaged);
    situation::readHistory(
        { { "2026-12-08 08:00:00", "Anna", casehistory::messageByEmail("Klar för hämtning") } }, facts);
    QVERIFY(facts.messaged);
}

void TestSituation::totalsAndUntoldFinishedCases()
{
    const QList<RegisterEntry> entries {
        caseOf("open", 5, "Normal", "Under behandling"),
        caseOf("monday", 10, "Normal", "Avslutad"),
        caseOf("last sunday", 10, "Normal", "Avslutad"),
        caseOf("told", 10, "Normal", "Avslutad"),
        caseOf("no finish line", 4, "Normal", "Avslutad"),
        caseOf("credit today", 1, "Normal", "Avslutad"),
    };
    const QList<situation::CaseFacts> facts {
        { 300.0, {}, false },
        { 450.0, QDate(2026, 12, 7), false },
        { 1000.0, QDate(2026, 12, 6), false },
        { 80.0, QDate(2026, 12, 8), true },
        { 20.0, {}, false },
        { -50.0, Today, false },
    };
    const situation::Totals totals = situation::sumUp(entries, facts, Today);
    QCOMPARE(totals.openValue, 300.0);
    QCOMPARE(totals.finishedThisWeek, 450.0 + 80.0 - 50.0);
    QStringList untold;
    for (const RegisterEntry &entry : totals.finishedUntold)
        untold << entry[CaseNumber];
    QCOMPARE(untold, (QStringList { "credit today", "monday", "last sunday", "no finish line" }));
}

QTEST_GUILESS_MAIN(TestSituation)
#include "tst_situation.moc"
