// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

// How texts are ordered, compared and recognised the way a Swedish reader expects: the
// case list, the customer list and the search all follow these rules.

#include <QByteArray>
#include <QByteArrayView>
#include <QStringView>

namespace lunora {

// Compares two texts character by character the way a Swedish reader orders them:
// blanks and punctuation before digits, digits one by one (so "10" comes before "9"),
// then the letters a to z followed by å, ä and ö. Letter case and accents only break
// ties, so "andersson" stands beside "Andersson" and "é" beside "e".
// Returns a negative number, zero or a positive number, like a three-way compare.
int compareSwedish(QStringView a, QStringView b);

// Appends to `key` a byte string whose plain byte order is the order of
// compareSwedish(), for sorting many texts at once.
void appendSwedishSortKey(QByteArray &key, QStringView text);

// Where `needle` (Windows-1252, already lower case) first occurs in `haystack`
// (Windows-1252) from `from` on, letter case ignored, or -1.
qsizetype findFolded(QByteArrayView haystack, QByteArrayView needle, qsizetype from = 0);
bool containsFolded(QByteArrayView haystack, QByteArrayView needle);

// Whether a typed word is (part of) a telephone number: digits and the marks numbers
// are written with ("070-123", "(08)", "+46"), at least one digit.
bool isTelephoneWord(QStringView word);

// What two ways of writing the same telephone number have in common, for finding a
// customer's cases by the number however it was typed: "070-123 45 67", "0701234567"
// and "+46 70 123 45 67" give "0701234567", "0047 987 65 432" and "+4798765432" give
// "+4798765432". Empty when the text is no telephone number (a word of it is not
// made of digits and the marks numbers are written with) or too short to tell one
// customer (fewer than five digits: "0" or "000" stand for no number at all).
// `text` is Windows-1252, as the register stores it.
QByteArray telephoneKey(QByteArrayView text);

} // namespace lunora
