// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/caselistmodel.h"

#include "storage/cp1252.h"
#include "storage/readahead.h"

#include <QChar>
#include <QRegularExpression>
#include <QString>
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <numeric>
#include <thread>

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

Weight computeWeight(char16_t c)
{
    Weight w;
    const QChar ch(c);
    const bool upper = ch.isUpper() || ch.isTitleCase();
    w.tertiary = upper ? 1 : 0;
    const char16_t lower = ch.toLower().unicode();

    // The letters that Swedish treats as letters of their own or files beside them.
    switch (lower) {
    case u'\u00E5': // å
        w.primary = letterWeight(LetterAring);
        return w;
    case u'\u00E4': // ä
        w.primary = letterWeight(LetterAuml);
        return w;
    case u'\u00E6': // æ files as ä
        w.primary = letterWeight(LetterAuml);
        w.secondary = 1;
        return w;
    case u'\u00F6': // ö
        w.primary = letterWeight(LetterOuml);
        return w;
    case u'\u00F8': // ø files as ö
    case u'\u0153': // œ
        w.primary = letterWeight(LetterOuml);
        w.secondary = lower == u'\u00F8' ? 1 : 2;
        return w;
    case u'\u0151': // ő
        w.primary = letterWeight(LetterOuml);
        w.secondary = 3;
        return w;
    case u'\u00FC': // ü files as y
    case u'\u0171': // ű
        w.primary = letterWeight(u'y' - u'a');
        w.secondary = lower == u'\u00FC' ? 1 : 2;
        return w;
    case u'\u00FE': // þ
        w.primary = letterWeight(LetterThorn);
        return w;
    case u'\u00F0': // ð files as d
    case u'\u0111': // đ
        w.primary = letterWeight(u'd' - u'a');
        w.secondary = lower == u'\u00F0' ? 0x40 : 0x41;
        return w;
    case u'\u00DF': // ß files as s
        w.primary = letterWeight(u's' - u'a');
        w.secondary = 0x40;
        w.tertiary = 0;
        return w;
    case u'\u0142': // ł
        w.primary = letterWeight(u'l' - u'a');
        w.secondary = 0x40;
        return w;
    case u'\u0131': // dotless i
        w.primary = letterWeight(u'i' - u'a');
        w.secondary = 0x40;
        return w;
    default:
        break;
    }

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

// A byte string whose plain byte order is the order of compareSwedish(): the primary
// weights (two bytes each, high byte first) ended by two zero bytes, the accent and
// case weights (a byte each), then the code units themselves. Sorting many rows
// compares these keys, which lie together in memory, instead of the scattered texts.
void appendSortKey(QByteArray &key, QStringView text)
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

// The sort keys of one column for every row, packed together, with the first sixteen
// bytes of each key (eight characters) as a number so that most comparisons never look
// further.
class ColumnKeys
{
public:
    ColumnKeys(const CaseListModel &model, int column)
    {
        const int rows = model.rowCount();
        m_prefix.resize(static_cast<std::size_t>(rows));
        m_offset.resize(static_cast<std::size_t>(rows) + 1);
        qsizetype total = 0;
        for (int row = 0; row < rows; ++row)
            total += model.textSize(row, column) * 6 + 2;
        m_bytes.reserve(total);
        QString text;
        for (int row = 0; row < rows; ++row) {
            const std::size_t r = static_cast<std::size_t>(row);
            m_offset[r] = static_cast<std::size_t>(m_bytes.size());
            model.textInto(row, column, text);
            appendSortKey(m_bytes, text);
            const auto *key = reinterpret_cast<const unsigned char *>(m_bytes.constData()) + m_offset[r];
            const std::size_t length = static_cast<std::size_t>(m_bytes.size()) - m_offset[r];
            Prefix prefix = 0;
            for (std::size_t i = 0; i < sizeof(Prefix); ++i)
                prefix = (prefix << 8) | (i < length ? key[i] : 0u);
            m_prefix[r] = prefix;
        }
        m_offset[static_cast<std::size_t>(rows)] = static_cast<std::size_t>(m_bytes.size());
    }

    bool less(int a, int b) const
    {
        const std::size_t ra = static_cast<std::size_t>(a);
        const std::size_t rb = static_cast<std::size_t>(b);
        if (m_prefix[ra] != m_prefix[rb])
            return m_prefix[ra] < m_prefix[rb];
        const std::size_t la = m_offset[ra + 1] - m_offset[ra];
        const std::size_t lb = m_offset[rb + 1] - m_offset[rb];
        const int order = std::memcmp(
            m_bytes.constData() + m_offset[ra], m_bytes.constData() + m_offset[rb], std::min(la, lb));
        return order != 0 ? order < 0 : la < lb;
    }

private:
    using Prefix = unsigned __int128;
    std::vector<Prefix> m_prefix;
    std::vector<std::size_t> m_offset;
    QByteArray m_bytes;
};

constexpr int ColumnWidths[RegisterFieldCount] = { 1440, 1400, 1440, 2000, 2000, 1440, 2000, 3600, 1440 };

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

CaseListModel::CaseListModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

int CaseListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CaseListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : RegisterFieldCount;
}

QVariant CaseListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || static_cast<std::size_t>(index.row()) >= m_rows.size()
        || index.column() >= RegisterFieldCount)
        return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return displayText(index.row(), index.column());
    return {};
}

QString CaseListModel::displayText(int row, int column) const
{
    // A cell shows the start of a field only: a name of 20 MB written by some other
    // program would otherwise be measured and drawn whole at every paint.
    const qint32 at = m_rows[static_cast<std::size_t>(row)];
    if (at >= 0) {
        const QByteArrayView raw = m_table.rawField(at, column);
        if (raw.size() > DisplayLimit)
            return cp1252::decode(raw.first(DisplayLimit)); // one byte per character
        return m_table.field(at, column);
    }
    return m_added.at(-1 - at)[column].left(DisplayLimit);
}

RegisterEntry CaseListModel::entry(int row) const
{
    const qint32 at = m_rows[static_cast<std::size_t>(row)];
    return at >= 0 ? m_table.entry(at) : m_added.at(-1 - at);
}

CaseKey CaseListModel::key(int row) const
{
    const qint32 at = m_rows[static_cast<std::size_t>(row)];
    if (at < 0)
        return caseKeyOf(m_added.at(-1 - at));
    return caseKeyOf(
        m_table.rawField(at, ControlCode), m_table.rawField(at, CaseNumber), m_table.rawField(at, Created));
}

ListOrder CaseListModel::keys(const std::vector<int> &rows) const
{
    ListOrder order;
    order.hold(m_table);
    order.reserve(static_cast<qsizetype>(rows.size()));
    // Sorted by anything but date the rows lie all over the table: their places are
    // read a batch at a time first (see storage/readahead.h).
    constexpr auto Batch = static_cast<std::size_t>(readahead::Batch);
    for (std::size_t first = 0; first < rows.size(); first += Batch) {
        const std::size_t end = std::min(rows.size(), first + Batch);
        quint32 read = 0;
        for (std::size_t i = first; i < end; ++i) {
            const qint32 at = m_rows[static_cast<std::size_t>(rows[i])];
            read += at >= 0 ? readahead::place(m_table, at) : 0;
        }
        readahead::keep(read);
        for (std::size_t i = first; i < end; ++i) {
            const qint32 at = m_rows[static_cast<std::size_t>(rows[i])];
            if (at < 0)
                order.appendCopy(caseKeyOf(m_added.at(-1 - at)));
            else
                order.append(m_table.rawField(at, ControlCode), m_table.rawField(at, CaseNumber),
                    m_table.rawField(at, Created));
        }
    }
    return order;
}

bool CaseListModel::isCase(int row, const CaseKey &key) const
{
    const qint32 at = m_rows[static_cast<std::size_t>(row)];
    if (at < 0)
        return caseKeyOf(m_added.at(-1 - at)) == key;
    const QByteArrayView code = m_table.rawField(at, ControlCode);
    return code == key.controlCode
        && (!code.isEmpty()
            || (m_table.rawField(at, CaseNumber) == key.caseNumber
                && m_table.rawField(at, Created) == key.created));
}

QString CaseListModel::text(int row, int column) const
{
    const qint32 at = m_rows[static_cast<std::size_t>(row)];
    return at >= 0 ? m_table.field(at, column) : m_added.at(-1 - at)[column];
}

void CaseListModel::textInto(int row, int column, QString &text) const
{
    const qint32 at = m_rows[static_cast<std::size_t>(row)];
    if (at >= 0)
        cp1252::decodeInto(m_table.rawField(at, column), text);
    else
        text = m_added.at(-1 - at)[column];
}

QByteArrayView CaseListModel::rawText(int row, int column, QByteArray &scratch) const
{
    const qint32 at = m_rows[static_cast<std::size_t>(row)];
    if (at >= 0)
        return m_table.rawField(at, column);
    scratch = cp1252::encode(m_added.at(-1 - at)[column]);
    return scratch;
}

QByteArrayView CaseListModel::rawLine(int row) const
{
    const qint32 at = m_rows[static_cast<std::size_t>(row)];
    if (at < 0)
        return {};
    const QByteArrayView first = m_table.rawField(at, 0);
    const QByteArrayView last = m_table.rawField(at, RegisterFieldCount - 1);
    if (last.data() + last.size() < first.data())
        return {};
    return QByteArrayView(first.data(), last.data() + last.size());
}

qsizetype CaseListModel::textSize(int row, int column) const
{
    const qint32 at = m_rows[static_cast<std::size_t>(row)];
    // One character per byte in Windows-1252.
    return at >= 0 ? m_table.rawField(at, column).size() : m_added.at(-1 - at)[column].size();
}

QVariant CaseListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= RegisterFieldCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return columnCaption(section);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    default:
        return {};
    }
}

void CaseListModel::setTable(caseregister::Table table)
{
    beginResetModel();
    m_added.clear();
    m_rows.resize(static_cast<std::size_t>(table.size()));
    std::iota(m_rows.begin(), m_rows.end(), 0);
    m_table = std::move(table);
    endResetModel();
}

void CaseListModel::setEntries(QList<RegisterEntry> entries)
{
    beginResetModel();
    m_table = {};
    m_added = std::move(entries);
    m_rows.resize(static_cast<std::size_t>(m_added.size()));
    for (std::size_t i = 0; i < m_rows.size(); ++i)
        m_rows[i] = -1 - static_cast<qint32>(i);
    endResetModel();
}

void CaseListModel::appendEntry(const RegisterEntry &entry)
{
    const int row = static_cast<int>(m_rows.size());
    beginInsertRows({}, row, row);
    m_added.append(entry);
    m_rows.push_back(-1 - static_cast<qint32>(m_added.size() - 1));
    endInsertRows();
}

void CaseListModel::removeEntry(int row)
{
    if (row < 0 || static_cast<std::size_t>(row) >= m_rows.size())
        return;
    beginRemoveRows({}, row, row);
    // An added entry stays in m_added, unused, until the next load: the indices of the
    // others stay valid that way.
    m_rows.erase(m_rows.begin() + row);
    endRemoveRows();
}

QString CaseListModel::columnCaption(int column)
{
    switch (column) {
    case CaseNumber:
        return QStringLiteral("Ärende nr");
    case Created:
        return QStringLiteral("Skapad");
    case CustomerNumber:
        return QStringLiteral("Kund nr");
    case CustomerName:
        return QStringLiteral("Namn");
    case Telephone:
        return QStringLiteral("Telefon");
    case Priority:
        return QStringLiteral("Prioritet");
    case CaseStatus:
        return QStringLiteral("Status");
    case ControlCode:
        return QStringLiteral("Kontrollnummer");
    case Signature:
        return QStringLiteral("Signatur");
    default:
        return {};
    }
}

int CaseListModel::columnWidthUnits(int column)
{
    if (column < 0 || column >= RegisterFieldCount)
        return 0;
    return ColumnWidths[column];
}

namespace {

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

// Where `needle` (already lower case) first occurs in `haystack` from `from` on, letter
// case ignored, or -1.
qsizetype findFolded(QByteArrayView haystack, QByteArrayView needle, qsizetype from = 0)
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

// Whether the word occurs in one of the row's columns. A loaded row is searched in its
// line as a whole, one pass instead of nine; a place found there counts only when it
// lies inside one field, since the bytes between fields (quotes, commas, anything a
// damaged line has there) belong to no column.
bool rowContains(
    const CaseListModel &model, int row, QByteArrayView line, QByteArray &scratch, const QByteArray &word)
{
    if (line.isEmpty()) {
        for (int column = 0; column < RegisterFieldCount; ++column) {
            if (containsFolded(model.rawText(row, column, scratch), word))
                return true;
        }
        return false;
    }
    qsizetype at = findFolded(line, word);
    if (at < 0)
        return false;
    while (at >= 0) {
        const char *start = line.data() + at;
        const char *end = start + word.size();
        // The fields stand in order: the first that ends at or after the place found
        // is the only one that can hold it.
        for (int column = 0; column < RegisterFieldCount; ++column) {
            const QByteArrayView field = model.rawText(row, column, scratch);
            if (field.data() + field.size() < end)
                continue;
            if (start >= field.data())
                return true;
            break;
        }
        at = findFolded(line, word, at + 1);
    }
    return false;
}

} // namespace

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

CaseSearch::CaseSearch(const QString &text)
    : m_text(text)
{
    const QStringList words = text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    bool inRun = false;
    for (const QString &word : words) {
        const bool telephone = isTelephoneWord(word);
        if (!telephone || !inRun)
            m_groups.emplace_back();
        Group &group = m_groups.back();
        const QString lower = word.toLower();
        if (cp1252::canEncode(lower))
            group.words.push_back(cp1252::encode(lower));
        else
            group.encodable = false;
        if (telephone) {
            for (const QChar c : word) {
                if (c >= u'0' && c <= u'9')
                    group.digits.append(static_cast<char>(c.unicode()));
            }
        }
        inRun = telephone;
    }
}

bool CaseSearch::matches(const CaseListModel &model, int row) const
{
    QByteArray scratch;
    const QByteArrayView line = model.rawLine(row);
    QByteArray telephoneDigits;
    bool haveDigits = false;
    for (const Group &group : m_groups) {
        bool all = group.encodable;
        for (const QByteArray &word : group.words) {
            if (!all)
                break;
            all = rowContains(model, row, line, scratch, word);
        }
        if (all)
            continue;
        if (group.digits.isEmpty())
            return false;
        if (!haveDigits) {
            const QByteArrayView telephone = model.rawText(row, Telephone, scratch);
            for (const char c : telephone) {
                if (c >= '0' && c <= '9')
                    telephoneDigits.append(c);
            }
            haveDigits = true;
        }
        if (!telephoneDigits.contains(group.digits))
            return false;
    }
    return true;
}

bool CaseSearch::narrows(const CaseSearch &earlier) const
{
    // Typing on at the end only lengthens the last word or adds words; either way each
    // earlier word, and each earlier run's digits, is found inside what is asked now.
    return !earlier.isEmpty() && m_text.startsWith(earlier.m_text);
}

CaseSortProxy::CaseSortProxy(QObject *parent)
    : QAbstractProxyModel(parent)
{
}

void CaseSortProxy::setCaseModel(CaseListModel *model)
{
    beginResetModel();
    if (m_cases)
        disconnect(m_cases, nullptr, this, nullptr);
    m_cases = model;
    QAbstractProxyModel::setSourceModel(model);
    if (m_cases) {
        connect(
            m_cases, &QAbstractItemModel::modelAboutToBeReset, this, &CaseSortProxy::sourceAboutToBeReset);
        connect(m_cases, &QAbstractItemModel::modelReset, this, &CaseSortProxy::sourceReset);
        connect(m_cases, &QAbstractItemModel::rowsInserted, this, &CaseSortProxy::sourceRowsInserted);
        connect(m_cases, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            &CaseSortProxy::sourceRowsAboutToBeRemoved);
        connect(m_cases, &QAbstractItemModel::rowsRemoved, this, &CaseSortProxy::sourceRowsRemoved);
    }
    forgetColumnOrders();
    sortMapping();
    filterMapping();
    rebuildSourceToProxy();
    endResetModel();
}

bool CaseSortProxy::before(int sourceA, int sourceB) const
{
    const QString a = m_cases->text(sourceA, m_sortColumn);
    const QString b = m_cases->text(sourceB, m_sortColumn);
    return m_sortOrder == Qt::AscendingOrder ? compareSwedish(a, b) < 0 : compareSwedish(b, a) < 0;
}

void CaseSortProxy::forgetColumnOrders()
{
    for (auto &order : m_columnOrders)
        order.reset();
}

void CaseSortProxy::sortMapping()
{
    // Each sort starts from register order, so that rows with equal texts stand in
    // register order whatever was sorted before.
    const std::size_t rows = m_cases ? static_cast<std::size_t>(m_cases->rowCount()) : 0;
    m_order.resize(rows);
    if (m_sortColumn < 0 || !m_cases) {
        std::iota(m_order.begin(), m_order.end(), 0);
        return;
    }
    std::unique_ptr<ColumnOrder> &cached = m_columnOrders[static_cast<std::size_t>(m_sortColumn)];
    if (!cached || cached->ascending.size() != rows) {
        auto order = std::make_unique<ColumnOrder>();
        order->ascending.resize(rows);
        std::iota(order->ascending.begin(), order->ascending.end(), 0);
        {
            const ColumnKeys keys(*m_cases, m_sortColumn);
            std::stable_sort(order->ascending.begin(), order->ascending.end(),
                [&keys](int a, int b) { return keys.less(a, b); });
            order->sameAsPrevious.resize(rows);
            for (std::size_t i = 1; i < rows; ++i)
                order->sameAsPrevious[i] = !keys.less(order->ascending[i - 1], order->ascending[i]);
        }
        cached = std::move(order);
    }
    const ColumnOrder &order = *cached;
    if (m_sortOrder == Qt::AscendingOrder) {
        m_order = order.ascending;
        return;
    }
    // Descending: the runs of equal texts from the last to the first, each run kept in
    // register order.
    std::size_t out = 0;
    std::size_t end = rows;
    while (end > 0) {
        std::size_t start = end - 1;
        while (start > 0 && order.sameAsPrevious[start])
            --start;
        for (std::size_t i = start; i < end; ++i)
            m_order[out++] = order.ascending[i];
        end = start;
    }
}

namespace {

// Which of the given rows the search matches, as one flag per source row. The rows are
// looked at in register order, where their bytes lie one after another in memory, and
// a long list is shared between two threads; both only read.
std::vector<std::uint8_t> matchFlags(
    const CaseSearch &search, const CaseListModel &model, std::vector<int> rows)
{
    std::sort(rows.begin(), rows.end());
    std::vector<std::uint8_t> flags(static_cast<std::size_t>(model.rowCount()), 0);
    const auto run = [&](std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i)
            flags[static_cast<std::size_t>(rows[i])] = search.matches(model, rows[i]) ? 1 : 0;
    };
    constexpr std::size_t ShareFrom = 20000;
    if (rows.size() < ShareFrom || std::thread::hardware_concurrency() < 2) {
        run(0, rows.size());
        return flags;
    }
    const std::size_t half = rows.size() / 2;
    std::thread other(run, half, rows.size());
    run(0, half);
    other.join();
    return flags;
}

} // namespace

void CaseSortProxy::filterMapping()
{
    m_visible.clear();
    if (m_search.isEmpty() || !m_cases)
        return;
    const std::vector<std::uint8_t> flags = matchFlags(m_search, *m_cases, m_order);
    for (const int source : m_order) {
        if (flags[static_cast<std::size_t>(source)])
            m_visible.push_back(source);
    }
}

void CaseSortProxy::rebuildSourceToProxy()
{
    m_sourceToProxy.assign(m_order.size(), -1);
    const std::vector<int> &rows = shown();
    for (std::size_t proxy = 0; proxy < rows.size(); ++proxy)
        m_sourceToProxy[static_cast<std::size_t>(rows[proxy])] = static_cast<int>(proxy);
}

void CaseSortProxy::sortBy(int column, Qt::SortOrder order)
{
    if (!m_cases || column < 0 || column >= RegisterFieldCount)
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // The selection and the current row follow their rows to the new places.
    const QModelIndexList before = persistentIndexList();
    QList<QPair<int, int>> sourcePlaces;
    sourcePlaces.reserve(before.size());
    for (const QModelIndex &index : before)
        sourcePlaces.append({ sourceRow(index.row()), index.column() });

    m_sortColumn = column;
    m_sortOrder = order;
    sortMapping();
    if (!m_search.isEmpty()) {
        // The same rows stay shown, now in the new order.
        std::vector<int> visible;
        visible.reserve(m_visible.size());
        for (const int source : m_order) {
            if (m_sourceToProxy[static_cast<std::size_t>(source)] >= 0)
                visible.push_back(source);
        }
        m_visible = std::move(visible);
    }
    rebuildSourceToProxy();

    QModelIndexList after;
    after.reserve(before.size());
    for (const auto &[sourceRow, column] : std::as_const(sourcePlaces))
        after.append(sourceRow < 0 ? QModelIndex()
                                   : index(m_sourceToProxy[static_cast<std::size_t>(sourceRow)], column));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void CaseSortProxy::sort(int column, Qt::SortOrder order)
{
    sortBy(column, order);
}

void CaseSortProxy::setSearch(const QString &text)
{
    CaseSearch search(text);
    if (search.text() == m_search.text())
        return;
    beginResetModel();
    if (!m_cases || search.isEmpty()) {
        m_search = std::move(search);
        m_visible.clear();
    } else if (search.narrows(m_search)) {
        // Only rows shown now can still match.
        m_search = std::move(search);
        const std::vector<int> earlier = std::move(m_visible);
        m_visible.clear();
        const std::vector<std::uint8_t> flags = matchFlags(m_search, *m_cases, earlier);
        for (const int source : earlier) {
            if (flags[static_cast<std::size_t>(source)])
                m_visible.push_back(source);
        }
    } else {
        m_search = std::move(search);
        filterMapping();
    }
    rebuildSourceToProxy();
    endResetModel();
}

QList<RegisterEntry> CaseSortProxy::entriesInViewOrder() const
{
    QList<RegisterEntry> result;
    if (!m_cases)
        return result;
    const std::vector<int> &rows = shown();
    result.reserve(static_cast<qsizetype>(rows.size()));
    for (const int source : rows)
        result.append(m_cases->entry(source));
    return result;
}

QList<RegisterEntry> CaseSortProxy::entriesInListOrder() const
{
    QList<RegisterEntry> result;
    if (!m_cases)
        return result;
    result.reserve(static_cast<qsizetype>(m_order.size()));
    for (const int source : m_order)
        result.append(m_cases->entry(source));
    return result;
}

ListOrder CaseSortProxy::listOrder() const
{
    return m_cases ? m_cases->keys(m_order) : ListOrder();
}

int CaseSortProxy::sourceRow(int viewRow) const
{
    const std::vector<int> &rows = shown();
    if (viewRow < 0 || static_cast<std::size_t>(viewRow) >= rows.size())
        return -1;
    return rows[static_cast<std::size_t>(viewRow)];
}

QModelIndex CaseSortProxy::index(int row, int column, const QModelIndex &parent) const
{
    if (parent.isValid() || row < 0 || column < 0 || column >= RegisterFieldCount
        || static_cast<std::size_t>(row) >= shown().size())
        return {};
    return createIndex(row, column);
}

QModelIndex CaseSortProxy::parent(const QModelIndex &) const
{
    return {};
}

int CaseSortProxy::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(shown().size());
}

int CaseSortProxy::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : RegisterFieldCount;
}

QModelIndex CaseSortProxy::mapToSource(const QModelIndex &proxyIndex) const
{
    if (!m_cases || !proxyIndex.isValid() || proxyIndex.model() != this)
        return {};
    const int source = sourceRow(proxyIndex.row());
    return source < 0 ? QModelIndex() : m_cases->index(source, proxyIndex.column());
}

QModelIndex CaseSortProxy::mapFromSource(const QModelIndex &sourceIndex) const
{
    if (!sourceIndex.isValid() || sourceIndex.model() != m_cases
        || static_cast<std::size_t>(sourceIndex.row()) >= m_sourceToProxy.size())
        return {};
    const int row = m_sourceToProxy[static_cast<std::size_t>(sourceIndex.row())];
    return row < 0 ? QModelIndex() : index(row, sourceIndex.column());
}

QVariant CaseSortProxy::headerData(int section, Qt::Orientation orientation, int role) const
{
    // Columns are never moved, so the captions pass straight through, also while the
    // list has no rows.
    if (orientation == Qt::Horizontal && m_cases)
        return m_cases->headerData(section, orientation, role);
    return QAbstractProxyModel::headerData(section, orientation, role);
}

void CaseSortProxy::sourceAboutToBeReset()
{
    beginResetModel();
}

void CaseSortProxy::sourceReset()
{
    forgetColumnOrders();
    sortMapping();
    filterMapping();
    rebuildSourceToProxy();
    endResetModel();
}

void CaseSortProxy::sourceRowsInserted(const QModelIndex &parent, int first, int last)
{
    if (parent.isValid())
        return;
    forgetColumnOrders();
    const int count = last - first + 1;
    // Rows behind the inserted ones moved down in the source; they keep their places here.
    for (int &source : m_order) {
        if (source >= first)
            source += count;
    }
    for (int &source : m_visible) {
        if (source >= first)
            source += count;
    }
    const auto placeIn = [this](std::vector<int> &rows, int source) {
        if (m_sortColumn >= 0)
            return std::upper_bound(
                rows.begin(), rows.end(), source, [this](int a, int b) { return before(a, b); });
        // Unsorted, the list is in source order.
        return std::lower_bound(rows.begin(), rows.end(), source);
    };
    for (int source = first; source <= last; ++source) {
        const auto orderPlace = placeIn(m_order, source);
        if (m_search.isEmpty()) {
            const int row = static_cast<int>(orderPlace - m_order.begin());
            beginInsertRows({}, row, row);
            m_order.insert(orderPlace, source);
            rebuildSourceToProxy();
            endInsertRows();
            continue;
        }
        m_order.insert(orderPlace, source);
        // While searching, an added case shows only when it matches.
        if (!m_search.matches(*m_cases, source)) {
            rebuildSourceToProxy();
            continue;
        }
        const auto place = placeIn(m_visible, source);
        const int row = static_cast<int>(place - m_visible.begin());
        beginInsertRows({}, row, row);
        m_visible.insert(place, source);
        rebuildSourceToProxy();
        endInsertRows();
    }
}

void CaseSortProxy::sourceRowsAboutToBeRemoved(const QModelIndex &parent, int first, int last)
{
    if (parent.isValid())
        return;
    forgetColumnOrders();
    std::vector<int> rows;
    for (int source = first; source <= last; ++source) {
        const int row = m_sourceToProxy[static_cast<std::size_t>(source)];
        if (row >= 0)
            rows.push_back(row);
    }
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    for (const int row : rows) {
        beginRemoveRows({}, row, row);
        if (m_search.isEmpty())
            m_order.erase(m_order.begin() + row);
        else
            m_visible.erase(m_visible.begin() + row);
        endRemoveRows();
    }
    if (!m_search.isEmpty()) {
        // Hidden rows leave the list order without being shown to go.
        m_order.erase(std::remove_if(m_order.begin(), m_order.end(),
                          [first, last](int source) { return source >= first && source <= last; }),
            m_order.end());
    }
}

void CaseSortProxy::sourceRowsRemoved(const QModelIndex &parent, int first, int last)
{
    if (parent.isValid())
        return;
    const int count = last - first + 1;
    for (int &source : m_order) {
        if (source > last)
            source -= count;
    }
    for (int &source : m_visible) {
        if (source > last)
            source -= count;
    }
    rebuildSourceToProxy();
}

} // namespace lunora
