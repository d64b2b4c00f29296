// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/frmLaget.h"

#include "gui/caselistmodel.h"
#include "gui/reportlist.h"
#include "gui/situationchart.h"
#include "gui/units.h"
#include "storage/numbers.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QStandardItemModel>
#include <QTableView>
#include <QThread>

namespace lunora {

namespace {
const QString Counting = QStringLiteral("Räknar…");
const QString Urgent = QStringLiteral("Brådskande");

QLabel *valueLabel(const char *name)
{
    auto *label = new QLabel(Counting);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QColor priorityColour(const QString &priority, int index)
{
    if (priority == Urgent)
        return QColor(255, 0, 0);
    static const QColor Others[] = { QColor(58, 110, 165), QColor(128, 128, 128), QColor(0, 128, 0) };
    return Others[index % 3];
}
} // namespace

frmLaget::frmLaget(QWidget *parent)
    : QDialog(parent)
    , m_perStatus(new SituationChart(QStringLiteral("Öppna ärenden per status")))
    , m_byAge(new SituationChart(QStringLiteral("Öppna ärenden efter ålder i dagar")))
    , m_untold(new QStandardItemModel(this))
{
    setObjectName(QStringLiteral("frmLaget"));
    setWindowTitle(QStringLiteral("Läget"));
    m_perStatus->setObjectName(QStringLiteral("picStatus"));
    m_byAge->setObjectName(QStringLiteral("picAlder"));
    auto *grid = new QGridLayout(this);
    grid->addWidget(m_perStatus, 0, 0);
    grid->addWidget(m_byAge, 0, 1);

    auto *values = new QGridLayout;
    m_lblOppet = valueLabel("lblOppet");
    m_lblVeckan = valueLabel("lblVeckan");
    values->addWidget(new QLabel(QStringLiteral("Värde av öppet arbete:")), 0, 0);
    values->addWidget(m_lblOppet, 0, 1);
    values->addWidget(new QLabel(QStringLiteral("Avslutat denna vecka:")), 1, 0);
    values->addWidget(m_lblVeckan, 1, 1);
    values->setColumnStretch(2, 1);
    grid->addLayout(values, 1, 0, 1, 2);

    auto *listLabel = new QLabel(QStringLiteral("Avslutade, inte meddelade"));
    m_untold->setHorizontalHeaderLabels({ QStringLiteral("Ärende nr"), QStringLiteral("Namn"),
        QStringLiteral("Telefon"), QStringLiteral("Skapad") });
    m_lstEjMeddelade = new QTableView;
    m_lstEjMeddelade->setObjectName(QStringLiteral("lstEjMeddelade"));
    m_lstEjMeddelade->setAccessibleName(listLabel->text());
    m_lstEjMeddelade->setModel(m_untold);
    // One line a row, as every list of the program: a name wrapped into a row of one line's
    // height lost the top of its first line, the dots of an "Ö" among them.
    setUpReportList(m_lstEjMeddelade);
    QHeaderView *columns = m_lstEjMeddelade->horizontalHeader();
    int column = 0;
    for (RegisterField field : { CaseNumber, CustomerName, Telephone })
        columns->resizeSection(column++, px(CaseListModel::columnWidthUnits(field)));
    columns->setStretchLastSection(true);
    listLabel->setBuddy(m_lstEjMeddelade);
    grid->addWidget(listLabel, 2, 0, 1, 2);
    grid->addWidget(m_lstEjMeddelade, 3, 0, 1, 2);
    // Enter and a double click both activate a row.
    connect(m_lstEjMeddelade, &QTableView::activated, this, &frmLaget::openCurrent);
    resize(720, 560);
}

frmLaget::~frmLaget()
{
    // Each reader works on its own copy of the register; they only have to stop, the
    // current one and any cancelled one still finishing its case.
    if (m_cancel)
        *m_cancel = true;
    for (QThread *reader : findChildren<QThread *>(Qt::FindDirectChildrenOnly))
        reader->wait();
}

void frmLaget::setRegister(const QList<RegisterEntry> &entries, const QDate &today)
{
    m_entries = entries;
    m_today = today;
    const situation::RegisterPicture picture = situation::countRegister(entries, today);

    QStringList statuses;
    QList<QList<int>> perStatus;
    for (const auto &[status, count] : picture.openPerStatus) {
        statuses << status;
        perStatus << QList<int> { count };
    }
    m_perStatus->setData(statuses, { { QString(), QColor(58, 110, 165) } }, perStatus);

    // Priorities as the register names them; "Brådskande" on top of the stack.
    QStringList priorities;
    for (const QMap<QString, int> &group : picture.ageByPriority)
        for (auto it = group.cbegin(); it != group.cend(); ++it)
            if (!priorities.contains(it.key()))
                priorities << it.key();
    if (priorities.removeAll(Urgent) > 0)
        priorities << Urgent;
    QList<SituationChart::Part> parts;
    for (qsizetype i = 0; i < priorities.size(); ++i)
        parts.append({ priorities.at(i), priorityColour(priorities.at(i), static_cast<int>(i)) });
    QStringList groups;
    QList<QList<int>> byAge;
    for (int g = 0; g < situation::AgeGroupCount; ++g) {
        groups << situation::ageGroupCaption(g);
        QList<int> stack;
        for (const QString &priority : priorities)
            stack << picture.ageByPriority[g].value(priority);
        byAge << stack;
    }
    m_byAge->setData(groups, parts, byAge);
    startReading();
}

void frmLaget::startReading()
{
    // A cancelled reader stops at its next case and goes by itself: the window does not
    // wait for it, whatever else the machine is doing.
    if (m_cancel)
        *m_cancel = true;
    m_counting = true;
    m_lblOppet->setText(Counting);
    m_lblVeckan->setText(Counting);
    const quint64 generation = ++m_generation;
    m_cancel = std::make_shared<std::atomic_bool>(false);
    QThread *reader = QThread::create(
        [this, generation, cancel = m_cancel, entries = m_entries, today = m_today]() {
            QList<situation::CaseFacts> facts;
            facts.reserve(entries.size());
            for (const RegisterEntry &entry : entries) {
                if (*cancel)
                    return;
                facts << situation::readCase(entry[ControlCode]);
            }
            const situation::Totals totals = situation::sumUp(entries, facts, today);
            QMetaObject::invokeMethod(
                this, [this, generation, totals]() { showTotals(generation, totals); }, Qt::QueuedConnection);
        });
    reader->setParent(this);
    connect(reader, &QThread::finished, reader, &QObject::deleteLater);
    reader->start(QThread::LowPriority);
}

void frmLaget::showTotals(quint64 generation, const situation::Totals &totals)
{
    if (generation != m_generation)
        return; // the register changed meanwhile: a newer reading follows
    m_counting = false;
    m_lblOppet->setText(numbers::formatTwoDecimals(totals.openValue) + QStringLiteral(" kr"));
    m_lblVeckan->setText(numbers::formatTwoDecimals(totals.finishedThisWeek) + QStringLiteral(" kr"));
    m_untold->removeRows(0, m_untold->rowCount());
    for (const RegisterEntry &entry : totals.finishedUntold) {
        QList<QStandardItem *> row;
        for (RegisterField field : { CaseNumber, CustomerName, Telephone, Created })
            row << new QStandardItem(entry[field]);
        row.first()->setData(entry[ControlCode], Qt::UserRole);
        m_untold->appendRow(row);
    }
}

void frmLaget::openCurrent()
{
    const QModelIndex current = m_lstEjMeddelade->currentIndex();
    if (!current.isValid())
        return;
    const QString code = m_untold->item(current.row(), 0)->data(Qt::UserRole).toString();
    for (const RegisterEntry &entry : m_entries) {
        if (entry[ControlCode] == code) {
            emit openCaseRequested(entry);
            return;
        }
    }
}

} // namespace lunora
