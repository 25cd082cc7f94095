Hives as Windows left them. A hive left dirty (its two sequence numbers differ) is read with its
transaction log applied, on a private copy; a log that is damaged or not its own is not applied;
damage outside the keys (the header's checksum, a hive bin's size) is worked around on a copy.
Each time a warning says what was done, and the user's file is never changed.

  $ patch() { python3 -c "import struct,sys; d=bytearray(open(sys.argv[1],'rb').read()); exec(sys.argv[2]); open(sys.argv[1],'wb').write(d)" "$@"; }
  $ checksum='x=0
  > for i in range(127): x^=struct.unpack_from("<I",d,4*i)[0]
  > struct.pack_into("<I",d,508,0xFFFFFFFE if x==0xFFFFFFFF else (x or 1))'
  $ cp -r "$SAMPLE" xp && chmod -R u+w xp && hive="xp/Documents and Settings/Luc/NTUSER.DAT"
  $ "$CLI" --windows xp save clean.reg 2>/dev/null

The sample's user hive, its checksum broken, then a hive bin's size zeroed: the same backup, with
a warning; the file is left as it was.

  $ cp "$hive" original && patch "$hive" 'd[508]^=0x55'
  $ warnings() { "$CLI" --windows xp save "$1" 2>&1 | grep avertissement; }
  $ cp "$hive" damaged && warnings checksum.reg
  quillon-cli: avertissement : xp/Documents and Settings/Luc/NTUSER.DAT : ruche endommagée (somme de contrôle de l'en-tête fausse), lue sur une copie corrigée ; le fichier n'a pas été modifié
  $ cmp checksum.reg clean.reg && cmp "$hive" damaged

A log beside it changes nothing of that: the hive was not left open, only its checksum is wrong.

  $ head -c 4096 /dev/zero >"$hive.LOG" && warnings checksum-log.reg && rm "$hive.LOG"
  quillon-cli: avertissement : xp/Documents and Settings/Luc/NTUSER.DAT : ruche endommagée (somme de contrôle de l'en-tête fausse), lue sur une copie corrigée ; le fichier n'a pas été modifié
  $ cp original "$hive" && patch "$hive" 'struct.pack_into("<I",d,4096+8,0)'
  $ warnings bin.reg
  quillon-cli: avertissement : xp/Documents and Settings/Luc/NTUSER.DAT : ruche endommagée (taille du bloc de ruche à l'offset 0x1000 endommagée), lue sur une copie corrigée ; le fichier n'a pas été modifié
  $ cmp bin.reg clean.reg

A header whose words XOR to zero carries 1 as its checksum, as Windows writes it: it reads clean.

  $ cp original "$hive" && patch "$hive" 'x=0
  > for i in range(127): x^=struct.unpack_from("<I",d,4*i)[0]
  > struct.pack_into("<I",d,0x70,struct.unpack_from("<I",d,0x70)[0]^x); struct.pack_into("<I",d,508,1)'
  $ warnings zero.reg || cmp zero.reg clean.reg

Left dirty, without a log beside it: read as last saved, and said so.

  $ cp original "$hive" && patch "$hive" "struct.pack_into('<I',d,4,struct.unpack_from('<I',d,8)[0]+1)
  > $checksum"
  $ warnings dirty.reg
  quillon-cli: avertissement : xp/Documents and Settings/Luc/NTUSER.DAT : ruche laissée ouverte par Windows (arrêt sans fermeture propre), sans journal à côté d'elle : ruche lue telle qu'enregistrée en dernier, ses dernières modifications peuvent manquer
  $ cmp dirty.reg clean.reg
  $ ls -A "$TMPDIR"

The real dirty hives (../shared/fixtures/real/yarp-dirty-hives; what each must yield is in its
PROVENANCE.md).

  $ dirty=$FIXTURES/yarp-dirty-hives
  $ test -d "$dirty" || { echo "the dirty hives of $FIXTURES are not here (no ../shared beside the clone)"; exit 80; }
  $ load() { "$CLI" --load "X=$1" export 'HKEY_LOCAL_MACHINE\X' "$2" 2>&1 | sed "s|$dirty/||"; }

OldDirtyHive, its log in the old format (as Windows XP writes NTUSER.DAT.LOG): the key the log
deletes is gone, the key and the value it adds are there, as Windows 7 recovered it.

  $ load "$dirty/OldDirtyHive/OldDirtyHive" old.reg
  quillon-cli: avertissement : OldDirtyHive/OldDirtyHive : ruche laissée ouverte par Windows (arrêt sans fermeture propre) ; son journal « OldDirtyHive.LOG1 » a été appliqué à une copie, comme Windows l'aurait fait
  $ grep -a -c 'key_with_many_subkeys\\1\]' old.reg; grep -a -c '5000\\find_me_in_log\]' old.reg; grep -a -A1 'key_with_many_subkeys\\4500\]' old.reg | tail -n 1
  0
  1
  "V"=hex(7):61,0,62,62,0,63,63,63,0,0\r (esc)

Its log found without regard to case, beside the hive in a folder and inside a disk image (as
Windows XP names it: NTUSER.DAT.LOG):

  $ mkdir -p folder && cp "$dirty/OldDirtyHive/OldDirtyHive" folder/hive && cp "$dirty/OldDirtyHive/OldDirtyHive.LOG1" folder/HIVE.log1
  $ "$CLI" --load X=folder/hive export 'HKEY_LOCAL_MACHINE\X' folder.reg 2>&1 && cmp folder.reg old.reg
  quillon-cli: avertissement : folder/hive : ruche laissée ouverte par Windows (arrêt sans fermeture propre) ; son journal « HIVE.log1 » a été appliqué à une copie, comme Windows l'aurait fait
  $ cp original "$hive" && cp "$dirty/OldDirtyHive/OldDirtyHive" xp/WINDOWS/system32/config/default &&
  >     cp "$dirty/OldDirtyHive/OldDirtyHive.LOG1" xp/WINDOWS/system32/config/DEFAULT.LOG
  $ export MTOOLS_SKIP_CHECK=1
  $ truncate -s 80M disk.img && echo 'start=2048, type=c' | sfdisk -q disk.img &&
  >     mkfs.fat -F 32 --offset 2048 disk.img >/dev/null && mcopy -s -i disk.img@@1M xp/* ::/
  $ "$CLI" --image disk.img export 'HKEY_USERS\.DEFAULT' image.reg
  quillon-cli: avertissement : disk.img, partition 1 : /WINDOWS/system32/config/default : ruche laissée ouverte par Windows (arrêt sans fermeture propre) ; son journal « DEFAULT.LOG » a été appliqué à une copie, comme Windows l'aurait fait
  $ sed 's/HKEY_USERS\\.DEFAULT/HKEY_LOCAL_MACHINE\\X/' image.reg | cmp - old.reg

A whole log written at another save than the hive's last (its timestamp differs) is not its own:

  $ cp folder/HIVE.log1 other.log && chmod u+w other.log folder/HIVE.log1 && patch other.log "d[12]^=1
  > $checksum" && cp other.log folder/HIVE.log1
  $ "$CLI" --load X=folder/hive export 'HKEY_LOCAL_MACHINE\X' other.reg
  quillon-cli: avertissement : folder/hive : ruche laissée ouverte par Windows (arrêt sans fermeture propre) ; son journal « HIVE.log1 » est endommagé ou n'est pas le sien, il n'a pas été appliqué : ruche lue telle qu'enregistrée en dernier, ses dernières modifications peuvent manquer

One written at a save before the hive's last (its sequence numbers older) is stale:

  $ patch other.log "struct.pack_into('<II',d,4,3,3)
  > $checksum" && cp other.log folder/HIVE.log1
  $ "$CLI" --load X=folder/hive export 'HKEY_LOCAL_MACHINE\X' other.reg
  quillon-cli: avertissement : folder/hive : ruche laissée ouverte par Windows (arrêt sans fermeture propre) ; son journal « HIVE.log1 » est périmé (plus ancien que le dernier enregistrement de la ruche), il n'a pas été appliqué : ruche lue telle qu'enregistrée en dernier, ses dernières modifications peuvent manquer

A primary whose header is bad, recovered from its log's copy of it:

  $ load "$dirty/BadBaseBlockHive/BadBaseBlockHive" bad-base.reg
  quillon-cli: avertissement : BadBaseBlockHive/BadBaseBlockHive : ruche laissée ouverte par Windows (arrêt sans fermeture propre) ; son journal « BadBaseBlockHive.LOG1 » a été appliqué à une copie, comme Windows l'aurait fait
  $ grep -a -c '5000\\find_me_in_log\]' bad-base.reg
  1

Logs that are damaged or not the hive's own are not applied: the hive is read as last saved.

  $ for bad in 1 2 3; do load "$dirty/BadLogHive$bad/BadLogHive" bad$bad.reg; done
  quillon-cli: avertissement : BadLogHive1/BadLogHive : ruche laissée ouverte par Windows (arrêt sans fermeture propre) ; son journal « BadLogHive.LOG1 » est endommagé ou n'est pas le sien, il n'a pas été appliqué : ruche lue telle qu'enregistrée en dernier, ses dernières modifications peuvent manquer
  quillon-cli: avertissement : BadLogHive2/BadLogHive : ruche laissée ouverte par Windows (arrêt sans fermeture propre) ; son journal « BadLogHive.LOG1 » est endommagé ou n'est pas le sien, il n'a pas été appliqué : ruche lue telle qu'enregistrée en dernier, ses dernières modifications peuvent manquer
  quillon-cli: avertissement : BadLogHive3/BadLogHive : ruche laissée ouverte par Windows (arrêt sans fermeture propre) ; ses journaux « BadLogHive.LOG1, BadLogHive.LOG2 » sont endommagés ou ne sont pas les siens, ils n'ont pas été appliqués : ruche lue telle qu'enregistrée en dernier, ses dernières modifications peuvent manquer
  $ grep -a -c 'key_with_many_subkeys\\1\]' bad1.reg; grep -a -c '5000\\find_me_in_log\]' bad1.reg || true
  1
  0

The new format (Windows 8.1 and later): entries checked by their hashes, applied in sequence from
the hive's last save; here all those after it are in .LOG2.

  $ load "$dirty/NewDirtyHive2/NewDirtyHive" new.reg
  quillon-cli: avertissement : NewDirtyHive2/NewDirtyHive : ruche laissée ouverte par Windows (arrêt sans fermeture propre) ; son journal « NewDirtyHive.LOG2 » a été appliqué à une copie, comme Windows l'aurait fait
  $ grep -a '^\[' bad3.reg new.reg | tr -d '\r'
  bad3.reg:[HKEY_LOCAL_MACHINE\X]
  bad3.reg:[HKEY_LOCAL_MACHINE\X\Key1]
  bad3.reg:[HKEY_LOCAL_MACHINE\X\Key2]
  bad3.reg:[HKEY_LOCAL_MACHINE\X\Key2\Key2_1]
  bad3.reg:[HKEY_LOCAL_MACHINE\X\Key2\Key2_2]
  new.reg:[HKEY_LOCAL_MACHINE\X]
  new.reg:[HKEY_LOCAL_MACHINE\X\Key3]
  new.reg:[HKEY_LOCAL_MACHINE\X\Key3\Key3_1]
  new.reg:[HKEY_LOCAL_MACHINE\X\Key3\Key3_2]
  new.reg:[HKEY_LOCAL_MACHINE\X\Key3\Key3_3]

Without .LOG2, the log left is stale: its one entry is older than the hive's last save. It is
said so, not called damaged; the hive is read as last saved.

  $ mkdir stale && cp "$dirty/NewDirtyHive2/NewDirtyHive" "$dirty/NewDirtyHive2/NewDirtyHive.LOG1" stale/
  $ "$CLI" --load X=stale/NewDirtyHive export 'HKEY_LOCAL_MACHINE\X' stale.reg
  quillon-cli: avertissement : stale/NewDirtyHive : ruche laissée ouverte par Windows (arrêt sans fermeture propre) ; son journal « NewDirtyHive.LOG1 » est périmé (plus ancien que le dernier enregistrement de la ruche), il n'a pas été appliqué : ruche lue telle qu'enregistrée en dernier, ses dernières modifications peuvent manquer

A real Windows XP user hive, its header's checksum broken, or the size of one of its hive bins
zeroed (the first, one in the middle, the last): every key and value of the original, with a
warning.

  $ pat=$FIXTURES/xp-m57-pat-ntuser/NTUSER.DAT
  $ "$CLI" --hive "HKEY_CURRENT_USER=$pat" export HKEY_CURRENT_USER pat.reg
  $ cp "$pat" broken && chmod u+w broken && patch broken 'd[509]^=1' &&
  >     "$CLI" --hive HKEY_CURRENT_USER=broken export HKEY_CURRENT_USER broken.reg && cmp broken.reg pat.reg
  quillon-cli: avertissement : broken : ruche endommagée (somme de contrôle de l'en-tête fausse), lue sur une copie corrigée ; le fichier n'a pas été modifié
  $ bins=$(python3 -c "import struct,sys; d=open(sys.argv[1],'rb').read(); at=4096; l=[]
  > while at<len(d) and d[at:at+4]==b'hbin': l.append(at); at+=struct.unpack_from('<I',d,at+8)[0]
  > print(l[0], l[len(l)//2], l[-1])" "$pat")
  $ for at in $bins; do
  >     cp "$pat" bin && chmod u+w bin && patch bin "struct.pack_into('<I',d,$at+8,0)" &&
  >         "$CLI" --hive HKEY_CURRENT_USER=bin export HKEY_CURRENT_USER bin.reg 2>&1 | sed 's/0x[0-9A-F]*/OFFSET/' && cmp bin.reg pat.reg
  > done
  quillon-cli: avertissement : bin : ruche endommagée (taille du bloc de ruche à l'offset OFFSET endommagée), lue sur une copie corrigée ; le fichier n'a pas été modifié
  quillon-cli: avertissement : bin : ruche endommagée (taille du bloc de ruche à l'offset OFFSET endommagée), lue sur une copie corrigée ; le fichier n'a pas été modifié
  quillon-cli: avertissement : bin : ruche endommagée (taille du bloc de ruche à l'offset OFFSET endommagée), lue sur une copie corrigée ; le fichier n'a pas été modifié

The Windows Me USER.DAT, the size of its key tree's block or of one of its data blocks zeroed:
every key and value of the original, with a warning.

  $ me=$FIXTURES/winme-dfwinreg-creg/USER.DAT
  $ "$CLI" --hive "HKEY_USERS=$me" export HKEY_USERS me.reg
  $ blocks=$(python3 -c "import sys; d=open(sys.argv[1],'rb').read(); at=0; l=[0x20]
  > while (at:=d.find(b'RGDB',at+1))>0: l.append(at)
  > print(*l)" "$me")
  $ for at in $blocks; do
  >     cp "$me" user.dat && chmod u+w user.dat && patch user.dat "struct.pack_into('<I',d,$at+4,0)" &&
  >         "$CLI" --hive HKEY_USERS=user.dat export HKEY_USERS user.reg && cmp user.reg me.reg
  > done
  quillon-cli: avertissement : user.dat : registre endommagé (taille du bloc des clés endommagée), lu sur une copie corrigée ; le fichier n'a pas été modifié
  quillon-cli: avertissement : user.dat : registre endommagé (taille du bloc de données n° 0 endommagée), lu sur une copie corrigée ; le fichier n'a pas été modifié
  quillon-cli: avertissement : user.dat : registre endommagé (taille du bloc de données n° 1 endommagée), lu sur une copie corrigée ; le fichier n'a pas été modifié
  quillon-cli: avertissement : user.dat : registre endommagé (taille du bloc de données n° 2 endommagée), lu sur une copie corrigée ; le fichier n'a pas été modifié
  quillon-cli: avertissement : user.dat : registre endommagé (taille du bloc de données n° 3 endommagée), lu sur une copie corrigée ; le fichier n'a pas été modifié

A block's size is set right from where the next block, numbered one more, starts: the letters of
a block's header inside a value are not taken for it.

  $ cp "$me" fake.dat && chmod u+w fake.dat && patch fake.dat "d[0x6150:0x6160] = b'RGDB' + bytes(10) + b'\x07\x00'" &&
  >     "$CLI" --hive HKEY_USERS=fake.dat export HKEY_USERS fake.reg
  $ cp fake.dat fake0.dat && patch fake0.dat "struct.pack_into('<I',d,0x6020+4,0)" &&
  >     "$CLI" --hive HKEY_USERS=fake0.dat export HKEY_USERS fake0.reg && cmp fake0.reg fake.reg
  quillon-cli: avertissement : fake0.dat : registre endommagé (taille du bloc de données n° 0 endommagée), lu sur une copie corrigée ; le fichier n'a pas été modifié

A real SYSTEM hive (regipy's SYSTEM_B, 10.9 MB) cut short at ten points, the usual state of a
hive recovered from a failing disk or carved from free space: every cut reads, its whole bins
and the whole cells of the bin it cuts, each key and value as the whole hive has it, more of
them the later the cut; the warning names the cut.

  $ xz -dc "$FIXTURES/regipy-system-b/SYSTEM_B.xz" >system && size=$(stat -c %s system)
  $ system() { "$CLI" --load "SYSTEM=$1" export 'HKEY_LOCAL_MACHINE\SYSTEM' "$2" 2>&1 | grep -o 'fichier coupé.*'; }
  $ "$CLI" --load SYSTEM=system export 'HKEY_LOCAL_MACHINE\SYSTEM' whole.reg 2>/dev/null && grep -c '^\[' whole.reg
  33123
  $ for tenth in 0 1 2 3 4 5 6 7 8 9; do
  >     head -c $((size * tenth / 10 + 5330)) system >cut && system cut cut.reg >/dev/null &&
  >         echo "$(grep -c '^\[' cut.reg) $(python3 "$TESTDIR/reg_compare.py" cut.reg whole.reg | tail -n 1)"
  > done
  3 3 passed, 0 failed
  2058 2058 passed, 0 failed
  4670 4670 passed, 0 failed
  6909 6909 passed, 0 failed
  8347 8347 passed, 0 failed
  11883 11883 passed, 0 failed
  15289 15289 passed, 0 failed
  19399 19399 passed, 0 failed
  21930 21930 passed, 0 failed
  28225 28225 passed, 0 failed
  $ head -c 1285739 system >cut && system cut cut.reg
  fichier coupé à l'offset 0x139E6B, avant la fin que son en-tête annonce (0xBD4000) : lus ses blocs entiers et les cellules entières du dernier, jusqu'à l'offset 0x13A000), lue sur une copie corrigée ; le fichier n'a pas été modifié

The Windows Me SYSTEM.DAT cut short: its whole data blocks are read, and the keys whose names lie
in them.

  $ head -c 1100000 "$FIXTURES/winme-dfwinreg-creg/SYSTEM.DAT" >me.dat
  $ "$CLI" --hive HKEY_LOCAL_MACHINE=me.dat export HKEY_LOCAL_MACHINE me-cut.reg
  quillon-cli: avertissement : me.dat : registre endommagé (fichier coupé après 1100000 octets : lus ses 18 blocs de données entiers sur 21), lu sur une copie corrigée ; le fichier n'a pas été modifié
  quillon-cli: avertissement : me.dat : 140 clé(s) endommagée(s), lue(s) en partie
  $ "$CLI" --hive "HKEY_LOCAL_MACHINE=$FIXTURES/winme-dfwinreg-creg/SYSTEM.DAT" export HKEY_LOCAL_MACHINE me-whole.reg
  $ python3 "$TESTDIR/reg_compare.py" me-cut.reg me-whole.reg | tail -n 1
  4274 passed, 0 failed

No private copy is left:

  $ ls -A "$TMPDIR"
