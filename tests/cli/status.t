quillon-cli status: the start-up of the window on the sample installation, and its end on a
registry without the mail client.

  $ "$CLI" --version
  quillon-cli 2.5
  Copyright (C) 2026 L'équipe Quillon
  Licence GPLv3+ : GNU GPL version 3 ou ultérieure <https://gnu.org/licenses/gpl.html>
  avec la permission additionnelle (section 7) de lier Quillon à The Sleuth Kit (Common
  Public License 1.0, IBM Public License 1.0) et de distribuer le résultat.
  Ceci est un logiciel libre : vous êtes libre de le modifier et de le redistribuer.
  Il n'y a AUCUNE GARANTIE, dans la mesure permise par la loi.

Usage errors: one line and where the help is; hints where a user goes wrong.

  $ "$CLI"
  quillon-cli: commande manquante
  Aide : quillon-cli --help
  [2]
  $ "$CLI" --hive "HKEY_CURRENT_USER=$SAMPLE/Documents and Settings/Luc/NTUSER.DAT" status
  [stop] Recherche de la version OE dans le registre (1): Version OE non trouvée
  quillon-cli: la version d'OE se lit dans la ruche SOFTWARE de Windows (HKEY_LOCAL_MACHINE\Software) : donnez --windows DOSSIER, ou la ruche avec --hive HKEY_LOCAL_MACHINE\Software=FICHIER
  [1]
  $ "$CLI" --reg "$SAMPLE/WINDOWS/system32/config/software" status
  quillon-cli: */examples/sample-xp/WINDOWS/system32/config/software : c'est une ruche, pas un fichier .reg : donnez-le avec --hive CLÉ=FICHIER ou --load NOM=FICHIER (glob)
  [1]
  $ "$CLI" --windows "$SAMPLE" --partition 2 status
  quillon-cli: --partition choisit la partition d'une image : donnez aussi --image
  Aide : quillon-cli --help
  [2]

The sample: no message, the fields of the window.

  $ "$CLI" --windows "$SAMPLE" status
  CommentOnglet1: 6.0.2900.5512
  CommentOnglet2: 6.0.2900.5512
  IdentiteCourante: {3F2A5D1C-8B4E-4C7A-9D21-6E5F0A1B2C3D}
  RepertoireCourant: %UserProfile%\Local Settings\Application Data\Identities\{3F2A5D1C-8B4E-4C7A-9D21-6E5F0A1B2C3D}\Microsoft\Outlook Express\x00
  TexteGroupeActif: S-1-5-21-1111111111-2222222222-3333333333-1003
  NomAutre: 
  IdentiteAutre: 
  RepertoireAutre: 
  RepertoireLu: 
  RepertoireChoisi: 
  IdentiteFichier: 

Registry options may follow the command; a .reg file may come through a pipe, read once; a
hive may not.

  $ "$CLI" status --reg <(cat "$SRC/examples/sample-xp/software.reg") --reg <(cat "$SRC/examples/sample-xp/ntuser.reg") | grep Identite
  IdentiteCourante: {3F2A5D1C-8B4E-4C7A-9D21-6E5F0A1B2C3D}
  IdentiteAutre: 
  IdentiteFichier: 
  $ "$CLI" --load S=<(cat "$SAMPLE/WINDOWS/system32/config/software") status
  quillon-cli: /dev/fd/63 : une ruche se lit dans un fichier, pas dans un tube : copiez-la d'abord dans un fichier
  [1]

Without the mail client: the version message, and nothing printed when the window is not shown.

  $ "$CLI" --reg "$SRC/examples/test-key.reg" status 2>/dev/null
  [1]
  $ "$CLI" --reg "$SRC/examples/test-key.reg" status
  [stop] Recherche de la version OE dans le registre (1): Version OE non trouvée
  quillon-cli: la version d'OE se lit dans la ruche SOFTWARE de Windows (HKEY_LOCAL_MACHINE\Software) : donnez --windows DOSSIER, ou la ruche avec --hive HKEY_LOCAL_MACHINE\Software=FICHIER
  [1]

Without a registry option: the Wine prefix of $WINEPREFIX, else an empty registry.

  $ mkdir -p prefix
  $ printf 'WINE REGISTRY Version 2\n\n[Software\\\\Microsoft\\\\Internet Explorer] 1\n"Version"="5.50.4807.2300"\n' >prefix/system.reg
  $ printf 'WINE REGISTRY Version 2\n\n[Identities] 1\n"Last User ID"="{W}"\n' >prefix/user.reg
  $ WINEPREFIX=$PWD/prefix "$CLI" status 2>/dev/null | grep IdentiteCourante
  IdentiteCourante: {W}
  $ env -u WINEPREFIX HOME="$PWD/nohome" "$CLI" status
  [stop] Recherche de la version OE dans le registre (1): Version OE non trouvée
  quillon-cli: la version d'OE se lit dans la ruche SOFTWARE de Windows (HKEY_LOCAL_MACHINE\Software) : donnez --windows DOSSIER, ou la ruche avec --hive HKEY_LOCAL_MACHINE\Software=FICHIER
  [1]
