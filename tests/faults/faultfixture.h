// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

// What the fault tests share: a data folder with a little of everything, a snapshot of
// every file in it, and the means to make the file system misbehave (read-only files,
// folders and mounts, a full disk) that undo themselves when they go out of scope.

#include "common/faultyfs.h"
#include "storage/records.h"

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

// The file system misbehaving on purpose, shared with the other tests.
using test::ReadOnly;
using test::ReadOnlyMount;
using test::SmallDisk;

// The register bytes of entries in the quoted form.
QByteArray quotedRegister(const QList<RegisterEntry> &entries);

} // namespace lunora::faults
