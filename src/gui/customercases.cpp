// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/customercases.h"

#include "gui/caselistmodel.h"
#include "storage/cp1252.h"
#include "storage/swedishtext.h"

#include <algorithm>
#include <vector>

namespace lunora {

bool CustomerKey::isEmpty() const
{
    return telephone.trimmed().isEmpty() && customerNumber.trimmed().isEmpty();
}

QList<RegisterEntry> findCustomerCases(
    const CaseListModel &model, const CustomerKey &customer, const QString &exceptControlCode)
{
    const QByteArray telephone = telephoneKey(cp1252::encode(customer.telephone));
    // A number the register cannot hold is in none of its lines.
    const QString number = customer.customerNumber.trimmed();
    const QByteArray numberBytes = cp1252::canEncode(number) ? cp1252::encode(number) : QByteArray();
    const QByteArray except = cp1252::encode(exceptControlCode);
    if (telephone.isEmpty() && numberBytes.isEmpty())
        return {};

    std::vector<int> rows;
    QByteArray scratch;
    for (int row = 0; row < model.rowCount(); ++row) {
        bool ours = !numberBytes.isEmpty()
            && model.rawText(row, CustomerNumber, scratch).trimmed() == QByteArrayView(numberBytes);
        if (!ours && !telephone.isEmpty())
            ours = telephoneKey(model.rawText(row, Telephone, scratch)) == telephone;
        if (ours && (except.isEmpty() || model.rawText(row, ControlCode, scratch) != QByteArrayView(except)))
            rows.push_back(row);
    }

    // "YYYY-MM-DD" sorts by date as text; a later line was added later.
    std::vector<QByteArray> created(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        created[i] = model.rawText(rows[i], Created, scratch).toByteArray();
    std::vector<std::size_t> order(rows.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&created](std::size_t a, std::size_t b) {
        return created[a] != created[b] ? created[a] > created[b] : a > b;
    });

    QList<RegisterEntry> cases;
    cases.reserve(static_cast<qsizetype>(order.size()));
    for (const std::size_t i : order)
        cases.append(model.entry(rows[i]));
    return cases;
}

} // namespace lunora
