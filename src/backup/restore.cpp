// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// The restore of a backup in place of Lib and Errors, as a few steps: check the archive,
// find where the folders really lie and whether they can be swapped there, choose the
// safety folder, back up what is there, unpack beside the folders, swap them. Every step
// from the unpacking on is written down first (backup/restorerecord.h), so that a
// restore cut at any instant is finished or undone by the next start.
#include "backup/archivecheck.h"
#include "backup/backup.h"
#include "backup/backupsteps.h"
#include "backup/folderexchange.h"
#include "backup/presence.h"
#include "backup/restorerecord.h"
#include "backup/restorerecovery.h"
#include "storage/cutpoint.h"
#include "storage/passwords.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace lunora::backup {

namespace {

const QList<QByteArray> TopFolders { QByteArrayLiteral("Lib"), QByteArrayLiteral("Errors") };

Outcome failure(Error error, const QString &detail)
{
    Outcome outcome;
    outcome.error = error;
    outcome.detail = detail;
    return outcome;
}

QByteArray encoded(const QString &path)
{
    return QFile::encodeName(path);
}

bool isInside(const QString &path, const QString &folder)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return !canonical.isEmpty() && (canonical == folder || canonical.startsWith(folder + u'/'));
}

// Where one of the two folders lies and how it is replaced. A Lib that is a link stays
// one: the folder it leads to is replaced, by renames in the folder that holds it.
struct Place
{
    QByteArray top; // "Lib" or "Errors"
    QString real; // the folder itself, links resolved; need not exist yet
    QString parent; // the folder that holds it: staging and swap happen there
    bool exists = false;
    bool groupShared = false; // new files and folders get the group's write bit
    mode_t folderMode = 0; // the replaced folder's own mode, kept by its successor
    gid_t group = gid_t(-1);
    QString staging; // ".lunora-restore-XXXXXX" in `parent`, named by the record
    QString fresh() const { return staging + QStringLiteral("/new"); }
};

Result<Place> placeOf(const QString &dataFolder, const QByteArray &top)
{
    Place place;
    place.top = top;
    const QString present = QDir(dataFolder).absoluteFilePath(QString::fromLatin1(top));
    const QFileInfo info(present);
    struct stat st
    {
    };
    if (!info.exists() && !info.isSymLink()) {
        place.real = present;
        place.parent = QFileInfo(dataFolder).canonicalFilePath();
        if (::stat(encoded(place.parent).constData(), &st) == 0)
            place.groupShared = st.st_mode & S_IWGRP;
        return place;
    }
    place.real = info.canonicalFilePath();
    if (place.real.isEmpty() || !QFileInfo(place.real).isDir())
        return Status::failure(QStringLiteral("%1 är ingen mapp").arg(present));
    place.exists = true;
    place.parent = QFileInfo(place.real).absolutePath();
    struct stat parent
    {
    };
    if (::stat(encoded(place.real).constData(), &st) != 0
        || ::stat(encoded(place.parent).constData(), &parent) != 0)
        return Status::failure(QStringLiteral("%1: %2").arg(place.real, systemText(errno)));
    if (st.st_dev != parent.st_dev)
        return Status::failure(QStringLiteral("%1 är en monteringspunkt").arg(place.real));
    place.groupShared = st.st_mode & S_IWGRP;
    place.folderMode = st.st_mode & 07777;
    place.group = st.st_gid;
    return place;
}

Result<QList<Place>> placesOf(const QString &dataFolder)
{
    QList<Place> places;
    for (const QByteArray &top : TopFolders) {
        Result<Place> place = placeOf(dataFolder, top);
        if (!place)
            return place.status();
        if (::access(encoded(place.value().parent).constData(), W_OK) != 0)
            return Status::failure(QStringLiteral("%1: %2").arg(place.value().parent, systemText(errno)));
        places.append(place.takeValue());
    }
    return places;
}

bool insideAny(const QString &path, const QList<Place> &places)
{
    return std::any_of(
        places.begin(), places.end(), [&](const Place &p) { return p.exists && isInside(path, p.real); });
}

// What a backup of the folders takes at most: their files' bytes (a backup stores or
// deflates them) and a few headers per entry. Links below them are not followed.
qint64 backupSizeOf(const QList<Place> &places)
{
    static thread_local qint64 total = 0;
    total = 0;
    const auto add = [](const char *path, const struct stat *st, int, struct FTW *) {
        total += 128 + 2 * qint64(std::strlen(path)) + (S_ISREG(st->st_mode) ? qint64(st->st_size) : 0);
        return 0;
    };
    for (const Place &place : places) {
        if (place.exists)
            (void)::nftw(encoded(place.real).constData(), add, 16, FTW_PHYS);
    }
    return total;
}

// Unpacked, the archive must leave a tenth of each disk it lands on free, after the
// safety backup where that goes to one of the same disks.
Status checkSpace(const QList<Place> &places, qint64 bytes, const QString &safetyFolder, qint64 safetyBytes)
{
    struct Need
    {
        QString path;
        qint64 bytes = 0;
    };
    QHash<quint64, Need> needs;
    const auto deviceOf = [](const QString &path, quint64 &device) {
        struct stat st
        {
        };
        if (::stat(encoded(path).constData(), &st) != 0)
            return false;
        device = quint64(st.st_dev);
        return true;
    };
    quint64 device = 0;
    for (const Place &place : places) {
        if (!deviceOf(place.parent, device))
            return Status::failure(QStringLiteral("%1: %2").arg(place.parent, systemText(errno)));
        Need &need = needs[device];
        need.path = place.parent;
        need.bytes = bytes; // the whole archive, once for a disk that takes both folders
    }
    if (safetyBytes > 0 && deviceOf(safetyFolder, device)) {
        Need &need = needs[device];
        if (need.path.isEmpty())
            need.path = safetyFolder;
        need.bytes += safetyBytes;
    }
    for (const Need &need : std::as_const(needs)) {
        struct statvfs disk
        {
        };
        if (::statvfs(encoded(need.path).constData(), &disk) != 0)
            return Status::failure(QStringLiteral("%1: %2").arg(need.path, systemText(errno)));
        const qint64 free = qint64(disk.f_bavail) * qint64(disk.f_frsize);
        if (need.bytes > free - free / 10)
            return Status::failure(QStringLiteral("%1 byte behövs (uppackat och säkerhetskopian av det som "
                                                  "ersätts), %2 lediga i %3")
                                       .arg(need.bytes)
                                       .arg(free)
                                       .arg(need.path));
    }
    return {};
}

// Every name of the archive must fit the file system it is unpacked on, with the longest
// path below the staging folder: a name refused half-way through the unpacking would
// fail the restore after the safety backup.
Status checkNames(const QList<Place> &places, const Summary &summary)
{
    constexpr qsizetype StagingPart = sizeof("/.lunora-restore-XXXXXX/new") - 1;
    for (const Place &place : places) {
        const QByteArray parent = encoded(place.parent);
        const long nameMax = ::pathconf(parent.constData(), _PC_NAME_MAX);
        const long pathMax = ::pathconf(parent.constData(), _PC_PATH_MAX);
        if (summary.longestName > (nameMax > 0 ? nameMax : 255))
            return Status::failure(
                QStringLiteral("Ett namn i säkerhetskopian har %1 byte; %2 tar namn på högst %3 byte")
                    .arg(summary.longestName)
                    .arg(place.parent)
                    .arg(nameMax > 0 ? nameMax : 255));
        const qint64 longest = parent.size() + StagingPart + summary.longestPath;
        if (longest >= (pathMax > 0 ? pathMax : 4096))
            return Status::failure(
                QStringLiteral("En sökväg i säkerhetskopian blir %1 byte lång i %2, där högst %3 går")
                    .arg(longest)
                    .arg(place.parent)
                    .arg((pathMax > 0 ? pathMax : 4096) - 1));
    }
    return {};
}

// The first folder of the choices that exists, can be written and lies outside the
// folders the restore replaces: a safety backup inside them would go with them.
Result<QString> chooseSafetyFolder(const QStringList &choices, const QList<Place> &places)
{
    for (const QString &folder : choices) {
        if (!folder.isEmpty() && QFileInfo(folder).isDir() && ::access(encoded(folder).constData(), W_OK) == 0
            && !insideAny(folder, places))
            return QFileInfo(folder).canonicalFilePath();
    }
    return Status::failure(
        QStringLiteral("Ingen mapp att spara det nuvarande innehållet i: %1").arg(choices.join(u' ')));
}

// An archive inside the folders the restore replaces is copied out of them first, into
// the safety folder, where it stays: nothing the restore names is deleted by it.
Result<QString> archiveOutside(
    const QString &archivePath, const QList<Place> &places, const QString &safetyFolder)
{
    if (!insideAny(archivePath, places))
        return archivePath;
    const QFileInfo info(archivePath);
    QString copy = QDir(safetyFolder).filePath(info.fileName());
    for (int n = 2; QFileInfo::exists(copy) || QFileInfo(copy).isSymLink(); ++n)
        copy = QDir(safetyFolder)
                   .filePath(
                       QStringLiteral("%1-%2.%3").arg(info.completeBaseName()).arg(n).arg(info.suffix()));
    if (!QFile::copy(archivePath, copy))
        return Status::failure(QStringLiteral("%1 kunde inte kopieras till %2").arg(archivePath, copy));
    return copy;
}

// The hidden folders the archive is unpacked in, one beside each folder it replaces, as
// the record names them: the record is on disk before they are made, so that a restore
// cut at any point leaves nothing the next start does not know of. The new folder takes
// the place of the old one with the old one's mode and group, so that every desk that
// could work in it still can.
Status makeStaging(const QList<Place> &places, RestoreRecord &record, const QString &dataFolder)
{
    for (qsizetype i = 0; i < places.size(); ++i) {
        const Place &place = places.at(i);
        if (::mkdir(encoded(place.staging).constData(), 0700) != 0) {
            const int error = errno;
            // Not ours after all (made in the moment since it was named): the record
            // must not have it removed.
            record.folders[i].staging.clear();
            (void)record.write(dataFolder);
            return Status::failure(QStringLiteral("%1: %2").arg(place.staging, systemText(error)));
        }
        const QByteArray fresh = encoded(place.fresh());
        if (::mkdir(fresh.constData(), 0777) != 0)
            return Status::failure(QStringLiteral("%1: %2").arg(place.fresh(), systemText(errno)));
        if (place.exists) {
            mode_t mode = place.folderMode;
            // Without the old group the new folder's group is not given the old group's rights.
            if (::chown(fresh.constData(), uid_t(-1), place.group) != 0)
                mode &= ~mode_t(070);
            if (::chmod(fresh.constData(), mode) != 0)
                return Status::failure(QStringLiteral("%1: %2").arg(place.fresh(), systemText(errno)));
        }
    }
    return {};
}

// A name for a staging folder that nothing in `parent` has.
QString stagingName(const QString &parent)
{
    static constexpr char Letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    for (;;) {
        QString name = parent + QStringLiteral("/.lunora-restore-");
        for (int i = 0; i < 6; ++i)
            name += QLatin1Char(Letters[QRandomGenerator::global()->bounded(int(sizeof Letters) - 1)]);
        if (!QFileInfo::exists(name) && !QFileInfo(name).isSymLink())
            return name;
    }
}

// Writes the entries of the archive into the staging folders as they stream past, with
// the modes this program gives a new file there: never the archive's.
class Unpacker final : public EntryVisitor
{
public:
    Unpacker(const QList<Place> &places, qint64 checkedBytes, const Progress &progress, qint64 progressBase)
        : m_places(places)
        , m_checkedBytes(checkedBytes)
        , m_progress(progress)
        , m_progressBase(progressBase)
    {
    }
    ~Unpacker() override
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool begin(const QByteArray &path, EntryKind kind) override;
    bool piece(const char *data, qint64 size) override;
    bool end() override;
    qint64 files() const { return m_files; }

private:
    bool fail(const QString &what, int error)
    {
        problem = QStringLiteral("%1: %2").arg(what, systemText(error));
        return false;
    }
    bool makeFolder(const QByteArray &path);

    const QList<Place> &m_places;
    const Place *m_place = nullptr;
    qint64 m_checkedBytes;
    qint64 m_bytes = 0;
    Progress m_progress;
    qint64 m_progressBase;
    qint64 m_files = 0;
    int m_fd = -1;
    QByteArray m_target;
};

// Adds the group's bits where the folder is shared by its group, as a new file of the
// program there gets them.
void shareWithGroup(int fd, const QByteArray &path, mode_t bits)
{
    struct stat st
    {
    };
    if (fd >= 0 ? ::fstat(fd, &st) == 0 : ::lstat(path.constData(), &st) == 0) {
        if ((st.st_mode & bits) != bits)
            (void)(fd >= 0 ? ::fchmod(fd, (st.st_mode & 07777) | bits)
                           : ::chmod(path.constData(), (st.st_mode & 07777) | bits));
    }
}

bool Unpacker::makeFolder(const QByteArray &path)
{
    if (::mkdir(path.constData(), 0777) == 0) {
        if (m_place->groupShared)
            shareWithGroup(-1, path, S_IRWXG);
        return true;
    }
    struct stat st
    {
    };
    if (errno == EEXIST && ::lstat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode))
        return true;
    return fail(QFile::decodeName(path), errno);
}

bool Unpacker::begin(const QByteArray &path, EntryKind kind)
{
    const QByteArray top = path.left(path.indexOf('/'));
    m_place = &*std::find_if(
        m_places.begin(), m_places.end(), [&](const Place &p) { return p.top == top || p.top == path; });
    const QByteArray root = encoded(m_place->fresh());
    const QByteArray below = path.mid(m_place->top.size()); // "" or "/User/anna.ini"
    // The folders on the way, which the archive need not list before their files.
    for (qsizetype slash = below.indexOf('/', 1); slash > 0; slash = below.indexOf('/', slash + 1)) {
        if (!makeFolder(root + below.left(slash)))
            return false;
    }
    if (kind == EntryKind::Folder)
        return below.isEmpty() || makeFolder(root + below);
    m_target = root + below;
    // As every file the program makes: its owner's alone, and its group's where the
    // folder is shared by the group (below); customer data is no one else's.
    m_fd = ::open(m_target.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (m_fd < 0)
        return fail(QFile::decodeName(path), errno);
    if (m_place->groupShared)
        shareWithGroup(m_fd, m_target, S_IRGRP | S_IWGRP);
    return true;
}

bool Unpacker::piece(const char *data, qint64 size)
{
    // The archive may have changed since it was checked: never unpack more than then.
    m_bytes += size;
    if (m_bytes > m_checkedBytes) {
        problem = QStringLiteral("Arkivet ändrades efter kontrollen");
        return false;
    }
    while (size > 0) {
        const ssize_t n = ::write(m_fd, data, static_cast<size_t>(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return fail(QFile::decodeName(m_target), errno);
        data += n;
        size -= n;
    }
    return true;
}

bool Unpacker::end()
{
    if (m_fd < 0)
        return true;
    const int fd = std::exchange(m_fd, -1);
    if (::close(fd) != 0)
        return fail(QFile::decodeName(m_target), errno);
    ++m_files;
    cutpoint::reached("file unpacked");
    if (m_progress && m_files % 256 == 0)
        m_progress(m_progressBase + m_files, 0);
    return true;
}

void syncStaging(const QList<Place> &places)
{
    for (const Place &place : places) {
        const int fd = ::open(encoded(place.staging).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0) {
            ::syncfs(fd); // the new files are on disk before the old ones go
            ::close(fd);
        }
    }
}

// Puts the unpacked folder in the place of the present one: in one step where the file
// system can, so that the name always holds one of the two; else by two renames, with
// the record telling the next start what to do when it is cut between them.
bool swapFolder(const Place &place, QString &problem)
{
    const auto failed = [&](const QString &what) {
        problem = QStringLiteral("%1: %2").arg(what, systemText(errno));
        return false;
    };
    if (!place.exists) {
        if (!renameNoReplace(place.fresh(), place.real))
            return failed(place.real);
        cutpoint::reached(place.top + " moved in");
        return true;
    }
    switch (exchangeFolders(place.fresh(), place.real)) {
    case Exchange::Done:
        cutpoint::reached(place.top + " exchanged");
        return true;
    case Exchange::Failed:
        return failed(place.real);
    case Exchange::Unsupported:
        break;
    }
    if (!renameNoReplace(place.real, place.staging + QStringLiteral("/replaced")))
        return failed(place.real);
    cutpoint::reached(place.top + " moved aside");
    if (!renameNoReplace(place.fresh(), place.real))
        return failed(place.fresh());
    cutpoint::reached(place.top + " moved in");
    return true;
}

// What the steps before the unpacking settle: where the folders are, where the safety
// backup goes, which archive is read.
struct Prepared
{
    QList<Place> places;
    QString safetyFolder;
    QString archive;
    QString archiveCopy;
    Summary summary;
};

Outcome prepare(const RestoreRequest &request, Prepared &prepared)
{
    const Inspection inspection = inspect(request.archivePath);
    if (!inspection.ok())
        return failure(inspection.error, inspection.detail);
    prepared.summary = inspection.summary;
    Result<QList<Place>> places = placesOf(request.dataFolder);
    if (!places)
        return failure(Error::CannotSwap, places.error());
    prepared.places = places.takeValue();
    if (Status names = checkNames(prepared.places, inspection.summary); !names)
        return failure(Error::NameTooLong, names.error());
    Result<QString> safety = chooseSafetyFolder(request.safetyFolders, prepared.places);
    if (!safety)
        return failure(Error::SafetyBackupFailed, safety.error());
    prepared.safetyFolder = safety.value();
    // The safety backup, and the copy of an archive that lies inside the folders, go to
    // the safety folder: on the same disk they count with the unpacked archive.
    qint64 safetyBytes = 0;
    if (QFileInfo(QDir(request.dataFolder).filePath(QStringLiteral("Lib"))).isDir())
        safetyBytes += backupSizeOf(prepared.places);
    if (insideAny(request.archivePath, prepared.places))
        safetyBytes += QFileInfo(request.archivePath).size();
    if (Status space
        = checkSpace(prepared.places, inspection.summary.bytes, prepared.safetyFolder, safetyBytes);
        !space)
        return failure(Error::NoSpace, space.error());
    Result<QString> archive = archiveOutside(request.archivePath, prepared.places, prepared.safetyFolder);
    if (!archive)
        return failure(Error::SafetyBackupFailed, archive.error());
    prepared.archive = archive.value();
    if (prepared.archive != request.archivePath)
        prepared.archiveCopy = prepared.archive;
    return {};
}

// What every restore does to the restored folders once they are in place, before the
// replaced ones go; a failure puts the replaced ones back.
Status afterRestore(const RestoreRequest &request)
{
    return request.afterRestore ? request.afterRestore(request.dataFolder) : Status();
}

// The swap under the folder lock, with the presence lock in Lib moved to the new Lib and
// the step after the restore. The record says "swapping" before the first folder moves
// and "swapped" once the last is in place: a failure in between leaves it to the caller
// to put the previous folders back as the record says.
Outcome swapStep(const RestoreRequest &request, Prepared &prepared, RestoreRecord &record)
{
    Presence *presence = request.presence;
    if (presence && !presence->holdNewLib(prepared.places.first().fresh()))
        return failure(Error::ReplaceFailed, presence->errorText());
    const auto fail = [presence](const QString &problem) {
        if (presence)
            presence->swapDone(false);
        return failure(Error::ReplaceFailed, problem);
    };
    QuietWaiter waiter;
    const FolderLock lock = FolderLock::acquireIn(request.dataFolder, &waiter);
    if (!lock && lock.error() != FolderLock::Error::Unavailable) {
        if (presence)
            presence->swapDone(false);
        return failure(Error::LockFailed, lock.errorText());
    }
    // A folder whose passwords are protected stays so: the restored user files are
    // protected before they come into use, while the old ones are still in place.
    if (Status kept = passwords::keepProtection(request.dataFolder, prepared.places.first().fresh()); !kept)
        return fail(kept.error());
    for (qsizetype i = 0; i < prepared.places.size(); ++i)
        record.folders[i].restored = folderId(prepared.places.at(i).fresh());
    record.stage = RestoreRecord::Stage::Swapping;
    if (Status written = record.write(request.dataFolder); !written)
        return fail(written.error());
    cutpoint::reached("swap recorded");
    QString problem;
    for (const Place &place : std::as_const(prepared.places)) {
        if (!swapFolder(place, problem))
            return fail(problem);
    }
    for (const Place &place : std::as_const(prepared.places))
        syncFolder(place.parent); // the renames are on disk before the record says so
    if (Status after = afterRestore(request); !after)
        return fail(after.error());
    record.stage = RestoreRecord::Stage::Swapped;
    if (Status written = record.write(request.dataFolder); !written) {
        record.stage = RestoreRecord::Stage::Swapping;
        return fail(written.error());
    }
    cutpoint::reached("swap committed");
    if (presence)
        presence->swapDone(true);
    return {};
}

// A failed restore after its record was written: the previous folders are put back and
// the staging folders go, by the record, as the next start would do it.
Outcome undone(const RestoreRecord &record, const QString &dataFolder, Outcome outcome)
{
    const Recovery settled = settleRestore(record, dataFolder);
    if (settled.kind == Recovery::Kind::Unsettled)
        outcome.detail
            += QStringLiteral(" (de tidigare mapparna finns i %1: %2)").arg(settled.staging, settled.detail);
    return outcome;
}

Outcome restoreSteps(const RestoreRequest &request, const Progress &progress)
{
    // Held until the record is gone, and outside the folders the restore replaces.
    const RestoreLock restoreLock = RestoreLock::take(request.dataFolder);
    if (restoreLock.state() == RestoreLock::State::Busy)
        return failure(Error::InUse, restoreLock.errorText());
    if (!restoreLock.held())
        return failure(Error::CannotSwap, restoreLock.errorText());
    // A restore cut short before this one is settled first; one that cannot be is left
    // for a person, with everything it names.
    if (const Recovery earlier = recoverUnderLock(request.dataFolder);
        earlier.kind == Recovery::Kind::Unsettled)
        return failure(Error::CannotSwap, earlier.message());
    Prepared prepared;
    if (Outcome prepared_ = prepare(request, prepared); !prepared_.ok())
        return prepared_;
    const qint64 files = prepared.summary.files;
    const qint64 total = files * 3; // safety backup (2) + unpacking (1)
    const auto report = [&](qint64 done, qint64) {
        if (progress)
            progress(std::min(done, total), total);
    };
    Outcome safety;
    if (QFileInfo(QDir(request.dataFolder).filePath(QStringLiteral("Lib"))).isDir()) {
        safety = create(request.dataFolder, prepared.safetyFolder, request.when,
            [&](qint64 done, qint64 all) { report(all > 0 ? done * files * 2 / all : 0, total); });
        if (!safety.ok())
            return failure(Error::SafetyBackupFailed, safety.detail);
    }
    cutpoint::reached("safety copy made");

    RestoreRecord record;
    record.archive = request.archivePath;
    record.safetyCopy = safety.archivePath;
    for (Place &place : prepared.places) {
        place.staging = stagingName(place.parent);
        RestoreRecord::Folder folder;
        folder.top = place.top;
        folder.real = place.real;
        folder.staging = place.staging;
        folder.existed = place.exists;
        folder.previous = place.exists ? folderId(place.real) : FolderId();
        record.folders.append(folder);
    }
    if (Status written = record.write(request.dataFolder); !written)
        return failure(Error::ReplaceFailed, written.error());
    cutpoint::reached("record written");
    if (Status made = makeStaging(prepared.places, record, request.dataFolder); !made)
        return undone(record, request.dataFolder, failure(Error::ReplaceFailed, made.error()));
    cutpoint::reached("staging made");
    Unpacker unpacker(prepared.places, prepared.summary.bytes, report, files * 2);
    const WalkResult unpacked = walkArchive(prepared.archive, unpacker);
    if (!unpacked.ok())
        return undone(record, request.dataFolder, failure(unpacked.error, unpacked.detail));
    syncStaging(prepared.places);
    if (Outcome swapped = swapStep(request, prepared, record); !swapped.ok())
        return undone(record, request.dataFolder, swapped);
    // Every folder is in place: what is left is clearing the staging folders away, which
    // the next start does if this is cut short.
    (void)settleRestore(record, request.dataFolder);
    report(total, total);
    Outcome outcome;
    outcome.archivePath = safety.archivePath;
    outcome.archiveCopyPath = prepared.archiveCopy;
    outcome.files = unpacker.files();
    return outcome;
}

} // namespace

QStringList safetyFolderChoices(
    const QString &dataFolder, const QString &archivePath, const QString &preferred)
{
    QStringList choices;
    if (!preferred.isEmpty())
        choices.append(preferred);
    choices.append(QFileInfo(archivePath).absolutePath());
    choices.append(QFileInfo(QDir(dataFolder).absolutePath()).absolutePath());
    return choices;
}

Outcome restore(const RestoreRequest &request, const Progress &progress)
{
    Presence *presence = request.presence;
    if (presence && !presence->entered())
        (void)presence->enter(request.dataFolder);
    if (presence && !presence->beginAlone())
        return failure(Error::InUse, presence->errorText());
    Outcome outcome = restoreSteps(request, progress);
    if (presence)
        presence->endAlone();
    return outcome;
}

Outcome restore(const QString &dataFolder, const QString &archivePath, const QString &safetyFolder,
    const QDateTime &when, const Progress &progress)
{
    RestoreRequest request;
    request.dataFolder = dataFolder;
    request.archivePath = archivePath;
    request.safetyFolders = { safetyFolder };
    request.when = when;
    return restore(request, progress);
}

} // namespace lunora::backup
