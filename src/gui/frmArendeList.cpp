// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/frmArendeList.h"

#include "gui/backupjobs.h"
#include "gui/banner.h"
#include "gui/caselist.h"
#include "gui/caselistmodel.h"
#include "gui/caselistview.h"
#include "gui/casesortproxy.h"
#include "gui/deferredtimer.h"
#include "gui/filefollower.h"
#include "gui/frmArende.h"
#include "gui/frmKundData.h"
#include "gui/frmKunder.h"
#include "gui/frmSkapaID.h"
#include "gui/messagebox.h"
#include "gui/passwordjobs.h"
#include "gui/pushbutton.h"
#include "gui/storemessages.h"
#include "gui/units.h"
#include "gui/windowregistry.h"
#include "storage/accounts.h"
#include "storage/session.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QStatusBar>
#include <QTableView>
#include <QTime>
#include <algorithm>
#include <array>
#include <optional>
#include <utility>

namespace lunora {

namespace {

const QString StatusPrefix = QStringLiteral(" Ärenden: ");
const QString StatusSuffix = QStringLiteral(" st");
const QString UpdateTitle = QStringLiteral("Uppdatering");
const QString RemoveTitle = QStringLiteral("Ta bort ärende!");
const QString SomethingWrong = QStringLiteral("Det blev något fel");

// Where the confirmation line starts: after "Ta bort", over the never visible del and add.
constexpr int ConfirmationLeft = 3720;
// The search field at the right end of the banner, and the gap it keeps to the edge.
constexpr int SearchWidth = 220;
constexpr int SearchMargin = 6;
// The part of the banner below the client area's top edge (it starts 120 units above).
constexpr int BannerVisibleUnits = 525;

QPushButton *makeButton(
    QWidget *parent, const char *name, const QString &caption, int left, int top, int width, int height)
{
    QPushButton *button = makePushButton(parent, QString::fromLatin1(name), caption);
    placeAt(button, left, top, width, height);
    return button;
}

QLabel *makeStateLabel(QWidget *parent, const QString &name)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->hide();
    return label;
}

} // namespace

frmArendeList::frmArendeList(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmArendeList"));
    setWindowTitle(QStringLiteral("Ärenden [Översikt]"));
    setFont(formFont());
    const QIcon icon(QStringLiteral(":/lunora/icon.png"));
    if (!icon.isNull())
        setWindowIcon(icon);

    // Fresh rows for this window, the register followed from here on.
    m_cases = WindowRegistry::caseList();
    m_cases->open(this);

    buildControls();
    buildMenus();

    // The client area is 12030 x 6000 units below the menu bar; the status bar takes
    // its bottom edge, as it always has. The window opens at that size and may grow
    // from it; the controls keep their places from the top left, the list grows, and
    // the buttons stay at the bottom.
    const QSize design(px(12030), menuBar()->sizeHint().height() + px(6000));
    resize(design);
    setMinimumSize(design);
    m_state.designSize = design;
    centralWidget()->installEventFilter(this);

    m_replaceTimer = new DeferredTimer(QStringLiteral("Timer1"), this);
    m_refreshTimer = new DeferredTimer(QStringLiteral("Timer3"), this);
    connect(m_replaceTimer, &DeferredTimer::fired, this, &frmArendeList::runReplace);
    connect(m_refreshTimer, &DeferredTimer::fired, this, &frmArendeList::refresh);

    connectCaseList();
    layoutControls();
    m_cases->load();
    updateCommands();
}

void frmArendeList::connectCaseList()
{
    // The buttons and the print entry follow the number of rows shown as it changes,
    // rather than by polling; so does the count of a search.
    CaseSortProxy *proxy = m_cases->proxy();
    for (const auto signal : { &QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved }) {
        connect(proxy, signal, this, &frmArendeList::updateCommands);
        connect(proxy, signal, this, &frmArendeList::updateStatus);
    }
    connect(proxy, &QAbstractItemModel::modelReset, this, &frmArendeList::updateCommands);
    connect(proxy, &QAbstractItemModel::modelReset, this, &frmArendeList::updateStatus);
    connect(proxy, &CaseSortProxy::searchShown, this, &frmArendeList::keepCurrentInSearch);

    connect(m_cases, &CaseList::reloaded, this, &frmArendeList::showReloaded);
    connect(m_cases, &CaseList::caseRemoved, this, &frmArendeList::markCurrentSelected);
    connect(m_cases, &CaseList::caseReplaced, this, &frmArendeList::stageEntry);
    connect(m_cases, &CaseList::caseReplaced, this, &frmArendeList::markCurrentSelected);
    connect(m_cases, &CaseList::refreshRequested, this, &frmArendeList::startRefresh);
    connect(m_cases, &CaseList::confirmed, this, [this](const QString &text) {
        m_state.confirmation
            = QTime::currentTime().toString(QStringLiteral("HH:mm")) + QStringLiteral("  ") + text;
        showConfirmation();
        if (QAccessible::isActive()) {
            QAccessibleEvent changed(m_confirmation, QAccessible::NameChanged);
            QAccessible::updateAccessibility(&changed);
        }
    });
    // The register as other desks change it.
    connect(m_cases->follower(), &FileFollower::changed, this, &frmArendeList::followRegister);
}

frmArendeList::~frmArendeList() = default;

void frmArendeList::buildControls()
{
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);

    m_banner = new QLabel(client);
    m_banner->setObjectName(QStringLiteral("Image1"));
    placeAt(m_banner, 0, -120, 14235, 645);
    m_banner->setPixmap(bannerPicture(m_banner->size()));
    m_banner->setScaledContents(false);

    m_header = new QLabel(client);
    m_header->setObjectName(QStringLiteral("lblOrderID_MSG"));
    m_header->setFont(formFont(9.75, true));
    m_header->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    m_header->move(px(120), px(120));
    m_header->adjustSize();

    // Hidden mirrors, never read back: who is signed in and the staged entry.
    m_userIndex = makeStateLabel(client, QStringLiteral("dbUserIndex"));
    m_realName = makeStateLabel(client, QStringLiteral("dbRealName"));
    for (int field = 0; field < RegisterFieldCount; ++field)
        m_staging.append(makeStateLabel(client, QStringLiteral("Label%1").arg(field + 2)));

    buildList(client);
    buildSearch(client);
    buildButtons(client);
    watchForScans();

    m_banner->lower();
    m_header->raise();
    m_search->raise();

    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(false);
    m_status = new QLabel(bar);
    m_status->setObjectName(QStringLiteral("StatusBar1Text"));
    bar->addWidget(m_status, 1);
}

void frmArendeList::buildList(QWidget *client)
{
    m_list = new CaseListView(client);
    m_list->setObjectName(QStringLiteral("ListView1"));
    m_list->setAccessibleName(QStringLiteral("Ärenden"));
    placeAt(m_list, 120, 675, 11775, 4335);
    m_list->setModel(m_cases->proxy());
    m_list->setUpForCases();
    connect(m_list->horizontalHeader(), &QHeaderView::sectionClicked, this, &frmArendeList::sortListView);
    connect(m_list, &CaseListView::rowClicked, this, &frmArendeList::rowClicked);
    connect(m_list, &CaseListView::popupRequested, this, &frmArendeList::showPopup);
    connect(m_list, &CaseListView::openRequested, this, &frmArendeList::openCase);
    connect(m_list, &CaseListView::searchRequested, this, &frmArendeList::focusSearch);
}

void frmArendeList::buildSearch(QWidget *client)
{
    m_search = new QLineEdit(client);
    m_search->setObjectName(QStringLiteral("txtSearch"));
    m_search->setAccessibleName(QStringLiteral("Sök"));
    m_search->setPlaceholderText(QStringLiteral("Sök ärende, namn, telefon …"));
    m_search->setClearButtonEnabled(true);
    m_search->installEventFilter(this);
    connect(m_search, &QLineEdit::textChanged, this, &frmArendeList::searchEdited);
    auto *find = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), this);
    find->setObjectName(QStringLiteral("shortcutSearch"));
    find->setContext(Qt::WindowShortcut);
    connect(find, &QShortcut::activated, this, &frmArendeList::focusSearch);
}

void frmArendeList::buildButtons(QWidget *client)
{
    m_new = makeButton(client, "Command1", QStringLiteral("Nytt"), 120, 5160, 1095, 375);
    m_change = makeButton(client, "Command2", QStringLiteral("Ändra"), 1320, 5160, 1095, 375);
    m_remove = makeButton(client, "Command3", QStringLiteral("Ta bort"), 2520, 5160, 1095, 375);
    m_del = makeButton(client, "btndel", QStringLiteral("del"), 4560, 5160, 975, 375);
    m_add = makeButton(client, "btnadd", QStringLiteral("add"), 5640, 5160, 975, 375);
    m_close = makeButton(client, "Command4", QStringLiteral("Stäng"), 10800, 5160, 1095, 375);
    m_del->hide();
    m_add->hide();

    // What was just done (a case saved or updated, a message handed over, a PDF
    // written), in the free stretch between the buttons: the case window has closed by
    // then, and a box to click away would slow the counter down.
    m_confirmation = new QLabel(client);
    m_confirmation->setObjectName(QStringLiteral("lblBekraftelse"));
    m_confirmation->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    placeAt(m_confirmation, ConfirmationLeft, 5160, 10800 - 120 - ConfirmationLeft, 375);
    setTabOrder(m_list, m_new);
    setTabOrder(m_new, m_change);
    setTabOrder(m_change, m_remove);
    setTabOrder(m_remove, m_close);
    setTabOrder(m_close, m_search);
    m_list->setFocus();

    connect(m_new, &QPushButton::clicked, this, &frmArendeList::newCase);
    buildKeys();
    connect(m_change, &QPushButton::clicked, this, &frmArendeList::openCase);
    connect(m_remove, &QPushButton::clicked, this, &frmArendeList::removeCase);
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_del, &QPushButton::clicked, this, &frmArendeList::runDelAction);
    connect(m_add, &QPushButton::clicked, this, &frmArendeList::runAddAction);
}

void frmArendeList::buildKeys()
{
    // Keys rather than button shortcuts: a button's own shortcut takes the focus and
    // clicks a moment later, while these act at once wherever the focus is.
    auto *newCase = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_N), this);
    newCase->setObjectName(QStringLiteral("shortcutNytt"));
    newCase->setContext(Qt::WindowShortcut);
    connect(newCase, &QShortcut::activated, m_new, &QPushButton::click);
    // Ctrl+Q ends the program from whichever of its windows has the focus.
    auto *quit = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this);
    quit->setObjectName(QStringLiteral("shortcutAvsluta"));
    quit->setContext(Qt::ApplicationShortcut);
    connect(quit, &QShortcut::activated, this, &frmArendeList::quitProgram);
}

void frmArendeList::buildMenus()
{
    m_fileMenu = menuBar()->addMenu(QStringLiteral("&Arkiv"));
    m_fileMenu->setObjectName(QStringLiteral("mnuArkiv"));
    m_fileMenu->menuAction()->setObjectName(QStringLiteral("mnuArkiv"));
    m_print = m_fileMenu->addAction(QStringLiteral("&Skriv ut"));
    m_print->setObjectName(QStringLiteral("mnuSkrivUt"));
    m_print->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    m_customers = m_fileMenu->addAction(QStringLiteral("&Kunder…"));
    m_customers->setObjectName(QStringLiteral("mnuKunder"));
    // A returning customer: the new case starts with the selected row's customer.
    m_newForCustomer = m_fileMenu->addAction(QStringLiteral("&Nytt för kunden"));
    m_newForCustomer->setObjectName(QStringLiteral("mnuNyttForKunden"));
    m_newForCustomer->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N));
    m_situationAction = m_fileMenu->addAction(QStringLiteral("&Läget"));
    m_situationAction->setObjectName(QStringLiteral("mnuLaget"));
    m_situationAction->setShortcut(QKeySequence(Qt::Key_F9));
    m_fileMenu->addSeparator()->setObjectName(QStringLiteral("mnuArkivBar1"));
    m_closeAction = m_fileMenu->addAction(QStringLiteral("S&täng"));
    m_closeAction->setObjectName(QStringLiteral("mnuStang"));

    buildDataMenu();
    buildPopup();

    connect(m_print, &QAction::triggered, this, &frmArendeList::printCase);
    connect(m_closeAction, &QAction::triggered, this, &QWidget::close);
    connect(m_situationAction, &QAction::triggered, this, &frmArendeList::showSituation);
    connect(m_newForCustomer, &QAction::triggered, this, &frmArendeList::newCaseForCustomer);
    connect(m_customers, &QAction::triggered, this, []() {
        auto *list = WindowRegistry::get<frmKunder>();
        list->reload();
        WindowRegistry::bringForward(list);
    });
}

void frmArendeList::buildDataMenu()
{
    m_dataMenu = menuBar()->addMenu(QStringLiteral("&Data"));
    m_dataMenu->setObjectName(QStringLiteral("mnuData"));
    m_dataMenu->menuAction()->setObjectName(QStringLiteral("mnuData"));
    m_refresh = m_dataMenu->addAction(QStringLiteral("&Uppdatera lista"));
    m_refresh->setObjectName(QStringLiteral("mnuUppdatera"));
    m_dataMenu->addSeparator()->setObjectName(QStringLiteral("mnuDataBar1"));
    m_newUser = m_dataMenu->addAction(QStringLiteral("Skapa &ny användare"));
    m_newUser->setObjectName(QStringLiteral("mnuSNU"));
    m_protectPasswords = m_dataMenu->addAction(QStringLiteral("Skydda &lösenord…"));
    m_protectPasswords->setObjectName(QStringLiteral("mnuSkyddaLosenord"));
    m_messageTemplates = m_dataMenu->addAction(QStringLiteral("&Meddelanden…"));
    m_messageTemplates->setObjectName(QStringLiteral("mnuMeddelanden"));
    m_smsSettings = m_dataMenu->addAction(QStringLiteral("SMS-&inställningar…"));
    m_smsSettings->setObjectName(QStringLiteral("mnuSmsInstallningar"));
    // The archive holds every user file with its password: administrators only, which
    // this menu already is.
    m_backup = m_dataMenu->addAction(QStringLiteral("Säkerhets&kopiera…"));
    m_backup->setObjectName(QStringLiteral("mnuSakerhetskopiera"));
    m_restore = m_dataMenu->addAction(QStringLiteral("&Återställ…"));
    m_restore->setObjectName(QStringLiteral("mnuAterstall"));
    // Hidden until an administrator has signed in.
    m_dataMenu->menuAction()->setVisible(false);

    connect(m_refresh, &QAction::triggered, this, &frmArendeList::refresh);
    connect(m_newUser, &QAction::triggered, this, &frmArendeList::createUser);
    connect(m_messageTemplates, &QAction::triggered, this, &frmArendeList::showMessageTemplates);
    connect(m_smsSettings, &QAction::triggered, this, &frmArendeList::showSmsSettings);
    connect(
        m_protectPasswords, &QAction::triggered, this, [this]() { passwordjobs::protectPasswords(this); });
    connect(m_backup, &QAction::triggered, this,
        [this]() { backupjobs::startBackup(this, session::user().userId); });
    connect(m_restore, &QAction::triggered, this,
        [this]() { backupjobs::startRestore(this, session::user().userId, [this]() { refresh(); }); });
}

void frmArendeList::buildPopup()
{
    // The popup menu stays out of the menu bar. Its one entry has no caption until a row
    // has been clicked; the window holds the entry too, so that Ctrl+D works.
    m_popup = new QMenu(QStringLiteral("PopUpMeny"), this);
    m_popup->setObjectName(QStringLiteral("mnuPop1"));
    m_customer = m_popup->addAction(QString());
    m_customer->setObjectName(QStringLiteral("mnuKunddata"));
    m_customer->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    m_customer->setShortcutContext(Qt::WindowShortcut);
    m_customer->setEnabled(false);
    m_popup->setEnabled(false);
    QWidget::addAction(m_customer);
    m_newCustomer = m_popup->addAction(QStringLiteral("&Ny kund…"));
    m_newCustomer->setObjectName(QStringLiteral("mnuNyKund"));

    connect(m_customer, &QAction::triggered, this, &frmArendeList::showCustomerCard);
    connect(m_newCustomer, &QAction::triggered, this, &frmArendeList::newCustomerCard);
}

// ---- State handed over by other windows --------------------------------------------

// Who is signed in, read when the window comes on the screen: the sign-in fills the
// session before it shows the overview.
void frmArendeList::showSignedInUser()
{
    const SignedInUser &user = session::user();
    m_userIndex->setText(user.index);
    m_realName->setText(user.realName);
    // Only administrators get the data menu. Any other index, a damaged or empty one
    // included, hides it: the menu creates users, so it must not be offered by mistake.
    const bool administrator = user.index == QLatin1String("0");
    m_dataMenu->menuAction()->setVisible(administrator);
    // A hidden menu still lends its entries' keys to the window: F5 goes with the menu.
    m_refresh->setShortcut(administrator ? QKeySequence(Qt::Key_F5) : QKeySequence());
}

void frmArendeList::showEvent(QShowEvent *event)
{
    showSignedInUser();
    QMainWindow::showEvent(event);
}

void frmArendeList::stageEntry(const RegisterEntry &entry)
{
    m_state.staged = entry;
    for (int field = 0; field < RegisterFieldCount; ++field)
        m_staging.at(field)->setText(entry[field]);
}

void frmArendeList::startReplace()
{
    m_replaceTimer->setInterval(1);
}

void frmArendeList::startRefresh()
{
    m_refreshTimer->setInterval(1);
}

// ---- Load and refresh ----------------------------------------------------------------

void frmArendeList::refresh()
{
    // "Uppdatera lista" starts from the top, also over a followed change still read.
    m_followPlace.reset();
    m_cases->reload();
}

void frmArendeList::showReloaded()
{
    m_state.loadedCount = m_cases->rowCount();
    updateStatus();
    selectViewRow(0);
    if (m_followPlace)
        restorePlace(*std::exchange(m_followPlace, std::nullopt));
}

// Another desk changed the register. The list is read anew as a refresh reads it, but
// the user keeps the place: the same case stays current (selected or not, as it was),
// the same case stays at the top of the list, the sort and the search stay. The place
// is taken now, while the list still shows what the user saw, and found again when the
// new rows are shown, which for a long register is later.
void frmArendeList::followRegister()
{
    m_followPlace = listPlace();
    QList<CaseKey> lookFor;
    for (const std::optional<CaseKey> &key : { m_followPlace->currentKey, m_followPlace->topKey }) {
        if (key)
            lookFor << *key;
    }
    m_cases->reload(lookFor);
}

frmArendeList::ListPlace frmArendeList::listPlace() const
{
    ListPlace place;
    const QModelIndex current = m_list->currentIndex();
    place.currentRow = current.isValid() ? current.row() : -1;
    place.currentKey = m_cases->keyAt(place.currentRow);
    place.currentSource = m_cases->sourceRowAt(place.currentRow);
    place.selected = current.isValid() && m_list->selectionModel()->isRowSelected(place.currentRow, {});
    place.topKey = m_cases->keyAt(m_list->rowAt(0));
    place.topSource = m_cases->sourceRowAt(m_list->rowAt(0));
    place.top = m_list->verticalScrollBar()->value();
    place.left = m_list->horizontalScrollBar()->value();
    return place;
}

void frmArendeList::restorePlace(const ListPlace &place)
{
    const CaseSortProxy *proxy = m_cases->proxy();
    int row = m_cases->viewRowOf(place.currentKey, place.currentSource);
    // A case removed elsewhere leaves the row that took its place current.
    if (row < 0 && place.currentRow >= 0)
        row = std::min(place.currentRow, proxy->rowCount() - 1);
    if (row >= 0) {
        const QModelIndex index = proxy->index(row, 0);
        const auto flags = place.selected ? QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows
                                          : QItemSelectionModel::Clear;
        m_list->selectionModel()->setCurrentIndex(index, flags);
    }
    const int topRow = m_cases->viewRowOf(place.topKey, place.topSource);
    m_list->verticalScrollBar()->setValue(topRow >= 0 ? topRow : place.top);
    m_list->horizontalScrollBar()->setValue(place.left);
}

void frmArendeList::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    // Watchers see nothing of what another machine writes on a share: a look at the
    // register whenever the user comes back to the window.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        m_cases->follower()->check();
}

int frmArendeList::rowCount() const
{
    return m_cases->rowCount();
}

RegisterEntry frmArendeList::entryAt(int viewRow) const
{
    const int source = m_cases->proxy()->sourceRow(viewRow);
    if (source < 0)
        return {};
    return m_cases->model()->entry(source);
}

QList<RegisterEntry> frmArendeList::entriesInViewOrder() const
{
    return m_cases->proxy()->entriesInViewOrder();
}

QString frmArendeList::statusText() const
{
    return m_status->text();
}

QString frmArendeList::headerText() const
{
    return m_state.header;
}

void frmArendeList::showHeader()
{
    // The header ends before the search field; a longer one is cut short with "…".
    const int room = std::max(0, m_search->x() - m_header->x() - SearchMargin);
    const QString shown = m_header->fontMetrics().elidedText(m_state.header, Qt::ElideRight, room);
    m_header->setText(shown);
    m_header->setToolTip(shown == m_state.header ? QString() : m_state.header);
    m_header->setAccessibleName(m_state.header);
    m_header->adjustSize();
}

void frmArendeList::showConfirmation()
{
    // Cut short with "…" where the window is narrow; the whole line in the tooltip.
    const QString &text = m_state.confirmation;
    const QString shown
        = m_confirmation->fontMetrics().elidedText(text, Qt::ElideRight, m_confirmation->width());
    m_confirmation->setText(shown);
    m_confirmation->setToolTip(shown == text ? QString() : text);
    m_confirmation->setAccessibleName(text);
}

QString frmArendeList::confirmationText() const
{
    return m_state.confirmation;
}

void frmArendeList::layoutControls()
{
    // The client area the window has at its designed size, between the menu bar and
    // the status bar as they stand now.
    const QWidget *client = centralWidget();
    const QSize designClient(m_state.designSize.width(),
        m_state.designSize.height() - menuBar()->height() - statusBar()->height());
    const int width = std::max(client->width(), designClient.width());
    const int height = std::max(client->height(), designClient.height());
    const int dx = width - designClient.width();
    const int dy = height - designClient.height();

    // The banner spans the width; its picture stretches sideways only.
    const QRect banner = unitRect(0, -120, 14235, 645);
    m_banner->setGeometry(banner.x(), banner.y(), std::max(banner.width(), width), banner.height());
    m_banner->setScaledContents(m_banner->width() > banner.width());

    const int searchHeight = m_search->sizeHint().height();
    m_search->setGeometry(width - SearchWidth - SearchMargin,
        std::max(0, (px(BannerVisibleUnits) - searchHeight) / 2), SearchWidth, searchHeight);

    m_list->setGeometry(unitRect(120, 675, 11775, 4335).adjusted(0, 0, dx, dy));
    m_list->setAddedWidth(dx);
    for (QPushButton *button : { m_new, m_change, m_remove, m_del, m_add })
        button->move(button->x(), px(5160) + dy);
    m_close->move(px(10800) + dx, px(5160) + dy);
    m_confirmation->setGeometry(
        unitRect(ConfirmationLeft, 5160, 10800 - 120 - ConfirmationLeft, 375).adjusted(0, dy, dx, dy));
    showHeader();
    showConfirmation();
}

void frmArendeList::focusSearch()
{
    m_search->setFocus(Qt::ShortcutFocusReason);
    m_search->selectAll();
}

void frmArendeList::searchEdited(const QString &text)
{
    // The current row stays current when the search still shows it; otherwise the first
    // row shown takes its place, so that a hidden row is never what "Ändra" opens.
    // A long list shows the rows found when the worker has them.
    m_state.searchCurrent = currentSourceRow();
    m_state.openWhenFound = false;
    m_cases->setSearch(text);
}

void frmArendeList::keepCurrentInSearch()
{
    const int current = m_state.searchCurrent;
    const QModelIndex kept
        = current >= 0 ? m_cases->proxy()->mapFromSource(m_cases->model()->index(current, 0)) : QModelIndex();
    if (kept.isValid()) {
        m_list->selectionModel()->setCurrentIndex(
            kept, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        m_list->scrollTo(kept);
    } else {
        selectViewRow(0);
    }
    updateStatus();
    // Enter came before the rows of its text: they are here now, whole.
    if (m_state.openWhenFound && !m_cases->proxy()->isSearchRunning())
        openFromSearch();
}

void frmArendeList::openFromSearch()
{
    // The rows of the text just typed are still being looked for on the worker: the
    // rows shown are an earlier text's, so the open waits for the right ones.
    if (m_cases->proxy()->isSearchRunning()) {
        m_state.openWhenFound = true;
        return;
    }
    m_state.openWhenFound = false;
    const int shown = m_cases->proxy()->rowCount();
    if (shown > 1) {
        m_list->setFocus(Qt::OtherFocusReason);
        return;
    }
    // The text stays, selected: the next scan or word typed takes its place.
    m_search->selectAll();
    if (shown == 1) {
        selectViewRow(0);
        openCase();
    }
}

bool frmArendeList::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == centralWidget() && event->type() == QEvent::Resize) {
        layoutControls();
    } else if (watched != m_search && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (startScan(key)) {
            m_scan.typed(key);
            return true;
        }
        m_scan.otherKey();
    } else if (watched == m_search && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        switch (key->key()) {
        case Qt::Key_Escape:
            m_scan.otherKey();
            if (m_search->text().isEmpty())
                return false;
            m_search->clear();
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // A scan replaces what the field held before it, typed or scanned.
            if (const std::optional<QString> scanned = m_scan.enter(key);
                scanned && m_search->text() != *scanned)
                m_search->setText(*scanned);
            openFromSearch();
            return true;
        case Qt::Key_Down:
            m_scan.otherKey();
            // From the search straight into the rows it found.
            if (m_cases->proxy()->rowCount() > 0) {
                m_list->setFocus(Qt::OtherFocusReason);
                if (!m_list->currentIndex().isValid())
                    selectViewRow(0);
            }
            return true;
        default:
            if (isTypedCharacter(key))
                m_scan.typed(key);
            else
                m_scan.otherKey();
            break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

QTableView *frmArendeList::listView() const
{
    return m_list;
}

QLineEdit *frmArendeList::searchField() const
{
    return m_search;
}

void frmArendeList::updateStatus()
{
    // The count is that of the last load or refresh; while a search hides rows, the
    // rows shown stand before it.
    // The count of a search shows once it is known whole.
    if (m_cases->proxy()->isSearchRunning())
        return;
    QString count = QString::number(m_state.loadedCount);
    if (m_cases->proxy()->isSearching())
        count = QString::number(m_cases->proxy()->rowCount()) + QStringLiteral(" av ") + count;
    m_status->setText(StatusPrefix + count + StatusSuffix);
}

void frmArendeList::updateCommands()
{
    // What needs a row needs a row the user can see.
    const bool hasRows = m_cases->proxy()->rowCount() > 0;
    m_change->setEnabled(hasRows);
    m_remove->setEnabled(hasRows);
    m_print->setEnabled(hasRows);
    m_newForCustomer->setEnabled(hasRows);
}

// ---- The list ------------------------------------------------------------------------

void frmArendeList::sortListView(int column)
{
    if (column < 0 || column >= RegisterFieldCount)
        return;
    m_sortColumn = column;
    m_sortOrder = m_sortOrder == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    m_cases->sortBy(column, m_sortOrder);
    QHeaderView *header = m_list->horizontalHeader();
    header->setSortIndicatorShown(true);
    header->setSortIndicator(column, m_sortOrder);
    if (m_list->currentIndex().isValid())
        m_list->scrollTo(m_list->currentIndex());
}

int frmArendeList::currentSourceRow() const
{
    const QModelIndex current = m_list->currentIndex();
    if (!current.isValid())
        return -1;
    return m_cases->proxy()->mapToSource(current).row();
}

void frmArendeList::selectViewRow(int viewRow)
{
    if (viewRow < 0 || viewRow >= m_cases->proxy()->rowCount())
        return;
    const QModelIndex index = m_cases->proxy()->index(viewRow, 0);
    m_list->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void frmArendeList::rowClicked(bool onRow)
{
    if (onRow) {
        m_popup->setEnabled(true);
        m_customer->setEnabled(true);
        m_customer->setText(QStringLiteral("&Visa kunddata.."));
    } else {
        m_popup->setEnabled(false);
        m_customer->setEnabled(false);
    }
    const int row = currentSourceRow();
    if (row < 0)
        return;
    const RegisterEntry entry = m_cases->model()->entry(row);
    m_state.header = entry[CustomerNumber] + QStringLiteral(", ") + entry[CustomerName];
    showHeader();
}

void frmArendeList::showPopup(const QPoint &globalPos)
{
    // Until a row has been clicked the menu's one entry has no caption; an empty,
    // disabled menu would only puzzle.
    if (m_popup->isEnabled())
        m_popup->popup(globalPos);
}

// ---- The hidden register actions -----------------------------------------------------

void frmArendeList::runAddAction()
{
    if (const StoreResult added = m_cases->addLine(m_state.staged); !added) {
        if (!showIfBusy(this, added))
            MessageBox::show(this, UpdateTitle, SomethingWrong, MessageBox::Ok, MessageBox::Exclamation);
    }
}

void frmArendeList::runDelAction()
{
    QList<RegisterEntry> cases;
    const QModelIndexList selected = m_list->selectionModel()->selectedRows();
    for (const QModelIndex &index : selected)
        cases.append(m_cases->model()->entry(m_cases->proxy()->mapToSource(index).row()));
    if (cases.isEmpty())
        return;
    // Lines already gone from the register leave the list as well: it shows what the
    // register holds.
    m_cases->removeLines(cases, this, [this](const StoreResult &removed) {
        if (!removed && !showIfBusy(this, removed))
            MessageBox::show(this, UpdateTitle, SomethingWrong, MessageBox::Ok, MessageBox::Exclamation);
    });
}

// The row that takes a removed row's place is shown selected, so that what "Ändra"
// would open is what the list marks.
void frmArendeList::markCurrentSelected()
{
    const QModelIndex current = m_list->currentIndex();
    if (current.isValid())
        m_list->selectionModel()->select(
            current, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void frmArendeList::runReplace()
{
    m_cases->replaceCase(m_state.staged, this, [this](const StoreResult &replaced) {
        if (!replaced)
            showStoreFailure(this, UpdateTitle, replaced);
    });
}

// Runs `then` once the case list's writes are done, once however often it is asked.
void frmArendeList::closeAfterWrites(const std::function<void()> &then)
{
    if (m_closeAsked)
        return;
    m_closeAsked = true;
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = connect(m_cases, &CaseList::writesDone, this, [this, connection, then]() {
        disconnect(*connection);
        m_closeAsked = false;
        QMetaObject::invokeMethod(this, then, Qt::QueuedConnection);
    });
}

// ---- Buttons and menu entries --------------------------------------------------------

void frmArendeList::newCase()
{
    frmArende::showNewCase();
}

void frmArendeList::newCaseForCustomer()
{
    const int row = currentSourceRow();
    if (row < 0)
        return;
    const RegisterEntry entry = m_cases->model()->entry(row);
    frmArende::Customer customer { entry[CustomerNumber], entry[CustomerName], entry[Telephone] };
    // The customer's card, where there is one, is what the shop keeps up to date; what
    // it leaves empty comes from the case.
    if (const std::optional<CustomerRecord> card = customerfile::find(entry[Telephone])) {
        if (!card->id.isEmpty())
            customer.number = card->id;
        if (!card->name.isEmpty())
            customer.name = card->name;
    }
    frmArende::showNewCaseFor(customer);
}

void frmArendeList::openCase()
{
    const int row = currentSourceRow();
    if (row >= 0)
        frmArende::showCase(m_cases->model()->entry(row));
}

void frmArendeList::printCase()
{
    const int row = currentSourceRow();
    if (row >= 0)
        frmArende::showCase(
            m_cases->model()->entry(row), [](frmArende *caseWindow) { caseWindow->startPrintAndClose(); });
}

void frmArendeList::removeCase()
{
    const int row = currentSourceRow();
    // A row being removed already is not asked about twice.
    if (row < 0 || m_cases->model()->isBusy(row))
        return;
    // Timers keep running while a message box is open, so the list may be refreshed
    // before the answer comes; the case is found again by its key afterwards.
    const RegisterEntry confirmed = m_cases->model()->entry(row);

    const QString question = QStringLiteral("Är det säkert att du vill ta bort följande ärende: ")
        + confirmed[CaseNumber] + QStringLiteral(" ?") + QStringLiteral("\r\n\r\n")
        + QStringLiteral("Denna åtgärd går ej att backa, all data kommer att raderas!");
    if (MessageBox::show(this, QStringLiteral("Bekräfta"), question, MessageBox::YesNo,
            MessageBox::Exclamation, MessageBox::AnswerYes)
        != MessageBox::AnswerYes)
        return;

    // The register is rewritten before the files go, and the list and the notice follow
    // only what was done: a failed rewrite leaves the case listed with its files.
    m_cases->removeCases({ confirmed }, this, [this, confirmed](const StoreResult &removed) {
        if (!removed) {
            showStoreFailure(this, RemoveTitle, removed);
            return;
        }
        MessageBox::show(this, QStringLiteral("Bekräftelse"),
            QStringLiteral("Ärende: ") + confirmed[ControlCode] + QStringLiteral(" är makulerad!"),
            MessageBox::Ok, MessageBox::Information);
    });
}

void frmArendeList::showCustomerCard()
{
    const int row = currentSourceRow();
    if (row < 0)
        return;
    const QString telephone = m_cases->model()->entry(row)[Telephone];
    WindowRegistry::get<frmKundData>()->showCustomer(telephone);
}

// A new card filled with what the current row knows of its customer.
void frmArendeList::newCustomerCard()
{
    CustomerRecord known;
    if (const int row = currentSourceRow(); row >= 0) {
        const RegisterEntry entry = m_cases->model()->entry(row);
        known.id = entry[CustomerNumber];
        known.name = entry[CustomerName];
        known.phone1 = entry[Telephone];
    }
    WindowRegistry::get<frmKundData>()->newCustomer(known);
}

void frmArendeList::createUser()
{
    WindowRegistry::show<frmSkapaID>();
}

void frmArendeList::closeEvent(QCloseEvent *event)
{
    // A register write under way ends first; the close follows it.
    if (m_cases->isWriting()) {
        event->ignore();
        closeAfterWrites([this] { close(); });
        return;
    }
    QMainWindow::closeEvent(event);
    if (!event->isAccepted())
        return;
    // Windows created only to hold state (the case window the sign-in prepares, for
    // one) must not keep the program running once nothing is left on the screen.
    const QWidgetList windows = QApplication::topLevelWidgets();
    const bool othersVisible = std::any_of(windows.begin(), windows.end(), [this](QWidget *window) {
        return window != this && window->isVisible() && window->isWindow()
            && !(window->windowType() == Qt::Popup || window->windowType() == Qt::ToolTip);
    });
    if (othersVisible)
        return;
    for (QWidget *window : windows) {
        if (window != this && !window->isVisible() && window->testAttribute(Qt::WA_DeleteOnClose))
            window->close();
    }
}

} // namespace lunora
