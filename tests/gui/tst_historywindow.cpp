// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// The history window of a case: reached from the case window's Arkiv menu, newest event
// first, read-only, and following what the case window does meanwhile.

#include "gui/filefollower.h"
#include "gui/frmArende.h"
#include "gui/frmHistorik.h"
#include "gui/messagebox.h"
#include "gui/windowregistry.h"
#include "printing/defaultprinter.h"
#include "printing/qprinterdevice.h"
#include "storage/casehistory.h"
#include "storage/caseregister.h"
#include "storage/casestore.h"
#include "storage/cp1252.h"
#include "storage/datafolder.h"
#include "storage/session.h"
#include "support_guifixture.h"

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QImage>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace lunora;
using namespace lunora::test;

namespace {

// A function, not a constant: CaseA lives in another file, initialised in its own time.
QString caseCode()
{
    return CaseA[ControlCode];
}

QString historyPath()
{
    return paths::historyFile(caseCode()).value();
}

// The list as the user sees it: every row's three texts, top to bottom.
QStringList shownRows(frmHistorik *window)
{
    QStringList rows;
    const QAbstractItemModel *model = window->listView()->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        QStringList texts;
        for (int column = 0; column < model->columnCount(); ++column)
            texts << model->index(row, column).data().toString();
        rows << texts.join(u'|');
    }
    return rows;
}

frmHistorik *openHistory(frmArende *caseWindow)
{
    child<QAction>(caseWindow, "mnuHistorik")->trigger();
    return WindowRegistry::find<frmHistorik>();
}

} // namespace

class TestHistoryWindow final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void entryStandsBeforeStang();
    void listShowsNewestFirst();
    void followsChangesAndPrintouts();
    void waitsForAnOpenBox();
    void newCaseStartsWithoutHistory();
    void goesWithTheCaseWindow();

private:
    std::unique_ptr<TestDataFolder> m_data;
    std::unique_ptr<QTemporaryDir> m_out;
};

void TestHistoryWindow::initTestCase()
{
    useSwedishLocale();
}

void TestHistoryWindow::init()
{
    m_data = std::make_unique<TestDataFolder>();
    m_out = std::make_unique<QTemporaryDir>();
    QVERIFY(m_data->isValid() && m_out->isValid());
    writeBytes(paths::companyFile(), "[Main]\r\nRad1=Verkstan AB\r\n");
    QImage logo(96, 48, QImage::Format_RGB32);
    logo.fill(Qt::darkBlue);
    QVERIFY(logo.save(paths::logoFile(), "BMP"));
    QVERIFY(caseregister::rewrite(paths::caseRegister(), { CaseA }).ok());
    writeBytes(paths::articleFile(caseCode()).value(), articleLines({ RowB }));
    startWindowTest();
    // The history names the user of the sign-in.
    session::signIn({ QStringLiteral("anna"), QStringLiteral("Anna Ek"), QStringLiteral("9") });
}

void TestHistoryWindow::cleanup()
{
    setDefaultPrinterForTesting({});
    WindowRegistry::closeAll();
    session::signOut();
    m_data.reset();
    m_out.reset();
}

void TestHistoryWindow::entryStandsBeforeStang()
{
    frmArende *window = openCase(CaseA);
    QStringList captions;
    for (QAction *action : child<QMenu>(window, "mnuArkiv")->actions())
        captions << (action->isSeparator() ? QStringLiteral("-") : action->text().remove(u'&'));
    QCOMPARE(
        captions.mid(captions.size() - 4), QStringList({ "Historik…", "Tidigare ärenden…", "-", "Stäng" }));
    QVERIFY(child<QAction>(window, "mnuHistorik")->isEnabled());
}

void TestHistoryWindow::listShowsNewestFirst()
{
    // Two events in the same second: the later line is the newer one.
    writeBytes(historyPath(),
        cp1252::encode(QStringLiteral("2026-02-01 10:00:00\tAnna Ek\tSkapat\r\n"
                                      "2026-02-03 08:15:00\tBertil Berg\tStatus ändrad från Nytt ärende till "
                                      "Under behandling\r\n"
                                      "2026-02-03 08:15:00\tBertil Berg\tFörfattare ändrad från Anna Ek till "
                                      "Bertil Berg\r\n"
                                      "2026-02-02 09:30:00\tAnna Ek\tUtskrift\r\n")));
    frmArende *window = openCase(CaseA);
    frmHistorik *history = openHistory(window);
    QVERIFY(history);
    QVERIFY(runUntil([history]() { return history->isVisible(); }, 5000));
    QCOMPARE(history->windowTitle(), QStringLiteral("Historik - Ärende 101215 4711"));
    QCOMPARE(shownRows(history),
        QStringList({ "2026-02-03 08:15:00|Bertil Berg|Författare ändrad från Anna Ek till Bertil Berg",
            "2026-02-03 08:15:00|Bertil Berg|Status ändrad från Nytt ärende till Under behandling",
            "2026-02-02 09:30:00|Anna Ek|Utskrift", "2026-02-01 10:00:00|Anna Ek|Skapat" }));
    QCOMPARE(history->statusText(), QStringLiteral("Händelser: 4 st"));

    // A list with column headers and a name, that nobody can edit.
    QTableView *list = history->listView();
    QCOMPARE(list->accessibleName(), QStringLiteral("Historik"));
    QVERIFY(!list->horizontalHeader()->isHidden());
    QStringList headers;
    for (int column = 0; column < list->model()->columnCount(); ++column)
        headers << list->model()->headerData(column, Qt::Horizontal).toString();
    QCOMPARE(headers, QStringList({ "Tid", "Användare", "Händelse" }));
    QCOMPARE(list->editTriggers(), QAbstractItemView::NoEditTriggers);

    // Clicking the time column turns the order round: oldest first.
    QTest::mouseClick(list->horizontalHeader()->viewport(), Qt::LeftButton, {},
        QPoint(list->horizontalHeader()->sectionViewportPosition(0) + 5, 5));
    QCOMPARE(shownRows(history).first(), QStringLiteral("2026-02-01 10:00:00|Anna Ek|Skapat"));

    if (const QString folder = qEnvironmentVariable("LUNORA_SCREENSHOTS"); !folder.isEmpty())
        history->grab().save(QDir(folder).filePath(QStringLiteral("history-test.png")));
}

void TestHistoryWindow::followsChangesAndPrintouts()
{
    setDefaultPrinterForTesting([this]() -> std::unique_ptr<PrintDevice> {
        return std::make_unique<QPrinterDevice>(m_out->filePath(QStringLiteral("print.pdf")));
    });
    frmArende *window = openCase(CaseA);
    frmHistorik *history = openHistory(window);
    QVERIFY(history);
    QCOMPARE(shownRows(history), QStringList());
    QCOMPARE(history->statusText(), QStringLiteral("Ingen historik ännu."));

    // The case window's printout and PDF leave their lines, in the signed-in user's name.
    // The window follows the file: its first line, then lines appended to it.
    window->startPrintSheet();
    QVERIFY(runUntil([history]() { return shownRows(history).size() == 1; }, 10000));
    QVERIFY(window->savePdf(m_out->filePath(QStringLiteral("case.pdf"))));
    QVERIFY(CaseStore::addArticleRow(caseCode(), RowA));
    QVERIFY(runUntil([history]() { return shownRows(history).size() == 3; }, 10000));
    const QStringList rows = shownRows(history);
    QCOMPARE(rows.size(), 3);
    QVERIFY2(rows.at(0).endsWith(QStringLiteral("|Anna Ek|Rad tillagd: A-1 Skruv 2 st 12,50")),
        qPrintable(rows.at(0)));
    QVERIFY(rows.at(1).endsWith(QStringLiteral("|Anna Ek|Sparad som PDF")));
    QVERIFY(rows.at(2).endsWith(QStringLiteral("|Anna Ek|Utskrift")));
    QVERIFY(MessageBox::shown().isEmpty());
}

// Another desk on this machine writes the case's first history line while a box of the
// case window is open: the list stays as it was until the box is answered, then shows
// the line.
void TestHistoryWindow::waitsForAnOpenBox()
{
    frmArende *window = openCase(CaseA);
    frmHistorik *history = openHistory(window);
    QVERIFY(history);
    MessageBox::setAutomaticAnswers(false);
    bool boxSeen = false;
    QStringList rowsUnderBox { QStringLiteral("not looked at") };
    QTimer::singleShot(50, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        boxSeen = true;
        QFile file(historyPath());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Append));
        QVERIFY(
            file.write(cp1252::encode(QStringLiteral("2026-02-01 10:00:00\tBertil Berg\tSkapat\r\n"))) > 0);
        file.close();
        // Long enough for the watcher and the quiet time, several times over.
        QTimer::singleShot(FileFollower::quietMs * 5, this, [&, box] {
            rowsUnderBox = shownRows(history);
            box->button(QMessageBox::Ok)->click();
        });
    });
    (void)MessageBox::show(
        window, QStringLiteral("Ärende"), QStringLiteral("Vänta"), MessageBox::Ok, MessageBox::Information);
    QVERIFY(boxSeen);
    QCOMPARE(rowsUnderBox, QStringList());
    QVERIFY(runUntil([history]() { return shownRows(history).size() == 1; }, 5000));
    QVERIFY(shownRows(history).at(0).endsWith(QStringLiteral("|Bertil Berg|Skapat")));
}

void TestHistoryWindow::newCaseStartsWithoutHistory()
{
    auto *window = WindowRegistry::get<frmArende>();
    session::signIn({ session::user().userId, QStringLiteral("Anna Ek"), session::user().index });
    window->prepareNewCase();
    WindowRegistry::show<frmArende>();
    QVERIFY(runUntil([window]() { return !window->controlCode().isEmpty(); }, 5000));
    frmHistorik *history = openHistory(window);
    QVERIFY(history);
    QCOMPARE(history->controlCode(), window->controlCode());
    QCOMPARE(shownRows(history), QStringList());
    QCOMPARE(history->statusText(), QStringLiteral("Ingen historik ännu."));

    // Rows of a case not saved yet are in its files already, and so in its history.
    QVERIFY(CaseStore::addArticleRow(window->controlCode(), RowB));
    child<QPushButton>(history, "cmdUppdatera")->click();
    QCOMPARE(shownRows(history).size(), 1);

    // A history file that cannot be read says so instead of looking empty.
    const QString path = paths::historyFile(window->controlCode()).value();
    QVERIFY(QFile::remove(path));
    QVERIFY(QDir().mkpath(path));
    QVERIFY(!history->reload());
    QCOMPARE(history->statusText(), QStringLiteral("Historiken kunde inte läsas."));
    QVERIFY(MessageBox::shown().isEmpty());
}

void TestHistoryWindow::goesWithTheCaseWindow()
{
    frmArende *window = openCase(CaseA);
    QPointer<frmHistorik> history = openHistory(window);
    QVERIFY(history);
    // Opening it again shows the one window, not a second one.
    QCOMPARE(openHistory(window), history.data());
    window->close();
    QVERIFY(runUntil([&history]() { return !history; }, 5000));
}

QTEST_MAIN(TestHistoryWindow)

#include "tst_historywindow.moc"
