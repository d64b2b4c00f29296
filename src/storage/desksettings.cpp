// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "storage/desksettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <algorithm>
#include <cstdlib>

namespace lunora {

namespace {
const QString LabelGroup = QStringLiteral("Etikett");
const QString SmsGroup = QStringLiteral("Sms");
// Plain ASCII, as the other groups and keys: Qt's INI format writes "ö" as "%F6", which
// nobody editing the file by hand would recognise.
const QString WindowGroup = QStringLiteral("Fonster");
const QString Maximized = QStringLiteral("maximerad");
// A window larger than this is a typing error in the file, not a screen.
constexpr int MaxWindowSide = 20000;
// A label's sides in millimetres: the widest roll of a desktop label printer is 102 mm,
// and anything beyond a sheet of paper is a typing error.
constexpr double MinSide = 20.0;
constexpr double MaxSide = 300.0;

bool usableSide(double millimetres)
{
    return millimetres >= MinSide && millimetres <= MaxSide;
}

// The file readable and writable by its user alone. A file that is not there yet is made
// empty first: the rewrite that follows keeps the mode of the file it replaces, so the
// values never stand in a file that others may read, not even for a moment.
bool restrictToOwner(const QString &path)
{
    if (!QDir().mkpath(QFileInfo(path).path()))
        return false;
    QFile file(path);
    if (!file.exists() && !file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;
    file.close();
    return file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}
} // namespace

QString desksettings::filePath()
{
    // GenericConfigLocation follows $XDG_CONFIG_HOME; in Qt's test mode, which the tests
    // turn on, it lies below ~/.qttest, so that a test never changes the desk's own file.
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QDir(config).filePath(QStringLiteral("lunora/lunora.conf"));
}

QVariant desksettings::value(const QString &group, const QString &key, const QVariant &fallback)
{
    QSettings settings(filePath(), QSettings::IniFormat);
    settings.beginGroup(group);
    return settings.value(key, fallback);
}

Status desksettings::setValues(const QString &group, const QVariantMap &values)
{
    const auto failed = []() {
        return Status::failure(
            QStringLiteral("%1 kunde inte skrivas.").arg(QDir::toNativeSeparators(filePath())));
    };
    if (!restrictToOwner(filePath()))
        return failed();
    // QSettings writes through a temporary file renamed over the old one, and merges
    // with what another copy of the program wrote meanwhile.
    QSettings settings(filePath(), QSettings::IniFormat);
    settings.setAtomicSyncRequired(true);
    settings.beginGroup(group);
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        settings.setValue(it.key(), it.value());
    settings.endGroup();
    settings.sync();
    if (settings.status() != QSettings::NoError)
        return failed();
    return {};
}

SmsCommand desksettings::smsCommand()
{
    return { value(SmsGroup, QStringLiteral("Program")).toString(),
        value(SmsGroup, QStringLiteral("Arguments")).toStringList() };
}

Status desksettings::setSmsCommand(const SmsCommand &command)
{
    return setValues(SmsGroup,
        { { QStringLiteral("Program"), command.program.trimmed() },
            { QStringLiteral("Arguments"), command.arguments } });
}

QStringList desksettings::smsArguments(const SmsCommand &command, const QString &mobile, const QString &text)
{
    static const QString Mobile = QStringLiteral("{mobil}");
    static const QString Text = QStringLiteral("{text}");
    QStringList arguments;
    arguments.reserve(command.arguments.size());
    for (const QString &argument : command.arguments) {
        // One pass over the argument, so that a {text} inside the number (or the other
        // way round) is not replaced a second time.
        QString out;
        qsizetype pos = 0;
        while (pos < argument.size()) {
            const QStringView rest = QStringView(argument).sliced(pos);
            if (rest.startsWith(Mobile)) {
                out += mobile;
                pos += Mobile.size();
            } else if (rest.startsWith(Text)) {
                out += text;
                pos += Text.size();
            } else {
                out += argument.at(pos++);
            }
        }
        arguments << out;
    }
    return arguments;
}

SmsCommand desksettings::kdeConnectCommand(const QString &phoneName)
{
    return { QStringLiteral("kdeconnect-cli"),
        { QStringLiteral("--name"), phoneName, QStringLiteral("--destination"), QStringLiteral("{mobil}"),
            QStringLiteral("--send-sms"), QStringLiteral("{text}") } };
}

std::optional<QString> desksettings::kdeConnectPhone(const SmsCommand &command)
{
    const QStringList &arguments = command.arguments;
    const SmsCommand readyMade = kdeConnectCommand(arguments.value(1));
    if (arguments.size() != readyMade.arguments.size() || command.program.trimmed() != readyMade.program
        || arguments != readyMade.arguments)
        return std::nullopt;
    return arguments.at(1);
}

LabelSettings loadLabelSettings()
{
    LabelSettings settings;
    const LabelSettings defaults;
    settings.printer = desksettings::value(LabelGroup, QStringLiteral("Skrivare")).toString();
    bool widthOk = false;
    bool heightOk = false;
    const double width = desksettings::value(LabelGroup, QStringLiteral("Bredd")).toDouble(&widthOk);
    const double height = desksettings::value(LabelGroup, QStringLiteral("Hojd")).toDouble(&heightOk);
    // A size is taken whole or not at all: half of one and half of the default is
    // no label anybody has.
    if (widthOk && heightOk && usableSide(width) && usableSide(height)) {
        settings.width = width;
        settings.height = height;
    }
    bool countOk = false;
    const int count = desksettings::value(LabelGroup, QStringLiteral("Antal")).toInt(&countOk);
    settings.count
        = countOk ? std::clamp(count, LabelSettings::MinCount, LabelSettings::MaxCount) : defaults.count;
    settings.printOnNewCase = desksettings::value(LabelGroup, QStringLiteral("SkrivVidNyttArende")).toBool();
    return settings;
}

Status saveLabelSettings(const LabelSettings &settings)
{
    return desksettings::setValues(LabelGroup,
        { { QStringLiteral("Skrivare"), settings.printer }, { QStringLiteral("Bredd"), settings.width },
            { QStringLiteral("Hojd"), settings.height }, { QStringLiteral("Antal"), settings.count },
            { QStringLiteral("SkrivVidNyttArende"), settings.printOnNewCase } });
}

std::optional<WindowPlace> loadWindowPlace(const QString &window)
{
    // "x,y,bredd,höjd" with ",maximerad" after it when the window filled the screen;
    // written by hand or by another version, anything else is no place at all.
    const QStringList parts = desksettings::value(WindowGroup, window).toStringList();
    if (parts.size() != 4 && !(parts.size() == 5 && parts.at(4).trimmed() == Maximized))
        return std::nullopt;
    int values[4] = {};
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        values[i] = parts.at(i).trimmed().toInt(&ok);
        if (!ok || std::abs(values[i]) > MaxWindowSide)
            return std::nullopt;
    }
    if (values[2] <= 0 || values[3] <= 0)
        return std::nullopt;
    return WindowPlace { QRect(values[0], values[1], values[2], values[3]), parts.size() == 5 };
}

Status saveWindowPlace(const QString &window, const WindowPlace &place)
{
    const QRect &r = place.geometry;
    QStringList parts { QString::number(r.x()), QString::number(r.y()), QString::number(r.width()),
        QString::number(r.height()) };
    if (place.maximized)
        parts << Maximized;
    return desksettings::setValues(WindowGroup, { { window, parts } });
}

} // namespace lunora
