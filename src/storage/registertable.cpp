// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "storage/caseregister.h"
#include "storage/cp1252.h"
#include "storage/fileio.h"
#include "storage/systemreason.h"

#include <QFileInfo>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <optional>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lunora::caseregister {

namespace {

constexpr int FieldCount = RegisterFieldCount;

// Line starts are stored as 32-bit numbers: a register of 4 GiB would hold some thirty
// million cases, far beyond what the program is meant for.
constexpr qsizetype MaxBytes = std::numeric_limits<quint32>::max();

// A register that grows by one line at a time would otherwise end up in thousands of
// pieces; past this many it is read whole again.
constexpr std::size_t MaxPieces = 32;

// A register is read in at most about this many pieces, each ending at a line end and
// none smaller than MinPieceBytes: once a rewrite has written some lines anew (the plain
// lines added since the last rewrite come out quoted, and they stand together at the
// end) the pieces that held only them are let go of, instead of one buffer of the whole
// file being kept for the lines still used, or copied.
constexpr qsizetype LoadPieces = 16;
constexpr qsizetype MinPieceBytes = qsizetype(4) << 20;

// Below this many rows a table read anew is read whole: two copies of it cost little,
// and the lines kept would keep the old bytes alive beside the new ones.
constexpr qsizetype LinesWorthKeeping = 1000;

// How much of the file is compared with the table at a time when it is read anew.
constexpr qsizetype CompareChunk = qsizetype(1) << 20;

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

const char *skipBlanks(const char *p, const char *end)
{
    while (p < end && isBlank(*p))
        ++p;
    return p;
}

// The first CR or LF from p on, or end. Every CR and LF ends a line, whatever quotes
// stand before it, so this is all the loader has to look for.
const char *findLineEnd(const char *p, const char *end)
{
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    while (end - p >= 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        const int hits = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf)));
        if (hits != 0)
            return p + __builtin_ctz(static_cast<unsigned>(hits));
        p += 16;
    }
#endif
    while (p < end && !isLineEnd(*p))
        ++p;
    return p;
}

// Up to the next `stop` or line end, or end. Sixteen bytes at a time: most fields are
// shorter, so a field mostly costs one step, and a pass over every row (a removal asks
// every row whether it is the case) finds its fields at the speed of the line end scan.
const char *findStop(const char *p, const char *end, char stop)
{
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi8(stop);
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    while (end - p >= 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        const __m128i hits = _mm_or_si128(
            _mm_cmpeq_epi8(v, wanted), _mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf)));
        if (const int mask = _mm_movemask_epi8(hits); mask != 0)
            return p + __builtin_ctz(static_cast<unsigned>(mask));
        p += 16;
    }
#endif
    while (p < end && *p != stop && !isLineEnd(*p))
        ++p;
    return p;
}

// The line starts of every entry, grown by realloc so that a large block is moved by the
// kernel rather than copied, and never cleared: every word is written before use.
class StartBuffer final
{
public:
    explicit StartBuffer(qsizetype rows)
        : m_capacity(std::max<qsizetype>(rows, 16))
        , m_words(static_cast<quint32 *>(std::malloc(sizeof(quint32) * m_capacity)))
    {
        if (!m_words)
            throw std::bad_alloc();
    }
    ~StartBuffer() { std::free(m_words); }
    StartBuffer(const StartBuffer &) = delete;
    StartBuffer &operator=(const StartBuffer &) = delete;

    void append(quint32 start)
    {
        if (m_rows == m_capacity)
            grow();
        m_words[m_rows++] = start;
    }
    qsizetype rows() const { return m_rows; }

    std::shared_ptr<const quint32[]> release()
    {
        // Give back the room an estimate too high left over.
        if (m_rows < m_capacity) {
            const std::size_t bytes = sizeof(quint32) * std::max<qsizetype>(m_rows, 1);
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
        auto *words = static_cast<quint32 *>(std::realloc(m_words, sizeof(quint32) * capacity));
        if (!words)
            throw std::bad_alloc();
        m_words = words;
        m_capacity = capacity;
    }

    qsizetype m_capacity;
    quint32 *m_words;
    qsizetype m_rows = 0;
};

// Every line that holds anything but blanks is an entry: a field never runs past a line
// end, so where the lines start is all that has to be known before a field is asked for.
void scan(const char *data, qsizetype size, StartBuffer &starts)
{
    const char *const end = data + size;
    const char *line = data;
    while (line < end) {
        const char *p = skipBlanks(line, end);
        if (p < end && !isLineEnd(*p)) {
            starts.append(static_cast<quint32>(line - data));
            p = findLineEnd(p, end);
        }
        line = p + 1;
    }
}

// The first `wanted` fields of the line at p, by the same rules as the reader of the
// article files: blanks before a field are skipped, a quoted field runs to the next
// quote (never past its line end) and what follows up to the next comma is dropped, an
// unquoted field runs to the next comma with its trailing blanks, missing fields are
// empty (placed at the line end) and fields beyond the ninth are ignored.
void splitLine(const char *p, const char *end, QByteArrayView *out, int wanted)
{
    p = skipBlanks(p, end);
    int field = 0;
    const char *i = p;
    for (;;) {
        if (p < end && *p == '"') {
            const char *start = p + 1;
            i = findStop(start, end, '"');
            out[field++] = QByteArrayView(start, i - start);
            if (i < end && *i == '"')
                i = findStop(i + 1, end, ',');
        } else {
            i = findStop(p, end, ',');
            out[field++] = QByteArrayView(p, i - p);
        }
        if (field == wanted || i >= end || *i != ',')
            break;
        p = skipBlanks(i + 1, end);
    }
    for (; field < wanted; ++field)
        out[field] = QByteArrayView(i, qsizetype(0));
}

Status readFailure(const QString &path, int error)
{
    return Status::failure(QStringLiteral("%1 kunde inte läsas: %2").arg(path, systemReason(error)));
}

// The file compared with the table, from its start on: read a megabyte at a time, so
// that the comparison holds no second copy of the register, and in steps as small as
// one line where the table's lines lie apart.
class Comparison final
{
public:
    explicit Comparison(QFile &file)
        : m_file(file)
        , m_chunk(CompareChunk, Qt::Uninitialized)
    {
    }

    // Whether the file goes on with exactly `bytes`; false also when it cannot be read
    // (then error() says why).
    bool goesOnWith(QByteArrayView bytes)
    {
        while (!bytes.isEmpty()) {
            if (m_at == m_filled && !refill())
                return false;
            const qsizetype size = std::min(bytes.size(), m_filled - m_at);
            if (std::memcmp(m_chunk.constData() + m_at, bytes.data(), std::size_t(size)) != 0)
                return false;
            m_at += size;
            bytes = bytes.sliced(size);
        }
        return true;
    }
    int error() const { return m_error; }

private:
    bool refill()
    {
        const qint64 got = m_file.read(m_chunk.data(), m_chunk.size());
        if (got < 0)
            m_error = errno;
        m_at = 0;
        m_filled = std::max<qint64>(got, 0);
        return got > 0;
    }

    QFile &m_file;
    QByteArray m_chunk;
    qsizetype m_at = 0;
    qsizetype m_filled = 0;
    int m_error = 0;
};

// Whether every entry of the piece is its line followed by CR LF, with nothing before,
// between or after them: the form in which a table made by Builder holds the file.
bool holdsOnlyLines(QByteArrayView bytes, const quint32 *starts, qsizetype rows)
{
    qsizetype at = 0;
    for (qsizetype row = 0; row < rows; ++row) {
        if (starts[row] != at)
            return false;
        const char *end = findLineEnd(bytes.data() + at, bytes.data() + bytes.size());
        at = end - bytes.data();
        if (bytes.size() - at < 2 || end[0] != '\r' || end[1] != '\n')
            return false;
        at += 2;
    }
    return at == bytes.size();
}

} // namespace

// Where a line of the table lies, found by the bytes a rewrite writes it as: a table of
// 2^k slots, each a row and 32 bits of that line's hash, looked for from the hash on.
// Eight bytes a slot, at least two slots a row, made and dropped within one read.
//
// Every rewrite writes a line in the quoted form, so a plain line quotePlain() can quote
// is looked for in that form: the rows another desk's rewrite quoted are then kept, plain,
// where this table holds them.
class Table::LineIndex final
{
public:
    explicit LineIndex(const Table &table)
        : m_table(table)
    {
        std::size_t count = 16;
        while (count < 2 * std::size_t(table.size()))
            count *= 2;
        m_mask = count - 1;
        m_slots = std::make_unique<Slot[]>(count);
        for (qsizetype row = 0; row < table.size(); ++row) {
            const std::size_t hash = qHash(rewritten(row).line);
            std::size_t at = hash & m_mask;
            while (m_slots[at].row != 0)
                at = (at + 1) & m_mask;
            m_slots[at] = { tagOf(hash), static_cast<quint32>(row + 1) };
        }
    }

    struct Found
    {
        qsizetype row = -1; // -1 when no row is written as the line
        bool quoted = false; // the row is stored plain, and the line is its quoted form
    };
    // A row a rewrite writes as exactly `line`.
    Found find(QByteArrayView line)
    {
        const std::size_t hash = qHash(line);
        for (std::size_t at = hash & m_mask; m_slots[at].row != 0; at = (at + 1) & m_mask) {
            const Slot &slot = m_slots[at];
            if (slot.tag != tagOf(hash))
                continue;
            const Form form = rewritten(slot.row - 1);
            if (form.line == line)
                return { slot.row - 1, form.quoted };
        }
        return {};
    }

private:
    struct Form
    {
        QByteArrayView line;
        bool quoted;
    };
    // The row's line as a rewrite writes it, made in m_scratch where it is not stored so.
    Form rewritten(qsizetype row)
    {
        // A line kept plain for its quoted form holds no quote at all, so this takes it too.
        const QByteArrayView stored = m_table.rawLine(row);
        if (!stored.startsWith('"')) {
            m_scratch.resize(stored.size() + QuotesAdded);
            if (quotePlain(stored, m_scratch.data()))
                return { m_scratch, true };
        }
        return { stored, false };
    }

    struct Slot
    {
        quint32 tag = 0;
        quint32 row = 0; // the row + 1; 0 for an empty slot
    };
    static quint32 tagOf(std::size_t hash) { return static_cast<quint32>(quint64(hash) >> 32); }

    const Table &m_table;
    std::size_t m_mask = 0;
    std::unique_ptr<Slot[]> m_slots;
    QByteArray m_scratch;
};

Result<std::optional<Table>> Table::readKeepingLines(QFile &file, const QString &path) const
{
    LineIndex index(*this);
    Builder builder(*this);
    QByteArray buffer(CompareChunk, Qt::Uninitialized);
    qsizetype at = 0;
    qsizetype filled = 0;
    for (;;) {
        const char *const begin = buffer.constData() + at;
        const char *const end = buffer.constData() + filled;
        const char *const lineEnd = findLineEnd(begin, end);
        // A line's CR LF must be in the buffer whole before the line is taken.
        if (end - lineEnd < 2) {
            std::memmove(buffer.data(), begin, std::size_t(end - begin));
            filled -= at;
            at = 0;
            if (filled == buffer.size())
                buffer.resize(2 * buffer.size());
            const qint64 got = file.read(buffer.data() + filled, buffer.size() - filled);
            if (got < 0)
                return readFailure(path, errno);
            if (got == 0 && filled == 0)
                break;
            if (got == 0)
                return std::optional<Table>(); // the last line without CR LF
            filled += got;
            continue;
        }
        const QByteArrayView line(begin, lineEnd);
        if (lineEnd[0] != '\r' || lineEnd[1] != '\n' || skipBlanks(begin, lineEnd) == lineEnd)
            return std::optional<Table>();
        if (const LineIndex::Found found = index.find(line); found.row < 0)
            builder.add(QByteArrayView(begin, lineEnd + 2));
        else if (found.quoted)
            builder.keepQuoted(found.row, rawLine(found.row));
        else
            builder.keep(found.row, line);
        at = lineEnd + 2 - buffer.constData();
    }
    Result<Table> table = builder.finish();
    if (!table)
        return std::optional<Table>();
    return std::optional<Table>(table.takeValue());
}

Result<Table> Table::load(const QString &path)
{
    if (!QFileInfo::exists(path))
        return Table();
    QFile file;
    if (Status opened = fileio::openForReading(path, file); !opened)
        return opened;
    return readPieces(file, path, file.size());
}

Result<Table> Table::readPieces(QFile &file, const QString &path, qsizetype expected)
{
    const qsizetype pieceSize = std::max(MinPieceBytes, expected / LoadPieces + 1);
    Pieces pieces;
    qsizetype rows = 0;
    qsizetype before = 0;
    QByteArray carried; // the start of a line the last piece did not end
    for (bool atEnd = false; !atEnd;) {
        QByteArray bytes(carried.size() + pieceSize, Qt::Uninitialized);
        std::memcpy(bytes.data(), carried.constData(), std::size_t(carried.size()));
        qsizetype have = carried.size();
        qsizetype cut = 0;
        for (;;) {
            const qint64 got = file.read(bytes.data() + have, bytes.size() - have);
            if (got < 0)
                return readFailure(path, errno);
            atEnd = got == 0;
            have += got;
            if (atEnd) {
                cut = have;
                break;
            }
            if (have < bytes.size())
                continue;
            // The piece ends after its last CR or LF; a line longer than a piece makes
            // it longer.
            cut = have;
            while (cut > 0 && !isLineEnd(bytes[cut - 1]))
                --cut;
            if (cut > 0)
                break;
            bytes.resize(2 * bytes.size());
        }
        carried = bytes.sliced(cut, have - cut);
        bytes.truncate(cut);
        if (bytes.isEmpty())
            continue;
        // The room of the line carried on is given back, and the last piece's unread rest.
        bytes.squeeze();
        Result<Piece> piece = scanned(std::move(bytes), rows, before);
        if (!piece)
            return piece.status();
        rows += piece.value().rows;
        before += piece.value().bytes.size();
        pieces.push_back(piece.takeValue());
    }
    if (pieces.empty())
        return fromBytes(QByteArray());
    return fromPieces(std::move(pieces));
}

Result<Table::Piece> Table::scanned(QByteArray bytes, qsizetype firstRow, qsizetype before)
{
    if (before + bytes.size() > MaxBytes)
        return Status::failure(QStringLiteral("Ärenderegistret är för stort för att läsas"));
    // Register lines written by the program are rarely shorter than a hundred bytes, so
    // this estimate seldom needs to grow and costs no pass of its own over the text.
    StartBuffer starts(bytes.size() / 96 + 16);
    scan(bytes.constData(), bytes.size(), starts);
    Piece piece;
    piece.rows = starts.rows();
    piece.starts = starts.release();
    piece.bytes = std::move(bytes);
    piece.firstRow = firstRow;
    return piece;
}

Table Table::fromPieces(Pieces pieces)
{
    Table table;
    for (const Piece &piece : pieces) {
        table.m_rows += piece.rows;
        table.m_byteSize += piece.bytes.size();
    }
    table.m_pieces = std::make_shared<const Pieces>(std::move(pieces));
    return table;
}

Result<Table> Table::fromBytes(QByteArray bytes)
{
    Result<Piece> piece = scanned(std::move(bytes), 0, 0);
    if (!piece)
        return piece.status();
    Pieces pieces;
    pieces.push_back(piece.takeValue());
    return fromPieces(std::move(pieces));
}

Result<Table::Reread> Table::reread(const QString &path) const
{
    if (!QFileInfo::exists(path))
        return Reread {};
    QFile file;
    if (Status opened = fileio::openForReading(path, file); !opened)
        return opened;
    const qsizetype size = file.size();
    if (m_byteSize > 0 && size >= m_byteSize) {
        // The file is compared and read on through one handle: a rewrite renames a new
        // file into place and leaves this one as it was, and an append only adds.
        Comparison comparison(file);
        bool same = true;
        if (m_places) {
            QByteArray scratch;
            for (qsizetype row = 0; same && row < m_rows; ++row)
                same = comparison.goesOnWith(fileLine(row, scratch)) && comparison.goesOnWith("\r\n");
        } else {
            for (auto piece = m_pieces->begin(); same && piece != m_pieces->end(); ++piece)
                same = comparison.goesOnWith(piece->bytes);
        }
        if (comparison.error() != 0)
            return readFailure(path, comparison.error());
        if (same) {
            if (!file.seek(m_byteSize))
                return readFailure(path, errno);
            Result<QByteArray> rest = fileio::readOn(file, path, size - m_byteSize);
            if (!rest)
                return rest.status();
            if (rest.value().isEmpty())
                return Reread { *this, true };
            // Without a line end between them, the old last line would run on into the
            // new bytes.
            if (endsWithLineEnd() || isLineEnd(rest.value().front())) {
                if (m_pieces->size() < MaxPieces) {
                    Result<Piece> piece = scanned(rest.takeValue(), m_rows, m_byteSize);
                    if (!piece)
                        return piece.status();
                    const Piece &added = piece.value();
                    if (!m_places || holdsOnlyLines(added.bytes, added.starts.get(), added.rows))
                        return Reread { appended(piece.takeValue()), true };
                }
                Result<Table> whole = load(path);
                if (!whole)
                    return whole.status();
                return Reread { whole.takeValue(), true };
            }
        }
        if (!file.seek(0))
            return readFailure(path, errno);
    }
    // Rewritten by another desk: most lines are mostly as they were, in another order.
    // They are kept where this table holds them, so that the register is not held twice
    // while the list still shows this table.
    if (m_rows >= LinesWorthKeeping) {
        Result<std::optional<Table>> kept = readKeepingLines(file, path);
        if (!kept)
            return kept.status();
        if (kept.value())
            return Reread { std::move(*kept.value()), false };
        if (!file.seek(0))
            return readFailure(path, errno);
    }
    Result<Table> table = readPieces(file, path, size);
    if (!table)
        return table.status();
    return Reread { table.takeValue(), false };
}

Table Table::appended(Piece piece) const
{
    Pieces pieces = *m_pieces;
    const auto index = static_cast<quint32>(pieces.size());
    const qsizetype rows = piece.rows;
    const qsizetype bytes = piece.bytes.size();
    pieces.push_back(std::move(piece));
    Table table = fromPieces(std::move(pieces));
    if (m_places) {
        auto places = std::make_shared<Places>();
        places->reserve(std::size_t(m_rows + rows));
        places->assign(m_places->begin(), m_places->end());
        for (qsizetype row = 0; row < rows; ++row)
            places->push_back({ index, static_cast<quint32>(row) });
        table.m_places = std::move(places);
        table.m_rows = m_rows + rows;
        table.m_byteSize = m_byteSize + bytes;
    }
    return table;
}

bool Table::endsWithLineEnd() const
{
    if (m_places)
        return true;
    const QByteArray &last = m_pieces->back().bytes;
    return !last.isEmpty() && isLineEnd(last.back());
}

Table::Place Table::placeOf(qsizetype row) const
{
    if (m_places)
        return (*m_places)[std::size_t(row)];
    const Pieces &pieces = *m_pieces;
    if (pieces.size() == 1)
        return { 0, static_cast<quint32>(row) };
    const auto after = std::upper_bound(pieces.begin(), pieces.end(), row,
        [](qsizetype r, const Piece &piece) { return r < piece.firstRow; });
    return { static_cast<quint32>(after - 1 - pieces.begin()),
        static_cast<quint32>(row - (after - 1)->firstRow) };
}

const char *Table::lineStart(qsizetype row, const char **end) const
{
    const Place place = placeOf(row);
    const Piece &piece = (*m_pieces)[place.piece];
    *end = piece.bytes.constData() + piece.bytes.size();
    return piece.bytes.constData() + piece.starts[place.row];
}

QByteArrayView Table::rawField(qsizetype row, int field) const
{
    const char *end;
    const char *start = lineStart(row, &end);
    QByteArrayView found[FieldCount];
    splitLine(start, end, found, field + 1);
    return found[field];
}

Table::Fields Table::fields(qsizetype row) const
{
    const char *end;
    const char *start = lineStart(row, &end);
    Fields found;
    splitLine(start, end, found.data(), FieldCount);
    return found;
}

QByteArrayView Table::quotedLine(qsizetype row) const
{
    return quotedLine(rawLine(row));
}

QByteArrayView Table::quotedLine(QByteArrayView line)
{
    // A quoted field runs to the next quote, so the quoted form is exactly: a quote,
    // then for every field the bytes up to the next quote, and between two fields the
    // three bytes quote, comma, quote; the last field's closing quote ends the line.
    // One walk over the line's bytes tells it, without splitting the line into fields.
    const char *p = line.data();
    const char *const end = p + line.size();
    if (line.isEmpty() || *p != '"')
        return {};
    ++p;
    for (int field = 0; field < FieldCount; ++field) {
        const auto *quote = static_cast<const char *>(std::memchr(p, '"', std::size_t(end - p)));
        if (!quote)
            return {};
        if (field == FieldCount - 1)
            return quote + 1 == end ? line : QByteArrayView();
        if (end - quote < 3 || quote[1] != ',' || quote[2] != '"')
            return {};
        p = quote + 3;
    }
    return {};
}

const Table::KeyPlaces &Table::keyPlaces(const Piece &piece)
{
    KeyPlaces &places = *piece.keys;
    std::call_once(places.made, [&] {
        static_assert(ControlCode > CaseNumber && ControlCode > Created);
        const char *const data = piece.bytes.constData();
        const char *const end = data + piece.bytes.size();
        QByteArrayView found[FieldCount];
        places.narrow = std::make_unique_for_overwrite<quint16[]>(std::size_t(piece.rows) * 6 + 1);
        quint16 *out = places.narrow.get();
        for (qsizetype row = 0; row < piece.rows; ++row) {
            const char *line = data + piece.starts[row];
            splitLine(line, end, found, ControlCode + 1);
            for (const int field : { ControlCode, CaseNumber, Created }) {
                const auto offset = quint64(found[field].data() - line);
                const auto size = quint64(found[field].size());
                if (offset > 0xffff || size > 0xffff) {
                    places.narrow.reset();
                    break;
                }
                *out++ = quint16(offset);
                *out++ = quint16(size);
            }
            if (!places.narrow)
                break;
        }
        if (places.narrow)
            return;
        places.wide = std::make_unique_for_overwrite<quint32[]>(std::size_t(piece.rows) * 6 + 1);
        quint32 *wide = places.wide.get();
        for (qsizetype row = 0; row < piece.rows; ++row) {
            splitLine(data + piece.starts[row], end, found, ControlCode + 1);
            for (const int field : { ControlCode, CaseNumber, Created }) {
                *wide++ = quint32(found[field].data() - data);
                *wide++ = quint32(found[field].size());
            }
        }
    });
    return places;
}

Table::KeyFields Table::keyFields(qsizetype row) const
{
    const Place place = placeOf(row);
    const Piece &piece = (*m_pieces)[place.piece];
    const KeyPlaces &places = keyPlaces(piece);
    const qsizetype at = place.row;
    const char *data = piece.bytes.constData();
    if (places.narrow) {
        const quint16 *w = places.narrow.get() + at * 6;
        const char *line = data + piece.starts[at];
        return { QByteArrayView(line + w[0], w[1]), QByteArrayView(line + w[2], w[3]),
            QByteArrayView(line + w[4], w[5]) };
    }
    const quint32 *w = places.wide.get() + at * 6;
    return { QByteArrayView(data + w[0], w[1]), QByteArrayView(data + w[2], w[3]),
        QByteArrayView(data + w[4], w[5]) };
}

QByteArrayView Table::rawLine(qsizetype row) const
{
    const char *end;
    const char *start = lineStart(row, &end);
    return QByteArrayView(start, findLineEnd(start, end));
}

QByteArrayView Table::fileLine(qsizetype row, QByteArray &scratch) const
{
    const QByteArrayView line = rawLine(row);
    if (!m_places || !(*m_places)[std::size_t(row)].quotedInFile)
        return line;
    // Only a line quotePlain() quotes is kept so; should one not be, the file is found
    // to differ and is read anew.
    scratch.resize(line.size() + QuotesAdded);
    if (!quotePlain(line, scratch.data()))
        return line;
    return scratch;
}

bool Table::quotePlain(QByteArrayView line, char *to)
{
    const char *const start = line.data();
    const char *const end = start + line.size();
    if (line.isEmpty() || isBlank(*start) || std::memchr(start, '"', std::size_t(line.size())))
        return false;
    std::array<const char *, FieldCount - 1> commas {};
    std::size_t found = 0;
    for (const char *p = start; p < end; ++p) {
        if (*p != ',')
            continue;
        if (found == commas.size() || (p + 1 < end && isBlank(p[1])))
            return false;
        commas[found++] = p;
    }
    if (found != commas.size())
        return false;
    *to++ = '"';
    const char *from = start;
    for (const char *comma : commas) {
        std::memcpy(to, from, std::size_t(comma - from));
        to += comma - from;
        std::memcpy(to, "\",\"", 3);
        to += 3;
        from = comma + 1;
    }
    std::memcpy(to, from, std::size_t(end - from));
    to[end - from] = '"';
    return true;
}

Table::Builder::Builder(const Table &from)
    : m_from(from)
{
    if (from.m_pieces)
        m_pieces = *from.m_pieces;
    m_used.assign(m_pieces.size(), 0);
    m_places.reserve(std::size_t(from.size()) + 1);
}

void Table::Builder::keep(qsizetype row, QByteArrayView line)
{
    Place place = m_from.placeOf(row);
    place.quotedInFile = 0;
    m_places.push_back(place);
    m_used[place.piece] += line.size() + 2;
    m_byteSize += line.size() + 2;
}

void Table::Builder::keepQuoted(qsizetype row, QByteArrayView line)
{
    Place place = m_from.placeOf(row);
    place.quotedInFile = 1;
    m_places.push_back(place);
    m_used[place.piece] += line.size() + 2;
    m_byteSize += line.size() + QuotesAdded + 2;
}

void Table::Builder::add(QByteArrayView line)
{
    m_added.append(line);
    m_places.push_back({ static_cast<quint32>(m_pieces.size()), static_cast<quint32>(m_addedRows++) });
    m_byteSize += line.size();
}

// A piece of which a quarter or more is no longer in the file (cases taken out, lines
// written anew) has the lines still in use copied into the new piece, so that what the
// table holds beyond the file stays small; so have the smallest ones past MaxPieces.
void Table::Builder::copyLittleUsedPieces()
{
    std::vector<std::size_t> kept;
    std::vector<bool> copied(m_pieces.size(), false);
    qsizetype copiedBytes = 0;
    for (std::size_t piece = 0; piece < m_pieces.size(); ++piece) {
        if (m_used[piece] > 0 && 4 * m_used[piece] >= 3 * m_pieces[piece].bytes.size())
            kept.push_back(piece);
        else
            copied[piece] = m_used[piece] > 0;
    }
    std::sort(kept.begin(), kept.end(), [&](std::size_t a, std::size_t b) { return m_used[a] > m_used[b]; });
    for (std::size_t k = MaxPieces - 1; k < kept.size(); ++k)
        copied[kept[k]] = true;
    for (std::size_t piece = 0; piece < m_pieces.size(); ++piece)
        copiedBytes += copied[piece] ? m_used[piece] : 0;
    if (copiedBytes == 0)
        return;
    m_added.reserve(m_added.size() + copiedBytes);
    for (Place &place : m_places) {
        if (place.piece >= copied.size() || !copied[place.piece])
            continue;
        const Piece &from = m_pieces[place.piece];
        const char *start = from.bytes.constData() + from.starts[place.row];
        const char *end = findLineEnd(start, from.bytes.constData() + from.bytes.size());
        m_added.append(QByteArrayView(start, end));
        m_added.append("\r\n");
        // A line stored plain is copied plain, still standing for its quoted form.
        place = { static_cast<quint32>(m_pieces.size()), static_cast<quint32>(m_addedRows++),
            place.quotedInFile };
    }
}

Result<Table> Table::Builder::finish()
{
    copyLittleUsedPieces();
    Result<Piece> scan = scanned(std::move(m_added), 0, 0);
    if (!scan)
        return scan.status();
    Piece added = scan.takeValue();
    if (added.rows != m_addedRows || !holdsOnlyLines(added.bytes, added.starts.get(), added.rows))
        return Status::failure(
            QStringLiteral("En skriven rad i ärenderegistret läses inte tillbaka som en rad"));
    m_pieces.push_back(std::move(added));
    // A piece no row lies in any more is let go of.
    std::vector<qint64> renumbered(m_pieces.size(), -1);
    for (const Place &place : m_places)
        renumbered[place.piece] = 0;
    Pieces kept;
    for (std::size_t piece = 0; piece < m_pieces.size(); ++piece) {
        if (renumbered[piece] < 0)
            continue;
        renumbered[piece] = qint64(kept.size());
        kept.push_back(std::move(m_pieces[piece]));
    }
    if (kept.size() < m_pieces.size()) {
        for (Place &place : m_places)
            place.piece = static_cast<quint32>(renumbered[place.piece]);
    }
    Table table;
    table.m_rows = qsizetype(m_places.size());
    table.m_byteSize = m_byteSize;
    table.m_pieces = std::make_shared<const Pieces>(std::move(kept));
    table.m_places = std::make_shared<const Places>(std::move(m_places));
    // The key places of the lines copied are made here too, off the window's thread.
    for (const Piece &piece : *table.m_pieces)
        (void)keyPlaces(piece);
    return table;
}

QString Table::field(qsizetype row, int field) const
{
    return cp1252::decode(rawField(row, field));
}

RegisterEntry Table::entry(qsizetype row) const
{
    const Fields found = fields(row);
    RegisterEntry entry;
    for (int f = 0; f < RegisterFieldCount; ++f)
        entry[f] = cp1252::decode(found[f]);
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
