// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// The print progress window with the real case window: 81 steps, one hand-over, the
// sheet of the case on the screen, cancelling, a single window, and a missing printer.

#include "gui/frmArende.h"
#include "gui/frmArendeList.h"
#include "gui/frmPrint.h"
#include "gui/messagebox.h"
#include "gui/windowregistry.h"
#include "printing/defaultprinter.h"
#include "printing/qprinterdevice.h"
#include "storage/casefiles.h"
#include "storage/caseregister.h"
#include "storage/datafolder.h"
#include "support_guifixture.h"

#include <QAction>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QPrinterInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace lunora;
using namespace lunora::test;

namespace {
// Each tick of the progress as the window shows it afterwards.
struct Tick
{
    int bar;
    QString percent;
    bool visible;
};
} // namespace

class TestPrintWindow final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void fillsInEightyOneStepsThenPrintsOnce();
    void closingDuringProgressCancels_data();
    void closingDuringProgressCancels();
    void showingAgainNeitherRestartsNorPrintsTwice();
    void printingTwiceShowsTheFullProgressBothTimes();
    void noPrinterIsReportedOnce();
    void failedSheetIsReportedOnceAndNotRetried();
    void overviewPrintsTheSelectedCaseThenClosesIt();

private:
    frmPrint *startPrint(frmArende *caseWindow);
    QList<Tick> recordTicks(frmPrint *window);
    QString sheetText(int index) const;

    std::unique_ptr<TestDataFolder> m_data;
    std::unique_ptr<QTemporaryDir> m_out;
    QStringList m_printed; // the PDF file of every printout, in order
};

void TestPrintWindow::initTestCase()
{
    useSwedishLocale();
}

void TestPrintWindow::init()
{
    m_data = std::make_unique<TestDataFolder>();
    m_out = std::make_unique<QTemporaryDir>();
    QVERIFY(m_data->isValid() && m_out->isValid());
    QFile company(paths::companyFile());
    QVERIFY(company.open(QIODevice::WriteOnly));
    company.write("[Main]\r\nRad1=Verkstan AB\r\nRad2=Storgatan 1\r\n");
    company.close();
    QImage logo(96, 48, QImage::Format_RGB32);
    logo.fill(Qt::darkBlue);
    QVERIFY(logo.save(paths::logoFile(), "BMP"));

    QVERIFY(caseregister::rewrite(paths::caseRegister(), { CaseA, CaseB }).ok());
    QVERIFY(articlefile::appendRow(
        paths::articleFile(CaseA[ControlCode]).value(), rowOf({ "17", "Skruv", "2", "st", "12,50", "25,00" }))
                .ok());
    QVERIFY(articlefile::appendRow(paths::articleFile(CaseB[ControlCode]).value(),
        rowOf({ "18", "Kedja", "1", "st", "149,00", "149,00" }))
                .ok());

    // Every printout goes into a PDF file of its own, through the real QPrinter path.
    m_printed.clear();
    setDefaultPrinterForTesting([this]() -> std::unique_ptr<PrintDevice> {
        m_printed.append(m_out->filePath(QStringLiteral("print%1.pdf").arg(m_printed.size() + 1)));
        return std::make_unique<QPrinterDevice>(m_printed.last());
    });
    startWindowTest();
}

void TestPrintWindow::cleanup()
{
    setDefaultPrinterForTesting({});
    WindowRegistry::closeAll();
    m_data.reset();
    m_out.reset();
}

frmPrint *TestPrintWindow::startPrint(frmArende *caseWindow)
{
    auto *print = caseWindow->findChild<QAction *>(QStringLiteral("mnuSkrivUt"));
    if (!print)
        return nullptr;
    print->trigger();
    return WindowRegistry::find<frmPrint>();
}

QList<Tick> TestPrintWindow::recordTicks(frmPrint *window)
{
    QList<Tick> ticks;
    QPointer<frmPrint> guard(window);
    auto *timer = window->findChild<QTimer *>(QStringLiteral("Timer1"));
    auto *label = window->findChild<QLabel *>(QStringLiteral("Label1"));
    // Connected after the window's own handler, so this sees each tick's outcome.
    connect(timer, &QTimer::timeout, this, [&ticks, guard, label]() {
        if (guard)
            ticks.append({ guard->barWidth(), label->text(), guard->isVisible() });
    });
    const bool finished = runUntil([guard]() { return !guard || !guard->isVisible(); }, 5000);
    Q_UNUSED(finished); // the callers check what the ticks show
    return ticks;
}

QString TestPrintWindow::sheetText(int index) const
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        return QString();
    QProcess process;
    process.start(QStringLiteral("pdftotext"), { "-layout", m_printed.at(index), "-" });
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

void TestPrintWindow::fillsInEightyOneStepsThenPrintsOnce()
{
    frmArende *caseWindow = openCase(CaseA);
    frmPrint *window = startPrint(caseWindow);
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QVERIFY(!window->isModal());
    QCOMPARE(window->windowTitle(), QStringLiteral("Utskrift startas...."));
    QCOMPARE(window->findChild<QLabel *>(QStringLiteral("Label1"))->text(), QStringLiteral("0"));
    QCOMPARE(window->barWidth(), 15);
    QCOMPARE(window->trackWidth(), 3255);

    QElapsedTimer clock;
    clock.start();
    const QList<Tick> ticks = recordTicks(window);
    const qint64 progress = clock.elapsed();
    QTRY_COMPARE(m_printed.size(), 1);
    qInfo("progress %lld ms, printed after %lld ms", progress, clock.elapsed());
    QCOMPARE(ticks.size(), 82);
    for (int i = 0; i < 81; ++i) {
        QCOMPARE(ticks.at(i).bar, 15 + 40 * (i + 1));
        QVERIFY(ticks.at(i).visible);
    }
    QCOMPARE(ticks.at(0).percent, QStringLiteral("1 %"));
    QCOMPARE(ticks.at(1).percent, QStringLiteral("2 %"));
    QCOMPARE(ticks.at(80).percent, QStringLiteral("100 %"));
    QCOMPARE(ticks.at(80).bar, 3255);
    QVERIFY(!ticks.at(81).visible);

    QTRY_COMPARE(m_printed.size(), 1);
    QTest::qWait(50);
    QCOMPARE(m_printed.size(), 1);
    QVERIFY(MessageBox::shown().isEmpty());
    QVERIFY(caseWindow->isVisible()); // printing leaves the case window open
    const QString sheet = sheetText(0);
    if (!sheet.isEmpty()) {
        QVERIFY(sheet.contains(QStringLiteral("Anna Andersson")));
        QVERIFY(sheet.contains(QStringLiteral("Skruv")));
        QVERIFY(sheet.contains(QStringLiteral("Verkstan AB")));
    }
}

void TestPrintWindow::closingDuringProgressCancels_data()
{
    QTest::addColumn<bool>("escape");
    QTest::newRow("close button") << false;
    QTest::newRow("Escape") << true;
}

void TestPrintWindow::closingDuringProgressCancels()
{
    QFETCH(bool, escape);
    frmArende *caseWindow = openCase(CaseA);
    QPointer<frmPrint> window = startPrint(caseWindow);
    QVERIFY(window);
    QVERIFY(QTest::qWaitFor([&]() { return window->barWidth() > 15; }, 2000));
    QVERIFY(window->barWidth() < window->trackWidth());
    if (escape)
        QTest::keyClick(window, Qt::Key_Escape);
    else
        window->close();
    QTest::qWait(300);
    QVERIFY(m_printed.isEmpty());
    QVERIFY(MessageBox::shown().isEmpty());
    QVERIFY(!WindowRegistry::find<frmPrint>());
}

void TestPrintWindow::showingAgainNeitherRestartsNorPrintsTwice()
{
    frmArende *caseWindow = openCase(CaseA);
    QPointer<frmPrint> first = startPrint(caseWindow);
    QVERIFY(first);
    QVERIFY(QTest::qWaitFor([&]() { return first->barWidth() > 15 + 40 * 10; }, 2000));
    const int reached = first->barWidth();
    frmPrint *second = startPrint(caseWindow);
    QCOMPARE(second, first.data());
    QVERIFY(first->barWidth() >= reached);

    QTRY_COMPARE(m_printed.size(), 1);
    QTest::qWait(100);
    QCOMPARE(m_printed.size(), 1);
}

void TestPrintWindow::printingTwiceShowsTheFullProgressBothTimes()
{
    frmArende *caseWindow = openCase(CaseA);
    for (int round = 1; round <= 2; ++round) {
        frmPrint *window = startPrint(caseWindow);
        QVERIFY(window);
        QCOMPARE(window->barWidth(), 15);
        QCOMPARE(window->findChild<QLabel *>(QStringLiteral("Label1"))->text(), QStringLiteral("0"));
        QCOMPARE(recordTicks(window).size(), 82);
        QTRY_COMPARE(m_printed.size(), round);
    }
}

void TestPrintWindow::noPrinterIsReportedOnce()
{
    setDefaultPrinterForTesting({});
    if (!QPrinterInfo::defaultPrinter().isNull())
        QSKIP("this machine has a default printer");

    frmArende *caseWindow = openCase(CaseA);
    frmPrint *window = startPrint(caseWindow);
    QVERIFY(window);
    recordTicks(window);
    QTest::qWait(200);

    QCOMPARE(MessageBox::shown().size(), 1);
    const MessageBox::Shown shown = MessageBox::shown().first();
    QCOMPARE(shown.title, QStringLiteral("Skrivare saknas"));
    QCOMPARE(shown.text, QStringLiteral("Det finns ingen skrivare installerad på denna dator!"));
    QCOMPARE(shown.buttons, MessageBox::Ok);
    QCOMPARE(shown.icon, MessageBox::Exclamation);
    QVERIFY(!WindowRegistry::find<frmPrint>());
    QVERIFY(caseWindow->isVisible());
}

void TestPrintWindow::failedSheetIsReportedOnceAndNotRetried()
{
    QVERIFY(QFile::remove(paths::logoFile()));
    frmArende *caseWindow = openCase(CaseA);
    frmPrint *window = startPrint(caseWindow);
    QVERIFY(window);
    recordTicks(window);
    QTRY_COMPARE(MessageBox::shown().size(), 1);
    QTest::qWait(200);
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown().first().icon, MessageBox::Exclamation);
    // Nothing went to the printer, and the program goes on.
    for (const QString &file : std::as_const(m_printed))
        QVERIFY(!QFile::exists(file));
    QVERIFY(caseWindow->isVisible());
}

void TestPrintWindow::overviewPrintsTheSelectedCaseThenClosesIt()
{
    auto *overview = WindowRegistry::show<frmArendeList>();
    QTRY_COMPARE(overview->rowCount(), 2);
    selectEntry(overview, CaseB);
    auto *print = overview->findChild<QAction *>(QStringLiteral("mnuSkrivUt"));
    QVERIFY(print);
    QTRY_VERIFY(print->isEnabled());

    QElapsedTimer clock;
    clock.start();
    print->trigger();
    QPointer<frmArende> caseWindow = WindowRegistry::find<frmArende>();
    QVERIFY(caseWindow);
    QVERIFY(runUntil([this]() { return !m_printed.isEmpty(); }, 2000));
    const qint64 printedAfter = clock.elapsed();
    QVERIFY(caseWindow && caseWindow->isVisible()); // still showing the case it printed
    QVERIFY(runUntil([&]() { return !caseWindow || !caseWindow->isVisible(); }, 4000));
    const qint64 closedAfter = clock.elapsed();
    qInfo("printed after %lld ms, case window closed after %lld ms", printedAfter, closedAfter);
    QVERIFY(printedAfter < closedAfter);
    QCOMPARE(m_printed.size(), 1);
    QVERIFY(MessageBox::shown().isEmpty());

    const QString sheet = sheetText(0);
    if (!sheet.isEmpty()) {
        QVERIFY(sheet.contains(QStringLiteral("Bo Berg")));
        QVERIFY(sheet.contains(QStringLiteral("Kedja")));
        QVERIFY(!sheet.contains(QStringLiteral("Anna Andersson")));
    }
}

QTEST_MAIN(TestPrintWindow)
#include "tst_printwindow.moc"
