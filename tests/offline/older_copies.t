Older copies of the registry that Windows kept: a Windows XP restore point (the hives of
System Volume Information/_restore{GUID}/RPnn/snapshot, the date in its rp.log), and Windows 98's
backups (WINDOWS/SYSBCKUP/RB00n.CAB, cabinets holding SYSTEM.DAT and USER.DAT). list shows each
under its installation; --restore-point reads it instead of the current registry.

  $ cp -r "$SAMPLE" xp && chmod -R u+w xp
  $ point="xp/System Volume Information/_restore{0E2E6C4B-1F5B-4C0F-9E63-1B2C3D4E5F60}/RP12"
  $ sid=S-1-5-21-1111111111-2222222222-3333333333-1003
  $ mkdir -p "$point/snapshot" && cp xp/WINDOWS/system32/config/software "$point/snapshot/_REGISTRY_MACHINE_SOFTWARE" &&
  >     cp xp/WINDOWS/system32/config/default "$point/snapshot/_REGISTRY_USER_.DEFAULT"

The restore point's user hive is another one (Marie's settings), so that reading the current
hives instead would show.

  $ cp "$EXAMPLES/sample-xp-2/Documents and Settings/Marie/NTUSER.DAT" "$point/snapshot/_REGISTRY_USER_NTUSER_$sid"
  $ python3 -c "import struct,sys
  > filetime = (1259676180 + 11644473600) * 10000000  # 2009-12-01 14:03 UTC
  > log = struct.pack('<IIQ', 0, 0, 12) + 'Installation'.encode('utf-16-le').ljust(512, b'\0') + struct.pack('<Q', filetime)
  > open(sys.argv[1], 'wb').write(log)" "$point/rp.log"
  $ for odd in RP RPx; do cp -r "$point" "${point%RP12}$odd"; done  # no restore points: no number
  $ "$CLI" --windows xp list | cut -f 1,4,5
  Emplacement	Utilisateur	Identité
  xp	Luc	{3F2A5D1C-8B4E-4C7A-9D21-6E5F0A1B2C3D}
  xp, point de restauration RP12, 2009-12-01 14:03	Luc	{8C1E6A42-5B7D-4F3A-A1C9-2D4E6F8A0B1C}
  $ "$CLI" --windows xp --restore-point rp12 status | grep -e IdentiteCourante -e TexteGroupeActif  # Marie's own SID in her hive
  IdentiteCourante: {8C1E6A42-5B7D-4F3A-A1C9-2D4E6F8A0B1C}
  TexteGroupeActif: S-1-5-21-4444444444-5555555555-6666666666-1003
  $ "$CLI" --windows xp --restore-point RP12 --user Luc save point.reg 2>/dev/null
  $ "$CLI" --windows xp --restore-point RP12 --user "$sid" save point-by-sid.reg 2>/dev/null && cmp point.reg point-by-sid.reg

The same from a disk image; and with the current user hive lost, the copy still lists and reads.

  $ export MTOOLS_SKIP_CHECK=1
  $ truncate -s 80M disk.img && echo 'start=2048, type=c' | sfdisk -q disk.img &&
  >     mkfs.fat -F 32 --offset 2048 disk.img >/dev/null && mcopy -s -i disk.img@@1M xp/* ::/
  $ "$CLI" --image disk.img list | cut -f 1,4,5 | tail -n 1
  disk.img, partition 1, point de restauration RP12, 2009-12-01 14:03	Luc	{8C1E6A42-5B7D-4F3A-A1C9-2D4E6F8A0B1C}
  $ "$CLI" --image disk.img --restore-point RP12 save image.reg 2>/dev/null && cmp image.reg point.reg
  $ rm "xp/Documents and Settings/Luc/NTUSER.DAT"
  $ "$CLI" --windows xp list | cut -f 1,4,5
  Emplacement	Utilisateur	Identité
  xp, point de restauration RP12, 2009-12-01 14:03	Luc	{8C1E6A42-5B7D-4F3A-A1C9-2D4E6F8A0B1C}
  $ "$CLI" --windows xp --restore-point RP12 save lost.reg 2>/dev/null && cmp lost.reg point.reg

What is not there is named:

  $ "$CLI" --windows xp --restore-point RP3 status
  quillon-cli: xp : pas de copie plus ancienne du registre nommée « RP3 » (copies : RP12)
  [1]
  $ "$CLI" --windows xp --restore-point RP12 --user Paul status
  quillon-cli: xp, point de restauration RP12, 2009-12-01 14:03 : pas d'utilisateur « Paul » (utilisateurs : Luc)
  [1]
  $ "$CLI" --hive "HKEY_CURRENT_USER=$point/snapshot/_REGISTRY_USER_NTUSER_$sid" --restore-point RP12 status
  quillon-cli: --restore-point choisit une copie plus ancienne du registre d'une installation : donnez aussi --windows ou --image
  Aide : quillon-cli --help
  [2]

A damaged cabinet says what it is:

  $ mkdir -p w98/WINDOWS/SYSBCKUP && head -c 300 /dev/urandom >w98/WINDOWS/SYSBCKUP/RB000.CAB
  $ "$CLI" --windows w98 list | cut -f 1,4
  Emplacement	Utilisateur
  w98, sauvegarde du registre RB000.CAB	.DEFAULT
  $ "$CLI" --windows w98 --restore-point RB000 status
  quillon-cli: Impossible de lire la sauvegarde du registre « w98/WINDOWS/SYSBCKUP/RB000.CAB » : ce n'est pas un fichier CAB lisible (tronqué ou endommagé)
  [1]
  $ ls -A "$TMPDIR"

Windows 98's backups, made with the real Windows Me registry (../shared/fixtures/real): the
cabinet's copy reads as the registry it was made from, in a folder and in a disk image.

  $ me=$FIXTURES/winme-dfwinreg-creg
  $ test -f "$me/USER.DAT" || { echo "the Windows Me registry $me is not here (no ../shared beside the clone)"; exit 80; }
  $ mkdir -p me/WINDOWS/SYSBCKUP && cp "$me/SYSTEM.DAT" "$me/USER.DAT" me/WINDOWS/ && chmod u+w me/WINDOWS/*.DAT
  $ touch -d '2003-05-17 09:30 UTC' me/WINDOWS/*.DAT && (cd me/WINDOWS && TZ=UTC gcab -c -z SYSBCKUP/RB001.CAB SYSTEM.DAT USER.DAT)
  $ "$CLI" --windows me save current.reg 2>/dev/null
  $ "$CLI" --windows me list | cut -f 1,4,5
  Emplacement	Utilisateur	Identité
  me	.DEFAULT	{5BF89071-1772-4861-B17B-50F47CC6DBDD}
  me, sauvegarde du registre RB001.CAB, 2003-05-17 09:30	.DEFAULT	{5BF89071-1772-4861-B17B-50F47CC6DBDD}
  $ "$CLI" --windows me --restore-point RB001 save cab.reg 2>/dev/null && cmp cab.reg current.reg
  $ truncate -s 40M me.img && mkfs.fat -F 32 me.img >/dev/null && mcopy -s -i me.img me/* ::/
  $ "$CLI" --image me.img --restore-point rb001 save image-cab.reg 2>/dev/null && cmp image-cab.reg current.reg

A damaged registry in a cabinet is named by the cabinet and the member, as its keys are read:

  $ mkdir -p bad/WINDOWS/SYSBCKUP && cp me/WINDOWS/SYSTEM.DAT bad/WINDOWS/ &&
  >     python3 -c "import sys; d=open(sys.argv[1],'rb').read(); open(sys.argv[2],'wb').write(d[:0x100]+b'\xff'*0x200+d[0x300:])" "$me/USER.DAT" bad/WINDOWS/USER.DAT
  $ (cd bad/WINDOWS && TZ=UTC gcab -c -z SYSBCKUP/RB002.CAB SYSTEM.DAT USER.DAT) && cp "$me/USER.DAT" bad/WINDOWS/ && chmod u+w bad/WINDOWS/USER.DAT
  $ "$CLI" --windows bad --restore-point RB002 export HKEY_USERS damaged.reg
  quillon-cli: avertissement : bad/WINDOWS/SYSBCKUP/RB002.CAB : USER.DAT : 3 clé(s) endommagée(s), lue(s) en partie

A Windows Me restore point: System Restore keeps its registry snapshots as RG*.CAB in
_RESTORE/ARCHIVE (beside FS*.CAB, the other files), here with their folder in the cabinet.

  $ mkdir -p me/_RESTORE/ARCHIVE && (cd me && TZ=UTC gcab -c -z _RESTORE/ARCHIVE/RG000003.CAB WINDOWS/SYSTEM.DAT WINDOWS/USER.DAT)
  $ "$CLI" --windows me list | cut -f 1,4 | tail -n 1
  me, point de restauration RG000003.CAB, 2003-05-17 09:30	.DEFAULT
  $ "$CLI" --windows me --restore-point rg000003 save restore-point.reg 2>/dev/null && cmp restore-point.reg current.reg
  $ "$CLI" --windows me --restore-point RB001 --user Luc status
  quillon-cli: me/WINDOWS/SYSBCKUP/RB001.CAB : une sauvegarde du registre de Windows 98 ne garde que l'utilisateur .DEFAULT ; ne donnez pas --user
  [1]
  $ ls -A "$TMPDIR"
