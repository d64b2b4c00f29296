// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/caselistview.h"

#include "gui/caselistmodel.h"
#include "gui/units.h"
#include "storage/records.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>
#include <array>

namespace lunora {

namespace {
// Column widths the user dragged, kept for as long as the program runs: the overview
// may be closed and made again, and a refresh must not undo them either.
std::array<int, RegisterFieldCount> &sessionColumnWidths()
{
    static std::array<int, RegisterFieldCount> widths {};
    return widths;
}

// A name column dragged narrower than the width added to it keeps a sliver of its own.
constexpr int MinOwnWidth = 20;

} // namespace

CaseListView::CaseListView(QWidget *parent)
    : QTableView(parent)
{
}

void CaseListView::setUpForCases()
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(false);
    setWordWrap(false);
    setTabKeyNavigation(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setSortingEnabled(false); // the overview sorts on a header click, one way
    QHeaderView *rows = verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(fontMetrics().height() + 4);
    QHeaderView *columns = horizontalHeader();
    columns->setSectionsClickable(true);
    columns->setHighlightSections(false);
    columns->setStretchLastSection(false);
    columns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (int column = 0; column < RegisterFieldCount; ++column)
        columns->resizeSection(column, ownWidth(column) + (column == CustomerName ? m_addedWidth : 0));
    connect(columns, &QHeaderView::sectionResized, this, [this](int column, int, int width) {
        if (column < 0 || column >= RegisterFieldCount)
            return;
        // The name column's own width is what it has without the added width, so that
        // a drag is kept when the window shrinks again.
        const int own = column == CustomerName ? width - m_addedWidth : width;
        sessionColumnWidths()[static_cast<std::size_t>(column)] = std::max(own, MinOwnWidth);
    });
}

int CaseListView::ownWidth(int column) const
{
    const int dragged = sessionColumnWidths()[static_cast<std::size_t>(column)];
    return dragged > 0 ? dragged : px(CaseListModel::columnWidthUnits(column));
}

void CaseListView::setAddedWidth(int added)
{
    added = std::max(0, added);
    if (added == m_addedWidth)
        return;
    const int own = ownWidth(CustomerName);
    m_addedWidth = added;
    horizontalHeader()->resizeSection(CustomerName, own + m_addedWidth);
}

void CaseListView::mousePressEvent(QMouseEvent *event)
{
    QTableView::mousePressEvent(event);
    if (event->button() == Qt::RightButton) {
        // The popup acts on the row under the mouse, so that row becomes current.
        if (indexAt(event->position().toPoint()).isValid())
            emit rowClicked(true);
        emit popupRequested(event->globalPosition().toPoint());
    }
}

void CaseListView::mouseReleaseEvent(QMouseEvent *event)
{
    QTableView::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const bool onRow = indexAt(event->position().toPoint()).isValid();
    if (!onRow && selectionModel())
        selectionModel()->clearSelection(); // the current row stays, unselected
    emit rowClicked(onRow);
}

void CaseListView::mouseDoubleClickEvent(QMouseEvent *event)
{
    QTableView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton && indexAt(event->position().toPoint()).isValid())
        emit openRequested();
}

void CaseListView::keyPressEvent(QKeyEvent *event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && modifiers == Qt::NoModifier) {
        if (currentIndex().isValid())
            emit openRequested();
        event->accept();
        return;
    }
    if (event->text() == QLatin1String("/")) {
        emit searchRequested();
        event->accept();
        return;
    }
    const QModelIndex before = currentIndex();
    QTableView::keyPressEvent(event);
    // Moving through the list by keyboard counts as clicking the row reached, so
    // that the customer card can be reached without a mouse.
    if (currentIndex() != before && currentIndex().isValid())
        emit rowClicked(true);
}

void CaseListView::contextMenuEvent(QContextMenuEvent *event)
{
    // Mouse presses are handled above; this is the keyboard's menu key.
    if (event->reason() != QContextMenuEvent::Keyboard)
        return;
    const QRect rect = visualRect(currentIndex());
    const QPoint local = rect.isValid() ? rect.center() : QPoint(0, 0);
    emit popupRequested(viewport()->mapToGlobal(local));
}

} // namespace lunora
