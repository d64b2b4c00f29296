// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "printing/label.h"

#include <QDialog>
#include <QStringList>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;

namespace lunora {

// "Etikettskrivare": the desk's label printer, one of the system's printer queues, and
// the label size, one of the common rolls or a width × height of its own. The label
// dialog opens it over itself and takes the choice when it is accepted; nothing is kept
// here.
class frmEtikettskrivare final : public QDialog
{
    Q_OBJECT

public:
    explicit frmEtikettskrivare(QWidget *parent = nullptr);
    ~frmEtikettskrivare() override;

    // The queues to choose from; the system's when the window is made.
    void setPrinterNames(const QStringList &names);
    // The choice shown when the window opens; a printer no longer installed is listed
    // all the same, so that the user sees what was chosen.
    void setChoice(const QString &printer, LabelSize size);

    QString printer() const;
    LabelSize labelSize() const;

private:
    void showSizeChoice();
    void checkChoice();

    QComboBox *m_printers = nullptr;
    QComboBox *m_sizes = nullptr;
    QDoubleSpinBox *m_width = nullptr;
    QDoubleSpinBox *m_height = nullptr;
    QLabel *m_note = nullptr;
    QPushButton *m_ok = nullptr;
};

} // namespace lunora
