// The program's own print path on the system's default printer, for the end-to-end check
// of scripts/ci-printing, which sets up a CUPS queue first. Skipped unless
// LUNORA_CUPS_TEST=1; LUNORA_CUPS_EXPECT says whether a default printer is there
// ("printer") or not ("none").

#include "casefiles.h"
#include "caseregister.h"
#include "casesheet.h"
#include "datafolder.h"
#include "defaultprinter.h"
#include "deferredtimer.h"
#include "frmArende.h"
#include "frmArendeList.h"
#include "frmPrint.h"
#include "messagebox.h"
#include "windowregistry.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

using namespace lunora;

namespace {
RegisterEntry entryOf(const QStringList &values)
{
    RegisterEntry entry;
    for (int i = 0; i < RegisterFieldCount; ++i)
        entry[i] = values.value(i);
    return entry;
}

ArticleRow rowOf(const QStringList &values)
{
    ArticleRow row;
    for (int i = 0; i < ArticleFieldCount; ++i)
        row[i] = values.value(i);
    return row;
}

const RegisterEntry CaseA = entryOf({ "101215 4711", "2010-12-15", "K-17", "Anna Andersson", "08-123456",
    "Brådskande", "Under behandling", "{AAAAAAAA-1111-4111-8111-AAAAAAAAAAAA}", "Anna Ek" });
const RegisterEntry CaseB = entryOf({ "110102 12", "2011-01-02", "K-99", "Bo Berg", "031-777", "Normal",
    "Avslutad", "{BBBBBBBB-2222-4222-8222-BBBBBBBBBBBB}", "Bertil Ström" });

// The event loop without QTest's 10-ms naps, so that 1-ms timers tick as in the program.
bool runUntil(const std::function<bool()> &condition, int timeoutMs)
{
    QEventLoop loop;
    QTimer check;
    check.setTimerType(Qt::PreciseTimer);
    check.setInterval(1);
    QObject::connect(&check, &QTimer::timeout, &loop, [&]() {
        if (condition())
            loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    check.start();
    if (!condition())
        loop.exec();
    return condition();
}

QString expectation()
{
    return QString::fromLocal8Bit(qgetenv("LUNORA_CUPS_EXPECT"));
}
} // namespace

class tst_CupsPrint final : public QObject
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
    frmArende *openCase(const RegisterEntry &entry);

    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_CupsPrint::initTestCase()
{
    if (qgetenv("LUNORA_CUPS_TEST") != "1")
        QSKIP("the CUPS end-to-end check runs from scripts/ci-printing (LUNORA_CUPS_TEST=1)");
    QLocale::setDefault(QLocale(QLocale::Swedish, QLocale::Sweden));
}

void tst_CupsPrint::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    for (const char *folder : { "Lib", "Lib/User", "Lib/Logo", "Errors" })
        QVERIFY(QDir(m_dir->path()).mkpath(QString::fromLatin1(folder)));
    DataFolder::setRoot(m_dir->path());

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

    MessageBox::setAutomaticAnswers(true);
    MessageBox::clearShown();
    frmArende::resetSession();
}

void tst_CupsPrint::cleanup()
{
    WindowRegistry::closeAll();
    DataFolder::setRoot(QString());
    m_dir.reset();
}

frmArende *tst_CupsPrint::openCase(const RegisterEntry &entry)
{
    auto *window = WindowRegistry::get<frmArende>();
    window->setRealName(QStringLiteral("Anna Ek"));
    window->openExistingCase(entry);
    WindowRegistry::show<frmArende>();
    return window;
}

void tst_CupsPrint::caseWindowPrintsOnTheDefaultPrinter()
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

void tst_CupsPrint::overviewPrintsTheSelectedCaseAndClosesIt()
{
    if (expectation() != QLatin1String("printer"))
        QSKIP("no default printer expected");

    auto *overview = WindowRegistry::show<frmArendeList>();
    QVERIFY(runUntil([&]() { return overview->rowCount() == 2; }, 2000));
    int row = 0;
    while (overview->entryAt(row) != CaseB)
        ++row;
    QTableView *list = overview->listView();
    list->setCurrentIndex(list->model()->index(row, 0));
    list->selectRow(row);
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

void tst_CupsPrint::missingPrinterIsReportedOnce()
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

QTEST_MAIN(tst_CupsPrint)
#include "tst_cupsprint.moc"
