#pragma once

#include "storage/casestore.h"

#include <QString>

namespace lunora {

// The Swedish text for a change the case store could not make, where no window has a
// text of its own for the kind: a case or row that is gone has one, every other
// failure is "Det blev något fel", as it has always been.
QString storeFailureText(const StoreResult &result);

} // namespace lunora
