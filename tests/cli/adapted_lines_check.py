#!/usr/bin/env python3
"""The adapted file differs from the backup only where it must, line by line:
the first occurrence of the old identity in a line, the "Store Root" line, the user-group key
lines under HKEY_USERS, and the address-book pair (blanked, or moved under the new identity).

usage: adapted_lines_check.py BACKUP ADAPTED OLD_ID NEW_ID OLD_SID NEW_SID STORE_ROOT_LINE [WAB_PATH]
"""
import sys

backup_path, adapted_path, old_id, new_id, old_sid, new_sid, store_line = sys.argv[1:8]
wab = sys.argv[8] if len(sys.argv) > 8 else None
read = lambda p: open(p, 'rb').read().decode('cp1252').split('\r\n')
backup, adapted = read(backup_path), read(adapted_path)
wab_header = '\\Software\\Microsoft\\WAB\\WAB4\\Wab File Name]'
kinds = {'identity': 0, 'store root': 0, 'group': 0, 'address book': 0}
failures = 0
if len(backup) != len(adapted):
    print(f'FAIL: {len(backup)} lines became {len(adapted)}')
    sys.exit(1)
for n, (old, new) in enumerate(zip(backup, adapted)):
    if n > 0 and wab_header in backup[n - 1] and wab_header not in old:
        expected, kind = (' ' if wab is None else '@="' + wab.replace('\\', '\\\\') + '"'), 'address book'
    elif wab_header in old:
        expected = ' ' if wab is None else f'[HKEY_CURRENT_USER\\Identities\\{new_id}{wab_header}'
        kind = 'address book'
    elif 'Store Root' in old:
        expected, kind = store_line, 'store root'
    elif old.startswith('[HKEY_USERS\\' + old_sid + '-1003'):
        expected, kind = old.replace(old_sid, new_sid, 1), 'group'
    elif old_id in old:
        expected, kind = old.replace(old_id, new_id, 1), 'identity'
    else:
        expected, kind = old, None
    if new != expected:
        failures += 1
        print(f'FAIL: line {n + 1}: {new[:100]!r} expected {expected[:100]!r}')
    elif kind and new != old:
        kinds[kind] += 1
checks = len(backup) + len(kinds)
for kind, count in kinds.items():
    if count == 0:
        failures += 1
        print(f'FAIL: no {kind} line changed')
print(f'changed lines: {kinds}')
print(f'{checks - failures} passed, {failures} failed')
sys.exit(1 if failures else 0)
