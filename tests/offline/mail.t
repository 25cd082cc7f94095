The mail carried with the settings: save --mail copies the identity's store folder and address
book out of every kind of source, each file identical to its source; the report counts the
message folders and messages; what cannot be copied is named and nothing half-copied is left;
adapt --mail puts a copy where the adapted backup says the mail is.

  $ export MTOOLS_SKIP_CHECK=1
  $ store="$SAMPLE/Documents and Settings/Luc/Local Settings/Application Data/Identities/{3F2A5D1C-8B4E-4C7A-9D21-6E5F0A1B2C3D}/Microsoft/Outlook Express"
  $ book="$SAMPLE/Documents and Settings/Luc/Application Data/Microsoft/Address Book/Luc.wab"
  $ same() { for f in "$store"/*; do cmp "$f" "$1/${f##*/}" || return 1; done;
  >          cmp "$book" "$1/Carnet d'adresses/Luc.wab" && echo "$1: $(ls "$1" | wc -l) entries, the same bytes"; }

From a folder: the report, then every file of the store and the address book, byte for byte.

  $ "$CLI" --windows "$SAMPLE" save folder.reg --mail Courrier 2>&1 | sed -n '/Copie du courrier/,$p'
  [information] Copie du courrier et du carnet d'adresses: Courrier copié dans « Courrier » depuis « C:\Documents and Settings\Luc\Local Settings\Application Data\Identities\{3F2A5D1C-8B4E-4C7A-9D21-6E5F0A1B2C3D}\Microsoft\Outlook Express » :
  - 6 fichier(s), dont 3 dossier(s) de messages (4 message(s))
  - carnet d'adresses : « C:\Documents and Settings\Luc\Application Data\Microsoft\Address Book\Luc.wab »
  
  $ same Courrier
  Courrier: 7 entries, the same bytes
  $ ls Courrier
  Boîte de réception.dbx
  Brouillons.dbx
  Carnet d'adresses
  Folders.dbx
  Offline.dbx
  Pop3uidl.dbx
  Éléments envoyés.dbx

From disk images (FAT32 behind an MBR, NTFS, an E01) and virtual disks: the same files.

  $ truncate -s 80M mbr.img && echo 'start=2048, type=c' | sfdisk -q mbr.img &&
  >     mkfs.fat -F 32 --offset 2048 mbr.img >/dev/null && mcopy -s -i mbr.img@@1M "$SAMPLE"/* ::/
  $ truncate -s 64M ntfs.img && mkntfs -F -Q -q ntfs.img 2>/dev/null && ASAN_OPTIONS=detect_leaks=0 "$NTFS_PUT" ntfs.img "$SAMPLE"
  $ ewfacquire -u -q -t disk -S 1MiB -c none mbr.img >/dev/null 2>&1
  $ qemu-img convert -O vmdk mbr.img disk.vmdk && qemu-img convert -O vhdx mbr.img disk.vhdx &&
  >     qemu-img convert -O qcow2 -c mbr.img disk.qcow2
  $ for image in mbr.img ntfs.img disk.E01 disk.vmdk disk.vhdx disk.qcow2; do
  >     "$CLI" --image "$image" save "$image.reg" --mail "mail-$image" >/dev/null 2>&1 && same "mail-$image" && cmp "$image.reg" folder.reg
  > done
  mail-mbr.img: 7 entries, the same bytes
  mail-ntfs.img: 7 entries, the same bytes
  mail-disk.E01: 7 entries, the same bytes
  mail-disk.vmdk: 7 entries, the same bytes
  mail-disk.vhdx: 7 entries, the same bytes
  mail-disk.qcow2: 7 entries, the same bytes

The folder must be new or empty: nothing is written into one that holds anything.

  $ mkdir full && touch full/autre.txt
  $ "$CLI" --windows "$SAMPLE" save again.reg --mail full 2>&1 | tail -n 1
  [stop] Copie du courrier et du carnet d'adresses: Le dossier « full » n'est pas vide : choisissez un dossier nouveau ou vide pour le courrier.
  $ "$CLI" --windows "$SAMPLE" save again.reg --mail full >/dev/null 2>&1; echo "exit $?"; ls full
  exit 1
  autre.txt

A damaged or truncated .dbx is copied as it is, and named; an absent address book is said.

  $ cp -r "$SAMPLE" damaged && d="damaged/${store#$SAMPLE/}"
  $ truncate -s 12000 "$d/Boîte de réception.dbx" && rm "damaged/${book#$SAMPLE/}"
  $ "$CLI" --windows damaged save damaged.reg --mail m-damaged 2>&1 | sed -n '/Copie du courrier/,$p'
  [information] Copie du courrier et du carnet d'adresses: Courrier copié dans « m-damaged » depuis « C:\Documents and Settings\Luc\Local Settings\Application Data\Identities\{3F2A5D1C-8B4E-4C7A-9D21-6E5F0A1B2C3D}\Microsoft\Outlook Express » :
  - 6 fichier(s), dont 3 dossier(s) de messages (4 message(s))
  Attention : Le carnet d'adresses « C:\Documents and Settings\Luc\Application Data\Microsoft\Address Book\Luc.wab » n'existe pas : aucun carnet copié.
  Attention : « Boîte de réception.dbx » semble endommagé ou tronqué : copié tel quel, ses messages sont peut-être incomplets.
  
  $ cmp "$d/Boîte de réception.dbx" "m-damaged/Boîte de réception.dbx" && ls m-damaged | wc -l
  6

An absent store folder ends the command (exit 1) after the backup, which is written.

  $ rm -r "$d"
  $ "$CLI" --windows damaged save nostore.reg --mail m-none 2>&1 | tail -n 1; ls nostore.reg; ls m-none
  [stop] Copie du courrier et du carnet d'adresses: Le dossier du courrier « C:\Documents and Settings\Luc\Local Settings\Application Data\Identities\{3F2A5D1C-8B4E-4C7A-9D21-6E5F0A1B2C3D}\Microsoft\Outlook Express » n'existe pas : aucun courrier copié.
  nostore.reg
  ls: cannot access 'm-none': No such file or directory
  [2]

A file that cannot be written (here the file size limit stands for a full disk): the command
names it, and the folder it made is gone.

  $ (trap '' XFSZ; ulimit -f 14; "$CLI" --windows "$SAMPLE" save limited.reg --mail m-limited 2>&1 | tail -n 1); ls m-limited
  [stop] Copie du courrier et du carnet d'adresses: Impossible d'écrire le fichier « m-limited/Boîte de réception.dbx » : fichier trop grand. Rien n'a été copié.
  ls: cannot access 'm-limited': No such file or directory
  [2]

--eml writes each message folder as .eml files, read by Quillon itself (no undbx needed), the
same messages as undbx finds; --open-formats writes mbox and .eml files, and says so.

  $ "$CLI" --windows "$SAMPLE" save eml.reg --mail m-eml --eml >/dev/null 2>&1 && find "m-eml/Messages eml" -name '*.eml' | sed 's|/[^/]*$||' | sort | uniq -c
        3 m-eml/Messages eml/Boîte de réception
        1 m-eml/Messages eml/Éléments envoyés
  $ grep -l '^Subject: Inscrits' "m-eml/Messages eml/Boîte de réception"/*.eml | wc -l
  1
  $ undbx m-eml undbx >/dev/null 2>&1
  $ test "$(find undbx -name '*.eml' -exec sha256sum {} + | cut -c1-64 | sort)" = "$(find "m-eml/Messages eml" -name '*.eml' -exec sha256sum {} + | cut -c1-64 | sort)" && echo "the same messages as undbx"
  the same messages as undbx
  $ PATH=/nowhere "$CLI" --windows "$SAMPLE" save open.reg --mail m-open --open-formats 2>&1 | sed -n '/Courrier pour/,$p'
  [information] Courrier pour les clients de messagerie d'aujourd'hui: Courrier écrit dans « m-open/Formats ouverts » : 3 dossier(s), 4 message(s), en mbox (dossier « mbox ») et en .eml (dossier « eml »).
    Boîte de réception : 3 message(s)
    Brouillons : 0 message(s)
    Éléments envoyés : 1 message(s)
  Carnet d'adresses « m-open/Carnet d'adresses/Luc.wab » : 3 contact(s), 1 groupe(s), en vCard et en CSV (dossier « Carnet d'adresses »).
  Les réglages des comptes sont dans « Comptes.txt ».
  $ ls "m-open/Formats ouverts" "m-open/Formats ouverts/mbox"
  m-open/Formats ouverts:
  Carnet d'adresses
  Comptes.txt
  eml
  mbox
  
  m-open/Formats ouverts/mbox:
  Boîte de réception
  Brouillons
  Éléments envoyés
The settings beside the mail, in UTF-8, to set up the new client with: each account's servers,
the passwords to type again, the signatures, the blocked senders, the rules to recreate.

  $ tr -d '\r' <"m-open/Formats ouverts/Comptes.txt" | sed -n '/pop.exemple.fr »/,/^$/p;/Expéditeurs bloqués (courrier)/,/^$/p'
  Compte « pop.exemple.fr »
    nom affiché : Luc Martin
    adresse électronique : luc.martin@exemple.fr
    Réception (POP3) : pop.exemple.fr, port 110, sans chiffrement
      nom d'utilisateur : luc.martin
      mot de passe enregistré dans Outlook Express : il n'est pas emporté, tapez-le une fois dans le nouveau client
    Envoi (SMTP) : smtp.exemple.fr, port 25, sans chiffrement
  
  Expéditeurs bloqués (courrier) :
    annonces@publicite.example
    promo.example
  
  $ tail -n 4 "m-open/Formats ouverts/Comptes.txt" | tr -d '\r'
  Règles de message, que les autres clients ne lisent pas : à recréer à la main (Thunderbird : Outils, Filtres de messages) :
    Factures "EDF"
    Lettres d'info
    Ignorer les fils anciens
  $ "$CLI" --windows "$SAMPLE" save x.reg --mail m-x --eml --open-formats
  quillon-cli: --eml et --open-formats ne vont pas ensemble (--open-formats écrit aussi les .eml)
  Aide : quillon-cli --help
  [2]
  $ "$CLI" --windows "$SAMPLE" save x.reg --eml
  quillon-cli: --eml et --open-formats écrivent les messages du courrier copié : donnez aussi --mail DOSSIER
  Aide : quillon-cli --help
  [2]

adapt --mail on the new system (Marie's, read from its folder): the store goes into the folder
the adapted backup names, the address book to its path.

  $ cp -r "$EXAMPLES/sample-xp-2" new
  $ "$CLI" --windows new adapt folder.reg adapted.reg --folder 'C:\Courrier\Luc' --address-book 'C:\Courrier\Luc.wab' --mail Courrier 2>&1 | sed -n '/Mise en place/,$p'
  [information] Mise en place du courrier et du carnet d'adresses: Courrier placé dans « C:\Courrier\Luc » depuis « Courrier » :
  - 6 fichier(s), dont 3 dossier(s) de messages (4 message(s))
  - carnet d'adresses : « C:\Courrier\Luc.wab »
  
  $ grep -a -A1 '"Store Root"' adapted.reg | head -n 1 | cut -c 1-30
  "Store Root"=hex(2):43,3A,5C,* (glob)
  $ for f in Courrier/*.dbx; do cmp "$f" "new/Courrier/Luc/${f##*/}" || echo "$f differs"; done; cmp "$book" new/Courrier/Luc.wab && echo placed
  placed

Never over an existing store without "Oui": without --replace-mail nothing is placed.

  $ echo ancien > "new/Courrier/Luc/Folders.dbx"
  $ "$CLI" --windows new adapt folder.reg adapted2.reg --folder 'C:\Courrier\Luc' --address-book 'C:\Courrier\Luc.wab' --mail Courrier 2>&1 | sed -n '/question/,$p'
  [question] Mise en place du courrier et du carnet d'adresses: Ces fichiers existent déjà sur le nouveau système :
    new/Courrier/Luc/Boîte de réception.dbx
    new/Courrier/Luc/Brouillons.dbx
    new/Courrier/Luc/Folders.dbx
    new/Courrier/Luc/Offline.dbx
    new/Courrier/Luc/Pop3uidl.dbx
    new/Courrier/Luc/Éléments envoyés.dbx
    new/Courrier/Luc.wab
  Les remplacer par ceux de la copie du courrier ?
    -> Non
  [stop] Mise en place du courrier et du carnet d'adresses: Rien n'a été placé : le courrier existant est gardé.
  $ cat new/Courrier/Luc/Folders.dbx
  ancien
  $ "$CLI" --windows new adapt folder.reg adapted2.reg --folder 'C:\Courrier\Luc' --address-book 'C:\Courrier\Luc.wab' --mail Courrier --replace-mail >/dev/null 2>&1; echo "exit $?"
  exit 0
  $ cmp Courrier/Folders.dbx new/Courrier/Luc/Folders.dbx && echo replaced
  replaced

Tab 2: another user's hive of the same installation; its store folder is that user's, found
through the hive's own shell folders.

  $ cp -r "$SAMPLE/Documents and Settings/Luc" "new/Documents and Settings/"
  $ "$CLI" --windows new --user Marie --load AUTRE="new/Documents and Settings/Luc/NTUSER.DAT" save-hive AUTRE hive.reg --mail m-hive 2>&1 | sed -n '/Copie du courrier/,$p' | head -n 2
  [information] Copie du courrier et du carnet d'adresses: Courrier copié dans « m-hive » depuis « C:\Documents and Settings\Luc\Local Settings\Application Data\Identities\{3F2A5D1C-8B4E-4C7A-9D21-6E5F0A1B2C3D}\Microsoft\Outlook Express » :
  - 6 fichier(s), dont 3 dossier(s) de messages (4 message(s))
  $ same m-hive
  m-hive: 7 entries, the same bytes

On a terminal the copy shows how far it is, on one line of stderr cleared at the end; when
stderr is not a terminal (every other command here), nothing.

  $ script -qec "'$CLI' --windows '$SAMPLE' save tty.reg --mail m-tty 2>&1 >/dev/null" /dev/null | tr '\r' '\n' | sed 's/\x1b\[K//' | grep -m 1 ' %$' | sed 's/[0-9]* %$/N %/'
  Copie du courrier et du carnet d'adresses : N %
