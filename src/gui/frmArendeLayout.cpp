// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
//
// The case window's controls, menus and timers: where everything stands, under which
// design name, and in which tab order. What the window does with them is in frmArende.cpp.
#include "gui/articlerowspanel.h"
#include "gui/banner.h"
#include "gui/casenotespanel.h"
#include "gui/casesheetactions.h"
#include "gui/deferredtimer.h"
#include "gui/frmArende.h"
#include "gui/frmOm.h"
#include "gui/pushbutton.h"
#include "gui/units.h"
#include "gui/windowregistry.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QSize>
#include <QStatusBar>
#include <algorithm>

namespace lunora {

namespace {

QLabel *makeLabel(QWidget *parent, const QString &name, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

QLabel *makeHiddenLabel(QWidget *parent, const QString &name, const QString &text = QString())
{
    QLabel *label = makeLabel(parent, name, text);
    label->hide();
    return label;
}

} // namespace

void frmArende::buildTimers()
{
    m_newCaseTimer = new DeferredTimer(QStringLiteral("Timer1"), this);
    m_printAndCloseTimer = new DeferredTimer(QStringLiteral("Timer5"), this);
    m_closeTimer = new DeferredTimer(QStringLiteral("Timer6"), this);
    m_openNotice = new DeferredTimer(QStringLiteral("OpenNotice"), this);
    connect(m_newCaseTimer, &DeferredTimer::fired, this, &frmArende::startNewCase);
    connect(m_printAndCloseTimer, &DeferredTimer::fired, this, &frmArende::printAndClose);
    connect(m_closeTimer, &DeferredTimer::fired, this, &frmArende::closeAfterPrint);
    connect(m_openNotice, &DeferredTimer::fired, this, &frmArende::showOpenProblems);
}

void frmArende::buildControls()
{
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    m_client = client;
    // The status bar takes the bottom 375 units of the 5655-unit client area; the notes
    // area lies between the layout's buttons and the status bar, so nothing above moves.
    // The window opens at this size and may grow from it, never below it.
    client->setMinimumSize(px(8895), px(5280 + CaseNotesPanel::HeightUnits));
    setCentralWidget(client);

    buildHeader(client);
    buildFields(client);
    // Before the window's own buttons, which lie in the panel's band and stay on top.
    m_rows = new ArticleRowsPanel(client);
    m_rows->move(0, px(ArticleRowsPanel::TopUnits));
    // The totals, the status bar and the title follow every change of the rows at once.
    connect(m_rows, &ArticleRowsPanel::rowsChanged, this, &frmArende::updateTotals);
    buildButtons(client);

    m_notes = new CaseNotesPanel(client);
    m_notes->move(0, px(5280));
    connect(m_notes, &CaseNotesPanel::saveNotesRequested, this, [this]() { saveNotesOnly(); });
    connect(m_notes, &CaseNotesPanel::saveCustomerRequested, this, &frmArende::saveCustomer);

    buildStatusBar();
    buildHiddenMirrors(client);
    m_bannerName->raise();
    buildTabOrder();
    resize(layout()->minimumSize());
    client->installEventFilter(this);
}

void frmArende::layOutClient()
{
    const QSize design = m_client->minimumSize();
    const int dx = std::max(0, m_client->width() - design.width());
    const int dy = std::max(0, m_client->height() - design.height());
    // The fault text gets the larger half: a longer text is the commoner reason to grow.
    const int rowsDy = dy / 2;
    const int notesDy = dy - rowsDy;

    const QRect banner = unitRect(0, -120, 14235, 645);
    m_banner->setGeometry(
        banner.x(), banner.y(), std::max(banner.width(), m_client->width()), banner.height());
    m_banner->setScaledContents(m_banner->width() > banner.width());
    m_separator->setGeometry(px(120), px(1320) - 1, px(8655) + dx, 2);

    m_rows->grow(dx, rowsDy);
    for (QPushButton *button : { m_save, m_update })
        button->move(px(6480) + dx, px(4800) + rowsDy);
    m_close->move(px(7680) + dx, px(4800) + rowsDy);
    m_notes->move(0, px(5280) + rowsDy);
    m_notes->grow(dx, notesDy);
}

void frmArende::buildHeader(QWidget *client)
{
    m_banner = new QLabel(client);
    m_banner->setObjectName(QStringLiteral("Image1"));
    m_banner->setPixmap(bannerPicture(QSize(949, 43)));
    m_banner->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    placeAt(m_banner, 0, -120, 14235, 645);

    m_bannerName = makeLabel(client, QStringLiteral("lblOrderID_MSG"), QString());
    m_bannerName->setFont(formFont(9.75, true));
    QPalette bannerText = m_bannerName->palette();
    bannerText.setColor(QPalette::WindowText, Qt::white);
    m_bannerName->setPalette(bannerText);
    m_bannerName->move(px(120), px(120));

    placeAt(makeLabel(client, QStringLiteral("Label1"), QStringLiteral("Ärendenummer")), 120, 720, 1335, 255);
    m_caseNumberLabel = makeLabel(client, QStringLiteral("dbOrdernummer"), QString());
    placeAt(m_caseNumberLabel, 120, 960, 1335, 255);
    placeAt(makeLabel(client, QStringLiteral("Label2"), QStringLiteral("Skapad")), 1680, 720, 1335, 255);
    m_createdLabel = makeLabel(client, QStringLiteral("dbCDate"), QString());
    placeAt(m_createdLabel, 1680, 960, 1335, 255);
    placeAt(
        makeLabel(client, QStringLiteral("Label3"), QStringLiteral("Kontrollnummer")), 3240, 720, 3495, 255);
    m_controlCodeLabel = makeLabel(client, QStringLiteral("dbCode"), QString());
    m_controlCodeLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // The code's 38 characters are wider in Liberation Sans than in the typeface the
    // layout was drawn for: the label runs on to just before the signature column so
    // the closing brace is never cut off.
    placeAt(m_controlCodeLabel, 3240, 960, 6960 - 60 - 3240, 255);
    placeAt(makeLabel(client, QStringLiteral("Label4"), QStringLiteral("Signatur")), 6960, 720, 1815, 255);
    m_signatureLabel = makeLabel(client, QStringLiteral("dbSign"), QString());
    placeAt(m_signatureLabel, 6960, 960, 1815, 255);

    auto *separator = new QFrame(client);
    m_separator = separator;
    separator->setObjectName(QStringLiteral("Shape1"));
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);
    separator->setGeometry(px(120), px(1320) - 1, px(8655), 2);
}

void frmArende::buildFields(QWidget *client)
{
    auto addField = [client](const QString &labelName, const QString &caption, const QString &fieldName,
                        int top, int width) {
        QLabel *label = makeLabel(client, labelName, caption);
        placeAt(label, 120, top, 1215, 255);
        auto *field = new QLineEdit(client);
        field->setObjectName(fieldName);
        field->setAccessibleName(caption);
        label->setBuddy(field);
        placeAt(field, 1560, top, width, 285);
        return field;
    };
    m_customerNumber = addField(
        QStringLiteral("Label5"), QStringLiteral("Kundnummer"), QStringLiteral("Text1"), 1560, 1815);
    m_customerName
        = addField(QStringLiteral("Label6"), QStringLiteral("Namn"), QStringLiteral("Text2"), 1920, 3375);
    m_telephone
        = addField(QStringLiteral("Label7"), QStringLiteral("Telefon"), QStringLiteral("Text3"), 2280, 3375);
    connect(m_customerName, &QLineEdit::textChanged, this, &frmArende::updateBanner);
    m_telephone->installEventFilter(this);

    auto addCombo = [client](const QString &labelName, const QString &caption, const QString &boxName,
                        int top, const QStringList &entries) {
        QLabel *label = makeLabel(client, labelName, caption);
        placeAt(label, 5160, top, 1560, 255);
        auto *box = new QComboBox(client);
        box->setObjectName(boxName);
        box->setEditable(false);
        box->setAccessibleName(caption);
        box->addItems(entries);
        label->setBuddy(box);
        placeAt(box, 6840, top, 1935, 315);
        return box;
    };
    m_priority = addCombo(QStringLiteral("Label8"), QStringLiteral("Prioritet"), QStringLiteral("cboPrio"),
        1560, { QStringLiteral("Normal"), QStringLiteral("Brådskande") });
    m_status = addCombo(QStringLiteral("Label9"), QStringLiteral("Status"), QStringLiteral("cboStat"), 1920,
        { QStringLiteral("Nytt ärende"), QStringLiteral("Under behandling"), QStringLiteral("Avslutad") });
    connect(m_priority, &QComboBox::currentIndexChanged, this, &frmArende::applyPriorityColours);
}

void frmArende::buildButtons(QWidget *client)
{
    auto addButton = [client](const QString &name, const QString &caption, int left) {
        QPushButton *button = makePushButton(client, name, caption);
        placeAt(button, left, 4800, 1095, 375);
        return button;
    };
    m_save = addButton(QStringLiteral("Command5"), QStringLiteral("Spara"), 6480);
    m_update = addButton(QStringLiteral("Command6"), QStringLiteral("Uppdatera"), 6480);
    m_close = addButton(QStringLiteral("Command4"), QStringLiteral("Stäng"), 7680);
    connect(m_save, &QPushButton::clicked, this, [this]() { save(); });
    connect(m_update, &QPushButton::clicked, this, [this]() { updateCase(); });
    connect(m_close, &QPushButton::clicked, this, [this]() { askAndClose(); });

    // Ctrl+S stores the case whichever of the two buttons it shows, from any field.
    auto *save = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), this);
    save->setObjectName(QStringLiteral("shortcutSpara"));
    save->setContext(Qt::WindowShortcut);
    connect(save, &QShortcut::activated, this, &frmArende::saveByKey);
}

void frmArende::buildStatusBar()
{
    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("StatusBar1"));
    m_statusBar->setFixedHeight(px(375));
    // A permanent label rather than showMessage(): menu hover tips would wipe a message.
    m_statusText = new QLabel(m_statusBar);
    m_statusText->setObjectName(QStringLiteral("StatusBar1Text"));
    m_statusBar->addWidget(m_statusText, 1);
    // The VAT held in the total, where the shop has set its rate; empty otherwise.
    m_vatText = new QLabel(m_statusBar);
    m_vatText->setObjectName(QStringLiteral("StatusBar1Moms"));
    m_statusBar->addWidget(m_vatText);
    setStatusBar(m_statusBar);
}

void frmArende::buildHiddenMirrors(QWidget *client)
{
    m_realNameMirror = makeHiddenLabel(client, QStringLiteral("dbRealName"));
    m_authorMirror = makeHiddenLabel(client, QStringLiteral("dbActiveUser"));
    m_sumMirror = makeHiddenLabel(client, QStringLiteral("dbSum"), QStringLiteral("0"));
    m_sumCaptionMirror = makeHiddenLabel(client, QStringLiteral("lblSumInfo"));
    m_openedMirror = makeHiddenLabel(client, QStringLiteral("appVer"));
    makeHiddenLabel(client, QStringLiteral("Label13"), QStringLiteral("Summa"));
}

void frmArende::buildTabOrder()
{
    setTabOrder(m_customerNumber, m_customerName);
    setTabOrder(m_customerName, m_telephone);
    setTabOrder(m_telephone, m_priority);
    setTabOrder(m_priority, m_status);
    setTabOrder(m_status, m_rows->firstInTabOrder());
    setTabOrder(m_rows->lastInTabOrder(), m_save);
    setTabOrder(m_save, m_update);
    setTabOrder(m_update, m_close);
    setTabOrder(m_close, m_notes->firstInTabOrder());
}

void frmArende::buildMenus()
{
    QMenu *arkiv = menuBar()->addMenu(QStringLiteral("&Arkiv"));
    arkiv->setObjectName(QStringLiteral("mnuArkiv"));
    m_newCaseAction = arkiv->addAction(QStringLiteral("&Nytt ärende"));
    m_newCaseAction->setObjectName(QStringLiteral("mnuNy"));
    arkiv->addSeparator()->setObjectName(QStringLiteral("mnuArkivBar1"));
    QAction *print = arkiv->addAction(QStringLiteral("&Skriv ut"));
    print->setObjectName(QStringLiteral("mnuSkrivUt"));
    print->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    // Looking at the sheet and keeping it as a file need no printer; the printout above
    // keeps its own path through the progress window.
    QAction *preview = arkiv->addAction(QStringLiteral("&Förhandsgranska…"));
    preview->setObjectName(QStringLiteral("mnuForhandsgranska"));
    preview->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
    QAction *pdf = arkiv->addAction(QStringLiteral("Spara som &PDF…"));
    pdf->setObjectName(QStringLiteral("mnuSparaPdf"));
    // Save As, spelt out: a plain X11 desktop has no key for it in Qt's table.
    pdf->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    m_labelAction = arkiv->addAction(QStringLiteral("Skriv &etikett…"));
    m_labelAction->setObjectName(QStringLiteral("mnuSkrivEtikett"));
    m_labelAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    arkiv->addSeparator()->setObjectName(QStringLiteral("mnuArkivBar2"));
    m_messageAction = arkiv->addAction(QStringLiteral("&Meddela kunden…"));
    m_messageAction->setObjectName(QStringLiteral("mnuMeddela"));
    m_messageAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
    enableSavedCaseActions();
    QAction *history = arkiv->addAction(QStringLiteral("&Historik…"));
    history->setObjectName(QStringLiteral("mnuHistorik"));
    history->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    QAction *earlier = arkiv->addAction(QStringLiteral("Ti&digare ärenden…"));
    earlier->setObjectName(QStringLiteral("mnuTidigare"));
    arkiv->addSeparator()->setObjectName(QStringLiteral("mnuArkivBar3"));
    QAction *close = arkiv->addAction(QStringLiteral("S&täng"));
    close->setObjectName(QStringLiteral("mnuStang"));
    close->setShortcuts({ QKeySequence(Qt::CTRL | Qt::Key_W), QKeySequence(Qt::Key_Escape) });

    QMenu *om = menuBar()->addMenu(QStringLiteral("&Om"));
    om->setObjectName(QStringLiteral("mnuOm"));
    QAction *about = om->addAction(QStringLiteral("&Om Lunora..."));
    about->setObjectName(QStringLiteral("mnuOm2"));

    connect(m_newCaseAction, &QAction::triggered, this, &frmArende::startNewCase);
    connect(print, &QAction::triggered, m_sheet, &CaseSheetActions::print);
    connect(preview, &QAction::triggered, m_sheet, &CaseSheetActions::preview);
    connect(pdf, &QAction::triggered, m_sheet, &CaseSheetActions::askPdfFile);
    connect(history, &QAction::triggered, m_sheet, &CaseSheetActions::showHistory);
    connect(m_labelAction, &QAction::triggered, this, &frmArende::showLabelWindow);
    connect(m_messageAction, &QAction::triggered, this, &frmArende::showMessageWindow);
    connect(earlier, &QAction::triggered, this, &frmArende::showEarlierCases);
    connect(close, &QAction::triggered, this, [this]() { askAndClose(); });
    connect(about, &QAction::triggered, this, []() { WindowRegistry::show<frmOm>(); });
}

} // namespace lunora
