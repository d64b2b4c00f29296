// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// A window tells this desk's writes from another desk's by the stamps fileio records
// around each write: a chain of own writes leads from what the window saw to the file
// as it is, and any write of another desk breaks the chain.

#include "common/testsupport.h"
#include "storage/caseregister.h"
#include "storage/casestore.h"
#include "storage/datafolder.h"
#include "storage/fileio.h"
#include "storage/filestamp.h"

#include <QFile>
#include <QSaveFile>
#include <QTest>

using namespace lunora;
using namespace lunora::test;

class TestFileStamp : public QObject
{
    Q_OBJECT

private slots:
    void stampsTellStatesApart();
    void ownWritesLeadToTheFileAsItIs();
    void anotherDesksWriteBreaksTheChain();
};

void TestFileStamp::stampsTellStatesApart()
{
    TestDataFolder data;
    const QString path = data.lib(QStringLiteral("x.txt"));
    const FileStamp missing = FileStamp::of(path);
    QVERIFY(!missing.exists);
    writeBytes(path, "abc");
    const FileStamp written = FileStamp::of(path);
    QVERIFY(written.exists);
    QVERIFY(written != missing);
    QCOMPARE(FileStamp::of(path), written);
    // Same size, same moment: an atomic rewrite still differs (a new file).
    QSaveFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("xyz");
    QVERIFY(file.commit());
    QVERIFY(FileStamp::of(path) != written);
}

void TestFileStamp::ownWritesLeadToTheFileAsItIs()
{
    TestDataFolder data;
    const QString path = data.registerFile();
    const FileStamp seen = FileStamp::of(path); // no register yet
    QVERIFY(CaseStore::addRegisterLine(CaseA));
    QVERIFY(CaseStore::addRegisterLine(CaseB));
    QCOMPARE(ownwrites::follow(path, seen), FileStamp::of(path));

    const FileStamp second = FileStamp::of(path);
    QVERIFY(CaseStore::removeRegisterLines({ CaseA }, {})); // a rewrite
    QCOMPARE(ownwrites::follow(path, second), FileStamp::of(path));
    QCOMPARE(ownwrites::follow(path, seen), FileStamp::of(path));
}

void TestFileStamp::anotherDesksWriteBreaksTheChain()
{
    TestDataFolder data;
    const QString path = data.registerFile();
    QVERIFY(CaseStore::addRegisterLine(CaseA));
    const FileStamp seen = FileStamp::of(path);

    QFile other(path);
    QVERIFY(other.open(QIODevice::Append));
    other.write(quotedLines({ CaseB }));
    other.close();
    QVERIFY(CaseStore::addRegisterLine(CaseA)); // after the other desk's line
    QVERIFY(ownwrites::follow(path, seen) != FileStamp::of(path));

    // The window that read the file after the other desk's write follows on.
    const FileStamp reread = FileStamp::of(path);
    QVERIFY(CaseStore::removeRegisterLines({ CaseB }, {}));
    QCOMPARE(ownwrites::follow(path, reread), FileStamp::of(path));
}

QTEST_MAIN(TestFileStamp)
#include "tst_filestamp.moc"
