// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// The case register, the article files and the case data file: what is written,
// what is read back, and that nothing is lost when something goes wrong.

#include "common/testsupport.h"
#include "storage/casefiles.h"
#include "storage/caseregister.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

using namespace lunora;

namespace {

RegisterEntry entry(
    const QString &name, const QString &code = QStringLiteral("{0AB6D5E2-1C3F-4B7A-9E21-5D0C8F4A7B13}"))
{
    return { QStringLiteral("240105 17"), QStringLiteral("2024-01-05"), QStringLiteral("1042"), name,
        QStringLiteral("070-123 45 67"), QStringLiteral("Brådskande"), QStringLiteral("Under behandling"),
        code, QStringLiteral("Örjan Ek") };
}

RegisterEntry fields(std::initializer_list<const char *> values)
{
    RegisterEntry e;
    int i = 0;
    for (const char *v : values)
        e[i++] = QString::fromUtf8(v);
    return e;
}

ArticleRow row(const QString &description)
{
    return { QStringLiteral("17"), description, QStringLiteral("2"), QStringLiteral("st"),
        QStringLiteral("12,50"), QStringLiteral("25,00") };
}

} // namespace

class TestCaseFiles final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { test::useSwedishLocale(); }

    void registerReading_data();
    void registerReading();
    void plainAndQuotedLinesReadAlike();
    void registerLineForms();
    void appendChoosesAFormThatReadsBack();
    void appendRefusesUnstorableValues();
    void appendAfterTruncatedLastLine();
    void rewriteQuotesEveryLineInOrder();
    void rewriteFailureKeepsOldRegister();
    void loadMissingAndUnreadable();
    void largeRegisterRoundTrip();

    void articleLineFormat();
    void articleRoundTripAndRewrite();
    void articleFailures();

    void caseDataFileLayout();
    void caseDataFileRefusesUnstorableValues();
};

void TestCaseFiles::registerReading_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QList<RegisterEntry>>("expected");

    const RegisterEntry abc = fields({ "a", "b", "c", "d", "e", "f", "g", "h", "i" });
    QTest::newRow("empty file") << QByteArray() << QList<RegisterEntry>();
    QTest::newRow("last line without CR LF")
        << QByteArray("a,b,c,d,e,f,g,h,i\r\na,b,c,d,e,f,g,h,i") << QList<RegisterEntry> { abc, abc };
    QTest::newRow("trailing and inner blank lines invent nothing")
        << QByteArray("a,b,c,d,e,f,g,h,i\r\n\r\n  \r\na,b,c,d,e,f,g,h,i\r\n\r\n\r\n")
        << QList<RegisterEntry> { abc, abc };
    QTest::newRow("LF and CR line ends")
        << QByteArray("a,b,c,d,e,f,g,h,i\na,b,c,d,e,f,g,h,i\ra,b,c,d,e,f,g,h,i")
        << QList<RegisterEntry> { abc, abc, abc };
    QTest::newRow("blanks before a field are skipped, after it kept")
        << QByteArray("  a ,b,c,d,e,f,g,h,i  \r\n")
        << QList<RegisterEntry> { fields({ "a ", "b", "c", "d", "e", "f", "g", "h", "i  " }) };
    QTest::newRow("quoted field keeps commas and blanks; text after its quote is skipped")
        << QByteArray("\"a, b \"x,  \" c\",c,d,e,f,g,h,i\r\n")
        << QList<RegisterEntry> { fields({ "a, b ", " c", "c", "d", "e", "f", "g", "h", "i" }) };
    // A comma inside a plain name: the line keeps its place, its last field is lost,
    // and the next entry is read as it stands.
    QTest::newRow("too many fields stay on their line")
        << QByteArray("1,2,3,Ek, Anna,5,6,7,8,9\r\na,b,c,d,e,f,g,h,i\r\n")
        << QList<RegisterEntry> { fields({ "1", "2", "3", "Ek", "Anna", "5", "6", "7", "8" }), abc };
    QTest::newRow("too few fields are empty")
        << QByteArray("1,2,3\r\na,b,c,d,e,f,g,h,i\r\n")
        << QList<RegisterEntry> { fields({ "1", "2", "3", "", "", "", "", "", "" }), abc };
    QTest::newRow("a stray quote ends at its line end")
        << QByteArray("\"1\",\"2,3\r\na,b,c,d,e,f,g,h,i\r\n")
        << QList<RegisterEntry> { fields({ "1", "2,3", "", "", "", "", "", "", "" }), abc };
    QTest::newRow("Windows-1252 letters, undefined bytes read as C1 controls")
        << QByteArray("\x80,\xE5\xE4\xF6,\xC5\xC4\xD6,\x81,e,f,g,h,i\r\n")
        << QList<RegisterEntry> { fields({ "€", "åäö", "ÅÄÖ", "\xC2\x81", "e", "f", "g", "h", "i" }) };
}

void TestCaseFiles::registerReading()
{
    QFETCH(QByteArray, file);
    QFETCH(QList<RegisterEntry>, expected);
    QCOMPARE(caseregister::parse(file), expected);
}

void TestCaseFiles::plainAndQuotedLinesReadAlike()
{
    const RegisterEntry e = entry(QStringLiteral("Anna Åström"));
    const QList<RegisterEntry> loaded
        = caseregister::parse(caseregister::formatPlain(e) + caseregister::formatQuoted(e));
    QCOMPARE(loaded.size(), 2);
    QCOMPARE(loaded[0], e);
    QCOMPARE(loaded[1], e);
}

void TestCaseFiles::registerLineForms()
{
    const RegisterEntry e = fields(
        { "240105 17", "2024-01-05", "1042", "Åsa Öberg", "0701", "Normal", "Nytt ärende", "{C}", "Per" });
    QCOMPARE(caseregister::formatPlain(e),
        QByteArray("240105 17,2024-01-05,1042,\xC5sa \xD6"
                   "berg,0701,Normal,Nytt \xE4rende,{C},Per\r\n"));
    QCOMPARE(caseregister::formatQuoted(e),
        QByteArray("\"240105 17\",\"2024-01-05\",\"1042\",\"\xC5sa \xD6"
                   "berg\",\"0701\",\"Normal\","
                   "\"Nytt \xE4rende\",\"{C}\",\"Per\"\r\n"));
}

void TestCaseFiles::appendChoosesAFormThatReadsBack()
{
    test::TestDataFolder data;
    const QString path = data.file(QStringLiteral("Lib/arenden.txt"));
    const RegisterEntry plain = entry(QStringLiteral("Anna Åström"));
    const RegisterEntry comma = entry(QStringLiteral("Ek, Anna"));
    const RegisterEntry blank = entry(QStringLiteral(" Anna"));

    QVERIFY(!QFileInfo::exists(path));
    QVERIFY(caseregister::appendPlain(path, plain));
    QVERIFY(caseregister::appendPlain(path, comma));
    QVERIFY(caseregister::appendPlain(path, blank));
    QVERIFY(caseregister::appendQuoted(path, plain));

    QCOMPARE(test::readBytes(path),
        caseregister::formatPlain(plain) + caseregister::formatQuoted(comma)
            + caseregister::formatQuoted(blank) + caseregister::formatQuoted(plain));
    QCOMPARE(caseregister::load(path).value(), (QList<RegisterEntry> { plain, comma, blank, plain }));
}

void TestCaseFiles::appendRefusesUnstorableValues()
{
    test::TestDataFolder data;
    const QString path = data.file(QStringLiteral("Lib/arenden.txt"));
    QVERIFY(caseregister::appendPlain(path, entry(QStringLiteral("Anna"))));
    const QByteArray before = test::readBytes(path);

    for (const QString &bad : { QStringLiteral("Kalle \"Ankan\""), QStringLiteral("två\r\nrader"),
             QStringLiteral("rad\n"), QStringLiteral("Ωmega") }) {
        const RegisterEntry e = entry(bad);
        QCOMPARE(caseregister::firstUnstorableField(e), int(CustomerName));
        QVERIFY(!caseregister::appendPlain(path, e));
        QVERIFY(!caseregister::appendQuoted(path, e));
        QVERIFY(!caseregister::rewrite(path, { entry(QStringLiteral("ok")), e }));
    }
    QCOMPARE(test::readBytes(path), before);
    QCOMPARE(caseregister::firstUnstorableField(entry(QStringLiteral("Anna, €"))), -1);
}

void TestCaseFiles::appendAfterTruncatedLastLine()
{
    test::TestDataFolder data;
    const QString path = data.file(QStringLiteral("Lib/arenden.txt"));
    test::writeBytes(path, "a,b,c,d,e,f,g,h,i");
    const RegisterEntry e = entry(QStringLiteral("Anna"));
    QVERIFY(caseregister::appendPlain(path, e));
    QCOMPARE(test::readBytes(path), "a,b,c,d,e,f,g,h,i\r\n" + caseregister::formatPlain(e));
    QCOMPARE(caseregister::load(path).value().size(), 2);
}

void TestCaseFiles::rewriteQuotesEveryLineInOrder()
{
    test::TestDataFolder data;
    const QString path = data.file(QStringLiteral("Lib/arenden.txt"));
    const RegisterEntry a = entry(QStringLiteral("Anna"), QStringLiteral("{A}"));
    const RegisterEntry b = entry(QStringLiteral("Bertil"), QStringLiteral("{B}"));
    QVERIFY(caseregister::appendPlain(path, a));
    QVERIFY(caseregister::appendPlain(path, b));

    QVERIFY(caseregister::rewrite(path, { b, a }));
    QCOMPARE(test::readBytes(path), caseregister::formatQuoted(b) + caseregister::formatQuoted(a));

    QVERIFY(caseregister::rewrite(path, {}));
    QVERIFY(QFileInfo(path).isFile());
    QCOMPARE(QFileInfo(path).size(), 0);
    QVERIFY(caseregister::load(path).value().isEmpty());
}

void TestCaseFiles::rewriteFailureKeepsOldRegister()
{
    test::TestDataFolder data;
    // The Lib folder gone: nothing is written and nothing is created.
    const QString lib = data.file(QStringLiteral("Lib"));
    QVERIFY(QDir(lib).removeRecursively());
    QVERIFY(!caseregister::rewrite(lib + QStringLiteral("/arenden.txt"), { entry(QStringLiteral("Anna")) }));
    QVERIFY(!caseregister::appendPlain(lib + QStringLiteral("/arenden.txt"), entry(QStringLiteral("Anna"))));
    QVERIFY(!QFileInfo::exists(lib));

    // A folder in place of the register cannot be replaced.
    const QString path = data.file(QStringLiteral("Errors/arenden.txt"));
    QVERIFY(QDir().mkpath(path + QStringLiteral("/keep")));
    QVERIFY(!caseregister::rewrite(path, { entry(QStringLiteral("Anna")) }));
    QVERIFY(!caseregister::appendQuoted(path, entry(QStringLiteral("Anna"))));
    QVERIFY(QFileInfo(path + QStringLiteral("/keep")).isDir());

    if (test::runningAsRoot())
        QSKIP("root ignores folder permissions");
    const QString folder = data.file(QStringLiteral("Errors"));
    const QString reg = folder + QStringLiteral("/reg.txt");
    test::writeBytes(reg, "a,b,c,d,e,f,g,h,i\r\n");
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const bool rewritten = caseregister::rewrite(reg, {}).ok();
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QVERIFY(!rewritten);
    QCOMPARE(test::readBytes(reg), QByteArray("a,b,c,d,e,f,g,h,i\r\n"));
}

void TestCaseFiles::loadMissingAndUnreadable()
{
    test::TestDataFolder data;
    Result<QList<RegisterEntry>> missing = caseregister::load(data.file(QStringLiteral("Lib/arenden.txt")));
    QVERIFY(missing);
    QVERIFY(missing.value().isEmpty());
    QVERIFY(!QFileInfo::exists(data.file(QStringLiteral("Lib/arenden.txt"))));

    const QString folder = data.file(QStringLiteral("Lib/folder.txt"));
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(!caseregister::load(folder));
    QVERIFY(!articlefile::load(folder));

    if (test::runningAsRoot())
        QSKIP("root reads files regardless of their permissions");
    const QString path = data.file(QStringLiteral("Lib/locked.txt"));
    test::writeBytes(path, "a,b,c,d,e,f,g,h,i\r\n");
    QFile::setPermissions(path, {});
    QVERIFY(!caseregister::load(path));
    QVERIFY(!articlefile::load(path));
}

void TestCaseFiles::largeRegisterRoundTrip()
{
    test::TestDataFolder data;
    const QString path = data.file(QStringLiteral("Lib/arenden.txt"));
    QList<RegisterEntry> entries;
    for (int i = 0; i < 2000; ++i) {
        RegisterEntry e = entry(QStringLiteral("Kund %1 Ström").arg(i), QStringLiteral("{%1}").arg(i));
        e[CaseStatus] = i % 3 ? QStringLiteral("Avslutad") : QStringLiteral("Nytt ärende");
        entries.append(e);
    }
    QVERIFY(caseregister::rewrite(path, entries));
    QCOMPARE(caseregister::load(path).value(), entries);
}

void TestCaseFiles::articleLineFormat()
{
    const ArticleRow r = row(QStringLiteral("Skruv"));
    const QByteArray line = articlefile::formatRow(r);
    QCOMPARE(line, QByteArray("\"17\",\"Skruv\",\"2\",\"st\",\"12,50\",\"25,00\"\r\n"));
    QCOMPARE(line.size(), 37 + 2);
}

void TestCaseFiles::articleRoundTripAndRewrite()
{
    test::TestDataFolder data;
    const QString path = data.file(QStringLiteral("Lib/{C}_ArtData.txt"));
    const ArticleRow a = row(QStringLiteral("Skruv, rostfri"));
    const ArticleRow b = row(QStringLiteral("Mutter åtta"));
    QVERIFY(articlefile::appendRow(path, a));
    QVERIFY(articlefile::appendRow(path, b));
    QCOMPARE(articlefile::load(path).value(), (QList<ArticleRow> { a, b }));

    // A changed row is the last line after the rewrite and append.
    ArticleRow changed = a;
    changed[Quantity] = QStringLiteral("3");
    QVERIFY(articlefile::rewrite(path, { b }));
    QVERIFY(articlefile::appendRow(path, changed));
    QCOMPARE(articlefile::load(path).value(), (QList<ArticleRow> { b, changed }));

    QVERIFY(articlefile::rewrite(path, {}));
    Result<QList<ArticleRow>> empty = articlefile::load(path);
    QVERIFY(empty);
    QVERIFY(empty.value().isEmpty());

    // Rows read the same way as register lines: too many fields stay on their line.
    QCOMPARE(articlefile::parse("1,2,3,4,5,6,7\r\n\"a\",\"b\"\r\n"),
        (QList<ArticleRow> { { "1", "2", "3", "4", "5", "6" }, { "a", "b", "", "", "", "" } }));

    QVERIFY(articlefile::remove(path));
    QVERIFY(!QFileInfo::exists(path));
    QVERIFY(!articlefile::remove(path));
}

void TestCaseFiles::articleFailures()
{
    test::TestDataFolder data;
    const QString path = data.file(QStringLiteral("Lib/{C}_ArtData.txt"));
    QVERIFY(!articlefile::load(path)); // a missing article file is reported, not read as empty

    QVERIFY(articlefile::appendRow(path, row(QStringLiteral("Skruv"))));
    const QByteArray before = test::readBytes(path);
    const ArticleRow bad = row(QStringLiteral("3\" spik"));
    QCOMPARE(articlefile::firstUnstorableField(bad), int(Description));
    QVERIFY(!articlefile::appendRow(path, bad));
    QVERIFY(!articlefile::rewrite(path, { bad }));
    QCOMPARE(test::readBytes(path), before);
}

void TestCaseFiles::caseDataFileLayout()
{
    test::TestDataFolder data;
    const QString path = data.file(QStringLiteral("Lib/{C}_eData.ini"));
    CaseRecord record;
    record.caseNumber = QStringLiteral("240105 17");
    record.created = QStringLiteral("2024-01-05");
    record.customerNumber = QStringLiteral("1042");
    record.customerName = QStringLiteral("Åsa Öberg");
    record.telephone = QStringLiteral("0701");
    record.priority = QStringLiteral("Brådskande");
    record.status = QStringLiteral("Nytt ärende");
    record.controlCode = QStringLiteral("{C}");
    record.signature = QStringLiteral("Per Ek");
    QVERIFY(casedatafile::write(path, record));
    QCOMPARE(test::readBytes(path),
        QByteArray("[Main]\r\n"
                   "xSign=Per Ek\r\n"
                   "xCode={C}\r\n"
                   "xRegDate=2024-01-05\r\n"
                   "xID=240105 17\r\n"
                   "\r\n"
                   "[Type]\r\n"
                   "xPrio=Br\xE5"
                   "dskande\r\n"
                   "\r\n"
                   "[Status]\r\n"
                   "xStat=Nytt \xE4rende\r\n"
                   "\r\n"
                   "[Customer]\r\n"
                   "xCPhone=0701\r\n"
                   "xCName=\xC5sa \xD6"
                   "berg\r\n"
                   "xCID=1042\r\n"));
    QVERIFY(casedatafile::remove(path));
    QVERIFY(!QFileInfo::exists(path));
}

void TestCaseFiles::caseDataFileRefusesUnstorableValues()
{
    test::TestDataFolder data;
    const QString path = data.file(QStringLiteral("Lib/{C}_eData.ini"));
    CaseRecord record;
    record.customerName = QStringLiteral("Kalle \"Ankan\"");
    QVERIFY(!casedatafile::write(path, record));
    QVERIFY(!QFileInfo::exists(path));
}

QTEST_GUILESS_MAIN(TestCaseFiles)
#include "tst_casefiles.moc"
