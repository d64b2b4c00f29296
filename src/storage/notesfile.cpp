// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "storage/notesfile.h"

#include "storage/cp1252.h"
#include "storage/fileio.h"

#include <QFileInfo>

namespace lunora::notesfile {

namespace {
const QByteArray DevicePrefix = QByteArrayLiteral("Enhet:");
const QByteArray SerialPrefix = QByteArrayLiteral("Serienummer:");

bool hasLineBreak(QStringView text)
{
    return text.contains(u'\r') || text.contains(u'\n') || text.contains(QChar::LineSeparator)
        || text.contains(QChar::ParagraphSeparator);
}

// The text's lines, whatever line ends it came with.
QString normalisedLines(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    text.replace(QChar::LineSeparator, u'\n');
    text.replace(QChar::ParagraphSeparator, u'\n');
    return text;
}

// One line of the file and where the next one starts; CR LF, CR and LF all end a line.
QByteArrayView takeLine(QByteArrayView bytes, qsizetype &pos)
{
    const qsizetype start = pos;
    while (pos < bytes.size() && bytes[pos] != '\r' && bytes[pos] != '\n')
        ++pos;
    const QByteArrayView line = bytes.sliced(start, pos - start);
    if (pos < bytes.size() && bytes[pos] == '\r')
        ++pos;
    if (pos < bytes.size() && bytes[pos] == '\n')
        ++pos;
    return line;
}

// The value after "Prefix:" and one blank; false when the line is not that line.
bool valueAfter(QByteArrayView line, const QByteArray &prefix, QString &value)
{
    if (!line.startsWith(prefix))
        return false;
    QByteArrayView rest = line.sliced(prefix.size());
    if (rest.startsWith(' '))
        rest = rest.sliced(1);
    value = cp1252::decode(rest);
    return true;
}
} // namespace

Field firstUnstorableField(const CaseNotes &notes)
{
    if (hasLineBreak(notes.device) || !cp1252::canEncode(notes.device))
        return Field::Device;
    if (hasLineBreak(notes.serial) || !cp1252::canEncode(notes.serial))
        return Field::Serial;
    if (!cp1252::canEncode(notes.text))
        return Field::Text;
    return Field::None;
}

QString fieldCaption(Field field)
{
    switch (field) {
    case Field::Device:
        return QStringLiteral("Enhet / modell");
    case Field::Serial:
        return QStringLiteral("Serienummer");
    case Field::Text:
        return QStringLiteral("Felbeskrivning / anteckningar");
    case Field::None:
        break;
    }
    return QString();
}

QByteArray format(const CaseNotes &notes)
{
    QByteArray bytes = DevicePrefix + ' ' + cp1252::encode(notes.device) + "\r\n" + SerialPrefix + ' '
        + cp1252::encode(notes.serial) + "\r\n";
    const QString text = normalisedLines(notes.text);
    if (text.isEmpty())
        return bytes;
    for (const QString &line : text.split(u'\n'))
        bytes += cp1252::encode(line) + "\r\n";
    return bytes;
}

CaseNotes parse(QByteArrayView bytes)
{
    CaseNotes notes;
    qsizetype pos = 0;
    // A file whose first lines are not the two headings is taken as free text whole,
    // so that nothing in it is lost.
    qsizetype afterDevice = pos;
    if (valueAfter(takeLine(bytes, afterDevice), DevicePrefix, notes.device))
        pos = afterDevice;
    qsizetype afterSerial = pos;
    if (valueAfter(takeLine(bytes, afterSerial), SerialPrefix, notes.serial))
        pos = afterSerial;

    QByteArrayView rest = bytes.sliced(pos);
    // Every line of the text ends with a line end; the last one belongs to the line,
    // not to an empty line after it.
    if (rest.endsWith("\r\n"))
        rest.chop(2);
    else if (rest.endsWith('\r') || rest.endsWith('\n'))
        rest.chop(1);
    notes.text = normalisedLines(cp1252::decode(rest));
    return notes;
}

Result<CaseNotes> load(const QString &path)
{
    if (!QFileInfo::exists(path))
        return CaseNotes();
    Result<QByteArray> bytes = fileio::readAll(path);
    if (!bytes)
        return bytes.status();
    return parse(bytes.value());
}

Status store(const QString &path, const CaseNotes &notes)
{
    if (const Field bad = firstUnstorableField(notes); bad != Field::None)
        return Status::failure(QStringLiteral("%1 kan inte sparas").arg(fieldCaption(bad)));
    if (notes.isEmpty())
        return remove(path);
    return fileio::saveAll(path, format(notes));
}

Status remove(const QString &path)
{
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
        return {};
    return fileio::remove(path);
}

} // namespace lunora::notesfile
