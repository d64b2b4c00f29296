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

QString unstorableValueText(const QString &fieldCaption)
{
    const QString crLf = QStringLiteral("\r\n");
    return QStringLiteral("Fältet \"%1\" innehåller ett tecken som inte kan sparas: ett citattecken (\"), en "
                          "radbrytning eller ett tecken som saknas i teckentabellen Windows-1252.")
               .arg(fieldCaption)
        + crLf + crLf + QStringLiteral("Ändra texten och försök igen. Ingenting har sparats.");
}

} // namespace lunora
