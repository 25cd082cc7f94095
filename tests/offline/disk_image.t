Disk images made here without mounting or root (mkfs.fat, mtools, mkntfs and quillon-ntfs-put,
sfdisk, ewfacquire): the sample installation on FAT32 without a partition table, behind an MBR,
behind a GPT after an empty partition, on NTFS alone and behind an MBR, in an E01, and the real
Windows Me registry in a Windows 98 layout. list names the installation and its user; save gives
byte for byte the file that --windows gives on the same files in a folder. Then bad images:
each ends with exit 1, never a crash, and a message naming the file.

  $ export MTOOLS_SKIP_CHECK=1
  $ fat32() { truncate -s "$2M" "$1" && mkfs.fat -F 32 --offset "${3:-0}" "$1" >/dev/null; }
  $ put() { local image=$1; shift; mcopy -s -i "$image" "$@" ::/; }
  $ ntfs() {
  >     truncate -s "$2M" "$1" && mkntfs -F -Q -q -p "$3" "$1" 2>/dev/null &&
  >         ASAN_OPTIONS=detect_leaks=0 "$NTFS_PUT" "$1" "$SAMPLE"
  > }
  $ "$CLI" --windows "$SAMPLE" save folder.reg 2>/dev/null
  $ fat32 whole.img 64 && put whole.img "$SAMPLE"/*
  $ truncate -s 80M mbr.img && echo 'start=2048, type=c' | sfdisk -q mbr.img &&
  >     mkfs.fat -F 32 --offset 2048 mbr.img >/dev/null && put mbr.img@@1M "$SAMPLE"/*
  $ truncate -s 120M gpt.img && printf 'label: gpt\nstart=2048, size=40M\nstart=83968\n' | sfdisk -q gpt.img &&
  >     mkfs.fat -F 32 --offset 2048 gpt.img >/dev/null && mkfs.fat -F 32 --offset 83968 gpt.img >/dev/null &&
  >     put gpt.img@@$((83968 * 512)) "$SAMPLE"/*
  $ ewfacquire -u -q -t disk -S 1MiB -c none mbr.img >/dev/null 2>&1
  $ ntfs ntfs.img 64 0
  $ ntfs volume.ntfs 64 2048 && truncate -s 80M ntfs-mbr.img && echo 'start=2048, type=7' | sfdisk -q ntfs-mbr.img &&
  >     dd if=volume.ntfs of=ntfs-mbr.img bs=1M seek=1 conv=notrunc status=none
  $ for image in whole.img mbr.img gpt.img ntfs.img ntfs-mbr.img disk.E01; do
  >     "$CLI" --image "$image" list | cut -f 1-5
  >     "$CLI" --image "$image" save "$image.reg" 2>/dev/null && cmp "$image.reg" folder.reg
  > done
  Emplacement	Système	Version OE	Utilisateur	Identité
  whole.img	Windows 2000/XP/2003	6.0.2900.5512	Luc	{3F2A5D1C-8B4E-4C7A-9D21-6E5F0A1B2C3D}
  Emplacement	Système	Version OE	Utilisateur	Identité
  mbr.img, partition 1	Windows 2000/XP/2003	6.0.2900.5512	Luc	{3F2A5D1C-8B4E-4C7A-9D21-6E5F0A1B2C3D}
  Emplacement	Système	Version OE	Utilisateur	Identité
  gpt.img, partition 2	Windows 2000/XP/2003	6.0.2900.5512	Luc	{3F2A5D1C-8B4E-4C7A-9D21-6E5F0A1B2C3D}
  Emplacement	Système	Version OE	Utilisateur	Identité
  ntfs.img	Windows 2000/XP/2003	6.0.2900.5512	Luc	{3F2A5D1C-8B4E-4C7A-9D21-6E5F0A1B2C3D}
  Emplacement	Système	Version OE	Utilisateur	Identité
  ntfs-mbr.img, partition 1	Windows 2000/XP/2003	6.0.2900.5512	Luc	{3F2A5D1C-8B4E-4C7A-9D21-6E5F0A1B2C3D}
  Emplacement	Système	Version OE	Utilisateur	Identité
  disk.E01, partition 1	Windows 2000/XP/2003	6.0.2900.5512	Luc	{3F2A5D1C-8B4E-4C7A-9D21-6E5F0A1B2C3D}

--details: the accounts with their servers, user and address; signatures, rules and blocked
senders. No temporary copy of a hive is left.

  $ "$CLI" --image mbr.img list --details | grep -P '^\t(compte|signature|règles|émetteurs)'
  	compte	pop.exemple.fr	POP3 pop.exemple.fr, SMTP smtp.exemple.fr	luc.martin	luc.martin@exemple.fr
  	compte	news.exemple.fr	NNTP news.exemple.fr		luc.martin@exemple.fr
  	signature	Signature 1	Luc Martin
  	signature	Courte	Cordialement, "Luc" \ C:\Atelier
  	règles	2 courrier, 1 forums
  	émetteurs bloqués	2 courrier, 1 forums
  $ ls -A "$TMPDIR"

A listing reads the image once: finding the users, then reading each one's registry, through the
same opened file system, so list reads no more of the image than status, which reads one user
(where strace is missing, both counts are empty and the case proves nothing).

  $ image_bytes() { strace -f -qq -s 0 -y -e trace=read,pread64 -o trace.txt "$CLI" --image mbr.img "$@" >/dev/null 2>&1; grep -F '/mbr.img>' trace.txt | sed -n 's/.*= \([0-9]*\)$/\1/p' | awk '{ s += $1 } END { print s }'; }
  $ test "$(image_bytes list)" = "$(image_bytes status)" && echo same
  same

Bad images:

  $ head -c 3000000 /dev/urandom >noise.img
  $ "$CLI" --image noise.img status
  quillon-cli: noise.img : ni table de partitions lisible (MBR, GPT) * ni système de fichiers lisible (NTFS, FAT ...) * : image tronquée, endommagée, chiffrée ou d'un autre format (glob)
  [1]
  $ head -c 1500000 mbr.img >truncated.img
  $ "$CLI" --image truncated.img status
  quillon-cli: truncated.img : aucune installation de Windows trouvée dans l'image (truncated.img, partition 1 : la partition dépasse la fin de l'image (image tronquée))
  [1]
  $ truncate -s 20M unknown.img && echo 'start=2048, type=83' | sfdisk -q unknown.img
  $ "$CLI" --image unknown.img status
  quillon-cli: unknown.img : aucune installation de Windows trouvée dans l'image (unknown.img, partition 1 : pas de système de fichiers lisible (NTFS, FAT ...) (Cannot determine file system type))
  [1]
  $ fat32 empty.img 40
  $ "$CLI" --image empty.img status
  quillon-cli: empty.img : aucune installation de Windows trouvée dans l'image (empty.img : pas de Windows)
  [1]
  $ "$CLI" --image gpt.img --partition 1 status
  quillon-cli: gpt.img : aucune installation de Windows trouvée dans l'image (gpt.img, partition 1 : pas de Windows)
  [1]
  $ "$CLI" --image gpt.img --partition 3 status
  quillon-cli: gpt.img : pas de partition 3 (2 partition(s) dans l'image)
  [1]
  $ mkdir -p split && cp disk.E0* split/ && rm split/disk.E03
  $ "$CLI" --image split/disk.E01 status
  quillon-cli: Impossible de lire l'image disque « split/disk.E01 » : image EnCase incomplète ou endommagée (un segment .E02, .E03 ... manque, est tronqué ou endommagé)
  [1]
  $ mkdir -p damaged && cp disk.E0* damaged/ && printf '\xff\xff\xff\xff' | dd of=damaged/disk.E01 bs=1 seek=100 conv=notrunc status=none
  $ "$CLI" --image damaged/disk.E01 status
  quillon-cli: Impossible de lire l'image disque « damaged/disk.E01 » : image EnCase incomplète ou endommagée (un segment .E02, .E03 ... manque, est tronqué ou endommagé)
  [1]

A BitLocker volume: its boot sector says -FVE-FS-, and the rest is ciphertext.

  $ cp mbr.img locked.img && dd if=/dev/urandom of=locked.img bs=1M seek=1 count=78 conv=notrunc status=none &&
  >     printf '\xeb\x58\x90-FVE-FS-' | dd of=locked.img bs=1 seek=$((2048 * 512)) conv=notrunc status=none
  $ "$CLI" --image locked.img status
  quillon-cli: locked.img : aucune installation de Windows trouvée dans l'image (locked.img, partition 1 : volume chiffré par BitLocker, illisible sans être déchiffré)
  [1]

A damaged NTFS entry whose data claim 1 TiB, in a 64 MiB file system: refused before anything is
set aside for it.

  $ cp ntfs.img huge.img && python3 - huge.img <<'EOF'
  > import struct, sys
  > data = bytearray(open(sys.argv[1], 'rb').read())
  > for record in range(0, len(data), 1024):  # the MFT record naming NTUSER.DAT
  >     if data[record:record + 4] == b'FILE' and 'NTUSER.DAT'.encode('utf-16-le') in data[record:record + 1024]:
  >         at = record + struct.unpack_from('<H', data, record + 0x14)[0]
  >         while struct.unpack_from('<I', data, at)[0] not in (0x80, 0xFFFFFFFF):
  >             at += struct.unpack_from('<I', data, at + 4)[0]
  >         for size in (0x28, 0x30, 0x38):  # allocated, real and initialised sizes
  >             struct.pack_into('<Q', data, at + size, 1 << 40)
  > open(sys.argv[1], 'wb').write(data)
  > EOF
  $ "$CLI" --image huge.img status
  quillon-cli: Impossible de lire « huge.img : /Documents and Settings/Luc/NTUSER.DAT » : fichier trop grand
  [1]

Two installations: the user chooses with --partition.

  $ truncate -s 80M two.img && printf 'start=2048, size=38M, type=c\nstart=79872, type=c\n' | sfdisk -q two.img &&
  >     mkfs.fat -F 32 --offset 2048 two.img >/dev/null && mkfs.fat -F 32 --offset 79872 two.img >/dev/null &&
  >     put two.img@@1M "$SAMPLE"/* && put two.img@@$((79872 * 512)) "$SAMPLE"/*
  $ "$CLI" --image two.img status
  quillon-cli: two.img : plusieurs installations de Windows (two.img, partition 1, two.img, partition 2) ; choisissez-en une avec --partition N
  [1]
  $ "$CLI" --image two.img --partition 2 save two.reg 2>/dev/null && cmp two.reg folder.reg

The Windows Me registry, in a folder, on FAT and in an E01:

  $ me=$FIXTURES/winme-dfwinreg-creg
  $ test -f "$me/USER.DAT" || { echo "the Windows Me registry $me is not here (no ../shared beside the clone)"; exit 80; }
  $ mkdir -p me/WINDOWS && cp "$me/SYSTEM.DAT" "$me/USER.DAT" me/WINDOWS/
  $ "$CLI" --windows me save me-folder.reg 2>/dev/null
  $ fat32 me.img 40 && mmd -i me.img ::/WINDOWS && mcopy -i me.img me/WINDOWS/*.DAT ::/WINDOWS/
  $ ewfacquire -u -q -t me -S 8MiB -c none me.img >/dev/null 2>&1
  $ for image in me.img me.E01; do
  >     "$CLI" --image "$image" list | cut -f 1-5
  >     "$CLI" --image "$image" save "$image.reg" 2>/dev/null && cmp "$image.reg" me-folder.reg
  > done
  Emplacement	Système	Version OE	Utilisateur	Identité
  me.img	Windows 95/98/Me	5.50.4134.0100	.DEFAULT	{5BF89071-1772-4861-B17B-50F47CC6DBDD}
  Emplacement	Système	Version OE	Utilisateur	Identité
  me.E01	Windows 95/98/Me	5.50.4134.0100	.DEFAULT	{5BF89071-1772-4861-B17B-50F47CC6DBDD}
