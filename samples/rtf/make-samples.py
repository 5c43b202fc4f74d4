#!/usr/bin/env python3
"""Writes the RTF samples of this folder: a formatted letter with two small
pictures (a PNG and a device-independent bitmap, both drawn here) and a page
in Cyrillic, Greek and Japanese. Run it from anywhere; it writes beside itself."""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
SIZE = 48


def pixel(x, y):
    """A blue disc with a yellow ring on white: the sample's logo."""
    dx, dy = x - SIZE / 2 + 0.5, y - SIZE / 2 + 0.5
    r = (dx * dx + dy * dy) ** 0.5
    if r < 14:
        return (30, 80, 200)
    if r < 20:
        return (240, 200, 40)
    return (255, 255, 255)


def png():
    rows = b"".join(b"\0" + bytes(c for x in range(SIZE) for c in pixel(x, y)) for y in range(SIZE))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 2, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b"")


def dib():
    """24 bits a pixel, bottom-up rows, a stripe pattern."""
    width, height = 32, 16
    stride = (width * 3 + 3) // 4 * 4
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, stride * height, 2835, 2835, 0, 0)
    rows = b""
    for y in range(height):
        row = b""
        for x in range(width):
            r, g, b = (200, 40, 40) if (x // 4 + y // 4) % 2 == 0 else (250, 250, 250)
            row += bytes((b, g, r))
        rows += row + b"\0" * (stride - len(row))
    return info + rows


def hex_escapes(text, codec):
    """Characters beyond ASCII as hex escapes of their bytes in the code page."""
    out = ""
    for ch in text:
        encoded = ch.encode(codec)
        out += ch if len(encoded) == 1 and encoded[0] < 0x80 else "".join("\\'%02x" % byte for byte in encoded)
    return out


def unicode_escapes(text):
    out = ""
    for ch in text:
        code = ord(ch)
        out += "\\u%d\\'3f" % (code - 65536 if code > 32767 else code) if code > 127 else ch
    return out


def letter():
    picture = png()
    bitmap = dib()
    parts = [
        b"{\\rtf1\\ansi\\ansicpg1252\\deff0",
        b"{\\fonttbl{\\f0\\froman\\fcharset0\\fprq2 Liberation Serif;}{\\f1\\fswiss\\fcharset0\\fprq2 Liberation Sans;}"
        b"{\\f2\\fmodern\\fcharset0\\fprq1 Liberation Mono;}{\\f3\\fnil\\fcharset2 Symbol;}}\r\n",
        b"{\\colortbl;\\red0\\green0\\blue0;\\red30\\green80\\blue200;\\red200\\green40\\blue40;\\red255\\green255\\blue0;}\r\n",
        b"{\\info{\\title A letter}{\\author Tallowin}}\\paperw12240\\paperh15840\\margl1440\\margr1440\\margt1440\\margb1440\r\n",
        b"{\\header \\pard\\qr\\plain\\f1\\fs16 This header never prints\\par}\r\n",
        b"\\pard\\qc\\plain\\f1\\fs36\\b\\cf2 Brackwater Tide Tables\\par\r\n",
        b"\\pard\\qc\\plain\\f1\\fs20\\i Harbour Office, Quay Street\\par\r\n",
        b"\\plain\\f1\\fs24\\par\r\n",
        b"{\\pict\\pngblip\\picw48\\pich48\\picwgoal720\\pichgoal720\\bin" + str(len(picture)).encode() + b" " + picture + b"}\r\n",
        b"\\pard\\qr\\plain\\f0\\fs24 6 December 2026\\par\\par\r\n",
        b"\\pard\\ql\\plain\\f0\\fs24 Dear Ms Fairweather,\\par\\par\r\n",
        b"\\pard\\qj\\fi360\\plain\\f0\\fs24 Thank you for your letter of last week. As you asked, we enclose the "
        b"tide tables for the coming season, printed on the new press: the times are in {\\b local time}, the "
        b"heights in {\\i metres above chart datum}, and the {\\ul spring tides} are marked in {\\cf3 red}. The "
        b"old tables, which gave heights in feet, are {\\strike withdrawn} no longer valid. Caf\\'e9 prices on the "
        b"quay rose to 2,50 \\'80 \\endash  we are told this is {\\cb4 not our doing}.\\par\\par\r\n",
        b"\\pard\\ql\\li720\\fi-360\\tx720\\plain\\f3\\fs24 \\'b7\\tab\\plain\\f0\\fs24 High water at the bar comes forty minutes "
        b"before the quay.\\par\r\n",
        b"\\pard\\ql\\li720\\fi-360\\tx720\\plain\\f3\\fs24 \\'b7\\tab\\plain\\f0\\fs24 The lock opens two hours either side of high water.\\par\\par\r\n",
        b"\\pard\\ql\\tx2880\\tx5040\\plain\\f2\\fs20\\b Date\\tab High water\\tab Height\\par\r\n",
        b"\\pard\\ql\\tx2880\\tx5040\\plain\\f2\\fs20 1 January\\tab 06:12\\tab 4.8 m\\par\r\n",
        b"\\pard\\ql\\tx2880\\tx5040\\plain\\f2\\fs20 2 January\\tab 06:58\\tab 4.6 m\\par\\par\r\n",
        b"\\pard\\ql\\plain\\f0\\fs24 The chart below shows the buoyage of the approach.{\\footnote\\pard\\plain\\f0\\fs16 "
        b"Footnotes never print.}\\par\\par\r\n",
        b"\\pard\\ql{\\pict\\dibitmap0\\wbmbitspixel24\\wbmplanes1\\wbmwidthbytes96\\picw32\\pich16\\picwgoal1200\\pichgoal600\\bin"
        + str(len(bitmap)).encode() + b" " + bitmap + b"}\\par\r\n",
        b"\\pard\\ql\\plain\\f0\\fs24 Yours sincerely,\\par\\par\r\n",
        b"\\pard\\ql\\plain\\f0\\fs24\\i Harbour Master\\par\r\n",
        b"}\r\n",
    ]
    return b"".join(parts)


def multilingual():
    russian = "Съешь же ещё этих мягких французских булок, да выпей чаю."
    greek = "Ξεσκεπάζω την ψυχοφθόρα βδελυγμία."
    japanese = "いろはにほへと ちりぬるを"
    body = [
        "{\\rtf1\\ansi\\ansicpg1252\\deff0",
        "{\\fonttbl{\\f0\\fswiss\\fcharset0 Liberation Sans;}{\\f1\\fswiss\\fcharset204 Liberation Sans;}"
        "{\\f2\\fswiss\\fcharset161 Liberation Sans;}{\\f3\\fnil\\fcharset128 MS Mincho;}}\r\n",
        "\\pard\\qc\\plain\\f0\\fs32\\b Three scripts on one page\\par\\par\r\n",
        "\\pard\\ql\\plain\\f0\\fs24\\b Cyrillic, code page 1251:\\par\r\n",
        "\\pard\\ql\\li360\\plain\\f1\\fs24 " + hex_escapes(russian, "cp1251") + "\\par\r\n",
        "\\pard\\ql\\plain\\f0\\fs24\\b Cyrillic, Unicode:\\par\r\n",
        "\\pard\\ql\\li360\\plain\\f0\\fs24 " + unicode_escapes("Москва, Санкт-Петербург, Новосибирск") + "\\par\\par\r\n",
        "\\pard\\ql\\plain\\f0\\fs24\\b Greek, code page 1253:\\par\r\n",
        "\\pard\\ql\\li360\\plain\\f2\\fs24 " + hex_escapes(greek, "cp1253") + "\\par\r\n",
        "\\pard\\ql\\plain\\f0\\fs24\\b Greek, Unicode:\\par\r\n",
        "\\pard\\ql\\li360\\plain\\f0\\fs24 " + unicode_escapes("Αθήνα, Θεσσαλονίκη, Πάτρα") + "\\par\\par\r\n",
        "\\pard\\ql\\plain\\f0\\fs24\\b Japanese, Shift-JIS:\\par\r\n",
        "\\pard\\ql\\li360\\plain\\f3\\fs24 " + hex_escapes(japanese, "shift_jis") + "\\par\r\n",
        "\\pard\\ql\\plain\\f0\\fs24\\b Japanese, Unicode:\\par\r\n",
        "\\pard\\ql\\li360\\plain\\f3\\fs24 " + unicode_escapes("日本語の文章、東京と大阪。") + "\\par\\par\r\n",
        "\\pard\\qr\\plain\\f0\\fs20\\i Caf\\'e9, na\\'efve, \\'a9 2026\\par\r\n",
        "}\r\n",
    ]
    return "".join(body).encode("ascii")


for name, content in (("letter.rtf", letter()), ("multilingual.rtf", multilingual())):
    with open(os.path.join(HERE, name), "wb") as out:
        out.write(content)
