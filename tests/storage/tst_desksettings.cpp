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

void TestDeskSettings::writtenFileIsTheUsersAlone()
{
    // A file readable by all, as an older copy or a hand left it.
    const QString path = desksettings::filePath();
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    test::writeBytes(path, "[Etikett]\nAntal=2\n");
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
    QVERIFY(desksettings::setSmsCommand({ QStringLiteral("skicka"), { QStringLiteral("--losen=hemligt") } })
                .ok());
    QCOMPARE(QFileInfo(path).permissions() & ~(QFile::ReadUser | QFile::WriteUser),
        QFile::ReadOwner | QFile::WriteOwner);
    QCOMPARE(loadLabelSettings().count, 2);
    // A new file is made private from the start.
    QVERIFY(QFile::remove(path));
    QVERIFY(saveLabelSettings({}).ok());
    QCOMPARE(QFileInfo(path).permissions() & ~(QFile::ReadUser | QFile::WriteUser),
        QFile::ReadOwner | QFile::WriteOwner);
}

void TestDeskSettings::smsCommandReadsAsWrittenByHand_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("kdeConnectPhone"); // empty: not the ready-made command
    QTest::newRow("KDE Connect") << QByteArray("[Sms]\nProgram=kdeconnect-cli\nArguments=--name, Pixel 7, "
                                               "--destination, {mobil}, --send-sms, {text}\n")
                                 << QStringList { "--name", "Pixel 7", "--destination", "{mobil}",
                                        "--send-sms", "{text}" }
                                 << "Pixel 7";
    QTest::newRow("KDE Connect by device")
        << QByteArray("[Sms]\nProgram=kdeconnect-cli\nArguments=--device, 3f, "
                      "--destination, {mobil}, --send-sms, {text}\n")
        << QStringList { "--device", "3f", "--destination", "{mobil}", "--send-sms", "{text}" } << "";
}

void TestDeskSettings::smsCommandReadsAsWrittenByHand()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, arguments);
    QFETCH(QString, kdeConnectPhone);
    QVERIFY(QDir().mkpath(QFileInfo(desksettings::filePath()).path()));
    test::writeBytes(desksettings::filePath(), file);
    const SmsCommand read = desksettings::smsCommand();
    QCOMPARE(read, (SmsCommand { QStringLiteral("kdeconnect-cli"), arguments }));
    QCOMPARE(desksettings::kdeConnectPhone(read).value_or(QString()), kdeConnectPhone);
}

QTEST_GUILESS_MAIN(TestDeskSettings)
#include "tst_desksettings.moc"
