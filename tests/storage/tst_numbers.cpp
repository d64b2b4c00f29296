// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// Numbers as the staff type them and see them, and the Windows-1252 conversion.

#include "common/testsupport.h"
#include "storage/cp1252.h"
#include "storage/numbers.h"

#include <QStringDecoder>
#include <QTest>
#include <cmath>

using namespace lunora;

class TestNumbers final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { test::useSwedishLocale(); }

    void leadingNumberValue_data();
    void leadingNumberValue();
    void rowSumsAsTheArticleWindowComputesThem();
    void parseUserFormat_data();
    void parseUserFormat();
    void twoDecimals_data();
    void twoDecimals();
    void twoDecimalsText();
    void general();
    void otherLocales();

    void cp1252RoundTripsEveryByte();
    void cp1252Encoding();
    void cp1252LowerCase();
};

void TestNumbers::leadingNumberValue_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("decimal point") << QStringLiteral("2.5") << 2.5;
    QTest::newRow("comma ends the number") << QStringLiteral("2,5") << 2.0;
    QTest::newRow("empty") << QString() << 0.0;
    QTest::newRow("no number") << QStringLiteral("st") << 0.0;
    QTest::newRow("blanks anywhere") << QStringLiteral(" 1 2 . 5 ") << 12.5;
    QTest::newRow("sign and exponent") << QStringLiteral("-1.5E2") << -150.0;
    QTest::newRow("exponent with sign") << QStringLiteral("25e-1") << 2.5;
    QTest::newRow("trailing text") << QStringLiteral("12st") << 12.0;
    QTest::newRow("dangling exponent") << QStringLiteral("3E") << 3.0;
    QTest::newRow("leading point") << QStringLiteral(".5") << 0.5;
    QTest::newRow("sign alone") << QStringLiteral("-") << 0.0;
    QTest::newRow("second point ends it") << QStringLiteral("1.2.3") << 1.2;
    QTest::newRow("too large") << QStringLiteral("1E999") << 0.0;
}

void TestNumbers::leadingNumberValue()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(numbers::leadingNumberValue(text), value);
}

void TestNumbers::rowSumsAsTheArticleWindowComputesThem()
{
    const auto sum = [](const QString &quantity, const QString &price) {
        return numbers::formatTwoDecimals(
            numbers::leadingNumberValue(quantity) * numbers::leadingNumberValue(price));
    };
    QCOMPARE(sum(QStringLiteral("3"), QStringLiteral("2.5")), QStringLiteral("7,50"));
    QCOMPARE(sum(QStringLiteral("3"), QStringLiteral("2,5")), QStringLiteral("6,00"));
    QCOMPARE(sum(QString(), QString()), QStringLiteral("0,00"));
    QCOMPARE(sum(QStringLiteral("-2"), QStringLiteral("20")), QStringLiteral("-40,00"));
}

void TestNumbers::parseUserFormat_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isNumber");
    QTest::addColumn<double>("value");
    QTest::newRow("decimal comma") << QStringLiteral("25,00") << true << 25.0;
    QTest::newRow("hyphen minus") << QStringLiteral("-40,00") << true << -40.0;
    QTest::newRow("Unicode minus") << QStringLiteral("\u221240,5") << true << -40.5;
    QTest::newRow("integer") << QStringLiteral("7") << true << 7.0;
    QTest::newRow("surrounding blanks") << QStringLiteral(" 7,5 ") << true << 7.5;
    QTest::newRow("no integer digits") << QStringLiteral(",5") << true << 0.5;
    QTest::newRow("text") << QStringLiteral("abc") << false << 0.0;
    QTest::newRow("empty") << QString() << false << 0.0;
    QTest::newRow("decimal point is not Swedish") << QStringLiteral("2.5") << false << 0.0;
    QTest::newRow("trailing text") << QStringLiteral("25,00 kr") << false << 0.0;
    QTest::newRow("comma alone") << QStringLiteral(",") << false << 0.0;
    QTest::newRow("two commas") << QStringLiteral("1,2,3") << false << 0.0;
}

void TestNumbers::parseUserFormat()
{
    QFETCH(QString, text);
    QFETCH(bool, isNumber);
    QFETCH(double, value);
    const std::optional<double> parsed = numbers::parse(text);
    QCOMPARE(parsed.has_value(), isNumber);
    if (isNumber)
        QCOMPARE(*parsed, value);
}

void TestNumbers::twoDecimals_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0.0 << QStringLiteral("0,00");
    QTest::newRow("negative zero") << -0.0 << QStringLiteral("0,00");
    QTest::newRow("rounds to zero") << -0.004 << QStringLiteral("0,00");
    QTest::newRow("credit, ASCII minus") << -15.0 << QStringLiteral("-15,00");
    QTest::newRow("no group separators") << 1234567.5 << QStringLiteral("1234567,50");
    QTest::newRow("half up on the decimal text") << 2.675 << QStringLiteral("2,68");
    QTest::newRow("half away from zero") << -2.675 << QStringLiteral("-2,68");
    QTest::newRow("carry") << 99.995 << QStringLiteral("100,00");
    QTest::newRow("small") << 0.005 << QStringLiteral("0,01");
    QTest::newRow("sum of binary fractions") << 0.1 + 0.2 << QStringLiteral("0,30");
    QTest::newRow("a credit of one crown as shown") << -0.995 << QStringLiteral("-1,00");
}

void TestNumbers::twoDecimals()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(numbers::formatTwoDecimals(value), text);
    // The amount a window judges (to pay or a credit) is the one it shows.
    const double shown = numbers::roundTwoDecimals(value);
    QCOMPARE(shown, numbers::plainDecimal(text).value());
    QCOMPARE(std::signbit(shown), text.startsWith(u'-'));
}

void TestNumbers::twoDecimalsText()
{
    QCOMPARE(numbers::formatTwoDecimalsText(QStringLiteral("12,5")), QStringLiteral("12,50"));
    QCOMPARE(numbers::formatTwoDecimalsText(QStringLiteral("\u22123")), QStringLiteral("-3,00"));
    QCOMPARE(numbers::formatTwoDecimalsText(QStringLiteral("12.5")), QStringLiteral("12.5"));
    QCOMPARE(numbers::formatTwoDecimalsText(QStringLiteral("gratis")), QStringLiteral("gratis"));
    QCOMPARE(numbers::formatTwoDecimalsText(QString()), QString());
}

void TestNumbers::general()
{
    QCOMPARE(numbers::formatGeneral(150.0), QStringLiteral("150"));
    QCOMPARE(numbers::formatGeneral(150.5), QStringLiteral("150,5"));
    QCOMPARE(numbers::formatGeneral(150.25), QStringLiteral("150,25"));
    QCOMPARE(numbers::formatGeneral(1234567.0), QStringLiteral("1234567"));
    QCOMPARE(numbers::formatGeneral(-2.5), QStringLiteral("-2,5"));
    QCOMPARE(numbers::formatGeneral(0.1 + 0.2), QStringLiteral("0,3"));
    QCOMPARE(numbers::formatGeneral(-0.0), QStringLiteral("0"));
}

void TestNumbers::otherLocales()
{
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    QCOMPARE(numbers::formatTwoDecimals(1234.5, us), QStringLiteral("1234.50"));
    QCOMPARE(numbers::parse(u"2.5", us).value_or(0), 2.5);
    QVERIFY(!numbers::parse(u"2,5", us));
    QCOMPARE(numbers::formatGeneral(150.5, us), QStringLiteral("150.5"));
}

void TestNumbers::cp1252RoundTripsEveryByte()
{
    QByteArray all(256, Qt::Uninitialized);
    for (int i = 0; i < 256; ++i)
        all[i] = static_cast<char>(i);
    const QString text = cp1252::decode(all);
    QCOMPARE(text.size(), 256);
    QVERIFY(cp1252::canEncode(text));
    QCOMPARE(cp1252::encode(text), all);
    // Agrees with Qt's own codec.
    QStringDecoder qtDecoder("windows-1252");
    if (qtDecoder.isValid())
        QCOMPARE(text, QString(qtDecoder.decode(all)));
}

void TestNumbers::cp1252Encoding()
{
    QCOMPARE(cp1252::encode(u"åäöÅÄÖ€é"), QByteArray("\xE5\xE4\xF6\xC5\xC4\xD6\x80\xE9"));
    QVERIFY(!cp1252::canEncode(u"\u2212"));
    QCOMPARE(cp1252::encode(u"a\u2212b"), QByteArray("a?b"));
    QCOMPARE(cp1252::encode(QStringView(u"x\U0001F600y")), QByteArray("x?y")); // one '?' per character
}

void TestNumbers::cp1252LowerCase()
{
    QCOMPARE(cp1252::toLower("ABC\xC5\xC4\xD6\xC9\xD7\xDE\xDF\x8A\x8C\x8E\x9F[]=1"),
        QByteArray("abc\xE5\xE4\xF6\xE9\xD7\xFE\xDF\x9A\x9C\x9E\xFF[]=1"));
}

QTEST_GUILESS_MAIN(TestNumbers)
#include "tst_numbers.moc"
