// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// A search text in the case number's form finds that case number and nothing else.
#include "storage/casenumbersearch.h"

#include <QTest>

using namespace lunora;

class TestCaseNumberSearch : public QObject
{
    Q_OBJECT

private slots:
    void searchTextAgainstColumn_data();
    void searchTextAgainstColumn();
};

void TestCaseNumberSearch::searchTextAgainstColumn_data()
{
    QTest::addColumn<QString>("searchText");
    QTest::addColumn<QByteArray>("column");
    QTest::addColumn<bool>("isCaseNumber");
    QTest::addColumn<bool>("matches");
    QTest::newRow("scanned number") << "101215 4711" << QByteArray("101215 4711") << true << true;
    QTest::newRow("scanner's trailing blank") << "101215 4711 " << QByteArray("101215 4711") << true << true;
    QTest::newRow("blank kept by the register")
        << "101215 4711" << QByteArray("101215 4711 ") << true << true;
    QTest::newRow("number zero") << "260112 0" << QByteArray("260112 0") << true << true;
    QTest::newRow("highest number") << "260112 9998" << QByteArray("260112 9998") << true << true;
    QTest::newRow("longer number is another case")
        << "101215 471" << QByteArray("101215 4711") << true << false;
    QTest::newRow("other day, same number") << "101216 4711" << QByteArray("101215 4711") << true << false;
    QTest::newRow("leap day") << "240229 12" << QByteArray("240229 12") << true << true;
    QTest::newRow("no such date") << "230229 12" << QByteArray("230229 12") << false << false;
    QTest::newRow("month 13") << "101315 4711" << QByteArray() << false << false;
    QTest::newRow("leading zero") << "101215 0471" << QByteArray() << false << false;
    QTest::newRow("above 9998") << "101215 9999" << QByteArray() << false << false;
    QTest::newRow("five digits") << "101215 47110" << QByteArray() << false << false;
    QTest::newRow("two blanks") << "101215  4711" << QByteArray() << false << false;
    QTest::newRow("date alone") << "101215" << QByteArray() << false << false;
    QTest::newRow("telephone") << "070-123 45 67" << QByteArray() << false << false;
    QTest::newRow("Arabic-Indic digits")
        << QString::fromUtf8("١٠١٢١٥ ٤٧١١") << QByteArray() << false << false;
}

void TestCaseNumberSearch::searchTextAgainstColumn()
{
    QFETCH(QString, searchText);
    QFETCH(QByteArray, column);
    QFETCH(bool, isCaseNumber);
    QFETCH(bool, matches);
    const std::optional<QByteArray> wanted = casenumbersearch::wantedNumber(searchText);
    QCOMPARE(wanted.has_value(), isCaseNumber);
    if (wanted)
        QCOMPARE(casenumbersearch::matches(*wanted, column), matches);
}

QTEST_GUILESS_MAIN(TestCaseNumberSearch)
#include "tst_casenumbersearch.moc"
