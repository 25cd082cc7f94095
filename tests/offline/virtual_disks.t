Virtual machine disks, made here with qemu-img from the disk image of the sample installation:
every format and sub-format gives the same list --details, status and backup as the raw image.

  $ export MTOOLS_SKIP_CHECK=1
  $ truncate -s 80M disk.img && echo 'start=2048, type=c' | sfdisk -q disk.img &&
  >     mkfs.fat -F 32 --offset 2048 disk.img >/dev/null && mcopy -s -i disk.img@@1M "$SAMPLE"/* ::/
  $ "$CLI" --image disk.img list --details | sed 's/^disk.img/IMAGE/' >raw.list
  $ "$CLI" --image disk.img status >raw.status 2>&1
  $ "$CLI" --image disk.img save raw.reg 2>/dev/null
  $ convert() { qemu-img convert -O "$1" ${3:+-o "$3"} ${4:+"$4"} disk.img "$2"; }
  $ same() {
  >     "$CLI" --image "$1" list --details | sed "s|^$1|IMAGE|" | cmp - raw.list &&
  >         "$CLI" --image "$1" status 2>&1 | cmp - raw.status &&
  >         "$CLI" --image "$1" save "$1.reg" 2>/dev/null && cmp "$1.reg" raw.reg && echo "$1: same"
  > }
  $ for sub in monolithicSparse twoGbMaxExtentSparse monolithicFlat twoGbMaxExtentFlat streamOptimized; do
  >     convert vmdk "$sub.vmdk" "subformat=$sub" && same "$sub.vmdk"
  > done
  monolithicSparse.vmdk: same
  twoGbMaxExtentSparse.vmdk: same
  monolithicFlat.vmdk: same
  twoGbMaxExtentFlat.vmdk: same
  streamOptimized.vmdk: same
  $ convert vpc dynamic.vhd subformat=dynamic && same dynamic.vhd
  dynamic.vhd: same
  $ cp dynamic.vhd unwritten.vhd && python3 -c "import struct,sys; d=bytearray(open(sys.argv[1],'rb').read())
  > table=struct.unpack_from('>Q',d,struct.unpack_from('>Q',d,16)[0]+16)[0]
  > d[struct.unpack_from('>I',d,table)[0]*512]&=0x7F  # the first sector's bit in block 0's bitmap
  > open(sys.argv[1],'wb').write(d)" unwritten.vhd
  $ "$CLI" --image unwritten.vhd list  # a sector its bitmap does not mark reads as zeros: no MBR
  quillon-cli: unwritten.vhd : ni table de partitions lisible (MBR, GPT) * (glob)
  [1]
  $ convert vpc fixed.vhd subformat=fixed && same fixed.vhd
  fixed.vhd: same
  $ convert vhdx dynamic.vhdx subformat=dynamic && same dynamic.vhdx
  dynamic.vhdx: same
  $ convert vhdx fixed.vhdx subformat=fixed && same fixed.vhdx
  fixed.vhdx: same
  $ convert vdi dynamic.vdi && same dynamic.vdi
  dynamic.vdi: same
  $ convert vdi fixed.vdi static=on && same fixed.vdi
  fixed.vdi: same
  $ convert qcow2 plain.qcow2 && same plain.qcow2
  plain.qcow2: same
  $ convert qcow2 compressed.qcow2 "" -c && same compressed.qcow2
  compressed.qcow2: same
  $ convert qcow old.qcow && same old.qcow
  old.qcow: same

On a terminal, list shows each step of its reading on one line of stderr, overwritten by the
next and cleared at the end; when stderr is not a terminal (every other command here), nothing.

  $ script -qec "'$CLI' --image plain.qcow2 list 2>&1 >/dev/null" /dev/null | tr '\r' '\n' | sed 's/\x1b\[K//' | grep .
  Ouverture de plain.qcow2
  Recherche de Windows dans plain.qcow2, partition 1
  Lecture de plain.qcow2, partition 1, Luc (1/1)
  Lecture terminée

Detected by content, not by name; a sparse VMDK, which names itself inside, still reads renamed:

  $ cp dynamic.vdi disk-copy.bin && "$CLI" --image disk-copy.bin list | cut -f 1,4
  Emplacement	Utilisateur
  disk-copy.bin, partition 1	Luc
  $ mkdir renamed && cp streamOptimized.vmdk renamed/old.vmdk && "$CLI" --image renamed/old.vmdk list | cut -f 1,4
  Emplacement	Utilisateur
  renamed/old.vmdk, partition 1	Luc

Snapshots: the child changes a hive its parent holds (Luc's NTUSER.DAT replaced by Marie's, whose
identity differs), so reading the parent alone would give the wrong answer. QEMU writes the QCOW2
and VMDK layers; the VHD, VHDX and VDI children, which it does not write, are made from the
formats' published descriptions (make_snapshot.py).

  $ cp disk.img after.img && mcopy -o -i after.img@@1M \
  >     "$EXAMPLES/sample-xp-2/Documents and Settings/Marie/NTUSER.DAT" "::/Documents and Settings/Luc/NTUSER.DAT"
  $ "$CLI" --image after.img save after.reg 2>/dev/null
  $ snapshot() { python3 "$SRC/tests/offline/make_snapshot.py" "$1" "$2" disk.img after.img "$3"; }
  $ child() {
  >     "$CLI" --image "$1" list | cut -f 4,5 | tail -n 1 &&
  >         "$CLI" --image "$1" save "$1.reg" 2>/dev/null && cmp "$1.reg" after.reg
  > }
  $ convert qcow2 base.qcow2 && snapshot qcow2 base.qcow2 child.qcow2 && child child.qcow2
  Luc	{8C1E6A42-5B7D-4F3A-A1C9-2D4E6F8A0B1C}
  $ convert vmdk base.vmdk && snapshot vmdk base.vmdk child.vmdk && child child.vmdk
  Luc	{8C1E6A42-5B7D-4F3A-A1C9-2D4E6F8A0B1C}
  $ "$CLI" --image base.vmdk list | cut -f 4,5 | tail -n 1
  Luc	{3F2A5D1C-8B4E-4C7A-9D21-6E5F0A1B2C3D}

A QCOW2 snapshot with only one cluster of its FAT changed (an entry no file uses): QEMU puts
that cluster at the offset in the child's file where the parent keeps the disk's first cluster;
each is read from its own file, and the child reads as QEMU reads it.

  $ cp disk.img fat.img && python3 -c "import sys; f=open(sys.argv[1],'r+b'); f.seek((1<<20)+32*512+60000); b=f.read(1)[0]
  > f.seek(-1,1); f.write(bytes([b^0x55]))" fat.img
  $ python3 "$SRC/tests/offline/make_snapshot.py" qcow2 base.qcow2 disk.img fat.img fat.qcow2
  $ qemu-img map --output=json fat.qcow2 | python3 -c "import json,sys; m=json.load(sys.stdin)
  > child={e['offset'] for e in m if e['data'] and e['depth']==0}; parent={e['offset'] for e in m if e['data'] and e['depth']==1}
  > print('shared offsets' if child & parent else 'none shared')"
  shared offsets
  $ qemu-img convert -O raw fat.qcow2 fat.raw && cmp fat.raw fat.img && "$CLI" --image fat.qcow2 save fat.reg 2>/dev/null && cmp fat.reg raw.reg
  $ "$CLI" --image fat.qcow2 list --details | sed 's|^fat.qcow2|IMAGE|' | cmp - raw.list

Windows 7's XP Mode: "Windows XP Mode.vhd", a differencing disk, names its parent by a path of the
machine that made it (C:\Program Files\Windows XP Mode\...) and by its file name; the parent is
found beside it.

  $ convert vpc "Windows XP Mode base.vhd" subformat=dynamic &&
  >     snapshot vhd "Windows XP Mode base.vhd" "Windows XP Mode.vhd" &&
  >     child "Windows XP Mode.vhd"
  Luc	{8C1E6A42-5B7D-4F3A-A1C9-2D4E6F8A0B1C}

Hyper-V: a differencing VHDX over a dynamic one, naming it by a path of the machine that made it
and by the parent's data-write identifier.

  $ convert vhdx base.vhdx subformat=dynamic,block_size=1M && snapshot vhdx base.vhdx child.vhdx && child child.vhdx
  Luc	{8C1E6A42-5B7D-4F3A-A1C9-2D4E6F8A0B1C}

VirtualBox: a snapshot in the machine's Snapshots folder, named by its own identifier, over the
disk in the machine's folder, which it names only by that disk's identifier.

  $ mkdir -p XP/Snapshots && convert vdi XP/XP.vdi &&
  >     snapshot vdi XP/XP.vdi "XP/Snapshots/{5e1c0d2a-3b4f-4c6d-8e9f-0a1b2c3d4e5f}.vdi" &&
  >     child "XP/Snapshots/{5e1c0d2a-3b4f-4c6d-8e9f-0a1b2c3d4e5f}.vdi"
  Luc	{8C1E6A42-5B7D-4F3A-A1C9-2D4E6F8A0B1C}

A parent missing, or changed since the snapshot was taken, is named; nothing is read from a wrong
parent.

  $ mkdir alone && cp "Windows XP Mode.vhd" child.qcow2 alone/ && cp "XP/Snapshots/"*.vdi alone/snapshot.vdi
  $ "$CLI" --image "alone/Windows XP Mode.vhd" status
  quillon-cli: Impossible de lire l'image disque « alone/Windows XP Mode.vhd » : son disque parent « alone/Windows XP Mode base.vhd » est introuvable (l'instantané le nomme « Windows XP Mode base.vhd »)
  [1]
  $ "$CLI" --image alone/child.qcow2 list
  quillon-cli: Impossible de lire l'image disque « alone/child.qcow2 » : son disque parent « alone/base.qcow2 » est introuvable (l'instantané le nomme « base.qcow2 »)
  [1]
  $ "$CLI" --image alone/snapshot.vdi status
  quillon-cli: Impossible de lire l'image disque « alone/snapshot.vdi » : instantané VirtualBox dont le disque parent, identifié {*}, est introuvable (cherché parmi les .vdi de « */alone » et de « * ») (glob)
  [1]
  $ convert vpc "alone/windows xp mode BASE.vhd" subformat=dynamic && "$CLI" --image "alone/Windows XP Mode.vhd" status
  quillon-cli: Impossible de lire l'image disque « alone/Windows XP Mode.vhd » : son disque parent « alone/windows xp mode BASE.vhd » n'est plus celui sur lequel l'instantané a été pris (il a été modifié ou remplacé depuis)
  [1]
  $ mkdir smaller && cp XP/XP.vdi "XP/Snapshots/"*.vdi smaller/ && python3 -c "import struct,sys
  > d = bytearray(open(sys.argv[1], 'rb').read()); size, block = struct.unpack_from('<QI', d, 0x170)
  > struct.pack_into('<Q', d, 0x170, size - block); open(sys.argv[1], 'wb').write(d)" smaller/XP.vdi
  $ "$CLI" --image smaller/{5e1c0d2a-3b4f-4c6d-8e9f-0a1b2c3d4e5f}.vdi status
  quillon-cli: Impossible de lire l'image disque « smaller/{5e1c0d2a-3b4f-4c6d-8e9f-0a1b2c3d4e5f}.vdi » : son disque parent « */smaller/XP.vdi » n'a pas la même taille : ce n'est pas le disque sur lequel l'instantané a été pris (glob)
  [1]
  $ cp child.vhdx alone/ && convert vhdx alone/base.vhdx subformat=dynamic,block_size=1M && "$CLI" --image alone/child.vhdx status
  quillon-cli: Impossible de lire l'image disque « alone/child.vhdx » : son disque parent « alone/base.vhdx » n'est plus celui sur lequel l'instantané a été pris (il a été modifié ou remplacé depuis)
  [1]
  $ qemu-io -f vmdk -c 'write -q -P 7 40M 4k' base.vmdk && "$CLI" --image child.vmdk status
  quillon-cli: Impossible de lire l'image disque « child.vmdk » : son disque parent « base.vmdk » n'est plus celui sur lequel l'instantané a été pris (il a été modifié ou remplacé depuis)
  [1]

What cannot be read says what it is:

  $ qemu-img create -q -f qcow2 --object secret,id=key,data=secret -o encrypt.format=aes,encrypt.key-secret=key locked.qcow2 80M
  $ "$CLI" --image locked.qcow2 status
  quillon-cli: Impossible de lire l'image disque « locked.qcow2 » : image QEMU (QCOW) chiffrée (AES), illisible sans son mot de passe
  [1]
  $ qemu-img create -q -f qcow2 huge.qcow2 100T && "$CLI" --image huge.qcow2 status
  quillon-cli: Impossible de lire l'image disque « huge.qcow2 » : image QEMU (QCOW) d'un disque de 100 Tio, trop grand pour être lu (64 Tio au plus)
  [1]
  $ qemu-img create -q -f qcow2 -b disk.img -F raw over-raw.qcow2
  $ "$CLI" --image over-raw.qcow2 status
  quillon-cli: Impossible de lire l'image disque « over-raw.qcow2 » : son image de base « disk.img » n'est pas au format QCOW : une image QCOW sur une image brute n'est pas lue
  [1]
  $ head -c 100000 dynamic.vdi >cut.vdi && "$CLI" --image cut.vdi status
  quillon-cli: Impossible de lire l'image disque « cut.vdi » : image VirtualBox (VDI) endommagée : fichier tronqué (ses derniers blocs manquent)
  [1]
  $ head -c 300000 dynamic.vhd >cut.vhd && "$CLI" --image cut.vhd status
  quillon-cli: Impossible de lire l'image disque « cut.vhd » : image Virtual PC (VHD) tronquée : ses derniers blocs manquent
  [1]
  $ head -c 4000000 dynamic.vhdx >cut-dynamic.vhdx && head -c 30000 streamOptimized.vmdk >cut-streamOptimized.vmdk
  $ for disk in cut-dynamic.vhdx cut-streamOptimized.vmdk; do "$CLI" --image $disk status; done
  quillon-cli: cut-dynamic.vhdx : ni table de partitions lisible (MBR, GPT) ni système de fichiers lisible (NTFS, FAT ...) (*) ; des blocs du disque virtuel sont hors de son fichier ou illisibles : image tronquée ou endommagée (glob)
  quillon-cli: cut-streamOptimized.vmdk : ni table de partitions lisible (MBR, GPT) ni système de fichiers lisible (NTFS, FAT ...) (*) ; des blocs du disque virtuel sont hors de son fichier ou illisibles : image tronquée ou endommagée (glob)
  [1]
  $ head -c 200000 compressed.qcow2 >cut.qcow2 && "$CLI" --image cut.qcow2 status
  quillon-cli: Impossible de lire l'image disque « cut.qcow2 » : image QEMU (QCOW) endommagée : table de second niveau hors du fichier ou mal alignée
  [1]
  $ cp plain.qcow2 moved.qcow2 && python3 -c "import struct,sys; d=bytearray(open(sys.argv[1],'rb').read())
  > struct.pack_into('>Q',d,40,struct.unpack_from('>Q',d,40)[0]+512); open(sys.argv[1],'wb').write(d)" moved.qcow2
  $ "$CLI" --image moved.qcow2 status
  quillon-cli: Impossible de lire l'image disque « moved.qcow2 » : image QEMU (QCOW) endommagée : table de premier niveau mal alignée
  [1]
  $ "$CLI" --image missing.vmdk status
  quillon-cli: Impossible de lire l'image disque « missing.vmdk » : fichier absent, illisible ou d'un format inconnu (images lues : brutes, brutes découpées, EnCase E01, VMware VMDK, Virtual PC VHD, Hyper-V VHDX, VirtualBox VDI, QEMU QCOW2 et QCOW) (*) (glob)
  [1]

A dynamic VHD whose footer at the end is damaged, or cut off, reads through the footer's copy
that starts it, with a warning:

  $ cp dynamic.vhd footer.vhd && python3 -c "import sys; d=bytearray(open(sys.argv[1],'rb').read())
  > d[-512:-504]=bytes(8); open(sys.argv[1],'wb').write(d)" footer.vhd
  $ head -c -300 dynamic.vhd >no-footer.vhd
  $ for disk in footer.vhd no-footer.vhd; do "$CLI" --image $disk save $disk.reg 2>&1 | grep quillon && cmp $disk.reg raw.reg; done
  quillon-cli: avertissement : footer.vhd : la fin du disque VHD (son pied de page) est coupée ou endommagée ; il est lu par la copie de ce pied de page qui le commence
  quillon-cli: avertissement : no-footer.vhd : la fin du disque VHD (son pied de page) est coupée ou endommagée ; il est lu par la copie de ce pied de page qui le commence

Nothing is written beside the disks, and no temporary file is left:

  $ ls -A "$TMPDIR"
