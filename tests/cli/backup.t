quillon-cli save, lookup and save-hive on the sample installation. Every temporary file of the
program must be gone after each command, an interruption included.

  $ user="$SAMPLE/Documents and Settings/Luc/NTUSER.DAT"
  $ "$CLI" --windows "$SAMPLE" save all.reg
  [question] Recherche des comptes IE dans le registre: Comptes non trouvés pour cette identité, les générer ? 
    -> Oui
  [information] Sauvegarde des paramètres Outlook Express: Sauvegarde effectuée pour 200 lignes 
   dans le fichier 
  all.reg
  $ cmp all.reg "$SRC/tests/data/sample-xp.save.expected.reg"

Nothing ticked, an unknown box, a file that cannot be written:

  $ "$CLI" --windows "$SAMPLE" save none.reg --only ''
  [stop] Sauvegarde des paramètres Outlook Express: Sauvegarde non effectuée, aucune clef à copier
  [1]
  $ "$CLI" --windows "$SAMPLE" save x.reg --only 'signatures,nothing'
  quillon-cli: --only : « nothing » n'est pas une case de l'onglet 1
  Aide : quillon-cli --help
  [2]
  $ "$CLI" --windows "$SAMPLE" save missing/x.reg
  [stop] Sauvegarde des paramètres Outlook Express: Impossible d'écrire ou de lire le fichier « missing/x.reg » : le fichier ou son dossier n'existe pas
  [1]

The lookup of tab 2, with the hive loaded or not; with no user of its own, the start-up reports
a missing identity and the lookup still succeeds.

  $ "$CLI" --windows "$SAMPLE" --load "AUTRE=$user" lookup AUTRE
  IdentiteAutre: {3F2A5D1C-8B4E-4C7A-9D21-6E5F0A1B2C3D}
  RepertoireAutre: %UserProfile%\Local Settings\Application Data\Identities\{3F2A5D1C-8B4E-4C7A-9D21-6E5F0A1B2C3D}\Microsoft\Outlook Express\x00
  $ "$CLI" --windows "$SAMPLE" lookup AUTRE
  [stop] Recherche de l'identité dans un autre registre: Identité non trouvée dans l'autre base de registre (OE 5/6)
  IdentiteAutre: 
  RepertoireAutre: 
  [1]
  $ "$CLI" --hive "HKEY_LOCAL_MACHINE\Software=$SAMPLE/WINDOWS/system32/config/software" --load "AUTRE=$user" lookup AUTRE
  [stop] Recherche de l'identité courante dans le registre: Identité non trouvée dans la base de registre (OE 5/6)
  [stop] Recherche de l'identité dans le registre: Répertoire des fichiers OE non trouvé dans la base de registre
  IdentiteAutre: {3F2A5D1C-8B4E-4C7A-9D21-6E5F0A1B2C3D}
  RepertoireAutre: %UserProfile%\Local Settings\Application Data\Identities\{3F2A5D1C-8B4E-4C7A-9D21-6E5F0A1B2C3D}\Microsoft\Outlook Express\x00

The hive saved as the current user's keys, with the identity's generated accounts; an unknown
identity ends without a file.

  $ "$CLI" --windows "$SAMPLE" --load "AUTRE=$user" save-hive AUTRE hive.reg
  [question] Recherche des comptes IE dans le registre: Comptes non trouvés pour cette identité, les générer ? 
    -> Oui
  [information] Sauvegarde des paramètres Outlook Express: Sauvegarde effectuée pour 169 lignes 
   dans le fichier 
  hive.reg
  $ grep -c '^\[HKEY_CURRENT_USER\\Identities\\{3F2A5D1C-8B4E-4C7A-9D21-6E5F0A1B2C3D}\\Software\\Microsoft\\Internet Account Manager\\Accounts\\00000001\]' hive.reg
  1
  $ "$CLI" --windows "$SAMPLE" --load "AUTRE=$user" save-hive AUTRE no.reg --identity '{NONE}'
  [stop] Recherche de l'identité dans le registre: Pas de paramètres OE !
  [1]
  $ test -e no.reg
  [1]

Asked to end while it waits to write into a pipe that no one reads, with its backup made:

  $ mkfifo out.fifo
  $ "$CLI" --windows "$SAMPLE" save out.fifo 2>/dev/null &
  > for _ in $(seq 100); do [[ -n $(ls -A "$TMPDIR") ]] && break; sleep 0.1; done
  > kill -TERM $!
  > for _ in $(seq 50); do kill -0 $! 2>/dev/null || break; sleep 0.1; done
  > kill -KILL $! 2>/dev/null; wait $!
  [143]
  $ ls -A "$TMPDIR"
