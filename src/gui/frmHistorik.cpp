// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/frmHistorik.h"

#include "gui/filefollower.h"
#include "gui/historylistmodel.h"
#include "gui/pushbutton.h"
#include "gui/reportlist.h"
#include "gui/units.h"
#include "storage/casehistory.h"
#include "storage/datafolder.h"

#include <QEvent>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>

namespace lunora {

namespace {
QPushButton *makeButton(QWidget *parent, const char *name, const QString &caption, int left)
{
    QPushButton *button = makePushButton(parent, QString::fromLatin1(name), caption);
    placeAt(button, left, 4200, 1095, 375);
    return button;
}
} // namespace

frmHistorik::frmHistorik(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmHistorik"));
    setWindowTitle(QStringLiteral("Historik"));
    setFont(formFont());
    setAttribute(Qt::WA_DeleteOnClose);
    const QIcon icon(QStringLiteral(":/lunora/icon.png"));
    if (!icon.isNull())
        setWindowIcon(icon);
    setClientSize(this, 9600, 4695);

    m_caption = new QLabel(this);
    m_caption->setObjectName(QStringLiteral("lblArende"));
    m_caption->setFont(formFont(8.25, true));
    placeAt(m_caption, 120, 120, 9360, 255);

    m_model = new HistoryListModel(this);
    m_proxy = new QSortFilterProxyModel(this);
    m_proxy->setSourceModel(m_model);
    m_proxy->setSortRole(HistoryListModel::SortRole);
    m_proxy->setSortCaseSensitivity(Qt::CaseInsensitive);
    m_list = new QTableView(this);
    m_list->setObjectName(QStringLiteral("lstHistorik"));
    m_list->setAccessibleName(QStringLiteral("Historik"));
    m_list->setModel(m_proxy);
    setUpReportList(m_list);
    m_list->setSortingEnabled(true);
    QHeaderView *columns = m_list->horizontalHeader();
    columns->resizeSection(HistoryListModel::Time, px(2040));
    columns->resizeSection(HistoryListModel::User, px(2040));
    columns->setStretchLastSection(true);
    // Newest first until the user sorts otherwise.
    m_list->sortByColumn(HistoryListModel::Time, Qt::DescendingOrder);
    placeAt(m_list, 120, 480, 9360, 3600);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("lblStatus"));
    placeAt(m_status, 120, 4260, 6600, 255);

    m_refresh = makeButton(this, "cmdUppdatera", QStringLiteral("Uppdatera"), 7185);
    m_close = makeButton(this, "cmdStang", QStringLiteral("Stäng"), 8385);
    connect(m_refresh, &QPushButton::clicked, this, &frmHistorik::reload);
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);
    addCloseKeys(this, m_close);

    // Lines this copy appends (the case window's changes and printouts) are shown by
    // reading the file again, like everybody else's.
    m_follower = new FileFollower(QStringLiteral("historyFollower"), this);
    m_follower->setFollowOwnWrites(true);
    connect(m_follower, &FileFollower::changed, this, &frmHistorik::reload);

    setTabOrder(m_list, m_refresh);
    setTabOrder(m_refresh, m_close);
    showState();
}

frmHistorik::~frmHistorik() = default;

void frmHistorik::showCase(const QString &controlCode, const QString &caseNumber, const QString &customerName)
{
    m_state = State();
    m_state.controlCode = controlCode;
    m_state.caseNumber = caseNumber;
    m_state.customerName = customerName;
    reload();
    if (m_proxy->rowCount() > 0)
        m_list->setCurrentIndex(m_proxy->index(0, 0));
}

bool frmHistorik::reload()
{
    m_state.problem.clear();
    QList<HistoryEntry> entries;
    // A case that has not been numbered yet, or whose code names no file, has no history.
    QString path;
    if (!m_state.controlCode.isEmpty()) {
        if (const Result<QString> found = paths::historyFile(m_state.controlCode); found)
            path = found.value();
    }
    // The first line of a case creates its file; until then its folder says when.
    m_follower->follow(path);
    m_follower->markSeen();
    if (!path.isEmpty()) {
        Result<QList<HistoryEntry>> loaded = casehistory::load(path);
        if (loaded)
            entries = loaded.takeValue();
        else
            m_state.problem = loaded.error();
    }
    m_state.events = int(entries.size());
    // Lines are only ever appended, so the line the user stands on keeps its place in
    // the file and stays the current one.
    const QModelIndex current = m_proxy->mapToSource(m_list->currentIndex());
    const int currentRow = current.isValid() ? current.row() : -1;
    m_model->setEntries(std::move(entries));
    if (currentRow >= 0 && currentRow < m_model->rowCount())
        m_list->setCurrentIndex(m_proxy->mapFromSource(m_model->index(currentRow, 0)));
    showState();
    return m_state.problem.isEmpty();
}

QString frmHistorik::statusText() const
{
    return m_status->text();
}

void frmHistorik::showState()
{
    const bool numbered = !m_state.caseNumber.trimmed().isEmpty();
    setWindowTitle(numbered ? QStringLiteral("Historik - Ärende %1").arg(m_state.caseNumber)
                            : QStringLiteral("Historik"));
    QString caption = numbered ? QStringLiteral("Ärende %1").arg(m_state.caseNumber) : QString();
    if (!m_state.customerName.trimmed().isEmpty())
        caption += (caption.isEmpty() ? QString() : QStringLiteral(", ")) + m_state.customerName;
    m_caption->setText(caption);
    if (!m_state.problem.isEmpty())
        m_status->setText(QStringLiteral("Historiken kunde inte läsas."));
    else if (m_state.events == 0)
        m_status->setText(QStringLiteral("Ingen historik ännu."));
    else
        m_status->setText(QStringLiteral("Händelser: %1 st").arg(m_state.events));
}

void frmHistorik::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        reload();
}

} // namespace lunora
