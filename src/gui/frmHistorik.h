// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include <QString>
#include <QWidget>

class QLabel;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;

namespace lunora {

class FileFollower;
class HistoryListModel;

// "Historik": what has happened to one case, newest first, read from its history file.
// Read-only; the case window opens it from its Arkiv menu and closes it with itself.
// It follows the file (gui/filefollower.h): a line appended by this desk or another one
// on this machine shows at once, once an open box has gone, and the file is read again
// whenever the window becomes the active one (no watcher sees what another machine
// writes on a share).
class frmHistorik final : public QWidget
{
    Q_OBJECT

public:
    explicit frmHistorik(QWidget *parent = nullptr);
    ~frmHistorik() override;

    // Shows the history of the case with this control code.
    void showCase(const QString &controlCode, const QString &caseNumber, const QString &customerName);
    // Reads the history file again; false when it exists but cannot be read.
    bool reload();

    QString controlCode() const { return m_state.controlCode; }
    QTableView *listView() const { return m_list; }
    QString statusText() const;

protected:
    void changeEvent(QEvent *event) override;

private:
    void showState();

    struct State
    {
        QString controlCode;
        QString caseNumber;
        QString customerName;
        int events = 0;
        QString problem; // why the file could not be read; empty when it could
    };
    State m_state;

    HistoryListModel *m_model = nullptr;
    QSortFilterProxyModel *m_proxy = nullptr;
    QLabel *m_caption = nullptr;
    QTableView *m_list = nullptr;
    QLabel *m_status = nullptr;
    QPushButton *m_refresh = nullptr;
    QPushButton *m_close = nullptr;
    FileFollower *m_follower = nullptr;
};

} // namespace lunora
