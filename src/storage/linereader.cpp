// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "storage/linereader.h"

#include "storage/cp1252.h"
#include "storage/records.h"

#include <array>
#include <cstring>
#include <vector>

namespace lunora::linereader {

namespace {

bool isBlankChar(char c)
{
    return c == ' ' || c == '\t';
}

const char *find(const char *p, const char *end, char c)
{
    return static_cast<const char *>(std::memchr(p, c, end - p));
}

// Neighbouring entries share many values (date, name, priority, status, signature).
// Handing out one shared QString for equal bytes saves most of the allocations and
// much of the memory of a large register. A column whose values hardly repeat (case
// numbers, control codes) stops being looked up after a trial.
class ColumnCache final
{
public:
    QString text(QByteArrayView bytes)
    {
        if (!m_enabled)
            return cp1252::decode(bytes);
        Slot &slot = m_slots[hash(bytes) & (slotCount - 1)];
        ++m_lookups;
        if (slot.bytes.size() == bytes.size()
            && std::memcmp(slot.bytes.data(), bytes.data(), bytes.size()) == 0) {
            ++m_hits;
            return slot.text;
        }
        QString text = cp1252::decode(bytes);
        if (m_lookups == trialLookups && m_hits * 8 < m_lookups) {
            m_enabled = false;
            m_slots = {};
            return text;
        }
        slot.bytes = bytes;
        slot.text = text;
        return text;
    }

private:
    static constexpr std::size_t slotCount = 256;
    static constexpr int trialLookups = 2048;

    struct Slot
    {
        QByteArrayView bytes;
        QString text;
    };

    // Eight bytes at a time; fields are short.
    static std::size_t hash(QByteArrayView bytes)
    {
        const char *p = bytes.data();
        qsizetype n = bytes.size();
        quint64 h = quint64(n) * 0x9E3779B97F4A7C15ull;
        for (; n >= 8; p += 8, n -= 8) {
            quint64 word;
            std::memcpy(&word, p, 8);
            h = (h ^ word) * 0xFF51AFD7ED558CCDull;
        }
        quint64 tail = 0;
        std::memcpy(&tail, p, n);
        h = (h ^ tail) * 0xC4CEB9FE1A85EC53ull;
        return std::size_t(h >> 40);
    }

    std::array<Slot, slotCount> m_slots {};
    int m_lookups = 0;
    int m_hits = 0;
    bool m_enabled = true;
};

// Finds line ends in one pass over the text. The next LF is looked up once and kept
// until the reader passes it; a CR is searched for only up to that LF. Searching for
// the LF afresh on every line would read the rest of the file once per line: a file of
// two million bare CRs (and no LF) would take minutes.
class LineEnds final
{
public:
    explicit LineEnds(const char *end)
        : m_end(end)
    {
    }

    // The end of the line that starts at p: the first CR or LF, or the end of the text.
    const char *of(const char *p)
    {
        if (m_lf < p) {
            const char *lf = find(p, m_end, '\n');
            m_lf = lf ? lf : m_end;
        }
        const char *cr = find(p, m_lf, '\r');
        return cr ? cr : m_lf;
    }

private:
    const char *m_end;
    const char *m_lf = nullptr;
};

const char *nextLine(const char *p, const char *end)
{
    if (p < end && *p == '\r') {
        ++p;
        if (p < end && *p == '\n')
            ++p;
    } else if (p < end && *p == '\n') {
        ++p;
    }
    return p;
}

bool isBlankLine(const char *p, const char *end)
{
    for (; p < end; ++p) {
        if (!isBlankChar(*p))
            return false;
    }
    return true;
}

// The first c in [p, end), or end.
const char *scan(const char *p, const char *end, char c)
{
    const char *found = find(p, end, c);
    return found ? found : end;
}

// Reads one field of the line [p, lineEnd); returns where the next field starts.
const char *readField(const char *p, const char *lineEnd, QByteArrayView &field)
{
    while (p < lineEnd && isBlankChar(*p))
        ++p;
    if (p < lineEnd && *p == '"') {
        const char *begin = p + 1;
        const char *quote = scan(begin, lineEnd, '"');
        field = QByteArrayView(begin, quote - begin);
        if (quote == lineEnd)
            return lineEnd;
        const char *comma = scan(quote + 1, lineEnd, ',');
        return comma == lineEnd ? lineEnd : comma + 1;
    }
    const char *comma = scan(p, lineEnd, ',');
    field = QByteArrayView(p, comma - p);
    return comma == lineEnd ? lineEnd : comma + 1;
}

} // namespace

qsizetype maxRecords(QByteArrayView bytes)
{
    // Every record but the last ends with a CR or an LF.
    qsizetype lines = 1;
    const char *p = bytes.data();
    const char *end = p + bytes.size();
    while (p < end) {
        const char *lf = find(p, end, '\n');
        if (!lf)
            break;
        ++lines;
        p = lf + 1;
    }
    if (bytes.contains('\r') && !bytes.contains("\r\n"))
        lines = bytes.count('\r') + 1; // a file with CR line ends only
    return lines;
}

void readRecords(QByteArrayView bytes, int fieldCount, const std::function<QString *()> &nextRecord)
{
    std::vector<ColumnCache> columns(fieldCount);
    const char *p = bytes.data();
    const char *end = p + bytes.size();
    LineEnds lineEnds(end);
    while (p < end) {
        const char *eol = lineEnds.of(p);
        if (!isBlankLine(p, eol)) {
            QString *fields = nextRecord();
            const char *q = p;
            for (int i = 0; i < fieldCount; ++i) {
                QByteArrayView field;
                q = readField(q, eol, field);
                if (!field.isEmpty())
                    fields[i] = columns[i].text(field);
            }
        }
        p = nextLine(eol, end);
    }
}

QByteArray formatLine(const QString *fields, int fieldCount, bool quoted)
{
    QByteArray line;
    for (int i = 0; i < fieldCount; ++i) {
        if (i > 0)
            line += ',';
        if (quoted)
            line += '"';
        line += cp1252::encode(fields[i]);
        if (quoted)
            line += '"';
    }
    line += "\r\n";
    return line;
}

int firstUnstorable(const QString *fields, int fieldCount)
{
    for (int i = 0; i < fieldCount; ++i) {
        if (!isStorableValue(fields[i]))
            return i;
    }
    return -1;
}

} // namespace lunora::linereader
