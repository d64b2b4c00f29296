// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "gui/frmAddProd.h"
#include "storage/records.h"
#include "storage/storetypes.h"

#include <QList>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <array>

class QLabel;
class QPushButton;
class QSize;
class QTreeView;

namespace lunora {

class ArticleListModel;
class DeferredTimer;
class FileFollower;

// The case window's article rows: the list with "Lägg till", "Ändra" and "Ta bort", the
// article window they open, and the case's article file, which every change is written
// to first and which the list follows when another desk changes it. It is told which
// case it shows; the window around it reads the rows and hears when they change.
class ArticleRowsPanel final : public QWidget
{
    Q_OBJECT

public:
    explicit ArticleRowsPanel(QWidget *parent = nullptr);
    ~ArticleRowsPanel() override;

    // The panel's place in the case window's layout, in 1/1440 inch: from the top of the
    // list to the bottom of its buttons, the whole width of the window.
    static constexpr int TopUnits = 2760;
    static constexpr int BottomUnits = 5175;
    // The designed size, which is also the smallest.
    static QSize designSize();

    // The panel grown by dx and dy pixels beyond its designed size: the list takes the
    // room, the buttons stay below its bottom left corner.
    void grow(int dx, int dy);

    // No case: the list empty, the file no longer followed, the article window closed.
    void clear();
    // A new case under this control code: rows shown under the previous code go, since
    // its file does not hold them.
    void startCase(const QString &controlCode);
    // The rows of a saved case from its file; the problems found, one line each for the
    // message shown when the window opens.
    QStringList openCase(const QString &controlCode);
    // Saved or not: a removed saved case takes no changes.
    void setCaseState(CaseState state);
    ArticleTarget target() const;

    QList<ArticleRow> rows() const;
    // The column widths as the list shows them, in 1/1440 inch (the case sheet sizes its
    // table alike).
    QList<double> columnWidthUnits() const;

    // A row written to the file already: only the list takes it.
    void appendRow(const ArticleRow &row);
    // A changed row waits in Label14 to Label19 until Timer7 replaces the row the article
    // window was opened for.
    void stageRow(const ArticleRow &row);
    void startReplaceRow();

    // Looks at the file now (the window became the active one).
    void checkFile();
    FileFollower *follower() const { return m_follower; }
    void closeArticleWindow();

    // In tab order: the list, then the three buttons.
    QWidget *firstInTabOrder() const;
    QWidget *lastInTabOrder() const;

signals:
    // Added, changed, removed or read anew: the total follows.
    void rowsChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildList();
    void buildButtons();
    void fitColumns();
    frmAddProd *openArticleWindow();

    void addRow(); // Command1
    void changeRow(); // Command2
    void removeRow(); // Command3
    void addAction(); // btnAdd: the staged row to the file and the list
    bool delAction(); // btnDelete: the selected rows out of the list and the file
    void replaceAction(); // Timer7
    void showRowOutcome(const StoreResult &result);
    void reloadRows();
    void followFile(); // the article file changed at another desk
    void showRows(const QList<ArticleRow> &rows); // keeping the selection by value and place
    QList<int> selectedRows() const;
    int chosenRow(const QList<int> &selected) const;

    struct State
    {
        QString controlCode;
        CaseState caseState = CaseState::Unsaved;
        // The row waiting for Timer7.
        ArticleRow staged {};
        // The row that the article window was opened to change: the replace takes out
        // this row even when the user has selected another one in the meantime.
        QPersistentModelIndex changedRow;
        // Set from "Ändra" until the replace ran: the row to change may be gone by then.
        bool changeOpen = false;
        // Set when a reload found the row being changed no longer in the file (another
        // desk changed or removed it): the change then writes nothing and says so.
        bool changedRowLost = false;
        // Set when the case's article file exists but could not be read: the list then
        // does not hold the case's rows, and rewriting the file from it would destroy them.
        bool fileUnreadable = false;
    };
    State m_state;

    ArticleListModel *m_articles = nullptr;
    QTreeView *m_list = nullptr;
    QPushButton *m_add = nullptr;
    QPushButton *m_change = nullptr;
    QPushButton *m_remove = nullptr;
    QPushButton *m_btnAdd = nullptr;
    QPushButton *m_btnDelete = nullptr;
    // Write-only mirrors of the staged row under its design names.
    std::array<QLabel *, ArticleFieldCount> m_stagedLabels {};
    DeferredTimer *m_timer7 = nullptr;
    FileFollower *m_follower = nullptr;
    QPointer<frmAddProd> m_articleWindow;
};

} // namespace lunora
