// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// The one case list: every change goes to the register first, the rows follow only
// what the register now holds, and the windows learn of it through one signal each.

#include "common/testsupport.h"
#include "gui/caselist.h"
#include "gui/caselistmodel.h"
#include "storage/caseregister.h"
#include "storage/workers.h"

#include <QSignalSpy>
#include <QTest>
#include <QThreadPool>
#include <memory>

using namespace lunora;
using namespace lunora::test;

namespace {

enum class Action
{
    Add,
    Replace,
    RemoveLines,
    RemoveCases,
    Reload,
    Refresh
};

RegisterEntry renamed(RegisterEntry entry)
{
    entry[CustomerName] = QStringLiteral("Bo Ny");
    return entry;
}

// A case another desk wrote.
RegisterEntry cillasCase()
{
    RegisterEntry other = CaseB;
    other[ControlCode] = QStringLiteral("{6F1C0D1E-0000-4000-8000-00000000000C}");
    other[CustomerName] = QStringLiteral("Cilla Ek");
    return other;
}

QList<RegisterEntry> rows(const CaseList &list)
{
    QList<RegisterEntry> entries;
    for (int row = 0; row < list.rowCount(); ++row)
        entries << list.model()->entry(row);
    return entries;
}

} // namespace

class TestCaseList final : public QObject
{
    Q_OBJECT

private slots:
    void changesAreSignalledAsTheRegisterTakesThem_data();
    void changesAreSignalledAsTheRegisterTakesThem();
    void anotherDesksLinesAreListedOnce_data();
    void anotherDesksLinesAreListedOnce();
    void aReadOnTheWorkerShowsOnlyTheNewestRows_data();
    void aReadOnTheWorkerShowsOnlyTheNewestRows();
    void closingWhileTheWorkerReads_data();
    void closingWhileTheWorkerReads();
};

void TestCaseList::changesAreSignalledAsTheRegisterTakesThem_data()
{
    QTest::addColumn<bool>("open");
    QTest::addColumn<QList<RegisterEntry>>("before");
    QTest::addColumn<Action>("action");
    QTest::addColumn<QList<RegisterEntry>>("cases");
    QTest::addColumn<QList<RegisterEntry>>("registerAfter");
    QTest::addColumn<QStringList>("signalled");
    QTest::addColumn<QList<RegisterEntry>>("rowsAfter");

    using L = QList<RegisterEntry>;
    const RegisterEntry b2 = renamed(CaseB);
    QTest::newRow("add") << true << L { CaseA } << Action::Add << L { CaseB } << L { CaseA, CaseB }
                         << QStringList { "added Bo Berg" } << L { CaseA, CaseB };
    QTest::newRow("replace") << true << L { CaseA, CaseB } << Action::Replace << L { b2 } << L { CaseA, b2 }
                             << QStringList { "replaced Bo Ny" } << L { CaseA, b2 };
    // Another desk removed it meanwhile: nothing is written, the row goes.
    QTest::newRow("replace a case gone") << true << L { CaseA } << Action::Replace << L { CaseB }
                                         << L { CaseA } << QStringList { "removed Bo Berg" } << L { CaseA };
    QTest::newRow("remove lines") << true << L { CaseA, CaseB } << Action::RemoveLines << L { CaseA }
                                  << L { CaseB } << QStringList { "removed Anna Andersson" } << L { CaseB };
    QTest::newRow("remove cases") << true << L { CaseA, CaseB } << Action::RemoveCases << L { CaseA, CaseB }
                                  << L {} << QStringList { "removed Anna Andersson", "removed Bo Berg" }
                                  << L {};
    // What another desk appended is read with the reload, not before.
    QTest::newRow("reload") << true << L { CaseA } << Action::Reload << L {} << L { CaseA, CaseB }
                            << QStringList { "reloaded" } << L { CaseA, CaseB };
    QTest::newRow("refresh only asks") << true << L { CaseA } << Action::Refresh << L {} << L { CaseA, CaseB }
                                       << QStringList { "refresh" } << L { CaseA };
    // Without the overview the store alone changes; the list holds no rows to follow.
    QTest::newRow("replace while closed") << false << L { CaseA, CaseB } << Action::Replace << L { b2 }
                                          << L { CaseA, b2 } << QStringList { "replaced Bo Ny" } << L {};
}

void TestCaseList::changesAreSignalledAsTheRegisterTakesThem()
{
    QFETCH(bool, open);
    QFETCH(QList<RegisterEntry>, before);
    QFETCH(Action, action);
    QFETCH(QList<RegisterEntry>, cases);
    QFETCH(QList<RegisterEntry>, registerAfter);
    QFETCH(QStringList, signalled);
    QFETCH(QList<RegisterEntry>, rowsAfter);

    TestDataFolder folder;
    QVERIFY(folder.isValid());
    writeCases(folder, before);
    CaseList list;
    QObject overview;
    if (open) {
        list.open(&overview);
        list.load();
    }
    QStringList seen;
    const auto note = [&seen](const char *what) {
        return [&seen, what](const RegisterEntry &entry) {
            seen << QLatin1String(what) + u' ' + entry[CustomerName];
        };
    };
    connect(&list, &CaseList::caseAdded, this, note("added"));
    connect(&list, &CaseList::caseReplaced, this, note("replaced"));
    connect(&list, &CaseList::caseRemoved, this, note("removed"));
    connect(&list, &CaseList::reloaded, this, [&seen]() { seen << QStringLiteral("reloaded"); });
    connect(&list, &CaseList::refreshRequested, this, [&seen]() { seen << QStringLiteral("refresh"); });

    switch (action) {
    case Action::Add:
        QVERIFY(list.addLine(cases.first()));
        break;
    case Action::Replace:
        (void)list.replaceCase(cases.first());
        break;
    case Action::RemoveLines:
        QVERIFY(list.removeLines(cases));
        break;
    case Action::RemoveCases:
        QVERIFY(list.removeCases(cases));
        break;
    case Action::Reload:
    case Action::Refresh:
        writeBytes(folder.registerFile(), quotedLines(registerAfter));
        action == Action::Reload ? list.reload() : list.refresh();
        break;
    }

    QCOMPARE(seen, signalled);
    QCOMPARE(rows(list), rowsAfter);
    const Result<QList<RegisterEntry>> stored = caseregister::load(folder.registerFile());
    QVERIFY(stored.ok());
    QCOMPARE(stored.value(), registerAfter);
}

// The list reads a register that only grew from where it stopped; lines this desk added
// or took out itself must neither come twice nor come back.
void TestCaseList::anotherDesksLinesAreListedOnce_data()
{
    QTest::addColumn<Action>("own");
    QTest::addColumn<QList<RegisterEntry>>("rowsAfter");
    const RegisterEntry other = cillasCase();
    using L = QList<RegisterEntry>;
    QTest::newRow("nothing of its own") << Action::Reload << L { CaseA, other };
    QTest::newRow("its own line first") << Action::Add << L { CaseA, CaseB, other };
    QTest::newRow("its own removal first") << Action::RemoveLines << L { other };
}

void TestCaseList::anotherDesksLinesAreListedOnce()
{
    QFETCH(Action, own);
    QFETCH(QList<RegisterEntry>, rowsAfter);
    TestDataFolder folder;
    writeCases(folder, { CaseA });
    CaseList list;
    QObject overview;
    list.open(&overview);
    list.load();
    if (own == Action::Add)
        QVERIFY(list.addLine(CaseB));
    else if (own == Action::RemoveLines)
        QVERIFY(list.removeLines({ CaseA }));
    writeBytes(folder.registerFile(), readBytes(folder.registerFile()) + quotedLines({ rowsAfter.last() }));
    list.reload();
    QCOMPARE(rows(list), rowsAfter);
    list.reload(); // nothing new: the rows stay as they are
    QCOMPARE(rows(list), rowsAfter);
}

// What was read on the worker is shown only if nothing newer was asked for meanwhile:
// another reload, or a row this desk added or took out, reads the register again.
void TestCaseList::aReadOnTheWorkerShowsOnlyTheNewestRows_data()
{
    QTest::addColumn<Action>("meanwhile");
    QTest::addColumn<QList<RegisterEntry>>("rowsAfter");
    const RegisterEntry other = cillasCase();
    using L = QList<RegisterEntry>;
    QTest::newRow("another reload") << Action::Reload << L { CaseA, other, CaseB };
    QTest::newRow("own line added") << Action::Add << L { CaseA, other, CaseB };
    QTest::newRow("own line taken out") << Action::RemoveLines << L { other };
}

void TestCaseList::aReadOnTheWorkerShowsOnlyTheNewestRows()
{
    QFETCH(Action, meanwhile);
    QFETCH(QList<RegisterEntry>, rowsAfter);
    TestDataFolder folder;
    writeCases(folder, { CaseA });
    CaseList list;
    list.setWorkerFromBytes(0);
    QObject overview;
    list.open(&overview);
    QSignalSpy reloaded(&list, &CaseList::reloaded);
    list.load();
    QVERIFY(reloaded.wait());
    QCOMPARE(rows(list), QList<RegisterEntry> { CaseA });

    reloaded.clear();
    writeBytes(folder.registerFile(), quotedLines({ CaseA, cillasCase() }));
    list.reload();
    QVERIFY(list.isReading());
    // Before the read's result reaches this thread.
    if (meanwhile == Action::Reload) {
        writeBytes(folder.registerFile(), quotedLines(rowsAfter));
        list.reload();
    } else if (meanwhile == Action::Add) {
        QVERIFY(list.addLine(CaseB));
    } else {
        QVERIFY(list.removeLines({ CaseA }));
    }
    QVERIFY(runUntil([&] { return !list.isReading(); }, 5000));
    QCOMPARE(rows(list), rowsAfter);
    QCOMPARE(reloaded.count(), 1);
}

// The overview may close, or the list go, while the worker reads: its result goes
// nowhere, nothing waits for it, and a list opened again reads afresh.
void TestCaseList::closingWhileTheWorkerReads_data()
{
    QTest::addColumn<bool>("listGoes");
    QTest::newRow("overview closed") << false;
    QTest::newRow("list gone") << true;
}

void TestCaseList::closingWhileTheWorkerReads()
{
    QFETCH(bool, listGoes);
    TestDataFolder folder;
    writeCases(folder, { CaseA, CaseB });
    auto list = std::make_unique<CaseList>();
    list->setWorkerFromBytes(0);
    QSignalSpy reloaded(list.get(), &CaseList::reloaded);
    {
        QObject overview;
        list->open(&overview);
        list->load();
        QVERIFY(list->isReading());
    }
    QVERIFY(!list->isOpen());
    if (listGoes)
        list.reset();
    workers()->waitForDone();
    QCoreApplication::processEvents();
    if (listGoes)
        return;
    QCOMPARE(reloaded.count(), 0);
    QObject again;
    list->open(&again);
    list->load();
    QVERIFY(reloaded.wait());
    QCOMPARE(rows(*list), (QList<RegisterEntry> { CaseA, CaseB }));
    QCOMPARE(reloaded.count(), 1);
}

QTEST_MAIN(TestCaseList)
#include "tst_caselist.moc"
