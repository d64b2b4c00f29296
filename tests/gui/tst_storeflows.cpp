// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// The windows say only what happened: a change is reported done only after the case
// store wrote it, a failure keeps the window and its contents, the overview's list
// shows what the register holds, and no window goes away under one of its boxes.

#include "common/faultyfs.h"
#include "common/testsupport.h"
#include "gui/frmAddProd.h"
#include "gui/frmArende.h"
#include "gui/frmArendeList.h"
#include "gui/messagebox.h"
#include "gui/windowregistry.h"
#include "storage/casefiles.h"
#include "storage/caseregister.h"
#include "storage/casestore.h"
#include "storage/session.h"
#include "support_guifixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>

using namespace lunora;
using namespace lunora::test;

namespace {

// Answers every real modal box with its default button, from `afterMs` on, and notes
// what each one said.
class BoxAnswerer final : public QObject
{
public:
    explicit BoxAnswerer(int afterMs)
    {
        m_timer.setInterval(50);
        connect(&m_timer, &QTimer::timeout, this, &BoxAnswerer::answer);
        QTimer::singleShot(afterMs, this, [this]() { m_timer.start(); });
    }
    std::function<void()> beforeFirstAnswer;
    QStringList answered;

private:
    void answer()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        if (beforeFirstAnswer) {
            beforeFirstAnswer();
            beforeFirstAnswer = nullptr;
        }
        answered << box->windowTitle();
        box->defaultButton() ? box->defaultButton()->click() : box->accept();
    }
    QTimer m_timer;
};

} // namespace

class TestStoreFlows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useSwedishLocale(); }
    void init();
    void cleanup();

    void timedCloseWaitsForOpenBox();
    void updateOfVanishedCaseKeepsWindow();
    void failedRemovalKeepsRowAndSaysNoSuccess();
    void legacyLineDoesNotBlockRemoval();
    void removedRowIsNotReplacedByAnother();
    void rowChangedAtAnotherDeskReloadsList();
    void decimalCommaCounts_data();
    void decimalCommaCounts();
    void totalsOnEnglishDesktop();
    void bannerShowsNameAfterNewCase();

private:
    std::unique_ptr<TestDataFolder> m_data;
};

void TestStoreFlows::init()
{
    m_data = std::make_unique<TestDataFolder>();
    QVERIFY(m_data->isValid());
    startWindowTest();
    session::signIn({ QStringLiteral("bertil"), QStringLiteral("Bertil Ström"), QStringLiteral("0") });
}

void TestStoreFlows::cleanup()
{
    MessageBox::setAutomaticAnswers(true);
    WindowRegistry::closeAll();
    m_data.reset();
}

// "Skriv ut" in the overview closes the case window 2 s after printing. A real box of
// the case window (the notice that its article file is missing) is still open then:
// the window must wait for the answer instead of going away under the box.
void TestStoreFlows::timedCloseWaitsForOpenBox()
{
    writeCases(*m_data, { CaseA });
    QVERIFY(QFile::remove(m_data->lib(CaseA[ControlCode] + QStringLiteral("_ArtData.txt"))));
    auto *overview = WindowRegistry::show<frmArendeList>();
    selectEntry(overview, CaseA);

    MessageBox::setAutomaticAnswers(false);
    BoxAnswerer answerer(3000);
    QPointer<frmArende> caseWindow;
    bool openAtAnswer = false;
    answerer.beforeFirstAnswer = [&]() {
        caseWindow = WindowRegistry::find<frmArende>();
        openAtAnswer = caseWindow && caseWindow->isVisible();
    };
    child<QAction>(overview, "mnuSkrivUt")->trigger();
    QVERIFY(runUntil(
        [&]() { return !answerer.answered.isEmpty() && (!caseWindow || !caseWindow->isVisible()); }, 15000));
    QVERIFY2(openAtAnswer, "the case window went away under its box");
    QVERIFY(answerer.answered.contains(QStringLiteral("Ärende")));
}

// "Uppdatera" of a case that another copy removed meanwhile: nothing is written, no
// success is claimed, and the window stays open with what the user typed.
void TestStoreFlows::updateOfVanishedCaseKeepsWindow()
{
    writeCases(*m_data, { CaseA, CaseB });
    auto *overview = WindowRegistry::show<frmArendeList>();
    frmArende *caseWindow = openCase(CaseA);
    child<QLineEdit>(caseWindow, "Text2")->setText(QStringLiteral("Anna Ny"));
    writeBytes(m_data->registerFile(), quotedLines({ CaseB }));

    MessageBox::setNextAnswer(MessageBox::AnswerYes);
    child<QPushButton>(caseWindow, "Command6")->click();
    QCOMPARE(readBytes(m_data->registerFile()), quotedLines({ CaseB }));
    QVERIFY(caseWindow->isVisible());
    QCOMPARE(child<QLineEdit>(caseWindow, "Text2")->text(), QStringLiteral("Anna Ny"));
    QStringList texts;
    for (const MessageBox::Shown &shown : MessageBox::shown())
        texts << shown.text;
    QVERIFY(!texts.contains(QStringLiteral("Uppdatering slutförd!")));
    QCOMPARE(MessageBox::shown().last().title, QStringLiteral("Uppdatering"));
    // The list shows what the register holds: the vanished case has left it.
    QCOMPARE(overview->rowCount(), 1);
    QCOMPARE(overview->entryAt(0), CaseB);
}

// A removal whose register rewrite fails says so, and only so: no "makulerad" notice,
// the row stays listed, the register and the case's files stay as they were.
void TestStoreFlows::failedRemovalKeepsRowAndSaysNoSuccess()
{
    writeCases(*m_data, { CaseA, CaseB }, { RowA });
    auto *overview = WindowRegistry::show<frmArendeList>();
    selectEntry(overview, CaseA);
    const QByteArray before = readBytes(m_data->registerFile());
    ReadOnly locked({ m_data->file(QStringLiteral("Lib")) });
    if (!locked.ok())
        QSKIP("This file system cannot make a folder read-only");
    MessageBox::setNextAnswer(MessageBox::AnswerYes);
    child<QPushButton>(overview, "Command3")->click();
    QCOMPARE(MessageBox::shown().last().title, QStringLiteral("Ta bort ärende!"));
    for (const MessageBox::Shown &shown : MessageBox::shown())
        QVERIFY(!shown.text.contains(QStringLiteral("makulerad")));
    QCOMPARE(overview->rowCount(), 2);
    QCOMPARE(readBytes(m_data->registerFile()), before);
    for (const QString &file : caseFiles(CaseA[ControlCode]).mid(0, 2))
        QVERIFY(QFile::exists(file));
}

// A plain line an older copy wrote with a quote in a name blocks no later rewrite, and
// keeps its bytes through it.
void TestStoreFlows::legacyLineDoesNotBlockRemoval()
{
    writeCases(*m_data, { CaseA, CaseB });
    const QByteArray legacy
        = QByteArrayLiteral("090101 1,2009-01-01,K-1,Bygg \"AB\" Nord,08-1,Normal,Avslutad,"
                            "{DDDDDDDD-4444-4444-8444-DDDDDDDDDDDD},Eva\r\n");
    writeBytes(m_data->registerFile(), legacy + quotedLines({ CaseA, CaseB }));
    auto *overview = WindowRegistry::show<frmArendeList>();
    QCOMPARE(overview->rowCount(), 3);
    selectEntry(overview, CaseA);
    MessageBox::setNextAnswer(MessageBox::AnswerYes);
    child<QPushButton>(overview, "Command3")->click();
    QCOMPARE(readBytes(m_data->registerFile()), legacy + quotedLines({ CaseB }));
    QCOMPARE(overview->rowCount(), 2);
    QVERIFY(MessageBox::shown().last().text.contains(QStringLiteral("makulerad")));
}

// "Ändra" on row a, a removed from the case window, c selected, then "Uppdatera" in the
// article window: the edited row is added; c stays.
void TestStoreFlows::removedRowIsNotReplacedByAnother()
{
    const ArticleRow rowC = rowOf({ "C-3", "Mutter", "10", "st", "1,00", "10,00" });
    writeCases(*m_data, { CaseA }, { RowA, RowB, rowC });
    frmArende *caseWindow = openCase(CaseA);
    auto *list = child<QTreeView>(caseWindow, "ListView1");
    list->setCurrentIndex(list->model()->index(0, 0));
    child<QPushButton>(caseWindow, "Command2")->click();
    auto *articleWindow = WindowRegistry::find<frmAddProd>();
    QVERIFY(articleWindow);
    child<QLineEdit>(articleWindow, "Text2")->setText(QStringLiteral("Skruv lång"));

    list->setCurrentIndex(list->model()->index(0, 0));
    child<QPushButton>(caseWindow, "btnDelete")->click();
    list->setCurrentIndex(list->model()->index(1, 0)); // row c
    child<QPushButton>(articleWindow, "Command3")->click();
    QVERIFY(runUntil([&]() { return caseWindow->articleRows().size() == 3; }, 5000));
    ArticleRow edited = RowA;
    edited[Description] = QStringLiteral("Skruv lång");
    QCOMPARE(caseWindow->articleRows(), QList<ArticleRow>({ RowB, rowC, edited }));
    QCOMPARE(readBytes(m_data->lib(CaseA[ControlCode] + QStringLiteral("_ArtData.txt"))),
        articleLines({ RowB, rowC, edited }));
}

// Another desk removed the row this window still shows: nothing is written, the user
// is told, and the list is read anew from the file.
void TestStoreFlows::rowChangedAtAnotherDeskReloadsList()
{
    writeCases(*m_data, { CaseA }, { RowA, RowB });
    frmArende *caseWindow = openCase(CaseA);
    const QString articles = m_data->lib(CaseA[ControlCode] + QStringLiteral("_ArtData.txt"));
    writeBytes(articles, articleLines({ RowB }));
    MessageBox::clearShown();

    auto *list = child<QTreeView>(caseWindow, "ListView1");
    list->setCurrentIndex(list->model()->index(0, 0)); // row A, gone from the file
    MessageBox::setNextAnswer(MessageBox::AnswerYes);
    child<QPushButton>(caseWindow, "btnDelete")->click();

    QCOMPARE(readBytes(articles), articleLines({ RowB }));
    QCOMPARE(caseWindow->articleRows(), QList<ArticleRow>({ RowB }));
    QVERIFY(!MessageBox::shown().isEmpty());
    QCOMPARE(MessageBox::shown().last().title, QStringLiteral("Artikeldata"));
    QCOMPARE(MessageBox::shown().last().text,
        QStringLiteral("Raden har ändrats vid en annan kassa. Listan har lästs in på nytt."));
}

void TestStoreFlows::decimalCommaCounts_data()
{
    QTest::addColumn<QString>("quantity");
    QTest::addColumn<QString>("price");
    QTest::addColumn<QString>("sum");
    QTest::newRow("comma price") << "2"
                                 << "12,50"
                                 << "25,00";
    QTest::newRow("point price") << "2"
                                 << "12.50"
                                 << "25,00";
    QTest::newRow("comma quantity") << "2,5"
                                    << "3"
                                    << "7,50";
    QTest::newRow("unit after number") << "3 st"
                                       << "2"
                                       << "6,00";
    QTest::newRow("not a number") << "x"
                                  << "2"
                                  << "0,00";
}

void TestStoreFlows::decimalCommaCounts()
{
    QFETCH(QString, quantity);
    QFETCH(QString, price);
    QFETCH(QString, sum);
    writeCases(*m_data, { CaseA }, { RowA });
    frmArende *caseWindow = openCase(CaseA);
    auto *list = child<QTreeView>(caseWindow, "ListView1");
    list->setCurrentIndex(list->model()->index(0, 0));
    child<QPushButton>(caseWindow, "Command2")->click();
    auto *articleWindow = WindowRegistry::find<frmAddProd>();
    QVERIFY(articleWindow);
    // The stored row opened unchanged shows the sum it was stored with.
    QCOMPARE(child<QLineEdit>(articleWindow, "Text6")->text(), RowA[Sum]);
    child<QLineEdit>(articleWindow, "Text3")->setText(quantity);
    child<QLineEdit>(articleWindow, "Text5")->setText(price);
    QVERIFY(runUntil([&]() { return child<QLineEdit>(articleWindow, "Text6")->text() == sum; }, 2000));
}

// A data folder written on a Swedish desktop totals the same on an English one.
void TestStoreFlows::totalsOnEnglishDesktop()
{
    writeCases(*m_data, { CaseA }, { RowA, RowB });
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    frmArende *caseWindow = openCase(CaseA);
    const QString total = child<QLabel>(caseWindow, "dbSum")->text();
    useSwedishLocale();
    QCOMPARE(total, QStringLiteral("425.00"));
}

// "Nytt ärende" with a name already in the field shows that name, not the placeholder.
void TestStoreFlows::bannerShowsNameAfterNewCase()
{
    auto *caseWindow = WindowRegistry::get<frmArende>();
    caseWindow->prepareNewCase();
    WindowRegistry::show<frmArende>();
    QVERIFY(runUntil([&]() { return !caseWindow->controlCode().isEmpty(); }, 5000));
    auto *banner = child<QLabel>(caseWindow, "lblOrderID_MSG");
    QCOMPARE(banner->text(), QStringLiteral("[Kund saknas]"));
    child<QLineEdit>(caseWindow, "Text2")->setText(QStringLiteral("Bo Berg"));
    const QString code = caseWindow->controlCode();
    child<QAction>(caseWindow, "mnuNy")->trigger();
    QVERIFY(runUntil([&]() { return caseWindow->controlCode() != code; }, 5000));
    QCOMPARE(banner->text(), QStringLiteral("Bo Berg"));
}

QTEST_MAIN(TestStoreFlows)

#include "tst_storeflows.moc"
