// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// The case store without windows: every change of a case's files succeeds, or fails
// leaving every file as it was, and never loses or doubles a register line.

#include "common/faultyfs.h"
#include "common/testsupport.h"
#include "storage/casefiles.h"
#include "storage/caseregister.h"
#include "storage/casestore.h"
#include "storage/cp1252.h"
#include "storage/datafolder.h"

#include <QDir>
#include <QTest>

using namespace lunora;
using namespace lunora::test;

namespace {

// The files of Lib, but for the folder lock's file, which any change makes.
QStringList dataFiles(const TestDataFolder &data)
{
    QStringList files = QDir(data.file(QStringLiteral("Lib"))).entryList(QDir::Files);
    files.removeAll(QStringLiteral("lunora.lock"));
    return files;
}

RegisterEntry withName(RegisterEntry entry, const QString &name)
{
    entry[CustomerName] = name;
    return entry;
}

RegisterEntry caseC()
{
    RegisterEntry c = CaseA;
    c[CaseNumber] = QStringLiteral("120301 5");
    c[CustomerName] = QStringLiteral("Cecilia Ceder");
    c[ControlCode] = QStringLiteral("{CCCCCCCC-3333-4333-8333-CCCCCCCCCCCC}");
    return c;
}

QList<CaseKey> keys(const QList<RegisterEntry> &entries)
{
    QList<CaseKey> result;
    for (const RegisterEntry &entry : entries)
        result << caseKeyOf(entry);
    return result;
}

// A plain line as an older copy wrote it, with a double quote inside the name.
const QByteArray LegacyLine
    = QByteArrayLiteral("090101 1,2009-01-01,K-1,Bygg \"AB\" "
                        "Nord,08-1,Normal,Avslutad,{DDDDDDDD-4444-4444-8444-DDDDDDDDDDDD},Eva\r\n");

} // namespace

class TestCaseStore : public QObject
{
    Q_OBJECT

private slots:
    void saveWritesDataFileThenPlainLine();
    void saveRefusesBeforeWriting();
    void saveTakesDataFileAwayWhenLineFails();
    void replaceMovesLineLastInListOrderKeepingUnknownLines();
    void replaceOfDoubledCaseLeavesOneLine();
    void replaceOfVanishedCaseWritesNothing();
    void legacyLinesSurviveRewrites();
    void changedCaseMayKeepItsOldQuotes();
    void removeRewritesThenDeletesFiles();
    void removeOfVanishedCaseDeletesNothing();
    void failedRewriteLeavesEveryFile();
    void fullDiskLosesNothing();
    void articleRowsFollowTheirValues();
    void articleFailuresLeaveTheFile();
    void legacyArticleLineSurvives();
};

void TestCaseStore::saveWritesDataFileThenPlainLine()
{
    TestDataFolder data;
    QVERIFY(data.isValid());
    writeBytes(data.registerFile(), quotedLines({ CaseB }));
    QVERIFY(CaseStore::saveNewCase(CaseA));
    QCOMPARE(readBytes(data.registerFile()), quotedLines({ CaseB }) + caseregister::formatPlain(CaseA));
    const QByteArray ini = readBytes(data.lib(CaseA[ControlCode] + QStringLiteral("_eData.ini")));
    QVERIFY2(ini.contains("xID=101215 4711\r\n"), ini.constData());
    QVERIFY(ini.contains("xCName=Anna Andersson\r\n"));
}

void TestCaseStore::saveRefusesBeforeWriting()
{
    TestDataFolder data;
    // A double quote, a line break, a character outside Windows-1252: each names its field.
    const QList<std::pair<int, QString>> bad { { CustomerName, QStringLiteral("Bygg \"AB\"") },
        { Telephone, QStringLiteral("08\n1") }, { CustomerNumber, QStringLiteral("K\u20ac\u4e2d") } };
    for (const auto &[field, value] : bad) {
        RegisterEntry entry = CaseA;
        entry[field] = value;
        const StoreResult result = CaseStore::saveNewCase(entry);
        QCOMPARE(result.kind, StoreError::UnstorableValue);
        QCOMPARE(result.field, field);
    }
    RegisterEntry unsafe = CaseA;
    unsafe[ControlCode] = QStringLiteral("../x");
    QCOMPARE(CaseStore::saveNewCase(unsafe).kind, StoreError::UnsafeName);
    QCOMPARE(dataFiles(data), QStringList());

    QVERIFY(QDir(data.file(QStringLiteral("Lib"))).removeRecursively());
    QCOMPARE(CaseStore::saveNewCase(CaseA).kind, StoreError::MissingFolder);
}

void TestCaseStore::saveTakesDataFileAwayWhenLineFails()
{
    TestDataFolder data;
    // A folder where the register should be: no line can be appended to it.
    QVERIFY(QDir().mkpath(data.registerFile()));
    const StoreResult result = CaseStore::saveNewCase(CaseA);
    QCOMPARE(result.kind, StoreError::Unwritable);
    QVERIFY(!QFile::exists(data.lib(CaseA[ControlCode] + QStringLiteral("_eData.ini"))));
}

void TestCaseStore::replaceMovesLineLastInListOrderKeepingUnknownLines()
{
    TestDataFolder data;
    const RegisterEntry c = caseC();
    // The list knows A and B, sorted B before A; C was added by another copy meanwhile,
    // and A is written plain.
    writeBytes(data.registerFile(),
        caseregister::formatPlain(CaseA) + caseregister::formatQuoted(c) + caseregister::formatQuoted(CaseB));
    const RegisterEntry changed = withName(CaseA, QStringLiteral("Anna Ny"));
    QVERIFY(CaseStore::replaceCase(changed, keys({ CaseB, CaseA })));
    QCOMPARE(readBytes(data.registerFile()), quotedLines({ CaseB, c, changed }));
}

void TestCaseStore::replaceOfDoubledCaseLeavesOneLine()
{
    TestDataFolder data;
    writeBytes(data.registerFile(), quotedLines({ CaseA, CaseB, CaseA }));
    QVERIFY(CaseStore::replaceCase(CaseA, keys({ CaseA, CaseB, CaseA })));
    QCOMPARE(readBytes(data.registerFile()), quotedLines({ CaseB, CaseA }));

    // Cases without a control code are told apart by number and date.
    RegisterEntry noCode1 = CaseA, noCode2 = CaseB;
    noCode1[ControlCode].clear();
    noCode2[ControlCode].clear();
    writeBytes(data.registerFile(), quotedLines({ noCode1, noCode2 }));
    QVERIFY(CaseStore::replaceCase(withName(noCode1, QStringLiteral("X")), keys({ noCode1, noCode2 })));
    QCOMPARE(
        readBytes(data.registerFile()), quotedLines({ noCode2, withName(noCode1, QStringLiteral("X")) }));
}

void TestCaseStore::replaceOfVanishedCaseWritesNothing()
{
    TestDataFolder data;
    const QByteArray before = caseregister::formatPlain(CaseB);
    writeBytes(data.registerFile(), before);
    QCOMPARE(CaseStore::replaceCase(CaseA, keys({ CaseA, CaseB })).kind, StoreError::NotFound);
    QCOMPARE(readBytes(data.registerFile()), before);
}

void TestCaseStore::legacyLinesSurviveRewrites()
{
    TestDataFolder data;
    writeBytes(data.registerFile(), LegacyLine + quotedLines({ CaseA, CaseB }));
    QVERIFY(CaseStore::replaceCase(withName(CaseB, QStringLiteral("Bo Ny")), keys({ CaseA, CaseB })));
    QVERIFY(CaseStore::removeCases({ CaseA }, keys({ CaseB })));
    // The old line is unknown to the list, so it follows the known ones, byte for byte.
    QCOMPARE(readBytes(data.registerFile()),
        quotedLines({ withName(CaseB, QStringLiteral("Bo Ny")) }) + LegacyLine);
}

void TestCaseStore::changedCaseMayKeepItsOldQuotes()
{
    TestDataFolder data;
    writeBytes(data.registerFile(), LegacyLine);
    Result<QList<RegisterEntry>> loaded = caseregister::load(data.registerFile());
    QVERIFY(loaded);
    const RegisterEntry legacy = loaded.value().value(0);
    QCOMPARE(legacy[CustomerName], QStringLiteral("Bygg \"AB\" Nord"));

    RegisterEntry changed = legacy;
    changed[CaseStatus] = QStringLiteral("Under behandling");
    QVERIFY(CaseStore::checkReplacement(changed, legacy));
    QVERIFY(CaseStore::replaceCase(changed, keys({ legacy })));
    loaded = caseregister::load(data.registerFile());
    QCOMPARE(loaded.value(), QList<RegisterEntry>({ changed }));

    // A quote typed anew is refused, and the file stays as it was.
    const QByteArray before = readBytes(data.registerFile());
    RegisterEntry retyped = changed;
    retyped[Telephone] = QStringLiteral("08-\"1\"");
    StoreResult refused = CaseStore::checkReplacement(retyped, changed);
    QCOMPARE(refused.kind, StoreError::UnstorableValue);
    QCOMPARE(refused.field, int(Telephone));
    refused = CaseStore::replaceCase(retyped, keys({ changed }));
    QCOMPARE(refused.kind, StoreError::UnstorableValue);
    QCOMPARE(readBytes(data.registerFile()), before);
}

void TestCaseStore::removeRewritesThenDeletesFiles()
{
    TestDataFolder data;
    writeCases(data, { CaseA, CaseB, caseC() }, { RowA });
    // The notes file goes with its case like the data and article files.
    writeBytes(
        caseFiles(CaseB[ControlCode]).value(2), QByteArrayLiteral("Enhet: Cykel\r\nSerienummer: 1\r\n"));
    // Sorted by name descending in the list: C, B, A.
    QVERIFY(CaseStore::removeCases({ CaseB }, keys({ caseC(), CaseB, CaseA })));
    QCOMPARE(readBytes(data.registerFile()), quotedLines({ caseC(), CaseA }));
    for (const QString &file : caseFiles(CaseB[ControlCode]))
        QVERIFY(!QFile::exists(file));
    for (const QString &file : caseFiles(CaseA[ControlCode]).mid(0, 2))
        QVERIFY(QFile::exists(file));

    // Files already missing are no failure.
    QVERIFY(QFile::remove(caseFiles(CaseA[ControlCode]).value(1)));
    QVERIFY(CaseStore::removeCases({ CaseA }, keys({ caseC(), CaseA })));
    QCOMPARE(readBytes(data.registerFile()), quotedLines({ caseC() }));
}

void TestCaseStore::removeOfVanishedCaseDeletesNothing()
{
    TestDataFolder data;
    writeCases(data, { CaseA }, { RowA });
    writeBytes(data.registerFile(), quotedLines({ CaseB }));
    QCOMPARE(CaseStore::removeCases({ CaseA }, keys({ CaseA, CaseB })).kind, StoreError::NotFound);
    QCOMPARE(readBytes(data.registerFile()), quotedLines({ CaseB }));
    for (const QString &file : caseFiles(CaseA[ControlCode]).mid(0, 2))
        QVERIFY(QFile::exists(file));
}

void TestCaseStore::failedRewriteLeavesEveryFile()
{
    TestDataFolder data;
    writeCases(data, { CaseA, CaseB }, { RowA, RowB });
    const QByteArray registerBefore = readBytes(data.registerFile());
    const QStringList files = caseFiles(CaseA[ControlCode]);
    const QByteArray articlesBefore = readBytes(files.value(1));
    {
        // The folder takes no new or renamed files: no rewrite can be put in place.
        ReadOnly locked({ data.file(QStringLiteral("Lib")) });
        if (!locked.ok())
            QSKIP("This file system cannot make a folder read-only");
        QCOMPARE(CaseStore::removeCases({ CaseA }, keys({ CaseA, CaseB })).kind, StoreError::Unwritable);
        QCOMPARE(CaseStore::replaceCase(CaseA, keys({ CaseA, CaseB })).kind, StoreError::Unwritable);
        QCOMPARE(CaseStore::removeArticleRows(CaseA[ControlCode], { RowA }).kind, StoreError::Unwritable);
        QCOMPARE(CaseStore::replaceArticleRow(CaseA[ControlCode], RowA, RowB).kind, StoreError::Unwritable);
    }
    QCOMPARE(readBytes(data.registerFile()), registerBefore);
    QCOMPARE(readBytes(files.value(1)), articlesBefore);
    QVERIFY(QFile::exists(files.value(0)));
}

void TestCaseStore::fullDiskLosesNothing()
{
    SmallDisk disk(256);
    if (!disk.ok())
        QSKIP("No small disk can be mounted here (needs root)");
    QVERIFY(QDir(disk.path()).mkpath(QStringLiteral("Lib")));
    DataFolder::setRoot(disk.path());
    const QString registerFile = disk.path() + QStringLiteral("/Lib/arenden.txt");
    QList<RegisterEntry> many;
    for (int i = 0; i < 200; ++i) {
        RegisterEntry entry = CaseA;
        entry[ControlCode]
            = QStringLiteral("{%1-1111-4111-8111-AAAAAAAAAAAA}").arg(i, 8, 10, QLatin1Char('0'));
        many << entry;
    }
    writeBytes(registerFile, quotedLines(many));
    const QByteArray before = readBytes(registerFile);
    QVERIFY(disk.fill());
    QCOMPARE(CaseStore::removeCases({ many.first() }, keys(many)).kind, StoreError::Unwritable);
    QCOMPARE(CaseStore::replaceCase(many.last(), keys(many)).kind, StoreError::Unwritable);
    QCOMPARE(CaseStore::saveNewCase(caseC()).kind, StoreError::Unwritable);
    QCOMPARE(readBytes(registerFile), before);
    QVERIFY(!QFile::exists(disk.path() + QStringLiteral("/Lib/") + caseC()[ControlCode] + "_eData.ini"));
    disk.drain();
    QVERIFY(CaseStore::removeCases({ many.first() }, keys(many)));
    DataFolder::setRoot(QString());
}

void TestCaseStore::articleRowsFollowTheirValues()
{
    TestDataFolder data;
    const QString code = CaseA[ControlCode];
    const QString path = caseFiles(code).value(1);
    const ArticleRow rowC = rowOf({ "C-3", "Mutter", "10", "st", "1,00", "10,00" });
    QVERIFY(CaseStore::addArticleRow(code, RowA)); // creates the file
    QVERIFY(CaseStore::addArticleRow(code, RowB));
    QVERIFY(CaseStore::addArticleRow(code, rowC));
    QCOMPARE(readBytes(path), articleLines({ RowA, RowB, rowC }));

    // A changed row leaves its place and becomes the last line.
    const ArticleRow changed = rowOf({ "A-1", "Skruv", "3", "st", "12,50", "37,50" });
    QVERIFY(CaseStore::replaceArticleRow(code, RowA, changed));
    QCOMPARE(readBytes(path), articleLines({ RowB, rowC, changed }));

    // A row no longer in the file is not replaced, and no other row goes in its stead.
    QCOMPARE(CaseStore::replaceArticleRow(code, RowA, changed).kind, StoreError::NotFound);
    QCOMPARE(CaseStore::removeArticleRows(code, { RowA }).kind, StoreError::NotFound);
    QCOMPARE(readBytes(path), articleLines({ RowB, rowC, changed }));

    // Of two equal rows, one goes.
    QVERIFY(CaseStore::addArticleRow(code, RowB));
    QVERIFY(CaseStore::removeArticleRows(code, { RowB, rowC }));
    QCOMPARE(readBytes(path), articleLines({ changed, RowB }));
    QVERIFY(CaseStore::removeArticleRows(code, { changed, RowB }));
    QCOMPARE(readBytes(path), QByteArray());
}

void TestCaseStore::articleFailuresLeaveTheFile()
{
    TestDataFolder data;
    const QString code = CaseA[ControlCode];
    QCOMPARE(CaseStore::addArticleRow(code, rowOf({ "A", "Tum \"12\"" })).field, int(Description));
    QCOMPARE(CaseStore::addArticleRow(QStringLiteral("../evil"), RowA).kind, StoreError::UnsafeName);
    QVERIFY(QDir().mkpath(caseFiles(code).value(1))); // a folder in the file's place
    QCOMPARE(CaseStore::addArticleRow(code, RowA).kind, StoreError::Unwritable);
    QCOMPARE(CaseStore::removeArticleRows(code, { RowA }).kind, StoreError::Unreadable);
    QCOMPARE(dataFiles(data), QStringList());
}

void TestCaseStore::legacyArticleLineSurvives()
{
    TestDataFolder data;
    const QString code = CaseA[ControlCode];
    const QString path = caseFiles(code).value(1);
    const QByteArray legacy = QByteArrayLiteral("T-1,Tum \"12\" r\xf6r,1,st,5.00,5.00\r\n");
    writeBytes(path, legacy + articleLines({ RowA, RowB }));
    QVERIFY(CaseStore::removeArticleRows(code, { RowA }));
    QCOMPARE(readBytes(path), legacy + articleLines({ RowB }));
}

QTEST_GUILESS_MAIN(TestCaseStore)

#include "tst_casestore.moc"
