// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
//
// Which data folder a copy of the program uses, in the portable and the system layout,
// and what it makes, keeps and refuses.

#include "common/testsupport.h"
#include "storage/datafolderchoice.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace lunora;

namespace {

QStringList listing(const QString &root)
{
    QStringList entries;
    QDirIterator it(
        root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        entries.append(QDir(root).relativeFilePath(it.next()));
    entries.sort();
    return entries;
}

// An installed template as a package lays it out: the folder skeleton and, to show that
// files come along too, a read-only company file.
QString makeTemplate(const QString &base)
{
    const QString folder = base + QStringLiteral("/share/lunora");
    for (const char *dir : { "Lib/User", "Lib/Logo", "Errors" })
        QDir().mkpath(folder + u'/' + QLatin1StringView(dir));
    const QString company = folder + QStringLiteral("/Lib/CompanyInfo.ini");
    test::writeBytes(company, QByteArray("[Main]\r\nLine1=Butiken\r\n"));
    QFile::setPermissions(company, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    return folder;
}

DataFolderRequest systemRequest(const QString &base)
{
    DataFolderRequest request;
    request.layout = InstallLayout::System;
    request.defaultFolder = base + QStringLiteral("/home/.local/share/lunora");
    request.templateFolder = base + QStringLiteral("/share/lunora");
    return request;
}

const QStringList MadeFromTemplate = {
    QStringLiteral("Errors"),
    QStringLiteral("Lib"),
    QStringLiteral("Lib/CompanyInfo.ini"),
    QStringLiteral("Lib/Logo"),
    QStringLiteral("Lib/User"),
};

} // namespace

class TestDataFolderChoice final : public QObject
{
    Q_OBJECT

private slots:
    void systemCopyTakesOptionThenVariableThenDefault();
    void systemCopyMakesMissingFolderFromTemplate();
    void systemCopyKeepsWhatIsThere();
    void systemCopyWithoutTemplateStillGetsTheFolders();
    void systemCopyRefusesWhatIsNoFolder();
    void refusesFolderItCannotWrite();
    void portableCopyHonoursOnlyTheOption();
    void userFilesAreCounted();
};

void TestDataFolderChoice::systemCopyTakesOptionThenVariableThenDefault()
{
    QTemporaryDir base;
    makeTemplate(base.path());
    DataFolderRequest request = systemRequest(base.path());

    DataFolderChoice byDefault = chooseDataFolder(request);
    QVERIFY(byDefault.ok());
    QCOMPARE(byDefault.source, DataFolderSource::Default);
    QCOMPARE(byDefault.path, request.defaultFolder);

    request.environment = base.path() + QStringLiteral("/from-variable/");
    const DataFolderChoice byVariable = chooseDataFolder(request);
    QVERIFY(byVariable.ok());
    QCOMPARE(byVariable.source, DataFolderSource::Environment);
    QCOMPARE(byVariable.path, base.path() + QStringLiteral("/from-variable")); // no trailing separator

    // A relative option is taken from the current folder, as a shell user means it.
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(base.path()));
    request.option = QStringLiteral("shop/../from-option");
    const DataFolderChoice byOption = chooseDataFolder(request);
    QDir::setCurrent(before);
    QVERIFY(byOption.ok());
    QCOMPARE(byOption.source, DataFolderSource::Option);
    QCOMPARE(byOption.path, base.path() + QStringLiteral("/from-option"));
    QCOMPARE(listing(byOption.path), MadeFromTemplate);
}

void TestDataFolderChoice::systemCopyMakesMissingFolderFromTemplate()
{
    QTemporaryDir base;
    makeTemplate(base.path());
    const DataFolderRequest request = systemRequest(base.path());

    const DataFolderChoice first = chooseDataFolder(request);
    QVERIFY(first.ok());
    QVERIFY(first.created);
    QCOMPARE(listing(first.path), MadeFromTemplate);
    // The user's copy of a read-only template file is the user's to change.
    QVERIFY(
        QFileInfo(first.path + QStringLiteral("/Lib/CompanyInfo.ini")).isWritable() || test::runningAsRoot());
    QCOMPARE(test::readBytes(first.path + QStringLiteral("/Lib/CompanyInfo.ini")),
        QByteArray("[Main]\r\nLine1=Butiken\r\n"));
    // The user's own folder and its files are for nobody else's eyes.
    const auto ownerGroupOther = [](const QString &path) {
        return QFile::permissions(path).toInt() & 0x7077;
    };
    QCOMPARE(ownerGroupOther(first.path), (QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner).toInt());
    QCOMPARE(ownerGroupOther(first.path + QStringLiteral("/Lib/CompanyInfo.ini")),
        (QFile::ReadOwner | QFile::WriteOwner).toInt());

    // An empty folder (made by hand, or by a package manager) counts as not made yet.
    QTemporaryDir empty;
    DataFolderRequest intoEmpty = request;
    intoEmpty.option = empty.path();
    const DataFolderChoice filled = chooseDataFolder(intoEmpty);
    QVERIFY(filled.ok());
    QVERIFY(filled.created);
    QCOMPARE(listing(empty.path()), MadeFromTemplate);
}

void TestDataFolderChoice::systemCopyKeepsWhatIsThere()
{
    QTemporaryDir base;
    makeTemplate(base.path());
    const DataFolderRequest request = systemRequest(base.path());
    QVERIFY(chooseDataFolder(request).ok());

    // The shop changed its company file and removed the logo folder: a later start
    // neither restores the template's file nor brings back the folder.
    const QString company = request.defaultFolder + QStringLiteral("/Lib/CompanyInfo.ini");
    test::writeBytes(company, QByteArray("[Main]\r\nLine1=Egen butik\r\n"));
    QVERIFY(QDir(request.defaultFolder + QStringLiteral("/Lib/Logo")).removeRecursively());
    const QStringList before = listing(request.defaultFolder);

    const DataFolderChoice again = chooseDataFolder(request);
    QVERIFY(again.ok());
    QVERIFY(!again.created);
    QCOMPARE(listing(request.defaultFolder), before);
    QCOMPARE(test::readBytes(company), QByteArray("[Main]\r\nLine1=Egen butik\r\n"));

    // A folder that holds anything at all is a data folder already, even one from an
    // older copy that lacks some of the folders.
    QTemporaryDir old;
    test::writeBytes(old.path() + QStringLiteral("/notes.txt"), QByteArray("x"));
    DataFolderRequest onOld = request;
    onOld.option = old.path();
    const DataFolderChoice kept = chooseDataFolder(onOld);
    QVERIFY(kept.ok());
    QVERIFY(!kept.created);
    QCOMPARE(listing(old.path()), QStringList { QStringLiteral("notes.txt") });
}

void TestDataFolderChoice::systemCopyWithoutTemplateStillGetsTheFolders()
{
    QTemporaryDir base;
    const DataFolderRequest request = systemRequest(base.path()); // no template installed
    const DataFolderChoice choice = chooseDataFolder(request);
    QVERIFY(choice.ok());
    QVERIFY(choice.created);
    QCOMPARE(listing(choice.path),
        (QStringList { QStringLiteral("Errors"), QStringLiteral("Lib"), QStringLiteral("Lib/Logo"),
            QStringLiteral("Lib/User") }));
}

void TestDataFolderChoice::systemCopyRefusesWhatIsNoFolder()
{
    QTemporaryDir base;
    makeTemplate(base.path());
    const QString file = base.path() + QStringLiteral("/a-file");
    test::writeBytes(file, QByteArray("x"));

    DataFolderRequest request = systemRequest(base.path());
    request.option = file;
    const DataFolderChoice onFile = chooseDataFolder(request);
    QCOMPARE(onFile.error, DataFolderError::NotAFolder);
    QCOMPARE(onFile.detail, file);

    // Below a file nothing can be made, and nothing is left behind.
    request.option = file + QStringLiteral("/data");
    const QStringList before = listing(base.path());
    const DataFolderChoice below = chooseDataFolder(request);
    QCOMPARE(below.error, DataFolderError::CannotCreate);
    QVERIFY(!below.created);
    QCOMPARE(listing(base.path()), before);
    QCOMPARE(test::readBytes(file), QByteArray("x"));
}

void TestDataFolderChoice::refusesFolderItCannotWrite()
{
    if (test::runningAsRoot())
        QSKIP("root may write anywhere; scripts/ci-package checks this as an ordinary user");
    QTemporaryDir base;
    makeTemplate(base.path());
    DataFolderRequest request = systemRequest(base.path());
    QVERIFY(chooseDataFolder(request).ok());
    const QString users = request.defaultFolder + QStringLiteral("/Lib/User");
    QVERIFY(QFile::setPermissions(users, QFile::ReadOwner | QFile::ExeOwner));
    const DataFolderChoice system = chooseDataFolder(request);
    QCOMPARE(system.error, DataFolderError::NotWritable);
    QCOMPARE(system.detail, users);

    // A portable copy pointed at the same folder refuses it just as well.
    DataFolderRequest portable;
    portable.layout = InstallLayout::Portable;
    portable.option = request.defaultFolder;
    QCOMPARE(chooseDataFolder(portable).error, DataFolderError::NotWritable);
    QVERIFY(QFile::setPermissions(users, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

    // An empty folder the user cannot write is not filled; nothing is half made.
    QTemporaryDir locked;
    QVERIFY(QFile::setPermissions(locked.path(), QFile::ReadOwner | QFile::ExeOwner));
    request.option = locked.path();
    const DataFolderChoice empty = chooseDataFolder(request);
    QCOMPARE(empty.error, DataFolderError::NotWritable);
    QCOMPARE(empty.detail, locked.path());
    QVERIFY(QFile::setPermissions(locked.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QCOMPARE(listing(locked.path()), QStringList());
}

void TestDataFolderChoice::portableCopyHonoursOnlyTheOption()
{
    QTemporaryDir base;
    DataFolderRequest request;
    request.layout = InstallLayout::Portable;
    request.defaultFolder = base.path() + QStringLiteral("/program-folder"); // need not exist
    request.environment = base.path() + QStringLiteral("/ignored");
    request.templateFolder = makeTemplate(base.path());

    // Its own folder is taken as installed, unchecked, and nothing is made.
    const DataFolderChoice own = chooseDataFolder(request);
    QVERIFY(own.ok());
    QCOMPARE(own.source, DataFolderSource::Default);
    QCOMPARE(own.path, request.defaultFolder);
    QVERIFY(!QFileInfo::exists(request.defaultFolder));
    QVERIFY(!QFileInfo::exists(request.environment));

    // A folder named by the option must exist: a portable copy makes no folders.
    request.option = base.path() + QStringLiteral("/missing");
    const DataFolderChoice missing = chooseDataFolder(request);
    QCOMPARE(missing.error, DataFolderError::Missing);
    QVERIFY(!QFileInfo::exists(request.option));

    request.option = base.path() + QStringLiteral("/share/lunora");
    const DataFolderChoice named = chooseDataFolder(request);
    QVERIFY(named.ok());
    QCOMPARE(named.source, DataFolderSource::Option);
    QVERIFY(!named.created);
}

void TestDataFolderChoice::userFilesAreCounted()
{
    QTemporaryDir folder;
    QVERIFY(!hasUserFile(folder.path())); // not even Lib/User
    QVERIFY(QDir().mkpath(folder.path() + QStringLiteral("/Lib/User")));
    test::writeBytes(folder.path() + QStringLiteral("/Lib/User/notes.txt"), QByteArray("x"));
    QVERIFY(!hasUserFile(folder.path()));
    test::writeBytes(folder.path() + QStringLiteral("/Lib/User/anna.ini"), QByteArray("[Main]\r\n"));
    QVERIFY(hasUserFile(folder.path()));
}

QTEST_GUILESS_MAIN(TestDataFolderChoice)
#include "tst_datafolderchoice.moc"
