#include "linereader.h"

#include "cp1252.h"

namespace lunora::linereader {

const char *Reader::findLineEnd(const char *p) const
{
    // Lines are short; memchr for the LF is vectorised, and a CR can only stand before
    // it (CR LF) or, in odd files, alone somewhere in the line.
    const auto *lf = static_cast<const char *>(std::memchr(p, '\n', m_end - p));
    const char *limit = lf ? lf : m_end;
    const auto *cr = static_cast<const char *>(std::memchr(p, '\r', limit - p));
    return cr ? cr : limit;
}

const char *Reader::skipLineEnd(const char *p) const
{
    if (p < m_end && *p == '\r')
        ++p;
    else if (p < m_end && *p == '\n')
        return p + 1;
    if (p < m_end && *p == '\n')
        ++p;
    return p;
}

bool Reader::isBlank(const char *p, const char *end)
{
    for (; p < end; ++p) {
        if (!isBlankChar(*p))
            return false;
    }
    return true;
}

const char *Reader::readField(const char *p, const char *lineEnd, const char *&begin, const char *&end)
{
    while (p < lineEnd && isBlankChar(*p))
        ++p;
    if (p < lineEnd && *p == '"') {
        begin = p + 1;
        const auto *quote = static_cast<const char *>(std::memchr(begin, '"', lineEnd - begin));
        end = quote ? quote : lineEnd;
        const char *rest = quote ? quote + 1 : lineEnd;
        const auto *comma = static_cast<const char *>(std::memchr(rest, ',', lineEnd - rest));
        return comma ? comma + 1 : lineEnd;
    }
    begin = p;
    const auto *comma = static_cast<const char *>(std::memchr(p, ',', lineEnd - p));
    end = comma ? comma : lineEnd;
    return comma ? comma + 1 : lineEnd;
}

QString Reader::decodeField(QByteArrayView bytes)
{
    return cp1252::decode(bytes);
}

} // namespace lunora::linereader
