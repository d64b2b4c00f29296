// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "storage/notesfile.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSize;

namespace lunora {

// The area below the case window's buttons: what the customer brought in, its serial
// number and the fault, with "Spara anteckningar", and "Spara kund" for a customer card
// made from the case. It shows and edits; the case window decides what is written.
class CaseNotesPanel final : public QWidget
{
    Q_OBJECT

public:
    explicit CaseNotesPanel(QWidget *parent = nullptr);

    // The panel's height below the case window's own layout, in 1/1440 inch.
    static constexpr int HeightUnits = 2895;
    // The designed size, which is also the smallest.
    static QSize designSize();

    // The panel grown by dx and dy pixels beyond its designed size: the fault text takes
    // the room, "Spara anteckningar" keeps to the right edge, the rest to the left.
    void grow(int dx, int dy);

    // The notes as they stand in the fields.
    CaseNotes notes() const;
    // Shows the notes as stored: the fields take them and count as saved.
    void setStoredNotes(const CaseNotes &notes);
    // The fields now hold what was stored.
    void markSaved();
    bool hasUnsavedNotes() const;
    void setSaveNotesEnabled(bool enabled);

    // In tab order: the three fields, then the two buttons.
    QWidget *firstInTabOrder() const;
    QWidget *lastInTabOrder() const;

signals:
    void saveNotesRequested();
    void saveCustomerRequested();

private:
    struct State
    {
        CaseNotes stored; // what the notes file holds (or will hold once the case is saved)
    };

    State m_state;
    QLineEdit *m_device = nullptr;
    QLineEdit *m_serial = nullptr;
    QPlainTextEdit *m_text = nullptr;
    QPushButton *m_saveNotes = nullptr;
    QPushButton *m_saveCustomer = nullptr;
    QWidget *m_separator = nullptr;
};

} // namespace lunora
