// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "storage/casenumbersearch.h"

#include <QDate>
#include <QRegularExpression>

namespace lunora::casenumbersearch {

std::optional<QByteArray> wantedNumber(const QString &searchText)
{
    static const QRegularExpression form(QStringLiteral(R"(^(\d\d)(\d\d)(\d\d) (0|[1-9]\d{0,3})$)"));
    const QString text = searchText.trimmed();
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch() || match.captured(4).toInt() > 9998)
        return std::nullopt;
    // Only a real date, so that fewer of the digit groups typed for a telephone or a
    // customer number ("081234 56") are taken for a case number.
    const QDate date(2000 + match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
    if (!date.isValid())
        return std::nullopt;
    return text.toLatin1();
}

bool matches(QByteArrayView wanted, QByteArrayView caseNumberColumn)
{
    return caseNumberColumn.trimmed() == wanted;
}

} // namespace lunora::casenumbersearch
