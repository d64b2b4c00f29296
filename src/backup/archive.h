// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

struct archive;

// The zip archives of backups, read entry by entry through libarchive with every entry's
// data as a stream of small pieces, so that no entry is ever held whole in memory.
//
// Names are raw bytes. A data folder may hold names that are not UTF-8 (a Latin-1 file
// copied from an old disk); they go into the archive with their bytes unchanged and
// without the zip's UTF-8 flag, and come back with the same bytes. To keep libarchive
// from converting names on the way, reading and writing run with the thread's locale
// set to C.UTF-8 (see LocaleScope).
namespace lunora::backup {

// The entry kinds a backup may hold; anything else (links, FIFOs, devices) is Other.
enum class EntryKind
{
    File,
    Folder,
    Other,
};

// Sets the calling thread's locale for libarchive's name conversions while it lives:
// C.UTF-8, or plain C for writing a name that is not valid UTF-8.
class LocaleScope final
{
public:
    explicit LocaleScope(bool utf8 = true);
    ~LocaleScope();
    LocaleScope(const LocaleScope &) = delete;
    LocaleScope &operator=(const LocaleScope &) = delete;

private:
    void *m_previous = nullptr;
};

// An entry name as a path of the data folder: "Lib" or "Errors" or a path below them of
// plain names, '/' between them, nothing else. A folder's name may end with one '/'.
// Returns the path without that '/', or an empty array when the name is not plain
// ("Lib//x", "Lib/./x", "..", "/x", "Lib\x", NUL or another control character such as
// ESC, CR or LF, another top folder).
QByteArray plainEntryPath(const QByteArray &name);
bool hasControlCharacter(QByteArrayView name);

bool isValidUtf8(const QByteArray &bytes);

// A 64-bit hash of a name, for sets of a million names that must stay small; two names
// of one hash are possible, so a set of hashes may only ever refuse, never let through.
quint64 nameHash(QByteArrayView bytes);

// What the zip's central directory says, read by this program itself. libarchive reads
// the entries from their local headers as a stream (holding no directory in memory),
// turns '\\' in names into '/' and reads FIFOs and devices as plain files: the directory
// tells those apart, and how many entries the stream must have.
struct Directory
{
    bool found = false; // false: no central directory that can be read
    qint64 entries = 0;
    // The first entry with a '\\' or a control character in its name, or of a type other
    // than file or folder.
    QString foreign;
};
Directory readDirectory(const QString &archivePath);

// One pass over a zip archive.
class ArchiveReader final
{
public:
    struct Entry
    {
        QByteArray name; // as stored
        EntryKind kind = EntryKind::Other;
        qint64 declaredSize = -1; // -1 when the archive does not say
    };
    enum class Next
    {
        Entry,
        End,
        Failed,
    };

    ArchiveReader() = default;
    ~ArchiveReader();
    ArchiveReader(const ArchiveReader &) = delete;
    ArchiveReader &operator=(const ArchiveReader &) = delete;

    bool open(const QString &path);
    Next next(Entry &entry);
    // Up to `capacity` bytes of the current entry's data: 0 at its end, -1 on failure
    // (a damaged stream, a checksum that does not match).
    qint64 read(char *buffer, qint64 capacity);
    // Packed bytes consumed for the current entry so far.
    qint64 packedSoFar() const;
    QString errorText() const;

private:
    struct archive *m_archive = nullptr;
    qint64 m_entryStart = 0;
    QString m_refused; // why next() refused an entry the library read
    LocaleScope m_locale;
};

} // namespace lunora::backup
