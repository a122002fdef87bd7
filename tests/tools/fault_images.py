#!/usr/bin/env python3
"""Small damaged images, one per fault a check finds, each named after it.

usage: fault_images.py BASE OUTDIR

BASE is a sound image with one 512-byte sector per cluster holding ONE.BIN
and TWO.BIN (three clusters each), "Long File Name.txt" and the folder DIR
with X.TXT, its last two clusters free. Each fault is BASE with a few bytes changed; the
faults about the bad-sector list also get IMAGE.der.
"""
import os
import struct
import sys


class Image:
    def __init__(self, data):
        self.b = bytearray(data)
        b = self.b
        self.bps = struct.unpack_from('<H', b, 11)[0]
        self.spc = b[13]
        self.res = struct.unpack_from('<H', b, 14)[0]
        self.nfat = b[16]
        self.nroot = struct.unpack_from('<H', b, 17)[0]
        self.total = struct.unpack_from('<H', b, 19)[0] or struct.unpack_from('<I', b, 32)[0]
        self.spf = struct.unpack_from('<H', b, 22)[0]
        self.root = (self.res + self.nfat * self.spf) * self.bps
        self.data = self.root + self.nroot * 32
        self.csize = self.spc * self.bps
        self.last = (self.total - self.data // self.bps) // self.spc + 1
        # The FAT's width, as every reader takes it from the cluster count.
        self.fat16 = self.last - 1 >= 4085
        self.bad = 0xFFF7 if self.fat16 else 0xFF7
        self.reserved = 0xFFF0 if self.fat16 else 0xFF0
        self.beyond = 0xFF00 if self.fat16 else 0xF00

    def fat(self, n, copy=0):
        base = (self.res + copy * self.spf) * self.bps
        if self.fat16:
            return struct.unpack_from('<H', self.b, base + 2 * n)[0]
        v = struct.unpack_from('<H', self.b, base + n * 3 // 2)[0]
        return v >> 4 if n & 1 else v & 0xFFF

    def set_fat(self, n, value, copies=None):
        for copy in (range(self.nfat) if copies is None else copies):
            base = (self.res + copy * self.spf) * self.bps
            if self.fat16:
                struct.pack_into('<H', self.b, base + 2 * n, value)
                continue
            p = base + n * 3 // 2
            v = struct.unpack_from('<H', self.b, p)[0]
            v = (v & 0x000F) | (value << 4) if n & 1 else (v & 0xF000) | value
            struct.pack_into('<H', self.b, p, v)

    def cluster(self, n):
        return self.data + (n - 2) * self.csize

    def slots(self, first):
        if first == 0:
            return [self.root + 32 * i for i in range(self.nroot)]
        out, c = [], first
        while 2 <= c < self.reserved:
            out += [self.cluster(c) + 32 * i for i in range(self.csize // 32)]
            c = self.fat(c)
        return out

    def find(self, path):
        first, entry = 0, None
        for part in path.upper().split('/'):
            base, _, ext = part.partition('.')
            name = base.ljust(8).encode() + ext.ljust(3).encode()
            entry = next(s for s in self.slots(first) if self.b[s:s + 11] == name)
            first = self.first(entry)
        return entry

    def first(self, entry):
        return struct.unpack_from('<H', self.b, entry + 26)[0]

    def set_first(self, entry, cluster):
        struct.pack_into('<H', self.b, entry + 26, cluster)

    def set_size(self, entry, size):
        struct.pack_into('<I', self.b, entry + 28, size)

    def chain(self, entry):
        out, c = [], self.first(entry)
        while 2 <= c < self.reserved:
            out.append(c)
            c = self.fat(c)
        return out

    def free_slot(self, first=0):
        return next(s for s in self.slots(first) if self.b[s] in (0, 0xE5))

    def sector_of(self, cluster):
        return self.cluster(cluster) // self.bps


def der(img, sectors):
    """A bad-sector list marking `sectors`."""
    bitmap = bytearray((img.total + 7) // 8)
    for s in sectors:
        bitmap[s // 8] |= 0x80 >> (s % 8)
    return b'DiskImage errors\r\n\x1a\x00' + bytes(bitmap)


def fat_copies_differ(img):
    # Copy 1 lost ONE.BIN's chain; copy 2, which agrees with the folders, kept it.
    for c in img.chain(img.find('ONE.BIN')):
        img.set_fat(c, 0, copies=[0])


def lost_chain(img):
    img.set_fat(img.last - 1, img.last)
    img.set_fat(img.last, 0xFFFF if img.fat16 else 0xFFF)


def cross_link(img):
    one, two = img.chain(img.find('ONE.BIN')), img.chain(img.find('TWO.BIN'))
    img.set_fat(two[0], one[1])  # TWO.BIN's tail is now ONE.BIN's; its own tail is lost


def shared_folder(img):
    d = img.find('DIR')
    s = img.free_slot()
    img.b[s:s + 32] = img.b[d:d + 32]
    img.b[s:s + 11] = b'DIR2       '


def break_link(value):  # value: a FAT value, or what an image gives for its width
    def fault(img):
        one = img.chain(img.find('ONE.BIN'))
        img.set_fat(one[1], value(img) if callable(value) else value)
    return fault


def chain_loop(img):
    one = img.chain(img.find('ONE.BIN'))
    img.set_fat(one[2], one[0])


def size_longer_than_chain(img):
    img.set_size(img.find('ONE.BIN'), 5000)


def chain_longer_than_size(img):
    img.set_size(img.find('ONE.BIN'), 100)


def dot_entries(img):
    d = img.first(img.find('DIR'))
    struct.pack_into('<H', img.b, img.cluster(d) + 32 + 26, 5)


def invalid_folder(img):
    img.set_first(img.find('DIR'), img.last)  # zeroed and free: no folder there


def bad_name(img):
    e = img.find('ONE.BIN')
    img.b[e + 1] = ord('?')
    img.b[e + 2] = 0x01


def bad_attributes(img):
    img.b[img.find('TWO.BIN') + 11] = 0x38  # directory and volume label at once


def stray_long_name(img):
    for s in img.slots(0):
        if img.b[s + 11] == 0x0F and img.b[s] != 0xE5:
            img.b[s + 13] ^= 0x55  # a wrong checksum
            return
    raise SystemExit('BASE has no long name')


def bad_sector_not_in_fat(img):
    return der(img, [img.sector_of(img.last)])


def bad_cluster_not_listed(img):
    img.set_fat(img.last - 1, img.bad)
    img.set_fat(img.last, img.bad)
    return der(img, [img.sector_of(img.last - 1)])  # the list knows one of the two


FAULTS = {
    'fat-copies-differ': fat_copies_differ,
    'lost-chain': lost_chain,
    'cross-link': cross_link,
    'shared-folder': shared_folder,
    'chain-into-free': break_link(0x000),
    'chain-into-reserved': break_link(lambda img: img.reserved),
    'chain-into-bad': break_link(lambda img: img.bad),
    'chain-out-of-range': break_link(lambda img: img.beyond),
    'chain-loop': chain_loop,
    'size-longer-than-chain': size_longer_than_chain,
    'chain-longer-than-size': chain_longer_than_size,
    'dot-entries': dot_entries,
    'invalid-folder': invalid_folder,
    'bad-name': bad_name,
    'bad-attributes': bad_attributes,
    'stray-long-name': stray_long_name,
    'bad-sector-not-in-fat': bad_sector_not_in_fat,
    'bad-cluster-not-listed': bad_cluster_not_listed,
}


def main():
    base, outdir = sys.argv[1], sys.argv[2]
    data = open(base, 'rb').read()
    for name, fault in FAULTS.items():
        img = Image(data)
        extra = fault(img)
        open(os.path.join(outdir, name + '.dsk'), 'wb').write(img.b)
        if extra is not None:
            open(os.path.join(outdir, name + '.der'), 'wb').write(extra)


if __name__ == '__main__':
    main()
