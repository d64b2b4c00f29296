// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/casenotespanel.h"

#include "gui/pushbutton.h"
#include "gui/units.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSize>
#include <algorithm>

namespace lunora {

namespace {
QLabel *captionFor(QWidget *parent, const char *name, const QString &caption, QWidget *field)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setBuddy(field);
    field->setAccessibleName(caption);
    return label;
}
} // namespace

CaseNotesPanel::CaseNotesPanel(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("CaseNotes"));
    setMinimumSize(designSize());
    resize(designSize());

    auto *separator = new QFrame(this);
    m_separator = separator;
    separator->setObjectName(QStringLiteral("ShapeNotes"));
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);
    separator->setGeometry(px(120), px(60) - 1, px(8655), 2);

    m_device = new QLineEdit(this);
    m_device->setObjectName(QStringLiteral("txtEnhet"));
    placeAt(m_device, 1560, 180, 3375, 285);
    placeAt(captionFor(this, "lblEnhet", QStringLiteral("Enhet / modell"), m_device), 120, 180, 1440, 285);

    m_serial = new QLineEdit(this);
    m_serial->setObjectName(QStringLiteral("txtSerienummer"));
    placeAt(m_serial, 6840, 180, 1935, 285);
    placeAt(
        captionFor(this, "lblSerienummer", QStringLiteral("Serienummer"), m_serial), 5160, 180, 1560, 285);

    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("txtFelbeskrivning"));
    m_text->setTabChangesFocus(true);
    m_text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    placeAt(m_text, 120, 780, 8655, 1500);
    placeAt(captionFor(this, "lblFelbeskrivning", QStringLiteral("Felbeskrivning / anteckningar"), m_text),
        120, 540, 4000, 255);

    m_saveCustomer = makePushButton(this, QStringLiteral("cmdSparaKund"), QStringLiteral("Spara kund"));
    placeAt(m_saveCustomer, 120, 2400, 1335, 375);
    m_saveNotes
        = makePushButton(this, QStringLiteral("cmdSparaAnteckningar"), QStringLiteral("Spara anteckningar"));
    placeAt(m_saveNotes, 6480, 2400, 2295, 375);
    connect(m_saveNotes, &QPushButton::clicked, this, &CaseNotesPanel::saveNotesRequested);
    connect(m_saveCustomer, &QPushButton::clicked, this, &CaseNotesPanel::saveCustomerRequested);

    setTabOrder(m_device, m_serial);
    setTabOrder(m_serial, m_text);
    setTabOrder(m_text, m_saveCustomer);
    setTabOrder(m_saveCustomer, m_saveNotes);
}

QSize CaseNotesPanel::designSize()
{
    return QSize(px(8895), px(HeightUnits));
}

void CaseNotesPanel::grow(int dx, int dy)
{
    dx = std::max(0, dx);
    dy = std::max(0, dy);
    resize(designSize() + QSize(dx, dy));
    m_separator->setGeometry(px(120), px(60) - 1, px(8655) + dx, 2);
    placeAt(m_text, 120, 780, 8655, 1500);
    m_text->resize(m_text->width() + dx, m_text->height() + dy);
    m_saveCustomer->move(px(120), px(2400) + dy);
    m_saveNotes->move(px(6480) + dx, px(2400) + dy);
}

CaseNotes CaseNotesPanel::notes() const
{
    return { m_device->text(), m_serial->text(), m_text->toPlainText() };
}

void CaseNotesPanel::setStoredNotes(const CaseNotes &notes)
{
    m_device->setText(notes.device);
    m_device->setCursorPosition(0);
    m_serial->setText(notes.serial);
    m_serial->setCursorPosition(0);
    m_text->setPlainText(notes.text);
    markSaved();
}

void CaseNotesPanel::markSaved()
{
    m_state.stored = notes();
}

bool CaseNotesPanel::hasUnsavedNotes() const
{
    return notes() != m_state.stored;
}

void CaseNotesPanel::setSaveNotesEnabled(bool enabled)
{
    m_saveNotes->setEnabled(enabled);
}

QWidget *CaseNotesPanel::firstInTabOrder() const
{
    return m_device;
}

QWidget *CaseNotesPanel::lastInTabOrder() const
{
    return m_saveNotes;
}

} // namespace lunora
