quillon-cli export from end to end, on the key of the example .reg file.

  $ key='HKEY_CURRENT_USER\Software\Test'
  $ store=(--reg "$SRC/examples/test-key.reg")
  $ "$CLI" "${store[@]}" export "$key" a.reg
  $ cmp a.reg "$SRC/tests/data/test-key.expected.reg"

--append adds one key without a second header:

  $ "$CLI" "${store[@]}" export "$key\\Sub" a.reg --append
  $ grep -c REGEDIT4 a.reg
  1
  $ tail -c 60 a.reg | grep -c 'hex(2):25,54,25,0'
  1

--append to a file that does not exist yet, or is empty, starts it with the header, so that it
reads back as REGEDIT4:

  $ "$CLI" "${store[@]}" export "$key" new.reg --append && cmp new.reg "$SRC/tests/data/test-key.expected.reg"
  $ : >empty.reg && "$CLI" "${store[@]}" export "$key" empty.reg --append && cmp empty.reg new.reg
  $ "$CLI" --reg new.reg export "$key" again.reg && cmp again.reg new.reg && rm new.reg empty.reg again.reg

A missing key leaves the file alone; an unknown root; a missing folder; nothing left behind:

  $ cp a.reg before.reg
  $ "$CLI" "${store[@]}" export 'HKEY_CURRENT_USER\Software\Missing' a.reg
  quillon-cli: clé introuvable ou illisible : HKEY_CURRENT_USER\Software\Missing
  [1]
  $ cmp a.reg before.reg
  $ "$CLI" "${store[@]}" export 'HKEY_NOWHERE\Software' b.reg
  quillon-cli: la clé « HKEY_NOWHERE\Software » ne commence pas par une racine connue (HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS...)
  [1]
  $ "$CLI" "${store[@]}" export "$key" no/such/c.reg
  quillon-cli: impossible d'écrire « no/such/c.reg » : le fichier ou son dossier n'existe pas
  [1]
  $ ls
  a.reg
  before.reg

Usage errors:

  $ "$CLI" "${store[@]}" export "$key"
  quillon-cli: usage : export CLÉ FICHIER [--append]
  Aide : quillon-cli --help
  [2]
  $ "$CLI" "${store[@]}" frobnicate
  quillon-cli: commande inconnue : frobnicate
  Aide : quillon-cli --help
  [2]

A bad line of a .reg is named, and passed over as Windows passes over it; /dev/stdout is
written into, not replaced by a file:

  $ printf 'REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n"x"=hex:zz\r\n' >bad.reg
  $ "$CLI" --reg bad.reg export 'HKEY_CURRENT_USER\A' e.reg
  quillon-cli: avertissement : bad.reg, ligne 3 : ignorée, comme Windows l'ignore (octets hexadécimaux incorrects) : « "x"=hex:zz »
  $ "$CLI" "${store[@]}" export "$key" /dev/stdout 2>/dev/null | cmp - "$SRC/tests/data/test-key.expected.reg"

A full disk names its reason; a regedit file in UTF-16 takes no REGEDIT4 text at its end:

  $ "$CLI" "${store[@]}" export "$key" /dev/full
  quillon-cli: impossible d'écrire « /dev/full » : disque plein
  [1]
  $ printf 'Windows Registry Editor Version 5.00\r\n' | iconv -t UTF-16 >unicode.reg; cp unicode.reg unicode-before.reg
  $ "$CLI" "${store[@]}" export "$key" unicode.reg --append
  quillon-cli: impossible d'écrire « unicode.reg » : fichier en UTF-16, où du texte REGEDIT4 ne peut pas être ajouté
  [1]
  $ cmp unicode.reg unicode-before.reg

Two sources on one key are refused:

  $ "$CLI" --load "X=$SAMPLE/WINDOWS/system32/config/default" --load "x=$SAMPLE/WINDOWS/system32/config/default" status
  quillon-cli: deux sources pour la même clé « HKEY_LOCAL_MACHINE\x » : chaque clé ne peut venir que d'une source
  [1]
  $ "$CLI" --hive "HKEY_NOWHERE\X=$SAMPLE/WINDOWS/system32/config/default" status
  quillon-cli: la clé « HKEY_NOWHERE\X » ne commence pas par une racine connue (HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKEY_USERS...)
  [1]
