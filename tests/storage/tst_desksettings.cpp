// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// The desk's settings file: the label settings survive a round trip, keep what else the
// file holds, and a hand-edited value out of range falls back to its default. The file
// is its user's alone once the program has written it, and an SMS command written by
// hand reads as the window writes it.
#include "common/testsupport.h"
#include "storage/desksettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTest>

using namespace lunora;

class TestDeskSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void labelSettingsKeepOtherGroups();
    void editedValuesAreChecked_data();
    void editedValuesAreChecked();
    void writtenFileIsTheUsersAlone_data();
    void writtenFileIsTheUsersAlone();
    void smsCommandReadsAsWrittenByHand_data();
    void smsCommandReadsAsWrittenByHand();
};

void TestDeskSettings::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestDeskSettings::init()
{
    QFile::remove(desksettings::filePath());
}

void TestDeskSettings::labelSettingsKeepOtherGroups()
{
    QVERIFY(desksettings::setValues(QStringLiteral("Annat"), { { QStringLiteral("Nyckel"), 7 } }).ok());
    const LabelSettings chosen { QStringLiteral("QL-800"), 102, 51, 3, true };
    QVERIFY(saveLabelSettings(chosen).ok());
    QCOMPARE(loadLabelSettings(), chosen);
    QCOMPARE(desksettings::value(QStringLiteral("Annat"), QStringLiteral("Nyckel")).toInt(), 7);
    QVERIFY(desksettings::filePath().endsWith(QStringLiteral("/lunora/lunora.conf")));
}

void TestDeskSettings::editedValuesAreChecked_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<LabelSettings>("expected");
    const LabelSettings defaults;
    QTest::newRow("missing file") << QByteArray() << defaults;
    QTest::newRow("count above 20") << QByteArray("[Etikett]\nAntal=99\n")
                                    << LabelSettings { {}, 62, 29, 20, false };
    QTest::newRow("count zero") << QByteArray("[Etikett]\nAntal=0\n")
                                << LabelSettings { {}, 62, 29, 1, false };
    QTest::newRow("count not a number") << QByteArray("[Etikett]\nAntal=tre\n") << defaults;
    QTest::newRow("width alone") << QByteArray("[Etikett]\nBredd=89\n") << defaults;
    QTest::newRow("height too small") << QByteArray("[Etikett]\nBredd=89\nHojd=5\n") << defaults;
    QTest::newRow("portrait size") << QByteArray("[Etikett]\nBredd=29\nHojd=62\nSkrivare=Dymo\n")
                                   << LabelSettings { QStringLiteral("Dymo"), 29, 62, 1, false };
}

void TestDeskSettings::editedValuesAreChecked()
{
    QFETCH(QByteArray, file);
    QFETCH(LabelSettings, expected);
    if (!file.isEmpty()) {
        QVERIFY(QDir().mkpath(QFileInfo(desksettings::filePath()).path()));
        test::writeBytes(desksettings::filePath(), file);
    }
    QCOMPARE(loadLabelSettings(), expected);
}

void TestDeskSettings::writtenFileIsTheUsersAlone_data()
{
    QTest::addColumn<QByteArray>("before"); // empty: no file yet
    QTest::newRow("new file") << QByteArray();
    QTest::newRow("file readable by all") << QByteArray("[Etikett]\nAntal=2\n");
}

void TestDeskSettings::writtenFileIsTheUsersAlone()
{
    QFETCH(QByteArray, before);
    const QString path = desksettings::filePath();
    if (!before.isEmpty()) {
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        test::writeBytes(path, before);
        QVERIFY(QFile::setPermissions(
            path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther));
    }
    QVERIFY(desksettings::setSmsCommand(
        { QStringLiteral("/usr/local/bin/sms-gateway"),
            { QStringLiteral("--losen=hemligt"), QStringLiteral("{mobil}"), QStringLiteral("{text}") } })
                .ok());
    QCOMPARE(QFileInfo(path).permissions() & ~(QFile::ReadUser | QFile::WriteUser),
        QFile::ReadOwner | QFile::WriteOwner);
    QVERIFY(test::readBytes(path).contains("hemligt"));
    if (!before.isEmpty())
        QCOMPARE(loadLabelSettings().count, 2);
}

void TestDeskSettings::smsCommandReadsAsWrittenByHand_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("kdeConnectPhone"); // empty: not the ready-made command
    QTest::newRow("KDE Connect") << QByteArray(
        "[Sms]\nProgram=kdeconnect-cli\n"
        "Arguments=--name, Pixel 7, --destination, {mobil}, --send-sms, {text}\n")
                                 << "kdeconnect-cli"
                                 << QStringList { "--name", "Pixel 7", "--destination", "{mobil}",
                                        "--send-sms", "{text}" }
                                 << "Pixel 7";
    QTest::newRow("KDE Connect by device id")
        << QByteArray("[Sms]\nProgram=kdeconnect-cli\n"
                      "Arguments=--device, 3f2a, --destination, {mobil}, --send-sms, {text}\n")
        << "kdeconnect-cli"
        << QStringList { "--device", "3f2a", "--destination", "{mobil}", "--send-sms", "{text}" } << "";
    QTest::newRow("a gateway with quotes")
        << QByteArray("[Sms]\nProgram=/opt/sms/skicka\n"
                      "Arguments=\"--till={mobil}\", \"{text}\"\n")
        << "/opt/sms/skicka" << QStringList { "--till={mobil}", "{text}" } << "";
    QTest::newRow("none") << QByteArray("[Etikett]\nAntal=1\n") << "" << QStringList() << "";
}

void TestDeskSettings::smsCommandReadsAsWrittenByHand()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QFETCH(QString, kdeConnectPhone);
    QVERIFY(QDir().mkpath(QFileInfo(desksettings::filePath()).path()));
    test::writeBytes(desksettings::filePath(), file);
    const SmsCommand read = desksettings::smsCommand();
    QCOMPARE(read.program, program);
    QCOMPARE(read.arguments, arguments);
    QCOMPARE(desksettings::kdeConnectPhone(read).value_or(QString()), kdeConnectPhone);
    // Written back by the program, it reads the same.
    if (!read.isEmpty()) {
        QVERIFY(desksettings::setSmsCommand(read).ok());
        QCOMPARE(desksettings::smsCommand(), read);
    }
}

QTEST_GUILESS_MAIN(TestDeskSettings)
#include "tst_desksettings.moc"
