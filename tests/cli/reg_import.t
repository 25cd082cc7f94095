.reg files read as Windows' regedit imports them: what it reads, Quillon reads with the same
values; a line it passes over is passed over and named ("ligne N ignorée : why"); a file it
refuses is refused. Each group holds the cases of one behaviour, written for Quillon from what
the import tests of Wine's reg and regedit establish that Windows does.

  $ imp() { { printf 'REGEDIT4\r\n[HKEY_CURRENT_USER\\T]\r\n'; printf '%b' "$1"; } >f.reg; show; }
  $ show() {
  >     rm -f out.reg
  >     "$CLI" --reg f.reg export 'HKEY_CURRENT_USER\T' out.reg 2>&1 |
  >         sed -E 's/^quillon-cli: avertissement : f.reg, (ligne [0-9]+) : ignorée, comme Windows l.ignore \((.*)\) : « .*$/\1 ignorée : \2/'
  >     [ ! -f out.reg ] || tail -n +4 out.reg | tr -d '\r'
  > }

Comments: a line starting with ";" or "#", even one ending with "\"; after the data, ";" starts
a comment but "#" spoils the value; inside a string both are text:

  $ imp '"a"="1" ;c\r\n"b"="2"\t ;c\r\n"c"="3"#c\r\n"d"="4"  #c\r\n"e"=dword:5;c\r\n"f"=dword:6 #c\r\n"g"=hex:01,02 ;c\r\n"h"=hex:01,02 #c\r\n#comment\\\r\n"i"="x;y#z"\r\n;comment\\\r\n"j"="after the comments"\r\n'
  ligne 5 ignorée : texte après la chaîne
  ligne 6 ignorée : texte après la chaîne
  ligne 8 ignorée : nombre dword incorrect (1 à 8 chiffres hexadécimaux)
  ligne 10 ignorée : octets hexadécimaux incorrects
  "a"="1"
  "b"="2"
  "e"=dword:00000005
  "g"=hex(3):1,2
  "i"="x;y#z"
  "j"="after the comments"

Hex bytes go on after ",\" (a comment may follow the backslash), over blank lines and ";" lines;
a trailing comma ends them. A "#" line among them, a line starting with a comma, a line that is
only "\", "\" right after a byte, an empty byte, three digits, a space before a comma: the value
is passed over; the lines it took are gone with it, the next one is read afresh. The end of the
file ends them too:

  $ imp '"a"=hex:01,02,\\\r\n  03\r\n"b"=hex:01,\\;c\r\n  ;c\r\n\r\n  02,\\ ;c\r\n\t03\r\n"c"=hex:01,\\\r\n  #c\r\n  02\r\n"d"=hex:01\\\r\n,02\r\n"e"=hex:01,\\\r\n  ,02\r\n"f"=hex:01,\\\r\n\\\r\n  02\r\n"g"=hex:01,02,\r\n"h"=hex:01,,02\r\n"i"=hex:100\r\n"j"=hex:1,2 ,3\r\n"k"=hex(2):\\\r\n  41,42\r\n"l"=hex:01,\\\r\n"m"="taken by l"\r\n"n"=hex:0a,\\'
  quillon-cli: avertissement : f.reg : la dernière ligne n'a pas de fin de ligne : le fichier est peut-être tronqué, sa fin est lue telle quelle
  ligne 10 ignorée : commentaire « # » au milieu des octets
  ligne 12 ignorée : ligne illisible
  ligne 13 ignorée : octets hexadécimaux incorrects
  ligne 14 ignorée : ligne illisible
  ligne 15 ignorée : octets hexadécimaux incorrects
  ligne 17 ignorée : octets hexadécimaux incorrects
  ligne 19 ignorée : ligne illisible
  ligne 21 ignorée : octets hexadécimaux incorrects
  ligne 22 ignorée : octets hexadécimaux incorrects
  ligne 23 ignorée : octets hexadécimaux incorrects
  ligne 26 ignorée : octets hexadécimaux incorrects
  "a"=hex(3):1,2,3
  "b"=hex(3):1,2,3
  "g"=hex(3):1,2
  "k"=hex(2):41,42,0
  "n"=hex(3):A

A dword is one to eight hex digits, spaces around them allowed, in any letter case:

  $ imp '"a"=dword:1\r\n"b"=dword:  8\t\r\n"c"=dword:123456789\r\n"d"=dword:\r\n"e"=dword:0x1\r\n"f"=dword:1 2\r\n"g"=DWORD:ff\r\n'
  ligne 5 ignorée : nombre dword incorrect (1 à 8 chiffres hexadécimaux)
  ligne 6 ignorée : nombre dword incorrect (1 à 8 chiffres hexadécimaux)
  ligne 7 ignorée : nombre dword incorrect (1 à 8 chiffres hexadécimaux)
  ligne 8 ignorée : nombre dword incorrect (1 à 8 chiffres hexadécimaux)
  "a"=dword:00000001
  "b"=dword:00000008
  "g"=dword:000000FF

Strings: "\\" and "\"" escape, "\n" and "\r" are a line feed and a carriage return, "\0" is a
string Windows does not import; a quote inside, or none at the end, spoils the value; spaces
around "=" are allowed:

  $ imp '"a"="v\\0"\r\n"b"="x\\\\0"\r\n"c"="one\\ntwo\\rthree"\r\n"d"="a"b"\r\n"e"="open\r\n  "f"  =\t"spaces"  \r\n"g"=\r\n"h"=text\r\n@="default"\r\n"q\\"uote"="\\"q\\""\r\n'
  ligne 3 ignorée : « \0 » dans une chaîne
  ligne 6 ignorée : texte après la chaîne
  ligne 7 ignorée : chaîne sans guillemet final
  ligne 9 ignorée : donnée de valeur illisible
  ligne 10 ignorée : donnée de valeur illisible
  "b"="x\\0"
  "c"=hex(1):6F,6E,65,A,74,77,6F,D,74,68,72,65,65,0
  "f"="spaces"
  @="default"
  "q\"uote"="\"q\""

"=-" deletes a value, with spaces or a ";" comment after it; anything else after it is passed
over:

  $ imp '"a"="1"\r\n"b"="1"\r\n"c"="1"\r\n"d"="1"\r\n"e"="1"\r\n"a"=-\r\n"b"=  -\t\r\n"c"=- ;c\r\n"d"=-"x"\r\n"e"=- #c\r\n'
  ligne 11 ignorée : texte après « - »
  ligne 12 ignorée : texte après « - »
  "d"="1"
  "e"="1"

Types: hex(n) takes one to eight hex digits; a string type (1, 2, 7) that does not end with its
zero gets one, as regedit stores it, and other types are kept as written:

  $ imp '"a"=hex(1):\r\n"b"=hex(100):41\r\n"c"=hex(7):4c,69,6e,65\r\n"d"=hex(7):4c,69,6e,65,00,00\r\n"e"=hex(ffffffff):1\r\n"f"=hex(100000000):1\r\n"g"=hex(0x2):1\r\n'
  ligne 8 ignorée : type hex(n) incorrect
  ligne 9 ignorée : type hex(n) incorrect
  "a"=hex(1):
  "b"=hex(100):41
  "c"=hex(7):4C,69,6E,65,0
  "d"=hex(7):4C,69,6E,65,0,0
  "e"=hex(FFFFFFFF):1

Key lines: a space after "[" or "[-" names no key (the first is passed over, the second deletes
nothing); a space before "]" belongs to the name; a root in any letter case; a trailing "\" is
dropped; an unknown root's values go with it, as those of a key line without its "]"; values
after a deleted key are named:

  $ printf 'REGEDIT4\r\n[HKEY_CURRENT_USER\\T\\NoEnd\r\n"z"="0"\r\n[HKEY_CURRENT_USER\\T\\Sub ]\r\n"a"="1"\r\n[ HKEY_CURRENT_USER\\T\\Space]\r\n"b"="2"\r\n[hkey_current_user\\T\\Low]\r\n"c"="3"\r\n[HKEY_CURRENT_USERS\\T]\r\n"d"="4"\r\n[-HKEY_CURRENT_USER\\T\\Low]\r\n"e"="5"\r\n[- HKEY_CURRENT_USER\\T\\Sub ]\r\n[HKEY_CURRENT_USER\\T\\Trail\\]\r\n"f"="6"\r\n' >f.reg; show
  ligne 2 ignorée : nom de clé sans « ] » final ; ses valeurs sont ignorées aussi
  ligne 6 ignorée : clé dont la racine est inconnue ; ses valeurs sont ignorées aussi
  ligne 10 ignorée : clé dont la racine est inconnue ; ses valeurs sont ignorées aussi
  ligne 13 ignorée : valeur d'une clé supprimée par « [-…] »
  
  [HKEY_CURRENT_USER\T\Sub ]
  "a"="1"
  
  [HKEY_CURRENT_USER\T\Trail]
  "f"="6"

The header is the first line, spaces before it allowed: a blank line before it, or another
letter case, and the file is refused; any other first line starting with "REGEDIT" is a file
Windows imports nothing from, and the warning says so. The file's encoding, not its header,
tells how hex(2) holds its text, as Windows' regedit imports it: ANSI bytes in an ANSI file,
UTF-16 ones in a file stored in UTF-16 (a REGEDIT4 backup saved again by Notepad as Unicode),
whichever its header:

  $ for h in '\r\nREGEDIT4' 'regedit4' 'REGEDIT3' 'REGEDIT4 FOO' '  REGEDIT4' 'Windows Registry Editor Version 5.00'; do
  >     printf "$h"'\r\n[HKEY_CURRENT_USER\\T]\r\n"a"=hex(2):41,00,42,00\r\n' >f.reg; show
  > done
  quillon-cli: f.reg : l'en-tête d'un fichier .reg doit être sa première ligne, sans ligne vide avant (Windows refuse ce fichier)
  quillon-cli: f.reg : ce n'est pas un fichier .reg (en-tête « REGEDIT4 » ou « Windows Registry Editor Version 5.00 » attendu en première ligne)
  quillon-cli: avertissement : f.reg : en-tête « REGEDIT3 » : Windows importe ce fichier sans rien en lire, et Quillon n'en lit rien non plus (en-tête attendu : « REGEDIT4 » ou « Windows Registry Editor Version 5.00 »)
  quillon-cli: clé introuvable ou illisible : HKEY_CURRENT_USER\T
  quillon-cli: avertissement : f.reg : en-tête « REGEDIT4 FOO » : Windows importe ce fichier sans rien en lire, et Quillon n'en lit rien non plus (en-tête attendu : « REGEDIT4 » ou « Windows Registry Editor Version 5.00 »)
  quillon-cli: clé introuvable ou illisible : HKEY_CURRENT_USER\T
  "a"=hex(2):41,0,42,0
  "a"=hex(2):41,0,42,0
  $ printf 'REGEDIT4\r\n[HKEY_CURRENT_USER\\T]\r\n"a"=hex(2):44,00,3a,00,5c,00,4d,00,00,00\r\n"b"="\xe9t\xe9"\r\n' | iconv -f WINDOWS-1252 -t UTF-16 >f.reg; show | iconv -f WINDOWS-1252 -t UTF-8
  "a"=hex(2):44,3A,5C,4D,0
  "b"="été"

A file cut short: UTF-16 of an odd length loses its last byte, a last line without its line end
is read as it is; each is said:

  $ printf 'REGEDIT4\r\n[HKEY_CURRENT_USER\\T]\r\n"a"="1"\r\n' | iconv -f UTF-8 -t UTF-16 >f.reg; printf x >>f.reg; show
  quillon-cli: avertissement : f.reg : fichier UTF-16 d'un nombre impair d'octets : le dernier, qui ne forme pas un caractère, est ignoré
  "a"="1"
  $ printf 'REGEDIT4\r\n[HKEY_CURRENT_USER\\T]\r\n"a"=dword:0000' >f.reg; show
  quillon-cli: avertissement : f.reg : la dernière ligne n'a pas de fin de ligne : le fichier est peut-être tronqué, sa fin est lue telle quelle
  "a"=dword:00000000

Lines end at CR LF, at LF or at CR alone, as regedit reads them:

  $ printf 'REGEDIT4\r\r[HKEY_CURRENT_USER\\T]\r"a"="cr"\n"b"="lf"\r\n"c"="crlf"\r\n' >f.reg; show
  "a"="cr"
  "b"="lf"
  "c"="crlf"
