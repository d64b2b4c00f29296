// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "storage/records.h"
#include "storage/situation.h"

#include <QDate>
#include <QDialog>
#include <QList>
#include <atomic>
#include <memory>

class QLabel;
class QStandardItemModel;
class QTableView;
class QThread;

namespace lunora {

class SituationChart;

// "Läget": open cases per status and by age, the value of open and of this week's
// finished work, and the finished cases whose customer has not been told. The register's
// pictures show at once; the sums and the list come from each case's files, read on a
// thread of their own, and show "Räknar…" until they are in.
class frmLaget final : public QDialog
{
    Q_OBJECT

public:
    explicit frmLaget(QWidget *parent = nullptr);
    ~frmLaget() override;

    // The register as the overview holds it; call again whenever it changes.
    void setRegister(const QList<RegisterEntry> &entries, const QDate &today = QDate::currentDate());
    // Whether the sums of the last register handed over are in.
    bool isCounting() const { return m_counting; }

signals:
    // Enter or a double click on a case of the list.
    void openCaseRequested(const lunora::RegisterEntry &entry);

private:
    void startReading();
    void showTotals(quint64 generation, const situation::Totals &totals);
    void openCurrent();

    QList<RegisterEntry> m_entries;
    QDate m_today;
    quint64 m_generation = 0;
    std::shared_ptr<std::atomic_bool> m_cancel;
    bool m_counting = false;
    SituationChart *m_perStatus = nullptr;
    SituationChart *m_byAge = nullptr;
    QLabel *m_lblOppet = nullptr;
    QLabel *m_lblVeckan = nullptr;
    QStandardItemModel *m_untold = nullptr;
    QTableView *m_lstEjMeddelade = nullptr;
};

} // namespace lunora
