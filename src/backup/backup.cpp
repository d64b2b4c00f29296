// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "backup/backup.h"

#include "storage/caseregister.h"
#include "storage/folderlock.h"
#include "storage/passwords.h"
#include "storage/records.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <archive.h>
#include <archive_entry.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <zlib.h>

namespace lunora::backup {

namespace {

std::atomic<qint64> s_writeLimit { -1 };

const QStringList TopFolders { QStringLiteral("Lib"), QStringLiteral("Errors") };

QString systemText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// A file or folder of the data folder as it goes into the archive.
struct Item
{
    QString relative; // "Lib/arenden.txt", with '/'
    bool folder = false;
    int mode = 0; // permission bits
    qint64 modified = 0; // seconds since the epoch
    qint64 size = 0;
};

struct Written
{
    qint64 size = 0;
    quint32 crc = 0;
    bool folder = false;
};

// Waits for the folder lock without showing anything: the backup runs in a thread of
// its own or in a tool without windows. Gives up when the backup is cancelled.
class QuietWaiter final : public FolderLock::Waiter
{
public:
    explicit QuietWaiter(const std::atomic_bool *cancel)
        : m_cancel(cancel)
    {
    }
    bool wait(std::chrono::milliseconds) override
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        return !(m_cancel && m_cancel->load());
    }

private:
    const std::atomic_bool *m_cancel;
};

quint32 crcOf(const QByteArray &bytes, quint32 crc = 0)
{
    return static_cast<quint32>(
        ::crc32(crc, reinterpret_cast<const Bytef *>(bytes.constData()), static_cast<uInt>(bytes.size())));
}

Outcome failure(Error error, const QString &detail)
{
    Outcome outcome;
    outcome.error = error;
    outcome.detail = detail;
    return outcome;
}

// Every file and folder below Lib and Errors, in a fixed order, without symbolic links
// (their targets lie outside the data folder) and without what isLeftOut() names. One
// readdir and one lstat per entry: a shop's Lib holds hundreds of thousands of files.
void collectBelow(const QByteArray &absolute, const QString &relative, QList<Item> &items)
{
    DIR *dir = ::opendir(absolute.constData());
    if (!dir)
        return;
    const int dirFd = ::dirfd(dir);
    QList<Item> here;
    while (const dirent *entry = ::readdir(dir)) {
        const char *name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
            continue;
        struct stat st
        {
        };
        if (::fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode))
            continue;
        Item item;
        item.relative = relative + u'/' + QFile::decodeName(name);
        item.folder = S_ISDIR(st.st_mode);
        item.mode = static_cast<int>(st.st_mode & 0777);
        item.modified = st.st_mtim.tv_sec;
        item.size = st.st_size;
        if (!item.folder && isLeftOut(item.relative))
            continue;
        here.append(std::move(item));
    }
    ::closedir(dir);
    std::sort(here.begin(), here.end(), [](const Item &a, const Item &b) { return a.relative < b.relative; });
    for (const Item &item : std::as_const(here)) {
        items.append(item);
        if (item.folder)
            collectBelow(
                absolute + '/' + QFile::encodeName(item.relative.section(u'/', -1)), item.relative, items);
    }
}

QList<Item> collect(const QString &dataFolder)
{
    QList<Item> items;
    const QByteArray root = QFile::encodeName(QDir(dataFolder).absolutePath());
    for (const QString &top : TopFolders) {
        const QByteArray path = root + '/' + QFile::encodeName(top);
        struct stat st
        {
        };
        if (::lstat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
            continue;
        items.append({ top, true, static_cast<int>(st.st_mode & 0777), st.st_mtim.tv_sec, 0 });
        collectBelow(path, top, items);
    }
    return items;
}

// The whole file, read through one descriptor into a buffer that is used again.
bool readFile(const QByteArray &path, QByteArray &buffer, int &error)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        error = errno;
        return false;
    }
    buffer.resize(0);
    qsizetype used = 0;
    for (;;) {
        if (buffer.size() - used < (1 << 14))
            buffer.resize(std::max<qsizetype>(buffer.size() * 2, used + (1 << 16)));
        const ssize_t n = ::read(fd, buffer.data() + used, static_cast<size_t>(buffer.size() - used));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = errno;
            ::close(fd);
            return false;
        }
        if (n == 0)
            break;
        used += n;
    }
    ::close(fd);
    buffer.resize(used);
    return true;
}

// Where the archive's bytes go: a file descriptor, with the test's full disk.
struct Sink
{
    int fd = -1;
    qint64 written = 0;
    int error = 0;
};

la_ssize_t writeToSink(struct archive *, void *data, const void *buffer, size_t length)
{
    // A failed write is recorded in the sink and the bytes are swallowed rather than
    // reported to libarchive: its zip writer, once in its fatal state, never ends the
    // entry's deflate stream and leaks it. The caller checks sink.error after each call
    // and drops the half archive.
    auto *sink = static_cast<Sink *>(data);
    if (sink->error)
        return static_cast<la_ssize_t>(length);
    const qint64 limit = s_writeLimit.load();
    if (limit >= 0 && sink->written + static_cast<qint64>(length) > limit) {
        sink->error = ENOSPC;
        return static_cast<la_ssize_t>(length);
    }
    const char *bytes = static_cast<const char *>(buffer);
    size_t left = length;
    while (left > 0) {
        const ssize_t n = ::write(sink->fd, bytes, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            sink->error = errno;
            return static_cast<la_ssize_t>(length);
        }
        bytes += n;
        left -= static_cast<size_t>(n);
    }
    sink->written += static_cast<qint64>(length);
    return static_cast<la_ssize_t>(length);
}

QString archiveError(struct archive *archive)
{
    const char *text = archive_error_string(archive);
    return text ? QString::fromUtf8(text) : QStringLiteral("unknown archive error");
}

// A path of the archive that may become a path of the data folder: Lib or Errors or
// below them, plain names only.
bool isSafeEntryPath(const QString &path)
{
    if (path.isEmpty() || path.startsWith(u'/') || path.contains(u'\\') || path.contains(QChar(0)))
        return false;
    const QStringList parts = path.split(u'/', Qt::SkipEmptyParts);
    if (parts.isEmpty() || !TopFolders.contains(parts.first()))
        return false;
    for (const QString &part : parts) {
        if (part == QLatin1String(".") || part == QLatin1String(".."))
            return false;
    }
    return true;
}

QString cleanEntryPath(QString path)
{
    while (path.endsWith(u'/'))
        path.chop(1);
    return path;
}

// One pass over an archive: every entry checked and read whole; `visit` sees each.
using Visitor = std::function<bool(const QString &path, bool folder, int mode, const QByteArray &bytes)>;

Inspection readArchive(
    const QString &archivePath, const Progress &progress, qint64 total, const Visitor &visit)
{
    Inspection result;
    struct archive *archive = archive_read_new();
    archive_read_support_format_zip_seekable(archive);
    const QByteArray name = QFile::encodeName(archivePath);
    if (archive_read_open_filename(archive, name.constData(), 1 << 16) != ARCHIVE_OK) {
        result.error = Error::NotAnArchive;
        result.detail = archiveError(archive);
        archive_read_free(archive);
        return result;
    }
    QSet<QString> seen;
    struct archive_entry *entry = nullptr;
    QByteArray chunk(1 << 16, Qt::Uninitialized);
    int status = ARCHIVE_OK;
    while ((status = archive_read_next_header(archive, &entry)) == ARCHIVE_OK) {
        const char *utf8 = archive_entry_pathname_utf8(entry);
        const QString path = cleanEntryPath(QString::fromUtf8(utf8 ? utf8 : archive_entry_pathname(entry)));
        const auto type = archive_entry_filetype(entry);
        if (!isSafeEntryPath(path) || (type != AE_IFREG && type != AE_IFDIR) || seen.contains(path)) {
            result.error = Error::NotABackup;
            result.detail = QStringLiteral("Unexpected entry %1").arg(path);
            break;
        }
        seen.insert(path);
        QByteArray bytes;
        if (type == AE_IFREG) {
            for (;;) {
                const la_ssize_t n
                    = archive_read_data(archive, chunk.data(), static_cast<size_t>(chunk.size()));
                if (n < 0) {
                    result.error = Error::Corrupt;
                    result.detail = QStringLiteral("%1: %2").arg(path, archiveError(archive));
                    break;
                }
                if (n == 0)
                    break;
                bytes.append(chunk.constData(), n);
            }
            if (result.error != Error::None)
                break;
            if (archive_entry_size_is_set(entry) && archive_entry_size(entry) != bytes.size()) {
                result.error = Error::Corrupt;
                result.detail = QStringLiteral("%1: size differs").arg(path);
                break;
            }
            ++result.summary.files;
            result.summary.bytes += bytes.size();
        }
        if (visit && !visit(path, type == AE_IFDIR, static_cast<int>(archive_entry_perm(entry)), bytes)) {
            result.error = Error::Corrupt;
            result.detail = QStringLiteral("%1: does not match").arg(path);
            break;
        }
        if (progress && (result.summary.files % 512 == 0))
            progress(result.summary.files, total);
    }
    if (result.error == Error::None && status != ARCHIVE_EOF) {
        result.error = seen.isEmpty() ? Error::NotAnArchive : Error::Corrupt;
        result.detail = archiveError(archive);
    }
    archive_read_free(archive);
    return result;
}

QString uniqueTarget(const QDir &folder, const QString &fileName)
{
    QString candidate = folder.filePath(fileName);
    const QString base = fileName.chopped(4); // ".zip"
    for (int n = 2; QFileInfo::exists(candidate); ++n)
        candidate = folder.filePath(QStringLiteral("%1-%2.zip").arg(base).arg(n));
    return candidate;
}

void syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

void setWriteLimitForTesting(qint64 bytes)
{
    s_writeLimit = bytes;
}

QString archiveFileName(const QString &dataFolder, const QDateTime &when)
{
    QString name = QFileInfo(QDir::cleanPath(dataFolder)).fileName();
    // The folder's name becomes part of a file name: nothing that would split it.
    name.replace(u'/', u'_');
    name.replace(u'\\', u'_');
    if (name.isEmpty())
        name = QStringLiteral("data");
    return QStringLiteral("Lunora-%1-%2.zip").arg(name, when.toString(QStringLiteral("yyyy-MM-dd-HHmm")));
}

bool isLeftOut(const QString &relativePath)
{
    if (relativePath == QLatin1String("Lib/lunora.lock"))
        return true;
    const QString name = relativePath.section(u'/', -1);
    // What a save leaves when it is interrupted: QSaveFile's and QTemporaryFile's
    // "<name>.<ext>.XXXXXX", editors' "~" and ".tmp", our own unfinished archives.
    static const QRegularExpression savePattern(QStringLiteral("\\.(txt|ini|bmp|backup)\\.[A-Za-z0-9]{6}$"),
        QRegularExpression::CaseInsensitiveOption);
    return name.endsWith(u'~') || name.endsWith(QLatin1String(".tmp"), Qt::CaseInsensitive)
        || name.startsWith(QLatin1String(".lunora-")) || savePattern.match(name).hasMatch();
}

Outcome create(const QString &dataFolder, const QString &targetFolder, const QDateTime &when,
    const Progress &progress, const std::atomic_bool *cancel)
{
    if (!QFileInfo(QDir(dataFolder).filePath(QStringLiteral("Lib"))).isDir())
        return failure(Error::DataFolderMissing, QStringLiteral("No Lib in %1").arg(dataFolder));
    const QDir target(targetFolder);
    if (targetFolder.isEmpty() || !QFileInfo(targetFolder).isDir())
        return failure(Error::TargetMissing, QStringLiteral("No folder %1").arg(targetFolder));

    const QList<Item> items = collect(dataFolder);
    qint64 fileCount = 0;
    for (const Item &item : items)
        fileCount += item.folder ? 0 : 1;

    // The archive grows under a hidden name and gets its own only when it has been read
    // back: a failure leaves no archive that looks finished.
    const QString finalName = archiveFileName(dataFolder, when);
    const QString partPath = target.filePath(QStringLiteral(".lunora-%1.part").arg(finalName));
    ::unlink(QFile::encodeName(partPath).constData()); // an earlier attempt's remains
    Sink sink;
    // 0600 from the first byte: the archive holds every user's password.
    sink.fd = ::open(QFile::encodeName(partPath).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (sink.fd < 0)
        return failure(Error::WriteFailed, QStringLiteral("%1: %2").arg(partPath, systemText(errno)));
    const auto discard = [&](Error error, const QString &detail) {
        if (sink.fd >= 0)
            ::close(sink.fd);
        sink.fd = -1;
        ::unlink(QFile::encodeName(partPath).constData());
        return failure(error, detail);
    };

    struct archive *archive = archive_write_new();
    archive_write_set_format_zip(archive);
    archive_write_set_options(archive, "zip:hdrcharset=UTF-8,zip:compression-level=1");
    archive_write_set_bytes_in_last_block(archive, 1);
    if (archive_write_open(archive, &sink, nullptr, writeToSink, nullptr) != ARCHIVE_OK) {
        const QString detail = archiveError(archive);
        archive_write_free(archive);
        return discard(Error::WriteFailed, detail);
    }

    QHash<QString, Written> written;
    written.reserve(items.size());
    const QByteArray root = QFile::encodeName(QDir(dataFolder).absolutePath());
    QByteArray bytes;
    QuietWaiter waiter(cancel);
    struct archive_entry *entry = archive_entry_new();
    qint64 done = 0;
    Error error = Error::None;
    QString detail;
    for (const Item &item : items) {
        if (cancel && cancel->load()) {
            error = Error::Cancelled;
            break;
        }
        bytes.resize(0);
        if (!item.folder) {
            // One file at a time under the lock, so a desk that wants to save waits at
            // most for one file to be read.
            FolderLock lock = FolderLock::acquireIn(dataFolder, &waiter);
            if (!lock) {
                error = lock.error() == FolderLock::Error::Cancelled ? Error::Cancelled : Error::LockFailed;
                detail = lock.errorText();
                break;
            }
            int readError = 0;
            if (!readFile(root + '/' + QFile::encodeName(item.relative), bytes, readError)) {
                if (readError == ENOENT)
                    continue; // removed since the folder was listed: not part of the state any more
                error = Error::ReadFailed;
                detail = QStringLiteral("%1: %2").arg(item.relative, systemText(readError));
                break;
            }
        }
        archive_entry_clear(entry);
        archive_entry_set_pathname_utf8(
            entry, (item.relative + (item.folder ? "/" : "")).toUtf8().constData());
        archive_entry_set_filetype(entry, item.folder ? AE_IFDIR : AE_IFREG);
        archive_entry_set_perm(entry, static_cast<mode_t>(item.mode));
        archive_entry_set_mtime(entry, item.modified, 0);
        archive_entry_set_size(entry, item.folder ? 0 : bytes.size());
        if (archive_write_header(archive, entry) != ARCHIVE_OK
            || (!bytes.isEmpty()
                && archive_write_data(archive, bytes.constData(), static_cast<size_t>(bytes.size()))
                    != bytes.size())
            || sink.error) {
            error = Error::WriteFailed;
            detail = sink.error ? systemText(sink.error) : archiveError(archive);
            break;
        }
        written.insert(item.relative, { bytes.size(), crcOf(bytes), item.folder });
        if (!item.folder) {
            ++done;
            if (progress && (done % 256 == 0 || done == fileCount))
                progress(done, fileCount * 2); // the read-back is the second half
        }
    }
    archive_entry_free(entry);
    if (error == Error::None && (archive_write_close(archive) != ARCHIVE_OK || sink.error)) {
        error = Error::WriteFailed;
        detail = sink.error ? systemText(sink.error) : archiveError(archive);
    }
    archive_write_free(archive);
    if (error == Error::None && ::fsync(sink.fd) != 0) {
        error = Error::WriteFailed;
        detail = systemText(errno);
    }
    if (error != Error::None)
        return discard(error, detail);
    if (::close(sink.fd) != 0) {
        sink.fd = -1;
        return discard(Error::WriteFailed, systemText(errno));
    }
    sink.fd = -1;

    // Read back: every entry there, with its size and checksum, and nothing else.
    qint64 checked = 0;
    const Progress verifyProgress = [&](qint64 n, qint64) {
        if (progress)
            progress(fileCount + n, fileCount * 2);
    };
    Inspection verified = readArchive(partPath, verifyProgress, fileCount,
        [&](const QString &path, bool folder, int, const QByteArray &bytes) {
            const auto it = written.constFind(path);
            if (it == written.constEnd() || it->folder != folder)
                return false;
            if (!folder && (it->size != bytes.size() || it->crc != crcOf(bytes)))
                return false;
            ++checked;
            return true;
        });
    if (verified.ok() && checked != written.size()) {
        verified.error = Error::Corrupt;
        verified.detail = QStringLiteral("%1 of %2 entries read back").arg(checked).arg(written.size());
    }
    if (!verified.ok())
        return discard(Error::VerifyFailed, verified.detail);

    const QString finalPath = uniqueTarget(target, finalName);
    // link() never replaces an existing file, unlike rename().
    if (::link(QFile::encodeName(partPath).constData(), QFile::encodeName(finalPath).constData()) != 0)
        return discard(Error::WriteFailed, QStringLiteral("%1: %2").arg(finalPath, systemText(errno)));
    ::unlink(QFile::encodeName(partPath).constData());
    syncFolder(targetFolder);
    if (progress)
        progress(fileCount * 2, fileCount * 2);

    Outcome outcome;
    outcome.archivePath = finalPath;
    outcome.files = done;
    return outcome;
}

Inspection inspect(const QString &archivePath, const Progress &progress)
{
    QByteArray registerBytes;
    bool hasLib = false;
    Inspection result = readArchive(
        archivePath, progress, 0, [&](const QString &path, bool folder, int, const QByteArray &bytes) {
            if (path == QLatin1String("Lib") && folder)
                hasLib = true;
            if (path == QLatin1String("Lib/arenden.txt") && !folder)
                registerBytes = bytes;
            return true;
        });
    if (!result.ok())
        return result;
    if (!hasLib) {
        result.error = Error::NotABackup;
        result.detail = QStringLiteral("No Lib in the archive");
        return result;
    }
    const QList<RegisterEntry> entries = caseregister::parse(registerBytes);
    result.summary.caseCount = entries.size();
    static const QRegularExpression datePattern(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    for (const RegisterEntry &entry : entries) {
        if (datePattern.match(entry[Created]).hasMatch() && entry[Created] > result.summary.newestDate)
            result.summary.newestDate = entry[Created];
    }
    return result;
}

Outcome restore(const QString &dataFolder, const QString &archivePath, const QString &safetyFolder,
    const QDateTime &when, const Progress &progress)
{
    // 1. A bad archive is refused before anything is touched.
    const Inspection inspection = inspect(archivePath);
    if (!inspection.ok())
        return failure(inspection.error, inspection.detail);
    const qint64 total = inspection.summary.files * 3; // safety backup (2) + unpacking (1)

    // 2. The state about to be replaced is kept first.
    Outcome safety;
    if (QFileInfo(QDir(dataFolder).filePath(QStringLiteral("Lib"))).isDir()) {
        safety = create(dataFolder, safetyFolder, when, [&](qint64 done, qint64 all) {
            if (progress && all > 0)
                progress(done * inspection.summary.files * 2 / all, total);
        });
        if (!safety.ok())
            return failure(Error::SafetyBackupFailed, safety.detail);
    }

    // 3. Unpacked beside Lib, on the same file system, so the swap is two renames.
    const QDir root(dataFolder);
    QTemporaryDir staging(root.filePath(QStringLiteral(".lunora-restore-XXXXXX")));
    if (!staging.isValid())
        return failure(Error::ReplaceFailed, staging.errorString());
    const QDir stage(staging.path());
    qint64 unpacked = 0;
    QString writeProblem;
    const Inspection extracted = readArchive(
        archivePath, {}, 0, [&](const QString &path, bool folder, int mode, const QByteArray &bytes) {
            if (folder)
                return stage.mkpath(path)
                    || (writeProblem = QStringLiteral("%1: cannot create").arg(path), false);
            const QString target = stage.filePath(path);
            if (!stage.mkpath(QFileInfo(path).path())) {
                writeProblem = QStringLiteral("%1: cannot create its folder").arg(path);
                return false;
            }
            QFile file(target);
            if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly) || file.write(bytes) != bytes.size()
                || !file.flush()) {
                writeProblem = QStringLiteral("%1: %2").arg(path, file.errorString());
                return false;
            }
            file.close();
            ::chmod(QFile::encodeName(target).constData(), static_cast<mode_t>(mode & 0777));
            ++unpacked;
            if (progress && unpacked % 256 == 0)
                progress(inspection.summary.files * 2 + unpacked, total);
            return true;
        });
    if (!extracted.ok())
        return failure(Error::ReplaceFailed, writeProblem.isEmpty() ? extracted.detail : writeProblem);
    // A data folder always has both folders, even when the archive's Errors was empty.
    for (const QString &top : TopFolders) {
        if (!stage.mkpath(top))
            return failure(
                Error::ReplaceFailed, QStringLiteral("%1: cannot create").arg(stage.filePath(top)));
    }
    // Protected passwords stay protected: user files of an archive made before protection
    // was turned on are protected here, before they come into use. (This step belongs
    // wherever the unpacked folders are complete and not yet swapped in.)
    if (const Status kept = passwords::keepProtection(dataFolder, staging.path()); !kept)
        return failure(Error::ReplaceFailed, kept.error());
    {
        const int fd
            = ::open(QFile::encodeName(staging.path()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0) {
            ::syncfs(fd); // the new files are on disk before the old ones go
            ::close(fd);
        }
    }

    // 4. The swap: the present folders move aside, the unpacked ones take their place.
    //    Each step is undone in reverse order when a later one fails.
    QTemporaryDir replaced(root.filePath(QStringLiteral(".lunora-replaced-XXXXXX")));
    if (!replaced.isValid())
        return failure(Error::ReplaceFailed, replaced.errorString());
    QList<std::pair<QString, QString>> done; // renames made: from, to
    const auto move = [&](const QString &from, const QString &to) {
        if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
            return false;
        done.append({ from, to });
        return true;
    };
    QString problem;
    for (const QString &top : TopFolders) {
        const QString present = root.filePath(top);
        if (QFileInfo::exists(present) && !move(present, QDir(replaced.path()).filePath(top))) {
            problem = QStringLiteral("%1: %2").arg(present, systemText(errno));
            break;
        }
    }
    if (problem.isEmpty()) {
        for (const QString &top : TopFolders) {
            const QString fresh = stage.filePath(top);
            if (QFileInfo::exists(fresh) && !move(fresh, root.filePath(top))) {
                problem = QStringLiteral("%1: %2").arg(fresh, systemText(errno));
                break;
            }
        }
    }
    if (!problem.isEmpty()) {
        for (auto it = done.crbegin(); it != done.crend(); ++it)
            ::rename(QFile::encodeName(it->second).constData(), QFile::encodeName(it->first).constData());
        return failure(Error::ReplaceFailed, problem);
    }
    syncFolder(dataFolder);
    if (progress)
        progress(total, total);
    // The replaced folders go with `replaced`; they are in the safety backup.
    Outcome outcome;
    outcome.archivePath = safety.archivePath;
    outcome.files = unpacked;
    return outcome;
}

} // namespace lunora::backup
