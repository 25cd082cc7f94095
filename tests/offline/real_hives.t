Registries written by real Windows systems (../shared/fixtures/real, facts from their
PROVENANCE.md), read through the same operations as every other store.

  $ test -d "$FIXTURES/xp-m57-pat-ntuser" || { echo "the real hives of $FIXTURES are not here (no ../shared beside the clone)"; exit 80; }

Pat's user hive (Windows XP): the identity, its store folder (expandable, with its terminating
zero), the 37 values of its settings, an empty "signatures" key, one POP3 account and four
directory services, the address book, no dial-up access; 1700 keys, 47 of them the identities',
17 the password store's.

  $ pat=(--hive "HKEY_CURRENT_USER=$FIXTURES/xp-m57-pat-ntuser/NTUSER.DAT")
  $ oe='HKEY_CURRENT_USER\Identities\{7FF1C7E8-BC54-46F1-B011-DD6F0E92CE76}\Software\Microsoft\Outlook Express\5.0'
  $ "$CLI" "${pat[@]}" export HKEY_CURRENT_USER pat.reg
  $ grep -c '^\[' pat.reg
  1700
  $ "$CLI" "${pat[@]}" export 'HKEY_CURRENT_USER\Identities' identities.reg && grep -c '^\[' identities.reg
  47
  $ grep -a '"Last User ID"' identities.reg
  "Last User ID"="{7FF1C7E8-BC54-46F1-B011-DD6F0E92CE76}"\r (esc)
  $ "$CLI" "${pat[@]}" export "$oe" oe.reg && sed -n '3,/^\r$/p' oe.reg | grep -c '='
  37
  $ grep -a '"Store Root"' oe.reg
  "Store Root"=hex(2):25,55,73,65,72,50,72,6F,66,69,6C,65,25,5C,4C,6F,63,61,6C,20,53,65,74,74,69,6E,67,73,5C,41,70,70,6C,69,63,61,74,69,6F,6E,20,44,61,74,61,5C,49,64,65,6E,74,69,74,69,65,73,5C,7B,37,46,46,31,43,37,45,38,2D,42,43,35,34,2D,34,36,46,31,2D,42,30,31,31,2D,44,44,36,46,30,45,39,32,43,45,37,36,7D,5C,4D,69,63,72,6F,73,6F,66,74,5C,4F,75,74,6C,6F,6F,6B,20,45,78,70,72,65,73,73,5C,0\r (esc)
  $ grep -a -A1 -i '\\signatures\]' oe.reg
  [HKEY_CURRENT_USER\\Identities\\{7FF1C7E8-BC54-46F1-B011-DD6F0E92CE76}\\Software\\Microsoft\\Outlook Express\\5.0\\signatures]\r (esc)
  \r (esc)
  $ "$CLI" "${pat[@]}" export 'HKEY_CURRENT_USER\Software\Microsoft\Internet Account Manager\Accounts' accounts.reg
  $ grep -a '"Account Name"' accounts.reg
  "Account Name"="mail.m57.biz"\r (esc)
  "Account Name"="Active Directory"\r (esc)
  "Account Name"="Bigfoot Internet Directory Service"\r (esc)
  "Account Name"="VeriSign Internet Directory Service"\r (esc)
  "Account Name"="WhoWhere Internet Directory Service"\r (esc)
  $ sed -n '/Accounts\\00000003\]/,/^\r$/p' accounts.reg | grep -c '='
  20
  $ "$CLI" "${pat[@]}" export 'HKEY_CURRENT_USER\Software\Microsoft\WAB\WAB4\Wab File Name' wab.reg && grep -a '^@' wab.reg
  @="C:\\\\Documents and Settings\\\\Pat\\\\Application Data\\\\Microsoft\\\\Address Book\\\\Pat.wab"\r (esc)
  $ "$CLI" "${pat[@]}" export 'HKEY_CURRENT_USER\RemoteAccess' none.reg
  quillon-cli: clé introuvable ou illisible : HKEY_CURRENT_USER\RemoteAccess
  [1]
  $ "$CLI" "${pat[@]}" export 'HKEY_CURRENT_USER\Software\Microsoft\Protected Storage System Provider' pss.reg
  $ grep -c '^\[' pss.reg; grep -c 'Provider\\S-1-5-21-1292428093-1645522239-1547161642-1003\]' pss.reg
  17
  1

A string with bytes after its terminator keeps them all; the whole hive, exported, read back and
exported again, is the same file:

  $ grep -a -c '"MigToLWPVer"=hex(1):36,2C,30,2C,32,39,30,30,2C,35,35,31,32,0,91,7C,58,9,8,0' pat.reg
  2
  $ "$CLI" --reg pat.reg export HKEY_CURRENT_USER again.reg && cmp pat.reg again.reg

Joe's minimal hive: an identity without store folder, no accounts, no address book; 1127 keys.

  $ joe=(--hive "HKEY_CURRENT_USER=$FIXTURES/xpsp3-plaso-joe-ntuser-minimal/NTUSER.DAT")
  $ "$CLI" "${joe[@]}" export HKEY_CURRENT_USER joe.reg && grep -c '^\[' joe.reg
  1127
  $ grep -a '"Last User ID"' joe.reg
  "Last User ID"="{C05A4691-5F1D-4D1C-831E-F8D7D7E19992}"\r (esc)
  $ grep -a -c '"Store Root"' joe.reg
  0
  [1]
  $ grep -a -c 'Internet Account Manager\|Microsoft\\WAB' joe.reg
  0
  [1]

A Windows Me registry (CREG files) in a Windows 98/Me layout: SYSTEM.DAT is the machine's keys,
USER.DAT those of HKEY_USERS, whose .DEFAULT is the user unless a profile is chosen. A string
stored without its terminating zero is read with it.

  $ me=$FIXTURES/winme-dfwinreg-creg
  $ mkdir -p disk/Windows/Profiles && cp "$me/SYSTEM.DAT" disk/Windows/system.dat && cp "$me/USER.DAT" disk/Windows/User.dat
  $ "$CLI" --windows disk export 'HKEY_LOCAL_MACHINE\Software\Microsoft\Internet Explorer' ie.reg && grep -a -m 1 '"Version"' ie.reg
  "Version"="5.50.4134.0100"\r (esc)
  $ "$CLI" --windows disk export 'HKEY_CURRENT_USER\Identities' cu.reg && grep -a '"Last Username"\|"Last User ID"' cu.reg
  "Last Username"="Main Identity"\r (esc)
  "Last User ID"="{5BF89071-1772-4861-B17B-50F47CC6DBDD}"\r (esc)
  $ "$CLI" --windows disk export 'HKEY_USERS\.DEFAULT\Identities' default.reg && grep -a '"Last User ID"' default.reg
  "Last User ID"="{5BF89071-1772-4861-B17B-50F47CC6DBDD}"\r (esc)
  $ "$CLI" --windows disk export 'HKEY_CURRENT_USER\Software\Microsoft\Internet Account Manager\Accounts' me-accounts.reg
  $ grep -c '^\[.*Accounts\\[^\\]*\]' me-accounts.reg
  5

With a profile beside .DEFAULT, the user is told which is read, and may choose:

  $ mkdir -p disk/Windows/Profiles/Luc && cp "$me/USER.DAT" disk/Windows/Profiles/Luc/USER.DAT
  $ "$CLI" --windows disk export 'HKEY_USERS\.DEFAULT\Identities' x.reg
  quillon-cli: avertissement : disk/Windows/User.dat : profils d'utilisateurs (Luc) ; l'utilisateur lu est .DEFAULT, choisissez un profil avec --user NOM
  $ "$CLI" --windows disk --user luc export 'HKEY_CURRENT_USER\.DEFAULT\Identities' x.reg
  $ "$CLI" --windows disk --user luc export 'HKEY_USERS\Luc\.DEFAULT\Identities' x.reg
  $ "$CLI" --windows disk --user Paul status
  quillon-cli: disk : pas de profil « Paul » (profils : Luc)
  [1]

Without the .DEFAULT user there is no current user to read:

  $ rm -r disk/Windows/Profiles
  $ python3 -c 'import sys; d = open(sys.argv[1], "rb").read(); open(sys.argv[2], "wb").write(d.replace(b".DEFAULT", b"_DEFAULT", 1))' "$me/USER.DAT" disk/Windows/User.dat
  $ "$CLI" --windows disk status
  quillon-cli: Impossible de lire le registre « disk/Windows/User.dat » : pas de clé « .DEFAULT »
  [1]

A truncated CREG file is refused with its name; one with damaged blocks, or whose key links loop
(the first subkey of the root names itself as its next sibling), is read as far as it can be,
with a warning.

  $ head -c 3000 "$me/USER.DAT" >truncated.dat
  $ python3 - "$me/USER.DAT" <<'PY'
  > import struct, sys
  > data = open(sys.argv[1], 'rb').read()
  > open('damaged.dat', 'wb').write(data[:0x100] + b'\xff' * 0x200 + data[0x300:])
  > at = lambda offset: struct.unpack_from('<I', data, offset)[0]
  > child = at(0x20 + at(0x28) + 0x10)
  > looping = bytearray(data)
  > struct.pack_into('<I', looping, 0x20 + child + 0x14, child)
  > open('looping.dat', 'wb').write(looping)
  > PY
  $ "$CLI" --hive HKEY_USERS=truncated.dat export 'HKEY_USERS\.DEFAULT' x.reg
  quillon-cli: Impossible de lire le registre « truncated.dat » : registre tronqué ou endommagé, sa racine est illisible
  [1]
  $ "$CLI" --hive HKEY_USERS=damaged.dat export 'HKEY_USERS\.DEFAULT' x.reg 2>&1 | grep -o 'clé(s) endommagée(s)'
  clé(s) endommagée(s)
  $ "$CLI" --hive HKEY_USERS=looping.dat export 'HKEY_USERS' x.reg; grep -c '^\[HKEY_USERS\\[^\\]*\]' x.reg
  quillon-cli: avertissement : looping.dat : 1 clé(s) endommagée(s), lue(s) en partie
  1
