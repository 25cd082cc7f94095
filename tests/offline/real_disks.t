Disks Windows wrote (../shared/fixtures/real/windows-vhd: 10 MiB, one NTFS partition, no
Windows): the dynamic VHD with its footer cut off reads as the whole one does; the VHDX cut short
says so.

  $ real=$FIXTURES/windows-vhd
  $ test -d "$real" || { echo "the disks of $FIXTURES are not here (no ../shared beside the clone)"; exit 80; }
  $ zcat "$real/dynamic.vhd.gz" >windows.vhd && head -c -100 windows.vhd >windows-cut.vhd
  $ "$CLI" --image windows.vhd list; "$CLI" --image windows-cut.vhd list
  quillon-cli: windows.vhd : aucune installation de Windows trouvée dans l'image (windows.vhd, partition 1 : pas de Windows)
  quillon-cli: windows-cut.vhd : aucune installation de Windows trouvée dans l'image (windows-cut.vhd, partition 1 : pas de Windows)
  [1]
  $ zcat "$real/dynamic.vhdx.gz" | head -c 5000000 >windows-cut.vhdx && "$CLI" --image windows-cut.vhdx list
  quillon-cli: windows-cut.vhdx : aucune installation de Windows trouvée dans l'image (windows-cut.vhdx, partition 1 : pas de système de fichiers lisible (NTFS, FAT ...) (Cannot determine file system type)) ; des blocs du disque virtuel sont hors de son fichier ou illisibles : image tronquée ou endommagée
  [1]
