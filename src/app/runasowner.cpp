// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "app/runasowner.h"

#include "storage/systemreason.h"

#include <QFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lunora {

namespace {
void say(const char *toolName, const QString &text)
{
    std::fprintf(stderr, "%s: %s\n", toolName, text.toLocal8Bit().constData());
}

QString userName(uid_t uid)
{
    const passwd *entry = ::getpwuid(uid);
    return entry ? QString::fromLocal8Bit(entry->pw_name) : QString::number(uid);
}

// The owner's own groups as well, so that a folder shared through a further group
// stays reachable; an owner without an entry in the user database gets none.
bool becomeUser(uid_t uid, gid_t gid)
{
    const passwd *entry = ::getpwuid(uid);
    const int grouped = entry ? ::initgroups(entry->pw_name, gid) : ::setgroups(0, nullptr);
    if (grouped != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0)
        return false;
    // A switch that could be undone was no switch.
    return ::getuid() == uid && ::geteuid() == uid && ::getegid() == gid && ::setuid(0) != 0;
}
} // namespace

bool runAsFolderOwner(const QString &dataFolder, const char *toolName)
{
    struct stat folder
    {
    };
    if (::geteuid() != 0 || ::stat(QFile::encodeName(dataFolder).constData(), &folder) != 0
        || folder.st_uid == 0)
        return true;
    const QString owner = userName(folder.st_uid);
    if (!becomeUser(folder.st_uid, folder.st_gid)) {
        say(toolName,
            QStringLiteral("kunde inte byta till datamappens ägare %1: %2").arg(owner, systemReason(errno)));
        return false;
    }
    const group *folderGroup = ::getgrgid(folder.st_gid);
    say(toolName,
        QStringLiteral("körs som datamappens ägare %1 (grupp %2), inte som root")
            .arg(owner,
                folderGroup ? QString::fromLocal8Bit(folderGroup->gr_name) : QString::number(folder.st_gid)));
    return true;
}

} // namespace lunora
