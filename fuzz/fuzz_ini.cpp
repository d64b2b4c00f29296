// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// Fuzzes the INI engine with a random file followed by a few writes and reads of random
// sections, keys and values. After every write the file must:
// - read back the value just written, unless the format cannot carry it (a '[' in the
//   key or value makes its line a section boundary; control characters at the end of
//   the value are trimmed when its line is the last one) or the file starts with
//   control characters (see startsWithTextOrBlankLines);
// - hold every other line of the old file unchanged and in order: the write changes
//   one key line, adds one at the top of a section, or appends one section;
// - not start with a blank line, hold no two blank lines in a row, and end with exactly
//   one CR LF after its last line;
// - come out of the file functions (WriteIni and ReadIni on a real file) exactly as out
//   of the byte-level rules, and fail only for files near the 32,767-character limit.
// A lone LF is a line end for reads and writes alike (a write gives it a CR). A lone CR
// is a line end for reads only, as the format has always had it: a header after a lone
// CR is found by a read and not by a write, and a new key goes in after the character
// that follows such a header. So the first two rules are checked for files without a
// lone CR; for those, only the others.

#include "fuzzsupport.h"
#include "storage/cp1252.h"
#include "storage/datafolder.h"
#include "storage/ini.h"

#include <QDir>
#include <QFileInfo>
#include <QList>
#include <fuzzer/FuzzedDataProvider.h>

using namespace lunora;
using lunora::fuzz::require;

namespace {

constexpr qsizetype positionLimit = 32767;

bool isControl(char c)
{
    return static_cast<unsigned char>(c) <= 13;
}

// The lines as the reader sees them (ended by CR, CR LF or a lone LF), after the
// control characters at both ends of the text are left out, and without empty lines:
// what stays the same when a write tidies the blank lines.
QList<QByteArray> contentLines(QByteArrayView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isControl(text[begin]))
        ++begin;
    while (end > begin && isControl(text[end - 1]))
        --end;
    QList<QByteArray> lines;
    qsizetype start = begin;
    for (qsizetype i = begin; i <= end; ++i) {
        if (i < end && text[i] != '\r' && text[i] != '\n')
            continue;
        if (i > start)
            lines.append(text.sliced(start, i - start).toByteArray());
        if (i < end && text[i] == '\r' && i + 1 < end && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    return lines;
}

bool onlyCrLfLineEnds(QByteArrayView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))
            return false;
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            return false;
    }
    return true;
}

// A write drops the control characters at the start of the file, which can turn the
// old first line into a header that no write had found: "\x01[Main]" becomes "[Main]"
// above the section the write appended. Blank lines there are harmless.
bool startsWithTextOrBlankLines(QByteArrayView text)
{
    qsizetype i = 0;
    while (text.sliced(i).startsWith("\r\n"))
        i += 2;
    return i == text.size() || !isControl(text[i]);
}

// Every lone CR or LF made a CR LF, so that the input reaches the rules for such files.
QByteArray withCrLfLineEnds(QByteArrayView text)
{
    QByteArray result;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            result += "\r\n";
            ++i;
        } else if (text[i] == '\r' || text[i] == '\n') {
            result += "\r\n";
        } else {
            result += text[i];
        }
    }
    return result;
}

QByteArray trimmedRight(QByteArray line)
{
    while (!line.isEmpty() && isControl(line.back()))
        line.chop(1);
    return line;
}

bool sameLine(const QByteArray &actual, const QByteArray &keyLine, bool isLast)
{
    return actual == (isLast ? trimmedRight(keyLine) : keyLine);
}

// Is `after` the old file with exactly the one change a write may make?
bool isOneWrite(const QByteArray &before, const QByteArray &after, const QByteArray &section,
    const QByteArray &key, const QByteArray &keyLine)
{
    const QList<QByteArray> in = contentLines(before);
    const QList<QByteArray> out = contentLines(after);

    // A new section at the end.
    if (out == contentLines(before + "\r\n\r\n[" + section + "]\r\n" + keyLine))
        return true;

    // A new key line at the top of a section of that name.
    const QByteArray header = '[' + cp1252::toLower(section) + ']';
    if (out.size() == in.size() + 1) {
        for (qsizetype j = 1; j < out.size(); ++j) {
            if (!sameLine(out[j], keyLine, j == out.size() - 1) || cp1252::toLower(out[j - 1]) != header)
                continue;
            QList<QByteArray> rest = out;
            rest.removeAt(j);
            if (rest == in)
                return true;
        }
    }

    // One key line of that key replaced in place.
    if (out.size() == in.size()) {
        const QByteArray prefix = cp1252::toLower(key) + '=';
        qsizetype changed = -1;
        for (qsizetype i = 0; i < out.size(); ++i) {
            if (out[i] == in[i])
                continue;
            if (changed >= 0)
                return false;
            changed = i;
        }
        if (changed < 0)
            return true; // the line already held the key and value
        return sameLine(out[changed], keyLine, changed == out.size() - 1)
            && cp1252::toLower(in[changed]).startsWith(prefix);
    }
    return false;
}

void checkTidy(const QByteArray &file)
{
    require(!file.isEmpty() && !isControl(file.front()), "a written file starts with a blank line", file);
    require(!file.contains("\r\n\r\n\r\n"), "a written file holds two blank lines in a row", file);
    require(file.endsWith("\r\n") && file.size() >= 3 && !isControl(file[file.size() - 3]),
        "a written file does not end with exactly one CR LF after its last line", file);
}

// Names that the program itself uses, so that writes meet existing sections and keys;
// otherwise random bytes.
QByteArray takeName(FuzzedDataProvider &in)
{
    static const char *const known[] = { "Main", "main", "MAIN", "Type", "Status", "Customer", "User",
        "PassWD", "Index", "RealName", "xID", "xName", "Rad1", "\xC5r", "\xE5R", "", "a", "A", "a=b" };
    if (in.ConsumeBool())
        return QByteArray(in.PickValueInArray(known));
    QByteArray name = QByteArray::fromStdString(in.ConsumeRandomLengthString(24));
    // Names with a line end are refused before any file is touched.
    name.replace('\r', ' ');
    name.replace('\n', ' ');
    return name;
}

QByteArray takeValue(FuzzedDataProvider &in)
{
    QByteArray value = QByteArray::fromStdString(in.ConsumeRandomLengthString(40));
    value.replace('\r', ' ');
    value.replace('\n', ' ');
    return value;
}

// A file of filler lines that pushes what follows close to the position limit, so that
// the overflow checks are reached without huge inputs.
QByteArray filler(qsizetype size)
{
    QByteArray text = "[Pad]\r\n";
    while (text.size() < size)
        text += "pad=0123456789012345678901234567890123456789\r\n";
    return text.left(size);
}

// What WriteIni works on: the reader takes a lone LF for a line end, so the writer
// first gives every lone LF the CR of a CR LF and then finds what the reader finds.
QByteArray withCrBeforeLoneLf(QByteArrayView text)
{
    QByteArray result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            result += '\r';
        result += text[i];
    }
    return result;
}

// WriteIni writes under the data folder's lock, which lies in Lib: the scratch folder
// is made a data folder, so that the write runs as it does in the program.
void useScratchAsDataFolder()
{
    static const bool done = [] {
        const QString root = QFileInfo(fuzz::scratchFile("fuzz.ini")).path();
        if (!QDir(root).mkpath(QStringLiteral("Lib")))
            fuzz::fail("the fuzzer could not make its data folder");
        DataFolder::setRoot(root);
        return true;
    }();
    (void)done;
}

// One write through the byte-level rules and through WriteIni on a real file.
QByteArray writeOnce(const QByteArray &original, const QByteArray &section, const QByteArray &key,
    const QByteArray &value, bool throughFile)
{
    const QByteArray before = withCrBeforeLoneLf(original);
    const Result<QByteArray> written = ini::writeValue(before, section, key, value);
    const qsizetype headerNeedle = section.size() + 5; // CR LF "[" section "]" CR
    if (before.size() + headerNeedle + 5 <= positionLimit)
        require(written.ok(), "a write far below the position limit failed", before);

    if (throughFile) {
        useScratchAsDataFolder();
        const QString path = fuzz::scratchFile("fuzz.ini");
        fuzz::writeFile(path, original);
        const Status status
            = WriteIni(path, cp1252::decode(section), cp1252::decode(key), cp1252::decode(value));
        require(
            status.ok() == written.ok(), "WriteIni and the byte-level rules disagree on failure", original);
        const QByteArray onDisk = fuzz::readFile(path);
        require(onDisk == (written.ok() ? written.value() : original),
            written.ok() ? "WriteIni stored other bytes than the rules give"
                         : "a failed WriteIni changed the file",
            onDisk);
    }
    if (!written.ok())
        return original;

    const QByteArray &after = written.value();
    checkTidy(after);
    if (!onlyCrLfLineEnds(before))
        return after;
    const QByteArray keyLine = key + '=' + value;
    require(isOneWrite(before, after, section, key, keyLine), "a write changed more than its one key line",
        before + "\n-----\n" + after);

    const bool carried = startsWithTextOrBlankLines(before) && !key.contains('[') && !value.contains('[')
        && (value.isEmpty() || !isControl(value.back()));
    if (carried) {
        require(ini::readValue(after, section, key) == value, "a written value does not read back",
            before + "\n-----\n" + after);
    }
    return after;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const uint8_t flags = in.ConsumeIntegral<uint8_t>();
    QByteArray file = QByteArray::fromStdString(in.ConsumeRandomLengthString(2048));
    if (flags & 2)
        file = withCrLfLineEnds(file);
    // One input in eight starts near the position limit.
    if ((flags & 0x1C) == 0x1C)
        file.prepend(filler(positionLimit - 64 + in.ConsumeIntegralInRange<int>(0, 128)));

    const int operations = in.ConsumeIntegralInRange<int>(1, 4);
    for (int i = 0; i < operations && in.remaining_bytes() > 0; ++i) {
        const QByteArray section = takeName(in);
        const QByteArray key = takeName(in);
        if (in.ConsumeBool()) {
            // Reading never fails on bytes, and the file function reads the same.
            const QByteArray value = ini::readValue(file, section, key);
            require(!value.contains('\r') && !value.contains('\n'), "a read value spans a line end", value);
            // The one-pass reader of several keys agrees with one read per key.
            const QList<QByteArray> keys { key, section, 'x' + key };
            const QList<QByteArray> values = ini::readValues(file, section, keys);
            for (int k = 0; k < keys.size(); ++k) {
                require(values.at(k) == ini::readValue(file, section, keys.at(k)),
                    "reading several keys at once finds another value", file);
            }
            if (i == 0) {
                const QString path = fuzz::scratchFile("read.ini");
                fuzz::writeFile(path, file);
                const Result<QString> read = ReadIni(path, cp1252::decode(section), cp1252::decode(key));
                require(read.ok() && cp1252::encode(read.value()) == value, "ReadIni and the rules disagree",
                    file);
                require(fuzz::readFile(path) == file, "ReadIni changed the file", file);
            }
        } else {
            file = writeOnce(file, section, key, takeValue(in), i == 0);
        }
    }
    return 0;
}
