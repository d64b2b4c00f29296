// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// A returning customer: "Nytt för kunden" from the overview's row or the customer card
// starts a case with the customer filled in (after the question about unsaved work),
// "Tidigare ärenden…" finds the customer's cases however the telephone was typed, and
// the overview's confirmation line says what was stored, only once it was.

#include "gui/frmArende.h"
#include "gui/frmArendeList.h"
#include "gui/frmKundData.h"
#include "gui/frmTidigareArenden.h"
#include "gui/messagebox.h"
#include "gui/windowregistry.h"
#include "storage/casestore.h"
#include "storage/customercards.h"
#include "storage/session.h"
#include "support_guifixture.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTime>

using namespace lunora;
using namespace lunora::test;

namespace {

frmArende *numberedCaseWindow()
{
    auto *window = WindowRegistry::find<frmArende>();
    if (!window || !window->isVisible()
        || !runUntil([window]() { return !window->controlCode().isEmpty(); }, 5000))
        return nullptr;
    return window;
}

RegisterEntry caseOf(const char *number, const char *created, const char *customer, const char *telephone)
{
    return entryOf({ number, created, customer, "Åsa Öberg", telephone, "Normal", "Avslutad",
        QStringLiteral("{%1-1111-4111-8111-111111111111}")
            .arg(QString::fromLatin1(number).remove(u' ').leftJustified(8, u'0')),
        "Anna Ek" });
}

void createCard(const QString &telephone, const QString &id, const QString &name)
{
    CustomerRecord record;
    record.id = id;
    record.name = name;
    QVERIFY(customercards::create(telephone, record).ok());
}

} // namespace

class TestReturningCustomer final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void newCaseForCustomerIsFilledIn_data();
    void newCaseForCustomerIsFilledIn();
    void earlierCasesFindEverySpelling();
    void confirmationSaysWhatWasStored_data();
    void confirmationSaysWhatWasStored();

private:
    std::unique_ptr<TestDataFolder> m_data;
    frmArendeList *m_overview = nullptr;
};

void TestReturningCustomer::initTestCase()
{
    useSwedishLocale();
    QApplication::setQuitOnLastWindowClosed(false);
}

void TestReturningCustomer::init()
{
    m_data = std::make_unique<TestDataFolder>();
    startWindowTest();
    writeCases(*m_data, { CaseA, CaseB }, { RowA });
    session::signIn({ QStringLiteral("anna"), QStringLiteral("Anna Ek"), QStringLiteral("0") });
    m_overview = WindowRegistry::show<frmArendeList>();
    QVERIFY(activate(m_overview));
}

void TestReturningCustomer::cleanup()
{
    WindowRegistry::closeAll();
    m_data.reset();
}

void TestReturningCustomer::newCaseForCustomerIsFilledIn_data()
{
    QTest::addColumn<QString>("from"); // "menu", "key" or "card"
    QTest::addColumn<bool>("card"); // CaseA's telephone has a card
    QTest::addColumn<QString>("before"); // what the case window holds: "", "saved" or "unsaved"
    QTest::addColumn<QStringList>("expected"); // number, name, telephone
    const QStringList fromRow { "K-17", "Anna Andersson", "08-123456" };
    const QStringList fromCard { "K-170", "Anna Andersson-Berg", "08-123456" };
    QTest::newRow("menu, no card") << "menu" << false << "" << fromRow;
    QTest::newRow("Ctrl+Shift+N over a saved case") << "key" << true << "saved" << fromCard;
    QTest::newRow("menu over unsaved work") << "menu" << false << "unsaved" << fromRow;
    QTest::newRow("customer card over a saved case") << "card" << true << "saved" << fromCard;
}

void TestReturningCustomer::newCaseForCustomerIsFilledIn()
{
    QFETCH(QString, from);
    QFETCH(bool, card);
    QFETCH(QString, before);
    QFETCH(QStringList, expected);
    if (card)
        createCard(CaseA[Telephone], QStringLiteral("K-170"), QStringLiteral("Anna Andersson-Berg"));
    if (before == QLatin1String("saved")) {
        selectEntry(m_overview, CaseB);
        QTest::keyClick(m_overview->listView(), Qt::Key_Return);
    } else if (before == QLatin1String("unsaved")) {
        child<QPushButton>(m_overview, "Command1")->click();
        QVERIFY(numberedCaseWindow());
        child<QLineEdit>(numberedCaseWindow(), "Text2")->setText(QStringLiteral("Cilla Ek"));
        MessageBox::setNextAnswer(MessageBox::AnswerDontSave);
    }
    const QString codeBefore = before.isEmpty() ? QString() : numberedCaseWindow()->controlCode();

    selectEntry(m_overview, CaseA);
    if (from == QLatin1String("card")) {
        auto *cardWindow = WindowRegistry::get<frmKundData>();
        QVERIFY(cardWindow->showCustomer(CaseA[Telephone]));
        child<QPushButton>(cardWindow, "cmdNyttArende")->click();
    } else if (from == QLatin1String("key")) {
        QVERIFY(activate(m_overview));
        QTest::keySequence(m_overview->searchField(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N));
    } else {
        child<QAction>(m_overview, "mnuNyttForKunden")->trigger();
    }

    // Unsaved work is asked about once; a saved case gives way without a word.
    QCOMPARE(MessageBox::shown().size(), before == QLatin1String("unsaved") ? 1 : 0);
    frmArende *window = numberedCaseWindow();
    QVERIFY(window);
    QVERIFY(runUntil([window, codeBefore]() { return window->controlCode() != codeBefore; }, 5000));
    const RegisterEntry shown = window->currentEntry();
    QCOMPARE((QStringList { shown[CustomerNumber], shown[CustomerName], shown[Telephone] }), expected);
    QCOMPARE(window->caseState(), CaseState::Unsaved);
    QVERIFY(child<QPushButton>(window, "Command5")->isVisible());
    // What was filled in is not the clerk's work: leaving the case asks nothing yet.
    QVERIFY(!window->unsavedWork().any());
}

void TestReturningCustomer::earlierCasesFindEverySpelling()
{
    const RegisterEntry shown = caseOf("240801 7", "2024-08-01", "K-1", "0701234567");
    const RegisterEntry dashed = caseOf("240301 5", "2024-03-01", "", "070-123 45 67");
    const RegisterEntry abroad = caseOf("231224 9", "2023-12-24", "", "+46 70 123 45 67");
    const RegisterEntry moved = caseOf("240601 3", "2024-06-01", " K-1 ", "08-555 55 55");
    const RegisterEntry neighbour = caseOf("240701 1", "2024-07-01", "K-2", "070-123 45 68");
    const RegisterEntry placeholder = caseOf("240702 2", "2024-07-02", "", "0");
    writeCases(*m_data, { dashed, shown, neighbour, abroad, placeholder, moved }, { RowA });
    m_overview->refresh();
    QVERIFY(runUntil([this]() { return m_overview->rowCount() == 6; }, 5000));

    // From the case window: the other cases of its customer, newest first.
    selectEntry(m_overview, shown);
    QTest::keyClick(m_overview->listView(), Qt::Key_Return);
    auto *caseWindow = WindowRegistry::find<frmArende>();
    child<QAction>(caseWindow, "mnuTidigare")->trigger();
    auto *earlier = WindowRegistry::find<frmTidigareArenden>();
    QVERIFY(earlier && earlier->isVisible());
    auto numbers = [earlier]() {
        QStringList found;
        for (int row = 0; row < earlier->rowCount(); ++row)
            found << earlier->entryAt(row)[CaseNumber];
        return found;
    };
    QCOMPARE(numbers(), (QStringList { "240601 3", "240301 5", "231224 9" }));

    // Enter opens the first, through the question about the status changed meanwhile.
    child<QComboBox>(caseWindow, "cboStat")->setCurrentText(QStringLiteral("Under behandling"));
    MessageBox::setNextAnswer(MessageBox::AnswerDontSave);
    QVERIFY(activate(earlier));
    QTest::keyClick(earlier->listView(), Qt::Key_Return);
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(caseWindow->controlCode(), moved[ControlCode]);

    // From a card filed under another spelling: every case of the customer.
    createCard(dashed[Telephone], QStringLiteral("K-1"), QStringLiteral("Åsa Öberg"));
    auto *cardWindow = WindowRegistry::get<frmKundData>();
    QVERIFY(cardWindow->showCustomer(dashed[Telephone]));
    child<QPushButton>(cardWindow, "cmdTidigare")->click();
    QCOMPARE(numbers(), (QStringList { "240801 7", "240601 3", "240301 5", "231224 9" }));
}

void TestReturningCustomer::confirmationSaysWhatWasStored_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("said"); // after the time; empty: nothing said
    QTest::newRow("Spara") << "save"
                           << "Ärende %1 är sparat.";
    QTest::newRow("Spara refused") << "refused save"
                                   << "";
    QTest::newRow("Uppdatera") << "update"
                               << "Ärende 101215 4711 är uppdaterat.";
    QTest::newRow("PDF not written") << "pdf"
                                     << "";
}

void TestReturningCustomer::confirmationSaysWhatWasStored()
{
    QFETCH(QString, action);
    QFETCH(QString, said);
    if (action.endsWith(QLatin1String("save"))) {
        child<QPushButton>(m_overview, "Command1")->click();
        frmArende *window = numberedCaseWindow();
        QVERIFY(window);
        for (const char *field : { "Text1", "Text2", "Text3" })
            child<QLineEdit>(window, field)->setText(QStringLiteral("K-3"));
        if (action == QLatin1String("save")) {
            QVERIFY(CaseStore::addArticleRow(window->controlCode(), RowA).ok());
            window->addArticleRow(RowA);
        }
        said = said.arg(window->currentEntry()[CaseNumber]);
        child<QPushButton>(window, "Command5")->click();
    } else {
        frmArende *window = openCase(CaseA);
        if (action == QLatin1String("update")) {
            child<QComboBox>(window, "cboStat")->setCurrentText(QStringLiteral("Avslutad"));
            MessageBox::setNextAnswer(MessageBox::AnswerYes);
            child<QPushButton>(window, "Command6")->click();
        } else {
            QVERIFY(!window->savePdf(m_data->file(QStringLiteral("saknas/ärende.pdf"))));
        }
    }
    // "HH:mm", two blanks, what was done; the status bar keeps its count alone.
    const QString line = m_overview->confirmationText();
    QCOMPARE(line.mid(7), said);
    QCOMPARE(line.isEmpty() || QTime::fromString(line.left(5), QStringLiteral("HH:mm")).isValid(), true);
    QVERIFY(m_overview->statusText().startsWith(QStringLiteral(" Ärenden: ")));
}

QTEST_MAIN(TestReturningCustomer)
#include "tst_returningcustomer.moc"
