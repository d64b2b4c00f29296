// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// The INI engine byte for byte: what a write leaves in the file, what a read finds.

#include "common/testsupport.h"
#include "storage/ini.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

using namespace lunora;

namespace {
QByteArray write(
    const QByteArray &file, const QByteArray &section, const QByteArray &key, const QByteArray &value)
{
    Result<QByteArray> result = ini::writeValue(file, section, key, value);
    if (!result)
        qWarning() << result.error();
    return result.value();
}
} // namespace

class TestIni final : public QObject
{
    Q_OBJECT

private slots:
    void writeRules_data();
    void writeRules();
    void readRules_data();
    void readRules();
    void keysWrittenOneByOneListInReverse();
    void bracketInValueHidesLaterKeys();
    void overlongFilesAreRefused();

    void readCreatesMissingFileEmpty();
    void missingFolderIsAnErrorAndNothingIsCreated();
    void readMakesReadOnlyFileWritable();
    void writeKeepsOldFileOnFailure();
    void writeAllStoresOnceInOrder();
    void writeFindsWhatReadFindsInLfFiles();
    void writeRefusesLineEnds();
};

void TestIni::writeRules_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("first write to an empty file") << QByteArray() << QByteArray("Main") << QByteArray("k")
                                                  << QByteArray("v") << QByteArray("[Main]\r\nk=v\r\n");
    QTest::newRow("new section after one blank line")
        << QByteArray("[A]\r\na=1\r\n") << QByteArray("B") << QByteArray("b") << QByteArray("2")
        << QByteArray("[A]\r\na=1\r\n\r\n[B]\r\nb=2\r\n");
    QTest::newRow("last line without line end, new section")
        << QByteArray("[A]\r\na=1") << QByteArray("B") << QByteArray("b") << QByteArray("2")
        << QByteArray("[A]\r\na=1\r\n\r\n[B]\r\nb=2\r\n");
    QTest::newRow("new key goes to the top of its section")
        << QByteArray("[A]\r\na=1\r\n\r\n[B]\r\nb=2\r\n") << QByteArray("A") << QByteArray("z")
        << QByteArray("9") << QByteArray("[A]\r\nz=9\r\na=1\r\n\r\n[B]\r\nb=2\r\n");
    QTest::newRow("existing key replaced in place, caller's letter case")
        << QByteArray("[A]\r\nx=0\r\nKEY=old\r\ny=1\r\n") << QByteArray("a") << QByteArray("Key")
        << QByteArray("new=er") << QByteArray("[A]\r\nx=0\r\nKey=new=er\r\ny=1\r\n");
    QTest::newRow("key of another section is not touched")
        << QByteArray("[A]\r\na=1\r\n\r\n[B]\r\nk=old\r\n") << QByteArray("A") << QByteArray("k")
        << QByteArray("new") << QByteArray("[A]\r\nk=new\r\na=1\r\n\r\n[B]\r\nk=old\r\n");
    QTest::newRow("key on the last line without line end")
        << QByteArray("[A]\r\nk=old") << QByteArray("A") << QByteArray("k") << QByteArray("new")
        << QByteArray("[A]\r\nk=new\r\n");
    QTest::newRow("runs of blank lines shrink to one")
        << QByteArray("[A]\r\na=1\r\n\r\n\r\n\r\n[B]\r\nb=2\r\n\r\n\r\n") << QByteArray("B")
        << QByteArray("b") << QByteArray("3") << QByteArray("[A]\r\na=1\r\n\r\n[B]\r\nb=3\r\n");
    QTest::newRow("leading blank lines dropped")
        << QByteArray("\r\n\r\n[A]\r\na=1\r\n") << QByteArray("A") << QByteArray("a") << QByteArray("2")
        << QByteArray("[A]\r\na=2\r\n");
    QTest::newRow("trailing TAB of the last line is lost")
        << QByteArray() << QByteArray("A") << QByteArray("k") << QByteArray("v\t")
        << QByteArray("[A]\r\nk=v\r\n");
    QTest::newRow("header with a trailing blank is not a header")
        << QByteArray("[Main] \r\nk=1\r\n") << QByteArray("Main") << QByteArray("k") << QByteArray("2")
        << QByteArray("[Main] \r\nk=1\r\n\r\n[Main]\r\nk=2\r\n");
    QTest::newRow("blank before '=' is part of the key")
        << QByteArray("[A]\r\nk =1\r\n") << QByteArray("A") << QByteArray("k") << QByteArray("2")
        << QByteArray("[A]\r\nk=2\r\nk =1\r\n");
    QTest::newRow("leading blank is part of the key")
        << QByteArray("[A]\r\n k=1\r\n") << QByteArray("A") << QByteArray("k") << QByteArray("2")
        << QByteArray("[A]\r\nk=2\r\n k=1\r\n");
    QTest::newRow("only the first of duplicate sections is written")
        << QByteArray("[A]\r\na=1\r\n\r\n[A]\r\nk=1\r\n") << QByteArray("A") << QByteArray("k")
        << QByteArray("2") << QByteArray("[A]\r\nk=2\r\na=1\r\n\r\n[A]\r\nk=1\r\n");
    QTest::newRow("only the first duplicate key is replaced")
        << QByteArray("[A]\r\nk=1\r\nk=2\r\n") << QByteArray("A") << QByteArray("k") << QByteArray("3")
        << QByteArray("[A]\r\nk=3\r\nk=2\r\n");
    QTest::newRow("names compared with Swedish letters lower-cased")
        << QByteArray("[\xC5R]\r\n\xD6L=1\r\n") << QByteArray("\xE5r") << QByteArray("\xF6l")
        << QByteArray("2") << QByteArray("[\xC5R]\r\n\xF6l=2\r\n");
    QTest::newRow("a header needs a CR after it")
        << QByteArray("[A]") << QByteArray("A") << QByteArray("k") << QByteArray("1")
        << QByteArray("[A]\r\n\r\n[A]\r\nk=1\r\n");
    QTest::newRow("key lines above the first header stay where they are")
        << QByteArray("k=0\r\n[A]\r\n") << QByteArray("A") << QByteArray("k") << QByteArray("1")
        << QByteArray("k=0\r\n[A]\r\nk=1\r\n");
}

void TestIni::writeRules()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, section);
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, value);
    QFETCH(QByteArray, expected);
    QCOMPARE(write(file, section, key, value), expected);
}

void TestIni::readRules_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray user("[Main]\r\nRealName=Anna \xC5str\xF6m\r\nPassWD=Hemligt\r\nUser=anna\r\n");
    QTest::newRow("names in other letter case")
        << user << QByteArray("MAIN") << QByteArray("passwd") << QByteArray("Hemligt");
    QTest::newRow("value keeps its letter case and bytes")
        << user << QByteArray("main") << QByteArray("realname") << QByteArray("Anna \xC5str\xF6m");
    QTest::newRow("missing key") << user << QByteArray("Main") << QByteArray("Index") << QByteArray();
    QTest::newRow("missing section") << user << QByteArray("Other") << QByteArray("User") << QByteArray();
    QTest::newRow("empty file") << QByteArray() << QByteArray("Main") << QByteArray("User") << QByteArray();
    QTest::newRow("value with '=' is returned whole")
        << QByteArray("[A]\r\nk=a=b=\r\n") << QByteArray("A") << QByteArray("k") << QByteArray("a=b=");
    QTest::newRow("blanks are kept") << QByteArray("[A]\r\nk= v \r\n") << QByteArray("A") << QByteArray("k")
                                     << QByteArray(" v ");
    QTest::newRow("key above the first header is never found")
        << QByteArray("k=0\r\n[A]\r\n") << QByteArray("A") << QByteArray("k") << QByteArray();
    QTest::newRow("key of a later duplicate section is found")
        << QByteArray("[A]\r\na=1\r\n[B]\r\nk=x\r\n[a]\r\nk=2\r\n") << QByteArray("A") << QByteArray("k")
        << QByteArray("2");
    QTest::newRow("a '[' anywhere ends the section")
        << QByteArray("[A]\r\nnote=see [1]\r\nk=1\r\n") << QByteArray("A") << QByteArray("k") << QByteArray();
    QTest::newRow("header with trailing blank is not recognised")
        << QByteArray("[A] \r\nk=1\r\n") << QByteArray("A") << QByteArray("k") << QByteArray();
    QTest::newRow("header with leading blank is not recognised")
        << QByteArray(" [A]\r\nk=1\r\n") << QByteArray("A") << QByteArray("k") << QByteArray();
    QTest::newRow("last line without line end")
        << QByteArray("[A]\r\nk=1") << QByteArray("A") << QByteArray("k") << QByteArray("1");
    QTest::newRow("lines ended by LF alone")
        << QByteArray("[Main]\nxName=Kalle\nxLand=Sverige\n") << QByteArray("Main") << QByteArray("xLand")
        << QByteArray("Sverige");
    QTest::newRow("lines ended by CR alone")
        << QByteArray("[Main]\rxName=Kalle\rxLand=Sverige\r") << QByteArray("Main") << QByteArray("xLand")
        << QByteArray("Sverige");
    QTest::newRow("value ends at the CR of CR LF")
        << QByteArray("[A]\r\nk=1\r\nl=2\r\n") << QByteArray("A") << QByteArray("k") << QByteArray("1");
    QTest::newRow("accented capitals in the names")
        << QByteArray("[K\xD6P]\r\n\xC5R=1\r\n") << QByteArray("k\xF6p") << QByteArray("\xE5r")
        << QByteArray("1");
    QTest::newRow("the first of two lines of a key")
        << QByteArray("[A]\r\nk=1\r\nK=2\r\n") << QByteArray("A") << QByteArray("k") << QByteArray("1");
    QTest::newRow("a key that begins another key's name")
        << QByteArray("[A]\r\nkey=1\r\nk=2\r\n") << QByteArray("A") << QByteArray("k") << QByteArray("2");
    QTest::newRow("a header one byte longer")
        << QByteArray("[AB]\r\nk=1\r\n[A\r\nk=2\r\n") << QByteArray("A") << QByteArray("k") << QByteArray();
}

void TestIni::readRules()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, section);
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, expected);
    QCOMPARE(ini::readValue(file, section, key), expected);

    // The one-pass reader of several keys finds what one read per key finds.
    const QList<QByteArray> keys { QByteArray("xName"), key, QByteArray("k"), QByteArray("l"),
        key.toUpper() };
    const QList<QByteArray> values = ini::readValues(file, section, keys);
    QCOMPARE(values.size(), keys.size());
    for (int i = 0; i < keys.size(); ++i)
        QCOMPARE(values.at(i), ini::readValue(file, section, keys.at(i)));
    QCOMPARE(values.at(1), expected);
}

void TestIni::keysWrittenOneByOneListInReverse()
{
    test::TestDataFolder data;
    const QString path = data.file(QStringLiteral("Lib/User/anna.ini"));
    QVERIFY(WriteIni(path, QStringLiteral("Main"), QStringLiteral("User"), QStringLiteral("anna")));
    QVERIFY(WriteIni(path, QStringLiteral("Main"), QStringLiteral("PassWD"), QStringLiteral("hemligt")));
    QVERIFY(WriteIni(path, QStringLiteral("Main"), QStringLiteral("Index"), QStringLiteral("9")));
    QVERIFY(
        WriteIni(path, QStringLiteral("Main"), QStringLiteral("RealName"), QStringLiteral("Anna Åström")));
    QCOMPARE(test::readBytes(path),
        QByteArray("[Main]\r\nRealName=Anna \xC5str\xF6m\r\nIndex=9\r\n"
                   "PassWD=hemligt\r\nUser=anna\r\n"));
    QCOMPARE(ReadIni(path, QStringLiteral("main"), QStringLiteral("REALNAME")).value(),
        QStringLiteral("Anna Åström"));
}

void TestIni::bracketInValueHidesLaterKeys()
{
    QByteArray file = write({}, "A", "low", "1");
    file = write(file, "A", "note", "see [2]");
    QCOMPARE(file, QByteArray("[A]\r\nnote=see [2]\r\nlow=1\r\n"));
    QCOMPARE(ini::readValue(file, "A", "note"), QByteArray());
    QCOMPARE(ini::readValue(file, "A", "low"), QByteArray());

    // The hidden key is not found by a write either: a new line goes to the top, and
    // from then on reads find that one.
    file = write(file, "A", "low", "2");
    QCOMPARE(file, QByteArray("[A]\r\nlow=2\r\nnote=see [2]\r\nlow=1\r\n"));
    QCOMPARE(ini::readValue(file, "A", "low"), QByteArray("2"));
}

void TestIni::overlongFilesAreRefused()
{
    const QByteArray filler = "[Pad]\r\n" + QByteArray(33000, 'x') + "\r\n";

    // A section that starts beyond the limit cannot be written.
    QVERIFY(!ini::writeValue(filler + "[A]\r\nk=1\r\n", "A", "k", "2"));
    // Nor can a section whose end lies beyond it.
    QVERIFY(!ini::writeValue("[A]\r\n" + QByteArray(33000, 'y') + "\r\nk=1\r\n", "A", "k", "2"));
    // A small section at the top of a large file is still fine.
    QVERIFY(ini::writeValue("[A]\r\nk=1\r\n[B]\r\n" + filler, "A", "k", "2"));

    test::TestDataFolder data;
    const QString path = data.file(QStringLiteral("Lib/big.ini"));
    const QByteArray before = filler + "[A]\r\nk=1\r\n";
    test::writeBytes(path, before);
    QVERIFY(!WriteIni(path, QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("2")));
    QCOMPARE(test::readBytes(path), before);
    QCOMPARE(ReadIni(path, QStringLiteral("A"), QStringLiteral("k")).value(), QStringLiteral("1"));
}

void TestIni::readCreatesMissingFileEmpty()
{
    test::TestDataFolder data;
    const QString path = data.file(QStringLiteral("Lib/0701234567.ini"));
    Result<QString> value = ReadIni(path, QStringLiteral("Main"), QStringLiteral("xName"));
    QVERIFY(value);
    QCOMPARE(value.value(), QString());
    QVERIFY(QFileInfo(path).isFile());
    QCOMPARE(QFileInfo(path).size(), 0);
}

void TestIni::missingFolderIsAnErrorAndNothingIsCreated()
{
    test::TestDataFolder data;
    const QString folder = data.file(QStringLiteral("Lib/Missing"));
    const QString path = folder + QStringLiteral("/x.ini");
    QVERIFY(!ReadIni(path, QStringLiteral("Main"), QStringLiteral("k")));
    QVERIFY(!WriteIni(path, QStringLiteral("Main"), QStringLiteral("k"), QStringLiteral("v")));
    QVERIFY(!QFileInfo::exists(folder));
}

void TestIni::readMakesReadOnlyFileWritable()
{
    test::TestDataFolder data;
    const QString path = data.file(QStringLiteral("Lib/CompanyInfo.ini"));
    test::writeBytes(path, "[Main]\r\nRad1=Cykel & Data AB\r\n");
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    QCOMPARE(ReadIni(path, QStringLiteral("Main"), QStringLiteral("Rad1")).value(),
        QStringLiteral("Cykel & Data AB"));
    QVERIFY(QFile::permissions(path) & QFileDevice::WriteOwner);
}

void TestIni::writeKeepsOldFileOnFailure()
{
    test::TestDataFolder data;
    // A folder where the file should be: nothing can be written, nothing is lost.
    const QString path = data.file(QStringLiteral("Lib/dir.ini"));
    QVERIFY(QDir().mkpath(path));
    QVERIFY(!WriteIni(path, QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("v")));
    QVERIFY(!ReadIni(path, QStringLiteral("A"), QStringLiteral("k")));
    QVERIFY(QFileInfo(path).isDir());

    if (test::runningAsRoot())
        QSKIP("root ignores folder permissions");
    const QString locked = data.file(QStringLiteral("Lib/User"));
    const QString user = locked + QStringLiteral("/anna.ini");
    test::writeBytes(user, "[Main]\r\nUser=anna\r\n");
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const bool written
        = WriteIni(user, QStringLiteral("Main"), QStringLiteral("Index"), QStringLiteral("0")).ok();
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QVERIFY(!written);
    QCOMPARE(test::readBytes(user), QByteArray("[Main]\r\nUser=anna\r\n"));
}

void TestIni::writeAllStoresOnceInOrder()
{
    test::TestDataFolder data;
    const QString path = data.file(QStringLiteral("Lib/x.ini"));
    test::writeBytes(path, "[Main]\r\nOld=1\r\n");
    const QList<IniWrite> writes = {
        { QStringLiteral("Main"), QStringLiteral("a"), QStringLiteral("1") },
        { QStringLiteral("Other"), QStringLiteral("b"), QStringLiteral("2") },
        { QStringLiteral("Main"), QStringLiteral("c"), QStringLiteral("3") },
        { QStringLiteral("Main"), QStringLiteral("Old"), QStringLiteral("4") },
    };
    QVERIFY(WriteIniAll(path, writes));
    QCOMPARE(test::readBytes(path), QByteArray("[Main]\r\nc=3\r\na=1\r\nOld=4\r\n\r\n[Other]\r\nb=2\r\n"));

    // One write the file cannot take and none of them is stored.
    const QByteArray before = test::readBytes(path);
    QVERIFY(!WriteIniAll(path,
        { { QStringLiteral("Main"), QStringLiteral("a"), QStringLiteral("9") },
            { QStringLiteral("Main"), QStringLiteral("b"), QStringLiteral("x\ny") } }));
    QCOMPARE(test::readBytes(path), before);
}

void TestIni::writeFindsWhatReadFindsInLfFiles()
{
    test::TestDataFolder data;
    const QString path = data.file(QStringLiteral("Lib/User/per.ini"));
    test::writeBytes(path, "[Main]\nUser=per\nPassWD=gammalt\n");
    QVERIFY(WriteIni(path, QStringLiteral("Main"), QStringLiteral("PassWD"), QStringLiteral("nytt")));
    QCOMPARE(test::readBytes(path), QByteArray("[Main]\r\nUser=per\r\nPassWD=nytt\r\n"));
    QCOMPARE(ReadIni(path, QStringLiteral("Main"), QStringLiteral("PassWD")).value(), QStringLiteral("nytt"));
}

void TestIni::writeRefusesLineEnds()
{
    test::TestDataFolder data;
    const QString path = data.file(QStringLiteral("Lib/x.ini"));
    test::writeBytes(path, "[Main]\r\nk=1\r\n");
    QVERIFY(!WriteIni(path, QStringLiteral("Main"), QStringLiteral("k"), QStringLiteral("a\r\nInjected=1")));
    QVERIFY(!WriteIni(path, QStringLiteral("Main"), QStringLiteral("k\n"), QStringLiteral("v")));
    QVERIFY(!WriteIni(path, QStringLiteral("Main"), QStringLiteral("k"), QStringLiteral("日本")));
    QCOMPARE(test::readBytes(path), QByteArray("[Main]\r\nk=1\r\n"));
}

QTEST_GUILESS_MAIN(TestIni)
#include "tst_ini.moc"
