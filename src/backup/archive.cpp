// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "backup/archive.h"

#include <QFile>
#include <QStringDecoder>
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

bool isValidUtf8(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes); // decodes only when turned into a string
    return !decoder.hasError();
}

QByteArray plainEntryPath(const QByteArray &name)
{
    QByteArray path = name;
    if (path.endsWith('/'))
        path.chop(1);
    if (path.isEmpty() || path.contains('\\') || path.contains('\0'))
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

ArchiveReader::~ArchiveReader()
{
    if (m_archive)
        archive_read_free(m_archive);
}

bool ArchiveReader::open(const QString &path)
{
    m_archive = archive_read_new();
    archive_read_support_format_zip_seekable(m_archive);
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
    const char *text = m_archive ? archive_error_string(m_archive) : nullptr;
    return text ? QString::fromUtf8(text) : QStringLiteral("unknown archive error");
}

} // namespace lunora::backup
