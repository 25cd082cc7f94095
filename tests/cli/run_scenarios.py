#!/usr/bin/env python3
r"""Runs command-line scenario files (*.t), in the form of cram tests, with UTF-8 shown as text.

In a .t file, a line "  $ command" (continued by "  > more") runs in bash; the indented lines
after it are its output, stdout and stderr together, then "[N]" when it exits N. An expected
line ending in " (re)" is a regular expression, one ending in " (glob)" a pattern with * and ?;
control characters of the output are escaped (\r, \xHH) in a line ending in " (esc)".
Other lines are comments. All commands of a file run in one shell, in a fresh folder, with
TMPDIR a folder of its own; a command that runs "exit 80" skips the rest (data not here).

usage: run_scenarios.py [--update] FILE.t...   (--update writes the actual output back)
"""
import difflib
import fnmatch
import os
import re
import subprocess
import sys
import tempfile

SALT = 'QUILLON-SCENARIO-END'
SKIP = 80


def parse(lines):
    """The file as a list of items: ('text', line) or ('command', [lines], [expected])."""
    items = []
    for line in lines:
        if line.startswith('  $ '):
            items.append(['command', [line[4:]], []])
        elif line.startswith('  > ') and items and items[-1][0] == 'command' and not items[-1][2]:
            items[-1][1].append(line[4:])
        elif line.startswith('  ') and items and items[-1][0] == 'command':
            items[-1][2].append(line[2:])
        else:
            items.append(['text', line])
    return items


CONTROL = re.compile('[\x00-\x08\x0b-\x1f\x7f]')


def shown(line):
    """A line of output as the file holds it: control characters escaped, then " (esc)"."""
    if not CONTROL.search(line):
        return line
    line = line.replace('\\', '\\\\').replace('\r', '\\r')
    return CONTROL.sub(lambda m: f'\\x{ord(m.group()):02x}', line) + ' (esc)'


def matches(expected, actual):
    if expected == actual:
        return True
    if expected.endswith(' (re)'):
        return re.fullmatch(expected[:-5], actual) is not None
    if expected.endswith(' (glob)'):
        return fnmatch.fnmatchcase(actual, expected[:-7])
    return False


def run(commands, folder, testdir):
    script = ''.join('\n'.join(lines) + f'\necho "\n{SALT} {i} $?"\n'
                     for i, lines in enumerate(commands))
    env = dict(os.environ, TESTDIR=testdir, TMPDIR=os.path.join(folder, '.tmp'), LC_ALL='C.UTF-8')
    os.mkdir(env['TMPDIR'])
    with open(os.path.join(folder, '.script'), 'w', encoding='utf-8') as out:
        out.write(script)
    done = subprocess.run(['bash', '--noprofile', '--norc', '.script'], cwd=folder, env=env,
                          stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                          stderr=subprocess.STDOUT)
    text = done.stdout.decode('utf-8', 'backslashreplace')
    # [output 0, status 0, output 1, status 1, ..., what came after the last command ended]
    parts = re.split(rf'\n{SALT} \d+ (\d+)\n', text)
    results = []
    for output, status in zip(parts[0:-1:2], parts[1::2]):
        lines = output.split('\n') if output else []
        if lines and lines[-1] == '':
            lines.pop()
        elif lines:
            lines[-1] += ' (no-eol)'
        results.append([shown(line) for line in lines] + ([f'[{status}]'] if status != '0' else []))
    return results, done.returncode, parts[-1]


def render(items, outputs):
    """The file's lines, with `outputs` (a list of lines for each command) under the commands."""
    lines, outputs = [], iter(outputs)
    for item in items:
        if item[0] == 'text':
            lines.append(item[1])
        else:
            lines += (['  $ ' + item[1][0]] + ['  > ' + line for line in item[1][1:]] +
                      ['  ' + line for line in next(outputs)])
    return lines


def check(path, update):
    with open(path, encoding='utf-8') as source:
        items = parse(source.read().rstrip('\n').split('\n'))
    commands = [item for item in items if item[0] == 'command']
    with tempfile.TemporaryDirectory(prefix='quillon-scenario-') as folder:
        results, code, rest = run([c[1] for c in commands], folder,
                                  os.path.dirname(os.path.abspath(path)))
    ran = len(results)
    skipped = code == SKIP and ran < len(commands)
    if skipped:  # the commands that ran are checked; the rest, from the one that skipped, not
        items, commands = items[:items.index(commands[ran])], commands[:ran]
    elif ran < len(commands):
        results.append(rest.rstrip('\n').split('\n') + [f'[{code}] (the shell ended here)'])
    results += [[] for _ in range(len(commands) - len(results))]
    got = [c[2] if len(c[2]) == len(r) and all(map(matches, c[2], r)) else r
           for c, r in zip(commands, results)]
    expected, actual = render(items, [c[2] for c in commands]), render(items, got)
    if actual == expected:
        print(f'{path}: {len(commands)} command(s) passed' +
              (f', then skipped: {rest.strip()}' if skipped else ''))
        return SKIP if skipped else 0
    if update:
        with open(path, 'w', encoding='utf-8') as out:
            out.write('\n'.join(actual) + '\n')
        print(f'{path}: updated')
        return 0
    sys.stdout.writelines(difflib.unified_diff([l + '\n' for l in expected],
                                               [l + '\n' for l in actual], path, 'actual'))
    return 1


def main(arguments):
    update = '--update' in arguments
    codes = [check(path, update) for path in arguments if path != '--update']
    if any(code == 1 for code in codes):
        return 1
    return 77 if codes and all(code == SKIP for code in codes) else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
