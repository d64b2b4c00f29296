// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

// "Läget": the counter's day in figures. What the register alone tells (open cases per
// status, their ages by priority) is counted at once; what needs each case's files
// (totals, when it was finished, whether the customer was told) is read case by case,
// apart from any window, so that a window can do it in the background.

#include "storage/casehistory.h"
#include "storage/records.h"

#include <QDate>
#include <QList>
#include <QMap>
#include <QString>
#include <array>

namespace lunora::situation {

QString finishedStatus(); // "Avslutad"
bool isOpen(const RegisterEntry &entry);

// The age groups in days: 0–2, 3–7, 8–14, 15–30, over 30.
constexpr int AgeGroupCount = 5;
QString ageGroupCaption(int group); // "0–2", …, "över 30"
// The group of a case created `days` ago; a date in the future counts as today.
int ageGroup(int days);

struct RegisterPicture
{
    // Open cases per status, in order of first appearance in the register.
    QList<std::pair<QString, int>> openPerStatus;
    // Open cases per age group and priority.
    std::array<QMap<QString, int>, AgeGroupCount> ageByPriority;
    int openCount = 0;
    int undated = 0; // open cases whose date cannot be read
};
RegisterPicture countRegister(const QList<RegisterEntry> &entries, const QDate &today);

// What one case's files say.
struct CaseFacts
{
    double total = 0.0;
    QDate finished; // the day its status last became "Avslutad"; invalid when unknown
    bool messaged = false; // its history holds a message to the customer
};
// From the case's history lines, without the files.
void readHistory(const QList<HistoryEntry> &history, CaseFacts &facts);
// The article file and the history of a case; missing files give zero and nothing.
CaseFacts readCase(const QString &controlCode);

struct Totals
{
    double openValue = 0.0;
    double finishedThisWeek = 0.0; // finished Monday of this week or later
    // Finished cases never told, newest finish first (undated ones last, by case date).
    QList<RegisterEntry> finishedUntold;
};
// `facts` runs parallel to `entries`.
Totals sumUp(const QList<RegisterEntry> &entries, const QList<CaseFacts> &facts, const QDate &today);

} // namespace lunora::situation
