// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// Fuzzes the notes file reader. Rules:
// - the device and serial number are one line each;
// - what parse() reads, format() writes back so that parse() reads the same again;
// - load() reads what parse() reads.

#include "fuzzsupport.h"
#include "storage/notesfile.h"

using namespace lunora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const CaseNotes notes = notesfile::parse(bytes);
    for (const QString &field : { notes.device, notes.serial })
        fuzz::require(
            !field.contains(u'\n') && !field.contains(u'\r'), "one-line fields hold one line", bytes);
    fuzz::require(!notes.text.contains(u'\r'), "the text's lines are separated by LF alone", bytes);
    if (notesfile::firstUnstorableField(notes) == notesfile::Field::None)
        fuzz::require(
            notesfile::parse(notesfile::format(notes)) == notes, "notes read back as written", bytes);
    const QString path = fuzz::scratchFile("notes.txt");
    fuzz::writeFile(path, bytes);
    const Result<CaseNotes> loaded = notesfile::load(path);
    fuzz::require(loaded.ok() && loaded.value() == notes, "the file reads as its bytes", bytes);
    return 0;
}
