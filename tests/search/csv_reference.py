#!/usr/bin/python3
# Independent reader of a search result image (header and records as stored),
# writing the comma-separated file the export should give.
# Usage: csv_reference.py IMAGE DATEORDER OUT
import re
import struct
import sys

MONTHS = ["Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"]


def text(b, limit=None):
    b = b.split(b"\0", 1)[0]
    return b[:limit] if limit else b


def leading_number(b):
    digits = re.match(rb"[0-9]*", b).group()
    return int(digits) if digits else 0


def formula(b):
    return b'="' + b.replace(b'"', b'""') + b'"'


def field(b, specials=b",\r\n"):
    if any(c in specials for c in b):
        return b'"' + b.replace(b'"', b'""') + b'"'
    return b


def plain(b):
    return field(b, b'",\r\n')


def main():
    data = open(sys.argv[1], "rb").read()
    order = int(sys.argv[2])
    count = struct.unpack_from("<i", data, 8)[0]
    out = [b"Test No., Date, Time, Test Result, Unit, ID, Name, Mode\n"]
    for i in range(count - 1, -1, -1):
        r = data[196 + 276 * i: 196 + 276 * (i + 1)]
        no = struct.unpack_from("<i", r, 0)[0]
        yy, mm, dd = text(r[132:137], 4), leading_number(r[137:140]), text(r[140:143], 2)
        mon = MONTHS[mm - 1].encode() if 1 <= mm <= 12 else b""
        if order == 0:
            date = yy + b"-" + mon + b"-" + dd
        elif order == 1:
            date = mon + b"-" + dd + b"-" + yy
        else:
            date = dd + b"-" + mon + b"-" + yy
        time = text(r[143:146], 2) + b":" + text(r[146:149], 2) + b":" + text(r[149:152], 2)
        unit = {b"B": b"%BAC", b"G": b"g/L", b"M": b"mg/L"}.get(text(r[249:266]), b"-")
        mode = b"Normal" if r[248] == 0x30 else b"-"
        fields = [str(no).encode(), field(formula(date)), plain(time), field(formula(text(r[200:212]))),
                  unit, field(formula(text(r[4:68]))), field(formula(text(r[68:132]))), mode]
        out.append(b",".join(fields) + b"\n")
    open(sys.argv[3], "wb").write(b"".join(out))


main()
