#!/usr/bin/env python3
"""Every key and value of a REGEDIT4 file is found, same type, same bytes, in another.

usage: reg_compare.py EXPECTED ACTUAL [KEY_PREFIX]   (only the keys of EXPECTED below KEY_PREFIX)
Strings are compared as Wine's regedit imports them: a string type stored without its
terminating zero gets one.
"""
import sys

from hivexregedit_crosscheck import STRING_TYPES, parse


def as_imported(value):
    vtype, data = value
    if vtype in STRING_TYPES and isinstance(data, str) and data and not data.endswith('\0'):
        return (vtype, data + '\0')
    return value


def main():
    read = lambda path: parse(open(path, 'rb').read().decode('cp1252', 'surrogateescape'),
                              lambda raw: raw.decode('cp1252', 'surrogateescape'))
    expected, actual = read(sys.argv[1]), read(sys.argv[2])
    prefix = sys.argv[3].upper() if len(sys.argv) > 3 else ''
    checks = failures = 0
    for key, values in expected.items():
        if not key.startswith(prefix):
            continue
        checks += 1
        if key not in actual:
            failures += 1
            print(f'FAIL: missing key {key}')
            continue
        for name, value in values.items():
            found = actual[key].get(name)
            if found is None or as_imported(value) != as_imported(found):
                failures += 1
                print(f'FAIL: {key} "{name}": {value} != {actual[key].get(name)}')
    print(f'{checks - failures} passed, {failures} failed')
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
