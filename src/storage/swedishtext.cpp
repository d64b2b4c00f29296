// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "storage/swedishtext.h"

#include "storage/cp1252.h"

#include <QChar>
#include <QString>
#include <algorithm>
#include <array>
#include <cstdint>

namespace lunora {

namespace {

// The collation weights of one UTF-16 code unit. Texts are ordered by the primary
// weights first; only texts equal there are ordered by accent (secondary), then by
// letter case (tertiary, lower case first), then by the code units themselves so that
// different texts never compare equal.
struct Weight
{
    std::uint16_t primary = 0;
    std::uint8_t secondary = 0;
    std::uint8_t tertiary = 0;
};

// Primary weight bands, every weight above zero (zero ends a text): control
// characters, then blanks, punctuation and symbols (by code point), then digits (by
// value), then the Latin letters in Swedish alphabetical order, then letters of other
// scripts.
constexpr std::uint16_t ControlBand = 0x0001;
constexpr std::uint16_t SymbolBand = 0x0100;
constexpr std::uint16_t DigitBand = 0x4000;
constexpr std::uint16_t LetterBand = 0x5000;
constexpr std::uint16_t OtherLetterBand = 0x6000;

// Letter positions after z in the Swedish alphabet.
constexpr int LetterAring = 26; // å
constexpr int LetterAuml = 27; // ä
constexpr int LetterOuml = 28; // ö
constexpr int LetterThorn = 29; // þ, kept apart after ö

std::uint16_t letterWeight(int position)
{
    return static_cast<std::uint16_t>(LetterBand + position);
}

std::uint16_t symbolWeight(char16_t c)
{
    // Symbols far beyond Latin share a weight with their neighbours; the code units
    // still order them in the end.
    if (c < 0x2000)
        return static_cast<std::uint16_t>(SymbolBand + c);
    if (c < 0x3000)
        return static_cast<std::uint16_t>(0x2100 + (c - 0x2000));
    return static_cast<std::uint16_t>(0x3100 + ((c - 0x3000) >> 4));
}

// The Latin base letter of a character, following its canonical decomposition
// ("é" -> 'e'), or 0 when it has none.
char16_t latinBase(char16_t c)
{
    QChar ch(c);
    for (int depth = 0; depth < 4; ++depth) {
        const char16_t lower = ch.toLower().unicode();
        if (lower >= u'a' && lower <= u'z')
            return lower;
        const QString decomposed = ch.decomposition();
        if (decomposed.isEmpty() || ch.decompositionTag() != QChar::Canonical)
            return 0;
        ch = decomposed.at(0);
    }
    return 0;
}

// The letters that Swedish treats as letters of their own or files beside them: their
// weights go into `w` (whose tertiary weight is set already). False for any other
// character.
bool swedishLetterWeight(char16_t lower, Weight &w)
{
    switch (lower) {
    case u'\u00E5': // å
        w.primary = letterWeight(LetterAring);
        return true;
    case u'\u00E4': // ä
        w.primary = letterWeight(LetterAuml);
        return true;
    case u'\u00E6': // æ files as ä
        w.primary = letterWeight(LetterAuml);
        w.secondary = 1;
        return true;
    case u'\u00F6': // ö
        w.primary = letterWeight(LetterOuml);
        return true;
    case u'\u00F8': // ø files as ö
    case u'\u0153': // œ
        w.primary = letterWeight(LetterOuml);
        w.secondary = lower == u'\u00F8' ? 1 : 2;
        return true;
    case u'\u0151': // ő
        w.primary = letterWeight(LetterOuml);
        w.secondary = 3;
        return true;
    case u'\u00FC': // ü files as y
    case u'\u0171': // ű
        w.primary = letterWeight(u'y' - u'a');
        w.secondary = lower == u'\u00FC' ? 1 : 2;
        return true;
    case u'\u00FE': // þ
        w.primary = letterWeight(LetterThorn);
        return true;
    case u'\u00F0': // ð files as d
    case u'\u0111': // đ
        w.primary = letterWeight(u'd' - u'a');
        w.secondary = lower == u'\u00F0' ? 0x40 : 0x41;
        return true;
    case u'\u00DF': // ß files as s
        w.primary = letterWeight(u's' - u'a');
        w.secondary = 0x40;
        w.tertiary = 0;
        return true;
    case u'\u0142': // ł
        w.primary = letterWeight(u'l' - u'a');
        w.secondary = 0x40;
        return true;
    case u'\u0131': // dotless i
        w.primary = letterWeight(u'i' - u'a');
        w.secondary = 0x40;
        return true;
    default:
        return false;
    }
}

Weight computeWeight(char16_t c)
{
    Weight w;
    const QChar ch(c);
    const bool upper = ch.isUpper() || ch.isTitleCase();
    w.tertiary = upper ? 1 : 0;
    const char16_t lower = ch.toLower().unicode();

    if (swedishLetterWeight(lower, w))
        return w;

    if (lower >= u'a' && lower <= u'z') {
        w.primary = letterWeight(lower - u'a');
        return w;
    }
    if (ch.isDigit()) {
        w.primary = static_cast<std::uint16_t>(DigitBand + std::max(0, ch.digitValue()));
        w.secondary = c < 0x80 ? 0 : static_cast<std::uint8_t>((c & 0x7F) + 1);
        return w;
    }
    if (ch.isLetter()) {
        if (const char16_t base = latinBase(c)) {
            w.primary = letterWeight(base - u'a');
            // Accented forms of one letter stay together, ordered by their accent.
            const QString decomposed = ch.toLower().decomposition();
            w.secondary = decomposed.size() > 1
                ? static_cast<std::uint16_t>(decomposed.at(1).unicode() & 0xFF) + 1
                : 0x80;
            return w;
        }
        w.primary = static_cast<std::uint16_t>(OtherLetterBand + (ch.toCaseFolded().unicode() >> 1));
        return w;
    }
    w.tertiary = 0;
    if (c < 0x20) {
        w.primary = static_cast<std::uint16_t>(ControlBand + c);
        return w;
    }
    if (c >= 0x7F && c < 0xA0) {
        w.primary = static_cast<std::uint16_t>(ControlBand + 0x20 + (c - 0x7F));
        return w;
    }
    w.primary = symbolWeight(c);
    return w;
}

constexpr std::size_t TableSize = 0x300;

const std::array<Weight, TableSize> &weightTable()
{
    static const std::array<Weight, TableSize> table = [] {
        std::array<Weight, TableSize> t {};
        for (std::size_t c = 0; c < TableSize; ++c)
            t[c] = computeWeight(static_cast<char16_t>(c));
        return t;
    }();
    return table;
}

inline Weight weightOf(const std::array<Weight, TableSize> &table, char16_t c)
{
    if (c < TableSize)
        return table[c];
    return computeWeight(c);
}

// The marks besides digits that telephone numbers are written with.
bool isTelephoneMark(QChar c)
{
    return c == u'-' || c == u'+' || c == u'(' || c == u')' || c == u'/' || c == u'.';
}

struct FoldTable
{
    unsigned char map[256];
    FoldTable()
    {
        for (int c = 0; c < 256; ++c)
            map[c] = static_cast<unsigned char>(cp1252::toLower(static_cast<char>(c)));
    }
};

const FoldTable &foldTable()
{
    static const FoldTable table;
    return table;
}

} // namespace

int compareSwedish(QStringView a, QStringView b)
{
    const auto &table = weightTable();
    const qsizetype common = std::min(a.size(), b.size());
    int secondary = 0;
    int tertiary = 0;
    int codeUnits = 0;
    for (qsizetype i = 0; i < common; ++i) {
        const char16_t ca = a[i].unicode();
        const char16_t cb = b[i].unicode();
        if (ca == cb)
            continue;
        const Weight wa = weightOf(table, ca);
        const Weight wb = weightOf(table, cb);
        if (wa.primary != wb.primary)
            return wa.primary < wb.primary ? -1 : 1;
        if (secondary == 0 && wa.secondary != wb.secondary)
            secondary = wa.secondary < wb.secondary ? -1 : 1;
        if (tertiary == 0 && wa.tertiary != wb.tertiary)
            tertiary = wa.tertiary < wb.tertiary ? -1 : 1;
        if (codeUnits == 0)
            codeUnits = ca < cb ? -1 : 1;
    }
    // One primary weight per character: a text that is the start of another comes first.
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    if (secondary != 0)
        return secondary;
    if (tertiary != 0)
        return tertiary;
    return codeUnits;
}

// A byte string whose plain byte order is the order of compareSwedish(): the primary
// weights (two bytes each, high byte first) ended by two zero bytes, the accent and
// case weights (a byte each), then the code units themselves. Sorting many rows
// compares these keys, which lie together in memory, instead of the scattered texts.
void appendSwedishSortKey(QByteArray &key, QStringView text)
{
    const auto &table = weightTable();
    const qsizetype start = key.size();
    key.resize(start + text.size() * 6 + 2);
    auto *out = reinterpret_cast<unsigned char *>(key.data()) + start;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        const Weight w = weightOf(table, c);
        out[2 * i] = static_cast<unsigned char>(w.primary >> 8);
        out[2 * i + 1] = static_cast<unsigned char>(w.primary & 0xFF);
        out[2 * n + 2 + i] = w.secondary;
        out[3 * n + 2 + i] = w.tertiary;
        out[4 * n + 2 + 2 * i] = static_cast<unsigned char>(c >> 8);
        out[4 * n + 2 + 2 * i + 1] = static_cast<unsigned char>(c & 0xFF);
    }
    out[2 * n] = 0;
    out[2 * n + 1] = 0;
}

// Where `needle` (already lower case) first occurs in `haystack` from `from` on, letter
// case ignored, or -1.
qsizetype findFolded(QByteArrayView haystack, QByteArrayView needle, qsizetype from)
{
    const qsizetype n = needle.size();
    if (n == 0)
        return from;
    const qsizetype last = haystack.size() - n;
    const unsigned char *fold = foldTable().map;
    const auto *hay = reinterpret_cast<const unsigned char *>(haystack.data());
    const auto *pin = reinterpret_cast<const unsigned char *>(needle.data());
    const unsigned char first = pin[0];
    for (qsizetype i = from; i <= last; ++i) {
        if (fold[hay[i]] != first)
            continue;
        qsizetype j = 1;
        while (j < n && fold[hay[i + j]] == pin[j])
            ++j;
        if (j == n)
            return i;
    }
    return -1;
}

bool containsFolded(QByteArrayView haystack, QByteArrayView needle)
{
    return findFolded(haystack, needle) >= 0;
}

bool isTelephoneWord(QStringView word)
{
    bool digit = false;
    for (const QChar c : word) {
        if (c >= u'0' && c <= u'9')
            digit = true;
        else if (!isTelephoneMark(c))
            return false;
    }
    return digit;
}

QByteArray telephoneKey(QByteArrayView text)
{
    // Fewer digits than this are a placeholder typed for a customer without a number.
    constexpr qsizetype MinDigits = 5;
    QByteArray digits;
    bool international = false;
    qsizetype wordStart = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        const bool end = i == text.size() || text[i] == ' ' || text[i] == '\t';
        if (!end)
            continue;
        const QByteArrayView word = text.sliced(wordStart, i - wordStart);
        wordStart = i + 1;
        if (word.isEmpty())
            continue;
        // A word as isTelephoneWord() takes it: digits and marks, at least one digit.
        const qsizetype before = digits.size();
        for (const char c : word) {
            if (c >= '0' && c <= '9')
                digits.append(c);
            else if (!isTelephoneMark(QChar::fromLatin1(c)))
                return {};
            else if (c == '+' && digits.isEmpty())
                international = true;
        }
        if (digits.size() == before)
            return {};
    }
    if (!international && digits.startsWith("00")) {
        international = true;
        digits.remove(0, 2);
    }
    if (international && digits.startsWith("46")) {
        // Sweden's own numbers as they are dialled at home; "+46 (0)70" keeps one 0.
        digits.remove(0, 2);
        if (!digits.startsWith('0'))
            digits.prepend('0');
        international = false;
    }
    if (digits.size() < MinDigits)
        return {};
    return international ? '+' + digits : digits;
}

} // namespace lunora
