// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "backup/restorerecord.h"

#include "backup/backupsteps.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace lunora::backup {

namespace {

// Text, one field of a line after the other, TAB between them; paths as their bytes
// with everything but plain ASCII percent-encoded, so that any name survives.
const QByteArray Header = QByteArrayLiteral("Lunora-aterstallning 1");

QByteArray encodedPath(const QString &path)
{
    return QFile::encodeName(path).toPercentEncoding("/");
}

QString decodedPath(const QByteArray &field)
{
    return QFile::decodeName(QByteArray::fromPercentEncoding(field));
}

QByteArray idText(const FolderId &id)
{
    return QByteArray::number(id.device) + ':' + QByteArray::number(id.inode);
}

bool parseId(const QByteArray &text, FolderId &id)
{
    const qsizetype colon = text.indexOf(':');
    bool deviceOk = false, inodeOk = false;
    id.device = text.left(colon).toULongLong(&deviceOk);
    id.inode = text.mid(colon + 1).toULongLong(&inodeOk);
    return colon > 0 && deviceOk && inodeOk;
}

const char *stageName(RestoreRecord::Stage stage)
{
    switch (stage) {
    case RestoreRecord::Stage::Unpacking:
        return "unpacking";
    case RestoreRecord::Stage::Swapping:
        return "swapping";
    case RestoreRecord::Stage::Swapped:
        return "swapped";
    }
    return "";
}

QByteArray contentsOf(const RestoreRecord &record)
{
    QByteArray text = Header + '\n';
    text += QByteArray("stage\t") + stageName(record.stage) + '\n';
    text += "archive\t" + encodedPath(record.archive) + '\n';
    text += "safety\t" + encodedPath(record.safetyCopy) + '\n';
    for (const RestoreRecord::Folder &folder : record.folders) {
        text += "folder\t" + folder.top + '\t' + encodedPath(folder.real) + '\t' + encodedPath(folder.staging)
            + '\t' + (folder.existed ? '1' : '0') + '\t' + idText(folder.previous) + '\t'
            + idText(folder.restored) + '\n';
    }
    return text;
}

Status unreadable(const QString &path)
{
    return Status::failure(QStringLiteral("%1 kan inte läsas").arg(path));
}

bool writeAll(int fd, const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

} // namespace

QString RestoreRecord::path(const QString &dataFolder)
{
    return QDir(dataFolder).filePath(QStringLiteral("lunora-restore.txt"));
}

Status RestoreRecord::write(const QString &dataFolder) const
{
    const QString final = path(dataFolder);
    const QByteArray temporary = QFile::encodeName(final + QStringLiteral(".part"));
    const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return Status::failure(QStringLiteral("%1: %2").arg(final, systemText(errno)));
    const bool written = writeAll(fd, contentsOf(*this)) && ::fsync(fd) == 0;
    const int error = errno;
    if (::close(fd) != 0 || !written
        || ::rename(temporary.constData(), QFile::encodeName(final).constData()) != 0) {
        const int failed = written ? errno : error;
        ::unlink(temporary.constData());
        return Status::failure(QStringLiteral("%1: %2").arg(final, systemText(failed)));
    }
    syncFolder(dataFolder);
    return {};
}

Result<std::optional<RestoreRecord>> RestoreRecord::read(const QString &dataFolder)
{
    const QString file = path(dataFolder);
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) {
        if (!QFileInfo(file).exists() && !QFileInfo(file).isSymLink())
            return std::optional<RestoreRecord>();
        return unreadable(file);
    }
    const QList<QByteArray> lines = in.readAll().split('\n');
    if (lines.value(0) != Header)
        return unreadable(file);
    RestoreRecord record;
    bool staged = false;
    for (const QByteArray &line : lines.mid(1)) {
        if (line.isEmpty())
            continue;
        const QList<QByteArray> fields = line.split('\t');
        const QByteArray &key = fields.first();
        if (key == "stage" && fields.size() == 2) {
            staged = true;
            if (fields.at(1) == "unpacking")
                record.stage = Stage::Unpacking;
            else if (fields.at(1) == "swapping")
                record.stage = Stage::Swapping;
            else if (fields.at(1) == "swapped")
                record.stage = Stage::Swapped;
            else
                return unreadable(file);
        } else if (key == "archive" && fields.size() == 2) {
            record.archive = decodedPath(fields.at(1));
        } else if (key == "safety" && fields.size() == 2) {
            record.safetyCopy = decodedPath(fields.at(1));
        } else if (key == "folder" && fields.size() == 7) {
            Folder folder;
            folder.top = fields.at(1);
            folder.real = decodedPath(fields.at(2));
            folder.staging = decodedPath(fields.at(3));
            folder.existed = fields.at(4) == "1";
            if (folder.real.isEmpty() || !parseId(fields.at(5), folder.previous)
                || !parseId(fields.at(6), folder.restored))
                return unreadable(file);
            record.folders.append(folder);
        } else {
            return unreadable(file);
        }
    }
    if (!staged)
        return unreadable(file);
    return std::optional<RestoreRecord>(record);
}

Status RestoreRecord::remove(const QString &dataFolder)
{
    const QString file = path(dataFolder);
    if (::unlink(QFile::encodeName(file).constData()) != 0 && errno != ENOENT)
        return Status::failure(QStringLiteral("%1: %2").arg(file, systemText(errno)));
    syncFolder(dataFolder);
    return {};
}

RestoreLock RestoreLock::take(const QString &dataFolder)
{
    RestoreLock lock;
    lock.m_path = QFile::encodeName(QDir(dataFolder).filePath(QStringLiteral("lunora-restore.lock")));
    // The file goes when the lock is let go (nothing is left in the data folder), so a
    // lock may be had on a file that was just taken away: then it is tried again on the
    // file that is there now.
    for (int attempt = 0; attempt < 100; ++attempt) {
        // O_NOFOLLOW: a link planted under the name must not lead the lock elsewhere.
        const int fd = ::open(lock.m_path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0) {
            lock.m_errorText
                = QStringLiteral("%1: %2").arg(QFile::decodeName(lock.m_path), systemText(errno));
            return lock;
        }
        struct flock request
        {
        };
        request.l_type = F_WRLCK;
        request.l_whence = SEEK_SET;
        request.l_pid = 0; // must be 0 for open-file-description locks
        if (::fcntl(fd, F_OFD_SETLK, &request) != 0) {
            const int error = errno;
            ::close(fd);
            if (error == EAGAIN || error == EACCES) {
                lock.m_state = State::Busy;
                lock.m_errorText = QStringLiteral("En återställning pågår redan i datamappen");
            } else {
                lock.m_errorText
                    = QStringLiteral("%1: %2").arg(QFile::decodeName(lock.m_path), systemText(error));
            }
            return lock;
        }
        struct stat held
        {
        };
        struct stat named
        {
        };
        if (::fstat(fd, &held) == 0 && ::lstat(lock.m_path.constData(), &named) == 0
            && held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
            lock.m_fd = fd;
            lock.m_state = State::Held;
            return lock;
        }
        ::close(fd);
    }
    lock.m_errorText = QStringLiteral("%1 byts hela tiden ut").arg(QFile::decodeName(lock.m_path));
    return lock;
}

RestoreLock::RestoreLock(RestoreLock &&other) noexcept
    : m_path(std::move(other.m_path))
    , m_fd(std::exchange(other.m_fd, -1))
    , m_state(std::exchange(other.m_state, State::Failed))
    , m_errorText(std::move(other.m_errorText))
{
}

RestoreLock &RestoreLock::operator=(RestoreLock &&other) noexcept
{
    if (this != &other) {
        release();
        m_path = std::move(other.m_path);
        m_fd = std::exchange(other.m_fd, -1);
        m_state = std::exchange(other.m_state, State::Failed);
        m_errorText = std::move(other.m_errorText);
    }
    return *this;
}

RestoreLock::~RestoreLock()
{
    release();
}

void RestoreLock::release()
{
    if (m_fd < 0)
        return;
    // Taken away while still held, so that nobody locks it in between (see take()).
    ::unlink(m_path.constData());
    ::close(std::exchange(m_fd, -1));
    m_state = State::Failed;
}

} // namespace lunora::backup
