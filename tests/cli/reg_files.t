.reg files as the program reads them, shown by exporting what it read: the REGEDIT4 syntax,
deletion lines, version 5 files in UTF-16, and every line it cannot read, named with its number.

  $ reg() { printf 'REGEDIT4\r\n%b' "$1" >f.reg; "$CLI" --reg f.reg export "${2:-HKEY_CURRENT_USER}" out.reg && tail -n +3 out.reg | tr -d '\r'; }

Comments and blank lines; spaces around "="; escapes; numbers of any case and length; hex
continued over lines; a value set twice keeps its first place and takes the last data; a key
named again in another letter case; LF line ends:

  $ reg '; comment\r\n   \r\n\r\n[HKEY_CURRENT_USER\\Software\\Q]\r\n@="default"\r\n"Path" = "C:\\\\Mail \\"x\\""\r\n"n"=dword:0000010A\r\n"short"=DWORD:a\r\n"bin"=hex:0,a,Ff,10\r\n"long"=hex(2):25,00,\\\r\n    54,00,  \\\r\n\t25,00\r\n"big"=hex(b):1\r\n"n"=dword:00000002\r\n[hkey_current_user\\software\\q\\Sub]\n"unix"="line end"\n'
  [HKEY_CURRENT_USER]
  
  [HKEY_CURRENT_USER\Software]
  
  [HKEY_CURRENT_USER\Software\Q]
  @="default"
  "Path"="C:\\Mail \"x\""
  "n"=dword:00000002
  "short"=dword:0000000A
  "bin"=hex(3):0,A,FF,10
  "long"=hex(2):25,0,54,0,25,0
  "big"=hex(B):1
  
  [HKEY_CURRENT_USER\Software\Q\Sub]
  "unix"="line end"

A key or value named with a NUL inside is not cut at it (that would name another one): it is left
out and named.

  $ reg '[HKEY_CURRENT_USER\\A\0b]\r\n"x"="1"\r\n[HKEY_CURRENT_USER\\C]\r\n"y\0z"="2"\r\n"w"="3"\r\n'
  quillon-cli: avertissement : laissé de côté, nom qu'un fichier .reg ne peut pas porter (saut de ligne ou caractère nul) : HKEY_CURRENT_USER\A\0b
  quillon-cli: avertissement : laissé de côté, nom qu'un fichier .reg ne peut pas porter (saut de ligne ou caractère nul) : HKEY_CURRENT_USER\C\y\0z
  [HKEY_CURRENT_USER]
  
  [HKEY_CURRENT_USER\C]
  "w"="3"

Deletion lines remove keys and values; a value after a deleted key goes nowhere, and is named:

  $ reg '[HKEY_CURRENT_USER\\A\\Gone]\r\n"x"="1"\r\n[HKEY_CURRENT_USER\\A]\r\n"y"="1"\r\n"z"="1"\r\n"y"=-\r\n[-HKEY_CURRENT_USER\\A\\Gone]\r\n"ignored"="1"\r\n'
  quillon-cli: avertissement : f.reg, ligne 9 : ignorée, comme Windows l'ignore (valeur d'une clé supprimée par « [-…] ») : « "ignored"="1" »
  [HKEY_CURRENT_USER]
  
  [HKEY_CURRENT_USER\A]
  "z"="1"

Removed entries vanish, and what comes back comes at the end, in small keys (scanned) and large
ones (indexed):

  $ for count in 4 40; do
  >     text=''
  >     for i in $(seq 0 $((count - 1))); do text+="[HKEY_CURRENT_USER\\\\A\\\\k$i]\r\n[HKEY_CURRENT_USER\\\\A]\r\n\"v$i\"=\"$i\"\r\n"; done
  >     reg "$text"'"v1"=-\r\n"v2"=-\r\n"V1"="again"\r\n[-HKEY_CURRENT_USER\\A\\k1]\r\n[-HKEY_CURRENT_USER\\A\\k2]\r\n[HKEY_CURRENT_USER\\A\\K1]\r\n' >out.txt
  >     grep -c '^"' out.txt; grep -m 2 '^"' out.txt; grep '^"' out.txt | tail -n 1
  >     grep '^\[HKEY_CURRENT_USER\\A\\' out.txt | sed -n '1p;2p;$p'; grep -c '^\[HKEY_CURRENT_USER\\A\\' out.txt
  > done
  3
  "v0"="0"
  "v3"="3"
  "V1"="again"
  [HKEY_CURRENT_USER\A\k0]
  [HKEY_CURRENT_USER\A\k3]
  [HKEY_CURRENT_USER\A\K1]
  3
  39
  "v0"="0"
  "v3"="3"
  "V1"="again"
  [HKEY_CURRENT_USER\A\k0]
  [HKEY_CURRENT_USER\A\k3]
  [HKEY_CURRENT_USER\A\K1]
  39

Version 5 files, in UTF-16, read as the ANSI functions would see them (binary data as stored):

  $ printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Café]\r\n"Répertoire"="été €"\r\n"E"=hex(2):25,00,e9,00,25,00,00,00\r\n"M"=hex(7):61,00,00,00,00,00\r\n"B"=hex:e9,00\r\n' | iconv -f UTF-8 -t UTF-16 >v5.reg
  $ "$CLI" --reg v5.reg export 'HKEY_CURRENT_USER\Café' out.reg && tail -n +3 out.reg | iconv -f WINDOWS-1252 -t UTF-8 | tr -d '\r'
  [HKEY_CURRENT_USER\Café]
  "Répertoire"="été €"
  "E"=hex(2):25,E9,25,0
  "M"=hex(7):61,0,0
  "B"=hex(3):E9,0

Lines that Windows' regedit passes over are passed over too, each named with its number in a
warning, and the rest of the file is read (the cases of each behaviour are in reg_import.t); a
long line is cut in the message:

  $ reg '[HKEY_NOWHERE\\A]\r\n"x"="1"\r\n[HKEY_CURRENT_USER\\B]\r\n'
  quillon-cli: avertissement : f.reg, ligne 2 : ignorée, comme Windows l'ignore (clé dont la racine est inconnue ; ses valeurs sont ignorées aussi) : « [HKEY_NOWHERE\A] »
  [HKEY_CURRENT_USER]
  
  [HKEY_CURRENT_USER\B]
  $ reg '"x"="1"\r\n'
  quillon-cli: avertissement : f.reg, ligne 2 : ignorée, comme Windows l'ignore (valeur hors de toute clé) : « "x"="1" »
  [HKEY_CURRENT_USER]
  $ reg '[HKEY_CURRENT_USER\\A]\r\n\r\n"x"=hex:1,2g\r\n"y"="kept"\r\n'
  quillon-cli: avertissement : f.reg, ligne 4 : ignorée, comme Windows l'ignore (octets hexadécimaux incorrects) : « "x"=hex:1,2g »
  [HKEY_CURRENT_USER]
  
  [HKEY_CURRENT_USER\A]
  "y"="kept"
  $ for bad in '"x"="open' '"x"="a"b"' '"x"=dword:123456789' '"x"=dword:' '"x"=hex(zz):1' '"x"=hex:100' \
  >            '"x"=hex:1,,2' '"x"=hex:1\\' '"x" "1"' '"x"=text' '"unterminated="1"' 'garbage'; do
  >     reg "[HKEY_CURRENT_USER\\\\A]\r\n$bad\r\n" 2>&1 | grep -c 'f.reg, ligne 3 : ignorée'
  > done
  1
  1
  1
  1
  1
  1
  1
  1
  1
  1
  1
  1
  $ reg "$(printf 'x%.0s' $(seq 300))\r\n"
  quillon-cli: avertissement : f.reg, ligne 2 : ignorée, comme Windows l'ignore (ligne illisible) : « xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx… »
  [HKEY_CURRENT_USER]

The registry's own limit of 512 levels: a deeper key is passed over with its line; and a path
of 100000 levels is named too.

  $ deep=$(printf '\\\\k%.0s' $(seq 512))
  $ reg "[HKEY_CURRENT_USER$deep]\r\n" >/dev/null && echo read
  read
  $ reg "[HKEY_CURRENT_USER$deep\\\\k]\r\n" 2>&1 | grep -o 'ligne 2 : .*(clé de plus de 512 niveaux'
  ligne 2 : ignorée, comme Windows l'ignore (clé de plus de 512 niveaux
  $ reg "[HKEY_CURRENT_USER$(printf '\\\\k%.0s' $(seq 100000))]\r\n" 2>&1 | grep -c 'f.reg, ligne 2'
  1

What is not a .reg file is refused from its first bytes (/dev/zero has no end):

  $ printf 'regf\x01\x02' >hive.dat; "$CLI" --reg hive.dat status 2>&1 | cut -c 1-60
  quillon-cli: hive.dat : c'est une ruche, pas un fichier .reg
  $ : >empty.reg; "$CLI" --reg empty.reg status
  quillon-cli: empty.reg : ce n'est pas un fichier .reg (en-tête « REGEDIT4 » ou « Windows Registry Editor Version 5.00 » attendu en première ligne)
  [1]
  $ "$CLI" --reg /no/such/file.reg status
  quillon-cli: Impossible de lire « /no/such/file.reg » : le fichier ou son dossier n'existe pas
  [1]
  $ "$CLI" --reg /dev/zero status 2>&1 | cut -d '(' -f 1
  quillon-cli: /dev/zero : ce n'est pas un fichier .reg 
