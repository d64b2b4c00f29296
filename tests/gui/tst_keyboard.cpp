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
#include <QPointer>
#include <QTest>

using namespace lunora;
using namespace lunora::test;

namespace {

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
    QTest::addColumn<QString>("where"); // window/control with the focus; "clerk" signs in without admin
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("expected"); // open:, closed: a window; box: a title; rows: a count
    auto row = [](const char *tag, const char *where, const char *keys, const char *expected) {
        QTest::newRow(tag) << where << keys << expected;
    };
    row("Ctrl+N from the search", "overview/txtSearch", "Ctrl+N", "open:frmArende");
    row("Ctrl+Shift+N from the search", "overview/txtSearch", "Ctrl+Shift+N", "open:frmArende");
    row("F5 for an administrator", "overview/txtSearch", "F5", "rows:2");
    row("F5 for a clerk does nothing", "clerk/txtSearch", "F5", "rows:1");
    row("Ctrl+S on a new case is Spara", "new case/Text2", "Ctrl+S", "box:Felmeddelande");
    row("Ctrl+S on a saved case is Uppdatera", "case/Text2", "Ctrl+S", "box:Bekräfta");
    row("Escape in the fault text", "case/txtFelbeskrivning", "Esc", "box:Avsluta");
    row("Ctrl+W in a field", "case/Text3", "Ctrl+W", "box:Avsluta");
    row("Ctrl+H", "case/Text1", "Ctrl+H", "open:frmHistorik");
    row("Ctrl+Shift+S", "case/Text1", "Ctrl+Shift+S", "open:dlgSparaPdf");
    row("Escape closes Kunder", "customers/txtSok", "Esc", "closed:frmKunder");
    row("Escape clears a search first", "searching/txtSok", "Esc", "open:frmKunder");
    row("Ctrl+W closes Historik", "history/lstHistorik", "Ctrl+W", "closed:frmHistorik");
    row("Ctrl+Q, the case kept open", "customers/txtSok", "Ctrl+Q", "open:frmArende");
    row("Ctrl+Q, the case closed", "customers/txtSok", "Ctrl+Q", "closed:frmArendeList");
}

void TestKeyboard::keysWorkWhileAFieldHasTheFocus()
{
    QFETCH(QString, where);
    QFETCH(QString, keys);
    QFETCH(QString, expected);
    const QString window = where.section(u'/', 0, 0);
    const QString what = expected.section(u':', 0, 0);
    const QString name = expected.section(u':', 1);

    QWidget *active = overview(window == QLatin1String("clerk") ? QStringLiteral("1") : QStringLiteral("0"));
    if (window == QLatin1String("new case")) {
        auto *caseWindow = WindowRegistry::get<frmArende>();
        caseWindow->prepareNewCase();
        active = WindowRegistry::show<frmArende>();
        QVERIFY(runUntil([caseWindow]() { return !caseWindow->controlCode().isEmpty(); }, 5000));
    } else if (window == QLatin1String("case") || keys == QLatin1String("Ctrl+Q")) {
        active = openCase(CaseA);
    }
    if (window == QLatin1String("history")) {
        auto *history = WindowRegistry::show<frmHistorik>();
        history->showCase(CaseA[ControlCode], CaseA[CaseNumber], CaseA[CustomerName]);
        active = history;
    } else if (window == QLatin1String("customers") || window == QLatin1String("searching")) {
        active = WindowRegistry::show<frmKunder>();
    }
    QVERIFY(activate(active));
    child<QWidget>(active, where.section(u'/', 1).toLatin1().constData())->setFocus(Qt::TabFocusReason);
    if (window == QLatin1String("searching"))
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("08"));
    writeCases(*m_data, { CaseA, CaseB }); // what F5 reads
    if (keys == QLatin1String("Ctrl+Q") && what == QLatin1String("closed"))
        MessageBox::setNextAnswer(MessageBox::AnswerYes); // "Vill du avsluta programet ?"

    press(QKeySequence::fromString(keys));
    QWidget *found = nullptr;
    for (QWidget *top : QApplication::topLevelWidgets())
        found = found ? found : (top->objectName() == name ? top : top->findChild<QWidget *>(name));
    if (what == QLatin1String("open") || what == QLatin1String("closed"))
        QCOMPARE(found && found->isVisible(), what == QLatin1String("open"));
    else if (what == QLatin1String("box"))
        QCOMPARE(lastTitle(), name);
    else
        QCOMPARE(QString::number(WindowRegistry::find<frmArendeList>()->rowCount()), name);
}

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
