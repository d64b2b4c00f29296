// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "storage/accounts.h"

#include "storage/cp1252.h"
#include "storage/datafolder.h"
#include "storage/fileio.h"
#include "storage/folderlock.h"
#include "storage/ini.h"
#include "storage/passwords.h"

#include <QFileInfo>
#include <QUuid>

namespace lunora {

namespace {
const QString mainSection = QStringLiteral("Main");

using KeyTarget = std::pair<QString *, const char16_t *>;

// One ReadIni per key, in the given order, as every reader of these files does.
Status readKeys(const QString &path, std::initializer_list<KeyTarget> keys)
{
    for (const auto &[target, key] : keys) {
        Result<QString> value = ReadIni(path, mainSection, QString::fromUtf16(key));
        if (!value)
            return value.status();
        *target = value.takeValue();
    }
    return {};
}
} // namespace

Result<bool> userfile::exists(const QString &userId)
{
    Result<QString> path = paths::userFile(userId);
    if (!path)
        return path.status();
    return QFileInfo(path.value()).isFile();
}

Result<UserRecord> userfile::read(const QString &userId)
{
    Result<QString> path = paths::userFile(userId);
    if (!path)
        return path.status();
    UserRecord record;
    const Status read = readKeys(path.value(),
        {
            { &record.user, u"User" },
            { &record.password, u"PassWD" },
            { &record.index, u"Index" },
            { &record.realName, u"RealName" },
        });
    if (!read)
        return read;
    return record;
}

Status userfile::write(const QString &userId, const UserRecord &record)
{
    Result<QString> path = paths::userFile(userId);
    if (!path)
        return path.status();
    const QList<IniWrite> writes = {
        { mainSection, QStringLiteral("User"), record.user },
        { mainSection, QStringLiteral("PassWD"), record.password },
        { mainSection, QStringLiteral("Index"), record.index },
        { mainSection, QStringLiteral("RealName"), record.realName },
    };
    for (const IniWrite &w : writes) {
        // An INI line can hold any text but a line end; a double quote is an ordinary
        // character here (a password may well contain one).
        if (w.value.contains(u'\r') || w.value.contains(u'\n') || !cp1252::canEncode(w.value))
            return Status::failure(QStringLiteral("Värdet av %1 kan inte sparas").arg(w.key));
        // A '[' makes its line a section boundary: the keys below it (the file lists
        // RealName first) could no longer be read, and the account could never sign in.
        if (w.value.contains(u'['))
            return Status::failure(QStringLiteral("Värdet av %1 får inte innehålla \"[\"").arg(w.key));
    }
    // Passwords are stored as they are typed, so a new user file is readable by its
    // owner and the owner's group only; where the folder is shared by its group (every
    // desk's account in one group), that group may write it too. An existing file keeps
    // the mode its administrator gave it.
    QFileDevice::Permissions mode = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser
        | QFileDevice::WriteUser | QFileDevice::ReadGroup;
    if (QFileInfo(paths::userFolder()).permissions() & QFileDevice::WriteGroup)
        mode |= QFileDevice::WriteGroup;
    // Read, change and write under the folder lock, so that two desks saving users at
    // once do not undo each other's keys. A lock file that cannot be opened stops the
    // write too.
    const FolderLock lock = FolderLock::acquire();
    if (!lock)
        return Status::failure(lock.errorText());
    // Where passwords are protected, the password is stored as its hash.
    const Result<QList<IniWrite>> stored = passwords::storedForm(path.value(), writes);
    if (!stored)
        return stored.status();
    return WriteIniAll(path.value(), stored.value(), mode);
}

Result<CustomerRecord> customerfile::read(const QString &telephone)
{
    Result<QString> path = paths::customerFile(telephone);
    if (!path)
        return path.status();
    CustomerRecord record;
    const Status read = readKeys(path.value(),
        {
            { &record.id, u"xID" },
            { &record.name, u"xName" },
            { &record.address, u"xAdress" },
            { &record.postalAddress, u"xPostaladress" },
            { &record.country, u"xLand" },
            { &record.phone1, u"xPhone1" },
            { &record.phone2, u"xPhone2" },
            { &record.email, u"xEmail" },
            { &record.notes, u"xNotes" },
        });
    if (!read)
        return read;
    return record;
}

std::optional<CustomerRecord> customerfile::find(const QString &telephone)
{
    if (telephone.isEmpty())
        return std::nullopt;
    const Result<QString> path = paths::customerFile(telephone);
    if (!path)
        return std::nullopt;
    // Only a regular file of Lib: a folder, a device or a link leading elsewhere is no
    // customer card.
    const QFileInfo info(path.value());
    if (!info.isFile() || info.isSymLink())
        return std::nullopt;
    const Result<QByteArray> bytes = fileio::readAll(path.value());
    if (!bytes)
        return std::nullopt;
    CustomerRecord record;
    const std::pair<QString *, const char *> keys[] = {
        { &record.id, "xID" },
        { &record.name, "xName" },
        { &record.address, "xAdress" },
        { &record.postalAddress, "xPostaladress" },
        { &record.country, "xLand" },
        { &record.phone1, "xPhone1" },
        { &record.phone2, "xPhone2" },
        { &record.email, "xEmail" },
        { &record.notes, "xNotes" },
    };
    for (const auto &[target, key] : keys)
        *target = cp1252::decode(ini::readValue(bytes.value(), "Main", key));
    return record;
}

Result<QStringList> companyfile::readNameLines()
{
    const QString path = paths::companyFile();
    QStringList lines;
    for (int i = 1; i <= 4; ++i) {
        Result<QString> value = ReadIni(path, mainSection, QStringLiteral("Rad%1").arg(i));
        if (!value)
            return value.status();
        lines.append(value.takeValue());
    }
    return lines;
}

QByteArray errorlog::formatLoadFailure(const QDateTime &when)
{
    const QString entry = when.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(", kl. ")
        + when.toString(QStringLiteral("HH:mm:ss")) + QString(16, u' ')
        + QStringLiteral("Fel vid inläsning, information saknas....") + QStringLiteral("\r\n\r\n");
    return cp1252::encode(entry);
}

Status errorlog::appendLoadFailure(const QDateTime &when)
{
    return fileio::appendLine(paths::errorLog(), formatLoadFailure(when));
}

QString NewControlCode()
{
    return QUuid::createUuid().toString(QUuid::WithBraces).toUpper();
}

} // namespace lunora
