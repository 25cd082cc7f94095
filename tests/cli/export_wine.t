quillon-cli.exe export under Wine: the example .reg file imported by Wine's regedit of the
bitness under test, then read back from the live registry, whose keys and values are sorted.

  $ export WINEPREFIX=${WINEPREFIX:-$PWD/prefix} WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  $ trap 'wineserver -k 2>/dev/null' EXIT
  $ run() { "$QUILLON_WINE" "$CLI" "$@" 2>&1 | tr -d '\r'; return "${PIPESTATUS[0]}"; }
  $ key='HKEY_CURRENT_USER\Software\Test'
  $ w() { "$QUILLON_WINE" winepath -w "$1" 2>/dev/null; }
  $ "$QUILLON_WINE" regedit /s "$(w "$SRC/examples/test-key.reg")" 2>/dev/null
  $ run export "$key" "$(w a.reg)"
  $ cmp a.reg "$SRC/tests/data/test-key.wine-sorted.expected.reg"
  $ run export "$key\\Sub" "$(w a.reg)" --append
  $ grep -c REGEDIT4 a.reg
  1
  $ tail -c 60 a.reg | grep -c 'hex(2):25,54,25,0'
  1
  $ cp a.reg before.reg
  $ run export 'HKEY_CURRENT_USER\Software\Missing' "$(w a.reg)"
  quillon-cli: clé introuvable ou illisible : HKEY_CURRENT_USER\Software\Missing
  [1]
  $ cmp a.reg before.reg
  $ run export "$key" "$(w no/such/c.reg)"
  quillon-cli: impossible d'écrire « Z:*\quillon-scenario-*\no\such\c.reg » : le fichier ou son dossier n'existe pas (glob)
  [1]
  $ run --reg x.reg export "$key" d.reg
  quillon-cli: Impossible de lire « x.reg » : le fichier ou son dossier n'existe pas
  [1]
  $ ls
  a.reg
  before.reg
