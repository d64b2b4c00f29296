// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/frmKundData.h"

#include "gui/banner.h"
#include "gui/frmArende.h"
#include "gui/frmTidigareArenden.h"
#include "gui/lockwaitbox.h"
#include "gui/messagebox.h"
#include "gui/pushbutton.h"
#include "gui/units.h"
#include "gui/windowregistry.h"
#include "storage/accounts.h"
#include "storage/customercards.h"
#include "storage/datafolder.h"

#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>

namespace lunora {

namespace {

const QString CardTitle = QStringLiteral("Kunddata");
const QString CrLf = QStringLiteral("\r\n");

const QStringList &fieldCaptions()
{
    static const QStringList captions { QStringLiteral("Kundnummer"), QStringLiteral("Namn"),
        QStringLiteral("Adress"), QStringLiteral("Postadress"), QStringLiteral("Land"),
        QStringLiteral("Telefon"), QStringLiteral("Mobiltelefon"), QStringLiteral("E.postadress"),
        QStringLiteral("Noteringar") };
    return captions;
}

// A frame and, filling it, the plain widget its labels and fields live on: assistive
// technology reports the frame as the label of its direct children, and each field is
// to be known by its own caption, not by the frame's title.
QWidget *makeFrame(QWidget *parent, const QString &caption, int left, int top, int width, int height)
{
    auto *frame = new QGroupBox(caption, parent);
    frame->setObjectName(caption);
    placeAt(frame, left, top, width, height);
    auto *inside = new QWidget(frame);
    inside->setObjectName(caption + QStringLiteral("Fields"));
    inside->setGeometry(0, 0, frame->width(), frame->height());
    return inside;
}

// One caption and its read-only field, placed in a frame at the given top.
QLineEdit *addField(QWidget *frame, int number, const QString &caption, int top)
{
    auto *label = new QLabel(caption, frame);
    label->setObjectName(QStringLiteral("Label%1").arg(number));
    // As tall as its field and centred, so that caption and value share a baseline.
    placeAt(label, 240, top, 2415, 285);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    auto *field = new QLineEdit(frame);
    field->setObjectName(QStringLiteral("Text%1").arg(number));
    field->setReadOnly(true); // selectable and copyable, never changed
    placeAt(field, 2040, top, 3615, 285);
    label->setBuddy(field);
    field->setAccessibleName(caption);
    return field;
}

// The notes are one INI value: Enter does not start a new line there.
class OneLineFilter final : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter)
                return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

QString refusalText(const customercards::Outcome &outcome, const QString &telephone)
{
    using customercards::Error;
    switch (outcome.error) {
    case Error::UnsafeName:
        return QStringLiteral("Kundkortet kan inte sparas: telefonnumret \"%1\" kan inte användas som "
                              "filnamn (det får inte innehålla / eller \\ och inte vara . eller ..).")
            .arg(telephone);
    case Error::ReservedName:
        if (telephone.isEmpty())
            return QStringLiteral("Kundkortet kan inte sparas: fyll i ett telefonnummer. Kortet sparas "
                                  "under kundens telefonnummer.");
        return QStringLiteral("Kundkortet kan inte sparas: \"%1\" är namnet på en av programmets egna filer.")
            .arg(telephone);
    case Error::Unstorable:
        return frmKundData::unstorableValueText(fieldCaptions().value(outcome.field));
    case Error::Exists:
        return QStringLiteral("Det finns redan ett kundkort för telefonnumret \"%1\". Det kortet har inte "
                              "ändrats.")
            .arg(telephone);
    case Error::Unwritable:
    case Error::Busy:
    case Error::None:
        break;
    }
    return QStringLiteral("Kundkortet kunde inte sparas (%1).")
               .arg(QDir::toNativeSeparators(
                   DataFolder::path(u"\\Lib\\") + telephone + QStringLiteral(".ini")))
        + CrLf + CrLf + QStringLiteral("Det du har skrivit finns kvar i fönstret.");
}

} // namespace

QString frmKundData::unstorableValueText(const QString &fieldCaption)
{
    return QStringLiteral("Fältet \"%1\" innehåller ett tecken som inte kan sparas: en radbrytning, en "
                          "hakparentes ([) eller ett tecken som saknas i teckentabellen Windows-1252.")
               .arg(fieldCaption)
        + CrLf + CrLf + QStringLiteral("Ändra texten och försök igen. Ingenting har sparats.");
}

frmKundData::frmKundData(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmKundData"));
    setWindowTitle(CardTitle);
    setFont(formFont());
    setModal(false);
    const QIcon icon(QStringLiteral(":/lunora/icon.png"));
    if (!icon.isNull())
        setWindowIcon(icon);
    // The card's own layout is 7575 units high; the editing buttons take a row below it,
    // and what the card leads to (a new case, the earlier ones) a row below that.
    setClientSize(this, 6150, 8535);

    auto *banner = new QLabel(this);
    banner->setObjectName(QStringLiteral("Image1"));
    placeAt(banner, 0, -120, 6150, 645);
    banner->setPixmap(bannerPicture(banner->size()));

    m_header = new QLabel(this);
    m_header->setObjectName(QStringLiteral("Label9"));
    m_header->setFont(formFont(9.75, true));
    m_header->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    placeAt(m_header, 120, 120, 5895, 255);

    QWidget *general = makeFrame(this, QStringLiteral("Allmänt"), 120, 720, 5895, 2295);
    for (int i = 0; i < 5; ++i)
        m_fields.append(addField(general, i + 1, fieldCaptions().at(i), 360 + 360 * i));

    QWidget *contact = makeFrame(this, QStringLiteral("Kontaktinfo"), 120, 3120, 5895, 1575);
    for (int i = 5; i < 8; ++i)
        m_fields.append(addField(contact, i + 1, fieldCaptions().at(i), 360 + 360 * (i - 5)));

    buildNotesAndButtons();

    QWidget *previous = m_fields.first();
    for (QWidget *next : QList<QWidget *> { m_fields.begin() + 1, m_fields.end() }) {
        setTabOrder(previous, next);
        previous = next;
    }
    setTabOrder(previous, m_notes);
    setTabOrder(m_notes, m_close);
    setTabOrder(m_close, m_edit);
    setTabOrder(m_edit, m_save);
    setTabOrder(m_save, m_cancel);
    setTabOrder(m_cancel, m_newCase);
    setTabOrder(m_newCase, m_earlier);

    banner->lower();
    m_header->raise();
    applyMode();
}

frmKundData::~frmKundData() = default;

void frmKundData::buildNotesAndButtons()
{
    auto *notes = new QGroupBox(QStringLiteral("Noteringar"), this);
    notes->setObjectName(QStringLiteral("Noteringar"));
    placeAt(notes, 120, 4800, 5895, 2175);
    m_notes = new QPlainTextEdit(notes);
    m_notes->setObjectName(QStringLiteral("Text9"));
    m_notes->setAccessibleName(QStringLiteral("Noteringar"));
    // The notes are one line in the file; wrapping shows all of it without sideways scrolling.
    m_notes->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_notes->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_notes->setTabChangesFocus(true);
    m_notes->installEventFilter(new OneLineFilter(m_notes));
    placeAt(m_notes, 240, 360, 5415, 1605);
    connect(m_notes, &QPlainTextEdit::textChanged, this, &frmKundData::keepNotesOnOneLine);

    m_close = makePushButton(this, QStringLiteral("Command1"), QStringLiteral("Stäng"));
    placeAt(m_close, 120, 7080, 5895, 375);
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);

    auto addButton = [this](const char *name, const QString &caption, int left) {
        QPushButton *button = makePushButton(this, QString::fromLatin1(name), caption);
        placeAt(button, left, 7560, 1095, 375);
        return button;
    };
    m_edit = addButton("cmdAndra", QStringLiteral("Ändra"), 120);
    m_save = addButton("cmdSpara", QStringLiteral("Spara"), 1320);
    m_cancel = addButton("cmdAvbryt", QStringLiteral("Avbryt"), 2520);
    connect(m_edit, &QPushButton::clicked, this, &frmKundData::startEditing);
    connect(m_save, &QPushButton::clicked, this, &frmKundData::saveCard);
    connect(m_cancel, &QPushButton::clicked, this, &frmKundData::cancelEditing);

    m_newCase = makePushButton(this, QStringLiteral("cmdNyttArende"), QStringLiteral("Nytt för kunden"));
    placeAt(m_newCase, 120, 8040, 2895, 375);
    m_earlier = makePushButton(this, QStringLiteral("cmdTidigare"), QStringLiteral("Tidigare ärenden…"));
    placeAt(m_earlier, 3120, 8040, 2895, 375);
    connect(m_newCase, &QPushButton::clicked, this, &frmKundData::newCaseForCustomer);
    connect(m_earlier, &QPushButton::clicked, this, &frmKundData::showEarlierCases);
}

bool frmKundData::showCustomer(const QString &telephone)
{
    // The telephone becomes a file name; one that would lead out of Lib names no
    // customer file, and nothing is read or created for it.
    if (!isSafeFileName(telephone)) {
        refuse(QStringLiteral("Kunddata kan inte visas: telefonnumret kan inte användas som filnamn."));
        return false;
    }
    const Result<CustomerRecord> read = customerfile::read(telephone);
    if (!read) {
        refuse(QStringLiteral("Kunddata kan inte visas: kundfilen kunde inte läsas."));
        return false;
    }
    m_state = State { telephone, read.value(), Mode::Viewing };
    showRecord(m_state.saved);
    applyMode();
    WindowRegistry::bringForward(this);
    return true;
}

void frmKundData::newCustomer(const CustomerRecord &known)
{
    m_state = State { known.phone1, CustomerRecord(), Mode::Creating };
    showRecord(known);
    applyMode();
    WindowRegistry::bringForward(this);
    m_fields.first()->setFocus();
}

void frmKundData::showRecord(const CustomerRecord &record)
{
    for (int i = 0; i < m_fields.size(); ++i) {
        m_fields.at(i)->setText(customercards::value(record, i));
        m_fields.at(i)->setCursorPosition(0);
    }
    m_notes->setPlainText(record.notes);
    m_header->setText(record.name);
}

CustomerRecord frmKundData::editedRecord() const
{
    CustomerRecord record;
    for (int i = 0; i < m_fields.size(); ++i)
        customercards::setValue(record, i, m_fields.at(i)->text());
    record.notes = m_notes->toPlainText();
    return record;
}

bool frmKundData::isEditing() const
{
    return m_state.mode != Mode::Viewing;
}

void frmKundData::applyMode()
{
    const bool editing = isEditing();
    for (QLineEdit *field : std::as_const(m_fields))
        field->setReadOnly(!editing);
    m_notes->setReadOnly(!editing);
    m_notes->setTextInteractionFlags(
        editing ? Qt::TextEditorInteraction : Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_edit->setEnabled(!editing);
    m_save->setEnabled(editing);
    // Enter in a field of a new card saves it.
    m_save->setDefault(m_state.mode == Mode::Creating);
    m_cancel->setEnabled(editing);
    // Both stand for the card as it is stored: none while it is being made or changed.
    m_newCase->setEnabled(!editing);
    m_earlier->setEnabled(!editing);
    setWindowTitle(m_state.mode == Mode::Creating ? CardTitle + QStringLiteral(" - Ny kund") : CardTitle);
}

void frmKundData::startEditing()
{
    m_state.mode = Mode::Editing;
    applyMode();
    m_fields.first()->setFocus();
}

void frmKundData::cancelEditing()
{
    if (m_state.mode == Mode::Creating) {
        close(); // nothing of a new card has been written
        return;
    }
    m_state.mode = Mode::Viewing;
    showRecord(m_state.saved);
    applyMode();
}

void frmKundData::saveCard()
{
    const CustomerRecord record = editedRecord();
    // A new card is named after the telephone typed on it; a card that exists keeps the
    // file it was opened from, whatever its "Telefon" field says.
    const bool creating = m_state.mode == Mode::Creating;
    const QString telephone = creating ? record.phone1 : m_state.telephone;
    // Only the fields the user changed are written: what another desk changed in the
    // other fields since the card was shown stays.
    const customercards::Outcome outcome = creating
        ? customercards::create(telephone, record)
        : customercards::update(telephone, record, &m_state.saved);
    if (outcome.error == customercards::Error::Busy) {
        showFolderBusy(this);
        return;
    }
    if (!outcome.ok()) {
        MessageBox::show(
            this, CardTitle, refusalText(outcome, telephone), MessageBox::Ok, MessageBox::Exclamation);
        return;
    }
    // The card as the file now holds it, other desks' fields included.
    const Result<CustomerRecord> stored = customerfile::read(telephone);
    m_state = State { telephone, stored ? stored.value() : record, Mode::Viewing };
    showRecord(m_state.saved);
    m_header->setText(m_state.saved.name);
    applyMode();
}

void frmKundData::newCaseForCustomer()
{
    // The card as it is stored, under the telephone its file (and the customer's cases)
    // are named after.
    if (!isEditing())
        frmArende::showNewCaseFor({ m_state.saved.id, m_state.saved.name, m_state.telephone });
}

void frmKundData::showEarlierCases()
{
    if (!isEditing())
        WindowRegistry::show<frmTidigareArenden>()->showCustomer(
            { m_state.telephone, m_state.saved.id }, m_state.saved.name);
}

void frmKundData::keepNotesOnOneLine()
{
    if (m_flattening)
        return;
    const QString text = m_notes->toPlainText();
    if (!text.contains(u'\n') && !text.contains(u'\r'))
        return;
    // Pasted line breaks become blanks: the value is one line of the file.
    m_flattening = true;
    const int position = m_notes->textCursor().position();
    QString flat = text;
    flat.replace(u'\r', u' ').replace(u'\n', u' ');
    m_notes->setPlainText(flat);
    QTextCursor cursor = m_notes->textCursor();
    cursor.setPosition(std::min(position, int(flat.size())));
    m_notes->setTextCursor(cursor);
    m_flattening = false;
}

QStringList frmKundData::fieldTexts() const
{
    QStringList texts;
    for (const QLineEdit *field : m_fields)
        texts.append(field->text());
    texts.append(m_notes->toPlainText());
    return texts;
}

QString frmKundData::headerText() const
{
    return m_header->text();
}

void frmKundData::refuse(const QString &text)
{
    QWidget *parent = isVisible() ? this : QApplication::activeWindow();
    MessageBox::show(parent, CardTitle, text, MessageBox::Ok, MessageBox::Exclamation);
    // A card created only for this customer is not left behind, invisible.
    if (!isVisible())
        close();
}

} // namespace lunora
