// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/frmArende.h"

#include "gui/articlelistmodel.h"
#include "gui/caselist.h"
#include "gui/casenotespanel.h"
#include "gui/deferredtimer.h"
#include "gui/filefollower.h"
#include "gui/frmAddProd.h"
#include "gui/frmHistorik.h"
#include "gui/frmKundData.h"
#include "gui/frmOm.h"
#include "gui/frmPrint.h"
#include "gui/lockwaitbox.h"
#include "gui/messagebox.h"
#include "gui/storemessages.h"
#include "gui/units.h"
#include "gui/windowregistry.h"
#include "printing/casesheet.h"
#include "printing/defaultprinter.h"
#include "storage/accounts.h"
#include "storage/casefiles.h"
#include "storage/casehistory.h"
#include "storage/caseregister.h"
#include "storage/casestore.h"
#include "storage/customercards.h"
#include "storage/datafolder.h"
#include "storage/fileio.h"
#include "storage/notesfile.h"
#include "storage/numbers.h"
#include "storage/vat.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QLinearGradient>
#include <QMenuBar>
#include <QPainter>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTreeView>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>
#include <vector>

namespace lunora {

namespace {

const QString CrLf = QStringLiteral("\r\n");

// Shows the whole text in the label's width: the control code's 38 characters are
// wider in Liberation Sans than in the typeface the layout was drawn for, so the font
// steps down (not below 6.5 pt) until the closing brace fits.
void setFittedText(QLabel *label, const QString &text, double pointSize)
{
    QFont font = label->font();
    font.setPointSizeF(pointSize);
    while (font.pointSizeF() > 6.5 && QFontMetrics(font).horizontalAdvance(text) > label->width())
        font.setPointSizeF(font.pointSizeF() - 0.25);
    label->setFont(font);
    label->setText(text);
}
const QString TitleBase = QStringLiteral("Kundärende");
const QString TitlePrefix = QStringLiteral("Kundärende - ");
const QString CreditMark = QStringLiteral("              *** KREDIT ***");

// The column widths of the article list keep these proportions whatever the list's width.
constexpr std::array<int, ArticleFieldCount> ColumnRatio { 2540, 6703, 1764, 1235, 2470, 2470 };

// What the sign-in handed over belongs to the run of the program, not to one window:
// every case window, also one made after the previous one was closed, starts from it.
struct Session
{
    QString realName;
    QString activeUser = QStringLiteral("Administratör");
    QString sign;
};

Session &session()
{
    static Session s;
    return s;
}

const QStringList &registerFieldCaptions()
{
    static const QStringList captions { QStringLiteral("Ärendenummer"), QStringLiteral("Skapad"),
        QStringLiteral("Kundnummer"), QStringLiteral("Namn"), QStringLiteral("Telefon"),
        QStringLiteral("Prioritet"), QStringLiteral("Status"), QStringLiteral("Kontrollnummer"),
        QStringLiteral("Signatur") };
    return captions;
}

QString nativePath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

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

QPixmap bannerPixmap()
{
    QPixmap banner(QStringLiteral(":/lunora/banner.png"));
    if (!banner.isNull())
        return banner;
    // Without the picture the header still needs a dark ground for its white text.
    banner = QPixmap(949, 43);
    QPainter painter(&banner);
    QLinearGradient gradient(0, 0, banner.width(), 0);
    gradient.setColorAt(0.0, QColor(10, 36, 106));
    gradient.setColorAt(1.0, QColor(166, 202, 240));
    painter.fillRect(banner.rect(), gradient);
    return banner;
}

void showRowFailure(QWidget *parent)
{
    MessageBox::show(parent, QStringLiteral("Uppdatering"), QStringLiteral("Det blev något fel"),
        MessageBox::Ok, MessageBox::Exclamation);
}

} // namespace

frmArende::frmArende(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmArende"));
    setFont(formFont());
    buildControls();
    buildMenus();

    m_timer1 = new DeferredTimer(QStringLiteral("Timer1"), this);
    m_timer3 = new DeferredTimer(QStringLiteral("Timer3"), this);
    m_timer5 = new DeferredTimer(QStringLiteral("Timer5"), this);
    m_timer6 = new DeferredTimer(QStringLiteral("Timer6"), this);
    m_timer7 = new DeferredTimer(QStringLiteral("Timer7"), this);
    m_openNotice = new DeferredTimer(QStringLiteral("OpenNotice"), this);
    connect(m_timer1, &DeferredTimer::fired, this, &frmArende::startNewCase);
    connect(m_timer3, &DeferredTimer::fired, this, &frmArende::printSheet);
    connect(m_timer5, &DeferredTimer::fired, this, &frmArende::printAndClose);
    connect(m_timer6, &DeferredTimer::fired, this, &QWidget::close);
    connect(m_timer7, &DeferredTimer::fired, this, &frmArende::replaceAction);
    connect(m_openNotice, &DeferredTimer::fired, this, &frmArende::showOpenProblems);
    m_follower = new FileFollower(QStringLiteral("articleFollower"), this);
    connect(m_follower, &FileFollower::changed, this, &frmArende::followArticles);

    resetToLoaded();
}

frmArende::~frmArende() = default;

void frmArende::buildControls()
{
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    // The status bar takes the bottom 375 units of the 5655-unit client area; the notes
    // area lies between the layout's buttons and the status bar, so nothing above moves.
    client->setFixedSize(px(8895), px(5280 + CaseNotesPanel::HeightUnits));
    setCentralWidget(client);

    m_image1 = new QLabel(client);
    m_image1->setObjectName(QStringLiteral("Image1"));
    m_image1->setPixmap(bannerPixmap());
    m_image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    placeAt(m_image1, 0, -120, 14235, 645);

    m_lblOrderID = makeLabel(client, QStringLiteral("lblOrderID_MSG"), QString());
    m_lblOrderID->setFont(formFont(9.75, true));
    QPalette bannerText = m_lblOrderID->palette();
    bannerText.setColor(QPalette::WindowText, Qt::white);
    m_lblOrderID->setPalette(bannerText);
    m_lblOrderID->move(px(120), px(120));

    placeAt(makeLabel(client, QStringLiteral("Label1"), QStringLiteral("Ärendenummer")), 120, 720, 1335, 255);
    m_dbOrdernummer = makeLabel(client, QStringLiteral("dbOrdernummer"), QString());
    placeAt(m_dbOrdernummer, 120, 960, 1335, 255);
    placeAt(makeLabel(client, QStringLiteral("Label2"), QStringLiteral("Skapad")), 1680, 720, 1335, 255);
    m_dbCDate = makeLabel(client, QStringLiteral("dbCDate"), QString());
    placeAt(m_dbCDate, 1680, 960, 1335, 255);
    placeAt(
        makeLabel(client, QStringLiteral("Label3"), QStringLiteral("Kontrollnummer")), 3240, 720, 3495, 255);
    m_dbCode = makeLabel(client, QStringLiteral("dbCode"), QString());
    m_dbCode->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // The code's 38 characters are wider in Liberation Sans than in the typeface the
    // layout was drawn for: the label runs on to just before the signature column so
    // the closing brace is never cut off.
    placeAt(m_dbCode, 3240, 960, 6960 - 60 - 3240, 255);
    placeAt(makeLabel(client, QStringLiteral("Label4"), QStringLiteral("Signatur")), 6960, 720, 1815, 255);
    m_dbSign = makeLabel(client, QStringLiteral("dbSign"), QString());
    placeAt(m_dbSign, 6960, 960, 1815, 255);

    auto *separator = new QFrame(client);
    separator->setObjectName(QStringLiteral("Shape1"));
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);
    separator->setGeometry(px(120), px(1320) - 1, px(8655), 2);

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
    m_text1 = addField(
        QStringLiteral("Label5"), QStringLiteral("Kundnummer"), QStringLiteral("Text1"), 1560, 1815);
    m_text2 = addField(QStringLiteral("Label6"), QStringLiteral("Namn"), QStringLiteral("Text2"), 1920, 3375);
    m_text3
        = addField(QStringLiteral("Label7"), QStringLiteral("Telefon"), QStringLiteral("Text3"), 2280, 3375);
    connect(m_text2, &QLineEdit::textChanged, this, &frmArende::updateBanner);
    m_text3->installEventFilter(this);

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
    m_cboPrio = addCombo(QStringLiteral("Label8"), QStringLiteral("Prioritet"), QStringLiteral("cboPrio"),
        1560, { QStringLiteral("Normal"), QStringLiteral("Brådskande") });
    m_cboStat = addCombo(QStringLiteral("Label9"), QStringLiteral("Status"), QStringLiteral("cboStat"), 1920,
        { QStringLiteral("Nytt ärende"), QStringLiteral("Under behandling"), QStringLiteral("Avslutad") });
    connect(m_cboPrio, &QComboBox::currentIndexChanged, this, &frmArende::applyPriorityColours);

    m_articles = new ArticleListModel(this);
    m_listView = new QTreeView(client);
    m_listView->setObjectName(QStringLiteral("ListView1"));
    m_listView->setAccessibleName(QStringLiteral("Artikelrader"));
    m_listView->setModel(m_articles);
    m_listView->setRootIsDecorated(false);
    m_listView->setItemsExpandable(false);
    m_listView->setUniformRowHeights(true);
    m_listView->setAllColumnsShowFocus(true);
    m_listView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_listView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_listView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_listView->setSortingEnabled(false);
    m_listView->header()->setStretchLastSection(false);
    m_listView->header()->setSectionsMovable(false);
    m_listView->header()->setSectionResizeMode(QHeaderView::Interactive);
    placeAt(m_listView, 120, 2760, 8655, 1935);
    m_listView->viewport()->installEventFilter(this);
    connect(m_listView, &QTreeView::doubleClicked, this, &frmArende::changeRow);
    fitColumns();

    // The totals, the status bar and the title follow every change of the rows at once.
    connect(m_articles, &QAbstractItemModel::rowsInserted, this, &frmArende::updateTotals);
    connect(m_articles, &QAbstractItemModel::rowsRemoved, this, &frmArende::updateTotals);
    connect(m_articles, &QAbstractItemModel::modelReset, this, &frmArende::updateTotals);
    connect(m_articles, &QAbstractItemModel::dataChanged, this, &frmArende::updateTotals);

    auto addButton = [client](const QString &name, const QString &caption, int left) {
        auto *button = new QPushButton(caption, client);
        button->setObjectName(name);
        button->setAutoDefault(false);
        placeAt(button, left, 4800, 1095, 375);
        return button;
    };
    m_command1 = addButton(QStringLiteral("Command1"), QStringLiteral("Lägg till"), 120);
    m_command2 = addButton(QStringLiteral("Command2"), QStringLiteral("Ändra"), 1320);
    m_command3 = addButton(QStringLiteral("Command3"), QStringLiteral("Ta bort"), 2520);
    m_command5 = addButton(QStringLiteral("Command5"), QStringLiteral("Spara"), 6480);
    m_command6 = addButton(QStringLiteral("Command6"), QStringLiteral("Uppdatera"), 6480);
    m_command4 = addButton(QStringLiteral("Command4"), QStringLiteral("Stäng"), 7680);
    connect(m_command1, &QPushButton::clicked, this, &frmArende::addRow);
    connect(m_command2, &QPushButton::clicked, this, &frmArende::changeRow);
    connect(m_command3, &QPushButton::clicked, this, &frmArende::removeRow);
    connect(m_command5, &QPushButton::clicked, this, &frmArende::save);
    connect(m_command6, &QPushButton::clicked, this, &frmArende::updateCase);
    connect(m_command4, &QPushButton::clicked, this, &frmArende::askAndClose);

    m_btnAdd = new QPushButton(QStringLiteral("add"), client);
    m_btnAdd->setObjectName(QStringLiteral("btnAdd"));
    m_btnAdd->hide();
    connect(m_btnAdd, &QPushButton::clicked, this, &frmArende::addAction);
    m_btnDelete = new QPushButton(QStringLiteral("del"), client);
    m_btnDelete->setObjectName(QStringLiteral("btnDelete"));
    m_btnDelete->hide();
    connect(m_btnDelete, &QPushButton::clicked, this, [this]() { delAction(); });

    m_notes = new CaseNotesPanel(client);
    m_notes->move(0, px(5280));
    connect(m_notes, &CaseNotesPanel::saveNotesRequested, this, [this]() { saveNotesOnly(); });
    connect(m_notes, &CaseNotesPanel::saveCustomerRequested, this, &frmArende::saveCustomer);

    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("StatusBar1"));
    m_statusBar->setFixedHeight(px(375));
    m_statusBar->setSizeGripEnabled(false); // the window has a fixed size
    // A permanent label rather than showMessage(): menu hover tips would wipe a message.
    m_statusText = new QLabel(m_statusBar);
    m_statusText->setObjectName(QStringLiteral("StatusBar1Text"));
    m_statusBar->addWidget(m_statusText, 1);
    // The VAT held in the total, where the shop has set its rate; empty otherwise.
    m_vatText = new QLabel(m_statusBar);
    m_vatText->setObjectName(QStringLiteral("StatusBar1Moms"));
    m_statusBar->addWidget(m_vatText);
    setStatusBar(m_statusBar);

    m_dbRealName = makeHiddenLabel(client, QStringLiteral("dbRealName"));
    m_dbActiveUser = makeHiddenLabel(client, QStringLiteral("dbActiveUser"));
    m_dbSum = makeHiddenLabel(client, QStringLiteral("dbSum"), QStringLiteral("0"));
    m_lblSumInfo = makeHiddenLabel(client, QStringLiteral("lblSumInfo"));
    m_appVer = makeHiddenLabel(client, QStringLiteral("appVer"));
    m_label13 = makeHiddenLabel(client, QStringLiteral("Label13"), QStringLiteral("Summa"));
    for (int i = 0; i < ArticleFieldCount; ++i)
        m_staged[i] = makeHiddenLabel(client, QStringLiteral("Label%1").arg(14 + i));

    m_lblOrderID->raise();

    setTabOrder(m_text1, m_text2);
    setTabOrder(m_text2, m_text3);
    setTabOrder(m_text3, m_cboPrio);
    setTabOrder(m_cboPrio, m_cboStat);
    setTabOrder(m_cboStat, m_listView);
    setTabOrder(m_listView, m_command1);
    setTabOrder(m_command1, m_command2);
    setTabOrder(m_command2, m_command3);
    setTabOrder(m_command3, m_command5);
    setTabOrder(m_command5, m_command6);
    setTabOrder(m_command6, m_command4);
    setTabOrder(m_command4, m_notes->firstInTabOrder());

    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void frmArende::buildMenus()
{
    QMenu *arkiv = menuBar()->addMenu(QStringLiteral("&Arkiv"));
    arkiv->setObjectName(QStringLiteral("mnuArkiv"));
    m_mnuNy = arkiv->addAction(QStringLiteral("Nytt ärende"));
    m_mnuNy->setObjectName(QStringLiteral("mnuNy"));
    arkiv->addSeparator()->setObjectName(QStringLiteral("mnuArkivBar1"));
    m_mnuSkrivUt = arkiv->addAction(QStringLiteral("Skriv ut"));
    m_mnuSkrivUt->setObjectName(QStringLiteral("mnuSkrivUt"));
    m_mnuSkrivUt->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    // Looking at the sheet and keeping it as a file need no printer; the printout above
    // keeps its own path through the progress window.
    m_mnuPreview = arkiv->addAction(QStringLiteral("Förhandsgranska…"));
    m_mnuPreview->setObjectName(QStringLiteral("mnuForhandsgranska"));
    m_mnuPreview->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
    m_mnuPdf = arkiv->addAction(QStringLiteral("Spara som PDF…"));
    m_mnuPdf->setObjectName(QStringLiteral("mnuSparaPdf"));
    arkiv->addSeparator()->setObjectName(QStringLiteral("mnuArkivBar2"));
    m_mnuHistorik = arkiv->addAction(QStringLiteral("Historik…"));
    m_mnuHistorik->setObjectName(QStringLiteral("mnuHistorik"));
    arkiv->addSeparator()->setObjectName(QStringLiteral("mnuArkivBar3"));
    m_mnuStang = arkiv->addAction(QStringLiteral("Stäng"));
    m_mnuStang->setObjectName(QStringLiteral("mnuStang"));

    QMenu *om = menuBar()->addMenu(QStringLiteral("&Om"));
    om->setObjectName(QStringLiteral("mnuOm"));
    m_mnuOm2 = om->addAction(QStringLiteral("Om Lunora..."));
    m_mnuOm2->setObjectName(QStringLiteral("mnuOm2"));

    connect(m_mnuNy, &QAction::triggered, this, &frmArende::startNewCase);
    connect(m_mnuSkrivUt, &QAction::triggered, this, &frmArende::print);
    connect(m_mnuPreview, &QAction::triggered, this, &frmArende::preview);
    connect(m_mnuPdf, &QAction::triggered, this, &frmArende::askPdfFile);
    connect(m_mnuHistorik, &QAction::triggered, this, &frmArende::showHistory);
    connect(m_mnuStang, &QAction::triggered, this, &frmArende::askAndClose);
    connect(m_mnuOm2, &QAction::triggered, this, []() { WindowRegistry::show<frmOm>(); });
}

// The state of a freshly loaded window, except for what the sign-in handed over. Used
// when the window is created and whenever it is given another case to show.
void frmArende::resetToLoaded()
{
    m_timer1->setInterval(0);
    m_timer6->setInterval(0);
    m_timer7->setInterval(0);
    m_openNotice->setInterval(0);
    // An article window left open belongs to the case shown so far; its values must not
    // end up in another case.
    if (auto *articleWindow = WindowRegistry::find<frmAddProd>())
        articleWindow->close();

    m_text1->clear();
    m_text2->clear();
    m_text3->clear();
    while (m_cboPrio->count() > 2)
        m_cboPrio->removeItem(m_cboPrio->count() - 1);
    while (m_cboStat->count() > 3)
        m_cboStat->removeItem(m_cboStat->count() - 1);
    m_cboPrio->setCurrentIndex(0);
    m_cboStat->setCurrentIndex(0);
    applyPriorityColours();

    m_articles->clear();
    m_follower->follow(QString());
    m_changedRow = QPersistentModelIndex();
    m_changeOpen = false;
    m_changedRowLost = false;
    m_articleFileUnreadable = false;
    m_notesUnreadable = false;
    m_notes->setStoredNotes(CaseNotes());
    m_notes->setSaveNotesEnabled(false); // a new case keeps its notes with "Spara"
    m_opened = {};
    m_caseState = CaseState::Unsaved;
    m_openProblems.clear();

    m_dbOrdernummer->clear();
    m_dbCDate->clear();
    m_dbCode->clear();
    m_dbRealName->setText(session().realName);
    m_dbActiveUser->setText(session().activeUser);
    m_dbSign->setText(session().sign);
    m_appVer->clear();
    for (QLabel *label : m_staged)
        label->clear();
    m_lblOrderID->clear();
    m_lblOrderID->adjustSize();

    m_mnuNy->setEnabled(true);
    m_command5->setEnabled(true);
    m_command5->setVisible(true);
    m_command6->setEnabled(false);
    m_command6->setVisible(false);

    m_dbSum->setText(QStringLiteral("0"));
    m_lblSumInfo->clear();
    m_statusText->clear();
    m_vatText->clear();
    m_vatRate = vat::readRate();
    setWindowTitle(TitleBase);
    updateTotals();
}

bool frmArende::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_listView->viewport() && event->type() == QEvent::Resize)
        fitColumns();
    else if (watched == m_text3 && event->type() == QEvent::FocusOut)
        lookUpCustomer();
    return QMainWindow::eventFilter(watched, event);
}

void frmArende::lookUpCustomer()
{
    // A telephone with a customer card fills in the customer the user has not typed
    // yet; what was typed stays. A card that is missing is not created by looking.
    if (!m_text2->text().isEmpty())
        return;
    const std::optional<CustomerRecord> customer = customerfile::find(m_text3->text());
    if (!customer)
        return;
    m_text2->setText(customer->name);
    if (m_text1->text().isEmpty())
        m_text1->setText(customer->id);
}

void frmArende::fitColumns()
{
    const int available = m_listView->viewport()->width();
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
        m_listView->header()->resizeSection(i, width);
        used += width;
    }
}

void frmArende::setRealName(const QString &name)
{
    session().realName = name;
    m_dbRealName->setText(name);
}

QString frmArende::realName() const
{
    return m_dbRealName->text();
}

void frmArende::setActiveUser(const QString &name)
{
    session().activeUser = name;
    m_dbActiveUser->setText(name);
}

QString frmArende::activeUser() const
{
    return m_dbActiveUser->text();
}

void frmArende::setSign(const QString &sign)
{
    session().sign = sign;
    m_dbSign->setText(sign);
}

QString frmArende::signedInUserId()
{
    return session().sign;
}

QString frmArende::sign() const
{
    return m_dbSign->text();
}

QString frmArende::controlCode() const
{
    return m_dbCode->text();
}

void frmArende::resetSession()
{
    session() = Session();
}

QString frmArende::unstorableValueText(const QString &fieldCaption)
{
    return QStringLiteral("Fältet \"%1\" innehåller ett tecken som inte kan sparas: ett citattecken (\"), en "
                          "radbrytning eller ett tecken som saknas i teckentabellen Windows-1252.")
               .arg(fieldCaption)
        + CrLf + CrLf + QStringLiteral("Ändra texten och försök igen. Ingenting har sparats.");
}

RegisterEntry frmArende::currentEntry() const
{
    RegisterEntry entry;
    entry[CaseNumber] = m_dbOrdernummer->text();
    entry[Created] = m_dbCDate->text();
    entry[CustomerNumber] = m_text1->text();
    entry[CustomerName] = m_text2->text();
    entry[Telephone] = m_text3->text();
    entry[Priority] = m_cboPrio->currentText();
    entry[CaseStatus] = m_cboStat->currentText();
    entry[ControlCode] = m_dbCode->text();
    entry[Signature] = m_dbSign->text();
    return entry;
}

QList<ArticleRow> frmArende::articleRows() const
{
    return m_articles->rows();
}

CaseNotes frmArende::caseNotes() const
{
    return m_notes->notes();
}

// ---- Opening ------------------------------------------------------------------------

void frmArende::prepareNewCase()
{
    WindowRegistry::caseList()->setOpenCase(true);
    m_timer1->setInterval(1);
    // While an existing case is shown the new-case start only warns; offering "Spara"
    // then would store that case a second time under its own control code.
    if (!m_mnuNy->isEnabled())
        return;
    m_command5->setEnabled(true);
    m_command5->setVisible(true);
    m_command6->setEnabled(false);
    m_command6->setVisible(false);
}

void frmArende::startNewCase()
{
    if (!m_mnuNy->isEnabled()) {
        MessageBox::show(this, QStringLiteral("Varning"),
            QStringLiteral("Detta alternativ är ej tillgängligt!"), MessageBox::Ok, MessageBox::Exclamation);
        return;
    }

    const double r = QRandomGenerator::global()->generateDouble(); // 0 <= r < 1
    const int serial = std::clamp(static_cast<int>(r * 9999), 0, 9998);
    const QDate today = QDate::currentDate();
    const QString number
        = today.toString(QStringLiteral("yyMMdd")) + QLatin1Char(' ') + QString::number(serial);

    // Rows already in the list were written under the previous control code; shown
    // under the new one they would be saved with a case whose article file lacks them.
    if (m_articles->rowCount() > 0) {
        m_articles->clear();
        m_changedRow = QPersistentModelIndex();
    }
    m_changedRowLost = false;

    m_dbOrdernummer->setText(number);
    m_dbCDate->setText(today.toString(QStringLiteral("yyyy-MM-dd")));
    setFittedText(m_dbCode, NewControlCode(), formFont().pointSizeF());
    if (const Result<QString> path = paths::articleFile(m_dbCode->text()); path)
        m_follower->follow(path.value());
    m_dbSign->setText(m_dbActiveUser->text());
    // A name already in the field is the customer's: the placeholder stands only for none.
    m_lblOrderID->setText(m_text2->text().isEmpty() ? QStringLiteral("[Kund saknas]") : m_text2->text());
    m_lblOrderID->adjustSize();
    setWindowTitle(TitlePrefix + number);
    m_vatRate = vat::readRate();
    updateTotals();
}

void frmArende::openExistingCase(const RegisterEntry &entry)
{
    WindowRegistry::caseList()->setOpenCase(true);
    resetToLoaded();

    m_command5->setEnabled(false);
    m_command5->setVisible(false);
    m_command6->setEnabled(true);
    m_command6->setVisible(true);
    m_mnuNy->setEnabled(false);

    m_opened = entry;
    m_caseState = CaseState::Saved;
    m_dbOrdernummer->setText(entry[CaseNumber]);
    m_dbCDate->setText(entry[Created]);
    m_text1->setText(entry[CustomerNumber]);
    m_text2->setText(entry[CustomerName]);
    m_text3->setText(entry[Telephone]);
    selectComboText(m_cboPrio, entry[Priority], QStringLiteral("Prioritet"));
    selectComboText(m_cboStat, entry[CaseStatus], QStringLiteral("Status"));
    setFittedText(m_dbCode, entry[ControlCode], formFont().pointSizeF());
    m_dbSign->setText(entry[Signature]);
    setWindowTitle(TitlePrefix + entry[CaseNumber]);

    const QString code = entry[ControlCode];
    const Result<QString> path = paths::articleFile(code);
    if (!path) {
        m_articleFileUnreadable = true;
        m_openProblems << QStringLiteral("- Artikelraderna kunde inte läsas: kontrollnumret \"%1\" kan inte "
                                         "användas som filnamn.")
                              .arg(code);
    } else if (m_follower->follow(path.value()); !fileio::exists(path.value())) {
        m_openProblems << QStringLiteral("- Artikelfilen saknas (%1). Ärendet visas utan artikelrader.")
                              .arg(nativePath(path.value()));
    } else {
        const Result<QList<ArticleRow>> rows = articlefile::load(path.value());
        if (rows)
            m_articles->setRows(rows.value());
        else {
            m_articleFileUnreadable = true;
            m_openProblems << QStringLiteral(
                "- Artikelfilen kunde inte läsas (%1). Ärendet visas utan "
                "artikelrader, och raderna kan inte ändras förrän filen går att läsa.")
                                  .arg(nativePath(path.value()));
        }
    }

    if (const Result<QString> notesPath = paths::notesFile(code); notesPath) {
        const Result<CaseNotes> notes = notesfile::load(notesPath.value());
        if (notes) {
            m_notes->setStoredNotes(notes.value());
            m_notes->setSaveNotesEnabled(true);
        } else {
            m_notesUnreadable = true;
            m_openProblems << QStringLiteral(
                "- Anteckningarna kunde inte läsas (%1). De kan inte sparas förrän "
                "filen går att läsa.")
                                  .arg(nativePath(notesPath.value()));
        }
    }

    m_dbActiveUser->setText(entry[Signature]);
    m_appVer->setText(QStringLiteral("1"));
    updateBanner();
    updateTotals();

    // Told once the window is on the screen, not while the overview is still opening it.
    if (!m_openProblems.isEmpty())
        m_openNotice->setInterval(1);
}

// A register value that is not one of the box's entries is kept as an extra entry, so
// that the case shows what the register holds and "Uppdatera" writes it back unchanged.
void frmArende::selectComboText(QComboBox *box, const QString &text, const QString &fieldCaption)
{
    const int found = box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (found >= 0) {
        box->setCurrentIndex(found);
        return;
    }
    box->addItem(text);
    box->setCurrentIndex(box->count() - 1);
    if (text.isEmpty())
        m_openProblems << QStringLiteral("- %1 saknas i ärenderegistret.").arg(fieldCaption);
    else
        m_openProblems << QStringLiteral("- %1 \"%2\" är inget av listans val; värdet visas som det står.")
                              .arg(fieldCaption, text);
}

void frmArende::showOpenProblems()
{
    if (m_openProblems.isEmpty())
        return;
    MessageBox::show(this, QStringLiteral("Ärende"),
        QStringLiteral("Ärendet är öppnat, men allt kunde inte läsas:") + CrLf + CrLf
            + m_openProblems.join(CrLf),
        MessageBox::Ok, MessageBox::Exclamation);
}

// ---- Displays -----------------------------------------------------------------------

void frmArende::applyPriorityColours()
{
    QPalette palette = m_cboPrio->palette();
    if (m_cboPrio->currentIndex() == 1) {
        palette.setColor(QPalette::Button, QColor(255, 0, 0));
        palette.setColor(QPalette::ButtonText, Qt::white);
    } else if (m_cboPrio->currentIndex() == 0) {
        palette.setColor(QPalette::Button, Qt::white);
        palette.setColor(QPalette::ButtonText, Qt::black);
    } else {
        return; // a value kept from the register keeps the colours it had
    }
    m_cboPrio->setPalette(palette);
}

void frmArende::updateBanner()
{
    m_lblOrderID->setText(m_text2->text());
    m_lblOrderID->adjustSize();
}

void frmArende::updateTotals()
{
    double total = 0.0;
    for (const ArticleRow &row : m_articles->rows()) {
        // Read as a plain decimal: a folder written on a Swedish desktop totals the same
        // on an English one.
        if (const std::optional<double> value = numbers::plainDecimal(row[Sum]))
            total += *value;
    }
    m_dbSum->setText(numbers::formatTwoDecimals(total));

    // The displays judge the total as it is shown, so that they agree with dbSum.
    const double shown = numbers::plainDecimal(m_dbSum->text()).value_or(0.0);
    if (shown >= 0.0) {
        m_statusText->setText(QStringLiteral(" Att betala (Inkl): ") + m_dbSum->text());
        m_lblSumInfo->setText(QStringLiteral("Att betala"));
        m_vatText->setText(vat::lineText(m_vatRate, m_dbSum->text()));
        setWindowTitle(TitlePrefix + m_dbOrdernummer->text());
    } else if (shown <= -1.0) {
        m_statusText->setText(QStringLiteral(" Er tillgodo (Inkl): ") + m_dbSum->text());
        m_lblSumInfo->setText(QStringLiteral("Er tillgodo"));
        m_vatText->setText(vat::lineText(m_vatRate, m_dbSum->text()));
        setWindowTitle(TitlePrefix + m_dbOrdernummer->text() + CreditMark);
    }
    // Between -1 and 0 every display keeps what it showed.
}

// ---- Saving, updating, closing ------------------------------------------------------

bool frmArende::refuseUnstorable(const RegisterEntry &entry, const QString &title)
{
    const int field = caseregister::firstUnstorableField(entry);
    if (field < 0)
        return false;
    MessageBox::show(this, title, unstorableValueText(registerFieldCaptions().value(field)), MessageBox::Ok,
        MessageBox::Exclamation);
    return true;
}

void frmArende::save()
{
    // Blanks count as content; only an empty field is missing.
    if (m_text1->text().isEmpty() || m_text2->text().isEmpty() || m_text3->text().isEmpty()
        || m_articles->rowCount() == 0) {
        MessageBox::show(this, QStringLiteral("Felmeddelande"),
            QStringLiteral("Du måste fylla i dessa fält: ") + CrLf + CrLf + QStringLiteral("- Kundnummer")
                + CrLf + QStringLiteral("- Namn") + CrLf + QStringLiteral("- Telefon") + CrLf
                + QStringLiteral("- Artikeldata"),
            MessageBox::Ok, MessageBox::Exclamation);
        return;
    }

    const RegisterEntry entry = currentEntry();
    if (refuseUnstorable(entry, QStringLiteral("Spara")))
        return;
    if (refuseUnstorableNotes(QStringLiteral("Spara")))
        return;

    auto fail = [this](const QString &reason) {
        MessageBox::show(this, QStringLiteral("Spara"),
            QStringLiteral("Ärendet kunde inte sparas.") + CrLf + CrLf + reason + CrLf + CrLf
                + QStringLiteral("Allt du har skrivit finns kvar i fönstret."),
            MessageBox::Ok, MessageBox::Exclamation);
    };

    const StoreResult saved = CaseStore::saveNewCase(entry, m_notes->notes());
    switch (saved.kind) {
    case StoreError::None:
        break;
    case StoreError::MissingFolder:
        fail(QStringLiteral("Mappen Lib saknas i datamappen (%1).")
                 .arg(nativePath(DataFolder::path(u"\\Lib"))));
        return;
    case StoreError::UnsafeName:
        fail(QStringLiteral("Kontrollnumret \"%1\" kan inte användas som filnamn.").arg(entry[ControlCode]));
        return;
    case StoreError::UnstorableValue:
        refuseUnstorable(entry, QStringLiteral("Spara"));
        return;
    case StoreError::UnstorableNote:
        refuseUnstorableNotes(QStringLiteral("Spara"));
        return;
    case StoreError::Busy:
        showFolderBusy(this);
        return;
    default:
        fail(QStringLiteral("Ärendets filer kunde inte skrivas i datamappen (%1).")
                 .arg(nativePath(DataFolder::path(u"\\Lib"))));
        return;
    }

    m_caseState = CaseState::Saved;
    WindowRegistry::caseList()->refresh();
    close();
}

void frmArende::updateCase()
{
    const QString oldAuthor = m_dbActiveUser->text();
    const QString newAuthor = m_dbRealName->text();

    RegisterEntry entry = currentEntry();
    entry[Signature] = newAuthor;
    if (const StoreResult checked = CaseStore::checkReplacement(entry, m_opened); !checked) {
        if (checked.field >= 0)
            MessageBox::show(this, QStringLiteral("Uppdatera"),
                unstorableValueText(registerFieldCaptions().value(checked.field)), MessageBox::Ok,
                MessageBox::Exclamation);
        return;
    }
    if (refuseUnstorableNotes(QStringLiteral("Uppdatera")))
        return;

    const MessageBox::Answer answer = MessageBox::show(this, QStringLiteral("Bekräfta"),
        QStringLiteral("Vill du uppdatera, författare (användare) ") + oldAuthor + QStringLiteral(" till ")
            + newAuthor + QStringLiteral("?"),
        MessageBox::YesNo, MessageBox::Information);
    if (answer != MessageBox::AnswerYes)
        return;

    // The case list replaces the line and its row together; without the overview the
    // store alone does, and the list is read anew when the overview opens.
    const StoreResult replaced = WindowRegistry::caseList()->replaceCase(entry);
    if (!replaced) {
        // Nothing was stored: the window stays open with everything the user typed.
        if (replaced.kind == StoreError::NotFound)
            MessageBox::show(this, QStringLiteral("Uppdatering"),
                QStringLiteral("Ärendet har tagits bort vid en annan kassa."), MessageBox::Ok,
                MessageBox::Exclamation);
        else
            showStoreFailure(this, QStringLiteral("Uppdatering"), replaced);
        return;
    }
    m_opened = entry;
    // The notes are stored with the update; when they cannot be, nothing of it is done.
    if (m_notes->hasUnsavedNotes() && !saveNotesOnly())
        return;

    m_dbActiveUser->setText(newAuthor);
    m_dbSign->setText(m_dbActiveUser->text());

    MessageBox::show(this, QStringLiteral("Bekräftelse"), QStringLiteral("Uppdatering slutförd!"),
        MessageBox::Ok, MessageBox::Information);

    WindowRegistry::caseList()->refresh();
    close();
}

// The notes go before the closing question: "Ja" stores them (for a new case, with the
// case itself, as "Spara" does), "Nej" lets them go, "Avbryt" keeps the window open.
bool frmArende::settleUnsavedNotes()
{
    if (!m_notes->hasUnsavedNotes())
        return true;
    const MessageBox::Answer answer = MessageBox::show(this, QStringLiteral("Anteckningar"),
        QStringLiteral("Spara anteckningarna?"), MessageBox::YesNoCancel, MessageBox::Exclamation);
    if (answer == MessageBox::AnswerNo)
        return true;
    if (answer != MessageBox::AnswerYes)
        return false;
    if (m_command5->isVisible()) {
        // Saved as "Spara" saves, which closes the window once the case is stored and
        // keeps it open with a message otherwise. Queued, so that a close in progress
        // has ended first and the save's own close is not swallowed by it.
        QMetaObject::invokeMethod(this, &frmArende::save, Qt::QueuedConnection);
        return false;
    }
    return saveNotesOnly();
}

bool frmArende::refuseUnstorableNotes(const QString &title)
{
    const StoreResult checked = CaseStore::checkNotes(m_notes->notes());
    if (checked.kind != StoreError::UnstorableNote)
        return false;
    const auto field = notesfile::Field(checked.field);
    MessageBox::show(this, title,
        QStringLiteral("Fältet \"%1\" innehåller ett tecken som saknas i teckentabellen Windows-1252 och "
                       "inte kan sparas.")
                .arg(notesfile::fieldCaption(field))
            + CrLf + CrLf + QStringLiteral("Ändra texten och försök igen. Ingenting har sparats."),
        MessageBox::Ok, MessageBox::Exclamation);
    return true;
}

bool frmArende::saveNotesOnly()
{
    const QString title = QStringLiteral("Spara anteckningar");
    if (refuseUnstorableNotes(title))
        return false;
    auto fail = [this, &title](const QString &reason) {
        MessageBox::show(this, title,
            QStringLiteral("Anteckningarna kunde inte sparas.") + CrLf + CrLf + reason + CrLf + CrLf
                + QStringLiteral("Det du har skrivit finns kvar i fönstret."),
            MessageBox::Ok, MessageBox::Exclamation);
        return false;
    };
    if (m_notesUnreadable)
        return fail(QStringLiteral("Anteckningsfilen kunde inte läsas när ärendet öppnades och skrivs därför "
                                   "inte över."));
    const Result<QString> path = paths::notesFile(m_dbCode->text());
    if (!path)
        return fail(
            QStringLiteral("Kontrollnumret \"%1\" kan inte användas som filnamn.").arg(m_dbCode->text()));
    if (const StoreResult stored = CaseStore::saveNotes(m_dbCode->text(), m_notes->notes(), m_caseState);
        !stored) {
        if (showIfBusy(this, stored))
            return false;
        if (stored.kind == StoreError::CaseRemoved) {
            showStoreFailure(this, title, stored);
            return false;
        }
        return fail(QStringLiteral("Filen %1 kunde inte skrivas.").arg(nativePath(path.value())));
    }
    m_notes->markSaved();
    return true;
}

void frmArende::saveCustomer()
{
    CustomerRecord customer;
    customer.id = m_text1->text();
    customer.name = m_text2->text();
    customer.phone1 = m_text3->text();
    const QString title = QStringLiteral("Spara kund");
    const customercards::Outcome outcome = customercards::create(customer.phone1, customer);
    if (outcome.error == customercards::Error::Busy) {
        showFolderBusy(this);
        return;
    }
    if (!outcome.ok()) {
        QString text;
        switch (outcome.error) {
        case customercards::Error::Exists:
            text
                = QStringLiteral("Det finns redan ett kundkort för telefonnumret \"%1\". Det kortet har inte "
                                 "ändrats; öppna det med \"Visa kunddata..\" i översikten.")
                      .arg(customer.phone1);
            break;
        case customercards::Error::ReservedName:
            text = customer.phone1.isEmpty()
                ? QStringLiteral("Fyll i telefonnumret först: kundkortet sparas under kundens telefonnummer.")
                : QStringLiteral(
                    "Kundkortet kan inte sparas: \"%1\" är namnet på en av programmets egna filer.")
                      .arg(customer.phone1);
            break;
        case customercards::Error::UnsafeName:
            text = QStringLiteral("Kundkortet kan inte sparas: telefonnumret \"%1\" kan inte användas som "
                                  "filnamn (det får inte innehålla / eller \\ och inte vara . eller ..).")
                       .arg(customer.phone1);
            break;
        case customercards::Error::Unstorable: {
            // The card holds three of this window's fields; the refusal names the one at
            // fault by its caption here, with what a card (not the register) cannot hold.
            const int field = outcome.field == 0 ? CustomerNumber
                : outcome.field == 1             ? CustomerName
                                                 : Telephone;
            text = frmKundData::unstorableValueText(registerFieldCaptions().value(field));
            break;
        }
        default:
            text = QStringLiteral("Kundkortet kunde inte sparas (%1).")
                       .arg(nativePath(
                           DataFolder::path(u"\\Lib\\") + customer.phone1 + QStringLiteral(".ini")));
            break;
        }
        MessageBox::show(this, title, text, MessageBox::Ok, MessageBox::Exclamation);
        return;
    }
    // The card just made, for the address and the rest to be filled in with "Ändra".
    WindowRegistry::get<frmKundData>()->showCustomer(customer.phone1);
}

void frmArende::askAndClose()
{
    if (!settleUnsavedNotes())
        return;
    const MessageBox::Answer answer = MessageBox::show(this, QStringLiteral("Avsluta"),
        QStringLiteral("Vill du avsluta programet ?"), MessageBox::YesNo, MessageBox::Exclamation);
    if (answer == MessageBox::AnswerYes)
        close();
}

void frmArende::closeEvent(QCloseEvent *event)
{
    // A box of this window is its child and runs its own event loop: closing (and so
    // deleting) the window under it would pull the box away from under that loop. A
    // close asked for meanwhile (the timed close after "Skriv ut") waits for the answer.
    if (MessageBox::isOpenFor(this)) {
        event->ignore();
        m_timer6->setInterval(100);
        return;
    }
    // The window's own close button: unsaved notes are not dropped without a question.
    // Closes made by the program (after "Spara", or a printout) have nothing to ask.
    if (event->spontaneous() && !settleUnsavedNotes()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
    if (!event->isAccepted())
        return;
    // The article window adds to this case; without it there is nothing to add to.
    if (auto *articleWindow = WindowRegistry::find<frmAddProd>())
        articleWindow->close();
    // The history shown is this case's.
    if (auto *history = WindowRegistry::find<frmHistorik>())
        history->close();
    // A preview or a PDF dialog shows this case; it goes when the case goes.
    for (QDialog *dialog : findChildren<QDialog *>(Qt::FindDirectChildrenOnly)) {
        if (qobject_cast<QPrintPreviewDialog *>(dialog) || qobject_cast<QFileDialog *>(dialog))
            dialog->close();
    }
    WindowRegistry::caseList()->setOpenCase(false);
}

// ---- Printing -----------------------------------------------------------------------

void frmArende::print()
{
    WindowRegistry::show<frmPrint>();
}

void frmArende::startPrintSheet()
{
    m_timer3->setInterval(1);
}

void frmArende::startPrintAndClose()
{
    m_timer5->setInterval(1);
}

void frmArende::printAndClose()
{
    print();
    m_timer6->setInterval(2000);
}

CaseSheetData frmArende::sheetData() const
{
    CaseSheetData data;
    data.caseNumber = m_dbOrdernummer->text();
    data.created = m_dbCDate->text();
    data.controlCode = m_dbCode->text();
    data.signature = m_dbSign->text();
    data.customerNumber = m_text1->text();
    data.customerName = m_text2->text();
    data.telephone = m_text3->text();
    data.priority = m_cboPrio->currentText();
    data.status = m_cboStat->currentText();
    data.sumLabel = m_lblSumInfo->text();
    data.sumText = m_dbSum->text();
    data.columnCaptions = ArticleListModel::columnCaptions();
    // The sheet sizes its table like the list on the screen, in 1/1440 inch.
    const double unitsPerPixel = 1440.0 / std::max(1, m_listView->logicalDpiX());
    for (int i = 0; i < ArticleFieldCount; ++i)
        data.columnWidths << m_listView->header()->sectionSize(i) * unitsPerPixel;
    for (const ArticleRow &row : m_articles->rows())
        data.rows << QStringList(row.begin(), row.end());
    data.notes = caseNotes();
    return data;
}

void frmArende::printSheet()
{
    const CaseSheetData data = sheetData();
    // One attempt per request: a failed printout is reported once and not retried.
    const Status printed = printCaseSheetOnDefaultPrinter(data);
    if (printed.ok())
        notePrintout(data.controlCode, casehistory::printed());
    showPrintFailure(this, printed);
}

void frmArende::showHistory()
{
    // A case not saved yet has a history as soon as it has rows: they are in its files.
    WindowRegistry::show<frmHistorik>()->showCase(m_dbCode->text(), m_dbOrdernummer->text(), m_text2->text());
}

void frmArende::preview()
{
    // A sheet that cannot be drawn is reported before the preview would show it blank.
    const Status sources = checkCaseSheetSources();
    if (!sources.ok()) {
        showPreviewFailure(sources);
        return;
    }
    // Not modal on the stack: the window may be closed (Timer6) while the preview is open,
    // and the preview then goes with it. The sheet is drawn from the case as it is now.
    auto *dialog = new QPrintPreviewDialog(this);
    dialog->setObjectName(QStringLiteral("dlgForhandsgranska"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(QStringLiteral("Förhandsgranska - Ärende %1").arg(m_dbOrdernummer->text()));
    dialog->resize(px(12000), px(13500));
    const CaseSheetData data = sheetData();
    connect(dialog, &QPrintPreviewDialog::paintRequested, dialog, [data](QPrinter *printer) {
        // A failure here leaves the page empty; the sources were checked just before.
        (void)printCaseSheetOn(printer, data);
    });
    // The dialog is accepted once its own print button has sent the sheet on.
    connect(dialog, &QDialog::accepted, this,
        [this, code = data.controlCode]() { notePrintout(code, casehistory::printed()); });
    dialog->open();
}

QString frmArende::defaultPdfPath() const
{
    // The case number comes from the register and may hold anything; the file name must
    // stay one plain name in the documents folder.
    QString number = m_dbOrdernummer->text();
    for (QChar &c : number) {
        if (c == u'/' || c == u'\\' || c == u':' || c.unicode() < 32)
            c = u'_';
    }
    QString name = QStringLiteral("Ärende %1.pdf").arg(number.trimmed());
    if (number.trimmed().isEmpty() || number.contains(QStringLiteral("..")))
        name = QStringLiteral("Ärende.pdf");
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    return QDir(folder).filePath(name);
}

void frmArende::askPdfFile()
{
    auto *dialog = new QFileDialog(
        this, QStringLiteral("Spara som PDF"), defaultPdfPath(), QStringLiteral("PDF-filer (*.pdf)"));
    dialog->setObjectName(QStringLiteral("dlgSparaPdf"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setDefaultSuffix(QStringLiteral("pdf"));
    dialog->selectFile(defaultPdfPath());
    // The case is taken as it is when the user asked, not as it may be after the dialog.
    const CaseSheetData data = sheetData();
    connect(dialog, &QFileDialog::fileSelected, this, [this, data](const QString &file) {
        if (!file.isEmpty())
            savePdf(file, data);
    });
    dialog->open();
}

bool frmArende::savePdf(const QString &file)
{
    return savePdf(file, sheetData());
}

bool frmArende::savePdf(const QString &file, const CaseSheetData &data)
{
    const Status saved = printCaseSheetToPdf(file, data);
    if (!saved.ok()) {
        showPreviewFailure(saved);
        return false;
    }
    notePrintout(data.controlCode, casehistory::savedAsPdf());
    return true;
}

void frmArende::notePrintout(const QString &controlCode, const QString &event)
{
    const StoreResult noted = CaseStore::notePrintout(controlCode, event, m_caseState);
    if (noted.kind == StoreError::CaseRemoved)
        showStoreFailure(this, QStringLiteral("Utskrift"), noted);
}

void frmArende::showPreviewFailure(const Status &failure)
{
    MessageBox::show(this, QStringLiteral("Utskrift"),
        failure.error() + QStringLiteral("\r\n\r\nÄrendesidan kunde inte ritas."), MessageBox::Ok,
        MessageBox::Exclamation);
}

// ---- Article rows -------------------------------------------------------------------

QList<int> frmArende::selectedRows() const
{
    QList<int> rows;
    for (const QModelIndex &index : m_listView->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

void frmArende::addRow()
{
    m_changedRow = QPersistentModelIndex();
    m_changeOpen = false;
    m_changedRowLost = false;
    WindowRegistry::show<frmAddProd>()->openAdd();
}

void frmArende::changeRow()
{
    const QList<int> rows = selectedRows();
    if (rows.isEmpty())
        return;
    const QModelIndex current = m_listView->currentIndex();
    const int row = current.isValid() && rows.contains(current.row()) ? current.row() : rows.first();
    m_changedRow = QPersistentModelIndex(m_articles->index(row, 0));
    m_changeOpen = true;
    m_changedRowLost = false;
    WindowRegistry::show<frmAddProd>()->openChange(m_articles->row(row));
}

void frmArende::removeRow()
{
    const QList<int> rows = selectedRows();
    if (rows.isEmpty())
        return;
    const QModelIndex current = m_listView->currentIndex();
    const ArticleRow &row
        = m_articles->row(current.isValid() && rows.contains(current.row()) ? current.row() : rows.first());
    const QString text = QStringLiteral("Är det säkert att du vill ta bort följande rad: ")
        + row[ArticleNumber] + QStringLiteral("     ") + row[Description] + QStringLiteral(" ?") + CrLf + CrLf
        + QStringLiteral("Denna åtgärd går ej att backa, all data kommer att raderas!");
    const MessageBox::Answer answer = MessageBox::show(this, QStringLiteral("Bekräfta"), text,
        MessageBox::YesNo, MessageBox::Exclamation, MessageBox::AnswerNo);
    if (answer == MessageBox::AnswerYes)
        delAction();
}

// The file is written first and the list follows only when it succeeded, so that list
// and file never disagree after a failure.
bool frmArende::delAction()
{
    const QList<int> rows = selectedRows();
    if (rows.isEmpty())
        return true;
    if (m_articleFileUnreadable) {
        MessageBox::show(this, QStringLiteral("Uppdatering"),
            QStringLiteral("Artikelfilen kunde inte läsas när ärendet öppnades och skrivs därför inte "
                           "om. Ingen rad har tagits bort."),
            MessageBox::Ok, MessageBox::Exclamation);
        return false;
    }
    QList<ArticleRow> removed;
    for (const int row : rows)
        removed << m_articles->row(row);
    if (const StoreResult done = CaseStore::removeArticleRows(m_dbCode->text(), removed, m_caseState);
        !done) {
        showRowOutcome(done);
        return false;
    }
    m_articles->removeRowsAt(rows);
    return true;
}

ArticleRow frmArende::stagedRow() const
{
    ArticleRow row;
    for (int i = 0; i < ArticleFieldCount; ++i)
        row[i] = m_staged[i]->text();
    return row;
}

void frmArende::addAction()
{
    const ArticleRow row = stagedRow();
    if (const StoreResult added = CaseStore::addArticleRow(m_dbCode->text(), row, m_caseState); !added) {
        showRowOutcome(added);
        return;
    }
    m_articles->appendRow(row);
}

// A row change that could not be made: a busy folder, a row that another desk changed
// or removed since the list was read (the list is read anew, so that the next change
// starts from what the file holds), or a failed write.
void frmArende::showRowOutcome(const StoreResult &result)
{
    if (showIfBusy(this, result))
        return;
    if (result.kind == StoreError::CaseRemoved) {
        showStoreFailure(this, QStringLiteral("Artikeldata"), result);
        return;
    }
    if (result.kind == StoreError::NotFound) {
        reloadArticleRows();
        MessageBox::show(this, QStringLiteral("Artikeldata"),
            QStringLiteral("Raden har ändrats vid en annan kassa. Listan har lästs in på nytt."),
            MessageBox::Ok, MessageBox::Information);
        return;
    }
    showRowFailure(this);
}

void frmArende::reloadArticleRows()
{
    const Result<QString> path = paths::articleFile(m_dbCode->text());
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

void frmArende::followArticles()
{
    const Result<QString> path = paths::articleFile(m_dbCode->text());
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
    m_articleFileUnreadable = false;
    showRows(rows);
}

namespace {
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

void frmArende::showRows(const QList<ArticleRow> &rows)
{
    const QList<ArticleRow> before = m_articles->rows();
    const QList<int> selected = selectedRows();
    const QModelIndex current = m_listView->currentIndex();
    const int changed = m_changedRow.isValid() ? m_changedRow.row() : -1;

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
    m_changedRow = changedPlace >= 0 ? QPersistentModelIndex(m_articles->index(changedPlace, 0))
                                     : QPersistentModelIndex();
    if (changed >= 0 && changedPlace < 0)
        m_changedRowLost = true;
    QItemSelectionModel *selection = m_listView->selectionModel();
    if (currentPlace >= 0)
        selection->setCurrentIndex(m_articles->index(currentPlace, 0), QItemSelectionModel::NoUpdate);
    for (const int place : std::as_const(selectedPlaces))
        selection->select(
            m_articles->index(place, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    updateTotals();
}

void frmArende::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    // A share's other machines write unseen by any watcher: a look whenever the user
    // comes back to the window.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        m_follower->check();
}

void frmArende::addArticleRow(const ArticleRow &row)
{
    m_articles->appendRow(row);
}

void frmArende::stageRow(const ArticleRow &row)
{
    for (int i = 0; i < ArticleFieldCount; ++i)
        m_staged[i]->setText(row[i]);
}

void frmArende::startReplaceRow()
{
    m_timer7->setInterval(1);
}

// A changed row leaves its place and becomes the last row of the list and of the file.
void frmArende::replaceAction()
{
    QList<int> rows;
    if (m_changedRow.isValid())
        rows << m_changedRow.row();
    else if (!m_changeOpen)
        rows = selectedRows();
    // A row opened with "Ändra" and removed meanwhile is gone: the edited values become
    // a new row, and no other row (the one selected now) is taken in its stead.
    m_changedRow = QPersistentModelIndex();
    m_changeOpen = false;
    if (std::exchange(m_changedRowLost, false)) {
        showRowOutcome(StoreResult::failure(
            StoreError::NotFound, QStringLiteral("The row changed was changed at another desk")));
        return;
    }

    if (rows.isEmpty()) {
        addAction();
        return;
    }
    if (m_articleFileUnreadable) {
        delAction();
        return;
    }

    const ArticleRow staged = stagedRow();
    StoreResult done;
    if (rows.size() == 1) {
        // One rewrite: no moment in which the changed row is in neither place.
        done = CaseStore::replaceArticleRow(
            m_dbCode->text(), m_articles->row(rows.first()), staged, m_caseState);
    } else {
        QList<ArticleRow> removed;
        for (const int row : std::as_const(rows))
            removed << m_articles->row(row);
        done = CaseStore::removeArticleRows(m_dbCode->text(), removed, m_caseState);
        if (done) {
            m_articles->removeRowsAt(rows);
            rows.clear();
            done = CaseStore::addArticleRow(m_dbCode->text(), staged, m_caseState);
        }
    }
    if (!done) {
        showRowOutcome(done);
        return;
    }
    m_articles->removeRowsAt(rows);
    m_articles->appendRow(staged);
}

} // namespace lunora
