// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "storage/vat.h"

#include "storage/cp1252.h"
#include "storage/datafolder.h"
#include "storage/fileio.h"
#include "storage/ini.h"
#include "storage/numbers.h"

#include <QFileInfo>
#include <cmath>

namespace lunora::vat {

std::optional<double> parseRate(QStringView text)
{
    const QString trimmed = text.trimmed().toString();
    if (trimmed.isEmpty())
        return std::nullopt;
    // The file is written by hand: accept the decimal comma as well as the point.
    QString normalised = trimmed;
    normalised.replace(u',', u'.');
    bool ok = false;
    const double rate = QLocale::c().toDouble(normalised, &ok);
    if (!ok || !std::isfinite(rate) || rate < 0.0 || rate > 100.0)
        return std::nullopt;
    return rate;
}

std::optional<double> readRate()
{
    const QString path = paths::companyFile();
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    Result<QByteArray> bytes = fileio::readAll(path);
    if (!bytes)
        return std::nullopt;
    const QByteArray value = ini::readValue(bytes.value(), "Main", "MOMS");
    return parseRate(cp1252::decode(value));
}

double included(double amount, double rate)
{
    return amount * rate / (100.0 + rate);
}

QString lineText(std::optional<double> rate, QStringView sumText, const QLocale &locale)
{
    if (!rate)
        return QString();
    const std::optional<double> total = numbers::parse(sumText, locale);
    if (!total)
        return QString();
    double amount = 0.0;
    if (*total <= -1.0)
        amount = -*total; // a credit: the VAT of the credited amount
    else if (*total >= 0.0)
        amount = *total;
    else
        return QString(); // no amount is printed, so no VAT either
    const QString vatText = numbers::formatTwoDecimals(included(amount, *rate), locale);
    if (numbers::parse(vatText, locale).value_or(0.0) == 0.0)
        return QString();
    return QStringLiteral("varav moms %1 %: %2 kr").arg(numbers::formatGeneral(*rate, locale), vatText);
}

} // namespace lunora::vat
