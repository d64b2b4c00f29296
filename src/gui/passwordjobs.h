// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

class QWidget;

namespace lunora {

// Turning password protection on, from the overview's Data menu and at an
// administrator's sign-in. Hashing takes a moment per user, so the pointer waits
// meanwhile; the messages come when the files are written.
namespace passwordjobs {
// "Skydda lösenord…": says what protection means for older copies, asks, protects
// every user file and says how it went.
void protectPasswords(QWidget *parent);
// After an administrator has signed in to a protected folder: names the user files
// without a hash (their users cannot sign in) and offers to protect them.
void offerProtection(QWidget *parent);
} // namespace passwordjobs

} // namespace lunora
