// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "storage/records.h"
#include "storage/status.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

namespace lunora {

// User files Lib\User\<id>.ini, section "Main".
namespace userfile {
Result<bool> exists(const QString &userId); // unsafe id: failure
Result<UserRecord> read(const QString &userId); // four ReadIni calls
// The four WriteIni calls "User", "PassWD", "Index", "RealName" in that order, stored
// atomically; an existing file keeps its other keys and its key order.
Status write(const QString &userId, const UserRecord &record);
} // namespace userfile

// Customer files Lib\<telephone>.ini, read only (the reader creates a missing file empty).
namespace customerfile {
Result<CustomerRecord> read(const QString &telephone);
// The customer file of a telephone when one stands there as a regular file, read
// without creating or changing anything (where read() would create a missing file);
// nothing when the telephone is empty, names no plain file, or the file is unreadable.
std::optional<CustomerRecord> find(const QString &telephone);
} // namespace customerfile

// The company file Lib\CompanyInfo.ini: the four name lines Rad1 to Rad4 of section Main.
namespace companyfile {
Result<QStringList> readNameLines();
}

// The error log Errors\Error.txt: appended to, never rewritten.
namespace errorlog {
QByteArray formatLoadFailure(const QDateTime &when); // the two-line entry
Status appendLoadFailure(const QDateTime &when);
} // namespace errorlog

// A new control code: a random (version 4) UUID as 38 upper-case characters in braces.
QString NewControlCode();

} // namespace lunora
