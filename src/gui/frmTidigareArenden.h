// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "gui/customercases.h"
#include "storage/records.h"

#include <QString>
#include <QWidget>

class QLabel;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;

namespace lunora {

class CaseListModel;

// "Tidigare ärenden": a customer's other cases, newest first, found among the case
// list's rows by the telephone and the customer number (gui/customercases.h). Enter, a
// double click or "Öppna" puts one into the case window, which asks about unsaved work
// first. The list follows the case list as cases are added, changed and removed.
class frmTidigareArenden final : public QWidget
{
    Q_OBJECT

public:
    explicit frmTidigareArenden(QWidget *parent = nullptr);
    ~frmTidigareArenden() override;

    // The customer whose cases to list, by name for the caption; the case with
    // `exceptControlCode` (the one the case window shows) is left out.
    void showCustomer(
        const CustomerKey &customer, const QString &customerName, const QString &exceptControlCode = {});

    int rowCount() const;
    // The case of a row as the list shows it, top first.
    RegisterEntry entryAt(int viewRow) const;
    QTableView *listView() const { return m_list; }
    QString statusText() const;

private:
    void search();
    void openCurrent();

    struct State
    {
        CustomerKey customer;
        QString customerName;
        QString exceptControlCode;
    };
    State m_state;

    CaseListModel *m_model = nullptr;
    QSortFilterProxyModel *m_proxy = nullptr;
    QLabel *m_caption = nullptr;
    QTableView *m_list = nullptr;
    QLabel *m_status = nullptr;
    QPushButton *m_open = nullptr;
    QPushButton *m_close = nullptr;
};

} // namespace lunora
