#pragma once

#include "status.h"

#include <QByteArray>
#include <QString>

// Whole-file primitives. Every rewrite goes through QSaveFile: the new contents are
// written to a temporary file beside the old one and renamed over it, so a failed
// write leaves the old file as it was.
namespace lunora::fileio {
bool exists(const QString &path);
Result<QByteArray> readAll(const QString &path); // missing file: failure
Status saveAll(const QString &path, const QByteArray &contents); // atomic replace
// Appends one piece of text. When the file does not end with a line end, one CR LF is
// written first so that the new line never merges with the old last line.
Status appendLine(const QString &path, const QByteArray &line);
Status remove(const QString &path); // missing file: failure
// Creates the file empty when missing and makes it writable (the folder must exist).
Status prepare(const QString &path);
} // namespace lunora::fileio
