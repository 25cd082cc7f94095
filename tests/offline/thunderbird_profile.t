thunderbird-profile moves the identity into a Thunderbird profile, a folder and the same as a
zip: its accounts and servers without a password, its name, address and signature, its mail in
the local folders under the identity's name (the special folders as Thunderbird's own), its
address book as Thunderbird's (each card with the date the old address book last saved it,
where it kept one), its blocked senders as a filter. A real Thunderbird, where
../shared is here, then says what it loaded.

  $ "$CLI" --windows "$SAMPLE" thunderbird-profile profile 2>&1
  [information] Profil Thunderbird: Profil Thunderbird écrit dans « profile » et « profile.zip » : 2 compte(s), 3 dossier(s) de 4 message(s), 4 contact(s).
  Ouvrez-le dans Thunderbird par Outils > Importer > Importer depuis Thunderbird (le dossier ou le .zip), ou avec « thunderbird -profile DOSSIER ». Thunderbird demandera une fois le mot de passe de chaque compte.
  $ cd profile && find . -type f | sort && cd ..
  ./Mail/Local Folders/Identité principale
  ./Mail/Local Folders/Identité principale.sbd/Drafts
  ./Mail/Local Folders/Identité principale.sbd/Inbox
  ./Mail/Local Folders/Identité principale.sbd/Sent
  ./Mail/pop.exemple.fr/msgFilterRules.dat
  ./abook.sqlite
  ./prefs.js
  $ grep -c password profile/prefs.js; grep -E 'server1\.(type|hostname|port|userName)|smtp1\.hostname|id1\.(fullName|useremail)' profile/prefs.js
  0
  user_pref("mail.server.server1.type", "pop3");
  user_pref("mail.server.server1.hostname", "pop.exemple.fr");
  user_pref("mail.server.server1.port", 110);
  user_pref("mail.server.server1.userName", "luc.martin");
  user_pref("mail.identity.id1.fullName", "Luc Martin");
  user_pref("mail.identity.id1.useremail", "luc.martin@exemple.fr");
  user_pref("mail.smtpserver.smtp1.hostname", "smtp.exemple.fr");
  $ sed -n '/^name=/,$p' profile/Mail/pop.exemple.fr/msgFilterRules.dat
  name="Expéditeurs bloqués (Outlook Express)"
  enabled="yes"
  type="17"
  action="Delete"
  condition="OR (from,contains,annonces@publicite.example) OR (from,contains,promo.example)"
  $ python3 -c 'import mailbox, sys; print(*(len(mailbox.mbox(f)) for f in sys.argv[1:]))' "profile/Mail/Local Folders/Identité principale.sbd/"*
  0 3 1
  $ /usr/bin/python3 -c '
  > import sqlite3, sys
  > book = sqlite3.connect(sys.argv[1])
  > for card, in book.execute("SELECT DISTINCT card FROM properties ORDER BY card"):
  >     values = dict(book.execute("SELECT name, value FROM properties WHERE card = ?", (card,)))
  >     print(values["DisplayName"], values.get("PrimaryEmail"), values.get("LastModifiedDate"), "BEGIN:VCARD" in values["_vCard"])
  > print(*book.execute("SELECT name FROM lists"), book.execute("SELECT count(*) FROM list_cards").fetchone())
  > ' profile/abook.sqlite
  Søren Ødegård soren@exemple.no None True
  Paul Martin paul.martin@travail.exemple None True
  Tante Jeanne jeanne@exemple.org None True
  Marie Lefèvre marie.lefevre@exemple.fr 1257120000 True
  ('Famille',) (2,)

The zip holds the same files, byte for byte; nothing is left in the temporary folder.

  $ python3 -c '
  > import os, sys, zipfile
  > archive = zipfile.ZipFile(sys.argv[1])
  > assert archive.testzip() is None
  > same = all(archive.read(name) == open(os.path.join(sys.argv[2], name), "rb").read() for name in archive.namelist())
  > print(len(archive.namelist()), "files", "the same" if same else "differ")
  > ' profile.zip profile
  7 files the same
  $ stat -c %a profile profile/prefs.js profile.zip
  700
  600
  600
  $ ls "${TMPDIR:-/tmp}" | grep TempQuillon | wc -l
  0

A folder or a zip of that name already there is refused, and nothing is written.

  $ mkdir taken && touch taken.zip && "$CLI" --windows "$SAMPLE" thunderbird-profile taken 2>&1; echo "exit $?"; ls taken | wc -l
  [stop] Profil Thunderbird: « taken.zip » existe déjà : choisissez pour le profil un dossier nouveau ou vide, sans archive .zip de ce nom à côté.
  exit 1
  0
  $ "$CLI" --windows "$SAMPLE" thunderbird-profile profile 2>&1 | head -1; ls -a | grep TempQuillon | wc -l
  [stop] Profil Thunderbird: « profile.zip » existe déjà : choisissez pour le profil un dossier nouveau ou vide, sans archive .zip de ce nom à côté.
  0
  $ "$CLI" --windows "$SAMPLE" thunderbird-profile a b; echo "exit $?"
  quillon-cli: usage : thunderbird-profile DOSSIER [--hive RUCHE [--identity ID] | --store COPIE [--identity ID]] [--recover]
  Aide : quillon-cli --help
  exit 2

From a backup and a copy of the mail made beside it (the old disk long gone): the backup read
as the registry, the copy's mail and address book; the same accounts as from the disk, though
the backup holds them twice (the shared ones, and the identity's own made of them).

  $ "$CLI" --windows "$SAMPLE" save backup.reg --mail copy >/dev/null 2>&1
  $ "$CLI" --reg backup.reg thunderbird-profile from-backup --store copy 2>&1 | head -1
  [information] Profil Thunderbird: Profil Thunderbird écrit dans « from-backup » et « from-backup.zip » : 2 compte(s), 3 dossier(s) de 4 message(s), 4 contact(s).
  $ cmp profile/prefs.js from-backup/prefs.js && echo "the same accounts"
  the same accounts

Thunderbird itself opens the profile.

  $ readback=$SRC/../shared/tools/thunderbird-readback
  $ test -x "$readback" || { echo "the Thunderbird read-back of ../shared is not here (no ../shared beside the clone)"; exit 80; }
  $ "$readback" profile loaded.json && python3 -c '
  > import json, sys
  > tb = json.load(open(sys.argv[1]))
  > for a in tb["accounts"]:
  >     print(a["type"], a["host"], a["port"], a["user"], *(i["name"] + " <" + i["email"] + "> " + repr(i["signature"]) for i in a["identities"]))
  >     for f in sorted(a["folders"], key=lambda f: f["uri"]):
  >         if "Identit" in f["uri"]:
  >             print("  ", f["uri"].split("/", 3)[3], f["messages"])
  > print("outgoing:", *(s["host"] for s in tb["outgoing"]))
  > for b in tb["books"]:
  >     print(b["name"] + ":", *sorted(c["name"] + " <" + c["email"] + ">" for c in b["cards"]), sep="\n  ")
  > ' loaded.json
  pop3 pop.exemple.fr 110 luc.martin Luc Martin <luc.martin@exemple.fr> 'Luc Martin\nAtelier de reliure\n12 rue des Lilas, Lyon'
  nntp news.exemple.fr 119  Luc M. <luc.martin@exemple.fr> 'Luc Martin\nAtelier de reliure\n12 rue des Lilas, Lyon'
  none Local Folders -1 nobody
     Identit%C3%A9%20principale 0
     Identit%C3%A9%20principale/Drafts 0
     Identit%C3%A9%20principale/Inbox 3
     Identit%C3%A9%20principale/Sent 1
  outgoing: smtp.exemple.fr
  Personal Address Book:
    Famille <>
    Marie Lefèvre <marie.lefevre@exemple.fr>
    Paul Martin <paul.martin@travail.exemple>
    Søren Ødegård <soren@exemple.no>
    Tante Jeanne <jeanne@exemple.org>
  Collected Addresses:
