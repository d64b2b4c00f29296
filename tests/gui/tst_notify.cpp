// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// "Meddela kunden": what reaches the SMS command and the mail program, what the user
// is told when they fail, and the history line written only for a message that left.

#include "gui/frmMeddela.h"
#include "gui/messagebox.h"
#include "gui/notifysend.h"
#include "storage/casehistory.h"
#include "storage/datafolder.h"
#include "storage/desksettings.h"
#include "support_guifixture.h"

#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUrlQuery>
#include <csignal>

using namespace lunora;

namespace {
QStringList historyEvents()
{
    QStringList events;
    const Result<QList<HistoryEntry>> history
        = casehistory::load(paths::historyFile(test::CaseA[ControlCode]).value());
    for (const HistoryEntry &entry : history.value())
        events << entry.event;
    return events;
}

// A script standing in for the phone: `body` runs after its arguments are recorded,
// one after the other, each ended by a NUL, in the file given as its first argument.
QString writeScript(const QTemporaryDir &dir, const QByteArray &body)
{
    const QString path = dir.filePath(QStringLiteral("sms med blanksteg.sh"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(
        "#!/bin/sh\nout=\"$1\"\nshift\nfor a in \"$@\"; do printf '%s\\0' \"$a\"; done > \"$out\"\n" + body);
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}
// A process that has ended but was not yet reaped by its new parent counts as ended.
bool processRuns(pid_t pid)
{
    if (::kill(pid, 0) != 0)
        return false;
    const QByteArray stat = test::readBytes(QStringLiteral("/proc/%1/stat").arg(pid));
    const qsizetype state = stat.lastIndexOf(')') + 2;
    return state > 1 && state < stat.size() && stat.at(state) != 'Z' && stat.at(state) != 'X';
}
} // namespace

class TestNotify final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void smsCommandGetsEachArgumentWhole_data();
    void smsCommandGetsEachArgumentWhole();
    void unsentSmsIsReportedAndLeavesNoHistory_data();
    void unsentSmsIsReportedAndLeavesNoHistory();
    void emailIsHandedToTheMailProgram_data();
    void emailIsHandedToTheMailProgram();
    void copiedTextLeavesNoHistory();

private:
    frmMeddela *openDialog();

    std::unique_ptr<test::TestDataFolder> m_folder;
    std::unique_ptr<QTemporaryDir> m_config;
    std::unique_ptr<frmMeddela> m_dialog;
};

void TestNotify::init()
{
    test::startWindowTest();
    m_folder = std::make_unique<test::TestDataFolder>();
    m_config = std::make_unique<QTemporaryDir>();
    qputenv("XDG_CONFIG_HOME", m_config->path().toLocal8Bit());
    test::writeCases(*m_folder, { test::CaseA }, { test::RowA });
}

void TestNotify::cleanup()
{
    m_dialog.reset();
    mail::setOpener({});
    // The folder's end points the program back at its own folder: before the next one.
    m_folder.reset();
}

frmMeddela *TestNotify::openDialog()
{
    m_dialog = std::make_unique<frmMeddela>();
    m_dialog->setCase(test::CaseA, 450.0, CaseState::Saved);
    m_dialog->show();
    return m_dialog.get();
}

void TestNotify::smsCommandGetsEachArgumentWhole_data()
{
    QTest::addColumn<QString>("mobile");
    QTest::addColumn<QString>("text");
    QTest::newRow("leading plus, blanks") << "+46 70-123 45 67"
                                          << "Hej Åsa Öberg!\nEr cykel är klar.";
    QTest::newRow("quotes and shell signs") << "0701234567"
                                            << "Säg \"ja\" eller 'nej'; $(rm -rf ~) & `id` > x";
    QTest::newRow("a placeholder in the text stays") << "070"
                                                     << "{mobil} {text}";
}

void TestNotify::smsCommandGetsEachArgumentWhole()
{
    QFETCH(QString, mobile);
    QFETCH(QString, text);
    QTemporaryDir dir;
    const QString recorded = dir.filePath(QStringLiteral("args å.bin"));
    const QString script = writeScript(dir, "exit 0\n");
    QVERIFY(desksettings::setSmsCommand({ script,
                                            { recorded, QStringLiteral("--to"), QStringLiteral("{mobil}"),
                                                QStringLiteral("--text={text}"), QStringLiteral("{text}") } })
                .ok());

    frmMeddela *dialog = openDialog();
    test::child<QLineEdit>(dialog, "txtMobil")->setText(mobile);
    test::child<QPlainTextEdit>(dialog, "txtMeddelande")->setPlainText(text);
    test::child<QPushButton>(dialog, "cmdSms")->click();
    QVERIFY(test::runUntil([&] { return !historyEvents().isEmpty(); }, 10000));

    const QByteArray expected = (QStringLiteral("--to\0") + mobile + u'\0' + QStringLiteral("--text=") + text
        + u'\0' + text + u'\0')
                                    .toUtf8();
    QCOMPARE(test::readBytes(recorded), expected);
    QCOMPARE(historyEvents(),
        QStringList { QStringLiteral("SMS till ") + mobile + QStringLiteral(": Klar för hämtning") });
    QVERIFY(MessageBox::shown().isEmpty());
}

void TestNotify::unsentSmsIsReportedAndLeavesNoHistory_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("setCommand");
    QTest::addColumn<QString>("said");
    QTest::newRow("fails") << QByteArray("echo 'Ingen telefon ansluten' >&2\nexit 3\n") << true
                           << "Ingen telefon ansluten";
    QTest::newRow("hangs") << QByteArray("echo 'väntar' >&2\nexec sleep 60\n") << true << "svarade inte";
    QTest::newRow("no command set") << QByteArray() << false << "Inget SMS-kommando är inställt";
    // Endless error output from a shell that also started a child: the limit holds, the
    // message keeps a few kilobytes of it, and the child ends with the shell.
    QTest::newRow("floods its error output")
        << QByteArray("sleep 60 &\necho $! > \"$0.pid\"\nyes 'Ingen telefon ansluten' >&2\n") << true
        << "svarade inte";
}

void TestNotify::unsentSmsIsReportedAndLeavesNoHistory()
{
    QFETCH(QByteArray, body);
    QFETCH(bool, setCommand);
    QFETCH(QString, said);
    QTemporaryDir dir;
    if (setCommand)
        QVERIFY(desksettings::setSmsCommand({ writeScript(dir, body), { dir.filePath("args") } }).ok());

    frmMeddela *dialog = openDialog();
    dialog->smsSender()->setTimeout(std::chrono::milliseconds(300));
    test::child<QPushButton>(dialog, "cmdSms")->click();
    QVERIFY(test::runUntil([] { return !MessageBox::shown().isEmpty(); }, 10000));
    const QString shown = MessageBox::shown().constLast().text;
    QVERIFY2(shown.contains(said), qPrintable(shown.left(200)));
    const qsizetype kept = shown.section(QStringLiteral("\r\n\r\n"), 1).toLocal8Bit().size();
    QVERIFY(kept < 16 * 1024);
    QVERIFY(historyEvents().isEmpty());
    // What the command started went with it.
    const QByteArray child
        = test::readBytes(dir.filePath(QStringLiteral("sms med blanksteg.sh.pid"))).trimmed();
    if (child != "<missing>") {
        const pid_t pid = child.toInt();
        QVERIFY(pid > 0);
        QVERIFY(test::runUntil([pid] { return !processRuns(pid); }, 10000));
        qInfo("kept %lld bytes of what the command wrote; its child %d has ended", qint64(kept), int(pid));
    }
    // The window is still there for another try.
    QVERIFY(dialog->isVisible());
    QVERIFY(test::child<QPushButton>(dialog, "cmdSms")->isEnabled());
}

void TestNotify::emailIsHandedToTheMailProgram_data()
{
    QTest::addColumn<bool>("taken");
    QTest::newRow("mail program opens") << true;
    QTest::newRow("no mail program") << false;
}

void TestNotify::emailIsHandedToTheMailProgram()
{
    QFETCH(bool, taken);
    QList<QUrl> handed;
    mail::setOpener([&](const QUrl &url) {
        handed << url;
        return taken;
    });
    frmMeddela *dialog = openDialog();
    test::child<QLineEdit>(dialog, "txtEpost")->setText(QStringLiteral("anna+verkstad@example.se"));
    const QString text = QStringLiteral("Att betala: 1 + 1 = 2 & klart?\nÅÄÖ");
    test::child<QPlainTextEdit>(dialog, "txtMeddelande")->setPlainText(text);
    test::child<QPushButton>(dialog, "cmdEpost")->click();

    QCOMPARE(handed.size(), 1);
    QCOMPARE(handed.at(0).scheme(), QStringLiteral("mailto"));
    QCOMPARE(handed.at(0).path(), QStringLiteral("anna+verkstad@example.se"));
    const QUrlQuery query(handed.at(0));
    QCOMPARE(query.queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded),
        QString(text).replace(u'\n', QStringLiteral("\r\n")));
    QCOMPARE(historyEvents(),
        taken ? QStringList { QStringLiteral("Meddelande via e-post: Klar för hämtning") } : QStringList());
    QCOMPARE(MessageBox::shown().size(), taken ? 0 : 1);
}

void TestNotify::copiedTextLeavesNoHistory()
{
    frmMeddela *dialog = openDialog();
    test::child<QPushButton>(dialog, "cmdKopiera")->click();
    QVERIFY(historyEvents().isEmpty());
    QVERIFY(dialog->isVisible());
}

QTEST_MAIN(TestNotify)
#include "tst_notify.moc"
