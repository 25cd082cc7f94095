The backup of the sample installation, two stores and one registry: Wine's registry read live by
the Windows build ($CLI under $QUILLON_WINE), and its files read offline by the Linux build
($NATIVE_CLI), give the same file; and merged into a fresh prefix by Wine's regedit, the backup
gives back every key and value. Then, adapted for the second sample installation (another
identity, user and store folder) and merged into its Wine registry, the new identity holds the
old identity's settings.

  $ export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  $ trap 'for p in one two three; do WINEPREFIX="$PWD/$p" wineserver -k 2>/dev/null; done' EXIT
  $ w() { "$QUILLON_WINE" winepath -w "$1" 2>/dev/null; }
  $ import() { for part in ntuser default software; do "$QUILLON_WINE" regedit /s "$(w "$SRC/examples/$1/$part.reg")" 2>/dev/null || echo "regedit $part failed"; done; wineserver -w; }
  $ export WINEPREFIX=$PWD/one
  $ import sample-xp
  $ "$QUILLON_WINE" "$CLI" save "$(w live.reg)" >/dev/null 2>&1; wineserver -w
  $ "$NATIVE_CLI" --wine-prefix "$WINEPREFIX" save offline.reg 2>/dev/null
  $ cmp live.reg offline.reg

  $ export WINEPREFIX=$PWD/two
  $ source "$TESTDIR/wine_merge.sh"
  $ merged_gives_back "$NATIVE_CLI" offline.reg . 2>/dev/null && tail -n 1 compare
  49 passed, 0 failed

  $ export WINEPREFIX=$PWD/three
  $ import sample-xp-2
  $ "$NATIVE_CLI" --wine-prefix "$WINEPREFIX" adapt offline.reg adapted.reg --folder 'D:\Courrier OE' >/dev/null 2>&1
  $ "$QUILLON_WINE" regedit /s "$(w adapted.reg)" 2>/dev/null; wineserver -w
  $ new='HKEY_CURRENT_USER\Identities\{8C1E6A42-5B7D-4F3A-A1C9-2D4E6F8A0B1C}\Software\Microsoft\Outlook Express\5.0'
  $ "$NATIVE_CLI" --wine-prefix "$WINEPREFIX" export "$new" new-identity.reg
  $ python3 "$TESTDIR/reg_compare.py" adapted.reg new-identity.reg "$new" | tail -n 1
  32 passed, 0 failed
  $ grep -c 'Factures \\"EDF\\"' new-identity.reg
  1
