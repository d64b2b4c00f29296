// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// "SMS-inställningar…": "Prova" sends a test text through the command the window shows,
// a command of the test's own standing in for the phone; what fails is said in Swedish;
// "Spara" writes the command to the desk's settings file and nothing else does.

#include "gui/frmSmsInstallningar.h"
#include "gui/messagebox.h"
#include "gui/notifysend.h"
#include "gui/windowregistry.h"
#include "storage/desksettings.h"
#include "support_guifixture.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QInputDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace lunora;
using namespace lunora::test;

namespace {

// A script standing in for the phone: its arguments after the first are written to the
// file the first names, each ended by a NUL; then `body` runs.
QString writeScript(const QTemporaryDir &dir, const QByteArray &body)
{
    const QString path = dir.filePath(QStringLiteral("skicka sms.sh"));
    writeBytes(path,
        "#!/bin/sh\nout=\"$1\"\nshift\nfor a in \"$@\"; do printf '%s\\0' \"$a\"; done > \"$out\"\n" + body);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

// Answers the number "Prova" asks for, once the dialog is up.
void answerNumberWith(const QString &number)
{
    auto *timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, number]() {
        auto *dialog = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        dialog->setTextValue(number);
        dialog->accept();
        timer->deleteLater();
    });
    timer->start(10);
}

} // namespace

class TestSmsSettings final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void testSendGoesThroughTheCommandShown_data();
    void testSendGoesThroughTheCommandShown();
    void saveWritesTheCommandForTheDesk_data();
    void saveWritesTheCommandForTheDesk();

private:
    frmSmsInstallningar *openOwnCommand(const QString &program, const QStringList &arguments);

    QTemporaryDir m_scripts;
};

void TestSmsSettings::init()
{
    startWindowTest();
    QFile::remove(desksettings::filePath());
}

void TestSmsSettings::cleanup()
{
    WindowRegistry::closeAll();
}

frmSmsInstallningar *TestSmsSettings::openOwnCommand(const QString &program, const QStringList &arguments)
{
    auto *window = WindowRegistry::show<frmSmsInstallningar>();
    child<QRadioButton>(window, "optEget")->setChecked(true);
    child<QLineEdit>(window, "txtProgram")->setText(program);
    child<QPlainTextEdit>(window, "txtArgument")->setPlainText(arguments.join(u'\n') + u'\n');
    return window;
}

void TestSmsSettings::testSendGoesThroughTheCommandShown_data()
{
    QTest::addColumn<QByteArray>("body"); // empty: no such program
    QTest::addColumn<QString>("said"); // in the status line when sent, else in the box
    QTest::newRow("sent") << QByteArray("exit 0\n") << "Provmeddelandet till +46 70-123 45 67 är skickat.";
    QTest::newRow("the command fails")
        << QByteArray("echo 'Ingen telefon parkopplad' >&2\nexit 1\n")
        << "SMS-kommandot misslyckades. Provmeddelandet skickades inte.\r\n\r\n"
           "Ingen telefon parkopplad";
    QTest::newRow("no such program")
        << QByteArray()
        << "SMS-kommandot misslyckades. Provmeddelandet skickades inte.\r\n\r\n"
           "Programmet \"/saknas/skicka-sms\" kunde inte startas: det finns inte på den här datorn.";
}

void TestSmsSettings::testSendGoesThroughTheCommandShown()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, said);
    const QString recorded = m_scripts.filePath(QStringLiteral("argument"));
    QFile::remove(recorded);
    const QString program
        = body.isEmpty() ? QStringLiteral("/saknas/skicka-sms") : writeScript(m_scripts, body);
    frmSmsInstallningar *window
        = openOwnCommand(program, { recorded, QStringLiteral("--till={mobil}"), QStringLiteral("{text}") });

    answerNumberWith(QStringLiteral("+46 70-123 45 67"));
    child<QPushButton>(window, "cmdProva")->click();
    QVERIFY(runUntil(
        [window]() {
            return child<QPushButton>(window, "cmdProva")->isEnabled() && !window->smsSender()->isRunning();
        },
        10000));

    if (body.startsWith("exit 0")) {
        QCOMPARE(window->statusText(), said);
        QVERIFY(MessageBox::shown().isEmpty());
        // Each argument whole, the number and the text put in where they stand.
        const QByteArray arguments = readBytes(recorded);
        QVERIFY2(
            arguments.startsWith(QByteArrayLiteral("--till=+46 70-123 45 67\0Provmeddelande från Lunora")),
            arguments.constData());
    } else {
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown().first().title, QStringLiteral("SMS-inställningar"));
        QCOMPARE(MessageBox::shown().first().text, said);
    }
    // Trying saves nothing.
    QVERIFY(!QFile::exists(desksettings::filePath()));
}

void TestSmsSettings::saveWritesTheCommandForTheDesk_data()
{
    QTest::addColumn<bool>("kdeConnect");
    QTest::newRow("own command") << false;
    QTest::newRow("KDE Connect") << true;
}

void TestSmsSettings::saveWritesTheCommandForTheDesk()
{
    QFETCH(bool, kdeConnect);
    const SmsCommand own { QStringLiteral("/opt/sms/skicka"),
        { QStringLiteral("--losen=hemligt ord"), QString(), QStringLiteral("{mobil}"),
            QStringLiteral("{text}") } };
    const SmsCommand wanted = kdeConnect ? desksettings::kdeConnectCommand(QStringLiteral("Pixel 7")) : own;
    frmSmsInstallningar *window = openOwnCommand(own.program, own.arguments);
    if (kdeConnect) {
        child<QRadioButton>(window, "optKdeConnect")->setChecked(true);
        child<QComboBox>(window, "cboTelefon")->setEditText(QStringLiteral("Pixel 7"));
    }
    QCOMPARE(window->command(), wanted);
    child<QPushButton>(window, "cmdSpara")->click();
    QVERIFY(MessageBox::shown().isEmpty());
    QCOMPARE(desksettings::smsCommand(), wanted);
    // Opened again, the window shows what the desk now has.
    QVERIFY(runUntil([]() { return !WindowRegistry::find<frmSmsInstallningar>(); }, 5000));
    auto *again = WindowRegistry::show<frmSmsInstallningar>();
    QCOMPARE(child<QRadioButton>(again, "optKdeConnect")->isChecked(), kdeConnect);
    QCOMPARE(again->command(), wanted);
}

QTEST_MAIN(TestSmsSettings)
#include "tst_smssettings.moc"
