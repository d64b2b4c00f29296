#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Lunora developers
"""Writes the seed corpora of the fuzz targets (fuzz/corpus/<target>/). The seeds are
committed; run this only to change them.

The targets split their input with libFuzzer's FuzzedDataProvider: strings are taken
from the front (a backslash followed by another character ends one, two backslashes
stand for one), numbers and choices from the back. Each seed is laid out that way, so
that it starts the fuzzer from a realistic file and a meaningful operation.
"""

from pathlib import Path

HERE = Path(__file__).resolve().parent


class Seed:
    def __init__(self):
        self.front = bytearray()
        self.back = bytearray()  # in the order the target takes them

    def string(self, data):
        self.front += data.replace(b"\\", b"\\\\") + b"\\x"
        return self

    def byte(self, value):
        self.back.append(value & 0xFF)
        return self

    def data(self):
        return bytes(self.front) + bytes(reversed(self.back))


def cp(text):
    return text.encode("cp1252")


# Names the INI target picks from its own list (index into its table).
KNOWN = ["Main", "main", "MAIN", "Type", "Status", "Customer", "User", "PassWD", "Index", "RealName", "xID",
         "xName", "Rad1", "År", "åR", "", "a", "A", "a=b"]


def ini_seed(file, operations, pad=False):
    """operations: tuples ("read"|"write", section, key[, value])."""
    s = Seed()
    s.byte(1 if pad else 0)
    s.string(file)
    if pad:
        s.byte(64)
    s.byte(len(operations) - 1)
    for op in operations:
        for name in op[1:3]:
            if name in KNOWN:
                s.byte(1).byte(KNOWN.index(name))
            else:
                s.byte(0).string(cp(name))
        if op[0] == "read":
            s.byte(1)
        else:
            s.byte(0).string(cp(op[3]))
    return s.data()


INI = {
    "user-file": ini_seed(cp("[Main]\r\nRealName=Anna Administratör\r\nIndex=0\r\nPassWD=demo\r\nUser=admin\r\n"),
                          [("write", "Main", "PassWD", "nytt"), ("read", "MAIN", "passwd")]),
    "new-file": ini_seed(b"", [("write", "Main", "User", "kalle"), ("write", "Main", "PassWD", "x"),
                               ("write", "Main", "Index", "9"), ("write", "Main", "RealName", "Kalle")]),
    "case-data": ini_seed(cp("[Main]\r\nxSign=Anna\r\nxCode={A-B}\r\nxRegDate=2026-01-05\r\nxID=260105 412\r\n\r\n"
                             "[Type]\r\nxPrio=Brådskande\r\n\r\n[Status]\r\nxStat=Nytt ärende\r\n\r\n"
                             "[Customer]\r\nxCPhone=0701\r\nxCName=Åsa\r\nxCID=1001\r\n"),
                          [("write", "Customer", "xName", "Örjan"), ("write", "Type", "xPrio", "Normal")]),
    "company": ini_seed(cp("[Main]\r\nRad1=Ekbackens Cykel\r\nRad2=Storgatan 12\r\n"),
                        [("read", "main", "Rad1"), ("write", "Övrigt", "Rad1", "x=y")]),
    "lf-only": ini_seed(b"[Main]\nUser=a\nPassWD=b\n", [("write", "Main", "PassWD", "c")]),
    "lone-cr": ini_seed(b"x=1\r[Main]\rUser=a\r", [("write", "Main", "User", "b")]),
    "no-final-line-end": ini_seed(b"[A]\r\nk=old", [("write", "A", "k", "new")]),
    "blank-runs": ini_seed(b"\r\n\r\n[A]\r\na=1\r\n\r\n\r\n\r\n[B]\r\nb=2\r\n\r\n\r\n",
                           [("write", "B", "b", "3\t")]),
    "bracket-value": ini_seed(b"[Main]\r\nUser=a[b\r\nIndex=9\r\n", [("write", "Main", "Index", "0")]),
    "odd-headers": ini_seed(b"[Main] \r\nk=1\r\n [Main]\r\n k=2\r\nk =3\r\n[main]", [("write", "MAIN", "k", "4")]),
    "duplicates": ini_seed(b"[A]\r\nk=1\r\nk=2\r\n\r\n[a]\r\nk=3\r\n", [("write", "a", "K", "9"), ("read", "A", "k")]),
    "near-limit": ini_seed(b"[Main]\r\nUser=a\r\n", [("write", "Main", "User", "b"), ("write", "Ny", "k", "v")],
                          pad=True),
}


def record_seed(file, fields, append_choice=0):
    s = Seed()
    s.string(file)
    for value in fields:
        s.string(cp(value))
        s.byte(1)  # keep the field as it is
    s.byte(append_choice)
    return s.data()


ENTRY = ["260105 412", "2026-01-05", "1001", "Åsa Lindqvist", "0701234567", "Normal", "Nytt ärende",
         "{0F1E2D3C-4B5A-4978-8695-A4B3C2D1E0F9}", "Anna"]
PLAIN = cp(",".join(ENTRY) + "\r\n")
QUOTED = cp(",".join('"' + v + '"' for v in ENTRY) + "\r\n")

REGISTER = {
    "mixed": record_seed(QUOTED + PLAIN + QUOTED, ENTRY, 0),
    "empty": record_seed(b"", ENTRY, 1),
    "no-final-line-end": record_seed(QUOTED + PLAIN[:-2], ENTRY, 0),
    "trailing-blank-lines": record_seed(PLAIN + b"\r\n  \r\n\t\r\n", ENTRY, 1),
    "comma-in-name": record_seed(cp("1,2,3,Berg, Anna,5,6,7,8,9\r\n") + PLAIN, ["a,b"] + ENTRY[1:], 0),
    "odd-line-ends": record_seed(PLAIN[:-2] + b"\n" + QUOTED[:-2] + b"\r" + b"\"open,quote\r\n", ENTRY, 1),
    "quote-inside": record_seed(cp('Kalle "Kula" Berg,x\r\n'), [" lead", "", "\t", "", "", "", "", "", ""], 0),
}

ROW = ["17", "Skruv, rostfri", "2", "st", "12,50", "25,00"]
ARTICLE_LINE = cp(",".join('"' + v + '"' for v in ROW) + "\r\n")

ARTICLES = {
    "rows": record_seed(ARTICLE_LINE * 3, ROW),
    "empty": record_seed(b"", ROW),
    "no-final-line-end": record_seed(ARTICLE_LINE + ARTICLE_LINE[:-2], ROW),
    "trailing-blank-lines": record_seed(ARTICLE_LINE + b"\r\n\r\n   \r\n", ROW),
    "short-and-long-rows": record_seed(b'"1","2"\r\n"1","2","3","4","5","6","7"\r\n1, 2 ,3\r\n', ["", "", "", "", "", ""]),
}

NOTES = {
    "written": cp("Enhet: Telefon X\r\nSerienummer: 123-45\r\nSkärmen är sprucken.\r\nLaddar inte.\r\n"),
    "hand-edited": cp("Enhet:Dator\nSerienummer:\rrad ett\r\n\r\nrad tre"),
    "text-only": cp("bara text\r\n"),
    "empty": b"",
}

HISTORY_LINE = cp("2026-03-01 10:15:00\tanna\tRad tillagd: 17 Skruv 2 st 12,50\r\n")
HISTORY = {
    "lines": Seed().string(HISTORY_LINE * 2).data() + HISTORY_LINE,
    "odd-lines": Seed().string(cp("utan tabb\r\n2026-03-01 10:15:00\tanna\r\n\t\t\r\n")).data() + b"x\ty\tz",
}


def cards_seed(files):
    seed = Seed()
    seed.byte(len(files))
    for name, data in files:
        seed.string(name).string(data)
    return seed.data()


CARD = cp("[Main]\r\nxID=K-17\r\nxName=Anna Åkesson\r\nxTel=08-123\r\n")
CUSTOMERS = {
    "cards": cards_seed([(b"08-123.ini", CARD), (b"CompanyInfo.ini", cp("[Main]\r\nRad1=Verkstan\r\n"))]),
    "reserved-and-empty": cards_seed([(b"{A}_eData.ini", CARD), (b"070.ini", b""), (b"x.txt", CARD)]),
}


def zip_seed(entries):
    import io
    import zipfile

    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w", zipfile.ZIP_DEFLATED) as archive:
        for name, data, mode in entries:
            info = zipfile.ZipInfo(name, (2026, 3, 14, 9, 5, 0))
            info.create_system = 3
            info.external_attr = mode << 16
            info.compress_type = zipfile.ZIP_DEFLATED
            archive.writestr(info, data)
    return buffer.getvalue()


REGISTER_LINE = cp('"1","2026-03-01","K","Anna","08","Normal","Avslutad","{C}","s"\r\n')
ARCHIVES = {
    "backup": zip_seed([("Lib/", b"", 0o40755), ("Lib/arenden.txt", REGISTER_LINE * 2, 0o100644),
                        ("Lib/User/", b"", 0o40700), ("Lib/User/anna.ini", b"[Main]\r\nPassWD=x\r\n", 0o104777),
                        ("Errors/", b"", 0o40755), ("Errors/Error.txt", b"fel\r\n", 0o100000)]),
    "files-only": zip_seed([("Lib/arenden.txt", REGISTER_LINE, 0o100644), ("Lib/Logo/logo.bmp", b"BM" + bytes(64), 0o100644)]),
    "fifo-and-link": zip_seed([("Lib/arenden.txt", REGISTER_LINE, 0o10644), ("Lib/l.ini", b"/etc/passwd", 0o120777)]),
    "unsafe-paths": zip_seed([("Lib//arenden.txt", b"x", 0o100644), ("Lib/../x", b"x", 0o100644), ("Lib\\y", b"y", 0o100644)]),
}


def main():
    for target, seeds in (("fuzz_ini", INI), ("fuzz_register", REGISTER), ("fuzz_articles", ARTICLES),
                          ("fuzz_notes", NOTES), ("fuzz_history", HISTORY), ("fuzz_customers", CUSTOMERS),
                          ("fuzz_archive", ARCHIVES)):
        folder = HERE / "corpus" / target
        folder.mkdir(parents=True, exist_ok=True)
        for old in folder.iterdir():
            old.unlink()
        for name, data in seeds.items():
            (folder / name).write_bytes(data)
        print(f"{target}: {len(seeds)} seeds")


if __name__ == "__main__":
    main()
