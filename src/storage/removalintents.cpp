// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "storage/removalintents.h"

#include "storage/cp1252.h"
#include "storage/datafolder.h"
#include "storage/fileio.h"

#include <QSet>

namespace lunora::removalintents {

namespace {

// The file's lines, each with its line end; a last line without one gets CR LF.
Result<QList<QByteArray>> lines()
{
    const QString path = paths::removalIntentsFile();
    if (!fileio::exists(path))
        return QList<QByteArray>();
    const Result<QByteArray> bytes = fileio::readAll(path);
    if (!bytes)
        return bytes.status();
    QList<QByteArray> found;
    const QByteArray &data = bytes.value();
    qsizetype start = 0;
    while (start < data.size()) {
        const qsizetype end = data.indexOf('\n', start);
        QByteArray line = data.mid(start, end < 0 ? -1 : end + 1 - start);
        if (end < 0)
            line += "\r\n";
        found.append(line);
        start = end < 0 ? data.size() : end + 1;
    }
    return found;
}

QString codeOf(const QByteArray &line)
{
    const QList<QByteArray> fields = line.trimmed().split('\t');
    return fields.size() >= 5 ? cp1252::decode(fields.at(4)) : QString();
}

Status store(const QList<QByteArray> &kept)
{
    const QString path = paths::removalIntentsFile();
    if (kept.isEmpty())
        return fileio::exists(path) ? fileio::remove(path) : Status();
    // saveAll syncs the new contents before it renames them into place.
    return fileio::saveAll(path, kept.join());
}

} // namespace

Status record(const QList<QByteArray> &added)
{
    if (added.isEmpty())
        return {};
    Result<QList<QByteArray>> present = lines();
    if (!present)
        return present.status();
    return store(present.value() + added);
}

Result<QList<Intent>> load()
{
    const Result<QList<QByteArray>> present = lines();
    if (!present)
        return present.status();
    QList<Intent> intents;
    for (const QByteArray &line : present.value()) {
        const QString code = codeOf(line);
        if (!code.isEmpty())
            intents.append({ code, line });
    }
    return intents;
}

Status drop(const QStringList &controlCodes)
{
    const Result<QList<QByteArray>> present = lines();
    if (!present)
        return present.status();
    const QSet<QString> dropped(controlCodes.cbegin(), controlCodes.cend());
    QList<QByteArray> kept;
    for (const QByteArray &line : present.value()) {
        const QString code = codeOf(line);
        if (code.isEmpty() || !dropped.contains(code))
            kept.append(line);
    }
    if (kept.size() == present.value().size())
        return {};
    return store(kept);
}

} // namespace lunora::removalintents
