// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

namespace lunora::casenumbersearch {

// A search for one case number. A barcode scanner types the number of a case's label,
// and the overview must then find that case, not every case whose telephone or customer
// number holds the same digits: a search text in the case number's form ("101215 4711":
// the six digits of a valid date YYMMDD, one blank, a number from 0 to 9998 without
// leading zeros; blanks around it do not count) matches the case-number column alone,
// and only as a whole.

// The case number (its Windows-1252 bytes, all ASCII) the text asks for, or nothing when
// the text does not have the form, and the ordinary search applies.
std::optional<QByteArray> wantedNumber(const QString &searchText);
// Whether a row's case-number column, as the register holds it, is that number; blanks
// the register kept around the value do not count.
bool matches(QByteArrayView wanted, QByteArrayView caseNumberColumn);

} // namespace lunora::casenumbersearch
