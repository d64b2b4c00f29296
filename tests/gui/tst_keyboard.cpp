// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// A clerk at the counter with no mouse: every key goes to whatever has the focus, as
// the keyboard sends it. CTest runs this once more on X11 (xcb under Xvfb), whose key
// scheme the offscreen platform lacks.

#include "gui/frmAddProd.h"
#include "gui/frmArende.h"
#include "gui/frmArendeList.h"
#include "gui/frmHistorik.h"
#include "gui/frmKunder.h"
#include "gui/messagebox.h"
#include "gui/windowregistry.h"
#include "storage/session.h"
#include "support_guifixture.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QTest>

using namespace lunora;
using namespace lunora::test;

namespace {

// Offscreen and a bare X server have no window manager to hand the focus on.
bool activate(QWidget *window)
{
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

void press(const QKeySequence &keys)
{
    QTest::keySequence(QApplication::focusWidget(), keys);
}

// Key by key to whatever has the focus then, as a keyboard or a scanner types.
void type(const QString &text, Qt::Key then = Qt::Key_Return)
{
    for (const QChar c : text)
        QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
    QTest::keyClick(QApplication::focusWidget(), then);
}

QString focusName()
{
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}

QString lastTitle()
{
    return MessageBox::shown().isEmpty() ? QString() : MessageBox::shown().last().title;
}

} // namespace

class TestKeyboard final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void aCaseFromTheKeyboardAlone();
    void keysWorkWhileAFieldHasTheFocus_data();
    void keysWorkWhileAFieldHasTheFocus();

private:
    frmArendeList *overview(const QString &index = QStringLiteral("0"));

    std::unique_ptr<TestDataFolder> m_data;
};

void TestKeyboard::initTestCase()
{
    useSwedishLocale();
    QApplication::setQuitOnLastWindowClosed(false);
}

void TestKeyboard::init()
{
    m_data = std::make_unique<TestDataFolder>();
    QVERIFY(m_data->isValid());
    startWindowTest();
    writeCases(*m_data, { CaseA }, { RowA });
}

void TestKeyboard::cleanup()
{
    WindowRegistry::closeAll();
    m_data.reset();
}

frmArendeList *TestKeyboard::overview(const QString &index)
{
    session::signIn({ QStringLiteral("anna"), QStringLiteral("Anna Ek"), index });
    auto *window = WindowRegistry::show<frmArendeList>();
    if (!activate(window))
        qFatal("the overview did not become active");
    return window;
}

void TestKeyboard::aCaseFromTheKeyboardAlone()
{
    frmArendeList *list = overview();
    press(QKeySequence(Qt::CTRL | Qt::Key_N));
    auto *caseWindow = WindowRegistry::find<frmArende>();
    QVERIFY(caseWindow && caseWindow->isVisible());
    QVERIFY(runUntil([caseWindow]() { return !caseWindow->controlCode().isEmpty(); }, 5000));
    QVERIFY(activate(caseWindow));

    QCOMPARE(focusName(), QStringLiteral("Text1"));
    type(QStringLiteral("2002"), Qt::Key_Tab);
    type(QStringLiteral("Bo Ek"), Qt::Key_Tab);
    type(QStringLiteral("0702-22"), Qt::Key_Tab);
    for (int tab = 0; tab < 4 && focusName() != QLatin1String("Command1"); ++tab)
        press(QKeySequence(Qt::Key_Tab));
    QCOMPARE(focusName(), QStringLiteral("Command1")); // "Lägg till" under the rows

    const QStringList prices { "10", "2,5", "100" };
    for (const QString &price : prices) {
        press(QKeySequence(Qt::Key_Return));
        auto *articles = WindowRegistry::find<frmAddProd>();
        QVERIFY(articles && articles->isVisible());
        QVERIFY(activate(articles));
        for (const char *value : { "17", "Skruv", "2", "st" })
            type(QString::fromLatin1(value));
        type(price); // Enter in "Enhetspris" presses "Lägg till"
        QVERIFY(!articles->isVisible());
        QVERIFY(activate(caseWindow));
        QCOMPARE(focusName(), QStringLiteral("Command1"));
    }
    QCOMPARE(caseWindow->articleRows().size(), 3);
    const QString articles = m_data->lib(caseWindow->controlCode() + QStringLiteral("_ArtData.txt"));
    QCOMPARE(readBytes(articles).count("\r\n"), 3);

    const QString number = caseWindow->currentEntry()[CaseNumber];
    const QPointer<frmArende> saved(caseWindow);
    press(QKeySequence(Qt::CTRL | Qt::Key_S));
    QVERIFY(!saved || !saved->isVisible());
    QVERIFY(runUntil([list]() { return list->rowCount() == 2; }, 5000));

    // Back in the list, the case number typed as a scanner types it opens the case.
    QVERIFY(activate(list));
    type(number);
    caseWindow = WindowRegistry::find<frmArende>();
    QVERIFY(caseWindow && caseWindow->isVisible());
    QCOMPARE(caseWindow->currentEntry()[CustomerName], QStringLiteral("Bo Ek"));
    QVERIFY(activate(caseWindow));
    MessageBox::setNextAnswer(MessageBox::AnswerYes);
    const QPointer<frmArende> opened(caseWindow);
    press(QKeySequence(Qt::Key_Escape));
    QCOMPARE(lastTitle(), QStringLiteral("Avsluta"));
    QVERIFY(!opened || !opened->isVisible());
}

void TestKeyboard::keysWorkWhileAFieldHasTheFocus_data()
{
    QTest::addColumn<QString>("window"); // the active window
    QTest::addColumn<QString>("focus"); // its control with the focus
    QTest::addColumn<QString>("typed"); // what is typed there first
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<QString>("index"); // who is signed in: "0" administrator
    QTest::addColumn<QString>("expected"); // what:window or box title

    const QKeySequence esc(Qt::Key_Escape);
    const QKeySequence quit(Qt::CTRL | Qt::Key_Q);
    const QKeySequence f5(Qt::Key_F5);
    QTest::newRow("Ctrl+N from the search") << "overview"
                                            << "txtSearch"
                                            << "" << QKeySequence(Qt::CTRL | Qt::Key_N) << "0"
                                            << "open:frmArende";
    QTest::newRow("F5 for an administrator") << "overview"
                                             << "txtSearch"
                                             << "" << f5 << "0"
                                             << "rows:2";
    QTest::newRow("F5 for a clerk does nothing") << "overview"
                                                 << "txtSearch"
                                                 << "" << f5 << "1"
                                                 << "rows:1";
    QTest::newRow("Ctrl+S on a new case is Spara") << "new case"
                                                   << "Text2"
                                                   << "Bo" << QKeySequence(Qt::CTRL | Qt::Key_S) << "1"
                                                   << "box:Felmeddelande";
    QTest::newRow("Ctrl+S on a saved case is Uppdatera") << "case"
                                                         << "Text2"
                                                         << "" << QKeySequence(Qt::CTRL | Qt::Key_S) << "1"
                                                         << "box:Bekräfta";
    QTest::newRow("Escape in the fault text") << "case"
                                              << "txtFelbeskrivning"
                                              << "" << esc << "1"
                                              << "box:Avsluta";
    QTest::newRow("Ctrl+W in a field") << "case"
                                       << "Text3"
                                       << "" << QKeySequence(Qt::CTRL | Qt::Key_W) << "1"
                                       << "box:Avsluta";
    QTest::newRow("Ctrl+H") << "case"
                            << "Text1"
                            << "" << QKeySequence(Qt::CTRL | Qt::Key_H) << "1"
                            << "open:frmHistorik";
    QTest::newRow("Ctrl+Shift+S") << "case"
                                  << "Text1"
                                  << "" << QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S) << "1"
                                  << "open:dlgSparaPdf";
    QTest::newRow("Escape closes Kunder") << "customers"
                                          << "txtSok"
                                          << "" << esc << "1"
                                          << "closed:frmKunder";
    QTest::newRow("Escape clears a search first") << "customers"
                                                  << "txtSok"
                                                  << "08" << esc << "1"
                                                  << "open:frmKunder";
    QTest::newRow("Ctrl+W closes Historik") << "history"
                                            << "lstHistorik"
                                            << "" << QKeySequence(Qt::CTRL | Qt::Key_W) << "1"
                                            << "closed:frmHistorik";
    QTest::newRow("Ctrl+Q, the case kept open") << "customers"
                                                << "txtSok"
                                                << "" << quit << "1"
                                                << "open:frmArende";
    QTest::newRow("Ctrl+Q, the case closed") << "customers"
                                             << "txtSok"
                                             << "" << quit << "1"
                                             << "closed:frmArendeList";
}

void TestKeyboard::keysWorkWhileAFieldHasTheFocus()
{
    QFETCH(QString, window);
    QFETCH(QString, focus);
    QFETCH(QString, typed);
    QFETCH(QKeySequence, keys);
    QFETCH(QString, index);
    QFETCH(QString, expected);

    const QKeySequence quit(Qt::CTRL | Qt::Key_Q);
    QWidget *active = overview(index);
    if (window == QLatin1String("new case")) {
        auto *caseWindow = WindowRegistry::get<frmArende>();
        caseWindow->prepareNewCase();
        WindowRegistry::show<frmArende>();
        QVERIFY(runUntil([caseWindow]() { return !caseWindow->controlCode().isEmpty(); }, 5000));
        active = caseWindow;
    } else if (window == QLatin1String("case") || keys == quit) {
        active = openCase(CaseA);
    }
    if (window == QLatin1String("history")) {
        active = WindowRegistry::show<frmHistorik>();
        static_cast<frmHistorik *>(active)->showCase(
            CaseA[ControlCode], CaseA[CaseNumber], CaseA[CustomerName]);
    } else if (window == QLatin1String("customers")) {
        active = WindowRegistry::show<frmKunder>();
    }
    QVERIFY(activate(active));
    child<QWidget>(active, focus.toLatin1().constData())->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(QApplication::focusWidget(), typed);
    writeCases(*m_data, { CaseA, CaseB }); // what F5 reads
    const QString what = expected.section(u':', 0, 0);
    const QString name = expected.section(u':', 1);
    if (keys == quit && what == QLatin1String("closed"))
        MessageBox::setNextAnswer(MessageBox::AnswerYes); // "Vill du avsluta programet ?"

    press(keys);
    QWidget *found = nullptr;
    for (QWidget *top : QApplication::topLevelWidgets())
        found = found ? found : (top->objectName() == name ? top : top->findChild<QWidget *>(name));
    if (what == QLatin1String("open"))
        QVERIFY(found && found->isVisible());
    else if (what == QLatin1String("closed"))
        QVERIFY(!found || !found->isVisible());
    else if (what == QLatin1String("box"))
        QCOMPARE(lastTitle(), name);
    else
        QCOMPARE(QString::number(WindowRegistry::find<frmArendeList>()->rowCount()), name);
}

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
