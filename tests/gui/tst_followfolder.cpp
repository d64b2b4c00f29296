// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// The lists follow the data folder: what another desk writes appears in the overview
// and in an open case window without the user losing the place, what this desk writes
// does not read the list a second time, and nothing is read anew under an open box.

#include "common/testsupport.h"
#include "gui/caselist.h"
#include "gui/casesortproxy.h"
#include "gui/filefollower.h"
#include "gui/frmAddProd.h"
#include "gui/frmArende.h"
#include "gui/frmArendeList.h"
#include "gui/messagebox.h"
#include "gui/windowregistry.h"
#include "storage/session.h"
#include "support_guifixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <limits>
#include <utility>

using namespace lunora;
using namespace lunora::test;

namespace {

RegisterEntry numberedCase(int n)
{
    const QString code = QStringLiteral("{%1-0000-4000-8000-000000000000}").arg(n, 8, 10, QLatin1Char('0'));
    return entryOf(
        { QStringLiteral("101215 %1").arg(n), QStringLiteral("2010-12-15"), QStringLiteral("K-%1").arg(n),
            QStringLiteral("Kund %1").arg(n, 3, 10, QLatin1Char('0')), QStringLiteral("08-%1").arg(n),
            QStringLiteral("Normal"), QStringLiteral("Nytt ärende"), code, QStringLiteral("Anna Ek") });
}

// What another desk does: the whole file replaced by a rename, as its atomic saves do.
void replaceElsewhere(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
    QVERIFY(file.commit());
}

void appendElsewhere(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Append));
    QCOMPARE(file.write(bytes), bytes.size());
}

const ArticleRow RowC = rowOf({ QStringLiteral("C-3"), QStringLiteral("Kabel"), QStringLiteral("1"),
    QStringLiteral("st"), QStringLiteral("30,00"), QStringLiteral("30,00") });

} // namespace

class TestFollowFolder : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useSwedishLocale(); }
    void init();
    void cleanup();

    void overviewFollowsAnotherDeskKeepingPlace_data();
    void overviewFollowsAnotherDeskKeepingPlace();
    void removedCurrentCaseLeavesItsPlaceCurrent_data();
    void removedCurrentCaseLeavesItsPlaceCurrent();
    void ownWritesAreNotReadAgain();
    void activationSeesWhatNoWatcherReported();
    void caseWindowFollowsItsArticleFile();
    void noReloadUnderOpenBox();
    void rowBeingChangedIsFoundAfterReload();
    void rowChangedElsewhereWhileOpenWritesNothing();

private:
    // Case A with rows A and B, its window open and the article window opened by
    // "Ändra" on row B (nullptr when it did not open).
    std::pair<frmArende *, frmAddProd *> changeRowB();

    std::unique_ptr<TestDataFolder> m_data;
};

void TestFollowFolder::init()
{
    m_data = std::make_unique<TestDataFolder>();
    QVERIFY(m_data->isValid());
    startWindowTest();
    session::signIn({ QStringLiteral("bertil"), QStringLiteral("Bertil Ström"), QStringLiteral("0") });
}

void TestFollowFolder::cleanup()
{
    WindowRegistry::caseList()->setWorkerFromBytes(CaseList::WorkerFromBytes);
    MessageBox::setAutomaticAnswers(true);
    WindowRegistry::closeAll();
    m_data.reset();
}

void TestFollowFolder::overviewFollowsAnotherDeskKeepingPlace_data()
{
    QTest::addColumn<bool>("onWorker");
    QTest::newRow("read at once") << false;
    // Read, sorted and searched on the worker, as a long register is.
    QTest::newRow("read on the worker") << true;
}

// Sorted by name descending, searching "Kund", scrolled down, with a case selected:
// another desk adds a case and rewrites the register; the list shows the new count
// and every case, and the user's place is as it was.
void TestFollowFolder::overviewFollowsAnotherDeskKeepingPlace()
{
    QFETCH(bool, onWorker);
    QList<RegisterEntry> cases;
    for (int n = 1; n <= 80; ++n)
        cases << numberedCase(n);
    writeCases(*m_data, cases);
    CaseList *caseList = WindowRegistry::caseList();
    caseList->setWorkerFromBytes(onWorker ? 0 : std::numeric_limits<qint64>::max());
    auto *overview = WindowRegistry::show<frmArendeList>();
    CaseSortProxy *proxy = caseList->proxy();
    if (onWorker) {
        proxy->setBackgroundFrom(10);
        QVERIFY(runUntil([&] { return overview->rowCount() == 80; }, 5000));
    }
    QTableView *list = overview->listView();
    overview->sortListView(3); // "Namn", descending
    overview->searchField()->setText(QStringLiteral("Kund"));
    QVERIFY(runUntil([&] { return proxy->sortColumn() == 3 && !proxy->isSearchRunning(); }, 5000));
    // The list switches to new rows already sorted: never register order between.
    QList<int> shownSorted;
    connect(proxy, &QAbstractItemModel::modelReset, this, [&] { shownSorted << proxy->sortColumn(); });
    const RegisterEntry chosen = numberedCase(40);
    selectEntry(overview, chosen);
    list->verticalScrollBar()->setValue(30);
    const RegisterEntry top = overview->entryAt(list->rowAt(0));
    QCOMPARE(overview->statusText(), QStringLiteral(" Ärenden: 80 av 80 st"));

    appendElsewhere(m_data->registerFile(), quotedLines({ numberedCase(81) }));
    QVERIFY(runUntil([&] { return overview->rowCount() == 81; }, 5000));
    QCOMPARE(overview->statusText(), QStringLiteral(" Ärenden: 81 av 81 st"));
    QCOMPARE(overview->entryAt(0), numberedCase(81)); // at its sorted place, not last
    QCOMPARE(overview->entryAt(list->currentIndex().row()), chosen);
    QVERIFY(list->selectionModel()->isRowSelected(list->currentIndex().row(), {}));
    QCOMPARE(overview->entryAt(list->rowAt(0)), top);
    QCOMPARE(overview->sortColumn(), 3);
    QCOMPARE(overview->sortOrder(), Qt::DescendingOrder);
    QCOMPARE(overview->searchField()->text(), QStringLiteral("Kund"));

    // A second change, by rename this time: the watch survives the first one.
    cases.removeAt(0);
    cases << numberedCase(81) << numberedCase(82);
    const QList<RegisterEntry> expected = cases;
    replaceElsewhere(m_data->registerFile(), quotedLines(expected));
    QVERIFY(runUntil(
        [&] { return overview->rowCount() == 81 && overview->entryAt(0) == numberedCase(82); }, 5000));
    QCOMPARE(overview->entryAt(list->currentIndex().row()), chosen);
    QCOMPARE(overview->entryAt(list->rowAt(0)), top);
    QVERIFY(!shownSorted.isEmpty());
    QCOMPARE(shownSorted, QList<int>(shownSorted.size(), 3));

    // The search still hides what it did.
    appendElsewhere(m_data->registerFile(), quotedLines({ CaseB }));
    QVERIFY(runUntil([&] { return overview->rowCount() == 82; }, 5000));
    QCOMPARE(overview->statusText(), QStringLiteral(" Ärenden: 81 av 82 st"));
    QCOMPARE(overview->entryAt(list->currentIndex().row()), chosen);
}

void TestFollowFolder::removedCurrentCaseLeavesItsPlaceCurrent_data()
{
    QTest::addColumn<bool>("onWorker");
    QTest::newRow("read at once") << false;
    // The read on the worker finds that the case is gone.
    QTest::newRow("read on the worker") << true;
}

void TestFollowFolder::removedCurrentCaseLeavesItsPlaceCurrent()
{
    QFETCH(bool, onWorker);
    writeCases(*m_data, { CaseA, numberedCase(1), CaseB });
    WindowRegistry::caseList()->setWorkerFromBytes(onWorker ? 0 : std::numeric_limits<qint64>::max());
    auto *overview = WindowRegistry::show<frmArendeList>();
    QVERIFY(runUntil([&] { return overview->rowCount() == 3; }, 5000));
    selectEntry(overview, numberedCase(1));
    replaceElsewhere(m_data->registerFile(), quotedLines({ CaseA, CaseB }));
    QVERIFY(runUntil([&] { return overview->rowCount() == 2; }, 5000));
    QCOMPARE(overview->entryAt(overview->listView()->currentIndex().row()), CaseB);
    QCOMPARE(overview->statusText(), QStringLiteral(" Ärenden: 2 st"));
}

// The hidden add and del actions change the register and leave the count as it was;
// the watcher's report of that change must not read the list anew. A case saved in the
// case window is read once, by the refresh it starts.
void TestFollowFolder::ownWritesAreNotReadAgain()
{
    writeCases(*m_data, { CaseA, CaseB });
    auto *overview = WindowRegistry::show<frmArendeList>();
    FileFollower *follower = WindowRegistry::caseList()->follower();

    overview->stageEntry(numberedCase(7));
    child<QPushButton>(overview, "btnadd")->click();
    selectEntry(overview, CaseA);
    child<QPushButton>(overview, "btndel")->click();
    QCOMPARE(overview->rowCount(), 2);
    QVERIFY(!runUntil([&] { return follower->changeCount() > 0; }, 1000));
    QCOMPARE(overview->statusText(), QStringLiteral(" Ärenden: 2 st"));
    QCOMPARE(overview->rowCount(), 2);

    auto *caseWindow = WindowRegistry::get<frmArende>();
    caseWindow->prepareNewCase();
    WindowRegistry::show<frmArende>();
    QVERIFY(runUntil([&] { return !caseWindow->controlCode().isEmpty(); }, 2000));
    child<QLineEdit>(caseWindow, "Text1")->setText(QStringLiteral("K-5"));
    child<QLineEdit>(caseWindow, "Text2")->setText(QStringLiteral("Eva Ny"));
    child<QLineEdit>(caseWindow, "Text3")->setText(QStringLiteral("08-5"));
    caseWindow->stageRow(RowA);
    child<QPushButton>(caseWindow, "btnAdd")->click();
    child<QPushButton>(caseWindow, "Command5")->click();
    QVERIFY(runUntil([&] { return overview->statusText() == QStringLiteral(" Ärenden: 3 st"); }, 3000));
    QVERIFY(!runUntil([&] { return follower->changeCount() > 0; }, 1000));

    // Another desk's change after them is still seen.
    appendElsewhere(m_data->registerFile(), quotedLines({ numberedCase(9) }));
    QVERIFY(runUntil([&] { return follower->changeCount() == 1 && overview->rowCount() == 4; }, 5000));
}

// On a share, another machine's writes reach no watcher: coming back to the window
// looks at the register.
void TestFollowFolder::activationSeesWhatNoWatcherReported()
{
    writeCases(*m_data, { CaseA });
    auto *overview = WindowRegistry::show<frmArendeList>();
    WindowRegistry::caseList()->follower()->setWatcherEnabled(false);
    auto *other = WindowRegistry::show<frmArende>();
    // The platform activates shown windows as it gets round to it; let it finish.
    (void)runUntil([] { return false; }, 300);
    QApplication::setActiveWindow(other);
    QVERIFY(runUntil([&] { return QApplication::activeWindow() == other; }, 2000));

    appendElsewhere(m_data->registerFile(), quotedLines({ CaseB }));
    QVERIFY(!runUntil([&] { return overview->rowCount() == 2; }, 600));
    QApplication::setActiveWindow(overview);
    QVERIFY(runUntil([&] { return overview->rowCount() == 2; }, 3000));
    QCOMPARE(overview->statusText(), QStringLiteral(" Ärenden: 2 st"));

    // The case window likewise.
    writeCases(*m_data, { CaseA, CaseB }, { RowA });
    frmArende *caseWindow = openCase(CaseA);
    caseWindow->articleFollower()->setWatcherEnabled(false);
    (void)runUntil([] { return false; }, 300);
    QApplication::setActiveWindow(overview);
    QVERIFY(runUntil([&] { return QApplication::activeWindow() == overview; }, 2000));
    appendElsewhere(m_data->lib(CaseA[ControlCode] + QStringLiteral("_ArtData.txt")), articleLines({ RowB }));
    QVERIFY(!runUntil([&] { return caseWindow->articleRows().size() == 2; }, 600));
    QApplication::setActiveWindow(caseWindow);
    QVERIFY(runUntil([&] { return caseWindow->articleRows() == QList<ArticleRow>({ RowA, RowB }); }, 3000));
}

void TestFollowFolder::caseWindowFollowsItsArticleFile()
{
    writeCases(*m_data, { CaseA }, { RowA, RowB });
    frmArende *caseWindow = openCase(CaseA);
    auto *list = child<QTreeView>(caseWindow, "ListView1");
    list->setCurrentIndex(list->model()->index(1, 0)); // row B
    const QString articles = m_data->lib(CaseA[ControlCode] + QStringLiteral("_ArtData.txt"));

    replaceElsewhere(articles, articleLines({ RowC, RowA, RowB }));
    QVERIFY(runUntil(
        [&] {
            return caseWindow->articleRows() == QList<ArticleRow>({ RowC, RowA, RowB });
        },
        5000));
    QCOMPARE(list->currentIndex().row(), 2);
    QVERIFY(list->selectionModel()->isRowSelected(2, {}));

    // This desk's own row: no reload, the selection stays where the user put it.
    list->setCurrentIndex(list->model()->index(0, 0));
    caseWindow->stageRow(RowA);
    child<QPushButton>(caseWindow, "btnAdd")->click();
    QVERIFY(!runUntil([&] { return caseWindow->articleFollower()->changeCount() > 1; }, 1000));
    QCOMPARE(caseWindow->articleRows(), QList<ArticleRow>({ RowC, RowA, RowB, RowA }));

    // The row selected is removed elsewhere: nothing is selected in its stead.
    replaceElsewhere(articles, articleLines({ RowA, RowB, RowA }));
    QVERIFY(runUntil([&] { return caseWindow->articleRows().size() == 3; }, 5000));
    QVERIFY(list->selectionModel()->selectedRows().isEmpty());
}

// "Ta bort" on a row asks first. While the real box is open another desk changes the
// file: the list stays as the question showed it until the box is answered.
void TestFollowFolder::noReloadUnderOpenBox()
{
    writeCases(*m_data, { CaseA }, { RowA, RowB });
    frmArende *caseWindow = openCase(CaseA);
    auto *list = child<QTreeView>(caseWindow, "ListView1");
    list->setCurrentIndex(list->model()->index(0, 0));
    const QString articles = m_data->lib(CaseA[ControlCode] + QStringLiteral("_ArtData.txt"));

    MessageBox::setAutomaticAnswers(false);
    bool boxSeen = false;
    QList<ArticleRow> rowsUnderBox;
    QTimer::singleShot(50, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        boxSeen = true;
        replaceElsewhere(articles, articleLines({ RowA, RowB, RowC }));
        // Long enough for the watcher and the quiet time, several times over.
        QTimer::singleShot(FileFollower::quietMs * 5, this, [&, box] {
            rowsUnderBox = caseWindow->articleRows();
            box->button(QMessageBox::No)->click();
        });
    });
    child<QPushButton>(caseWindow, "Command3")->click();
    QVERIFY(boxSeen);
    QCOMPARE(rowsUnderBox, QList<ArticleRow>({ RowA, RowB }));
    QVERIFY(runUntil(
        [&] {
            return caseWindow->articleRows() == QList<ArticleRow>({ RowA, RowB, RowC });
        },
        5000));
    QCOMPARE(list->currentIndex().row(), 0);
}

std::pair<frmArende *, frmAddProd *> TestFollowFolder::changeRowB()
{
    writeCases(*m_data, { CaseA }, { RowA, RowB });
    frmArende *caseWindow = openCase(CaseA);
    auto *list = child<QTreeView>(caseWindow, "ListView1");
    list->setCurrentIndex(list->model()->index(1, 0));
    child<QPushButton>(caseWindow, "Command2")->click();
    return { caseWindow, WindowRegistry::find<frmAddProd>() };
}

// The article window is open to change row B when another desk adds a row before it:
// after the reload the change still replaces row B, which is not left behind twice.
void TestFollowFolder::rowBeingChangedIsFoundAfterReload()
{
    const auto [caseWindow, articleWindow] = changeRowB();
    QVERIFY(articleWindow);

    const QString articles = m_data->lib(CaseA[ControlCode] + QStringLiteral("_ArtData.txt"));
    replaceElsewhere(articles, articleLines({ RowC, RowA, RowB }));
    QVERIFY(runUntil([&] { return caseWindow->articleRows().size() == 3; }, 5000));

    child<QLineEdit>(articleWindow, "Text2")->setText(QStringLiteral("Arbete, kväll"));
    child<QPushButton>(articleWindow, "Command3")->click(); // "Uppdatera"
    ArticleRow changed = RowB;
    changed[Description] = QStringLiteral("Arbete, kväll");
    QVERIFY(runUntil(
        [&] {
            return caseWindow->articleRows() == QList<ArticleRow>({ RowC, RowA, changed });
        },
        3000));
    QCOMPARE(readBytes(articles), articleLines({ RowC, RowA, changed }));
}

// Another desk changes the very row the article window is open on. The reload shows
// that desk's row; this desk's "Uppdatera" then writes nothing and says why.
void TestFollowFolder::rowChangedElsewhereWhileOpenWritesNothing()
{
    const auto [caseWindow, articleWindow] = changeRowB();
    QVERIFY(articleWindow);

    ArticleRow theirs = RowB;
    theirs[Quantity] = QStringLiteral("2");
    theirs[Sum] = QStringLiteral("800,00");
    const QString articles = m_data->lib(CaseA[ControlCode] + QStringLiteral("_ArtData.txt"));
    replaceElsewhere(articles, articleLines({ RowA, theirs }));
    QVERIFY(runUntil([&] { return caseWindow->articleRows() == QList<ArticleRow>({ RowA, theirs }); }, 5000));

    MessageBox::clearShown();
    child<QLineEdit>(articleWindow, "Text2")->setText(QStringLiteral("Arbete, kväll"));
    child<QPushButton>(articleWindow, "Command3")->click(); // "Uppdatera"
    QVERIFY(runUntil([&] { return !MessageBox::shown().isEmpty(); }, 3000));
    QCOMPARE(MessageBox::shown().last().title, QStringLiteral("Artikeldata"));
    QCOMPARE(MessageBox::shown().last().text,
        QStringLiteral("Raden har ändrats vid en annan kassa. Listan har lästs in på nytt."));
    QCOMPARE(readBytes(articles), articleLines({ RowA, theirs }));
    QCOMPARE(caseWindow->articleRows(), QList<ArticleRow>({ RowA, theirs }));
}

QTEST_MAIN(TestFollowFolder)
#include "tst_followfolder.moc"
