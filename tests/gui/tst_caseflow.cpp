// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// The road of a case through the overview and the case window, checked on the files a
// user's colleagues and later runs of the program will read.

#include "gui/frmAddProd.h"
#include "gui/frmArende.h"
#include "gui/frmArendeList.h"
#include "gui/messagebox.h"
#include "gui/windowregistry.h"
#include "storage/cp1252.h"
#include "storage/session.h"
#include "support_guifixture.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

using namespace lunora;
using namespace lunora::test;

namespace {

void appendBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::Append));
    file.write(bytes);
}

// Types like a user where the test keyboard can (ASCII); other letters are put in whole.
void type(QLineEdit *field, const QString &text)
{
    bool ascii = true;
    for (QChar c : text)
        ascii = ascii && c.unicode() < 128;
    if (ascii)
        QTest::keyClicks(field, text);
    else
        field->insert(text);
}

QString labelText(QObject *window, const char *name)
{
    return child<QLabel>(window, name)->text();
}

QByteArray cp(const QString &text)
{
    return cp1252::encode(text);
}

} // namespace

class TestCaseFlow final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void newCaseFromOverviewToRegisterAndBack();

private:
    void signIn(const QString &realName);
    void addRow(frmArende *caseWindow, const QStringList &values);
    void selectRow(frmArende *caseWindow, int row);
    void selectCase(frmArendeList *overview, const QString &code);
    QString lib(const QString &name) const { return m_data->lib(name); }

    std::unique_ptr<TestDataFolder> m_data;
};

void TestCaseFlow::initTestCase()
{
    useSwedishLocale();
    m_data = std::make_unique<TestDataFolder>();
    QVERIFY(m_data->isValid());
    MessageBox::setAutomaticAnswers(true);
    session::signOut();
}

void TestCaseFlow::cleanupTestCase()
{
    WindowRegistry::closeAll();
    session::signOut();
    m_data.reset();
}

// What a successful sign-in hands to the two windows.
void TestCaseFlow::signIn(const QString &realName)
{
    const QString id = realName.section(QLatin1Char(' '), 0, 0).toLower();
    session::signIn({ id, realName, QStringLiteral("0") });
    WindowRegistry::get<frmArendeList>();
    WindowRegistry::get<frmArende>();
    WindowRegistry::show<frmArendeList>();
}

void TestCaseFlow::addRow(frmArende *caseWindow, const QStringList &values)
{
    child<QPushButton>(caseWindow, "Command1")->click();
    auto *window = WindowRegistry::find<frmAddProd>();
    QVERIFY(window && window->isVisible());
    for (int i = 0; i < 5; ++i)
        type(child<QLineEdit>(window, QStringLiteral("Text%1").arg(i + 1).toLatin1().constData()),
            values.value(i));
    child<QPushButton>(window, "Command1")->click();
    QVERIFY(!window->isVisible());
}

void TestCaseFlow::selectRow(frmArende *caseWindow, int row)
{
    auto *list = child<QTreeView>(caseWindow, "ListView1");
    list->selectionModel()->setCurrentIndex(
        list->model()->index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void TestCaseFlow::selectCase(frmArendeList *overview, const QString &code)
{
    auto *list = child<QAbstractItemView>(overview, "ListView1");
    QAbstractItemModel *model = list->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        if (model->index(row, ControlCode).data().toString() == code) {
            list->selectionModel()->setCurrentIndex(
                model->index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            return;
        }
    }
    QFAIL("the case is not in the overview");
}

void TestCaseFlow::newCaseFromOverviewToRegisterAndBack()
{
    const QByteArray earlierCase
        = cp(QStringLiteral("101215 4711,2010-12-15,K-1,Bo Berg,031-777,Normal,Avslutad,"
                            "{AAAAAAAA-1111-4111-8111-AAAAAAAAAAAA},Anna Ek\r\n"));
    appendBytes(lib(QStringLiteral("arenden.txt")), earlierCase);
    signIn(QStringLiteral("Anna Ek"));
    auto *overview = WindowRegistry::find<frmArendeList>();
    QCOMPARE(overview->rowCount(), 1);

    // "Nytt": the case window comes up numbered and signed.
    child<QPushButton>(overview, "Command1")->click();
    auto *caseWindow = WindowRegistry::find<frmArende>();
    QVERIFY(caseWindow && caseWindow->isVisible());
    QTRY_VERIFY(!caseWindow->controlCode().isEmpty());
    const QString number = labelText(caseWindow, "dbOrdernummer");
    const QString created = labelText(caseWindow, "dbCDate");
    const QString code = caseWindow->controlCode();
    QCOMPARE(caseWindow->sign(), QStringLiteral("Anna Ek"));

    QTest::keyClicks(child<QLineEdit>(caseWindow, "Text1"), QStringLiteral("K-42"));
    type(child<QLineEdit>(caseWindow, "Text2"), QStringLiteral("Åsa Öberg"));
    QTest::keyClicks(child<QLineEdit>(caseWindow, "Text3"), QStringLiteral("08-55 66 77"));
    child<QComboBox>(caseWindow, "cboPrio")->setCurrentIndex(1);
    QCOMPARE(labelText(caseWindow, "lblOrderID_MSG"), QStringLiteral("Åsa Öberg"));

    // Two rows through the article window, the first one changed, the second removed.
    addRow(caseWindow, { "17", "Skruv, rostfri", "2", "st", "12,5" });
    addRow(caseWindow, { "18", "Mutter", "10", "st", "1.5" });
    QCOMPARE(labelText(caseWindow, "dbSum"), QStringLiteral("40,00"));
    QCOMPARE(labelText(caseWindow, "StatusBar1Text"), QStringLiteral(" Att betala (Inkl): 40,00"));

    selectRow(caseWindow, 0);
    child<QPushButton>(caseWindow, "Command2")->click();
    auto *changeWindow = WindowRegistry::find<frmAddProd>();
    QVERIFY(changeWindow && changeWindow->isVisible());
    QLineEdit *quantity = child<QLineEdit>(changeWindow, "Text3");
    quantity->selectAll();
    QTest::keyClicks(quantity, QStringLiteral("4"));
    child<QPushButton>(changeWindow, "Command3")->click();
    QTRY_COMPARE(caseWindow->articleRows().last()[ArticleNumber], QStringLiteral("17"));

    selectRow(caseWindow, 0); // the nut, now the first row
    MessageBox::setNextAnswer(MessageBox::AnswerYes);
    child<QPushButton>(caseWindow, "Command3")->click();
    QCOMPARE(caseWindow->articleRows().size(), 1);
    QCOMPARE(labelText(caseWindow, "dbSum"), QStringLiteral("50,00"));
    QCOMPARE(labelText(caseWindow, "lblSumInfo"), QStringLiteral("Att betala"));
    QCOMPARE(caseWindow->windowTitle(), QStringLiteral("Kundärende - ") + number);

    // A returned article turns the total into a credit.
    addRow(caseWindow, { "99", "Återköp", "-1", "st", "80" });
    QCOMPARE(labelText(caseWindow, "dbSum"), QStringLiteral("-30,00"));
    QCOMPARE(labelText(caseWindow, "StatusBar1Text"), QStringLiteral(" Er tillgodo (Inkl): -30,00"));
    QCOMPARE(labelText(caseWindow, "lblSumInfo"), QStringLiteral("Er tillgodo"));
    QCOMPARE(
        caseWindow->windowTitle(), QStringLiteral("Kundärende - ") + number + "              *** KREDIT ***");

    const QByteArray articleLines
        = cp(QStringLiteral("\"17\",\"Skruv, rostfri\",\"4\",\"st\",\"12,50\",\"50,00\"\r\n"
                            "\"99\",\"Återköp\",\"-1\",\"st\",\"80,00\",\"-80,00\"\r\n"));
    QCOMPARE(readBytes(lib(code + QStringLiteral("_ArtData.txt"))), articleLines);

    MessageBox::clearShown();
    child<QPushButton>(caseWindow, "Command5")->click();
    QVERIFY(MessageBox::shown().isEmpty());
    QVERIFY(!caseWindow->isVisible());

    const QByteArray dataFile
        = cp(QStringLiteral("[Main]\r\nxSign=Anna Ek\r\nxCode=%1\r\nxRegDate=%2\r\nxID=%3\r\n\r\n"
                            "[Type]\r\nxPrio=Brådskande\r\n\r\n[Status]\r\nxStat=Nytt ärende\r\n\r\n"
                            "[Customer]\r\nxCPhone=08-55 66 77\r\nxCName=Åsa Öberg\r\nxCID=K-42\r\n")
                 .arg(code, created, number));
    QCOMPARE(readBytes(lib(code + QStringLiteral("_eData.ini"))), dataFile);
    const QByteArray savedLine = cp(number + QLatin1Char(',') + created
        + QStringLiteral(",K-42,Åsa Öberg,08-55 66 77,Brådskande,Nytt ärende,") + code
        + QStringLiteral(",Anna Ek\r\n"));
    QCOMPARE(readBytes(lib(QStringLiteral("arenden.txt"))), earlierCase + savedLine);
    QTRY_COMPARE(overview->rowCount(), 2);
    QCOMPARE(labelText(overview, "StatusBar1Text"), QStringLiteral(" Ärenden: 2 st"));

    // Another copy of the program adds a case meanwhile; the list learns of it.
    const QByteArray laterCase
        = cp(QStringLiteral("\"110102 12\",\"2011-01-02\",\"K-9\",\"Cia\",\"040-1\",\"Normal\","
                            "\"Nytt ärende\",\"{BBBBBBBB-2222-4222-8222-BBBBBBBBBBBB}\",\"Cia\"\r\n"));
    appendBytes(lib(QStringLiteral("arenden.txt")), laterCase);
    overview->refresh();
    QCOMPARE(overview->rowCount(), 3);

    // Bertil opens the case, closes it and marks it as being worked on.
    signIn(QStringLiteral("Bertil Ström"));
    selectCase(overview, code);
    child<QPushButton>(overview, "Command2")->click();
    caseWindow = WindowRegistry::find<frmArende>();
    QVERIFY(caseWindow && caseWindow->isVisible());
    QCOMPARE(caseWindow->activeUser(), QStringLiteral("Anna Ek"));
    QCOMPARE(caseWindow->articleRows().size(), 2);
    QCOMPARE(labelText(caseWindow, "dbSum"), QStringLiteral("-30,00"));
    QVERIFY(caseWindow->windowTitle().endsWith(QStringLiteral("*** KREDIT ***")));
    QVERIFY(!child<QPushButton>(caseWindow, "Command5")->isVisible());
    child<QComboBox>(caseWindow, "cboStat")->setCurrentIndex(1);

    MessageBox::clearShown();
    MessageBox::setNextAnswer(MessageBox::AnswerYes);
    child<QPushButton>(caseWindow, "Command6")->click();
    QCOMPARE(MessageBox::shown().size(), 2);
    QCOMPARE(MessageBox::shown().at(0).text,
        QStringLiteral("Vill du uppdatera, författare (användare) Anna Ek till Bertil Ström?"));
    QCOMPARE(MessageBox::shown().at(1).title, QStringLiteral("Bekräftelse"));
    QCOMPARE(MessageBox::shown().at(1).text, QStringLiteral("Uppdatering slutförd!"));
    QVERIFY(!caseWindow->isVisible());

    const QByteArray updatedLine = cp(QStringLiteral(
        "\"%1\",\"%2\",\"K-42\",\"Åsa Öberg\",\"08-55 66 77\",\"Brådskande\",\"Under behandling\","
        "\"%3\",\"Bertil Ström\"\r\n")
                                          .arg(number, created, code));
    const QByteArray earlierQuoted
        = cp(QStringLiteral("\"101215 4711\",\"2010-12-15\",\"K-1\",\"Bo Berg\",\"031-777\","
                            "\"Normal\",\"Avslutad\",\"{AAAAAAAA-1111-4111-8111-AAAAAAAAAAAA}\","
                            "\"Anna Ek\"\r\n"));
    QTRY_COMPARE(readBytes(lib(QStringLiteral("arenden.txt"))), earlierQuoted + laterCase + updatedLine);
    QTRY_COMPARE(overview->rowCount(), 3);
    QCOMPARE(MessageBox::shown().size(), 2);
    // The case data file keeps the values of the first save; the rows are untouched.
    QCOMPARE(readBytes(lib(code + QStringLiteral("_eData.ini"))), dataFile);
    QCOMPARE(readBytes(lib(code + QStringLiteral("_ArtData.txt"))), articleLines);
}

QTEST_MAIN(TestCaseFlow)
#include "tst_caseflow.moc"
