// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// A busy counter: the clerk leaves a case with work in it every way the program offers
// (another case by Enter or a scanner, "Nytt", "Skriv ut", "Stäng", Escape, Ctrl+Q) and
// answers the one question every way asks. Checked on the files: what "Spara" stores is
// there, what "Spara inte" lets go is not, and "Avbryt" keeps the window as it was.

#include "gui/frmArende.h"
#include "gui/frmArendeList.h"
#include "gui/messagebox.h"
#include "gui/windowregistry.h"
#include "printing/defaultprinter.h"
#include "printing/qprinterdevice.h"
#include "storage/casestore.h"
#include "storage/session.h"
#include "support_guifixture.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

using namespace lunora;
using namespace lunora::test;

namespace {

enum class Work
{
    NewCase,
    Header,
    Notes,
};

enum class Way
{
    Enter,
    Scan,
    New,
    Print,
    Close,
    CloseBox,
    Escape,
    Quit,
};

frmArende *shownCaseWindow()
{
    auto *window = WindowRegistry::find<frmArende>();
    return window && window->isVisible() ? window : nullptr;
}

int boxesTitled(const QString &title)
{
    int count = 0;
    for (const MessageBox::Shown &shown : MessageBox::shown())
        count += shown.title == title ? 1 : 0;
    return count;
}

} // namespace

class TestLeaveCase final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void everyWayOutAsksAboutUnsavedWork_data();
    void everyWayOutAsksAboutUnsavedWork();
    void nothingUnsavedKeepsTheClosingQuestion();
    void theSameCaseAgainKeepsItsWork();

private:
    frmArende *caseWithWork(Work work);
    void leave(Way way);

    std::unique_ptr<TestDataFolder> m_data;
    QTemporaryDir m_out;
    QPointer<frmArendeList> m_overview;
};

void TestLeaveCase::initTestCase()
{
    useSwedishLocale();
    QApplication::setQuitOnLastWindowClosed(false);
    // "Skriv ut" prints for real, into a file.
    setDefaultPrinterForTesting([this]() -> std::unique_ptr<PrintDevice> {
        return std::make_unique<QPrinterDevice>(m_out.filePath(QStringLiteral("print.pdf")));
    });
}

void TestLeaveCase::init()
{
    m_data = std::make_unique<TestDataFolder>();
    QVERIFY(m_data->isValid());
    startWindowTest();
    writeCases(*m_data, { CaseA, CaseB }, { RowA });
    session::signIn({ QStringLiteral("anna"), QStringLiteral("Anna Ek"), QStringLiteral("0") });
    m_overview = WindowRegistry::show<frmArendeList>();
    QVERIFY(activate(m_overview));
}

void TestLeaveCase::cleanup()
{
    WindowRegistry::closeAll();
    m_data.reset();
}

// The case window as the clerk leaves it: a new case typed in full, CaseA's status
// changed, or notes typed to CaseA.
frmArende *TestLeaveCase::caseWithWork(Work work)
{
    if (work == Work::NewCase) {
        child<QPushButton>(m_overview, "Command1")->click();
        frmArende *window = shownCaseWindow();
        if (!window || !runUntil([window]() { return !window->controlCode().isEmpty(); }, 5000))
            qFatal("no new case");
        child<QLineEdit>(window, "Text1")->setText(QStringLiteral("K-3"));
        child<QLineEdit>(window, "Text2")->setText(QStringLiteral("Cilla Ek"));
        child<QLineEdit>(window, "Text3")->setText(QStringLiteral("070-3"));
        if (!CaseStore::addArticleRow(window->controlCode(), RowA))
            qFatal("no row");
        window->addArticleRow(RowA);
        return window;
    }
    selectEntry(m_overview, CaseA);
    QTest::keyClick(m_overview->listView(), Qt::Key_Return);
    frmArende *window = shownCaseWindow();
    if (!window)
        qFatal("CaseA did not open");
    if (work == Work::Header)
        child<QComboBox>(window, "cboStat")->setCurrentText(QStringLiteral("Avslutad"));
    else
        child<QPlainTextEdit>(window, "txtFelbeskrivning")->setPlainText(QStringLiteral("Spricka i glaset"));
    return window;
}

void TestLeaveCase::leave(Way way)
{
    switch (way) {
    case Way::Enter:
        selectEntry(m_overview, CaseB);
        QTest::keyClick(m_overview->listView(), Qt::Key_Return);
        break;
    case Way::Scan:
        QVERIFY(activate(m_overview));
        m_overview->listView()->setFocus();
        for (const QChar c : CaseB[CaseNumber])
            QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        break;
    case Way::New:
        child<QPushButton>(m_overview, "Command1")->click();
        break;
    case Way::Print:
        selectEntry(m_overview, CaseB);
        child<QAction>(m_overview, "mnuSkrivUt")->trigger();
        break;
    case Way::Close:
        child<QPushButton>(shownCaseWindow(), "Command4")->click();
        break;
    case Way::CloseBox:
        // As the window manager asks: a close event from outside, the question after it.
        shownCaseWindow()->windowHandle()->close();
        QVERIFY(runUntil([]() { return !MessageBox::shown().isEmpty(); }, 5000));
        break;
    case Way::Escape:
    case Way::Quit:
        QVERIFY(activate(shownCaseWindow()));
        QTest::keySequence(QApplication::focusWidget(),
            way == Way::Escape ? QKeySequence(Qt::Key_Escape) : QKeySequence(Qt::CTRL | Qt::Key_Q));
        break;
    }
}

void TestLeaveCase::everyWayOutAsksAboutUnsavedWork_data()
{
    QTest::addColumn<Work>("work");
    QTest::addColumn<Way>("way");
    QTest::addColumn<MessageBox::Answer>("answer");
    const std::pair<Work, const char *> works[]
        = { { Work::NewCase, "new case" }, { Work::Header, "status" }, { Work::Notes, "notes" } };
    const std::pair<Way, const char *> ways[] = { { Way::Enter, "Enter" }, { Way::Scan, "scan" },
        { Way::New, "Nytt" }, { Way::Print, "Skriv ut" }, { Way::Close, "Stäng" },
        { Way::CloseBox, "close box" }, { Way::Escape, "Escape" }, { Way::Quit, "Ctrl+Q" } };
    const std::pair<MessageBox::Answer, const char *> answers[] = { { MessageBox::AnswerSave, "Spara" },
        { MessageBox::AnswerDontSave, "Spara inte" }, { MessageBox::AnswerCancel, "Avbryt" } };
    for (const auto &[work, workName] : works) {
        for (const auto &[way, wayName] : ways) {
            for (const auto &[answer, answerName] : answers)
                QTest::addRow("%s, %s, %s", workName, wayName, answerName) << work << way << answer;
        }
    }
}

void TestLeaveCase::everyWayOutAsksAboutUnsavedWork()
{
    QFETCH(Work, work);
    QFETCH(Way, way);
    QFETCH(MessageBox::Answer, answer);
    frmArende *window = caseWithWork(work);
    const QString code = window->controlCode();
    const QByteArray registerBefore = readBytes(m_data->lib(QStringLiteral("arenden.txt")));
    const QString notes = m_data->lib(code + QStringLiteral("_Notes.txt"));
    MessageBox::clearShown();

    MessageBox::setNextAnswer(answer);
    if (work == Work::Header && answer == MessageBox::AnswerSave)
        MessageBox::setNextAnswer(MessageBox::AnswerYes); // "Uppdatera"'s author question
    leave(way);

    // One question, naming what is unsaved, and never the plain closing question.
    QCOMPARE(boxesTitled(QStringLiteral("Ej sparat")), 1);
    QCOMPARE(MessageBox::shown().first().buttons, MessageBox::SaveDontSaveCancel);
    const QString named = work == Work::NewCase ? QStringLiteral("Det nya ärendet")
        : work == Work::Header                  ? QStringLiteral("Ändringarna i ärende 101215 4711")
                                                : QStringLiteral("Anteckningarna till ärende 101215 4711");
    QVERIFY2(
        MessageBox::shown().first().text.startsWith(named), qPrintable(MessageBox::shown().first().text));
    QCOMPARE(boxesTitled(QStringLiteral("Avsluta")), 0);

    // The files hold what was stored, and only that.
    const QByteArray registerAfter = readBytes(m_data->lib(QStringLiteral("arenden.txt")));
    const bool saved = answer == MessageBox::AnswerSave;
    switch (work) {
    case Work::NewCase:
        QCOMPARE(registerAfter.contains(code.toLatin1()), saved);
        QCOMPARE(QFile::exists(m_data->lib(code + QStringLiteral("_eData.ini"))), saved);
        break;
    case Work::Header:
        QCOMPARE(registerAfter != registerBefore, saved);
        QCOMPARE(registerAfter.contains("\"Avslutad\",\"{AAAAAAAA"), saved);
        break;
    case Work::Notes:
        QCOMPARE(readBytes(notes).contains("Spricka i glaset"), saved);
        QCOMPARE(registerAfter, registerBefore);
        break;
    }

    frmArende *now = shownCaseWindow();
    if (answer == MessageBox::AnswerCancel) {
        // Nothing moved: the same case, the work still in it.
        QCOMPARE(now, window);
        QCOMPARE(now->controlCode(), code);
        QVERIFY(now->unsavedWork().any());
        QVERIFY(m_overview && m_overview->isVisible());
        return;
    }
    // The way out went on as the clerk asked.
    switch (way) {
    case Way::Enter:
    case Way::Scan:
    case Way::Print:
        QVERIFY(now);
        QCOMPARE(now->controlCode(), CaseB[ControlCode]);
        break;
    case Way::New:
        QVERIFY(now);
        QVERIFY(runUntil([now]() { return !now->controlCode().isEmpty(); }, 5000));
        QVERIFY(now->controlCode() != code);
        QCOMPARE(now->caseState(), CaseState::Unsaved);
        QVERIFY(!now->unsavedWork().any());
        break;
    case Way::Close:
    case Way::CloseBox:
    case Way::Escape:
        QVERIFY(!now);
        QVERIFY(m_overview && m_overview->isVisible());
        break;
    case Way::Quit:
        QVERIFY(!now);
        QVERIFY(!m_overview || !m_overview->isVisible());
        break;
    }
}

void TestLeaveCase::nothingUnsavedKeepsTheClosingQuestion()
{
    // Opened and looked at: another case replaces it without a word, and "Stäng" asks
    // only whether to close.
    selectEntry(m_overview, CaseA);
    QTest::keyClick(m_overview->listView(), Qt::Key_Return);
    frmArende *window = shownCaseWindow();
    QVERIFY(window);
    QVERIFY(!window->unsavedWork().any());
    leave(Way::Enter);
    QCOMPARE(shownCaseWindow(), window);
    QCOMPARE(window->controlCode(), CaseB[ControlCode]);
    QVERIFY(MessageBox::shown().isEmpty());

    MessageBox::setNextAnswer(MessageBox::AnswerNo);
    leave(Way::Close);
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown().first().title, QStringLiteral("Avsluta"));
    QCOMPARE(MessageBox::shown().first().text, QStringLiteral("Vill du avsluta programet ?"));
    QCOMPARE(shownCaseWindow(), window);
}

void TestLeaveCase::theSameCaseAgainKeepsItsWork()
{
    // The row of the case being changed, opened again (a second scan of its label): the
    // window comes forward as it is, with nothing to ask and nothing read over the work.
    frmArende *window = caseWithWork(Work::Header);
    MessageBox::clearShown();
    selectEntry(m_overview, CaseA);
    QTest::keyClick(m_overview->listView(), Qt::Key_Return);
    QCOMPARE(shownCaseWindow(), window);
    QVERIFY(MessageBox::shown().isEmpty());
    QCOMPARE(child<QComboBox>(window, "cboStat")->currentText(), QStringLiteral("Avslutad"));
    QVERIFY(window->unsavedWork().header);
}

QTEST_MAIN(TestLeaveCase)
#include "tst_leavecase.moc"
