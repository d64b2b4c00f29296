// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include <QLocale>
#include <QString>
#include <QStringView>
#include <optional>

// Numbers as the counter staff type and see them: in the user's regional format
// (decimal comma in Sweden). The minus sign written is always the ASCII hyphen, so
// every number can be stored in a Windows-1252 file.
namespace lunora::numbers {
// The value of the longest leading part of the text that reads as a decimal number
// with '.' as the only decimal point: blanks anywhere are skipped, a sign and an
// E exponent belong to the number, a comma ends it, no number at all counts as 0.
double leadingNumberValue(QStringView text);
// A plain decimal number as counter staff type it whatever the desktop's format: an
// optional sign, digits and at most one decimal separator, "," or "." (blanks anywhere
// are skipped, no thousands separators, no exponent). "12,50" and "12.50" are 12.5.
std::optional<double> plainDecimal(QStringView text);
// The value of an amount or quantity typed in the article window or stored in a row:
// its plain decimal value, or else its leading-number value ("3 st" counts 3).
double amountValue(QStringView text);
// The number in the user's format, or nothing when the text is not such a number.
std::optional<double> parse(QStringView text, const QLocale &locale = QLocale());
// The pattern "0.00": at least one integer digit, exactly two decimals, no thousands
// separators, halves rounded away from zero.
QString formatTwoDecimals(double value, const QLocale &locale = QLocale());
// The amount formatTwoDecimals() shows, as a number: rounded alike, never a negative
// zero, and 0 for a value that is no finite number (which it shows as nothing).
double roundTwoDecimals(double value);
// formatTwoDecimals() of a text that is a number in the user's format; any other text
// comes back unchanged.
QString formatTwoDecimalsText(const QString &text, const QLocale &locale = QLocale());
// The general format: no thousands separators, only as many decimals as needed.
QString formatGeneral(double value, const QLocale &locale = QLocale());
} // namespace lunora::numbers
