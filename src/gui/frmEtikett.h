// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "printing/label.h"
#include "storage/desksettings.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace lunora {

class frmEtikettskrivare;

// "Skriv etikett": labels of one saved case for the shelf, on the desk's label printer.
// The case window hands it the case as a LabelData; it needs nothing else of that
// window. It shows the label at its real size, the number of labels, and the desk's
// choices (storage/desksettings.h): the label printer and size, chosen through
// "Etikettskrivare…", and whether a new case prints its labels when it is saved. Until a
// label printer is chosen it says so and offers "Spara som PDF…" instead of printing.
// Each print is one line in the case's history, "Etikett utskriven (N st)", and each PDF
// file saved one line "Etikett sparad som PDF (N st)".
class frmEtikett final : public QDialog
{
    Q_OBJECT

public:
    explicit frmEtikett(QWidget *parent = nullptr);
    ~frmEtikett() override;

    // Shows the label of this case with the desk's settings as they are now.
    void showLabel(const LabelData &data);

    // "Skriv ut": prints the chosen number of labels and closes when they were printed.
    void printLabels();
    // The labels into a PDF file instead, noted in the case's history; false (with a
    // message) when it failed.
    bool savePdf(const QString &file);
    // The choice of "Etikettskrivare…", as when its window is accepted.
    void applyPrinterChoice(const QString &printer, LabelSize size);

    const LabelData &labelData() const { return m_state.data; }

private:
    void choosePrinter();
    void askPdfFile();
    void optionToggled(bool on);
    void countChanged(int count);
    void saveSettings();
    void showState();
    LabelSize labelSize() const;

    struct State
    {
        LabelData data;
        LabelSettings settings;
    };
    State m_state;

    QLabel *m_printerText = nullptr;
    QLabel *m_preview = nullptr;
    QSpinBox *m_count = nullptr;
    QCheckBox *m_option = nullptr;
    QPushButton *m_choosePrinter = nullptr;
    QPushButton *m_pdf = nullptr;
    QPushButton *m_print = nullptr;
};

// Prints `count` labels on the desk's label printer and writes the case's history line;
// a printer that is missing or fails is reported in a box over `parent`. True when the
// labels were printed.
bool printLabelsOnDeskPrinter(QWidget *parent, const LabelData &data, int count);

// For the case window, right after "Spara" of a new case succeeded: prints the desk's
// number of labels when its option "Skriv etikett när ett nytt ärende sparas" is on, and
// does nothing otherwise. True when labels were printed.
bool printLabelsForNewCase(QWidget *parent, const LabelData &data);

} // namespace lunora
