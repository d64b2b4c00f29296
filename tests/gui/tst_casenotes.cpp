// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// The case window's notes area: where it stands, what it reads and writes, what closing
// asks, and the customer card made from a case.

#include "gui/frmAddProd.h"
#include "gui/frmArende.h"
#include "gui/frmArendeList.h"
#include "gui/frmKundData.h"
#include "gui/messagebox.h"
#include "gui/units.h"
#include "gui/windowregistry.h"
#include "storage/casestore.h"
#include "storage/datafolder.h"
#include "storage/session.h"
#include "support_guifixture.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

using namespace lunora;
using namespace lunora::test;

namespace {
const QByteArray RegisterBytes
    = QByteArray("\"101215 4711\",\"2010-12-15\",\"K-17\",\"Anna Andersson\",\"08-123456\","
                 "\"Br\xe5"
                 "dskande\",\"Under behandling\","
                 "\"{AAAAAAAA-1111-4111-8111-AAAAAAAAAAAA}\",\"Anna Ek\"\r\n");
const QByteArray NotesBytes(
    "Enhet: Crescent\r\nSerienummer: WTU-1\r\nBakhjulet k\xe4rvar.\r\nRing f\xf6re 16.\r\n");
} // namespace

class TestCaseNotes final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useSwedishLocale(); }
    void init();
    void cleanup();

    void notesAreaLiesBelowTheLayout();
    void openingReadsTheNotesFile();
    void saveNotesAloneChangesNothingElse();
    void unstorableNotesAreRefusedNamingTheField();
    void customerCardFromTheCase();
    void customerCardRefusalNamesTheField();
    void notesComeAfterTheLayoutInTabOrder();
    void newCaseIsSavedWithItsNotes();
    void removalTakesTheNotesAway();
    void printedSheetCarriesTheNotes();
    void caseRemovedAtAnotherDeskTakesNothing();

private:
    QString notesPath() const { return m_data->lib(CaseA[ControlCode] + QStringLiteral("_Notes.txt")); }
    std::unique_ptr<TestDataFolder> m_data;
};

void TestCaseNotes::init()
{
    m_data = std::make_unique<TestDataFolder>();
    QVERIFY(m_data->isValid());
    startWindowTest();
    writeBytes(m_data->lib(QStringLiteral("arenden.txt")), RegisterBytes);
    writeBytes(m_data->lib(CaseA[ControlCode] + QStringLiteral("_ArtData.txt")),
        "\"17\",\"Skruv\",\"2\",\"st\",\"12,50\",\"25,00\"\r\n");
}

void TestCaseNotes::cleanup()
{
    WindowRegistry::closeAll();
    m_data.reset();
}

void TestCaseNotes::notesAreaLiesBelowTheLayout()
{
    frmArende *window = openCase(CaseA);
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QWidget *client = child(window, "client");
    // The layout's controls stay where they were; the buttons' row is the lowest of them.
    QCOMPARE(child(window, "Command4")->geometry(), unitRect(7680, 4800, 1095, 375));
    QWidget *list = child(window, "ListView1");
    QCOMPARE(QRect(list->mapTo(client, QPoint(0, 0)), list->size()), unitRect(120, 2760, 8655, 1935));
    QCOMPARE(child(window, "Text3")->geometry(), unitRect(1560, 2280, 3375, 285));
    auto *device = child<QLineEdit>(window, "txtEnhet");
    auto *serial = child<QLineEdit>(window, "txtSerienummer");
    auto *text = child<QPlainTextEdit>(window, "txtFelbeskrivning");
    for (QWidget *field :
        { static_cast<QWidget *>(device), static_cast<QWidget *>(serial), static_cast<QWidget *>(text) })
        QVERIFY(field->mapTo(client, QPoint(0, 0)).y() >= px(5280));
    // The status bar stays along the bottom edge, below the notes.
    QStatusBar *bar = window->statusBar();
    QCOMPARE(bar->geometry().bottom(), window->height() - 1);
    QVERIFY(bar->y() >= client->mapTo(window, QPoint(0, client->height())).y());

    // Named by their own captions, and reached after the layout's controls.
    QCOMPARE(device->accessibleName(), QStringLiteral("Enhet / modell"));
    QCOMPARE(serial->accessibleName(), QStringLiteral("Serienummer"));
    QCOMPARE(text->accessibleName(), QStringLiteral("Felbeskrivning / anteckningar"));
    QCOMPARE(child<QLabel>(window, "lblEnhet")->buddy(), device);
    QCOMPARE(child<QLabel>(window, "lblFelbeskrivning")->buddy(), text);
    QCOMPARE(
        child<QPushButton>(window, "cmdSparaAnteckningar")->text(), QStringLiteral("Spara anteckningar"));
}

void TestCaseNotes::openingReadsTheNotesFile()
{
    writeBytes(notesPath(), NotesBytes);
    frmArende *window = openCase(CaseA);
    QCOMPARE(child<QLineEdit>(window, "txtEnhet")->text(), QStringLiteral("Crescent"));
    QCOMPARE(child<QLineEdit>(window, "txtSerienummer")->text(), QStringLiteral("WTU-1"));
    QCOMPARE(child<QPlainTextEdit>(window, "txtFelbeskrivning")->toPlainText(),
        QStringLiteral("Bakhjulet kärvar.\nRing före 16."));
    QVERIFY(MessageBox::shown().isEmpty());

    // Another case without the file: empty fields, no message, no file made.
    window->openExistingCase(CaseB);
    QCOMPARE(child<QLineEdit>(window, "txtEnhet")->text(), QString());
    QCOMPARE(child<QPlainTextEdit>(window, "txtFelbeskrivning")->toPlainText(), QString());
    QVERIFY(!QFile::exists(m_data->lib(CaseB[ControlCode] + QStringLiteral("_Notes.txt"))));
}

void TestCaseNotes::saveNotesAloneChangesNothingElse()
{
    frmArende *window = openCase(CaseA);
    const QByteArray registerBefore = readBytes(m_data->lib(QStringLiteral("arenden.txt")));
    child<QLineEdit>(window, "txtEnhet")->setText(QStringLiteral("Crescent"));
    child<QPlainTextEdit>(window, "txtFelbeskrivning")->setPlainText(QStringLiteral("Rad ett\nRad två"));
    QTest::mouseClick(child<QPushButton>(window, "cmdSparaAnteckningar"), Qt::LeftButton);
    QVERIFY(MessageBox::shown().isEmpty());
    QCOMPARE(
        readBytes(notesPath()), QByteArray("Enhet: Crescent\r\nSerienummer: \r\nRad ett\r\nRad tv\xe5\r\n"));
    QCOMPARE(readBytes(m_data->lib(QStringLiteral("arenden.txt"))), registerBefore);
    QCOMPARE(window->sign(), CaseA[Signature]);
    QVERIFY(window->isVisible());

    // Saved notes are not asked about when the window closes.
    MessageBox::setNextAnswer(MessageBox::AnswerYes);
    QTest::mouseClick(child<QPushButton>(window, "Command4"), Qt::LeftButton);
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown().first().text, QStringLiteral("Vill du avsluta programet ?"));
}

void TestCaseNotes::unstorableNotesAreRefusedNamingTheField()
{
    writeBytes(notesPath(), NotesBytes);
    frmArende *window = openCase(CaseA);
    child<QLineEdit>(window, "txtSerienummer")->setText(QStringLiteral("Серия 5"));
    QTest::mouseClick(child<QPushButton>(window, "cmdSparaAnteckningar"), Qt::LeftButton);
    QCOMPARE(MessageBox::shown().size(), 1);
    QVERIFY(MessageBox::shown().first().text.contains(QStringLiteral("\"Serienummer\"")));
    QCOMPARE(readBytes(notesPath()), NotesBytes);
}

void TestCaseNotes::customerCardFromTheCase()
{
    frmArende *window = openCase(CaseA);
    QTest::mouseClick(child<QPushButton>(window, "cmdSparaKund"), Qt::LeftButton);
    QVERIFY(MessageBox::shown().isEmpty());
    const QByteArray card = readBytes(m_data->lib(QStringLiteral("08-123456.ini")));
    QVERIFY(card.startsWith("[Main]\r\n"));
    QVERIFY(card.contains("xID=K-17\r\n") && card.contains("xName=Anna Andersson\r\n")
        && card.contains("xPhone1=08-123456\r\n"));
    auto *shown = WindowRegistry::find<frmKundData>();
    QVERIFY(shown && shown->isVisible());
    QCOMPARE(shown->headerText(), QStringLiteral("Anna Andersson"));

    // A second time: the card is there and stays as it is.
    writeBytes(m_data->lib(QStringLiteral("08-123456.ini")), "[Main]\r\nxName=Redan h\xe4r\r\n");
    QTest::mouseClick(child<QPushButton>(window, "cmdSparaKund"), Qt::LeftButton);
    QCOMPARE(MessageBox::shown().size(), 1);
    QVERIFY(MessageBox::shown().first().text.startsWith(QStringLiteral("Det finns redan ett kundkort")));
    QCOMPARE(readBytes(m_data->lib(QStringLiteral("08-123456.ini"))),
        QByteArray("[Main]\r\nxName=Redan h\xe4r\r\n"));

    // A telephone that would lead out of Lib is refused, and nothing is made.
    child<QLineEdit>(window, "Text3")->setText(QStringLiteral("../User/admin"));
    MessageBox::clearShown();
    QTest::mouseClick(child<QPushButton>(window, "cmdSparaKund"), Qt::LeftButton);
    QCOMPARE(MessageBox::shown().size(), 1);
    QVERIFY(!QFile::exists(m_data->path() + QStringLiteral("/Lib/User/admin.ini")));
}

void TestCaseNotes::customerCardRefusalNamesTheField()
{
    frmArende *window = openCase(CaseA);
    auto *number = child<QLineEdit>(window, "Text1");
    auto *name = child<QLineEdit>(window, "Text2");
    auto *phone = child<QLineEdit>(window, "Text3");
    const QStringList libBefore = QDir(m_data->lib(QString())).entryList(QDir::Files);
    struct Refused
    {
        QLineEdit *field;
        QString text;
        QString caption; // as the case window labels the field
    };
    // A card cannot hold a '[' (it would start a section) nor a character outside
    // Windows-1252; the register's own rules (no quotes) do not apply to it.
    for (const Refused &refused : { Refused { phone, QStringLiteral("08-[1]"), QStringLiteral("Telefon") },
             Refused { phone, QStringLiteral("08-中"), QStringLiteral("Telefon") },
             Refused { name, QStringLiteral("Anna [AB]"), QStringLiteral("Namn") },
             Refused { number, QStringLiteral("K-Ω"), QStringLiteral("Kundnummer") } }) {
        number->setText(QStringLiteral("K-17"));
        name->setText(QStringLiteral("Anna Andersson"));
        phone->setText(QStringLiteral("08-123456"));
        refused.field->setText(refused.text);
        MessageBox::clearShown();
        QTest::mouseClick(child<QPushButton>(window, "cmdSparaKund"), Qt::LeftButton);
        QCOMPARE(MessageBox::shown().size(), 1);
        const QString text = MessageBox::shown().first().text;
        QVERIFY2(text.startsWith(QStringLiteral("Fältet \"%1\" ").arg(refused.caption)), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("hakparentes")));
        QVERIFY(!text.contains(QStringLiteral("citattecken")));
        QCOMPARE(refused.field->text(), refused.text);
    }
    QCOMPARE(child<QLabel>(window, "Label7")->text(), QStringLiteral("Telefon"));
    QCOMPARE(QDir(m_data->lib(QString())).entryList(QDir::Files), libBefore);
}

void TestCaseNotes::notesComeAfterTheLayoutInTabOrder()
{
    frmArende *window = openCase(CaseA);
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));

    // The focus chain: every control of the layout before the first field of the notes.
    const QStringList layout { "Text1", "Text2", "Text3", "cboPrio", "cboStat", "ListView1", "Command1",
        "Command2", "Command3", "Command5", "Command6", "Command4" };
    const QStringList notes { "txtEnhet", "txtSerienummer", "txtFelbeskrivning", "cmdSparaKund",
        "cmdSparaAnteckningar" };
    QStringList chain;
    QWidget *start = child(window, "Text1");
    for (QWidget *w = start; chain.isEmpty() || w != start; w = w->nextInFocusChain()) {
        if (layout.contains(w->objectName()) || notes.contains(w->objectName()))
            chain << w->objectName();
        if (chain.size() > 200)
            break;
    }
    QCOMPARE(chain, layout + notes);

    // And with the keyboard: Tab from "Stäng" into the notes, through them, and back.
    QWidget *close = child(window, "Command4");
    close->setFocus(Qt::TabFocusReason);
    QVERIFY(QTest::qWaitFor([close]() { return close->hasFocus(); }));
    for (const QString &name : notes) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), name);
    }
    child(window, "txtEnhet")->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), close);

    // Each field is known to assistive technology by its own label's caption.
    for (const char *labelName : { "lblEnhet", "lblSerienummer", "lblFelbeskrivning" }) {
        auto *label = child<QLabel>(window, labelName);
        QWidget *field = label->buddy();
        QVERIFY(field);
        QAccessibleInterface *access = QAccessible::queryAccessibleInterface(field);
        QVERIFY(access);
        QCOMPARE(access->text(QAccessible::Name), label->text());
        const auto labels = access->relations(QAccessible::Label);
        QVERIFY(!labels.isEmpty());
        QCOMPARE(labels.first().first->text(QAccessible::Name), label->text());
    }
}

void TestCaseNotes::newCaseIsSavedWithItsNotes()
{
    auto *window = WindowRegistry::get<frmArende>();
    session::signIn({ QStringLiteral("anna"), QStringLiteral("Anna Ek"), QStringLiteral("9") });
    window->prepareNewCase();
    WindowRegistry::show<frmArende>();
    QVERIFY(runUntil([window]() { return !window->controlCode().isEmpty(); }, 5000));
    QPointer<frmArende> alive(window);
    const QString code = window->controlCode();
    child<QLineEdit>(window, "Text1")->setText(QStringLiteral("K-1"));
    child<QLineEdit>(window, "Text2")->setText(QStringLiteral("Nils"));
    child<QLineEdit>(window, "Text3")->setText(QStringLiteral("0701"));
    window->addArticleRow(rowOf({ "1", "Slang", "1", "st", "99,00", "99,00" }));
    child<QLineEdit>(window, "txtSerienummer")->setText(QStringLiteral("SN-9"));
    // "Spara anteckningar" belongs to a saved case; a new case keeps its notes with "Spara".
    QVERIFY(!child<QPushButton>(window, "cmdSparaAnteckningar")->isEnabled());

    QTest::mouseClick(child<QPushButton>(window, "Command5"), Qt::LeftButton);
    QVERIFY(MessageBox::shown().isEmpty());
    QCOMPARE(readBytes(m_data->lib(code + QStringLiteral("_Notes.txt"))),
        QByteArray("Enhet: \r\nSerienummer: SN-9\r\n"));
    QVERIFY(readBytes(m_data->lib(QStringLiteral("arenden.txt"))).contains(code.toLatin1()));
    QTRY_VERIFY(alive.isNull());
}

void TestCaseNotes::removalTakesTheNotesAway()
{
    writeBytes(notesPath(), NotesBytes);
    auto *overview = WindowRegistry::show<frmArendeList>();
    QCOMPARE(overview->rowCount(), 1);
    selectEntry(overview, overview->entryAt(0));
    MessageBox::setNextAnswer(MessageBox::AnswerYes);
    QTest::mouseClick(child<QPushButton>(overview, "Command3"), Qt::LeftButton);
    QTRY_COMPARE(overview->rowCount(), 0);
    QVERIFY(!QFile::exists(notesPath()));
}

void TestCaseNotes::printedSheetCarriesTheNotes()
{
    writeBytes(notesPath(), NotesBytes);
    frmArende *window = openCase(CaseA);
    // What the sheet prints is what the window shows, saved or not.
    child<QLineEdit>(window, "txtEnhet")->setText(QStringLiteral("Crescent Elegant"));
    const CaseNotes printed = window->caseNotes();
    QCOMPARE(printed.device, QStringLiteral("Crescent Elegant"));
    QCOMPARE(printed.serial, QStringLiteral("WTU-1"));
    QCOMPARE(printed.text, QStringLiteral("Bakhjulet kärvar.\nRing före 16."));
}

void TestCaseNotes::caseRemovedAtAnotherDeskTakesNothing()
{
    writeBytes(notesPath(), NotesBytes);
    frmArende *window = openCase(CaseA);
    // Another desk removes the case while it is open here: its line and files go.
    QVERIFY(CaseStore::removeCases({ CaseA }, {}).ok());
    const QString code = CaseA[ControlCode];
    const auto filesOfCase = [this, &code]() {
        return QDir(m_data->file(QStringLiteral("Lib")))
            .entryList({ code + QStringLiteral("*") }, QDir::Files);
    };
    QCOMPARE(filesOfCase(), QStringList());
    const QString removed = QStringLiteral("Ärendet har tagits bort vid en annan kassa.");

    child<QPushButton>(window, "Command1")->click();
    auto *addWindow = WindowRegistry::find<frmAddProd>();
    QVERIFY(addWindow && addWindow->isVisible());
    for (const char *name : { "Text1", "Text2", "Text3", "Text4", "Text5" })
        QTest::keyClicks(child<QLineEdit>(addWindow, name), QStringLiteral("1"));
    child<QPushButton>(addWindow, "Command1")->click();
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown().last().text, removed);

    child<QLineEdit>(window, "txtEnhet")->setText(QStringLiteral("Crescent Elegant"));
    QTest::mouseClick(child<QPushButton>(window, "cmdSparaAnteckningar"), Qt::LeftButton);
    QCOMPARE(MessageBox::shown().size(), 2);
    QCOMPARE(MessageBox::shown().last().text, removed);

    // The printout itself has happened; its history line would start a new file.
    writeBytes(paths::companyFile(), "[Main]\r\nRad1=Verkstan AB\r\n");
    QImage logo(96, 48, QImage::Format_RGB32);
    logo.fill(Qt::darkBlue);
    QVERIFY(logo.save(paths::logoFile(), "BMP"));
    QTemporaryDir pdfFolder;
    QVERIFY(window->savePdf(pdfFolder.filePath(QStringLiteral("sheet.pdf"))));
    QCOMPARE(MessageBox::shown().size(), 3);
    QCOMPARE(MessageBox::shown().last().text, removed);

    QCOMPARE(filesOfCase(), QStringList());
}

QTEST_MAIN(TestCaseNotes)
#include "tst_casenotes.moc"
