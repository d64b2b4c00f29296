// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include <QString>

namespace lunora {

// The user signed in to this run of the program. One for every window: the sign-in
// fills it, the windows show it, and the case store names it as the one who made a
// change. Empty until somebody has signed in.
struct SignedInUser
{
    QString userId; // the id typed at sign-in ("User" of the user file)
    QString realName; // "RealName" of the user file
    QString index; // "Index": "0" administrator, "9" normal user
};

namespace session {
const SignedInUser &user();
void signIn(const SignedInUser &user);
// Updates single parts as the sign-in learns them.
void setRealName(const QString &realName);
void setUserId(const QString &userId);
void setIndex(const QString &index);
void signOut(); // tests start every case from a clean run
} // namespace session

} // namespace lunora
