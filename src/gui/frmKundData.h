// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "storage/records.h"

#include <QDialog>
#include <QList>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace lunora {

// The customer card: what the customer file of a case's telephone holds. It opens
// read-only; "Ändra" makes the fields editable, "Spara" writes the card, "Avbryt"
// drops the edits. A new card is made with newCustomer(). From a stored card, "Nytt för
// kunden" starts a case with its customer and "Tidigare ärenden…" lists their cases.
class frmKundData final : public QDialog
{
    Q_OBJECT

public:
    explicit frmKundData(QWidget *parent = nullptr);
    ~frmKundData() override;

    // Fills the card from Lib\<telephone>.ini and shows it; false (card untouched, a
    // message shown) when the telephone names no file or the file cannot be read.
    bool showCustomer(const QString &telephone);
    // Shows an empty card filled with what is known of the customer, ready to edit;
    // "Spara" makes Lib\<Telefon>.ini and never replaces a card that is there.
    void newCustomer(const CustomerRecord &known);

    // The refusal of a value a card cannot hold (a line break, a '[' or a character
    // outside Windows-1252), naming the field by the caption the user sees it under.
    static QString unstorableValueText(const QString &fieldCaption);

    // Text1 to Text9 in order, and the header Label9.
    QStringList fieldTexts() const;
    QString headerText() const;
    bool isEditing() const;
    QString telephone() const { return m_state.telephone; }

private:
    void buildNotesAndButtons();

    enum class Mode
    {
        Viewing,
        Editing,
        Creating
    };
    // What the card shows: the telephone that names its file, the values as the file
    // holds them, and whether they are being edited.
    struct State
    {
        QString telephone;
        CustomerRecord saved;
        Mode mode = Mode::Viewing;
    };

    void refuse(const QString &text);
    void showRecord(const CustomerRecord &record);
    CustomerRecord editedRecord() const;
    void applyMode();
    void startEditing(); // "Ändra"
    void saveCard(); // "Spara"
    void cancelEditing(); // "Avbryt"
    void keepNotesOnOneLine();
    void newCaseForCustomer(); // "Nytt för kunden"
    void showEarlierCases(); // "Tidigare ärenden…"

    State m_state;
    QLabel *m_header = nullptr;
    QList<QLineEdit *> m_fields;
    QPlainTextEdit *m_notes = nullptr;
    QPushButton *m_close = nullptr;
    QPushButton *m_edit = nullptr;
    QPushButton *m_save = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_newCase = nullptr; // cmdNyttArende
    QPushButton *m_earlier = nullptr; // cmdTidigare
    bool m_flattening = false;
};

} // namespace lunora
