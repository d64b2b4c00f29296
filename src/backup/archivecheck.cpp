// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "backup/archivecheck.h"

#include "storage/caseregister.h"
#include "storage/records.h"

#include <QFile>
#include <QRegularExpression>
#include <memory>

namespace lunora::backup {

namespace {

// The names seen so far, to refuse a second entry of one name and a file that is also
// used as a folder ("Lib/a" as a file and "Lib/a/b"). Kept as 64-bit hashes, so that an
// archive of a million entries costs a few megabytes: two names of one hash would only
// refuse an archive, never let a duplicate through.
class NameBook
{
public:
    bool add(QByteArrayView path, EntryKind kind)
    {
        const quint64 key = hashOf(path);
        if (m_files.contains(key) || m_folders.contains(key)
            || (m_parents.contains(key) && kind == EntryKind::File))
            return false;
        for (qsizetype slash = path.indexOf('/'); slash >= 0; slash = path.indexOf('/', slash + 1)) {
            const quint64 parent = hashOf(path.first(slash));
            if (m_files.contains(parent))
                return false;
            m_parents.insert(parent);
        }
        (kind == EntryKind::File ? m_files : m_folders).insert(key);
        return true;
    }

private:
    static quint64 hashOf(QByteArrayView bytes) { return nameHash(bytes); }
    QSet<quint64> m_files;
    QSet<quint64> m_folders;
    QSet<quint64> m_parents;
};

QString shown(const QByteArray &name)
{
    return QFile::decodeName(name);
}

WalkResult refused(Error error, const QString &detail)
{
    WalkResult result;
    result.error = error;
    result.detail = detail;
    return result;
}

// Streams one file entry's data to the visitor, refusing it once it unpacks to more
// than the rules allow.
WalkResult streamData(
    ArchiveReader &reader, const ArchiveReader::Entry &entry, EntryVisitor &visitor, char *buffer)
{
    WalkResult result;
    for (;;) {
        const qint64 n = reader.read(buffer, PieceSize);
        if (n < 0)
            return refused(
                Error::Corrupt, QStringLiteral("%1: %2").arg(shown(entry.name), reader.errorText()));
        if (n == 0)
            break;
        result.bytes += n;
        if (result.bytes > RatioFloor && result.bytes > MaxRatio * std::max<qint64>(1, reader.packedSoFar()))
            return refused(Error::TooLarge,
                QStringLiteral("%1: packas upp till mer än %2 gånger sin storlek")
                    .arg(shown(entry.name))
                    .arg(MaxRatio));
        if (!visitor.piece(buffer, n))
            return refused(Error::ReplaceFailed, visitor.problem);
    }
    if (entry.declaredSize >= 0 && entry.declaredSize != result.bytes)
        return refused(Error::Corrupt, QStringLiteral("%1: storleken stämmer inte").arg(shown(entry.name)));
    return result;
}

} // namespace

WalkResult walkArchive(const QString &archivePath, EntryVisitor &visitor, const Progress &progress)
{
    ArchiveReader reader;
    if (!reader.open(archivePath))
        return refused(Error::NotAnArchive, reader.errorText());
    const Directory directory = readDirectory(archivePath);
    if (!directory.foreign.isEmpty())
        return refused(Error::NotABackup, QStringLiteral("Oväntad post %1").arg(directory.foreign));
    if (!directory.found)
        return refused(Error::NotAnArchive, QStringLiteral("Zip-filen saknar förteckning"));
    WalkResult result;
    NameBook names;
    // One buffer for the whole walk: a fresh one per entry would be cleared 200,000 times.
    const auto buffer = std::make_unique_for_overwrite<char[]>(PieceSize);
    ArchiveReader::Entry entry;
    bool any = false;
    qint64 entries = 0;
    for (;;) {
        const ArchiveReader::Next next = reader.next(entry);
        if (next == ArchiveReader::Next::End)
            break;
        if (next == ArchiveReader::Next::Failed)
            return refused(any ? Error::Corrupt : Error::NotAnArchive, reader.errorText());
        any = true;
        ++entries;
        const QByteArray path = plainEntryPath(entry.name);
        if (path.isEmpty() || entry.kind == EntryKind::Other)
            return refused(Error::NotABackup, QStringLiteral("Oväntad post %1").arg(shown(entry.name)));
        if ((path == "Lib" || path == "Errors") && entry.kind != EntryKind::Folder)
            return refused(Error::NotABackup, QStringLiteral("Oväntad post %1").arg(shown(entry.name)));
        result.longestPath = std::max(result.longestPath, qint64(path.size()));
        for (qsizetype start = 0; start < path.size();) {
            const qsizetype slash = path.indexOf('/', start);
            const qsizetype end = slash < 0 ? path.size() : slash;
            result.longestName = std::max(result.longestName, qint64(end - start));
            start = end + 1;
        }
        if (!names.add(path, entry.kind))
            return refused(Error::NotABackup, QStringLiteral("Posten %1 finns två gånger").arg(shown(path)));
        if (!visitor.begin(path, entry.kind))
            return refused(Error::ReplaceFailed, visitor.problem);
        if (entry.kind == EntryKind::File) {
            const WalkResult data = streamData(reader, entry, visitor, buffer.get());
            if (!data.ok())
                return data;
            result.bytes += data.bytes;
            ++result.files;
        }
        if (!visitor.end())
            return refused(Error::ReplaceFailed, visitor.problem);
        if (progress && result.files % 512 == 0)
            progress(result.files, 0);
    }
    if (!any)
        return refused(Error::NotABackup, QStringLiteral("Arkivet är tomt"));
    if (entries != directory.entries)
        return refused(Error::Corrupt,
            QStringLiteral("%1 poster, men arkivets förteckning har %2").arg(entries).arg(directory.entries));
    return result;
}

void RegisterCounter::add(const char *data, qint64 size)
{
    // A case's line is a few hundred bytes; a longer one is not counted, and never held.
    constexpr qsizetype LongestLine = 1 << 20;
    QByteArrayView rest(data, size);
    while (!rest.isEmpty()) {
        const qsizetype end = rest.indexOf('\n');
        const QByteArrayView part = end < 0 ? rest : rest.first(end + 1);
        rest = rest.sliced(part.size());
        if (!m_skipping)
            m_pending.append(part);
        if (m_pending.size() > LongestLine) {
            m_pending.clear();
            m_skipping = true;
        }
        if (end >= 0) {
            if (!m_skipping)
                countLine(m_pending);
            m_pending.clear();
            m_skipping = false;
        }
    }
}

void RegisterCounter::countLine(QByteArrayView line)
{
    static const QRegularExpression datePattern(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    for (const RegisterEntry &entry : caseregister::parse(line)) {
        ++m_cases;
        if (datePattern.match(entry[Created]).hasMatch() && entry[Created] > m_newest)
            m_newest = entry[Created];
    }
}

void RegisterCounter::finish(Summary &summary)
{
    if (!m_skipping && !m_pending.isEmpty())
        countLine(m_pending);
    m_pending.clear();
    summary.caseCount = m_cases;
    summary.newestDate = m_newest;
}

} // namespace lunora::backup
