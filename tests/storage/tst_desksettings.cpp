// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// The desk's settings file: the label settings survive a round trip, keep what else the
// file holds, and a hand-edited value out of range falls back to its default.
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

QTEST_GUILESS_MAIN(TestDeskSettings)
#include "tst_desksettings.moc"
