The image, virtual-disk, cabinet and Windows 9x readers' libraries are loaded only when an input
needs them: a hive, a folder, a .reg file or a Wine prefix loads none of them; an image loads The Sleuth Kit
(which needs libewf, libvmdk and libvhdi itself). A library that cannot be loaded is a message naming the Debian package.

  $ loaded() { LD_DEBUG=libs "$@" 2>&1 >/dev/null | grep -oE '(libtsk|libewf|libvmdk|libvhdi|libqcow|libcreg|libbfio|libmspack)\.so\.[0-9]+' | sort -u | tr '\n' ' '; echo; }
  $ ntuser="$SAMPLE/Documents and Settings/Luc/NTUSER.DAT"
  $ loaded "$CLI" --version
  
  $ loaded "$CLI" --hive "HKEY_CURRENT_USER=$ntuser" export 'HKEY_CURRENT_USER\Software\Microsoft' out.reg
  
  $ loaded "$CLI" --windows "$SAMPLE" status
  
  $ loaded "$CLI" --reg out.reg export 'HKEY_CURRENT_USER\Software' again.reg
  
  $ mkdir prefix && printf 'WINE REGISTRY Version 2\n' >prefix/system.reg &&
  >     printf 'WINE REGISTRY Version 2\n\n[Identities] 1\n"Last User ID"="{1}"\n' >prefix/user.reg
  $ loaded "$CLI" --wine-prefix prefix export 'HKEY_CURRENT_USER\Identities' wine.reg
  
  $ export MTOOLS_SKIP_CHECK=1
  $ truncate -s 64M disk.img && mkfs.fat -F 32 disk.img >/dev/null && mcopy -s -i disk.img "$SAMPLE"/* ::/
  $ loaded "$CLI" --image disk.img status
  libbfio.so.1 libewf.so.2 libtsk.so.19 libvhdi.so.1 libvmdk.so.1 
  $ qemu-img convert -O vmdk disk.img disk.vmdk

A library hidden (a file of no bytes in its place, in a mount namespace of the test's own; as
root only):

  $ hide() { local library; library=$(readlink -f "/usr/lib/$(gcc -print-multiarch)/$1"); shift; unshare -m --propagation private sh -c 'mount --bind /dev/null "$0" && exec "$@"' "$library" "$@"; }
  $ hide libtsk.so.19 true 2>/dev/null || { echo "no mount namespace here (not root, or refused)"; exit 80; }
  $ hide libtsk.so.19 "$CLI" --image disk.img status
  quillon-cli: Impossible de lire l'image disque « disk.img » : la bibliothèque libtsk.so.19 n'a pas pu être chargée (*) : installez le paquet Debian libtsk19 (glob)
  [1]
  $ hide libvmdk.so.1 "$CLI" --image disk.vmdk status
  quillon-cli: Impossible de lire l'image disque « disk.vmdk » : la bibliothèque libvmdk.so.1 n'a pas pu être chargée (*) : installez le paquet Debian libvmdk1 (glob)
  [1]
  $ hide libtsk.so.19 "$CLI" --windows "$SAMPLE" status | head -1
  CommentOnglet1: 6.0.2900.5512
