#include "cp1252.h"

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

bool isHighControl(unsigned char b)
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

} // namespace

QString decode(QByteArrayView bytes)
{
    // Latin-1 decoding is vectorised in Qt; only the few bytes in 0x80-0x9F need a
    // second look.
    QString text = QString::fromLatin1(bytes.data(), bytes.size());
    const auto *data = reinterpret_cast<const unsigned char *>(bytes.data());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (isHighControl(data[i])) {
            QChar *out = text.data();
            for (qsizetype j = i; j < bytes.size(); ++j) {
                if (isHighControl(data[j]))
                    out[j] = QChar(highControls[data[j] - 0x80]);
            }
            break;
        }
    }
    return text;
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
