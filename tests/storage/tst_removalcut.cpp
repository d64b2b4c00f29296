// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// A removal of cases cut between any two of its writes (the test runs it in a child of
// its own executable that ends itself there, as a kill would), then the clean-up of the
// next start: the removed case has no file left and Borttagna.txt names it once, or the
// case was never removed and keeps everything.

#include "common/testsupport.h"
#include "storage/caseregister.h"
#include "storage/cutpoint.h"
#include "storage/datafolder.h"
#include "storage/housekeeping.h"

#include <QDir>
#include <QProcess>
#include <QTest>

using namespace lunora;

namespace {

const RegisterEntry Kept = test::entryOf({ QStringLiteral("120301 5"), QStringLiteral("2012-03-01"),
    QStringLiteral("K-5"), QStringLiteral("Cilla Carlsson"), QStringLiteral("040-55"),
    QStringLiteral("Normal"), QStringLiteral("Nytt ärende"),
    QStringLiteral("{CCCCCCCC-3333-4333-8333-CCCCCCCCCCCC}"), QStringLiteral("Cilla") });

// Every file of a case: data, articles, notes, history.
QStringList filesOf(const RegisterEntry &entry)
{
    QStringList present;
    for (const QString &file : caseFiles(entry[ControlCode])) {
        if (QFileInfo::exists(file))
            present << QFileInfo(file).fileName();
    }
    return present;
}

int removalLinesOf(const RegisterEntry &entry)
{
    return int(test::readBytes(paths::removedCasesFile()).count(entry[ControlCode].toLatin1()));
}

bool registerHolds(const RegisterEntry &entry)
{
    return test::readBytes(paths::caseRegister()).contains(entry[ControlCode].toLatin1());
}

// The child: removes the cases named by their letters ("A", "AB") in the data folder and
// ends itself at the `occurrence`-th time it reaches `place`.
int removeAndCut(const QStringList &arguments)
{
    DataFolder::setRoot(arguments.at(2));
    cutpoint::armForTesting(arguments.at(3).toUtf8(), arguments.at(4).toInt());
    QList<RegisterEntry> cases;
    for (const QChar letter : arguments.at(5))
        cases << (letter == u'A' ? test::CaseA : test::CaseB);
    (void)CaseStore::removeCases(cases, test::keys({ test::CaseA, test::CaseB, Kept }));
    return 0; // the place was never reached: the test says so
}

} // namespace

class TestRemovalCut final : public QObject
{
    Q_OBJECT

private slots:
    void cutRemovalIsFinishedOrNeverHappened_data();
    void cutRemovalIsFinishedOrNeverHappened();
};

void TestRemovalCut::cutRemovalIsFinishedOrNeverHappened_data()
{
    QTest::addColumn<QString>("removed"); // the cases the removal takes, by letter
    QTest::addColumn<QByteArray>("place");
    QTest::addColumn<int>("occurrence");
    QTest::addColumn<bool>("happened"); // the register had lost the line when it was cut
    QTest::newRow("after its intent, before the register")
        << "A" << QByteArray("intent recorded") << 1 << false;
    QTest::newRow("after the register, before Borttagna.txt")
        << "A" << QByteArray("register rewritten") << 1 << true;
    QTest::newRow("after Borttagna.txt, before the files") << "A" << QByteArray("removal noted") << 1 << true;
    for (int n = 1; n <= 4; ++n)
        QTest::addRow("after file %d of 4", n) << "A" << QByteArray("case file deleted") << n << true;
    QTest::newRow("two cases, between them") << "AB" << QByteArray("removal noted") << 2 << true;
    QTest::newRow("two cases, in the second's files") << "AB" << QByteArray("case file deleted") << 6 << true;
}

void TestRemovalCut::cutRemovalIsFinishedOrNeverHappened()
{
    QFETCH(QString, removed);
    QFETCH(QByteArray, place);
    QFETCH(int, occurrence);
    QFETCH(bool, happened);
    test::TestDataFolder folder;
    const QList<RegisterEntry> all { test::CaseA, test::CaseB, Kept };
    test::writeCases(folder, all, { test::RowA });
    for (const RegisterEntry &entry : all) {
        test::writeBytes(folder.lib(entry[ControlCode] + QStringLiteral("_Notes.txt")), "Enhet: Cykel\r\n");
        test::writeBytes(folder.lib(entry[ControlCode] + QStringLiteral("_Logg.txt")), "2026\tx\tSkapat\r\n");
    }
    const QByteArray keptRegisterLine = test::quotedLines({ Kept });

    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
        { QStringLiteral("--cut"), folder.path(), QString::fromUtf8(place), QString::number(occurrence),
            removed });
    QVERIFY(child.waitForFinished(60000));
    QCOMPARE(child.exitStatus(), QProcess::CrashExit); // cut where the row says, not after

    const Result<housekeeping::OrphanCount> cleared
        = housekeeping::clearOrphans(QDateTime::currentDateTime());
    QVERIFY2(cleared.ok(), qPrintable(cleared.error()));
    for (const QChar letter : removed) {
        const RegisterEntry &entry = letter == u'A' ? test::CaseA : test::CaseB;
        QCOMPARE(registerHolds(entry), !happened);
        QCOMPARE(filesOf(entry).size(), happened ? 0 : 4);
        QCOMPARE(removalLinesOf(entry), happened ? 1 : 0);
    }
    if (removed == u"A") {
        QVERIFY(registerHolds(test::CaseB));
        QCOMPARE(filesOf(test::CaseB).size(), 4);
    }
    QVERIFY(test::readBytes(paths::caseRegister()).contains(keptRegisterLine));
    QCOMPARE(filesOf(Kept).size(), 4);
    QCOMPARE(removalLinesOf(Kept), 0);
    QVERIFY(!QFileInfo::exists(paths::removalIntentsFile()));
    // A second start finds nothing more to do.
    QCOMPARE(housekeeping::clearOrphans(QDateTime::currentDateTime()).value().deleted, 0);
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc >= 6 && qstrcmp(argv[1], "--cut") == 0)
        return removeAndCut(app.arguments());
    TestRemovalCut test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_removalcut.moc"
