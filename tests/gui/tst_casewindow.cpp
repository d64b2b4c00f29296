// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// The case window as a whole: starting, numbering, validating and saving a new case,
// opening existing cases, totals, author change and closing.

#include "gui/frmArende.h"
#include "gui/frmArendeList.h"
#include "gui/frmKunder.h"
#include "gui/messagebox.h"
#include "gui/windowregistry.h"
#include "storage/casefiles.h"
#include "storage/caseregister.h"
#include "storage/cp1252.h"
#include "storage/datafolder.h"
#include "storage/desksettings.h"
#include "storage/session.h"
#include "support_guifixture.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>
#include <QTreeView>

using namespace lunora;
using namespace lunora::test;

namespace {

QString text(QObject *window, const char *name)
{
    return child<QLabel>(window, name)->text();
}

} // namespace

class TestCaseWindow final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void newCaseIsNumberedDatedAndSigned();
    void newCaseStartsFromTheSignedInUserAfterAnExistingCase();
    void incompleteCaseIsNotSaved_data();
    void incompleteCaseIsNotSaved();
    void saveWritesDataFileAndRegisterLine();
    void saveStartsTheOverviewRefresh();
    void failedSaveKeepsWindowAndWritesNothing();
    void valueThatCannotBeStoredIsRefused();
    void priorityColoursFollowTheSelection();
    void closeAsksFirst();
    void newCaseIsRefusedWhileAnExistingCaseIsShown();
    void totals_data();
    void totals();
    void totalBetweenMinusOneAndZeroKeepsDisplays();
    void vatIsShownBesideTheStatusText();
    void openingFillsTheWindow();
    void openingAnotherCaseReplacesTheFirst();
    void wholeControlCodeIsShown();
    void missingArticleFileLeavesCaseUsable();
    void unknownPriorityIsKeptAndReported();
    void updateAskedNoChangesNothing();
    void updateRefusesUnstorableValues();
    void caseWindowOpensWhereItWasClosed_data();
    void caseWindowOpensWhereItWasClosed();
    void controlsAreNamedForAssistiveTechnology_data();
    void controlsAreNamedForAssistiveTechnology();

private:
    frmArende *newCase();
    QString lib(const QString &name) const { return m_data->lib(name); }
    void fillCustomer(frmArende *window, const QString &number, const QString &name, const QString &phone);

    std::unique_ptr<TestDataFolder> m_data;
};

void TestCaseWindow::initTestCase()
{
    useSwedishLocale();
}

void TestCaseWindow::init()
{
    m_data = std::make_unique<TestDataFolder>();
    QVERIFY(m_data->isValid());
    startWindowTest();
}

void TestCaseWindow::cleanup()
{
    WindowRegistry::closeAll();
    m_data.reset();
}

// What the sign-in and the overview's "Nytt" do, in their order.
frmArende *TestCaseWindow::newCase()
{
    auto *window = WindowRegistry::get<frmArende>();
    session::signIn({ QStringLiteral("anna"), QStringLiteral("Anna Ek"), QStringLiteral("9") });
    window->prepareNewCase();
    WindowRegistry::show<frmArende>();
    if (!QTest::qWaitFor([window]() { return !window->controlCode().isEmpty(); }))
        qFatal("the new case was not started");
    return window;
}

void TestCaseWindow::fillCustomer(
    frmArende *window, const QString &number, const QString &name, const QString &phone)
{
    child<QLineEdit>(window, "Text1")->setText(number);
    child<QLineEdit>(window, "Text2")->setText(name);
    child<QLineEdit>(window, "Text3")->setText(phone);
}

void TestCaseWindow::newCaseIsNumberedDatedAndSigned()
{
    frmArende *window = newCase();
    const QString number = text(window, "dbOrdernummer");
    const QDate today = QDate::currentDate();
    const QRegularExpressionMatch match
        = QRegularExpression(QStringLiteral("^(\\d{6}) (0|[1-9]\\d{0,3})$")).match(number);
    QVERIFY2(match.hasMatch(), qPrintable(number));
    QCOMPARE(match.captured(1), today.toString(QStringLiteral("yyMMdd")));
    QVERIFY(match.captured(2).toInt() <= 9998);
    QCOMPARE(text(window, "dbCDate"), today.toString(QStringLiteral("yyyy-MM-dd")));
    QVERIFY(QRegularExpression(QStringLiteral("^\\{[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\\}$"))
                .match(window->controlCode())
                .hasMatch());
    QCOMPARE(window->sign(), QStringLiteral("Anna Ek"));
    QCOMPARE(text(window, "lblOrderID_MSG"), QStringLiteral("[Kund saknas]"));
    QCOMPARE(window->windowTitle(), QStringLiteral("Kundärende - ") + number);
    QVERIFY(child<QPushButton>(window, "Command5")->isVisible());
    QVERIFY(!child<QPushButton>(window, "Command6")->isVisible());
    QVERIFY(!child<QPushButton>(window, "Command6")->isEnabled());
    QCOMPARE(QDir(m_data->path() + QStringLiteral("/Lib")).entryList(QDir::Files), QStringList());

    // The banner follows the name as it is typed.
    child<QLineEdit>(window, "Text2")->setText(QStringLiteral("Åsa Öberg"));
    QCOMPARE(text(window, "lblOrderID_MSG"), QStringLiteral("Åsa Öberg"));

    // A second new case of the same day has its own control code.
    const QString firstCode = window->controlCode();
    child<QLineEdit>(window, "Text2")->clear(); // nothing typed, nothing to ask about
    window->close();
    QCOMPARE(newCase()->controlCode() == firstCode, false);
}

void TestCaseWindow::newCaseStartsFromTheSignedInUserAfterAnExistingCase()
{
    auto *window = WindowRegistry::get<frmArende>();
    session::signIn({ QStringLiteral("bertil"), QStringLiteral("Bertil Ström"), QStringLiteral("9") });
    window->openExistingCase(CaseA);
    QCOMPARE(window->activeUser(), QStringLiteral("Anna Ek"));
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    auto *next = WindowRegistry::get<frmArende>();
    QVERIFY(next != nullptr);
    QCOMPARE(next->realName(), QStringLiteral("Bertil Ström"));
    next->prepareNewCase();
    QTRY_VERIFY(!next->controlCode().isEmpty());
    QCOMPARE(next->sign(), QStringLiteral("Bertil Ström"));
}

void TestCaseWindow::incompleteCaseIsNotSaved_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("phone");
    QTest::addColumn<bool>("withRow");
    QTest::newRow("nothing") << QString() << QString() << QString() << false;
    QTest::newRow("no rows") << "K-1"
                             << "Anna"
                             << "08-1" << false;
    QTest::newRow("no telephone") << "K-1"
                                  << "Anna" << QString() << true;
}

void TestCaseWindow::incompleteCaseIsNotSaved()
{
    QFETCH(QString, number);
    QFETCH(QString, name);
    QFETCH(QString, phone);
    QFETCH(bool, withRow);
    frmArende *window = newCase();
    fillCustomer(window, number, name, phone);
    if (withRow)
        window->addArticleRow(rowOf({ "1", "Skruv", "2", "st", "12,50", "25,00" }));

    child<QPushButton>(window, "Command5")->click();

    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown().last().title, QStringLiteral("Felmeddelande"));
    QCOMPARE(MessageBox::shown().last().text,
        QStringLiteral("Du måste fylla i dessa fält: \r\n\r\n- Kundnummer\r\n"
                       "- Namn\r\n- Telefon\r\n- Artikeldata"));
    QCOMPARE(MessageBox::shown().last().icon, MessageBox::Exclamation);
    QVERIFY(window->isVisible());
    QCOMPARE(child<QLineEdit>(window, "Text2")->text(), name);
    QVERIFY(!QFile::exists(lib(QStringLiteral("arenden.txt"))));
}

void TestCaseWindow::saveWritesDataFileAndRegisterLine()
{
    frmArende *window = newCase();
    fillCustomer(window, QStringLiteral("K-17"), QStringLiteral("Åsa Öberg"), QStringLiteral("08-123456"));
    child<QComboBox>(window, "cboPrio")->setCurrentIndex(1);
    child<QComboBox>(window, "cboStat")->setCurrentIndex(1);
    window->addArticleRow(rowOf({ "1", "Skruv", "2", "st", "12,50", "25,00" }));
    const QString number = text(window, "dbOrdernummer");
    const QString created = text(window, "dbCDate");
    const QString code = window->controlCode();

    child<QPushButton>(window, "Command5")->click();

    QVERIFY(MessageBox::shown().isEmpty());
    QVERIFY(!window->isVisible());
    const QByteArray expectedIni = cp1252::encode(QStringLiteral(
        "[Main]\r\nxSign=Anna Ek\r\nxCode=%1\r\nxRegDate=%2\r\nxID=%3\r\n\r\n[Type]\r\nxPrio=Brådskande\r\n"
        "\r\n[Status]\r\nxStat=Under behandling\r\n\r\n[Customer]\r\nxCPhone=08-123456\r\nxCName=Åsa "
        "Öberg\r\n"
        "xCID=K-17\r\n")
                                                      .arg(code, created, number));
    QCOMPARE(readBytes(lib(code + QStringLiteral("_eData.ini"))), expectedIni);
    QCOMPARE(readBytes(lib(QStringLiteral("arenden.txt"))),
        cp1252::encode(number + QLatin1Char(',') + created
            + QStringLiteral(",K-17,Åsa Öberg,08-123456,Brådskande,"
                             "Under behandling,")
            + code + QStringLiteral(",Anna Ek\r\n")));
}

void TestCaseWindow::saveStartsTheOverviewRefresh()
{
    auto *overview = WindowRegistry::get<frmArendeList>();
    QCOMPARE(overview->rowCount(), 0);
    frmArende *window = newCase();
    // A single blank is a name, and it comes back from the register as one.
    fillCustomer(window, QStringLiteral("K-1"), QStringLiteral(" "), QStringLiteral("08-1"));
    window->addArticleRow(rowOf({ "1", "Skruv", "1", "st", "1,00", "1,00" }));
    child<QPushButton>(window, "Command5")->click();
    QVERIFY(MessageBox::shown().isEmpty());
    QTRY_COMPARE(overview->rowCount(), 1);
    const auto entries = caseregister::load(lib(QStringLiteral("arenden.txt")));
    QVERIFY(entries.ok());
    QCOMPARE(entries.value().size(), 1);
    QCOMPARE(entries.value().first()[CustomerName], QStringLiteral(" "));
}

void TestCaseWindow::failedSaveKeepsWindowAndWritesNothing()
{
    frmArende *window = newCase();
    fillCustomer(window, QStringLiteral("K-1"), QStringLiteral("Anna"), QStringLiteral("08-1"));
    window->addArticleRow(rowOf({ "1", "Skruv", "1", "st", "1,00", "1,00" }));
    const QString code = window->controlCode();

    // A register that cannot be appended to: the data file must not stay behind alone.
    QVERIFY(QDir(m_data->path()).mkpath(QStringLiteral("Lib/arenden.txt")));
    child<QPushButton>(window, "Command5")->click();
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown().last().title, QStringLiteral("Spara"));
    QVERIFY(MessageBox::shown().last().text.startsWith(QStringLiteral("Ärendet kunde inte sparas.")));
    QVERIFY(window->isVisible());
    QVERIFY(!QFile::exists(lib(code + QStringLiteral("_eData.ini"))));

    // No Lib folder at all.
    QVERIFY(QDir(m_data->path() + QStringLiteral("/Lib")).removeRecursively());
    MessageBox::clearShown();
    child<QPushButton>(window, "Command5")->click();
    QCOMPARE(MessageBox::shown().size(), 1);
    QVERIFY(MessageBox::shown().last().text.contains(QStringLiteral("Lib")));
    QVERIFY(window->isVisible());
    QCOMPARE(child<QLineEdit>(window, "Text2")->text(), QStringLiteral("Anna"));
    QCOMPARE(window->articleRows().size(), 1);

    // Once the folder is back, the same window saves the case once.
    QVERIFY(QDir(m_data->path()).mkpath(QStringLiteral("Lib")));
    MessageBox::clearShown();
    child<QPushButton>(window, "Command5")->click();
    QVERIFY(MessageBox::shown().isEmpty());
    QCOMPARE(readBytes(lib(QStringLiteral("arenden.txt"))).count("\r\n"), 1);
    QVERIFY(QFile::exists(lib(code + QStringLiteral("_eData.ini"))));
}

void TestCaseWindow::valueThatCannotBeStoredIsRefused()
{
    frmArende *window = newCase();
    fillCustomer(window, QStringLiteral("K-1"), QStringLiteral("Anna \"Bella\""), QStringLiteral("08-1"));
    window->addArticleRow(rowOf({ "1", "Skruv", "1", "st", "1,00", "1,00" }));
    child<QPushButton>(window, "Command5")->click();
    QCOMPARE(MessageBox::shown().size(), 1);
    QVERIFY(MessageBox::shown().last().text.contains(QStringLiteral("\"Namn\"")));
    QVERIFY(window->isVisible());
    QCOMPARE(QDir(m_data->path() + QStringLiteral("/Lib")).entryList(QDir::Files), QStringList());

    // Characters outside Windows-1252 cannot be stored either.
    child<QLineEdit>(window, "Text2")->setText(QStringLiteral("Anna"));
    child<QLineEdit>(window, "Text3")->setText(QStringLiteral("08-1 ☎"));
    MessageBox::clearShown();
    child<QPushButton>(window, "Command5")->click();
    QCOMPARE(MessageBox::shown().size(), 1);
    QVERIFY(MessageBox::shown().last().text.contains(QStringLiteral("\"Telefon\"")));
    QVERIFY(!QFile::exists(lib(QStringLiteral("arenden.txt"))));
}

void TestCaseWindow::priorityColoursFollowTheSelection()
{
    frmArende *window = newCase();
    auto *box = child<QComboBox>(window, "cboPrio");
    QCOMPARE(box->currentText(), QStringLiteral("Normal"));
    box->setCurrentIndex(1);
    QCOMPARE(box->palette().color(QPalette::Button), QColor(255, 0, 0));
    QCOMPARE(box->palette().color(QPalette::ButtonText), QColor(255, 255, 255));
    box->setCurrentIndex(0);
    QCOMPARE(box->palette().color(QPalette::Button), QColor(255, 255, 255));
    QCOMPARE(box->palette().color(QPalette::ButtonText), QColor(0, 0, 0));
    QVERIFY(!box->isEditable());
}

void TestCaseWindow::closeAsksFirst()
{
    // Nothing typed yet: the plain closing question (work typed has its own, see
    // tst_leavecase).
    frmArende *window = newCase();
    child<QPushButton>(window, "Command4")->click(); // answered No
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown().last().title, QStringLiteral("Avsluta"));
    QCOMPARE(MessageBox::shown().last().text, QStringLiteral("Vill du avsluta programet ?"));
    QCOMPARE(MessageBox::shown().last().buttons, MessageBox::YesNo);
    QVERIFY(window->isVisible());

    MessageBox::setNextAnswer(MessageBox::AnswerYes);
    window->findChild<QAction *>(QStringLiteral("mnuStang"))->trigger();
    QVERIFY(!window->isVisible());
    QVERIFY(!QFile::exists(lib(QStringLiteral("arenden.txt"))));
}

void TestCaseWindow::newCaseIsRefusedWhileAnExistingCaseIsShown()
{
    auto *window = WindowRegistry::get<frmArende>();
    window->openExistingCase(CaseB);
    WindowRegistry::show<frmArende>();
    QTRY_COMPARE(MessageBox::shown().size(), 1); // B has no article file
    MessageBox::clearShown();
    QVERIFY(!window->findChild<QAction *>(QStringLiteral("mnuNy"))->isEnabled());

    // The overview's "Nytt" while B is still on the screen.
    window->prepareNewCase();
    QTRY_COMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown().last().title, QStringLiteral("Varning"));
    QCOMPARE(MessageBox::shown().last().text, QStringLiteral("Detta alternativ är ej tillgängligt!"));
    QCOMPARE(window->currentEntry(), CaseB);
    QVERIFY(!child<QPushButton>(window, "Command5")->isVisible());
    QVERIFY(child<QPushButton>(window, "Command6")->isVisible());
}

void TestCaseWindow::totals_data()
{
    QTest::addColumn<QStringList>("sums");
    QTest::addColumn<QString>("dbSum");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("info");
    QTest::addColumn<bool>("credit");
    QTest::newRow("no rows") << QStringList() << "0,00"
                             << " Att betala (Inkl): 0,00"
                             << "Att betala" << false;
    QTest::newRow("to pay") << QStringList { "25,00", "0,50" } << "25,50"
                            << " Att betala (Inkl): 25,50"
                            << "Att betala" << false;
    QTest::newRow("credit") << QStringList { "25,00", "-40,00" } << "-15,00"
                            << " Er tillgodo (Inkl): -15,00"
                            << "Er tillgodo" << true;
    QTest::newRow("exactly -1") << QStringList { "-1,00" } << "-1,00"
                                << " Er tillgodo (Inkl): -1,00"
                                << "Er tillgodo" << true;
    QTest::newRow("text is no number") << QStringList { "abc", "7,5", "" } << "7,50"
                                       << " Att betala (Inkl): 7,50"
                                       << "Att betala" << false;
    QTest::newRow("point is a decimal too") << QStringList { "2.5", "1" } << "3,50"
                                            << " Att betala (Inkl): 3,50"
                                            << "Att betala" << false;
}

void TestCaseWindow::totals()
{
    QFETCH(QStringList, sums);
    QFETCH(QString, dbSum);
    QFETCH(QString, status);
    QFETCH(QString, info);
    QFETCH(bool, credit);
    frmArende *window = newCase();
    for (const QString &sum : sums)
        window->addArticleRow(rowOf({ "1", "x", "1", "st", sum, sum }));
    // Current at once after the change, without waiting for any timer.
    QCOMPARE(text(window, "dbSum"), dbSum);
    QCOMPARE(text(window, "StatusBar1Text"), status);
    QCOMPARE(text(window, "lblSumInfo"), info);
    QCOMPARE(text(window, "StatusBar1Moms"), QString()); // no VAT rate in this folder
    const QString title = QStringLiteral("Kundärende - ") + text(window, "dbOrdernummer");
    QCOMPARE(window->windowTitle(), credit ? title + QStringLiteral("              *** KREDIT ***") : title);
}

void TestCaseWindow::totalBetweenMinusOneAndZeroKeepsDisplays()
{
    frmArende *window = newCase();
    window->addArticleRow(rowOf({ "1", "x", "1", "st", "-3,00", "-3,00" }));
    const QString creditTitle = window->windowTitle();
    QVERIFY(creditTitle.endsWith(QStringLiteral("*** KREDIT ***")));
    window->addArticleRow(rowOf({ "2", "y", "1", "st", "2,50", "2,50" }));
    QCOMPARE(text(window, "dbSum"), QStringLiteral("-0,50"));
    QCOMPARE(text(window, "StatusBar1Text"), QStringLiteral(" Er tillgodo (Inkl): -3,00"));
    QCOMPARE(text(window, "lblSumInfo"), QStringLiteral("Er tillgodo"));
    QCOMPARE(window->windowTitle(), creditTitle);
}

void TestCaseWindow::vatIsShownBesideTheStatusText()
{
    writeBytes(lib(QStringLiteral("CompanyInfo.ini")), "[Main]\r\nRad1=Verkstan\r\nMOMS=25\r\n");
    frmArende *window = newCase();
    window->addArticleRow(rowOf({ "1", "x", "1", "st", "479,00", "479,00" }));
    QCOMPARE(text(window, "StatusBar1Text"), QStringLiteral(" Att betala (Inkl): 479,00"));
    QCOMPARE(text(window, "StatusBar1Moms"), QStringLiteral("varav moms 25 %: 95,80 kr"));
    // A credit: the VAT of the credited amount.
    window->addArticleRow(rowOf({ "2", "y", "1", "st", "-629,00", "-629,00" }));
    QCOMPARE(text(window, "StatusBar1Moms"), QStringLiteral("varav moms 25 %: 30,00 kr"));
    // Between -1 and 0 every display keeps what it showed, the VAT text too.
    window->addArticleRow(rowOf({ "3", "z", "1", "st", "149,50", "149,50" }));
    QCOMPARE(text(window, "dbSum"), QStringLiteral("-0,50"));
    QCOMPARE(text(window, "StatusBar1Moms"), QStringLiteral("varav moms 25 %: 30,00 kr"));
    // VAT that rounds to 0,00 is not shown.
    window->addArticleRow(rowOf({ "4", "w", "1", "st", "0,52", "0,52" }));
    QCOMPARE(text(window, "dbSum"), QStringLiteral("0,02"));
    QCOMPARE(text(window, "StatusBar1Moms"), QString());
}

void TestCaseWindow::openingFillsTheWindow()
{
    writeBytes(lib(CaseA[ControlCode] + QStringLiteral("_ArtData.txt")),
        cp1252::encode(QStringLiteral("\"17\",\"Skruv, rostfri\",\"2\",\"st\",\"12,50\",\"25,00\"\r\n"
                                      "\"18\",\"Mutter\",\"4\",\"st\",\"1,00\",\"4,00\"\r\n"
                                      "\"19\",\"Bricka\",\"1\",\"st\",\"0,50\",\"0,50\"\r\n")));
    auto *window = WindowRegistry::get<frmArende>();
    session::signIn({ session::user().userId, QStringLiteral("Bertil Ström"), session::user().index });
    window->openExistingCase(CaseA);
    WindowRegistry::show<frmArende>();

    QCOMPARE(window->currentEntry(), CaseA);
    QCOMPARE(window->activeUser(), QStringLiteral("Anna Ek"));
    QCOMPARE(text(window, "appVer"), QStringLiteral("1"));
    QCOMPARE(window->windowTitle(), QStringLiteral("Kundärende - 101215 4711"));
    QCOMPARE(text(window, "lblOrderID_MSG"), QStringLiteral("Anna Andersson"));
    QVERIFY(!child<QPushButton>(window, "Command5")->isVisible());
    QVERIFY(child<QPushButton>(window, "Command6")->isVisible());
    QVERIFY(child<QPushButton>(window, "Command6")->isEnabled());
    QCOMPARE(window->articleRows().size(), 3);
    QCOMPARE(window->articleRows().at(0)[Description], QStringLiteral("Skruv, rostfri"));
    QCOMPARE(window->articleRows().at(2)[ArticleNumber], QStringLiteral("19"));
    QCOMPARE(text(window, "dbSum"), QStringLiteral("29,50"));
    auto *list = child<QTreeView>(window, "ListView1");
    QCOMPARE(list->model()->headerData(5, Qt::Horizontal).toString(), QStringLiteral("Summa"));
    QTest::qWait(20);
    QVERIFY(MessageBox::shown().isEmpty());
}

void TestCaseWindow::openingAnotherCaseReplacesTheFirst()
{
    writeBytes(lib(CaseA[ControlCode] + QStringLiteral("_ArtData.txt")),
        "\"17\",\"Skruv\",\"2\",\"st\",\"12,50\",\"25,00\"\r\n");
    writeBytes(lib(CaseB[ControlCode] + QStringLiteral("_ArtData.txt")),
        "\"90\",\"Kabel\",\"1\",\"m\",\"5,00\",\"5,00\"\r\n\"91\",\"Kontakt\",\"1\",\"st\",\"9,00\",\"9,"
        "00\"\r\n");
    auto *window = WindowRegistry::get<frmArende>();
    window->openExistingCase(CaseA);
    WindowRegistry::show<frmArende>();
    QCOMPARE(window->articleRows().size(), 1);

    WindowRegistry::get<frmArende>()->openExistingCase(CaseB);
    QCOMPARE(WindowRegistry::get<frmArende>(), window);
    QCOMPARE(window->currentEntry(), CaseB);
    QCOMPARE(window->windowTitle(), QStringLiteral("Kundärende - 110102 12"));
    QCOMPARE(window->articleRows().size(), 2);
    QCOMPARE(window->articleRows().at(0)[ArticleNumber], QStringLiteral("90"));
    QCOMPARE(child<QComboBox>(window, "cboPrio")->palette().color(QPalette::Button), QColor(255, 255, 255));
}

void TestCaseWindow::missingArticleFileLeavesCaseUsable()
{
    // Opened from the list: the register holds the case.
    QVERIFY(caseregister::rewrite(paths::caseRegister(), { CaseA }).ok());
    auto *window = WindowRegistry::get<frmArende>();
    window->openExistingCase(CaseA);
    WindowRegistry::show<frmArende>();
    QTRY_COMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown().last().title, QStringLiteral("Ärende"));
    QVERIFY(MessageBox::shown().last().text.contains(QStringLiteral("Artikelfilen saknas")));
    QCOMPARE(window->currentEntry(), CaseA);
    QCOMPARE(window->articleRows().size(), 0);
    QCOMPARE(text(window, "dbSum"), QStringLiteral("0,00"));

    // Rows can still be added; the file comes into being with the first one.
    window->stageRow(rowOf({ "5", "Lock", "1", "st", "3,00", "3,00" }));
    child<QPushButton>(window, "btnAdd")->click();
    QCOMPARE(readBytes(lib(CaseA[ControlCode] + QStringLiteral("_ArtData.txt"))),
        QByteArray("\"5\",\"Lock\",\"1\",\"st\",\"3,00\",\"3,00\"\r\n"));
    QCOMPARE(window->articleRows().size(), 1);
}

void TestCaseWindow::unknownPriorityIsKeptAndReported()
{
    writeBytes(lib(CaseA[ControlCode] + QStringLiteral("_ArtData.txt")), QByteArray());
    RegisterEntry odd = CaseA;
    odd[Priority] = QStringLiteral("Akut");
    odd[CaseStatus] = QString();
    auto *window = WindowRegistry::get<frmArende>();
    window->openExistingCase(odd);
    WindowRegistry::show<frmArende>();
    QTRY_COMPARE(MessageBox::shown().size(), 1);
    const QString message = MessageBox::shown().last().text;
    QVERIFY(message.contains(QStringLiteral("Akut")));
    QVERIFY(message.contains(QStringLiteral("Status")));
    QCOMPARE(window->currentEntry(), odd);
    QCOMPARE(child<QComboBox>(window, "cboPrio")->currentText(), QStringLiteral("Akut"));

    // The odd value goes once the window shows another case.
    window->openExistingCase(CaseB);
    QCOMPARE(child<QComboBox>(window, "cboPrio")->count(), 2);
    QCOMPARE(child<QComboBox>(window, "cboStat")->count(), 3);
}

void TestCaseWindow::updateAskedNoChangesNothing()
{
    auto *overview = WindowRegistry::get<frmArendeList>();
    auto *window = WindowRegistry::get<frmArende>();
    session::signIn({ session::user().userId, QStringLiteral("Bertil Ström"), session::user().index });
    window->openExistingCase(CaseA);
    WindowRegistry::show<frmArende>();
    QTRY_COMPARE(MessageBox::shown().size(), 1); // no article file
    MessageBox::clearShown();

    child<QPushButton>(window, "Command6")->click(); // answered No
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown().last().title, QStringLiteral("Bekräfta"));
    QCOMPARE(MessageBox::shown().last().text,
        QStringLiteral("Vill du uppdatera, författare (användare) Anna Ek till Bertil Ström?"));
    QCOMPARE(MessageBox::shown().last().icon, MessageBox::Information);
    QVERIFY(window->isVisible());
    QCOMPARE(window->activeUser(), QStringLiteral("Anna Ek"));
    QCOMPARE(window->sign(), QStringLiteral("Anna Ek"));
    QCOMPARE(overview->stagedEntry(), RegisterEntry());
    QTest::qWait(20);
    QVERIFY(!QFile::exists(lib(QStringLiteral("arenden.txt"))));
}

void TestCaseWindow::updateRefusesUnstorableValues()
{
    WindowRegistry::get<frmArendeList>();
    auto *window = WindowRegistry::get<frmArende>();
    session::signIn({ session::user().userId, QStringLiteral("Bertil Ström"), session::user().index });
    window->openExistingCase(CaseA);
    WindowRegistry::show<frmArende>();
    QTRY_COMPARE(MessageBox::shown().size(), 1);
    MessageBox::clearShown();
    child<QLineEdit>(window, "Text1")->setText(QStringLiteral("K\"17"));
    MessageBox::setNextAnswer(MessageBox::AnswerYes);
    child<QPushButton>(window, "Command6")->click();
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown().last().title, QStringLiteral("Uppdatera"));
    QVERIFY(MessageBox::shown().last().text.contains(QStringLiteral("\"Kundnummer\"")));
    QVERIFY(window->isVisible());
    QCOMPARE(window->sign(), QStringLiteral("Anna Ek"));
}

void TestCaseWindow::wholeControlCodeIsShown()
{
    // The widest letters the code can hold: the closing brace must still be on screen.
    RegisterEntry wide = CaseA;
    wide[ControlCode] = QStringLiteral("{DDDDDDDD-DDDD-4DDD-BDDD-DDDDDDDDDDDD}");
    auto *window = WindowRegistry::get<frmArende>();
    window->openExistingCase(wide);
    auto *code = child<QLabel>(window, "dbCode");
    QCOMPARE(code->text(), wide[ControlCode]);
    QVERIFY(QFontMetrics(code->font()).horizontalAdvance(code->text()) <= code->width());
}

void TestCaseWindow::caseWindowOpensWhereItWasClosed_data()
{
    // Where the window is closed (its size relative to the designed one), or a line put
    // into the file by hand; then whether it opens there and at which size.
    QTest::addColumn<QPoint>("closedAt");
    QTest::addColumn<QSize>("grownBy");
    QTest::addColumn<QByteArray>("handWritten");
    QTest::addColumn<bool>("placeUsed");
    QTest::addColumn<QSize>("opensGrownBy");
    QTest::newRow("grown") << QPoint(30, 20) << QSize(90, 40) << QByteArray() << true << QSize(90, 40);
    QTest::newRow("off every screen")
        << QPoint(5000, 3000) << QSize(90, 40) << QByteArray() << false << QSize(90, 40);
    QTest::newRow("below the designed size")
        << QPoint(30, 20) << QSize() << QByteArray("30, 20, 200, 100") << true << QSize(0, 0);
    QTest::newRow("not a place") << QPoint() << QSize() << QByteArray("30, 20, bred") << false << QSize(0, 0);
}

void TestCaseWindow::caseWindowOpensWhereItWasClosed()
{
    QFETCH(QPoint, closedAt);
    QFETCH(QSize, grownBy);
    QFETCH(QByteArray, handWritten);
    QFETCH(bool, placeUsed);
    QFETCH(QSize, opensGrownBy);
    const TemporaryHome home;
    frmArende *window = openCase(CaseA);
    const QSize design = window->size();
    QCOMPARE(window->minimumSize(), design);
    if (handWritten.isEmpty()) {
        window->setGeometry(QRect(closedAt, design + grownBy));
        window->close();
        QVERIFY(runUntil([]() { return !WindowRegistry::find<frmArende>(); }, 5000));
    } else {
        WindowRegistry::closeAll();
        QDir().mkpath(QFileInfo(desksettings::filePath()).path());
        writeBytes(desksettings::filePath(), "[Fonster]\nfrmArende=" + handWritten + "\n");
    }
    window = openCase(CaseA);
    QCOMPARE(window->size(), design + opensGrownBy);
    QCOMPARE(window->geometry().topLeft() == closedAt, placeUsed);
    QVERIFY(
        QGuiApplication::primaryScreen()->availableGeometry().contains(window->frameGeometry().topLeft()));
}

void TestCaseWindow::controlsAreNamedForAssistiveTechnology_data()
{
    QTest::addColumn<QString>("object");
    QTest::addColumn<QString>("name"); // how the name begins
    QTest::addColumn<int>("role");
    QTest::newRow("Prioritet") << "cboPrio"
                               << "Prioritet" << int(QAccessible::ComboBox);
    QTest::newRow("Status") << "cboStat"
                            << "Status" << int(QAccessible::ComboBox);
    QTest::newRow("Historik") << "frmHistorik"
                              << "Historik - " << int(QAccessible::Window);
    QTest::newRow("Kunder") << "frmKunder"
                            << "Kunder" << int(QAccessible::Window);
}

void TestCaseWindow::controlsAreNamedForAssistiveTechnology()
{
    QFETCH(QString, object);
    QFETCH(QString, name);
    QFETCH(int, role);
    frmArende *caseWindow = openCase(CaseA);
    // The entry chosen is what a box holds, not what it is called.
    for (auto *box : caseWindow->findChildren<QComboBox *>())
        box->setCurrentIndex(1);
    child<QAction>(caseWindow, "mnuHistorik")->trigger();
    WindowRegistry::show<frmKunder>();
    QObject *target = caseWindow->findChild<QObject *>(object);
    for (QWidget *window : QApplication::topLevelWidgets())
        target = window->objectName() == object ? window : target;
    QAccessibleInterface *described = QAccessible::queryAccessibleInterface(target);
    QVERIFY(target && described);
    QVERIFY2(
        described->text(QAccessible::Name).startsWith(name), qPrintable(described->text(QAccessible::Name)));
    QCOMPARE(int(described->role()), role);
}

QTEST_MAIN(TestCaseWindow)
#include "tst_casewindow.moc"
