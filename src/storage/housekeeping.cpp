// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "storage/housekeeping.h"

#include "storage/casehistory.h"
#include "storage/casestore.h"
#include "storage/codeindex.h"
#include "storage/cp1252.h"
#include "storage/datafolder.h"
#include "storage/fileio.h"
#include "storage/folderlock.h"
#include "storage/removalintents.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <map>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace lunora::housekeeping {

namespace {

// The clean-up runs beside the windows: it waits for the lock quietly, and gives up
// when the program ends.
class QuietWaiter final : public FolderLock::Waiter
{
public:
    explicit QuietWaiter(const std::atomic_bool *stop)
        : m_stop(stop)
    {
    }
    bool wait(std::chrono::milliseconds) override
    {
        std::this_thread::sleep_for(std::chrono::milliseconds { 5 });
        return !stopped(m_stop);
    }
    static bool stopped(const std::atomic_bool *stop) { return stop && stop->load(); }

private:
    const std::atomic_bool *m_stop;
};

FolderLock takeLock(const std::atomic_bool *stop)
{
    QuietWaiter waiter(stop);
    return FolderLock::acquire(&waiter);
}

// Calls `visit` with the name of every entry of a folder, one at a time, until it
// returns false. The folder is never listed whole.
bool forEachEntry(const QString &folder, const std::function<bool(int dirFd, const char *name)> &visit)
{
    DIR *dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return false;
    const int fd = ::dirfd(dir);
    while (const dirent *entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.'
            && (entry->d_name[1] == 0 || (entry->d_name[1] == '.' && entry->d_name[2] == 0)))
            continue;
        if (!visit(fd, entry->d_name))
            break;
    }
    ::closedir(dir);
    return true;
}

bool isStalePlainFile(int dirFd, const char *name, const QDateTime &now, ino_t *inode)
{
    struct stat st
    {
    };
    if (::fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode))
        return false;
    if (inode && *inode != 0 && *inode != st.st_ino)
        return false;
    if (inode)
        *inode = st.st_ino;
    return QDateTime::fromSecsSinceEpoch(st.st_mtim.tv_sec).secsTo(now) >= staleAfterSeconds;
}

// ---- Files of cases without a register line -------------------------------------------

constexpr const char *CaseFileSuffixes[] = { "_eData.ini", "_ArtData.txt", "_Notes.txt", "_Logg.txt" };

// The control codes that Borttagna.txt names (its fifth field; older lines have none).
QSet<QString> removedCodes()
{
    QSet<QString> codes;
    const Result<QByteArray> bytes = fileio::readAll(paths::removedCasesFile());
    if (!bytes)
        return codes;
    for (const QByteArray &line : bytes.value().split('\n')) {
        const QList<QByteArray> fields = line.trimmed().split('\t');
        if (fields.size() >= 5 && !fields.at(4).isEmpty())
            codes.insert(cp1252::decode(fields.at(4)));
    }
    return codes;
}

// The control codes Foraldralosa.txt has named already (its second field).
QSet<QString> listedCodes()
{
    QSet<QString> codes;
    const Result<QByteArray> bytes = fileio::readAll(paths::orphanLog());
    if (!bytes)
        return codes;
    for (const QByteArray &line : bytes.value().split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() >= 2)
            codes.insert(cp1252::decode(fields.at(1)));
    }
    return codes;
}

// The register's form of a control code taken from a file name: names are bytes of the
// file system's encoding, the register's are Windows-1252; a code of plain ASCII (every
// code the program makes) is the same bytes in both.
QByteArray registerFormOf(QByteArrayView code)
{
    if (std::all_of(code.begin(), code.end(), [](char c) { return uchar(c) < 0x80; }))
        return code.toByteArray();
    return cp1252::encode(QFile::decodeName(code.toByteArray()));
}

// Every case file of Lib by control code, for the codes the register does not hold as
// it stands now (checked again under the lock before anything is done). The register's
// codes are read once into an index of this call's own, without the lock, and the names
// are looked at as bytes: a Lib of 225,000 files costs one pass, no string per name.
std::map<QString, QStringList> filesWithoutLine(const std::atomic_bool *stop)
{
    std::map<QString, QStringList> found;
    const Result<caseregister::Table> table = caseregister::Table::load(paths::caseRegister());
    if (!table)
        return found; // unreadable: leave every file alone
    CodeIndex index(table.value());
    forEachEntry(DataFolder::path(u"\\Lib"), [&](int, const char *raw) {
        const QByteArrayView name(raw);
        for (const char *suffix : CaseFileSuffixes) {
            const QByteArrayView end(suffix);
            if (name.size() <= end.size() || !name.endsWith(end))
                continue;
            const QByteArrayView code = name.chopped(end.size());
            if (!index.head(registerFormOf(code)))
                found[QFile::decodeName(code.toByteArray())].append(QFile::decodeName(raw));
            break;
        }
        return !QuietWaiter::stopped(stop);
    });
    return found;
}

// One case's files, under the lock: deleted when the case was removed, else listed
// once. Nothing when the register holds the case again by now.
void settleOrphan(const QString &code, QStringList files, bool removed, bool listed, const QDateTime &now,
    OrphanCount &count)
{
    files.sort();
    const Result<bool> holds = CaseStore::registerHolds(code);
    if (!holds || holds.value() || !isSafeFileName(code))
        return;
    if (!removed) {
        if (!listed
            && fileio::appendLine(paths::orphanLog(),
                casehistory::formatLine(now,
                    { code, files.join(u' '),
                        QStringLiteral("Saknar rad i ärenderegistret; filerna finns kvar") })))
            ++count.listed;
        return;
    }
    QStringList deleted;
    for (const QString &file : files) {
        if (fileio::remove(DataFolder::path(QStringLiteral("\\Lib\\") + file)))
            deleted << file;
    }
    count.deleted += int(deleted.size());
    if (!deleted.isEmpty())
        (void)fileio::appendLine(paths::orphanLog(),
            casehistory::formatLine(
                now, { code, deleted.join(u' '), QStringLiteral("Borttaget ärende; filerna har raderats") }));
}

// The removals a copy was cut short in, finished or dropped under one lock: a case the
// register no longer holds was removed, so its files go and Borttagna.txt gets the line
// the removal had not written yet; a case still in the register was not removed.
Status settleIntents(const QDateTime &now, const std::atomic_bool *stop, OrphanCount &count)
{
    if (!fileio::exists(paths::removalIntentsFile()))
        return {};
    const FolderLock lock = takeLock(stop);
    if (!lock)
        return Status::failure(lock.errorText());
    const Result<QList<removalintents::Intent>> intents = removalintents::load();
    if (!intents)
        return intents.status();
    QSet<QString> alreadyNoted = removedCodes();
    QStringList settled;
    for (const removalintents::Intent &intent : intents.value()) {
        const Result<bool> holds = CaseStore::registerHolds(intent.controlCode);
        if (!holds)
            return holds.status();
        if (holds.value() || !isSafeFileName(intent.controlCode)) {
            settled << intent.controlCode;
            continue;
        }
        if (!alreadyNoted.contains(intent.controlCode)) {
            if (Status noted = fileio::appendLine(paths::removedCasesFile(), intent.line); !noted)
                return noted; // the note stays for the next start
            alreadyNoted.insert(intent.controlCode);
        }
        QStringList deleted;
        bool left = false;
        for (const QString &file : caseFiles(intent.controlCode)) {
            if (!fileio::exists(file))
                continue;
            if (fileio::remove(file))
                deleted << QFileInfo(file).fileName();
            else
                left = true;
        }
        count.deleted += int(deleted.size());
        if (!deleted.isEmpty())
            (void)fileio::appendLine(paths::orphanLog(),
                casehistory::formatLine(now,
                    { intent.controlCode, deleted.join(u' '),
                        QStringLiteral("Borttaget ärende; filerna har raderats") }));
        if (!left)
            settled << intent.controlCode;
    }
    return removalintents::drop(settled);
}

} // namespace

bool isSaveTemporary(QStringView fileName)
{
    constexpr QLatin1StringView Marker(".lunora-");
    constexpr qsizetype Random = 6;
    const qsizetype markerAt = fileName.size() - Random - Marker.size();
    // A dot, a name of one character at least, the marker, six letters or digits.
    if (markerAt < 2 || !fileName.startsWith(u'.') || fileName.sliced(markerAt, Marker.size()) != Marker)
        return false;
    for (const QChar c : fileName.last(Random)) {
        if (!(c.isDigit() || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')) || c.unicode() > 127)
            return false;
    }
    return true;
}

Result<int> removeStaleTemporaries(const QDateTime &now, const std::atomic_bool *stop)
{
    int removed = 0;
    for (const char *folder : { "\\Lib", "\\Lib\\User", "\\Errors" }) {
        forEachEntry(DataFolder::path(QString::fromLatin1(folder)), [&](int dirFd, const char *name) {
            ino_t inode = 0;
            // Only a name starting with a dot can be a temporary file: the others are not
            // decoded at all.
            if (name[0] != '.' || !isSaveTemporary(QFile::decodeName(name))
                || !isStalePlainFile(dirFd, name, now, &inode))
                return !QuietWaiter::stopped(stop);
            // Checked again under the lock: still the same old file, no save's own.
            const FolderLock lock = takeLock(stop);
            if (lock && isStalePlainFile(dirFd, name, now, &inode) && ::unlinkat(dirFd, name, 0) == 0)
                ++removed;
            return !QuietWaiter::stopped(stop);
        });
    }
    return removed;
}

Result<OrphanCount> clearOrphans(const QDateTime &now, const std::atomic_bool *stop)
{
    OrphanCount count;
    if (Status settled = settleIntents(now, stop, count); !settled)
        return settled;
    const std::map<QString, QStringList> orphans = filesWithoutLine(stop);
    if (orphans.empty())
        return count;
    const QSet<QString> removed = removedCodes();
    const QSet<QString> listed = listedCodes();
    for (const auto &[code, files] : orphans) {
        if (QuietWaiter::stopped(stop))
            break;
        const FolderLock lock = takeLock(stop);
        if (!lock)
            return Status::failure(lock.errorText());
        settleOrphan(code, files, removed.contains(code), listed.contains(code), now, count);
    }
    return count;
}

} // namespace lunora::housekeeping
