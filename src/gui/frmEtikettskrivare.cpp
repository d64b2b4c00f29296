// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/frmEtikettskrivare.h"

#include "gui/units.h"
#include "printing/defaultprinter.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrinterInfo>
#include <QPushButton>
#include <QVBoxLayout>

namespace lunora {

namespace {
constexpr double MinSide = 20.0;
constexpr double MaxSide = 300.0;

QDoubleSpinBox *sideBox(QWidget *parent, const char *name, double value)
{
    auto *box = new QDoubleSpinBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(MinSide, MaxSide);
    box->setDecimals(0);
    box->setSuffix(QStringLiteral(" mm"));
    box->setValue(value);
    return box;
}
} // namespace

frmEtikettskrivare::frmEtikettskrivare(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmEtikettskrivare"));
    setWindowTitle(QStringLiteral("Etikettskrivare"));
    setFont(formFont());

    m_printers = new QComboBox(this);
    m_printers->setObjectName(QStringLiteral("cboSkrivare"));
    m_sizes = new QComboBox(this);
    m_sizes->setObjectName(QStringLiteral("cboStorlek"));
    for (const LabelSize size : standardLabelSizes())
        m_sizes->addItem(labelSizeText(size));
    m_sizes->addItem(QStringLiteral("Egen storlek"));
    const LabelSize first = standardLabelSizes().constFirst();
    m_width = sideBox(this, "txtBredd", first.width);
    m_height = sideBox(this, "txtHojd", first.height);
    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("lblInfo"));
    m_note->setWordWrap(true);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Skrivare:"), m_printers);
    form->addRow(QStringLiteral("Etikettstorlek:"), m_sizes);
    form->addRow(QStringLiteral("Bredd:"), m_width);
    form->addRow(QStringLiteral("Höjd:"), m_height);

    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("cmdOK"));
    m_ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("Avbryt"), this);
    cancel->setObjectName(QStringLiteral("cmdAvbryt"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_note);
    layout->addLayout(buttons);
    setMinimumWidth(px(5400));

    connect(m_sizes, &QComboBox::currentIndexChanged, this, &frmEtikettskrivare::showSizeChoice);
    connect(m_printers, &QComboBox::currentIndexChanged, this, &frmEtikettskrivare::checkChoice);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    setPrinterNames(QPrinterInfo::availablePrinterNames());
    showSizeChoice();
}

frmEtikettskrivare::~frmEtikettskrivare() = default;

void frmEtikettskrivare::setPrinterNames(const QStringList &names)
{
    const QString current = m_printers->currentText();
    m_printers->clear();
    m_printers->addItems(names);
    if (!current.isEmpty())
        m_printers->setCurrentText(current);
    checkChoice();
}

void frmEtikettskrivare::setChoice(const QString &printer, LabelSize size)
{
    if (!printer.isEmpty() && m_printers->findText(printer) < 0)
        m_printers->addItem(printer);
    if (!printer.isEmpty())
        m_printers->setCurrentText(printer);
    const qsizetype standard = standardLabelSizes().indexOf(size);
    m_sizes->setCurrentIndex(standard >= 0 ? int(standard) : m_sizes->count() - 1);
    m_width->setValue(size.width);
    m_height->setValue(size.height);
    showSizeChoice();
}

QString frmEtikettskrivare::printer() const
{
    return m_printers->currentText();
}

LabelSize frmEtikettskrivare::labelSize() const
{
    return { m_width->value(), m_height->value() };
}

void frmEtikettskrivare::showSizeChoice()
{
    const QList<LabelSize> sizes = standardLabelSizes();
    const int index = m_sizes->currentIndex();
    const bool own = index < 0 || index >= sizes.size();
    if (!own) {
        m_width->setValue(sizes.at(index).width);
        m_height->setValue(sizes.at(index).height);
    }
    // A roll from the list has its size; only "Egen storlek" is typed.
    m_width->setEnabled(own);
    m_height->setEnabled(own);
}

void frmEtikettskrivare::checkChoice()
{
    const bool none = m_printers->count() == 0;
    m_note->setText(none ? noPrinterText() : QString());
    m_note->setVisible(none);
    m_ok->setEnabled(!none && !m_printers->currentText().isEmpty());
}

} // namespace lunora
