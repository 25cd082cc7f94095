Each bad registry file ends the command with a message naming it, never a crash or a hang (a
hive cut short is read as far as it goes: here its first bin, which holds no version): noise
with and without a hive's or a CREG file's signature, an empty file, a .reg or a broken Wine
file given as a hive, a missing file, a folder, a folder as a Wine prefix.

  $ good="$SAMPLE/Documents and Settings/Luc/NTUSER.DAT"
  $ head -c 6000 "$good" >truncated.dat
  $ python3 -c 'import random; random.seed(42); open("noise", "wb").write(random.randbytes(20000))'
  $ cp noise noise.dat; { printf 'regf'; cat noise; } >regf-noise.dat; { printf 'CREG\x01\x00\x02\x00'; cat noise; } >creg.dat
  $ : >empty.dat
  $ printf 'REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n' >text.reg
  $ printf 'WINE REGISTRY Version 2\n[A] 1\n"x"=hex:zz\n' >user.reg
  $ mkdir folder
  $ for file in truncated.dat noise.dat regf-noise.dat empty.dat creg.dat text.reg user.reg missing.dat folder; do
  >     "$CLI" --load "X=$file" status
  > done
  quillon-cli: avertissement : truncated.dat : ruche endommagée (fichier coupé à l'offset 0x1770, avant la fin que son en-tête annonce (0x6000) : lus ses blocs entiers et les cellules entières du dernier, jusqu'à l'offset 0x2000), lue sur une copie corrigée ; le fichier n'a pas été modifié
  quillon-cli: avertissement : truncated.dat : ruche endommagée, lue autant qu'elle a pu l'être : des clés ou des valeurs peuvent manquer
  [stop] Recherche de la version OE dans le registre (1): Version OE non trouvée
  quillon-cli: la version d'OE se lit dans la ruche SOFTWARE de Windows (HKEY_LOCAL_MACHINE\Software) : donnez --windows DOSSIER, ou la ruche avec --hive HKEY_LOCAL_MACHINE\Software=FICHIER
  quillon-cli: noise.dat : ni une ruche de registre (regf ou CREG) ni un fichier de registre de Wine
  quillon-cli: Impossible de lire la ruche « regf-noise.dat » : ce n'est pas une ruche de registre regf lisible (fichier trop court, en-tête ou blocs endommagés)
  quillon-cli: empty.dat : ni une ruche de registre (regf ou CREG) ni un fichier de registre de Wine
  quillon-cli: Impossible de lire le registre « creg.dat » : registre tronqué ou endommagé, sa racine est illisible
  quillon-cli: text.reg : c'est un fichier .reg ; donnez-le avec --reg
  quillon-cli: user.reg, ligne 3 : octet hexadécimal incorrect : « "x"=hex:zz »
  quillon-cli: Impossible de lire « missing.dat » : le fichier ou son dossier n'existe pas
  quillon-cli: Impossible de lire « folder » : c'est un dossier
  [1]
  $ "$CLI" --wine-prefix nothing status
  quillon-cli: nothing n'est pas un préfixe Wine lisible : « nothing/user.reg » : le fichier ou son dossier n'existe pas
  [1]
