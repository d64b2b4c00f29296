// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "storage/status.h"

#include <QString>
#include <QStringView>

namespace lunora {

// The data folder is the folder that holds the program's executable. Tests and tools
// point it elsewhere with setRoot(). The program never creates folders: Lib, Lib/User,
// Lib/Logo and Errors come with the installation.
namespace DataFolder {
void setRoot(const QString &root); // empty: back to the executable's folder
QString root(); // no trailing separator
// Joins a relative path written as "\Lib\arenden.txt" (or with '/') to the root,
// mapping backslashes to the native separator. Nothing is trimmed or case-folded.
QString path(QStringView relative);
} // namespace DataFolder

// A name that becomes part of a path (user id, telephone, control code) must be one
// plain file name: not "." or "..", and without '/', '\' or NUL. The empty name is
// allowed (it names the file ".ini"). Overlong names are refused as well.
bool isSafeFileName(QStringView name);

namespace paths {
QString caseRegister(); // \Lib\arenden.txt
QString companyFile(); // \Lib\CompanyInfo.ini
QString logoFile(); // \Lib\Logo\logo.bmp
QString errorLog(); // \Errors\Error.txt
QString userFolder(); // \Lib\User
// Its presence says that the user files' passwords are protected (not an .ini file, so
// that older copies, which know only <id>.ini there, pass it by).
QString passwordProtectionFile(); // \Lib\User\Losenordsskydd.txt
QString signInErrorLog(); // \Errors\Inloggningsfel.txt
QString removedCasesFile(); // \Lib\Borttagna.txt
// The removals under way (see storage/removalintents.h).
QString removalIntentsFile(); // \Lib\Borttagning-pagar.txt
QString historyErrorLog(); // \Errors\Historikfel.txt
QString orphanLog(); // \Errors\Foraldralosa.txt
// These fail (touching nothing) when the name is not a safe file name, and the user
// file also for an empty id.
Result<QString> userFile(const QString &userId); // \Lib\User\<id>.ini
Result<QString> customerFile(const QString &telephone); // \Lib\<telephone>.ini
Result<QString> caseDataFile(const QString &controlCode); // \Lib\<code>_eData.ini
Result<QString> articleFile(const QString &controlCode); // \Lib\<code>_ArtData.txt
Result<QString> notesFile(const QString &controlCode); // \Lib\<code>_Notes.txt
Result<QString> historyFile(const QString &controlCode); // \Lib\<code>_Logg.txt
} // namespace paths

} // namespace lunora
