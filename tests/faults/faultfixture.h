#pragma once

// What the fault tests share: a data folder with a little of everything, a snapshot of
// every file in it, and the means to make the file system misbehave (read-only files,
// folders and mounts, a full disk) that undo themselves when they go out of scope.

#include "records.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <memory>

class QTemporaryDir;

namespace lunora::faults {

bool runningAsRoot();

// Cases and files of the fixture.
extern const RegisterEntry CaseA;
extern const RegisterEntry CaseB;
extern const QString UserId; // "anna", password "pw"
extern const QString UserPassword;
extern const QString CustomerPhone; // CaseA's telephone; has a customer file

// Fills `root` with Lib, Lib\User, Lib\Logo and Errors and the files of a small shop:
// a user, the company file and logo, a register of CaseA and CaseB with their case and
// article files, a customer file and an error log entry.
bool populate(const QString &root);

// Every file below `root` (relative path, bytes) and every folder (with a trailing '/'
// and no bytes).
using Snapshot = QMap<QString, QByteArray>;
Snapshot snapshot(const QString &root);

// The files and folders of `before` that are gone, shorter or different in `after`,
// leaving out those `allowed` names (relative paths; a trailing '*' matches a prefix).
// The error log may grow: entries are only ever added to it.
QStringList damaged(const Snapshot &before, const Snapshot &after, const QStringList &allowed = {});

// Makes files and folders read-only until destroyed. Root may write to files whatever
// their permission bits say, so for root the immutable flag of the file system is set
// instead (a folder with it takes no new, renamed or deleted entries, as a read-only
// folder does for other users). ok() is false when that is not possible here.
class ReadOnly final
{
public:
    explicit ReadOnly(const QStringList &paths);
    ~ReadOnly();
    ReadOnly(const ReadOnly &) = delete;
    ReadOnly &operator=(const ReadOnly &) = delete;
    bool ok() const { return m_ok; }

private:
    QStringList m_done;
    QMap<QString, int> m_modes;
    bool m_ok = true;
};

// A read-only bind mount of a folder onto itself (root only): every write below it fails
// as on a write-protected medium.
class ReadOnlyMount final
{
public:
    explicit ReadOnlyMount(const QString &folder);
    ~ReadOnlyMount();
    ReadOnlyMount(const ReadOnlyMount &) = delete;
    ReadOnlyMount &operator=(const ReadOnlyMount &) = delete;
    bool ok() const { return m_mounted; }

private:
    QString m_folder;
    bool m_mounted = false;
};

// A small memory file system (root only) that fill() leaves without a free byte.
class SmallDisk final
{
public:
    explicit SmallDisk(int kibibytes);
    ~SmallDisk();
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;
    bool ok() const { return m_mounted; }
    QString path() const;
    // Writes one file until the disk refuses more; true when it is full.
    bool fill();
    // Frees the disk again (the filler file is deleted).
    void drain();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    bool m_mounted = false;
};

// The register bytes of entries in the quoted form.
QByteArray quotedRegister(const QList<RegisterEntry> &entries);

} // namespace lunora::faults
