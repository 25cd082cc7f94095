A real Windows Me registry (../shared's fixture) in a Windows 98/Me layout: status finds the
version and the identity, save writes the backup, and the backup merged by Wine's regedit into a
fresh prefix gives back every key and value.

  $ me=$FIXTURES/winme-dfwinreg-creg
  $ test -f "$me/USER.DAT" || { echo "the Windows Me registry $me is not here (no ../shared beside the clone)"; exit 80; }
  $ export WINEPREFIX=$PWD/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  $ trap 'wineserver -k 2>/dev/null' EXIT
  $ mkdir -p disk/WINDOWS && cp "$me/SYSTEM.DAT" "$me/USER.DAT" disk/WINDOWS/

No store folder, no group, and no message for either:

  $ "$CLI" --windows disk status
  CommentOnglet1: 5.50.4134.0100
  CommentOnglet2: 5.50.4134.0100
  IdentiteCourante: {5BF89071-1772-4861-B17B-50F47CC6DBDD}
  RepertoireCourant: 
  TexteGroupeActif:  
  NomAutre: 
  IdentiteAutre: 
  RepertoireAutre: 
  RepertoireLu: 
  RepertoireChoisi: 
  IdentiteFichier: 

The five directory services are saved, and come back from the merge:

  $ "$CLI" --windows disk save me.reg
  [question] Recherche des comptes IE dans le registre: Comptes non trouvés pour cette identité, les générer ? 
    -> Oui
  [information] Sauvegarde des paramètres Outlook Express: Sauvegarde effectuée pour 139 lignes 
   dans le fichier 
  me.reg
  $ grep -c '^\[HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Account Manager\\Accounts\\' me.reg
  5
  $ source "$TESTDIR/wine_merge.sh"
  $ merged_gives_back "$CLI" me.reg . 2>/dev/null && tail -n 1 compare
  16 passed, 0 failed
