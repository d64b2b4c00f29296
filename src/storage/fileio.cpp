// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "storage/fileio.h"

#include "storage/datafolder.h"
#include "storage/filestamp.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lunora::fileio {

namespace {
Status fileError(const QString &what, const QString &path, const QString &reason)
{
    return Status::failure(QStringLiteral("%1 %2: %3").arg(what, path, reason));
}

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
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
        fd = ::open(name.constData(), flags | O_CLOEXEC | O_NONBLOCK, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return fileError(what, path, systemReason(errno));
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return fileError(what, path, QStringLiteral("not a plain file"));
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, mode, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return fileError(what, path, file.errorString());
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
        return fileError(QStringLiteral("Cannot reach"), path, systemReason(errno));
    }
    if (S_ISLNK(st.st_mode)) {
        const QString target = QFileInfo(path).canonicalFilePath();
        if (target.isEmpty())
            return fileError(QStringLiteral("Refused"), path, QStringLiteral("a link to nothing"));
        if (!liesInDataFolder(target))
            return fileError(
                QStringLiteral("Refused"), path, QStringLiteral("a link out of the data folder"));
        if (::stat(name.constData(), &st) != 0)
            return fileError(QStringLiteral("Cannot reach"), path, systemReason(errno));
    }
    if (!S_ISREG(st.st_mode))
        return fileError(QStringLiteral("Refused"), path, QStringLiteral("not a plain file"));
    return {};
}

bool exists(const QString &path)
{
    return QFileInfo(path).isFile();
}

Result<QByteArray> readAll(const QString &path)
{
    QFile file;
    if (Status opened = openChecked(path, O_RDONLY, QIODevice::ReadOnly, file, QStringLiteral("Cannot read"));
        !opened)
        return opened;
    QByteArray contents = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return fileError(QStringLiteral("Cannot read"), path, file.errorString());
    return contents;
}

Status saveAll(const QString &path, const QByteArray &contents, QFileDevice::Permissions newFileMode)
{
    return saveInPieces(
        path, [&contents](const Sink &sink) { sink(contents); }, newFileMode);
}

Status saveInPieces(const QString &path, const std::function<void(const Sink &sink)> &produce,
    QFileDevice::Permissions newFileMode)
{
    // QSaveFile writes to the target of a link: only a link within the folder may lead it.
    if (Status placed = checkPlace(path); !placed)
        return placed;
    const bool isNew = !QFileInfo::exists(path);
    const FileStamp before = FileStamp::of(path);
    QSaveFile file(path);
    // Never fall back to writing over the old file in place: a failure half-way would
    // leave it cut short.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return fileError(QStringLiteral("Cannot write"), path, file.errorString());
    // Set on the temporary file, so that the file is never seen with a wider mode.
    if (isNew && newFileMode && !file.setPermissions(newFileMode)) {
        file.cancelWriting();
        return fileError(QStringLiteral("Cannot set the mode of"), path, file.errorString());
    }
    bool written = true;
    produce([&file, &written](QByteArrayView piece) {
        if (written && !piece.isEmpty())
            written = file.write(piece.data(), piece.size()) == piece.size();
    });
    // The flush is checked here because commit() does not report a failure of its own
    // final flush (a full disk): it would rename a short file over the old one.
    if (!written || !file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return fileError(QStringLiteral("Cannot write"), path, reason);
    }
    if (!file.commit())
        return fileError(QStringLiteral("Cannot write"), path, file.errorString());
    ownwrites::note(path, before, FileStamp::of(path));
    return {};
}

Status appendLine(const QString &path, const QByteArray &line)
{
    // One write of the whole line, so that the line is never split by another writer.
    // Unbuffered, so that nothing is left in a buffer that a later flush could still
    // push out after the fragment has been cut off.
    const FileStamp before = FileStamp::of(path); // before the open, which may create it
    QFile file;
    if (Status opened = openChecked(path, O_RDWR | O_APPEND | O_CREAT,
            QIODevice::ReadWrite | QIODevice::Append | QIODevice::Unbuffered, file,
            QStringLiteral("Cannot append to"));
        !opened)
        return opened;
    QByteArray data;
    if (!endsWithLineEnd(file.handle()))
        data = QByteArrayLiteral("\r\n");
    data += line;

    const qint64 sizeBefore = file.size();
    if (file.write(data) != data.size() || !file.flush()) {
        const QString reason = file.errorString();
        // Whatever part of the line did fit (a full disk) is cut off again: a fragment
        // would read back as an entry of its own.
        file.resize(sizeBefore);
        file.close();
        return fileError(QStringLiteral("Cannot append to"), path, reason);
    }
    file.close();
    if (file.error() != QFileDevice::NoError)
        return fileError(QStringLiteral("Cannot append to"), path, file.errorString());
    ownwrites::note(path, before, FileStamp::of(path));
    return {};
}

Status remove(const QString &path)
{
    // Removing a link removes the link, never its target: no check needed.
    QFile file(path);
    if (!QFileInfo(path).exists() && !QFileInfo(path).isSymLink())
        return fileError(QStringLiteral("Cannot remove"), path, QStringLiteral("no such file"));
    if (QFileInfo(path).isDir() && !QFileInfo(path).isSymLink())
        return fileError(QStringLiteral("Cannot remove"), path, QStringLiteral("is a folder"));
    if (!file.remove())
        return fileError(QStringLiteral("Cannot remove"), path, file.errorString());
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
                QIODevice::WriteOnly | QIODevice::Append, file, QStringLiteral("Cannot create"));
            !opened)
            return opened;
    }
    const QFileDevice::Permissions perms = QFile::permissions(path);
    if (!(perms & QFileDevice::WriteOwner)) {
        if (!QFile::setPermissions(path, perms | QFileDevice::WriteOwner | QFileDevice::WriteUser))
            return fileError(
                QStringLiteral("Cannot make writable"), path, QStringLiteral("permission denied"));
    }
    return {};
}

} // namespace lunora::fileio
