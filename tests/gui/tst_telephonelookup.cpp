// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// The case window looks up the customer card of the telephone typed: when the field
// loses the focus, a card Lib\<telephone>.ini fills in the customer the user has not
// typed. Looking must never create, change or follow anything in Lib.

#include "gui/frmArende.h"
#include "gui/messagebox.h"
#include "gui/windowregistry.h"
#include "storage/accounts.h"
#include "storage/datafolder.h"
#include "support_guifixture.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QtTest>

using namespace lunora;
using namespace lunora::test;

class TestTelephoneLookup final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void leavingTheTelephoneFillsTheEmptyCustomer();
    void typedTextIsNeverOverwritten();
    void noCardNothingCreated_data();
    void noCardNothingCreated();

private:
    frmArende *newCase();
    // Types a telephone and moves on to the next field, as a user leaves it.
    void typeTelephone(frmArende *window, const QString &telephone);
    QStringList libEntries() const;

    std::unique_ptr<TestDataFolder> m_data;
};

void TestTelephoneLookup::initTestCase()
{
    useSwedishLocale();
    QApplication::setQuitOnLastWindowClosed(false);
}

void TestTelephoneLookup::init()
{
    m_data = std::make_unique<TestDataFolder>();
    QVERIFY(m_data->isValid());
    DataFolder::setRoot(m_data->path());
    MessageBox::setAutomaticAnswers(true);
    // Key and section names in other letter case are found, as the INI engine finds them.
    writeBytes(m_data->lib(QStringLiteral("070-123 45 67.ini")),
        "[main]\r\nXNAME=Cecilia \xD6hrn\r\nxID=K-5\r\nxLand=Sverige\r\n");
}

void TestTelephoneLookup::cleanup()
{
    WindowRegistry::closeAll();
    DataFolder::setRoot(QString());
    m_data.reset();
}

frmArende *TestTelephoneLookup::newCase()
{
    auto *window = WindowRegistry::get<frmArende>();
    window->prepareNewCase();
    WindowRegistry::show<frmArende>();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window))
        qWarning("case window not active");
    return window;
}

void TestTelephoneLookup::typeTelephone(frmArende *window, const QString &telephone)
{
    auto *field = child<QLineEdit>(window, "Text3");
    field->setFocus();
    QTest::keyClicks(field, telephone);
    child<QLineEdit>(window, "Text1")->setFocus();
}

QStringList TestTelephoneLookup::libEntries() const
{
    return QDir(m_data->lib(QString())).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

void TestTelephoneLookup::leavingTheTelephoneFillsTheEmptyCustomer()
{
    const QByteArray card = readBytes(m_data->lib(QStringLiteral("070-123 45 67.ini")));
    frmArende *window = newCase();
    typeTelephone(window, QStringLiteral("070-123 45 67"));
    QCOMPARE(child<QLineEdit>(window, "Text2")->text(), QStringLiteral("Cecilia Öhrn"));
    QCOMPARE(child<QLineEdit>(window, "Text1")->text(), QStringLiteral("K-5"));
    QCOMPARE(readBytes(m_data->lib(QStringLiteral("070-123 45 67.ini"))), card); // untouched
}

void TestTelephoneLookup::typedTextIsNeverOverwritten()
{
    frmArende *window = newCase();
    auto *number = child<QLineEdit>(window, "Text1");
    auto *name = child<QLineEdit>(window, "Text2");

    // A customer number typed first stays; the empty name is filled in.
    number->setText(QStringLiteral("K-77"));
    typeTelephone(window, QStringLiteral("070-123 45 67"));
    QCOMPARE(name->text(), QStringLiteral("Cecilia Öhrn"));
    QCOMPARE(number->text(), QStringLiteral("K-77"));

    // A name typed (even a single blank) leaves both fields alone.
    child<QLineEdit>(window, "Text3")->clear();
    name->setText(QStringLiteral(" "));
    number->clear();
    typeTelephone(window, QStringLiteral("070-123 45 67"));
    QCOMPARE(name->text(), QStringLiteral(" "));
    QCOMPARE(number->text(), QString());
}

void TestTelephoneLookup::noCardNothingCreated_data()
{
    QTest::addColumn<QString>("telephone");
    QTest::newRow("no card for this telephone") << "0701234567";
    QTest::newRow("empty telephone") << "";
    QTest::newRow("a folder where the card would be") << "08-55";
    QTest::newRow("a link where the card would be") << "08-66";
    QTest::newRow("a telephone that is no file name") << "../User/admin";
}

void TestTelephoneLookup::noCardNothingCreated()
{
    QFETCH(QString, telephone);
    QVERIFY(QDir(m_data->lib(QString())).mkdir(QStringLiteral("08-55.ini")));
    writeBytes(m_data->path() + QStringLiteral("/outside.ini"), "[Main]\r\nxName=Utanf\xF6r\r\n");
    QVERIFY(QFile::link(
        m_data->path() + QStringLiteral("/outside.ini"), m_data->lib(QStringLiteral("08-66.ini"))));
    const QStringList before = libEntries();

    frmArende *window = newCase();
    typeTelephone(window, telephone);
    QCOMPARE(child<QLineEdit>(window, "Text2")->text(), QString());
    QCOMPARE(child<QLineEdit>(window, "Text1")->text(), QString());
    QCOMPARE(libEntries(), before);
    QVERIFY(!customerfile::find(telephone));
}

QTEST_MAIN(TestTelephoneLookup)
#include "tst_telephonelookup.moc"
