// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/caselistmodel.h"
#include "gui/casesortproxy.h"
#include "gui/frmArende.h"
#include "gui/frmArendeList.h"
#include "gui/frmKundData.h"
#include "gui/messagebox.h"
#include "gui/windowregistry.h"
#include "storage/caseregister.h"
#include "storage/datafolder.h"
#include "storage/session.h"
#include "storage/swedishtext.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

using namespace lunora;

namespace {

const QString CodeA = QStringLiteral("{AAAAAAAA-0000-4000-8000-000000000001}");
const QString CodeB = QStringLiteral("{BBBBBBBB-0000-4000-8000-000000000002}");
const QString CodeC = QStringLiteral("{CCCCCCCC-0000-4000-8000-000000000003}");

RegisterEntry entryA()
{
    return { "201105 12", "2020-11-05", "1001", "Öberg", "0701-111", "Normal", "Nytt ärende", CodeA, "Anna" };
}
RegisterEntry entryB()
{
    return { "201106 3", "2020-11-06", "99", "andersson", "0702-222", "Brådskande", "Under behandling", CodeB,
        "Bertil" };
}
RegisterEntry entryC()
{
    return { "201107 10", "2020-11-07", "100", "Zetterlund", "0703-333", "Normal", "Avslutad", CodeC,
        "Anna" };
}

RegisterEntry entryNamed(const QString &name, const QString &code)
{
    return { "201201 1", "2020-12-01", "7", name, "0709", "Normal", "Nytt ärende", code, "Cecilia" };
}

// The register as the case window writes it (plain) mixed with lines of earlier
// rewrites (quoted), in Windows-1252.
const QByteArray MixedRegister
    = "201105 12,2020-11-05,1001,\xD6"
      "berg,0701-111,Normal,Nytt \xE4rende,"
      "{AAAAAAAA-0000-4000-8000-000000000001},Anna\r\n"
      "\"201106 3\",\"2020-11-06\",\"99\",\"andersson\",\"0702-222\",\"Br\xE5"
      "dskande\","
      "\"Under behandling\",\"{BBBBBBBB-0000-4000-8000-000000000002}\",\"Bertil\"\r\n"
      "201107 10,2020-11-07,100,Zetterlund,0703-333,Normal,Avslutad,"
      "{CCCCCCCC-0000-4000-8000-000000000003},Anna\r\n";

const QByteArray QuotedA = "\"201105 12\",\"2020-11-05\",\"1001\",\"\xD6"
                           "berg\",\"0701-111\",\"Normal\","
                           "\"Nytt \xE4rende\",\"{AAAAAAAA-0000-4000-8000-000000000001}\",\"Anna\"\r\n";
const QByteArray QuotedB = "\"201106 3\",\"2020-11-06\",\"99\",\"andersson\",\"0702-222\",\"Br\xE5"
                           "dskande\","
                           "\"Under behandling\",\"{BBBBBBBB-0000-4000-8000-000000000002}\",\"Bertil\"\r\n";
const QByteArray QuotedC = "\"201107 10\",\"2020-11-07\",\"100\",\"Zetterlund\",\"0703-333\",\"Normal\","
                           "\"Avslutad\",\"{CCCCCCCC-0000-4000-8000-000000000003}\",\"Anna\"\r\n";

QStringList names(const frmArendeList *window)
{
    QStringList result;
    for (const RegisterEntry &entry : window->entriesInViewOrder())
        result.append(entry[CustomerName]);
    return result;
}

} // namespace

class TestOverview : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void listSortAgreesWithSwedishOrder();
    void loadShowsEveryRowAndTheCount();
    void emptyRegisterDisablesCommandsAndLogsTheLoad();
    void damagedRegistersStillLoad_data();
    void damagedRegistersStillLoad();
    void headerClicksReverseOneListWideDirection();
    void rowsAddedLaterTakeTheirSortedPlace();
    void addAndDelActionsWriteTheRegister();
    void replaceTakesOutTheStagedCaseNotTheSelection();
    void deferredRefreshRereadsTheRegister();
    void failedWritesReportAndKeepTheRegister();
    void removalAfterConfirmation();
    void removalAnsweredNoChangesNothing();
    void removalWithMissingArticleFileAndAfterSort();
    void removalAfterAddsKeepsTheSortedOrder();
    void removalOfTheLastCaseDisablesCommands();
    void removalThatCannotRewriteReports();
    void rowClickSetsHeaderAndCustomerEntry();
    void dataMenuFollowsAuthorityIndex_data();
    void dataMenuFollowsAuthorityIndex();
    void newAndChangeOpenTheCaseWindow();
    void closingLeavesNoInvisibleWindows();

private:
    void writeRegister(const QByteArray &bytes);
    QByteArray readRegister() const;
    void touchCaseFiles(const QString &code, bool withArticles = true);
    bool caseFileExists(const QString &code, const char *suffix) const;
    frmArendeList *openOverview(const QByteArray &registerBytes);
    void clickRow(frmArendeList *window, int viewRow);
    void clickHeader(frmArendeList *window, int column);

    std::unique_ptr<QTemporaryDir> m_root;
};

void TestOverview::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Swedish, QLocale::Sweden));
    QApplication::setQuitOnLastWindowClosed(false);
    MessageBox::setAutomaticAnswers(true);
}

void TestOverview::init()
{
    m_root = std::make_unique<QTemporaryDir>();
    QVERIFY(m_root->isValid());
    QDir root(m_root->path());
    QVERIFY(root.mkpath(QStringLiteral("Lib/User")));
    QVERIFY(root.mkpath(QStringLiteral("Errors")));
    DataFolder::setRoot(m_root->path());
    MessageBox::setAutomaticAnswers(true);
    MessageBox::clearShown();
}

void TestOverview::cleanup()
{
    WindowRegistry::closeAll();
    session::signOut();
    DataFolder::setRoot(QString());
    m_root.reset();
}

void TestOverview::writeRegister(const QByteArray &bytes)
{
    QFile file(m_root->filePath(QStringLiteral("Lib/arenden.txt")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray TestOverview::readRegister() const
{
    QFile file(m_root->filePath(QStringLiteral("Lib/arenden.txt")));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return file.readAll();
}

void TestOverview::touchCaseFiles(const QString &code, bool withArticles)
{
    QFile data(m_root->filePath(QStringLiteral("Lib/") + code + QStringLiteral("_eData.ini")));
    QVERIFY(data.open(QIODevice::WriteOnly));
    data.write("[Main]\r\n");
    if (withArticles) {
        QFile articles(m_root->filePath(QStringLiteral("Lib/") + code + QStringLiteral("_ArtData.txt")));
        QVERIFY(articles.open(QIODevice::WriteOnly));
        articles.write("\"1\",\"Skruv\",\"2\",\"st\",\"1,00\",\"2,00\"\r\n");
    }
}

bool TestOverview::caseFileExists(const QString &code, const char *suffix) const
{
    return QFile::exists(m_root->filePath(QStringLiteral("Lib/") + code + QLatin1String(suffix)));
}

frmArendeList *TestOverview::openOverview(const QByteArray &registerBytes)
{
    writeRegister(registerBytes);
    auto *window = WindowRegistry::get<frmArendeList>();
    WindowRegistry::show<frmArendeList>();
    if (!QTest::qWaitForWindowExposed(window))
        qWarning("overview not exposed");
    return window;
}

void TestOverview::clickRow(frmArendeList *window, int viewRow)
{
    QTableView *list = window->listView();
    const QRect rect = list->visualRect(list->model()->index(viewRow, 0));
    QVERIFY(rect.isValid());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

void TestOverview::clickHeader(frmArendeList *window, int column)
{
    QHeaderView *header = window->listView()->horizontalHeader();
    const QPoint at(
        header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

void TestOverview::listSortAgreesWithSwedishOrder()
{
    // The list sorts many rows by packed keys; they must put rows in the same order as
    // the comparison used for single rows added later, in both directions, keeping
    // equal texts in register order.
    const QStringList texts = { "Öberg", "andersson", "Andersson", "Zorn", "Åberg", "Ärlig", "10", "9", "",
        "Ék", "Ek", "ek", "Müller", "Myz", "Mya", "Ann Berg", "Anna", "a-b", "a b", "Éva", "x\u2013y", "x-y",
        "Ægir", "Øst", "Ångström", "ångström", "Andersson", "ß", "ss", "\u4E2D", "\u0416uk", "\u20AC5", "#1",
        "1#" };
    QList<RegisterEntry> entries;
    for (const QString &text : texts) {
        RegisterEntry entry;
        entry[CustomerName] = text;
        entry[CaseNumber] = QString::number(entries.size());
        entries.append(entry);
    }
    CaseListModel model;
    model.setEntries(entries);
    CaseSortProxy proxy;
    proxy.setCaseModel(&model);
    for (const Qt::SortOrder order : { Qt::AscendingOrder, Qt::DescendingOrder }) {
        QList<RegisterEntry> expected = entries;
        std::stable_sort(
            expected.begin(), expected.end(), [order](const RegisterEntry &a, const RegisterEntry &b) {
                return order == Qt::AscendingOrder ? compareSwedish(a[CustomerName], b[CustomerName]) < 0
                                                   : compareSwedish(b[CustomerName], a[CustomerName]) < 0;
            });
        proxy.sortBy(CustomerName, order);
        QCOMPARE(proxy.entriesInViewOrder(), expected);
    }
}

void TestOverview::loadShowsEveryRowAndTheCount()
{
    auto *window = openOverview(MixedRegister);
    QCOMPARE(window->rowCount(), 3);
    QCOMPARE(window->statusText(), QStringLiteral(" Ärenden: 3 st"));
    // File order, plain and quoted lines alike, no quotes shown.
    QCOMPARE(window->entryAt(0), entryA());
    QCOMPARE(window->entryAt(1), entryB());
    QCOMPARE(window->entryAt(2), entryC());
    QCOMPARE(window->sortColumn(), -1);

    // The first row is current and selected after the load.
    QTableView *list = window->listView();
    QCOMPARE(list->currentIndex().row(), 0);
    QVERIFY(list->selectionModel()->isRowSelected(0, {}));
    QVERIFY(window->findChild<QPushButton *>(QStringLiteral("Command2"))->isEnabled());
    QVERIFY(window->findChild<QPushButton *>(QStringLiteral("Command3"))->isEnabled());
    QVERIFY(window->findChild<QAction *>(QStringLiteral("mnuSkrivUt"))->isEnabled());

    // The list exposes its column captions, and the window its caption.
    QCOMPARE(window->windowTitle(), QStringLiteral("Ärenden [Översikt]"));
    const QStringList expected = { "Ärende nr", "Skapad", "Kund nr", "Namn", "Telefon", "Prioritet", "Status",
        "Kontrollnummer", "Signatur" };
    for (int column = 0; column < expected.size(); ++column)
        QCOMPARE(list->model()->headerData(column, Qt::Horizontal).toString(), expected.at(column));

    // A loaded register writes nothing to the error log.
    QVERIFY(!QFile::exists(m_root->filePath(QStringLiteral("Errors/Error.txt"))));
}

void TestOverview::emptyRegisterDisablesCommandsAndLogsTheLoad()
{
    auto *window = openOverview(QByteArray());
    QCOMPARE(window->rowCount(), 0);
    QCOMPARE(window->statusText(), QStringLiteral(" Ärenden: 0 st"));
    QVERIFY(!window->findChild<QPushButton *>(QStringLiteral("Command2"))->isEnabled());
    QVERIFY(!window->findChild<QPushButton *>(QStringLiteral("Command3"))->isEnabled());
    QVERIFY(!window->findChild<QAction *>(QStringLiteral("mnuSkrivUt"))->isEnabled());
    QVERIFY(window->findChild<QPushButton *>(QStringLiteral("Command1"))->isEnabled());

    QFile log(m_root->filePath(QStringLiteral("Errors/Error.txt")));
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QString text = QStringDecoder("windows-1252").decode(log.readAll());
    static const QRegularExpression entry(
        QStringLiteral("^\\d{4}-\\d{2}-\\d{2}, kl\\. \\d{2}:\\d{2}:\\d{2} {16}Fel vid inläsning, information "
                       "saknas\\.{4}\r\n\r\n$"));
    QVERIFY2(entry.match(text).hasMatch(), qPrintable(text));

    // A register added later shows up with the next refresh; the buttons follow.
    writeRegister(QuotedA);
    window->refresh();
    QCOMPARE(window->statusText(), QStringLiteral(" Ärenden: 1 st"));
    QVERIFY(window->findChild<QPushButton *>(QStringLiteral("Command2"))->isEnabled());
}

void TestOverview::damagedRegistersStillLoad_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("exists");
    QTest::newRow("missing") << QByteArray() << false;
    QTest::newRow("truncated mid-line") << QByteArray(QuotedA + "\"201106 3\",\"2020-11-0") << true;
    QTest::newRow("too few fields") << QByteArray("a,b,c\r\n" + QuotedB) << true;
    QTest::newRow("too many fields") << QByteArray("a,b,c,d,e,f,g,h,i,j,k\r\n" + QuotedC) << true;
    QTest::newRow("no final line end") << QByteArray(QuotedA + QuotedB.chopped(2)) << true;
}

void TestOverview::damagedRegistersStillLoad()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, exists);
    if (exists)
        writeRegister(bytes);
    auto *window = WindowRegistry::get<frmArendeList>();
    // The list holds what the register reader makes of the file, and the count says so.
    const QList<RegisterEntry> expected = caseregister::parse(bytes);
    QCOMPARE(window->entriesInViewOrder(), expected);
    QCOMPARE(window->statusText(), QStringLiteral(" Ärenden: %1 st").arg(expected.size()));
    QCOMPARE(QFile::exists(m_root->filePath(QStringLiteral("Lib/arenden.txt"))), exists);
}

void TestOverview::headerClicksReverseOneListWideDirection()
{
    auto *window = openOverview(MixedRegister);
    QHeaderView *header = window->listView()->horizontalHeader();

    clickHeader(window, CustomerName); // first click: descending
    QCOMPARE(names(window), QStringList({ "Öberg", "Zetterlund", "andersson" }));
    QCOMPARE(header->sortIndicatorSection(), int(CustomerName));
    QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);

    // One direction for the whole list: a click on another column reverses it too.
    clickHeader(window, Created);
    QCOMPARE(window->sortColumn(), int(Created));
    QCOMPARE(window->sortOrder(), Qt::AscendingOrder);
    QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
    QCOMPARE(names(window), QStringList({ "Öberg", "andersson", "Zetterlund" }));

    clickHeader(window, CustomerName);
    QCOMPARE(names(window), QStringList({ "Öberg", "Zetterlund", "andersson" }));
    clickHeader(window, CustomerName);
    QCOMPARE(names(window), QStringList({ "andersson", "Zetterlund", "Öberg" }));
    QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);

    // Customer numbers compare as text: "100" < "1001" < "99".
    window->sortListView(CustomerNumber);
    window->sortListView(CustomerNumber);
    QCOMPARE(window->sortOrder(), Qt::AscendingOrder);
    QCOMPARE(window->entryAt(0)[CustomerNumber], QStringLiteral("100"));
    QCOMPARE(window->entryAt(1)[CustomerNumber], QStringLiteral("1001"));
    QCOMPARE(window->entryAt(2)[CustomerNumber], QStringLiteral("99"));

    // Rows with equal texts stand in register order, whatever was sorted before.
    window->sortListView(Priority); // descending: "Normal" before "Brådskande"
    QCOMPARE(window->sortOrder(), Qt::DescendingOrder);
    QCOMPARE(names(window), QStringList({ "Öberg", "Zetterlund", "andersson" }));
    clickHeader(window, CustomerName); // ascending by name: Zetterlund before Öberg
    QCOMPARE(names(window), QStringList({ "andersson", "Zetterlund", "Öberg" }));
    clickHeader(window, Priority); // descending: the two "Normal" rows in register order
    QCOMPARE(names(window), QStringList({ "Öberg", "Zetterlund", "andersson" }));

    // Sorting never touches the register.
    QCOMPARE(readRegister(), MixedRegister);
}

void TestOverview::rowsAddedLaterTakeTheirSortedPlace()
{
    auto *window = openOverview(MixedRegister);
    window->sortListView(CustomerName);
    window->sortListView(CustomerName); // ascending by name

    window->stageEntry(entryNamed("Bengtsson", "{D}"));
    window->findChild<QPushButton *>(QStringLiteral("btnadd"))->click();
    window->stageEntry(entryNamed("Åberg", "{E}"));
    window->findChild<QPushButton *>(QStringLiteral("btnadd"))->click();
    QCOMPARE(names(window), QStringList({ "andersson", "Bengtsson", "Zetterlund", "Åberg", "Öberg" }));
    // The add action leaves the count to the next refresh.
    QCOMPARE(window->statusText(), QStringLiteral(" Ärenden: 3 st"));

    // A refresh keeps the sort, and holds exactly one row per register line.
    window->refresh();
    QCOMPARE(window->statusText(), QStringLiteral(" Ärenden: 5 st"));
    QCOMPARE(names(window), QStringList({ "andersson", "Bengtsson", "Zetterlund", "Åberg", "Öberg" }));
    QCOMPARE(window->listView()->currentIndex().row(), 0);
}

void TestOverview::addAndDelActionsWriteTheRegister()
{
    auto *window = openOverview(MixedRegister);

    window->stageEntry(entryNamed("Bo Ek", "{D}"));
    window->findChild<QPushButton *>(QStringLiteral("btnadd"))->click();
    const QByteArray addedLine = "\"201201 1\",\"2020-12-01\",\"7\",\"Bo Ek\",\"0709\",\"Normal\","
                                 "\"Nytt \xE4rende\",\"{D}\",\"Cecilia\"\r\n";
    QCOMPARE(readRegister(), MixedRegister + addedLine);
    QCOMPARE(window->rowCount(), 4);
    QCOMPARE(window->entryAt(3), entryNamed("Bo Ek", "{D}"));

    // The del action takes out the selected row and rewrites every line quoted.
    clickRow(window, 1);
    window->findChild<QPushButton *>(QStringLiteral("btndel"))->click();
    QCOMPARE(readRegister(), QuotedA + QuotedC + addedLine);
    QCOMPARE(window->rowCount(), 3);

    // With nothing selected it does nothing at all.
    window->listView()->selectionModel()->clearSelection();
    writeRegister(MixedRegister);
    window->findChild<QPushButton *>(QStringLiteral("btndel"))->click();
    QCOMPARE(readRegister(), MixedRegister);
    QVERIFY(MessageBox::shown().isEmpty());
}

void TestOverview::replaceTakesOutTheStagedCaseNotTheSelection()
{
    auto *window = openOverview(MixedRegister);
    clickRow(window, 0); // the user looks at another case meanwhile

    RegisterEntry changed = entryC();
    changed[CustomerName] = QStringLiteral("Zetterlund Ek");
    changed[Signature] = QStringLiteral("Bertil");
    window->stageEntry(changed);
    window->startReplace();
    QTRY_COMPARE(window->rowCount(), 3);
    QTRY_COMPARE(window->entryAt(2), changed);
    QCOMPARE(window->entryAt(0), entryA());
    QCOMPARE(window->entryAt(1), entryB());
    const QByteArray changedLine
        = "\"201107 10\",\"2020-11-07\",\"100\",\"Zetterlund Ek\",\"0703-333\","
          "\"Normal\",\"Avslutad\",\"{CCCCCCCC-0000-4000-8000-000000000003}\",\"Bertil\"\r\n";
    QCOMPARE(readRegister(), QuotedA + QuotedB + changedLine);
    QVERIFY(MessageBox::shown().isEmpty());
}

void TestOverview::deferredRefreshRereadsTheRegister()
{
    auto *window = openOverview(QuotedA);
    writeRegister(MixedRegister);
    window->startRefresh();
    QTRY_COMPARE(window->statusText(), QStringLiteral(" Ärenden: 3 st"));
    QCOMPARE(window->entriesInViewOrder(), QList<RegisterEntry>({ entryA(), entryB(), entryC() }));

    // The menu entry does the same.
    writeRegister(QuotedB);
    window->findChild<QAction *>(QStringLiteral("mnuUppdatera"))->trigger();
    QCOMPARE(window->statusText(), QStringLiteral(" Ärenden: 1 st"));
}

void TestOverview::failedWritesReportAndKeepTheRegister()
{
    auto *window = openOverview(MixedRegister);
    QDir root(m_root->path());
    // Lib taken away: neither the append nor the rewrite can reach the register.
    QVERIFY(root.rename(QStringLiteral("Lib"), QStringLiteral("Lib.away")));

    window->stageEntry(entryNamed("Bo Ek", "{D}"));
    window->findChild<QPushButton *>(QStringLiteral("btnadd"))->click();
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown().last().title, QStringLiteral("Uppdatering"));
    QCOMPARE(MessageBox::shown().last().text, QStringLiteral("Det blev något fel"));
    QCOMPARE(MessageBox::shown().last().icon, MessageBox::Exclamation);
    QCOMPARE(window->rowCount(), 3); // nothing appended, nothing added

    clickRow(window, 1);
    window->findChild<QPushButton *>(QStringLiteral("btndel"))->click();
    QCOMPARE(MessageBox::shown().size(), 2);
    QCOMPARE(MessageBox::shown().last().title, QStringLiteral("Uppdatering"));

    QVERIFY(root.rename(QStringLiteral("Lib.away"), QStringLiteral("Lib")));
    QCOMPARE(readRegister(), MixedRegister);

    // A refresh that cannot read the register keeps the list it has, so that a later
    // rewrite cannot drop every case.
    QVERIFY(root.rename(QStringLiteral("Lib/arenden.txt"), QStringLiteral("Lib/arenden.moved")));
    QVERIFY(root.mkdir(QStringLiteral("Lib/arenden.txt")));
    const int before = window->rowCount();
    window->refresh();
    QCOMPARE(window->rowCount(), before);
}

void TestOverview::removalAfterConfirmation()
{
    auto *window = openOverview(MixedRegister);
    touchCaseFiles(CodeB);
    touchCaseFiles(CodeC);
    clickRow(window, 1);

    MessageBox::setNextAnswer(MessageBox::AnswerYes);
    window->findChild<QPushButton *>(QStringLiteral("Command3"))->click();

    const auto &shown = MessageBox::shown();
    QCOMPARE(shown.size(), 2);
    QCOMPARE(shown.at(0).title, QStringLiteral("Bekräfta"));
    QCOMPARE(shown.at(0).text,
        QStringLiteral("Är det säkert att du vill ta bort följande ärende: 201106 3 ?\r\n\r\n"
                       "Denna åtgärd går ej att backa, all data kommer att raderas!"));
    QCOMPARE(shown.at(0).buttons, MessageBox::YesNo);
    QCOMPARE(shown.at(0).icon, MessageBox::Exclamation);
    QCOMPARE(shown.at(1).title, QStringLiteral("Bekräftelse"));
    QCOMPARE(
        shown.at(1).text, QStringLiteral("Ärende: {BBBBBBBB-0000-4000-8000-000000000002} är makulerad!"));
    QCOMPARE(shown.at(1).icon, MessageBox::Information);

    QVERIFY(!caseFileExists(CodeB, "_eData.ini"));
    QVERIFY(!caseFileExists(CodeB, "_ArtData.txt"));
    QVERIFY(caseFileExists(CodeC, "_eData.ini")); // only the confirmed case's files
    QCOMPARE(window->entriesInViewOrder(), QList<RegisterEntry>({ entryA(), entryC() }));
    QCOMPARE(readRegister(), QuotedA + QuotedC);
    QCOMPARE(window->statusText(), QStringLiteral(" Ärenden: 3 st")); // until the next refresh
}

void TestOverview::removalAnsweredNoChangesNothing()
{
    auto *window = openOverview(MixedRegister);
    touchCaseFiles(CodeA);
    MessageBox::setNextAnswer(MessageBox::AnswerNo);
    window->findChild<QPushButton *>(QStringLiteral("Command3"))->click();
    QCOMPARE(MessageBox::shown().size(), 1);
    QVERIFY(caseFileExists(CodeA, "_eData.ini"));
    QVERIFY(caseFileExists(CodeA, "_ArtData.txt"));
    QCOMPARE(window->rowCount(), 3);
    QCOMPARE(readRegister(), MixedRegister);
}

void TestOverview::removalWithMissingArticleFileAndAfterSort()
{
    auto *window = openOverview(MixedRegister);
    touchCaseFiles(CodeC, false);
    window->sortListView(CustomerName);
    window->sortListView(CustomerName); // andersson, Zetterlund, Öberg
    clickRow(window, 1);
    QCOMPARE(window->headerText(), QStringLiteral("100, Zetterlund"));

    MessageBox::setNextAnswer(MessageBox::AnswerYes);
    window->findChild<QPushButton *>(QStringLiteral("Command3"))->click();
    QCOMPARE(MessageBox::shown().size(), 2); // the question and the notice, nothing else
    QVERIFY(!caseFileExists(CodeC, "_eData.ini"));
    QCOMPARE(names(window), QStringList({ "andersson", "Öberg" }));
    QCOMPARE(readRegister(), QuotedB + QuotedA); // stored in the sorted order
}

void TestOverview::removalAfterAddsKeepsTheSortedOrder()
{
    // The list hands its order to the rewrite as views into the table it loaded; a row
    // it added itself goes as a copy of its key.
    auto *window = openOverview(MixedRegister);
    touchCaseFiles(CodeC, false);
    window->sortListView(CustomerName);
    window->sortListView(CustomerName); // andersson, Zetterlund, Öberg
    const RegisterEntry added = entryNamed("Bengtsson", "{D}");
    window->stageEntry(added);
    window->findChild<QPushButton *>(QStringLiteral("btnadd"))->click();
    clickRow(window, 2);
    QCOMPARE(window->headerText(), QStringLiteral("100, Zetterlund"));

    MessageBox::setNextAnswer(MessageBox::AnswerYes);
    window->findChild<QPushButton *>(QStringLiteral("Command3"))->click();
    QCOMPARE(names(window), QStringList({ "andersson", "Bengtsson", "Öberg" }));
    QCOMPARE(readRegister(), QuotedB + caseregister::formatQuoted(added) + QuotedA);
}

void TestOverview::removalOfTheLastCaseDisablesCommands()
{
    auto *window = openOverview(QuotedA);
    touchCaseFiles(CodeA);
    MessageBox::setNextAnswer(MessageBox::AnswerYes);
    window->findChild<QPushButton *>(QStringLiteral("Command3"))->click();
    QCOMPARE(window->rowCount(), 0);
    QCOMPARE(readRegister(), QByteArray());
    QVERIFY(!caseFileExists(CodeA, "_eData.ini"));
    QVERIFY(!window->findChild<QPushButton *>(QStringLiteral("Command2"))->isEnabled());
    QVERIFY(!window->findChild<QPushButton *>(QStringLiteral("Command3"))->isEnabled());
    QVERIFY(!window->findChild<QAction *>(QStringLiteral("mnuSkrivUt"))->isEnabled());
    QCOMPARE(window->statusText(), QStringLiteral(" Ärenden: 1 st"));

    // With no row left, the buttons' actions do nothing.
    MessageBox::clearShown();
    window->findChild<QAction *>(QStringLiteral("mnuKunddata"))->trigger();
    QVERIFY(MessageBox::shown().isEmpty());
    QVERIFY(!WindowRegistry::find<frmKundData>());
}

void TestOverview::removalThatCannotRewriteReports()
{
    // The register's folder is replaced by one without it: the rewrite has nowhere to go.
    auto *window = openOverview(MixedRegister);
    QDir root(m_root->path());
    QVERIFY(root.rename(QStringLiteral("Lib"), QStringLiteral("Lib.away")));
    MessageBox::setNextAnswer(MessageBox::AnswerYes);
    window->findChild<QPushButton *>(QStringLiteral("Command3"))->click();
    // The question and the failure; no "makulerad" notice for a case still there.
    QCOMPARE(MessageBox::shown().size(), 2);
    QCOMPARE(MessageBox::shown().last().title, QStringLiteral("Ta bort ärende!"));
    QCOMPARE(MessageBox::shown().last().text, QStringLiteral("Det blev något fel"));
    QCOMPARE(MessageBox::shown().last().icon, MessageBox::Exclamation);
    QVERIFY(root.rename(QStringLiteral("Lib.away"), QStringLiteral("Lib")));
    QCOMPARE(readRegister(), MixedRegister);
}

void TestOverview::rowClickSetsHeaderAndCustomerEntry()
{
    auto *window = openOverview(MixedRegister);
    auto *customer = window->findChild<QAction *>(QStringLiteral("mnuKunddata"));
    QVERIFY(customer);
    QVERIFY(!customer->isEnabled());
    QCOMPARE(customer->text(), QString());
    QCOMPARE(customer->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_D));

    clickRow(window, 2);
    QCOMPARE(window->headerText(), QStringLiteral("100, Zetterlund"));
    QVERIFY(customer->isEnabled());
    QCOMPARE(customer->text(), QStringLiteral("Visa kunddata.."));

    // Empty space below the rows: the entry is disabled, the header stays.
    QTableView *list = window->listView();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(20, list->viewport()->height() - 5));
    QVERIFY(!customer->isEnabled());
    QCOMPARE(window->headerText(), QStringLiteral("100, Zetterlund"));
    QCOMPARE(list->currentIndex().row(), 2);
    QVERIFY(!list->selectionModel()->hasSelection());

    // The right button opens the popup for the row under the mouse.
    auto *popup = window->findChild<QMenu *>(QStringLiteral("mnuPop1"));
    QTest::mousePress(
        list->viewport(), Qt::RightButton, {}, list->visualRect(list->model()->index(1, 0)).center());
    QTRY_VERIFY(popup->isVisible());
    QCOMPARE(window->headerText(), QStringLiteral("99, andersson"));
    QVERIFY(customer->isEnabled());
    popup->hide();
}

void TestOverview::dataMenuFollowsAuthorityIndex_data()
{
    QTest::addColumn<QString>("index");
    QTest::addColumn<bool>("shown");
    QTest::newRow("administrator") << "0" << true;
    QTest::newRow("normal user") << "9" << false;
    QTest::newRow("damaged") << "x" << false;
    QTest::newRow("nobody signed in") << "" << false;
}

void TestOverview::dataMenuFollowsAuthorityIndex()
{
    QFETCH(QString, index);
    QFETCH(bool, shown);
    // Only an administrator gets it; any other index, a damaged or empty one included,
    // hides it.
    session::signIn({ QStringLiteral("anna"), QStringLiteral("Anna Ek"), index });
    auto *window = openOverview(MixedRegister);
    auto *data = window->findChild<QMenu *>(QStringLiteral("mnuData"));
    QVERIFY(data);
    QCOMPARE(data->menuAction()->isVisible(), shown);
}

void TestOverview::newAndChangeOpenTheCaseWindow()
{
    auto *window = openOverview(MixedRegister);
    clickRow(window, 1);
    window->findChild<QPushButton *>(QStringLiteral("Command2"))->click();
    auto *caseWindow = WindowRegistry::find<frmArende>();
    QVERIFY(caseWindow);
    QVERIFY(caseWindow->isVisible());
    QCOMPARE(caseWindow->controlCode(), CodeB);

    window->findChild<QPushButton *>(QStringLiteral("Command1"))->click();
    QCOMPARE(WindowRegistry::find<frmArende>(), caseWindow); // one case window
    QVERIFY(caseWindow->isVisible());
}

void TestOverview::closingLeavesNoInvisibleWindows()
{
    auto *window = openOverview(MixedRegister);
    QPointer<frmArende> hiddenCase = WindowRegistry::get<frmArende>();
    QVERIFY(!hiddenCase->isVisible());
    window->findChild<QPushButton *>(QStringLiteral("Command4"))->click();
    QTRY_VERIFY(hiddenCase.isNull());
    QTRY_VERIFY(!WindowRegistry::find<frmArendeList>());
}

QTEST_MAIN(TestOverview)
#include "tst_overview.moc"
