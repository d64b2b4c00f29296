// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "storage/fileio.h"

#include "storage/datafolder.h"
#include "storage/filestamp.h"
#include "storage/systemreason.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lunora::fileio {

namespace {
// `what` names the path with %1: "%1 kunde inte läsas".
Status fileError(const QString &what, const QString &path, const QString &reason)
{
    return Status::failure(what.arg(path) + QStringLiteral(": ") + reason);
}

bool isWithin(const QString &path, const QString &folder)
{
    return !folder.isEmpty() && (path == folder || path.startsWith(folder + QLatin1Char('/')));
}

// The data folder and its installed folders as they resolve: any of them may be a link.
bool liesInDataFolder(const QString &canonical)
{
    static const char *const folders[] = { "", "/Lib", "/Lib/User", "/Lib/Logo", "/Errors" };
    const QString root = DataFolder::root();
    for (const char *folder : folders) {
        if (isWithin(canonical, QFileInfo(root + QLatin1String(folder)).canonicalFilePath()))
            return true;
    }
    return false;
}

// Opens a checked path without waiting on it: O_NONBLOCK keeps a FIFO that appeared
// after the check from hanging the open, and the type is checked again on the handle.
// On success the handle is handed to `file`, which closes it.
Status openChecked(const QString &path, int flags, QIODevice::OpenMode mode, QFile &file, const QString &what)
{
    if (Status placed = checkPlace(path); !placed)
        return placed;
    const QByteArray name = QFile::encodeName(path);
    int fd;
    do {
        // A file made here is its owner's alone until it gets its mode.
        fd = ::open(name.constData(), flags | O_CLOEXEC | O_NONBLOCK, 0600);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return fileError(what, path, systemReason(errno));
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return fileError(what, path, QStringLiteral("ingen vanlig fil"));
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, mode, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return fileError(what, path, reasonOf(file));
    }
    return {};
}

bool endsWithLineEnd(int fd)
{
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0 || st.st_size <= 0)
        return true; // nothing to read means nothing to separate from
    char last = 0;
    if (::pread(fd, &last, 1, st.st_size - 1) != 1)
        return true;
    return last == '\n' || last == '\r';
}

// The mode a file made here gets: its owner's bits, and its group's where the folder
// is shared by its group (the folder's group may write it), never anyone else's. A
// caller that asks for less (user files) gets less.
mode_t modeForNewFile(const QString &folder, QFileDevice::Permissions asked)
{
    struct stat st
    {
    };
    const bool shared = ::stat(QFile::encodeName(folder).constData(), &st) == 0 && (st.st_mode & S_IWGRP);
    mode_t mode = shared ? 0660 : 0600;
    if (asked) {
        mode_t wanted = 0;
        if (asked & (QFileDevice::ReadOwner | QFileDevice::ReadUser))
            wanted |= S_IRUSR;
        if (asked & (QFileDevice::WriteOwner | QFileDevice::WriteUser))
            wanted |= S_IWUSR;
        if (asked & QFileDevice::ReadGroup)
            wanted |= S_IRGRP;
        if (asked & QFileDevice::WriteGroup)
            wanted |= S_IWGRP;
        mode &= wanted;
    }
    return mode;
}

// A file the program has just created gets the mode of a new file. A file system that
// keeps no modes (CIFS, FAT) refuses: that never fails a save.
void giveNewFileMode(int fd, const QString &path, QFileDevice::Permissions asked = {})
{
    (void)::fchmod(fd, modeForNewFile(QFileInfo(path).absolutePath(), asked));
}

// What a rewrite does with the mode of the file it replaces.
enum class OldMode
{
    Keep,
    Narrow, // the mode of a new file, whatever the old one had
};

// The temporary file of a save gets the mode and group of the file it replaces, or
// those of a new file.
void giveMode(int fd, const QString &target, QFileDevice::Permissions newFileMode, OldMode oldMode)
{
    struct stat old
    {
    };
    if (::stat(QFile::encodeName(target).constData(), &old) != 0) {
        giveNewFileMode(fd, target, newFileMode);
        return;
    }
    // Without the old group (a user outside it), the group the file gets instead is not
    // given the old group's rights.
    const bool keptGroup = ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) == 0;
    if (oldMode == OldMode::Narrow)
        giveNewFileMode(fd, target, newFileMode);
    else
        (void)::fchmod(fd, (old.st_mode & 07777) & (keptGroup ? mode_t(07777) : ~mode_t(070)));
}

// The hidden temporary file of a save, beside the file: ".<name>.lunora-XXXXXX". The
// form is the program's own, so that the start-up's clean-up can tell it from a copy
// a person made ("arenden.txt.backup"). Made with mode 0600.
int makeTemporary(const QString &target, QByteArray &temporary)
{
    const QFileInfo info(target);
    temporary = QFile::encodeName(
        info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".lunora-XXXXXX"));
    int fd;
    do {
        fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

bool writeWhole(int fd, QByteArrayView piece)
{
    const char *data = piece.data();
    qsizetype left = piece.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, static_cast<size_t>(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        left -= written;
    }
    return true;
}
} // namespace

Status checkPlace(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st
    {
    };
    if (::lstat(name.constData(), &st) != 0) {
        if (errno == ENOENT)
            return {}; // may be created
        return fileError(QStringLiteral("%1 kan inte nås"), path, systemReason(errno));
    }
    if (S_ISLNK(st.st_mode)) {
        const QString target = QFileInfo(path).canonicalFilePath();
        if (target.isEmpty())
            return fileError(
                QStringLiteral("%1 används inte"), path, QStringLiteral("en länk till något som inte finns"));
        if (!liesInDataFolder(target))
            return fileError(
                QStringLiteral("%1 används inte"), path, QStringLiteral("en länk ut ur datamappen"));
        if (::stat(name.constData(), &st) != 0)
            return fileError(QStringLiteral("%1 kan inte nås"), path, systemReason(errno));
    }
    if (!S_ISREG(st.st_mode))
        return fileError(QStringLiteral("%1 används inte"), path, QStringLiteral("ingen vanlig fil"));
    return {};
}

bool exists(const QString &path)
{
    return QFileInfo(path).isFile();
}

Result<QByteArray> readAll(const QString &path)
{
    QFile file;
    if (Status opened
        = openChecked(path, O_RDONLY, QIODevice::ReadOnly, file, QStringLiteral("%1 kunde inte läsas"));
        !opened)
        return opened;
    QByteArray contents = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return fileError(QStringLiteral("%1 kunde inte läsas"), path, reasonOf(file));
    return contents;
}

Status openForReading(const QString &path, QFile &file)
{
    return openChecked(path, O_RDONLY, QIODevice::ReadOnly | QIODevice::Unbuffered, file,
        QStringLiteral("%1 kunde inte läsas"));
}

Result<QByteArray> readOn(QFile &file, const QString &path, qsizetype expected)
{
    QByteArray contents(std::max<qsizetype>(expected, 0), Qt::Uninitialized);
    qsizetype have = 0;
    while (have < contents.size()) {
        const qint64 got = file.read(contents.data() + have, contents.size() - have);
        if (got < 0)
            return fileError(QStringLiteral("%1 kunde inte läsas"), path, reasonOf(file));
        if (got == 0)
            break; // cut short while it was read
        have += got;
    }
    contents.resize(have);
    if (have == expected) {
        // Lines another desk added while the file was read.
        const QByteArray more = file.readAll();
        if (file.error() != QFileDevice::NoError)
            return fileError(QStringLiteral("%1 kunde inte läsas"), path, reasonOf(file));
        contents += more;
    }
    return contents;
}

Status saveAll(const QString &path, const QByteArray &contents, QFileDevice::Permissions newFileMode)
{
    return saveInPieces(
        path, [&contents](const Sink &sink) { sink(contents); }, newFileMode);
}

namespace {
Status save(const QString &path, const std::function<void(const Sink &sink)> &produce,
    QFileDevice::Permissions newFileMode, OldMode oldMode)
{
    // A link within the folder leads the save to its target, which is the file replaced.
    if (Status placed = checkPlace(path); !placed)
        return placed;
    const QFileInfo info(path);
    const QString target = info.isSymLink() ? info.canonicalFilePath() : path;
    const FileStamp before = FileStamp::of(path);
    QByteArray temporary;
    const int fd = makeTemporary(target, temporary);
    if (fd < 0)
        return fileError(QStringLiteral("%1 kunde inte skrivas"), path, systemReason(errno));
    const auto cancel = [&temporary, path](int fd, int error) {
        ::close(fd);
        ::unlink(temporary.constData());
        return fileError(QStringLiteral("%1 kunde inte skrivas"), path, systemReason(error));
    };
    // Set on the temporary file, so that the file is never seen with a wider mode.
    giveMode(fd, target, newFileMode, oldMode);
    int error = 0;
    produce([fd, &error](QByteArrayView piece) {
        if (error == 0 && !writeWhole(fd, piece))
            error = errno ? errno : EIO;
    });
    // A full disk may show only at the sync: nothing is renamed before it has passed.
    if (error != 0 || ::fsync(fd) != 0)
        return cancel(fd, error != 0 ? error : errno);
    if (::close(fd) != 0) {
        error = errno;
        ::unlink(temporary.constData());
        return fileError(QStringLiteral("%1 kunde inte skrivas"), path, systemReason(error));
    }
    const ownwrites::Writing writing(path);
    if (::rename(temporary.constData(), QFile::encodeName(target).constData()) != 0) {
        error = errno;
        ::unlink(temporary.constData());
        return fileError(QStringLiteral("%1 kunde inte skrivas"), path, systemReason(error));
    }
    ownwrites::note(path, before, FileStamp::of(path));
    return {};
}
} // namespace

Status saveInPieces(const QString &path, const std::function<void(const Sink &sink)> &produce,
    QFileDevice::Permissions newFileMode)
{
    return save(path, produce, newFileMode, OldMode::Keep);
}

Status savePrivately(const QString &path, const QByteArray &contents)
{
    return save(
        path, [&contents](const Sink &sink) { sink(contents); }, {}, OldMode::Narrow);
}

Result<bool> createNew(const QString &path, const QByteArray &contents)
{
    if (Status placed = checkPlace(path); !placed)
        return placed;
    const QFileInfo info(path);
    if (info.exists() || info.isSymLink())
        return false;
    QByteArray temporary;
    const int fd = makeTemporary(path, temporary);
    if (fd < 0)
        return fileError(QStringLiteral("%1 kunde inte skrivas"), path, systemReason(errno));
    giveNewFileMode(fd, path);
    int error = writeWhole(fd, contents) ? 0 : (errno ? errno : EIO);
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0) {
        ::unlink(temporary.constData());
        return fileError(QStringLiteral("%1 kunde inte skrivas"), path, systemReason(error));
    }
    const FileStamp before = FileStamp::of(path);
    const ownwrites::Writing writing(path);
    // link() never replaces a name that exists, unlike rename().
    const bool linked = ::link(temporary.constData(), QFile::encodeName(path).constData()) == 0;
    error = errno;
    ::unlink(temporary.constData());
    if (!linked && error == EEXIST)
        return false;
    if (!linked)
        return fileError(QStringLiteral("%1 kunde inte skrivas"), path, systemReason(error));
    ownwrites::note(path, before, FileStamp::of(path));
    return true;
}

Status appendLine(const QString &path, const QByteArray &line)
{
    // One write of the whole line, so that the line is never split by another writer.
    // Unbuffered, so that nothing is left in a buffer that a later flush could still
    // push out after the fragment has been cut off.
    const FileStamp before = FileStamp::of(path); // before the open, which may create it
    const ownwrites::Writing writing(path);
    QFile file;
    if (Status opened = openChecked(path, O_RDWR | O_APPEND | O_CREAT,
            QIODevice::ReadWrite | QIODevice::Append | QIODevice::Unbuffered, file,
            QStringLiteral("En rad kunde inte läggas till i %1"));
        !opened)
        return opened;
    if (!before.exists)
        giveNewFileMode(file.handle(), path);
    QByteArray data;
    if (!endsWithLineEnd(file.handle()))
        data = QByteArrayLiteral("\r\n");
    data += line;

    const qint64 sizeBefore = file.size();
    if (file.write(data) != data.size() || !file.flush()) {
        const QString reason = reasonOf(file);
        // Whatever part of the line did fit (a full disk) is cut off again: a fragment
        // would read back as an entry of its own.
        file.resize(sizeBefore);
        file.close();
        return fileError(QStringLiteral("En rad kunde inte läggas till i %1"), path, reason);
    }
    file.close();
    if (file.error() != QFileDevice::NoError)
        return fileError(QStringLiteral("En rad kunde inte läggas till i %1"), path, reasonOf(file));
    ownwrites::note(path, before, FileStamp::of(path));
    return {};
}

Status remove(const QString &path)
{
    // Removing a link removes the link, never its target: no check needed.
    QFile file(path);
    if (!QFileInfo(path).exists() && !QFileInfo(path).isSymLink())
        return fileError(QStringLiteral("%1 kunde inte tas bort"), path, QStringLiteral("filen finns inte"));
    if (QFileInfo(path).isDir() && !QFileInfo(path).isSymLink())
        return fileError(QStringLiteral("%1 kunde inte tas bort"), path, QStringLiteral("det är en mapp"));
    if (!file.remove())
        return fileError(QStringLiteral("%1 kunde inte tas bort"), path, reasonOf(file));
    return {};
}

Status prepare(const QString &path)
{
    if (Status placed = checkPlace(path); !placed)
        return placed;
    if (!QFileInfo::exists(path)) {
        // Append mode never truncates a file that appeared meanwhile, and a missing
        // folder makes the open fail, which is what we want.
        QFile file;
        if (Status opened = openChecked(path, O_WRONLY | O_APPEND | O_CREAT,
                QIODevice::WriteOnly | QIODevice::Append, file, QStringLiteral("%1 kunde inte skapas"));
            !opened)
            return opened;
        giveNewFileMode(file.handle(), path);
    }
    const QFileDevice::Permissions perms = QFile::permissions(path);
    if (!(perms & QFileDevice::WriteOwner)) {
        if (!QFile::setPermissions(path, perms | QFileDevice::WriteOwner | QFileDevice::WriteUser))
            return fileError(QStringLiteral("%1 kunde inte göras skrivbar"), path, systemReason(EACCES));
    }
    return {};
}

} // namespace lunora::fileio
