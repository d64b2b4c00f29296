// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// Sign-in where passwords are protected, protection from the Data menu and at an
// administrator's sign-in, and the wait after too many wrong sign-ins.

#include "gui/deferredtimer.h"
#include "gui/frmArendeList.h"
#include "gui/frmLogin.h"
#include "gui/messagebox.h"
#include "gui/windowregistry.h"
#include "storage/accounts.h"
#include "storage/datafolder.h"
#include "storage/passwords.h"
#include "support_guifixture.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>

using namespace lunora;
using namespace lunora::test;

namespace {
const QString WaitLine = QStringLiteral("Efter fem felaktiga försök i rad dröjer varje svar 3 sekunder.");

void signIn(frmLogin *login, const QString &id, const QString &password)
{
    child<QLineEdit>(login, "Text1")->setText(id);
    child<QLineEdit>(login, "Text2")->setText(password);
    QTest::mouseClick(child<QPushButton>(login, "Command1"), Qt::LeftButton);
}

QString lastTitle()
{
    return MessageBox::shown().isEmpty() ? QString() : MessageBox::shown().constLast().title;
}
} // namespace

class TestProtectedSignIn final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void onlyTheHashSignsIn_data();
    void onlyTheHashSignsIn();
    void administratorIsOfferedProtection_data();
    void administratorIsOfferedProtection();
    void dataMenuProtectsPasswords();
    void answersWaitAfterFiveWrongSignIns();

private:
    // anna (administrator) and bo (normal user) protected; cesar's plain file came later.
    void makeProtectedFolder();
    std::unique_ptr<TestDataFolder> m_data;
};

void TestProtectedSignIn::initTestCase()
{
    Q_INIT_RESOURCE(gui);
    passwords::setHashCostForTesting(64, 1);
}

void TestProtectedSignIn::init()
{
    m_data = std::make_unique<TestDataFolder>();
    QVERIFY(m_data->isValid());
    startWindowTest();
    frmLogin::forgetFailedSignIns();
}

void TestProtectedSignIn::cleanup()
{
    MessageBox::setAutomaticAnswers(true);
    frmLogin::setAnswerDelay(std::chrono::seconds(3));
    WindowRegistry::closeAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_data.reset();
}

void TestProtectedSignIn::makeProtectedFolder()
{
    QVERIFY(userfile::write(QStringLiteral("anna"),
        { QStringLiteral("anna"), QStringLiteral("hemligt"), QStringLiteral("0"), QStringLiteral("Anna") }));
    QVERIFY(userfile::write(QStringLiteral("bo"),
        { QStringLiteral("bo"), QStringLiteral("bos"), QStringLiteral("9"), QStringLiteral("Bo") }));
    QVERIFY(passwords::protectFolder().ok());
    writeBytes(m_data->file(QStringLiteral("Lib/User/cesar.ini")),
        "[Main]\r\nRealName=Cesar\r\nIndex=0\r\nPassWD=cesars\r\nUser=cesar\r\n");
}

void TestProtectedSignIn::onlyTheHashSignsIn_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("title");
    QTest::newRow("right password") << "bo"
                                    << "bos"
                                    << "Inloggning";
    QTest::newRow("wrong password") << "bo"
                                    << "Bos"
                                    << "Inloggning misslyckades";
    QTest::newRow("plain file beside protected ones") << "cesar"
                                                      << "cesars"
                                                      << "Inloggning misslyckades";
}

void TestProtectedSignIn::onlyTheHashSignsIn()
{
    QFETCH(QString, id);
    QFETCH(QString, password);
    QFETCH(QString, title);
    makeProtectedFolder();
    frmLogin *login = WindowRegistry::show<frmLogin>();
    signIn(login, id, password);
    QTRY_COMPARE(lastTitle(), title);
    // Only the refusal for want of a hash is noted, in a file of its own.
    const QByteArray log = readBytes(m_data->file(QStringLiteral("Errors/Inloggningsfel.txt")));
    QCOMPARE(log.contains("\tcesar\t"), id == u"cesar");
    QVERIFY(!readBytes(m_data->file(QStringLiteral("Errors/Error.txt"))).contains("cesar"));
}

void TestProtectedSignIn::administratorIsOfferedProtection_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("offered");
    QTest::newRow("administrator") << "anna"
                                   << "hemligt" << true;
    QTest::newRow("normal user") << "bo"
                                 << "bos" << false;
}

void TestProtectedSignIn::administratorIsOfferedProtection()
{
    QFETCH(QString, id);
    QFETCH(QString, password);
    QFETCH(bool, offered);
    makeProtectedFolder();
    MessageBox::setNextAnswer(MessageBox::AnswerOk); // the greeting
    MessageBox::setNextAnswer(MessageBox::AnswerYes);
    signIn(WindowRegistry::show<frmLogin>(), id, password);
    QTRY_VERIFY(WindowRegistry::find<frmArendeList>() && WindowRegistry::find<frmArendeList>()->isVisible());

    QStringList titles;
    for (const MessageBox::Shown &box : MessageBox::shown())
        titles << box.title;
    if (!offered) {
        QCOMPARE(titles, QStringList { QStringLiteral("Inloggning") });
        QCOMPARE(passwords::unprotectedUsers(), QStringList { QStringLiteral("cesar") });
        return;
    }
    QCOMPARE(titles, QStringList({ "Inloggning", "Skydda lösenord", "Skydda lösenord" }));
    QVERIFY(MessageBox::shown().at(1).text.startsWith(
        QStringLiteral("Användarfilen för cesar har inget skyddat lösenord")));
    QVERIFY(passwords::unprotectedUsers().isEmpty());
    QCOMPARE(passwords::verify(QStringLiteral("cesar"), QString(), QStringLiteral("cesars")).value(),
        passwords::Verdict::Match);
}

void TestProtectedSignIn::dataMenuProtectsPasswords()
{
    const QByteArray plain = "[Main]\r\nRealName=Anna\r\nIndex=0\r\nPassWD=hemligt\r\nUser=anna\r\n";
    writeBytes(m_data->file(QStringLiteral("Lib/User/anna.ini")), plain);
    auto *overview = WindowRegistry::get<frmArendeList>();
    overview->setUserIndex(QStringLiteral("0"));
    auto *entry = child<QAction>(overview, "mnuSkyddaLosenord");

    // Said no to: nothing changes.
    entry->trigger();
    QCOMPARE(readBytes(m_data->file(QStringLiteral("Lib/User/anna.ini"))), plain);
    QVERIFY(!passwords::isProtected());

    MessageBox::setNextAnswer(MessageBox::AnswerYes);
    entry->trigger();
    QVERIFY(passwords::isProtected());
    QVERIFY(!readBytes(m_data->file(QStringLiteral("Lib/User/anna.ini"))).contains("hemligt"));
    QCOMPARE(MessageBox::shown().constLast().text,
        QStringLiteral("Lösenorden är skyddade. Ingen kan längre läsa dem i användarfilerna."));

    entry->trigger();
    QCOMPARE(MessageBox::shown().constLast().text, QStringLiteral("Lösenorden är redan skyddade."));
}

void TestProtectedSignIn::answersWaitAfterFiveWrongSignIns()
{
    QVERIFY(userfile::write(QStringLiteral("bo"),
        { QStringLiteral("bo"), QStringLiteral("bos"), QStringLiteral("9"), QStringLiteral("Bo") }));
    frmLogin::setAnswerDelay(std::chrono::milliseconds(40));
    MessageBox::setAutomaticAnswers(false);
    // Real modal boxes, answered as a user would.
    QStringList answered;
    QTimer answerer;
    answerer.setInterval(5);
    connect(&answerer, &QTimer::timeout, this, [&answered]() {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            answered << box->text();
            box->accept();
        }
    });
    answerer.start();

    frmLogin *login = WindowRegistry::show<frmLogin>();
    auto *button = child<QPushButton>(login, "Command1");
    auto *timer = child<DeferredTimer>(login, "Timer1");
    // Wrong ids and wrong passwords count alike.
    for (int i = 1; i <= frmLogin::FreeAttempts; ++i) {
        signIn(login, i % 2 ? QStringLiteral("bo") : QStringLiteral("okänd"), QStringLiteral("fel"));
        QVERIFY(runUntil([&]() { return answered.size() == i; }, 5000));
        QCOMPARE(answered.constLast().contains(WaitLine), i == frmLogin::FreeAttempts);
    }

    // From now on every answer, the right one too, comes only after the wait.
    for (const QString &id : { QStringLiteral("okänd"), QStringLiteral("bo") }) {
        const qsizetype before = answered.size();
        signIn(login, id, QStringLiteral("bos"));
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), 40);
        QVERIFY(!button->isEnabled());
        QCOMPARE(answered.size(), before);
        QVERIFY(runUntil([&]() { return answered.size() == before + 1; }, 5000));
    }
    QVERIFY(answered.at(answered.size() - 2).contains(WaitLine));
    QCOMPARE(answered.constLast(), QStringLiteral("Välkommen Bo!"));
}

QTEST_MAIN(TestProtectedSignIn)
#include "tst_protectedsignin.moc"
