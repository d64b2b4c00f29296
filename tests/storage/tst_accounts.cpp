// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// User, customer and company files, the error log and control codes.

#include "common/testsupport.h"
#include "storage/accounts.h"
#include "storage/datafolder.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>

using namespace lunora;

class TestAccounts final : public QObject
{
    Q_OBJECT

private slots:
    void userFileLayout();
    void userFileKeepsOtherKeys();
    void userFileRefusesWhatCannotBeReadBack();
    void userExistsCreatesNothing();
    void userReadOfMissingFile();
    void unsafeNamesTouchNothing();
    void customerCard();
    void companyNameLines();
    void errorLogEntry();
    void controlCodeForm();
};

void TestAccounts::userFileLayout()
{
    test::TestDataFolder data;
    const UserRecord anna { QStringLiteral("anna"), QStringLiteral("Hemligt=1"), QStringLiteral("0"),
        QStringLiteral("Anna Åström") };
    QVERIFY(userfile::write(QStringLiteral("anna"), anna));
    QCOMPARE(test::readBytes(data.file(QStringLiteral("Lib/User/anna.ini"))),
        QByteArray("[Main]\r\nRealName=Anna \xC5str\xF6m\r\nIndex=0\r\nPassWD=Hemligt=1\r\nUser=anna\r\n"));
    Result<UserRecord> read = userfile::read(QStringLiteral("anna"));
    QVERIFY(read);
    QCOMPARE(read.value().user, anna.user);
    QCOMPARE(read.value().password, anna.password);
    QCOMPARE(read.value().index, anna.index);
    QCOMPARE(read.value().realName, anna.realName);
}

void TestAccounts::userFileKeepsOtherKeys()
{
    test::TestDataFolder data;
    const QString path = data.file(QStringLiteral("Lib/User/per.ini"));
    test::writeBytes(path, "[main]\r\nuser=per\r\nTheme=dark\r\n");
    QVERIFY(userfile::write(QStringLiteral("per"),
        { QStringLiteral("per"), QStringLiteral("x"), QStringLiteral("9"), QStringLiteral("Per") }));
    QCOMPARE(test::readBytes(path),
        QByteArray("[main]\r\nRealName=Per\r\nIndex=9\r\nPassWD=x\r\nUser=per\r\nTheme=dark\r\n"));
}

void TestAccounts::userFileRefusesWhatCannotBeReadBack()
{
    test::TestDataFolder data;
    const UserRecord good { QStringLiteral("anna"), QStringLiteral("pw"), QStringLiteral("9"),
        QStringLiteral("Anna") };
    QVERIFY(userfile::write(QStringLiteral("anna"), good));
    const QByteArray before = test::readBytes(data.file(QStringLiteral("Lib/User/anna.ini")));

    UserRecord bad = good;
    bad.realName = QStringLiteral("Anna [kassa]"); // would hide Index, PassWD and User below it
    QVERIFY(!userfile::write(QStringLiteral("anna"), bad));
    bad = good;
    bad.password = QStringLiteral("a\r\nIndex=0");
    QVERIFY(!userfile::write(QStringLiteral("anna"), bad));
    bad = good;
    bad.realName = QStringLiteral("Анна");
    QVERIFY(!userfile::write(QStringLiteral("anna"), bad));
    QCOMPARE(test::readBytes(data.file(QStringLiteral("Lib/User/anna.ini"))), before);

    // A double quote means nothing in an INI line: such a password is stored and read back.
    UserRecord quoted = good;
    quoted.password = QStringLiteral("sa\"gs");
    QVERIFY(userfile::write(QStringLiteral("anna"), quoted));
    QCOMPARE(userfile::read(QStringLiteral("anna")).value().password, quoted.password);
}

void TestAccounts::userExistsCreatesNothing()
{
    test::TestDataFolder data;
    QCOMPARE(userfile::exists(QStringLiteral("nobody")).value(), false);
    QVERIFY(!QFileInfo::exists(data.file(QStringLiteral("Lib/User/nobody.ini"))));
    // Names are used exactly as typed: a trailing blank names another file.
    test::writeBytes(data.file(QStringLiteral("Lib/User/anna.ini")), "[Main]\r\nUser=anna\r\n");
    QCOMPARE(userfile::exists(QStringLiteral("anna")).value(), true);
    QCOMPARE(userfile::exists(QStringLiteral("anna ")).value(), false);
    // A folder of that name is no user file.
    QVERIFY(QDir().mkpath(data.file(QStringLiteral("Lib/User/dir.ini"))));
    QCOMPARE(userfile::exists(QStringLiteral("dir")).value(), false);
}

void TestAccounts::userReadOfMissingFile()
{
    test::TestDataFolder data;
    Result<UserRecord> read = userfile::read(QStringLiteral("ny"));
    QVERIFY(read);
    QVERIFY(read.value().user.isEmpty() && read.value().password.isEmpty());
    // Reading creates the missing file empty, as every INI read does.
    QCOMPARE(QFileInfo(data.file(QStringLiteral("Lib/User/ny.ini"))).size(), 0);

    QVERIFY(QDir(data.file(QStringLiteral("Lib/User"))).removeRecursively());
    QVERIFY(!userfile::read(QStringLiteral("ny")));
    QVERIFY(!userfile::write(QStringLiteral("ny"), {}));
    QVERIFY(!QFileInfo::exists(data.file(QStringLiteral("Lib/User"))));
}

void TestAccounts::unsafeNamesTouchNothing()
{
    test::TestDataFolder data;
    const QStringList unsafe = { QStringLiteral("."), QStringLiteral(".."), QStringLiteral("../x"),
        QStringLiteral("a/b"), QStringLiteral("a\\b"), QString(QChar(0)), QString(300, u'a') };
    for (const QString &name : unsafe) {
        QVERIFY2(!isSafeFileName(name), qPrintable(name));
        QVERIFY(!userfile::exists(name));
        QVERIFY(!userfile::read(name));
        QVERIFY(!userfile::write(name, { name, QString(), QStringLiteral("0"), QString() }));
        QVERIFY(!customerfile::read(name));
    }
    QCOMPARE(QDir(data.file(QStringLiteral("Lib/User"))).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
        QStringList());
    QCOMPARE(QDir(data.file(QStringLiteral("Lib"))).entryList(QDir::Files), QStringList());

    // Blanks, dots inside a name and the empty name are plain file names.
    for (const QString &name :
        { QString(), QStringLiteral("anna "), QStringLiteral("a.b"), QStringLiteral("...") })
        QVERIFY(isSafeFileName(name));
}

void TestAccounts::customerCard()
{
    test::TestDataFolder data;
    // Customer files are made outside the program, on Linux often with LF line ends and
    // names in any letter case.
    test::writeBytes(data.file(QStringLiteral("Lib/0701234567.ini")),
        "[MAIN]\nXID=1042\nxName=\xC5sa \xD6"
        "berg\nxAdress=Storgatan 1\nxPostaladress=123 45 Ume\xE5\n"
        "xLand=Sverige\nxPhone1=090-12 34 56\nxPhone2=070-123 45 67\nxEmail=asa@example.se\n"
        "xNotes=Ring f\xF6re leverans\n");
    Result<CustomerRecord> card = customerfile::read(QStringLiteral("0701234567"));
    QVERIFY(card);
    const CustomerRecord &c = card.value();
    QCOMPARE(c.id, QStringLiteral("1042"));
    QCOMPARE(c.name, QStringLiteral("Åsa Öberg"));
    QCOMPARE(c.address, QStringLiteral("Storgatan 1"));
    QCOMPARE(c.postalAddress, QStringLiteral("123 45 Umeå"));
    QCOMPARE(c.country, QStringLiteral("Sverige"));
    QCOMPARE(c.phone1, QStringLiteral("090-12 34 56"));
    QCOMPARE(c.phone2, QStringLiteral("070-123 45 67"));
    QCOMPARE(c.email, QStringLiteral("asa@example.se"));
    QCOMPARE(c.notes, QStringLiteral("Ring före leverans"));

    // No file: all empty, and an empty file of that name now exists.
    Result<CustomerRecord> none = customerfile::read(QString());
    QVERIFY(none);
    QVERIFY(none.value().name.isEmpty());
    QVERIFY(QFileInfo(data.file(QStringLiteral("Lib/.ini"))).isFile());
}

void TestAccounts::companyNameLines()
{
    test::TestDataFolder data;
    test::writeBytes(data.file(QStringLiteral("Lib/CompanyInfo.ini")),
        "[MAIN]\r\nRAD1=Cykel & Data AB\r\nrad3=901 23 Ume\xE5\r\n");
    Result<QStringList> lines = companyfile::readNameLines();
    QVERIFY(lines);
    QCOMPARE(lines.value(),
        (QStringList {
            QStringLiteral("Cykel & Data AB"), QString(), QStringLiteral("901 23 Umeå"), QString() }));
}

void TestAccounts::errorLogEntry()
{
    test::TestDataFolder data;
    const QDateTime when(QDate(2024, 3, 7), QTime(14, 5, 9));
    const QByteArray entry
        = "2024-03-07, kl. 14:05:09                Fel vid inl\xE4sning, information saknas....\r\n\r\n";
    QCOMPARE(errorlog::formatLoadFailure(when), entry);
    QVERIFY(errorlog::appendLoadFailure(when));
    QVERIFY(errorlog::appendLoadFailure(when));
    QCOMPARE(test::readBytes(data.file(QStringLiteral("Errors/Error.txt"))), entry + entry);

    QVERIFY(QDir(data.file(QStringLiteral("Errors"))).removeRecursively());
    QVERIFY(!errorlog::appendLoadFailure(when));
    QVERIFY(!QFileInfo::exists(data.file(QStringLiteral("Errors"))));
}

void TestAccounts::controlCodeForm()
{
    static const QRegularExpression form(
        QStringLiteral("^\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}$"));
    QSet<QString> seen;
    for (int i = 0; i < 100; ++i) {
        const QString code = NewControlCode();
        QCOMPARE(code.size(), 38);
        QVERIFY2(form.match(code).hasMatch(), qPrintable(code));
        QVERIFY(isSafeFileName(code));
        seen.insert(code);
    }
    QCOMPARE(seen.size(), 100);
}

QTEST_GUILESS_MAIN(TestAccounts)
#include "tst_accounts.moc"
