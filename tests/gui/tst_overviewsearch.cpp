// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// Finding a case in the overview: the search field, opening with Enter and a double
// click, and a window that grows. The search only hides rows; what the register holds
// and what the buttons act on must stay exactly what the list without a search has.

#include "gui/caselistmodel.h"
#include "gui/frmArende.h"
#include "gui/frmArendeList.h"
#include "gui/messagebox.h"
#include "gui/scanburst.h"
#include "gui/units.h"
#include "gui/windowregistry.h"
#include "storage/caseregister.h"
#include "storage/datafolder.h"
#include "support_guifixture.h"

#include <QAccessible>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QtTest>

using namespace lunora;
using namespace lunora::test;

namespace {

const RegisterEntry CaseC = entryOf({ QStringLiteral("120301 7"), QStringLiteral("2012-03-01"),
    QStringLiteral("K-5"), QStringLiteral("Cecilia Andersson-Öhrn"), QStringLiteral("070-123 45 67"),
    QStringLiteral("Normal"), QStringLiteral("Nytt ärende"),
    QStringLiteral("{CCCCCCCC-3333-4333-8333-CCCCCCCCCCCC}"), QStringLiteral("Anna Ek") });

QStringList shownNames(const frmArendeList *window)
{
    QStringList names;
    const QAbstractItemModel *model = window->listView()->model();
    for (int row = 0; row < model->rowCount(); ++row)
        names.append(model->index(row, CustomerName).data().toString());
    return names;
}

QLineEdit *searchByName(QWidget *window)
{
    // Found as assistive technology finds it: by its accessible name.
    for (QLineEdit *edit : window->findChildren<QLineEdit *>()) {
        if (edit->accessibleName() == QStringLiteral("Sök"))
            return edit;
    }
    return nullptr;
}

int accessibleRowCount(QTableView *list)
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(list);
    return face && face->tableInterface() ? face->tableInterface()->rowCount() : -1;
}

} // namespace

class TestOverviewSearch final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void typingFiltersTheListAndTheCount();
    void enterInTheSearchOpensTheOneCaseShown();
    void removalWhileSearchingKeepsHiddenCases();
    void enterDoubleClickAndSlashInTheList();
    void aScanOpensItsCase_data();
    void aScanOpensItsCase();
    void aScanInTheSearchFieldReplacesItsText_data();
    void aScanInTheSearchFieldReplacesItsText();
    void theWindowGrowsAroundItsControls();

private:
    frmArendeList *openOverview();

    std::unique_ptr<TestDataFolder> m_data;
};

void TestOverviewSearch::initTestCase()
{
    useSwedishLocale();
    QApplication::setQuitOnLastWindowClosed(false);
}

void TestOverviewSearch::init()
{
    m_data = std::make_unique<TestDataFolder>();
    QVERIFY(m_data->isValid());
    DataFolder::setRoot(m_data->path());
    MessageBox::setAutomaticAnswers(true);
    MessageBox::clearShown();
}

void TestOverviewSearch::cleanup()
{
    ScanBurst::setClock({});
    WindowRegistry::closeAll();
    DataFolder::setRoot(QString());
    m_data.reset();
}

frmArendeList *TestOverviewSearch::openOverview()
{
    writeBytes(m_data->lib(QStringLiteral("arenden.txt")),
        caseregister::formatQuoted(CaseA) + caseregister::formatPlain(CaseB)
            + caseregister::formatQuoted(CaseC));
    auto *window = WindowRegistry::show<frmArendeList>();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window))
        qWarning("overview not active");
    return window;
}

void TestOverviewSearch::typingFiltersTheListAndTheCount()
{
    frmArendeList *window = openOverview();
    QLineEdit *search = searchByName(window);
    QVERIFY(search);
    QCOMPARE(search->placeholderText(), QStringLiteral("Sök ärende, namn, telefon …"));
    QTableView *list = window->listView();
    QCOMPARE(window->statusText(), QStringLiteral(" Ärenden: 3 st"));
    QCOMPARE(accessibleRowCount(list), 3);

    QTest::keyClick(window, Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(QApplication::focusWidget(), search);
    QTest::keyClicks(search, QStringLiteral("ANDERSSON"));
    QCOMPARE(shownNames(window), QStringList({ "Anna Andersson", "Cecilia Andersson-Öhrn" }));
    QCOMPARE(window->statusText(), QStringLiteral(" Ärenden: 2 av 3 st"));
    QCOMPARE(accessibleRowCount(list), 2);

    // The telephone as the customer says it finds the one written with marks.
    search->clear();
    QTest::keyClicks(search, QStringLiteral("0701234567"));
    QCOMPARE(shownNames(window), QStringList({ "Cecilia Andersson-Öhrn" }));
    QCOMPARE(list->currentIndex().row(), 0); // the one row shown is the current row

    // Nothing found: no row, so nothing to change, remove or print.
    QTest::keyClicks(search, QStringLiteral("9"));
    QCOMPARE(list->model()->rowCount(), 0);
    QCOMPARE(window->statusText(), QStringLiteral(" Ärenden: 0 av 3 st"));
    QVERIFY(!child<QPushButton>(window, "Command2")->isEnabled());
    QVERIFY(!child<QPushButton>(window, "Command3")->isEnabled());
    QVERIFY(!child<QAction>(window, "mnuSkrivUt")->isEnabled());

    // Escape brings every row and the plain count back.
    QTest::keyClick(search, Qt::Key_Escape);
    QCOMPARE(search->text(), QString());
    QCOMPARE(list->model()->rowCount(), 3);
    QCOMPARE(window->statusText(), QStringLiteral(" Ärenden: 3 st"));
    QVERIFY(child<QPushButton>(window, "Command2")->isEnabled());
    QCOMPARE(accessibleRowCount(list), 3);
}

void TestOverviewSearch::enterInTheSearchOpensTheOneCaseShown()
{
    frmArendeList *window = openOverview();
    QLineEdit *search = searchByName(window);
    QTest::keyClick(window, Qt::Key_F, Qt::ControlModifier);

    // Two cases shown: Enter opens neither but goes to the list.
    QTest::keyClicks(search, QStringLiteral("anna ek"));
    QCOMPARE(window->listView()->model()->rowCount(), 2);
    QTest::keyClick(search, Qt::Key_Return);
    QVERIFY(!WindowRegistry::find<frmArende>() || !WindowRegistry::find<frmArende>()->isVisible());
    QCOMPARE(QApplication::focusWidget(), window->listView());

    // The control code from a printed sheet: one case, and Enter opens it.
    search->setText(QStringLiteral("cccccccc-3333"));
    QTest::keyClick(search, Qt::Key_Return);
    auto *caseWindow = WindowRegistry::find<frmArende>();
    QVERIFY(caseWindow && caseWindow->isVisible());
    QCOMPARE(caseWindow->controlCode(), CaseC[ControlCode]);
}

void TestOverviewSearch::removalWhileSearchingKeepsHiddenCases()
{
    frmArendeList *window = openOverview();
    window->sortListView(CustomerName); // descending: Cecilia, Bo, Anna
    QLineEdit *search = searchByName(window);
    search->setText(QStringLiteral("berg"));
    QCOMPARE(shownNames(window), QStringList({ "Bo Berg" }));
    QCOMPARE(window->listView()->currentIndex().row(), 0);

    MessageBox::setNextAnswer(MessageBox::AnswerYes);
    child<QPushButton>(window, "Command3")->click();
    QCOMPARE(window->listView()->model()->rowCount(), 0);
    QCOMPARE(search->text(), QStringLiteral("berg"));
    // The register holds every case the search hid, in the list's order.
    QCOMPARE(readBytes(m_data->lib(QStringLiteral("arenden.txt"))),
        caseregister::formatQuoted(CaseC) + caseregister::formatQuoted(CaseA));

    // A refresh keeps the search; the count is the register's again.
    window->refresh();
    QCOMPARE(window->statusText(), QStringLiteral(" Ärenden: 0 av 2 st"));
    search->clear();
    QCOMPARE(shownNames(window), QStringList({ "Cecilia Andersson-Öhrn", "Anna Andersson" }));
    QCOMPARE(window->statusText(), QStringLiteral(" Ärenden: 2 st"));
}

void TestOverviewSearch::aScanOpensItsCase_data()
{
    QTest::addColumn<QString>("focused"); // where the focus is when the scan starts
    QTest::addColumn<QString>("scanned");
    QTest::addColumn<QString>("opened"); // control code; empty when none opens
    QTest::addColumn<int>("shown");
    QTest::newRow("on the list") << "list"
                                 << "101215 4711" << CaseA[ControlCode] << 1;
    QTest::newRow("on a button") << "Command2"
                                 << "120301 7" << CaseC[ControlCode] << 1;
    // Case numbers are not unique: both are listed and Enter opens neither.
    QTest::newRow("a number two cases share") << "list"
                                              << "110102 12" << QString() << 2;
}

void TestOverviewSearch::aScanOpensItsCase()
{
    QFETCH(QString, focused);
    QFETCH(QString, scanned);
    QFETCH(QString, opened);
    QFETCH(int, shown);
    RegisterEntry twin = CaseC;
    twin[CaseNumber] = CaseB[CaseNumber];
    twin[ControlCode] = QStringLiteral("{DDDDDDDD-4444-4444-8444-DDDDDDDDDDDD}");
    writeBytes(m_data->lib(QStringLiteral("arenden.txt")),
        caseregister::formatQuoted(CaseA) + caseregister::formatPlain(CaseB)
            + caseregister::formatQuoted(CaseC) + caseregister::formatQuoted(twin));
    auto *window = WindowRegistry::show<frmArendeList>();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QWidget *start = focused == u"list" ? static_cast<QWidget *>(window->listView())
                                        : child<QPushButton>(window, focused.toLatin1().constData());
    start->setFocus();
    QCOMPARE(QApplication::focusWidget(), start);

    // The scanner types each character and Enter into whatever has the focus.
    for (const QChar c : scanned)
        QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
    QCOMPARE(searchByName(window)->text(), scanned);
    QCOMPARE(window->listView()->model()->rowCount(), shown);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);

    auto *caseWindow = WindowRegistry::find<frmArende>();
    const bool isOpen = caseWindow && caseWindow->isVisible();
    QCOMPARE(isOpen, !opened.isEmpty());
    if (isOpen)
        QCOMPARE(caseWindow->controlCode(), opened);
}

void TestOverviewSearch::aScanInTheSearchFieldReplacesItsText_data()
{
    // What the clerk did in the search field before the scan, key by key: text and the
    // milliseconds before each key. A scanner's keys come 5 ms apart, a hand's 150.
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("beforeGap");
    QTest::addColumn<int>("gap"); // between the keys of the second number
    QTest::addColumn<QString>("field"); // the search text at the end
    QTest::addColumn<QString>("opened"); // empty when no case opens
    const QString c = CaseC[CaseNumber];
    QTest::newRow("a scan after a scan") << CaseA[CaseNumber] << 5 << 5 << c << CaseC[ControlCode];
    QTest::newRow("a scan after one that found nothing") << "999999 1" << 5 << 5 << c << CaseC[ControlCode];
    QTest::newRow("a scan after typed text") << "Anna" << 150 << 5 << c << CaseC[ControlCode];
    // Typed by hand the number is part of the search, as anything typed is.
    QTest::newRow("a number typed by hand after text") << "Anna" << 150 << 150 << "Anna" + c << QString();
}

void TestOverviewSearch::aScanInTheSearchFieldReplacesItsText()
{
    QFETCH(QString, before);
    QFETCH(int, beforeGap);
    QFETCH(int, gap);
    QFETCH(QString, field);
    QFETCH(QString, opened);
    qint64 now = 1000000;
    ScanBurst::setClock([&now](const QKeyEvent *) { return now; });
    frmArendeList *window = openOverview();
    QLineEdit *search = searchByName(window);
    search->setFocus();
    auto typeInto = [&now](QWidget *widget, const QString &text, int keyGap, bool enter) {
        for (const QChar c : text) {
            now += keyGap;
            QTest::keyClick(widget, c.toLatin1());
        }
        if (enter) {
            now += keyGap;
            QTest::keyClick(widget, Qt::Key_Return);
        }
    };

    // The first: a scan ends in Enter, typed text does not.
    typeInto(search, before, beforeGap, beforeGap < 100);
    QCOMPARE(search->text(), before);
    // The clerk turns back to the overview, where the search field kept the focus.
    now += 3000;
    QVERIFY(activate(window));
    QCOMPARE(QApplication::focusWidget(), search);
    typeInto(search, CaseC[CaseNumber], gap, true);

    QCOMPARE(search->text(), field);
    auto *caseWindow = WindowRegistry::find<frmArende>();
    if (opened.isEmpty()) {
        QVERIFY(!caseWindow || !caseWindow->isVisible() || caseWindow->controlCode() != CaseC[ControlCode]);
    } else {
        QVERIFY(caseWindow && caseWindow->isVisible());
        QCOMPARE(caseWindow->controlCode(), opened);
    }
}

void TestOverviewSearch::enterDoubleClickAndSlashInTheList()
{
    frmArendeList *window = openOverview();
    QTableView *list = window->listView();
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    auto *caseWindow = WindowRegistry::find<frmArende>();
    QVERIFY(caseWindow && caseWindow->isVisible());
    QCOMPARE(caseWindow->controlCode(), CaseB[ControlCode]);

    const QPoint third = list->visualRect(list->model()->index(2, 1)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, third);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, third);
    QCOMPARE(caseWindow->controlCode(), CaseC[ControlCode]);

    // A double click on empty space opens nothing new.
    caseWindow->hide();
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, QPoint(10, list->viewport()->height() - 4));
    QVERIFY(!caseWindow->isVisible());

    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Slash);
    QCOMPARE(QApplication::focusWidget(), searchByName(window));
    QCOMPARE(searchByName(window)->text(), QString());
}

void TestOverviewSearch::theWindowGrowsAroundItsControls()
{
    frmArendeList *window = openOverview();
    QWidget *client = window->centralWidget();
    QTableView *list = window->listView();
    auto *close = child<QPushButton>(window, "Command4");
    auto *change = child<QPushButton>(window, "Command2");
    QLineEdit *search = searchByName(window);

    // At the designed size every control stands where it always stood.
    QCOMPARE(list->geometry(), QRect(px(120), px(675), px(11775), px(4335)));
    QCOMPARE(close->pos(), QPoint(px(10800), px(5160)));
    const QSize design = window->size();
    QCOMPARE(window->minimumSize(), design);
    const int buttonGap = client->height() - change->y();
    const int closeGap = client->width() - close->x();
    QCOMPARE(client->width() - search->geometry().right() - 1, 6);
    QVERIFY(search->y() >= 0 && search->geometry().bottom() < px(525));

    QHeaderView *header = list->horizontalHeader();
    const int nameWidth = header->sectionSize(CustomerName);

    window->resize(design.width() + 400, design.height() + 300);
    QTRY_COMPARE(client->width(), design.width() + 400);
    QCOMPARE(list->width(), px(11775) + 400);
    QCOMPARE(list->height(),
        px(4335) + client->height()
            - (design.height() - window->menuBar()->height() - window->statusBar()->height()));
    QCOMPARE(client->height() - change->y(), buttonGap);
    QCOMPARE(client->width() - close->x(), closeGap);
    QCOMPARE(change->x(), px(1320));
    QCOMPARE(client->width() - search->geometry().right() - 1, 6);
    QCOMPARE(child<QLabel>(window, "Image1")->width(), client->width());
    QStatusBar *bar = window->statusBar();
    QCOMPARE(bar->geometry().bottom(), window->height() - 1);
    // The name column takes the added width; every other column keeps its own.
    QCOMPARE(header->sectionSize(CustomerName), nameWidth + 400);
    QCOMPARE(header->sectionSize(CustomerName + 1), px(CaseListModel::columnWidthUnits(CustomerName + 1)));

    // A width the user drags stays through a refresh and in the next overview, there
    // without the added width.
    header->resizeSection(CustomerName, nameWidth + 400 + 55);
    window->refresh();
    QCOMPARE(header->sectionSize(CustomerName), nameWidth + 400 + 55);
    WindowRegistry::closeAll();
    window = openOverview();
    QCOMPARE(window->listView()->horizontalHeader()->sectionSize(CustomerName), nameWidth + 55);
    window->listView()->horizontalHeader()->resizeSection(CustomerName, nameWidth);

    // Long header text: cut with "…" before the search field, whole in the window's state.
    const RegisterEntry longName = entryOf({ QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
        QString(120, QLatin1Char('W')), QStringLiteral("5"), QStringLiteral("Normal"),
        QStringLiteral("Avslutad"), QStringLiteral("{L}"), QStringLiteral("9") });
    window->stageEntry(longName);
    child<QPushButton>(window, "btnadd")->click();
    selectEntry(window, longName);
    QTableView *shownList = window->listView();
    QTest::mouseClick(
        shownList->viewport(), Qt::LeftButton, {}, shownList->visualRect(shownList->currentIndex()).center());
    auto *headerLabel = child<QLabel>(window, "lblOrderID_MSG");
    QCOMPARE(window->headerText(), QStringLiteral("3, ") + longName[CustomerName]);
    QVERIFY(headerLabel->text().endsWith(QChar(0x2026)));
    QVERIFY(headerLabel->geometry().right() < searchByName(window)->x());
}

QTEST_MAIN(TestOverviewSearch)
#include "tst_overviewsearch.moc"
