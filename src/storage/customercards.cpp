// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "storage/customercards.h"

#include "storage/cp1252.h"
#include "storage/datafolder.h"
#include "storage/fileio.h"
#include "storage/folderlock.h"
#include "storage/ini.h"

#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lunora::customercards {

namespace {
const QString MainSection = QStringLiteral("Main");
const QString IniSuffix = QStringLiteral(".ini");

Outcome failure(Error error, const QString &detail, int field = -1)
{
    return { error, field, detail };
}

Outcome fromStatus(const Status &status)
{
    return status.ok() ? Outcome() : failure(Error::Unwritable, status.error());
}

bool isReserved(const QString &telephone)
{
    return telephone.isEmpty() || telephone.compare(QStringLiteral("CompanyInfo"), Qt::CaseInsensitive) == 0
        || telephone.endsWith(QStringLiteral("_eData"), Qt::CaseInsensitive);
}

Outcome checkValues(const CustomerRecord &record)
{
    for (int field = 0; field < keys().size(); ++field) {
        const QString v = value(record, field);
        // A '[' makes its line a section boundary: the keys below it could not be read.
        if (v.contains(u'\r') || v.contains(u'\n') || v.contains(u'[') || !cp1252::canEncode(v))
            return failure(
                Error::Unstorable, QStringLiteral("%1 kan inte sparas").arg(keys().at(field)), field);
    }
    return {};
}

// The writes that give the file the record's values, skipping the values it holds
// already, so that a card changed in one field changes in one line, and with `shown`
// the fields the user left as they were shown.
Result<QByteArray> applied(
    QByteArray contents, const CustomerRecord &record, const CustomerRecord *shown = nullptr)
{
    const QByteArray section = cp1252::encode(MainSection);
    for (int field = 0; field < keys().size(); ++field) {
        if (shown && value(*shown, field) == value(record, field))
            continue;
        const QByteArray key = cp1252::encode(keys().at(field));
        const QByteArray wanted = cp1252::encode(value(record, field));
        if (ini::readValue(contents, section, key) == wanted)
            continue;
        Result<QByteArray> next = ini::writeValue(contents, section, key, wanted);
        if (!next)
            return next.status();
        contents = next.takeValue();
    }
    return contents;
}

// Cards are read, changed and written under the folder lock, so that two desks saving
// one card at once do not undo each other's fields. A lock file that cannot be opened
// stops the write: going ahead unlocked would let another desk's card be lost.
Outcome takeLock(FolderLock &lock)
{
    lock = FolderLock::acquire();
    if (!lock)
        return failure(lock.error() == FolderLock::Error::Unavailable ? Error::Unwritable : Error::Busy,
            lock.errorText());
    return {};
}

// Reads the regular file `name` of the open folder into `bytes`; false when it is no
// regular file or cannot be read. O_NOFOLLOW and O_NONBLOCK: a link or a FIFO put in
// place of a card after the folder was read is refused instead of followed or waited on.
bool readCard(int folderFd, const char *name, QByteArray &bytes)
{
    const int fd = ::openat(folderFd, name, O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return false;
    const auto closeFile = qScopeGuard([fd] { ::close(fd); });
    struct stat info
    {
    };
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    // One read more than the size tells: a file that grew meanwhile is read whole.
    bytes.resize(qsizetype(info.st_size) + 1);
    qsizetype filled = 0;
    for (;;) {
        if (filled == bytes.size())
            bytes.resize(bytes.size() * 2);
        const ssize_t got = ::read(fd, bytes.data() + filled, size_t(bytes.size() - filled));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            break;
        filled += got;
    }
    bytes.truncate(filled);
    return true;
}

Result<QString> cardPath(const QString &telephone, Outcome &outcome)
{
    outcome = checkTelephone(telephone);
    if (!outcome.ok())
        return Status::failure(outcome.detail);
    return paths::customerFile(telephone);
}
} // namespace

const QList<QString> &keys()
{
    static const QList<QString> names { QStringLiteral("xID"), QStringLiteral("xName"),
        QStringLiteral("xAdress"), QStringLiteral("xPostaladress"), QStringLiteral("xLand"),
        QStringLiteral("xPhone1"), QStringLiteral("xPhone2"), QStringLiteral("xEmail"),
        QStringLiteral("xNotes") };
    return names;
}

QString value(const CustomerRecord &record, int field)
{
    const QString *values[] = { &record.id, &record.name, &record.address, &record.postalAddress,
        &record.country, &record.phone1, &record.phone2, &record.email, &record.notes };
    return field >= 0 && field < 9 ? *values[field] : QString();
}

void setValue(CustomerRecord &record, int field, const QString &value)
{
    QString *values[] = { &record.id, &record.name, &record.address, &record.postalAddress, &record.country,
        &record.phone1, &record.phone2, &record.email, &record.notes };
    if (field >= 0 && field < 9)
        *values[field] = value;
}

Outcome checkTelephone(const QString &telephone)
{
    if (isReserved(telephone))
        return failure(Error::ReservedName, QStringLiteral("%1 är ett reserverat namn").arg(telephone));
    if (!isSafeFileName(telephone) || !paths::customerFile(telephone))
        return failure(Error::UnsafeName, QStringLiteral("%1 kan inte bli ett filnamn").arg(telephone));
    return {};
}

Outcome update(const QString &telephone, const CustomerRecord &record, const CustomerRecord *shown)
{
    Outcome checked;
    const Result<QString> path = cardPath(telephone, checked);
    if (!path)
        return checked;
    if (Outcome values = checkValues(record); !values.ok())
        return values;
    FolderLock lock;
    if (Outcome locked = takeLock(lock); !locked.ok())
        return locked;

    QByteArray contents;
    if (QFileInfo::exists(path.value())) {
        Result<QByteArray> bytes = fileio::readAll(path.value());
        if (!bytes)
            return fromStatus(bytes.status());
        contents = bytes.takeValue();
    }
    Result<QByteArray> next = applied(contents, record, shown);
    if (!next)
        return fromStatus(next.status());
    if (next.value() == contents && QFileInfo::exists(path.value()))
        return {};
    // A card holds a customer's address and telephones: like the case files it is its
    // owner's (and the group's, where the folder is shared), also where an older copy
    // made it readable by every account.
    return fromStatus(fileio::savePrivately(path.value(), next.value()));
}

Outcome create(const QString &telephone, const CustomerRecord &record)
{
    Outcome checked;
    const Result<QString> path = cardPath(telephone, checked);
    if (!path)
        return checked;
    if (Outcome values = checkValues(record); !values.ok())
        return values;
    FolderLock lock;
    if (Outcome locked = takeLock(lock); !locked.ok())
        return locked;

    const QFileInfo info(path.value());
    if (info.exists() || info.isSymLink()) {
        if (!info.isFile() || info.isSymLink() || info.size() > 0)
            return failure(Error::Exists, QStringLiteral("Kortet finns redan: %1").arg(path.value()));
        return update(telephone, record); // an empty file left by a look at the card
    }
    Result<QByteArray> contents = applied(QByteArray(), record);
    if (!contents)
        return fromStatus(contents.status());
    // Never over a card that another copy of the program made a moment ago.
    const Result<bool> made = fileio::createNew(path.value(), contents.value());
    if (!made)
        return failure(Error::Unwritable, made.error());
    if (!made.value())
        return failure(Error::Exists, QStringLiteral("Kortet finns redan: %1").arg(path.value()));
    return {};
}

Result<QList<Card>> listAll()
{
    const QString libPath = DataFolder::path(u"\\Lib");
    // Listing ten thousand cards is mostly system calls, so the folder is read once with
    // the kinds of its entries, each card is opened relative to it (no path walk per
    // name) and read into one reused buffer, and the nine keys are found in one pass.
    DIR *folder = ::opendir(QFile::encodeName(libPath).constData());
    if (!folder)
        return Status::failure(QStringLiteral("Mappen %1 finns inte").arg(libPath));
    const auto closeFolder = qScopeGuard([folder] { ::closedir(folder); });
    const int folderFd = ::dirfd(folder);
    QList<QByteArray> encodedKeys;
    for (const QString &key : keys())
        encodedKeys.append(cp1252::encode(key));
    const ini::ValueScanner scanner(cp1252::encode(MainSection), encodedKeys);

    QList<Card> cards;
    QByteArray bytes;
    QList<QByteArrayView> values;
    while (const dirent *entry = ::readdir(folder)) {
        // Links are no cards (they could lead anywhere); neither is anything but a file.
        if (entry->d_type != DT_REG && entry->d_type != DT_UNKNOWN)
            continue;
        if (!QByteArrayView(entry->d_name).endsWith(".ini"))
            continue;
        const QString telephone = QFile::decodeName(entry->d_name).chopped(IniSuffix.size());
        if (isReserved(telephone))
            continue;
        // A card that cannot be read is not listed rather than shown empty; an empty
        // file is what a look at a missing card leaves, no card.
        if (!readCard(folderFd, entry->d_name, bytes) || bytes.isEmpty())
            continue;
        Card card;
        card.telephone = telephone;
        scanner.scan(bytes, values);
        for (int field = 0; field < values.size(); ++field)
            setValue(card.record, field, cp1252::decode(values.at(field)));
        cards.append(std::move(card));
    }
    return cards;
}

} // namespace lunora::customercards
