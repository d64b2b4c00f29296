// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// The folder a file or a folder dialog starts in exists: the desktop's documents folder
// only where there is one, else the home folder.

#include "gui/backupjobs.h"
#include "gui/savefolder.h"
#include "support_guifixture.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

using namespace lunora;
using namespace lunora::test;

class TestProposedFolder final : public QObject
{
    Q_OBJECT

private slots:
    void proposedFolderExists_data();
    void proposedFolderExists();
};

void TestProposedFolder::proposedFolderExists_data()
{
    QTest::addColumn<bool>("documents"); // the home folder has a Documents folder
    QTest::newRow("no documents folder") << false;
    QTest::newRow("documents folder") << true;
}

void TestProposedFolder::proposedFolderExists()
{
    QFETCH(bool, documents);
    const TestDataFolder data; // no folder remembered for the backup
    const TemporaryHome home;
    if (documents)
        QVERIFY(QDir(home.path()).mkdir(QStringLiteral("Documents")));
    const QString wanted
        = QDir(home.file(documents ? QStringLiteral("Documents") : QString())).canonicalPath();
    QCOMPARE(QFileInfo(proposedSavePath(QStringLiteral("Ärende.pdf"))).dir().canonicalPath(), wanted);
    QCOMPARE(QDir(backupjobs::startFolder(QStringLiteral("anna"))).canonicalPath(), wanted);
}

QTEST_MAIN(TestProposedFolder)
#include "tst_proposedfolder.moc"
