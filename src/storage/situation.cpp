// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "storage/situation.h"

#include "storage/casefiles.h"
#include "storage/datafolder.h"
#include "storage/messagetemplates.h"

#include <algorithm>

namespace lunora::situation {

QString finishedStatus()
{
    return QStringLiteral("Avslutad");
}

bool isOpen(const RegisterEntry &entry)
{
    return entry[CaseStatus].trimmed() != finishedStatus();
}

QString ageGroupCaption(int group)
{
    static const char16_t *const Captions[AgeGroupCount] = { u"0–2", u"3–7", u"8–14", u"15–30", u"över 30" };
    return QString::fromUtf16(Captions[std::clamp(group, 0, AgeGroupCount - 1)]);
}

int ageGroup(int days)
{
    if (days <= 2)
        return 0;
    if (days <= 7)
        return 1;
    if (days <= 14)
        return 2;
    if (days <= 30)
        return 3;
    return 4;
}

RegisterPicture countRegister(const QList<RegisterEntry> &entries, const QDate &today)
{
    RegisterPicture picture;
    QMap<QString, qsizetype> statusRow;
    for (const RegisterEntry &entry : entries) {
        if (!isOpen(entry))
            continue;
        ++picture.openCount;
        const QString status = entry[CaseStatus].trimmed();
        const auto row = statusRow.constFind(status);
        if (row == statusRow.constEnd()) {
            statusRow.insert(status, picture.openPerStatus.size());
            picture.openPerStatus.append({ status, 1 });
        } else {
            ++picture.openPerStatus[*row].second;
        }
        const QDate created = QDate::fromString(entry[Created].trimmed(), Qt::ISODate);
        if (!created.isValid()) {
            ++picture.undated;
            continue;
        }
        ++picture.ageByPriority[ageGroup(static_cast<int>(created.daysTo(today)))][entry[Priority].trimmed()];
    }
    return picture;
}

void readHistory(const QList<HistoryEntry> &history, CaseFacts &facts)
{
    const QString finishing = QStringLiteral(" till ") + finishedStatus();
    for (const HistoryEntry &line : history) {
        if (casehistory::isMessage(line.event))
            facts.messaged = true;
        else if (line.event.startsWith(u"Status ändrad från ") && line.event.endsWith(finishing))
            facts.finished = QDate::fromString(line.time.left(10), Qt::ISODate);
    }
}

CaseFacts readCase(const QString &controlCode)
{
    CaseFacts facts;
    if (const Result<QString> path = paths::articleFile(controlCode); path) {
        if (const Result<QList<ArticleRow>> rows = articlefile::load(path.value()); rows)
            facts.total = messagetemplates::caseTotal(rows.value());
    }
    if (const Result<QString> path = paths::historyFile(controlCode); path) {
        if (const Result<QList<HistoryEntry>> history = casehistory::load(path.value()); history)
            readHistory(history.value(), facts);
    }
    return facts;
}

Totals sumUp(const QList<RegisterEntry> &entries, const QList<CaseFacts> &facts, const QDate &today)
{
    Totals totals;
    const QDate monday = today.addDays(1 - today.dayOfWeek());
    QList<std::pair<QDate, qsizetype>> untold;
    for (qsizetype i = 0; i < entries.size() && i < facts.size(); ++i) {
        const CaseFacts &f = facts.at(i);
        if (isOpen(entries.at(i))) {
            totals.openValue += f.total;
            continue;
        }
        if (f.finished.isValid() && f.finished >= monday && f.finished <= today)
            totals.finishedThisWeek += f.total;
        if (!f.messaged) {
            const QDate when = f.finished.isValid()
                ? f.finished
                : QDate::fromString(entries.at(i)[Created].trimmed(), Qt::ISODate);
            untold.append({ when, i });
        }
    }
    // Newest first; a case with no date at all goes last. Equal dates keep file order.
    std::stable_sort(untold.begin(), untold.end(), [](const auto &a, const auto &b) {
        if (a.first.isValid() != b.first.isValid())
            return a.first.isValid();
        return a.first > b.first;
    });
    for (const auto &[when, i] : untold)
        totals.finishedUntold.append(entries.at(i));
    return totals;
}

} // namespace lunora::situation
