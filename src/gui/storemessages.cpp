// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/storemessages.h"

#include "gui/lockwaitbox.h"
#include "gui/messagebox.h"

namespace lunora {

QString storeFailureText(const StoreResult &result)
{
    switch (result.kind) {
    case StoreError::NotFound:
        return QStringLiteral(
            "Ärendet finns inte längre i ärenderegistret; någon annan kan ha ändrat eller tagit "
            "bort det. Listan visar nu vad registret innehåller. Ingenting har sparats.");
    case StoreError::CaseRemoved:
        return QStringLiteral("Ärendet har tagits bort vid en annan kassa.");
    default:
        return QStringLiteral("Det blev något fel");
    }
}

bool showIfBusy(QWidget *parent, const StoreResult &result)
{
    if (result.kind != StoreError::Busy)
        return false;
    showFolderBusy(parent);
    return true;
}

void showStoreFailure(QWidget *parent, const QString &title, const StoreResult &result)
{
    if (showIfBusy(parent, result))
        return;
    MessageBox::show(parent, title, storeFailureText(result), MessageBox::Ok, MessageBox::Exclamation);
}

} // namespace lunora
