// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/frmEtikett.h"

#include "gui/caselist.h"
#include "gui/frmEtikettskrivare.h"
#include "gui/messagebox.h"
#include "gui/savefolder.h"
#include "gui/storemessages.h"
#include "gui/units.h"
#include "gui/windowregistry.h"
#include "storage/casehistory.h"
#include "storage/casestore.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QVBoxLayout>

namespace lunora {

namespace {
const QString NoLabelPrinterTitle = QStringLiteral("Etikettskrivare saknas");
const QString OptionText = QStringLiteral("Skriv etikett när ett nytt ärende sparas");

// The screen's own resolution where it reports a believable one, so that the preview is
// as large as the label in the hand; else the desktop's 96 dpi.
double screenDpi(const QWidget *widget)
{
    const QScreen *screen = widget->screen();
    const double physical = screen ? screen->physicalDotsPerInch() : 0.0;
    return physical >= 72.0 && physical <= 400.0 ? physical : 96.0;
}

QString pdfFileName(const QString &caseNumber)
{
    // The case number comes from the register and may hold anything; the file name must
    // stay one plain name.
    QString number = caseNumber.trimmed();
    for (QChar &c : number) {
        if (c == u'/' || c == u'\\' || c == u':' || c.unicode() < 32)
            c = u'_';
    }
    if (number.isEmpty() || number.contains(QStringLiteral("..")))
        return QStringLiteral("Etikett.pdf");
    return QStringLiteral("Etikett %1.pdf").arg(number);
}

// The label with a thin grey edge where the paper ends, as it lies on the counter.
QPixmap previewOf(const QImage &label)
{
    QPixmap pixmap(label.size() + QSize(2, 2));
    pixmap.fill(Qt::gray);
    QPainter painter(&pixmap);
    painter.drawImage(1, 1, label);
    return pixmap;
}

// The labels have left the program, on paper or in a file: the case's history says so.
// A case removed at another desk meanwhile has no history left, and the user is told.
void noteLabels(QWidget *parent, const QString &controlCode, const QString &event)
{
    const StoreResult noted = CaseStore::notePrintout(controlCode, event, CaseState::Saved);
    if (noted.kind == StoreError::CaseRemoved)
        showStoreFailure(parent, QStringLiteral("Etikett"), noted);
}

void showSettingsFailure(QWidget *parent, const Status &saved)
{
    if (!saved.ok())
        MessageBox::show(parent, QStringLiteral("Etikett"),
            saved.error() + QStringLiteral("\r\n\r\nInställningarna för etiketter sparades inte."),
            MessageBox::Ok, MessageBox::Exclamation);
}
} // namespace

frmEtikett::frmEtikett(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmEtikett"));
    setWindowTitle(QStringLiteral("Skriv etikett"));
    setFont(formFont());

    m_printerText = new QLabel(this);
    m_printerText->setObjectName(QStringLiteral("lblSkrivare"));
    m_printerText->setWordWrap(true);
    m_preview = new QLabel(this);
    m_preview->setObjectName(QStringLiteral("imgEtikett"));
    m_preview->setAlignment(Qt::AlignCenter);
    m_preview->setAccessibleName(QStringLiteral("Förhandsgranskning av etiketten"));

    auto *countCaption = new QLabel(QStringLiteral("Antal etiketter:"), this);
    m_count = new QSpinBox(this);
    m_count->setObjectName(QStringLiteral("txtAntal"));
    m_count->setRange(LabelSettings::MinCount, LabelSettings::MaxCount);
    countCaption->setBuddy(m_count);
    m_option = new QCheckBox(OptionText, this);
    m_option->setObjectName(QStringLiteral("chkNyttArende"));

    m_choosePrinter = new QPushButton(QStringLiteral("Etikettskrivare…"), this);
    m_choosePrinter->setObjectName(QStringLiteral("cmdEtikettskrivare"));
    m_pdf = new QPushButton(QStringLiteral("Spara som PDF…"), this);
    m_pdf->setObjectName(QStringLiteral("cmdPdf"));
    m_print = new QPushButton(QStringLiteral("Skriv ut"), this);
    m_print->setObjectName(QStringLiteral("cmdSkrivUt"));
    auto *cancel = new QPushButton(QStringLiteral("Avbryt"), this);
    cancel->setObjectName(QStringLiteral("cmdAvbryt"));

    auto *countRow = new QHBoxLayout;
    countRow->addWidget(countCaption);
    countRow->addWidget(m_count);
    countRow->addStretch();
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_choosePrinter);
    buttons->addWidget(m_pdf);
    buttons->addStretch();
    buttons->addWidget(m_print);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_printerText);
    layout->addWidget(m_preview, 1);
    layout->addLayout(countRow);
    layout->addWidget(m_option);
    layout->addLayout(buttons);

    connect(m_choosePrinter, &QPushButton::clicked, this, &frmEtikett::choosePrinter);
    connect(m_pdf, &QPushButton::clicked, this, &frmEtikett::askPdfFile);
    connect(m_print, &QPushButton::clicked, this, &frmEtikett::printLabels);
    connect(cancel, &QPushButton::clicked, this, &QDialog::close);
    connect(m_option, &QCheckBox::toggled, this, &frmEtikett::optionToggled);
    connect(m_count, &QSpinBox::valueChanged, this, &frmEtikett::countChanged);
}

frmEtikett::~frmEtikett() = default;

void frmEtikett::showLabel(const LabelData &data)
{
    m_state.data = data;
    m_state.settings = loadLabelSettings();
    setWindowTitle(QStringLiteral("Skriv etikett - Ärende %1").arg(data.caseNumber));
    showState();
}

LabelSize frmEtikett::labelSize() const
{
    return { m_state.settings.width, m_state.settings.height };
}

void frmEtikett::showState()
{
    const LabelSettings &settings = m_state.settings;
    const bool chosen = !settings.printer.isEmpty();
    m_printerText->setText(chosen
            ? QStringLiteral("Etikettskrivare: %1, %2").arg(settings.printer, labelSizeText(labelSize()))
            : QStringLiteral("Ingen etikettskrivare är vald för denna dator. Välj en med "
                             "Etikettskrivare… eller spara etiketten som PDF (%1).")
                  .arg(labelSizeText(labelSize())));
    m_preview->setPixmap(previewOf(labelImage(m_state.data, labelSize(), screenDpi(this))));
    const QSignalBlocker countBlocker(m_count);
    m_count->setValue(settings.count);
    const QSignalBlocker optionBlocker(m_option);
    m_option->setChecked(settings.printOnNewCase);
    // Printing when a case is saved needs a printer to print on.
    m_option->setEnabled(chosen);
    m_print->setEnabled(chosen);
    m_print->setDefault(chosen);
    m_pdf->setVisible(!chosen);
    adjustSize();
}

void frmEtikett::saveSettings()
{
    showSettingsFailure(this, saveLabelSettings(m_state.settings));
}

void frmEtikett::optionToggled(bool on)
{
    m_state.settings.printOnNewCase = on;
    saveSettings();
}

void frmEtikett::countChanged(int count)
{
    // Kept with the rest only when the labels are printed: a count tried and left is no
    // choice of the desk's.
    m_state.settings.count = count;
}

void frmEtikett::choosePrinter()
{
    auto *dialog = new frmEtikettskrivare(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setChoice(m_state.settings.printer, labelSize());
    connect(dialog, &QDialog::accepted, this,
        [this, dialog]() { applyPrinterChoice(dialog->printer(), dialog->labelSize()); });
    dialog->open();
}

void frmEtikett::applyPrinterChoice(const QString &printer, LabelSize size)
{
    if (printer.isEmpty() || !isUsableLabelSize(size))
        return;
    m_state.settings.printer = printer;
    m_state.settings.width = size.width;
    m_state.settings.height = size.height;
    saveSettings();
    showState();
}

void frmEtikett::printLabels()
{
    const int count = m_count->value();
    m_state.settings.count = count;
    saveSettings();
    if (printLabelsOnDeskPrinter(this, m_state.data, count))
        close();
}

void frmEtikett::askPdfFile()
{
    const QString path = proposedSavePath(pdfFileName(m_state.data.caseNumber));
    auto *dialog
        = new QFileDialog(this, QStringLiteral("Spara som PDF"), path, QStringLiteral("PDF-filer (*.pdf)"));
    dialog->setObjectName(QStringLiteral("dlgSparaPdf"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setDefaultSuffix(QStringLiteral("pdf"));
    dialog->selectFile(path);
    connect(dialog, &QFileDialog::fileSelected, this, [this](const QString &file) {
        if (!file.isEmpty() && savePdf(file))
            close();
    });
    dialog->open();
}

bool frmEtikett::savePdf(const QString &file)
{
    const int count = m_count->value();
    const Status saved = printLabelsToPdf(file, m_state.data, labelSize(), count);
    if (!saved.ok()) {
        MessageBox::show(this, QStringLiteral("Etikett"),
            saved.error() + QStringLiteral("\r\n\r\nEtiketten kunde inte sparas som PDF."), MessageBox::Ok,
            MessageBox::Exclamation);
        return false;
    }
    noteLabels(this, m_state.data.controlCode, casehistory::labelsSavedAsPdf(count));
    const QString what
        = count == 1 ? QStringLiteral("etiketten är sparad") : QStringLiteral("etiketterna är sparade");
    WindowRegistry::caseList()->confirm(
        QStringLiteral("Ärende %1: %2 som PDF (%3).")
            .arg(m_state.data.caseNumber, what, QDir::toNativeSeparators(file)));
    return true;
}

bool printLabelsOnDeskPrinter(QWidget *parent, const LabelData &data, int count)
{
    const LabelSettings settings = loadLabelSettings();
    const Status printed
        = printLabelsOnPrinter(settings.printer, data, { settings.width, settings.height }, count);
    if (isNoLabelPrinterFailure(printed)) {
        const QString text = settings.printer.isEmpty()
            ? QStringLiteral("Ingen etikettskrivare är vald för denna dator!")
            : noLabelPrinterText(settings.printer);
        MessageBox::show(parent, NoLabelPrinterTitle, text, MessageBox::Ok, MessageBox::Exclamation);
        return false;
    }
    if (!printed.ok()) {
        MessageBox::show(parent, QStringLiteral("Utskrift"),
            printed.error() + QStringLiteral("\r\n\r\nEtiketten skrevs inte ut."), MessageBox::Ok,
            MessageBox::Exclamation);
        return false;
    }
    noteLabels(parent, data.controlCode, casehistory::labelsPrinted(count));
    return true;
}

bool printLabelsForNewCase(QWidget *parent, const LabelData &data)
{
    const LabelSettings settings = loadLabelSettings();
    if (!settings.printOnNewCase)
        return false;
    return printLabelsOnDeskPrinter(parent, data, settings.count);
}

} // namespace lunora
