The mail in open formats: export-mail writes each message folder of a store folder as an mbox
file (Thunderbird's tree of folders) and each message as an .eml file, the same bytes as stored,
which undbx also finds; a damaged store is read as far as it goes and said; nothing the user had
is touched, and nothing is left half-written.

  $ store="$SAMPLE/Documents and Settings/Luc/Local Settings/Application Data/Identities/{3F2A5D1C-8B4E-4C7A-9D21-6E5F0A1B2C3D}/Microsoft/Outlook Express"
  $ digests() { find "$1" -name '*.eml' -type f -exec sha256sum {} + | cut -c1-64 | sort; }

The sample's store, its folders named by its folders list.

  $ "$CLI" export-mail "$store" out
  Courrier écrit dans « out » : 3 dossier(s), 4 message(s), en mbox (dossier « mbox ») et en .eml (dossier « eml »).
    Boîte de réception : 3 message(s)
    Brouillons : 0 message(s)
    Éléments envoyés : 1 message(s)
  $ cd out && find . | sort && cd ..
  .
  ./eml
  ./eml/Boîte de réception
  ./eml/Boîte de réception/00001 Rendez-vous de jeudi.eml
  ./eml/Boîte de réception/00002 Sortie du dimanche.eml
  ./eml/Boîte de réception/00003 Inscrits.eml
  ./eml/Brouillons
  ./eml/Éléments envoyés
  ./eml/Éléments envoyés/00001 Re_ Rendez-vous de jeudi.eml
  ./mbox
  ./mbox/Boîte de réception
  ./mbox/Brouillons
  ./mbox/Éléments envoyés
  $ cmp "out/eml/Boîte de réception/00002 Sortie du dimanche.eml" "$SRC/examples/sample-xp/mail/inbox-2.eml" && echo same
  same
  $ undbx "$store" undbx >/dev/null 2>&1; test "$(digests out)" = "$(digests undbx)" && echo "the same messages as undbx"
  the same messages as undbx
  $ python3 -c 'import mailbox, sys; print(*(len(mailbox.mbox(f)) for f in sys.argv[1:]))' out/mbox/*
  3 0 1
  $ stat -c %a out out/mbox "out/mbox/Brouillons"
  700
  700
  600

The address book, named or found in a copy made with --mail: every contact and group as vCard
3.0, which Debian's vCard parser reads back whole, and as CSV with Thunderbird's and Gmail's
columns.

  $ book="$SAMPLE/Documents and Settings/Luc/Application Data/Microsoft/Address Book/Luc.wab"
  $ "$CLI" export-mail "$store" with-book --address-book "$book" | tail -1 | sed "s|$SAMPLE|SAMPLE|"
  Carnet d'adresses « SAMPLE/Documents and Settings/Luc/Application Data/Microsoft/Address Book/Luc.wab » : 3 contact(s), 1 groupe(s), en vCard et en CSV (dossier « Carnet d'adresses »).
  $ ls "with-book/Carnet d'adresses"
  Luc (Gmail).csv
  Luc (Thunderbird).csv
  Luc.vcf
  $ /usr/bin/python3 -c '
  > import sys, vobject
  > for card in vobject.readComponents(open(sys.argv[1], encoding="utf-8").read()):
  >     emails = " ".join(e.value for e in card.contents.get("email", []))
  >     members = len(card.contents.get("x-addressbookserver-member", []))
  >     notes = card.note.value if "note" in card.contents else ""
  >     phone = card.tel.value if "tel" in card.contents else "-"
  >     print(card.fn.value, emails, phone, members or "-", notes, sep=" / ")
  > ' "with-book/Carnet d'adresses/Luc.vcf"
  Marie Lefèvre / marie.lefevre@exemple.fr marie@maison.exemple / 04 78 12 34 56 / - / Rencontrée au club de randonnée; appeler le soir, avant 21 h.
  Paul Martin / paul.martin@travail.exemple / 01 40 20 30 40 / - / 
  Søren Ødegård / soren@exemple.no / - / - / 
  Famille /  / - / 2 / 
  $ python3 -c '
  > import csv, sys
  > for path in sys.argv[1:]:
  >     rows = list(csv.DictReader(open(path, encoding="utf-8", newline="")))
  >     print(len(rows), *(r.get("Primary Email") or r.get("E-mail 1 - Value") for r in rows), sep=" | ")
  > ' "with-book/Carnet d'adresses/"*.csv
  3 | marie.lefevre@exemple.fr ::: marie@maison.exemple | paul.martin@travail.exemple | soren@exemple.no
  3 | marie.lefevre@exemple.fr | paul.martin@travail.exemple | soren@exemple.no

A damaged address book is read as far as it goes, and what it lost is named.

  $ python3 -c '
  > import struct, sys
  > book = bytearray(open(sys.argv[1], "rb").read())
  > index = struct.unpack_from("<I", book, 0x20)[0]
  > paul = struct.unpack_from("<I", book, index + 8 + 4)[0]
  > struct.pack_into("<I", book, paul + 0x1C, 0x7FFFFFFF)
  > open("bad.wab", "wb").write(book)
  > ' "$book"
  $ "$CLI" export-mail "$store" bad-book --address-book bad.wab | tail -4
  Carnet d'adresses « bad.wab » : 2 contact(s), 1 groupe(s), en vCard et en CSV (dossier « Carnet d'adresses »).
  Attention : « bad.wab » : la fiche n° 2 est abîmée ou sort du fichier : elle n'est pas lue
  Attention : « bad.wab » : « Paul Martin » est dans un index du carnet, mais sa fiche (n° 2) manque
  Attention : « bad.wab » : « paul.martin@travail.exemple » est dans un index du carnet, mais sa fiche (n° 2) manque
  $ grep -c BEGIN:VCARD "bad-book/Carnet d'adresses/bad.vcf"
  3

A message of 100 MB is written whole, streamed; an address book of 5,000 contacts whole too.

  $ mkdir big && "$MAKE_MAIL" messages big/Gros.dbx --filler 1 104857600
  $ "$CLI" export-mail big big-out | sed -n 2p
    Gros : 1 message(s)
  $ stat -c %s big-out/eml/Gros/*.eml
  104857600
  $ python3 -c 'print("".join(f"contact {n}\n3001001F=Contact {n}\n3003001F=c{n}@exemple.fr\n" for n in range(1, 5001)))' > contacts.txt
  $ "$MAKE_MAIL" address-book thousands.wab contacts.txt && "$CLI" export-mail big book-out --address-book thousands.wab | grep Carnet
  Carnet d'adresses « thousands.wab » : 5000 contact(s), 0 groupe(s), en vCard et en CSV (dossier « Carnet d'adresses »).
  $ /usr/bin/python3 -c 'import sys, vobject; print(sum(1 for _ in vobject.readComponents(open(sys.argv[1], encoding="utf-8").read())))' "book-out/Carnet d'adresses/thousands.vcf"
  5000

A folder already there is refused unless empty; an empty one is taken; nothing is left beside.

  $ "$CLI" export-mail "$store" out; echo "exit $?"
  quillon-cli: Le dossier « out » existe déjà et n'est pas vide : choisissez un dossier nouveau ou vide.
  exit 1
  $ mkdir empty && "$CLI" export-mail "$store" empty >/dev/null && ls empty && ls -a | grep TempQuillon | wc -l
  eml
  mbox
  0
  $ "$CLI" export-mail "$SAMPLE" none; echo "exit $?"; test -e none || echo "nothing written"
  quillon-cli: Aucun dossier de messages (.dbx) ni carnet d'adresses (.wab) dans le dossier indiqué : rien n'est écrit.
  exit 1
  nothing written

Subfolders go into Thunderbird's ".sbd" folders; a name Windows cannot carry is made safe; a
folder the list does not name takes its file's name; a link is not followed.

  $ mkdir tree && for f in Inbox Famille Lettres Divers; do "$MAKE_MAIL" messages "tree/$f.dbx" "$SRC/examples/sample-xp/mail/inbox-1.eml"; done
  $ "$MAKE_MAIL" folders tree/Folders.dbx --folder 0 4294967295 3 0 "Outlook Express" - \
  >     --folder 1 0 3 0 "Dossiers locaux" - --folder 2 1 3 1 "Inbox" Inbox.dbx \
  >     --folder 3 2 3 0 "Famille: 2009/2010" Famille.dbx --folder 4 1 3 0 "CON" - \
  >     --folder 5 4 3 0 "Lettres" Lettres.dbx
  $ ln -s "$store/Brouillons.dbx" tree/Lien.dbx
  $ "$CLI" export-mail tree tree-out
  Courrier écrit dans « tree-out » : 4 dossier(s), 4 message(s), en mbox (dossier « mbox ») et en .eml (dossier « eml »).
    CON/Lettres : 1 message(s)
    Divers : 1 message(s)
    Inbox : 1 message(s)
    Inbox/Famille: 2009/2010 : 1 message(s)
  Attention : « Lien.dbx » n'est pas un fichier ordinaire (lien, tube ou périphérique) : il n'est pas lu.
  Attention : « Divers.dbx » n'est pas dans la liste des dossiers : il prend le nom de son fichier.
  $ cd tree-out/mbox && find . | sort && cd ../..
  .
  ./Divers
  ./Inbox
  ./Inbox.sbd
  ./Inbox.sbd/Famille_ 2009_2010
  ./_CON
  ./_CON.sbd
  ./_CON.sbd/Lettres

Without a folders list, each folder takes its file's name; a damaged message folder is read as
far as it goes, the messages its index lost found by their text, and written apart.

  $ rm tree/Folders.dbx tree/Lien.dbx && "$CLI" export-mail tree flat | tail -n 1
  Attention : Pas de liste des dossiers (Folders.dbx) : chaque dossier prend le nom de son fichier.
  $ cp "$store/Boîte de réception.dbx" damaged.dbx && mkdir damaged && mv damaged.dbx damaged/Boîte.dbx
  $ python3 -c 'import sys; f=open(sys.argv[1],"r+b"); f.seek(0xE4); f.write(b"\xf0\xff\xff\x7f")' damaged/Boîte.dbx
  $ "$CLI" export-mail damaged damaged-out | sed 1d
    Boîte : 3 message(s), dont 3 retrouvé(s) hors de l'index, écrit(s) à part
  Attention : Pas de liste des dossiers (Folders.dbx) : chaque dossier prend le nom de son fichier.
  Attention : « damaged/Boîte.dbx » : index endommagé (nœud à l'offset 0x7FFFFFF0 illisible)
  $ ls damaged-out/mbox; ls damaged-out/eml/Boîte; test "$(digests damaged-out)" = "$(digests out/eml/Boîte*)" && echo "the same messages"
  Boîte
  Boîte (récupérés)
  récupérés
  the same messages

Asked to end while it writes (a background job ignores Ctrl+C: the request to end, as closing
the terminal sends), it leaves nothing: no target, no folder of its own beside.

  $ mkdir many && "$MAKE_MAIL" messages many/Gros.dbx --filler 5000 20000
  $ "$CLI" export-mail many many-out >/dev/null &
  > for _ in $(seq 500); do ls -a | grep -q TempQuillon && break; sleep 0.01; done
  > kill -TERM $!; wait $!
  [143]
  $ ls -a | grep -c 'TempQuillon\|many-out'
  0
  [1]
