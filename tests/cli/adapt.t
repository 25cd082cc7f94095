quillon-cli adapt: the backup of the sample installation "Luc" adapted on the second sample
installation "Marie", which has another identity, user SID and store folder. The expected files
were reviewed line by line: only the identity (first occurrence in a line), the store folder,
the user-group keys and the address-book pair differ from the backup.

  $ backup=$SRC/tests/data/sample-xp.save.expected.reg
  $ new() { "$CLI" --windows "$EXAMPLES/sample-xp-2" "$@"; }

An empty backup:

  $ : >empty.reg
  $ new adapt empty.reg x.reg
  quillon-cli: « empty.reg » est vide : aucune ligne à adapter
  [1]

The backup adapted, then again through a pipe, then with an address book:

  $ new adapt "$backup" adapted.reg --folder 'D:\Courrier OE'
  [message] Quillon: Le répertoire D:\Courrier OE n'existe pas ! 
  CommentOnglet3: Changements d'identité : 35\r (esc)
  Changement de répertoire : 1
  [information] Enregistrement du fichier paramètre modifié: Sauvegarde effectuée dans le fichier :
  
  adapted.reg
  \r (esc)
  200 lignes 
  $ cmp adapted.reg "$SRC/tests/data/sample-xp.adapted.expected.reg"
  $ new adapt <(cat "$backup") piped.reg --folder 'D:\Courrier OE' >/dev/null
  [message] Quillon: Le répertoire D:\Courrier OE n'existe pas ! 
  [information] Enregistrement du fichier paramètre modifié: Sauvegarde effectuée dans le fichier :
  
  piped.reg
  \r (esc)
  200 lignes 
  $ cmp piped.reg adapted.reg
  $ new adapt "$backup" wab.reg --folder 'D:\Courrier OE' --address-book 'D:\Carnet\marie.wab' >/dev/null
  [message] Quillon: Le répertoire D:\Courrier OE n'existe pas ! 
  [information] Enregistrement du fichier paramètre modifié: Sauvegarde effectuée dans le fichier :
  
  wab.reg
  \r (esc)
  200 lignes 
  $ cmp wab.reg "$SRC/tests/data/sample-xp.adapted-wab.expected.reg"

A missing input, with the reason alone and no output; an output that cannot be written:

  $ new adapt missing.reg x.reg
  [message] Quillon: Le fichier missing.reg n'existe pas ! 
  [1]
  $ test -e x.reg
  [1]
  $ new adapt "$backup" no/such/dir/x.reg >/dev/null
  [information] Modifier le fichier sauvegarde 14: Pas de remplacement de répertoire OE, \r (esc)
  \r (esc)
  Vérifiez que cela correspond à vos souhaits.
  [stop] Enregistrement du fichier paramètre modifié: Impossible d'écrire ou de lire le fichier « no/such/dir/x.reg » : le fichier ou son dossier n'existe pas
  [1]

A folder, or a file that is not a backup, is refused for what it is; a folder that the
installation read does not hold is named, as the window does when its field is left:

  $ mkdir folder; new adapt folder x.reg
  quillon-cli: « folder » est un dossier, pas une sauvegarde
  [1]
  $ printf 'une ligne\n' >text.txt; new adapt text.txt x.reg
  quillon-cli: « text.txt » n'est pas une sauvegarde : sa première ligne n'est ni « REGEDIT4 » ni « Windows Registry Editor Version 5.00 »
  [1]

It is refused from its first bytes: an endless stream that is not a backup is not read on.

  $ while echo 'pas une sauvegarde'; do :; done 2>/dev/null | timeout 10 "$CLI" --windows "$EXAMPLES/sample-xp-2" adapt /dev/stdin x.reg
  quillon-cli: « /dev/stdin » n'est pas une sauvegarde : sa première ligne n'est ni « REGEDIT4 » ni « Windows Registry Editor Version 5.00 »
  [1]
  $ new adapt "$backup" nowhere.reg --folder 'D:\Nulle part' 2>&1 >/dev/null | head -n 1
  [message] Quillon: Le répertoire D:\Nulle part n'existe pas ! 
