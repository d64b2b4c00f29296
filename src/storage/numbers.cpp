// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "storage/numbers.h"

#include <QByteArray>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace lunora::numbers {

namespace {

// Significant digits kept when a double is turned into decimal text. Sums of
// two-decimal prices come out as 50.300000000000004 and the like; at 15 digits they
// read as the numbers the user typed.
constexpr int significantDigits = 15;

// value = 0.d1d2d3... * 10^exponent in decimal digits, rounded to significantDigits.
struct DecimalText
{
    bool negative = false;
    std::string digits; // no leading zeros unless the value is zero
    int exponent = 0; // the weight of the first digit is 10^(exponent - 1)
};

DecimalText toDecimalText(double value)
{
    DecimalText d;
    // std::to_chars, unlike printf, ignores the C locale that Qt sets from the
    // environment, so the text always uses '.' and 'e'.
    char buffer[64];
    const auto written = std::to_chars(
        buffer, buffer + sizeof buffer - 1, value, std::chars_format::scientific, significantDigits - 1);
    *written.ptr = '\0';
    const char *p = buffer;
    if (*p == '-') {
        d.negative = true;
        ++p;
    }
    for (; *p && *p != 'e'; ++p) {
        if (*p >= '0' && *p <= '9')
            d.digits += *p;
    }
    d.exponent = (*p == 'e') ? std::atoi(p + 1) + 1 : 1;
    return d;
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

QString decimalSeparator(const QLocale &locale)
{
    const QString point = locale.decimalPoint();
    return point.isEmpty() ? QStringLiteral(".") : point;
}

// Converts plain ASCII number text ("-12.5e3"); nothing when out of range.
std::optional<double> toDouble(const std::string &number)
{
    const char *begin = number.data();
    if (*begin == '+')
        ++begin;
    double value = 0.0;
    const auto [end, error] = std::from_chars(begin, number.data() + number.size(), value);
    if (error != std::errc() || end != number.data() + number.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

double leadingNumberValue(QStringView text)
{
    // Gather the characters that make up the number, blanks left out, then let the C
    // library convert the plain ASCII text.
    std::string number;
    enum class Stage
    {
        Sign,
        Integer,
        Fraction,
        ExponentSign,
        Exponent
    } stage
        = Stage::Sign;
    bool haveDigits = false;
    for (QChar c : text) {
        if (isBlank(c))
            continue;
        const char16_t u = c.unicode();
        const bool digit = u >= u'0' && u <= u'9';
        if (stage == Stage::Sign && (u == u'+' || u == u'-')) {
            number += static_cast<char>(u);
            stage = Stage::Integer;
        } else if ((stage == Stage::Sign || stage == Stage::Integer) && digit) {
            number += static_cast<char>(u);
            haveDigits = true;
            stage = Stage::Integer;
        } else if ((stage == Stage::Sign || stage == Stage::Integer) && u == u'.') {
            number += '.';
            stage = Stage::Fraction;
        } else if (stage == Stage::Fraction && digit) {
            number += static_cast<char>(u);
            haveDigits = true;
        } else if ((stage == Stage::Integer || stage == Stage::Fraction) && haveDigits
            && (u == u'e' || u == u'E')) {
            number += 'e';
            stage = Stage::ExponentSign;
        } else if (stage == Stage::ExponentSign && (u == u'+' || u == u'-')) {
            number += static_cast<char>(u);
            stage = Stage::Exponent;
        } else if ((stage == Stage::ExponentSign || stage == Stage::Exponent) && digit) {
            number += static_cast<char>(u);
            stage = Stage::Exponent;
        } else {
            break;
        }
    }
    if (!haveDigits)
        return 0.0;
    // A dangling "e" or "e-" is not part of the number.
    while (!number.empty() && (number.back() == 'e' || number.back() == '+' || number.back() == '-'))
        number.pop_back();
    // A number too large for a double gives 0 rather than an infinity that would
    // spread through every total it touches.
    return toDouble(number).value_or(0.0);
}

std::optional<double> parse(QStringView text, const QLocale &locale)
{
    const QStringView trimmed = text.trimmed();
    const QString point = decimalSeparator(locale);
    const QString negative = locale.negativeSign();
    std::string number;
    qsizetype i = 0;
    const qsizetype n = trimmed.size();
    if (i < n) {
        const QStringView rest = trimmed.sliced(i);
        if (rest.front() == u'-' || rest.front() == QChar(0x2212)) {
            number += '-';
            ++i;
        } else if (!negative.isEmpty() && rest.startsWith(negative)) {
            number += '-';
            i += negative.size();
        } else if (rest.front() == u'+') {
            ++i;
        }
    }
    bool haveDigits = false;
    while (i < n && trimmed[i] >= u'0' && trimmed[i] <= u'9') {
        number += static_cast<char>(trimmed[i].unicode());
        haveDigits = true;
        ++i;
    }
    if (i < n && trimmed.sliced(i).startsWith(point)) {
        number += '.';
        i += point.size();
        while (i < n && trimmed[i] >= u'0' && trimmed[i] <= u'9') {
            number += static_cast<char>(trimmed[i].unicode());
            haveDigits = true;
            ++i;
        }
    }
    if (!haveDigits)
        return std::nullopt;
    if (i < n && (trimmed[i] == u'e' || trimmed[i] == u'E')) {
        number += 'e';
        ++i;
        if (i < n && (trimmed[i] == u'+' || trimmed[i] == u'-' || trimmed[i] == QChar(0x2212))) {
            number += trimmed[i] == u'+' ? '+' : '-';
            ++i;
        }
        bool exponentDigits = false;
        while (i < n && trimmed[i] >= u'0' && trimmed[i] <= u'9') {
            number += static_cast<char>(trimmed[i].unicode());
            exponentDigits = true;
            ++i;
        }
        if (!exponentDigits)
            return std::nullopt;
    }
    if (i != n)
        return std::nullopt;
    return toDouble(number);
}

namespace {

// The digits of a finite value down to hundredths, rounded half away from zero on the
// decimal digits (2.675 gives 268 although the double lies just below 2.675), at least
// three of them and no leading zeros beyond those.
std::string hundredthsDigits(const DecimalText &d)
{
    const int keep = d.exponent + 2;
    std::string kept;
    bool roundUp = false;
    if (keep >= 0) {
        for (int i = 0; i < keep; ++i)
            kept += i < static_cast<int>(d.digits.size()) ? d.digits[i] : '0';
        roundUp = keep < static_cast<int>(d.digits.size()) && d.digits[keep] >= '5';
    }
    if (roundUp) {
        int i = static_cast<int>(kept.size()) - 1;
        for (; i >= 0 && kept[i] == '9'; --i)
            kept[i] = '0';
        if (i >= 0)
            ++kept[i];
        else
            kept.insert(kept.begin(), '1');
    }
    while (kept.size() < 3)
        kept.insert(kept.begin(), '0');
    std::size_t firstNonZero = 0;
    while (firstNonZero + 3 < kept.size() && kept[firstNonZero] == '0')
        ++firstNonZero;
    kept.erase(0, firstNonZero);
    return kept;
}

} // namespace

QString formatTwoDecimals(double value, const QLocale &locale)
{
    if (!std::isfinite(value))
        return QString();
    const DecimalText d = toDecimalText(value);
    const std::string kept = hundredthsDigits(d);
    const bool isZero = kept.find_first_not_of('0') == std::string::npos;

    QString text;
    if (d.negative && !isZero)
        text += u'-';
    text += QString::fromLatin1(kept.data(), static_cast<qsizetype>(kept.size() - 2));
    text += decimalSeparator(locale);
    text += QString::fromLatin1(kept.data() + kept.size() - 2, 2);
    return text;
}

double roundTwoDecimals(double value)
{
    if (!std::isfinite(value))
        return 0.0;
    const DecimalText d = toDecimalText(value);
    std::string kept = hundredthsDigits(d);
    kept.insert(kept.size() - 2, 1, '.');
    const double rounded = toDouble(kept).value_or(0.0);
    return d.negative && rounded != 0.0 ? -rounded : rounded;
}

QString formatTwoDecimalsText(const QString &text, const QLocale &locale)
{
    if (const std::optional<double> value = parse(text, locale))
        return formatTwoDecimals(*value, locale);
    return text;
}

QString formatGeneral(double value, const QLocale &locale)
{
    if (!std::isfinite(value))
        return QString();
    if (value == 0.0)
        return QStringLiteral("0");
    char buffer[64];
    const auto written
        = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, significantDigits);
    QString text = QString::fromLatin1(buffer, written.ptr - buffer);
    text.replace(u'e', u'E');
    text.replace(u'.', decimalSeparator(locale));
    return text;
}

std::optional<double> plainDecimal(QStringView text)
{
    QByteArray digits;
    digits.reserve(text.size());
    bool separator = false;
    bool anyDigit = false;
    for (const QChar c : text) {
        if (c == u' ' || c == u'\t')
            continue;
        if ((c == u'-' || c == u'+') && digits.isEmpty()) {
            digits += char(c.unicode());
        } else if (c >= u'0' && c <= u'9') {
            digits += char(c.unicode());
            anyDigit = true;
        } else if ((c == u',' || c == u'.') && !separator) {
            digits += '.';
            separator = true;
        } else {
            return std::nullopt;
        }
    }
    if (!anyDigit)
        return std::nullopt;
    bool ok = false;
    const double value = digits.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

double amountValue(QStringView text)
{
    if (const std::optional<double> value = plainDecimal(text))
        return *value;
    return leadingNumberValue(text);
}

} // namespace lunora::numbers
