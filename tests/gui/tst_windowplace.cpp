// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// Where the windows open and what assistive technology hears of them: a window that can
// grow comes back where it was closed, through the desk's settings file, unless that
// place is off every screen; the overview's name column takes the added width; the
// drop-down lists are named by their labels and the plain windows are windows.

#include "gui/frmArende.h"
#include "gui/frmArendeList.h"
#include "gui/frmHistorik.h"
#include "gui/frmKunder.h"
#include "gui/windowregistry.h"
#include "storage/caseregister.h"
#include "storage/datafolder.h"
#include "storage/desksettings.h"
#include "support_guifixture.h"

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QStandardPaths>
#include <QTableView>
#include <QTest>

using namespace lunora;
using namespace lunora::test;

class TestWindowPlace final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void caseWindowOpensWhereItWasClosed_data();
    void caseWindowOpensWhereItWasClosed();
    void nameColumnTakesTheAddedWidth();
    void controlsAreNamedForAssistiveTechnology_data();
    void controlsAreNamedForAssistiveTechnology();

private:
    std::unique_ptr<TemporaryHome> m_home;
    std::unique_ptr<TestDataFolder> m_data;
};

void TestWindowPlace::initTestCase()
{
    useSwedishLocale();
    QStandardPaths::setTestModeEnabled(true);
}

void TestWindowPlace::init()
{
    m_home = std::make_unique<TemporaryHome>();
    m_data = std::make_unique<TestDataFolder>();
    QVERIFY(m_home->isValid() && m_data->isValid());
    QVERIFY(desksettings::filePath().startsWith(m_home->path()));
    QVERIFY(caseregister::rewrite(paths::caseRegister(), { CaseA, CaseB }).ok());
    startWindowTest();
}

void TestWindowPlace::cleanup()
{
    WindowRegistry::closeAll();
    m_data.reset();
    m_home.reset();
}

void TestWindowPlace::caseWindowOpensWhereItWasClosed_data()
{
    // The place the window is closed at (its size relative to the designed one), or a
    // line written into the file by hand instead; then where it opens next time.
    QTest::addColumn<QPoint>("closedAt");
    QTest::addColumn<QSize>("closedGrownBy");
    QTest::addColumn<QByteArray>("handWritten");
    QTest::addColumn<bool>("placeUsed");
    QTest::addColumn<QSize>("opensGrownBy");
    QTest::newRow("grown") << QPoint(30, 20) << QSize(90, 40) << QByteArray() << true << QSize(90, 40);
    QTest::newRow("off every screen")
        << QPoint(5000, 3000) << QSize(90, 40) << QByteArray() << false << QSize(90, 40);
    QTest::newRow("title bar above the screen")
        << QPoint(30, -400) << QSize(0, 0) << QByteArray() << false << QSize(0, 0);
    QTest::newRow("below the designed size")
        << QPoint(30, 20) << QSize() << QByteArray("30, 20, 200, 100") << true << QSize(0, 0);
    QTest::newRow("not a place") << QPoint() << QSize() << QByteArray("30, 20, bred") << false << QSize(0, 0);
}

void TestWindowPlace::caseWindowOpensWhereItWasClosed()
{
    QFETCH(QPoint, closedAt);
    QFETCH(QSize, closedGrownBy);
    QFETCH(QByteArray, handWritten);
    QFETCH(bool, placeUsed);
    QFETCH(QSize, opensGrownBy);

    frmArende *window = openCase(CaseA);
    const QSize design = window->size();
    QCOMPARE(window->minimumSize(), design);
    if (handWritten.isEmpty()) {
        window->setGeometry(QRect(closedAt, design + closedGrownBy));
        window->close();
        QVERIFY(runUntil([]() { return !WindowRegistry::find<frmArende>(); }, 5000));
        QVERIFY(readBytes(desksettings::filePath()).contains("[Fonster]"));
    } else {
        WindowRegistry::closeAll();
        QDir().mkpath(QFileInfo(desksettings::filePath()).path());
        writeBytes(desksettings::filePath(), "[Fonster]\nfrmArende=" + handWritten + "\n");
    }

    window = openCase(CaseA);
    QCOMPARE(window->size(), design + opensGrownBy);
    QCOMPARE(window->geometry().topLeft() == closedAt, placeUsed);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY(screen.contains(window->frameGeometry().topLeft()));
}

void TestWindowPlace::nameColumnTakesTheAddedWidth()
{
    auto *overview = WindowRegistry::show<frmArendeList>();
    QHeaderView *columns = overview->listView()->horizontalHeader();
    QList<int> before;
    for (int column = 0; column < RegisterFieldCount; ++column)
        before << columns->sectionSize(column);
    overview->resize(overview->size() + QSize(150, 60));
    QVERIFY(
        runUntil([&]() { return columns->sectionSize(CustomerName) == before[CustomerName] + 150; }, 5000));
    for (int column = 0; column < RegisterFieldCount; ++column) {
        if (column != CustomerName)
            QCOMPARE(columns->sectionSize(column), before[column]);
    }
    // Back to the designed size, the column is as it was.
    overview->resize(overview->minimumSize());
    QVERIFY(runUntil([&]() { return columns->sectionSize(CustomerName) == before[CustomerName]; }, 5000));
}

void TestWindowPlace::controlsAreNamedForAssistiveTechnology_data()
{
    QTest::addColumn<QString>("window"); // the case window, or the window it opens
    QTest::addColumn<QString>("control"); // empty for the window itself
    QTest::addColumn<QString>("name"); // how the name begins
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("value");
    QTest::newRow("Prioritet") << "frmArende"
                               << "cboPrio"
                               << "Prioritet" << int(QAccessible::ComboBox) << "Brådskande";
    QTest::newRow("Status") << "frmArende"
                            << "cboStat"
                            << "Status" << int(QAccessible::ComboBox) << "Under behandling";
    QTest::newRow("Historik") << "frmHistorik"
                              << ""
                              << "Historik" << int(QAccessible::Window) << "";
    QTest::newRow("Kunder") << "frmKunder"
                            << ""
                            << "Kunder" << int(QAccessible::Window) << "";
}

void TestWindowPlace::controlsAreNamedForAssistiveTechnology()
{
    QFETCH(QString, window);
    QFETCH(QString, control);
    QFETCH(QString, name);
    QFETCH(int, role);
    QFETCH(QString, value);

    frmArende *caseWindow = openCase(CaseA);
    QWidget *shown = caseWindow;
    if (window == u"frmHistorik") {
        child<QAction>(caseWindow, "mnuHistorik")->trigger();
        shown = WindowRegistry::find<frmHistorik>();
    } else if (window == u"frmKunder") {
        shown = WindowRegistry::show<frmKunder>();
    }
    QVERIFY(shown);
    QObject *target = shown;
    if (!control.isEmpty())
        target = child<QComboBox>(shown, qPrintable(control));
    QAccessibleInterface *described = QAccessible::queryAccessibleInterface(target);
    QVERIFY(described);
    QVERIFY2(
        described->text(QAccessible::Name).startsWith(name), qPrintable(described->text(QAccessible::Name)));
    QCOMPARE(int(described->role()), role);
    if (!value.isEmpty()) {
        // The entry chosen is what the box holds, not what it is called.
        child<QComboBox>(shown, qPrintable(control))->setCurrentText(value);
        QCOMPARE(described->text(QAccessible::Value), value);
        QCOMPARE(described->text(QAccessible::Name), name);
    }
}

QTEST_MAIN(TestWindowPlace)
#include "tst_windowplace.moc"
