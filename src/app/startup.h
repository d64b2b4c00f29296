// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "storage/datafolderchoice.h"

#include <QString>
#include <QStringList>

// What the program does before its first window: the command line, the data folder and
// the notes a new installation needs. Kept apart from main() so that tests can drive it.
namespace lunora::startup {

struct CommandLine
{
    enum class Action
    {
        Run,
        Help,
        Version,
        Invalid,
    };
    Action action = Action::Run;
    QString dataFolder; // --data-folder; empty when not given
    QString error; // for Invalid: what was wrong, in Swedish
};

// Reads the arguments (without the program's name) before the windowing system is
// started, so that --help and --version work without a display. Qt's own options
// (-platform, -style, ...) are let through for QApplication.
CommandLine parseCommandLine(const QStringList &arguments);

QString helpText(InstallLayout layout, const QString &templateFolder);
QString versionText();

// Texts use CR LF line breaks, as every message box does.
QString dataFolderErrorText(const DataFolderChoice &choice, InstallLayout layout);
// What a new installation needs to hear: where its data folder was made, and how to
// create the first administrator when nobody can sign in yet. Empty when there is
// nothing to say.
QString startNotes(const DataFolderChoice &choice, bool hasUser, const QString &addUserProgram);

// A path as one shell word, quoted only when it must be.
QString shellQuoted(const QString &text);

} // namespace lunora::startup
