#!/usr/bin/env python3
"""Makes a snapshot disk over a parent disk: the child holds only what differs between two raw
images of the same disk, BEFORE (what the parent holds) and AFTER (what the child must read).

usage: make_snapshot.py FORMAT PARENT BEFORE AFTER CHILD
  qcow2, vmdk  through qemu-img and qemu-io, which write snapshot layers of these formats;
  vhd          a differencing VHD over a dynamic VHD, as Virtual PC writes them (QEMU writes none):
               the parent is named by its file name and by a Windows path from another machine,
               as Windows 7's XP Mode child names "Windows XP Mode base.vhd";
  vhdx         a Hyper-V differencing disk over a dynamic VHDX of 1 MiB blocks: an empty VHDX
               made by qemu-img, given a parent locator and the changed blocks;
  vdi          a VirtualBox differencing disk over a VDI, matched by the parent's identifier.
Written from the formats' published descriptions; every number big-endian in VHD, little-endian
in VHDX and VDI.
"""
import os
import struct
import subprocess
import sys
import uuid

SECTOR = 512


def differing(before, after, unit):
    """The indexes of the UNIT-sized pieces whose bytes differ."""
    return [i for i in range(0, len(after) // unit)
            if before[i * unit:(i + 1) * unit] != after[i * unit:(i + 1) * unit]]


def qemu_layer(fmt, parent, before, after, child):
    subprocess.run(['qemu-img', 'create', '-q', '-f', fmt, '-b', os.path.basename(parent),
                    '-F', fmt, child], check=True, cwd=os.path.dirname(child) or '.')
    piece = 64 * 1024
    try:
        for index in differing(before, after, piece):
            with open(child + '.piece', 'wb') as out:
                out.write(after[index * piece:(index + 1) * piece])
            subprocess.run(['qemu-io', '-f', fmt, '-c',
                            f'write -q -s {child}.piece {index * piece} {piece}', child],
                           check=True, stdout=subprocess.DEVNULL)
    finally:
        os.remove(child + '.piece')


def vhd_checksum(data):
    return (~sum(data)) & 0xFFFFFFFF


def vhd_layer(parent, before, after, child):
    block = 2 * 1024 * 1024
    with open(parent, 'rb') as f:
        footer = bytearray(f.read(SECTOR))  # a dynamic VHD keeps a copy of its footer first
    assert footer[:8] == b'conectix'
    size = struct.unpack_from('>Q', footer, 48)[0]
    parent_id = bytes(footer[68:84])
    entries = (size + block - 1) // block
    table_at = 3 * SECTOR
    table_size = (entries * 4 + SECTOR - 1) // SECTOR * SECTOR
    base_name = os.path.basename(parent)
    relative = ('.\\' + base_name).encode('utf-16-le')
    absolute = ('C:\\Program Files\\Windows XP Mode\\' + base_name).encode('utf-16-le')
    locators_at = table_at + table_size
    data_at = locators_at + 2 * SECTOR

    new_footer = bytearray(footer)
    struct.pack_into('>Q', new_footer, 16, SECTOR)       # the dynamic header's place
    struct.pack_into('>I', new_footer, 60, 4)            # differencing
    new_footer[68:84] = uuid.uuid4().bytes
    struct.pack_into('>I', new_footer, 64, 0)
    struct.pack_into('>I', new_footer, 64, vhd_checksum(new_footer))

    header = bytearray(2 * SECTOR)
    header[:8] = b'cxsparse'
    struct.pack_into('>QQIII', header, 8, 0xFFFFFFFFFFFFFFFF, table_at, 0x00010000, entries, block)
    header[40:56] = parent_id
    name = base_name.encode('utf-16-be')
    header[64:64 + len(name)] = name
    for slot, (code, text, at) in enumerate(((b'W2ru', relative, locators_at),
                                            (b'W2ku', absolute, locators_at + SECTOR))):
        struct.pack_into('>4sIIIQ', header, 576 + slot * 24, code, 1, len(text), 0, at)
    struct.pack_into('>I', header, 36, vhd_checksum(header))

    table = bytearray(b'\xff' * table_size)
    blocks = bytearray()
    sectors_per_block = block // SECTOR
    bitmap_size = sectors_per_block // 8
    for index in range(entries):
        start = index * block
        changed = [s for s in range(sectors_per_block)
                   if after[start + s * SECTOR:start + (s + 1) * SECTOR]
                   != before[start + s * SECTOR:start + (s + 1) * SECTOR]]
        if not changed:
            continue
        struct.pack_into('>I', table, index * 4, (data_at + len(blocks)) // SECTOR)
        bitmap = bytearray(bitmap_size)
        data = bytearray(block)
        for s in changed:
            bitmap[s // 8] |= 0x80 >> (s % 8)
            data[s * SECTOR:(s + 1) * SECTOR] = after[start + s * SECTOR:start + (s + 1) * SECTOR]
        blocks += bitmap + data
    with open(child, 'wb') as out:
        out.write(new_footer + header + table)
        out.write(relative.ljust(SECTOR, b'\0') + absolute.ljust(SECTOR, b'\0'))
        out.write(blocks + new_footer)


VHDX_BLOCK = 1 << 20
VHDX_PARENT_LOCATOR_ITEM = uuid.UUID('a8d35f2d-b30b-454d-abf7-d3d84834ab0c')
VHDX_FILE_PARAMETERS_ITEM = uuid.UUID('caa16737-fa36-4d43-b3b6-33f0aa44e76b')
VHDX_LOCATOR_TYPE = uuid.UUID('b04aefb7-d19e-4a81-b789-25b8e9445913')
VHDX_METADATA_REGION = uuid.UUID('8b7ca206-4790-4b9a-b8fe-575f050f886e')
VHDX_BAT_REGION = uuid.UUID('2dc27766-f623-4200-9d64-115e9bfd4a08')


def vhdx_regions(data):
    """{region GUID: file offset} from the region table."""
    count = struct.unpack_from('<I', data, 0x30008)[0]
    return {uuid.UUID(bytes_le=bytes(data[0x30010 + 32 * i:0x30020 + 32 * i])):
            struct.unpack_from('<Q', data, 0x30020 + 32 * i)[0] for i in range(count)}


def vhdx_data_write_guid(data):
    """The data-write identifier of the current header (the higher sequence number)."""
    current = max((0x10000, 0x20000), key=lambda at: struct.unpack_from('<Q', data, at + 8)[0])
    return uuid.UUID(bytes_le=data[current + 32:current + 48])


def vhdx_layer(parent, before, after, child):
    subprocess.run(['qemu-img', 'create', '-q', '-f', 'vhdx', '-o', 'block_size=1M',
                    child, str(len(after))], check=True)
    data = bytearray(open(child, 'rb').read())
    regions = vhdx_regions(data)
    metadata, bat = regions[VHDX_METADATA_REGION], regions[VHDX_BAT_REGION]
    # The file parameters say the disk has a parent; a parent locator item names it.
    count = struct.unpack_from('<H', data, metadata + 10)[0]
    items_end = 0
    for i in range(count):
        entry = metadata + 32 + 32 * i
        item = uuid.UUID(bytes_le=bytes(data[entry:entry + 16]))
        offset, length = struct.unpack_from('<II', data, entry + 16)
        items_end = max(items_end, offset + length)
        if item == VHDX_FILE_PARAMETERS_ITEM:
            struct.pack_into('<I', data, metadata + offset + 4, 2)  # has a parent
    pairs = [('parent_linkage', '{%s}' % vhdx_data_write_guid(open(parent, 'rb').read())),
             ('relative_path', '.\\' + os.path.basename(parent)),
             ('absolute_win32_path', 'C:\\Hyper-V\\' + os.path.basename(parent))]
    header = VHDX_LOCATOR_TYPE.bytes_le + struct.pack('<HH', 0, len(pairs))
    strings = b''
    table = b''
    at = len(header) + 12 * len(pairs)
    for key, value in pairs:
        key_bytes, value_bytes = key.encode('utf-16-le'), value.encode('utf-16-le')
        table += struct.pack('<IIHH', at + len(strings), at + len(strings) + len(key_bytes),
                             len(key_bytes), len(value_bytes))
        strings += key_bytes + value_bytes
    locator = header + table + strings
    locator_at = (items_end + 4095) // 4096 * 4096
    data[metadata + locator_at:metadata + locator_at + len(locator)] = locator
    entry = metadata + 32 + 32 * count
    data[entry:entry + 16] = VHDX_PARENT_LOCATOR_ITEM.bytes_le
    struct.pack_into('<IIII', data, entry + 16, locator_at, len(locator), 4, 0)  # required
    struct.pack_into('<H', data, metadata + 10, count + 1)
    # Each changed block whole in this file ("fully present"); the others read from the parent.
    chunk_ratio = (1 << 23) * SECTOR // VHDX_BLOCK
    data += b'\0' * (-len(data) % VHDX_BLOCK)
    for index in differing(before, after, VHDX_BLOCK):
        entry = bat + 8 * (index + index // chunk_ratio)
        struct.pack_into('<Q', data, entry, (len(data) // VHDX_BLOCK) << 20 | 6)
        data += after[index * VHDX_BLOCK:(index + 1) * VHDX_BLOCK]
    open(child, 'wb').write(data)


def vdi_layer(parent, before, after, child):
    with open(parent, 'rb') as f:
        header = bytearray(f.read(SECTOR))
    assert struct.unpack_from('<I', header, 0x40)[0] == 0xBEDA107F
    disk_size, block, extra, blocks = struct.unpack_from('<QIII', header, 0x170)
    map_at = SECTOR
    data_at = (map_at + blocks * 4 + SECTOR - 1) // SECTOR * SECTOR
    block_map = [0xFFFFFFFF] * blocks
    data = bytearray()
    for index in differing(before, after, block):
        block_map[index] = len(data) // block
        data += after[index * block:(index + 1) * block]
    parent_id = bytes(header[0x188:0x198])
    parent_last_change = bytes(header[0x198:0x1A8])
    struct.pack_into('<I', header, 0x4C, 4)  # differencing
    struct.pack_into('<II', header, 0x154, map_at, data_at)
    struct.pack_into('<I', header, 0x184, len(data) // block)
    header[0x188:0x198] = uuid.uuid4().bytes
    header[0x198:0x1A8] = uuid.uuid4().bytes
    header[0x1A8:0x1B8] = parent_id
    header[0x1B8:0x1C8] = parent_last_change
    with open(child, 'wb') as out:
        out.write(header)
        out.write(struct.pack(f'<{blocks}I', *block_map).ljust(data_at - map_at, b'\0'))
        out.write(data)


def main():
    fmt, parent, before, after, child = sys.argv[1:6]
    before_bytes = open(before, 'rb').read()
    after_bytes = open(after, 'rb').read()
    if fmt in ('qcow2', 'vmdk'):
        qemu_layer(fmt, parent, before_bytes, after_bytes, child)
    elif fmt == 'vhd':
        vhd_layer(parent, before_bytes, after_bytes, child)
    elif fmt == 'vhdx':
        vhdx_layer(parent, before_bytes, after_bytes, child)
    elif fmt == 'vdi':
        vdi_layer(parent, before_bytes, after_bytes, child)
    else:
        sys.exit(f'unknown format {fmt}')


if __name__ == '__main__':
    main()
