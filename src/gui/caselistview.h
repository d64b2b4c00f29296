// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include <QTableView>

namespace lunora {

// The overview's list of cases. It reports clicks the way the overview needs them:
// whether a left click landed on a row or on empty space, and where the right button
// went down.
class CaseListView final : public QTableView
{
    Q_OBJECT

public:
    explicit CaseListView(QWidget *parent);

    // Whole rows, no grid, no editing, rows of one height, and the column widths the
    // user dragged last (kept while the program runs: the overview may be made again,
    // and a refresh must not undo them). Called once the model is set.
    void setUpForCases();
    // The width the list has gained beyond its designed width: the name column takes it,
    // on top of its own (designed or dragged) width.
    void setAddedWidth(int added);

signals:
    void rowClicked(bool onRow);
    void popupRequested(const QPoint &globalPos);
    // Enter or a double click on a row: open it, as "Ändra" does.
    void openRequested();
    // "/" typed in the list: go to the search field.
    void searchRequested();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    int ownWidth(int column) const;

    int m_addedWidth = 0;
};

} // namespace lunora
