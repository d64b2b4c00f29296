// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// Article rows of a case: the article entry window, adding, changing and removing rows,
// and the article file that follows the list at every change.

#include "gui/frmAddProd.h"
#include "gui/frmArende.h"
#include "gui/messagebox.h"
#include "gui/windowregistry.h"
#include "storage/cp1252.h"
#include "support_guifixture.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

using namespace lunora;
using namespace lunora::test;

namespace {

QLineEdit *field(frmAddProd *window, int index)
{
    return child<QLineEdit>(window, QStringLiteral("Text%1").arg(index + 1).toLatin1().constData());
}

QByteArray line(const char *a, const char *b, const char *c, const char *d, const char *e, const char *f)
{
    return QByteArray("\"") + a + "\",\"" + b + "\",\"" + c + "\",\"" + d + "\",\"" + e + "\",\"" + f
        + "\"\r\n";
}

} // namespace

class TestArticles final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void sumFollowsQuantityAndPrice_data();
    void sumFollowsQuantityAndPrice();
    void addModeAndTabOrder();
    void addedRowGoesToFileAndList();
    void changedRowMovesToTheEnd();
    void changeReplacesTheRowItWasOpenedFor();
    void addInChangeModeKeepsTheSelectedRow();
    void removeAsksAndRewritesTheFile();
    void rowButtonsWithoutSelectionDoNothing();
    void failedAddKeepsTheWindow();
    void quoteIsRefusedBeforeWriting();
    void closingTheCaseWindowClosesTheArticleWindow();

private:
    frmArende *newCase();
    frmAddProd *openAdd(frmArende *caseWindow);
    void addThroughWindow(frmArende *caseWindow, const QStringList &values);
    QString articleFile(frmArende *caseWindow) const
    {
        return m_data->lib(caseWindow->controlCode() + QStringLiteral("_ArtData.txt"));
    }
    void select(frmArende *caseWindow, int row);

    std::unique_ptr<TestDataFolder> m_data;
};

void TestArticles::initTestCase()
{
    useSwedishLocale();
}

void TestArticles::init()
{
    m_data = std::make_unique<TestDataFolder>();
    QVERIFY(m_data->isValid());
    startWindowTest();
}

void TestArticles::cleanup()
{
    WindowRegistry::closeAll();
    m_data.reset();
}

frmArende *TestArticles::newCase()
{
    auto *window = WindowRegistry::get<frmArende>();
    window->prepareNewCase();
    WindowRegistry::show<frmArende>();
    if (!QTest::qWaitFor([window]() { return !window->controlCode().isEmpty(); }))
        qFatal("the new case was not started");
    return window;
}

frmAddProd *TestArticles::openAdd(frmArende *caseWindow)
{
    child<QPushButton>(caseWindow, "Command1")->click();
    auto *window = WindowRegistry::find<frmAddProd>();
    if (!window || !window->isVisible())
        qFatal("the article window did not open");
    return window;
}

void TestArticles::addThroughWindow(frmArende *caseWindow, const QStringList &values)
{
    frmAddProd *window = openAdd(caseWindow);
    for (int i = 0; i < 5; ++i)
        QTest::keyClicks(field(window, i), values.value(i));
    child<QPushButton>(window, "Command1")->click();
    QVERIFY(!window->isVisible());
}

void TestArticles::select(frmArende *caseWindow, int row)
{
    auto *list = child<QTreeView>(caseWindow, "ListView1");
    list->selectionModel()->setCurrentIndex(
        list->model()->index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void TestArticles::sumFollowsQuantityAndPrice_data()
{
    QTest::addColumn<QString>("quantity");
    QTest::addColumn<QString>("price");
    QTest::addColumn<QString>("sum");
    QTest::newRow("decimal point") << "3"
                                   << "2.5"
                                   << "7,50";
    QTest::newRow("decimal comma counts too") << "3"
                                              << "2,5"
                                              << "7,50";
    QTest::newRow("empty") << ""
                           << ""
                           << "0,00";
    QTest::newRow("blanks are skipped") << " 1 2"
                                        << "0.5 0"
                                        << "6,00";
    QTest::newRow("negative") << "-2"
                              << "1.25"
                              << "-2,50";
    QTest::newRow("text") << "två"
                          << "10"
                          << "0,00";
    QTest::newRow("exponent") << "1e2"
                              << "0.5"
                              << "50,00";
    QTest::newRow("beyond every number") << "1e300"
                                         << "1e300"
                                         << "0,00";
}

void TestArticles::sumFollowsQuantityAndPrice()
{
    QFETCH(QString, quantity);
    QFETCH(QString, price);
    QFETCH(QString, sum);
    frmAddProd window;
    QTest::keyClicks(field(&window, Quantity), quantity);
    QTest::keyClicks(field(&window, UnitPrice), price);
    QCOMPARE(field(&window, Sum)->text(), sum);
    QVERIFY(field(&window, Sum)->isReadOnly());
}

void TestArticles::addModeAndTabOrder()
{
    frmAddProd *window = openAdd(newCase());
    QCOMPARE(window->windowTitle(), QStringLiteral("Lägg till"));
    QVERIFY(child<QPushButton>(window, "Command1")->isVisible());
    QVERIFY(!child<QPushButton>(window, "Command3")->isVisible());
    QVERIFY(!child<QPushButton>(window, "Command3")->isEnabled());
    QVERIFY(!child<QPushButton>(window, "Command4")->isEnabled());
    QCOMPARE(field(window, Unit)->accessibleName(), QStringLiteral("Enhet"));

    QStringList chain;
    QWidget *widget = field(window, ArticleNumber);
    for (int i = 0; i < 9; ++i) {
        chain << widget->objectName();
        widget = widget->nextInFocusChain();
        while (!widget->objectName().startsWith(QLatin1String("Text"))
            && !widget->objectName().startsWith(QLatin1String("Command")))
            widget = widget->nextInFocusChain();
    }
    QCOMPARE(chain,
        QStringList(
            { "Text1", "Text2", "Text3", "Text4", "Text5", "Command1", "Command2", "Command3", "Text6" }));
}

void TestArticles::addedRowGoesToFileAndList()
{
    frmArende *caseWindow = newCase();
    addThroughWindow(caseWindow, { "17", "Skruv, rostfri", "2", "st", "12,5" });
    // The price is tidied to two decimals; a price with a point is no number here and
    // stays as typed.
    addThroughWindow(caseWindow, { "18", "Mutter", "3", "st", "2.5" });
    QCOMPARE(readBytes(articleFile(caseWindow)),
        line("17", "Skruv, rostfri", "2", "st", "12,50", "25,00")
            + line("18", "Mutter", "3", "st", "2.5", "7,50"));
    QCOMPARE(caseWindow->articleRows().size(), 2);
    QCOMPARE(caseWindow->articleRows().at(0)[UnitPrice], QStringLiteral("12,50"));
    QCOMPARE(child<QLabel>(caseWindow, "dbSum")->text(), QStringLiteral("32,50"));

    // An empty row is a row as well.
    frmAddProd *window = openAdd(caseWindow);
    child<QPushButton>(window, "Command1")->click();
    QVERIFY(readBytes(articleFile(caseWindow)).endsWith(line("", "", "", "", "", "0,00")));
    QCOMPARE(caseWindow->articleRows().size(), 3);

    // A new case closed without saving leaves its rows in its article file.
    const QString path = articleFile(caseWindow);
    caseWindow->close();
    QCOMPARE(readBytes(path).count("\r\n"), 3);
}

void TestArticles::changedRowMovesToTheEnd()
{
    frmArende *caseWindow = newCase();
    addThroughWindow(caseWindow, { "1", "Ett", "1", "st", "1" });
    addThroughWindow(caseWindow, { "2", "Två", "2", "st", "2" });
    addThroughWindow(caseWindow, { "3", "Tre", "3", "st", "3" });

    select(caseWindow, 0);
    child<QPushButton>(caseWindow, "Command2")->click();
    auto *window = WindowRegistry::find<frmAddProd>();
    QVERIFY(window && window->isVisible());
    QCOMPARE(window->windowTitle(), QStringLiteral("Ändra"));
    QVERIFY(child<QPushButton>(window, "Command3")->isVisible());
    QCOMPARE(field(window, Description)->text(), QStringLiteral("Ett"));
    field(window, Description)->setText(QStringLiteral("Ettan"));
    field(window, Quantity)->setText(QStringLiteral("4"));
    child<QPushButton>(window, "Command3")->click();
    QVERIFY(!window->isVisible());

    QTRY_COMPARE(caseWindow->articleRows().last()[Description], QStringLiteral("Ettan"));
    QCOMPARE(caseWindow->articleRows().size(), 3);
    QCOMPARE(caseWindow->articleRows().at(0)[Description], QStringLiteral("Två"));
    QCOMPARE(readBytes(articleFile(caseWindow)),
        cp1252::encode(QStringLiteral("\"2\",\"Två\",\"2\",\"st\",\"2,00\",\"4,00\"\r\n"
                                      "\"3\",\"Tre\",\"3\",\"st\",\"3,00\",\"9,00\"\r\n"
                                      "\"1\",\"Ettan\",\"4\",\"st\",\"1,00\",\"4,00\"\r\n")));
    QCOMPARE(child<QLabel>(caseWindow, "dbSum")->text(), QStringLiteral("17,00"));
}

void TestArticles::changeReplacesTheRowItWasOpenedFor()
{
    frmArende *caseWindow = newCase();
    addThroughWindow(caseWindow, { "1", "Ett", "1", "st", "1" });
    addThroughWindow(caseWindow, { "2", "Två", "1", "st", "1" });
    // A row stored with a price in the user's format: the change window shows the
    // product of what it reads, not the stored sum.
    caseWindow->stageRow({ "3", "Tre", "2", "st", "12,50", "25,00" });
    child<QPushButton>(caseWindow, "btnAdd")->click();

    select(caseWindow, 2);
    child<QPushButton>(caseWindow, "Command2")->click();
    auto *window = WindowRegistry::find<frmAddProd>();
    QCOMPARE(field(window, Sum)->text(), QStringLiteral("25,00"));

    // The user looks at another row while the change window is open.
    select(caseWindow, 0);
    child<QPushButton>(window, "Command3")->click();
    QTRY_COMPARE(caseWindow->articleRows().last()[Sum], QStringLiteral("25,00"));
    QCOMPARE(caseWindow->articleRows().size(), 3);
    QCOMPARE(caseWindow->articleRows().at(0)[ArticleNumber], QStringLiteral("1"));
    QCOMPARE(caseWindow->articleRows().last()[ArticleNumber], QStringLiteral("3"));
}

void TestArticles::addInChangeModeKeepsTheSelectedRow()
{
    frmArende *caseWindow = newCase();
    addThroughWindow(caseWindow, { "1", "Ett", "1", "st", "1" });
    select(caseWindow, 0);
    child<QPushButton>(caseWindow, "Command2")->click();
    auto *window = WindowRegistry::find<frmAddProd>();
    field(window, ArticleNumber)->setText(QStringLiteral("1b"));
    child<QPushButton>(window, "Command1")->click();
    QCOMPARE(caseWindow->articleRows().size(), 2);
    QCOMPARE(caseWindow->articleRows().at(0)[ArticleNumber], QStringLiteral("1"));
    QCOMPARE(caseWindow->articleRows().at(1)[ArticleNumber], QStringLiteral("1b"));
    QCOMPARE(readBytes(articleFile(caseWindow)).count("\r\n"), 2);
}

void TestArticles::removeAsksAndRewritesTheFile()
{
    frmArende *caseWindow = newCase();
    addThroughWindow(caseWindow, { "17", "Skruv", "2", "st", "12,50" });
    addThroughWindow(caseWindow, { "18", "Mutter", "1", "st", "1" });
    select(caseWindow, 0);

    child<QPushButton>(caseWindow, "Command3")->click(); // answered No
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown().last().title, QStringLiteral("Bekräfta"));
    QCOMPARE(MessageBox::shown().last().text,
        QStringLiteral("Är det säkert att du vill ta bort följande rad: 17     Skruv ?\r\n\r\n"
                       "Denna åtgärd går ej att backa, all data kommer att raderas!"));
    QCOMPARE(MessageBox::shown().last().icon, MessageBox::Exclamation);
    QCOMPARE(caseWindow->articleRows().size(), 2);

    MessageBox::setNextAnswer(MessageBox::AnswerYes);
    child<QPushButton>(caseWindow, "Command3")->click();
    QCOMPARE(caseWindow->articleRows().size(), 1);
    QCOMPARE(readBytes(articleFile(caseWindow)), line("18", "Mutter", "1", "st", "1,00", "1,00"));
    QCOMPARE(child<QLabel>(caseWindow, "dbSum")->text(), QStringLiteral("1,00"));

    // Removing the only row leaves an empty list and an empty file.
    select(caseWindow, 0);
    MessageBox::setNextAnswer(MessageBox::AnswerYes);
    child<QPushButton>(caseWindow, "Command3")->click();
    QCOMPARE(caseWindow->articleRows().size(), 0);
    QCOMPARE(readBytes(articleFile(caseWindow)), QByteArray());
    QCOMPARE(child<QLabel>(caseWindow, "dbSum")->text(), QStringLiteral("0,00"));
}

void TestArticles::rowButtonsWithoutSelectionDoNothing()
{
    frmArende *caseWindow = newCase();
    addThroughWindow(caseWindow, { "1", "Ett", "1", "st", "1" });
    child<QTreeView>(caseWindow, "ListView1")->clearSelection();
    child<QPushButton>(caseWindow, "Command2")->click();
    child<QPushButton>(caseWindow, "Command3")->click();
    child<QPushButton>(caseWindow, "btnDelete")->click();
    QVERIFY(!WindowRegistry::find<frmAddProd>());
    QVERIFY(MessageBox::shown().isEmpty());
    QCOMPARE(caseWindow->articleRows().size(), 1);
}

void TestArticles::failedAddKeepsTheWindow()
{
    frmArende *caseWindow = newCase();
    frmAddProd *window = openAdd(caseWindow);
    field(window, Description)->setText(QStringLiteral("Skruv"));
    QVERIFY(QDir(m_data->path() + QStringLiteral("/Lib")).removeRecursively());
    child<QPushButton>(window, "Command1")->click();
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown().last().title, QStringLiteral("Lägga till artikel"));
    QCOMPARE(MessageBox::shown().last().text, QStringLiteral("Det blev något fel"));
    QVERIFY(window->isVisible());
    QCOMPARE(field(window, Description)->text(), QStringLiteral("Skruv"));
    QCOMPARE(caseWindow->articleRows().size(), 0);

    // The case window's own row actions report their failures too.
    caseWindow->stageRow({ "1", "x", "1", "st", "1,00", "1,00" });
    MessageBox::clearShown();
    child<QPushButton>(caseWindow, "btnAdd")->click();
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown().last().title, QStringLiteral("Uppdatering"));
    QCOMPARE(caseWindow->articleRows().size(), 0);
}

void TestArticles::quoteIsRefusedBeforeWriting()
{
    frmArende *caseWindow = newCase();
    frmAddProd *window = openAdd(caseWindow);
    field(window, Description)->setText(QStringLiteral("Skruv 1/2\""));
    child<QPushButton>(window, "Command1")->click();
    QCOMPARE(MessageBox::shown().size(), 1);
    QVERIFY(MessageBox::shown().last().text.contains(QStringLiteral("\"Benämning\"")));
    QVERIFY(window->isVisible());
    QVERIFY(!QFile::exists(articleFile(caseWindow)));
    QCOMPARE(caseWindow->articleRows().size(), 0);
}

void TestArticles::closingTheCaseWindowClosesTheArticleWindow()
{
    frmArende *caseWindow = newCase();
    frmAddProd *window = openAdd(caseWindow);
    QPointer<frmAddProd> guard(window);
    caseWindow->close();
    QVERIFY(!guard || !guard->isVisible());
    QVERIFY(!WindowRegistry::find<frmAddProd>());
}

QTEST_MAIN(TestArticles)
#include "tst_articles.moc"
