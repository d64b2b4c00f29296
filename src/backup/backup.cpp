// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "backup/backup.h"

#include "backup/archive.h"
#include "backup/archivecheck.h"
#include "backup/backupsteps.h"
#include "storage/folderlock.h"
#include "storage/systemreason.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <archive.h>
#include <archive_entry.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <zlib.h>

namespace lunora::backup {

namespace {

std::atomic<qint64> s_writeLimit { -1 };

const QList<QByteArray> TopFolders { QByteArrayLiteral("Lib"), QByteArrayLiteral("Errors") };

// A file or folder of the data folder as it goes into the archive.
struct Item
{
    QByteArray relative; // "Lib/arenden.txt", '/' between the names, the names' own bytes
    bool folder = false;
    int mode = 0; // permission bits
    qint64 modified = 0; // seconds since the epoch
    // A file as the walk hands it over: its folder's descriptor and its own name, valid
    // only during the visit. Mode and time then come from the opened file itself.
    int folderFd = -1;
    const char *name = nullptr;
};

// What an entry of the archive must read back as.
struct Written
{
    qint64 size = 0;
    quint32 crc = 0;
    bool folder = false;
};
// By the names' hashes (see nameHash): a list of 200,000 names would cost tens of
// megabytes. A name of the same hash in the archive would fail the check, never pass it.
using WrittenList = QHash<quint64, Written>;

quint32 crcOf(const char *data, qint64 size, quint32 crc)
{
    return static_cast<quint32>(::crc32(crc, reinterpret_cast<const Bytef *>(data), static_cast<uInt>(size)));
}

Item itemOf(const QByteArray &relative, const struct stat &st)
{
    return { relative, S_ISDIR(st.st_mode), static_cast<int>(st.st_mode & 0777), st.st_mtim.tv_sec };
}

// Sees each file and folder of the walk below; false stops the walk.
using ItemVisit = std::function<bool(const Item &item)>;

// Whether a name may be one that isLeftOut() names: a cheap look at the bytes, so that
// the pattern runs only for the few names that could match.
bool mayBeLeftOut(const char *name)
{
    const size_t length = std::strlen(name);
    return name[0] == '.' || (length > 0 && name[length - 1] == '~')
        || (length >= 4 && ::strcasecmp(name + length - 4, ".tmp") == 0)
        || (length >= 7 && name[length - 7] == '.') || std::strncmp(name, "lunora.", 7) == 0;
}

// Every file and folder below a folder, handed to `visit` as the folder is read, so that
// a Lib of hundreds of thousands of files is never listed in memory: without symbolic
// links (links inside Lib are never followed out of it) and without what isLeftOut()
// names. A folder is handed over, and walked, after the files beside it. A file the
// folder names as one is not looked at here: the archiver opens it relative to the
// folder and takes its mode and time from the open file.
Status walkBelow(const QByteArray &absolute, const QByteArray &relative, const ItemVisit &visit)
{
    DIR *dir = ::opendir(absolute.constData());
    if (!dir)
        return Status::failure(QStringLiteral("%1: %2").arg(QFile::decodeName(relative), systemText(errno)));
    const int dirFd = ::dirfd(dir);
    QList<Item> folders;
    Status status;
    while (const dirent *entry = ::readdir(dir)) {
        const char *name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
            continue;
        const QByteArray path = relative + '/' + name;
        struct stat st
        {
        };
        if (entry->d_type == DT_REG)
            st.st_mode = S_IFREG;
        else if (entry->d_type != DT_DIR && entry->d_type != DT_UNKNOWN)
            continue; // links, FIFOs, sockets, devices
        else if (::fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno == ENOENT)
                continue; // removed since the folder was read: not part of the state any more
            status
                = Status::failure(QStringLiteral("%1: %2").arg(QFile::decodeName(path), systemText(errno)));
            break;
        }
        if (S_ISDIR(st.st_mode)) {
            folders.append(itemOf(path, st));
            continue;
        }
        if (!S_ISREG(st.st_mode) || (mayBeLeftOut(name) && isLeftOut(QFile::decodeName(path))))
            continue;
        Item file { path, false, 0, 0, dirFd, name };
        if (!visit(file)) {
            status = Status::failure(QString());
            break;
        }
    }
    ::closedir(dir);
    for (const Item &folder : std::as_const(folders)) {
        if (!status)
            break;
        if (!visit(folder))
            return Status::failure(QString());
        status = walkBelow(absolute + '/' + folder.relative.mid(relative.size() + 1), folder.relative, visit);
    }
    return status;
}

// Lib and Errors themselves are followed when they are links: a Lib on a share is a
// normal way to share a data folder, and its files are what the backup is for.
Status walkAll(const QString &dataFolder, const ItemVisit &visit)
{
    const QByteArray root = QFile::encodeName(QDir(dataFolder).absolutePath());
    for (const QByteArray &top : TopFolders) {
        const QByteArray path = root + '/' + top;
        struct stat st
        {
        };
        if (::stat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
            continue;
        if (!visit(itemOf(top, st)))
            return Status::failure(QString());
        if (Status below = walkBelow(path, top, visit); !below)
            return below;
    }
    return {};
}

// The files a walk will meet, for the progress figures only: names, no stat where the
// folder tells the kinds.
qint64 countFiles(const QByteArray &absolute)
{
    DIR *dir = ::opendir(absolute.constData());
    if (!dir)
        return 0;
    qint64 count = 0;
    QList<QByteArray> folders;
    while (const dirent *entry = ::readdir(dir)) {
        if (entry->d_type == DT_DIR && std::strcmp(entry->d_name, ".") != 0
            && std::strcmp(entry->d_name, "..") != 0)
            folders.append(absolute + '/' + entry->d_name);
        else if (entry->d_type == DT_REG || entry->d_type == DT_UNKNOWN)
            ++count;
    }
    ::closedir(dir);
    for (const QByteArray &folder : std::as_const(folders))
        count += countFiles(folder);
    return count;
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
    // entry's deflate stream and leaks it. The writer checks sink.error after each call
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
    return text ? QString::fromUtf8(text) : QStringLiteral("okänt fel i arkivet");
}

// Entries up to this size are stored as they are: deflating a case file of a few hundred
// bytes saves little and costs a compressor set up (and its window cleared) per file.
constexpr qint64 StoreUpTo = 4096;

// The archive being written under a hidden name beside its final one: a failure leaves
// no archive that looks finished.
class ArchiveWriter final
{
public:
    explicit ArchiveWriter(QString partPath)
        : m_partPath(std::move(partPath))
    {
    }
    ~ArchiveWriter()
    {
        if (m_entry)
            archive_entry_free(m_entry);
        if (m_archive)
            archive_write_free(m_archive);
        if (m_sink.fd >= 0)
            ::close(m_sink.fd);
        // Finished or not, the hidden name goes: a finished archive has its own by now.
        ::unlink(QFile::encodeName(m_partPath).constData());
    }
    ArchiveWriter(const ArchiveWriter &) = delete;
    ArchiveWriter &operator=(const ArchiveWriter &) = delete;

    enum class Added
    {
        Yes,
        ReadFailed,
        WriteFailed,
    };
    Status open();
    Status addFolder(const Item &item);
    // A file whose bytes were read already.
    Status addBytes(const Item &item, QByteArrayView bytes, Written &written);
    // A file read from `fd` in pieces, `size` bytes: one that shrinks while it is read
    // fails rather than going in half.
    Added addStream(const Item &item, int fd, qint64 size, Written &written, QString &detail);
    Status finish();

private:
    Status header(const Item &item, qint64 size);
    Status failed() const
    {
        return Status::failure(m_sink.error ? systemText(m_sink.error) : archiveError(m_archive));
    }

    QString m_partPath;
    Sink m_sink;
    struct archive *m_archive = nullptr;
    struct archive_entry *m_entry = nullptr;
    std::unique_ptr<char[]> m_buffer;
};

Status ArchiveWriter::open()
{
    const QByteArray path = QFile::encodeName(m_partPath);
    ::unlink(path.constData()); // an earlier attempt's remains
    // 0600 from the first byte: the archive holds every user's password.
    m_sink.fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (m_sink.fd < 0)
        return Status::failure(QStringLiteral("%1: %2").arg(m_partPath, systemText(errno)));
    m_archive = archive_write_new();
    m_entry = archive_entry_new();
    m_buffer = std::make_unique_for_overwrite<char[]>(PieceSize);
    archive_write_set_format_zip(m_archive);
    archive_write_set_options(m_archive, "zip:compression-level=1");
    archive_write_set_bytes_per_block(m_archive, 1 << 18); // fewer, larger writes
    archive_write_set_bytes_in_last_block(m_archive, 1);
    if (archive_write_open(m_archive, &m_sink, nullptr, writeToSink, nullptr) != ARCHIVE_OK)
        return failed();
    return {};
}

Status ArchiveWriter::header(const Item &item, qint64 size)
{
    // A valid UTF-8 name is marked as such, so that unzip and file managers show it; any
    // other name is written with its bytes and without the mark (see LocaleScope).
    const QByteArray name = item.relative + (item.folder ? "/" : "");
    const LocaleScope locale(isValidUtf8(name));
    // Stored and deflated entries are both plain zip: every reader of these archives,
    // older copies' restore included, reads either.
    if (size <= StoreUpTo)
        archive_write_zip_set_compression_store(m_archive);
    else
        archive_write_zip_set_compression_deflate(m_archive);
    archive_entry_clear(m_entry);
    archive_entry_copy_pathname(m_entry, name.constData());
    archive_entry_set_filetype(m_entry, item.folder ? AE_IFDIR : AE_IFREG);
    archive_entry_set_perm(m_entry, static_cast<mode_t>(item.mode));
    archive_entry_set_mtime(m_entry, item.modified, 0);
    archive_entry_set_size(m_entry, size);
    if (archive_write_header(m_archive, m_entry) != ARCHIVE_OK || m_sink.error)
        return failed();
    return {};
}

Status ArchiveWriter::addFolder(const Item &item)
{
    return header(item, 0);
}

Status ArchiveWriter::addBytes(const Item &item, QByteArrayView bytes, Written &written)
{
    written = { bytes.size(), crcOf(bytes.data(), bytes.size(), 0), false };
    if (Status status = header(item, bytes.size()); !status)
        return status;
    if (!bytes.isEmpty()
        && (archive_write_data(m_archive, bytes.data(), static_cast<size_t>(bytes.size())) != bytes.size()
            || m_sink.error))
        return failed();
    return {};
}

ArchiveWriter::Added ArchiveWriter::addStream(
    const Item &item, int fd, qint64 size, Written &written, QString &detail)
{
    written = { 0, 0, false };
    if (Status status = header(item, size); !status) {
        detail = status.error();
        return Added::WriteFailed;
    }
    while (written.size < size) {
        const auto wanted = static_cast<size_t>(std::min<qint64>(PieceSize, size - written.size));
        const ssize_t n = ::read(fd, m_buffer.get(), wanted);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            detail = QStringLiteral("%1: %2").arg(QFile::decodeName(item.relative),
                n < 0 ? systemText(errno) : QStringLiteral("kortare än sin storlek"));
            return Added::ReadFailed;
        }
        if (archive_write_data(m_archive, m_buffer.get(), static_cast<size_t>(n)) != n || m_sink.error) {
            detail = failed().error();
            return Added::WriteFailed;
        }
        written.crc = crcOf(m_buffer.get(), n, written.crc);
        written.size += n;
    }
    return Added::Yes;
}

Status ArchiveWriter::finish()
{
    if (archive_write_close(m_archive) != ARCHIVE_OK || m_sink.error)
        return failed();
    // The writer keeps the archive's directory in memory until it is freed.
    archive_write_free(m_archive);
    m_archive = nullptr;
    if (::fsync(m_sink.fd) != 0 || ::close(m_sink.fd) != 0) {
        m_sink.fd = -1;
        return Status::failure(systemText(errno));
    }
    m_sink.fd = -1;
    return {};
}

// Compares every entry of the finished archive, read back from disk, with the list of
// what it was to hold.
class Comparer final : public EntryVisitor
{
public:
    explicit Comparer(const WrittenList &expected)
        : m_expected(expected)
    {
    }
    bool begin(const QByteArray &path, EntryKind kind) override
    {
        m_it = m_expected.constFind(nameHash(path));
        m_crc = 0;
        m_size = 0;
        if (m_it == m_expected.constEnd() || m_it->folder != (kind == EntryKind::Folder))
            return fail(path, QStringLiteral("hör inte hemma i arkivet"));
        m_path = path;
        return true;
    }
    bool piece(const char *data, qint64 size) override
    {
        m_crc = crcOf(data, size, m_crc);
        m_size += size;
        return true;
    }
    bool end() override
    {
        if (m_it->size != m_size || m_it->crc != m_crc)
            return fail(m_path, QStringLiteral("läses inte tillbaka som den skrevs"));
        ++m_matched;
        return true;
    }
    qint64 matched() const { return m_matched; }

private:
    bool fail(const QByteArray &path, const QString &what)
    {
        problem = QStringLiteral("%1: %2").arg(QFile::decodeName(path), what);
        return false;
    }
    const WrittenList &m_expected;
    WrittenList::const_iterator m_it;
    QByteArray m_path;
    quint32 m_crc = 0;
    qint64 m_size = 0;
    qint64 m_matched = 0;
};

Status verify(const QString &partPath, const WrittenList &expected, const Progress &progress)
{
    Comparer comparer(expected);
    const WalkResult walked = walkArchive(partPath, comparer, progress);
    if (!walked.ok())
        return Status::failure(walked.detail);
    if (comparer.matched() != expected.size())
        return Status::failure(
            QStringLiteral("%1 av %2 poster lästes tillbaka").arg(comparer.matched()).arg(expected.size()));
    return {};
}

QString uniqueTarget(const QDir &folder, const QString &fileName)
{
    QString candidate = folder.filePath(fileName);
    const QString base = fileName.chopped(4); // ".zip"
    for (int n = 2; QFileInfo::exists(candidate) || QFileInfo(candidate).isSymLink(); ++n)
        candidate = folder.filePath(QStringLiteral("%1-%2.zip").arg(base).arg(n));
    return candidate;
}

Outcome failure(Error error, const QString &detail)
{
    Outcome outcome;
    outcome.error = error;
    outcome.detail = detail;
    return outcome;
}

using Clock = std::chrono::steady_clock;

// How long the files of one batch are read under the folder lock, and how long it is
// then left free at least: a desk waiting for it tries again every 10 ms or sooner, so
// it gets the lock between two batches and waits at most for one of them.
constexpr auto BatchWork = std::chrono::milliseconds(40);
std::atomic<std::chrono::milliseconds> s_batchWork { BatchWork };
constexpr auto BatchGap = std::chrono::milliseconds(11);
// What one batch holds of the files' bytes at most; a file larger than a quarter of it
// goes into the archive straight from the disk, under the lock, on its own.
constexpr qint64 BatchBytes = qint64(8) << 20;

// Writes the items into the archive as the walk hands them over. The files are read in
// batches under the folder lock, each at most BatchWork long, so that a desk that wants
// to save waits at most for one batch; the batch is written into the archive after the
// lock is released.
class Archiver final
{
public:
    Archiver(ArchiveWriter &writer, const QString &dataFolder, const Progress &progress,
        const std::atomic_bool *cancel)
        : m_writer(writer)
        , m_dataFolder(dataFolder)
        , m_progress(progress)
        , m_cancel(cancel)
        , m_waiter(cancel)
    {
        const QByteArray root = QFile::encodeName(QDir(dataFolder).absolutePath());
        for (const QByteArray &top : TopFolders)
            m_expectedFiles += countFiles(root + '/' + top);
    }
    bool add(const Item &item);
    // Writes what the last batch read.
    bool finish() { return endBatch(false); }
    Outcome outcome;
    WrittenList written;
    qint64 files = 0;
    qint64 batches = 0;

private:
    struct Pending
    {
        Item item;
        qint64 offset = 0;
        qint64 size = 0;
    };
    bool readFile(const Item &item);
    bool takeLock();
    bool endBatch(bool leaveGap);
    bool writePending();
    void record(const Item &item, const Written &entry);
    bool fail(Error error, const QString &detail)
    {
        outcome = failure(error, detail);
        return false;
    }

    ArchiveWriter &m_writer;
    QString m_dataFolder;
    Progress m_progress;
    const std::atomic_bool *m_cancel;
    QuietWaiter m_waiter;
    qint64 m_expectedFiles = 0;
    FolderLock m_lock;
    Clock::time_point m_batchStart;
    std::vector<Pending> m_pending;
    std::vector<char> m_contents;
};

bool Archiver::add(const Item &item)
{
    if (m_cancel && m_cancel->load())
        return fail(Error::Cancelled, QString());
    if (item.folder) {
        m_pending.push_back({ item, 0, -1 });
        return true;
    }
    if (!readFile(item))
        return false;
    if (Clock::now() - m_batchStart >= s_batchWork.load() || qint64(m_contents.size()) >= BatchBytes)
        return endBatch(true);
    return true;
}

bool Archiver::takeLock()
{
    m_lock = FolderLock::acquireIn(m_dataFolder, &m_waiter);
    if (!m_lock)
        return fail(m_lock.error() == FolderLock::Error::Cancelled ? Error::Cancelled : Error::LockFailed,
            m_lock.errorText());
    m_batchStart = Clock::now();
    ++batches;
    return true;
}

// Reads one file under the lock, as it is at this moment, through one descriptor. Its
// size is taken from the open descriptor: a file that shrinks while it is read fails the
// backup rather than going in half.
bool Archiver::readFile(const Item &item)
{
    if (!m_lock.held() && !takeLock())
        return false;
    const int fd = ::openat(item.folderFd, item.name, O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    struct stat st
    {
    };
    const QString shown = QFile::decodeName(item.relative);
    if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int error = fd < 0 ? errno : EINVAL;
        if (fd >= 0)
            ::close(fd);
        // Removed since the folder was read: not part of the state any more.
        return error == ENOENT
            || fail(Error::ReadFailed, QStringLiteral("%1: %2").arg(shown, systemText(error)));
    }
    const Item file = itemOf(item.relative, st);
    bool ok = true;
    if (st.st_size > BatchBytes / 4) {
        Written entry;
        QString detail;
        ok = writePending();
        const auto added
            = ok ? m_writer.addStream(file, fd, st.st_size, entry, detail) : ArchiveWriter::Added::Yes;
        if (added == ArchiveWriter::Added::Yes && ok)
            record(file, entry);
        else if (ok)
            ok = fail(
                added == ArchiveWriter::Added::ReadFailed ? Error::ReadFailed : Error::WriteFailed, detail);
    } else {
        const auto offset = qint64(m_contents.size());
        m_contents.resize(size_t(offset + st.st_size));
        qint64 done = 0;
        while (ok && done < st.st_size) {
            const ssize_t n = ::read(fd, m_contents.data() + offset + done, size_t(st.st_size - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                ok = fail(Error::ReadFailed,
                    QStringLiteral("%1: %2").arg(
                        shown, n < 0 ? systemText(errno) : QStringLiteral("kortare än sin storlek")));
            done += std::max<ssize_t>(n, 0);
        }
        m_pending.push_back({ file, offset, st.st_size });
    }
    ::close(fd);
    return ok;
}

// Releases the lock, writes what the batch read into the archive and, when more is to
// come, leaves the lock free long enough for a waiting desk to take it.
bool Archiver::endBatch(bool leaveGap)
{
    const Clock::time_point released = Clock::now();
    m_lock.release();
    if (!writePending())
        return false;
    if (leaveGap)
        std::this_thread::sleep_until(released + BatchGap);
    return true;
}

bool Archiver::writePending()
{
    for (const Pending &pending : m_pending) {
        Written entry { 0, 0, true };
        const Status status = pending.size < 0
            ? m_writer.addFolder(pending.item)
            : m_writer.addBytes(
                pending.item, QByteArrayView(m_contents.data() + pending.offset, pending.size), entry);
        if (!status)
            return fail(Error::WriteFailed, status.error());
        record(pending.item, entry);
    }
    m_pending.clear();
    m_contents.clear();
    return true;
}

void Archiver::record(const Item &item, const Written &entry)
{
    written.insert(nameHash(item.relative), entry);
    if (item.folder)
        return;
    ++files;
    const qint64 total = std::max(m_expectedFiles, files);
    if (m_progress && (files % 256 == 0 || files == total))
        m_progress(files, total * 2); // the read-back is the second half
}

} // namespace

bool QuietWaiter::wait(std::chrono::milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return !(m_cancel && m_cancel->load());
}

QString systemText(int error)
{
    return systemReason(error);
}

void syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

void setWriteLimitForTesting(qint64 bytes)
{
    s_writeLimit = bytes;
}

void setBatchWorkForTesting(std::chrono::milliseconds work)
{
    s_batchWork = work.count() < 0 ? BatchWork : work;
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
    if (relativePath == QLatin1String("Lib/lunora.lock")
        || relativePath == QLatin1String("Lib/lunora.presence"))
        return true;
    const QString name = relativePath.section(u'/', -1);
    // What a save leaves when it is interrupted: QSaveFile's and QTemporaryFile's
    // "<name>.<ext>.XXXXXX", our own hidden ".<name>.lunora-XXXXXX" and ".lunora-…",
    // editors' "~" and ".tmp", our own unfinished archives.
    static const QRegularExpression savePattern(
        QStringLiteral("(\\.(txt|ini|bmp|backup)\\.[A-Za-z0-9]{6}$)|(^\\..+\\.lunora-[A-Za-z0-9]{6}$)"),
        QRegularExpression::CaseInsensitiveOption);
    return name.endsWith(u'~') || name.endsWith(QLatin1String(".tmp"), Qt::CaseInsensitive)
        || name.startsWith(QLatin1String(".lunora-")) || savePattern.match(name).hasMatch();
}

Outcome create(const QString &dataFolder, const QString &targetFolder, const QDateTime &when,
    const Progress &progress, const std::atomic_bool *cancel)
{
    if (!QFileInfo(QDir(dataFolder).filePath(QStringLiteral("Lib"))).isDir())
        return failure(Error::DataFolderMissing, QStringLiteral("Lib saknas i %1").arg(dataFolder));
    if (targetFolder.isEmpty() || !QFileInfo(targetFolder).isDir())
        return failure(Error::TargetMissing, QStringLiteral("Mappen %1 finns inte").arg(targetFolder));
    const QDir target(targetFolder);
    const QString finalName = archiveFileName(dataFolder, when);
    ArchiveWriter writer(target.filePath(QStringLiteral(".lunora-%1.part").arg(finalName)));
    if (Status opened = writer.open(); !opened)
        return failure(Error::WriteFailed, opened.error());
    Archiver archiver(writer, dataFolder, progress, cancel);
    const Status walked = walkAll(dataFolder, [&archiver](const Item &item) { return archiver.add(item); });
    if (walked && archiver.outcome.ok())
        archiver.finish();
    if (!archiver.outcome.ok())
        return archiver.outcome;
    if (!walked)
        return failure(Error::ReadFailed, walked.error());
    if (Status finished = writer.finish(); !finished)
        return failure(Error::WriteFailed, finished.error());
    const WrittenList &written = archiver.written;

    const qint64 fileCount
        = std::count_if(written.cbegin(), written.cend(), [](const Written &w) { return !w.folder; });
    const Progress verifyProgress = [&](qint64 n, qint64) {
        if (progress)
            progress(fileCount + n, fileCount * 2);
    };
    const QString partPath = target.filePath(QStringLiteral(".lunora-%1.part").arg(finalName));
    if (Status verified = verify(partPath, written, verifyProgress); !verified)
        return failure(Error::VerifyFailed, verified.error());

    const QString finalPath = uniqueTarget(target, finalName);
    // link() never replaces an existing file, unlike rename().
    if (::link(QFile::encodeName(partPath).constData(), QFile::encodeName(finalPath).constData()) != 0)
        return failure(Error::WriteFailed, QStringLiteral("%1: %2").arg(finalPath, systemText(errno)));
    syncFolder(targetFolder);
    if (progress)
        progress(fileCount * 2, fileCount * 2);
    Outcome outcome;
    outcome.archivePath = finalPath;
    outcome.files = fileCount;
    return outcome;
}

// Counts the cases of the register while the archive streams past.
class Summariser final : public EntryVisitor
{
public:
    bool begin(const QByteArray &path, EntryKind kind) override
    {
        m_inRegister = path == "Lib/arenden.txt" && kind == EntryKind::File;
        m_hasLib = m_hasLib || path == "Lib" || path.startsWith("Lib/");
        return true;
    }
    bool piece(const char *data, qint64 size) override
    {
        if (m_inRegister)
            m_counter.add(data, size);
        return true;
    }
    bool hasLib() const { return m_hasLib; }
    void finish(Summary &summary) { m_counter.finish(summary); }

private:
    RegisterCounter m_counter;
    bool m_inRegister = false;
    bool m_hasLib = false;
};

Inspection inspect(const QString &archivePath, const Progress &progress)
{
    Summariser summariser;
    const WalkResult walked = walkArchive(archivePath, summariser, progress);
    Inspection result;
    result.error = walked.error;
    result.detail = walked.detail;
    result.summary.files = walked.files;
    result.summary.bytes = walked.bytes;
    result.summary.longestName = walked.longestName;
    result.summary.longestPath = walked.longestPath;
    if (result.ok() && !summariser.hasLib()) {
        result.error = Error::NotABackup;
        result.detail = QStringLiteral("Arkivet har ingen Lib");
    }
    summariser.finish(result.summary);
    return result;
}

} // namespace lunora::backup
