// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// The register table that the overview loads: for every input it must hold exactly the
// entries that the line reader gives, whatever the file's line ends, quotes and blanks,
// and wherever in the text the scanner's 64-byte blocks happen to cut.

#include "common/testsupport.h"
#include "storage/caseregister.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTest>

using namespace lunora;

namespace {

// The kept places of the key fields give the same bytes as splitting the line.
bool keyFieldsAsSplit(const caseregister::Table &table)
{
    const auto same = [](QByteArrayView kept, QByteArrayView split) {
        return kept.data() == split.data() && kept.size() == split.size();
    };
    for (qsizetype row = 0; row < table.size(); ++row) {
        const caseregister::Table::KeyFields keys = table.keyFields(row);
        if (!same(keys.controlCode, table.rawField(row, ControlCode))
            || !same(keys.caseNumber, table.rawField(row, CaseNumber))
            || !same(keys.created, table.rawField(row, Created)))
            return false;
    }
    return true;
}

// Compares the table with the line reader's entries; on a mismatch says which entry and
// field and shows the input, so that a failing generated case can be read.
bool sameAsReader(const QByteArray &bytes, QString *why)
{
    const QList<RegisterEntry> expected = caseregister::parse(bytes);
    Result<caseregister::Table> loaded = caseregister::Table::fromBytes(bytes);
    if (!loaded) {
        *why = loaded.error();
        return false;
    }
    const caseregister::Table &table = loaded.value();
    if (table.size() != expected.size()) {
        *why = QStringLiteral("%1 entries instead of %2 in %3")
                   .arg(table.size())
                   .arg(expected.size())
                   .arg(QString::fromLatin1(bytes.toPercentEncoding()));
        return false;
    }
    for (qsizetype row = 0; row < table.size(); ++row) {
        const RegisterEntry entry = table.entry(row);
        for (int f = 0; f < RegisterFieldCount; ++f) {
            if (entry[f] != expected[row][f] || table.field(row, f) != expected[row][f]) {
                *why = QStringLiteral("entry %1 field %2: \"%3\" instead of \"%4\" in %5")
                           .arg(row)
                           .arg(f)
                           .arg(entry[f], expected[row][f], QString::fromLatin1(bytes.toPercentEncoding()));
                return false;
            }
        }
    }
    if (table.entries() != expected) {
        *why = QStringLiteral("entries() differs from entry()");
        return false;
    }
    if (!keyFieldsAsSplit(table)) {
        *why = QStringLiteral("keyFields() differs from rawField() in %1")
                   .arg(QString::fromLatin1(bytes.toPercentEncoding()));
        return false;
    }
    return true;
}

// Lines built from the pieces that steer the reader, in random mixes and lengths, so that
// every piece lands on every position of a 64-byte block sooner or later.
QByteArray randomRegister(QRandomGenerator &random)
{
    static const QByteArray pieces[] = { ",", ",", ",", "\"", "\"", "\r\n", "\r\n", "\r", "\n", " ", "  ",
        "\t", "a", "Ek", "\xE5\xE4\xF6", "\x80\x81", "070-123 45 67",
        "{0AB6D5E2-1C3F-4B7A-9E21-5D0C8F4A7B13}", "\",\"", QByteArray("x\0y", 3),
        "a long value that reaches well over one block of the scanner on its own, sixty-four bytes" };
    QByteArray bytes;
    const int count = random.bounded(1, 80);
    for (int i = 0; i < count; ++i)
        bytes += pieces[random.bounded(int(std::size(pieces)))];
    return bytes;
}

// Well-formed entries, plain and quoted, with fields of random length: the common case,
// with the structural bytes shifted across block boundaries.
QByteArray randomWellFormed(QRandomGenerator &random)
{
    QByteArray bytes;
    const int lines = random.bounded(1, 12);
    for (int line = 0; line < lines; ++line) {
        RegisterEntry entry;
        for (QString &value : entry)
            value = QString(random.bounded(0, 30), QChar(u'a' + random.bounded(26)));
        bytes += random.bounded(2) ? caseregister::formatQuoted(entry) : caseregister::formatPlain(entry);
    }
    if (random.bounded(3) == 0)
        bytes.chop(2); // last line without its line end
    return bytes;
}

// The row's stored fields in the quoted form, as a rewrite of the register writes them.
QByteArray quotedFormOf(const caseregister::Table &table, qsizetype row)
{
    QByteArray line;
    for (int f = 0; f < RegisterFieldCount; ++f)
        line += (f > 0 ? ",\"" : "\"") + table.rawField(row, f).toByteArray() + '"';
    return line;
}

// quotedLine() gives a row's line exactly when writing its fields in the quoted form
// would give back the line as it stands.
bool quotedLineAsDefined(const QByteArray &bytes, QString *why)
{
    const caseregister::Table table = caseregister::Table::fromBytes(bytes).value();
    for (qsizetype row = 0; row < table.size(); ++row) {
        bool carried = true;
        for (int f = 0; f < RegisterFieldCount; ++f)
            carried = carried && !table.rawField(row, f).contains('"');
        const QByteArrayView line = table.rawLine(row);
        const QByteArrayView expected = carried && quotedFormOf(table, row) == line ? line : QByteArrayView();
        if (table.quotedLine(row) != expected || table.quotedLine(row).data() != expected.data()) {
            *why = QStringLiteral("entry %1: \"%2\" instead of \"%3\" in %4")
                       .arg(row)
                       .arg(QString::fromLatin1(table.quotedLine(row).toByteArray().toPercentEncoding()),
                           QString::fromLatin1(expected.toByteArray().toPercentEncoding()),
                           QString::fromLatin1(bytes.toPercentEncoding()));
            return false;
        }
    }
    return true;
}

} // namespace

class TestRegisterTable final : public QObject
{
    Q_OBJECT

private slots:
    void sameEntriesAsTheReader_data();
    void sameEntriesAsTheReader();
    void generatedInputs();
    void quotedLineOnlyWhereTheQuotedFormIsStored();
    void rawFieldsAreTheStoredBytes();
    void loadFromFile();
    void loadInPieces_data();
    void loadInPieces();
    void copiesShareTheText();
    void rereadReadsOnlyWhatWasAdded_data();
    void rereadReadsOnlyWhatWasAdded();
    void builtTableStandsForWhatWasWritten_data();
    void rereadAfterAnotherDesksRewrite_data();
    void rereadAfterAnotherDesksRewrite();
    void builtTableStandsForWhatWasWritten();
};

void TestRegisterTable::sameEntriesAsTheReader_data()
{
    QTest::addColumn<QByteArray>("file");
    const QByteArray abc = "a,b,c,d,e,f,g,h,i";
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("blank lines only") << QByteArray("\r\n  \r\n\t\n\r\r \r\n");
    QTest::newRow("plain") << QByteArray(abc + "\r\n" + abc + "\r\n");
    QTest::newRow("quoted") << QByteArray("\"a\",\"b\",\"c\",\"d\",\"e\",\"f\",\"g\",\"h\",\"i\"\r\n");
    QTest::newRow("last line without line end") << QByteArray(abc + "\r\n" + abc);
    QTest::newRow("last line ends inside a quote") << QByteArray(abc + "\r\n\"a\",\"b");
    QTest::newRow("last line ends after a quote") << QByteArray("\"a\",\"b\"");
    QTest::newRow("last line ends in a comma") << QByteArray("a,");
    QTest::newRow("CR only") << QByteArray(abc + "\r" + abc + "\r");
    QTest::newRow("LF only") << QByteArray(abc + "\n" + abc + "\n");
    QTest::newRow("LF CR is two line ends") << QByteArray(abc + "\n\r" + abc);
    QTest::newRow("blanks before fields, trailing blanks kept") << QByteArray(" \t a ,  b\t,\t\"c\" ,d  ");
    QTest::newRow("blank then a line end is an empty field") << QByteArray("a,  \r\nb, \t");
    QTest::newRow("text after a closing quote dropped") << QByteArray("\"a\"x y,\"b\"\"c\",d");
    QTest::newRow("quote inside a plain field kept") << QByteArray("a\"b,c\"\"d,\"e\r\n");
    QTest::newRow("stray quote ends at its line end") << QByteArray("\"1\",\"2,3\r\n" + abc);
    QTest::newRow("opening quote as the last byte") << QByteArray("a,\"");
    QTest::newRow("too few fields") << QByteArray("1,2,3\r\n" + abc);
    QTest::newRow("too many fields") << QByteArray("1,2,3,Ek, Anna,5,6,7,8,9\r\n" + abc);
    QTest::newRow("ninth field quoted, more behind it") << QByteArray("1,2,3,4,5,6,7,8,\"9\"x,\"10\"\r\n");
    QTest::newRow("only commas") << QByteArray(",,,,,,,,,,,,\r\n,\r\n");
    QTest::newRow("NUL bytes are text") << QByteArray("a\0b,\0,c\r\n\0", 11);
    // The key fields' places no longer fit in sixteen bits.
    QTest::newRow("a name of 70 000 bytes before the control code")
        << QByteArray(abc + "\r\n1,2,3," + QByteArray(70000, 'x') + ",5,6,7,{8},9\r\n" + abc);
    QTest::newRow("Windows-1252 letters and undefined bytes")
        << QByteArray("\x80,\xE5\xE4\xF6,\xC5\xC4\xD6,\x81,e,f,g,h,i\r\n");
}

void TestRegisterTable::sameEntriesAsTheReader()
{
    QFETCH(QByteArray, file);
    QString why;
    QVERIFY2(sameAsReader(file, &why), qPrintable(why));
}

void TestRegisterTable::generatedInputs()
{
    QRandomGenerator random(20261207);
    QString why;
    for (int i = 0; i < 4000; ++i) {
        const QByteArray pieces = randomRegister(random);
        QVERIFY2(sameAsReader(pieces, &why), qPrintable(why));
        const QByteArray wellFormed = randomWellFormed(random);
        QVERIFY2(sameAsReader(wellFormed, &why), qPrintable(why));
        // Bytes of every value, weighted towards the ones that steer the reader.
        QByteArray noise(random.bounded(0, 300), Qt::Uninitialized);
        for (char &c : noise)
            c = random.bounded(4) == 0 ? ",\"\r\n \t"[random.bounded(6)] : char(random.bounded(256));
        QVERIFY2(sameAsReader(noise, &why), qPrintable(why));
    }
}

void TestRegisterTable::quotedLineOnlyWhereTheQuotedFormIsStored()
{
    const QByteArray quoted = "\"a\",\"\",\"c, d\",\"\xE5\",\"e\",\"f\",\"g\",\"h\",\"i\"";
    const auto table = caseregister::Table::fromBytes(quoted + "\n" + quoted);
    QCOMPARE(table.value().quotedLine(0), QByteArrayView(quoted));
    QCOMPARE(table.value().quotedLine(1), QByteArrayView(quoted)); // no line end after it
    QString why;
    const QList<QByteArray> others = { quoted + ",\"j\"", "x" + quoted, " " + quoted, quoted + " ",
        quoted + "x", "\"a\", \"b\",\"c\",\"d\",\"e\",\"f\",\"g\",\"h\",\"i\"",
        "\"a\",\"b\",\"c\",\"d\",\"e\",\"f\",\"g\",\"h\",\"i", "\"a\",\"b\",\"c\"", "a,b,c,d,e,f,g,h,i",
        "\"a\"x,\"b\",\"c\",\"d\",\"e\",\"f\",\"g\",\"h\",\"i\"" };
    for (const QByteArray &line : others) {
        QVERIFY2(caseregister::Table::fromBytes(line).value().quotedLine(0).isEmpty(), line.constData());
        QVERIFY2(quotedLineAsDefined(line + "\r\n" + quoted, &why), qPrintable(why));
    }
    QRandomGenerator random(20261208);
    for (int i = 0; i < 3000; ++i) {
        QVERIFY2(quotedLineAsDefined(randomRegister(random), &why), qPrintable(why));
        QVERIFY2(quotedLineAsDefined(randomWellFormed(random), &why), qPrintable(why));
    }
}

void TestRegisterTable::rawFieldsAreTheStoredBytes()
{
    const QByteArray file = "\"Ek, Anna\", \xC5sa ,,\"\"\r\n";
    const auto table = caseregister::Table::fromBytes(file);
    QVERIFY(table.ok());
    QCOMPARE(table.value().size(), 1);
    QCOMPARE(table.value().rawField(0, 0), QByteArrayView("Ek, Anna"));
    QCOMPARE(table.value().rawField(0, 1), QByteArrayView("\xC5sa "));
    QCOMPARE(table.value().field(0, 1), QStringLiteral("Åsa "));
    for (int f = 2; f < RegisterFieldCount; ++f)
        QVERIFY(table.value().rawField(0, f).isEmpty());
}

void TestRegisterTable::loadFromFile()
{
    test::TestDataFolder folder;
    QVERIFY(folder.isValid());
    const QString path = folder.file(QStringLiteral("Lib/arenden.txt"));

    const auto missing = caseregister::Table::load(path);
    QVERIFY(missing.ok());
    QCOMPARE(missing.value().size(), 0);

    QRandomGenerator random(4711);
    QByteArray bytes;
    while (bytes.size() < 200000)
        bytes += randomWellFormed(random) + "\r\n";
    test::writeBytes(path, bytes);
    const auto loaded = caseregister::Table::load(path);
    QVERIFY(loaded.ok());
    QCOMPARE(loaded.value().entries(), caseregister::parse(bytes));
    // The file is not held open: it can be replaced at once, as a rewrite does.
    QVERIFY(QFile::remove(path));
    QCOMPARE(loaded.value().entries(), caseregister::parse(bytes));

    if (!test::runningAsRoot()) {
        test::writeBytes(path, bytes);
        QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
        const auto unreadable = caseregister::Table::load(path);
        QVERIFY(!unreadable.ok());
        QVERIFY(!caseregister::load(path).ok());
    }
}

// A large register is read in pieces that end at line ends: whatever falls on a piece's
// edge (a CR LF cut in two, a line longer than a piece, a last line without its line
// end), the table holds what the reader gives.
void TestRegisterTable::loadInPieces_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QRandomGenerator random(1105);
    QByteArray wellFormed;
    while (wellFormed.size() < (9 << 20))
        wellFormed += randomWellFormed(random) + (random.bounded(4) == 0 ? "\r" : "\r\n");
    QTest::newRow("lines of every form") << wellFormed;
    const QByteArray longLine = "a," + QByteArray(5 << 20, 'x') + ",b";
    QTest::newRow("a line longer than a piece") << "c,d\r\n" + longLine + "\r\ne,f\r\n" + longLine;
    QByteArray cutLineEnd(4 << 20, 'y');
    cutLineEnd[cutLineEnd.size() - 1] = '\r';
    QTest::newRow("CR LF on a piece's edge") << cutLineEnd + "\ng,h\r\n";
}

void TestRegisterTable::loadInPieces()
{
    QFETCH(QByteArray, bytes);
    test::TestDataFolder folder;
    QVERIFY(folder.isValid());
    const QString path = folder.file(QStringLiteral("Lib/arenden.txt"));
    test::writeBytes(path, bytes);
    const auto loaded = caseregister::Table::load(path);
    QVERIFY(loaded.ok());
    const caseregister::Table &table = loaded.value();
    QCOMPARE(table.byteSize(), bytes.size());
    QCOMPARE(table.entries(), caseregister::parse(bytes));
    QVERIFY(keyFieldsAsSplit(table));
    // With a line added, it is read on from where the last piece ended.
    test::writeBytes(path, bytes + "\r\ni,j\r\n");
    const auto grown = table.reread(path);
    QVERIFY(grown.ok());
    QVERIFY(grown.value().grew);
    QCOMPARE(grown.value().table.size(), table.size() + 1);
    QCOMPARE(grown.value().table.field(table.size(), 1), QStringLiteral("j"));
}

void TestRegisterTable::copiesShareTheText()
{
    caseregister::Table copy;
    {
        const auto loaded = caseregister::Table::fromBytes("a,b\r\n\"c\",d\r\n");
        QVERIFY(loaded.ok());
        copy = loaded.value();
    }
    QCOMPARE(copy.size(), 2);
    QCOMPARE(copy.field(1, 0), QStringLiteral("c"));
    QCOMPARE(copy.field(1, 1), QStringLiteral("d"));
}

void TestRegisterTable::rereadReadsOnlyWhatWasAdded_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<int>("times"); // `after` is appended this many times, read each time
    QTest::addColumn<bool>("grew");
    const QByteArray a = "\"1\",\"a\",\"b\",\"c\",\"d\",\"e\",\"f\",\"g\",\"h\"\r\n";
    const QByteArray b = "2,Ek,Anna,070,x,y,z,v,w\r\n";
    QTest::newRow("unchanged") << a + b << QByteArray() << 1 << true;
    QTest::newRow("a line added") << a << b << 1 << true;
    QTest::newRow("added after a last line without line end") << a + b.chopped(2) << "\r\n" + a << 1 << true;
    QTest::newRow("last line runs on") << a + b.chopped(2) << QByteArray(",more") << 1 << false;
    QTest::newRow("blank lines added") << a << QByteArray("\r\n \r\n") << 1 << true;
    QTest::newRow("a line added many times") << a << b << 40 << true;
    QTest::newRow("empty before") << QByteArray() << a << 1 << false;
    QTest::newRow("rewritten, same size") << a + b << QByteArray() << -1 << false;
    QTest::newRow("shortened") << a + b << QByteArray() << -2 << false;
}

void TestRegisterTable::rereadReadsOnlyWhatWasAdded()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QFETCH(int, times);
    QFETCH(bool, grew);
    test::TestDataFolder folder;
    const QString path = folder.file(QStringLiteral("Lib/arenden.txt"));
    test::writeBytes(path, before);
    caseregister::Table table = caseregister::Table::load(path).value();
    QByteArray file = before;
    for (int i = 0; i < std::max(times, 1); ++i) {
        if (times == -1)
            file.replace(1, 1, "9"); // another copy rewrote the register in place
        else if (times == -2)
            file.chop(3);
        else
            file += after;
        test::writeBytes(path, file);
        const caseregister::Table older = table;
        // The older table's key places, once made, serve the grown one too.
        QVERIFY(keyFieldsAsSplit(older));
        const auto reread = older.reread(path);
        QVERIFY(reread.ok());
        table = reread.value().table;
        QCOMPARE(reread.value().grew, grew);
        QCOMPARE(table.entries(), caseregister::parse(file));
        QCOMPARE(table.byteSize(), file.size());
        QVERIFY(keyFieldsAsSplit(table));
        // What grew keeps the rows it had, in the same bytes, and the older table stays
        // as it was for whoever still reads it.
        if (grew && older.size() > 0 && i == 0)
            QCOMPARE(static_cast<const void *>(table.rawLine(0).data()), older.rawLine(0).data());
        QCOMPARE(older.entries().size(), older.size());
    }
}

// A table made while a file is written from another table's lines, as every rewrite
// of the register makes the next one: over many rewrites (each taking one line out,
// putting the rest in another order and adding one, as an update does) it must stand
// for exactly the bytes written, and a later read must find the file unchanged.
void TestRegisterTable::builtTableStandsForWhatWasWritten_data()
{
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<QByteArray>("added"); // the line each rewrite adds
    QTest::addColumn<int>("rewrites");
    QTest::addColumn<bool>("dropOne"); // each rewrite also takes a line out
    QTest::addColumn<bool>("made"); // false: the added line does not read back as one
    QTest::addColumn<bool>("quote"); // plain lines go out quoted, as a rewrite writes them
    const QByteArray quoted = "\"1\",\"a\",\"b\",\"c\",\"d\",\"e\",\"f\",\"{A}\",\"h\"\r\n";
    const QByteArray plain = "2,Ek,Anna,070,x,y,z,{B},w\n";
    const QByteArray mixed = quoted + plain + "  \r\n" + QByteArray(quoted).replace("{A}", "{C}")
        + QByteArray(plain).replace("{B}", "{D}");
    const QByteArray line = "\"9\",\"Ny\",\"b\",\"c\",\"d\",\"e\",\"f\",\"{N}\",\"h\"\r\n";
    QTest::newRow("quoted, plain, blank lines and LF ends") << mixed << line << 3 << true << true << false;
    // Each rewrite adds a piece; past the most a table keeps, lines are copied together.
    QTest::newRow("more rewrites than pieces are kept") << mixed << line << 40 << false << true << false;
    QTest::newRow("added line without its line end")
        << mixed << line.chopped(2) << 1 << true << false << false;
    QTest::newRow("added line of blanks") << mixed << QByteArray(" \r\n") << 1 << true << false << false;
    // The plain lines are kept plain, standing for their quoted form, also when copied
    // together; a plain line quotePlain() refuses goes out as it stands.
    const QByteArray unquotable = "3, Ek,Anna,070,x,y,z,{E},w\r\n";
    QTest::newRow("plain lines written quoted") << mixed + unquotable << line << 3 << false << true << true;
    QTest::newRow("plain lines written quoted, pieces copied together")
        << mixed + unquotable << line << 40 << false << true << true;
}

void TestRegisterTable::builtTableStandsForWhatWasWritten()
{
    QFETCH(QByteArray, start);
    QFETCH(QByteArray, added);
    QFETCH(int, rewrites);
    QFETCH(bool, dropOne);
    QFETCH(bool, made);
    QFETCH(bool, quote);
    test::TestDataFolder folder;
    const QString path = folder.file(QStringLiteral("Lib/arenden.txt"));
    caseregister::Table table = caseregister::Table::fromBytes(start).value();
    QRandomGenerator random(20261209);
    for (int rewrite = 0; rewrite < rewrites; ++rewrite) {
        const caseregister::Table from = table;
        QList<qsizetype> rows;
        for (qsizetype row = 0; row < from.size(); ++row)
            rows << row;
        std::shuffle(rows.begin(), rows.end(), random);
        if (dropOne && rows.size() > 2)
            rows.removeLast();
        caseregister::Table::Builder builder(from);
        QByteArray written;
        for (const qsizetype row : std::as_const(rows)) {
            const QByteArrayView line = from.rawLine(row);
            QByteArray quoted(line.size() + caseregister::Table::QuotesAdded, '\0');
            if (quote && caseregister::Table::quotePlain(line, quoted.data())) {
                builder.keepQuoted(row, line);
                written += quoted + "\r\n";
            } else {
                builder.keep(row, line);
                written += line.toByteArray() + "\r\n";
            }
        }
        builder.add(added);
        written += added;
        const auto built = builder.finish();
        QCOMPARE(built.ok(), made);
        if (!made)
            return;
        table = built.value();
        QCOMPARE(table.entries(), caseregister::parse(written));
        QCOMPARE(table.byteSize(), written.size());
        QVERIFY(keyFieldsAsSplit(table));
        // The lines kept are the ones read, not copies; quoted ones too.
        for (qsizetype row = 0; rewrite == 0 && row < (quote ? rows.size() : 1); ++row)
            QCOMPARE(static_cast<const void *>(table.rawLine(row).data()), from.rawLine(rows[row]).data());
        test::writeBytes(path, written);
        const auto reread = table.reread(path);
        QVERIFY(reread.ok());
        QVERIFY(reread.value().grew);
        QVERIFY(reread.value().table.isCopyOf(table));
        // A line another desk adds is read on from the table's end.
        test::writeBytes(path, written + added);
        const auto grown = table.reread(path);
        QVERIFY(grown.ok());
        QVERIFY(grown.value().grew);
        QCOMPARE(grown.value().table.entries(), caseregister::parse(written + added));
        QCOMPARE(from.entries().size(), from.size());
    }
}

// Another desk's rewrite of a long register: the lines it wrote as they were are kept
// where the older table holds them, whatever their new order; a file in any other
// form is read as it stands. Either way the table must be the file.
void TestRegisterTable::rereadAfterAnotherDesksRewrite_data()
{
    QTest::addColumn<QByteArray>("tail"); // bytes after the rewritten lines
    QTest::addColumn<bool>("plainBefore"); // the older table holds plain lines
    QTest::addColumn<bool>("kept"); // the lines written as they were are the older ones
    const QByteArray line = "\"9\",\"Ny\",\"b\",\"c\",\"d\",\"e\",\"f\",\"{N}\",\"h\"\r\n";
    QTest::newRow("lines moved, changed and added") << line << false << true;
    // Every plain line came back quoted, as any rewrite writes it: kept, stored plain.
    QTest::newRow("every plain line written quoted") << line << true << true;
    QTest::newRow("a line with LF alone") << QByteArray("x,y\n") + line << false << false;
    QTest::newRow("a blank line") << QByteArray(" \r\n") + line << false << false;
    QTest::newRow("a CR alone") << QByteArray("x\ry\r\n") << false << false;
    QTest::newRow("last line without CR LF") << line.chopped(2) << false << false;
    QTest::newRow("a line written twice") << line + line << false << true;
}

void TestRegisterTable::rereadAfterAnotherDesksRewrite()
{
    QFETCH(QByteArray, tail);
    QFETCH(bool, plainBefore);
    QFETCH(bool, kept);
    QRandomGenerator random(20261209);
    QList<QByteArray> lines;
    for (int i = 0; i < 1500; ++i) {
        const QByteArray n = QByteArray::number(i);
        lines << (plainBefore
                ? n + ",Namn " + n + ",b,c,d,e,f,{" + n + "},h\r\n"
                : "\"" + n + "\",\"Namn " + n + "\",\"b\",\"c\",\"d\",\"e\",\"f\",\"{" + n + "}\",\"h\"\r\n");
    }
    const caseregister::Table before = caseregister::Table::fromBytes(lines.join()).value();
    std::shuffle(lines.begin(), lines.end(), random);
    lines.removeAt(7);
    lines[11].replace("Namn", "Nytt namn");
    if (plainBefore) {
        for (QByteArray &plain : lines)
            plain = "\"" + plain.chopped(2).replace(",", "\",\"") + "\"\r\n";
    }
    const QByteArray file = lines.join() + tail;
    test::TestDataFolder folder;
    const QString path = folder.file(QStringLiteral("Lib/arenden.txt"));
    test::writeBytes(path, file);
    const auto reread = before.reread(path);
    QVERIFY(reread.ok());
    QVERIFY(!reread.value().grew);
    const caseregister::Table table = reread.value().table;
    QCOMPARE(table.entries(), caseregister::parse(file));
    QCOMPARE(table.byteSize(), file.size());
    QVERIFY(keyFieldsAsSplit(table));
    const QByteArrayView first = table.rawLine(0);
    for (qsizetype row = 0; row < before.size(); ++row) {
        if (before.rawLine(row) == first)
            QCOMPARE(first.data() == before.rawLine(row).data(), kept);
    }
    const auto again = table.reread(path);
    QVERIFY(again.ok());
    QVERIFY(again.value().grew);
    QVERIFY(again.value().table.isCopyOf(table));
    QCOMPARE(before.entries().size(), 1500);
}

QTEST_GUILESS_MAIN(TestRegisterTable)
#include "tst_registertable.moc"
