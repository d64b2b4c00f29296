// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "gui/scanburst.h"
#include "storage/records.h"
#include "storage/storetypes.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QSize>
#include <QString>
#include <functional>
#include <optional>

class QAction;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QModelIndex;
class QPushButton;
class QTableView;

namespace lunora {

class CaseList;
class frmArende;
class CaseListView;
class DeferredTimer;
class frmLaget;

// The overview: every case of the register in one sortable list.
// (Public interface used by the other windows; the window's own parts are private.)
class frmArendeList final : public QMainWindow
{
    Q_OBJECT

public:
    explicit frmArendeList(QWidget *parent = nullptr);
    ~frmArendeList() override;

    // The entry the hidden add action (btnadd) and the deferred replace (Timer1) work
    // on; the staging labels Label2 to Label10 show it in register field order.
    void stageEntry(const RegisterEntry &entry);
    RegisterEntry stagedEntry() const { return m_state.staged; }
    void startReplace();
    // The deferred refresh (Timer3), which the case list's refresh() starts.
    void startRefresh();

    // Reads the register anew ("Uppdatera lista").
    void refresh();
    int rowCount() const;

    // What the list shows, in its order, and where it stands (the status bar text, the
    // header over the banner, the sort column or -1 while unsorted).
    RegisterEntry entryAt(int viewRow) const;
    QList<RegisterEntry> entriesInViewOrder() const;
    QString statusText() const;
    QString headerText() const;
    // The line saying what was done last (lblBekraftelse), whole, with its time.
    QString confirmationText() const;
    int sortColumn() const { return m_sortColumn; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }
    QTableView *listView() const;
    QLineEdit *searchField() const;

    // A click on a column header: that column becomes the sort column and the one
    // direction of the list reverses.
    void sortListView(int column);

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void buildList(QWidget *client);
    void buildSearch(QWidget *client);
    void buildButtons(QWidget *client);
    void buildKeys();
    void buildMenus();
    void buildDataMenu();
    void buildPopup();
    void connectCaseList();
    void showSignedInUser();
    void showReloaded();
    void markCurrentSelected();
    void followRegister();
    // Where the user is in the list, kept across a reload by the cases, not the rows.
    struct ListPlace
    {
        std::optional<CaseKey> currentKey;
        int currentRow = -1;
        int currentSource = 0; // where to look for the cases first
        int topSource = 0;
        bool selected = false;
        std::optional<CaseKey> topKey;
        int top = 0;
        int left = 0;
    };
    ListPlace listPlace() const;
    void restorePlace(const ListPlace &place);
    void updateCommands();
    void updateStatus();
    void layoutControls();
    void showHeader();
    void showConfirmation();

    void focusSearch();
    void searchEdited(const QString &text);
    void keepCurrentInSearch();
    void openFromSearch();

    void rowClicked(bool onRow);
    void showPopup(const QPoint &globalPos);
    int currentSourceRow() const;
    void selectViewRow(int viewRow);

    void runAddAction();
    void runDelAction();
    void runReplace();
    void closeAfterWrites(const std::function<void()> &then);

    void newCase();
    // "Nytt för kunden": a new case with the current row's customer (and its card's).
    void newCaseForCustomer();
    // The selected case in the case window (nothing without a selection).
    void openCase();
    void printCase();
    // The windows the menus open beside the list (frmArendeListWindows.cpp).
    void showSituation(); // "Läget"
    void showMessageTemplates(); // "Meddelanden…"
    void showSmsSettings(); // "SMS-inställningar…"
    // Ctrl+Q: the case window's own questions, then every window closes.
    void quitProgram();
    // A barcode scanner types like a keyboard (frmArendeListScan.cpp).
    void watchForScans();
    bool startScan(const QKeyEvent *key);
    static bool isTypedCharacter(const QKeyEvent *key);
    void removeCase();
    void showCustomerCard();
    void newCustomerCard();
    void createUser();

    CaseList *m_cases = nullptr;
    bool m_closeAsked = false; // while the case list's writes run
    CaseListView *m_list = nullptr;
    QLineEdit *m_search = nullptr;

    QLabel *m_banner = nullptr;
    QLabel *m_header = nullptr;
    QLabel *m_status = nullptr;
    QLabel *m_confirmation = nullptr; // lblBekraftelse
    QLabel *m_userIndex = nullptr;
    QLabel *m_realName = nullptr;
    QList<QLabel *> m_staging;

    QPushButton *m_new = nullptr;
    QPushButton *m_change = nullptr;
    QPushButton *m_remove = nullptr;
    QPushButton *m_close = nullptr;
    QPushButton *m_del = nullptr;
    QPushButton *m_add = nullptr;

    QMenu *m_fileMenu = nullptr;
    QMenu *m_dataMenu = nullptr;
    QMenu *m_popup = nullptr;
    QAction *m_print = nullptr;
    QAction *m_closeAction = nullptr;
    QAction *m_refresh = nullptr;
    QAction *m_newUser = nullptr;
    QAction *m_protectPasswords = nullptr;
    QAction *m_messageTemplates = nullptr; // "Meddelanden…"
    QAction *m_smsSettings = nullptr; // "SMS-inställningar…", after "Meddelanden…"
    QAction *m_backup = nullptr;
    QAction *m_restore = nullptr;
    QAction *m_customer = nullptr;
    QAction *m_newCustomer = nullptr; // "Ny kund…", after "Visa kunddata.."
    QAction *m_customers = nullptr; // "Kunder…", after "Skriv ut"
    QAction *m_newForCustomer = nullptr; // "Nytt för kunden", after "Kunder…"
    QAction *m_situationAction = nullptr; // "Läget", after "Kunder…"
    QPointer<frmLaget> m_situation; // follows the list once opened

    DeferredTimer *m_replaceTimer = nullptr;
    DeferredTimer *m_refreshTimer = nullptr;

    // What the window shows beside the rows: the count of the last load or refresh and
    // the header text, which the label may show shortened; and the staged entry.
    struct State
    {
        int loadedCount = 0;
        QString header;
        RegisterEntry staged;
        QSize designSize; // the whole window at its designed size
        int searchCurrent = -1; // the source row current when the search text changed
        bool openWhenFound = false; // Enter came while the search was still looking
        QString confirmation; // what was done last, with its time
    };
    State m_state;
    // Another desk's change is being read: the place to keep when the rows come.
    std::optional<ListPlace> m_followPlace;
    ScanBurst m_scan;

    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};

} // namespace lunora
