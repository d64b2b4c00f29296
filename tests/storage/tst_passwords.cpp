// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// Protected passwords: what protecting a folder makes of its user files, and how a
// password changed afterwards is stored.

#include "storage/accounts.h"
#include "storage/passwords.h"
#include "support_storage.h"

#include <QTest>

using namespace lunora;
using Verdict = passwords::Verdict;

namespace {
// The lines of a file, CR LF or LF, without those of the given keys.
QList<QByteArray> linesWithout(const QByteArray &bytes, const QList<QByteArray> &keys)
{
    QList<QByteArray> kept;
    for (const QByteArray &line : QByteArray(bytes).replace("\r", "").split('\n')) {
        if (std::none_of(
                keys.begin(), keys.end(), [&](const QByteArray &key) { return line.startsWith(key); }))
            kept.append(line);
    }
    return kept;
}

Verdict verdictOf(const QString &typed)
{
    const QString anna = QStringLiteral("anna");
    const Result<Verdict> verdict = passwords::verify(anna, userfile::read(anna).value().password, typed);
    return verdict.ok() ? verdict.value() : Verdict::Mismatch;
}
} // namespace

class TestPasswords final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { passwords::setHashCostForTesting(64, 1); }
    void protectingKeepsEverythingButThePassword_data();
    void protectingKeepsEverythingButThePassword();
};

void TestPasswords::protectingKeepsEverythingButThePassword_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("password");
    QTest::newRow("as the window writes it")
        << QByteArray("[Main]\r\nRealName=Anna\r\nIndex=0\r\nPassWD=Hemligt1\r\nUser=anna\r\n") << "Hemligt1";
    QTest::newRow("other keys and sections")
        << QByteArray("; kassa 2\r\n[Main]\r\nUser=anna\r\nPassWD=a=b \r\nTema=m\xf6rk\r\n[Extra]\r\nX=1\r\n")
        << "a=b ";
    QTest::newRow("made by hand with LF")
        << QByteArray("[Main]\nUser=anna\nPassWD=hemligt\nIndex=9\n") << "hemligt";
    QTest::newRow("no password at all") << QByteArray("[Main]\r\nUser=anna\r\nIndex=9\r\n") << "";
}

void TestPasswords::protectingKeepsEverythingButThePassword()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, password);
    test::TestDataFolder data;
    const QString path = data.file(QStringLiteral("Lib/User/anna.ini"));
    test::writeBytes(path, file);

    const passwords::Outcome outcome = passwords::protectFolder();
    QVERIFY2(outcome.ok(), qPrintable(outcome.detail));
    QCOMPARE(outcome.protectedNow, 1);
    QVERIFY(passwords::isProtected());

    // The password is nowhere in the file; every other line stands as it stood.
    const QByteArray protectedFile = test::readBytes(path);
    QVERIFY(password.isEmpty() || !protectedFile.contains(password.toUtf8()));
    QCOMPARE(linesWithout(protectedFile, { "PassWD=", "PassHash=" }), linesWithout(file, { "PassWD=" }));
    QCOMPARE(verdictOf(password), Verdict::Match);
    QCOMPARE(verdictOf(password + u'x'), Verdict::Mismatch);
    // What PassWD holds now lets nobody in, here as in an older copy that compares it.
    const QString stored = userfile::read(QStringLiteral("anna")).value().password;
    QVERIFY(stored.size() >= 32);
    QCOMPARE(verdictOf(stored), Verdict::Mismatch);

    // A second run finds nothing left to do and changes nothing.
    const passwords::Outcome again = passwords::protectFolder();
    QVERIFY(again.ok() && again.protectedNow == 0);
    QCOMPARE(test::readBytes(path), protectedFile);

    // A changed password is stored as a hash too.
    QVERIFY(
        userfile::write(QStringLiteral("anna"), { QStringLiteral("anna"), QStringLiteral("bytt"), {}, {} }));
    QVERIFY(!test::readBytes(path).contains("bytt"));
    QCOMPARE(verdictOf(QStringLiteral("bytt")), Verdict::Match);
    QCOMPARE(verdictOf(password), Verdict::Mismatch);
}

QTEST_GUILESS_MAIN(TestPasswords)
#include "tst_passwords.moc"
