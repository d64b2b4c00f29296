// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/frmSkapaID.h"

#include "gui/messagebox.h"
#include "gui/units.h"
#include "storage/accounts.h"
#include "storage/cp1252.h"
#include "storage/datafolder.h"

#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <utility>

namespace lunora {

namespace {
const QString WindowTitle = QStringLiteral("Skapa ny användare");

void fill(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

// A full-width heading band: bold white text on the blue of a classic desktop.
void heading(QWidget *parent, const char *name, const QString &text, int top)
{
    auto *label = new QLabel(QStringLiteral(" ") + text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setFont(formFont(8.25, true));
    fill(label, QColor(58, 110, 165));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(palette);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    placeAt(label, 120, top, 3975, 255);
}

QLineEdit *field(QWidget *parent, const char *labelName, const QString &caption, const char *name, int left,
    int top, int width, int maxLength)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(labelName));
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    placeAt(label, 120, top, left - 120 - 60, 285);

    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMaxLength(maxLength);
    placeAt(edit, left, top, width, 285);
    label->setBuddy(edit);
    edit->setAccessibleName(caption);
    return edit;
}

QFrame *line(QWidget *parent, const char *name, int top, const QColor &colour)
{
    auto *shape = new QFrame(parent);
    shape->setObjectName(QString::fromLatin1(name));
    fill(shape, colour);
    placeAt(shape, 120, top, 3975, 15);
    return shape;
}
} // namespace

frmSkapaID::frmSkapaID(QWidget *parent)
    : QDialog(parent,
        Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmSkapaID"));
    setWindowTitle(WindowTitle);
    setFont(formFont());
    setClientSize(this, 4215, 3615);

    heading(this, "Label6", QStringLiteral("Inloggning"), 120);
    heading(this, "Label7", QStringLiteral("Identifikation"), 1320);
    heading(this, "Label5", QStringLiteral("Behörighet"), 2160);

    m_text1 = field(this, "Label1", QStringLiteral("Användar-ID"), "Text1", 1680, 480, 2415, 15);
    m_text2 = field(this, "Label2", QStringLiteral("Lösenord"), "Text2", 1680, 840, 2415, 15);
    m_text2->setEchoMode(QLineEdit::Password);
    m_text2->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    m_text3 = field(this, "Label3", QStringLiteral("Riktigt namn"), "Text3", 1680, 1680, 2415, 25);
    m_txtIndex = field(this, "Label4", QStringLiteral("Index"), "txtIndex", 960, 2520, 615, 1);

    // The help symbol works like a picture: a click shows the help, it takes no focus.
    m_image1 = new QToolButton(this);
    m_image1->setObjectName(QStringLiteral("Image1"));
    m_image1->setIcon(QIcon(QStringLiteral(":/lunora/help.png")));
    m_image1->setIconSize(QSize(px(240), px(240)));
    m_image1->setAutoRaise(true);
    m_image1->setFocusPolicy(Qt::NoFocus);
    m_image1->setStyleSheet(QStringLiteral("QToolButton { border: none; padding: 0px; }"));
    m_image1->setToolTip(QStringLiteral("Hjälp"));
    m_image1->setAccessibleName(QStringLiteral("Hjälp"));
    m_image1->setCursor(Qt::PointingHandCursor);
    placeAt(m_image1, 1680, 2520 + 22, 240, 240);

    // An etched line: a dark stroke with a light one under it.
    line(this, "Shape1", 3000, QColor(128, 128, 128));
    line(this, "Shape2", 3015, Qt::white);

    m_command1 = new QPushButton(QStringLiteral("Spara"), this);
    m_command1->setObjectName(QStringLiteral("Command1"));
    placeAt(m_command1, 1800, 3120, 1095, 375);
    m_command2 = new QPushButton(QStringLiteral("Avbryt"), this);
    m_command2->setObjectName(QStringLiteral("Command2"));
    placeAt(m_command2, 3000, 3120, 1095, 375);

    // The index is asked for before the full name, although it sits below it.
    setTabOrder(m_text1, m_text2);
    setTabOrder(m_text2, m_txtIndex);
    setTabOrder(m_txtIndex, m_text3);
    setTabOrder(m_text3, m_command1);
    setTabOrder(m_command1, m_command2);
    m_text1->setFocus();

    connect(m_image1, &QToolButton::clicked, this, &frmSkapaID::onImage1);
    connect(m_command1, &QPushButton::clicked, this, &frmSkapaID::onCommand1);
    connect(m_command2, &QPushButton::clicked, this, &frmSkapaID::close);
}

frmSkapaID::~frmSkapaID() = default;

void frmSkapaID::onImage1()
{
    MessageBox::show(this, QStringLiteral("Hjälp"),
        QStringLiteral("Behörighetsindex\r\n\r\n"
                       "0 = Administratör, fullständig behörighet.\r\n"
                       "9 = Normal användare, begränsad behörighet"),
        MessageBox::Ok, MessageBox::Information);
}

void frmSkapaID::showSaveFailure(const QString &reason)
{
    MessageBox::show(this, WindowTitle, QStringLiteral("Användaren kunde inte sparas.\r\n") + reason,
        MessageBox::Ok, MessageBox::Critical);
}

void frmSkapaID::onCommand1()
{
    const QString index = m_txtIndex->text();
    if (index != u"0" && index != u"9") {
        MessageBox::show(this, QStringLiteral("Fel"), QStringLiteral("Felaktigt alternativ!"), MessageBox::Ok,
            MessageBox::Critical);
        return;
    }

    const UserRecord record { m_text1->text(), m_text2->text(), index, m_text3->text() };
    if (record.user.isEmpty()) {
        showSaveFailure(QStringLiteral("Användar-ID saknas."));
        return;
    }
    if (!isSafeFileName(record.user)) {
        showSaveFailure(QStringLiteral("Användar-ID blir filnamnet och får inte innehålla / eller \\ "
                                       "och inte vara . eller .."));
        return;
    }
    // A line holding "[" ends its section for the reader, so every key below it would
    // become unreadable and the account could never sign in. Characters without a
    // Windows-1252 byte would be stored as "?" and never match what is typed.
    const std::pair<QString, QString> fields[]
        = { { QStringLiteral("Användar-ID"), record.user }, { QStringLiteral("Lösenord"), record.password },
              { QStringLiteral("Riktigt namn"), record.realName } };
    for (const auto &[caption, value] : fields) {
        if (value.contains(u'[')) {
            showSaveFailure(
                QStringLiteral("Tecknet [ i fältet %1 kan inte sparas i användarfilen.").arg(caption));
            return;
        }
        if (!cp1252::canEncode(value) || value.contains(u'\r') || value.contains(u'\n')) {
            showSaveFailure(QStringLiteral("Fältet %1 innehåller tecken som inte kan sparas i användarfilen.")
                                .arg(caption));
            return;
        }
    }

    const Status written = userfile::write(record.user, record);
    if (!written.ok()) {
        showSaveFailure(
            QStringLiteral("Kontrollera att mappen Lib\\User finns i programmets mapp och att den går "
                           "att skriva i."));
        return;
    }
    close();
}

} // namespace lunora
