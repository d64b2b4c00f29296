// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include <QString>

namespace lunora {

// Where a file the user saves on purpose (a case sheet or a label as PDF) is proposed:
// the desktop's documents folder when it exists, otherwise the home folder; always an
// absolute path, since the file dialog reads a relative one against the working folder.
QString proposedSavePath(const QString &fileName);
// That folder alone, where a folder is asked for (the backup's).
QString proposedFolder();

} // namespace lunora
