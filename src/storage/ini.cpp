// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "storage/ini.h"

#include "storage/cp1252.h"
#include "storage/fileio.h"
#include "storage/folderlock.h"

#include <QFileInfo>

namespace lunora {

namespace {

// Every character position of a write is kept below this limit, as every writer of
// these files always has: older copies of the program fail on larger files, so we
// refuse to produce them.
constexpr qsizetype maxPosition = 32767;

bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

// The line that starts at pos, without its line end; pos moves past the line end. A line
// ends at CR (an LF right after it belongs to that line end) and, for files prepared on
// Linux, at a lone LF.
QByteArrayView nextLine(QByteArrayView file, qsizetype &pos)
{
    const char *data = file.data();
    const qsizetype size = file.size();
    qsizetype end = pos;
    while (end < size && !isLineEnd(data[end]))
        ++end;
    const QByteArrayView line(data + pos, end - pos);
    pos = end;
    if (pos < size && data[pos] == '\r')
        ++pos;
    if (pos < size && data[pos] == '\n')
        ++pos;
    return line;
}

// Section and key names become part of a line; a line end in them would split it.
bool isStorableName(QStringView name)
{
    return !name.contains(u'\r') && !name.contains(u'\n') && cp1252::canEncode(name);
}

bool isStorableIniValue(QStringView value)
{
    return !value.contains(u'\r') && !value.contains(u'\n') && cp1252::canEncode(value);
}

// One pass: a file of a million lone LFs must not take a million inserts.
QByteArray withCrBeforeLoneLf(const QByteArray &text)
{
    QByteArray out;
    out.reserve(text.size() + text.count('\n'));
    char previous = 0;
    for (const char c : text) {
        if (c == '\n' && previous != '\r')
            out += '\r';
        out += c;
        previous = c;
    }
    return out;
}

Status checkWrite(const IniWrite &write)
{
    if (!isStorableName(write.section) || !isStorableName(write.key))
        return Status::failure(QStringLiteral("Avsnittets eller nyckelns namn kan inte sparas: [%1] %2")
                                   .arg(write.section, write.key));
    if (!isStorableIniValue(write.value))
        return Status::failure(QStringLiteral("Värdet av %1 kan inte sparas").arg(write.key));
    return {};
}

} // namespace

QByteArray ini::readValue(QByteArrayView file, QByteArrayView section, QByteArrayView key)
{
    const QByteArray header = '[' + cp1252::toLower(section) + ']';
    const QByteArray prefix = cp1252::toLower(key) + '=';
    const qsizetype size = file.size();

    bool inSection = false;
    qsizetype pos = 0;
    while (pos < size) {
        const QByteArrayView line = nextLine(file, pos);

        if (line.contains('[')) {
            inSection = line.size() == header.size() && cp1252::toLower(line) == header;
            continue;
        }
        if (!inSection || line.size() < prefix.size())
            continue;
        if (cp1252::toLower(line.first(prefix.size())) == prefix)
            return line.sliced(prefix.size()).toByteArray();
    }
    return {};
}

ini::ValueScanner::ValueScanner(QByteArrayView section, const QList<QByteArray> &keys)
    : m_section(cp1252::toLower(section))
{
    m_prefixes.reserve(keys.size());
    for (const QByteArray &key : keys)
        m_prefixes.append(cp1252::toLower(key) + '=');
}

void ini::ValueScanner::scan(QByteArrayView file, QList<QByteArrayView> &values) const
{
    // Names compared as readValue compares them, both sides folded with the code page's
    // lower case, but byte by byte instead of on copies.
    const auto sameFolded = [](QByteArrayView text, QByteArrayView lowerName) {
        for (qsizetype i = 0; i < lowerName.size(); ++i) {
            if (cp1252::toLower(text[i]) != lowerName[i])
                return false;
        }
        return true;
    };
    values.fill(QByteArrayView(), m_prefixes.size());
    // A value found is never null (it points into the file), a missing one is.
    qsizetype missing = m_prefixes.size();
    const qsizetype size = file.size();
    bool inSection = false;
    qsizetype pos = 0;
    while (pos < size && missing > 0) {
        const QByteArrayView line = nextLine(file, pos);

        if (line.contains('[')) {
            inSection = line.size() == m_section.size() + 2 && line.front() == '[' && line.back() == ']'
                && sameFolded(line.sliced(1, m_section.size()), m_section);
            continue;
        }
        if (!inSection)
            continue;
        for (qsizetype k = 0; k < m_prefixes.size(); ++k) {
            const QByteArray &prefix = m_prefixes.at(k);
            if (!values.at(k).isNull() || line.size() < prefix.size() || !sameFolded(line, prefix))
                continue;
            values[k] = line.sliced(prefix.size());
            --missing;
        }
    }
}

QList<QByteArray> ini::readValues(QByteArrayView file, QByteArrayView section, const QList<QByteArray> &keys)
{
    QList<QByteArrayView> found;
    ValueScanner(section, keys).scan(file, found);
    QList<QByteArray> values;
    values.reserve(found.size());
    for (const QByteArrayView value : found)
        values.append(value.toByteArray());
    return values;
}

Result<QByteArray> ini::writeValue(
    QByteArrayView file, QByteArrayView section, QByteArrayView key, QByteArrayView value)
{
    const auto overflow = [] {
        return Status::failure(
            QStringLiteral("Filen är för stor för att skrivas som INI-fil (över 32767 tecken)"));
    };
    // Positions below are 1-based, as the limit counts them; 0 means "not found".
    const auto find = [](const QByteArray &haystack, const QByteArray &needle, qsizetype from1) -> qsizetype {
        const qsizetype at = haystack.indexOf(needle, from1 - 1);
        return at < 0 ? 0 : at + 1;
    };

    QByteArray w = "\r\n" + file.toByteArray() + "[]";
    const QByteArray l = cp1252::toLower(w);
    const QByteArray sectionNeedle = "\r\n[" + cp1252::toLower(section) + "]\r";
    const QByteArray keyNeedle = '\n' + cp1252::toLower(key) + '=';
    const qsizetype s = sectionNeedle.size();
    const QByteArray keyLine = key.toByteArray() + '=' + value.toByteArray();

    const qsizetype p = find(l, sectionNeedle, 1);
    if (p > maxPosition)
        return overflow();
    w.chop(2); // the end marker
    if (p == 0) {
        w += "\r\n\r\n[" + section.toByteArray() + "]\r\n" + keyLine;
    } else {
        if (p + s > maxPosition)
            return overflow();
        const qsizetype n = find(l, "[", p + s);
        const qsizetype k = find(l, keyNeedle, p);
        if (n > maxPosition || k > maxPosition)
            return overflow();
        if (k == 0 || k > n) {
            // New key: it becomes the first line of the section.
            const qsizetype headerEnd = std::min(p + s, w.size());
            w.insert(headerEnd, keyLine + "\r\n");
        } else {
            // Existing key: its line is replaced between the LF before it and the CR
            // after it. A last line without a line end runs to the end of the text.
            qsizetype e = find(w, "\r", k);
            if (e == 0)
                e = w.size() + 1;
            if (e > maxPosition || k + 1 > maxPosition)
                return overflow();
            w.replace(k, e - 1 - k, keyLine);
        }
    }

    w.remove(0, 1);
    while (w.contains("\r\n\r\n\r\n"))
        w.replace("\r\n\r\n\r\n", "\r\n\r\n");
    qsizetype end = w.size();
    while (end > 0 && static_cast<unsigned char>(w[end - 1]) <= 13)
        --end;
    qsizetype start = 0;
    while (start < end && static_cast<unsigned char>(w[start]) <= 13)
        ++start;
    return w.mid(start, end - start) + "\r\n";
}

Result<QByteArray> ini::writeValues(QByteArrayView file, const QList<IniWrite> &writes)
{
    QByteArray contents = withCrBeforeLoneLf(file.toByteArray());
    for (const IniWrite &write : writes) {
        if (Status checked = checkWrite(write); !checked)
            return checked;
        Result<QByteArray> next = ini::writeValue(
            contents, cp1252::encode(write.section), cp1252::encode(write.key), cp1252::encode(write.value));
        if (!next)
            return next.status();
        contents = next.takeValue();
    }
    return contents;
}

Result<QString> ReadIni(const QString &path, const QString &section, const QString &key)
{
    const Status prepared = fileio::prepare(path);
    // A file we may read but cannot make writable (someone else's read-only file) is
    // still read; only a file that is missing and cannot be created is an error.
    if (!prepared && !QFileInfo(path).isFile())
        return prepared;
    Result<QByteArray> bytes = fileio::readAll(path);
    if (!bytes)
        return bytes.status();
    return cp1252::decode(ini::readValue(bytes.value(), cp1252::encode(section), cp1252::encode(key)));
}

Status WriteIni(const QString &path, const QString &section, const QString &key, const QString &value)
{
    return WriteIniAll(path, { IniWrite { section, key, value } });
}

Status WriteIniAll(const QString &path, const QList<IniWrite> &writes, QFileDevice::Permissions newFileMode)
{
    for (const IniWrite &write : writes) {
        if (Status checked = checkWrite(write); !checked)
            return checked;
    }
    // Read, change and write under the folder lock (taken again by a caller that holds
    // it already only counts up): another desk writing the same file between the read
    // and the write would lose its keys. A lock file that cannot be opened stops the
    // write as well: unlocked, it could undo another desk's.
    const FolderLock lock = FolderLock::acquire();
    if (!lock)
        return Status::failure(lock.errorText());
    // A missing file is not created here: the atomic save below brings it into being
    // whole, so a write that fails or is killed leaves no empty file behind.
    QByteArray existing;
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink()) {
        if (Status prepared = fileio::prepare(path); !prepared)
            return prepared;
        Result<QByteArray> bytes = fileio::readAll(path);
        if (!bytes)
            return bytes.status();
        existing = bytes.takeValue();
    }
    // Files made by hand on Linux may end their lines with LF alone. The reader takes
    // such an LF for a line end, so the writer must too, or it would not find the
    // sections and keys that the reader finds; it gets the CR LF of every other line.
    QByteArray contents = withCrBeforeLoneLf(existing);
    for (const IniWrite &write : writes) {
        Result<QByteArray> next = ini::writeValue(
            contents, cp1252::encode(write.section), cp1252::encode(write.key), cp1252::encode(write.value));
        if (!next)
            return next.status();
        contents = next.takeValue();
    }
    return fileio::saveAll(path, contents, newFileMode);
}

} // namespace lunora
