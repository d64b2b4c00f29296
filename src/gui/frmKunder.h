// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace lunora {

class CustomerFilterProxy;
class CustomerListModel;

// "Kunder": every customer card of the data folder in one sortable list with a search
// field; Enter or a double click opens the card.
class frmKunder final : public QWidget
{
    Q_OBJECT

public:
    explicit frmKunder(QWidget *parent = nullptr);
    ~frmKunder() override;

    // Reads the cards again; false (and a message) when Lib cannot be read.
    bool reload();
    int shownCount() const;
    int cardCount() const;
    QString statusText() const;
    QTableView *listView() const { return m_list; }
    QLineEdit *searchField() const { return m_search; }

    void openCurrent();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void searchChanged(const QString &text);
    void updateStatus();
    void newCard();

    CustomerListModel *m_model = nullptr;
    CustomerFilterProxy *m_proxy = nullptr;
    QLineEdit *m_search = nullptr;
    QTableView *m_list = nullptr;
    QLabel *m_status = nullptr;
    QPushButton *m_open = nullptr;
    QPushButton *m_new = nullptr;
    QPushButton *m_refresh = nullptr;
    QPushButton *m_close = nullptr;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};

} // namespace lunora
