// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "storage/systemreason.h"

#include <QFileDevice>
#include <cerrno>
#include <cstring>

namespace lunora {

QString systemReason(int error)
{
    // The C library speaks English unless a Swedish locale is installed and chosen.
    static const struct
    {
        int error;
        const char16_t *text;
    } Reasons[] = {
        { ENOENT, u"filen eller mappen finns inte" },
        { EACCES, u"åtkomst nekad" },
        { EPERM, u"åtgärden är inte tillåten" },
        { ENOSPC, u"disken är full" },
        { EDQUOT, u"diskkvoten är slut" },
        { EROFS, u"filsystemet är skrivskyddat" },
        { EEXIST, u"filen finns redan" },
        { EISDIR, u"det är en mapp" },
        { ENOTDIR, u"en del av sökvägen är ingen mapp" },
        { ENOTEMPTY, u"mappen är inte tom" },
        { EIO, u"läs- eller skrivfel på disken" },
        { EMFILE, u"för många öppna filer" },
        { ENFILE, u"för många öppna filer i systemet" },
        { ELOOP, u"för många länkar i rad" },
        { ENAMETOOLONG, u"namnet är för långt" },
        { EBUSY, u"filen eller mappen är upptagen" },
        { EXDEV, u"kan inte flyttas till ett annat filsystem" },
        { EFBIG, u"filen är för stor" },
        { ENOMEM, u"minnet räcker inte" },
        { EINVAL, u"ogiltigt värde" },
        { EAGAIN, u"resursen är tillfälligt upptagen" },
        { ESTALE, u"nätverksfilen är inte längre giltig" },
        { ETIMEDOUT, u"tidsgränsen gick ut" },
        { EINTR, u"avbrutet" },
    };
    for (const auto &reason : Reasons) {
        if (reason.error == error)
            return QString::fromUtf16(reason.text);
    }
    return QString::fromLocal8Bit(std::strerror(error));
}

QString reasonOf(const QFileDevice &file)
{
    // QFile words a failed system call with the C library's text; the same text is found
    // again among the system's reasons to give the Swedish one.
    const QString text = file.errorString();
    for (int error = 1; error < 200; ++error) {
        if (text == QString::fromLocal8Bit(std::strerror(error)))
            return systemReason(error);
    }
    if (text == u"Unknown error")
        return QStringLiteral("okänt fel");
    return text;
}

} // namespace lunora
