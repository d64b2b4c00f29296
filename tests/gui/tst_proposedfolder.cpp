// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// The folder a file or folder dialog starts in is one that exists: the desktop's
// documents folder only where there is one, the folder a user last backed up to only
// while it is still there, else the home folder.

#include "gui/backupjobs.h"
#include "gui/savefolder.h"
#include "storage/backupfolder.h"
#include "support_guifixture.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
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
    QTest::addColumn<QString>("remembered"); // the last backup's folder: "", "gone" or "there"
    QTest::addColumn<QString>("backup"); // where the backup dialog starts: "home", "documents", "remembered"
    QTest::newRow("no documents folder") << false << "" << "home";
    QTest::newRow("documents folder") << true << "" << "documents";
    QTest::newRow("remembered folder gone") << false << "gone" << "home";
    QTest::newRow("remembered folder") << true << "there" << "remembered";
}

void TestProposedFolder::proposedFolderExists()
{
    QFETCH(bool, documents);
    QFETCH(QString, remembered);
    QFETCH(QString, backup);
    const TestDataFolder data;
    const TemporaryHome home;
    QTemporaryDir elsewhere;
    const QString documentsFolder = home.file(QStringLiteral("Documents"));
    if (documents)
        QVERIFY(QDir().mkpath(documentsFolder));
    const QString rememberedFolder = elsewhere.filePath(remembered);
    if (!remembered.isEmpty())
        QVERIFY(backupfolder::write(QStringLiteral("anna"), rememberedFolder).ok());
    if (remembered == QLatin1String("there"))
        QVERIFY(QDir().mkpath(rememberedFolder));

    const QString saveFolder = QFileInfo(proposedSavePath(QStringLiteral("Ärende.pdf"))).path();
    QCOMPARE(QDir(saveFolder).canonicalPath(), QDir(documents ? documentsFolder : home.path()).canonicalPath());
    const QString backupFolder = backupjobs::startFolder(QStringLiteral("anna"));
    QVERIFY2(QFileInfo(backupFolder).isDir(), qPrintable(backupFolder));
    const QString wanted = backup == QLatin1String("home") ? home.path()
        : backup == QLatin1String("documents")            ? documentsFolder
                                                           : rememberedFolder;
    QCOMPARE(QDir(backupFolder).canonicalPath(), QDir(wanted).canonicalPath());
}

QTEST_MAIN(TestProposedFolder)
#include "tst_proposedfolder.moc"
