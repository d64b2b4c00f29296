// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

// The storage tests' data folder is the shared one of tests/common; this name stays for
// tests written against the older fixture.
#include "common/testsupport.h"

namespace lunora::test {
using DataFolderFixture = TestDataFolder;
} // namespace lunora::test
