// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "storage/casestore.h"

#include <QString>

class QWidget;

namespace lunora {

// The Swedish text for a change the case store could not make, where no window has a
// text of its own for the kind: a case or row that is gone has one, every other
// failure is "Det blev något fel", as it has always been.
QString storeFailureText(const StoreResult &result);

// Shows the "Upptaget" box when another desk kept the folder locked (or the user gave
// up waiting) and returns true; returns false for every other outcome, which the
// caller words itself.
bool showIfBusy(QWidget *parent, const StoreResult &result);

// Shows a failed change under the given title: "Upptaget" for a busy folder, else
// storeFailureText() with the exclamation icon.
void showStoreFailure(QWidget *parent, const QString &title, const StoreResult &result);

// The message for a value that the case register or an article file cannot hold,
// naming the field by its caption.
QString unstorableValueText(const QString &fieldCaption);

} // namespace lunora
