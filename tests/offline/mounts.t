Offline sources mounted where Windows would load them: a Windows disk and its profiles, a Wine
prefix with a hive loaded beside it, single hives read as the ANSI functions would read them, and
damaged hives, read as far as they can be, with a warning. The hives are made here from .reg
text by quillon-make-hive.

  $ hive() { mkdir -p "$(dirname "$1")"; { echo REGEDIT4; cat; } >src.reg; "$MAKE_HIVE" "$1" "$2" src.reg; }
  $ show() { tail -n +3 "$1" | iconv -f WINDOWS-1252 -t UTF-8 | tr -d '\r'; }

A Windows XP disk with one profile, whose ProfileImagePath ends in \LUC: names compare without
regard to case. The user's hive is read for HKEY_CURRENT_USER and HKEY_USERS\<SID>.

  $ profile() {
  >     hive "disk/Documents and Settings/$1/NTUSER.DAT" HKEY_CURRENT_USER <<<"[HKEY_CURRENT_USER\\Identities]"$'\n'"\"Last User ID\"=\"$1\""
  >     printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\S-1-5-21-9-%s]\n"ProfileImagePath"=hex(2):25,5c,%s,00\n' \
  >         "$1" "$(printf '%s' "${1^^}" | od -An -tx1 | tr -s ' ' ',' | sed 's/^,//')"
  > }
  $ disk() {
  >     { echo '[HKEY_LOCAL_MACHINE\Software\Microsoft\Internet Explorer]'; echo '"Version"="6.0.2900.5512"'
  >       for name in "$@"; do profile "$name"; done; } >machine.txt
  >     hive disk/windows/System32/CONFIG/SOFTWARE 'HKEY_LOCAL_MACHINE\Software' <machine.txt
  >     hive disk/windows/System32/CONFIG/default 'HKEY_USERS\.DEFAULT' <<<$'[HKEY_USERS\\.DEFAULT\\RemoteAccess]\n"Default"="FAI"'
  >     mkdir -p "disk/Documents and Settings/All Users" && echo x >"disk/Documents and Settings/All Users/NTUSER.DAT"
  > }
  $ disk luc
  $ "$CLI" --windows disk list
  Emplacement	Système	Version OE	Utilisateur	Identité	Répertoire OE
  disk	Windows 2000/XP/2003	6.0.2900.5512	luc	luc	
  $ for key in 'HKEY_CURRENT_USER\Identities' 'HKEY_USERS\S-1-5-21-9-luc\Identities' 'HKEY_USERS\.DEFAULT\RemoteAccess'; do
  >     "$CLI" --windows disk export "$key" out.reg && show out.reg
  > done
  [HKEY_CURRENT_USER\Identities]
  "Last User ID"="luc"
  [HKEY_USERS\S-1-5-21-9-luc\Identities]
  "Last User ID"="luc"
  [HKEY_USERS\.DEFAULT\RemoteAccess]
  "Default"="FAI"

Several profiles need a user name:

  $ rm -r disk; disk Luc Marie
  $ "$CLI" --windows disk status
  quillon-cli: disk : plusieurs profils (Luc, Marie) ; choisissez-en un avec --user NOM
  [1]
  $ "$CLI" --windows disk --user marie export 'HKEY_CURRENT_USER\Identities' out.reg && show out.reg
  [HKEY_CURRENT_USER\Identities]
  "Last User ID"="Marie"
  $ "$CLI" --windows disk --user Paul status
  quillon-cli: disk : pas de profil « Paul » (profils : Luc, Marie)
  [1]

A listing reads each hive of the installation once, however many users share it: SOFTWARE and
DEFAULT are opened as often for five users as for one (where strace is missing, both counts are
empty and the case proves nothing).

  $ opens() { strace -f -qq -e trace=openat -o trace.txt "$CLI" --windows disk list --details >/dev/null 2>&1; grep -ciE '/(software|default)"' trace.txt; }
  $ rm -r disk; disk luc; opens >one.txt
  $ rm -r disk; disk a b c d e; opens >five.txt
  $ "$CLI" --windows disk list | wc -l
  6
  $ cmp one.txt five.txt

A folder without Windows, or without a profile:

  $ mkdir empty; "$CLI" --windows empty status
  quillon-cli: empty : aucune installation de Windows trouvée (WINDOWS/system32/config/software, WINNT/system32/config/software, ou SYSTEM.DAT et USER.DAT de Windows 95/98/Me)
  [1]
  $ hive empty/WINNT/system32/config/software 'HKEY_LOCAL_MACHINE\Software' <<<'[HKEY_LOCAL_MACHINE\Software\A]'
  $ "$CLI" --windows empty status
  quillon-cli: empty : aucun profil d'utilisateur avec NTUSER.DAT sous « Documents and Settings »
  [1]

A Wine prefix mounts its three files; a hive loaded below its HKEY_LOCAL_MACHINE is another
source's key, allowed:

  $ mkdir prefix
  $ printf 'WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n[Software\\\\Microsoft\\\\Internet Explorer] 1\n"Version"="6.0"\n' >prefix/system.reg
  $ printf 'WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n[Identities] 1\n"Last User ID"="{X}"\n' >prefix/user.reg
  $ printf 'WINE REGISTRY Version 2\n\n[RemoteAccess] 1\n"Default"="FAI"\n' >prefix/userdef.reg
  $ hive autre.dat HKEY_CURRENT_USER <<<$'[HKEY_CURRENT_USER\\Identities]\n"Last User ID"="{Y}"'
  $ for key in 'HKEY_LOCAL_MACHINE\Software\Microsoft\Internet Explorer' 'HKEY_CURRENT_USER\Identities' \
  >            'HKEY_USERS\S-1-5-21-0-0-0-1000\Identities' 'HKEY_USERS\.DEFAULT\RemoteAccess' 'HKEY_LOCAL_MACHINE\autre\Identities'; do
  >     "$CLI" --wine-prefix prefix --load AUTRE=autre.dat export "$key" out.reg && show out.reg
  > done
  [HKEY_LOCAL_MACHINE\Software\Microsoft\Internet Explorer]
  "Version"="6.0"
  [HKEY_CURRENT_USER\Identities]
  "Last User ID"="{X}"
  [HKEY_USERS\S-1-5-21-0-0-0-1000\Identities]
  "Last User ID"="{X}"
  [HKEY_USERS\.DEFAULT\RemoteAccess]
  "Default"="FAI"
  [HKEY_LOCAL_MACHINE\autre\Identities]
  "Last User ID"="{Y}"

A hive keeps values in the order they were set, and subkeys sorted; names compare without regard
to case; a string holding bytes after its terminator keeps every byte, so it is written in hex:

  $ printf '[HKEY_CURRENT_USER\\Caf\xe9]\n"Z"="\xe9t\xe9"\n"A"=hex:00,0a,ff\n"trailing"=hex(1):61,62,00,63,64,00\n"n"=dword:0000010a\n@="d"\n[HKEY_CURRENT_USER\\Caf\xe9\\b]\n[HKEY_CURRENT_USER\\Caf\xe9\\A]\n' | hive h.dat HKEY_CURRENT_USER
  $ "$CLI" --hive HKEY_CURRENT_USER=h.dat export 'HKEY_CURRENT_USER\cafÉ' out.reg && show out.reg
  [HKEY_CURRENT_USER\cafÉ]
  "Z"="été"
  "A"=hex(3):0,A,FF
  "trailing"=hex(1):61,62,0,63,64,0
  "n"=dword:0000010A
  @="d"
  
  [HKEY_CURRENT_USER\cafÉ\A]
  
  [HKEY_CURRENT_USER\cafÉ\b]

A .reg file given after a hive changes the hive's keys as read, the file untouched:

  $ printf 'REGEDIT4\n[HKEY_CURRENT_USER\\Caf\xe9\\b]\n"added"="1"\n[-HKEY_CURRENT_USER\\Caf\xe9\\A]\n' >extra.reg
  $ "$CLI" --hive HKEY_CURRENT_USER=h.dat --reg extra.reg export 'HKEY_CURRENT_USER\cafÉ' out.reg && show out.reg | tail -n 4
  @="d"
  
  [HKEY_CURRENT_USER\cafÉ\b]
  "added"="1"

A damaged block header makes libhivex refuse the hive; it is read again in recovery mode:

  $ for key in $(seq 0 39); do printf '[HKEY_CURRENT_USER\\K%s]\n"v"=hex:%s\n' $key "$(printf 'ab,%.0s' $(seq 99))ab"; done | hive good.dat HKEY_CURRENT_USER
  $ python3 -c 'import sys; d = open("good.dat", "rb").read(); i = d.rfind(b"hbin"); assert i > 0x1000; open("damaged.dat", "wb").write(d[:i] + b"xbin" + d[i + 4:])'
  $ "$CLI" --hive HKEY_CURRENT_USER=damaged.dat export 'HKEY_CURRENT_USER\K0' out.reg && grep -c '^"v"' out.reg
  quillon-cli: avertissement : damaged.dat : ruche endommagée, lue autant qu'elle a pu l'être : des clés ou des valeurs peuvent manquer
  1

A hive is read key by key: a cell damaged in a bin that holds none of the keys asked for is
never met, and nothing is said; a command that reads it is told, and the hive is read from then
on as leniently as a hive refused on opening:

  $ python3 -c 'd = bytearray(open("good.dat", "rb").read()); i = d.rfind(b"hbin"); assert i > 0x1000; d[i + 0x20:i + 0x24] = (2).to_bytes(4, "little"); open("cell.dat", "wb").write(d)'
  $ "$CLI" --hive HKEY_CURRENT_USER=cell.dat export 'HKEY_CURRENT_USER\K0' out.reg && grep -c '^"v' out.reg
  1
  $ "$CLI" --hive HKEY_CURRENT_USER=cell.dat export HKEY_CURRENT_USER out.reg; grep -c '^"v' out.reg
  quillon-cli: avertissement : cell.dat : ruche endommagée, lue autant qu'elle a pu l'être : des clés ou des valeurs peuvent manquer
  39

The user's hive of a Windows disk with a damaged key (its subkey list points at a cell that is
not one): one warning, and the same keys at both places, the damaged key without its subkeys:

  $ rm -r disk; disk luc
  $ user="disk/Documents and Settings/luc/NTUSER.DAT"
  $ printf '[HKEY_CURRENT_USER\\Broken]\n"v"="1"\n[HKEY_CURRENT_USER\\Broken\\Below]\n[HKEY_CURRENT_USER\\Fine]\n"w"="2"\n' | hive "$user" HKEY_CURRENT_USER
  $ python3 - "$user" <<'PY'
  > import sys
  > d = bytearray(open(sys.argv[1], 'rb').read())
  > nk = d.find(b'Broken') - 0x50
  > assert d[nk + 4:nk + 6] == b'nk'
  > d[nk + 0x20] = 0x13
  > open(sys.argv[1], 'wb').write(d)
  > PY
  $ "$CLI" --windows disk export HKEY_CURRENT_USER cu.reg && show cu.reg
  quillon-cli: avertissement : disk/Documents and Settings/luc/NTUSER.DAT : 1 clé(s) endommagée(s), lue(s) en partie
  [HKEY_CURRENT_USER]
  
  [HKEY_CURRENT_USER\Broken]
  "v"="1"
  
  [HKEY_CURRENT_USER\Fine]
  "w"="2"
  $ "$CLI" --windows disk export 'HKEY_USERS\S-1-5-21-9-luc' sid.reg 2>/dev/null && show sid.reg
  [HKEY_USERS\S-1-5-21-9-luc]
  
  [HKEY_USERS\S-1-5-21-9-luc\Broken]
  "v"="1"
  
  [HKEY_USERS\S-1-5-21-9-luc\Fine]
  "w"="2"

A key of more values than libhivex reads (110,000), as Windows may write, is read whole and in
its order, and the key beside it answers without it being read:

  $ { echo '[HKEY_CURRENT_USER\Big]'; seq -f '"v%06g"=dword:00000001' 0 119999; printf '[HKEY_CURRENT_USER\Small]\n"w"="1"\n'; } | hive big.dat HKEY_CURRENT_USER
  $ "$CLI" --hive HKEY_CURRENT_USER=big.dat export 'HKEY_CURRENT_USER\Big' out.reg && grep -c '^"v' out.reg && sed -n '4p;$p' out.reg | tr -d '\r'
  120000
  "v000000"=dword:00000001
  "v119999"=dword:00000001
  $ "$CLI" --hive HKEY_CURRENT_USER=big.dat export 'HKEY_CURRENT_USER\Small' out.reg && show out.reg
  [HKEY_CURRENT_USER\Small]
  "w"="1"

A key whose subkey list names more keys than the key says it holds is damaged: its subkeys are
not read, its values are:

  $ printf '[HKEY_CURRENT_USER\\Parent]\n"v"="1"\n[HKEY_CURRENT_USER\\Parent\\A]\n[HKEY_CURRENT_USER\\Parent\\B]\n' | hive good.dat HKEY_CURRENT_USER
  $ python3 -c 'd = bytearray(open("good.dat", "rb").read()); nk = d.find(b"Parent") - 0x50; assert d[nk + 4:nk + 6] == b"nk" and d[nk + 0x18] == 2; d[nk + 0x18] = 1; open("more.dat", "wb").write(d)'
  $ "$CLI" --hive HKEY_CURRENT_USER=more.dat export 'HKEY_CURRENT_USER\Parent' out.reg && show out.reg
  quillon-cli: avertissement : more.dat : 1 clé(s) endommagée(s), lue(s) en partie
  [HKEY_CURRENT_USER\Parent]
  "v"="1"

A value whose UTF-16 name holds half of a surrogate pair alone names nothing: it is left out and
counted, not read with a question mark:

  $ printf '[HKEY_CURRENT_USER\\U]\n"a\x80b"="1"\n"c"="2"\n' | hive good.dat HKEY_CURRENT_USER
  $ python3 -c 'd = open("good.dat", "rb").read(); assert d.count(b"a\0\xac b\0") == 1; open("half.dat", "wb").write(d.replace(b"a\0\xac b\0", b"a\0\0\xd8b\0"))'
  $ "$CLI" --hive HKEY_CURRENT_USER=half.dat export 'HKEY_CURRENT_USER\U' out.reg && show out.reg
  quillon-cli: avertissement : half.dat : 1 clé(s) endommagée(s), lue(s) en partie
  [HKEY_CURRENT_USER\U]
  "c"="2"

A second value of one name (names compare without regard to case) cannot be read by its name:
it is left out and counted, the first one kept:

  $ printf '[HKEY_CURRENT_USER\\Twice]\n"Zq1"="1"\n"Zq2"="2"\n' | hive good.dat HKEY_CURRENT_USER
  $ python3 -c 'd = open("good.dat", "rb").read(); open("twice.dat", "wb").write(d.replace(b"Zq2", b"ZQ1"))'
  $ "$CLI" --hive HKEY_CURRENT_USER=twice.dat export 'HKEY_CURRENT_USER\Twice' out.reg && show out.reg
  quillon-cli: avertissement : twice.dat : 1 clé(s) endommagée(s), lue(s) en partie
  [HKEY_CURRENT_USER\Twice]
  "Zq1"="1"

A key or value whose name holds a NUL is not cut there, which would name another one: it is left
out where it would be written, and named.

  $ printf '[HKEY_CURRENT_USER\\Test]\n[HKEY_CURRENT_USER\\Fine]\n"Zq"="1"\n"v"="2"\n' | hive good.dat HKEY_CURRENT_USER
  $ python3 -c 'd = open("good.dat", "rb").read(); open("nul.dat", "wb").write(d.replace(b"Test", b"Te\0t").replace(b"Zq", b"Z\0"))'
  $ "$CLI" --hive HKEY_CURRENT_USER=nul.dat export HKEY_CURRENT_USER out.reg && show out.reg
  quillon-cli: avertissement : laissé de côté, nom qu'un fichier .reg ne peut pas porter (saut de ligne ou caractère nul) : HKEY_CURRENT_USER\Fine\Z\0
  quillon-cli: avertissement : laissé de côté, nom qu'un fichier .reg ne peut pas porter (saut de ligne ou caractère nul) : HKEY_CURRENT_USER\Te\0t
  [HKEY_CURRENT_USER]
  
  [HKEY_CURRENT_USER\Fine]
  "v"="2"

A key whose name is empty would lead back to its parent, one whose name holds a backslash cannot be
named: each is counted as damaged and left out, and the export ends.

  $ printf '[HKEY_CURRENT_USER\\Test]\n"v"="1"\n[HKEY_CURRENT_USER\\Fine]\n' | hive good.dat HKEY_CURRENT_USER
  $ python3 - <<'PY'
  > d = open('good.dat', 'rb').read()
  > name = d.find(b'Test')
  > assert d[name - 0x50 + 4:name - 0x50 + 6] == b'nk'
  > open('empty-name.dat', 'wb').write(d[:name - 4] + b'\0\0' + d[name - 2:])
  > open('backslash.dat', 'wb').write(d[:name] + b'Te\\t' + d[name + 4:])
  > PY
  $ for odd in empty-name.dat backslash.dat; do "$CLI" --hive HKEY_CURRENT_USER=$odd export HKEY_CURRENT_USER out.reg && show out.reg; done
  quillon-cli: avertissement : empty-name.dat : 1 clé(s) endommagée(s), lue(s) en partie
  [HKEY_CURRENT_USER]
  
  [HKEY_CURRENT_USER\Fine]
  quillon-cli: avertissement : backslash.dat : 1 clé(s) endommagée(s), lue(s) en partie
  [HKEY_CURRENT_USER]
  
  [HKEY_CURRENT_USER\Fine]
