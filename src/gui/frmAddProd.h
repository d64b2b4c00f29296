// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "storage/records.h"
#include "storage/storetypes.h"

#include <QDialog>
#include <array>
#include <functional>
#include <optional>

class QLineEdit;
class QPushButton;

namespace lunora {

// The case an article row is written to, as the list that opened the article window
// holds it now.
struct ArticleTarget
{
    QString controlCode;
    CaseState caseState = CaseState::Unsaved;
};

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

    // Where "Lägg till" writes the row: asked at the moment of the click, since the case
    // may have been given a new control code meanwhile. Nothing (or no target set) means
    // there is no case to add to.
    using TargetSource = std::function<std::optional<ArticleTarget>()>;
    void setTarget(TargetSource source);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    // "Lägg till": the row is in the case's article file; the list takes it.
    void rowAdded(const ArticleRow &row);
    // "Uppdatera": the row the window was opened with is to be replaced by this one.
    void rowChanged(const ArticleRow &row);

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
    TargetSource m_target;
};

} // namespace lunora
