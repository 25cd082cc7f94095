The packages as their systems want them: the Debian package passes lintian (no error, no
warning), its desktop entry is valid, it holds its copyright, changelog and compressed man pages,
and its help is in UTF-8; each Windows zip unpacks into one folder named as the zip.

  $ lintian --tag-display-limit 0 "$PACKAGES/quillon_2.5_amd64.deb" 2>/dev/null
  $ desktop-file-validate "$SRC/packaging/quillon.desktop"
  $ dpkg-deb -c "$PACKAGES/quillon_2.5_amd64.deb" | awk '{print $6}' | grep -E 'doc/quillon/.|man1/.'
  ./usr/share/doc/quillon/changelog.gz
  ./usr/share/doc/quillon/copyright
  ./usr/share/man/man1/quillon-cli.1.gz
  ./usr/share/man/man1/quillon.1.gz
  $ dpkg-deb --fsys-tarfile "$PACKAGES/quillon_2.5_amd64.deb" | tar -xO ./usr/share/quillon/help/9000.html | iconv -f UTF-8 -t UTF-8 >/dev/null && echo UTF-8
  UTF-8
  $ for zip in "$PACKAGES"/quillon-2.5-windows-*.zip; do unzip -Z1 "$zip" | cut -d/ -f1 | sort -u; done
  quillon-2.5-windows-x64
  quillon-2.5-windows-x86

The licence, GPL version 3 or later, travels with each: its text in each zip (with those of the
libraries built into the Windows executables), and the Debian copyright file names it in
Debian's machine-readable form, with the permission to link The Sleuth Kit.

  $ for zip in "$PACKAGES"/quillon-2.5-windows-*.zip; do unzip -p "$zip" "$(basename "$zip" .zip)/COPYING" | cmp - "$SRC/COPYING" && echo "$(basename "$zip"): COPYING"; done
  quillon-2.5-windows-x64.zip: COPYING
  quillon-2.5-windows-x86.zip: COPYING
  $ for zip in "$PACKAGES"/quillon-2.5-windows-*.zip; do unzip -Z1 "$zip" | grep '/licences/.'; done
  quillon-2.5-windows-x64/licences/SQLite-public-domain.txt
  quillon-2.5-windows-x64/licences/libcreg-LGPL-3.txt
  quillon-2.5-windows-x64/licences/libmspack-LGPL-2.1.txt
  quillon-2.5-windows-x64/licences/xxHash-BSD-2-Clause.txt
  quillon-2.5-windows-x86/licences/SQLite-public-domain.txt
  quillon-2.5-windows-x86/licences/libcreg-LGPL-3.txt
  quillon-2.5-windows-x86/licences/libmspack-LGPL-2.1.txt
  quillon-2.5-windows-x86/licences/xxHash-BSD-2-Clause.txt
  $ dpkg-deb --fsys-tarfile "$PACKAGES/quillon_2.5_amd64.deb" | tar -xO ./usr/share/doc/quillon/copyright | grep '^License:'
  License: GPL-3+ with TSK exception
  License: GPL-3+ with TSK exception

Each library the program opens only when an input needs it is a dependency of the package,
though the package tools cannot see it: every package a missing library's message names.

  $ depends=$(dpkg-deb -f "$PACKAGES/quillon_2.5_amd64.deb" Depends)
  $ grep -rhoE 'LibraryName [A-Za-z]+\{"[^"]+", "[^"]+"\}' "$SRC/src" | sed -E 's/.*, "([^"]+)"\}/\1/' | sort -u | while read -r package; do case ", $depends," in *", $package"[,\ ]*) ;; *) echo "missing: $package";; esac; done
