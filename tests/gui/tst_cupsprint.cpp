// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// The program's own print path on the system's default printer, for the end-to-end check
// of scripts/ci-printing, which sets up a CUPS queue first. Skipped unless
// LUNORA_CUPS_TEST=1; LUNORA_CUPS_EXPECT says whether a default printer is there
// ("printer") or not ("none").

#include "gui/deferredtimer.h"
#include "gui/frmArende.h"
#include "gui/frmArendeList.h"
#include "gui/frmPrint.h"
#include "gui/messagebox.h"
#include "gui/windowregistry.h"
#include "printing/casesheet.h"
#include "printing/defaultprinter.h"
#include "storage/casefiles.h"
#include "storage/caseregister.h"
#include "storage/datafolder.h"
#include "support_guifixture.h"

#include <QAction>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QTest>

using namespace lunora;
using namespace lunora::test;

namespace {
QString expectation()
{
    return QString::fromLocal8Bit(qgetenv("LUNORA_CUPS_EXPECT"));
}
} // namespace

class TestCupsPrint final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void caseWindowPrintsOnTheDefaultPrinter();
    void overviewPrintsTheSelectedCaseAndClosesIt();
    void missingPrinterIsReportedOnce();

private:
    std::unique_ptr<TestDataFolder> m_data;
};

void TestCupsPrint::initTestCase()
{
    if (qgetenv("LUNORA_CUPS_TEST") != "1")
        QSKIP("the CUPS end-to-end check runs from scripts/ci-printing (LUNORA_CUPS_TEST=1)");
    useSwedishLocale();
}

void TestCupsPrint::init()
{
    m_data = std::make_unique<TestDataFolder>();
    QVERIFY(m_data->isValid());

    QFile company(paths::companyFile());
    QVERIFY(company.open(QIODevice::WriteOnly));
    company.write("[Main]\r\nRad1=Cykelverkstan i Sm\xe5stad AB\r\nRad2=Storgatan 1\r\n"
                  "Rad3=123 45 Sm\xe5stad\r\nRad4=Tel 0123-456 78\r\n");
    company.close();
    QImage logo(240, 96, QImage::Format_RGB32);
    logo.fill(Qt::white);
    QPainter painter(&logo);
    painter.fillRect(QRect(0, 0, 80, 96), QColor(0, 70, 140));
    painter.fillRect(QRect(80, 32, 160, 32), QColor(230, 170, 0));
    painter.end();
    QVERIFY(logo.save(paths::logoFile(), "BMP"));

    QVERIFY(caseregister::rewrite(paths::caseRegister(), { CaseA, CaseB }).ok());
    const QString fileA = paths::articleFile(CaseA[ControlCode]).value();
    QVERIFY(
        articlefile::appendRow(fileA, rowOf({ "17", "Skruv, rostfri", "2", "st", "12,50", "25,00" })).ok());
    QVERIFY(articlefile::appendRow(fileA, rowOf({ "18", "Mutter", "4", "st", "1,00", "4,00" })).ok());
    QVERIFY(articlefile::appendRow(paths::articleFile(CaseB[ControlCode]).value(),
        rowOf({ "31", "Kedja", "1", "st", "149,00", "149,00" }))
                .ok());

    startWindowTest();
}

void TestCupsPrint::cleanup()
{
    WindowRegistry::closeAll();
    m_data.reset();
}

void TestCupsPrint::caseWindowPrintsOnTheDefaultPrinter()
{
    if (expectation() != QLatin1String("printer"))
        QSKIP("no default printer expected");
    QVERIFY(hasDefaultPrinter());

    frmArende *caseWindow = openCase(CaseA);
    auto *timer3 = caseWindow->findChild<DeferredTimer *>(QStringLiteral("Timer3"));
    QVERIFY(timer3);
    qint64 printedAt = -1;
    QElapsedTimer clock;
    // After the case window's own handler: the job has been handed to CUPS.
    connect(timer3, &DeferredTimer::fired, this, [&]() { printedAt = clock.elapsed(); });

    clock.start();
    caseWindow->findChild<QAction *>(QStringLiteral("mnuSkrivUt"))->trigger();
    QVERIFY(WindowRegistry::find<frmPrint>());
    QVERIFY(runUntil([&]() { return printedAt >= 0; }, 5000));
    qInfo("\"Skriv ut\" to job handed to CUPS: %lld ms", printedAt);
    QVERIFY(MessageBox::shown().isEmpty());
    QVERIFY(caseWindow->isVisible());
}

void TestCupsPrint::overviewPrintsTheSelectedCaseAndClosesIt()
{
    if (expectation() != QLatin1String("printer"))
        QSKIP("no default printer expected");

    auto *overview = WindowRegistry::show<frmArendeList>();
    QVERIFY(runUntil([&]() { return overview->rowCount() == 2; }, 2000));
    selectEntry(overview, CaseB);
    auto *print = overview->findChild<QAction *>(QStringLiteral("mnuSkrivUt"));
    QVERIFY(print);
    QVERIFY(runUntil([&]() { return print->isEnabled(); }, 2000));

    QElapsedTimer clock;
    clock.start();
    print->trigger();
    QPointer<frmArende> caseWindow = WindowRegistry::find<frmArende>();
    QVERIFY(caseWindow);
    QCOMPARE(caseWindow->currentEntry(), CaseB);
    qint64 printedAt = -1;
    connect(caseWindow->findChild<DeferredTimer *>(QStringLiteral("Timer3")), &DeferredTimer::fired, this,
        [&]() { printedAt = clock.elapsed(); });
    QVERIFY(runUntil([&]() { return !caseWindow || !caseWindow->isVisible(); }, 5000));
    const qint64 closedAt = clock.elapsed();
    qInfo("overview \"Skriv ut\": job handed to CUPS after %lld ms, case window closed after %lld ms",
        printedAt, closedAt);
    QVERIFY(printedAt >= 0);
    QVERIFY(printedAt < closedAt);
    QVERIFY(MessageBox::shown().isEmpty());
}

void TestCupsPrint::missingPrinterIsReportedOnce()
{
    if (expectation() != QLatin1String("none"))
        QSKIP("a default printer is expected");
    QVERIFY(!hasDefaultPrinter());
    QVERIFY(isNoPrinterFailure(printCaseSheetOnDefaultPrinter(CaseSheetData())));

    frmArende *caseWindow = openCase(CaseA);
    caseWindow->findChild<QAction *>(QStringLiteral("mnuSkrivUt"))->trigger();
    QPointer<frmPrint> progress = WindowRegistry::find<frmPrint>();
    QVERIFY(progress);
    QVERIFY(runUntil([&]() { return !progress || !progress->isVisible(); }, 5000));
    QTest::qWait(300);

    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown().first().title, QStringLiteral("Skrivare saknas"));
    QCOMPARE(MessageBox::shown().first().text,
        QStringLiteral("Det finns ingen skrivare installerad på denna dator!"));
    QVERIFY(caseWindow->isVisible());
    qInfo("no default printer: \"Skrivare saknas\" shown once, the program goes on");
}

QTEST_MAIN(TestCupsPrint)
#include "tst_cupsprint.moc"
