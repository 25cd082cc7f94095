A hostile old disk, read as root: whatever its registry, its names and its links say, Quillon
reads only the source and writes only into the folders named. Each case watches a victim file
outside them (its bytes and its time) and a FIFO outside them that nobody may open.

  $ export MTOOLS_SKIP_CHECK=1
  $ id="{3F2A5D1C-8B4E-4C7A-9D21-6E5F0A1B2C3D}"
  $ rel="Documents and Settings/Luc/Local Settings/Application Data/Identities/$id/Microsoft/Outlook Express"
  $ mkdir outside && echo "root:secret" > outside/shadow && mkfifo outside/fifo && touch -d 2001-01-01 outside/shadow
  $ untouched() { [[ $(cat outside/shadow) == root:secret && $(stat -c %Y outside/shadow) == 978307200 &&
  >               $(ls -A outside | tr '\n' ' ') == "fifo shadow " && -p outside/fifo && ! -e fifo-opened ]] &&
  >               echo "outside untouched"; }
  $ watch_fifo() { (: > outside/fifo && touch fifo-opened) >/dev/null 2>&1 & }
  $ "$CLI" --windows "$SAMPLE" save folder.reg --mail Courrier >/dev/null 2>&1 && ls Courrier | wc -l
  7

Paths of a backup that climb out of the new installation with "/" or "..", which Windows
takes as separators: refused, nothing written anywhere.

  $ cp -r "$EXAMPLES/sample-xp-2" new
  $ "$CLI" --windows new adapt folder.reg a.reg --folder 'C:\WINDOWS/../../x' --mail Courrier 2>&1 | tail -n 1
  [stop] Mise en place du courrier et du carnet d'adresses: Le chemin « C:\WINDOWS/../../x » mène hors du disque du nouveau système (par « .. » ou par un lien) : rien n'a été placé.
  $ "$CLI" --windows new adapt folder.reg a.reg --folder 'C:\Courrier' --address-book 'C:\..\..\outside\shadow' --mail Courrier 2>&1 | tail -n 1
  [stop] Mise en place du courrier et du carnet d'adresses: Le chemin « C:\..\..\outside\shadow » mène hors du disque du nouveau système (par « .. » ou par un lien) : rien n'a été placé.
  $ ls x new/Courrier 2>&1; untouched
  ls: cannot access 'x': No such file or directory
  ls: cannot access 'new/Courrier': No such file or directory
  outside untouched

A folder of the new installation that is a link to elsewhere is not written through.

  $ ln -s "$PWD/outside" new/Lien
  $ "$CLI" --windows new adapt folder.reg a.reg --folder 'C:\Lien\Luc' --mail Courrier 2>&1 | tail -n 1; untouched
  [stop] Mise en place du courrier et du carnet d'adresses: Le chemin « C:\Lien\Luc » mène hors du disque du nouveau système (par « .. » ou par un lien) : rien n'a été placé.
  outside untouched

A store folder holding links out of the source, a link to a device, a FIFO, a socket and names
that are no names here: each is named and left, none is read, the rest is copied.

  $ cp -r "$SAMPLE" links && s="links/$rel"
  $ ln -s "$PWD/outside/shadow" "$s/Secret.dbx" && ln -s /dev/zero "$s/Zero.dbx" && ln -s "$PWD/outside/fifo" "$s/Tube.dbx"
  $ mkfifo "$s/Pipe.dbx" && (cd "$s" && python3 -c "import socket; socket.socket(socket.AF_UNIX).bind('Prise.dbx')")
  $ touch "$s/a\\b.dbx" && ln -s Folders.dbx "$s/Lien interne.dbx"
  $ watch_fifo; timeout 20 "$CLI" --windows links save links.reg --mail m-links 2>&1 | sed -n '/Attention/p'
  Attention : « Pipe.dbx » n'est pas un fichier ordinaire (périphérique, tube ou socket) : il n'est pas lu.
  Attention : « Prise.dbx » n'est pas un fichier ordinaire (périphérique, tube ou socket) : il n'est pas lu.
  Attention : « Secret.dbx » est un lien qui mène hors de la source (ou nulle part) : il n'est pas suivi, rien n'est copié de là où il mène.
  Attention : « Tube.dbx » est un lien qui mène hors de la source (ou nulle part) : il n'est pas suivi, rien n'est copié de là où il mène.
  Attention : « Zero.dbx » est un lien qui mène hors de la source (ou nulle part) : il n'est pas suivi, rien n'est copié de là où il mène.
  Attention : Un fichier au nom impossible « a\b.dbx » (il contient « / », « \ » ou un caractère nul, ou c'est « . » ou « .. ») n'est pas copié.
  $ ls m-links; untouched
  Boîte de réception.dbx
  Brouillons.dbx
  Carnet d'adresses
  Folders.dbx
  Lien interne.dbx
  Offline.dbx
  Pop3uidl.dbx
  Éléments envoyés.dbx
  outside untouched

An address book that is a link out of the source is named, not copied.

  $ rm "links/Documents and Settings/Luc/Application Data/Microsoft/Address Book/Luc.wab"
  $ ln -s "$PWD/outside/shadow" "links/Documents and Settings/Luc/Application Data/Microsoft/Address Book/Luc.wab"
  $ "$CLI" --windows links save links2.reg --mail m-links2 2>&1 | grep 'Luc.wab'; ls m-links2 | grep -c Carnet; untouched
  Attention : « Luc.wab » est un lien qui mène hors de la source (ou nulle part) : il n'est pas suivi, rien n'est copié de là où il mène.
  0
  outside untouched

Hives that are a FIFO or a link out of the installation are not found, so never opened.

  $ cp -r "$SAMPLE" hives && rm "hives/Documents and Settings/Luc/NTUSER.DAT" hives/WINDOWS/system32/config/default
  $ mkfifo "hives/Documents and Settings/Luc/NTUSER.DAT" && ln -s "$PWD/outside/shadow" hives/WINDOWS/system32/config/default
  $ timeout 20 "$CLI" --windows hives status; echo "exit $?"; untouched
  quillon-cli: hives : aucun profil d'utilisateur avec NTUSER.DAT sous « Documents and Settings »
  exit 1
  outside untouched

The copy is its owner's alone, and through sudo it is handed to the user who ran it.

  $ stat -c '%a %n' m-links m-links/Folders.dbx "m-links/Carnet d'adresses"
  700 m-links
  600 m-links/Folders.dbx
  700 m-links/Carnet d'adresses
  $ [[ $(id -u) == 0 ]] || { echo "1234:1234 m-sudo"; echo "1234:1234 m-sudo/Folders.dbx"; exit 0; } &&
  >     SUDO_UID=1234 SUDO_GID=1234 "$CLI" --windows "$SAMPLE" save sudo.reg --mail m-sudo >/dev/null 2>&1 &&
  >     stat -c '%u:%g %n' m-sudo m-sudo/Folders.dbx
  1234:1234 m-sudo
  1234:1234 m-sudo/Folders.dbx

A FAT image whose store folder holds a file named "../../escaped.dbx": named, never used as a
name.

  $ truncate -s 40M fat.img && mkfs.fat -F 32 fat.img >/dev/null && mcopy -s -i fat.img "$SAMPLE"/* ::/
  $ echo escaped > AAAAAAescaped.dbx && mcopy -i fat.img AAAAAAescaped.dbx "::/$rel/"
  $ python3 "$SRC/tests/offline/name_in_fat.py" fat.img AAAAAA ../../
  $ mkdir deep && "$CLI" --image fat.img save fat.reg --mail deep/m 2>&1 | grep escaped; ls deep; ls escaped.dbx 2>&1
  Attention : Un fichier au nom impossible « ../../escaped.dbx » (il contient « / », « \ » ou un caractère nul, ou c'est « . » ou « .. ») n'est pas copié.
  m
  ls: cannot access 'escaped.dbx': No such file or directory
  [2]

--replace-mail over a link and a FIFO of the new store folder: the question names them, they
are replaced, nothing is written where they lead.

  $ mkdir -p new/Courrier/Luc && ln -s "$PWD/outside/shadow" new/Courrier/Luc/Folders.dbx && ln -s "$PWD/outside/fifo" new/Courrier/Luc/Offline.dbx && mkfifo new/Courrier/Luc/Pop3uidl.dbx
  $ watch_fifo; timeout 20 "$CLI" --windows new adapt folder.reg a.reg --folder 'C:\Courrier\Luc' --mail Courrier --replace-mail 2>&1 | sed -n '/question/,/->/p'
  [question] Mise en place du courrier et du carnet d'adresses: Ces fichiers existent déjà sur le nouveau système :
    new/Courrier/Luc/Folders.dbx (un lien : il est remplacé, rien n'est écrit là où il mène)
    new/Courrier/Luc/Offline.dbx (un lien : il est remplacé, rien n'est écrit là où il mène)
    new/Courrier/Luc/Pop3uidl.dbx (un fichier spécial, tube ou périphérique : il est remplacé, rien n'y est écrit)
  Les remplacer par ceux de la copie du courrier ?
    -> Oui
  $ for f in Courrier/*.dbx; do cmp "$f" "new/Courrier/Luc/${f##*/}"; done && find new/Courrier -type l -o -type p; untouched
  outside untouched

Placement whole or not at all: one file that cannot be replaced among 43, and nothing is.

  $ rm -r new/Courrier && mkdir -p many new/Courrier/Luc && cp -r Courrier/* many/
  $ for i in $(seq 1 37); do echo "dossier $i" > "many/Dossier $i.dbx"; done
  $ for f in many/*.dbx; do echo ancien > "new/Courrier/Luc/${f##*/}"; done; chmod 444 "new/Courrier/Luc/Dossier 20.dbx"
  $ ls many/*.dbx | wc -l
  43
  $ "$CLI" --windows new adapt folder.reg a.reg --folder 'C:\Courrier\Luc' --mail many --replace-mail 2>&1 | tail -n 3
  [stop] Mise en place du courrier et du carnet d'adresses: Ces fichiers du nouveau système ne peuvent pas être remplacés (dossier, lecture seule ou accès refusé) :
    new/Courrier/Luc/Dossier 20.dbx
  Rien n'a été placé.
  $ cat new/Courrier/Luc/* | sort | uniq -c; ls -A new/Courrier/Luc | wc -l
       43 ancien
  43

A store file name with every accented letter of French: copied, placed, its damage told.

  $ cp -r "$SAMPLE" accents && a="accents/$rel"
  $ head -c 12000 "$a/Boîte de réception.dbx" > "$a/Télécharger à côté àâäçéèêëîïôöùûüÿæœ ÀÂÄÇÉÈÊËÎÏÔÖÙÛÜŸÆŒ.dbx"
  $ "$CLI" --windows accents save accents.reg --mail m-accents 2>&1 | grep -c 'Télécharger à côté àâäçéèêëîïôöùûüÿæœ ÀÂÄÇÉÈÊËÎÏÔÖÙÛÜŸÆŒ.dbx » semble endommagé'
  1
  $ cmp "$a/Télécharger à côté àâäçéèêëîïôöùûüÿæœ ÀÂÄÇÉÈÊËÎÏÔÖÙÛÜŸÆŒ.dbx" "m-accents/Télécharger à côté àâäçéèêëîïôöùûüÿæœ ÀÂÄÇÉÈÊËÎÏÔÖÙÛÜŸÆŒ.dbx" && echo same
  same
  $ rm -r new/Courrier; "$CLI" --windows new adapt accents.reg b.reg --folder 'C:\Courrier' --address-book 'C:\Courrier\Luc.wab' --mail m-accents 2>&1 | grep -c '^Attention : « Télécharger'
  1

Interrupted (SIGINT, SIGTERM, SIGHUP) while 45 copies exist, or stopped by the file size limit
(SIGXFSZ, not ignored by the caller): neither a temporary file nor a folder is left, and the
same folder can be chosen again.

  $ cp -r "$SAMPLE" big && for i in $(seq 1 40); do echo "dossier $i" > "big/$rel/Dossier $i.dbx"; done
  $ interrupted() { bash -c 'strace -f -o /dev/null -P "mi/~~TempQuillon44.tmp" -e trace=openat \
  >                   -e inject=openat:signal=$1 "$CLI" --windows big save i.reg --mail mi >/dev/null 2>&1
  >                   echo $?' _ "$1" 2>/dev/null; }
  $ for signal in SIGINT SIGTERM SIGHUP; do echo "$signal: exit $(interrupted $signal), $(ls -A mi 2>&1)"; done
  SIGINT: exit 130, ls: cannot access 'mi': No such file or directory
  SIGTERM: exit 143, ls: cannot access 'mi': No such file or directory
  SIGHUP: exit 129, ls: cannot access 'mi': No such file or directory
  $ head -c 3000000 /dev/zero > "big/$rel/Dossier 30.dbx"
  $ (ulimit -f 2000; "$CLI" --windows big save l.reg --mail ml 2>&1 | tail -n 1); ls -A ml 2>&1
  [stop] Copie du courrier et du carnet d'adresses: Impossible d'écrire le fichier « ml/Dossier 30.dbx » : fichier trop grand. Rien n'a été copié.
  ls: cannot access 'ml': No such file or directory
  [2]
  $ find . -name '~~TempQuillon*' | wc -l
  0

Disk parts named by an image are regular files: a FIFO named as a VMDK extent, a QCOW2
backing file or a VHD parent is refused at once.

  $ truncate -s 8M base.raw && qemu-img convert -f raw -O vmdk -o subformat=monolithicFlat base.raw flat.vmdk >/dev/null
  $ mv flat-flat.vmdk flat-flat.keep && mkfifo flat-flat.vmdk
  $ timeout 20 "$CLI" --image flat.vmdk status 2>&1 | head -n 1; echo "exit ${PIPESTATUS[0]}"
  quillon-cli: Impossible de lire l'image disque « flat.vmdk » : image VMware (VMDK) illisible ou endommagée, ou disque d'un type non lu (son fichier de données « flat-flat.vmdk » manque ou n'est pas un fichier ordinaire)
  exit 1
  $ qemu-img create -q -f qcow2 base.qcow2 8M && qemu-img create -q -f qcow2 -b base.qcow2 -F qcow2 child.qcow2 && rm base.qcow2 && mkfifo base.qcow2
  $ timeout 20 "$CLI" --image child.qcow2 status 2>&1 | head -n 1; echo "exit ${PIPESTATUS[0]}"
  quillon-cli: Impossible de lire l'image disque « child.qcow2 » : son disque parent « base.qcow2 » est introuvable (l'instantané le nomme « base.qcow2 »)
  exit 1
  $ truncate -s 8M after.raw && echo changed | dd of=after.raw conv=notrunc status=none
  $ qemu-img convert -f raw -O vpc -o subformat=dynamic base.raw parent.vhd &&
  >     python3 "$SRC/tests/offline/make_snapshot.py" vhd parent.vhd base.raw after.raw child.vhd && mv parent.vhd parent.keep && mkfifo parent.vhd
  $ timeout 20 "$CLI" --image child.vhd status 2>&1 | head -n 1; echo "exit ${PIPESTATUS[0]}"
  quillon-cli: Impossible de lire l'image disque « child.vhd » : son disque parent « parent.vhd » est introuvable (l'instantané le nomme « parent.vhd »)
  exit 1
  $ watch_fifo; untouched
  outside untouched
  $ kill $(jobs -p) 2>/dev/null; wait
