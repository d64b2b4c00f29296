// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/frmAddProd.h"

#include "gui/messagebox.h"
#include "gui/pushbutton.h"
#include "gui/storemessages.h"
#include "gui/units.h"
#include "storage/casefiles.h"
#include "storage/casestore.h"
#include "storage/datafolder.h"
#include "storage/numbers.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <cmath>

namespace lunora {

namespace {

struct FieldLayout
{
    const char *labelName;
    QString caption;
    const char *fieldName;
    int width;
};

const std::array<FieldLayout, ArticleFieldCount> &fieldLayouts()
{
    static const std::array<FieldLayout, ArticleFieldCount> layouts { {
        { "Label1", QStringLiteral("Artikel nr"), "Text1", 1575 },
        { "Label2", QStringLiteral("Benämning"), "Text2", 3375 },
        { "Label3", QStringLiteral("Kvant"), "Text3", 1215 },
        { "Label4", QStringLiteral("Enhet"), "Text4", 1215 },
        { "Label5", QStringLiteral("Enhetspris"), "Text5", 1215 },
        { "Label6", QStringLiteral("Summa"), "Text6", 1215 },
    } };
    return layouts;
}

void showAddFailure(QWidget *parent)
{
    MessageBox::show(parent, QStringLiteral("Lägga till artikel"), QStringLiteral("Det blev något fel"),
        MessageBox::Ok, MessageBox::Exclamation);
}

} // namespace

frmAddProd::frmAddProd(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("frmAddProd"));
    setFont(formFont());
    setClientSize(this, 5055, 3015);

    for (int i = 0; i < ArticleFieldCount; ++i) {
        const FieldLayout &layout = fieldLayouts()[i];
        const int top = 120 + i * 360;
        auto *label = new QLabel(layout.caption, this);
        label->setObjectName(QString::fromLatin1(layout.labelName));
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        placeAt(label, 120, top, 1335, 285);
        auto *field = new QLineEdit(this);
        field->setObjectName(QString::fromLatin1(layout.fieldName));
        field->setAccessibleName(layout.caption);
        label->setBuddy(field);
        placeAt(field, 1560, top, layout.width, 285);
        // Enter walks from field to field; in "Enhetspris", the last one typed, it
        // presses the window's default button.
        if (i < UnitPrice)
            field->installEventFilter(this);
        m_fields[i] = field;
    }

    // The sum is the window's own result, never typed.
    QLineEdit *sum = m_fields[Sum];
    sum->setReadOnly(true);
    QPalette grey = sum->palette();
    grey.setColor(QPalette::Base, grey.color(QPalette::Window));
    sum->setPalette(grey);

    // An etched line: a dark line with a light one under it.
    auto *shape1 = new QFrame(this);
    shape1->setObjectName(QStringLiteral("Shape1"));
    shape1->setFrameShape(QFrame::HLine);
    shape1->setFrameShadow(QFrame::Sunken);
    shape1->setGeometry(px(120), px(2400) - 1, px(4815), 2);

    auto addButton = [this](const QString &name, const QString &caption, int left, int width) {
        QPushButton *button = makePushButton(this, name, caption);
        placeAt(button, left, 2520, width, 375);
        return button;
    };
    m_command4 = addButton(QStringLiteral("Command4"), QStringLiteral("Lista"), 120, 1215);
    m_command3 = addButton(QStringLiteral("Command3"), QStringLiteral("Uppdatera"), 1440, 1095);
    m_command1 = addButton(QStringLiteral("Command1"), QStringLiteral("Lägg till"), 2640, 1095);
    m_command2 = addButton(QStringLiteral("Command2"), QStringLiteral("Avbryt"), 3840, 1095);
    m_command4->setEnabled(false);

    connect(m_command1, &QPushButton::clicked, this, &frmAddProd::addRow);
    connect(m_command3, &QPushButton::clicked, this, &frmAddProd::changeRow);
    connect(m_command2, &QPushButton::clicked, this, &QWidget::close);
    // The sum follows quantity and unit price as the user types.
    connect(m_fields[Quantity], &QLineEdit::textChanged, this, &frmAddProd::updateSum);
    connect(m_fields[UnitPrice], &QLineEdit::textChanged, this, &frmAddProd::updateSum);

    setTabOrder(m_fields[ArticleNumber], m_fields[Description]);
    setTabOrder(m_fields[Description], m_fields[Quantity]);
    setTabOrder(m_fields[Quantity], m_fields[Unit]);
    setTabOrder(m_fields[Unit], m_fields[UnitPrice]);
    setTabOrder(m_fields[UnitPrice], m_command1);
    setTabOrder(m_command1, m_command2);
    setTabOrder(m_command2, m_command3);
    setTabOrder(m_command3, m_fields[Sum]);
    setTabOrder(m_fields[Sum], m_command4);

    openAdd();
}

frmAddProd::~frmAddProd() = default;

void frmAddProd::setMode(bool change)
{
    setWindowTitle(change ? QStringLiteral("Ändra") : QStringLiteral("Lägg till"));
    m_command1->setEnabled(true);
    m_command1->setVisible(true);
    m_command3->setEnabled(change);
    m_command3->setVisible(change);
    // Enter does what the window was opened for.
    m_command3->setDefault(change);
    m_command1->setDefault(!change);
}

bool frmAddProd::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        const auto field = std::find(m_fields.begin(), m_fields.begin() + UnitPrice, watched);
        if (enter && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier
            && field != m_fields.begin() + UnitPrice) {
            (*std::next(field))->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmAddProd::openAdd()
{
    setMode(false);
    for (QLineEdit *field : m_fields)
        field->clear();
    updateSum();
    m_fields[ArticleNumber]->setFocus();
}

void frmAddProd::openChange(const ArticleRow &row)
{
    setMode(true);
    for (int i = 0; i < ArticleFieldCount; ++i)
        m_fields[i]->setText(row[i]);
    // The sum shown is the product of the row's quantity and price, not the stored sum.
    updateSum();
    m_fields[ArticleNumber]->setFocus();
}

void frmAddProd::setTarget(TargetSource source)
{
    m_target = std::move(source);
}

ArticleRow frmAddProd::currentRow() const
{
    ArticleRow row;
    for (int i = 0; i < ArticleFieldCount; ++i)
        row[i] = m_fields[i]->text();
    return row;
}

void frmAddProd::updateSum()
{
    // A decimal comma counts whatever the desktop's format: "12,50" is twelve and a half.
    double product = numbers::amountValue(m_fields[Quantity]->text())
        * numbers::amountValue(m_fields[UnitPrice]->text());
    // An exponent can push the product past what a number can hold; such a row is no
    // amount anyone can pay, and "inf" must not become a sum in the file.
    if (!std::isfinite(product))
        product = 0.0;
    QString text = numbers::formatTwoDecimals(product);
    text.replace(QStringLiteral(" ,"), QStringLiteral("."));
    m_fields[Sum]->setText(text);
}

void frmAddProd::tidyPrice()
{
    QString text = numbers::formatTwoDecimalsText(m_fields[UnitPrice]->text());
    text.replace(QStringLiteral(" ,"), QStringLiteral("."));
    m_fields[UnitPrice]->setText(text);
}

bool frmAddProd::refuseUnstorable(const ArticleRow &row, const QString &title)
{
    const int field = articlefile::firstUnstorableField(row);
    if (field < 0)
        return false;
    MessageBox::show(this, title, unstorableValueText(fieldLayouts()[field].caption), MessageBox::Ok,
        MessageBox::Exclamation);
    m_fields[field]->setFocus();
    return true;
}

void frmAddProd::addRow()
{
    tidyPrice();
    const ArticleRow row = currentRow();
    if (refuseUnstorable(row, QStringLiteral("Lägga till artikel")))
        return;

    const std::optional<ArticleTarget> target = m_target ? m_target() : std::nullopt;
    if (!target || target->controlCode.isEmpty()) {
        showAddFailure(this);
        return;
    }
    if (const StoreResult added = CaseStore::addArticleRow(target->controlCode, row, target->caseState);
        !added) {
        if (added.kind == StoreError::CaseRemoved)
            showStoreFailure(this, QStringLiteral("Lägga till artikel"), added);
        else if (!showIfBusy(this, added))
            showAddFailure(this);
        return;
    }
    emit rowAdded(row);
    close();
}

void frmAddProd::changeRow()
{
    tidyPrice();
    const ArticleRow row = currentRow();
    if (refuseUnstorable(row, QStringLiteral("Uppdatera")))
        return;

    if (!m_target || !m_target()) {
        MessageBox::show(this, QStringLiteral("Uppdatering"), QStringLiteral("Det blev något fel"),
            MessageBox::Ok, MessageBox::Exclamation);
        return;
    }
    // The list replaces the row after this handler has returned.
    emit rowChanged(row);
    close();
}

} // namespace lunora
