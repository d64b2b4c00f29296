// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// "Läget" and "Meddela kunden" as a user meets them: the sums arrive after the
// register's pictures, a row of the untold cases opens its case. With
// LUNORA_SCREENSHOT_DIR set, pictures() draws both windows on the demo data for the
// README (scripts/take-screenshot --messages), and "SMS-inställningar…" beside them.

#include "gui/frmLaget.h"
#include "gui/frmMeddela.h"
#include "gui/frmSmsInstallningar.h"
#include "storage/caseregister.h"
#include "storage/datafolder.h"
#include "support_guifixture.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTableView>
#include <QTest>

using namespace lunora;

class TestLaget final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { test::useSwedishLocale(); }
    void sumsFollowThePicturesAndARowOpensItsCase();
    void pictures();
};

void TestLaget::sumsFollowThePicturesAndARowOpensItsCase()
{
    test::startWindowTest();
    test::TestDataFolder folder;
    RegisterEntry finished = test::CaseB;
    finished[Created] = QStringLiteral("2026-12-01");
    test::writeCases(folder, { test::CaseA, finished }, { test::RowA });

    frmLaget window;
    window.setRegister({ test::CaseA, finished }, QDate(2026, 12, 9));
    window.show();
    QVERIFY(test::runUntil([&] { return !window.isCounting(); }, 10000));
    auto *list = test::child<QTableView>(&window, "lstEjMeddelade");
    QCOMPARE(list->model()->rowCount(), 1);
    QCOMPARE(list->model()->index(0, 0).data().toString(), finished[CaseNumber]);
    QCOMPARE(test::child<QLabel>(&window, "lblVeckan")->text(), QStringLiteral("0,00 kr"));

    QList<RegisterEntry> opened;
    connect(
        &window, &frmLaget::openCaseRequested, this, [&](const RegisterEntry &entry) { opened << entry; });
    list->setFocus();
    list->setCurrentIndex(list->model()->index(0, 1));
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(opened, QList<RegisterEntry> { finished });
}

void TestLaget::pictures()
{
    const QString out = qEnvironmentVariable("LUNORA_SCREENSHOT_DIR");
    const QString demo = qEnvironmentVariable("LUNORA_DEMO_DIR");
    if (out.isEmpty() || demo.isEmpty())
        QSKIP("made by scripts/take-screenshot --messages");
    test::startWindowTest();
    DataFolder::setRoot(demo);
    const QList<RegisterEntry> entries = caseregister::load(paths::caseRegister()).value();
    QVERIFY(!entries.isEmpty());

    frmLaget laget;
    laget.setRegister(entries);
    laget.show();
    QVERIFY(test::runUntil([&] { return !laget.isCounting(); }, 30000));
    // The sums' labels take their new width once the layout has heard of their text.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QVERIFY(laget.grab().save(QDir(out).filePath(QStringLiteral("laget.png"))));

    frmMeddela meddela;
    const RegisterEntry &entry = entries.first();
    meddela.setCase(entry, 450.0);
    meddela.show();
    QVERIFY(QTest::qWaitForWindowExposed(&meddela));
    QVERIFY(meddela.grab().save(QDir(out).filePath(QStringLiteral("notify.png"))));

    // A desk with a command of its own; KDE Connect, the other choice, is not installed.
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", "/nonexistent");
    frmSmsInstallningar sms;
    test::child<QRadioButton>(&sms, "optEget")->setChecked(true);
    test::child<QLineEdit>(&sms, "txtProgram")->setText(QStringLiteral("/usr/local/bin/skicka-sms"));
    test::child<QPlainTextEdit>(&sms, "txtArgument")
        ->setPlainText(QStringLiteral("--konto=verkstan\n--till\n{mobil}\n--meddelande\n{text}"));
    sms.show();
    QVERIFY(QTest::qWaitForWindowExposed(&sms));
    QVERIFY(sms.grab().save(QDir(out).filePath(QStringLiteral("sms-settings.png"))));
    qputenv("PATH", path);
    DataFolder::setRoot({});
}

QTEST_MAIN(TestLaget)
#include "tst_laget.moc"
