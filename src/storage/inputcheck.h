// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include <QStringView>

// The checks of text that a user typed before it is stored. Each says what is wrong
// with the text; the window or tool that asked words the message for its user.
namespace lunora::inputcheck {

enum class Problem
{
    None,
    LineBreak, // a CR or LF: every format of the data folder is one value per line
    DoubleQuote, // ends a quoted field of the register and the article files
    NotWindows1252, // a character the files' code page does not have
    Bracket, // '[' starts a section of an INI file
    UnsafeFileName, // the text names a file and is no plain file name
};

// A value of a register line or an article row: no double quote, CR or LF, and every
// character in Windows-1252.
Problem recordValue(QStringView value);
// A value of an INI file: no CR or LF, no '[', every character in Windows-1252.
Problem iniValue(QStringView value);
// A text that becomes part of a path (user id, telephone, control code).
Problem fileName(QStringView name);

} // namespace lunora::inputcheck
