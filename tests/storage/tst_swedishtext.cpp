// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// The order a Swedish reader expects, which every list and its sorting follow, and the
// telephone numbers a customer's cases are found by, however they were typed.

#include "storage/swedishtext.h"

#include <QTest>

using namespace lunora;

class TestSwedishText final : public QObject
{
    Q_OBJECT

private slots:
    void swedishOrder_data();
    void swedishOrder();
    void telephoneKeys_data();
    void telephoneKeys();
};

void TestSwedishText::swedishOrder_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::newRow("digits one by one") << "10"
                                       << "9";
    QTest::newRow("customer numbers") << "100"
                                      << "1001";
    QTest::newRow("dates") << "2020-11-30"
                           << "2020-12-01";
    QTest::newRow("z before å") << "Zorn"
                                << "Åberg";
    QTest::newRow("å before ä") << "åsa"
                                << "äng";
    QTest::newRow("ä before ö") << "Ärlig"
                                << "öst";
    QTest::newRow("case only breaks ties") << "andersson"
                                           << "Andersson";
    QTest::newRow("upper case still before the next letter") << "Andersson"
                                                             << "anderssona";
    QTest::newRow("lower case not before all upper case") << "Berg"
                                                          << "cederlund";
    QTest::newRow("accent only breaks ties") << "Ek"
                                             << "Ék";
    QTest::newRow("accented letter beside its base") << "Élise"
                                                     << "Emil";
    QTest::newRow("ü files as y") << "Mya"
                                  << "Müller";
    QTest::newRow("ü before z") << "Müller"
                                << "Mz";
    QTest::newRow("æ files as ä") << "Åsa"
                                  << "Æbbe";
    QTest::newRow("blank before letters") << "Ann Berg"
                                          << "Anna";
    QTest::newRow("empty first") << ""
                                 << "0";
    QTest::newRow("digits before letters") << "9"
                                           << "a";
    QTest::newRow("prefix first") << "Anders"
                                  << "Andersson";
}

void TestSwedishText::swedishOrder()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    QVERIFY(compareSwedish(before, after) < 0);
    QVERIFY(compareSwedish(after, before) > 0);
    QCOMPARE(compareSwedish(before, before), 0);
}

void TestSwedishText::telephoneKeys_data()
{
    QTest::addColumn<QByteArray>("typed");
    QTest::addColumn<QByteArray>("key");
    QTest::newRow("dash and blanks") << QByteArray("070-123 45 67") << QByteArray("0701234567");
    QTest::newRow("area code in brackets") << QByteArray("(08) 12 34 56") << QByteArray("08123456");
    QTest::newRow("Swedish +46") << QByteArray("+46 70 123 45 67") << QByteArray("0701234567");
    QTest::newRow("Swedish +46 (0)") << QByteArray("+46 (0)70-123 45 67") << QByteArray("0701234567");
    QTest::newRow("Norwegian +47") << QByteArray("+4798765432") << QByteArray("+4798765432");
    QTest::newRow("Norwegian 0047") << QByteArray("0047 987 65 432") << QByteArray("+4798765432");
    QTest::newRow("tab and trailing blank") << QByteArray("031-777\t66 ") << QByteArray("03177766");
    QTest::newRow("a word") << QByteArray("070 ring efter 5") << QByteArray();
    QTest::newRow("a placeholder") << QByteArray("000") << QByteArray();
    QTest::newRow("marks alone") << QByteArray("- -") << QByteArray();
}

void TestSwedishText::telephoneKeys()
{
    QFETCH(QByteArray, typed);
    QFETCH(QByteArray, key);
    QCOMPARE(telephoneKey(typed), key);
}

QTEST_GUILESS_MAIN(TestSwedishText)
#include "tst_swedishtext.moc"
