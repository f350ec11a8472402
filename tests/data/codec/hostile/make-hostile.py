#!/usr/bin/env python3
# Writes the hostile pictures of this folder: tiny files whose headers claim
# pictures far larger than their data can hold. Run it here to remake them.
import struct
import zlib


def gif_screen():
    # 32768 x 32768 logical screen, one 1 x 1 image: 35 bytes
    out = b"GIF89a" + struct.pack("<HHBBB", 32768, 32768, 0x80, 0, 0)
    out += b"\x00\x00\x00\xff\xff\xff"                      # 2-colour table
    out += b"," + struct.pack("<HHHHB", 0, 0, 1, 1, 0)       # image descriptor
    out += b"\x02\x02\x44\x01\x00"                           # LZW: clear, 0, end
    return out + b";"


def bmp_rle8():
    # 16384 x 16384 RLE8, 7 rows of runs and the end-of-picture mark
    width = height = 16384
    runs = b""
    for _ in range(7):
        runs += b"\xff\x01" * (width // 255) + bytes([width % 255, 1]) + b"\x00\x00"
    runs += b"\x00\x01"
    table = b"\x00\x00\x00\x00\xff\xff\xff\x00"
    pixel_offset = 14 + 40 + len(table)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 1, len(runs), 2835, 2835, 2, 0)
    head = b"BM" + struct.pack("<IHHI", pixel_offset + len(runs), 0, 0, pixel_offset)
    return head + info + table + runs


def pcx_rle():
    # 16000 x 16000, 8 bits, a few RLE lines and the 256-colour palette
    w = h = 16000
    head = struct.pack("<BBBBHHHHHH", 0x0A, 5, 1, 8, 0, 0, w - 1, h - 1, 72, 72)
    head += bytes(48) + b"\x00" + b"\x01" + struct.pack("<HH", w, 1)
    head += bytes(128 - len(head))
    line = b"\xff\x07" * (w // 63) + bytes([0xC0 | (w % 63), 7])
    return head + line * 2 + b"\x0c" + bytes(range(256)) * 3


def tga_rle():
    # 16384 x 16384 true colour RLE (type 10), a few 128-pixel packets
    head = struct.pack("<BBBHHBHHHHBB", 0, 0, 10, 0, 0, 0, 0, 0, 16384, 16384, 24, 0x20)
    return head + b"\xff\x10\x20\x30" * 32


def tiff(width, height, extra_tags, data):
    # a little-endian 8-bit grey TIFF; data follows the directory
    tags = [(256, 4, width), (257, 4, height), (258, 3, 8), (259, 3, 1), (262, 3, 1)] + extra_tags
    tags.sort()
    ifd_size = 2 + 12 * len(tags) + 4
    data_at = 8 + ifd_size
    out = b"II*\x00" + struct.pack("<I", 8) + struct.pack("<H", len(tags))
    for tag, kind, value in tags:
        value = data_at if value == "data" else value
        packed = struct.pack("<HI", value, 0)[:4] if kind == 3 else struct.pack("<I", value)
        out += struct.pack("<HHI", tag, kind, 1) + packed
    return out + struct.pack("<I", 0) + data


def tiff_strips():
    # 16384 x 16384 grey in one strip of 64 bytes
    return tiff(16384, 16384, [(273, 4, "data"), (277, 3, 1), (278, 4, 16384), (279, 4, 64)], b"\x80" * 64)


def tiff_tile():
    # a 16 x 16 picture in one 16384 x 16384 tile of 64 bytes
    return tiff(16, 16, [(277, 3, 1), (322, 4, 16384), (323, 4, 16384), (324, 4, "data"), (325, 4, 64)],
                b"\x80" * 64)


def png_chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))


def png_ihdr():
    # 16384 x 16384 RGB, the first rows of data only
    ihdr = struct.pack(">IIBBBBB", 16384, 16384, 8, 2, 0, 0, 0)
    rows = zlib.compress(bytes(1 + 3 * 16384) * 4, 9)
    return b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", ihdr) + png_chunk(b"IDAT", rows) + png_chunk(b"IEND", b"")


def ico_png():
    # an icon whose one entry is a PNG of 16384 x 16384 (RGBA, a few rows)
    ihdr = struct.pack(">IIBBBBB", 16384, 16384, 8, 6, 0, 0, 0)
    rows = zlib.compress(bytes(1 + 4 * 16384) * 4, 9)
    png = b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", ihdr) + png_chunk(b"IDAT", rows) + png_chunk(b"IEND", b"")
    entry = struct.pack("<BBBBHHII", 0, 0, 0, 0, 1, 32, len(png), 6 + 16)
    return struct.pack("<HHH", 0, 1, 1) + entry + png


def jpeg_sof(rose):
    # the rose's JPEG with its frame header saying 16000 x 16000
    data = bytearray(rose)
    sof = data.index(b"\xff\xc0")
    struct.pack_into(">HH", data, sof + 5, 16000, 16000)
    return bytes(data)


files = {
    "gif-screen-32768.gif": gif_screen(),
    "bmp-rle8-16384.bmp": bmp_rle8(),
    "pcx-rle-16000.pcx": pcx_rle(),
    "tga-rle-16384.tga": tga_rle(),
    "tiff-strip-16384.tif": tiff_strips(),
    "tiff-tile-16384.tif": tiff_tile(),
    "png-ihdr-16384.png": png_ihdr(),
    "ico-png-16384.ico": ico_png(),
    "jpeg-sof-16000.jpg": jpeg_sof(open("../rose-baseline.jpg", "rb").read()),
}
for name, data in files.items():
    with open(name, "wb") as f:
        f.write(data)
    print(f"{name}: {len(data)} bytes")
