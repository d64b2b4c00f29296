#include "frmKundData.h"

#include "accounts.h"
#include "datafolder.h"
#include "frmArendeList.h"
#include "messagebox.h"
#include "units.h"
#include "windowregistry.h"

#include <QApplication>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>

namespace lunora {

namespace {

const QString CardTitle = QStringLiteral("Kunddata");

QGroupBox *makeFrame(QWidget *parent, const QString &caption, int left, int top, int width, int height)
{
    auto *frame = new QGroupBox(caption, parent);
    frame->setObjectName(caption);
    placeAt(frame, left, top, width, height);
    return frame;
}

// One caption and its read-only field, placed in a frame at the given top.
QLineEdit *addField(QGroupBox *frame, int number, const QString &caption, int top)
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

} // namespace

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
    setClientSize(this, 6150, 7575);

    auto *banner = new QLabel(this);
    banner->setObjectName(QStringLiteral("Image1"));
    placeAt(banner, 0, -120, 6150, 645);
    banner->setPixmap(bannerPicture(banner->size()));

    m_header = new QLabel(this);
    m_header->setObjectName(QStringLiteral("Label9"));
    m_header->setFont(formFont(9.75, true));
    m_header->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    placeAt(m_header, 120, 120, 5895, 255);

    QGroupBox *general = makeFrame(this, QStringLiteral("Allmänt"), 120, 720, 5895, 2295);
    m_fields.append(addField(general, 1, QStringLiteral("Kundnummer"), 360));
    m_fields.append(addField(general, 2, QStringLiteral("Namn"), 720));
    m_fields.append(addField(general, 3, QStringLiteral("Adress"), 1080));
    m_fields.append(addField(general, 4, QStringLiteral("Postadress"), 1440));
    m_fields.append(addField(general, 5, QStringLiteral("Land"), 1800));

    QGroupBox *contact = makeFrame(this, QStringLiteral("Kontaktinfo"), 120, 3120, 5895, 1575);
    m_fields.append(addField(contact, 6, QStringLiteral("Telefon"), 360));
    m_fields.append(addField(contact, 7, QStringLiteral("Mobiltelefon"), 720));
    m_fields.append(addField(contact, 8, QStringLiteral("E.postadress"), 1080));

    QGroupBox *notes = makeFrame(this, QStringLiteral("Noteringar"), 120, 4800, 5895, 2175);
    m_notes = new QPlainTextEdit(notes);
    m_notes->setObjectName(QStringLiteral("Text9"));
    m_notes->setAccessibleName(QStringLiteral("Noteringar"));
    m_notes->setReadOnly(true);
    m_notes->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // The notes are one line in the file; wrapping shows all of it without sideways scrolling.
    m_notes->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_notes->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_notes->setTabChangesFocus(true);
    placeAt(m_notes, 240, 360, 5415, 1605);

    m_close = new QPushButton(QStringLiteral("Stäng"), this);
    m_close->setObjectName(QStringLiteral("Command1"));
    m_close->setAutoDefault(false);
    placeAt(m_close, 120, 7080, 5895, 375);
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);

    banner->lower();
    m_header->raise();
}

frmKundData::~frmKundData() = default;

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
    const CustomerRecord &customer = read.value();
    const QString values[] = { customer.id, customer.name, customer.address, customer.postalAddress,
        customer.country, customer.phone1, customer.phone2, customer.email };
    for (int i = 0; i < m_fields.size(); ++i) {
        m_fields.at(i)->setText(values[i]);
        m_fields.at(i)->setCursorPosition(0);
    }
    m_notes->setPlainText(customer.notes);
    m_header->setText(customer.name);
    WindowRegistry::bringForward(this);
    return true;
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
