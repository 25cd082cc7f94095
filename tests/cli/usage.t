Usage errors, found before the registry is read: one line naming what is wrong, where the help
is, and exit status 2.

  $ "$CLI" --frobnicate status
  quillon-cli: option inconnue : --frobnicate
  Aide : quillon-cli --help
  [2]
  $ "$CLI" frobnicate
  quillon-cli: commande inconnue : frobnicate
  Aide : quillon-cli --help
  [2]
  $ "$CLI" status --bogus
  quillon-cli: option inconnue : --bogus
  Aide : quillon-cli --help
  [2]
  $ "$CLI" save
  quillon-cli: usage : save FICHIER [--only LISTE] [--generate-accounts yes|no] [--mail DOSSIER [--eml|--open-formats]]
  Aide : quillon-cli --help
  [2]
  $ "$CLI" save x.reg --only
  quillon-cli: --only attend une valeur
  Aide : quillon-cli --help
  [2]
  $ "$CLI" save x.reg --generate-accounts peutetre
  quillon-cli: --generate-accounts : « peutetre » n'est ni yes ni no
  Aide : quillon-cli --help
  [2]
  $ "$CLI" save-hive AUTRE
  quillon-cli: usage : save-hive RUCHE FICHIER [--identity ID] [--only LISTE] [--generate-accounts yes|no] [--mail DOSSIER [--eml|--open-formats]]
  Aide : quillon-cli --help
  [2]
  $ "$CLI" lookup
  quillon-cli: usage : lookup RUCHE
  Aide : quillon-cli --help
  [2]
  $ "$CLI" adapt in.reg
  quillon-cli: usage : adapt ENTRÉE SORTIE [--identity ANCIENNE] [--folder DOSSIER] [--address-book CHEMIN] [--mail COPIE [--replace-mail]]
  Aide : quillon-cli --help
  [2]
  $ "$CLI" adapt in.reg out.reg --folder
  quillon-cli: --folder attend une valeur
  Aide : quillon-cli --help
  [2]
  $ "$CLI" --user Luc status
  quillon-cli: --user choisit le profil d'une installation : donnez aussi --windows ou --image
  Aide : quillon-cli --help
  [2]
  $ "$CLI" --partition 2 status
  quillon-cli: --partition choisit la partition d'une image : donnez aussi --image
  Aide : quillon-cli --help
  [2]
  $ "$CLI" --image disk.img --partition 0 status
  quillon-cli: --partition attend le numéro d'une partition (1, 2 ...), pas « 0 »
  Aide : quillon-cli --help
  [2]

A hive needs both where it goes and its file: an empty key would mount it over a whole root.

  $ "$CLI" --hive =user.dat status
  quillon-cli: --hive attend CLÉ=FICHIER
  Aide : quillon-cli --help
  [2]
  $ "$CLI" --hive HKEY_CURRENT_USER= status
  quillon-cli: --hive attend CLÉ=FICHIER
  Aide : quillon-cli --help
  [2]
  $ "$CLI" --hive x.dat status
  quillon-cli: --hive attend CLÉ=FICHIER
  Aide : quillon-cli --help
  [2]
  $ "$CLI" --load =user.dat status
  quillon-cli: --load attend NOM=FICHIER
  Aide : quillon-cli --help
  [2]
  $ "$CLI" --load NOM status
  quillon-cli: --load attend NOM=FICHIER
  Aide : quillon-cli --help
  [2]
  $ "$CLI" --load 'A\B=user.dat' status
  quillon-cli: --load : le nom « A\B » ne doit pas contenir de « \ »
  Aide : quillon-cli --help
  [2]