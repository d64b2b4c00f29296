#include "datafolder.h"
#include "frmArendeList.h"
#include "frmKundData.h"
#include "messagebox.h"
#include "windowregistry.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

using namespace lunora;

class TestCustomerCard : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void fullCustomerFileFillsEveryField();
    void onlyTheNameAndOtherLetterCase();
    void missingFileGivesEmptyCardAndEmptyFile();
    void unusableTelephoneTouchesNoFile_data();
    void unusableTelephoneTouchesNoFile();
    void missingLibIsReported();
    void fieldsCannotBeChanged();
    void overviewOpensOneCardForTheCurrentRow();

private:
    void writeLib(const QString &name, const QByteArray &bytes);
    QString libPath(const QString &name) const { return m_root->filePath(QStringLiteral("Lib/") + name); }

    std::unique_ptr<QTemporaryDir> m_root;
};

void TestCustomerCard::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Swedish, QLocale::Sweden));
    QApplication::setQuitOnLastWindowClosed(false);
}

void TestCustomerCard::init()
{
    m_root = std::make_unique<QTemporaryDir>();
    QVERIFY(m_root->isValid());
    QVERIFY(QDir(m_root->path()).mkpath(QStringLiteral("Lib/User")));
    QVERIFY(QDir(m_root->path()).mkpath(QStringLiteral("Errors")));
    DataFolder::setRoot(m_root->path());
    MessageBox::setAutomaticAnswers(true);
    MessageBox::clearShown();
}

void TestCustomerCard::cleanup()
{
    WindowRegistry::closeAll();
    DataFolder::setRoot(QString());
    m_root.reset();
}

void TestCustomerCard::writeLib(const QString &name, const QByteArray &bytes)
{
    QFile file(libPath(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

void TestCustomerCard::fullCustomerFileFillsEveryField()
{
    writeLib(QStringLiteral("0701-111.ini"),
        "[Main]\r\nxID=1001\r\nxName=Stina \xD6"
        "berg\r\n"
        "xAdress=Storgatan 1\r\nxPostaladress=123 45 V\xE4ster\xE5s\r\n"
        "xLand=Sverige\r\nxPhone1=0701-111\r\nxPhone2=070-999\r\n"
        "xEmail=stina@example.se\r\nxNotes=Ring f\xF6re tio\r\n");
    auto *card = WindowRegistry::get<frmKundData>();
    QVERIFY(card->showCustomer(QStringLiteral("0701-111")));
    QVERIFY(card->isVisible());
    QCOMPARE(card->windowTitle(), QStringLiteral("Kunddata"));
    QCOMPARE(card->fieldTexts(),
        QStringList({ "1001", "Stina Öberg", "Storgatan 1", "123 45 Västerås", "Sverige", "0701-111",
            "070-999", "stina@example.se", "Ring före tio" }));
    QCOMPARE(card->headerText(), QStringLiteral("Stina Öberg"));
    QVERIFY(MessageBox::shown().isEmpty());
}

void TestCustomerCard::onlyTheNameAndOtherLetterCase()
{
    writeLib(QStringLiteral("0702.ini"), "[MAIN]\r\nXNAME=Bo Ek\r\n");
    auto *card = WindowRegistry::get<frmKundData>();
    QVERIFY(card->showCustomer(QStringLiteral("0702")));
    QCOMPARE(card->fieldTexts(), QStringList({ "", "Bo Ek", "", "", "", "", "", "", "" }));
    QCOMPARE(card->headerText(), QStringLiteral("Bo Ek"));
}

void TestCustomerCard::missingFileGivesEmptyCardAndEmptyFile()
{
    auto *card = WindowRegistry::get<frmKundData>();
    writeLib(QStringLiteral("0701.ini"), "[Main]\r\nxName=Anna\r\n");
    QVERIFY(card->showCustomer(QStringLiteral("0701")));

    // The same card, filled again from a customer without a file.
    QVERIFY(card->showCustomer(QStringLiteral("0799")));
    QCOMPARE(card->fieldTexts(), QStringList(9, QString()));
    QCOMPARE(card->headerText(), QString());
    QFile created(libPath(QStringLiteral("0799.ini")));
    QVERIFY(created.exists());
    QCOMPARE(created.size(), 0);

    // An empty telephone names Lib/.ini.
    QVERIFY(card->showCustomer(QString()));
    QVERIFY(QFile::exists(libPath(QStringLiteral(".ini"))));
}

void TestCustomerCard::unusableTelephoneTouchesNoFile_data()
{
    QTest::addColumn<QString>("telephone");
    QTest::newRow("parent folder") << "../outside";
    QTest::newRow("slash") << "070/111";
    QTest::newRow("backslash") << "070\\111";
    QTest::newRow("dot dot") << "..";
}

void TestCustomerCard::unusableTelephoneTouchesNoFile()
{
    QFETCH(QString, telephone);
    const QStringList before = QDir(m_root->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    const QStringList libBefore = QDir(libPath(QString())).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    QPointer<frmKundData> card = WindowRegistry::get<frmKundData>();
    QVERIFY(!card->showCustomer(telephone));
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown().first().title, QStringLiteral("Kunddata"));
    QCOMPARE(MessageBox::shown().first().text,
        QStringLiteral("Kunddata kan inte visas: telefonnumret kan inte användas som filnamn."));

    QCOMPARE(QDir(m_root->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    QCOMPARE(QDir(libPath(QString())).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), libBefore);
    // The card that was only created for this customer does not linger unseen.
    QTRY_VERIFY(card.isNull());
}

void TestCustomerCard::missingLibIsReported()
{
    QVERIFY(QDir(m_root->path()).rename(QStringLiteral("Lib"), QStringLiteral("Lib.away")));
    auto *card = WindowRegistry::get<frmKundData>();
    QVERIFY(!card->showCustomer(QStringLiteral("0701")));
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown().first().text,
        QStringLiteral("Kunddata kan inte visas: kundfilen kunde inte läsas."));
    QVERIFY(!QDir(m_root->path()).exists(QStringLiteral("Lib")));
}

void TestCustomerCard::fieldsCannotBeChanged()
{
    writeLib(QStringLiteral("0701.ini"), "[Main]\r\nxName=Anna\r\nxNotes=Viktig kund\r\n");
    auto *card = WindowRegistry::get<frmKundData>();
    QVERIFY(card->showCustomer(QStringLiteral("0701")));
    QVERIFY(QTest::qWaitForWindowExposed(card));

    auto *name = card->findChild<QLineEdit *>(QStringLiteral("Text2"));
    auto *notes = card->findChild<QPlainTextEdit *>(QStringLiteral("Text9"));
    QVERIFY(name && notes);
    name->setFocus();
    QTest::keyClicks(name, QStringLiteral("xyz"));
    QTest::keyClick(name, Qt::Key_Backspace);
    notes->setFocus();
    QTest::keyClicks(notes, QStringLiteral("xyz"));
    QCOMPARE(card->fieldTexts().at(1), QStringLiteral("Anna"));
    QCOMPARE(card->fieldTexts().at(8), QStringLiteral("Viktig kund"));
    // Each field is known to assistive technology by its caption.
    QCOMPARE(card->findChild<QLabel *>(QStringLiteral("Label2"))->buddy(), name);
    QCOMPARE(notes->accessibleName(), QStringLiteral("Noteringar"));
}

void TestCustomerCard::overviewOpensOneCardForTheCurrentRow()
{
    writeLib(QStringLiteral("arenden.txt"),
        "201105 12,2020-11-05,1001,Anna Ek,0701,Normal,Nytt \xE4rende,{A},Anna\r\n"
        "201106 3,2020-11-06,1002,Bo Ek,0702,Normal,Nytt \xE4rende,{B},Anna\r\n"
        "201107 4,2020-11-07,1003,Bo Ek,0702,Normal,Avslutad,{C},Anna\r\n");
    writeLib(QStringLiteral("0701.ini"), "[Main]\r\nxName=Anna Ek\r\n");
    writeLib(QStringLiteral("0702.ini"), "[Main]\r\nxName=Bo Ek\r\nxID=1002\r\n");
    auto *overview = WindowRegistry::show<frmArendeList>();
    QVERIFY(QTest::qWaitForWindowExposed(overview));
    auto *entry = overview->findChild<QAction *>(QStringLiteral("mnuKunddata"));

    // Before any row is clicked, the entry is disabled and Ctrl+D does nothing.
    QTest::keyClick(overview, Qt::Key_D, Qt::ControlModifier);
    QVERIFY(!WindowRegistry::find<frmKundData>());

    QTableView *list = overview->listView();
    QTest::mouseClick(
        list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(0, 0)).center());
    QTest::keyClick(overview, Qt::Key_D, Qt::ControlModifier);
    auto *card = WindowRegistry::find<frmKundData>();
    QVERIFY(card && card->isVisible());
    QCOMPARE(card->headerText(), QStringLiteral("Anna Ek"));

    // Two cases with the same telephone show the same customer, in the same card.
    QTest::mouseClick(
        list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(1, 0)).center());
    entry->trigger();
    QCOMPARE(WindowRegistry::find<frmKundData>(), card);
    const QStringList second = card->fieldTexts();
    QTest::mouseClick(
        list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(2, 0)).center());
    entry->trigger();
    QCOMPARE(card->fieldTexts(), second);
    QCOMPARE(second.at(0), QStringLiteral("1002"));

    // "Stäng" closes the card; the next use builds it again.
    QTest::mouseClick(card->findChild<QPushButton *>(QStringLiteral("Command1")), Qt::LeftButton);
    QTRY_VERIFY(!WindowRegistry::find<frmKundData>());
    entry->trigger();
    QVERIFY(WindowRegistry::find<frmKundData>());
}

QTEST_MAIN(TestCustomerCard)
#include "tst_customercard.moc"
