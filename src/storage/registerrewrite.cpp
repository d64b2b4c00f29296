// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "storage/registerrewrite.h"

#include "storage/caseregister.h"
#include "storage/codeindex.h"
#include "storage/datafolder.h"
#include "storage/fileio.h"
#include "storage/readahead.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <vector>

namespace lunora {

namespace {

// Up to this many cases to drop are looked for by reading the control codes in order,
// which costs less than building the index.
constexpr qsizetype DropsWithoutIndex = 4;

// The bytes the quoted form adds to a line's fields: two quotes each, the commas
// between them and CR LF.
constexpr qsizetype QuotedFormBytes = 2 * RegisterFieldCount + (RegisterFieldCount - 1) + 2;

char *copy(char *to, QByteArrayView bytes)
{
    if (!bytes.isEmpty())
        std::memcpy(to, bytes.data(), static_cast<std::size_t>(bytes.size()));
    return to + bytes.size();
}

// The rewritten register, collected into pieces of a quarter megabyte for
// fileio::saveInPieces.
class Pieces final
{
public:
    explicit Pieces(const fileio::Sink &sink)
        : m_sink(sink)
        , m_buffer(256 * 1024)
    {
    }

    // Room for `size` bytes at the end; advance() then says they are written.
    char *room(qsizetype size)
    {
        if (m_used + size > static_cast<qsizetype>(m_buffer.size())) {
            flush();
            if (size > static_cast<qsizetype>(m_buffer.size()))
                m_buffer.resize(static_cast<std::size_t>(size));
        }
        return m_buffer.data() + m_used;
    }
    void advance(qsizetype size) { m_used += size; }
    void put(QByteArrayView bytes)
    {
        copy(room(bytes.size()), bytes);
        advance(bytes.size());
    }
    // The line and CR LF.
    void putLine(QByteArrayView line)
    {
        char *p = copy(room(line.size() + 2), line);
        p[0] = '\r';
        p[1] = '\n';
        advance(line.size() + 2);
    }
    void flush()
    {
        if (m_used > 0)
            m_sink(QByteArrayView(m_buffer.data(), m_used));
        m_used = 0;
    }

private:
    const fileio::Sink &m_sink;
    std::vector<char> m_buffer;
    qsizetype m_used = 0;
};

// Whether the quoted form gives the line's fields back: not when one holds a double
// quote (only a plain line written by an older copy can).
bool quotedFormCarries(const caseregister::Table::Fields &fields)
{
    return std::none_of(
        fields.begin(), fields.end(), [](const QByteArrayView &field) { return field.contains('"'); });
}

// The quoted form quotePlain() makes of the line, and CR LF; false, with nothing
// written, for a line it does not quote.
bool putQuotedPlain(Pieces &out, QByteArrayView line)
{
    const qsizetype size = line.size() + caseregister::Table::QuotesAdded + 2;
    char *const first = out.room(size);
    if (!caseregister::Table::quotePlain(line, first))
        return false;
    first[size - 2] = '\r';
    first[size - 1] = '\n';
    out.advance(size);
    return true;
}

// One rewrite, in the steps rewriteRegister() takes them: the lines to drop are marked,
// the lines the list names are put in the list's order, the others follow in file
// order, and the lines are written in that order.
//
// The list's order: where the file still begins with the table the list shows, each of
// the list's rows is its own line. Otherwise, for every key the first line of the case
// not yet written, in file order: the list mostly stands in file order (unsorted, or
// sorted by date), so the line after the one written last is tried first and the index
// is built only when the list leaves the file's order.
class Rewrite final
{
public:
    Rewrite(const RegisterPlan &plan, const caseregister::Table &table, RegisterOutcome &outcome)
        : m_plan(plan)
        , m_table(table)
        , m_outcome(outcome)
        , m_state(static_cast<std::size_t>(table.size()), Free)
    {
        m_order.reserve(static_cast<std::size_t>(table.size()));
    }

    StoreResult markDropped();
    // `heldRowsAreLines`: the first rows of the table are those of the list's held one.
    void orderListed(const ListOrder &listOrder, bool heldRowsAreLines);
    void orderUnlisted();
    // `written`, when given, is told every line written.
    Status save(const QString &path, caseregister::Table::Builder *written) const;
    std::vector<qint32> takeOrder() { return std::move(m_order); }

private:
    enum : char
    {
        Free = 0,
        Dropped = 1,
        Written = 2
    };

    CodeIndex &indexed()
    {
        if (!m_index)
            m_index.emplace(m_table);
        return *m_index;
    }
    template <typename Key> bool matches(qsizetype row, const Key &key) const
    {
        return isCaseOf(m_table.keyFields(row), key);
    }
    bool isFree(qsizetype row) const { return m_state[static_cast<std::size_t>(row)] == Free; }
    bool isDropped(const ListOrder::Row &key) const;
    void take(qsizetype row)
    {
        m_state[static_cast<std::size_t>(row)] = Written;
        m_cursor = row + 1;
        m_order.push_back(static_cast<qint32>(row));
    }
    void takeFromChain(qint32 *head, const ListOrder::Row &key);
    qsizetype orderHeldRows(const ListOrder &listOrder);
    qsizetype orderInFileOrder(const ListOrder &listOrder);
    void orderThroughIndex(const ListOrder &listOrder, qsizetype first);
    static void readKeys(const ListOrder &listOrder, qsizetype first, qsizetype end);
    void writeLine(Pieces &out, qsizetype row, caseregister::Table::Builder *written) const;

    const RegisterPlan &m_plan;
    const caseregister::Table &m_table;
    RegisterOutcome &m_outcome;
    std::optional<CodeIndex> m_index;
    std::vector<char> m_state;
    std::vector<qint32> m_order; // the lines to write, in the order they are written
    qsizetype m_cursor = 0; // the line after the one taken last
};

// Every line of each case to drop, in file order, checked when the plan says so.
StoreResult Rewrite::markDropped()
{
    const qsizetype rows = m_table.size();
    bool anyDropped = false;
    for (qsizetype k = 0; k < m_plan.drop.size(); ++k) {
        const CaseKey &key = m_plan.drop.at(k);
        const bool scan = m_plan.drop.size() <= DropsWithoutIndex;
        const qint32 *head = scan ? nullptr : indexed().head(key.controlCode);
        qsizetype row = scan ? 0 : (head ? *head : -1);
        for (; row >= 0 && row < rows; row = scan ? row + 1 : m_index->next(row)) {
            if (!matches(row, key))
                continue;
            if (m_plan.checkDropped) {
                if (StoreResult checked = m_plan.checkDropped(m_table.entry(row)); !checked)
                    return checked;
            }
            m_state[static_cast<std::size_t>(row)] = Dropped;
            m_outcome.found[k] = true;
            m_outcome.dropped[k] = m_table.entry(row);
            anyDropped = true;
        }
    }
    if (!anyDropped)
        return StoreResult::failure(StoreError::NotFound, QStringLiteral("Ärendet finns inte i registret"));
    return {};
}

bool Rewrite::isDropped(const ListOrder::Row &key) const
{
    return std::any_of(m_plan.drop.cbegin(), m_plan.drop.cend(), [&key](const CaseKey &drop) {
        return drop.controlCode == key.controlCode && drop.caseNumber == key.caseNumber
            && drop.created == key.created;
    });
}

// The first free line of the case on its chain, the chain's head moved past the lines
// taken, so that a long list costs one step per case.
void Rewrite::takeFromChain(qint32 *head, const ListOrder::Row &key)
{
    qsizetype row = *head;
    if (key.controlCode.isEmpty()) {
        while (row >= 0 && !(isFree(row) && matches(row, key)))
            row = m_index->next(row);
        if (row >= 0)
            take(row);
        return;
    }
    while (row >= 0 && !isFree(row))
        row = m_index->next(row);
    if (row >= 0) {
        take(row);
        row = m_index->next(row);
    }
    *head = static_cast<qint32>(row);
}

// The list's keys lie where the list keeps them, out of file order when it is sorted,
// and so do the lines the index finds for them. Both are read a batch at a time in
// tight loops first, where the reads overlap (see storage/readahead.h).
void Rewrite::readKeys(const ListOrder &listOrder, qsizetype first, qsizetype end)
{
    quint32 value = 0;
    for (qsizetype k = first; k < end; ++k) {
        const QByteArrayView code = listOrder.at(k).controlCode;
        value += code.isEmpty() ? 0u : static_cast<uchar>(code.back());
    }
    readahead::keep(value);
}

// First the order of the lines, then the writing: the look-ups go from one place of the
// register to another, and the copying runs much faster once it knows every line it
// copies ahead.
void Rewrite::orderListed(const ListOrder &listOrder, bool heldRowsAreLines)
{
    qsizetype next = 0;
    if (heldRowsAreLines) {
        // The rows taken so lie anywhere: the rest are found through the index.
        next = orderHeldRows(listOrder);
        if (next < listOrder.size())
            indexed();
    } else if (!m_index) {
        next = orderInFileOrder(listOrder);
    }
    orderThroughIndex(listOrder, next);
}

// The list's rows that are rows of its held table, each its own line, without an index
// of the register (at a million cases some thirty megabytes, and a pass over every
// line); the list's row of the first key kept otherwise (the size of the list when
// none is).
qsizetype Rewrite::orderHeldRows(const ListOrder &listOrder)
{
    const qsizetype listed = listOrder.size();
    for (qsizetype i = 0; i < listed; ++i) {
        const qint32 row = listOrder.heldRow(i);
        if (row < 0 || row >= m_table.size())
            return i;
        // The list still holds the cases being dropped.
        if (isFree(row))
            take(row);
    }
    return listed;
}

// The list's rows as long as it follows the file's order; the list's row after the one
// where it leaves that order (the size of the list when it never does).
qsizetype Rewrite::orderInFileOrder(const ListOrder &listOrder)
{
    const qsizetype rows = m_table.size();
    const qsizetype listed = listOrder.size();
    qsizetype read = 0; // the list's rows whose keys were read ahead: up to here
    for (qsizetype i = 0; i < listed; ++i) {
        const ListOrder::Row &key = listOrder.at(i);
        if (i >= read) {
            read = std::min(listed, i + readahead::Batch);
            readKeys(listOrder, i, read);
        }
        // Until the index is built every line was taken at the cursor, so every line
        // before it is taken or dropped, and a matching line there is the case's first
        // free one.
        qsizetype candidate = m_cursor;
        while (candidate < rows && !isFree(candidate))
            ++candidate;
        m_cursor = candidate;
        if (candidate < rows && matches(candidate, key)) {
            take(candidate);
            continue;
        }
        // The list still holds the cases being dropped; every line of them is gone.
        if (isDropped(key))
            continue;
        // The list leaves the file's order here: from now on every case is found
        // through the index.
        if (qint32 *head = indexed().head(key.controlCode))
            takeFromChain(head, key);
        return i + 1;
    }
    return listed;
}

// The list's rows from `first` on, every case found through the index.
void Rewrite::orderThroughIndex(const ListOrder &listOrder, qsizetype first)
{
    const qsizetype listed = listOrder.size();
    constexpr qsizetype Batch = readahead::Batch;
    std::array<qint32 *, Batch> heads {};
    std::array<std::size_t, Batch> hashes {};
    for (qsizetype start = first; start < listed; start += Batch) {
        const qsizetype end = std::min(listed, start + Batch);
        readKeys(listOrder, start, end);
        quint32 value = 0;
        for (qsizetype k = start; k < end; ++k)
            hashes[k - start] = CodeIndex::hash(listOrder.at(k).controlCode);
        for (qsizetype k = start; k < end; ++k)
            value += m_index->touchSlot(hashes[k - start]);
        for (qsizetype k = start; k < end; ++k)
            value += m_index->touchLine(hashes[k - start]);
        readahead::keep(value);
        for (qsizetype k = start; k < end; ++k)
            heads[k - start] = m_index->head(listOrder.at(k).controlCode, hashes[k - start]);
        for (qsizetype k = start; k < end; ++k) {
            if (qint32 *head = heads[k - start])
                takeFromChain(head, listOrder.at(k));
        }
    }
}

void Rewrite::orderUnlisted()
{
    for (qsizetype row = 0; row < m_table.size(); ++row) {
        if (isFree(row))
            m_order.push_back(static_cast<qint32>(row));
    }
    // The order stands: the index and the marks go before the file is written, so that
    // the copy of it handed back to the list never lives beside them.
    m_index.reset();
    m_state = {};
}

void Rewrite::writeLine(Pieces &out, qsizetype row, caseregister::Table::Builder *written) const
{
    // Most lines are stored in the quoted form already and go out as they stand.
    const QByteArrayView line = m_table.rawLine(row);
    const auto asItStands = [&] {
        out.putLine(line);
        if (written)
            written->keep(row, line);
    };
    if (!caseregister::Table::quotedLine(line).isEmpty())
        return asItStands();
    // A plain line quoted as it stands is kept where the table holds it: the first
    // rewrite after many cases were added would otherwise hold all of them twice.
    if (putQuotedPlain(out, line)) {
        if (written)
            written->keepQuoted(row, line);
        return;
    }
    const caseregister::Table::Fields fields = m_table.fields(row);
    if (!quotedFormCarries(fields))
        return asItStands();
    qsizetype size = QuotedFormBytes;
    for (const QByteArrayView &field : fields)
        size += field.size();
    char *const first = out.room(size);
    char *p = first;
    for (int f = 0; f < RegisterFieldCount; ++f) {
        if (f > 0)
            *p++ = ',';
        *p++ = '"';
        p = copy(p, fields[f]);
        *p++ = '"';
    }
    *p++ = '\r';
    *p++ = '\n';
    out.advance(size);
    if (written)
        written->add(QByteArrayView(first, size));
}

// The file is written piece by piece: the register is not held a second time in memory,
// and no large buffer is spread over fresh pages. The lines out of file order are read
// in batches first (see storage/readahead.h).
Status Rewrite::save(const QString &path, caseregister::Table::Builder *written) const
{
    return fileio::saveInPieces(path, [&](const fileio::Sink &sink) {
        Pieces out(sink);
        constexpr auto Batch = static_cast<std::size_t>(readahead::Batch);
        const std::size_t count = m_order.size();
        for (std::size_t first = 0; first < count; first += Batch) {
            const std::size_t end = std::min(count, first + Batch);
            quint32 read = 0;
            for (std::size_t i = first; i < end; ++i)
                read += readahead::place(m_table, m_order[i]);
            for (std::size_t i = first; i < end; ++i)
                read += readahead::line(m_table, m_order[i]);
            readahead::keep(read);
            for (std::size_t i = first; i < end; ++i)
                writeLine(out, m_order[i], written);
        }
        out.put(m_plan.lastLine);
        if (written && !m_plan.lastLine.isEmpty())
            written->add(m_plan.lastLine);
        out.flush();
    });
}

// The written register as the table the builder made while the lines went out (the key
// fields' places of the lines it copied made there, on the worker), and where each of
// the list's lines went. Left unmade when the builder refused a line that did not read
// back as one, or the lines are not one for each line written.
void handBackWritten(WrittenRegister &written, const caseregister::Table &listed,
    Result<caseregister::Table> table, std::vector<qint32> order, const RegisterPlan &plan,
    const QString &path)
{
    if (!plan.lastLine.isEmpty())
        order.push_back(-1);
    if (!table || table.value().size() != static_cast<qsizetype>(order.size()))
        return;
    written.lineOf.assign(static_cast<std::size_t>(listed.size()), -1);
    for (std::size_t line = 0; line < order.size(); ++line) {
        const qint32 from = order[line];
        if (from >= listed.size())
            return;
        if (from >= 0)
            written.lineOf[static_cast<std::size_t>(from)] = static_cast<qint32>(line);
        else
            written.newLines.push_back(static_cast<qint32>(line));
    }
    written.table = table.takeValue();
    written.before = listed;
    written.stamp = FileStamp::of(path);
    written.made = true;
}

} // namespace

RegisterOutcome rewriteRegister(const RegisterPlan &plan)
{
    RegisterOutcome outcome;
    outcome.found = QList<bool>(plan.drop.size(), false);
    outcome.dropped = QList<RegisterEntry>(plan.drop.size());
    if (outcome.result = missingLib(); !outcome.result)
        return outcome;
    const QString path = paths::caseRegister();
    // The file is read as it is now, compared with the table the list was read from:
    // while it still begins with that table's bytes, the table (and the places of its
    // key fields, made once already) serves, and only lines added since are new.
    const caseregister::Table listed = plan.listOrder ? plan.listOrder->held() : caseregister::Table();
    Result<caseregister::Table::Reread> loaded = listed.reread(path);
    if (!loaded) {
        outcome.result = StoreResult::failure(StoreError::Unreadable, loaded.error());
        return outcome;
    }
    Rewrite rewrite(plan, loaded.value().table, outcome);
    if (outcome.result = rewrite.markDropped(); !outcome.result)
        return outcome;
    if (plan.listOrder)
        rewrite.orderListed(*plan.listOrder, !listed.isEmpty() && loaded.value().grew);
    rewrite.orderUnlisted();
    // Only a file that was exactly the list's table is handed back: the list's rows then
    // stand for every line written, and the new table takes the old one's place.
    const bool handBack = plan.written && !listed.isEmpty() && loaded.value().grew
        && loaded.value().table.byteSize() == listed.byteSize();
    std::optional<caseregister::Table::Builder> written;
    if (handBack)
        written.emplace(loaded.value().table);
    if (const Status saved = rewrite.save(path, written ? &*written : nullptr); !saved) {
        outcome.result = unwritable(saved);
        return outcome;
    }
    if (handBack)
        handBackWritten(*plan.written, listed, written->finish(), rewrite.takeOrder(), plan, path);
    return outcome;
}

} // namespace lunora
