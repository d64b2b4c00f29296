// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include <QLocale>
#include <QString>
#include <QStringView>
#include <optional>

// The one VAT rate of the shop, kept as MOMS=<percent> in section Main of the company
// file. A folder without the key shows and prints no VAT at all.
namespace lunora::vat {
// The rate from the company file, or nothing when the file or the key is missing, or
// its value is not a percentage from 0 to 100. The file is only read: a missing file is
// not created.
std::optional<double> readRate();
// The rate from the text of the key: "25", "12,5" and "12.5" all read.
std::optional<double> parseRate(QStringView text);
// The VAT held in an amount that includes it: amount × rate / (100 + rate).
double included(double amount, double rate);
// "varav moms 25 %: 95,80 kr" for the total as the case window shows it (a credit by the
// credited amount), or the empty text where no VAT line belongs: no rate, a total that
// prints no amount (between -1 and 0), or VAT that rounds to 0,00.
QString lineText(std::optional<double> rate, QStringView sumText, const QLocale &locale = QLocale());
} // namespace lunora::vat
