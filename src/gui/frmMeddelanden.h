// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "storage/messagetemplates.h"

#include <QDialog>

class QLineEdit;
class QListView;
class QPlainTextEdit;
class QPushButton;
class QStringListModel;

namespace lunora {

// "Meddelanden": the administrators' editor of the message templates. The list on
// the left, the chosen template's name and text on the right; "Spara" stores them all.
class frmMeddelanden final : public QDialog
{
    Q_OBJECT

public:
    explicit frmMeddelanden(QWidget *parent = nullptr);
    ~frmMeddelanden() override;

    // Reads the templates anew (the built-in ones for a folder without the file).
    void reload();

private:
    void showTemplate(int row);
    void keepEdits();
    void onNew();
    void onRemove();
    void onSave();
    int currentRow() const;

    QList<MessageTemplate> m_templates;
    int m_shown = -1;
    QStringListModel *m_names = nullptr;
    QListView *m_lstMallar = nullptr;
    QLineEdit *m_txtNamn = nullptr;
    QPlainTextEdit *m_txtText = nullptr;
    QPushButton *m_cmdNy = nullptr;
    QPushButton *m_cmdTaBort = nullptr;
    QPushButton *m_cmdSpara = nullptr;
    QPushButton *m_cmdStang = nullptr;
};

} // namespace lunora
