// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/frmKunder.h"

#include "gui/customerlistmodel.h"
#include "gui/frmKundData.h"
#include "gui/messagebox.h"
#include "gui/pushbutton.h"
#include "gui/reportlist.h"
#include "gui/units.h"
#include "gui/windowregistry.h"
#include "storage/datafolder.h"

#include <QDir>
#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>

namespace lunora {

namespace {
const QString Title = QStringLiteral("Kunder");

QPushButton *makeButton(QWidget *parent, const char *name, const QString &caption, int left)
{
    QPushButton *button = makePushButton(parent, QString::fromLatin1(name), caption);
    placeAt(button, left, 5160, 1095, 375);
    return button;
}
} // namespace

frmKunder::frmKunder(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmKunder"));
    setWindowTitle(Title);
    setFont(formFont());
    setAttribute(Qt::WA_DeleteOnClose);
    const QIcon icon(QStringLiteral(":/lunora/icon.png"));
    if (!icon.isNull())
        setWindowIcon(icon);
    setClientSize(this, 12030, 6000);

    auto *searchLabel = new QLabel(QStringLiteral("Sök"), this);
    searchLabel->setObjectName(QStringLiteral("lblSok"));
    placeAt(searchLabel, 120, 165, 600, 285);
    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("txtSok"));
    m_search->setAccessibleName(QStringLiteral("Sök"));
    m_search->setPlaceholderText(QStringLiteral("Sök kund, namn, telefon …"));
    m_search->setClearButtonEnabled(true);
    searchLabel->setBuddy(m_search);
    placeAt(m_search, 720, 150, 4500, 315);
    m_search->installEventFilter(this);
    connect(m_search, &QLineEdit::textChanged, this, &frmKunder::searchChanged);

    m_model = new CustomerListModel(this);
    m_proxy = new CustomerFilterProxy(this);
    m_proxy->setSourceModel(m_model);
    m_list = new QTableView(this);
    m_list->setObjectName(QStringLiteral("ListView1"));
    m_list->setAccessibleName(QStringLiteral("Kunder"));
    m_list->setModel(m_proxy);
    setUpReportList(m_list);
    QHeaderView *columns = m_list->horizontalHeader();
    columns->setSectionsClickable(true);
    for (int column = 0; column < CustomerListModel::ColumnCount; ++column)
        columns->resizeSection(column, px(CustomerListModel::columnWidthUnits(column)));
    placeAt(m_list, 120, 600, 11775, 4410);
    m_list->installEventFilter(this);
    connect(columns, &QHeaderView::sectionClicked, this, [this](int column) {
        // Like the overview: the clicked column sorts, the one direction reverses.
        m_sortOrder = m_sortColumn == column && m_sortOrder == Qt::AscendingOrder ? Qt::DescendingOrder
                                                                                  : Qt::AscendingOrder;
        m_sortColumn = column;
        m_proxy->sort(column, m_sortOrder);
        m_list->horizontalHeader()->setSortIndicatorShown(true);
        m_list->horizontalHeader()->setSortIndicator(column, m_sortOrder);
    });
    connect(m_list, &QTableView::doubleClicked, this, &frmKunder::openCurrent);

    m_open = makeButton(this, "cmdOppna", QStringLiteral("Öppna"), 120);
    m_new = makeButton(this, "cmdNyKund", QStringLiteral("Ny kund…"), 1320);
    m_refresh = makeButton(this, "cmdUppdatera", QStringLiteral("Uppdatera"), 2520);
    m_close = makeButton(this, "cmdStang", QStringLiteral("Stäng"), 10800);
    connect(m_open, &QPushButton::clicked, this, &frmKunder::openCurrent);
    connect(m_new, &QPushButton::clicked, this, &frmKunder::newCard);
    connect(m_refresh, &QPushButton::clicked, this, &frmKunder::reload);
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);
    addCloseKeys(this, m_close);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("StatusBar1Text"));
    m_status->setFrameShape(QFrame::StyledPanel);
    placeAt(m_status, 0, 5640, 12030, 360);

    auto *find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, this, [this]() {
        m_search->setFocus();
        m_search->selectAll();
    });

    setTabOrder(m_search, m_list);
    setTabOrder(m_list, m_open);
    setTabOrder(m_open, m_new);
    setTabOrder(m_new, m_refresh);
    setTabOrder(m_refresh, m_close);
}

frmKunder::~frmKunder() = default;

bool frmKunder::reload()
{
    Result<QList<customercards::Card>> cards = customercards::listAll();
    if (!cards) {
        m_model->setCards({});
        updateStatus();
        MessageBox::show(this, Title,
            QStringLiteral("Kundkorten kunde inte läsas: mappen %1 saknas eller kan inte läsas.")
                .arg(QDir::toNativeSeparators(DataFolder::path(u"\\Lib"))),
            MessageBox::Ok, MessageBox::Exclamation);
        return false;
    }
    m_model->setCards(cards.takeValue());
    if (m_sortColumn < 0)
        m_proxy->sort(CustomerListModel::Name, Qt::AscendingOrder);
    updateStatus();
    if (m_proxy->rowCount() > 0 && !m_list->currentIndex().isValid())
        m_list->setCurrentIndex(m_proxy->index(0, 0));
    return true;
}

int frmKunder::shownCount() const
{
    return m_proxy->rowCount();
}

int frmKunder::cardCount() const
{
    return m_model->rowCount();
}

QString frmKunder::statusText() const
{
    return m_status->text();
}

void frmKunder::updateStatus()
{
    const bool searching = !m_proxy->search().trimmed().isEmpty();
    m_status->setText(searching ? QStringLiteral(" Kunder: %1 av %2 st").arg(shownCount()).arg(cardCount())
                                : QStringLiteral(" Kunder: %1 st").arg(cardCount()));
    m_open->setEnabled(shownCount() > 0);
}

void frmKunder::searchChanged(const QString &text)
{
    m_proxy->setSearch(text);
    // A hidden row is never the current one: the first row shown takes its place.
    if (!m_list->currentIndex().isValid() && m_proxy->rowCount() > 0)
        m_list->setCurrentIndex(m_proxy->index(0, 0));
    if (m_list->currentIndex().isValid())
        m_list->selectionModel()->select(
            m_list->currentIndex(), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    updateStatus();
}

void frmKunder::openCurrent()
{
    QModelIndex current = m_list->currentIndex();
    if (!current.isValid() && m_proxy->rowCount() == 1)
        current = m_proxy->index(0, 0);
    if (!current.isValid())
        return;
    const int row = m_proxy->mapToSource(current).row();
    WindowRegistry::get<frmKundData>()->showCustomer(m_model->card(row).telephone);
}

void frmKunder::newCard()
{
    WindowRegistry::get<frmKundData>()->newCustomer(CustomerRecord());
}

bool frmKunder::eventFilter(QObject *watched, QEvent *event)
{
    // Escape in a search with text clears it; the window's Escape must not close it first.
    if (event->type() == QEvent::ShortcutOverride && watched == m_search
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape && !m_search->text().isEmpty()) {
        event->accept();
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (watched == m_search) {
            if (key->key() == Qt::Key_Escape && !m_search->text().isEmpty()) {
                m_search->clear();
                return true;
            }
            if (key->key() == Qt::Key_Down) {
                m_list->setFocus();
                return true;
            }
            if (enter) {
                // Enter in the search opens the one card found, or the marked one.
                if (m_proxy->rowCount() == 1 || m_list->currentIndex().isValid())
                    openCurrent();
                return true;
            }
        } else if (watched == m_list && enter) {
            openCurrent();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace lunora
