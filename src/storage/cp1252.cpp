// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "storage/cp1252.h"

#include <array>

namespace lunora::cp1252 {

namespace {

// Bytes 0x80 to 0x9F are the only ones where Windows-1252 differs from Latin-1. The
// five bytes it leaves undefined stand for the C1 control of the same value, so that
// every byte survives a decode and encode unchanged.
constexpr std::array<char16_t, 32> highControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98-9F
};

// The byte for one UTF-16 unit, or -1 when Windows-1252 has no such character.
int byteFor(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < 32; ++i) {
        if (highControls[i] == c)
            return 0x80 + i;
    }
    return -1;
}

constexpr bool isHighControl(unsigned char b)
{
    return (b & 0xE0) == 0x80;
}

struct LowerTable
{
    std::array<char, 256> map {};
    constexpr LowerTable()
    {
        for (int i = 0; i < 256; ++i)
            map[i] = static_cast<char>(i);
        for (int i = 'A'; i <= 'Z'; ++i)
            map[i] = static_cast<char>(i + 32);
        for (int i = 0xC0; i <= 0xDE; ++i) {
            if (i != 0xD7) // the multiplication sign has no lower case
                map[i] = static_cast<char>(i + 32);
        }
        map[0x8A] = static_cast<char>(0x9A); // Š
        map[0x8C] = static_cast<char>(0x9C); // Œ
        map[0x8E] = static_cast<char>(0x9E); // Ž
        map[0x9F] = static_cast<char>(0xFF); // Ÿ
    }
};
constexpr LowerTable lowerTable;

struct DecodeTable
{
    std::array<char16_t, 256> map {};
    constexpr DecodeTable()
    {
        for (int i = 0; i < 256; ++i)
            map[i] = isHighControl(static_cast<unsigned char>(i)) ? highControls[i - 0x80] : char16_t(i);
    }
};
constexpr DecodeTable decodeTable;

} // namespace

QString decode(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return QString();
    const auto *in = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype size = bytes.size();
    // Fields are short: one pass through a table beats a vectorised Latin-1 pass
    // followed by a second look for the bytes 0x80-0x9F. Long texts take that way.
    if (size > 64) {
        QString text = QString::fromLatin1(bytes.data(), size);
        QChar *out = nullptr;
        for (qsizetype i = 0; i < size; ++i) {
            if (isHighControl(in[i])) {
                if (!out)
                    out = text.data();
                out[i] = QChar(highControls[in[i] - 0x80]);
            }
        }
        return text;
    }
    QString text(size, Qt::Uninitialized);
    auto *out = reinterpret_cast<char16_t *>(text.data());
    for (qsizetype i = 0; i < size; ++i)
        out[i] = decodeTable.map[in[i]];
    return text;
}

void decodeInto(QByteArrayView bytes, QString &text)
{
    const auto *in = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype size = bytes.size();
    text.resize(size);
    auto *out = reinterpret_cast<char16_t *>(text.data());
    for (qsizetype i = 0; i < size; ++i)
        out[i] = decodeTable.map[in[i]];
}

QByteArray encode(QStringView text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const int b = byteFor(c);
        if (b >= 0) {
            bytes.append(static_cast<char>(b));
            continue;
        }
        // One character outside the code page becomes one '?', also when it takes two
        // UTF-16 units.
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        bytes.append('?');
    }
    return bytes;
}

bool canEncode(QStringView text)
{
    for (QChar c : text) {
        if (byteFor(c.unicode()) < 0)
            return false;
    }
    return true;
}

char toLower(char c)
{
    return lowerTable.map[static_cast<unsigned char>(c)];
}

QByteArray toLower(QByteArrayView bytes)
{
    QByteArray lower(bytes.size(), Qt::Uninitialized);
    const auto *in = reinterpret_cast<const unsigned char *>(bytes.data());
    char *out = lower.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        out[i] = lowerTable.map[in[i]];
    return lower;
}

} // namespace lunora::cp1252
