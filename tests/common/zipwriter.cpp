// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "common/zipwriter.h"

#include "common/testsupport.h"

#include <QFile>
#include <archive.h>
#include <archive_entry.h>
#include <tuple>

namespace lunora::test {

ZipWriter::ZipWriter(const QString &path)
    : m_archive(archive_write_new())
{
    archive_write_set_format_zip(m_archive);
    m_ok = archive_write_open_filename(m_archive, QFile::encodeName(path).constData()) == ARCHIVE_OK;
}

ZipWriter::~ZipWriter()
{
    (void)close();
}

void ZipWriter::header(const QByteArray &name, unsigned type, int mode, qint64 size)
{
    struct archive_entry *entry = archive_entry_new();
    archive_entry_copy_pathname(entry, name.constData());
    archive_entry_set_filetype(entry, type);
    archive_entry_set_perm(entry, static_cast<mode_t>(mode));
    archive_entry_set_size(entry, size);
    m_ok = m_ok && archive_write_header(m_archive, entry) == ARCHIVE_OK;
    archive_entry_free(entry);
}

void ZipWriter::folder(const QByteArray &name, int mode)
{
    header(name, AE_IFDIR, mode, 0);
}

void ZipWriter::file(const QByteArray &name, const QByteArray &bytes, int mode)
{
    header(name, AE_IFREG, mode, bytes.size());
    m_ok = m_ok && archive_write_data(m_archive, bytes.constData(), size_t(bytes.size())) == bytes.size();
}

void ZipWriter::zeros(const QByteArray &name, qint64 size)
{
    header(name, AE_IFREG, 0644, size);
    const QByteArray piece(1 << 20, '\0');
    for (qint64 left = size; m_ok && left > 0; left -= piece.size()) {
        const auto n = size_t(std::min<qint64>(left, piece.size()));
        m_ok = archive_write_data(m_archive, piece.constData(), n) == la_ssize_t(n);
    }
}

void ZipWriter::link(const QByteArray &name, const QByteArray &target)
{
    struct archive_entry *entry = archive_entry_new();
    archive_entry_copy_pathname(entry, name.constData());
    archive_entry_set_filetype(entry, AE_IFLNK);
    archive_entry_set_perm(entry, 0777);
    archive_entry_copy_symlink(entry, target.constData());
    m_ok = m_ok && archive_write_header(m_archive, entry) == ARCHIVE_OK;
    archive_entry_free(entry);
}

bool ZipWriter::close()
{
    if (!m_archive)
        return m_ok;
    m_ok = archive_write_close(m_archive) == ARCHIVE_OK && m_ok;
    archive_write_free(m_archive);
    m_archive = nullptr;
    return m_ok;
}

bool setEntryMode(const QString &zipPath, const QByteArray &name, quint16 mode)
{
    QByteArray bytes = readBytes(zipPath);
    // Central directory headers: signature, then the name's length at 28 and the
    // external attributes at 38, whose upper half is the unix mode; the name at 46.
    for (qsizetype at = bytes.indexOf("PK\x01\x02"); at >= 0; at = bytes.indexOf("PK\x01\x02", at + 4)) {
        const auto length = quint16(uchar(bytes[at + 28]) | uchar(bytes[at + 29]) << 8);
        if (bytes.mid(at + 46, length) != name)
            continue;
        bytes[at + 5] = 3; // made by: unix, so the mode is read
        bytes[at + 40] = char(mode & 0xff);
        bytes[at + 41] = char(mode >> 8);
        writeBytes(zipPath, bytes);
        return true;
    }
    return false;
}

bool setEntryMethod(const QString &zipPath, const QByteArray &name, quint16 method)
{
    QByteArray bytes = readBytes(zipPath);
    int set = 0;
    // Local headers: the method at 8, the name's length at 26, the name at 30. Central
    // directory headers: the method at 10, the name's length at 28, the name at 46.
    for (const auto &[signature, methodAt, lengthAt, nameAt] :
        { std::tuple { "PK\x03\x04", 8, 26, 30 }, std::tuple { "PK\x01\x02", 10, 28, 46 } }) {
        for (qsizetype at = bytes.indexOf(signature); at >= 0; at = bytes.indexOf(signature, at + 4)) {
            const auto length = quint16(uchar(bytes[at + lengthAt]) | uchar(bytes[at + lengthAt + 1]) << 8);
            if (bytes.mid(at + nameAt, length) != name)
                continue;
            bytes[at + methodAt] = char(method & 0xff);
            bytes[at + methodAt + 1] = char(method >> 8);
            ++set;
        }
    }
    writeBytes(zipPath, bytes);
    return set == 2;
}

} // namespace lunora::test
