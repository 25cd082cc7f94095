The Windows build reads old installations offline as the Linux build does: the same sources, the
same output, the same files, byte for byte. `same ARGS` runs quillon-cli ARGS with both builds,
the Windows one ($CLI) under Wine, each in a folder of its own beside the sources; it shows what
the two wrote that differs (zips, which carry the time they were made, are compared by what they
hold), then the Windows build's messages and exit status.

  $ export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  $ trap 'wineserver -k 2>/dev/null' EXIT
  $ same() {
  >     rm -rf linux windows && mkdir linux windows
  >     (cd linux && "$NATIVE_CLI" "$@" >stdout 2>stderr; echo "[$?]" >>stdout)
  >     (cd windows && "$QUILLON_WINE" "$CLI" "$@" >stdout 2>stderr; echo "[$?]" >>stdout)
  >     sed -i 's/\r$//' windows/stdout windows/stderr # Windows ends its lines with CR LF
  >     diff -r -x stderr -x '*.zip' linux windows | grep -E '^([<>]|Binary files|Only in)'
  >     # and joins the parts of a path with "\", as registry keys are named on both
  >     diff <(tr '\\' / <linux/stderr) <(tr '\\' / <windows/stderr) | grep '^[<>]'
  >     cat windows/stderr; tail -n 1 windows/stdout
  > }
  $ "$QUILLON_WINE" "$CLI" --version >/dev/null 2>&1 # Wine makes its prefix
  $ cp -r "$SAMPLE" xp && chmod -R u+w xp

The sample installation's folder, as a drive of an old disk: its start, its listing, a backup,
the backup with its mail in open formats, and those formats again from the copy.

  $ same --windows ../xp status
  [0]
  $ same --windows ../xp list --details
  [0]
  $ same --windows ../xp save out.reg --mail courrier --open-formats --generate-accounts no | grep -v '^  '
  [question] Recherche des comptes IE dans le registre: Comptes non trouvés pour cette identité, les générer ? 
  [information] Sauvegarde des paramètres Outlook Express: Sauvegarde effectuée pour 179 lignes 
   dans le fichier 
  out.reg
  [information] Copie du courrier et du carnet d'adresses: Courrier copié dans « courrier » depuis « C:\Documents and Settings\Luc\Local Settings\Application Data\Identities\{3F2A5D1C-8B4E-4C7A-9D21-6E5F0A1B2C3D}\Microsoft\Outlook Express » :
  - 6 fichier(s), dont 3 dossier(s) de messages (4 message(s))
  - carnet d'adresses : « C:\Documents and Settings\Luc\Application Data\Microsoft\Address Book\Luc.wab »
  
  [information] Courrier pour les clients de messagerie d'aujourd'hui: Courrier écrit dans « courrier\Formats ouverts » : 3 dossier(s), 4 message(s), en mbox (dossier « mbox ») et en .eml (dossier « eml »).
  Carnet d'adresses « courrier\Carnet d'adresses\Luc.wab » : 3 contact(s), 1 groupe(s), en vCard et en CSV (dossier « Carnet d'adresses »).
  Les réglages des comptes sont dans « Comptes.txt ».
  [0]
  $ ls windows/courrier
  Boîte de réception.dbx
  Brouillons.dbx
  Carnet d'adresses
  Folders.dbx
  Formats ouverts
  Offline.dbx
  Pop3uidl.dbx
  Éléments envoyés.dbx
  $ mv windows/courrier copy && same export-mail ../copy exported | tail -n 1
  [0]

The identity as a Thunderbird profile, its address book in Thunderbird's own database, and the
same as a zip.

  $ same --windows ../xp thunderbird-profile profile
  [information] Profil Thunderbird: Profil Thunderbird écrit dans « profile » et « profile.zip » : 2 compte(s), 3 dossier(s) de 4 message(s), 4 contact(s).
  Ouvrez-le dans Thunderbird par Outils > Importer > Importer depuis Thunderbird (le dossier ou le .zip), ou avec « thunderbird -profile DOSSIER ». Thunderbird demandera une fois le mot de passe de chaque compte.
  [0]
  $ /usr/bin/python3 -c '
  > import sys, zipfile
  > linux, windows = (zipfile.ZipFile(name) for name in sys.argv[1:])
  > print(sorted(linux.namelist()) == sorted(windows.namelist()) and all(linux.read(n) == windows.read(n) for n in linux.namelist()), len(linux.namelist()))
  > ' linux/profile.zip windows/profile.zip
  True 7

Its user hive alone, loaded as tab 2 loads one; a key of the software hive placed by --hive; and
the backup read back as a .reg file.

  $ ntuser="../xp/Documents and Settings/Luc/NTUSER.DAT"
  $ software='HKEY_LOCAL_MACHINE\Software=../xp/WINDOWS/system32/config/software'
  $ same --hive "$software" --load "OLD=$ntuser" lookup OLD
  [stop] Recherche de l'identité courante dans le registre: Identité non trouvée dans la base de registre (OE 5/6)
  [stop] Recherche de l'identité dans le registre: Répertoire des fichiers OE non trouvé dans la base de registre
  [0]
  $ same --hive "$software" --load "OLD=$ntuser" save-hive OLD hive.reg
  [stop] Recherche de l'identité courante dans le registre: Identité non trouvée dans la base de registre (OE 5/6)
  [stop] Recherche de l'identité dans le registre: Répertoire des fichiers OE non trouvé dans la base de registre
  [question] Recherche des comptes IE dans le registre: Comptes non trouvés pour cette identité, les générer ? 
    -> Oui
  [information] Sauvegarde des paramètres Outlook Express: Sauvegarde effectuée pour 169 lignes 
   dans le fichier 
  hive.reg
  [0]
  $ same --hive "$software" export 'HKEY_LOCAL_MACHINE\Software\Microsoft' microsoft.reg
  [0]
  $ "$NATIVE_CLI" --windows xp save backup.reg --generate-accounts no >/dev/null 2>&1
  $ same --reg ../backup.reg export HKEY_CURRENT_USER backup-again.reg
  [0]

A hive left dirty with no log beside it: read as last saved, and said so in the same words.

  $ patch() { python3 -c "import struct,sys; d=bytearray(open(sys.argv[1],'rb').read()); exec(sys.argv[2]); open(sys.argv[1],'wb').write(d)" "$@"; }
  $ cp -r xp dirty && patch "dirty/Documents and Settings/Luc/NTUSER.DAT" "struct.pack_into('<I',d,4,struct.unpack_from('<I',d,8)[0]+1)"
  $ same --windows ../dirty save dirty.reg --generate-accounts no | grep avertissement
  quillon-cli: avertissement : ..\dirty\Documents and Settings\Luc\NTUSER.DAT : ruche laissée ouverte par Windows (arrêt sans fermeture propre), sans journal à côté d'elle : ruche lue telle qu'enregistrée en dernier, ses dernières modifications peuvent manquer
  quillon-cli: avertissement : ..\dirty\Documents and Settings\Luc\NTUSER.DAT : ruche endommagée (somme de contrôle de l'en-tête fausse), lue sur une copie corrigée ; le fichier n'a pas été modifié

A Windows XP restore point, listed and read:

  $ point="xp/System Volume Information/_restore{0E2E6C4B-1F5B-4C0F-9E63-1B2C3D4E5F60}/RP12"
  $ sid=S-1-5-21-1111111111-2222222222-3333333333-1003
  $ mkdir -p "$point/snapshot" && cp xp/WINDOWS/system32/config/software "$point/snapshot/_REGISTRY_MACHINE_SOFTWARE" &&
  >     cp xp/WINDOWS/system32/config/default "$point/snapshot/_REGISTRY_USER_.DEFAULT" &&
  >     cp "$EXAMPLES/sample-xp-2/Documents and Settings/Marie/NTUSER.DAT" "$point/snapshot/_REGISTRY_USER_NTUSER_$sid"
  $ python3 -c "import struct,sys
  > filetime = (1259676180 + 11644473600) * 10000000  # 2009-12-01 14:03 UTC
  > log = struct.pack('<IIQ', 0, 0, 12) + 'Installation'.encode('utf-16-le').ljust(512, b'\0') + struct.pack('<Q', filetime)
  > open(sys.argv[1], 'wb').write(log)" "$point/rp.log"
  $ same --windows ../xp list
  [0]
  $ cut -f 1,4,5 windows/stdout
  Emplacement	Utilisateur	Identité
  ../xp	Luc	{3F2A5D1C-8B4E-4C7A-9D21-6E5F0A1B2C3D}
  ../xp, point de restauration RP12, 2009-12-01 14:03	Luc	{8C1E6A42-5B7D-4F3A-A1C9-2D4E6F8A0B1C}
  [0]
  $ same --windows ../xp --restore-point rp12 --user Luc save point.reg --generate-accounts no | tail -n 1
  [0]

No link of a disk is followed by the Windows build, not even one that stays inside it (Wine
shows these as the junctions of Windows): on a disk of Vista and later, "Documents and Settings"
is a junction to C:\Users, the profiles of the running system once the disk is a drive.

  $ mkdir -p hostile/WINDOWS outside && cp -r xp/WINDOWS/system32 hostile/WINDOWS/ &&
  >     cp -r "xp/Documents and Settings" outside/ && ln -s "$PWD/outside/Documents and Settings" "hostile/Documents and Settings"
  $ same --windows ../hostile list
  [0]
  $ cat windows/stdout
  Emplacement	Système	Version OE	Utilisateur	Identité	Répertoire OE
  [0]
  $ mv "outside/Documents and Settings" hostile/Profils && ln -sfn Profils "hostile/Documents and Settings"
  $ "$NATIVE_CLI" --windows hostile list | cut -f 1,4
  Emplacement	Utilisateur
  hostile	Luc
  $ "$QUILLON_WINE" "$CLI" --windows hostile list | tr -d '\r'
  Emplacement	Système	Version OE	Utilisateur	Identité	Répertoire OE

What the Windows build does not read is said, with what to do instead:

  $ "$QUILLON_WINE" "$CLI" --image disk.img status 2>&1 | tr -d '\r'
  quillon-cli: Impossible de lire l'image disque « disk.img » : les images disque et les disques de machines virtuelles sont lus par Quillon sous Linux ; sous Windows, montez l'image (elle apparaît comme un lecteur) et donnez son dossier avec --windows

Real files of ../shared from here on: a dirty hive with its log, and a Windows Me installation
with a backup of its registry (RB001.CAB) and a restore point (RG000003.CAB).

  $ test -d "$FIXTURES/yarp-dirty-hives" || { echo "the real hives of $FIXTURES are not here (no ../shared beside the clone)"; exit 80; }
  $ mkdir folder && cp "$FIXTURES/yarp-dirty-hives/OldDirtyHive/OldDirtyHive" folder/hive &&
  >     cp "$FIXTURES/yarp-dirty-hives/OldDirtyHive/OldDirtyHive.LOG1" folder/HIVE.log1
  $ same --load X=../folder/hive export 'HKEY_LOCAL_MACHINE\X' old.reg
  quillon-cli: avertissement : ../folder/hive : ruche laissée ouverte par Windows (arrêt sans fermeture propre) ; son journal « HIVE.log1 » a été appliqué à une copie, comme Windows l'aurait fait
  [0]
  $ me=$FIXTURES/winme-dfwinreg-creg
  $ mkdir -p me/WINDOWS/SYSBCKUP && cp "$me/SYSTEM.DAT" "$me/USER.DAT" me/WINDOWS/ && chmod u+w me/WINDOWS/*.DAT
  $ touch -d '2003-05-17 09:30 UTC' me/WINDOWS/*.DAT && (cd me/WINDOWS && TZ=UTC gcab -c -z SYSBCKUP/RB001.CAB SYSTEM.DAT USER.DAT)
  $ mkdir -p me/_RESTORE/ARCHIVE && (cd me && TZ=UTC gcab -c -z _RESTORE/ARCHIVE/RG000003.CAB WINDOWS/SYSTEM.DAT WINDOWS/USER.DAT)
  $ same --windows ../me status
  [0]
  $ same --windows ../me list
  [0]
  $ same --windows ../me save me.reg | tail -n 1
  [0]
  $ same --windows ../me --restore-point RB001 save cab.reg | tail -n 1
  [0]
  $ same --windows ../me --restore-point rg000003 save restore-point.reg | tail -n 1
  [0]
