// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// lunora-adduser as an administrator runs it: what it refuses on standard input, and the
// mode of the user files it writes.

#include "storage/passwords.h"
#include "support_storage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace lunora;

namespace {

struct Run
{
    int exitCode = -1;
    QString messages;
};

Run adduser(const QString &folder, const QStringList &args, const QByteArray &input)
{
    QProcess process;
    process.start(
        QStringLiteral(LUNORA_ADDUSER), QStringList { QStringLiteral("--data-folder"), folder } + args);
    if (!process.waitForStarted(10000))
        return {};
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(60000);
    return { process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
        QString::fromLocal8Bit(process.readAllStandardError()) };
}

mode_t modeOf(const QString &path)
{
    struct stat st
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return 0;
    return st.st_mode & 07777;
}

} // namespace

class TestAddUser final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(QFileInfo(QStringLiteral(LUNORA_ADDUSER)).isExecutable()); }
    void refusesWhatCannotBeAPassword();
    void refusesAnEmptyId();
    void newFilesAreNotForEverybody();
    void rootWorksAsTheFolderOwner();
    void protectHashesEveryPassword();
};

void TestAddUser::refusesWhatCannotBeAPassword()
{
    test::DataFolderFixture folder;
    const QStringList args { QStringLiteral("anna"), QStringLiteral("Anna Ek") };
    // A NUL in the line, and a line of 64 MiB without a line end: refused as soon as the
    // reader meets them, with a message, and nothing is written.
    QCOMPARE(adduser(folder.root(), args, QByteArray("hem\0ligt\n", 9)).exitCode, 4);
    const Run huge = adduser(folder.root(), args, QByteArray(64 << 20, 'x'));
    QCOMPARE(huge.exitCode, 4);
    QVERIFY(huge.messages.contains(QStringLiteral("4 KiB")));
    QVERIFY(QDir(folder.file(QStringLiteral("Lib/User"))).isEmpty());
    // A line of exactly 4 KiB is read; it is then too long for a password, as in the window.
    QCOMPARE(adduser(folder.root(), args, QByteArray(4096, 'x') + '\n').exitCode, 4);
    QCOMPARE(adduser(folder.root(), args, "hemligt\r\n").exitCode, 0);
    QVERIFY(test::readBytes(folder.file(QStringLiteral("Lib/User/anna.ini"))).contains("PassWD=hemligt\r\n"));
}

void TestAddUser::refusesAnEmptyId()
{
    test::DataFolderFixture folder;
    QCOMPARE(adduser(folder.root(), { QString(), QStringLiteral("Ingen") }, "hemligt\n").exitCode, 4);
    QVERIFY(QDir(folder.file(QStringLiteral("Lib/User"))).isEmpty());
}

void TestAddUser::newFilesAreNotForEverybody()
{
    test::DataFolderFixture folder;
    const QString userFolder = folder.file(QStringLiteral("Lib/User"));
    QVERIFY(QFile::setPermissions(userFolder,
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup
            | QFileDevice::ExeGroup));
    QCOMPARE(adduser(folder.root(), { QStringLiteral("anna"), QStringLiteral("Anna") }, "a\n").exitCode, 0);
    QCOMPARE(modeOf(folder.file(QStringLiteral("Lib/User/anna.ini"))), mode_t(0600));

    // A folder shared by its group: the group may write the file too.
    QCOMPARE(::chmod(QFile::encodeName(userFolder).constData(), 02770), 0);
    QCOMPARE(adduser(folder.root(), { QStringLiteral("bo"), QStringLiteral("Bo") }, "b\n").exitCode, 0);
    QCOMPARE(modeOf(folder.file(QStringLiteral("Lib/User/bo.ini"))), mode_t(0660));

    // An existing file keeps the mode its administrator gave it.
    const QString anna = folder.file(QStringLiteral("Lib/User/anna.ini"));
    QCOMPARE(::chmod(QFile::encodeName(anna).constData(), 0600), 0);
    QCOMPARE(adduser(folder.root(),
                 { QStringLiteral("--force"), QStringLiteral("anna"), QStringLiteral("Anna Ek") }, "c\n")
                 .exitCode,
        0);
    QCOMPARE(modeOf(anna), mode_t(0600));
    QVERIFY(test::readBytes(anna).contains("PassWD=c\r\n"));
}

// Root's cron job or an administrator's test run in a shop user's folder: the tools
// become the folder's owner, so that the desks can still lock and change everything.
void TestAddUser::rootWorksAsTheFolderOwner()
{
    if (::geteuid() != 0)
        QSKIP("needs root, as CI has");
    // The shop's user must reach the folder: a root closed to others (a chroot made in a
    // private temporary folder) leaves it nothing to work in.
    for (QDir up(QDir::tempPath());; up.cdUp()) {
        struct stat st
        {
        };
        if (::stat(QFile::encodeName(up.absolutePath()).constData(), &st) == 0 && !(st.st_mode & S_IXOTH))
            QSKIP("a folder above the temporary folder is closed to other users");
        if (up.isRoot())
            break;
    }
    const QString shop = QStringLiteral("lunoratest");
    // An account made here goes again however the test ends; one that was there stays.
    const bool made = !::getpwnam("lunoratest");
    if (made)
        QCOMPARE(QProcess::execute(QStringLiteral("useradd"), { QStringLiteral("-M"), shop }), 0);
    const auto removeAccount = qScopeGuard([made, shop]() {
        if (made)
            QProcess::execute(QStringLiteral("userdel"), { shop });
    });
    const passwd *owner = ::getpwnam("lunoratest");
    QVERIFY(owner);
    const uid_t uid = owner->pw_uid;
    const gid_t gid = owner->pw_gid;
    test::DataFolderFixture folder;
    QTemporaryDir archives;
    for (const QString &path : { folder.root(), archives.path() })
        QCOMPARE(QProcess::execute(QStringLiteral("chown"),
                     { QStringLiteral("-R"), QStringLiteral("lunoratest:%1").arg(gid), path }),
            0);
    QCOMPARE(::chmod(QFile::encodeName(folder.root()).constData(), 02770), 0);

    const Run added = adduser(folder.root(), { QStringLiteral("anna"), QStringLiteral("Anna") }, "a\n");
    QCOMPARE(added.exitCode, 0);
    QVERIFY2(added.messages.contains(QStringLiteral("lunoratest")), qPrintable(added.messages));
    QProcess backup;
    backup.start(
        QStringLiteral(LUNORA_BACKUP), { QStringLiteral("--data-folder"), folder.root(), archives.path() });
    QVERIFY(backup.waitForFinished(60000));
    QCOMPARE(backup.exitCode(), 0);
    QVERIFY(QString::fromLocal8Bit(backup.readAllStandardError()).contains(QStringLiteral("lunoratest")));

    const QStringList written = { folder.file(QStringLiteral("Lib/User/anna.ini")),
        folder.file(QStringLiteral("Lib/lunora.lock")), folder.file(QStringLiteral("lunora.presence")),
        archives.path() + u'/' + QDir(archives.path()).entryList(QDir::Files).value(0) };
    for (const QString &path : written) {
        struct stat st
        {
        };
        QVERIFY2(::stat(QFile::encodeName(path).constData(), &st) == 0, qPrintable(path));
        QVERIFY2(st.st_uid == uid, qPrintable(path));
    }
    // The presence file as the lock file: every desk of the group may open it to lock.
    QVERIFY(modeOf(folder.file(QStringLiteral("lunora.presence"))) & S_IWGRP);

    // The shop's own user changes the folder afterwards as before.
    QProcess asShop;
    asShop.start(QStringLiteral("setpriv"),
        { QStringLiteral("--reuid=%1").arg(uid), QStringLiteral("--regid=%1").arg(gid),
            QStringLiteral("--init-groups"), QStringLiteral(LUNORA_ADDUSER), QStringLiteral("--data-folder"),
            folder.root(), QStringLiteral("--force"), QStringLiteral("anna"), QStringLiteral("Anna Ek") });
    QVERIFY(asShop.waitForStarted(10000));
    asShop.write("b\n");
    asShop.closeWriteChannel();
    QVERIFY(asShop.waitForFinished(60000));
    QCOMPARE(asShop.exitCode(), 0);
    QVERIFY(test::readBytes(written.first()).contains("PassWD=b\r\n"));
}

void TestAddUser::protectHashesEveryPassword()
{
    test::DataFolderFixture folder;
    QCOMPARE(
        adduser(folder.root(), { QStringLiteral("anna"), QStringLiteral("Anna") }, "hemligt\n").exitCode, 0);
    QCOMPARE(adduser(folder.root(), { QStringLiteral("--protect"), QStringLiteral("anna") }, {}).exitCode, 2);
    const Run run = adduser(folder.root(), { QStringLiteral("--protect") }, {});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.messages.contains(QStringLiteral("1 användarfiler")));
    // A user added to the protected folder is stored hashed as well.
    QCOMPARE(adduser(folder.root(), { QStringLiteral("bo"), QStringLiteral("Bo") }, "bos\n").exitCode, 0);
    QVERIFY(passwords::isProtected());
    QVERIFY(passwords::unprotectedUsers().isEmpty());
    for (const auto &[id, password] : { std::pair { "anna", "hemligt" }, { "bo", "bos" } }) {
        QVERIFY(!test::readBytes(folder.file(QStringLiteral("Lib/User/%1.ini").arg(id))).contains(password));
        QCOMPARE(passwords::verify(id, QString(), password).value(), passwords::Verdict::Match);
    }
}

QTEST_GUILESS_MAIN(TestAddUser)
#include "tst_adduser.moc"
