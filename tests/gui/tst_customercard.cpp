// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/customerlistmodel.h"
#include "gui/frmArendeList.h"
#include "gui/frmKundData.h"
#include "gui/frmKunder.h"
#include "gui/messagebox.h"
#include "gui/windowregistry.h"
#include "storage/datafolder.h"

#include <QAccessible>
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
    void editAndSaveKeepsUnknownKeys();
    void cancelDropsTheEditsAndNotesStayOnOneLine();
    void fieldsAreKnownByTheirOwnCaptions();
    void newCardFromTheOverviewNeverOverwrites();
    void refusedSaveKeepsTheEditsAndTheFile();
    void saveKeepsAnotherDesksChange();
    void customerListSearchesAndOpensOnEnter();
    void searchFindsWordsWithinOneColumn();

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

namespace {
QPushButton *button(QWidget *window, const char *name)
{
    auto *found = window->findChild<QPushButton *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no button %s", name);
    return found;
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}
} // namespace

void TestCustomerCard::editAndSaveKeepsUnknownKeys()
{
    writeLib(QStringLiteral("0701.ini"), "[Main]\r\nKundtyp=F\xF6retag\r\nxName=Anna\r\nxNotes=Gammal\r\n");
    auto *card = WindowRegistry::get<frmKundData>();
    QVERIFY(card->showCustomer(QStringLiteral("0701")));
    QVERIFY(!button(card, "cmdSpara")->isEnabled());
    QVERIFY(!button(card, "cmdAvbryt")->isEnabled());

    QTest::mouseClick(button(card, "cmdAndra"), Qt::LeftButton);
    QVERIFY(card->isEditing());
    auto *name = card->findChild<QLineEdit *>(QStringLiteral("Text2"));
    auto *phone = card->findChild<QLineEdit *>(QStringLiteral("Text6"));
    name->selectAll();
    QTest::keyClicks(name, QStringLiteral("Anna Åberg"));
    // The telephone field is a value: the card stays in the file it was opened from.
    QTest::keyClicks(phone, QStringLiteral("070-555"));
    QTest::mouseClick(button(card, "cmdSpara"), Qt::LeftButton);
    QVERIFY(MessageBox::shown().isEmpty());
    QVERIFY(!card->isEditing());
    QCOMPARE(card->headerText(), QStringLiteral("Anna Åberg"));
    QCOMPARE(bytesOf(libPath(QStringLiteral("0701.ini"))),
        QByteArray("[Main]\r\nxPhone1=070-555\r\nKundtyp=F\xF6retag\r\nxName=Anna \xC5"
                   "berg\r\n"
                   "xNotes=Gammal\r\n"));
    QVERIFY(!QFile::exists(libPath(QStringLiteral("070-555.ini"))));
}

void TestCustomerCard::cancelDropsTheEditsAndNotesStayOnOneLine()
{
    writeLib(QStringLiteral("0701.ini"), "[Main]\r\nxName=Anna\r\n");
    auto *card = WindowRegistry::get<frmKundData>();
    QVERIFY(card->showCustomer(QStringLiteral("0701")));
    QVERIFY(QTest::qWaitForWindowExposed(card));
    QTest::mouseClick(button(card, "cmdAndra"), Qt::LeftButton);
    auto *notes = card->findChild<QPlainTextEdit *>(QStringLiteral("Text9"));
    notes->setFocus();
    QTest::keyClicks(notes, QStringLiteral("ett"));
    QTest::keyClick(notes, Qt::Key_Return); // Enter starts no new line
    QTest::keyClicks(notes, QStringLiteral("två"));
    notes->insertPlainText(QStringLiteral("\nklistrad\nrad")); // pasted breaks become blanks
    QCOMPARE(notes->toPlainText(), QStringLiteral("etttvå klistrad rad"));

    QTest::mouseClick(button(card, "cmdAvbryt"), Qt::LeftButton);
    QVERIFY(!card->isEditing());
    QCOMPARE(card->fieldTexts().at(8), QString());
    QCOMPARE(bytesOf(libPath(QStringLiteral("0701.ini"))), QByteArray("[Main]\r\nxName=Anna\r\n"));
}

void TestCustomerCard::fieldsAreKnownByTheirOwnCaptions()
{
    auto *card = WindowRegistry::get<frmKundData>();
    const QStringList captions { "Kundnummer", "Namn", "Adress", "Postadress", "Land", "Telefon",
        "Mobiltelefon", "E.postadress" };
    for (int i = 0; i < captions.size(); ++i) {
        auto *field = card->findChild<QLineEdit *>(QStringLiteral("Text%1").arg(i + 1));
        QAccessibleInterface *access = QAccessible::queryAccessibleInterface(field);
        QVERIFY(access);
        QCOMPARE(access->text(QAccessible::Name), captions.at(i));
        // The caption is the one of the label standing beside the field, its buddy.
        auto *label = card->findChild<QLabel *>(QStringLiteral("Label%1").arg(i + 1));
        QVERIFY(label);
        QCOMPARE(label->buddy(), field);
        QCOMPARE(label->text(), captions.at(i));
        const auto labels = access->relations(QAccessible::Label);
        QVERIFY(!labels.isEmpty());
        // The first (and only) label reported is the field's own caption, not the frame's.
        QCOMPARE(labels.first().first->text(QAccessible::Name), captions.at(i));
        for (const auto &relation : labels)
            QVERIFY(relation.first->text(QAccessible::Name) != QLatin1String("Allmänt")
                && relation.first->text(QAccessible::Name) != QLatin1String("Kontaktinfo"));
    }
}

void TestCustomerCard::newCardFromTheOverviewNeverOverwrites()
{
    writeLib(QStringLiteral("arenden.txt"),
        "201105 12,2020-11-05,1001,Anna Ek,0701,Normal,Nytt \xE4rende,{A},Anna\r\n"
        "201106 3,2020-11-06,1002,Bo Ek,0702,Normal,Nytt \xE4rende,{B},Anna\r\n");
    writeLib(QStringLiteral("0702.ini"), "[Main]\r\nxName=Bo Ek\r\n");
    auto *overview = WindowRegistry::show<frmArendeList>();
    QVERIFY(QTest::qWaitForWindowExposed(overview));
    QTableView *list = overview->listView();
    auto *newEntry = overview->findChild<QAction *>(QStringLiteral("mnuNyKund"));
    QVERIFY(newEntry);
    QCOMPARE(newEntry->text().remove(u'&'), QStringLiteral("Ny kund…"));

    QTest::mouseClick(
        list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(0, 0)).center());
    newEntry->trigger();
    auto *card = WindowRegistry::find<frmKundData>();
    QVERIFY(card && card->isVisible() && card->isEditing());
    QCOMPARE(card->fieldTexts(), QStringList({ "1001", "Anna Ek", "", "", "", "0701", "", "", "" }));
    auto *address = card->findChild<QLineEdit *>(QStringLiteral("Text3"));
    QTest::keyClicks(address, QStringLiteral("Storgatan 1"));
    QTest::mouseClick(button(card, "cmdSpara"), Qt::LeftButton);
    QVERIFY(MessageBox::shown().isEmpty());
    QVERIFY(!card->isEditing());
    const QByteArray made = bytesOf(libPath(QStringLiteral("0701.ini")));
    QVERIFY(made.startsWith("[Main]\r\n"));
    QVERIFY(made.contains("xAdress=Storgatan 1\r\n") && made.contains("xID=1001\r\n"));
    QVERIFY(!made.contains("xEmail=")); // empty fields add no lines

    // The second case's customer has a card already: a new one is refused, the old kept.
    QTest::mouseClick(
        list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(1, 0)).center());
    newEntry->trigger();
    QTest::mouseClick(button(card, "cmdSpara"), Qt::LeftButton);
    QCOMPARE(MessageBox::shown().size(), 1);
    QVERIFY(MessageBox::shown().first().text.startsWith(
        QStringLiteral("Det finns redan ett kundkort för telefonnumret \"0702\".")));
    QVERIFY(card->isEditing());
    QCOMPARE(bytesOf(libPath(QStringLiteral("0702.ini"))), QByteArray("[Main]\r\nxName=Bo Ek\r\n"));
}

void TestCustomerCard::refusedSaveKeepsTheEditsAndTheFile()
{
    const QStringList libBefore = QDir(libPath(QString())).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    auto *card = WindowRegistry::get<frmKundData>();
    card->newCustomer(CustomerRecord());
    auto *phone = card->findChild<QLineEdit *>(QStringLiteral("Text6"));
    for (const QString &telephone : { QStringLiteral("../User/admin"), QStringLiteral("08/123"),
             QStringLiteral("CompanyInfo"), QStringLiteral("{X}_eData"), QString() }) {
        MessageBox::clearShown();
        phone->setText(telephone);
        QTest::mouseClick(button(card, "cmdSpara"), Qt::LeftButton);
        QCOMPARE(MessageBox::shown().size(), 1);
        QVERIFY(card->isEditing());
        QCOMPARE(phone->text(), telephone);
    }
    QCOMPARE(QDir(libPath(QString())).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), libBefore);

    // A value the file cannot hold is named by its field.
    MessageBox::clearShown();
    phone->setText(QStringLiteral("0703"));
    card->findChild<QLineEdit *>(QStringLiteral("Text4"))->setText(QStringLiteral("Box [1]"));
    QTest::mouseClick(button(card, "cmdSpara"), Qt::LeftButton);
    QCOMPARE(MessageBox::shown().size(), 1);
    QVERIFY(MessageBox::shown().first().text.startsWith(QStringLiteral("Fältet \"Postadress\"")));
    QVERIFY(!QFile::exists(libPath(QStringLiteral("0703.ini"))));
}

// Another desk fills in the e-mail while this desk has the card open to change the
// name: the save writes the name only, and the card then shows both.
void TestCustomerCard::saveKeepsAnotherDesksChange()
{
    writeLib(QStringLiteral("0701.ini"), "[Main]\r\nxName=Anna\r\nxEmail=\r\n");
    auto *card = WindowRegistry::get<frmKundData>();
    QVERIFY(card->showCustomer(QStringLiteral("0701")));
    QTest::mouseClick(button(card, "cmdAndra"), Qt::LeftButton);
    card->findChild<QLineEdit *>(QStringLiteral("Text2"))->setText(QStringLiteral("Anna Ek"));

    writeLib(QStringLiteral("0701.ini"), "[Main]\r\nxName=Anna\r\nxEmail=anna@example.se\r\n");
    QTest::mouseClick(button(card, "cmdSpara"), Qt::LeftButton);
    QVERIFY(MessageBox::shown().isEmpty());
    QCOMPARE(bytesOf(libPath(QStringLiteral("0701.ini"))),
        QByteArray("[Main]\r\nxName=Anna Ek\r\nxEmail=anna@example.se\r\n"));
    QCOMPARE(
        card->findChild<QLineEdit *>(QStringLiteral("Text8"))->text(), QStringLiteral("anna@example.se"));
}

void TestCustomerCard::customerListSearchesAndOpensOnEnter()
{
    writeLib(QStringLiteral("0701234567.ini"), "[Main]\r\nxName=Anna Ek\r\nxID=1\r\n");
    writeLib(QStringLiteral("08-123.ini"), "[Main]\r\nxName=Bo \xC5kesson\r\nxAdress=Storgatan 1\r\n");
    writeLib(QStringLiteral("tom.ini"), QByteArray());
    writeLib(QStringLiteral("CompanyInfo.ini"), "[Main]\r\nRad1=Firma\r\n");
    writeLib(QStringLiteral("{A}_eData.ini"), "[Main]\r\nxID=1\r\n");
    writeLib(QStringLiteral("arenden.txt"), QByteArray());
    auto *overview = WindowRegistry::show<frmArendeList>();
    auto *entry = overview->findChild<QAction *>(QStringLiteral("mnuKunder"));
    QVERIFY(entry && entry->isEnabled());
    QCOMPARE(entry->text().remove(u'&'), QStringLiteral("Kunder…"));
    entry->trigger();
    auto *customers = WindowRegistry::find<frmKunder>();
    QVERIFY(customers && customers->isVisible());
    QVERIFY(QTest::qWaitForWindowExposed(customers));
    QCOMPARE(customers->windowTitle(), QStringLiteral("Kunder"));
    QCOMPARE(customers->cardCount(), 2);
    QCOMPARE(customers->statusText(), QStringLiteral(" Kunder: 2 st"));
    QCOMPARE(
        customers->listView()->model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Namn"));

    QLineEdit *search = customers->searchField();
    QCOMPARE(search->accessibleName(), QStringLiteral("Sök"));
    search->setFocus();
    QTest::keyClicks(search, QStringLiteral("070-123 45"));
    QCOMPARE(customers->shownCount(), 1);
    QCOMPARE(customers->statusText(), QStringLiteral(" Kunder: 1 av 2 st"));
    search->clear();
    QTest::keyClicks(search, QStringLiteral("åKE storg"));
    QCOMPARE(customers->shownCount(), 1);
    QTest::keyClick(search, Qt::Key_Return);
    auto *card = WindowRegistry::find<frmKundData>();
    QVERIFY(card && card->isVisible());
    QCOMPARE(card->telephone(), QStringLiteral("08-123"));
    QCOMPARE(card->headerText(), QStringLiteral("Bo Åkesson"));

    QTest::keyClick(search, Qt::Key_Escape);
    QCOMPARE(customers->shownCount(), 2);
    QCOMPARE(customers->statusText(), QStringLiteral(" Kunder: 2 st"));
    // Listing creates and changes nothing.
    QCOMPARE(bytesOf(libPath(QStringLiteral("tom.ini"))), QByteArray());
}

void TestCustomerCard::searchFindsWordsWithinOneColumn()
{
    const auto cardOf = [](const QString &telephone, const QString &id, const QString &name,
                            const QString &address, const QString &phone1, const QString &phone2) {
        customercards::Card c;
        c.telephone = telephone;
        c.record.id = id;
        c.record.name = name;
        c.record.address = address;
        c.record.phone1 = phone1;
        c.record.phone2 = phone2;
        return c;
    };
    CustomerListModel model;
    model.setCards({ cardOf("3456", "12", "Anna Ek", "Berg", "3456", "34-56"),
        cardOf("Bo", "K-9", "Bo Lund", "", "070-987 65 43", "0708-11 22 33"),
        cardOf("08 555", "", "Cecilia", "Storgatan 1", "", "") });
    CustomerFilterProxy proxy;
    proxy.setSourceModel(&model);
    const auto shown = [&proxy](const QString &search) {
        proxy.setSearch(search);
        QStringList telephones;
        for (int row = 0; row < proxy.rowCount(); ++row)
            telephones << proxy.index(row, CustomerListModel::Telephone).data().toString();
        telephones.sort();
        return telephones;
    };

    // Digits of two columns never run together: customer number 12, mobile 34-56.
    QCOMPARE(shown("1234"), QStringList());
    QCOMPARE(shown("12 34"), QStringList({ "3456" })); // two words, each in a column
    // Nor do letters, nor the digits of two telephones of one card.
    QCOMPARE(shown("ekberg"), QStringList());
    QCOMPARE(shown("EK berg"), QStringList({ "3456" }));
    QCOMPARE(shown("65430708"), QStringList());

    // A telephone is found however its digits are grouped, in the field or the search.
    QCOMPARE(shown("0709876543"), QStringList({ "Bo" }));
    QCOMPARE(shown("070 987-6543"), QStringList({ "Bo" }));
    QCOMPARE(shown("0708112233"), QStringList({ "Bo" }));
    QCOMPARE(shown("08555"), QStringList({ "08 555" })); // the file's name is a telephone too
    QCOMPARE(shown("lund 0708 11"), QStringList({ "Bo" }));
    QCOMPARE(shown("ek 0708"), QStringList());
    QCOMPARE(shown("  "), QStringList({ "08 555", "3456", "Bo" }));

    // A new load (cards changed on disk) is searched afresh, not with the old texts.
    model.setCards({ cardOf("0709", "", "Dora", "", "", "") });
    QCOMPARE(shown("dora"), QStringList({ "0709" }));
    proxy.setSearch(QString());
    QCOMPARE(shown("cecilia"), QStringList());
}

QTEST_MAIN(TestCustomerCard)
#include "tst_customercard.moc"
