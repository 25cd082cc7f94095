The compiled help holds a table of contents and an index beside its topics (the help viewer's left
pane shows them), and the window it opens in is the one that has that pane.

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
  $ grep -a -c '"Aide de Quillon","Quillon.hhc","Quillon.hhk"' "$SRC/help/Quillon.hhp"
  1
