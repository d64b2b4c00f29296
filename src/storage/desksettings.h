// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "storage/status.h"

#include <QRect>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>
#include <optional>

namespace lunora {

// The desk's own settings: what belongs to this computer and its user rather than to
// the shop's data (the label printer beside this counter, not the one at the other
// desk). They live in $XDG_CONFIG_HOME/lunora/lunora.conf (~/.config when the variable
// is unset), an INI file in Qt's format with one group per feature; the data folder
// holds nothing of them. A missing or unreadable file gives every default.
//
// A feature adds a group and a struct of its own with a load and a save like the label
// settings below; values read back are checked, since the file may be edited by hand.
namespace desksettings {

QString filePath();
// One value of a group, or `fallback` when the file does not hold it.
QVariant value(const QString &group, const QString &key, const QVariant &fallback = {});
// Sets the values of one group, keeping every other key and group of the file, and
// writes the file atomically. Fails when it cannot be written. The file is its user's
// alone (mode 0600) before anything is written into it: an SMS gateway's password may
// stand in an argument of the SMS command.
[[nodiscard]] Status setValues(const QString &group, const QVariantMap &values);

} // namespace desksettings

// The command that sends a text message (group [Sms]): a program and its arguments, kept
// apart so that no shell ever reads them. {mobil} and {text} in an argument stand for
// the number and the message.
struct SmsCommand
{
    QString program;
    QStringList arguments;
    bool isEmpty() const { return program.trimmed().isEmpty(); }
    friend bool operator==(const SmsCommand &, const SmsCommand &) = default;
};

namespace desksettings {

// Keys Program and Arguments; an empty command when none is set.
SmsCommand smsCommand();
[[nodiscard]] Status setSmsCommand(const SmsCommand &command);

// The arguments with {mobil} and {text} put in, argument by argument: a placeholder
// brings its value into the one argument it stands in, whatever blanks, quotes or
// signs the value holds.
QStringList smsArguments(const SmsCommand &command, const QString &mobile, const QString &text);

// The ready-made command for KDE Connect: kdeconnect-cli --name <phone> --destination
// {mobil} --send-sms {text}.
SmsCommand kdeConnectCommand(const QString &phoneName);
// The phone of a command that is exactly the ready-made one; nothing for any other
// command, a hand-written call of kdeconnect-cli included.
std::optional<QString> kdeConnectPhone(const SmsCommand &command);

} // namespace desksettings

// The label printer of this desk (group [Etikett]).
struct LabelSettings
{
    static constexpr int MinCount = 1;
    static constexpr int MaxCount = 20;

    QString printer; // a printer queue's name; empty until one is chosen
    double width = 62.0; // millimetres
    double height = 29.0;
    int count = 1; // labels per print
    bool printOnNewCase = false; // "Skriv etikett när ett nytt ärende sparas"

    friend bool operator==(const LabelSettings &, const LabelSettings &) = default;
};

LabelSettings loadLabelSettings();
[[nodiscard]] Status saveLabelSettings(const LabelSettings &settings);

// Where a window that can grow stood when it was last closed (group [Fonster], one key
// per window name): its client area on the desktop and whether it filled the screen.
// Whether the place still lies on a screen is for the window to judge.
struct WindowPlace
{
    QRect geometry;
    bool maximized = false;

    friend bool operator==(const WindowPlace &, const WindowPlace &) = default;
};

// Nothing when the file holds no usable place for this window.
std::optional<WindowPlace> loadWindowPlace(const QString &window);
[[nodiscard]] Status saveWindowPlace(const QString &window, const WindowPlace &place);

} // namespace lunora
