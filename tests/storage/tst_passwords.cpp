// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// Protected passwords: what protecting a folder makes of its user files, which password
// signs in where, and how users saved afterwards are stored.

#include "storage/accounts.h"
#include "storage/datafolder.h"
#include "storage/ini.h"
#include "storage/passwords.h"
#include "support_storage.h"

#include <QFileInfo>
#include <QTest>

using namespace lunora;
using Verdict = passwords::Verdict;

namespace {
QByteArray without(QByteArray bytes, const QList<QByteArray> &keys)
{
    QList<QByteArray> kept;
    for (const QByteArray &line : bytes.split('\n')) {
        if (std::none_of(
                keys.begin(), keys.end(), [&](const QByteArray &key) { return line.startsWith(key); }))
            kept.append(line);
    }
    return kept.join('\n');
}

Verdict verdictOf(const QString &id, const QString &typed)
{
    const Result<UserRecord> user = userfile::read(id);
    const Result<Verdict> verdict = passwords::verify(id, user.value().password, typed);
    return verdict.ok() ? verdict.value() : Verdict::Mismatch;
}
} // namespace

class TestPasswords final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { passwords::setHashCostForTesting(64, 1); }
    void init();
    void cleanup() { m_data.reset(); }

    void protectingKeepsEverythingButThePassword_data();
    void protectingKeepsEverythingButThePassword();
    void onlyTheHashCountsInAProtectedFolder_data();
    void onlyTheHashCountsInAProtectedFolder();
    void savedUsersAreStoredAsTheFolderIs();

private:
    QString userFile(const QString &id) const
    {
        return m_data->file(QStringLiteral("Lib/User/%1.ini").arg(id));
    }
    std::unique_ptr<test::TestDataFolder> m_data;
};

void TestPasswords::init()
{
    m_data = std::make_unique<test::TestDataFolder>();
    QVERIFY(m_data->isValid());
}

void TestPasswords::protectingKeepsEverythingButThePassword_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("password");
    QTest::newRow("as the window writes it")
        << QByteArray("[Main]\r\nRealName=Anna\r\nIndex=0\r\nPassWD=Hemligt1\r\nUser=anna\r\n") << "Hemligt1";
    QTest::newRow("other keys and sections")
        << QByteArray("; kassa 2\r\n[Main]\r\nUser=anna\r\nPassWD=a=b \r\nTema=mörk\r\n[Extra]\r\nX=1\r\n")
        << "a=b ";
    QTest::newRow("made by hand with LF")
        << QByteArray("[Main]\nUser=anna\nPassWD=hemligt\nIndex=9\n") << "hemligt";
    QTest::newRow("no password at all") << QByteArray("[Main]\r\nUser=anna\r\nIndex=9\r\n") << "";
}

void TestPasswords::protectingKeepsEverythingButThePassword()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, password);
    test::writeBytes(userFile(QStringLiteral("anna")), file);

    const passwords::Outcome outcome = passwords::protectFolder();
    QVERIFY2(outcome.ok(), qPrintable(outcome.detail));
    QCOMPARE(outcome.protectedNow, 1);
    QVERIFY(passwords::isProtected());

    // The password is nowhere in the file; every other line stands as it stood.
    const QByteArray protectedFile = test::readBytes(userFile(QStringLiteral("anna")));
    if (!password.isEmpty())
        QVERIFY(!protectedFile.contains(password.toUtf8()));
    QCOMPARE(without(protectedFile, { "PassWD=", "PassHash=" }).replace("\r", ""),
        without(file, { "PassWD=" }).replace("\r", ""));
    QCOMPARE(verdictOf(QStringLiteral("anna"), password), Verdict::Match);
    QCOMPARE(verdictOf(QStringLiteral("anna"), password + u'x'), Verdict::Mismatch);
    // What PassWD holds now lets nobody in, here as in an older copy that compares it.
    const QString stored = userfile::read(QStringLiteral("anna")).value().password;
    QVERIFY(stored.size() >= 32);
    QCOMPARE(verdictOf(QStringLiteral("anna"), stored), Verdict::Mismatch);

    // A second run finds nothing left to do and changes nothing.
    const passwords::Outcome again = passwords::protectFolder();
    QVERIFY(again.ok());
    QCOMPARE(again.protectedNow, 0);
    QCOMPARE(test::readBytes(userFile(QStringLiteral("anna"))), protectedFile);
}

void TestPasswords::onlyTheHashCountsInAProtectedFolder_data()
{
    QTest::addColumn<bool>("folderProtected");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<Verdict>("bosVerdict"); // bo's file holds a hash, anna's does not

    QTest::newRow("protected, right password") << true << "hemligt" << Verdict::Match;
    QTest::newRow("protected, wrong password") << true << "Hemligt" << Verdict::Mismatch;
    // The mark taken away: a file with a hash still wants the password, not PassWD.
    QTest::newRow("mark removed, right password") << false << "hemligt" << Verdict::Match;
}

void TestPasswords::onlyTheHashCountsInAProtectedFolder()
{
    QFETCH(bool, folderProtected);
    QFETCH(QString, typed);
    QFETCH(Verdict, bosVerdict);
    test::writeBytes(userFile(QStringLiteral("bo")), "[Main]\r\nPassWD=hemligt\r\nUser=bo\r\n");
    QVERIFY(passwords::protectFolder().ok());
    // A plain user file put beside the protected ones afterwards.
    const QByteArray anna = "[Main]\r\nPassWD=hemligt\r\nUser=anna\r\nIndex=0\r\n";
    test::writeBytes(userFile(QStringLiteral("anna")), anna);
    if (!folderProtected)
        QVERIFY(QFile::remove(paths::passwordProtectionFile()));

    QCOMPARE(verdictOf(QStringLiteral("bo"), typed), bosVerdict);
    QCOMPARE(verdictOf(QStringLiteral("anna"), typed),
        folderProtected ? Verdict::NoHash : (typed == u"hemligt" ? Verdict::Match : Verdict::Mismatch));
    QCOMPARE(passwords::unprotectedUsers(), QStringList { QStringLiteral("anna") });
    QCOMPARE(test::readBytes(userFile(QStringLiteral("anna"))), anna); // read, never changed
}

void TestPasswords::savedUsersAreStoredAsTheFolderIs()
{
    // Unprotected: exactly the bytes of before protection existed.
    const UserRecord anna { QStringLiteral("anna"), QStringLiteral("hemligt"), QStringLiteral("0"),
        QStringLiteral("Anna") };
    QVERIFY(userfile::write(anna.user, anna));
    QCOMPARE(test::readBytes(userFile(anna.user)),
        QByteArray("[Main]\r\nRealName=Anna\r\nIndex=0\r\nPassWD=hemligt\r\nUser=anna\r\n"));

    // Protected: a new user and a changed password are stored as hashes.
    QVERIFY(passwords::protectFolder().ok());
    const UserRecord bo { QStringLiteral("bo"), QStringLiteral("nytt"), QStringLiteral("9"),
        QStringLiteral("Bo") };
    QVERIFY(userfile::write(bo.user, bo));
    QVERIFY(userfile::write(anna.user, { anna.user, QStringLiteral("bytt"), anna.index, anna.realName }));
    for (const auto &[id, password] :
        { std::pair { bo.user, bo.password }, { anna.user, QStringLiteral("bytt") } }) {
        QVERIFY(!test::readBytes(userFile(id)).contains("PassWD=" + password.toUtf8() + "\r\n"));
        QCOMPARE(verdictOf(id, password), Verdict::Match);
    }
    QCOMPARE(verdictOf(anna.user, anna.password), Verdict::Mismatch);
    QVERIFY(passwords::unprotectedUsers().isEmpty());
}

QTEST_GUILESS_MAIN(TestPasswords)
#include "tst_passwords.moc"
