// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "storage/passwords.h"

#include "storage/cp1252.h"
#include "storage/datafolder.h"
#include "storage/fileio.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <argon2.h>
#include <array>
#include <atomic>
#include <functional>
#include <optional>

namespace lunora::passwords {

namespace {

const QString MainSection = QStringLiteral("Main");
const QString PasswordKey = QStringLiteral("PassWD");
const QString HashKey = QStringLiteral("PassHash");

// RFC 9106's second choice for memory-hard hashing: 64 MiB, three passes, one lane.
// About 0.4 s of one core per sign-in with Debian's library; every guess costs the same.
std::atomic<quint32> s_memoryKiB { 64 * 1024 };
std::atomic<quint32> s_passes { 3 };
constexpr quint32 Lanes = 1;
constexpr std::size_t SaltBytes = 16;
constexpr std::size_t HashBytes = 32;

QString userFolderOf(const QString &dataFolder)
{
    return QDir(dataFolder).filePath(QStringLiteral("Lib/User"));
}

QString markIn(const QString &userFolder)
{
    return QDir(userFolder).filePath(QFileInfo(paths::passwordProtectionFile()).fileName());
}

// The text is hashed as UTF-8: every text has one such form, whatever the file's code
// page could hold.
Result<QByteArray> hashOf(const QString &password)
{
    std::array<quint32, SaltBytes / sizeof(quint32)> salt {};
    QRandomGenerator::system()->fillRange(salt.data(), salt.size());
    const QByteArray text = password.toUtf8();
    const quint32 memory = s_memoryKiB, passes = s_passes;
    QByteArray encoded(
        static_cast<qsizetype>(argon2_encodedlen(passes, memory, Lanes, SaltBytes, HashBytes, Argon2_id)),
        '\0');
    const int result = argon2id_hash_encoded(passes, memory, Lanes, text.constData(),
        static_cast<std::size_t>(text.size()), salt.data(), SaltBytes, HashBytes, encoded.data(),
        static_cast<std::size_t>(encoded.size()));
    if (result != ARGON2_OK)
        return Status::failure(
            QStringLiteral("Argon2id: %1").arg(QString::fromLatin1(argon2_error_message(result))));
    encoded.truncate(encoded.indexOf('\0'));
    return encoded;
}

bool hashMatches(const QByteArray &hash, const QString &password)
{
    const QByteArray text = password.toUtf8();
    return argon2id_verify(hash.constData(), text.constData(), static_cast<std::size_t>(text.size()))
        == ARGON2_OK;
}

// What "PassWD" holds in a protected file: 40 letters and digits from the system's
// random source, which no one can type by chance and an older copy compares in vain.
QString unknownPassword()
{
    static constexpr char16_t Alphabet[] = u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    constexpr int Letters = static_cast<int>(std::size(Alphabet)) - 1;
    QString value;
    for (int i = 0; i < 40; ++i)
        value += QChar(Alphabet[QRandomGenerator::system()->bounded(Letters)]);
    return value;
}

QByteArray hashIn(QByteArrayView userFile)
{
    return ini::readValue(userFile, "Main", "PassHash");
}

// The writes that protect a user file whose password is `password`.
Result<QList<IniWrite>> protectingWrites(const QString &password)
{
    Result<QByteArray> hash = hashOf(password);
    if (!hash)
        return hash.status();
    return QList<IniWrite> {
        { MainSection, PasswordKey, unknownPassword() },
        { MainSection, HashKey, QString::fromLatin1(hash.value()) },
    };
}

// The bytes of a user file with its hash, or nothing when it has one already.
Result<std::optional<QByteArray>> protectedBytes(const QByteArray &file)
{
    if (!hashIn(file).isEmpty())
        return std::optional<QByteArray>();
    const QString password = cp1252::decode(ini::readValue(file, "Main", "PassWD"));
    const Result<QList<IniWrite>> writes = protectingWrites(password);
    if (!writes)
        return writes.status();
    Result<QByteArray> changed = ini::writeValues(file, writes.value());
    if (!changed)
        return changed.status();
    return std::optional<QByteArray>(changed.takeValue());
}

// Gives one user file its hash unless it has one; true when the file was changed.
// `locked` is how the file is read and written without another desk coming between:
// the hash, which takes a while, is made before, and the file read again under the lock
// must still be the one it was made from (otherwise it starts over).
Result<bool> protectFile(const QString &path, const std::function<FolderLock()> &locked)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        const Result<QByteArray> before = fileio::readAll(path);
        if (!before)
            return before.status();
        const Result<std::optional<QByteArray>> after = protectedBytes(before.value());
        if (!after)
            return after.status();
        if (!after.value())
            return false;
        const FolderLock lock = locked ? locked() : FolderLock();
        if (locked && !lock)
            return Status::failure(lock.errorText());
        const Result<QByteArray> now = fileio::readAll(path);
        if (!now)
            return now.status();
        if (now.value() != before.value())
            continue;
        if (Status saved = fileio::saveAll(path, *after.value()); !saved)
            return saved;
        return true;
    }
    return Status::failure(QStringLiteral("%1 ändrades medan lösenordet skyddades").arg(path));
}

// The user files of a folder: every plain file named <id>.ini, by file name.
QStringList userFileNames(const QString &userFolder)
{
    QStringList names;
    const QFileInfoList files = QDir(userFolder).entryInfoList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QFileInfo &file : files) {
        if (file.fileName().endsWith(QLatin1String(".ini")))
            names.append(file.fileName());
    }
    return names;
}

QString userIdOf(const QString &fileName)
{
    return fileName.chopped(4);
}

Status writeMark(const QString &userFolder, const QDateTime &when)
{
    const QString text
        = QStringLiteral("Lösenorden i den här mappen är skyddade sedan %1. Filen ska ligga kvar: "
                         "den gör att bara skyddade lösenord godtas vid inloggning.\r\n")
              .arg(when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    return fileio::saveAll(markIn(userFolder), cp1252::encode(text));
}

Outcome lockFailure(const FolderLock &lock)
{
    Outcome outcome;
    outcome.error = Outcome::Error::Locked;
    outcome.lockError = lock.error();
    outcome.detail = lock.errorText();
    return outcome;
}

// Protects each file of `names` that has no hash, each under the lock of its own.
Outcome protectFiles(const QString &userFolder, const QStringList &names)
{
    Outcome outcome;
    for (const QString &name : names) {
        FolderLock::Error lockError = FolderLock::Error::None;
        const Result<bool> done = protectFile(QDir(userFolder).filePath(name), [&lockError]() {
            FolderLock lock = FolderLock::acquire();
            lockError = lock.error();
            return lock;
        });
        if (lockError != FolderLock::Error::None) {
            outcome.error = Outcome::Error::Locked;
            outcome.lockError = lockError;
            outcome.detail = done.error();
            return outcome;
        }
        if (!done) {
            outcome.error = Outcome::Error::FileFailed;
            outcome.userId = userIdOf(name);
            outcome.detail = done.error();
            return outcome;
        }
        outcome.protectedNow += done.value() ? 1 : 0;
    }
    return outcome;
}

} // namespace

bool isProtected()
{
    return QFileInfo(paths::passwordProtectionFile()).isFile();
}

Result<Verdict> verify(const QString &userId, const QString &storedPassword, const QString &typed)
{
    const Result<QString> path = paths::userFile(userId);
    if (!path)
        return path.status();
    const Result<QByteArray> bytes = fileio::readAll(path.value());
    if (!bytes)
        return bytes.status();
    const QByteArray hash = hashIn(bytes.value());
    if (!hash.isEmpty())
        return hashMatches(hash, typed) ? Verdict::Match : Verdict::Mismatch;
    if (isProtected())
        return Verdict::NoHash;
    return storedPassword == typed ? Verdict::Match : Verdict::Mismatch;
}

Status logRefusedSignIn(const QString &userId, const QDateTime &when)
{
    QString id = userId;
    for (QChar &c : id) {
        if (c == u'\t' || c == u'\r' || c == u'\n')
            c = u' ';
    }
    const QString line = when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + u'\t' + id
        + QStringLiteral("\tAnvändarfilen har inget skyddat lösenord; inloggningen nekades.\r\n");
    return fileio::appendLine(paths::signInErrorLog(), cp1252::encode(line));
}

QStringList unprotectedUsers()
{
    QStringList ids;
    const QString folder = paths::userFolder();
    for (const QString &name : userFileNames(folder)) {
        const Result<QByteArray> bytes = fileio::readAll(QDir(folder).filePath(name));
        if (bytes && hashIn(bytes.value()).isEmpty())
            ids.append(userIdOf(name));
    }
    return ids;
}

Outcome protectFolder()
{
    const QString folder = paths::userFolder();
    Outcome outcome = protectFiles(folder, userFileNames(folder));
    if (!outcome.ok())
        return outcome;
    // The mark, and under the same lock the files made meanwhile by a desk that had not
    // seen it yet: from here on every desk stores new passwords hashed.
    const FolderLock lock = FolderLock::acquire();
    if (!lock)
        return lockFailure(lock);
    if (!isProtected()) {
        if (Status marked = writeMark(folder, QDateTime::currentDateTime()); !marked) {
            outcome.error = Outcome::Error::MarkFailed;
            outcome.detail = marked.error();
            return outcome;
        }
    }
    const int before = outcome.protectedNow;
    Outcome late = protectFiles(folder, userFileNames(folder));
    late.protectedNow += before;
    return late;
}

Result<QList<IniWrite>> storedForm(const QString &path, const QList<IniWrite> &writes)
{
    if (!isProtected()) {
        const Result<QByteArray> bytes = fileio::readAll(path);
        if (!bytes || hashIn(bytes.value()).isEmpty())
            return writes;
    }
    QList<IniWrite> stored;
    for (const IniWrite &write : writes) {
        if (write.section.compare(MainSection, Qt::CaseInsensitive) != 0
            || write.key.compare(PasswordKey, Qt::CaseInsensitive) != 0) {
            stored.append(write);
            continue;
        }
        const Result<QList<IniWrite>> protecting = protectingWrites(write.value);
        if (!protecting)
            return protecting.status();
        stored.append(protecting.value());
    }
    return stored;
}

Status keepProtection(const QString &dataFolder, const QString &restoredLib)
{
    const QString restored = QDir(restoredLib).filePath(QStringLiteral("User"));
    if (!QFileInfo(markIn(userFolderOf(dataFolder))).isFile())
        return {};
    // Every plain user file is protected, also where the archive brings the mark along:
    // a mark beside a readable password would show the password and sign nobody in.
    // Nobody works in the restored folder yet: no lock is needed.
    for (const QString &name : userFileNames(restored)) {
        if (const Result<bool> done = protectFile(QDir(restored).filePath(name), {}); !done)
            return Status::failure(QStringLiteral("%1: %2").arg(name, done.error()));
    }
    if (QFileInfo(markIn(restored)).isFile())
        return {};
    return writeMark(restored, QDateTime::currentDateTime());
}

void setHashCostForTesting(quint32 memoryKiB, quint32 passes)
{
    s_memoryKiB = memoryKiB;
    s_passes = passes;
}

} // namespace lunora::passwords
