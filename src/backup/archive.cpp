// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "backup/archive.h"

#include <QFile>
#include <QStringDecoder>
#include <algorithm>
#include <archive.h>
#include <archive_entry.h>
#include <clocale>
#include <locale.h>

namespace lunora::backup {

namespace {

locale_t localeOf(bool utf8)
{
    // Made once and kept: newlocale() is not cheap, and the objects are never freed
    // while a thread may still use them.
    static const locale_t utf8Locale = ::newlocale(LC_ALL_MASK, "C.UTF-8", nullptr);
    static const locale_t plainLocale = ::newlocale(LC_ALL_MASK, "C", nullptr);
    return utf8 && utf8Locale ? utf8Locale : plainLocale;
}

} // namespace

LocaleScope::LocaleScope(bool utf8)
{
    if (const locale_t wanted = localeOf(utf8))
        m_previous = ::uselocale(wanted);
}

LocaleScope::~LocaleScope()
{
    if (m_previous)
        ::uselocale(static_cast<locale_t>(m_previous));
}

quint64 nameHash(QByteArrayView bytes)
{
    // FNV-1a: fixed, so that a run gives the same answer every time.
    quint64 hash = 14695981039346656037ULL;
    for (const char c : bytes)
        hash = (hash ^ uchar(c)) * 1099511628211ULL;
    return hash;
}

bool isValidUtf8(const QByteArray &bytes)
{
    // Nearly every name of a data folder is plain ASCII: no decoder needed for those.
    if (std::all_of(bytes.cbegin(), bytes.cend(), [](char c) { return uchar(c) < 0x80; }))
        return true;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes); // decodes only when turned into a string
    return !decoder.hasError();
}

bool hasControlCharacter(QByteArrayView name)
{
    return std::any_of(name.begin(), name.end(), [](char c) { return uchar(c) < 0x20 || uchar(c) == 0x7f; });
}

QByteArray plainEntryPath(const QByteArray &name)
{
    QByteArray path = name;
    if (path.endsWith('/'))
        path.chop(1);
    if (path.isEmpty() || path.contains('\\') || hasControlCharacter(path))
        return {};
    const QList<QByteArray> parts = path.split('/');
    if (parts.first() != "Lib" && parts.first() != "Errors")
        return {};
    for (const QByteArray &part : parts) {
        if (part.isEmpty() || part == "." || part == "..")
            return {};
    }
    return path;
}

namespace {

quint64 little(const QByteArray &bytes, qsizetype at, int size)
{
    quint64 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | uchar(bytes.at(at + i));
    return value;
}

// The offset and size of the central directory, from the end of the archive: the zip64
// record when the classic one says its fields overflowed. False when none is found.
bool centralDirectory(QFile &file, quint64 &offset, quint64 &size)
{
    const qint64 tail = std::min<qint64>(file.size(), 65557 + 20);
    if (tail < 22 || !file.seek(file.size() - tail))
        return false;
    const QByteArray end = file.read(tail);
    const qsizetype at = end.lastIndexOf("PK\x05\x06");
    if (at < 0 || at + 22 > end.size())
        return false;
    size = little(end, at + 12, 4);
    offset = little(end, at + 16, 4);
    if (offset != 0xffffffff && size != 0xffffffff)
        return true;
    if (at < 20 || end.mid(at - 20, 4) != "PK\x06\x07" || !file.seek(qint64(little(end, at - 12, 8))))
        return false;
    const QByteArray record = file.read(56);
    if (record.size() < 56 || !record.startsWith("PK\x06\x06"))
        return false;
    size = little(record, 40, 8);
    offset = little(record, 48, 8);
    return true;
}

} // namespace

Directory readDirectory(const QString &archivePath)
{
    Directory directory;
    QFile file(archivePath);
    quint64 offset = 0;
    quint64 size = 0;
    if (!file.open(QIODevice::ReadOnly) || !centralDirectory(file, offset, size)
        || !file.seek(qint64(offset)))
        return directory;
    // Read header by header, so that a directory of 100,000 entries is never held whole.
    for (quint64 done = 0; done < size;) {
        const QByteArray header = file.read(46);
        if (header.size() < 46 || !header.startsWith("PK\x01\x02"))
            return directory;
        const auto nameLength = qint64(little(header, 28, 2));
        const auto skipped = qint64(little(header, 30, 2) + little(header, 32, 2));
        const QByteArray name = file.read(nameLength);
        const bool madeOnUnix = uchar(header.at(5)) == 3;
        const auto type = little(header, 40, 2) & 0170000;
        // A NUL would cut the name as the library hands it over ("Lib/o\0.txt" unpacks
        // as "Lib/o"): only the directory shows the whole name.
        if (directory.foreign.isEmpty()
            && (name.contains('\\') || hasControlCharacter(name)
                || (madeOnUnix && type != 0 && type != 0100000 && type != 0040000)))
            directory.foreign = QFile::decodeName(name);
        if (name.size() < nameLength || !file.seek(file.pos() + skipped))
            return directory;
        ++directory.entries;
        done += quint64(46 + nameLength + skipped);
    }
    directory.found = true;
    return directory;
}

ArchiveReader::~ArchiveReader()
{
    if (m_archive)
        archive_read_free(m_archive);
}

bool ArchiveReader::open(const QString &path)
{
    m_archive = archive_read_new();
    // Streamed from the local headers: the seekable reader would hold the whole central
    // directory, some 200 bytes an entry, and readDirectory() reads that on its own.
    archive_read_support_format_zip_streamable(m_archive);
    return archive_read_open_filename(m_archive, QFile::encodeName(path).constData(), 1 << 16) == ARCHIVE_OK;
}

ArchiveReader::Next ArchiveReader::next(Entry &entry)
{
    struct archive_entry *header = nullptr;
    const int status = archive_read_next_header(m_archive, &header);
    if (status == ARCHIVE_EOF)
        return Next::End;
    // A warning here means a name that could not be converted: never guess at a name.
    if (status != ARCHIVE_OK)
        return Next::Failed;
    const char *name = archive_entry_pathname(header);
    entry.name = name ? QByteArray(name) : QByteArray();
    // A backup's entries are stored or deflated, nothing else. The other methods are
    // refused before any data is decoded: PPMd and LZMA take as much memory as the entry
    // asks for, hundreds of megabytes from a file of a few hundred bytes. The library
    // names the method of the entry just read in the format's name.
    const QByteArray format = archive_format_name(m_archive);
    if (!format.endsWith("(uncompressed)") && !format.endsWith("(deflation)")) {
        m_refused = QStringLiteral("Posten %1 är packad på ett sätt som säkerhetskopior inte använder (%2)")
                        .arg(QString::fromUtf8(entry.name), QString::fromUtf8(format));
        return Next::Failed;
    }
    const auto type = archive_entry_filetype(header);
    entry.kind = type == AE_IFREG ? EntryKind::File : type == AE_IFDIR ? EntryKind::Folder : EntryKind::Other;
    entry.declaredSize = archive_entry_size_is_set(header) ? archive_entry_size(header) : -1;
    m_entryStart = archive_filter_bytes(m_archive, 0);
    return Next::Entry;
}

qint64 ArchiveReader::read(char *buffer, qint64 capacity)
{
    const la_ssize_t n = archive_read_data(m_archive, buffer, static_cast<size_t>(capacity));
    return n < 0 ? -1 : static_cast<qint64>(n);
}

qint64 ArchiveReader::packedSoFar() const
{
    return archive_filter_bytes(m_archive, 0) - m_entryStart;
}

QString ArchiveReader::errorText() const
{
    if (!m_refused.isEmpty())
        return m_refused;
    const char *text = m_archive ? archive_error_string(m_archive) : nullptr;
    return text ? QString::fromUtf8(text) : QStringLiteral("okänt fel i arkivet");
}

} // namespace lunora::backup
