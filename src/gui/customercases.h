// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "storage/records.h"

#include <QList>
#include <QString>

namespace lunora {

class CaseListModel;

// Who a customer is, as far as the register can tell: the telephone (however it was
// typed, storage/swedishtext.h's telephoneKey()) and the customer number.
struct CustomerKey
{
    QString telephone;
    QString customerNumber;
    bool isEmpty() const;
};

// The cases of one customer among the case list's rows, newest first (by the created
// date; of one day, the later line of the register first), leaving out the case with
// `exceptControlCode`. A case is the customer's when its telephone is the same number or
// its customer number is the same (blanks around it aside). The rows are looked at in
// the bytes the list holds: no case file is read, so a register of 100 000 cases is
// searched at once.
QList<RegisterEntry> findCustomerCases(
    const CaseListModel &model, const CustomerKey &customer, const QString &exceptControlCode = {});

} // namespace lunora
