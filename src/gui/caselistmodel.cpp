#include "caselistmodel.h"

#include <QChar>
#include <QString>
#include <algorithm>
#include <array>
#include <cstdint>

namespace lunora {

namespace {

// The collation weights of one UTF-16 code unit. Texts are ordered by the primary
// weights first; only texts equal there are ordered by accent (secondary), then by
// letter case (tertiary, lower case first), then by the code units themselves so that
// different texts never compare equal.
struct Weight
{
    std::uint32_t primary = 0;
    std::uint16_t secondary = 0;
    std::uint8_t tertiary = 0;
};

// Primary weight bands: control characters, then blanks, punctuation and symbols (by
// code point), then digits (by value), then the Latin letters in Swedish alphabetical
// order, then letters of other scripts.
constexpr std::uint32_t ControlBand = 0x1;
constexpr std::uint32_t SymbolBand = 0x100;
constexpr std::uint32_t DigitBand = 0x20000;
constexpr std::uint32_t LetterBand = 0x30000;
constexpr std::uint32_t OtherLetterBand = 0x40000;

// Letter positions after z in the Swedish alphabet.
constexpr int LetterAring = 26; // å
constexpr int LetterAuml = 27; // ä
constexpr int LetterOuml = 28; // ö
constexpr int LetterThorn = 29; // þ, kept apart after ö

std::uint32_t letterWeight(int position)
{
    return LetterBand + static_cast<std::uint32_t>(position);
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
        w.primary = DigitBand + static_cast<std::uint32_t>(std::max(0, ch.digitValue()));
        w.secondary = c < 0x80 ? 0 : static_cast<std::uint16_t>(c & 0xFF) + 1;
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
        w.primary = OtherLetterBand + ch.toCaseFolded().unicode();
        return w;
    }
    w.tertiary = 0;
    if (c < 0x20 || (c >= 0x7F && c < 0xA0)) {
        w.primary = ControlBand + c;
        return w;
    }
    w.primary = SymbolBand + c;
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
    return parent.isValid() ? 0 : static_cast<int>(m_entries.size());
}

int CaseListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : RegisterFieldCount;
}

QVariant CaseListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_entries.size() || index.column() >= RegisterFieldCount)
        return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return m_entries.at(index.row())[index.column()];
    return {};
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

void CaseListModel::setEntries(QList<RegisterEntry> entries)
{
    beginResetModel();
    m_entries = std::move(entries);
    endResetModel();
}

void CaseListModel::appendEntry(const RegisterEntry &entry)
{
    const int row = static_cast<int>(m_entries.size());
    beginInsertRows({}, row, row);
    m_entries.append(entry);
    endInsertRows();
}

void CaseListModel::removeEntry(int row)
{
    if (row < 0 || row >= m_entries.size())
        return;
    beginRemoveRows({}, row, row);
    m_entries.removeAt(row);
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

CaseSortProxy::CaseSortProxy(QObject *parent)
    : QSortFilterProxyModel(parent)
{
    // Rows added to the source while the list is sorted go to their sorted place.
    setDynamicSortFilter(true);
}

void CaseSortProxy::setCaseModel(CaseListModel *model)
{
    m_cases = model;
    setSourceModel(model);
}

QList<RegisterEntry> CaseSortProxy::entriesInViewOrder() const
{
    QList<RegisterEntry> result;
    if (!m_cases)
        return result;
    const int rows = rowCount();
    result.reserve(rows);
    for (int row = 0; row < rows; ++row)
        result.append(m_cases->entry(mapToSource(index(row, 0)).row()));
    return result;
}

bool CaseSortProxy::lessThan(const QModelIndex &left, const QModelIndex &right) const
{
    const int column = left.column();
    return compareSwedish(m_cases->text(left.row(), column), m_cases->text(right.row(), column)) < 0;
}

bool CaseSortProxy::filterAcceptsRow(int, const QModelIndex &) const
{
    return true;
}

} // namespace lunora
