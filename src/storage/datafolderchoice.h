// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include <QString>

namespace lunora {

// Where a copy of the program keeps its data, and how it got there.
//
// A portable copy is a folder: the program, lunora-adduser and the data folder skeleton
// side by side. Its data folder is the program's own folder unless --data-folder names
// another, and it creates nothing.
//
// A system copy (bin/, share/ below a prefix such as /usr) cannot write beside itself,
// so each user gets a data folder of their own: the one named by --data-folder, else by
// the LUNORA_DATA variable, else $XDG_DATA_HOME/lunora. A folder that does not exist yet
// (or is empty) is made from the template share/lunora/ that is installed with the
// program, so the files are the same in both layouts and can be moved between them.
enum class InstallLayout
{
    Portable,
    System,
};

// The layout this copy was built for (LUNORA_SYSTEM_INSTALL at configure time).
InstallLayout builtLayout();

struct DataFolderRequest
{
    InstallLayout layout = InstallLayout::Portable;
    QString option; // --data-folder; empty when not given
    QString environment; // LUNORA_DATA; ignored by a portable copy
    QString defaultFolder; // portable: the program's folder; system: $XDG_DATA_HOME/lunora
    QString templateFolder; // system: the installed template; unused by a portable copy
};

enum class DataFolderSource
{
    Option,
    Environment,
    Default,
};

enum class DataFolderError
{
    None,
    NotAFolder, // the path names a file or something else that is no folder
    Missing, // a portable copy was pointed at a folder that does not exist
    CannotCreate, // a system copy could not make the folder from its template
    NotWritable, // the folder (or a folder the program writes into) cannot be written
};

struct [[nodiscard]] DataFolderChoice
{
    QString path; // absolute, without a trailing separator
    DataFolderSource source = DataFolderSource::Default;
    bool created = false; // made from the template during this call
    DataFolderError error = DataFolderError::None;
    QString detail; // why, for the message; names the folder that failed

    bool ok() const { return error == DataFolderError::None; }
};

// Picks the data folder for the request, makes it from the template where a system copy
// needs it, and checks that the program can write into it. The portable copy's own
// folder is taken as it is: it comes with its installation and is not checked at start.
DataFolderChoice chooseDataFolder(const DataFolderRequest &request);

// $XDG_DATA_HOME/lunora, or ~/.local/share/lunora when the variable is unset.
QString systemDefaultDataFolder();

// The template beside an installed system copy: <prefix>/share/lunora for a program in
// <prefix>/bin.
QString installedTemplateFolder(const QString &programFolder);

// True when Lib/User holds at least one user file (*.ini). Nobody can sign in otherwise.
bool hasUserFile(const QString &dataFolder);

} // namespace lunora
