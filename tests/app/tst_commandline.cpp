// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
//
// The program's command line and the notes of a first start.

#include "app/startup.h"

#include <QTest>

using namespace lunora;
using namespace lunora::startup;
using Action = CommandLine::Action;

class TestCommandLine final : public QObject
{
    Q_OBJECT

private slots:
    void options_data();
    void options();
    void notesOfAFirstStart();
    void refusalsSayWhereAndWhatToDo();
    void shellWords();
};

void TestCommandLine::options_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("action");
    QTest::addColumn<QString>("dataFolder");

    auto row = [](const char *name, QStringList arguments, Action action, const QString &folder = QString()) {
        QTest::newRow(name) << arguments << int(action) << folder;
    };
    row("nothing", {}, Action::Run);
    row("data folder", { "--data-folder", "/srv/shop" }, Action::Run, "/srv/shop");
    row("data folder with =", { "--data-folder=/srv/my shop" }, Action::Run, "/srv/my shop");
    row("last data folder counts", { "--data-folder", "/a", "--data-folder", "/b" }, Action::Run, "/b");
    row("help", { "--help" }, Action::Help);
    row("short help", { "-h" }, Action::Help);
    row("help wins over the rest", { "--data-folder", "/a", "--help", "--bogus" }, Action::Help);
    row("version", { "--version" }, Action::Version);
    // Qt's own options reach QApplication, their values with them.
    row("qt platform", { "-platform", "offscreen", "--data-folder", "/a" }, Action::Run, "/a");
    row("qt style with =", { "--style=fusion" }, Action::Run);
    row("qt reverse", { "-reverse" }, Action::Run);
    row("unknown option", { "--bogus" }, Action::Invalid);
    row("unknown short option", { "-x" }, Action::Invalid);
    row("qt flag given a value", { "-reverse=1" }, Action::Invalid);
    row("a file name", { "arenden.txt" }, Action::Invalid);
    row("data folder without its folder", { "--data-folder" }, Action::Invalid);
    row("data folder with an empty folder", { "--data-folder=" }, Action::Invalid);
    row("unknown before help", { "--bogus", "--help" }, Action::Invalid);
}

void TestCommandLine::options()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, action);
    QFETCH(QString, dataFolder);
    const CommandLine line = parseCommandLine(arguments);
    QCOMPARE(int(line.action), action);
    if (line.action == Action::Run)
        QCOMPARE(line.dataFolder, dataFolder);
    QCOMPARE(line.error.isEmpty(), line.action != Action::Invalid);
}

void TestCommandLine::notesOfAFirstStart()
{
    DataFolderChoice choice;
    choice.path = QStringLiteral("/home/anna/.local/share/lunora");
    choice.created = true;

    // Made now and nobody in it: both where it is and how to get the first administrator.
    const QString both = startNotes(choice, false, QStringLiteral("/usr/bin/lunora-adduser"));
    QVERIFY(both.contains(
        QStringLiteral("Lunoras datamapp har skapats i\r\n/home/anna/.local/share/lunora\r\n")));
    QVERIFY(
        both.contains(QStringLiteral("/usr/bin/lunora-adduser --data-folder /home/anna/.local/share/lunora "
                                     "ANVÄNDAR-ID \"Förnamn Efternamn\"")));
    QVERIFY(!both.contains(QStringLiteral("\n\n"))); // CR LF throughout, as in every box
    QVERIFY(both.indexOf(QStringLiteral("har skapats")) < both.indexOf(QStringLiteral("ingen användare")));

    // A folder with blanks gets a command that can be pasted as it stands.
    choice.path = QStringLiteral("/media/Butikens data");
    choice.created = false;
    const QString quoted = startNotes(choice, false, QStringLiteral("/opt/Lunora/lunora-adduser"));
    QVERIFY(quoted.contains(QStringLiteral("--data-folder '/media/Butikens data' ")));
    QVERIFY(!quoted.contains(QStringLiteral("har skapats")));

    // Someone can sign in and nothing was made: the start says nothing at all.
    QCOMPARE(startNotes(choice, true, QStringLiteral("/usr/bin/lunora-adduser")), QString());
}

void TestCommandLine::refusalsSayWhereAndWhatToDo()
{
    DataFolderChoice choice;
    choice.path = QStringLiteral("/srv/lunora");
    choice.error = DataFolderError::NotWritable;
    choice.detail = QStringLiteral("/srv/lunora/Lib/User");
    const QString system = dataFolderErrorText(choice, InstallLayout::System);
    QVERIFY(system.startsWith(QStringLiteral("Lunora kan inte skriva i datamappen\r\n/srv/lunora\r\n")));
    QVERIFY(system.contains(QStringLiteral("/srv/lunora/Lib/User är skrivskyddad")));
    QVERIFY(system.contains(QStringLiteral("LUNORA_DATA")));
    // A portable copy does not read the variable, so it does not offer it.
    QVERIFY(!dataFolderErrorText(choice, InstallLayout::Portable).contains(QStringLiteral("LUNORA_DATA")));

    for (DataFolderError error : { DataFolderError::NotAFolder, DataFolderError::Missing,
             DataFolderError::CannotCreate, DataFolderError::NotWritable }) {
        choice.error = error;
        const QString text = dataFolderErrorText(choice, InstallLayout::System);
        QVERIFY2(
            text.contains(QStringLiteral("/srv/lunora")) && text.contains(QStringLiteral("--data-folder")),
            qPrintable(text));
    }
    choice.error = DataFolderError::None;
    QCOMPARE(dataFolderErrorText(choice, InstallLayout::System), QString());
}

void TestCommandLine::shellWords()
{
    QCOMPARE(
        shellQuoted(QStringLiteral("/usr/bin/lunora-adduser")), QStringLiteral("/usr/bin/lunora-adduser"));
    QCOMPARE(shellQuoted(QStringLiteral("/a b")), QStringLiteral("'/a b'"));
    QCOMPARE(shellQuoted(QStringLiteral("/Anna's $HOME")), QStringLiteral("'/Anna'\\''s $HOME'"));
    QCOMPARE(shellQuoted(QStringLiteral("/data/Åsa")), QStringLiteral("'/data/Åsa'"));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
