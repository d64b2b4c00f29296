// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "storage/session.h"

namespace lunora::session {

namespace {
SignedInUser &current()
{
    static SignedInUser user;
    return user;
}
} // namespace

const SignedInUser &user()
{
    return current();
}

void signIn(const SignedInUser &user)
{
    current() = user;
}

void signOut()
{
    current() = SignedInUser();
}

} // namespace lunora::session
