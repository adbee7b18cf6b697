#!/usr/bin/env python3
"""Writes the small seed corpora of the fuzz targets (fuzz/corpus/<target>/)."""
import os, struct

here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")

def put(target, name, data):
    if isinstance(data, str):
        data = data.encode("cp1251")
    with open(os.path.join(here, target, name), "wb") as f:
        f.write(data)

def bmp(width, height, bits, palette_entries=None, cut=0, offset=None):
    row = ((width * bits + 31) // 32) * 4
    entries = palette_entries if palette_entries is not None else (0 if bits == 24 else 1 << bits)
    pal = b"".join(bytes([i * 255 // max(entries - 1, 1)] * 3 + [0]) for i in range(entries))
    pixels = bytes((y * 7 + x) & 255 for y in range(height) for x in range(row))
    off = 54 + len(pal) if offset is None else offset
    head = struct.pack("<2sIHHIIiiHHIIiiII", b"BM", off + len(pixels), 0, 0, off, 40, width, height,
                       1, bits, 0, len(pixels), 23622, 23622, entries if bits != 24 else 0, 0)
    data = head + pal + pixels
    return data[:len(data) - cut] if cut else data

# bitmap: two option bytes, then the file.
put("bitmap", "1bit", b"\x00\x80" + bmp(100, 100, 1))
put("bitmap", "8bit-tone", b"\x72\x60" + bmp(100, 100, 8))
put("bitmap", "8bit-short-palette", b"\x08\x80" + bmp(101, 100, 8, palette_entries=4))
put("bitmap", "8bit-two-rows-short", b"\x00\x80" + bmp(100, 100, 8, cut=200))
put("bitmap", "24bit-weighted", b"\xc9\x20" + bmp(100, 100, 24))
put("bitmap", "24bit-to1", b"\x0c\x80" + bmp(100, 100, 24, cut=1))
huge = bytearray(bmp(100, 100, 8)[:54])
struct.pack_into("<ii", huge, 18, 40000, 50000)
put("bitmap", "huge-declared", b"\x00\x80" + bytes(huge))

# settings
put("settings", "complete",
    "OpenPath=\"\"\r\nSavePath=\"Scans \"2024\"\"\r\nLeft=120\r\nTop=-30\r\nTextPrinterMargin=\"5\"\r\n"
    "L4CX=\"10.5\"\r\nChLand=1\r\nCopyWidth=\"200\"\r\nTextAddFileName=\"-Печать 'A'\"\r\n"
    "TextProgName=\"x SavePath=\"/etc\" Left=5\"\r\nTextScale=\"95.5\"\r\nMask=\"0A0A\"\r\n"
    "A3C=\"1,0,4960,7016,a,b,c,d\"\r\n"
    "<DefTextSet>X, 0, 0, 10, 10, FN=\"Times New Roman\" FS=40 TAB=15 JL=50</DefTextSet>\r\nShowPic=\"1\"\r\n")
put("settings", "hand-written", "openpath='/tmp' Left=5 Top=7\nTextDirt = \"16\"\nChSortTime=2\nMask=\"12345\"\n")

# runner: short programs without "/" or "\".
put("runner", "text", "New, L\r\nX, 1, 1, 10, 10, FS=20 <TEXT>Строка\r\nвторая</TEXT>\r\n")
put("runner", "marks", "New, F=A5\r\nMask, 1, 2, 3, 2.5, 0A0A\r\nErase, 1, 2, 3, 4\r\nDenseThin, 0, 0, 5, 5, W=3, Plus=1, H=1 V=0\r\n"
    "DBC, 1, 2.5, 3, 2, BW=-10 Contrast=1.3 White=1\r\nU, 1, 1, 1, 1\r\n")
put("runner", "open-copy", "Open, SRC=\"page.bmp\" To1bit=1 BW=120\r\nCopy, 0, 0, 60, 60, 4, 4, 100, 0, Mask=0A0A\r\nA3, 1\r\nConvertTo1bit, BW=120\r\n")
put("runner", "lf-only", "New\nOver\nZoom\nReload, R\nPrint, 2\n")

# text
for name, t in [("numbers", "  -12.5e3 , 99999999.96, 1e400, .5"), ("keys", " SRC=\"a b\" BW=-20 FS=12 X='q' TEXT=1"),
                ("fields", "a,,b , c,\r\n\r\rd\n"), ("cyrillic", "Тетрадь №5 «Б» Ёё\x98")]:
    put("text", name, t.encode("cp1251") if "\x98" not in t else t.replace("\x98", "").encode("cp1251") + b"\x98")

# copy records
for i, line in enumerate(["Copy, 0, 0, 202, 289, 4, 4, 100, 0", "Copy, 0, 0, 289, 202, 4, 4, 100, 0, Land=1",
                          "Copy, 0, 0, 60, 60, 4, 4, 100, 0, 3, 2, 70, 65, MultiCopy=1",
                          "Copy, -3.5, 7, 100, 120, 10, 12, 95, -40, 150, 160, ScaleX=90 2in1=1 Mid=\"5\" 2origin=1 2of2=1 BackRotat=1 Paste=1"]):
    put("copy_record", "record%d" % i, line)
