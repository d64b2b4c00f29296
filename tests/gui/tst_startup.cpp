// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// Start-up, sign-in, new users and About, driven through the windows as a user would.

#include "gui/deferredtimer.h"
#include "gui/frmArende.h"
#include "gui/frmArendeList.h"
#include "gui/frmLogin.h"
#include "gui/frmOm.h"
#include "gui/frmSkapaID.h"
#include "gui/frmSplash.h"
#include "gui/messagebox.h"
#include "gui/units.h"
#include "gui/windowregistry.h"
#include "storage/accounts.h"
#include "storage/cp1252.h"
#include "storage/datafolder.h"
#include "storage/ini.h"
#include "storage/passwords.h"
#include "storage/session.h"
#include "support_guifixture.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <memory>

using namespace lunora;
using namespace lunora::test;

namespace {
const QString FailureTitle = QStringLiteral("Inloggning misslyckades");
const QString FailureText = QStringLiteral(
    "Felaktigt användarID eller lösenord, var god kontrollera uppgifterna\r\noch försök igen.");

// Every file and folder below the data folder, so that a test can show nothing appeared.
QStringList listing(const QString &root)
{
    QStringList entries;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
        QDirIterator::Subdirectories);
    while (it.hasNext())
        entries.append(it.next());
    entries.sort();
    return entries;
}

bool lastShownIs(const QString &title, const QString &text, MessageBox::Icon icon)
{
    if (MessageBox::shown().isEmpty())
        return false;
    const MessageBox::Shown &last = MessageBox::shown().constLast();
    return last.title == title && last.text == text && last.icon == icon && last.buttons == MessageBox::Ok;
}

const QString RightsLine
    = QStringLiteral("© 2026 Lunora-utvecklarna. Fri programvara: GNU GPL version 3 eller senare.");

// The whole text fits the label on one line, and the label its window.
bool standsOnOneLine(const QLabel *label)
{
    return !label->wordWrap() && label->fontMetrics().horizontalAdvance(label->text()) <= label->width()
        && label->parentWidget()->rect().contains(label->geometry());
}
} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void splashFillsThenHandsOverToSignIn();
    void splashClosedEarlyOpensNothing();
    void signInHandsUserToOverviewAndCaseWindow();
    void signInFailsAtClickWithoutUserFile();
    void signInFailsAtCheck_data();
    void signInFailsAtCheck();
    void unsafeIdTouchesNoFile_data();
    void unsafeIdTouchesNoFile();
    void signInAcceptsWhatTheFileHolds();
    void emptyIdNeverSignsIn();
    void unreadableUserFileFailsQuietly();
    void secondAttemptRepeatsTheCheck();
    void signInKeyboardOrderAndCancel();
    void programEndsWhenOverviewCloses();
    void protectedFolderSignsInByHashOnly_data();
    void protectedFolderSignsInByHashOnly();
    void dataMenuProtectsPasswords();
    void answersWaitAfterFiveWrongSignIns();

    void newUserWritesFileAndSignsIn();
    void newUserRefusesWrongIndex_data();
    void newUserRefusesWrongIndex();
    void newUserFieldLimitsAndTabOrder();
    void newUserReplacesValuesInPlace();
    void newUserWriteFailureKeepsWindowOpen();
    void newUserHelp();
    void newUserRefusesEmptyId();

    void aboutShowsVersionAndCloses();

private:
    QString userFile(const QString &id) const
    {
        return m_data->path() + QStringLiteral("/Lib/User/") + id + ".ini";
    }
    frmLogin *openLogin();
    // anna (administrator) and bo protected; cesar's plain file came afterwards.
    void makeProtectedFolder();
    void signIn(frmLogin *login, const QString &id, const QString &password);

    std::unique_ptr<TestDataFolder> m_data;
};

void TestStartup::initTestCase()
{
    Q_INIT_RESOURCE(gui);
    MessageBox::setAutomaticAnswers(true);
    passwords::setHashCostForTesting(64, 1);
}

void TestStartup::init()
{
    m_data = std::make_unique<TestDataFolder>();
    QVERIFY(m_data->isValid());
    MessageBox::setAutomaticAnswers(true);
    MessageBox::clearShown();
    frmLogin::forgetFailedSignIns(); // each test starts a run of its own
}

void TestStartup::cleanup()
{
    MessageBox::setAutomaticAnswers(true);
    frmLogin::setAnswerDelay(std::chrono::seconds(3));
    session::signOut();
    WindowRegistry::closeAll();
    session::signOut();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_data.reset();
}

frmLogin *TestStartup::openLogin()
{
    return WindowRegistry::show<frmLogin>();
}

void TestStartup::signIn(frmLogin *login, const QString &id, const QString &password)
{
    child<QLineEdit>(login, "Text1")->setText(id);
    child<QLineEdit>(login, "Text2")->setText(password);
    QTest::mouseClick(child<QPushButton>(login, "Command1"), Qt::LeftButton);
}

void TestStartup::splashFillsThenHandsOverToSignIn()
{
    // No Lib folder at all: start-up touches no file and still reaches the sign-in.
    QTemporaryDir empty;
    DataFolder::setRoot(empty.path());

    auto *splash = WindowRegistry::show<frmSplash>();
    QCOMPARE(splash->windowTitle(), QStringLiteral("Orvane+"));
    // The licence line is longer than the designed width: the window grows to hold it.
    QCOMPARE(splash->height(), px(1560));
    QVERIFY(splash->width() >= px(3750));
    auto *rights = child<QLabel>(splash, "Label3");
    QCOMPARE(rights->text(), RightsLine);
    QVERIFY(standsOnOneLine(rights));
    QCOMPARE(child<QLabel>(splash, "Label1")->text(), QStringLiteral("Orvane+"));
    QCOMPARE(child<QLabel>(splash, "Label2")->text(), QStringLiteral("Version: 2011-01-19 (alpha 1)"));

    QStringList titles;
    QStringList captions;
    QList<int> barWidths;
    bool signInBeforeFull = false;
    auto *progBar = child(splash, "ProgBar");
    auto *progBarCap = child<QLabel>(splash, "ProgBarCap");
    const int fullWidth = child(splash, "ProgBarBg")->width();
    QCOMPARE(progBar->width(), px(15));
    connect(splash, &QWidget::windowTitleChanged, this, [&](const QString &title) {
        titles.append(title);
        captions.append(progBarCap->text());
        barWidths.append(progBar->width());
        if (WindowRegistry::find<frmLogin>())
            signInBeforeFull = true;
    });

    QTRY_VERIFY_WITH_TIMEOUT(
        WindowRegistry::find<frmLogin>() && WindowRegistry::find<frmLogin>()->isVisible(), 20000);
    QVERIFY(!signInBeforeFull);
    QCOMPARE(titles.size(), 81);
    // The integer part, never rounded up: 55 of 3255 is 1.7 %, 95 of 3255 is 2.9 %.
    QCOMPARE(titles.at(0), QStringLiteral("Lunora  (1 %)"));
    QCOMPARE(titles.at(1), QStringLiteral("Lunora  (2 %)"));
    QCOMPARE(titles.at(39), QStringLiteral("Lunora  (49 %)")); // 1615 of 3255
    QCOMPARE(titles.constLast(), QStringLiteral("Lunora  (100 %)"));
    static const QRegularExpression form(QStringLiteral("^Lunora  \\((\\d+) %\\)$"));
    int previous = 0;
    for (const QString &title : titles) {
        const QRegularExpressionMatch match = form.match(title);
        QVERIFY2(match.hasMatch(), qPrintable(title));
        const int percent = match.captured(1).toInt();
        QVERIFY(percent >= previous && percent <= 100);
        previous = percent;
    }
    QCOMPARE(captions.constLast(), QStringLiteral("100 %"));
    QCOMPARE(captions.at(0), QStringLiteral("1 %"));
    // The bar reaches the strip's full width exactly with the last step, not before.
    QCOMPARE(barWidths.constLast(), fullWidth);
    QVERIFY(barWidths.at(barWidths.size() - 2) < fullWidth);

    // The splash is gone for good and its timer no longer runs.
    QTRY_VERIFY(!WindowRegistry::find<frmSplash>());
    QVERIFY(listing(empty.path()).isEmpty());
    QVERIFY(MessageBox::shown().isEmpty());
}

void TestStartup::splashClosedEarlyOpensNothing()
{
    auto *splash = WindowRegistry::show<frmSplash>();
    QTRY_VERIFY(splash->windowTitle().startsWith(QStringLiteral("Lunora")));
    splash->close();
    QTest::qWait(300);
    QVERIFY(!WindowRegistry::find<frmLogin>());
}

void TestStartup::signInHandsUserToOverviewAndCaseWindow()
{
    QVERIFY(userfile::write(QStringLiteral("anna"),
        { QStringLiteral("anna"), QStringLiteral("Hemligt1"), QStringLiteral("0"),
            QStringLiteral("Anna Åström") }));
    frmLogin *login = openLogin();
    QCOMPARE(login->windowTitle(), QStringLiteral("Inloggning"));
    QCOMPARE(login->size(), QSize(px(3375), px(1335)));

    signIn(login, QStringLiteral("anna"), QStringLiteral("Hemligt1"));
    // The check runs on the timer, after the click has been handled.
    QVERIFY(MessageBox::shown().isEmpty());
    QVERIFY(!WindowRegistry::find<frmArendeList>());

    QTRY_VERIFY(!MessageBox::shown().isEmpty());
    QCOMPARE(MessageBox::shown().size(), 1);
    QVERIFY(lastShownIs(
        QStringLiteral("Inloggning"), QStringLiteral("Välkommen Anna Åström!"), MessageBox::Information));

    auto *overview = WindowRegistry::find<frmArendeList>();
    QVERIFY(overview && overview->isVisible());
    QVERIFY(child<QMenu>(overview, "mnuData")->menuAction()->isVisible());
    QCOMPARE(session::user().index, QStringLiteral("0"));
    QCOMPARE(session::user().realName, QStringLiteral("Anna Åström"));
    QCOMPARE(session::user().userId, QStringLiteral("anna"));
    auto *caseWindow = WindowRegistry::find<frmArende>();
    QVERIFY(caseWindow && !caseWindow->isVisible());
    QCOMPARE(caseWindow->activeUser(), QStringLiteral("Anna Åström"));
    QCOMPARE(caseWindow->sign(), QStringLiteral("anna"));
    QTRY_VERIFY(!WindowRegistry::find<frmLogin>());
}

void TestStartup::signInFailsAtClickWithoutUserFile()
{
    // Also an id with a trailing blank: it names another file, which does not exist.
    QVERIFY(userfile::write(QStringLiteral("anna"),
        { QStringLiteral("anna"), QStringLiteral("x"), QStringLiteral("0"), QStringLiteral("Anna") }));
    const QStringList before = listing(m_data->path());
    for (const QString &id : { QStringLiteral("bertil"), QStringLiteral("anna ") }) {
        MessageBox::clearShown();
        frmLogin *login = openLogin();
        signIn(login, id, QStringLiteral("x"));
        // At once, from the click, and no check follows.
        QVERIFY(lastShownIs(FailureTitle, FailureText, MessageBox::Exclamation));
        QVERIFY(!child<DeferredTimer>(login, "Timer1")->isActive());
        QTest::qWait(20);
        QCOMPARE(MessageBox::shown().size(), 1);
        QVERIFY(login->isVisible());
        QVERIFY(!WindowRegistry::find<frmArendeList>());
    }
    QCOMPARE(listing(m_data->path()), before);
}

void TestStartup::signInFailsAtCheck_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("fileId");
    QTest::addColumn<QString>("typedId");
    QTest::addColumn<QString>("password");

    const QByteArray anna = "[Main]\r\nRealName=Anna\r\nIndex=9\r\nPassWD=Hemligt1\r\nUser=anna\r\n";
    QTest::newRow("wrong password") << anna << "anna"
                                    << "anna"
                                    << "hemligt1";
    QTest::newRow("password with a trailing blank") << anna << "anna"
                                                    << "anna"
                                                    << "Hemligt1 ";
    QTest::newRow("empty password") << anna << "anna"
                                    << "anna"
                                    << "";
    // The file is found (as on a file system that ignores case) but its User differs.
    QTest::newRow("id in other letter case") << anna << "ANNA"
                                             << "ANNA"
                                             << "Hemligt1";
    QTest::newRow("file without User")
        << QByteArray("[Main]\r\nRealName=Anna\r\nIndex=0\r\nPassWD=x\r\n") << "anna"
        << "anna"
        << "x";
    QTest::newRow("keys in another section") << QByteArray("[Other]\r\nPassWD=x\r\nUser=anna\r\n") << "anna"
                                             << "anna"
                                             << "x";
}

void TestStartup::signInFailsAtCheck()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, fileId);
    QFETCH(QString, typedId);
    QFETCH(QString, password);
    writeBytes(userFile(fileId), file);
    session::signIn({ QStringLiteral("före"), QStringLiteral("Före"), QStringLiteral("9") });
    auto *caseWindow = WindowRegistry::get<frmArende>();

    frmLogin *login = openLogin();
    signIn(login, typedId, password);
    QVERIFY(MessageBox::shown().isEmpty());
    QTRY_VERIFY(!MessageBox::shown().isEmpty());
    QVERIFY(lastShownIs(FailureTitle, FailureText, MessageBox::Exclamation));
    QTest::qWait(10);
    QCOMPARE(MessageBox::shown().size(), 1);

    // The window stays with what was typed; the file is read, never changed.
    QVERIFY(login->isVisible());
    QCOMPARE(child<QLineEdit>(login, "Text1")->text(), typedId);
    QCOMPARE(child<QLineEdit>(login, "Text2")->text(), password);
    // The password is typed again over the old one.
    QCOMPARE(login->focusWidget(), child<QLineEdit>(login, "Text2"));
    QCOMPARE(child<QLineEdit>(login, "Text2")->selectedText(), password);
    QVERIFY(!child<DeferredTimer>(login, "Timer1")->isActive());
    QCOMPARE(readBytes(userFile(fileId)), file);

    // The overview and the case window are made and stay hidden; the failed attempt
    // leaves the session, and with it the case window's user, as it was.
    auto *overview = WindowRegistry::find<frmArendeList>();
    QVERIFY(overview && !overview->isVisible());
    QCOMPARE(session::user().index, QStringLiteral("9"));
    QCOMPARE(session::user().realName, QStringLiteral("Före"));
    QCOMPARE(session::user().userId, QStringLiteral("före"));
    QCOMPARE(caseWindow->sign(), QStringLiteral("före"));
    QVERIFY(!caseWindow->isVisible());
}

void TestStartup::unsafeIdTouchesNoFile_data()
{
    QTest::addColumn<QString>("id");
    QTest::newRow("parent") << "..";
    QTest::newRow("current") << ".";
    QTest::newRow("up and out") << "../arenden";
    QTest::newRow("slash") << "a/b";
    QTest::newRow("backslash") << "..\\CompanyInfo";
    QTest::newRow("absolute") << "/tmp/lunora-user";
}

void TestStartup::unsafeIdTouchesNoFile()
{
    QFETCH(QString, id);
    // A file that an escaping id would name, to show it is not read either.
    writeBytes(
        m_data->path() + QStringLiteral("/Lib/arenden.ini"), "[Main]\r\nUser=../arenden\r\nPassWD=x\r\n");
    const QStringList before = listing(m_data->path());

    frmLogin *login = openLogin();
    signIn(login, id, QStringLiteral("x"));
    QVERIFY(lastShownIs(FailureTitle, FailureText, MessageBox::Exclamation));
    QVERIFY(!child<DeferredTimer>(login, "Timer1")->isActive());
    QTest::qWait(20);
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(listing(m_data->path()), before);
    QVERIFY(!QFile::exists(QStringLiteral("/tmp/lunora-user.ini")));
    QVERIFY(!WindowRegistry::find<frmArendeList>());
}

void TestStartup::signInAcceptsWhatTheFileHolds()
{
    // A file without PassWD accepts an empty password; an empty full name greets with
    // nothing between the blank and "!"; an unusual index is handed on unchanged.
    writeBytes(userFile(QStringLiteral("kassa")), "[MAIN]\r\nindex=5\r\nuser=kassa\r\n");
    frmLogin *login = openLogin();
    signIn(login, QStringLiteral("kassa"), QString());
    QTRY_VERIFY(!MessageBox::shown().isEmpty());
    QVERIFY(
        lastShownIs(QStringLiteral("Inloggning"), QStringLiteral("Välkommen !"), MessageBox::Information));
    auto *overview = WindowRegistry::find<frmArendeList>();
    QVERIFY(overview && overview->isVisible());
    QCOMPARE(session::user().index, QStringLiteral("5"));
    QCOMPARE(WindowRegistry::find<frmArende>()->sign(), QStringLiteral("kassa"));
    // Only an administrator's index shows the data menu.
    QVERIFY(!child<QMenu>(overview, "mnuData")->menuAction()->isVisible());
}

void TestStartup::emptyIdNeverSignsIn()
{
    // A file ".ini" in Lib\User (left by an older copy's empty id) with empty values and
    // an administrator's index: an empty id and password would have matched it.
    writeBytes(userFile(QString()), "[Main]\r\nRealName=\r\nIndex=0\r\nPassWD=\r\nUser=\r\n");
    const QStringList before = listing(m_data->path());
    frmLogin *login = openLogin();
    signIn(login, QString(), QString());
    QVERIFY(lastShownIs(FailureTitle, FailureText, MessageBox::Exclamation));
    QVERIFY(!child<DeferredTimer>(login, "Timer1")->isActive());
    QTest::qWait(20);
    QCOMPARE(MessageBox::shown().size(), 1);
    QVERIFY(!WindowRegistry::find<frmArendeList>());
    QCOMPARE(listing(m_data->path()), before);
    QVERIFY(!userfile::read(QString()).ok());
    QVERIFY(!userfile::write(QString(), { QString(), QString(), QStringLiteral("0"), QString() }).ok());
}

void TestStartup::unreadableUserFileFailsQuietly()
{
    // Something that exists under the user file's name but cannot be read as a file.
    QVERIFY(QDir(m_data->path()).mkpath(QStringLiteral("Lib/User/trasig.ini")));
    frmLogin *login = openLogin();
    signIn(login, QStringLiteral("trasig"), QStringLiteral("x"));
    QTRY_VERIFY(!MessageBox::shown().isEmpty());
    QVERIFY(lastShownIs(FailureTitle, FailureText, MessageBox::Exclamation));
    QTest::qWait(10);
    QCOMPARE(MessageBox::shown().size(), 1);
    QVERIFY(login->isVisible());
    QVERIFY(!WindowRegistry::find<frmArendeList>() || !WindowRegistry::find<frmArendeList>()->isVisible());
}

void TestStartup::secondAttemptRepeatsTheCheck()
{
    QVERIFY(userfile::write(QStringLiteral("bo"),
        { QStringLiteral("bo"), QStringLiteral("rätt"), QStringLiteral("9"), QStringLiteral("Bo Ek") }));
    frmLogin *login = openLogin();
    signIn(login, QStringLiteral("bo"), QStringLiteral("fel"));
    QTRY_COMPARE(MessageBox::shown().size(), 1);
    // The password read from the file is not kept once it has been compared.
    QCOMPARE(child<QLabel>(login, "dbPass")->text(), QString());

    // The password changes between the attempts; the second click reads the file afresh.
    QVERIFY(userfile::write(QStringLiteral("bo"),
        { QStringLiteral("bo"), QStringLiteral("nytt"), QStringLiteral("9"), QStringLiteral("Bo Ek") }));
    child<QLineEdit>(login, "Text2")->setText(QStringLiteral("nytt"));
    QTest::mouseClick(child<QPushButton>(login, "Command1"), Qt::LeftButton);
    QTRY_COMPARE(MessageBox::shown().size(), 2);
    QVERIFY(lastShownIs(
        QStringLiteral("Inloggning"), QStringLiteral("Välkommen Bo Ek!"), MessageBox::Information));
    QCOMPARE(session::user().index, QStringLiteral("9"));
}

void TestStartup::signInKeyboardOrderAndCancel()
{
    frmLogin *login = openLogin();
    QVERIFY(QTest::qWaitForWindowExposed(login));
    login->activateWindow();
    auto *text1 = child<QLineEdit>(login, "Text1");
    auto *text2 = child<QLineEdit>(login, "Text2");
    QTRY_COMPARE(QApplication::focusWidget(), text1);
    QCOMPARE(text2->echoMode(), QLineEdit::Password);
    QCOMPARE(text1->accessibleName(), QStringLiteral("Användare"));
    QCOMPARE(text2->accessibleName(), QStringLiteral("Lösenord"));

    const QList<QWidget *> order { text2, child(login, "Command1"), child(login, "Command2"), text1 };
    for (QWidget *expected : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), expected);
    }

    QTest::mouseClick(child<QPushButton>(login, "Command2"), Qt::LeftButton);
    QVERIFY(!WindowRegistry::find<frmLogin>());
    QVERIFY(MessageBox::shown().isEmpty());
}

void TestStartup::programEndsWhenOverviewCloses()
{
    // The case window the sign-in prepared stays hidden and must not keep the program
    // running once the overview, the last visible window, is closed.
    QVERIFY(userfile::write(QStringLiteral("anna"),
        { QStringLiteral("anna"), QStringLiteral("pw"), QStringLiteral("0"), QStringLiteral("Anna") }));
    signIn(openLogin(), QStringLiteral("anna"), QStringLiteral("pw"));
    QTRY_VERIFY(!WindowRegistry::find<frmLogin>());
    QVERIFY(WindowRegistry::find<frmArendeList>()->isVisible());
    QVERIFY(WindowRegistry::find<frmArende>());

    QApplication::setQuitOnLastWindowClosed(true);
    QTimer closer;
    closer.setSingleShot(true);
    connect(&closer, &QTimer::timeout, WindowRegistry::find<frmArendeList>(), &QWidget::close);
    QTimer guard;
    guard.setSingleShot(true);
    bool stillRunning = false;
    connect(&guard, &QTimer::timeout, this, [&stillRunning] {
        stillRunning = true;
        QCoreApplication::exit(1);
    });
    closer.start(10);
    guard.start(5000);
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(!stillRunning);
}

void TestStartup::makeProtectedFolder()
{
    for (const char *id : { "anna", "bo" })
        writeBytes(userFile(QString::fromLatin1(id)),
            QByteArray("[Main]\r\nRealName=R\r\nIndex=") + (id[0] == 'a' ? "0" : "9") + "\r\nPassWD=" + id
                + "\r\nUser=" + id + "\r\n");
    QVERIFY(passwords::protectFolder().ok());
    writeBytes(userFile(QStringLiteral("cesar")), "[Main]\r\nIndex=0\r\nPassWD=cesar\r\nUser=cesar\r\n");
}

void TestStartup::protectedFolderSignsInByHashOnly_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QStringList>("titles");
    const QString offer = QStringLiteral("Skydda lösenord");
    // An administrator is told about cesar's file and protects it (the automatic Yes).
    QTest::newRow("administrator") << "anna"
                                   << "anna" << QStringList { "Inloggning", offer, offer };
    QTest::newRow("normal user") << "bo"
                                 << "bo" << QStringList { "Inloggning" };
    QTest::newRow("wrong password") << "bo"
                                    << "Bo" << QStringList { FailureTitle };
    QTest::newRow("plain file beside protected ones") << "cesar"
                                                      << "cesar" << QStringList { FailureTitle };
}

void TestStartup::protectedFolderSignsInByHashOnly()
{
    QFETCH(QString, id);
    QFETCH(QString, password);
    QFETCH(QStringList, titles);
    makeProtectedFolder();
    MessageBox::setNextAnswer(MessageBox::AnswerOk);
    MessageBox::setNextAnswer(MessageBox::AnswerYes);
    signIn(openLogin(), id, password);
    QTRY_VERIFY(!MessageBox::shown().isEmpty());
    QTest::qWait(10);
    QStringList shown;
    for (const MessageBox::Shown &box : MessageBox::shown())
        shown << box.title;
    QCOMPARE(shown, titles);
    QCOMPARE(passwords::unprotectedUsers().isEmpty(), id == u"anna");
    // Only the refusal for want of a hash is noted, in a file of its own.
    const QByteArray log = readBytes(m_data->file(QStringLiteral("Errors/Inloggningsfel.txt")));
    QCOMPARE(log.contains("\tcesar\t"), id == u"cesar");
}

void TestStartup::dataMenuProtectsPasswords()
{
    const QByteArray plain = "[Main]\r\nIndex=0\r\nPassWD=hemligt\r\nUser=anna\r\n";
    writeBytes(userFile(QStringLiteral("anna")), plain);
    auto *entry = child<QAction>(WindowRegistry::get<frmArendeList>(), "mnuSkyddaLosenord");
    entry->trigger(); // answered No: nothing changes
    QCOMPARE(readBytes(userFile(QStringLiteral("anna"))), plain);
    MessageBox::setNextAnswer(MessageBox::AnswerYes);
    entry->trigger();
    QVERIFY(passwords::isProtected());
    QVERIFY(!readBytes(userFile(QStringLiteral("anna"))).contains("hemligt"));
    QCOMPARE(MessageBox::shown().constLast().text,
        QStringLiteral("Lösenorden är skyddade. Ingen kan längre läsa dem i användarfilerna."));
    entry->trigger();
    QCOMPARE(MessageBox::shown().constLast().text, QStringLiteral("Lösenorden är redan skyddade."));
}

void TestStartup::answersWaitAfterFiveWrongSignIns()
{
    QVERIFY(userfile::write(QStringLiteral("bo"),
        { QStringLiteral("bo"), QStringLiteral("bos"), QStringLiteral("9"), QStringLiteral("Bo") }));
    frmLogin::setAnswerDelay(std::chrono::milliseconds(40));
    // Real modal boxes, answered as a user would.
    MessageBox::setAutomaticAnswers(false);
    QStringList answered;
    QTimer answerer;
    connect(&answerer, &QTimer::timeout, this, [&answered]() {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            answered << box->text();
            box->accept();
        }
    });
    answerer.start(5);
    const QString waitLine = QStringLiteral("Efter fem felaktiga försök i rad dröjer varje svar 3 sekunder.");

    frmLogin *login = openLogin();
    // Wrong ids and wrong passwords count alike.
    for (int i = 1; i <= frmLogin::FreeAttempts; ++i) {
        signIn(login, i % 2 ? QStringLiteral("bo") : QStringLiteral("okänd"), QStringLiteral("fel"));
        QVERIFY(runUntil([&]() { return answered.size() == i; }, 5000));
        QCOMPARE(answered.constLast().contains(waitLine), i == frmLogin::FreeAttempts);
    }
    // From now on every answer, the right one too, comes only after the wait.
    for (const QString &id : { QStringLiteral("okänd"), QStringLiteral("bo") }) {
        const qsizetype before = answered.size();
        signIn(login, id, QStringLiteral("bos"));
        QCOMPARE(child<DeferredTimer>(login, "Timer1")->interval(), 40);
        QVERIFY(!child<QPushButton>(login, "Command1")->isEnabled());
        QCOMPARE(answered.size(), before);
        QVERIFY(runUntil([&]() { return answered.size() == before + 1; }, 5000));
    }
    QVERIFY(answered.at(answered.size() - 2).contains(waitLine));
    QCOMPARE(answered.constLast(), QStringLiteral("Välkommen Bo!"));
}

void TestStartup::newUserWritesFileAndSignsIn()
{
    auto *window = WindowRegistry::show<frmSkapaID>();
    QCOMPARE(window->windowTitle(), QStringLiteral("Skapa ny användare"));
    QCOMPARE(window->size(), QSize(px(4215), px(3615)));
    QTest::keyClicks(child(window, "Text1"), QStringLiteral("asa"));
    child<QLineEdit>(window, "Text2")->setText(QStringLiteral("Lösen=1 ord"));
    QTest::keyClicks(child(window, "txtIndex"), QStringLiteral("9"));
    child<QLineEdit>(window, "Text3")->setText(QStringLiteral("Åsa Öberg-Ärlig"));
    QTest::mouseClick(child<QPushButton>(window, "Command1"), Qt::LeftButton);

    QVERIFY(MessageBox::shown().isEmpty());
    QVERIFY(!WindowRegistry::find<frmSkapaID>());
    QCOMPARE(readBytes(userFile(QStringLiteral("asa"))),
        QByteArray("[Main]\r\nRealName=\xC5sa \xD6"
                   "berg-\xC4rlig\r\nIndex=9\r\nPassWD=L\xF6sen=1 ord\r\n"
                   "User=asa\r\n"));

    frmLogin *login = openLogin();
    signIn(login, QStringLiteral("asa"), QStringLiteral("Lösen=1 ord"));
    QTRY_VERIFY(!MessageBox::shown().isEmpty());
    QVERIFY(lastShownIs(
        QStringLiteral("Inloggning"), QStringLiteral("Välkommen Åsa Öberg-Ärlig!"), MessageBox::Information));
    QCOMPARE(session::user().index, QStringLiteral("9"));
}

void TestStartup::newUserRefusesWrongIndex_data()
{
    QTest::addColumn<QString>("index");
    QTest::newRow("five") << "5";
    QTest::newRow("letter") << "a";
    QTest::newRow("empty") << "";
    QTest::newRow("blank") << " ";
}

void TestStartup::newUserRefusesWrongIndex()
{
    QFETCH(QString, index);
    auto *window = WindowRegistry::show<frmSkapaID>();
    child<QLineEdit>(window, "Text1")->setText(QStringLiteral("ny"));
    child<QLineEdit>(window, "Text2")->setText(QStringLiteral("pw"));
    child<QLineEdit>(window, "Text3")->setText(QStringLiteral("Ny Person"));
    child<QLineEdit>(window, "txtIndex")->setText(index);
    const QStringList before = listing(m_data->path());
    QTest::mouseClick(child<QPushButton>(window, "Command1"), Qt::LeftButton);

    QCOMPARE(MessageBox::shown().size(), 1);
    QVERIFY(
        lastShownIs(QStringLiteral("Fel"), QStringLiteral("Felaktigt alternativ!"), MessageBox::Critical));
    QCOMPARE(listing(m_data->path()), before);
    QCOMPARE(WindowRegistry::find<frmSkapaID>(), window);
    QVERIFY(window->isVisible());
    QCOMPARE(child<QLineEdit>(window, "Text1")->text(), QStringLiteral("ny"));
    QCOMPARE(child<QLineEdit>(window, "txtIndex")->text(), index);
}

void TestStartup::newUserFieldLimitsAndTabOrder()
{
    auto *window = WindowRegistry::show<frmSkapaID>();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    window->activateWindow();
    const QString longText = QStringLiteral("abcdefghijklmnopqrstuvwxyz0123");
    const struct
    {
        const char *name;
        int longest;
        const char *caption;
    } fields[] = { { "Text1", 15, "Användar-ID" }, { "Text2", 15, "Lösenord" },
        { "Text3", 25, "Riktigt namn" }, { "txtIndex", 1, "Index" } };
    for (const auto &field : fields) {
        auto *edit = child<QLineEdit>(window, field.name);
        QVERIFY(edit->text().isEmpty());
        QTest::keyClicks(edit, longText);
        QCOMPARE(edit->text(), longText.left(field.longest));
        QCOMPARE(edit->accessibleName(), QString::fromUtf8(field.caption));
    }
    QCOMPARE(child<QLineEdit>(window, "Text2")->echoMode(), QLineEdit::Password);

    // The index comes before the full name although it is placed below it.
    QTRY_COMPARE(QApplication::focusWidget(), child(window, "Text1"));
    for (const char *name : { "Text2", "txtIndex", "Text3", "Command1", "Command2", "Text1" }) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QString::fromLatin1(name));
    }

    QTest::mouseClick(child<QPushButton>(window, "Command2"), Qt::LeftButton);
    QVERIFY(!WindowRegistry::find<frmSkapaID>());
    QVERIFY(QDir(m_data->path() + QStringLiteral("/Lib/User"))
                .isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    // A new window starts empty.
    QVERIFY(child<QLineEdit>(WindowRegistry::show<frmSkapaID>(), "Text1")->text().isEmpty());
}

void TestStartup::newUserReplacesValuesInPlace()
{
    // Saving an existing id again: the four values change in place, other keys and the
    // order of the lines stay.
    const QString path = userFile(QStringLiteral("cilla"));
    writeBytes(
        path, "[Main]\r\nUser=cilla\r\nTelefon=123\r\nPassWD=gammalt\r\nIndex=9\r\nRealName=Cilla\r\n");
    auto *window = WindowRegistry::show<frmSkapaID>();
    child<QLineEdit>(window, "Text1")->setText(QStringLiteral("cilla"));
    child<QLineEdit>(window, "Text2")->setText(QStringLiteral("nytt"));
    child<QLineEdit>(window, "txtIndex")->setText(QStringLiteral("0"));
    child<QLineEdit>(window, "Text3")->setText(QStringLiteral("Cilla Berg"));
    QTest::mouseClick(child<QPushButton>(window, "Command1"), Qt::LeftButton);
    QVERIFY(MessageBox::shown().isEmpty());
    QCOMPARE(readBytes(path),
        QByteArray(
            "[Main]\r\nUser=cilla\r\nTelefon=123\r\nPassWD=nytt\r\nIndex=0\r\nRealName=Cilla Berg\r\n"));
}

void TestStartup::newUserWriteFailureKeepsWindowOpen()
{
    const QString title = QStringLiteral("Skapa ny användare");
    auto fillAndSave = [](QWidget *window, const QString &id, const QString &password) {
        child<QLineEdit>(window, "Text1")->setText(id);
        child<QLineEdit>(window, "Text2")->setText(password);
        child<QLineEdit>(window, "txtIndex")->setText(QStringLiteral("0"));
        child<QLineEdit>(window, "Text3")->setText(QStringLiteral("Namn"));
        QTest::mouseClick(child<QPushButton>(window, "Command1"), Qt::LeftButton);
    };
    auto *window = WindowRegistry::show<frmSkapaID>();
    const QStringList before = listing(m_data->path());

    // Ids that are not plain file names, and a "[" that would hide the keys below it.
    for (const QString &id : { QStringLiteral("../evil"), QStringLiteral(".."), QStringLiteral("a\\b") }) {
        MessageBox::clearShown();
        fillAndSave(window, id, QStringLiteral("pw"));
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown().constLast().title, title);
        QVERIFY(MessageBox::shown().constLast().text.startsWith(
            QStringLiteral("Användaren kunde inte sparas.\r\n")));
        QVERIFY(window->isVisible());
    }
    MessageBox::clearShown();
    fillAndSave(window, QStringLiteral("dora"), QStringLiteral("a[b"));
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown().constLast().title, title);
    QCOMPARE(listing(m_data->path()), before);

    // No Lib\User folder: the write fails, nothing is created, the window stays.
    QVERIFY(QDir(m_data->path() + QStringLiteral("/Lib/User")).removeRecursively());
    MessageBox::clearShown();
    fillAndSave(window, QStringLiteral("dora"), QStringLiteral("pw"));
    QCOMPARE(MessageBox::shown().size(), 1);
    QVERIFY(lastShownIs(title,
        QStringLiteral("Användaren kunde inte sparas.\r\nKontrollera att mappen Lib\\User finns i "
                       "programmets mapp och att den går att skriva i."),
        MessageBox::Critical));
    QCOMPARE(WindowRegistry::find<frmSkapaID>(), window);
    QVERIFY(window->isVisible());
    QCOMPARE(child<QLineEdit>(window, "Text1")->text(), QStringLiteral("dora"));
    QVERIFY(!QFileInfo::exists(m_data->path() + QStringLiteral("/Lib/User")));

    // With the folder back the same window saves.
    QVERIFY(QDir(m_data->path()).mkpath(QStringLiteral("Lib/User")));
    MessageBox::clearShown();
    QTest::mouseClick(child<QPushButton>(window, "Command1"), Qt::LeftButton);
    QVERIFY(MessageBox::shown().isEmpty());
    QVERIFY(QFile::exists(userFile(QStringLiteral("dora"))));
}

void TestStartup::newUserHelp()
{
    auto *window = WindowRegistry::show<frmSkapaID>();
    child<QToolButton>(window, "Image1")->click();
    QCOMPARE(MessageBox::shown().size(), 1);
    QVERIFY(lastShownIs(QStringLiteral("Hjälp"),
        QStringLiteral("Behörighetsindex\r\n\r\n0 = Administratör, fullständig behörighet.\r\n"
                       "9 = Normal användare, begränsad behörighet"),
        MessageBox::Information));
    QVERIFY(window->isVisible());
}

void TestStartup::newUserRefusesEmptyId()
{
    auto *window = WindowRegistry::show<frmSkapaID>();
    child<QLineEdit>(window, "Text2")->setText(QStringLiteral("hemligt"));
    child<QLineEdit>(window, "txtIndex")->setText(QStringLiteral("0"));
    child<QLineEdit>(window, "Text3")->setText(QStringLiteral("Ingen Alls"));
    QTest::mouseClick(child<QPushButton>(window, "Command1"), Qt::LeftButton);
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown().constFirst().title, QStringLiteral("Skapa ny användare"));
    QVERIFY(MessageBox::shown().constFirst().text.contains(QStringLiteral("Användar-ID saknas.")));
    QVERIFY(window->isVisible());
    QVERIFY(QDir(m_data->path() + QStringLiteral("/Lib/User")).isEmpty());
}

void TestStartup::aboutShowsVersionAndCloses()
{
    auto *about = WindowRegistry::show<frmOm>();
    QCOMPARE(about->windowTitle(), QStringLiteral("Om"));
    QCOMPARE(about->height(), px(3105));
    QVERIFY(about->width() >= px(4680));
    QCOMPARE(child<QLabel>(about, "Label1")->text(), QStringLiteral("Orvane+"));
    // The version comes from the build's own project version.
    const QString version = child<QLabel>(about, "dbVers")->text();
    QCOMPARE(version, QStringLiteral(LUNORA_VERSION));
    QVERIFY(QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+$")).match(version).hasMatch());
    auto *rights = child<QLabel>(about, "dbCopy");
    QCOMPARE(rights->text(), RightsLine);
    QVERIFY(standsOnOneLine(rights));
    QVERIFY(!child<QLabel>(about, "dbInfo")->text().isEmpty());

    QCOMPARE(WindowRegistry::show<frmOm>(), about);
    QTest::mouseClick(child<QPushButton>(about, "Command1"), Qt::LeftButton);
    QVERIFY(!WindowRegistry::find<frmOm>());
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
