The compiled help holds a table of contents and an index beside its topics (the help viewer's left
pane shows them), and the window it opens in has that pane, 220 pixels wide (Wine's viewer draws no pane
without a width).

  $ grep -a -o '/Quillon\.hh[ck]\|/\$WWKeywordLinks\|/[0-9]*\.html' "$CHM" | sort -u
  /$WWKeywordLinks
  /1100.html
  /1500.html
  /1600.html
  /2000.html
  /2200.html
  /3000.html
  /9000.html
  /9100.html
  /Quillon.hhc
  /Quillon.hhk
  $ grep -a '^main=' "$SRC/help/Quillon.hhp" | cut -d, -f1-3,10-11
  main="Aide de Quillon","Quillon.hhc","Quillon.hhk",0x63520,220
