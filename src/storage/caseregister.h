// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "storage/records.h"
#include "storage/status.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QList>
#include <QString>
#include <array>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

// The case register Lib\arenden.txt: one line per case, nine fields, plain
// (a,b,c) or quoted ("a","b","c") lines in any mix, CR LF line ends.
namespace lunora::caseregister {

// The register as read from disk: the file's bytes, kept whole, and where every entry's
// line starts in them (four bytes an entry). A line's fields are found when somebody
// asks for them, so loading a large register costs one read and one pass over its line
// ends. The entries are exactly those parse() gives.
//
// A table never changes once read, and copies share everything: another thread may
// read one while the window's thread makes the next. A register that only grew (another
// desk's new case) is read on from where this table ended: the new table shares this
// one's bytes and line starts and has the new lines after them.
class Table
{
public:
    using Fields = std::array<QByteArrayView, RegisterFieldCount>;
    struct Reread;

    class Builder;

    Table() = default;

    // A missing file is an empty table (ok). An unreadable one is a failure. The file
    // is read whole, straight into the table's own buffer, and closed before this
    // returns.
    static Result<Table> load(const QString &path);
    static Result<Table> fromBytes(QByteArray bytes);
    // The file read anew (see Reread).
    Result<Reread> reread(const QString &path) const;

    qsizetype size() const { return m_rows; }
    bool isEmpty() const { return m_rows == 0; }
    // The field's bytes as stored, without the quotes of a quoted field.
    QByteArrayView rawField(qsizetype row, int field) const;
    // All nine at once, for a pass that needs more than one of them.
    Fields fields(qsizetype row) const;
    // The entry's whole line as stored, without its line end. A table made by Builder
    // may hold a line in the plain form where the file has it quoted (keepQuoted()):
    // both forms give the same fields.
    QByteArrayView rawLine(qsizetype row) const;
    // The three fields a case is found by, as rawField() gives them. Where they lie is
    // found for every row of the table at the first call and kept (24 bytes a row,
    // shared by copies and by a table grown from this one), so that a pass over every
    // row does not split each line again. Safe from any thread.
    struct KeyFields
    {
        QByteArrayView controlCode;
        QByteArrayView caseNumber;
        QByteArrayView created;
    };
    KeyFields keyFields(qsizetype row) const;
    // The entry's line without its line end when it is stored exactly as the quoted form
    // writes its fields ("a","b",...: nothing before, between or after them); empty
    // otherwise. Such a line can be copied as it stands where the quoted form is due.
    QByteArrayView quotedLine(qsizetype row) const;
    // The same for a line rawLine() gave.
    static QByteArrayView quotedLine(QByteArrayView line);
    // The bytes the quoted form adds to a line's fields: a quote before and after each.
    static constexpr qsizetype QuotesAdded = 2 * RegisterFieldCount;
    // Writes the quoted form of a plain line whose fields are exactly the bytes between
    // its commas (nine fields, no quote anywhere, no blank at a field's start, which the
    // reader skips) to `to`, which has room for line.size() + QuotesAdded bytes. False,
    // with nothing written, for any other line. Such a line, the usual kind the case
    // window appends, reads back the same in either form.
    static bool quotePlain(QByteArrayView line, char *to);
    // The size of the file read.
    qsizetype byteSize() const { return m_byteSize; }
    // Whether `other` is a copy of this very table (not merely equal bytes).
    bool isCopyOf(const Table &other) const
    {
        return m_pieces == other.m_pieces && m_places == other.m_places && m_rows == other.m_rows;
    }
    QString field(qsizetype row, int field) const;
    RegisterEntry entry(qsizetype row) const;
    QList<RegisterEntry> entries() const;

private:
    // One read of the file, or of what was added to it: its bytes and the starts of the
    // lines in them that hold an entry.
    // Where the key fields of a piece's rows lie: offset from the line's start and size
    // of each of the three, made once by whichever thread asks first. Sixteen bits each
    // (12 bytes a row) unless a line is too long for that; then offset in the piece and
    // size, 32 bits each.
    struct KeyPlaces
    {
        std::once_flag made;
        std::unique_ptr<quint16[]> narrow;
        std::unique_ptr<quint32[]> wide;
    };
    struct Piece
    {
        QByteArray bytes;
        std::shared_ptr<const quint32[]> starts;
        std::shared_ptr<KeyPlaces> keys = std::make_shared<KeyPlaces>();
        qsizetype firstRow = 0;
        qsizetype rows = 0;
    };
    using Pieces = std::vector<Piece>;
    // Where a row's line lies in a table whose rows do not simply run through its pieces
    // in order (a table made by Builder): the piece, and the row's number in it; and
    // whether the line is stored plain while the file holds the quoted form quotePlain()
    // makes of it.
    struct Place
    {
        quint32 piece;
        quint32 row : 31;
        quint32 quotedInFile : 1 = 0;
    };
    using Places = std::vector<Place>;

    class LineIndex;

    static Table fromPieces(Pieces pieces);
    // The file from where it stands to its end, `expected` bytes or so, in pieces.
    static Result<Table> readPieces(QFile &file, const QString &path, qsizetype expected);
    // The file, from where it stands, read as a table that keeps every line found
    // unchanged in this one where this one holds it. Nothing when the file is not every
    // entry's line followed by CR LF, as every rewrite writes it.
    Result<std::optional<Table>> readKeepingLines(QFile &file, const QString &path) const;
    Place placeOf(qsizetype row) const;
    // The row's line as the file holds it: rawLine(), or its quoted form made in
    // `scratch`.
    QByteArrayView fileLine(qsizetype row, QByteArray &scratch) const;
    // This table and the lines of `piece` after them.
    Table appended(Piece piece) const;
    static Result<Piece> scanned(QByteArray bytes, qsizetype firstRow, qsizetype before);
    const char *lineStart(qsizetype row, const char **end) const;
    static const KeyPlaces &keyPlaces(const Piece &piece);
    bool endsWithLineEnd() const;

    std::shared_ptr<const Pieces> m_pieces;
    // Null when the rows run through the pieces in order, and the file is the pieces'
    // bytes one after the other. Otherwise the file is every row's line followed by
    // CR LF, in the order of these places.
    std::shared_ptr<const Places> m_places;
    qsizetype m_rows = 0;
    qsizetype m_byteSize = 0;
};

// The table of a file being written line by line from another table's lines: a line
// written as it stands there is kept where it lies, and only the lines written in
// another form (and new ones) are copied, so that the file just written is held once,
// beside the table it was written from, at the cost of eight bytes a row.
class Table::Builder
{
public:
    explicit Builder(const Table &from);
    // The next line of the file is from's row and CR LF; `line` is its rawLine(), which
    // the writer has at hand.
    void keep(qsizetype row, QByteArrayView line);
    // The next line of the file is the quoted form quotePlain() makes of from's row,
    // whose rawLine() is `line`, and CR LF. The row is kept as it is stored: the plain
    // lines a rewrite quotes are not held a second time.
    void keepQuoted(qsizetype row, QByteArrayView line);
    // The next line of the file is `line`, which ends with its line end.
    void add(QByteArrayView line);
    // The table of every line kept and added; a failure when an added line did not read
    // back as exactly one entry (a line that holds no field, or runs on into the next).
    Result<Table> finish();

private:
    void copyLittleUsedPieces();

    Table m_from;
    Pieces m_pieces;
    std::vector<qsizetype> m_used; // per piece of m_from: the bytes of its lines kept
    Places m_places;
    QByteArray m_added;
    qsizetype m_addedRows = 0;
    qsizetype m_byteSize = 0;
};

// A table read anew: `grew` when the file still begins with every byte of the table it
// was read against and only had lines added, so that the first rows of `table` are
// that table's rows, unchanged, and the rest are the new lines.
struct Table::Reread
{
    Table table;
    bool grew = false;
};

// A missing file is an empty register (ok). An unreadable one is a failure.
Result<QList<RegisterEntry>> load(const QString &path);
// Plain form as the case window has always written it; a line whose values would not
// read back unchanged in plain form (a comma, a leading blank, a leading quote) is
// written quoted instead. Refused before anything is written when a value is not
// storable (see firstUnstorableField).
Status appendPlain(const QString &path, const RegisterEntry &entry);
Status appendQuoted(const QString &path, const RegisterEntry &entry);
// Replaces the whole file (atomically) with one quoted line per entry.
Status rewrite(const QString &path, const QList<RegisterEntry> &entries);
// Index of the first field that cannot be stored, or -1.
int firstUnstorableField(const RegisterEntry &entry);

// Byte-level parts, free of file access.
QList<RegisterEntry> parse(QByteArrayView bytes);
QByteArray formatPlain(const RegisterEntry &entry);
QByteArray formatQuoted(const RegisterEntry &entry);
} // namespace lunora::caseregister
