// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/frmTidigareArenden.h"

#include "gui/caselist.h"
#include "gui/caselistmodel.h"
#include "gui/frmArende.h"
#include "gui/pushbutton.h"
#include "gui/reportlist.h"
#include "gui/units.h"
#include "gui/windowregistry.h"

#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>

namespace lunora {

namespace {
// What tells one earlier case from another; the customer's number, the priority and the
// control code say nothing new here.
constexpr RegisterField HiddenColumns[] = { CustomerNumber, Priority, ControlCode };

QPushButton *makeButton(QWidget *parent, const char *name, const QString &caption, int left)
{
    QPushButton *button = makePushButton(parent, QString::fromLatin1(name), caption);
    placeAt(button, left, 4200, 1095, 375);
    return button;
}
} // namespace

frmTidigareArenden::frmTidigareArenden(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmTidigareArenden"));
    setWindowTitle(QStringLiteral("Tidigare ärenden"));
    setFont(formFont());
    const QIcon icon(QStringLiteral(":/lunora/icon.png"));
    if (!icon.isNull())
        setWindowIcon(icon);
    setClientSize(this, 10680, 4695);

    m_caption = new QLabel(this);
    m_caption->setObjectName(QStringLiteral("lblKund"));
    m_caption->setFont(formFont(8.25, true));
    placeAt(m_caption, 120, 120, 10440, 255);

    m_model = new CaseListModel(this);
    m_proxy = new QSortFilterProxyModel(this);
    m_proxy->setSourceModel(m_model);
    m_list = new QTableView(this);
    m_list->setObjectName(QStringLiteral("lstTidigare"));
    m_list->setAccessibleName(QStringLiteral("Tidigare ärenden"));
    m_list->setModel(m_proxy);
    setUpReportList(m_list);
    QHeaderView *columns = m_list->horizontalHeader();
    for (int column = 0; column < RegisterFieldCount; ++column)
        columns->resizeSection(column, px(CaseListModel::columnWidthUnits(column)));
    for (const RegisterField column : HiddenColumns)
        m_list->setColumnHidden(column, true);
    columns->setStretchLastSection(true);
    // The rows come newest first; a click on a column header sorts by it instead.
    m_list->setSortingEnabled(true);
    columns->setSortIndicatorShown(false);
    connect(
        columns, &QHeaderView::sectionClicked, this, [columns]() { columns->setSortIndicatorShown(true); });
    placeAt(m_list, 120, 480, 10440, 3600);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("lblStatus"));
    placeAt(m_status, 120, 4260, 7200, 255);

    m_open = makeButton(this, "cmdOppna", QStringLiteral("Öppna"), 8265);
    m_close = makeButton(this, "cmdStang", QStringLiteral("Stäng"), 9465);
    connect(m_open, &QPushButton::clicked, this, &frmTidigareArenden::openCurrent);
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);
    addCloseKeys(this, m_close);
    // Enter and a double click both activate a row.
    connect(m_list, &QTableView::activated, this, &frmTidigareArenden::openCurrent);
    setTabOrder(m_list, m_open);
    setTabOrder(m_open, m_close);

    // The customer's cases as the list holds them, also after another desk's change.
    CaseList *cases = WindowRegistry::caseList();
    connect(cases, &CaseList::reloaded, this, &frmTidigareArenden::search);
    connect(cases, &CaseList::caseAdded, this, &frmTidigareArenden::search);
    connect(cases, &CaseList::caseReplaced, this, &frmTidigareArenden::search);
    connect(cases, &CaseList::caseRemoved, this, &frmTidigareArenden::search);
}

frmTidigareArenden::~frmTidigareArenden() = default;

void frmTidigareArenden::showCustomer(
    const CustomerKey &customer, const QString &customerName, const QString &exceptControlCode)
{
    m_state = State { customer, customerName, exceptControlCode };
    QStringList said;
    for (const QString &part : { customerName.trimmed(), customer.telephone.trimmed() }) {
        if (!part.isEmpty())
            said << part;
    }
    if (!customer.customerNumber.trimmed().isEmpty())
        said << QStringLiteral("kundnummer ") + customer.customerNumber.trimmed();
    m_caption->setText(said.join(QStringLiteral(", ")));
    // Newest first again, whatever the last customer's list was sorted by.
    m_proxy->sort(-1);
    m_list->horizontalHeader()->setSortIndicatorShown(false);
    search();
    if (m_proxy->rowCount() > 0)
        m_list->setCurrentIndex(m_proxy->index(0, 0));
    m_list->setFocus();
}

void frmTidigareArenden::search()
{
    const CaseList *cases = WindowRegistry::caseList();
    QList<RegisterEntry> found;
    if (cases->isOpen())
        found = findCustomerCases(*cases->model(), m_state.customer, m_state.exceptControlCode);
    // The case the clerk stands on stays the current one where it is still listed.
    const QString current = entryAt(m_list->currentIndex().row())[ControlCode];
    m_model->setEntries(found);
    for (int row = 0; !current.isEmpty() && row < m_proxy->rowCount(); ++row) {
        if (entryAt(row)[ControlCode] == current) {
            m_list->setCurrentIndex(m_proxy->index(row, 0));
            break;
        }
    }
    const int count = m_model->rowCount();
    m_status->setText(count == 0 ? QStringLiteral("Kunden har inga andra ärenden.")
            : count == 1         ? QStringLiteral("1 ärende")
                                 : QStringLiteral("%1 ärenden").arg(count));
    m_open->setEnabled(count > 0);
}

int frmTidigareArenden::rowCount() const
{
    return m_proxy->rowCount();
}

RegisterEntry frmTidigareArenden::entryAt(int viewRow) const
{
    if (viewRow < 0 || viewRow >= m_proxy->rowCount())
        return {};
    return m_model->entry(m_proxy->mapToSource(m_proxy->index(viewRow, 0)).row());
}

QString frmTidigareArenden::statusText() const
{
    return m_status->text();
}

void frmTidigareArenden::openCurrent()
{
    const RegisterEntry entry = entryAt(m_list->currentIndex().row());
    if (!entry[ControlCode].isEmpty())
        frmArende::showCase(entry);
}

} // namespace lunora
