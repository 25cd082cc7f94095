#!/usr/bin/env python3
"""Gives a file of a FAT image a long name that no tool would write: the first characters of
its long name, FROM (at most 13, all in the name's first entry), become TO, which may hold "/"
or "..". The long name's checksum covers the short name only, so the entry stays valid.

usage: name_in_fat.py IMAGE FROM TO
"""
import sys

# Where the characters of one long-name entry lie: 5, then 6, then 2 UTF-16 characters.
PARTS = [(1, 5), (14, 6), (28, 2)]


def main(image, old, new):
    assert len(old) == len(new) <= 13
    data = bytearray(open(image, 'rb').read())
    first = old[:5].encode('utf-16-le')
    at = data.find(first)
    assert at > 0 and data.find(first, at + 1) < 0, 'the name must be found once'
    entry = at - PARTS[0][0]
    chars = iter(new)
    for offset, count in PARTS:
        for i in range(count):
            c = next(chars, None)
            if c is None:
                break
            data[entry + offset + 2 * i:entry + offset + 2 * i + 2] = c.encode('utf-16-le')
    open(image, 'wb').write(data)


main(*sys.argv[1:])
