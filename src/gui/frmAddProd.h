// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "storage/records.h"

#include <QDialog>
#include <array>

class QLineEdit;
class QPushButton;

namespace lunora {

// The article entry window: one article row is typed or changed here.
class frmAddProd final : public QDialog
{
    Q_OBJECT

public:
    explicit frmAddProd(QWidget *parent = nullptr);
    ~frmAddProd() override;

    void openAdd(); // title "Lägg till", empty fields
    void openChange(const ArticleRow &row); // title "Ändra", the row's values

    // The six fields as they stand, in article row order.
    ArticleRow currentRow() const;

private:
    void setMode(bool change);
    void updateSum(); // Text6 from Text3 and Text5
    void tidyPrice(); // Text5 with two decimals when it is a number
    bool refuseUnstorable(const ArticleRow &row, const QString &title);
    void addRow(); // Command1 "Lägg till"
    void changeRow(); // Command3 "Uppdatera"

    std::array<QLineEdit *, ArticleFieldCount> m_fields {};
    QPushButton *m_command1 = nullptr; // "Lägg till"
    QPushButton *m_command2 = nullptr; // "Avbryt"
    QPushButton *m_command3 = nullptr; // "Uppdatera"
    QPushButton *m_command4 = nullptr; // "Lista"
};

} // namespace lunora
