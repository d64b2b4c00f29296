// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "storage/casestore.h"

#include "storage/casefiles.h"
#include "storage/casehistory.h"
#include "storage/caseregister.h"
#include "storage/cp1252.h"
#include "storage/datafolder.h"
#include "storage/fileio.h"
#include "storage/filestamp.h"
#include "storage/folderlock.h"
#include "storage/inputcheck.h"

#include <QDateTime>
#include <QFileInfo>
#include <QRandomGenerator>
#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace lunora {

StoreResult StoreResult::failure(StoreError kind, QString message, int field)
{
    StoreResult result;
    result.kind = kind;
    result.field = field;
    result.message = std::move(message);
    return result;
}

CaseKey caseKeyOf(QByteArrayView controlCode, QByteArrayView caseNumber, QByteArrayView created)
{
    CaseKey key;
    key.controlCode = controlCode.toByteArray();
    if (controlCode.isEmpty()) {
        key.caseNumber = caseNumber.toByteArray();
        key.created = created.toByteArray();
    }
    return key;
}

CaseKey caseKeyOf(const RegisterEntry &entry)
{
    return caseKeyOf(cp1252::encode(entry[ControlCode]), cp1252::encode(entry[CaseNumber]),
        cp1252::encode(entry[Created]));
}

ListOrder::ListOrder(const QList<CaseKey> &keys)
{
    reserve(keys.size());
    for (const CaseKey &key : keys)
        append(key.controlCode, key.caseNumber, key.created);
}

void ListOrder::appendCopy(const CaseKey &key)
{
    const CaseKey &copy = m_copies.emplace_back(key);
    append(copy.controlCode, copy.caseNumber, copy.created);
}

QStringList caseFiles(const QString &controlCode)
{
    const Result<QString> data = paths::caseDataFile(controlCode);
    const Result<QString> articles = paths::articleFile(controlCode);
    const Result<QString> notes = paths::notesFile(controlCode);
    const Result<QString> history = paths::historyFile(controlCode);
    if (!data || !articles || !notes || !history)
        return {};
    return { data.value(), articles.value(), notes.value(), history.value() };
}

namespace {

const QByteArray CrLf = QByteArrayLiteral("\r\n");

StoreResult missingLib()
{
    const QString lib = DataFolder::path(u"\\Lib");
    if (QFileInfo(lib).isDir())
        return {};
    return StoreResult::failure(StoreError::MissingFolder, QStringLiteral("No folder %1").arg(lib));
}

StoreResult unwritable(const Status &status)
{
    return StoreResult::failure(StoreError::Unwritable, status.error());
}

// A value read back unchanged from a plain line: no comma splits it, and the reader
// neither skips a leading blank nor takes a leading quote for a quoted field.
bool plainCarries(QStringView value)
{
    if (value.contains(u','))
        return false;
    return value.isEmpty() || (value.front() != u' ' && value.front() != u'\t' && value.front() != u'"');
}

// The check of a register line. A double quote is refused unless `keepQuotesOf` holds
// the same value in that field: lines written by older copies may hold one, and a case
// must stay changeable as long as that value is not retyped.
StoreResult checkEntry(const RegisterEntry &entry, const RegisterEntry *keepQuotesOf)
{
    for (int f = 0; f < RegisterFieldCount; ++f) {
        const inputcheck::Problem problem = inputcheck::recordValue(entry[f]);
        if (problem == inputcheck::Problem::None)
            continue;
        if (problem == inputcheck::Problem::DoubleQuote && keepQuotesOf && (*keepQuotesOf)[f] == entry[f])
            continue;
        return StoreResult::failure(
            StoreError::UnstorableValue, QStringLiteral("Field %1 cannot be stored").arg(f + 1), f);
    }
    return {};
}

// The line of a changed case: quoted, or plain when a value kept from an older copy
// holds a double quote. Empty when neither form carries the values.
QByteArray replacementLine(const RegisterEntry &entry)
{
    bool quotes = false;
    for (const QString &value : entry)
        quotes = quotes || value.contains(u'"');
    if (!quotes)
        return caseregister::formatQuoted(entry);
    for (const QString &value : entry) {
        if (!plainCarries(value))
            return {};
    }
    return caseregister::formatPlain(entry);
}

// ---- The register, rewritten from the file as it is ---------------------------------

// Where the lines of every control code are in the register: the first of each found
// through an open-addressed hash table, the others chained to it in file order. QHash,
// with its nodes and general hashing, cost more than the rest of a rewrite together.
class CodeIndex final
{
public:
    explicit CodeIndex(const caseregister::Table &table)
        : m_table(table)
        , m_next(static_cast<std::size_t>(table.size()), -1)
    {
        std::size_t count = 16;
        while (count < static_cast<std::size_t>(table.size()) * 2)
            count *= 2;
        m_slots.assign(count, Slot {});
        m_mask = count - 1;
        // From the last line to the first, so that each chain runs in file order.
        for (qsizetype row = table.size() - 1; row >= 0; --row) {
            const QByteArrayView code = table.rawField(row, ControlCode);
            const std::size_t h = hash(code);
            Slot &slot = find(code, h);
            if (slot.key < 0) {
                slot.key = static_cast<qint32>(row);
                slot.tag = tagOf(h);
            }
            m_next[static_cast<std::size_t>(row)] = slot.head;
            slot.head = static_cast<qint32>(row);
        }
    }

    // The first line on the code's chain (-1 once the chain is used up), or nullptr
    // for a code the register does not hold. The caller may move the head on: the
    // lines before it are then skipped.
    qint32 *head(QByteArrayView code) { return head(code, hash(code)); }
    qint32 *head(QByteArrayView code, std::size_t h)
    {
        Slot &slot = find(code, h);
        return slot.key < 0 ? nullptr : &slot.head;
    }

    // Eight bytes at a time, mixed by multiplication. The seed, fixed per process, keeps
    // a register made to collide from making every look-up a long walk.
    static std::size_t hash(QByteArrayView bytes)
    {
        static const quint64 seed = QRandomGenerator::system()->generate64();
        quint64 h = seed ^ (static_cast<quint64>(bytes.size()) * 0x9E3779B97F4A7C15ull);
        const char *p = bytes.data();
        qsizetype n = bytes.size();
        for (; n >= 8; p += 8, n -= 8) {
            quint64 word;
            std::memcpy(&word, p, 8);
            h = (h ^ word) * 0xBF58476D1CE4E5B9ull;
            h ^= h >> 31;
        }
        quint64 word = 0;
        if (n > 0)
            std::memcpy(&word, p, static_cast<std::size_t>(n));
        h = (h ^ word) * 0x94D049BB133111EBull;
        return static_cast<std::size_t>(h ^ (h >> 29));
    }

    // A look-up reads from all over memory: the slot, then the line's place in the
    // table, its control code and its chain. A caller that goes through many codes
    // reads these for the next few hundred in tight loops first (see Table::touchLine).
    quint32 touchSlot(std::size_t h) const { return static_cast<quint32>(m_slots[h & m_mask].key); }
    quint32 touchLine(std::size_t h) const
    {
        const Slot &slot = m_slots[h & m_mask];
        if (slot.key < 0 || slot.tag != tagOf(h))
            return 0;
        const QByteArrayView code = m_table.rawField(slot.key, ControlCode);
        return static_cast<quint32>(m_next[static_cast<std::size_t>(slot.key)])
            + (code.isEmpty() ? 0u : static_cast<uchar>(code.front()));
    }

    qsizetype next(qsizetype row) const { return m_next[static_cast<std::size_t>(row)]; }

private:
    struct Slot
    {
        qint32 key = -1; // a line of the code, whose control code is the slot's key; -1: empty
        qint32 head = -1;
        quint32 tag = 0; // the upper half of the code's hash
    };

    static quint32 tagOf(std::size_t h) { return static_cast<quint32>(static_cast<quint64>(h) >> 32); }

    // The slot of the code: its own, or the empty one where it would go. The slot's tag
    // spares reading the register's bytes for every other code on the way: those reads
    // go all over the register and cost more than the rest of the look-up.
    Slot &find(QByteArrayView code, std::size_t h)
    {
        const quint32 tag = tagOf(h);
        for (std::size_t i = h & m_mask;; i = (i + 1) & m_mask) {
            Slot &slot = m_slots[i];
            if (slot.key < 0 || (slot.tag == tag && m_table.rawField(slot.key, ControlCode) == code))
                return slot;
        }
    }

    const caseregister::Table &m_table;
    std::vector<Slot> m_slots;
    std::size_t m_mask = 0;
    std::vector<qint32> m_next;
};

// The control codes of the register as it was when last looked at, kept between calls:
// a change of a saved case asks whether its code is still there, and reading 100,000
// lines for every row added would cost more than the row. Read anew only when the
// register's stamp has changed. Asked under the folder lock; the mutex keeps the
// start-up's clean-up, which runs in a thread of its own, from reading it half-made.
class RegisterCodes final
{
public:
    Result<bool> holds(const QString &path, QByteArrayView code)
    {
        const std::lock_guard<std::mutex> guard(m_mutex);
        const FileStamp now = FileStamp::of(path);
        if (!m_index || now != m_stamp) {
            m_index.reset();
            m_table = {};
            if (now.exists) {
                Result<caseregister::Table> loaded = caseregister::Table::load(path);
                if (!loaded)
                    return loaded.status();
                m_table = loaded.takeValue();
            }
            m_index = std::make_unique<CodeIndex>(m_table);
            m_stamp = now;
        }
        return m_index->head(code) != nullptr;
    }

private:
    std::mutex m_mutex;
    FileStamp m_stamp;
    caseregister::Table m_table;
    std::unique_ptr<CodeIndex> m_index; // points into m_table
};

struct RegisterPlan
{
    QList<CaseKey> drop; // every line of these cases leaves the register
    const ListOrder *listOrder = nullptr;
    QByteArray lastLine; // appended after the others when not empty
    // When set, a line dropped for drop[i] is checked with this before anything is
    // written (the replacement's double quotes against the old line).
    std::function<StoreResult(const RegisterEntry &old)> checkDropped;
};

struct RegisterOutcome
{
    StoreResult result;
    QList<bool> found; // per drop key: whether the register held a line of it
    QList<RegisterEntry> dropped; // per drop key: its last line taken out (empty when none)
};

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
bool quotedFormCarries(const caseregister::Table &table, qsizetype row)
{
    for (int f = 0; f < RegisterFieldCount; ++f) {
        if (table.rawField(row, f).contains('"'))
            return false;
    }
    return true;
}

// The rewrite puts the lines the list names in the list's order: for every key the
// first line of the case not yet written, in file order. The list mostly stands in
// file order (unsorted, or sorted by date), so the line after the one written last is
// tried first and the index is built only when the list leaves the file's order.
RegisterOutcome rewriteRegister(const RegisterPlan &plan)
{
    RegisterOutcome outcome;
    outcome.found = QList<bool>(plan.drop.size(), false);
    outcome.dropped = QList<RegisterEntry>(plan.drop.size());
    if (outcome.result = missingLib(); !outcome.result)
        return outcome;
    const QString path = paths::caseRegister();
    Result<caseregister::Table> loaded = caseregister::Table::load(path);
    if (!loaded) {
        outcome.result = StoreResult::failure(StoreError::Unreadable, loaded.error());
        return outcome;
    }
    const caseregister::Table &table = loaded.value();
    const qsizetype rows = table.size();

    std::optional<CodeIndex> index;
    const auto indexed = [&]() -> CodeIndex & {
        if (!index)
            index.emplace(table);
        return *index;
    };
    const auto matches = [&table](qsizetype row, const auto &key) {
        return table.rawField(row, ControlCode) == key.controlCode
            && (!key.controlCode.isEmpty()
                || (table.rawField(row, CaseNumber) == key.caseNumber
                    && table.rawField(row, Created) == key.created));
    };

    enum : char
    {
        Free = 0,
        Dropped = 1,
        Written = 2
    };
    std::vector<char> state(static_cast<std::size_t>(rows), Free);
    const auto isFree = [&state](qsizetype row) {
        return state[static_cast<std::size_t>(row)] == Free;
    };

    const auto isDropped = [&plan](const ListOrder::Row &key) {
        return std::any_of(plan.drop.cbegin(), plan.drop.cend(), [&key](const CaseKey &drop) {
            return drop.controlCode == key.controlCode && drop.caseNumber == key.caseNumber
                && drop.created == key.created;
        });
    };

    bool anyDropped = false;
    for (qsizetype k = 0; k < plan.drop.size(); ++k) {
        const CaseKey &key = plan.drop.at(k);
        // Every line of the case, in file order.
        const bool scan = plan.drop.size() <= DropsWithoutIndex;
        const qint32 *head = scan ? nullptr : indexed().head(key.controlCode);
        qsizetype row = scan ? 0 : (head ? *head : -1);
        for (; row >= 0 && row < rows; row = scan ? row + 1 : index->next(row)) {
            if (!matches(row, key))
                continue;
            if (plan.checkDropped) {
                if (StoreResult checked = plan.checkDropped(table.entry(row)); !checked) {
                    outcome.result = checked;
                    return outcome;
                }
            }
            state[static_cast<std::size_t>(row)] = Dropped;
            outcome.found[k] = true;
            outcome.dropped[k] = table.entry(row);
            anyDropped = true;
        }
    }
    if (!anyDropped) {
        outcome.result
            = StoreResult::failure(StoreError::NotFound, QStringLiteral("The case is not in the register"));
        return outcome;
    }

    // First the order of the lines, then the writing: the look-ups go from one place of
    // the register to another, and the copying runs much faster once it knows every line
    // it copies ahead.
    std::vector<qint32> order;
    order.reserve(static_cast<std::size_t>(rows));
    qsizetype cursor = 0; // the line after the one taken last
    const auto take = [&](qsizetype row) {
        state[static_cast<std::size_t>(row)] = Written;
        cursor = row + 1;
        order.push_back(static_cast<qint32>(row));
    };
    // The first free line of the case on its chain, the chain's head moved past the lines
    // taken, so that a long list costs one step per case.
    const auto takeFromChain = [&](qint32 *head, const ListOrder::Row &key) {
        qsizetype row = *head;
        if (key.controlCode.isEmpty()) {
            while (row >= 0 && !(isFree(row) && matches(row, key)))
                row = index->next(row);
            if (row >= 0)
                take(row);
            return;
        }
        while (row >= 0 && !isFree(row))
            row = index->next(row);
        if (row >= 0) {
            take(row);
            row = index->next(row);
        }
        *head = static_cast<qint32>(row);
    };
    if (plan.listOrder) {
        const ListOrder &listOrder = *plan.listOrder;
        const qsizetype listed = listOrder.size();
        // The list's keys lie where the list keeps them, out of file order when it is
        // sorted, and so do the lines the index finds for them. Both are read a batch at
        // a time in tight loops first, where the reads overlap (see
        // caseregister::Table::touchLine).
        constexpr qsizetype Batch = caseregister::Table::ReadAhead;
        std::array<qint32 *, Batch> heads {};
        std::array<std::size_t, Batch> hashes {};
        qsizetype read = 0; // the list's rows whose keys were read ahead: up to here
        qsizetype batchStart = 0; // the list's row of heads[0]
        qsizetype found = 0; // the list's rows whose chains are in `heads`: up to here
        const auto readKeys = [&](qsizetype first, qsizetype end) {
            quint32 value = 0;
            for (qsizetype k = first; k < end; ++k) {
                const QByteArrayView code = listOrder.at(k).controlCode;
                value += code.isEmpty() ? 0u : static_cast<uchar>(code.back());
            }
            caseregister::Table::keepRead(value);
        };
        for (qsizetype i = 0; i < listed; ++i) {
            const ListOrder::Row &key = listOrder.at(i);
            if (index) {
                if (i >= found) {
                    const qsizetype end = std::min(listed, i + Batch);
                    readKeys(i, end);
                    quint32 value = 0;
                    for (qsizetype k = i; k < end; ++k)
                        hashes[k - i] = CodeIndex::hash(listOrder.at(k).controlCode);
                    for (qsizetype k = i; k < end; ++k)
                        value += index->touchSlot(hashes[k - i]);
                    for (qsizetype k = i; k < end; ++k)
                        value += index->touchLine(hashes[k - i]);
                    caseregister::Table::keepRead(value);
                    for (qsizetype k = i; k < end; ++k)
                        heads[k - i] = index->head(listOrder.at(k).controlCode, hashes[k - i]);
                    batchStart = i;
                    found = read = end;
                }
                if (qint32 *head = heads[i - batchStart])
                    takeFromChain(head, key);
                continue;
            }
            if (i >= read) {
                read = std::min(listed, i + Batch);
                readKeys(i, read);
            }
            // Until the index is built every line was taken at the cursor, so every line
            // before it is taken or dropped, and a matching line there is the case's first
            // free one.
            qsizetype candidate = cursor;
            while (candidate < rows && !isFree(candidate))
                ++candidate;
            cursor = candidate;
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
        }
    }
    for (qsizetype row = 0; row < rows; ++row) {
        if (isFree(row))
            order.push_back(static_cast<qint32>(row));
    }

    const auto write = [&table](Pieces &out, qsizetype row) {
        // Most lines are stored in the quoted form already and go out as they stand.
        if (const QByteArrayView line = table.quotedLine(row); !line.isEmpty()) {
            out.putLine(line);
        } else if (!quotedFormCarries(table, row)) {
            out.putLine(table.rawLine(row));
        } else {
            qsizetype size = QuotedFormBytes;
            for (int f = 0; f < RegisterFieldCount; ++f)
                size += table.rawField(row, f).size();
            char *p = out.room(size);
            for (int f = 0; f < RegisterFieldCount; ++f) {
                if (f > 0)
                    *p++ = ',';
                *p++ = '"';
                p = copy(p, table.rawField(row, f));
                *p++ = '"';
            }
            *p++ = '\r';
            *p++ = '\n';
            out.advance(size);
        }
    };

    // The file is written piece by piece: the register is not held a second time in
    // memory, and no large buffer is spread over fresh pages. The lines out of file
    // order are read in batches first (see Table::touchLine).
    const Status saved = fileio::saveInPieces(path, [&](const fileio::Sink &sink) {
        Pieces out(sink);
        constexpr auto Batch = static_cast<std::size_t>(caseregister::Table::ReadAhead);
        const std::size_t count = order.size();
        for (std::size_t first = 0; first < count; first += Batch) {
            const std::size_t end = std::min(count, first + Batch);
            quint32 read = 0;
            for (std::size_t i = first; i < end; ++i)
                read += table.touchPlace(order[i]);
            for (std::size_t i = first; i < end; ++i)
                read += table.touchLine(order[i]);
            caseregister::Table::keepRead(read);
            for (std::size_t i = first; i < end; ++i)
                write(out, order[i]);
        }
        out.put(plan.lastLine);
        out.flush();
    });
    if (!saved)
        outcome.result = unwritable(saved);
    return outcome;
}

// ---- Article files ------------------------------------------------------------------

struct ArticleLines
{
    QList<QByteArray> raw; // each line as stored, without its line end
    QList<ArticleRow> rows;
};

Result<ArticleLines> readArticleLines(const QString &path)
{
    ArticleLines lines;
    if (!QFileInfo::exists(path))
        return lines;
    Result<QByteArray> bytes = fileio::readAll(path);
    if (!bytes)
        return bytes.status();
    const QByteArray &data = bytes.value();
    qsizetype start = 0;
    while (start <= data.size()) {
        qsizetype end = start;
        while (end < data.size() && data[end] != '\r' && data[end] != '\n')
            ++end;
        const QByteArrayView line(data.constData() + start, end - start);
        bool blank = true;
        for (char c : line)
            blank = blank && (c == ' ' || c == '\t');
        if (!blank) {
            lines.raw << line.toByteArray();
            lines.rows << articlefile::parse(line).value(0);
        }
        start = end + 1;
    }
    return lines;
}

QByteArray articleLine(const ArticleLines &lines, qsizetype i)
{
    const ArticleRow &row = lines.rows.at(i);
    for (const QString &value : row) {
        if (value.contains(u'"'))
            return lines.raw.at(i) + CrLf;
    }
    return articlefile::formatRow(row);
}

StoreResult articlePath(const QString &controlCode, QString &path)
{
    if (StoreResult lib = missingLib(); !lib)
        return lib;
    const Result<QString> found = paths::articleFile(controlCode);
    if (!found)
        return StoreResult::failure(StoreError::UnsafeName, found.error());
    path = found.value();
    return {};
}

// Rewrites the article file without the lines `skip` marks, then `last` when given.
StoreResult rewriteArticles(
    const QString &path, const ArticleLines &lines, const std::vector<bool> &skip, const ArticleRow *last)
{
    QByteArray contents;
    for (qsizetype i = 0; i < lines.rows.size(); ++i) {
        if (!skip[static_cast<std::size_t>(i)])
            contents += articleLine(lines, i);
    }
    if (last)
        contents += articlefile::formatRow(*last);
    if (const Status saved = fileio::saveAll(path, contents); !saved)
        return unwritable(saved);
    return {};
}

} // namespace

// ---- The operations -------------------------------------------------------------------

template <typename Body> StoreResult CaseStore::run(Change &change, Body &&body)
{
    // Every change runs under the folder lock, from its first read of a file to its
    // last write: another desk on the same folder cannot rewrite the register or an
    // article file between the moment this one reads it and the moment it writes it.
    const FolderLock lock = FolderLock::acquire();
    if (!lock) {
        if (lock.error() == FolderLock::Error::Unavailable) {
            if (StoreResult lib = missingLib(); !lib)
                return lib;
            return StoreResult::failure(StoreError::Unwritable, lock.errorText());
        }
        return StoreResult::failure(StoreError::Busy, lock.errorText());
    }
    // A saved case removed at another desk since this one opened it: its files went
    // with it, and whatever were written now would belong to a case no list shows.
    if (change.state == CaseState::Saved) {
        const Result<bool> holds = registerHolds(change.controlCodes.value(0));
        if (!holds)
            return StoreResult::failure(StoreError::Unreadable, holds.error());
        if (!holds.value())
            return StoreResult::failure(
                StoreError::CaseRemoved, QStringLiteral("The case is no longer in the register"));
    }
    StoreResult result = body();
    if (result)
        finished(change);
    return result;
}

void CaseStore::finished(const Change &change)
{
    // Still under the folder lock: the history of a case follows the order of its
    // changes even when several desks work on it. One time for every line of a change.
    const QDateTime now = QDateTime::currentDateTime();
    const QString code = change.controlCodes.value(0);
    switch (change.kind) {
    case Change::Kind::SaveCase:
        (void)casehistory::append(code, now, { casehistory::created() });
        break;
    case Change::Kind::ReplaceCase:
        (void)casehistory::append(code, now, casehistory::replaced(change.before.value(0), change.entry));
        break;
    case Change::Kind::RemoveCases:
        // Noted in Borttagna.txt by the removal itself, before the files went.
        break;
    case Change::Kind::AddRegisterLine:
        (void)casehistory::append(code, now, { casehistory::registerLineAdded() });
        break;
    case Change::Kind::RemoveRegisterLines:
        for (const RegisterEntry &removed : change.before)
            (void)casehistory::append(removed[ControlCode], now, { casehistory::registerLineRemoved() });
        break;
    case Change::Kind::AddArticleRow:
        (void)casehistory::append(code, now, { casehistory::rowAdded(change.rows.value(0)) });
        break;
    case Change::Kind::ReplaceArticleRow:
        (void)casehistory::append(
            code, now, { casehistory::rowChanged(change.rows.value(0), change.rows.value(1)) });
        break;
    case Change::Kind::RemoveArticleRows: {
        QStringList events;
        for (const ArticleRow &row : change.rows)
            events << casehistory::rowRemoved(row);
        (void)casehistory::append(code, now, events);
        break;
    }
    case Change::Kind::SaveNotes:
        if (change.notesChanged)
            (void)casehistory::append(code, now, { casehistory::notesChanged() });
        break;
    case Change::Kind::Printout:
        (void)casehistory::append(code, now, { change.event });
        break;
    }
}

StoreResult CaseStore::notePrintout(const QString &controlCode, const QString &event, CaseState state)
{
    Change change { Change::Kind::Printout, { controlCode }, {}, {}, {}, true, event };
    change.state = state;
    const StoreResult noted = run(change, []() { return StoreResult(); });
    // A removed case has no history left to add to.
    if (noted.kind == StoreError::CaseRemoved)
        return noted;
    // Without the lock no line could be written in order; it is noted as lost instead.
    if (!noted && !controlCode.isEmpty()) {
        const QDateTime now = QDateTime::currentDateTime();
        (void)fileio::appendLine(paths::historyErrorLog(),
            casehistory::formatLine(now,
                { controlCode + QStringLiteral("_Logg.txt"), casehistory::userName(), event,
                    noted.message }));
    }
    return noted;
}

Result<bool> CaseStore::registerHolds(const QString &controlCode)
{
    static RegisterCodes codes;
    if (controlCode.isEmpty())
        return false;
    return codes.holds(paths::caseRegister(), cp1252::encode(controlCode));
}

StoreResult CaseStore::checkNewCase(const RegisterEntry &entry)
{
    if (StoreResult checked = checkEntry(entry, nullptr); !checked)
        return checked;
    if (inputcheck::fileName(entry[ControlCode]) != inputcheck::Problem::None)
        return StoreResult::failure(StoreError::UnsafeName, QStringLiteral("Unsafe control code"));
    return {};
}

StoreResult CaseStore::checkReplacement(const RegisterEntry &entry, const RegisterEntry &original)
{
    if (StoreResult checked = checkEntry(entry, &original); !checked)
        return checked;
    if (replacementLine(entry).isEmpty()) {
        for (int f = 0; f < RegisterFieldCount; ++f) {
            if (!plainCarries(entry[f]))
                return StoreResult::failure(
                    StoreError::UnstorableValue, QStringLiteral("Field %1 cannot be stored").arg(f + 1), f);
        }
    }
    return {};
}

StoreResult CaseStore::checkArticleRow(const ArticleRow &row)
{
    for (int f = 0; f < ArticleFieldCount; ++f) {
        if (inputcheck::recordValue(row[f]) != inputcheck::Problem::None)
            return StoreResult::failure(
                StoreError::UnstorableValue, QStringLiteral("Field %1 cannot be stored").arg(f + 1), f);
    }
    return {};
}

StoreResult CaseStore::checkNotes(const CaseNotes &notes)
{
    const notesfile::Field field = notesfile::firstUnstorableField(notes);
    if (field == notesfile::Field::None)
        return {};
    return StoreResult::failure(StoreError::UnstorableNote,
        QStringLiteral("%1 cannot be stored").arg(notesfile::fieldCaption(field)), int(field));
}

StoreResult CaseStore::saveNotes(const QString &controlCode, const CaseNotes &notes, CaseState state)
{
    Change change { Change::Kind::SaveNotes, { controlCode }, {}, {} };
    change.state = state;
    return run(change, [&]() -> StoreResult {
        if (StoreResult checked = checkNotes(notes); !checked)
            return checked;
        const Result<QString> path = paths::notesFile(controlCode);
        if (!path)
            return StoreResult::failure(StoreError::UnsafeName, QStringLiteral("Unsafe control code"));
        if (StoreResult lib = missingLib(); !lib)
            return lib;
        // Saving what the file holds already is no change to the case's history.
        const Result<CaseNotes> before = notesfile::load(path.value());
        change.notesChanged = !before || before.value() != notes;
        if (const Status stored = notesfile::store(path.value(), notes); !stored)
            return unwritable(stored);
        return {};
    });
}

StoreResult CaseStore::saveNewCase(const RegisterEntry &entry, const CaseNotes &notes)
{
    Change change { Change::Kind::SaveCase, { entry[ControlCode] }, entry, {} };
    return run(change, [&entry, &notes]() -> StoreResult {
        if (StoreResult checked = checkNewCase(entry); !checked)
            return checked;
        if (StoreResult checked = checkNotes(notes); !checked)
            return checked;
        if (StoreResult lib = missingLib(); !lib)
            return lib;
        const QString dataPath = paths::caseDataFile(entry[ControlCode]).value();
        CaseRecord record;
        record.caseNumber = entry[CaseNumber];
        record.created = entry[Created];
        record.customerNumber = entry[CustomerNumber];
        record.customerName = entry[CustomerName];
        record.telephone = entry[Telephone];
        record.priority = entry[Priority];
        record.status = entry[CaseStatus];
        record.controlCode = entry[ControlCode];
        record.signature = entry[Signature];

        const bool dataFileExisted = fileio::exists(dataPath);
        if (const Status written = casedatafile::write(dataPath, record); !written)
            return unwritable(written);
        const QString notesPath = paths::notesFile(entry[ControlCode]).value();
        if (const Status stored = notesfile::store(notesPath, notes); !stored) {
            if (!dataFileExisted)
                (void)casedatafile::remove(dataPath);
            return unwritable(stored);
        }
        if (const Status appended = caseregister::appendPlain(paths::caseRegister(), entry); !appended) {
            // A data file without its register line would be a case that no list shows.
            if (!dataFileExisted)
                (void)casedatafile::remove(dataPath);
            (void)notesfile::remove(notesPath);
            return unwritable(appended);
        }
        return {};
    });
}

StoreResult CaseStore::replaceCase(const RegisterEntry &updated, const ListOrder &listOrder)
{
    Change change { Change::Kind::ReplaceCase, { updated[ControlCode] }, updated, {} };
    return run(change, [&]() -> StoreResult {
        // Characters that cannot be stored at all are refused before the file is read;
        // double quotes are allowed where the old line holds the same value.
        for (int f = 0; f < RegisterFieldCount; ++f) {
            const inputcheck::Problem problem = inputcheck::recordValue(updated[f]);
            if (problem != inputcheck::Problem::None && problem != inputcheck::Problem::DoubleQuote)
                return StoreResult::failure(
                    StoreError::UnstorableValue, QStringLiteral("Field %1 cannot be stored").arg(f + 1), f);
        }
        RegisterPlan plan;
        plan.drop = { caseKeyOf(updated) };
        plan.listOrder = &listOrder;
        plan.lastLine = replacementLine(updated);
        plan.checkDropped = [&updated](const RegisterEntry &old) {
            return checkReplacement(updated, old);
        };
        const RegisterOutcome outcome = rewriteRegister(plan);
        change.before = outcome.dropped;
        return outcome.result;
    });
}

StoreResult CaseStore::removeCases(const QList<RegisterEntry> &cases, const ListOrder &listOrder)
{
    Change change { Change::Kind::RemoveCases, {}, {}, {} };
    for (const RegisterEntry &entry : cases)
        change.controlCodes << entry[ControlCode];
    return run(change, [&]() -> StoreResult {
        RegisterPlan plan;
        for (const RegisterEntry &entry : cases)
            plan.drop << caseKeyOf(entry);
        plan.listOrder = &listOrder;
        const RegisterOutcome outcome = rewriteRegister(plan);
        if (!outcome.result)
            return outcome.result;
        // The register no longer names these cases; their files go now. One that cannot
        // be deleted stays behind unseen, which loses nothing. The removal is noted
        // first: its line, which names the control code, lets the clean-up at a later
        // start delete what a copy killed before the files went left behind.
        const QDateTime now = QDateTime::currentDateTime();
        for (qsizetype i = 0; i < cases.size(); ++i) {
            if (!outcome.found.at(i))
                continue;
            const RegisterEntry &removed = outcome.dropped.at(i);
            change.before << removed;
            if (!removed[ControlCode].isEmpty() || !removed[CaseNumber].isEmpty())
                (void)casehistory::appendRemoved(
                    now, removed[CaseNumber], removed[CustomerName], removed[ControlCode]);
            for (const QString &file : caseFiles(cases.at(i)[ControlCode])) {
                if (fileio::exists(file))
                    (void)fileio::remove(file);
            }
        }
        return {};
    });
}

StoreResult CaseStore::addRegisterLine(const RegisterEntry &entry)
{
    Change change { Change::Kind::AddRegisterLine, { entry[ControlCode] }, entry, {} };
    return run(change, [&]() -> StoreResult {
        if (StoreResult checked = checkEntry(entry, nullptr); !checked)
            return checked;
        if (StoreResult lib = missingLib(); !lib)
            return lib;
        if (const Status appended = caseregister::appendQuoted(paths::caseRegister(), entry); !appended)
            return unwritable(appended);
        return {};
    });
}

StoreResult CaseStore::removeRegisterLines(const QList<RegisterEntry> &cases, const ListOrder &listOrder)
{
    Change change { Change::Kind::RemoveRegisterLines, {}, {}, {} };
    for (const RegisterEntry &entry : cases)
        change.controlCodes << entry[ControlCode];
    return run(change, [&]() -> StoreResult {
        RegisterPlan plan;
        for (const RegisterEntry &entry : cases)
            plan.drop << caseKeyOf(entry);
        plan.listOrder = &listOrder;
        const RegisterOutcome outcome = rewriteRegister(plan);
        for (qsizetype i = 0; i < cases.size(); ++i) {
            if (outcome.found.value(i))
                change.before << outcome.dropped.at(i);
        }
        return outcome.result;
    });
}

StoreResult CaseStore::addArticleRow(const QString &controlCode, const ArticleRow &row, CaseState state)
{
    Change change { Change::Kind::AddArticleRow, { controlCode }, {}, { row } };
    change.state = state;
    return run(change, [&]() -> StoreResult {
        if (StoreResult checked = checkArticleRow(row); !checked)
            return checked;
        QString path;
        if (StoreResult found = articlePath(controlCode, path); !found)
            return found;
        if (const Status appended = articlefile::appendRow(path, row); !appended)
            return unwritable(appended);
        return {};
    });
}

StoreResult CaseStore::replaceArticleRow(
    const QString &controlCode, const ArticleRow &old, const ArticleRow &updated, CaseState state)
{
    Change change { Change::Kind::ReplaceArticleRow, { controlCode }, {}, { old, updated } };
    change.state = state;
    return run(change, [&]() -> StoreResult {
        if (StoreResult checked = checkArticleRow(updated); !checked)
            return checked;
        QString path;
        if (StoreResult found = articlePath(controlCode, path); !found)
            return found;
        const Result<ArticleLines> lines = readArticleLines(path);
        if (!lines)
            return StoreResult::failure(StoreError::Unreadable, lines.error());
        const qsizetype at = lines.value().rows.indexOf(old);
        if (at < 0)
            return StoreResult::failure(StoreError::NotFound, QStringLiteral("The row is not in the file"));
        std::vector<bool> skip(static_cast<std::size_t>(lines.value().rows.size()), false);
        skip[static_cast<std::size_t>(at)] = true;
        return rewriteArticles(path, lines.value(), skip, &updated);
    });
}

StoreResult CaseStore::removeArticleRows(
    const QString &controlCode, const QList<ArticleRow> &removed, CaseState state)
{
    Change change { Change::Kind::RemoveArticleRows, { controlCode }, {}, removed };
    change.state = state;
    return run(change, [&]() -> StoreResult {
        QString path;
        if (StoreResult found = articlePath(controlCode, path); !found)
            return found;
        const Result<ArticleLines> lines = readArticleLines(path);
        if (!lines)
            return StoreResult::failure(StoreError::Unreadable, lines.error());
        const QList<ArticleRow> &rows = lines.value().rows;
        std::vector<bool> skip(static_cast<std::size_t>(rows.size()), false);
        for (const ArticleRow &row : removed) {
            qsizetype at = -1;
            for (qsizetype i = 0; i < rows.size() && at < 0; ++i) {
                if (!skip[static_cast<std::size_t>(i)] && rows.at(i) == row)
                    at = i;
            }
            if (at < 0)
                return StoreResult::failure(StoreError::NotFound, QStringLiteral("A row is not in the file"));
            skip[static_cast<std::size_t>(at)] = true;
        }
        return rewriteArticles(path, lines.value(), skip, nullptr);
    });
}

} // namespace lunora
