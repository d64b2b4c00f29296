// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include <QString>

namespace lunora {

// The user signed in to this run of the program, the one record of who it is: the
// sign-in fills it once the password has matched, the windows read it (the overview
// its data menu, the case window the signature), and a case's history names it as the
// one who made a change. Empty until somebody has signed in; a failed attempt leaves it
// as it was.
struct SignedInUser
{
    QString userId; // the id typed at sign-in ("User" of the user file)
    QString realName; // "RealName" of the user file
    QString index; // "Index": "0" administrator, "9" normal user
};

namespace session {
const SignedInUser &user();
void signIn(const SignedInUser &user);
void signOut(); // tests start every case from a clean run
} // namespace session

} // namespace lunora
