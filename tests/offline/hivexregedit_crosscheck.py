#!/usr/bin/env python3
"""Every key of a hive, as hivexregedit --export writes it and as quillon-cli writes it, holds
the same values: names, types and bytes (string types compared as text, since hivexregedit
gives the UTF-16 that the hive holds and Quillon the ANSI that the "A" functions give).

usage: hivexregedit_crosscheck.py CLI ROOT HIVE [HIVE...]   (ROOT: the key each hive is put at)
"""
import re
import subprocess
import sys
import tempfile

STRING_TYPES = {1, 2, 7}


def unescape(quoted):
    return re.sub(r'\\(.)', r'\1', quoted[1:-1])


def parse(text, string_bytes_to_text):
    """{key: {name: (type, data)}} from .reg text (continuation lines joined)."""
    keys, key = {}, None
    text = re.sub(r'\\\r?\n\s*', '', text)
    for line in text.splitlines():
        if line.startswith('['):
            key = line[1:-1].rstrip('\\').upper()
            keys[key] = {}
            continue
        m = re.match(r'^(@|"(?:[^"\\]|\\.)*")=(.*)$', line)
        if not m:
            continue
        name = '' if m.group(1) == '@' else unescape(m.group(1))
        data = m.group(2)
        if data.startswith('"'):
            value = (1, unescape(data))
        elif data.startswith('dword:'):
            value = (4, bytes.fromhex(data[6:])[::-1])
        else:
            t = re.match(r'^hex(?:\(([0-9a-fA-F]+)\))?:(.*)$', data)
            vtype = int(t.group(1), 16) if t.group(1) else 3
            raw = bytes(int(b, 16) for b in t.group(2).split(',') if b.strip())
            value = (vtype, string_bytes_to_text(raw) if vtype in STRING_TYPES else raw)
        if value[0] == 1 and isinstance(value[1], str) and data.startswith('"'):
            value = (1, value[1] + '\0')
        keys[key][name] = value
    return keys


def main():
    cli, root, hives = sys.argv[1], sys.argv[2], sys.argv[3:]
    failures = checks = 0
    for hive in hives:
        peer = subprocess.run(['hivexregedit', '--export', '--prefix', root, hive, '\\'],
                              capture_output=True, check=True).stdout.decode('utf-8', errors='replace')
        with tempfile.NamedTemporaryFile(suffix='.reg') as out:
            subprocess.run([cli, '--hive', f'{root}={hive}', 'export', root, out.name], check=True)
            ours = open(out.name, 'rb').read().decode('cp1252')
        theirs = parse(peer, lambda raw: raw.decode('utf-16-le', errors='replace'))
        mine = parse(ours, lambda raw: raw.decode('cp1252', errors='replace'))
        for key in sorted(set(theirs) | set(mine)):
            checks += 1
            if theirs.get(key) != mine.get(key):
                failures += 1
                print(f'FAIL: {hive}: {key}\n  hivexregedit: {theirs.get(key)}\n  quillon: {mine.get(key)}')
    print(f'{checks - failures} passed, {failures} failed')
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
