Wine registry files as the program reads them, in a prefix, shown by exporting what it read:
keys relative to their mount, values as the ANSI functions would see them, and broken lines.

  $ mkdir p
  $ printf 'WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n[Software] 1\n' >p/system.reg
  $ printf 'WINE REGISTRY Version 2\n' >p/userdef.reg
  $ show() { "$CLI" --wine-prefix p export "$1" out.reg && tail -n +3 out.reg | iconv -f WINDOWS-1252 -t UTF-8 | tr -d '\r'; }

Escapes, \x20ac and UTF-8 in strings, str(n) types, hex over lines, UTF-16 strings read as ANSI,
names with a tab and a CR, the file's order; the user's SID from the header, as older and newer
Wine versions write it:

  $ cat >p/user.reg <<'EOF'
  > WINE REGISTRY Version 2
  > ;; All keys relative to \\User\\S-1-5-21-0-0-0-1000
  > 
  > #arch=win64
  > 
  > [Software\\Caf\xe9\\Quote\]d] 1796572202
  > #time=1dd859974e3a41e
  > @="d"
  > "A"="x\\y \"q\" \x20ac é"
  > "B"=hex:00,0a,ff
  > "E"=str(2):"%T%"
  > "M"=str(7):"a\0b\0"
  > "N"=dword:0000010a
  > "S"=hex(1):41,00,e9,00,00,00
  > "Long"=hex:01,02,\
  >   03,04
  > "Tab\tCR\r"="\101"
  > "Octal"="\101"
  > 
  > [Software\\Caf\xe9\\Other] 1796572202
  > EOF
  $ show 'HKEY_USERS\S-1-5-21-0-0-0-1000\Software'
  quillon-cli: avertissement : laissé de côté, nom qu'un fichier .reg ne peut pas porter (saut de ligne ou caractère nul) : HKEY_USERS\S-1-5-21-0-0-0-1000\Software\Café\Quote]d\Tab	CR\r
  [HKEY_USERS\S-1-5-21-0-0-0-1000\Software]
  
  [HKEY_USERS\S-1-5-21-0-0-0-1000\Software\Café]
  
  [HKEY_USERS\S-1-5-21-0-0-0-1000\Software\Café\Quote]d]
  @="d"
  "A"="x\\y \"q\" € é"
  "B"=hex(3):0,A,FF
  "E"=hex(2):25,54,25,0
  "M"=hex(7):61,0,62,0,0
  "N"=dword:0000010A
  "S"="Aé"
  "Long"=hex(3):1,2,3,4
  "Octal"="A"
  
  [HKEY_USERS\S-1-5-21-0-0-0-1000\Software\Café\Other]
  $ sed -i 's/relative to \\\\User/relative to REGISTRY\\\\User/; s/1000$/1001/' p/user.reg
  $ show 'HKEY_USERS\S-1-5-21-0-0-0-1001\Software' >/dev/null && echo read
  quillon-cli: avertissement : laissé de côté, nom qu'un fichier .reg ne peut pas porter (saut de ligne ou caractère nul) : HKEY_USERS\S-1-5-21-0-0-0-1001\Software\Café\Quote]d\Tab	CR\r
  read

Broken lines, with their numbers; a key of 100000 levels; a file that is not a Wine registry:

  $ wine() { printf 'WINE REGISTRY Version 2\n%s\n' "$1" >p/user.reg; show HKEY_CURRENT_USER; }
  $ wine $'[A] 1\n"x"=str(2:"a"'
  quillon-cli: p/user.reg, ligne 3 : type str(n) incorrect : « "x"=str(2:"a" »
  [1]
  $ wine '"x"="1"'
  quillon-cli: p/user.reg, ligne 2 : valeur hors de toute clé : « "x"="1" »
  [1]
  $ for bad in '[Open' '"x"="open' '"x"=hex:1,zz' '"x"=hex:100' '"x"=hex:1,' '"x"=dword:xyz' '"x" "1"' '"x"=wat'; do
  >     wine $'[K] 1\n'"$bad" 2>&1 | grep -c 'user.reg, ligne 3 : '
  > done
  1
  1
  1
  1
  1
  1
  1
  1
  $ wine "[k$(printf '\\\\k%.0s' $(seq 100000))] 1" 2>&1 | cut -c 1-70
  quillon-cli: p/user.reg, ligne 2 : clé de plus de 512 niveaux : « [k
  $ printf 'REGEDIT4\n' >p/user.reg; show HKEY_CURRENT_USER
  quillon-cli: p/user.reg : c'est un fichier .reg ; donnez-le avec --reg
  [1]
