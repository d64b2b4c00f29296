// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "printing/casesheet.h"
#include "storage/status.h"
#include "storage/storetypes.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class QWidget;

namespace lunora {

class DeferredTimer;
class frmHistorik;

// What the case window's Arkiv menu does with the case shown: print it (through the
// print progress window and Timer3), show it in a preview, keep it as a PDF file and
// show its history. Every printout is noted in the case's history. The sheet is drawn
// from what the window shows at the moment, which it hands over as a CaseSheetData.
class CaseSheetActions final : public QObject
{
    Q_OBJECT

public:
    struct Sources
    {
        std::function<CaseSheetData()> sheet; // the case as the window shows it now
        std::function<CaseState()> caseState; // saved or not, when a printout is noted
    };

    // The dialogs and messages belong to the window, which also owns this object.
    CaseSheetActions(QWidget *window, Sources sources);
    ~CaseSheetActions() override;

    void print(); // mnuSkrivUt: the print progress window, then Timer3
    void startPrintSheet(); // Timer3
    void preview(); // "Förhandsgranska…"
    void askPdfFile(); // "Spara som PDF…"
    // The case sheet as a PDF file; a failure is reported to the user.
    bool savePdf(const QString &file);
    QString defaultPdfPath() const;
    void showHistory(); // "Historik…"

    // The history, a preview and a file dialog show this case: they go when it goes.
    void closeOpenViews();

private:
    void printSheet(); // Timer3
    void progressFilled(); // the progress window is done: print where the case is shown
    bool savePdf(const QString &file, const CaseSheetData &data);
    // The history line of a printout; a case removed meanwhile is said to be gone.
    void notePrintout(const QString &controlCode, const QString &event);
    void showPreviewFailure(const Status &failure);

    QWidget *m_window = nullptr;
    Sources m_sources;
    DeferredTimer *m_timer3 = nullptr;
    QPointer<frmHistorik> m_history;
};

} // namespace lunora
