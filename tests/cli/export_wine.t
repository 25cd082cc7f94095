quillon-cli.exe export under Wine: the example .reg file imported by Wine's regedit of the
bitness under test, then read back from the live registry, whose keys and values are sorted.

  $ export WINEPREFIX=${WINEPREFIX:-$PWD/prefix} WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  $ trap 'wineserver -k 2>/dev/null' EXIT
  $ run() { "$QUILLON_WINE" "$CLI" "$@" 2>&1 | tr -d '\r'; return "${PIPESTATUS[0]}"; }
  $ key='HKEY_CURRENT_USER\Software\Test'
  $ "$QUILLON_WINE" regedit /s "$(winepath -w "$SRC/examples/test-key.reg" 2>/dev/null)" 2>/dev/null
  $ run export "$key" "$(winepath -w a.reg 2>/dev/null)"
  $ cmp a.reg "$SRC/tests/data/test-key.wine-sorted.expected.reg"
  $ run export "$key\\Sub" "$(winepath -w a.reg 2>/dev/null)" --append
  $ grep -c REGEDIT4 a.reg
  $ tail -c 60 a.reg | grep -c 'hex(2):25,54,25,0'
  $ cp a.reg before.reg
  $ run export 'HKEY_CURRENT_USER\Software\Missing' "$(winepath -w a.reg 2>/dev/null)"
  $ cmp a.reg before.reg
  $ run export "$key" "$(winepath -w no/such/c.reg 2>/dev/null)"
  $ run --reg x.reg export "$key" d.reg
  $ ls
