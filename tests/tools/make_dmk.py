#!/usr/bin/env python3
"""Writes a DMK track image of a plain sector image, as a disk reader that
keeps whole tracks would: MFM (double density), every track laid out as a
formatter lays it (gaps, sync bytes, ID and data fields with their CRCs),
the pointer table at its start.

    make_dmk.py IMAGE OUT.dmk --heads 2 --sectors 9 [--drop C/H/R] [--bad-data C/H/R]
                 [--bad-id C/H/R] [--fm] [--extra-tracks N]

--drop leaves a sector out of its track, --bad-data spoils its data CRC,
--bad-id its ID CRC; --fm writes the track in FM, each byte stored twice.
"""
import argparse
import struct
import sys

TRACK_LENGTH = 0x1900  # room for 9 MFM sectors of 512 bytes, or 5 FM ones stored twice
TABLE = 128


def crc16(data, crc=0xFFFF):
    for b in data:
        crc ^= b << 8
        for _ in range(8):
            crc = ((crc << 1) ^ 0x1021) & 0xFFFF if crc & 0x8000 else (crc << 1) & 0xFFFF
    return crc


def chs(text):
    c, h, r = (int(x) for x in text.split("/"))
    return (c, h, r)


def track_bytes(cyl, head, sectors, image, args):
    """The track's bytes after the pointer table, and the offsets of its ID marks."""
    fm = args.fm
    body = bytearray()
    marks = []
    size_code = 2

    def put(data):
        for b in data:
            body.extend([b, b] if fm else [b])

    def where():
        return TABLE + len(body)

    put([0xFF if fm else 0x4E] * (16 if fm else 80))
    for r in range(1, sectors + 1):
        if (cyl, head, r) in args.drop:
            continue
        put([0x00] * (6 if fm else 12))
        sync = [] if fm else [0xA1] * 3
        put(sync)
        marks.append(where())
        idf = [0xFE, cyl, head, r, size_code]
        crc = crc16(sync + idf)
        if (cyl, head, r) in args.bad_id:
            crc ^= 0x0101
        put(idf + [crc >> 8, crc & 0xFF])
        put([0xFF if fm else 0x4E] * (11 if fm else 22))
        put([0x00] * (6 if fm else 12))
        put(sync)
        index = (cyl * args.heads + head) * sectors + (r - 1)
        data = list(image[index * 512:(index + 1) * 512])
        field = [0xFB] + data
        crc = crc16(sync + field)
        if (cyl, head, r) in args.bad_data:
            crc ^= 0x8000
        put(field + [crc >> 8, crc & 0xFF])
        put([0xFF if fm else 0x4E] * (27 if fm else 54))
    if TABLE + len(body) > TRACK_LENGTH:
        sys.exit("make_dmk: the sectors do not fit in a track")
    body.extend([0xFF if fm else 0x4E] * (TRACK_LENGTH - TABLE - len(body)))
    return body, marks


def main():
    p = argparse.ArgumentParser()
    p.add_argument("image")
    p.add_argument("out")
    p.add_argument("--heads", type=int, default=2)
    p.add_argument("--sectors", type=int, default=9)
    p.add_argument("--drop", type=chs, action="append", default=[])
    p.add_argument("--bad-data", type=chs, action="append", default=[])
    p.add_argument("--bad-id", type=chs, action="append", default=[])
    p.add_argument("--fm", action="store_true")
    p.add_argument("--extra-tracks", type=int, default=0)
    args = p.parse_args()
    image = open(args.image, "rb").read()
    per_cyl = args.heads * args.sectors * 512
    if len(image) % per_cyl:
        sys.exit("make_dmk: the image is no whole number of cylinders")
    cylinders = len(image) // per_cyl
    flags = 0x10 if args.heads == 1 else 0
    out = bytearray(struct.pack("<BBHB7sI", 0, cylinders + args.extra_tracks, TRACK_LENGTH, flags, bytes(7), 0))
    for cyl in range(cylinders + args.extra_tracks):
        for head in range(args.heads):
            if cyl < cylinders:
                body, marks = track_bytes(cyl, head, args.sectors, image, args)
            else:  # unformatted
                body, marks = bytearray([0x4E] * (TRACK_LENGTH - TABLE)), []
            table = bytearray(TABLE)
            for i, m in enumerate(marks):
                struct.pack_into("<H", table, 2 * i, m | (0 if args.fm else 0x8000))
            out += table + body
    open(args.out, "wb").write(out)


if __name__ == "__main__":
    main()
