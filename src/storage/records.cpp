#include "storage/records.h"

#include "storage/cp1252.h"

namespace lunora {

bool isStorableValue(QStringView value)
{
    for (QChar c : value) {
        if (c == u'"' || c == u'\r' || c == u'\n')
            return false;
    }
    return cp1252::canEncode(value);
}

} // namespace lunora
