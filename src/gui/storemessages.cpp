#include "gui/storemessages.h"

namespace lunora {

QString storeFailureText(const StoreResult &result)
{
    switch (result.kind) {
    case StoreError::NotFound:
        return QStringLiteral(
            "Ärendet finns inte längre i ärenderegistret; någon annan kan ha ändrat eller tagit "
            "bort det. Listan visar nu vad registret innehåller. Ingenting har sparats.");
    default:
        return QStringLiteral("Det blev något fel");
    }
}

} // namespace lunora
