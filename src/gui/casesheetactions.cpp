// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/casesheetactions.h"

#include "gui/caselist.h"
#include "gui/deferredtimer.h"
#include "gui/frmHistorik.h"
#include "gui/frmPrint.h"
#include "gui/messagebox.h"
#include "gui/savefolder.h"
#include "gui/storemessages.h"
#include "gui/units.h"
#include "gui/windowregistry.h"
#include "printing/defaultprinter.h"
#include "storage/casehistory.h"
#include "storage/casestore.h"

#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QWidget>
#include <utility>

namespace lunora {

CaseSheetActions::CaseSheetActions(QWidget *window, Sources sources)
    : QObject(window)
    , m_window(window)
    , m_sources(std::move(sources))
{
    setObjectName(QStringLiteral("CaseSheetActions"));
    m_timer3 = new DeferredTimer(QStringLiteral("Timer3"), this);
    connect(m_timer3, &DeferredTimer::fired, this, &CaseSheetActions::printSheet);
}

CaseSheetActions::~CaseSheetActions() = default;

// ---- Printing -----------------------------------------------------------------------

void CaseSheetActions::print()
{
    frmPrint *progress = WindowRegistry::show<frmPrint>();
    connect(progress, &frmPrint::filled, this, &CaseSheetActions::progressFilled, Qt::UniqueConnection);
}

void CaseSheetActions::progressFilled()
{
    // The case window prints the case it shows; without it on the screen there is
    // nothing to print.
    if (m_window->isVisible())
        startPrintSheet();
}

void CaseSheetActions::startPrintSheet()
{
    m_timer3->setInterval(1);
}

void CaseSheetActions::printSheet()
{
    const CaseSheetData data = m_sources.sheet();
    // One attempt per request: a failed printout is reported once and not retried.
    const Status printed = printCaseSheetOnDefaultPrinter(data);
    if (printed.ok())
        notePrintout(data.controlCode, casehistory::printed());
    showPrintFailure(m_window, printed);
}

void CaseSheetActions::notePrintout(const QString &controlCode, const QString &event)
{
    const StoreResult noted = CaseStore::notePrintout(controlCode, event, m_sources.caseState());
    if (noted.kind == StoreError::CaseRemoved)
        showStoreFailure(m_window, QStringLiteral("Utskrift"), noted);
}

// ---- Preview and PDF ----------------------------------------------------------------

void CaseSheetActions::preview()
{
    // A sheet that cannot be drawn is reported before the preview would show it blank.
    const Status sources = checkCaseSheetSources();
    if (!sources.ok()) {
        showPreviewFailure(sources);
        return;
    }
    // Not modal on the stack: the window may be closed (Timer6) while the preview is open,
    // and the preview then goes with it. The sheet is drawn from the case as it is now.
    const CaseSheetData data = m_sources.sheet();
    auto *dialog = new QPrintPreviewDialog(m_window);
    dialog->setObjectName(QStringLiteral("dlgForhandsgranska"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(QStringLiteral("Förhandsgranska - Ärende %1").arg(data.caseNumber));
    dialog->resize(px(12000), px(13500));
    connect(dialog, &QPrintPreviewDialog::paintRequested, dialog, [data](QPrinter *printer) {
        // A failure here leaves the page empty; the sources were checked just before.
        (void)printCaseSheetOn(printer, data);
    });
    // The dialog is accepted once its own print button has sent the sheet on.
    connect(dialog, &QDialog::accepted, this,
        [this, code = data.controlCode]() { notePrintout(code, casehistory::printed()); });
    dialog->open();
}

QString CaseSheetActions::defaultPdfPath() const
{
    // The case number comes from the register and may hold anything; the file name must
    // stay one plain name in the documents folder.
    QString number = m_sources.sheet().caseNumber;
    for (QChar &c : number) {
        if (c == u'/' || c == u'\\' || c == u':' || c.unicode() < 32)
            c = u'_';
    }
    QString name = QStringLiteral("Ärende %1.pdf").arg(number.trimmed());
    if (number.trimmed().isEmpty() || number.contains(QStringLiteral("..")))
        name = QStringLiteral("Ärende.pdf");
    return proposedSavePath(name);
}

void CaseSheetActions::askPdfFile()
{
    auto *dialog = new QFileDialog(
        m_window, QStringLiteral("Spara som PDF"), defaultPdfPath(), QStringLiteral("PDF-filer (*.pdf)"));
    dialog->setObjectName(QStringLiteral("dlgSparaPdf"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setDefaultSuffix(QStringLiteral("pdf"));
    dialog->selectFile(defaultPdfPath());
    // The case is taken as it is when the user asked, not as it may be after the dialog.
    const CaseSheetData data = m_sources.sheet();
    connect(dialog, &QFileDialog::fileSelected, this, [this, data](const QString &file) {
        if (!file.isEmpty())
            savePdf(file, data);
    });
    dialog->open();
}

bool CaseSheetActions::savePdf(const QString &file)
{
    return savePdf(file, m_sources.sheet());
}

bool CaseSheetActions::savePdf(const QString &file, const CaseSheetData &data)
{
    const Status saved = printCaseSheetToPdf(file, data);
    if (!saved.ok()) {
        MessageBox::show(m_window, QStringLiteral("Spara som PDF"),
            saved.error() + QStringLiteral("\r\n\r\nÄrendesidan kunde inte sparas som PDF."), MessageBox::Ok,
            MessageBox::Exclamation);
        return false;
    }
    notePrintout(data.controlCode, casehistory::savedAsPdf());
    WindowRegistry::caseList()->confirm(QStringLiteral("Ärende %1: ärendesidan är sparad som PDF (%2).")
                                            .arg(data.caseNumber, QDir::toNativeSeparators(file)));
    return true;
}

void CaseSheetActions::showPreviewFailure(const Status &failure)
{
    MessageBox::show(m_window, QStringLiteral("Utskrift"),
        failure.error() + QStringLiteral("\r\n\r\nÄrendesidan kunde inte ritas."), MessageBox::Ok,
        MessageBox::Exclamation);
}

// ---- History ------------------------------------------------------------------------

void CaseSheetActions::showHistory()
{
    // A case not saved yet has a history as soon as it has rows: they are in its files.
    const CaseSheetData data = m_sources.sheet();
    m_history = WindowRegistry::show<frmHistorik>();
    m_history->showCase(data.controlCode, data.caseNumber, data.customerName);
}

void CaseSheetActions::closeOpenViews()
{
    if (m_history)
        m_history->close();
    for (QDialog *dialog : m_window->findChildren<QDialog *>(Qt::FindDirectChildrenOnly)) {
        if (qobject_cast<QPrintPreviewDialog *>(dialog) || qobject_cast<QFileDialog *>(dialog))
            dialog->close();
    }
}

} // namespace lunora
