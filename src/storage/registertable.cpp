// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "storage/caseregister.h"
#include "storage/cp1252.h"
#include "storage/fileio.h"

#include <QFileInfo>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lunora::caseregister {

namespace {

constexpr int FieldCount = RegisterFieldCount;
constexpr int Words = 2 * FieldCount;

// Field starts and lengths are stored as 32-bit numbers: a register of 4 GiB would hold
// some thirty million cases, far beyond what the program is meant for.
constexpr qsizetype MaxBytes = std::numeric_limits<quint32>::max();

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// The span words of all entries, grown by realloc so that a large block is moved by the
// kernel rather than copied, and never cleared: every word is written before use.
class SpanBuffer final
{
public:
    explicit SpanBuffer(qsizetype rows)
        : m_capacity(std::max<qsizetype>(rows, 16))
        , m_words(static_cast<quint32 *>(std::malloc(sizeof(quint32) * Words * m_capacity)))
    {
        if (!m_words)
            throw std::bad_alloc();
    }
    ~SpanBuffer() { std::free(m_words); }
    SpanBuffer(const SpanBuffer &) = delete;
    SpanBuffer &operator=(const SpanBuffer &) = delete;

    // Room for one more entry; returns where its words go.
    quint32 *append()
    {
        if (m_rows == m_capacity)
            grow();
        return m_words + Words * m_rows++;
    }
    qsizetype rows() const { return m_rows; }

    std::shared_ptr<const quint32[]> release()
    {
        // Give back the room an estimate too high left over.
        if (m_rows < m_capacity) {
            const std::size_t bytes = sizeof(quint32) * Words * std::max<qsizetype>(m_rows, 1);
            if (auto *smaller = static_cast<quint32 *>(std::realloc(m_words, bytes)))
                m_words = smaller;
        }
        quint32 *words = m_words;
        m_words = nullptr;
        return std::shared_ptr<const quint32[]>(
            words, [](const quint32 *p) { std::free(const_cast<quint32 *>(p)); });
    }

private:
    void grow()
    {
        const qsizetype capacity = m_capacity + m_capacity / 2 + 16;
        auto *words = static_cast<quint32 *>(std::realloc(m_words, sizeof(quint32) * Words * capacity));
        if (!words)
            throw std::bad_alloc();
        m_words = words;
        m_capacity = capacity;
    }

    qsizetype m_capacity;
    quint32 *m_words;
    qsizetype m_rows = 0;
};

// One bit per byte of the 64 bytes at p: set where the byte is a comma, a double quote,
// a CR or an LF. These are the only bytes where the reading of a line changes course;
// blanks matter only at a field's start and are looked at there.
inline quint64 structuralMask64(const char *p)
{
#if defined(__SSE2__)
    const __m128i comma = _mm_set1_epi8(',');
    const __m128i quote = _mm_set1_epi8('"');
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    quint64 mask = 0;
    for (int k = 0; k < 4; ++k) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + 16 * k));
        const __m128i hits = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, comma), _mm_cmpeq_epi8(v, quote)),
            _mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf)));
        mask |= quint64(static_cast<quint16>(_mm_movemask_epi8(hits))) << (16 * k);
    }
    return mask;
#else
    quint64 mask = 0;
    for (int i = 0; i < 64; ++i) {
        const char c = p[i];
        if (c == ',' || c == '"' || c == '\r' || c == '\n')
            mask |= quint64(1) << i;
    }
    return mask;
#endif
}

// The same for the last, shorter piece of the text.
quint64 structuralMaskTail(const char *p, qsizetype n)
{
    quint64 mask = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char c = p[i];
        if (c == ',' || c == '"' || c == '\r' || c == '\n')
            mask |= quint64(1) << i;
    }
    return mask;
}

// The structural bytes of the text one by one, in order: their positions, read off the
// masks of one 64-byte block after another.
class Events final
{
public:
    Events(const char *data, qsizetype size)
        : m_data(data)
        , m_size(size)
    {
        load();
    }

    // The next structural byte's position, or the text's size when there is none.
    qsizetype next()
    {
        while (m_mask == 0) {
            m_base += 64;
            if (m_base >= m_size)
                return m_size;
            load();
        }
        const qsizetype at = m_base + __builtin_ctzll(m_mask);
        m_mask &= m_mask - 1;
        return at;
    }

private:
    void load()
    {
        m_mask = m_base + 64 <= m_size ? structuralMask64(m_data + m_base)
                                       : structuralMaskTail(m_data + m_base, m_size - m_base);
    }

    const char *m_data;
    qsizetype m_size;
    qsizetype m_base = 0;
    quint64 m_mask = 0;
};

bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

// Finds the fields of every entry in one pass over the structural bytes, following the
// same line by line rules as the reader of the article files: every CR or LF ends a
// line, blank lines hold no entry, blanks before a field are skipped, a quoted field
// runs to the next quote (never past its line end) and what follows up to the next
// comma is dropped, an unquoted field runs to the next comma with its trailing blanks,
// missing fields are empty and fields beyond the ninth are ignored.
//
// Each step of a line is a loop of its own rather than one state switched on per byte:
// the processor then predicts the common lines (all plain, all quoted) almost perfectly.
void scan(const char *data, qsizetype size, SpanBuffer &spans)
{
    Events events(data, size);
    const auto skipBlanks = [data, size](qsizetype p) {
        while (p < size && isBlank(data[p]))
            ++p;
        return p;
    };
    // Up to the next comma or line end; quotes there are text.
    const auto toCommaOrLineEnd = [&events, data, size] {
        qsizetype i;
        do
            i = events.next();
        while (i < size && data[i] == '"');
        return i;
    };
    // Up to the next quote or line end; commas there are text.
    const auto toQuoteOrLineEnd = [&events, data, size] {
        qsizetype i;
        do
            i = events.next();
        while (i < size && data[i] == ',');
        return i;
    };

    qsizetype p = 0;
    for (;;) {
        p = skipBlanks(p);
        if (p >= size)
            return;
        if (isLineEnd(data[p])) {
            events.next(); // the blank line's end
            ++p;
            continue;
        }
        quint32 *entry = spans.append();
        qsizetype field = 0; // not an int: the stores of the span words could alias it
        qsizetype i = 0; // the byte that ended the last field read
        for (;;) {
            qsizetype start = p;
            if (p < size && data[p] == '"') {
                events.next(); // the opening quote
                start = p + 1;
                i = toQuoteOrLineEnd();
                entry[2 * field] = static_cast<quint32>(start);
                entry[2 * field + 1] = static_cast<quint32>(i - start);
                ++field;
                if (i < size && data[i] == '"')
                    i = toCommaOrLineEnd();
            } else {
                i = toCommaOrLineEnd();
                entry[2 * field] = static_cast<quint32>(start);
                entry[2 * field + 1] = static_cast<quint32>(i - start);
                ++field;
            }
            if (i >= size || data[i] != ',')
                break; // line end or end of text
            if (field == FieldCount) {
                do
                    i = events.next();
                while (i < size && !isLineEnd(data[i]));
                break;
            }
            p = skipBlanks(i + 1);
        }
        for (; field < FieldCount; ++field) {
            entry[2 * field] = 0;
            entry[2 * field + 1] = 0;
        }
        if (i >= size)
            return;
        p = i + 1;
    }
}

} // namespace

Result<Table> Table::load(const QString &path)
{
    if (!QFileInfo::exists(path))
        return Table();
    Result<QByteArray> bytes = fileio::readAll(path);
    if (!bytes)
        return bytes.status();
    return fromBytes(bytes.takeValue());
}

Result<Table> Table::fromBytes(QByteArray bytes)
{
    if (bytes.size() > MaxBytes)
        return Status::failure(QStringLiteral("Ärenderegistret är för stort för att läsas"));
    // Register lines written by the program are rarely shorter than a hundred bytes, so
    // this estimate seldom needs to grow and costs no pass of its own over the text.
    SpanBuffer spans(bytes.size() / 96 + 16);
    scan(bytes.constData(), bytes.size(), spans);
    Table table;
    table.m_rows = spans.rows();
    table.m_spans = spans.release();
    table.m_bytes = std::move(bytes);
    return table;
}

QByteArrayView Table::quotedLine(qsizetype row) const
{
    // The scan places a quoted field's start just after its opening quote, and a field
    // that follows the one before it at exactly three bytes' distance can only have
    // been reached over its closing quote, a comma and its own opening quote: no blank
    // or other byte fits in between. So the spans alone tell the quoted form, once the
    // line is known to start with the first field's quote and to end with the last one.
    const quint32 *span = m_spans.get() + SpanWords * row;
    const char *data = m_bytes.constData();
    const qsizetype size = m_bytes.size();
    const qsizetype start = qsizetype(span[0]) - 1; // the opening quote
    if (start < 0 || data[start] != '"' || (start > 0 && !isLineEnd(data[start - 1])))
        return {};
    qsizetype expected = start + 1;
    for (int f = 0; f < FieldCount; ++f) {
        if (qsizetype(span[2 * f]) != expected || data[expected - 1] != '"')
            return {};
        expected += qsizetype(span[2 * f + 1]) + 3;
    }
    const qsizetype closing = expected - 3; // where the last field's closing quote must be
    if (closing >= size || data[closing] != '"' || (closing + 1 < size && !isLineEnd(data[closing + 1])))
        return {};
    return QByteArrayView(data + start, closing + 1 - start);
}

QByteArrayView Table::rawLine(qsizetype row) const
{
    // Every CR and LF ends a line, and a field never runs past one, so the line is
    // what lies between the line ends around its first field.
    const char *data = m_bytes.constData();
    const qsizetype size = m_bytes.size();
    qsizetype start = m_spans.get()[SpanWords * row];
    qsizetype end = start;
    while (start > 0 && !isLineEnd(data[start - 1]))
        --start;
    while (end < size && !isLineEnd(data[end]))
        ++end;
    return QByteArrayView(data + start, end - start);
}

QString Table::field(qsizetype row, int field) const
{
    return cp1252::decode(rawField(row, field));
}

RegisterEntry Table::entry(qsizetype row) const
{
    RegisterEntry entry;
    for (int f = 0; f < RegisterFieldCount; ++f)
        entry[f] = field(row, f);
    return entry;
}

QList<RegisterEntry> Table::entries() const
{
    QList<RegisterEntry> list;
    list.reserve(m_rows);
    for (qsizetype row = 0; row < m_rows; ++row)
        list.append(entry(row));
    return list;
}

} // namespace lunora::caseregister
