// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/articlerowspanel.h"

#include "gui/articlelistmodel.h"
#include "gui/deferredtimer.h"
#include "gui/filefollower.h"
#include "gui/messagebox.h"
#include "gui/pushbutton.h"
#include "gui/storemessages.h"
#include "gui/units.h"
#include "gui/windowregistry.h"
#include "storage/casefiles.h"
#include "storage/casestore.h"
#include "storage/datafolder.h"
#include "storage/fileio.h"

#include <QDir>
#include <QEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QSize>
#include <QTreeView>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>
#include <vector>

namespace lunora {

namespace {

const QString CrLf = QStringLiteral("\r\n");

// The column widths of the article list keep these proportions whatever the list's width.
constexpr std::array<int, ArticleFieldCount> ColumnRatio { 2540, 6703, 1764, 1235, 2470, 2470 };

// Places a child by the case window's coordinates, so that the layout reads as one.
void placeInWindow(QWidget *widget, int left, int top, int width, int height)
{
    widget->setGeometry(unitRect(left, top, width, height).translated(0, -px(ArticleRowsPanel::TopUnits)));
}

QString nativePath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

void showRowFailure(QWidget *parent)
{
    MessageBox::show(parent, QStringLiteral("Uppdatering"), QStringLiteral("Det blev något fel"),
        MessageBox::Ok, MessageBox::Exclamation);
}

// Where a row shown before a reload stands after it: the same six values, nearest to
// its old place, and not taken by another row already.
int placeAfterReload(
    const QList<ArticleRow> &rows, const ArticleRow &row, int oldPlace, std::vector<bool> &taken)
{
    int best = -1;
    for (int i = 0; i < rows.size(); ++i) {
        if (taken[static_cast<std::size_t>(i)] || rows.at(i) != row)
            continue;
        if (best < 0 || std::abs(i - oldPlace) < std::abs(best - oldPlace))
            best = i;
    }
    if (best >= 0)
        taken[static_cast<std::size_t>(best)] = true;
    return best;
}

} // namespace

ArticleRowsPanel::ArticleRowsPanel(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("ArticleRows"));
    setMinimumSize(designSize());
    resize(designSize());
    buildList();
    buildButtons();

    m_timer7 = new DeferredTimer(QStringLiteral("Timer7"), this);
    connect(m_timer7, &DeferredTimer::fired, this, &ArticleRowsPanel::replaceAction);
    m_follower = new FileFollower(QStringLiteral("articleFollower"), this);
    connect(m_follower, &FileFollower::changed, this, &ArticleRowsPanel::followFile);
}

ArticleRowsPanel::~ArticleRowsPanel() = default;

void ArticleRowsPanel::buildList()
{
    m_articles = new ArticleListModel(this);
    m_list = new QTreeView(this);
    m_list->setObjectName(QStringLiteral("ListView1"));
    m_list->setAccessibleName(QStringLiteral("Artikelrader"));
    m_list->setModel(m_articles);
    m_list->setRootIsDecorated(false);
    m_list->setItemsExpandable(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSortingEnabled(false);
    m_list->header()->setStretchLastSection(false);
    m_list->header()->setSectionsMovable(false);
    m_list->header()->setSectionResizeMode(QHeaderView::Interactive);
    placeInWindow(m_list, 120, 2760, 8655, 1935);
    m_list->viewport()->installEventFilter(this);
    connect(m_list, &QTreeView::doubleClicked, this, &ArticleRowsPanel::changeRow);
    fitColumns();

    // The totals, the status bar and the title follow every change of the rows at once.
    connect(m_articles, &QAbstractItemModel::rowsInserted, this, &ArticleRowsPanel::rowsChanged);
    connect(m_articles, &QAbstractItemModel::rowsRemoved, this, &ArticleRowsPanel::rowsChanged);
    connect(m_articles, &QAbstractItemModel::modelReset, this, &ArticleRowsPanel::rowsChanged);
    connect(m_articles, &QAbstractItemModel::dataChanged, this, &ArticleRowsPanel::rowsChanged);
}

void ArticleRowsPanel::buildButtons()
{
    auto addButton = [this](const QString &name, const QString &caption, int left) {
        QPushButton *button = makePushButton(this, name, caption);
        placeInWindow(button, left, 4800, 1095, 375);
        return button;
    };
    m_add = addButton(QStringLiteral("Command1"), QStringLiteral("Lägg till"), 120);
    m_change = addButton(QStringLiteral("Command2"), QStringLiteral("Ändra"), 1320);
    m_remove = addButton(QStringLiteral("Command3"), QStringLiteral("Ta bort"), 2520);
    connect(m_add, &QPushButton::clicked, this, &ArticleRowsPanel::addRow);
    connect(m_change, &QPushButton::clicked, this, &ArticleRowsPanel::changeRow);
    connect(m_remove, &QPushButton::clicked, this, &ArticleRowsPanel::removeRow);

    m_btnAdd = new QPushButton(QStringLiteral("add"), this);
    m_btnAdd->setObjectName(QStringLiteral("btnAdd"));
    m_btnAdd->hide();
    connect(m_btnAdd, &QPushButton::clicked, this, &ArticleRowsPanel::addAction);
    m_btnDelete = new QPushButton(QStringLiteral("del"), this);
    m_btnDelete->setObjectName(QStringLiteral("btnDelete"));
    m_btnDelete->hide();
    connect(m_btnDelete, &QPushButton::clicked, this, [this]() { delAction(); });

    for (int i = 0; i < ArticleFieldCount; ++i) {
        m_stagedLabels[i] = new QLabel(this);
        m_stagedLabels[i]->setObjectName(QStringLiteral("Label%1").arg(14 + i));
        m_stagedLabels[i]->hide();
    }

    setTabOrder(m_list, m_add);
    setTabOrder(m_add, m_change);
    setTabOrder(m_change, m_remove);
}

QSize ArticleRowsPanel::designSize()
{
    return QSize(px(8895), px(BottomUnits) - px(TopUnits));
}

void ArticleRowsPanel::grow(int dx, int dy)
{
    dx = std::max(0, dx);
    dy = std::max(0, dy);
    resize(designSize() + QSize(dx, dy));
    placeInWindow(m_list, 120, 2760, 8655, 1935);
    m_list->resize(m_list->width() + dx, m_list->height() + dy);
    const int buttonTop = px(4800) - px(TopUnits) + dy;
    for (QPushButton *button : { m_add, m_change, m_remove })
        button->move(button->x(), buttonTop);
}

QWidget *ArticleRowsPanel::firstInTabOrder() const
{
    return m_list;
}

QWidget *ArticleRowsPanel::lastInTabOrder() const
{
    return m_remove;
}

bool ArticleRowsPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list->viewport() && event->type() == QEvent::Resize)
        fitColumns();
    return QWidget::eventFilter(watched, event);
}

void ArticleRowsPanel::fitColumns()
{
    const int available = m_list->viewport()->width();
    if (available <= 0)
        return;
    int ratioTotal = 0;
    for (int ratio : ColumnRatio)
        ratioTotal += ratio;
    int used = 0;
    for (int i = 0; i < ArticleFieldCount; ++i) {
        const int width = i + 1 == ArticleFieldCount
            ? available - used
            : static_cast<int>(std::lround(static_cast<double>(available) * ColumnRatio[i] / ratioTotal));
        m_list->header()->resizeSection(i, width);
        used += width;
    }
}

QList<double> ArticleRowsPanel::columnWidthUnits() const
{
    const double unitsPerPixel = 1440.0 / std::max(1, m_list->logicalDpiX());
    QList<double> widths;
    for (int i = 0; i < ArticleFieldCount; ++i)
        widths << m_list->header()->sectionSize(i) * unitsPerPixel;
    return widths;
}

// ---- The case shown ------------------------------------------------------------------

void ArticleRowsPanel::clear()
{
    m_timer7->setInterval(0);
    // An article window left open belongs to the case shown so far; its values must not
    // end up in another case.
    closeArticleWindow();
    m_articles->clear();
    m_follower->follow(QString());
    m_state = State();
    for (QLabel *label : m_stagedLabels)
        label->clear();
}

void ArticleRowsPanel::startCase(const QString &controlCode)
{
    // Rows already in the list were written under the previous control code; shown
    // under the new one they would be saved with a case whose article file lacks them.
    if (m_articles->rowCount() > 0) {
        m_articles->clear();
        m_state.changedRow = QPersistentModelIndex();
    }
    m_state.changedRowLost = false;
    m_state.controlCode = controlCode;
    if (const Result<QString> path = paths::articleFile(controlCode); path)
        m_follower->follow(path.value());
}

QStringList ArticleRowsPanel::openCase(const QString &controlCode)
{
    m_state.controlCode = controlCode;
    const Result<QString> path = paths::articleFile(controlCode);
    if (!path) {
        m_state.fileUnreadable = true;
        return { QStringLiteral("- Artikelraderna kunde inte läsas: kontrollnumret \"%1\" kan inte "
                                "användas som filnamn.")
                     .arg(controlCode) };
    }
    m_follower->follow(path.value());
    if (!fileio::exists(path.value()))
        return { QStringLiteral("- Artikelfilen saknas (%1). Ärendet visas utan artikelrader.")
                     .arg(nativePath(path.value())) };
    const Result<QList<ArticleRow>> rows = articlefile::load(path.value());
    if (rows) {
        m_articles->setRows(rows.value());
        return {};
    }
    m_state.fileUnreadable = true;
    return { QStringLiteral("- Artikelfilen kunde inte läsas (%1). Ärendet visas utan "
                            "artikelrader, och raderna kan inte ändras förrän filen går att läsa.")
                 .arg(nativePath(path.value())) };
}

void ArticleRowsPanel::setCaseState(CaseState state)
{
    m_state.caseState = state;
}

ArticleTarget ArticleRowsPanel::target() const
{
    return { m_state.controlCode, m_state.caseState };
}

QList<ArticleRow> ArticleRowsPanel::rows() const
{
    return m_articles->rows();
}

void ArticleRowsPanel::checkFile()
{
    m_follower->check();
}

void ArticleRowsPanel::closeArticleWindow()
{
    if (m_articleWindow)
        m_articleWindow->close();
}

// ---- The article window ---------------------------------------------------------------

frmAddProd *ArticleRowsPanel::openArticleWindow()
{
    frmAddProd *window = WindowRegistry::show<frmAddProd>();
    if (m_articleWindow != window) {
        m_articleWindow = window;
        QPointer<ArticleRowsPanel> self(this);
        window->setTarget([self]() -> std::optional<ArticleTarget> {
            if (!self)
                return std::nullopt;
            return self->target();
        });
        connect(window, &frmAddProd::rowAdded, this, &ArticleRowsPanel::appendRow);
        connect(window, &frmAddProd::rowChanged, this, [this](const ArticleRow &row) {
            // The replace runs after the article window's handler has returned.
            stageRow(row);
            startReplaceRow();
        });
    }
    return window;
}

QList<int> ArticleRowsPanel::selectedRows() const
{
    QList<int> rows;
    for (const QModelIndex &index : m_list->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

// The current row when it is among the selected ones, else the first selected.
int ArticleRowsPanel::chosenRow(const QList<int> &selected) const
{
    const QModelIndex current = m_list->currentIndex();
    return current.isValid() && selected.contains(current.row()) ? current.row() : selected.first();
}

void ArticleRowsPanel::addRow()
{
    m_state.changedRow = QPersistentModelIndex();
    m_state.changeOpen = false;
    m_state.changedRowLost = false;
    openArticleWindow()->openAdd();
}

void ArticleRowsPanel::changeRow()
{
    const QList<int> rows = selectedRows();
    if (rows.isEmpty())
        return;
    const int row = chosenRow(rows);
    m_state.changedRow = QPersistentModelIndex(m_articles->index(row, 0));
    m_state.changeOpen = true;
    m_state.changedRowLost = false;
    openArticleWindow()->openChange(m_articles->row(row));
}

void ArticleRowsPanel::removeRow()
{
    const QList<int> rows = selectedRows();
    if (rows.isEmpty())
        return;
    const ArticleRow &row = m_articles->row(chosenRow(rows));
    const QString text = QStringLiteral("Är det säkert att du vill ta bort följande rad: ")
        + row[ArticleNumber] + QStringLiteral("     ") + row[Description] + QStringLiteral(" ?") + CrLf + CrLf
        + QStringLiteral("Denna åtgärd går ej att backa, all data kommer att raderas!");
    const MessageBox::Answer answer = MessageBox::show(window(), QStringLiteral("Bekräfta"), text,
        MessageBox::YesNo, MessageBox::Exclamation, MessageBox::AnswerNo);
    if (answer == MessageBox::AnswerYes)
        delAction();
}

// ---- Writing the rows ---------------------------------------------------------------

// The file is written first and the list follows only when it succeeded, so that list
// and file never disagree after a failure.
bool ArticleRowsPanel::delAction()
{
    const QList<int> rows = selectedRows();
    if (rows.isEmpty())
        return true;
    if (m_state.fileUnreadable) {
        MessageBox::show(window(), QStringLiteral("Uppdatering"),
            QStringLiteral("Artikelfilen kunde inte läsas när ärendet öppnades och skrivs därför inte "
                           "om. Ingen rad har tagits bort."),
            MessageBox::Ok, MessageBox::Exclamation);
        return false;
    }
    QList<ArticleRow> removed;
    for (const int row : rows)
        removed << m_articles->row(row);
    if (const StoreResult done
        = CaseStore::removeArticleRows(m_state.controlCode, removed, m_state.caseState);
        !done) {
        showRowOutcome(done);
        return false;
    }
    m_articles->removeRowsAt(rows);
    return true;
}

void ArticleRowsPanel::appendRow(const ArticleRow &row)
{
    m_articles->appendRow(row);
}

void ArticleRowsPanel::stageRow(const ArticleRow &row)
{
    m_state.staged = row;
    for (int i = 0; i < ArticleFieldCount; ++i)
        m_stagedLabels[i]->setText(row[i]);
}

void ArticleRowsPanel::startReplaceRow()
{
    m_timer7->setInterval(1);
}

void ArticleRowsPanel::addAction()
{
    const ArticleRow row = m_state.staged;
    if (const StoreResult added = CaseStore::addArticleRow(m_state.controlCode, row, m_state.caseState);
        !added) {
        showRowOutcome(added);
        return;
    }
    m_articles->appendRow(row);
}

// A changed row leaves its place and becomes the last row of the list and of the file.
void ArticleRowsPanel::replaceAction()
{
    QList<int> rows;
    if (m_state.changedRow.isValid())
        rows << m_state.changedRow.row();
    else if (!m_state.changeOpen)
        rows = selectedRows();
    // A row opened with "Ändra" and removed meanwhile is gone: the edited values become
    // a new row, and no other row (the one selected now) is taken in its stead.
    m_state.changedRow = QPersistentModelIndex();
    m_state.changeOpen = false;
    if (std::exchange(m_state.changedRowLost, false)) {
        showRowOutcome(StoreResult::failure(
            StoreError::NotFound, QStringLiteral("The row changed was changed at another desk")));
        return;
    }

    if (rows.isEmpty()) {
        addAction();
        return;
    }
    if (m_state.fileUnreadable) {
        delAction();
        return;
    }

    const ArticleRow staged = m_state.staged;
    const QString &code = m_state.controlCode;
    StoreResult done;
    if (rows.size() == 1) {
        // One rewrite: no moment in which the changed row is in neither place.
        done = CaseStore::replaceArticleRow(code, m_articles->row(rows.first()), staged, m_state.caseState);
    } else {
        QList<ArticleRow> removed;
        for (const int row : std::as_const(rows))
            removed << m_articles->row(row);
        done = CaseStore::removeArticleRows(code, removed, m_state.caseState);
        if (done) {
            m_articles->removeRowsAt(rows);
            rows.clear();
            done = CaseStore::addArticleRow(code, staged, m_state.caseState);
        }
    }
    if (!done) {
        showRowOutcome(done);
        return;
    }
    m_articles->removeRowsAt(rows);
    m_articles->appendRow(staged);
}

// A row change that could not be made: a busy folder, a row that another desk changed
// or removed since the list was read (the list is read anew, so that the next change
// starts from what the file holds), or a failed write.
void ArticleRowsPanel::showRowOutcome(const StoreResult &result)
{
    if (showIfBusy(window(), result))
        return;
    if (result.kind == StoreError::CaseRemoved) {
        showStoreFailure(window(), QStringLiteral("Artikeldata"), result);
        return;
    }
    if (result.kind == StoreError::NotFound) {
        reloadRows();
        MessageBox::show(window(), QStringLiteral("Artikeldata"),
            QStringLiteral("Raden har ändrats vid en annan kassa. Listan har lästs in på nytt."),
            MessageBox::Ok, MessageBox::Information);
        return;
    }
    showRowFailure(window());
}

// ---- Following the file -------------------------------------------------------------

void ArticleRowsPanel::reloadRows()
{
    const Result<QString> path = paths::articleFile(m_state.controlCode);
    if (!path)
        return;
    m_follower->markSeen();
    if (!fileio::exists(path.value())) {
        m_articles->setRows({});
        return;
    }
    if (const Result<QList<ArticleRow>> rows = articlefile::load(path.value()); rows)
        m_articles->setRows(rows.value());
}

void ArticleRowsPanel::followFile()
{
    const Result<QString> path = paths::articleFile(m_state.controlCode);
    if (!path)
        return;
    m_follower->markSeen();
    QList<ArticleRow> rows;
    if (fileio::exists(path.value())) {
        Result<QList<ArticleRow>> loaded = articlefile::load(path.value());
        if (!loaded)
            return; // what is shown stays until the file can be read again
        rows = loaded.takeValue();
    }
    // A file that could not be read when the case was opened is read now: the list
    // holds the case's rows again, and rewriting the file from it is safe.
    m_state.fileUnreadable = false;
    showRows(rows);
}

void ArticleRowsPanel::showRows(const QList<ArticleRow> &rows)
{
    const QList<ArticleRow> before = m_articles->rows();
    const QList<int> selected = selectedRows();
    const QModelIndex current = m_list->currentIndex();
    const int changed = m_state.changedRow.isValid() ? m_state.changedRow.row() : -1;

    std::vector<bool> taken(static_cast<std::size_t>(rows.size()), false);
    const auto placeOf = [&](int old) {
        return old >= 0 && old < before.size() ? placeAfterReload(rows, before.at(old), old, taken) : -1;
    };
    // The row open in the article window first: its change must reach the same row.
    const int changedPlace = placeOf(changed);
    const int currentPlace
        = current.isValid() && current.row() == changed ? changedPlace : placeOf(current.row());
    QList<int> selectedPlaces;
    for (const int old : selected) {
        const int place = old == changed ? changedPlace : old == current.row() ? currentPlace : placeOf(old);
        if (place >= 0)
            selectedPlaces << place;
    }

    m_articles->setRows(rows);
    // Gone from the file as the window saw it: another desk changed or removed the row
    // the user is changing, and the change will say so rather than write.
    m_state.changedRow = changedPlace >= 0 ? QPersistentModelIndex(m_articles->index(changedPlace, 0))
                                           : QPersistentModelIndex();
    if (changed >= 0 && changedPlace < 0)
        m_state.changedRowLost = true;
    QItemSelectionModel *selection = m_list->selectionModel();
    if (currentPlace >= 0)
        selection->setCurrentIndex(m_articles->index(currentPlace, 0), QItemSelectionModel::NoUpdate);
    for (const int place : std::as_const(selectedPlaces))
        selection->select(
            m_articles->index(place, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    emit rowsChanged();
}

} // namespace lunora
