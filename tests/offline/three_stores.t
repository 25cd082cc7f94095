The same keys of the sample installation held three ways give the same files, byte for byte:
the .reg sources, a Wine prefix made by Wine's regedit from them, and the regf hives built from
them. $QUILLON_WINE is the Wine loader to import with (its regedit writes HKEY_LOCAL_MACHINE\Software
itself, not below Wow6432Node).

  $ export WINEPREFIX=$PWD/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  $ trap 'wineserver -k 2>/dev/null' EXIT
  $ regs=()
  $ for part in ntuser default software; do
  >     "$QUILLON_WINE" regedit /s "$("$QUILLON_WINE" winepath -w "$SRC/examples/sample-xp/$part.reg" 2>/dev/null)" 2>/dev/null || echo "regedit $part failed"
  >     regs+=(--reg "$SRC/examples/sample-xp/$part.reg")
  > done; wineserver -w
  $ for key in 'HKEY_CURRENT_USER\Identities' \
  >            'HKEY_CURRENT_USER\Software\Microsoft\Internet Account Manager' \
  >            'HKEY_CURRENT_USER\Software\Microsoft\Protected Storage System Provider' \
  >            'HKEY_CURRENT_USER\Software\Microsoft\Internet Explorer\IntelliForms\SPW' \
  >            'HKEY_CURRENT_USER\Software\Microsoft\WAB\WAB4' \
  >            'HKEY_CURRENT_USER\RemoteAccess' \
  >            'HKEY_USERS\.DEFAULT\RemoteAccess' \
  >            'HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Group Policy'; do
  >     "$CLI" "${regs[@]}" export "$key" reg.reg && "$CLI" --wine-prefix "$WINEPREFIX" export "$key" wine.reg &&
  >         "$CLI" --windows "$SAMPLE" export "$key" hive.reg && cmp reg.reg wine.reg && cmp reg.reg hive.reg &&
  >         echo "$key: $(grep -c '^\[' reg.reg) keys, the same three times"
  > done
  HKEY_CURRENT_USER\Identities: 38 keys, the same three times
  HKEY_CURRENT_USER\Software\Microsoft\Internet Account Manager: 4 keys, the same three times
  HKEY_CURRENT_USER\Software\Microsoft\Protected Storage System Provider: 4 keys, the same three times
  HKEY_CURRENT_USER\Software\Microsoft\Internet Explorer\IntelliForms\SPW: 1 keys, the same three times
  HKEY_CURRENT_USER\Software\Microsoft\WAB\WAB4: 2 keys, the same three times
  HKEY_CURRENT_USER\RemoteAccess: 3 keys, the same three times
  HKEY_USERS\.DEFAULT\RemoteAccess: 1 keys, the same three times
  HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Group Policy: 2 keys, the same three times

The mail of a Wine prefix: its store folder is where the prefix's own profile puts it (the
message names it while it is missing); put there, it is copied byte for byte, names found
without regard to case.

  $ "$CLI" --wine-prefix "$WINEPREFIX" save mail.reg --mail m-wine 2>&1 | tail -n 1 | sed 's/users\\[^\\]*/users\\USER/'
  [stop] Copie du courrier et du carnet d'adresses: Le dossier du courrier « C:\users\USER\Local Settings\Application Data\Identities\{3F2A5D1C-8B4E-4C7A-9D21-6E5F0A1B2C3D}\Microsoft\Outlook Express » n'existe pas : aucun courrier copié.
  $ at=$("$CLI" --wine-prefix "$WINEPREFIX" save mail.reg --mail m-wine 2>&1 | tail -n 1 | sed 's/.*« C:\\\(.*\) ».*/\1/; s|\\|/|g')
  $ from="$SAMPLE/Documents and Settings/Luc"
  $ mkdir -p "$WINEPREFIX/drive_c/${at,,}" "$WINEPREFIX/drive_c/Documents and Settings/Luc/Application Data/Microsoft/Address Book" &&
  >     cp "$from/Local Settings/Application Data/Identities/{3F2A5D1C-8B4E-4C7A-9D21-6E5F0A1B2C3D}/Microsoft/Outlook Express"/* "$WINEPREFIX/drive_c/${at,,}/" &&
  >     cp "$from/Application Data/Microsoft/Address Book/Luc.wab" "$WINEPREFIX/drive_c/Documents and Settings/Luc/Application Data/Microsoft/Address Book/"
  $ "$CLI" --wine-prefix "$WINEPREFIX" save mail.reg --mail m-wine >/dev/null 2>&1 && "$CLI" --windows "$SAMPLE" save folder.reg --mail m-folder >/dev/null 2>&1 &&
  >     diff -r m-wine m-folder && ls m-wine | wc -l
  7
