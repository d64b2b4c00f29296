// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// A long list's removals and updates run on a worker: the row being removed stays
// listed, marked busy, until the register no longer holds it; the windows word the
// result only once it is in (a wait for another desk with the usual box), and no window
// goes away while its write runs.

#include "common/faultyfs.h"
#include "common/otherdesk.h"
#include "common/testsupport.h"
#include "gui/caselist.h"
#include "gui/caselistmodel.h"
#include "gui/casesortproxy.h"
#include "gui/filefollower.h"
#include "gui/frmArende.h"
#include "gui/frmArendeList.h"
#include "gui/lockwaitbox.h"
#include "gui/messagebox.h"
#include "gui/windowregistry.h"
#include "storage/caseregister.h"
#include "storage/session.h"
#include "support_guifixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QFont>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <limits>

using namespace lunora;
using namespace lunora::test;

namespace {

enum class Write
{
    Removal,
    Update,
};

enum class Close
{
    Window, // the window manager's close
    Stang, // "Stäng" in the case window's menu (Escape, Ctrl+W)
    Quit, // Ctrl+Q
};

bool shownBusy(frmArendeList *overview, const RegisterEntry &entry)
{
    const QAbstractItemModel *model = overview->listView()->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        const QModelIndex index = model->index(row, 0);
        if (overview->entryAt(row) == entry)
            return index.data(Qt::AccessibleDescriptionRole).toString() == QStringLiteral("Tas bort …")
                && index.data(Qt::FontRole).value<QFont>().italic();
    }
    return false;
}

// Another case, named to sort last, as another desk adds it.
RegisterEntry otherDesksCase()
{
    RegisterEntry entry = CaseB;
    entry[CaseNumber] = QStringLiteral("120304 7");
    entry[CustomerName] = QStringLiteral("Östen Öberg");
    entry[ControlCode] = QStringLiteral("{CCCCCCCC-3333-4333-8333-CCCCCCCCCCCC}");
    return entry;
}

QList<RegisterEntry> sortedEntries(QList<RegisterEntry> entries)
{
    std::sort(entries.begin(), entries.end());
    return entries;
}

} // namespace

class TestListWrites : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        useSwedishLocale();
        LockWaitBox::install();
    }
    void init();
    void cleanup();

    void removedRowIsBusyUntilTheResult_data();
    void removedRowIsBusyUntilTheResult();
    void closeAskedDuringAWriteFollowsIt_data();
    void closeAskedDuringAWriteFollowsIt();
    void ownWriteIsTakenOverWithoutARead_data();
    void ownWriteIsTakenOverWithoutARead();

private:
    frmArendeList *showOverview();
    void startWrite(Write write);
    std::unique_ptr<TestDataFolder> m_data;
};

void TestListWrites::init()
{
    m_data = std::make_unique<TestDataFolder>();
    QVERIFY(m_data->isValid());
    startWindowTest();
    session::signIn({ QStringLiteral("bertil"), QStringLiteral("Bertil Ström"), QStringLiteral("0") });
    writeCases(*m_data, { CaseA, CaseB });
}

void TestListWrites::cleanup()
{
    MessageBox::setAutomaticAnswers(true);
    WindowRegistry::closeAll();
    m_data.reset();
}

frmArendeList *TestListWrites::showOverview()
{
    // Every list writes on the worker, as one of 20 000 rows does.
    WindowRegistry::caseList()->setWorkerFrom(0);
    auto *overview = WindowRegistry::show<frmArendeList>();
    selectEntry(overview, CaseA);
    return overview;
}

// Asks for the write and returns as the window does, before the worker's result is in:
// the result comes through the event loop, which has not run yet.
void TestListWrites::startWrite(Write write)
{
    MessageBox::setNextAnswer(MessageBox::AnswerYes);
    if (write == Write::Removal) {
        child<QPushButton>(WindowRegistry::find<frmArendeList>(), "Command3")->click();
        return;
    }
    frmArende *caseWindow = openCase(CaseA);
    child<QLineEdit>(caseWindow, "Text2")->setText(QStringLiteral("Anna Ny"));
    child<QPushButton>(caseWindow, "Command6")->click();
}

enum class Fault
{
    None,
    ReadOnlyLib, // the register cannot be rewritten
    LockHeld, // another desk holds the folder; "Avbryt" in the box ends the wait
};

void TestListWrites::removedRowIsBusyUntilTheResult_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<int>("rowsAfter");
    QTest::addColumn<QString>("lastTitle");
    QTest::newRow("removed") << Fault::None << 1 << "Bekräftelse";
    // The row comes back as it was, and only the failure is told.
    QTest::newRow("rewrite fails") << Fault::ReadOnlyLib << 2 << "Ta bort ärende!";
    QTest::newRow("wait cancelled") << Fault::LockHeld << 2 << "Upptaget";
}

void TestListWrites::removedRowIsBusyUntilTheResult()
{
    QFETCH(Fault, fault);
    QFETCH(int, rowsAfter);
    QFETCH(QString, lastTitle);
    frmArendeList *overview = showOverview();
    const QByteArray before = readBytes(m_data->registerFile());
    std::optional<ReadOnly> locked;
    if (fault == Fault::ReadOnlyLib) {
        locked.emplace(QStringList { m_data->file(QStringLiteral("Lib")) });
        if (!locked->ok())
            QSKIP("This file system cannot make a folder read-only");
    }
    std::optional<OtherDesk> desk;
    if (fault == Fault::LockHeld)
        QVERIFY(desk.emplace(m_data->path()).locked());
    // The box of the worker's wait is a real one, shown on this thread and answered here.
    int answered = 0;
    QTimer answerer;
    connect(&answerer, &QTimer::timeout, this, [&answered]() {
        if (QMessageBox *box = LockWaitBox::instance()->box(); box && box->isVisible()) {
            ++answered;
            box->buttons().first()->click();
        }
    });
    answerer.start(20);
    startWrite(Write::Removal);
    MessageBox::clearShown();
    QCOMPARE(overview->rowCount(), 2);
    QVERIFY(shownBusy(overview, CaseA));
    QVERIFY(!shownBusy(overview, CaseB));

    QTRY_VERIFY(!MessageBox::shown().isEmpty());
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown().last().title, lastTitle);
    QCOMPARE(answered, fault == Fault::LockHeld ? 1 : 0);
    QTRY_VERIFY(!LockWaitBox::instance()->box());
    QCOMPARE(overview->rowCount(), rowsAfter);
    QVERIFY(!shownBusy(overview, CaseA));
    if (fault != Fault::None)
        QCOMPARE(readBytes(m_data->registerFile()), before);
}

void TestListWrites::closeAskedDuringAWriteFollowsIt_data()
{
    QTest::addColumn<Write>("write");
    QTest::addColumn<Close>("close");
    QTest::addColumn<QString>("success");
    QTest::newRow("update, window closed") << Write::Update << Close::Window << "Uppdatering slutförd!";
    QTest::newRow("update, Stäng") << Write::Update << Close::Stang << "Uppdatering slutförd!";
    QTest::newRow("update, Ctrl+Q") << Write::Update << Close::Quit << "Uppdatering slutförd!";
    QTest::newRow("removal, overview closed") << Write::Removal << Close::Window << "makulerad";
}

void TestListWrites::closeAskedDuringAWriteFollowsIt()
{
    QFETCH(Write, write);
    QFETCH(Close, close);
    QFETCH(QString, success);
    QPointer<frmArendeList> overview = showOverview();
    startWrite(write);
    QPointer<QWidget> window = write == Write::Update
        ? static_cast<QWidget *>(WindowRegistry::find<frmArende>())
        : overview.data();
    if (write == Write::Update) {
        // Nothing that changes or closes the case can be pressed meanwhile.
        QVERIFY(!child<QPushButton>(window, "Command6")->isEnabled());
        QVERIFY(!child<QPushButton>(window, "Command4")->isEnabled());
    }
    MessageBox::clearShown();
    switch (close) {
    case Close::Window:
        QVERIFY(!window->close());
        break;
    case Close::Stang:
        child<QAction>(window, "mnuStang")->trigger();
        break;
    case Close::Quit:
        emit child<QShortcut>(overview, "shortcutAvsluta")->activated();
        break;
    }
    QVERIFY(window->isVisible());
    QTRY_VERIFY(!window || !window->isVisible());
    QVERIFY(!MessageBox::shown().isEmpty());
    QVERIFY(MessageBox::shown().last().text.contains(success));
    if (close == Close::Quit)
        QTRY_VERIFY(!overview || !overview->isVisible());
}

void TestListWrites::ownWriteIsTakenOverWithoutARead_data()
{
    QTest::addColumn<Write>("write");
    QTest::addColumn<bool>("onWorker");
    QTest::addColumn<bool>("sorted");
    QTest::addColumn<bool>("otherDeskFirst");
    QTest::addColumn<bool>("twice"); // the case stands on two lines of the register
    QTest::newRow("removal") << Write::Removal << true << false << false << false;
    QTest::newRow("removal at once") << Write::Removal << false << false << false << false;
    QTest::newRow("removal, sorted") << Write::Removal << true << true << false << false;
    QTest::newRow("removal, sorted, case on two lines") << Write::Removal << true << true << false << true;
    QTest::newRow("update, sorted") << Write::Update << true << true << false << false;
    QTest::newRow("update, sorted, case on two lines") << Write::Update << true << true << false << true;
    QTest::newRow("update at once, sorted") << Write::Update << false << true << false << false;
    // The file is no longer what the list read: the other desk's case must show.
    QTest::newRow("removal, another desk's case first") << Write::Removal << true << false << true << false;
    QTest::newRow("update, another desk's case first") << Write::Update << true << true << true << false;
}

void TestListWrites::ownWriteIsTakenOverWithoutARead()
{
    QFETCH(Write, write);
    QFETCH(bool, onWorker);
    QFETCH(bool, sorted);
    QFETCH(bool, otherDeskFirst);
    QFETCH(bool, twice);
    // Out of name order in the file, so that a sorted list's rewrite reorders it.
    writeBytes(
        m_data->registerFile(), quotedLines(twice ? QList { CaseA, CaseB, CaseA } : QList { CaseB, CaseA }));
    frmArendeList *overview = showOverview();
    CaseList *list = WindowRegistry::caseList();
    if (!onWorker)
        list->setWorkerFrom(std::numeric_limits<int>::max());
    if (sorted) {
        overview->sortListView(CustomerName);
        QTRY_COMPARE(list->proxy()->sortColumn(), int(CustomerName));
    }
    selectEntry(overview, CaseA);
    QSignalSpy reloads(list, &CaseList::reloaded);
    QSignalSpy resets(list->model(), &QAbstractItemModel::modelReset);
    const int changes = list->follower()->changeCount();
    if (otherDeskFirst) {
        QFile file(m_data->registerFile());
        QVERIFY(file.open(QIODevice::Append));
        QVERIFY(file.write(quotedLines({ otherDesksCase() })) > 0);
    }
    startWrite(write);
    QTRY_VERIFY(!list->isWriting());
    list->follower()->check();
    const QString path = m_data->registerFile();
    if (otherDeskFirst) {
        QTRY_VERIFY(list->entries().contains(otherDesksCase()));
    } else {
        // The case window asks for its refresh after an update; it finds the file as the
        // list holds it and leaves the rows alone.
        QTRY_COMPARE(reloads.count(), write == Write::Update ? 1 : 0);
        QCOMPARE(resets.count(), 0);
        QCOMPARE(list->follower()->changeCount(), changes);
        // The list's table is the file as written, for the next rewrite to start from.
        QCOMPARE(list->model()->table().entries(), caseregister::Table::load(path).value().entries());
    }
    const QList<RegisterEntry> file = caseregister::load(path).value();
    QCOMPARE(sortedEntries(list->entries()), sortedEntries(file));
    if (!sorted)
        QCOMPARE(list->entries(), file);
    QCOMPARE(
        list->entries().size(), write == Write::Removal ? 1 + int(otherDeskFirst) : 2 + int(otherDeskFirst));
}

QTEST_MAIN(TestListWrites)
#include "tst_listwrites.moc"
